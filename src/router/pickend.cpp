// Orienting a picked gap: the route starts at the end nearer the click
// (the stored connection is reversed when that is its far end), the
// start-end flag tells whether the route may start at the gap's first
// corner, and the goal width follows the corner, the net's layer-0 width
// attribute or the net's default width.
#include <algorithm>

#include "db/attrs.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/geom.h"
#include "db/nets.h"
#include "db/pool.h"
#include "router/mzgrid.h"
#include "router/mzinit.h"
#include "router/pickroute.h"
#include "router/urstate.h"

namespace {

enum : int32_t {
    kAttrNetWidth = 18, // attributes of kind 18, sub-kind 10 keyed (net, layer)
    kAttrSubKindKey = 10,
    kLongGapCells = 3, // a gap longer than this in maze cells is long
};

int64_t Dist2(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    return (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2);
}

bool InWindow(const Crn& c) {
    const MzBox& w = g_mzGrid.window;
    return c.x >= w.minX && c.x <= w.maxX && c.y >= w.minY && c.y <= w.maxY;
}

// The arc of corners s..s + 2 (s + 1 its centre).
ArcSpec ArcOf(const Conn* rec, int32_t s) {
    const Crn &a = rec->crn[s], &c = rec->crn[s + 1], &e = rec->crn[s + 2];
    return ArcSpec{a.x, a.y, c.x, c.y, e.x, e.y, 0};
}

// Whether the gap must be reversed to start nearer P; -1 when it lies
// outside the routing area.
int32_t ReverseDecision(const Crn& a, const Crn& b, int32_t x, int32_t y) {
    const bool windowSet = MzMemoryReady() != 0;
    const bool ia = !windowSet || InWindow(a), ib = !windowSet || InWindow(b);
    if (ia && ib) return Dist2(x, y, b.x, b.y) < Dist2(x, y, a.x, a.y) ? 1 : 0;
    if (ia) return 0;
    if (ib) return 1;
    int32_t x0 = MzX(a.x), y0 = MzY(a.y), x1 = MzX(b.x), y1 = MzY(b.y);
    if (!MzClipLine(&x0, &y0, &x1, &y1, MzClipBox())) {
        if (g_verbose) DebugPrint("pickEnd: not in routing area");
        return -1;
    }
    const int32_t px = MzX(x), py = MzY(y);
    return Dist2(px, py, x1, y1) < Dist2(px, py, x0, y0) ? 1 : 0;
}

// The start-end flag of the gap at first corner j (which may move onto an
// adjoining arc).
void StartEnd(const Conn* rec, int32_t x, int32_t y) {
    MzGoal& g = *Goal();
    const int32_t count = rec->head.count, j = g.crn1Index;
    const Crn &a = rec->crn[j], &b = rec->crn[j + 1];
    const int64_t pa = Dist2(x, y, a.x, a.y);
    g.startEnd = 1;
    if (j == 0 || j == count - 2) return;
    if (j >= 2 && CrnArcFlag(rec, j - 1)) {
        const ArcSpec arc = ArcOf(rec, j - 2);
        const int64_t d = PtArcDist(x, y, &arc);
        if (d * d < pa) {
            g.crn1Index = int16_t(j - 2);
            g.crn2Index = int16_t(j - 1);
            return;
        }
    }
    if (j + 3 < count && CrnArcFlag(rec, j + 2)) {
        const ArcSpec arc = ArcOf(rec, j + 1);
        const int64_t d = PtArcDist(x, y, &arc);
        if (d * d < pa) {
            g.crn1Index = int16_t(j + 1);
            g.crn2Index = int16_t(j + 2);
            return;
        }
    }
    const bool longGap = std::abs(MzX(a.x) - MzX(b.x)) > kLongGapCells ||
                         std::abs(MzY(a.y) - MzY(b.y)) > kLongGapCells;
    if (longGap && (a.via == 0 || rec->crn[j - 1].layer != 0)) {
        const int64_t mx = (int64_t(a.x) + b.x) / 2, my = (int64_t(a.y) + b.y) / 2;
        g.startEnd = 4 * pa <= Dist2(mx, my, a.x, a.y) ? 1 : 0;
    }
}

} // namespace

int32_t pickEnd(int32_t x, int32_t y) {
    MzGoal& g = *Goal();
    auto* rec = static_cast<Conn*>(ScratchPush());
    ConnGet(g.conn, rec);
    const int32_t count = rec->head.count;
    int32_t result = 1;
    const Crn &a = rec->crn[g.crn1Index], &b = rec->crn[g.crn2Index];
    const bool arc = CrnArcFlag(rec, g.crn1Index) || CrnArcFlag(rec, g.crn2Index);
    if (arc) {
        if (MzMemoryReady() && !InWindow(a) && !InWindow(b)) result = 0;
    } else {
        const int32_t reverse = ReverseDecision(a, b, x, y);
        if (reverse < 0) {
            result = 0;
        } else if (reverse) {
            ConnReverse(rec);
            ConnPut(g.conn, rec);
            const int32_t first = count - 1 - g.crn2Index, last = count - 1 - g.crn1Index;
            g.crn1Index = int16_t(first);
            g.crn2Index = int16_t(last);
        }
    }
    if (result) {
        StartEnd(rec, x, y);
        if (g.conn) {
            if (!(g.crn1Index < count - 1)) ExpectFail(kErrPickFirst);
            if (g.crn2Index != g.crn1Index + 1) ExpectFail(kErrPickLast);
            if (g.crn1Index > count - 2) g.crn1Index = int16_t(count - 2);
            g.crn2Index = int16_t(g.crn1Index + 1);
            g.goalWidth = int16_t(adjustWidth(rec));
        }
    }
    ScratchPop(rec);
    return result;
}

int32_t adjustWidth(const Conn* rec) {
    const MzGoal& g = *Goal();
    const Crn& c = rec->crn[g.crn1Index];
    const int32_t net = rec->head.net;
    int32_t width;
    Attribute attr;
    if (g.crn1Index > 0 || c.layer != 0) {
        width = c.width;
        if (g_verbose) DebugPrint("mzPick/adjustWidth: MzGoal->crn1Index > 0 or lev != 0");
    } else if (AttrFind(kAttrNetWidth, kAttrSubKindKey, net, 0, &attr)) {
        const int32_t unit = DbHdr().connGrid > 0 ? DbHdr().connGrid : 1;
        width = attr.value3 / unit;
        if (g_verbose) DebugPrint("mzPick/adjustWidth: MzGoal->crn1Index == 0 and net attr found");
    } else {
        width = net >= 1 && net <= NetCount() ? NetRef(net)->width : 0;
        if (g_verbose) DebugPrint("mzPick/adjustWidth: default");
    }
    if (g_verbose) {
        DebugPrint("MzGoal->crn1Index == %d", int(g.crn1Index));
        ConnDump(rec, "mzPick/adjustWidth", 0);
    }
    return width;
}
