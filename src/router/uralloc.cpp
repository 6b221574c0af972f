// Opening and closing the router. Every refusal of UrAlloc comes before
// anything is allocated: the routing-layer limits, the window step (a
// window smaller than its overlap and the maze border would never advance)
// and the memory test, which compares in signed 64-bit arithmetic so that
// neither a large machine nor a tiny one wraps.
#include "router/uralloc.h"

#include "db/dbheader.h"
#include "db/layers.h"
#include "db/runopt.h"
#include "db/shellsvc.h"
#include "router/boardalloc.h"
#include "router/layertab.h"
#include "router/mzinit.h"
#include "router/objvalidate.h"
#include "router/stepping.h"
#include "router/urmsg.h"
#include "router/urstate.h"

namespace {

// Maze layers the sweep would number: routable layers it enables.
int32_t MazeLayerCount(const Sweep& s) {
    int32_t layers = LayerCount();
    if (layers > kMaxLayers) layers = kMaxLayers;
    int32_t n = 0;
    for (int32_t l = 1; l <= layers; ++l)
        if (!(LayerRef(l)->flags & kLayerNotRoutable) && s.enable[l]) ++n;
    return n;
}

// Whether a window of the sweep's BOX advances by at least one grid unit
// along both axes after its overlap and the maze border.
bool WindowSteps(const Sweep& s) {
    return s.box[0] - s.box[2] - kWindowBorderGrids >= kUrMinWindowStep &&
           s.box[1] - s.box[3] - kWindowBorderGrids >= kUrMinWindowStep;
}

} // namespace

int32_t UrAlloc() {
    if (g_verbose) DebugPrint("UrAlloc: Starting");
    UrReadHeaderAndSweep();
    const Sweep& s = CurSweep();
    if (LayerCountEnabled() > kUrMaxRoutingLayers || MazeLayerCount(s) > kUrMaxMazeLayers) {
        UrMsgNote(kMsgTooManyLayers);
        return 0;
    }
    if (!WindowSteps(s)) {
        UrMsgNote(kMsgWindowTooSmall);
        return 0;
    }
    const int64_t room = int64_t(ComMemGetPhysical()) - kUrMemoryReserveBytes;
    if (int64_t(MapCalcEstimatedMem(&s)) > room) {
        FrontAppWindow()->pendingMessage = kMsgAreaTooLarge;
        return 0;
    }
    if (!DisplayInit()) return 0;
    return BoardAlloc();
}

void UrClose() {
    if (g_verbose) DebugPrint("UrClose: Releasing globals");
    urObjInvalidate();
    DisplayClose();
    MazeRelease();
    g_router.anyPassEnabled = 0;
    g_router.mazeNeeded = 0;
    g_router.ripUpAllowed = 0;
    if (MzGoal* goal = Goal()) goal->state = kGoalIdle;
}
