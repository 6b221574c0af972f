// Pairing one net: a spanning tree over its fixed pairs and free points.
// Small nets (or nets with fixed pairs) grow greedily from the first pair,
// taking the cheapest link from the tree to a pair end or a free point;
// nets of 7 or more free points without fixed pairs use candidate links
// (each point keeps the links to later points that are within a quarter of
// its least cost so far) and grow along the cheapest frontier link. The
// first link found wins ties; points at one position cost 0 and give no
// link.
#include <cstdlib>

#include "db/nets.h"
#include "place/plmodel.h"
#include "place/plpair.h"

namespace {

enum : uint8_t {
    kStyleManhattan = 0x10,
    kStyleVertical = 0x04,
    kStyleHorizontal = 0x02,
    kStyleSteep = 0x08,
    kStyleWide = 0x20,
};

enum : int32_t { kPairSteepFactor = 8, kPairWideFactor = 4 };

int64_t Dist(int32_t kind, const PairPoint& a, const PairPoint& b) {
    return PairDistance(kind, int64_t(a.x) - b.x, int64_t(a.y) - b.y);
}

bool SamePos(const PairPoint& a, const PairPoint& b) {
    return a.x == b.x && a.y == b.y;
}

void CheckIndex(size_t i, ErrCode code) {
    if (i > size_t(kPairMaxPoints)) ErrReport(code, int32_t(i));
}

// Greedy growth from the first fixed pair.
void GrowSmall(PairWork& w) {
    while (!w.fixed.empty() || !w.free.empty()) {
        int64_t g = INT64_MAX, f = INT64_MAX;
        size_t gi = 0, fi = 0;
        PairPoint gEnd{}, fEnd{}, gFrom{}, fFrom{};
        for (const PairLink& t : w.tree) {
            for (const PairPoint* e : {&t.a, &t.b}) {
                for (size_t k = 0; k < w.fixed.size(); ++k) {
                    for (int32_t side = 0; side < 2; ++side) {
                        const PairPoint& q = side ? w.fixed[k].b : w.fixed[k].a;
                        const int64_t c = Dist(w.kind, *e, q);
                        if (c < g) {
                            g = c;
                            gi = k;
                            gEnd = q;
                            gFrom = *e;
                        }
                    }
                }
                for (size_t k = 0; k < w.free.size(); ++k) {
                    const int64_t c = Dist(w.kind, *e, w.free[k]);
                    if (c < f) {
                        f = c;
                        fi = k;
                        fEnd = w.free[k];
                        fFrom = *e;
                    }
                }
            }
        }
        if (!w.free.empty() && f < g) {
            if (f > 0) w.tree.push_back({fFrom, fEnd, f});
            w.free.erase(w.free.begin() + long(fi));
        } else {
            w.tree.push_back(w.fixed[gi]);
            if (g > 0) w.tree.push_back({gFrom, gEnd, g});
            w.fixed.erase(w.fixed.begin() + long(gi));
        }
    }
}

struct Cand {
    int32_t p, q;
    int64_t cost;
};

// Candidate-link growth over the free points.
void GrowLarge(PairWork& w) {
    const size_t n = w.free.size();
    if (n < 1 || n > size_t(kPairMaxPoints)) ErrReport(kErrPairPointCount, int32_t(n));
    std::vector<Cand> cands;
    std::vector<std::vector<int32_t>> adj(n);
    for (size_t p = 0; p < n; ++p) {
        int64_t least = INT64_MAX;
        for (size_t q = p + 1; q < n; ++q) {
            const int64_t c =
                SamePos(w.free[p], w.free[q]) ? 0 : Dist(w.kind, w.free[p], w.free[q]);
            if (least != INT64_MAX && c - c / 4 > least) continue;
            if (c > 0 && c < least) least = c;
            CheckIndex(p, kErrPairPointIndex);
            CheckIndex(q, kErrPairPointIndex2);
            adj[p].push_back(int32_t(cands.size()));
            adj[q].push_back(int32_t(cands.size()));
            cands.push_back({int32_t(p), int32_t(q), c});
        }
    }
    if (cands.empty()) return;
    std::vector<bool> joined(n, false);
    struct Front {
        int32_t from, to;
        int64_t cost;
    };
    std::vector<Front> frontier;
    auto join = [&](int32_t p) {
        joined[size_t(p)] = true;
        for (size_t k = 0; k < frontier.size();)
            if (frontier[k].to == p)
                frontier.erase(frontier.begin() + long(k));
            else
                ++k;
        for (int32_t ci : adj[size_t(p)]) {
            const Cand& c = cands[size_t(ci)];
            const int32_t other = c.p == p ? c.q : c.p;
            if (!joined[size_t(other)]) frontier.push_back({p, other, c.cost});
        }
    };
    const Cand& first = cands.back();
    w.tree.push_back({w.free[size_t(first.p)], w.free[size_t(first.q)], first.cost});
    join(first.p);
    join(first.q);
    while (!frontier.empty()) {
        size_t best = 0;
        for (size_t k = 1; k < frontier.size(); ++k)
            if (frontier[k].cost < frontier[best].cost) best = k;
        const Front f = frontier[best];
        if (f.cost > 0) w.tree.push_back({w.free[size_t(f.from)], w.free[size_t(f.to)], f.cost});
        join(f.to);
    }
    w.free.clear();
}

} // namespace

