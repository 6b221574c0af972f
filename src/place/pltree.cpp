// The placement tree's storage and queries. An entry descends from the
// root while its box lies wholly inside one quadrant (strictly right or
// left of the centre and strictly above or below it); a box touching or
// straddling a centre line stays where it is, keep-ins stay at the root
// with a box that meets every query. One insertion creates at most 10
// children. A query visits only the quadrants it reaches strictly and
// keeps at most 1,000 hits.
#include <algorithm>
#include <cstring>
#include <tuple>

#include "db/dbheader.h"
#include "db/pool.h"
#include "place/pltreeint.h"

PlTreeState g_plTree;

namespace {

enum : int32_t {
    kChildRightAbove = 0,
    kChildLeftAbove = 1,
    kChildRightBelow = 2,
    kChildLeftBelow = 3,
};

int32_t Mid(int32_t a, int32_t b) {
    return int32_t((int64_t(a) + b) / 2);
}

PlTreeNode* NewNode(int32_t x1, int32_t y1, int32_t x2, int32_t y2, ErrCode code) {
    auto* n = static_cast<PlTreeNode*>(PoolAlloc(int32_t(sizeof(PlTreeNode)), g_plTree.pool, code));
    std::memset(n, 0, sizeof *n);
    n->x1 = x1;
    n->y1 = y1;
    n->x2 = x2;
    n->y2 = y2;
    n->cx = Mid(x1, x2);
    n->cy = Mid(y1, y2);
    return n;
}

// The child a box falls wholly into, -1 when it touches or straddles a
// centre line.
int32_t Quadrant(const PlTreeNode* n, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const bool right = x1 > n->cx, left = x2 < n->cx;
    const bool above = y1 > n->cy, below = y2 < n->cy;
    if (!(right || left) || !(above || below)) return -1;
    return right ? (above ? kChildRightAbove : kChildRightBelow)
                 : (above ? kChildLeftAbove : kChildLeftBelow);
}

PlTreeNode* MakeChild(PlTreeNode* n, int32_t q) {
    const bool right = q == kChildRightAbove || q == kChildRightBelow;
    const bool above = q == kChildRightAbove || q == kChildLeftAbove;
    return NewNode(right ? n->cx : n->x1, above ? n->cy : n->y1, right ? n->x2 : n->cx,
                   above ? n->y2 : n->cy, kErrPlTreeNode);
}

void Gather(const PlTreeNode* n, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer,
            PlTreeHits* out) {
    if (x2 > n->cx) {
        if (y2 > n->cy && n->child[kChildRightAbove])
            Gather(n->child[kChildRightAbove], x1, y1, x2, y2, layer, out);
        if (y1 < n->cy && n->child[kChildRightBelow])
            Gather(n->child[kChildRightBelow], x1, y1, x2, y2, layer, out);
    }
    if (x1 < n->cx) {
        if (y2 > n->cy && n->child[kChildLeftAbove])
            Gather(n->child[kChildLeftAbove], x1, y1, x2, y2, layer, out);
        if (y1 < n->cy && n->child[kChildLeftBelow])
            Gather(n->child[kChildLeftBelow], x1, y1, x2, y2, layer, out);
    }
    for (const PlTreeEntry* e = n->head; e; e = e->next) {
        if (e->layer != layer && e->layer != 0 && layer != 0) continue;
        if (!(e->x1 < x2 && x1 < e->x2 && e->y1 < y2 && y1 < e->y2)) continue;
        if (out->count >= kPlTreeMaxHits) {
            WarnPrint("gatherSubTree: overflow");
            out->overflow = true;
            return;
        }
        out->hit[out->count++] = {e->owner, e->obstacle};
    }
}

void Collect(const PlTreeNode* n, int32_t depth, std::vector<PlTreeEntryInfo>& out) {
    for (const PlTreeEntry* e = n->head; e; e = e->next)
        out.push_back({e->owner, e->obstacle, e->layer, e->x1, e->y1, e->x2, e->y2, depth});
    for (const PlTreeNode* c : n->child)
        if (c) Collect(c, depth + 1, out);
}

void VerifyNode(const PlTreeNode* n) {
    int32_t k = 0;
    for (const PlTreeEntry* e = n->head; e; e = e->next)
        ++k;
    if (k != n->count) ErrReport(kErrPlTreeCount, k);
    for (const PlTreeNode* c : n->child)
        if (c) VerifyNode(c);
}

} // namespace

int32_t PlObsClass(int32_t kind) {
    switch (kind) {
    case 4:
    case 8:
        return kPlClassKeepIn;
    case 9:
    case 10:
    case 11:
        return kPlClassOutline;
    default:
        return kPlClassNone;
    }
}

