// Path installation in one journal level: rip the hops, shove the path,
// re-route the hops (with the maze's saved copy brought back afterwards in
// every case), straighten, clean and check; then commit with the object
// map following the level, or reject with the map restored. The abort key
// ends the body with failure between any two steps. An installation never
// commits a level that leaves a connection that was complete before it
// with a gap, unless that connection is one of its hops, ripped on purpose
// (what its re-route leaves open, later passes route); such a level is
// rejected. A committed level adds its change in complete connections to
// the routed count. Manual installation of a routing-window tool's change
// works in the tool's open level.
#include "router/installpath.h"

#include <algorithm>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "router/completion.h"
#include "router/connnorm.h"
#include "router/hoprip.h"
#include "router/maze.h"
#include "router/nearest.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/path.h"
#include "router/passflags.h"
#include "router/push.h"
#include "router/rulesvc.h"
#include "router/shove.h"
#include "router/straighten.h"
#include "router/urstate.h"
#include "router/wave.h"

namespace {

enum : int32_t {
    kDrcModeChanges = 0, // check the level's changed connections
    kDrcModeNoConn = 1,  // check a level made without a connection in hand
    kTrackErase = 0,
};

uint16_t PassFlags() {
    return CurSweep().passFlags[std::clamp<int32_t>(Goal()->pass, 0, kPassLast)];
}

// The level's check; false when it failed and Force Install is off.
bool LevelChecks(int32_t mode, const char* warning) {
    if (DrcCheckAlt(mode)) return true;
    if (g_verbose) WarnPrint("%s", warning);
    return g_forceInstall != 0;
}

// Clears (or sets) corner flag Latched on every corner.
void SetLatched(Conn* rec, bool on) {
    for (int32_t i = 0; i < rec->head.count; ++i)
        rec->crn[i].flags =
            uint8_t(on ? rec->crn[i].flags | kCrnLatched : rec->crn[i].flags & ~kCrnLatched);
}

// Re-routes every hop with the maze saved; 1 when all were re-routed.
int32_t RerouteHops() {
    MzGoal& g = *Goal();
    MazeSave(1);
    for (int32_t h = 1; h <= g.hopCount; ++h) {
        if (!hopPrep(h)) {
            MazeSave(0);
            hopFail(h);
            return 0;
        }
        if (UserAbort()) {
            MazeSave(0);
            return 0;
        }
    }
    MazeSave(0);
    return 1;
}

// Whether connection c is one of the goal's hops.
bool OnHopList(int32_t c) {
    const MzGoal& g = *Goal();
    for (int32_t h = 1; h <= g.hopCount && h <= kHopMax; ++h) {
        const int32_t e = g.hopObj[h];
        if (e >= 1 && e <= ObjCount() && ObjEntry(e)->index == c) return true;
    }
    return false;
}

// The first connection that the open level leaves with a gap although it
// was complete before the level, the hops excepted; 0 when there is none.
int32_t LevelBrokenConn() {
    int32_t broken = 0;
    LevelConnChanges(
        [](const LevelConnChange& c, void* context) {
            if (!c.completeBefore || c.completeAfter) return true;
            if (OnHopList(c.conn)) return true;
            *static_cast<int32_t*>(context) = c.conn;
            return false;
        },
        &broken);
    return broken;
}

// The latched-path tool's last step outside a sweep: its corners lose the
// Latched flag.
void UnlatchPath() {
    if (FrontAppWindow()->toolState != kToolLatchedPath || DbHdr().sweep != 0) return;
    auto* rec = static_cast<Conn*>(ScratchPush());
    AltSave(kRecConn, Goal()->conn, rec);
    SetLatched(rec, false);
    AltPut(kRecConn, Goal()->conn, 0, rec);
    ScratchPop(rec);
}

} // namespace

