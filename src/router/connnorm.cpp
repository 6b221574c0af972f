// Connection normal form. Corners are removed and inserted with local
// helpers that keep every other field as it is (the table's corner editors
// also adjust widths and flags, which normalisation must not). Corner 0's
// arriving layer is 0.
#include "router/connnorm.h"

#include <cstdlib>
#include <cstring>

#include "db/attrs.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/nets.h"
#include "db/thru.h"
#include "router/costs.h"
#include "router/mzgrid.h"

namespace {

enum : ErrCode {
    kErrExtraVia = 2160010,
    kErrMissingVia = 2160011,
    kErrWrongVia = 2160012,
    kErrBadVia = 2160013,
    kErrLoopRange = 2160020,
    kErrArc = 2160030,
};

enum : int32_t {
    kAttrNetWidth = 18, // attributes of kind 18, sub-kind 10 keyed (net, layer)
    kAttrSubKindKey = 10,
};

bool Pinned(const Crn& c) {
    return (c.flags & (kCrnLocked | kCrnLatched)) != 0;
}

bool SamePoint(const Crn& a, const Crn& b) {
    return a.x == b.x && a.y == b.y;
}

void Remove(Conn* r, int32_t a, int32_t n) {
    int32_t count = r->head.count;
    std::memmove(&r->crn[a], &r->crn[a + n], size_t(count - a - n) * sizeof(Crn));
    r->head.count = int16_t(count - n);
}

// Inserts c after corner a; false when the record is full.
bool InsertAfter(Conn* r, int32_t a, const Crn& c) {
    int32_t count = r->head.count;
    if (count >= kConnInsertLimit) return false;
    std::memmove(&r->crn[a + 2], &r->crn[a + 1], size_t(count - 1 - a) * sizeof(Crn));
    r->crn[a + 1] = c;
    r->head.count = int16_t(count + 1);
    return true;
}

int32_t Arriving(const Conn* r, int32_t i) {
    return i > 0 ? r->crn[i - 1].layer : 0;
}

bool PadOn(int32_t via, int32_t layer) {
    return via >= 1 && via <= ThruCount() && PadstackOnLayer(via, layer);
}

bool DuplicateSweep(Conn* r) {
    bool changed = false;
    for (int32_t i = 0; i + 1 < r->head.count;) {
        Crn& a = r->crn[i];
        const Crn& b = r->crn[i + 1];
        if (!SamePoint(a, b)) {
            ++i;
            continue;
        }
        if (r->head.count < 3) break;
        if (Pinned(a) || Pinned(b)) {
            ++i;
            continue;
        }
        int32_t d = a.via, c = b.via, e = Arriving(r, i), f = b.layer;
        bool first = i == 0, last = i + 1 == r->head.count - 1;
        if (last && d && e != f) break;
        int32_t keep = d;
        if (d != c && (first || last || e != f) && (d == 0 || (!last && f != 0 && !PadOn(d, f)))) {
            if (c == 0 || (!first && e != 0 && !PadOn(c, e))) {
                if (g_verbose) DebugPrint("connReduce: stacked vias");
                ++i;
                continue;
            }
            keep = c;
        }
        a.layer = b.layer;
        a.width = b.width;
        a.flags = uint8_t(a.flags | b.flags);
        a.via = uint8_t(keep);
        Remove(r, i + 1, 1);
        changed = true;
    }
    return changed;
}

bool Collinear(const Crn& p0, const Crn& p1, const Crn& p2) {
    int64_t dx1 = int64_t(p1.x) - p0.x, dy1 = int64_t(p1.y) - p0.y;
    int64_t dx2 = int64_t(p2.x) - p1.x, dy2 = int64_t(p2.y) - p1.y;
    if (p0.x == p1.x && p1.x == p2.x) return true;
    if (p0.y == p1.y && p1.y == p2.y) return true;
    if (dx1 == dy1 && dx2 == dy2) return true;
    return dx1 == -dy1 && dx2 == -dy2;
}

bool CollinearSweep(Conn* r) {
    bool changed = false;
    for (int32_t i = 0; i + 2 < r->head.count;) {
        const Crn &a = r->crn[i], &b = r->crn[i + 1];
        if (a.layer == b.layer && a.width == b.width && !Pinned(a) && !Pinned(b) &&
            Collinear(a, b, r->crn[i + 2])) {
            Remove(r, i + 1, 1);
            changed = true;
            continue;
        }
        ++i;
    }
    return changed;
}

bool LoopSweep(Conn* r) {
    bool changed = false;
    for (int32_t j = 0; j < r->head.count; ++j) {
        if (r->head.count < 3) break;
        if (Pinned(r->crn[j])) continue;
        int32_t lastCrn = r->head.count - 1;
        int32_t end = j + kLoopLookAhead < lastCrn ? j + kLoopLookAhead : lastCrn;
        for (int32_t k = j + 1; k <= end; ++k) {
            const Crn& ck = r->crn[k];
            if (Pinned(ck)) break;
            int32_t layer = k == lastCrn ? r->crn[k - 1].layer : ck.layer;
            if (!SamePoint(ck, r->crn[j]) || layer != r->crn[j].layer) continue;
            if (j == lastCrn - 1 && Arriving(r, j) != r->crn[j].layer) break;
            if (j == 0 && k == lastCrn) break;
            if (k == lastCrn) {
                r->crn[j].layer = 0;
                r->crn[j].width = ck.width;
            }
            Remove(r, j + 1, k - j);
            changed = true;
            break;
        }
    }
    return changed;
}

void ViaFault(const Conn* r, const char* message, ErrCode code, bool raise) {
    if (!raise) return;
    ConnDump(r, message, 1);
    ErrReport(code, 0);
}

bool ViaSweep(Conn* r) {
    bool changed = false;
    for (int32_t i = 1; i + 1 < r->head.count; ++i) {
        Crn& c = r->crn[i];
        int32_t d = r->crn[i - 1].layer, e = c.layer;
        if (!d || !e || d >= kLayerSlots || e >= kLayerSlots) continue;
        int32_t f = g_viaPair[d][e];
        if (c.via == f) continue;
        if (d == e) {
            ViaFault(r, "connReduce: extra via", kErrExtraVia, g_verbose);
            c.via = 0;
        } else if (c.via == 0) {
            ViaFault(r, "connReduce: missing via", kErrMissingVia, g_verbose);
            c.via = uint8_t(f);
        } else if (PadOn(c.via, d) && PadOn(c.via, e)) {
            continue;
        } else if (f == 0) {
            ViaFault(r, "connReduce bad via", kErrBadVia, g_verbose && g_debug);
            continue;
        } else {
            ViaFault(r, "connReduce wrong via", kErrWrongVia, g_verbose);
            c.via = uint8_t(f);
        }
        changed = true;
    }
    return changed;
}

bool Inside(const Crn& c, const MzBox& w) {
    return c.x >= w.minX && c.x <= w.maxX && c.y >= w.minY && c.y <= w.maxY;
}

bool Between(int64_t v, int64_t a, int64_t b) {
    return a < b ? (v >= a && v <= b) : (v >= b && v <= a);
}

// Where the segment a-b crosses the window's edge; false when it is not
// split (another angle, or no crossing off its ends).
bool Crossing(const Crn& a, const Crn& b, const MzBox& w, int32_t* x, int32_t* y) {
    int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
    if (dx == 0) {
        *x = a.x;
        if (Between(w.minY, a.y, b.y))
            *y = w.minY;
        else if (Between(w.maxY, a.y, b.y))
            *y = w.maxY;
        else
            return false;
        return true;
    }
    if (dy == 0) {
        *y = a.y;
        if (Between(w.minX, a.x, b.x))
            *x = w.minX;
        else if (Between(w.maxX, a.x, b.x))
            *x = w.maxX;
        else
            return false;
        return true;
    }
    if (std::llabs(dx) != std::llabs(dy)) return false;
    int64_t s = (dx > 0) == (dy > 0) ? 1 : -1; // y = a.y + s (x - a.x)
    struct Edge {
        bool vertical;
        int64_t at;
    } edges[] = {{true, w.maxX}, {false, w.maxY}, {true, w.minX}, {false, w.minY}};
    for (const Edge& e : edges) {
        int64_t px = e.vertical ? e.at : a.x + s * (e.at - a.y);
        int64_t py = e.vertical ? a.y + s * (e.at - a.x) : e.at;
        if (!Between(px, a.x, b.x) || !Between(py, a.y, b.y)) continue;
        if (px < w.minX || px > w.maxX || py < w.minY || py > w.maxY) continue;
        *x = int32_t(px);
        *y = int32_t(py);
        return true;
    }
    return false;
}

} // namespace

