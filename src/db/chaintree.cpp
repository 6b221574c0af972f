// Chain trees: open copper ends are tied to the nearest pin, then the chains
// are merged one by one into a growing tree, each join adding one unrouted
// gap between the nearest pair of nodes. ECL nets order their pins by pin
// role and limit how many joins a pin may take.
//
// A merge joins at pins, vias and routed copper only: a gap the tree made
// carries no layer of its own, so it is never a join point. The plain merge
// takes the nearest pair over all nodes each step, which makes the tree as
// short as a minimum spanning tree of the chains. Large nets merge over
// precomputed candidate edges instead: an edge is kept when it is nearly the
// nearest of either of its chains or the nearest of either chain in its
// direction (one of eight sectors), which keeps the edges a minimum tree
// takes; where the kept edges leave chains apart, the step falls back to the
// nearest pair.
#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "db/altjournal.h"
#include "db/chains.h"
#include "db/comps.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/pool.h"

namespace {

enum : ErrCode {
    kErrMetric = 5235083,
    kErrEclNet = 5237022,
    kErrJoinA = 5237014,
    kErrJoinB = 5237015,
    kErrEdgeMemory = 5235011,
    kErrIndexMemory = 5235012,
};

constexpr int32_t kNoDistance = 2147483647;
constexpr int32_t kLargePinChains = 10;
constexpr int32_t kMaxEdgeChains = 4000;

using chains::St;

int32_t Clamp(int64_t v) {
    return v > kNoDistance ? kNoDistance : int32_t(v);
}

// Metric 5: squares of the offsets in user units.
int32_t SquaredDistance(int64_t a, int64_t b) {
    int64_t u = DbHdr().userUnit > 0 ? DbHdr().userUnit : 1;
    int64_t p = a / u, q = b / u;
    double sum = double(p) * double(p) + double(q) * double(q);
    return sum >= double(kNoDistance) ? kNoDistance : int32_t(p * p + q * q);
}

inline int32_t Distance64(int64_t dx, int64_t dy, int32_t metric) {
    int64_t a = dx < 0 ? -dx : dx, b = dy < 0 ? -dy : dy;
    switch (metric) {
    case 0:
        return Clamp(a + b);
    case 1:
        return Clamp((a >> 3) + b);
    case 2:
        return Clamp(a + (b >> 3));
    case 3:
        return Clamp(a > b ? a + (b >> 3) : (a >> 3) + b);
    case 4:
        return Clamp((a + b) >> 2);
    case 5:
        return SquaredDistance(a, b);
    default:
        ErrReport(kErrMetric, metric);
    }
}

// Distance from node d to node b; outside ECL trees one more when the two
// share no layer.
// The searches over many pairs read the metric once and pass it in.
inline int32_t NodeDist(const NetNode* d, const NetNode* b, bool layerTerm, int32_t metric) {
    int32_t dist = Distance64(int64_t(b->x1) - d->x1, int64_t(b->y1) - d->y1, metric);
    if (layerTerm && !(d->layerMask & b->layerMask) && dist < kNoDistance) ++dist;
    return dist;
}

int32_t NodeDist(const NetNode* d, const NetNode* b, bool layerTerm) {
    return NodeDist(d, b, layerTerm, St().metric);
}

// A node a merge may join at: unrouted gaps made by the tree are not (their
// layer mask says nothing about the copper at their point), real copper and
// pins are.
bool JoinPoint(const NetNode* n) {
    return n->kind != kNodeSegment || chains::NodeLayer(n) != 0;
}

int32_t GapWidthOf(const Net& rec) {
    return rec.width ? rec.width : (rec.minWidth ? rec.minWidth : rec.maxWidth);
}

// Turned copies of the nodes from `from` along its chain up to the next pin
// (just `from` when it is a pin), in reverse order; the copy of `from` links
// to tail. Answers the first copy.
NetNode* ReverseCopyToPin(NetNode* from, NetNode* tail) {
    std::vector<NetNode*> nodes{from};
    if (!chains::IsPin(from))
        for (NetNode* n = from->link; n; n = n->link) {
            nodes.push_back(n);
            if (chains::IsPin(n)) break;
        }
    NetNode* link = tail;
    for (NetNode* n : nodes) {
        NetNode* c = chains::TurnedCopy(n);
        c->link = link;
        link = c;
    }
    return link;
}

NetNode* NewGap(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width) {
    NetNode* g = chains::NewNode();
    g->kind = kNodeSegment;
    g->x1 = x1;
    g->y1 = y1;
    g->x2 = x2;
    g->y2 = y2;
    g->pinOrWidth = int16_t(width);
    g->layerMask = 1;
    return g;
}

// ---- ECL bookkeeping ------------------------------------------------------------------

std::unordered_map<uint32_t, int32_t> g_degree;
std::unordered_set<uint32_t> g_copper; // pins that carry copper beyond them

uint32_t Key(const NetNode* p) {
    return (uint32_t(p->compOrLayer) << 16) | uint16_t(p->pinOrWidth);
}
int32_t Role(const NetNode* p) {
    return p->role & 0x0F;
}
int32_t Degree(const NetNode* p) {
    auto it = g_degree.find(Key(p));
    return it == g_degree.end() ? 0 : it->second;
}
void AddDegree(NetNode* p) {
    p->degree = int16_t(++g_degree[Key(p)]);
}
bool Bit14(int32_t role) {
    return (role & 0x05) != 0;
}

// True when another chain of the chain list joins pins p and q.
bool JoinedBy(const NetNode* p, const NetNode* q, const NetNode* except) {
    for (NetNode* c = St().chainList; c; c = c->next) {
        if (c == except || !chains::IsPin(c)) continue;
        NetNode* f = chains::FarPin(c);
        if (!f) continue;
        if ((chains::SamePin(c, p) && chains::SamePin(f, q)) ||
            (chains::SamePin(c, q) && chains::SamePin(f, p)))
            return true;
    }
    return false;
}

int32_t EclClass(const NetNode* c) {
    const NetNode* far = chains::FarPin(c);
    auto pick = [](int32_t role, int32_t base) {
        return role == 1 ? base : role == 2 ? base + 1 : role == 4 ? base + 2 : 0;
    };
    if (!chains::IsPin(c)) return far ? pick(Role(far), 16) : 0;
    int32_t r = Role(c);
    if (chains::IsLonePin(c)) return pick(r, 1);
    int32_t base = r == 1 ? 4 : r == 2 ? 7 : r == 4 ? 10 : 0;
    if (base == 0) return 0;
    if (!far) return r == 1 ? 13 : r == 2 ? 14 : 15;
    return pick(Role(far), base);
}

// Pin h may take the tie of an open head in an ECL net.
bool EclOpenHeadAllows(int32_t cls, const NetNode* h) {
    const chains::State& s = St();
    if (cls != 16 && cls != 18) return true;
    if (!chains::IsPin(h)) return false;
    int32_t r = Role(h);
    if (Bit14(r) && s.eclOther > 0) return false;
    if (cls == 16 && r == 1 && s.ecl4 > 0) return false;
    if (cls == 18 && r == 4 && s.ecl1 > 0) return false;
    int32_t d = Degree(h);
    if (Bit14(r) && d > 0) return false;
    return d <= 1;
}

// Pin p may take the copy of an open far end in an ECL net.
bool EclOpenEndAllows(int32_t cls, const NetNode* p) {
    const chains::State& s = St();
    int32_t r = Role(p);
    if (cls == 13) {
        if (Bit14(r) && s.eclOther > 0) return false;
        if (r == 1 && s.ecl4 > 0) return false;
    }
    int32_t d = Degree(p);
    if (Bit14(r) && d > 0) return false;
    return d <= 1;
}

void MoveToFront(NetNode* chain, NetNode* replacement) {
    chains::State& s = St();
    for (NetNode** at = &s.chainList; *at; at = &(*at)->next)
        if (*at == chain) {
            *at = chain->next;
            break;
        }
    replacement->next = s.chainList;
    s.chainList = replacement;
}

void FixPass(bool ecl) {
    chains::State& s = St();
    std::vector<NetNode*> heads;
    for (NetNode* c = s.chainList; c; c = c->next)
        heads.push_back(c);
    for (NetNode* c : heads) {
        if (chains::ChainLength(c) <= 1) continue;
        int32_t cls = ecl ? EclClass(c) : 0;
        if (!chains::IsPin(c)) {
            // Copper with an open end: tie it to the nearest pin or via head.
            NetNode* own = chains::FarPin(c);
            NetNode* best = nullptr;
            int32_t bestDist = kNoDistance;
            for (NetNode* h = s.chainList; h; h = h->next) {
                if (h == c || (h->kind != kNodePin && h->kind != kNodeVia)) continue;
                if (chains::IsPin(h)) {
                    if (h->compOrLayer == 0) continue;
                    if (own && (chains::SamePin(h, own) || JoinedBy(h, own, c))) continue;
                }
                if (h->x1 == c->x1 && h->y1 == c->y1 && chains::NodesTouch(h, c)) continue;
                if (ecl && !EclOpenHeadAllows(cls, h)) continue;
                int32_t d = NodeDist(h, c, true);
                if (!best || d < bestDist) {
                    best = h;
                    bestDist = d;
                }
            }
            if (!best) continue;
            NetNode* gap = NewGap(best->x1, best->y1, c->x1, c->y1, s.gapWidth);
            gap->link = c;
            NetNode* front = ReverseCopyToPin(best, gap);
            if (!chains::IsPin(front)) continue;
            if (ecl && chains::IsPin(best)) AddDegree(best);
            MoveToFront(c, front);
            continue;
        }
        NetNode* last = chains::ChainLast(c);
        if (chains::IsPin(last)) continue;
        // A pin chain ending in open copper: close it onto the nearest pin.
        NetNode end = *last;
        end.x1 = last->x2;
        end.y1 = last->y2;
        NetNode* best = nullptr;
        int32_t bestDist = kNoDistance;
        for (NetNode* p = s.chainList; p; p = p->next) {
            if (!chains::IsPin(p) || p->compOrLayer == 0 || chains::SamePin(p, c)) continue;
            if (JoinedBy(p, c, c)) continue;
            if (ecl && !EclOpenEndAllows(cls, p)) continue;
            int32_t d = NodeDist(&end, p, true);
            if (!best || d < bestDist) {
                best = p;
                bestDist = d;
            }
        }
        if (!best) continue;
        NetNode* copy = chains::NewNode(best);
        if (ecl) AddDegree(copy);
        if (best->x1 == end.x1 && best->y1 == end.y1) {
            last->link = copy;
        } else {
            NetNode* gap = NewGap(end.x1, end.y1, best->x1, best->y1, s.gapWidth);
            last->link = gap;
            gap->link = copy;
        }
    }
}

// Joins chain j to the tree through the pair (tree node d, chain node b).
void Join(NetNode* d, NetNode* b, NetNode* j, int32_t width) {
    chains::ChainListRemove(j);
    if (chains::ChainLength(j) > 1) chains::TreeAppend(j);
    if (chains::SamePin(d, b)) return;
    NetNode* gap = NewGap(d->x1, d->y1, b->x1, b->y1, width);
    gap->link = b;
    chains::TreeAppend(ReverseCopyToPin(d, gap));
}

// ---- candidate edges ------------------------------------------------------------------

struct Edge {
    Edge* activeNext;
    NetNode* fromNode;
    NetNode* toNode;
    int32_t dist;
    int32_t from, to;
    bool active;
};

struct EdgeRef {
    EdgeRef* next;
    Edge* edge;
};

struct Candidates {
    int32_t count = 0;
    NetNode** chainAt = nullptr; // chains by index (pool 11)
    EdgeRef** edgesOf = nullptr; // per chain, its edges (pool 11)
    bool* inTree = nullptr;
    std::unordered_map<const NetNode*, int32_t> indexOf;
    Edge* active = nullptr;
};
Candidates g_cand;

template <typename T> T* AllocAligned(int32_t bytes, int32_t pool, ErrCode code) {
    auto* raw = static_cast<uint8_t*>(PoolAlloc(bytes + 4, pool, code));
    if (!raw) ErrOutOfMemory(code);
    return reinterpret_cast<T*>((reinterpret_cast<uintptr_t>(raw) + 7) & ~uintptr_t(7));
}

void IndexEdge(Edge* e, int32_t chain) {
    auto* r = AllocAligned<EdgeRef>(int32_t(sizeof(EdgeRef)), kPoolChainIndex, kErrIndexMemory);
    r->edge = e;
    r->next = g_cand.edgesOf[chain];
    g_cand.edgesOf[chain] = r;
}

// Makes chain c's edges to chains outside the tree active, running from c.
void Activate(int32_t c) {
    for (EdgeRef* r = g_cand.edgesOf[c]; r; r = r->next) {
        Edge* e = r->edge;
        if (e->active) continue;
        if (e->from != c) {
            std::swap(e->from, e->to);
            std::swap(e->fromNode, e->toNode);
        }
        if (g_cand.inTree[e->to]) continue;
        e->active = true;
        e->activeNext = g_cand.active;
        g_cand.active = e;
    }
}

// Chain c joined the tree: edges into it are dropped and its own become
// active.
void EnterTree(int32_t c) {
    g_cand.inTree[c] = true;
    for (Edge** at = &g_cand.active; *at;) {
        if ((*at)->to == c) {
            (*at)->active = false;
            *at = (*at)->activeNext;
        } else {
            at = &(*at)->activeNext;
        }
    }
    Activate(c);
}

// The nearest pair of join points between two chains. With all pin chains
// at one place the search stops at the first pair of coinciding points
// (`coincide` set); otherwise at the first pair at distance 0 (with all pins
// at one place, once the node in hand has met its partners).
struct NearestNodes {
    int32_t dist = kNoDistance;
    NetNode* a = nullptr;
    NetNode* b = nullptr;
    bool coincide = false;
};

NearestNodes FindNearest(const std::vector<NetNode*>& from, const std::vector<NetNode*>& to,
                         bool onePlace) {
    NearestNodes r;
    int32_t metric = St().metric;
    for (NetNode* a : from) {
        for (NetNode* b : to) {
            int32_t dd = NodeDist(a, b, true, metric);
            if (!r.a || dd < r.dist) {
                r.dist = dd;
                r.a = a;
                r.b = b;
            }
            if (r.dist == 0 && !onePlace) return r; // nothing comes nearer
            if (onePlace && a->x1 == b->x1 && a->y1 == b->y1) {
                r.dist = dd;
                r.a = a;
                r.b = b;
                r.coincide = true;
                return r;
            }
        }
        if (r.dist == 0) return r;
    }
    return r;
}

// Directions around a chain: eight sectors of 45 degrees, counter-clockwise
// from +x, each closed at its start. The offset is weighed as the metric
// weighs it, so that "nearest in a sector" means what the metric means.
constexpr int32_t kSectors = 8;

int32_t Sector(int64_t dx, int64_t dy, int32_t metric) {
    if (metric == 1) dy *= 8; // a / 8 + b: y counts eight times x
    if (metric == 2) dx *= 8; // a + b / 8
    if (dx > 0 && dy >= 0) return dy < dx ? 0 : 1;
    if (dx <= 0 && dy > 0) return -dx < dy ? 2 : 3;
    if (dx < 0 && dy <= 0) return -dy < -dx ? 4 : 5;
    return dx < -dy ? 6 : 7;
}

// Each chain's nearest partners: best(c), its smallest distance over all
// partners in both directions, and the smallest distance in each sector.
struct Nearest {
    int32_t best = kNoDistance;
    int32_t sector[kSectors] = {kNoDistance, kNoDistance, kNoDistance, kNoDistance,
                                kNoDistance, kNoDistance, kNoDistance, kNoDistance};
};

// An edge (i, j) of distance d is kept when it is nearly the nearest of
// either of its chains (best(c) >= d - d / 4 for c = i or c = j), or when it
// is the nearest of either chain in its direction. Judging it by both ends
// keeps every chain's nearest partner; the nearest partner in every
// direction keeps the edges a spanning tree takes between groups of chains,
// which neither chain's nearest partner would name.
bool EdgeKept(int32_t d, const Nearest& i, int32_t sectorI, const Nearest& j, int32_t sectorJ) {
    int32_t bar = d - d / 4;
    return d == 0 || i.best >= bar || j.best >= bar || i.sector[sectorI] == d ||
           j.sector[sectorJ] == d;
}

void BuildCandidates() {
    chains::State& s = St();
    Candidates& k = g_cand;
    k = Candidates();
    for (NetNode* c = s.chainList; c; c = c->next)
        ++k.count;
    int32_t m = k.count;
    k.chainAt =
        AllocAligned<NetNode*>(int32_t(sizeof(NetNode*)) * m, kPoolChainIndex, kErrIndexMemory);
    k.edgesOf =
        AllocAligned<EdgeRef*>(int32_t(sizeof(EdgeRef*)) * m, kPoolChainIndex, kErrIndexMemory);
    k.inTree = AllocAligned<bool>(m, kPoolChainIndex, kErrIndexMemory);
    std::vector<std::vector<NetNode*>> nodes;
    nodes.resize(size_t(m));
    int32_t i = 0;
    bool onePlace = true, anyPin = false;
    int32_t px = 0, py = 0;
    for (NetNode* c = s.chainList; c; c = c->next, ++i) {
        k.chainAt[i] = c;
        k.indexOf[c] = i;
        for (NetNode* n = c; n; n = n->link)
            if (JoinPoint(n)) nodes[size_t(i)].push_back(n);
        if (chains::IsLonePin(c) && c->compOrLayer >= 1 && c->compOrLayer <= CompCount()) {
            const Component* comp = CompRef(c->compOrLayer);
            if (anyPin && (comp->x != px || comp->y != py)) onePlace = false;
            px = comp->x;
            py = comp->y;
            anyPin = true;
        }
    }
    onePlace = onePlace && anyPin;
    // Every pair's distance and direction first (a triangle of m (m - 1) / 2
    // pairs, pair (i, j) at rowAt(i) + j - i - 1), then each chain's nearest
    // partners.
    struct Pair {
        int32_t dist = kNoDistance;
        int8_t sectorI = 0, sectorJ = 0;
    };
    std::vector<int64_t> rowAt(size_t(m) + 1, 0);
    for (i = 0; i < m; ++i)
        rowAt[size_t(i) + 1] = rowAt[size_t(i)] + (m - i - 1);
    std::vector<Pair> pairs(static_cast<size_t>(rowAt[size_t(m)]));
    std::vector<Nearest> near(static_cast<size_t>(m));
    for (i = 0; i < m; ++i) {
        for (int32_t j = i + 1; j < m; ++j) {
            NearestNodes n = FindNearest(nodes[size_t(i)], nodes[size_t(j)], onePlace);
            if (!n.a) continue;
            int64_t dx = int64_t(n.b->x1) - n.a->x1, dy = int64_t(n.b->y1) - n.a->y1;
            Pair& p = pairs[size_t(rowAt[size_t(i)] + (j - i - 1))];
            p.dist = n.dist;
            p.sectorI = int8_t(Sector(dx, dy, s.metric));
            p.sectorJ = int8_t(Sector(-dx, -dy, s.metric));
            for (auto [c, sector] : {std::pair{i, p.sectorI}, std::pair{j, p.sectorJ}}) {
                Nearest& e = near[size_t(c)];
                e.best = std::min(e.best, n.dist);
                e.sector[sector] = std::min(e.sector[sector], n.dist);
            }
            if (n.coincide) break; // chain i takes no further partner
        }
    }
    for (i = 0; i < m; ++i) {
        for (int32_t j = i + 1; j < m; ++j) {
            const Pair& p = pairs[size_t(rowAt[size_t(i)] + (j - i - 1))];
            if (p.dist == kNoDistance ||
                !EdgeKept(p.dist, near[size_t(i)], p.sectorI, near[size_t(j)], p.sectorJ))
                continue;
            NearestNodes n = FindNearest(nodes[size_t(i)], nodes[size_t(j)], onePlace);
            auto* e = AllocAligned<Edge>(int32_t(sizeof(Edge)), kPoolChains, kErrEdgeMemory);
            e->from = i;
            e->to = j;
            e->fromNode = n.a;
            e->toNode = n.b;
            e->dist = n.dist;
            IndexEdge(e, i);
            IndexEdge(e, j);
        }
    }
    if (m > 0) {
        k.inTree[0] = true;
        Activate(0);
    }
}

// The nearest pair of a tree node and a chain node over all chains.
bool NearestPair(NetNode** dOut, NetNode** bOut, NetNode** jOut) {
    chains::State& s = St();
    int32_t best = kNoDistance, metric = s.metric;
    bool found = false;
    for (NetNode* j = s.chainList; j; j = j->next)
        for (NetNode* b = j; b; b = b->link) {
            if (!JoinPoint(b)) continue;
            for (NetNode* t = s.treeList; t; t = t->next)
                for (NetNode* d = t; d; d = d->link) {
                    if (!JoinPoint(d)) continue;
                    int32_t dist = NodeDist(d, b, true, metric);
                    if (!found || dist < best) {
                        best = dist;
                        *dOut = d;
                        *bOut = b;
                        *jOut = j;
                        found = true;
                        if (dist == 0) return true; // nothing comes nearer
                    }
                }
        }
    return found;
}

// ---- the ECL join rule ----------------------------------------------------------------------

bool MayTake(const NetNode* p) {
    const chains::State& s = St();
    int32_t r = Role(p), d = Degree(p);
    if (r == 2 || r == 0) return !(d > 1 && s.ecl1 < 2 && s.ecl4 < 2);
    if (r & 1) return !(d > 0 && (d > 1 || s.ecl1 < 2));
    if (r & 4) return !(d > 0 && (d > 1 || s.ecl4 < 2));
    return true;
}

// a: the pin of the chain to join; b: the pin in the tree.
bool JoinAllowed(const NetNode* a, const NetNode* b) {
    if (!chains::IsPin(a)) ErrReport(kErrJoinA, a->kind);
    if (!chains::IsPin(b)) ErrReport(kErrJoinB, b->kind);
    const chains::State& s = St();
    if (g_copper.count(Key(a)) && g_copper.count(Key(b))) return true;
    int32_t ra = Role(a), rb = Role(b);
    if (ra == 4 && s.eclOther > 0) {
        for (NetNode* c = s.chainList; c; c = c->next)
            if (chains::IsPin(c) && (Role(c) == 0 || Role(c) == 2)) return false;
    }
    const NetNode* pair[2][2] = {{a, b}, {b, a}};
    for (const auto& p : pair) {
        int32_t r = Role(p[0]);
        if (r != 2 && r != 0) continue;
        if (Degree(p[0]) > 1 && s.ecl1 < 2 && s.ecl4 < 2) return false;
        if (MayTake(p[1])) return true;
    }
    if (s.eclOther > 0) return false;
    for (const NetNode* p : {a, b}) {
        int32_t r = Role(p), d = Degree(p);
        if ((r & 1) && d > 0 && (d > 1 || s.ecl1 < 2)) return false;
        if ((r & 4) && d > 0 && (d > 1 || s.ecl4 < 2)) return false;
    }
    if (ra == 1 && rb == 1) return s.ecl4 == 0;
    if (ra == 4 && rb == 4) return s.ecl1 == 0;
    return ra == 1 || ra == 4 || rb == 1 || rb == 4;
}

} // namespace