int32_t processPath() {
    MzGoal& g = *Goal();
    Conn* path = g_router.connPath;
    if (!PathFitEnds(path) || UserAbort()) return 0;
    if (!mzShovePath(path)) {
        if (((PassFlags() & kPassNearest) || g.state == kGoalIdle) && !g.hopRouting) Nearest(path);
        return 0;
    }
    if (UserAbort()) return 0;
    const bool fastCheck = (MzFlags2 & kMz2FastAltcheck) && (PassFlags() & kPassFastRun);
    if (!fastCheck && !LevelChecks(kDrcModeChanges, "processPath: initial altCheck failure"))
        return 0;
    if (UserAbort()) return 0;
    if (g_router.ripUpAllowed && g.hopCount > 0 && !RerouteHops()) return 0;
    if (UserAbort()) return 0;
    StraightenAlt();
    if (UserAbort()) return 0;
    if (!(MzFlags & kMzNoCleanup)) CleanAlt();
    if (UserAbort()) return 0;
    if (!LevelChecks(kDrcModeChanges, "processPath: final altCheck failure")) return 0;
    return UserAbort() ? 0 : 1;
}

int32_t InstallPath() {
    MzGoal& g = *Goal();
    const int32_t cursor = SetCursorKind(kCursorBusy);
    WaveReset();
    AltPush();
    bool ok = true;
    for (int32_t h = 1; h <= g.hopCount; ++h)
        if (!hopRip(h)) {
            hopFail(h);
            ok = false;
        }
    if (MzFlags & kMzForceRipFail) g.ripFail = 1;
    if (ok) {
        ok = processPath() != 0;
        if (ok && FrontAppWindow()->boardShown) {
            ShowTrackPath(kTrackErase, nullptr);
            PaintAlt();
        }
    }
    g.ripFail = 0;
    UnlatchPath();
    if (AltDepth() < 1) ExpectAlt(kErrInstallDepth, 1);
    if (ok) {
        if (const int32_t broken = LevelBrokenConn()) {
            if (g_verbose) WarnPrint("InstallPath: conn %d would be left with a gap", int(broken));
            ok = false;
        }
    }
    if (ok) {
        g.routedCount = int16_t(g.routedCount + LevelCompletionChange());
        MapAltOriginals(1);
        MapAltChanges(0);
        BroadcastCommand(kCmdDesignChanged);
        AltPop(true);
    } else {
        MapAltRestore();
        AltPop(false);
    }
    Conn* path = g_router.connPath;
    if (g.conn) {
        ConnReadJournal(g.conn, path);
        if (g.objIndex > 0 && path->head.count > 0)
            ConnMap(path, g.objIndex, 0, path->head.count - 1, 0);
    }
    if (MzFlags & kMzMapTest) mapTest();
    SetCursorKind(cursor);
    return ok ? 1 : 0;
}

int32_t urInstallManualPath() {
    MzGoal& g = *Goal();
    if (FrontAppWindow()->toolState == kToolShoveRoute && g.conn) {
        const int32_t cursor = SetCursorKind(kCursorBusy);
        auto* rec = static_cast<Conn*>(ScratchPush());
        AltSave(kRecConn, g.conn, rec);
        ConnSplitAtWindow(rec, 0);
        SetLatched(rec, true);
        AltPut(kRecConn, g.conn, 0, rec);
        bool ok = mzShovePath(rec) != 0;
        if (ok) StraightenAlt();
        if (!ok || UserAbort()) {
            ScratchPop(rec);
            SetCursorKind(cursor);
            return 0;
        }
        if (!(MzFlags & kMzNoCleanup)) CleanAlt();
        AltSave(kRecConn, g.conn, rec);
        SetLatched(rec, false);
        connReduce(rec);
        AltPut(kRecConn, g.conn, 0, rec);
        ScratchPop(rec);
        SetCursorKind(cursor);
    }
    if (!(MzFlags2 & kMz2FastAltcheck) && g_router.routeViewMaze &&
        !LevelChecks(g.conn ? kDrcModeChanges : kDrcModeNoConn,
                     "urInstallManualPath: altCheck failure"))
        return 0;
    if (ObjTableValid() && g.conn) {
        MapAltOriginals(1);
        MapAltChanges(0);
    }
    return 1;
}
