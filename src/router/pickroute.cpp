// Picking a connection's segment by a click, the next connection with an
// unrouted gap, and the nearest gap of the connection in hand. A search
// keeps the first segment of the lowest score (ties keep the earlier one);
// the round-robin pick reads each connection at most once more than the
// table holds, so it ends on a board without gaps.
#include "router/pickroute.h"

#include <algorithm>

#include "db/conns.h"
#include "db/dbheader.h"
#include "db/geom.h"
#include "db/nets.h"
#include "db/pool.h"
#include "router/connnorm.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/mzinit.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/urstate.h"

namespace {

enum : int32_t {
    kShrinkShift = 8,
    kShrinkAbove = 10000, // the projection's factors are shrunk while w exceeds this
    kPickNextExtraReads = 2,
};

int32_t s_lastPicked = 0; // the connection mzPickNext picked last
int32_t s_nextReads = 0;

bool LayerShown(int32_t layer) {
    const LayerRec* r = LayerRecOf(layer);
    return r && r->shown != 0;
}

// The arc corner range s..s + 2 that segment i belongs to, -1 for none.
int32_t ArcStart(const Conn* rec, int32_t i) {
    const int32_t count = rec->head.count;
    if (i + 2 < count && CrnArcFlag(rec, i + 1)) return i;
    if (i >= 1 && i + 1 < count && CrnArcFlag(rec, i)) return i - 1;
    return -1;
}

// One segment search over the record: updates the pick and best score.
struct SegSearch {
    int32_t x, y, curLayer;
    PickGeometry geo;
    int64_t best;
    int32_t picked = -1;

    void Try(const Conn* rec, int32_t j) {
        const int64_t s =
            SegPickDist(rec, j, x, y, rec->crn[j].layer, geo.scale, curLayer, geo.penalty);
        if (s < best) {
            best = s;
            picked = j;
        }
    }
    // The segments on shown layers (gaps only when not barred); true when
    // one of them lowered the best score.
    bool Shown(const Conn* rec, bool gapsBarred) {
        picked = -1;
        for (int32_t j = 0; j + 1 < rec->head.count; ++j) {
            const int32_t layer = rec->crn[j].layer;
            if (!LayerShown(layer) || (layer == 0 && gapsBarred)) continue;
            Try(rec, j);
        }
        return picked >= 0;
    }
};

bool Pickable(const Conn* rec) {
    const ConnHead& h = rec->head;
    if ((h.flags & kConnNotSelected) && (h.flags & kConnNoShove)) return false;
    return h.fromComp != 0 && h.toComp != 0;
}

// The pick of segment j in connection c (entry obj) into MzGoal.
void PickGap(int32_t c, int32_t obj, int32_t j) {
    MzGoal& g = *Goal();
    g.conn = int16_t(c);
    g.objIndex = int16_t(obj);
    g.crn1Index = int16_t(j);
    g.crn2Index = int16_t(j + 1);
}

// The reduction after a pick: a connection that lost corners is searched
// again (every segment, the lowest score wins) and stored reduced.
void ReduceAndRepick(SegSearch& search, Conn* rec) {
    MzGoal& g = *Goal();
    ConnGet(g.conn, rec);
    const int32_t before = rec->head.count;
    connReduce(rec);
    if (rec->head.count >= before) return;
    SegSearch again{search.x, search.y, search.curLayer, search.geo, INT64_MAX};
    for (int32_t j = 0; j + 1 < rec->head.count; ++j)
        again.Try(rec, j);
    if (again.picked >= 0) PickGap(g.conn, g.objIndex, again.picked);
    ConnPut(g.conn, rec);
}

// A click search: no connection picked, the best score the tolerance.
SegSearch StartPick(int32_t x, int32_t y, int32_t curLayer) {
    Goal()->conn = 0;
    SegSearch search{x, y, curLayer, PickGeometryGet(), 0};
    search.best = search.geo.tolerance;
    return search;
}

void FinishPick(SegSearch& search, Conn* rec) {
    MzGoal& g = *Goal();
    if (g.conn) {
        ReduceAndRepick(search, rec);
        if (!pickEnd(search.x, search.y)) g.conn = 0;
    }
}

} // namespace

PickGeometry PickGeometryGet() {
    const DbHeader& h = DbHdr();
    const int64_t width = int64_t(h.extMaxX) - h.extMinX, height = int64_t(h.extMaxY) - h.extMinY;
    int64_t d = 1;
    while (d * kPickCoordRange < width || d * kPickCoordRange < height)
        d *= 2;
    const int64_t q = (int64_t(h.dispMaxX) - h.dispMinX) / (kPickTolDivisor * d);
    const int64_t grid = h.routeGrid / d;
    PickGeometry geo{int32_t(d), q * q, grid * grid};
    if (geo.tolerance < geo.penalty) geo.penalty = 1;
    return geo;
}

int32_t CrnArcFlag(const Conn* rec, int32_t k) {
    return (rec->crn[k].flags & kCrnArc) ? 1 : 0;
}

