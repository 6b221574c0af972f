// hitConn1Conn2: where conn1 and conn2 come within clearance of each other
// (their hit ranges), the corner they share (their common corners, found
// or made at a crossing), and, in join mode 1, how far they keep running
// side by side (the extend search). Only the free stretches are examined:
// routed corners that are neither Locked nor Latched, with one corner of
// margin. Nothing is stored; a corner is inserted at a crossing only when
// the copy stays within the corner limit.
#include <algorithm>

#include "db/conns.h"
#include "db/geom.h"
#include "db/layers.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "rules/cleanitem.h"
#include "rules/joinedit.h"
#include "rules/ruleadapt.h"
#include "rules/seggeom.h"

namespace {

enum : int32_t {
    kClassSeg = 0,
    kClassVia = 2,
    kKindSeg = 0,
    kKindVia = 2,
};

struct Stretch {
    int32_t first = 0, last = -1;
};

bool FreeCorner(const Conn* c, int32_t i) {
    const Crn& k = c->crn[i];
    if (k.flags & (kCrnLocked | kCrnLatched)) return false;
    return k.layer || (i > 0 && c->crn[i - 1].layer);
}

Stretch FreeStretch(const Conn* c) {
    Stretch s;
    const int32_t n = c->head.count;
    int32_t f = -1, l = -1;
    for (int32_t i = 0; i < n; ++i)
        if (FreeCorner(c, i)) {
            if (f < 0) f = i;
            l = i;
        }
    if (f < 0) return s;
    s.first = std::max(0, f - 1);
    s.last = std::min(n - 1, l + 1);
    return s;
}

// An element of conn2: a via pad (a point) or a segment, on a layer.
struct Element {
    int32_t x1, y1, x2, y2;
    int32_t layer;
    int32_t reach; // pad radius or half width
    int32_t kind;  // spacing column: kKindVia or kKindSeg
};

int64_t DistTo(const Element& e, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return SegSegDist(e.x1, e.y1, e.x2, e.y2, x1, y1, x2, y2);
}

void Widen(CleanItem* it, int32_t a, int32_t b) {
    if (it->first < 0 || a < it->first) it->first = a;
    it->last = std::max(it->last, b);
}

// Conn1's corners of [from, to] within the clearance of the element (the
// spacing part times factor); the hits widen conn1's range (near: only
// its end moves). 1 when anything was hit.
int32_t ScanConn1(const Element& e, int32_t from, int32_t to, int32_t factor, bool near) {
    const Conn* c = CleanConn1.conn;
    int32_t hit = 0;
    for (int32_t k = from; k <= to; ++k) {
        const Crn& p = c->crn[k];
        if (p.via && ViaPadCode(p.via, e.layer)) {
            const int64_t lim = int64_t(e.reach) + ViaPadRadius(p.via, e.layer) +
                                int64_t(factor) * LayerSpacing(e.layer, e.kind, nullptr, kClassVia);
            if (DistTo(e, p.x, p.y, p.x, p.y) < lim) {
                near ? void(CleanConn1.last = std::max(CleanConn1.last, k))
                     : Widen(&CleanConn1, k, k);
                hit = 1;
            }
        }
        if (k < to && p.layer == e.layer) {
            const Crn& q = c->crn[k + 1];
            if (near && int64_t(p.width) * WidthUnit() >= g_mzGrid.g) break;
            const int64_t lim = int64_t(e.reach) + HalfWidth(p) +
                                int64_t(factor) * LayerSpacing(e.layer, e.kind, nullptr, kClassSeg);
            if (DistTo(e, p.x, p.y, q.x, q.y) < lim) {
                near ? void(CleanConn1.last = std::max(CleanConn1.last, k + 1))
                     : Widen(&CleanConn1, k, k + 1);
                hit = 1;
            }
        }
    }
    return hit;
}

Stretch s_free1;

int32_t hitConn1Range(const Element& e) {
    return ScanConn1(e, s_free1.first, s_free1.last, 1, false);
}

int32_t hitConn1Near(const Element& e) {
    return ScanConn1(e, CleanConn1.last, s_free1.last, kJoinExtendFactor, true);
}

// Calls f for each element of conn2 at corner j (its via pads on the
// active layers, then its routed segment); stops when f answers false.
template <typename F> bool ForElements(const Conn* c, int32_t j, bool segment, F f) {
    const Crn& p = c->crn[j];
    if (p.via && MzClipSeg(p.x, p.y, p.x, p.y, 1))
        for (int32_t l = 1; l <= LayerCount(); ++l)
            if (LayerActive(l) && ViaPadCode(p.via, l))
                if (!f(Element{p.x, p.y, p.x, p.y, l, ViaPadRadius(p.via, l), kKindVia}, false))
                    return false;
    if (segment && p.layer && j + 1 < c->head.count) {
        const Crn& q = c->crn[j + 1];
        if (MzClipSeg(p.x, p.y, q.x, q.y, 1))
            if (!f(Element{p.x, p.y, q.x, q.y, p.layer, HalfWidth(p), kKindSeg}, true))
                return false;
    }
    return true;
}

// The extend search: conn2 followed from the end of its hit range while its
// elements stay within the five-fold reach of conn1's free stretch.
int32_t hitConn1Range2() {
    const Conn* c2 = CleanConn2.conn;
    const Stretch s2 = FreeStretch(c2);
    for (int32_t j = CleanConn2.last; j <= s2.last; ++j) {
        bool go = ForElements(c2, j, j < s2.last, [&](const Element& e, bool seg) {
            if (seg && e.reach >= g_mzGrid.g / 2) return false;
            if (!hitConn1Near(e)) return false;
            CleanConn2.last = std::max(CleanConn2.last, seg ? j + 1 : j);
            return true;
        });
        if (!go) break;
    }
    const int32_t n1 = CleanConn1.conn->head.count, n2 = c2->head.count;
    return CleanConn1.last < n1 - 2 && CleanConn2.last < n2 - 2;
}

bool SharedPin(const Conn* a, const Conn* b) {
    return a->head.fromComp && a->head.fromComp == b->head.fromComp &&
           a->head.fromPin == b->head.fromPin;
}

// A corner of conn1's range and one of conn2's at one point, conn2's
// segment there on conn1's layer.
bool SharedCorner() {
    const Conn* c1 = CleanConn1.conn;
    const Conn* c2 = CleanConn2.conn;
    for (int32_t i = CleanConn1.first; i <= CleanConn1.last; ++i) {
        const Crn& p = c1->crn[i];
        const int32_t layer = i == c1->head.count - 1 ? LayerBefore(c1, i) : p.layer;
        for (int32_t j = CleanConn2.first; j <= CleanConn2.last; ++j) {
            const Crn& q = c2->crn[j];
            if (q.x != p.x || q.y != p.y) continue;
            const bool on = (j < c2->head.count - 1 && q.layer == layer) ||
                            (j > 0 && c2->crn[j - 1].layer == layer);
            if (!on) continue;
            CleanConn1.common = i;
            CleanConn2.common = j;
            return true;
        }
    }
    return false;
}

// The corner of segment i at the point, or a new one after its start.
bool CommonAt(CleanItem* it, int32_t i, SegPt p) {
    Conn* c = it->conn;
    for (int32_t k : {i, i + 1})
        if (c->crn[k].x == p.x && c->crn[k].y == p.y) {
            it->common = k;
            return true;
        }
    if (!JoinInsert(c, i + 1)) {
        CleanFailure = true;
        return false;
    }
    Crn& k = c->crn[i + 1];
    k = c->crn[i];
    k.x = p.x;
    k.y = p.y;
    k.via = 0;
    k.flags = 0;
    it->common = i + 1;
    ++it->last;
    it->changed = true;
    return true;
}

int32_t Crossing() {
    Conn* c1 = CleanConn1.conn;
    Conn* c2 = CleanConn2.conn;
    for (int32_t i = CleanConn1.first; i < CleanConn1.last; ++i) {
        const Crn &a0 = c1->crn[i], &a1 = c1->crn[i + 1];
        if (!a0.layer) continue;
        for (int32_t j = CleanConn2.first; j < CleanConn2.last; ++j) {
            const Crn &b0 = c2->crn[j], &b1 = c2->crn[j + 1];
            if (b0.layer != a0.layer) continue;
            if (SegSegDist(a0.x, a0.y, a1.x, a1.y, b0.x, b0.y, b1.x, b1.y) != 0) continue;
            SegPt p1, p2;
            SegClosestPoints(Seg{{a0.x, a0.y}, {a1.x, a1.y}}, Seg{{b0.x, b0.y}, {b1.x, b1.y}}, &p1,
                             &p2);
            if (p1.x != p2.x || p1.y != p2.y) {
                if (g_verbose) DebugPrint("*hitConn1Conn2:  Confused about common point");
                return 0;
            }
            if (!CommonAt(&CleanConn1, i, p1) || !CommonAt(&CleanConn2, j, p1)) return 0;
            return 1;
        }
    }
    if (g_verbose) DebugPrint("*hitConn1Conn2:  Can't find common point");
    return 0;
}

bool SameCorner(const Crn& a, const Crn& b) {
    return a.x == b.x && a.y == b.y && a.layer == b.layer && a.width == b.width && a.via == b.via;
}

} // namespace