int32_t connReduce(Conn* r) {
    bool any = false;
    for (;;) {
        bool round = DuplicateSweep(r);
        round = CollinearSweep(r) || round;
        round = LoopSweep(r) || round;
        if (!round) break;
        any = true;
    }
    if (ViaSweep(r)) any = true;
    return any ? 1 : 0;
}

int32_t ConnRemoveLoops(Conn* r, int32_t first, int32_t last) {
    if (first < 0 || first > last || last > r->head.count - 1) ErrReport(kErrLoopRange, last);
    bool any = false;
    for (bool changed = true; changed;) {
        changed = false;
        for (int32_t i = 0; i < last; ++i) {
            for (int32_t j = last - 1; j >= i + 2 && j >= first; --j) {
                const Crn &a0 = r->crn[i], &a1 = r->crn[i + 1];
                const Crn &b0 = r->crn[j], &b1 = r->crn[j + 1];
                if (a0.layer != b0.layer || (a0.flags & kCrnLocked) || (b1.flags & kCrnLocked))
                    continue;
                int32_t x, y;
                if (LineIntersect(&x, &y, a0.x, a0.y, a1.x, a1.y, b0.x, b0.y, b1.x, b1.y) != 1)
                    continue;
                if (!PtOnSeg(x, y, a0.x, a0.y, a1.x, a1.y) ||
                    !PtOnSeg(x, y, b0.x, b0.y, b1.x, b1.y))
                    continue;
                Crn cross = r->crn[i];
                cross.x = x;
                cross.y = y;
                cross.via = 0;
                cross.flags = 0;
                Remove(r, i + 1, j - i);
                InsertAfter(r, i, cross);
                last -= j - i - 1;
                changed = any = true;
                break;
            }
        }
    }
    return any ? 1 : 0;
}

