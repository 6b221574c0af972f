// Net node lists: one list of nodes (pins, copper segments, vias) per net
// index, list 0 for copper of no net, with the nodes in pool 9.
//
// A list never holds two pins with the same component and pin, two vias of
// one type at one point, or two segments of one kind (straight or arc) on
// one layer between the same two points; a segment met again only widens
// its node. Building a list finds those duplicates through a hash index per
// list (by kind, point, layer, and for pins component and pin), so building
// a net costs time in step with its nodes. The index answers the first
// match from the list's head, as a scan of the list would; whatever changes
// a list other than building it drops the index, and the next build makes
// it again from the list.
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "db/chains.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/err.h"
#include "db/nets.h"
#include "db/packages.h"
#include "db/pool.h"

namespace {

enum : ErrCode {
    kErrNoTable = 5234017,
    kErrGetNet = 5234086,
    kErrGetNoTable = 5234087,
    kErrGetKind = 5234083,
};

// Lists shorter than this are scanned for duplicates; longer ones are
// looked up in their index.
constexpr int32_t kIndexFrom = 16;

// ---- the node-list table ------------------------------------------------------------
//
// The table of list heads can exceed one pool piece (32,768 nets), so it is
// held outside the pools; its nodes live in pool 9.

std::vector<NetNode*> g_lists;
bool g_listsExist = false;

// ---- the duplicate index ---------------------------------------------------------------

// What makes two nodes of a list the same node: pins by component and pin,
// vias by point and type, segments by kind, layer and their two points in
// either order (held in one order).
struct NodeKey {
    uint8_t kind = 0;
    uint8_t arc = 0;
    uint16_t tag = 0; // pins: component; segments: layer; vias: via type
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool operator==(const NodeKey& o) const {
        return kind == o.kind && arc == o.arc && tag == o.tag && x1 == o.x1 && y1 == o.y1 &&
               x2 == o.x2 && y2 == o.y2;
    }
};

struct NodeKeyHash {
    size_t operator()(const NodeKey& k) const {
        uint64_t h = (uint64_t(k.kind) << 24) ^ (uint64_t(k.arc) << 16) ^ k.tag;
        for (int32_t v : {k.x1, k.y1, k.x2, k.y2}) {
            h ^= uint32_t(v);
            h *= 0x9E3779B97F4A7C15ull;
            h ^= h >> 29;
        }
        return size_t(h);
    }
};

NodeKey PinKey(int32_t comp, int32_t pin) {
    NodeKey k;
    k.kind = kNodePin;
    k.tag = uint16_t(comp);
    k.x1 = int16_t(pin);
    return k;
}

NodeKey ViaKey(int32_t x, int32_t y, int32_t type) {
    NodeKey k;
    k.kind = kNodeVia;
    k.tag = uint16_t(type);
    k.x1 = x;
    k.y1 = y;
    return k;
}

NodeKey SegmentKey(bool arc, int32_t layer, int32_t ax, int32_t ay, int32_t bx, int32_t by) {
    NodeKey k;
    k.kind = kNodeSegment;
    k.arc = arc ? 1 : 0;
    k.tag = uint16_t(layer & 0xFF);
    if (bx < ax || (bx == ax && by < ay)) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    k.x1 = ax;
    k.y1 = ay;
    k.x2 = bx;
    k.y2 = by;
    return k;
}

NodeKey KeyOf(const NetNode* n) {
    switch (n->kind) {
    case kNodePin:
        return PinKey(n->compOrLayer, n->pinOrWidth);
    case kNodeVia:
        return ViaKey(n->x1, n->y1, n->padstack);
    default:
        return SegmentKey(n->flags & kCrnArc, n->compOrLayer, n->x1, n->y1, n->x2, n->y2);
    }
}

using Index = std::unordered_map<NodeKey, NetNode*, NodeKeyHash>;
std::vector<std::unique_ptr<Index>> g_index; // per list; null until a build needs it

void DropIndex(int32_t n) {
    if (n >= 0 && n < int32_t(g_index.size())) g_index[size_t(n)].reset();
}

// The index of list n, made from the list when there is none: each key
// names the first node from the head that has it.
Index& IndexOf(int32_t n) {
    std::unique_ptr<Index>& index = g_index[size_t(n)];
    if (!index) {
        index = std::make_unique<Index>();
        for (NetNode* p = g_lists[size_t(n)]; p; p = p->next)
            index->emplace(KeyOf(p), p);
    }
    return *index;
}

// The first node of list n from its head with the key. A short list without
// an index is scanned; a list that reaches kIndexFrom nodes gets its index.
NetNode* FindNode(int32_t n, const NodeKey& key) {
    if (!g_index[size_t(n)]) {
        int32_t seen = 0;
        NetNode* p = g_lists[size_t(n)];
        for (; p && seen < kIndexFrom; p = p->next, ++seen)
            if (KeyOf(p) == key) return p;
        if (!p) return nullptr;
    }
    Index& index = IndexOf(n);
    auto it = index.find(key);
    return it == index.end() ? nullptr : it->second;
}

void GrowLists(int32_t n) {
    if (!g_listsExist) {
        g_lists.clear();
        g_index.clear();
        g_listsExist = true;
    }
    if (n < int32_t(g_lists.size())) return;
    int32_t size = NetCount();
    if (n >= size) size = n + 50;
    g_lists.resize(size_t(size) + 1, nullptr);
    g_index.resize(g_lists.size());
    if (g_lists.empty()) ErrReport(kErrNoTable, n);
}

// A new node pushed onto list n by a build, and named in its index.
NetNode* NewListNode(int32_t net, const NodeKey& key) {
    NetNode* node = chains::AllocNode(kPoolNodes, kErrNodeMemory);
    node->freeMark = net == 0 ? 1 : 0;
    node->layerMask = 1;
    node->next = g_lists[size_t(net)];
    g_lists[size_t(net)] = node;
    if (Index* index = g_index[size_t(net)].get()) (*index)[key] = node;
    return node;
}

} // namespace

