// The route loop's idle step, its tool event hook and the starts of a run.
// One call of routeLoop does one bounded piece of work and returns; what it
// must remember lives in MzGoal, the loop variables and the header, so the
// next call (or a resumed run) picks up there. Each step runs inside an
// error trap: an internal error undoes the step and gives up its
// connection or window, and the run goes on.
#include "router/routeloop.h"

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/dblog.h"
#include "db/pool.h"
#include "db/lang.h"
#include "db/shellsvc.h"
#include "db/sweeps.h"
#include "router/completion.h"
#include "router/costs.h"
#include "router/installpath.h"
#include "router/loopcommon.h"
#include "router/loopstate.h"
#include "router/mzgrid.h"
#include "router/nearest.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/objvalidate.h"
#include "router/passflags.h"
#include "router/pickroute.h"
#include "router/rankroutes.h"
#include "router/routestats.h"
#include "router/steprecover.h"
#include "router/rulesvc.h"
#include "router/stepping.h"
#include "router/urstate.h"
#include "router/wave.h"
#include "toolbox/core/ticks.h"

namespace {

enum : uint8_t { kObjFlagHeldBack = 0x40, kCrnLatchedFlag = 0x02 };
enum : int32_t { kOverlayErase = 0 };

const char kSkippedWindow[] = "Skipped window due to overload";

// The installation added its change in complete connections to the
// routed count already.
void Routed() {
    MzGoal& g = *Goal();
    ++g.attemptCount;
    g_loop.newWindow = 0;
    WaveReset();
    g.conn = 0;
}

// Puts the gap back and lets the connection go.
void RestoreGap() {
    LoopRereadGap();
    WaveReset();
    Goal()->conn = 0;
}

void ActOnAttempt(int32_t code) {
    MzGoal& g = *Goal();
    Conn* path = g_router.connPath;
    switch (code) {
    case kAttemptRouted:
        Routed();
        return;
    case kAttemptGiveUp: {
        const uint16_t flags = LoopPassFlags();
        if (flags & kPassNearest) {
            g.useNearest = 1;
            if (NearestRestore(path) && InstallPath()) {
                Routed();
                return;
            }
        }
        ShowTrackPath(kOverlayErase, nullptr);
        ++g.attemptCount;
        if (flags & (kPassReroute | kPassViaReduce)) {
            LoopRereadGap();
            InstallPath();
        }
        RestoreGap();
        return;
    }
    case kAttemptNoSeed:
        ShowTrackPath(kOverlayErase, nullptr);
        RestoreGap();
        return;
    case kAttemptAborted:
        routeChoice(kCmdLetGo);
        return;
    default:
        return;
    }
}

// A checker call with the sweep-run flag set for its duration; what it
// changes in complete connections goes into the routed count.
void WithSweepRunFlag(void (*call)()) {
    const int16_t saved = g_sweepRunFlag;
    const int32_t before = DesignCompleteCount();
    g_sweepRunFlag = 1;
    call();
    g_sweepRunFlag = saved;
    MzGoal& g = *Goal();
    g.routedCount = int16_t(g.routedCount + DesignCompleteCount() - before);
}

// One step of a pass in a window; true when the pass is done.
bool PassStep() {
    MzGoal& g = *Goal();
    const uint16_t flags = LoopPassFlags();
    if (flags & kPassCde) {
        AltPush();
        DrcRemoveViolations();
        LoopCommitShown();
        return true;
    }
    if (flags & kPassSpace) {
        WithSweepRunFlag(&DrcAll);
        return true;
    }
    if (flags & kPassDisburse) return !disperseNextPad();
    if (flags & kPassReroute) {
        DfmFlags = kDfmFlagsCleanup;
        WithSweepRunFlag(&DFMClean);
        return true;
    }
    if (g_loop.newPass) {
        RouteFindNext();
        return false;
    }
    if (g.nextObj == 0) return true;
    RouteFindNext();
    g_loop.stepConn = g.conn;
    --g.remainingCount;
    if (flags & kPassHeur) {
        heurAttempt();
        g.conn = 0;
    } else if (!prepAttempt()) {
        g.conn = 0;
    }
    return false;
}

// The next window whose objects load; the sweep ends when none is left.
void NextLoadedWindow() {
    MzGoal& g = *Goal();
    StatusLineUpdate(kStatusAll);
    while (nextWindow()) {
        DbHeader& h = g_router.header;
        Sweep& s = CurSweep();
        DbPutHeader(&h);
        SweepPut(&s);
        const int64_t grid = h.routeGrid;
        ZoomTo(h.value212[2], h.value212[3], int32_t(s.box[0] * grid), int32_t(s.box[1] * grid));
        if (UserAbort()) return;
        if (UrObjValidate(1) && g_windowLoaded) {
            g.pass = 0;
            g_loop.newWindow = 1;
            if (!nextPass()) ErrReport(kErrLoopNoPass, h.sweep);
            return;
        }
        if (UserAbort()) return;
    }
    nextSweep();
}

void StopRun() {
    MzGoal& g = *Goal();
    if (g_verbose) DebugPrint("routeChoice: LET-GO");
    ShowTrackPath(kOverlayErase, nullptr);
    WaveReset();
    LoopSetQuiet(false);
    if (g.conn) {
        LoopRereadGap();
        g.conn = 0;
    }
    PrepCost(0);
    if (g.state == kGoalOneConn) {
        if (g_verbose) DebugPrint("routeChoice: LET-GO check 1");
        if (g_statOptions) StatLogTestOptions();
    } else if (g.state == kGoalSweepWindows || g.state == kGoalWholeBoard) {
        if (g_verbose) DebugPrint("routeChoice: LET-GO check 3");
        while (EscapeKeyDown()) {
        }
        showStatistics();
    } else if (g_verbose) {
        DebugPrint("routeChoice: LET-GO check 4");
    }
    if (ObjTableValid()) ObjClearConnFlags(kObjFlagHeldBack);
    g.attemptCount = g.routedCount = g.remainingCount = 0;
    g.conn = g.objIndex = 0;
    SetIdleTask(nullptr);
    ToolEventHook = nullptr;
    DisperseClose();
    DbHeader h;
    DbGetHeader(&h);
    if (h.sweep != 0) {
        h.sweep = 0;
        DbPutHeader(&h);
        g_router.header.sweep = 0;
        SweepGet(&CurSweep());
        batchRefresh();
        ViewReinstall();
    }
    if (g.state != kGoalOneConn) batchRefresh();
    SetCursorKind(kCursorTrack);
    MsgInfo("");
}

void RouteLoopStep() {
    MzGoal& g = *Goal();
    if (g_verbose) DebugPrint("routeLoop: connIndex=%d", int(g.conn));
    BusyFeedback(1);
    if (g.conn != 0) {
        ActOnAttempt(oneAttempt());
        return;
    }
    if (g_verbose) DebugPrint("routeLoop: completed conn");
    if (g.state == kGoalOneConn) {
        routeChoice(kCmdLetGo);
        return;
    }
    SetCursorKind(kCursorBusy);
    StatusLineUpdate(kStatusRouting);
    if (g_loop.skipWindow) {
        // An internal error gave up the window (the whole board: the sweep).
        g_loop.skipWindow = 0;
        if (g.state == kGoalWholeBoard) {
            nextSweep();
            return;
        }
        NextLoadedWindow();
        return;
    }
    if (g.state == kGoalWholeBoard) {
        --g.remainingCount;
        if (g.remainingCount >= 0) mzPickNext();
        g_loop.stepConn = g.conn;
        if (g.remainingCount < 0 || g.conn == 0) {
            nextSweep();
            return;
        }
        g.partialMode = 1;
        urShowCurrentConn();
        if (g.objIndex && prepAttempt()) return;
        g.conn = 0;
        return;
    }
    if (!g_windowLoaded && !ObjTableValid()) UrObjValidate(1);
    if (!g_windowLoaded) {
        LogWrite(kSkippedWindow);
    } else {
        if (!PassStep()) return;
        g.conn = 0;
        if (nextPass()) return;
        if (g.conn) ErrReport(kErrLoopConnLeft, g.conn);
    }
    NextLoadedWindow();
}

} // namespace

