// The provisional stitching bodies; see stitchstand.h. Segment i is tested
// in the caller's frame (transposed when the caller swapped x and y) and
// its box is marked in the board's frame. Without the object table and map
// nothing can be tested, and the stitch fails.
#include "router/stitchstand.h"

#include <cstdlib>
#include <utility>

#include "db/dbheader.h"
#include "router/gather.h"
#include "router/maze.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/shove.h"
#include "router/urstate.h"

namespace {

int32_t StitchAsItStands(Conn* path, int32_t transposed, int32_t i) {
    const MzGoal* goal = Goal();
    if (!ObjTableValid() || !MapReady() || !goal || goal->objIndex < 1 || !path->crn[i].layer)
        return 0;
    const Crn& a = path->crn[i];
    const Crn& b = path->crn[i + 1];
    const int32_t half = int32_t(int64_t(a.width) * DbHdr().connGrid / 2);
    if (GatherIsEmpty(a.x, a.y, b.x, b.y, kProbeSeg, a.layer, half, goal->objIndex, transposed)) {
        if (g_shove.cleared) ShoveAppendSeg(g_shove.cleared, path, i, false);
        return 1;
    }
    if (LayerMazeIndex(a.layer)) {
        int32_t x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y;
        if (transposed) {
            std::swap(x1, y1);
            std::swap(x2, y2);
        }
        markSegmentBox(x1, y1, x2, y2, a.layer);
    }
    return 0;
}

} // namespace

int32_t StandStitchStraightSeg(Conn* path, int32_t transposed, int32_t i) {
    if (i < 0 || i + 1 >= path->head.count || path->crn[i].x != path->crn[i + 1].x)
        ErrReport(kErrStitchNotStraight, i);
    return StitchAsItStands(path, transposed, i);
}

int32_t StandStitchDiagSeg(Conn* path, int32_t i) {
    if (i < 0 || i + 1 >= path->head.count) ErrReport(kErrStitchNotDiagonal, i);
    const Crn& a = path->crn[i];
    const Crn& b = path->crn[i + 1];
    const int64_t dx = std::llabs(int64_t(b.x) - a.x);
    if (dx != std::llabs(int64_t(b.y) - a.y)) ErrReport(kErrStitchNotDiagonal, i);
    return StitchAsItStands(path, 0, i);
}
