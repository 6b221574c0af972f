// Loose copper: the nodes of list 0 (copper of no net, from an ASCII load)
// are given to the nets they touch. Every node of a net's list, the copper
// appended to it included, takes from an index of the loose nodes each node
// that touches one of its points on a common layer, so copper that reaches
// a net through other loose copper joins that net too. What touches no net
// returns to list 0.
//
// The index is a table of 997 buckets by point in a pool of its own, closed
// when the assignment is done; both ends of a segment are indexed, so a
// segment that touches a net only at its second point is found too.
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "db/chains.h"
#include "db/err.h"
#include "db/pool.h"

namespace {

enum : ErrCode {
    kErrNoBuckets = 5236011,
    kErrLooseNoLists = 5236083,
    kErrLooseOwner = 5236001,
};

constexpr int32_t kBuckets = 997;

using namespace chains;

struct Entry {
    Entry* next;
    NetNode* node;
    bool taken;
};

int32_t Bucket(int32_t x, int32_t y) {
    int64_t ax = x < 0 ? -int64_t(x) : x, ay = y < 0 ? -int64_t(y) : y;
    return int32_t(((ay / 100) * 5 + (ax / 100) * 3) % kBuckets);
}

Entry* AllocEntry(int32_t pool) {
    auto* raw = static_cast<uint8_t*>(PoolAlloc(int32_t(sizeof(Entry)) + 4, pool, kErrNoBuckets));
    return reinterpret_cast<Entry*>((reinterpret_cast<uintptr_t>(raw) + 7) & ~uintptr_t(7));
}

} // namespace

void chains::AssignLoose() {
    if (!NetNodeListsExist()) ErrReport(kErrLooseNoLists, 0);
    int32_t pool = PoolOpen(kErrLooseOwner);
    auto* raw = static_cast<uint8_t*>(
        PoolAlloc(int32_t(sizeof(Entry*)) * kBuckets + 4, pool, kErrNoBuckets));
    if (!raw) ErrReport(kErrNoBuckets, 0);
    auto** buckets =
        reinterpret_cast<Entry**>((reinterpret_cast<uintptr_t>(raw) + 7) & ~uintptr_t(7));
    std::vector<NetNode*> indexed;
    // Both ends of a segment are indexed, so copper that touches a net only
    // at its second point is found too.
    auto index = [&](NetNode* n, int32_t x, int32_t y) {
        Entry* e = AllocEntry(pool);
        e->node = n;
        int32_t b = Bucket(x, y);
        e->next = buckets[b];
        buckets[b] = e;
    };
    for (NetNode* n = ListTake(0); n;) {
        NetNode* after = n->next;
        n->next = nullptr;
        if (n->kind == kNodePin) chains::PinPlace(n);
        bool zero = n->kind == kNodeSegment && n->x1 == n->x2 && n->y1 == n->y2;
        if (!zero) {
            indexed.push_back(n);
            index(n, n->x1, n->y1);
            if (n->kind == kNodeSegment) index(n, n->x2, n->y2);
        }
        n = after;
    }
    std::unordered_set<NetNode*> taken;
    for (int32_t net = 1; net < ListTableSize(); ++net) {
        if (!ListHead(net)) continue;
        ListChanged(net); // copies are appended behind its last node
        NetNode* tail = nullptr;
        for (NetNode* n = ListHead(net); n; n = n->next) {
            if (n->kind == kNodePin) chains::PinPlace(n);
            tail = n;
        }
        for (NetNode* n = ListHead(net); n; n = n->next) {
            int32_t points = n->kind == kNodeSegment ? 2 : 1;
            for (int32_t p = 0; p < points; ++p) {
                int32_t x = p ? n->x2 : n->x1, y = p ? n->y2 : n->y1;
                for (Entry* e = buckets[Bucket(x, y)]; e; e = e->next) {
                    NetNode* m = e->node;
                    if (taken.count(m)) continue;
                    bool at = (m->x1 == x && m->y1 == y) || (m->x2 == x && m->y2 == y);
                    if (!at || !chains::NodesTouch(n, m)) continue;
                    taken.insert(m);
                    NetNode* copy = AllocNode(kPoolNodes, kErrNodeMemory);
                    *copy = *m;
                    copy->next = nullptr;
                    copy->link = nullptr;
                    copy->freeMark = 0;
                    tail->next = copy;
                    tail = copy;
                }
            }
        }
    }
    for (NetNode* n : indexed)
        if (!taken.count(n)) ListPush(0, n);
    PoolClose(pool);
}