void routeLoop() {
    // An internal error inside the step gives up the connection or the
    // window and the run goes on (steprecover.h).
    const RouteStepMark mark = RouteStepBegin();
    try {
        ErrTrapScope trap;
        RouteLoopStep();
    } catch (const ErrTrapped& error) {
        RouteStepRecover(mark, error);
        return;
    }
    RouteStepDone();
}

int32_t routeChoice(int32_t command) {
    if (g_verbose) DebugPrint("routeChoice: entering");
    MzGoal& g = *Goal();
    switch (command) {
    case kCmdEraseOverlay:
        ShowTrackPath(kOverlayErase, nullptr);
        return 1;
    case kCmdRevalidate:
        if (!ObjTableValid()) {
            UrObjValidate(1);
            g.objIndex = int16_t(ObjFindConn(g.conn));
        }
        return 1;
    case kCmdNoEffect:
        return 1;
    case kCmdLetGo:
    case kCmdStop:
        StopRun();
        return 1;
    case kCmdCursorBusy:
        SetCursorKind(kCursorBusy);
        return 0;
    default:
        return 0;
    }
}

void RouteFindNext() {
    MzGoal& g = *Goal();
    if (g.nextObj == 0) {
        if (g_verbose) DebugPrint("RouteFindNext: new pass");
        AltPush();
        RankRoutes();
        LoopCommitShown();
        g.conn = g.objIndex = 0;
        g_loop.newPass = 0;
        return;
    }
    g.objIndex = g.nextObj;
    const MapObj& o = *ObjEntry(g.objIndex);
    if (o.type != kObjConn) ErrReport(kErrLoopNotConn, g.objIndex);
    g.conn = o.index;
    g.nextObj = o.link;
}