int32_t TreeDistance(int32_t dx, int32_t dy, int32_t metric) {
    return Distance64(dx, dy, metric);
}

int32_t TreeMetric(int32_t netType) {
    if (netType & 0x10) return 0;
    if (netType & 0x04) return 1;
    if (netType & 0x02) return 2;
    if (netType & 0x08) return 3;
    if (netType & 0x20) return 4;
    return 0;
}

void fixChains() {
    FixPass(false);
}

void fixECLChains() {
    FixPass(true);
}

void BuildTree(int32_t net) {
    chains::State& s = St();
    Net rec;
    AltSave(kRecNet, net, &rec);
    s.gapWidth = GapWidthOf(rec);
    s.metric = TreeMetric(rec.netType);
    ChainDump("Before fixChains");
    fixChains();
    fixChains();
    ChainDump("after fixChains");
    // Large: more than 10 chains that start at a pin.
    int32_t chainCount = 0;
    s.pinChains = 0;
    for (NetNode* c = s.chainList; c; c = c->next) {
        ++chainCount;
        if (chains::IsPin(c)) ++s.pinChains;
    }
    s.large = s.pinChains > kLargePinChains && chainCount < kMaxEdgeChains;
    if (s.large) BuildCandidates();
    if (!s.chainList) return;
    NetNode* first = s.chainList;
    chains::ChainListRemove(first);
    chains::TreeAppend(first);
    ChainDump("Before mergeChains");
    while (mergeChains(s.gapWidth)) {
    }
    ChainDump("After mergeChains");
    if (s.large) {
        PoolReset(kPoolChainIndex);
        g_cand = Candidates();
        s.large = false;
    }
}

