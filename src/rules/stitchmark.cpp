// Marking the maze around the stitch points that could not be cleared: the
// cells across each such point from its low to its high edge, widened by
// half a grid on the sides that were not blocked, get the design-rule mark,
// or the temporary mark when the point failed outright. Only the usable
// band of the segment's layer is touched, and the codes that stay are kept
// (see ClearMarkCell).
#include <cstdint>

#include "router/maze.h"
#include "router/mzgrid.h"
#include "rules/clearcore.h"
#include "rules/stitch.h"

void stitchMarkCell(int32_t shove, int32_t run, int32_t code) {
    int32_t x, y;
    StitchWorld(shove, run, &x, &y);
    ClearMarkCell(MzX(x), MzY(y), g_stitch.layer, code);
}

void stitchMarkFailures() {
    const StitchPoint* pts = StitchPoints();
    const int32_t h = ClearHalfGrid();
    for (int32_t k = 0; k < g_stitch.count; ++k) {
        const StitchPoint& p = pts[k];
        if (!(p.flags & kStNotCleared)) continue;
        const int32_t low = p.low - ((p.flags & kStLowBlocked) ? 0 : h);
        const int32_t high = p.high + ((p.flags & kStHighBlocked) ? 0 : h);
        const int32_t code = (p.flags & kStFailed) ? kCellTempMark : kCellRuleMark;
        for (int32_t v = low; v < high + h; v += h)
            stitchMarkCell(v > high ? high : v, p.run, code);
    }
}