int32_t ConnSplitAtWindow(Conn* r, int32_t tracked) {
    const MzBox& w = g_mzGrid.window;
    for (int32_t i = 0; i + 1 < r->head.count; ++i) {
        const Crn &a = r->crn[i], &b = r->crn[i + 1];
        if (!a.layer || (Pinned(a) && Pinned(b))) continue;
        bool inA = Inside(a, w), inB = Inside(b, w);
        if (inA == inB) continue;
        int32_t x, y;
        if (!Crossing(a, b, w, &x, &y)) continue;
        if ((x == a.x && y == a.y) || (x == b.x && y == b.y)) continue;
        Crn c = a;
        c.x = x;
        c.y = y;
        c.via = 0;
        c.flags = 0;
        if (!InsertAfter(r, i, c)) break;
        if (tracked > i || (tracked == i && !inA)) ++tracked;
        ++i; // go on after the new corner
    }
    return tracked;
}

void ConnArcGet(int32_t i, const Conn* r, ArcSpec* out) {
    if (i < 0 || i > r->head.count - 3) ErrReport(kErrArc, i);
    const Crn *s = &r->crn[i], *c = &r->crn[i + 1], *e = &r->crn[i + 2];
    if (!(c->flags & kCrnArc)) ErrReport(kErrArc, i);
    if (!(s->flags & kCrnLocked) || !(c->flags & kCrnLocked) || !(e->flags & kCrnLocked))
        ErrReport(kErrArc, i);
    *out = ArcSpec{s->x, s->y, c->x, c->y, e->x, e->y, 0};
}

void ConnFixWidth(Conn* r, int32_t mode) {
    if (!(r->head.flags & kConnNetAttr)) return;
    int32_t net = r->head.net;
    int32_t unit = DbHdr().connGrid > 0 ? DbHdr().connGrid : 1;
    for (int32_t i = 0; i + 1 < r->head.count; ++i) {
        Crn &a = r->crn[i], &b = r->crn[i + 1];
        if (!a.layer || ((a.flags & kCrnLocked) && (b.flags & kCrnLocked))) continue;
        Attribute attr;
        if (AttrFind(kAttrNetWidth, kAttrSubKindKey, net, a.layer, &attr)) {
            uint16_t w = uint16_t(attr.value1 / unit);
            if (w != a.width && g_verbose) DebugPrint("*ConnFixWidth: BAD width, attr section");
            a.width = w;
        } else if (mode == 1 && net >= 1 && net <= NetCount()) {
            uint16_t w = NetRef(net)->width;
            if (w != a.width && g_verbose) DebugPrint("*ConnFixWidth: BAD width, non-attr section");
            a.width = w;
        }
    }
}