int32_t mergeChains(int32_t width) {
    chains::State& s = St();
    if (!s.chainList) return 0;
    NetNode *d = nullptr, *b = nullptr, *j = nullptr;
    Edge* pick = nullptr;
    if (s.large) {
        for (Edge* e = g_cand.active; e; e = e->activeNext)
            if (!pick || e->dist < pick->dist) pick = e;
    }
    if (pick) {
        // The active list runs newest first; the first of equal edges is
        // the oldest of them.
        for (Edge* e = g_cand.active; e; e = e->activeNext)
            if (e->dist == pick->dist) pick = e;
        d = pick->fromNode;
        b = pick->toNode;
        j = g_cand.chainAt[pick->to];
    } else if (!NearestPair(&d, &b, &j)) {
        // Chains without nodes cannot occur; keep the loop finite anyway.
        j = s.chainList;
        chains::ChainListRemove(j);
        return s.chainList ? 1 : 0;
    }
    if (s.large) {
        auto it = g_cand.indexOf.find(j);
        if (it != g_cand.indexOf.end()) EnterTree(it->second);
    }
    Join(d, b, j, width);
    return s.chainList ? 1 : 0;
}

void BuildECLTree(int32_t net) {
    chains::State& s = St();
    Net rec;
    AltSave(kRecNet, net, &rec);
    s.gapWidth = GapWidthOf(rec);
    if (!(rec.netType & 0x40)) ErrReport(kErrEclNet, net);
    s.metric = TreeMetric(rec.netType);
    g_degree.clear();
    g_copper.clear();
    s.ecl1 = s.ecl4 = s.eclOther = 0;
    std::unordered_set<uint32_t> counted;
    for (NetNode* c = s.chainList; c; c = c->next)
        for (NetNode* n = c; n; n = n->link) {
            if (!chains::IsPin(n) || !counted.insert(Key(n)).second) continue;
            int32_t r = Role(n);
            if (r == 1)
                ++s.ecl1;
            else if (r == 4)
                ++s.ecl4;
            else
                ++s.eclOther;
        }
    for (NetNode* c = s.chainList; c; c = c->next) {
        if (!chains::IsPin(c) || !c->link) continue;
        AddDegree(c);
        g_copper.insert(Key(c));
        if (NetNode* far = chains::FarPin(c)) g_copper.insert(Key(far));
    }
    if (s.eclOther > 0) {
        std::vector<NetNode*> ones, middle, fours;
        for (NetNode* c = s.chainList; c; c = c->next) {
            bool pin = chains::IsPin(c);
            if (pin && Role(c) == 1)
                ones.push_back(c);
            else if (pin && Role(c) == 4)
                fours.push_back(c);
            else
                middle.push_back(c);
        }
        std::vector<NetNode*> order = ones;
        order.insert(order.end(), middle.begin(), middle.end());
        order.insert(order.end(), fours.begin(), fours.end());
        s.chainList = nullptr;
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            (*it)->next = s.chainList;
            s.chainList = *it;
        }
    }
    ChainDump("Before fixECLChains");
    fixECLChains();
    ChainDump("after fixECLChains");
    if (!s.chainList) return;
    NetNode* root = s.chainList;
    for (NetNode* c = s.chainList; c; c = c->next)
        if (chains::IsPin(c) && Bit14(Role(c))) {
            root = c;
            break;
        }
    chains::ChainListRemove(root);
    chains::TreeAppend(root);
    while (mergeECLChains(s.gapWidth)) {
    }
}

