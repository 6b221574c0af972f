// Recovery of a route-loop step cut short by an internal error (see the
// header). Nothing here raises a trapped error: the recovery runs outside
// the step's trap, so a fault in it takes the fatal road.
#include "router/steprecover.h"

#include "db/altjournal.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "router/costs.h"
#include "router/loopcommon.h"
#include "router/loopstate.h"
#include "router/objmap.h"
#include "router/objvalidate.h"
#include "router/rankroutes.h"
#include "router/rulesvc.h"
#include "router/wave.h"

namespace {

enum : int32_t { kPoolsMax = 40, kOverlayErase = 0 };

void CloseRankPool() {
    for (int32_t p = 1; p <= kPoolsMax; ++p)
        if (PoolOwner(p) == kOwnerRankPool) PoolClose(p);
}

} // namespace

RouteStepMark RouteStepBegin() {
    g_loop.stepConn = 0;
    return RouteStepMark{AltDepth(),    ScratchDepth(), *Goal(),        DrcMode,
                         g_sweepRunFlag, DfmFlags,      g_pushOptions};
}

void RouteStepDone() {
    g_loop.trapsInARow = 0;
}

void RouteStepRecover(const RouteStepMark& mark, const ErrTrapped& error) {
    while (AltDepth() > mark.altDepth)
        AltPop(false);
    ScratchUnwind(mark.scratchDepth);
    PushTablesUnwind();
    ObsMapUnwind();
    CloseRankPool();
    DrcMode = mark.drcMode;
    g_sweepRunFlag = mark.sweepRunFlag;
    DfmFlags = mark.dfmFlags;
    g_pushOptions = mark.push;
    MzGoal& g = *Goal();
    // The connection in hand when the step began, else the one it took up
    // (a hop's re-route may hold another connection when the error came).
    const int32_t conn = mark.goal.conn ? mark.goal.conn : g_loop.stepConn;
    g = mark.goal;
    ShowTrackPath(kOverlayErase, nullptr);
    WaveReset();
    PrepCost(g.pass);
    urObjInvalidate();
    g.conn = 0;
    g.totalCost = 0;
    g.useNearest = 0;
    g.hopRouting = 0;
    g.ripFail = 0;
    g.savedCopy = 0;
    if (g_verbose)
        DebugPrint("routeLoop: internal error %d (%d) cut the step short, conn %d", int(error.code),
                   int(error.number), int(conn));
    LoopLogGiveUp(conn, error.code, error.number, error.hasNumber);
    if (conn > 0 && g.state != kGoalWholeBoard && LoopGiveUpAdd(conn)) {
        // The pass is ranked again, without the connections given up.
        g_loop.newPass = 1;
    } else if (conn == 0 || g.state != kGoalWholeBoard) {
        g_loop.skipWindow = 1;
    }
    if (++g_loop.trapsInARow >= kTrapsInARowMax) {
        char detail[32];
        ErrDetailText(error.number, detail, sizeof detail);
        FatalErrorAlert(error.code, error.hasNumber ? detail : "");
    }
}
