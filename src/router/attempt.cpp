// One attempt on the connection in hand (seed, expand, find the path, the
// repeat guard, install), the preparation of a connection for its attempts,
// and the straight-line heuristic route with its direct install. The
// previous attempt's path is kept in one record allocated on first use; an
// attempt allocates nothing.
#include <algorithm>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "router/completion.h"
#include "router/installpath.h"
#include "router/loopcommon.h"
#include "router/loopstate.h"
#include "router/maze.h"
#include "router/memroute.h"
#include "router/nearest.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/objvalidate.h"
#include "router/passflags.h"
#include "router/path.h"
#include "router/prep.h"
#include "router/routeloop.h"
#include "router/rulesvc.h"
#include "router/seed.h"
#include "router/shove.h"
#include "router/urstate.h"
#include "router/wave.h"

namespace {

enum : int32_t {
    kConnAllCorners = kMaxCorners, // ConnMap's last corner for a whole connection
    kHeurStraight = 1,             // MemRoute's straight variant
    kHeurJog = 0,                  // ... with the jog around a pad
    kOverlayShow = 1,
    kOverlayNoWidths = 2,
    kObjFlagHopped = 0x02, // cleared on every connection entry for a new connection
};

// Loads the objects when the table went stale and finds the connection's
// entry again.
void Revalidate() {
    MzGoal& g = *Goal();
    if (ObjTableValid()) return;
    UrObjValidate(1);
    g.objIndex = int16_t(ObjFindConn(g.conn));
}

void SetFastOptions() {
    const bool fast = Goal()->state != kGoalOneConn && (LoopPassFlags() & kPassFastRun);
    if (fast) {
        MzFlags2 = uint16_t(MzFlags2 | kMz2FastAltcheck);
        MzFlags = uint16_t(MzFlags | kMzFastBits);
        g_forceInstall = 1;
    } else if (!g_verbose) {
        MzFlags2 = uint16_t(MzFlags2 & ~kMz2FastAltcheck);
        MzFlags = uint16_t(MzFlags & ~kMzFastBits);
        g_forceInstall = 0;
    }
}

// The repeat guard; 0 when the connection is given up for looping.
bool RepeatGuard() {
    MzGoal& g = *Goal();
    Conn* path = g_router.connPath;
    if (!g_loop.lastPath) ErrReport(kErrLoopNoLastPath, g.conn);
    if (!ConnSamePath(path, g_loop.lastPath)) {
        g_loop.repeatCount = 0;
        ConnCopy(g_loop.lastPath, path);
        return true;
    }
    ++g_loop.repeatCount;
    if (g_loop.repeatCount == 1) {
        MzFlags = uint16_t(MzFlags | kMzLoopPrevent);
        if (g_verbose) WarnPrint("UrRoute: MZ_LOOP_PREVENT flag being set");
    } else if (g_loop.repeatCount == kRepeatNearest) {
        g.useNearest = 1;
        if (g_verbose) WarnPrint("UrRoute: Using nearest to prevent loop");
    } else {
        if (g_verbose) WarnPrint("UrRoute: Infinite loop");
        g.totalCost = kGivenUpCost;
        return false;
    }
    return true;
}

} // namespace

int32_t oneAttempt() {
    MzGoal& g = *Goal();
    Conn* path = g_router.connPath;
    SetCursorKind(kCursorBusy);
    Revalidate();
    SetFastOptions();
    if (g_verbose) DebugPrint("oneAttempt: GridDoubled == %d", int(g_gridDoubling));
    if (--g_loop.attemptsLeft < 0) return kAttemptGiveUp;
    const int32_t attempts = CurSweep().attempts[std::clamp<int32_t>(g.pass, 0, 4)];
    if (attempts > kRipFailAttemptsAbove && !(MzFlags & kMzNoRipFail) && g_router.ripUpAllowed &&
        NearestPop(path)) {
        if (g_verbose) ConnDump(path, "UrRoute: starting RIP-FAIL", 0);
        g.ripFail = 1;
        g.hopCount = 0;
    } else {
        if (g_verbose) DebugPrint("UrRoute: retrying");
        g.ripFail = 0;
        if (g.totalCost == kGivenUpCost) return kAttemptGiveUp;
        WaveReset();
        if (SeedExits() != 1) return kAttemptNoSeed;
        if (g_verbose) DebugPrint("oneAttempt: After mzSeed");
        if (WaveRunPass(kAttemptBudget) != 1 || !g.meetDir[0] || !g.meetDir[1]) {
            g.totalCost = kGivenUpCost;
            return UserAbort() ? kAttemptAborted : kAttemptRetry;
        }
        const int32_t found = PathFind(path);
        if (g_verbose) DebugPrint("oneAttempt: After PathFind");
        if (found == kPathBroken) {
            // The maze led the back-track astray: this connection is given
            // up for the pass, the run goes on.
            const BackTrackFault& f = PathLastFault();
            if (g_verbose)
                DebugPrint("oneAttempt: conn %d given up, back track %02x at [%d,%d]L%d = %02x",
                           int(g.conn), f.move, f.x, f.y, f.layer, f.cell);
            LoopLogGiveUp(g.conn, f.code, f.move);
            g.totalCost = kGivenUpCost;
            return kAttemptGiveUp;
        }
        if (found != 1) {
            g.totalCost = kGivenUpCost;
            return kAttemptRetry;
        }
        if (!RepeatGuard()) return kAttemptRetry;
    }
    ShowTrackPath(kOverlayNoWidths, path);
    if (g_verbose) DebugPrint("oneAttempt: Before InstallPath");
    if (InstallPath()) return kAttemptRouted;
    if (UserAbort()) return kAttemptAborted;
    if (g_verbose) DebugPrint("oneAttempt: Before MazeReset");
    MazeReset(0, 0);
    if (g_verbose) DebugPrint("oneAttempt: After MazeReset");
    return kAttemptRetry;
}

