// Snipping a path's ends where a gap meets routed copper: a corner on a
// half-grid row or column that lines up with the other end of its routed
// segment moves half a grid toward that end, so the routed segment ends on
// the grid. Reductions run between the walks until one changes nothing;
// the walks are bounded by the corner limit.
#include "db/conns.h"
#include "router/connnorm.h"
#include "router/mzgrid.h"
#include "router/shove.h"

namespace {

int32_t Toward(int32_t from, int32_t to) {
    return to > from ? 1 : -1;
}

// Moves corner c (of the gap) toward the routed segment's other end o.
// lead: the gap begins at c. 1 when it moved.
int32_t Snip(Crn* c, const Crn& o, int32_t index, bool lead) {
    const int32_t h = g_mzGrid.h;
    const bool oddRow = MzY(c->y) & 1;
    const bool oddColumn = MzX(c->x) & 1;
    if (oddRow) {
        if (MzX(c->x) == MzX(o.x) && c->y != o.y) {
            if (g_verbose)
                DebugPrint(lead ? "snip crn %d: Lead Y snip" : "snip crn %d: Trail Y snip",
                           int(index));
            c->y += Toward(c->y, o.y) * h;
            return 1;
        }
        if (g_verbose)
            DebugPrint(lead ? "snip crn %d: unknown lead Y snip"
                            : "snip crn %d: Unknown trail Y snip",
                       int(index));
    }
    if (oddColumn) {
        if (MzY(c->y) == MzY(o.y) && c->x != o.x) {
            if (g_verbose)
                DebugPrint(lead ? "snip crn %d: Lead X snip" : "snip crn %d: Trail X snip",
                           int(index));
            c->x += Toward(c->x, o.x) * h;
            return 1;
        }
        if (g_verbose)
            DebugPrint(lead ? "snip crn %d: Unknown leading X snip"
                            : "snip crn %d: Unknown trail X snip",
                       int(index));
    }
    return 0;
}

} // namespace

void snipPathEnds(Conn* path) {
    connReduce(path);
    for (int32_t round = 0; round < kConnMaxCorners; ++round) {
        int32_t moved = 0;
        const int32_t n = path->head.count;
        for (int32_t i = 0; i + 1 < n; ++i) {
            if (path->crn[i].layer) continue;
            if (i > 0 && path->crn[i - 1].layer)
                moved |= Snip(&path->crn[i], path->crn[i - 1], i, true);
            if (i + 2 < n && path->crn[i + 1].layer)
                moved |= Snip(&path->crn[i + 1], path->crn[i + 2], i + 1, false);
        }
        if (!moved || !connReduce(path)) break;
    }
}