// ---- access for chain ordering and loose copper ------------------------------------

namespace chains {

// Pool pieces are 4-byte aligned; nodes hold pointers and need 8.
NetNode* AllocNode(int32_t pool, ErrCode code) {
    auto* raw = static_cast<uint8_t*>(PoolAlloc(int32_t(sizeof(NetNode)) + 4, pool, code));
    if (!raw) ErrOutOfMemory(code);
    auto* node = reinterpret_cast<NetNode*>((reinterpret_cast<uintptr_t>(raw) + 7) & ~uintptr_t(7));
    std::memset(node, 0, sizeof(NetNode));
    return node;
}

int32_t ListTableSize() {
    return g_listsExist ? int32_t(g_lists.size()) : 0;
}

NetNode* ListHead(int32_t n) {
    return n >= 0 && n < ListTableSize() ? g_lists[size_t(n)] : nullptr;
}

NetNode* ListTake(int32_t n) {
    if (n < 0 || n >= ListTableSize()) return nullptr;
    DropIndex(n);
    NetNode* head = g_lists[size_t(n)];
    g_lists[size_t(n)] = nullptr;
    return head;
}

void ListPush(int32_t n, NetNode* node) {
    DropIndex(n);
    node->next = g_lists[size_t(n)];
    g_lists[size_t(n)] = node;
}

void ListChanged(int32_t n) {
    DropIndex(n);
}

bool WidenNet(Net* net, uint16_t width) {
    bool changed = false;
    uint16_t w = width;
    if (w == 0) w = net->width != 0 ? net->width : net->maxWidth;
    if (w < net->minWidth || net->minWidth == 0) {
        if (net->minWidth != w) changed = true;
        net->minWidth = w;
    }
    if (width > net->maxWidth) {
        net->maxWidth = width;
        changed = true;
    }
    return changed;
}

} // namespace chains

// ---- node lists ------------------------------------------------------------------------------

void NetNodeListBuild(const Conn* record) {
    const ConnHead& h = record->head;
    int32_t n = h.net;
    if (n < 0 || n > NetCount()) ErrReport(kErrListNet, n);
    GrowLists(n);
    int32_t count = h.count;
    // Pins, once per component and pin.
    for (int32_t end = 0; end < 2; ++end) {
        int32_t comp = end ? h.toComp : h.fromComp;
        int32_t pin = end ? h.toPin : h.fromPin;
        if (comp == 0) continue;
        // A component number no node can carry never matches one.
        if (comp > 0 && FindNode(n, PinKey(comp, pin))) continue;
        NetNode* node = NewListNode(n, PinKey(comp, pin));
        node->kind = kNodePin;
        node->compOrLayer = uint16_t(comp);
        node->pinOrWidth = int16_t(pin);
        int32_t at = end ? count - 1 : 0;
        if (count > 0 && at >= 0) node->flags = record->crn[at].flags;
        node->role = uint16_t(CompPkgPinCode(comp, pin));
        node->layerMask = 0;
    }
    Net net{};
    if (n > 0) NetGet(n, &net);
    bool changed = false;
    for (int32_t i = 0; i + 1 < count; ++i) {
        const Crn& c = record->crn[i];
        if (n > 0) changed = chains::WidenNet(&net, c.width) || changed;
        if (c.layer == 0) continue;
        bool arc = i + 2 < count && (record->crn[i + 1].flags & kCrnArc);
        const Crn& e = record->crn[arc ? i + 2 : i + 1];
        if (!arc && c.x == e.x && c.y == e.y) continue;
        NodeKey key = SegmentKey(arc, c.layer, c.x, c.y, e.x, e.y);
        if (NetNode* same = FindNode(n, key)) {
            if (c.width > uint16_t(same->pinOrWidth)) same->pinOrWidth = int16_t(c.width);
        } else {
            NetNode* node = NewListNode(n, key);
            node->kind = kNodeSegment;
            node->x1 = c.x;
            node->y1 = c.y;
            node->x2 = e.x;
            node->y2 = e.y;
            node->compOrLayer = c.layer;
            node->pinOrWidth = int16_t(c.width);
            node->flags = c.flags;
            if (arc) {
                node->x3 = record->crn[i + 1].x;
                node->y3 = record->crn[i + 1].y;
                node->flags = uint16_t(c.flags | kCrnArc);
            }
        }
        if (arc) ++i;
    }
    for (int32_t i = 0; i < count; ++i) {
        const Crn& c = record->crn[i];
        if (c.via == 0) continue;
        NodeKey key = ViaKey(c.x, c.y, c.via);
        if (FindNode(n, key)) continue;
        NetNode* node = NewListNode(n, key);
        node->kind = kNodeVia;
        node->x1 = node->x2 = c.x;
        node->y1 = node->y2 = c.y;
        node->padstack = c.via;
    }
    if (changed && n > 0) NetPut(n, &net);
}