int32_t mergeECLChains(int32_t width) {
    chains::State& s = St();
    if (!s.chainList) return 0;
    NetNode *d = nullptr, *b = nullptr, *j = nullptr;
    NetNode *nd = nullptr, *nb = nullptr, *nj = nullptr; // nearest by distance alone
    int32_t best = kNoDistance, nearest = kNoDistance;
    for (NetNode* c = s.chainList; c; c = c->next)
        for (NetNode* x = c; x; x = x->link) {
            if (!chains::IsPin(x)) continue;
            for (NetNode* t = s.treeList; t; t = t->next)
                for (NetNode* y = t; y; y = y->link) {
                    if (!chains::IsPin(y)) continue;
                    int32_t dist = NodeDist(y, x, false);
                    if (!nd || dist < nearest) {
                        nearest = dist;
                        nd = y;
                        nb = x;
                        nj = c;
                    }
                    if ((!d || dist < best) && JoinAllowed(x, y)) {
                        best = dist;
                        d = y;
                        b = x;
                        j = c;
                    }
                }
        }
    if (!d) {
        // No pair passes the rule: the nearest pair is joined all the same.
        d = nd;
        b = nb;
        j = nj;
    }
    if (!d) {
        // A chain without pins joins the tree as it stands.
        j = s.chainList;
        chains::ChainListRemove(j);
        if (chains::ChainLength(j) > 1) chains::TreeAppend(j);
        return s.chainList ? 1 : 0;
    }
    if (chains::SamePin(d, b)) {
        if (g_verbose) DebugPrint("ECL - direct hit with self");
        chains::ChainListRemove(j);
        if (chains::ChainLength(j) > 1) chains::TreeAppend(j);
        return s.chainList ? 1 : 0;
    }
    AddDegree(d);
    AddDegree(b);
    Join(d, b, j, width);
    return s.chainList ? 1 : 0;
}