int64_t PairDistance(int32_t kind, int64_t dx, int64_t dy) {
    dx = std::llabs(dx);
    dy = std::llabs(dy);
    switch (kind) {
    case 1:
        return dx + dy;
    case 2:
        return kPairSteepFactor * dy + dx;
    case 3:
        return dy + kPairSteepFactor * dx;
    case 4:
        return dy < dx ? dy + kPairSteepFactor * dx : kPairSteepFactor * dy + dx;
    case 5:
        return kPairWideFactor * (dx + dy);
    default:
        ErrReport(kErrPairDistKind, kind);
    }
}

int32_t PairNetMetric(int32_t net) {
    const uint8_t style = NetRef(net)->netType;
    if (style & kStyleManhattan) return 1;
    if (style & kStyleVertical) return 2;
    if (style & kStyleHorizontal) return 3;
    if (style & kStyleSteep) return 4;
    if (style & kStyleWide) return 5;
    return 1;
}

void PairAddFree(PairWork& w, const PairPoint& p) {
    for (const PairPoint& q : w.free)
        if (SamePos(p, q)) return;
    for (const PairLink& l : w.fixed)
        if (SamePos(p, l.a) || SamePos(p, l.b)) return;
    w.free.push_back(p);
}

void PairBuildTree(PairWork& w) {
    w.tree.clear();
    const bool large = w.fixed.empty() && w.free.size() >= size_t(kPairLargeMode);
    if (large) {
        GrowLarge(w);
        return;
    }
    if (w.fixed.empty()) {
        if (w.free.empty()) return;
        const PairPoint p0 = w.free[0];
        size_t best = 0;
        int64_t cost = INT64_MAX;
        for (size_t k = 1; k < w.free.size(); ++k) {
            if (SamePos(p0, w.free[k])) continue;
            const int64_t c = Dist(w.kind, p0, w.free[k]);
            if (c < cost) {
                cost = c;
                best = k;
            }
        }
        if (best == 0) return;
        w.fixed.push_back({p0, w.free[best], cost});
        w.free.erase(w.free.begin() + long(best));
        w.free.erase(w.free.begin());
    }
    w.tree.push_back(w.fixed.front());
    w.fixed.erase(w.fixed.begin());
    GrowSmall(w);
}

void PairStoreTree(const PairWork& w, PlPairTable* out) {
    const int32_t old = out->count;
    const PlPairEntry model = old > 0 ? out->entry[0] : PlPairEntry{};
    int32_t n = 0;
    for (const PairLink& l : w.tree) {
        if (l.cost <= 0) continue;
        if (n >= kPairMaxEntries) break;
        PlPairEntry& e = out->entry[n];
        const PlPairEntry keep = n < old ? e : model;
        e.comp1 = l.a.comp;
        e.pin1 = l.a.pin;
        e.x1 = l.a.x;
        e.y1 = l.a.y;
        e.comp2 = l.b.comp;
        e.pin2 = l.b.pin;
        e.x2 = l.b.x;
        e.y2 = l.b.y;
        e.net = keep.net;
        e.connFlags = keep.connFlags;
        ++n;
    }
    out->count = int16_t(n);
}

int64_t PairNetLength(int32_t net) {
    const PlaceModel& m = g_placeModel;
    const PlNetTable& t = m.nets[size_t(net)];
    if (!t.hasPoints || t.points.size() < 2) return 0;
    const int32_t kind = PairNetMetric(net);
    if (t.points.size() == 2)
        return PairDistance(kind, int64_t(t.points[0].x) - t.points[1].x,
                            int64_t(t.points[0].y) - t.points[1].y);
    PairWork w;
    w.kind = kind;
    for (const PlPinPoint& p : t.points)
        PairAddFree(w, {int32_t(int64_t(p.x) * m.placeUnit), int32_t(int64_t(p.y) * m.placeUnit),
                        p.comp, p.pin});
    if (w.free.size() < 2) return 0;
    PairBuildTree(w);
    int64_t sum = 0;
    for (const PairLink& l : w.tree)
        sum += l.cost;
    return sum / m.placeUnit;
}