int32_t hitConn1Conn2(int32_t mode) {
    CleanItem& i1 = CleanConn1;
    CleanItem& i2 = CleanConn2;
    i1.first = kCleanRangeFirstUnset;
    i1.last = 0;
    i1.common = kCleanNoCorner;
    i2.first = i2.last = i2.common = kCleanNoCorner;
    const Conn* c2 = i2.conn;
    const Stretch s2 = FreeStretch(c2);
    s_free1 = FreeStretch(i1.conn);
    if (s_free1.last < s_free1.first) return 0;
    bool hit = false;
    for (int32_t j = s2.first; j <= s2.last; ++j)
        ForElements(c2, j, j < s2.last, [&](const Element& e, bool seg) {
            if (hitConn1Range(e)) {
                Widen(&i2, j, seg ? j + 1 : j);
                hit = true;
            }
            return true;
        });
    if (!hit) return 0;
    if (i1.last < i1.first) ErrReport(kErrCleanRange1, i1.last);
    if (i2.last < i2.first) ErrReport(kErrCleanRange2, i2.last);
    if (SharedPin(i1.conn, c2)) {
        i1.common = i2.common = 0;
        i1.first = i2.first = 0;
    } else if (!SharedCorner()) {
        return Crossing();
    }
    if (i1.common == 0) {
        const Conn* c1 = i1.conn;
        while (i1.common + 1 < c1->head.count && i2.common + 1 < c2->head.count &&
               SameCorner(c1->crn[i1.common + 1], c2->crn[i2.common + 1])) {
            ++i1.common;
            ++i2.common;
        }
    }
    if (mode == 0) return 1;
    if (!hitConn1Range2()) return 0;
    i1.extend = i2.extend = true;
    if (g_verbose)
        DebugPrint("hitConn1Conn2: extend conn1 %d to %d, conn2 %d to %d", int(i1.first),
                   int(i1.last), int(i2.first), int(i2.last));
    return 1;
}
