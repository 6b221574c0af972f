// The clearance stand-ins. Only what lies inside RouteWindow (edges
// included) is checked: probes outside it would meet the map's edge.
#include "router/drcstand.h"

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/pool.h"
#include "router/connnorm.h"
#include "router/gather.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/rulesvc.h"
#include "router/urstate.h"
#include "router/viamap.h"

namespace {

enum : uint16_t { kLayerJumper = 0x0008 };

bool InWindow(int32_t x, int32_t y) {
    const MzBox& w = g_mzGrid.window;
    return x >= w.minX && x <= w.maxX && y >= w.minY && y <= w.maxY;
}

bool Ready() {
    return ObjTableValid() && MapReady();
}

// Every via corner of the range inside the window is free on every routing
// layer where its padstack has a pad.
bool ViasClear(int32_t entry, const Conn* rec, int32_t first, int32_t last) {
    for (int32_t i = first; i <= last; ++i) {
        const Crn& c = rec->crn[i];
        if (!c.via || !InWindow(c.x, c.y)) continue;
        for (int32_t l = 1; l <= MapLayerCount(); ++l) {
            if (!LayerRoutable(l)) continue;
            const int32_t size = ViaPadSize(c.via, l);
            if (size > 0 && !GatherIsEmpty(c.x, c.y, c.x, c.y, kProbeVia, l, size, entry, 0))
                return false;
        }
    }
    return true;
}

// Every routed segment of the range with both ends inside the window is
// free; with jumpersOnly, only those on jumper layers.
bool SegsClear(int32_t entry, const Conn* rec, int32_t first, int32_t last, bool jumpersOnly) {
    const int32_t unit = DbHdr().connGrid;
    for (int32_t i = first; i < last; ++i) {
        const Crn &a = rec->crn[i], &b = rec->crn[i + 1];
        if (!a.layer || a.layer > MapLayerCount() || !LayerRoutable(a.layer)) continue;
        if ((b.flags & kCrnArc) || (a.flags & kCrnArc)) continue; // arcs: the checker proper
        if (jumpersOnly && !(LayerRecOf(a.layer)->flags & kLayerJumper)) continue;
        if (!InWindow(a.x, a.y) || !InWindow(b.x, b.y)) continue;
        const int32_t half = int32_t(int64_t(a.width) * unit / 2);
        if (!GatherIsEmpty(a.x, a.y, b.x, b.y, kProbeSeg, a.layer, half, entry, 0)) return false;
    }
    return true;
}

int32_t GoalEntry() {
    const MzGoal* g = Goal();
    return g ? g->objIndex : 0;
}

} // namespace

int32_t StandDrcCheckConn(int32_t entry, const Conn* rec, int32_t first, int32_t last) {
    if (first < 0) ErrReport(kErrDrcFirstCorner, first);
    if (last < first || last > rec->head.count - 1) ErrReport(kErrDrcLastCorner, last);
    if (DrcMode < 0 || DrcMode > kDrcModeMax) ErrReport(kErrDrcMode, DrcMode);
    if (!Ready() || entry == 0) return 1;
    return SegsClear(entry, rec, first, last, false) && ViasClear(entry, rec, first, last) ? 1 : 0;
}

int32_t StandClearAllVias(Conn* rec) {
    const int32_t e = GoalEntry();
    if (!Ready() || e < 1 || e > ObjCount() || rec->head.count < 1) return 1;
    return ViasClear(e, rec, 0, rec->head.count - 1) ? 1 : 0;
}

int32_t StandClearAllJumpers(Conn* rec) {
    const int32_t e = GoalEntry();
    if (!Ready() || e < 1 || e > ObjCount() || rec->head.count < 1) return 1;
    return SegsClear(e, rec, 0, rec->head.count - 1, true) ? 1 : 0;
}