int32_t NetNodeGet(int32_t net, Conn* buffer) {
    if (net < 1 || net > NetCount()) ErrReport(kErrGetNet, net);
    if (!g_listsExist) ErrReport(kErrGetNoTable, net);
    if (net >= int32_t(g_lists.size())) return 0;
    NetNode* n = g_lists[size_t(net)];
    if (!n) return 0;
    DropIndex(net);
    g_lists[size_t(net)] = n->next;
    std::memset(&buffer->head, 0, sizeof(ConnHead));
    ConnHead& h = buffer->head;
    h.net = int16_t(net);
    Crn* c = buffer->crn;
    switch (n->kind) {
    case kNodePin:
        h.fromComp = int16_t(n->compOrLayer);
        h.fromPin = n->pinOrWidth;
        std::memset(&c[0], 0, sizeof(Crn));
        c[0].flags = uint8_t(n->flags);
        h.count = 0;
        break;
    case kNodeVia:
        std::memset(&c[0], 0, sizeof(Crn));
        c[0].x = n->x1;
        c[0].y = n->y1;
        c[0].via = uint8_t(n->padstack);
        h.count = 1;
        break;
    case kNodeSegment: {
        std::memset(c, 0, 3 * sizeof(Crn));
        c[0].x = n->x1;
        c[0].y = n->y1;
        c[0].layer = uint8_t(n->compOrLayer);
        c[0].width = uint16_t(n->pinOrWidth);
        if (n->flags & kCrnArc) {
            // An arc keeps its centre as a middle corner.
            c[0].flags = uint8_t(n->flags & ~kCrnArc);
            c[1].x = n->x3;
            c[1].y = n->y3;
            c[1].layer = c[0].layer;
            c[1].width = c[0].width;
            c[1].flags = kCrnArc;
            c[2].x = n->x2;
            c[2].y = n->y2;
            h.count = 3;
            break;
        }
        c[0].flags = uint8_t(n->flags);
        c[1].x = n->x2;
        c[1].y = n->y2;
        h.count = 2;
        // Further segments of the same layer and width that end where the
        // polyline starts are prepended, up to a full connection.
        for (NetNode* p = g_lists[size_t(net)];
             p && h.count < kChainCornerLimit && p->kind == kNodeSegment && !(p->flags & kCrnArc) &&
             p->compOrLayer == n->compOrLayer && p->pinOrWidth == n->pinOrWidth &&
             p->x2 == c[0].x && p->y2 == c[0].y;
             p = g_lists[size_t(net)]) {
            g_lists[size_t(net)] = p->next;
            std::memmove(&c[1], &c[0], size_t(h.count) * sizeof(Crn));
            std::memset(&c[0], 0, sizeof(Crn));
            c[0].x = p->x1;
            c[0].y = p->y1;
            c[0].layer = uint8_t(p->compOrLayer);
            c[0].width = uint16_t(p->pinOrWidth);
            c[0].flags = uint8_t(p->flags);
            ++h.count;
        }
        break;
    }
    default:
        ErrReport(kErrGetKind, n->kind);
    }
    return 1;
}

bool NetNodeListsExist() {
    return g_listsExist;
}

int32_t NetNodeListCount(int32_t n) {
    if (!g_listsExist || n < 0 || n >= int32_t(g_lists.size())) return 0;
    int32_t k = 0;
    for (NetNode* p = g_lists[size_t(n)]; p; p = p->next)
        ++k;
    return k;
}

void NetNodeListFree() {
    g_lists.clear();
    g_lists.shrink_to_fit();
    g_index.clear();
    g_index.shrink_to_fit();
    g_listsExist = false;
    chains::OrderingForget();
    PoolReset(kPoolNodes);
    PoolReset(kPoolChains);
    PoolReset(kPoolChainIndex);
}