int32_t prepAttempt() {
    MzGoal& g = *Goal();
    Conn* path = g_router.connPath;
    Revalidate();
    if (!g_windowLoaded) return 0;
    MazeReset(0, 1);
    MzFlags = uint16_t(MzFlags & ~kMzLoopPrevent);
    if (!PrepConn(path)) return 0;
    const int32_t pass = std::clamp<int32_t>(g.pass, 0, 4);
    g.viasAllowed = CurSweep().via[pass] < 100 ? 1 : 0;
    g.hopCount = 0;
    ObjClearConnFlags(kObjFlagHopped);
    g_loop.repeatCount = 0;
    if (!g_loop.lastPath) {
        g_loop.lastPath =
            static_cast<Conn*>(PoolNewPtr(int32_t(sizeof(Conn)), kPoolScratch, kOwnerLastPath));
        if (!g_loop.lastPath) ErrOutOfMemory(kOwnerLastPath);
    }
    g_loop.lastPath->head.count = 0;
    NearestInit();
    g_loop.attemptsLeft = g.iterateLimit;
    if (LoopPassFlags() & kPassFastRun) {
        g_loop.attemptsLeft = int16_t(std::min<int32_t>(g_loop.attemptsLeft, kFastAttemptsMax));
        g.forceFast = 1;
    } else if (g.forceFast) {
        g_loop.attemptsLeft = int16_t(std::min<int32_t>(g_loop.attemptsLeft, kFastAttemptsMax));
    }
    g.totalCost = 0;
    DrawBoardObject(path, 0, g.crn1Index, g.crn2Index, 1);
    DrawBoardObject(path, 1, g.crn1Index, g.crn2Index, 0);
    ShowTrackPath(kOverlayShow, path);
    return 1;
}

int32_t heurInstall(int32_t noShove) {
    MzGoal& g = *Goal();
    Conn* path = g_router.connPath;
    if (g_verbose) ConnDump(path, "heurInstall: attempting", 0);
    AltPush();
    AltPut(kRecConn, g.conn, 0, path);
    Conn* old = static_cast<Conn*>(ScratchPush());
    ConnGet(g.conn, old);
    ConnMap(old, g.objIndex, 0, kConnAllCorners, 1);
    ScratchPop(old);
    ConnMap(path, g.objIndex, 0, kConnAllCorners, 0);
    if (DrcCheckAlt(0)) {
        if (g_verbose) DebugPrint("heurInstall:  PASSED");
        if (!(MzFlags & kMzNoCleanup)) CleanAlt();
        if (LoopBoardShown()) PaintAlt();
        menuEnableCommand(kCmdUndo, 1);
        BroadcastCommand(kCmdChanged);
        g.routedCount = int16_t(g.routedCount + LevelCompletionChange());
        AltPop(true);
        return 1;
    }
    MapAltRestore();
    AltPop(false);
    if (!noShove && InstallPath()) {
        if (g_verbose) DebugPrint("heurInstall:  PASSED with shove");
        return 1;
    }
    if (g_verbose) DebugPrint("heurInstall:  FAILED");
    ConnReadJournal(g.conn, path);
    DrawBoardObject(path, 1, g.crn1Index, g.crn2Index, 0);
    return 0;
}

int32_t heurAttempt() {
    MzGoal& g = *Goal();
    Conn* path = g_router.connPath;
    g.crn1Index = 0;
    g.crn2Index = 1;
    g.hopCount = 0;
    NearestInit();
    ConnReadJournal(g.conn, path);
    const int32_t noShove = g.iterateLimit <= 1 ? 1 : 0;
    if (!MemClassify(noShove, path) || !PrepConn(path)) return 0;
    DrawBoardObject(path, 1, g.crn1Index, g.crn2Index, 0);
    bool installed = MemRoute(kHeurStraight, path) && heurInstall(noShove);
    if (!installed && !noShove) {
        ConnReadJournal(g.conn, path);
        installed = MemRoute(kHeurJog, path) && heurInstall(noShove);
    }
    if (installed) {
        if (g_verbose) DebugPrint("heurAttempt:  installed");
        ++g.attemptCount;
        ObjSetConnFlag(g.objIndex, kObjFlagLeftOut);
        return 1;
    }
    if (g_verbose) DebugPrint("heurAttempt:  failed");
    LoopRereadGap();
    return 0;
}