int64_t SegPickDist(const Conn* rec, int32_t i, int32_t x, int32_t y, int32_t layer, int32_t scale,
                    int32_t curLayer, int64_t penalty) {
    const int64_t d = scale > 0 ? scale : 1;
    const Crn &a = rec->crn[i], &b = rec->crn[i + 1];
    int64_t score;
    const int32_t arc = ArcStart(rec, i);
    if (arc >= 0) {
        const Crn &s = rec->crn[arc], &c = rec->crn[arc + 1], &e = rec->crn[arc + 2];
        const ArcSpec spec{s.x, s.y, c.x, c.y, e.x, e.y, 0};
        const int64_t dist = PtArcDist(x, y, &spec) / d;
        score = dist * dist;
    } else {
        int64_t r = a.x / d - x / d, u = a.y / d - y / d;
        const int64_t o = b.x / d - a.x / d, m = b.y / d - a.y / d;
        int64_t v = o * o + m * m;
        if (v > 1) {
            int64_t w = -(u * m) - (r * o);
            if (w >= 0) {
                if (w < v) {
                    while (w > kShrinkAbove) {
                        v >>= kShrinkShift;
                        w >>= kShrinkShift;
                    }
                    r += o * w / v;
                    u += m * w / v;
                } else {
                    r += o;
                    u += m;
                }
            }
        }
        score = r * r + u * u;
    }
    if (layer != 0 && layer != curLayer) score += penalty;
    return score;
}

void mzPickSegment(int32_t x, int32_t y, int32_t curLayer) {
    SegSearch search = StartPick(x, y, curLayer);
    auto* rec = static_cast<Conn*>(ScratchPush());
    if (ObjTableValid())
        for (int32_t n = ObjFirstConn(); n <= ObjLastConn(); ++n) {
            const MapObj& o = *ObjEntry(n);
            if (o.type != kObjConn) continue;
            ConnReadJournal(o.index, rec);
            if (!Pickable(rec)) continue;
            if (search.Shown(rec, (o.flags & kObjFlagNoRoute) != 0))
                PickGap(o.index, n, search.picked);
        }
    FinishPick(search, rec);
    ScratchPop(rec);
}

void mzPickSegmentDb(int32_t x, int32_t y, int32_t curLayer) {
    SegSearch search = StartPick(x, y, curLayer);
    auto* rec = static_cast<Conn*>(ScratchPush());
    for (int32_t c = 1; c <= ConnCount(); ++c) {
        if (!ConnGet(c, rec) || !Pickable(rec)) continue;
        const int32_t net = rec->head.net;
        const bool noRoute =
            net >= 1 && net <= NetCount() && (NetRef(net)->flags & kNetNoRoute) != 0;
        if (search.Shown(rec, noRoute)) PickGap(c, 0, search.picked);
    }
    FinishPick(search, rec);
    ScratchPop(rec);
}

void mzPickNext() {
    MzGoal& g = *Goal();
    const int32_t count = ConnCount();
    auto next = [count](int32_t c) { return c >= count ? 1 : c + 1; };
    s_nextReads = 0;
    int32_t c = next(s_lastPicked);
    for (int32_t reads = 0; count > 0 && reads < count + kPickNextExtraReads; ++reads) {
        c = next(c);
        ++s_nextReads;
        const Conn* rec = ConnRef(c);
        if (!rec || (rec->head.flags & kConnNotSelected) || !rec->head.fromComp ||
            !rec->head.toComp)
            continue;
        for (int32_t j = 0; j + 1 < rec->head.count; ++j)
            if (rec->crn[j].layer == 0) {
                PickGap(c, 0, j);
                g.goalWidth = int16_t(rec->crn[j].width);
                s_lastPicked = c;
                return;
            }
    }
    g.conn = 0;
    g.objIndex = 0;
}

int32_t PickNextReads() {
    return s_nextReads;
}

int32_t mzPickNearestGap(int32_t x, int32_t y, int32_t net) {
    MzGoal& g = *Goal();
    auto* rec = static_cast<Conn*>(ScratchPush());
    ConnReadJournal(g.conn, rec);
    int32_t result = 0;
    if (net == 0 || net == rec->head.net) {
        const int32_t grid = DbHdr().routeGrid;
        const int32_t count = rec->head.count;
        int64_t best = kPickNearestStart;
        int32_t j = -1;
        for (int32_t i = 0; i + 1 < count; ++i) {
            if (rec->crn[i].layer != 0) continue;
            const int64_t s = SegPickDist(rec, i, x, y, 0, grid, 0, 0);
            if (s < best) {
                best = s;
                j = i;
            }
        }
        if (j >= 0) {
            const Crn& far = rec->crn[j + 1];
            if (far.x == x && far.y == y && j < count - 3 && rec->crn[j + 1].layer == 0) ++j;
            g.crn1Index = int16_t(j);
            g.crn2Index = int16_t(j + 1);
            g.goalWidth = int16_t(rec->crn[j].width);
            const Crn &a = rec->crn[j], &b = rec->crn[j + 1];
            result = !MzMemoryReady() || MzClipSeg(a.x, a.y, b.x, b.y, 0) ? 1 : 0;
        }
    }
    ScratchPop(rec);
    return result;
}

void PickTestReset() {
    s_lastPicked = 0;
    s_nextReads = 0;
}