void urStartRouting() {
    MzGoal& g = *Goal();
    if (!g.conn) ErrReport(kErrLoopNoConn, 0);
    if (!g.objIndex) ErrReport(kErrLoopNoObj, g.conn);
    const int32_t previous = SetCursorKind(kCursorBusy);
    g.state = kGoalOneConn;
    g.attemptCount = g.routedCount = g.remainingCount = g.hopCount = 0;
    g.forceFast = 1;
    g_loop.newWindow = 0;
    ObjSetConnFlags(kObjFlagHeldBack);
    ObjClearFlag(g.objIndex, kObjFlagHeldBack);
    if (FrontAppWindow()->toolState == kToolLatchedPath) {
        Conn* c = static_cast<Conn*>(ScratchPush());
        ConnGet(g.conn, c);
        for (int32_t i = 0; i <= g.crn1Index - 2 && i < c->head.count; ++i)
            c->crn[i].flags = uint8_t(c->crn[i].flags | kCrnLatchedFlag);
        ConnPut(g.conn, c);
        ScratchPop(c);
    }
    if (g.pass != 0) PrepCost(0);
    const uint16_t flags = CurSweep().passFlags[0];
    if (flags & (kPassHeur | kPassDisburse | kPassCde)) {
        if (flags & kPassHeur)
            heurAttempt();
        else if (flags & kPassDisburse)
            disperseConn();
        else
            DrcRemoveViolations();
        g.conn = 0;
        SetCursorKind(previous);
        return;
    }
    if (prepAttempt()) {
        ToolEventHook = &routeChoice;
        SetIdleTask(&routeLoop);
    } else {
        g.conn = 0;
    }
}

void urStartBatchRouting() {
    MzGoal& g = *Goal();
    g_loop.runStartTicks = GetTicks();
    UserAbortReset();
    g.attemptCount = g.routedCount = 0;
    g.conn = 0;
    g.partialMode = 1;
    g.forceFast = (MzFlags & kMzFailFirst) ? 1 : 0;
    if (g_router.fatMap) ErrReport(kErrLoopFatMap, g_router.fatMap);
    if (FrontAppWindow()->kind != kWindowRouteView)
        ErrReport(kErrLoopNotRouteView, FrontAppWindow()->kind);
    if (UrObjValidate(1) && g_windowLoaded) {
        g.pass = 0;
        g_loop.newWindow = 1;
        if (!nextPass()) {
            AlertMessage(LangString(kMsgNoPasses));
            return;
        }
    }
    ToolEventHook = &routeChoice;
    SetIdleTask(&routeLoop);
}

void urShowCurrentConn() {
    MzGoal& g = *Goal();
    if (!g.conn) ErrReport(kErrLoopShowNoConn, 0);
    Conn* path = g_router.connPath;
    ConnReadJournal(g.conn, path);
    const Crn a = path->crn[g.crn1Index], b = path->crn[g.crn2Index];
    const int64_t grid = DbHdr().routeGrid;
    ZoomTo(int32_t((int64_t(a.x) + b.x) / 2), int32_t((int64_t(a.y) + b.y) / 2),
           int32_t((g_mzGrid.w - 2 * kMazeBorder) * grid / 2),
           int32_t((g_mzGrid.r - 2 * kMazeBorder) * grid / 2));
    const int16_t conn = g.conn;
    g.conn = 0;
    UrObjValidate(1);
    g.conn = conn;
    g.objIndex = int16_t(ObjFindConn(conn));
}