PlTreeNode* PlTreeNewRoot() {
    DbHeader h;
    DbGetHeader(&h);
    if (h.extMinX > h.extMaxX || h.extMinY > h.extMaxY) return NewNode(0, 0, 0, 0, kErrPlTreeRoot);
    return NewNode(h.extMinX, h.extMinY, h.extMaxX, h.extMaxY, kErrPlTreeRoot);
}

void PlTreeInsert(int32_t owner, int32_t obstacle, int32_t layer, int32_t cls, int32_t x1,
                  int32_t y1, int32_t x2, int32_t y2) {
    if (cls == kPlClassKeepIn) x1 = y1 = -kPlTreeFar, x2 = y2 = kPlTreeFar;
    PlTreeNode* n = g_plTree.root;
    int32_t created = 0;
    while (cls != kPlClassKeepIn) {
        const int32_t q = Quadrant(n, x1, y1, x2, y2);
        if (q < 0) break;
        if (!n->child[q]) {
            if (created >= kPlTreeMaxNewChildren) break;
            n->child[q] = MakeChild(n, q);
            ++created;
        }
        n = n->child[q];
    }
    for (const PlTreeEntry* e = n->head; e; e = e->next)
        if (e->owner == owner && e->obstacle == obstacle) return;
    PlTreeEntry* e = g_plTree.freeList;
    if (e)
        g_plTree.freeList = e->next;
    else
        e = static_cast<PlTreeEntry*>(
            PoolAlloc(int32_t(sizeof(PlTreeEntry)), g_plTree.pool, kErrPlTreeEntry));
    *e = {n->head, int16_t(owner), int16_t(obstacle), int16_t(layer), x1, y1, x2, y2};
    n->head = e;
    ++n->count;
}

void PlTreeRemove(int32_t owner, int32_t obstacle, int32_t cls, int32_t x1, int32_t y1, int32_t x2,
                  int32_t y2) {
    int32_t found = 0;
    PlTreeNode* n = g_plTree.root;
    while (n) {
        for (PlTreeEntry** p = &n->head; *p;) {
            PlTreeEntry* e = *p;
            if (e->owner != owner || e->obstacle != obstacle) {
                p = &e->next;
                continue;
            }
            if (++found > 1) ErrReport(kErrPlTreeTwice, obstacle);
            *p = e->next;
            e->next = g_plTree.freeList;
            g_plTree.freeList = e;
            --n->count;
        }
        if (cls == kPlClassKeepIn) break;
        const int32_t q = Quadrant(n, x1, y1, x2, y2);
        n = q < 0 ? nullptr : n->child[q];
    }
}

void PlTreeInit() {
    if (g_verbose) DebugPrint("PlTreeInit: initializing");
    PlTreeFree();
    g_plTree.pool = PoolOpen(kErrPlTreePool);
    g_plTree.root = PlTreeNewRoot();
    PlTreeAddAll();
    PlTreeVerify();
    if (g_verbose) DebugPrint("PlTreeInit: complete");
}

void PlTreeFree() {
    if (g_plTree.pool) PoolClose(g_plTree.pool);
    g_plTree = PlTreeState{};
}

void PlTreeEnsure() {
    if (!g_plTree.pool) PlTreeInit();
}

bool PlTreeIsBuilt() {
    return g_plTree.pool != 0;
}

void PlTreeQuery(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer, PlTreeHits* out) {
    PlTreeEnsure();
    out->count = 0;
    out->overflow = false;
    Gather(g_plTree.root, x1, y1, x2, y2, layer, out);
}

void PlTreeVerify() {
    PlTreeEnsure();
    VerifyNode(g_plTree.root);
}

bool PlTreeEntryInfo::operator<(const PlTreeEntryInfo& o) const {
    return std::tie(owner, obstacle, layer, x1, y1, x2, y2, depth) <
           std::tie(o.owner, o.obstacle, o.layer, o.x1, o.y1, o.x2, o.y2, o.depth);
}
bool PlTreeEntryInfo::operator==(const PlTreeEntryInfo& o) const {
    return !(*this < o) && !(o < *this);
}

std::vector<PlTreeEntryInfo> PlTreeEntries() {
    PlTreeEnsure();
    std::vector<PlTreeEntryInfo> out;
    Collect(g_plTree.root, 0, out);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<PlTreeEntryInfo> PlTreeFreshEntries() {
    PlTreeEnsure();
    const PlTreeState kept = g_plTree;
    const PlTreeNode* r = kept.root;
    g_plTree.root = NewNode(r->x1, r->y1, r->x2, r->y2, kErrPlTreeRoot);
    g_plTree.freeList = nullptr;
    PlTreeAddAll();
    std::vector<PlTreeEntryInfo> out;
    Collect(g_plTree.root, 0, out);
    std::sort(out.begin(), out.end());
    g_plTree = kept; // the fresh nodes stay in the pool until it closes
    return out;
}
