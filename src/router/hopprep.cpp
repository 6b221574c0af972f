// Re-routing a ripped hop: the gap that replaced the hop's segment is
// joined to a neighbouring gap when it has one, else routed again by a
// small wavefront search of its own with a few tries, each try in a
// journal level of its own. A re-route never installs a partial path (the
// nearest fallback of the connection in hand does not reach it): a try
// whose clearing fails is a failed try; under a nearest install a hop
// that finds no re-route stays ripped for a later pass. A failed try that
// repeats the one before it over an unchanged maze ends the tries. The goal record of the
// installation is saved whole before and brought back after, whatever
// happens.
#include <algorithm>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "router/hoprip.h"
#include "router/installpath.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/objvalidate.h"
#include "router/passflags.h"
#include "router/path.h"
#include "router/prep.h"
#include "router/seed.h"
#include "router/shove.h"
#include "router/urstate.h"
#include "router/wave.h"

namespace {

enum : int32_t {
    kViaCostFull = 100,   // a pass VIA of 100 allows no vias on a re-route
    kRetryViasLimit = 50, // ... nor a RETRY above this
};

bool InWindow(const Crn& c) {
    const MzBox& w = g_mzGrid.window;
    return c.x >= w.minX && c.x <= w.maxX && c.y >= w.minY && c.y <= w.maxY;
}

// Joins gap g of the record with the next or the previous gap; 1 joined
// (the record put into the level).
bool JoinGap(Conn* rec, int32_t g, int32_t connIndex) {
    const int32_t count = rec->head.count;
    if (g + 2 < count) {
        const Crn& n = rec->crn[g + 1];
        if (n.layer == 0 && n.via == 0 && InWindow(n)) {
            if (g_verbose) DebugPrint("hopAttempt: joining with next segment");
            CrnDelete(rec, g + 1, 1);
            AltPut(kRecConn, connIndex, 0, rec);
            return true;
        }
    }
    if (g >= 1) {
        const Crn& p = rec->crn[g - 1];
        if (p.layer == 0 && p.via == 0 && InWindow(rec->crn[g])) {
            if (g_verbose) DebugPrint("hopAttempt: joining with previous segment");
            CrnDelete(rec, g, 1);
            AltPut(kRecConn, connIndex, 0, rec);
            return true;
        }
    }
    return false;
}

// One try: seed, expand, find, fit and shove in a level of its own. 1
// success, 0 a failed try (the next may run), -1 the tries end.
int32_t OneTry(Conn* path) {
    MzGoal& g = *Goal();
    WaveReset();
    if (!SeedExits()) {
        if (g_verbose) DebugPrint("HopAttempt: Unable to seed");
        return -1;
    }
    if (WaveRunPass(kHopBudget) != 1 || !g.meetDir[0] || !g.meetDir[1]) {
        if (g_verbose) DebugPrint("HopAttempt: No more paths");
        return -1;
    }
    if (PathFind(path) != 1) {
        if (g_verbose) DebugPrint("HopAttempt: No path found");
        return -1;
    }
    if (MzFlags & kMzShowHop) ShowTrackPath(1, path);
    AltPush();
    if (PathFitEnds(path) && mzShovePath(path)) {
        if (g_verbose) DebugPrint("HopAttempt: Success!");
        AltPop(true);
        return 1;
    }
    MapAltRestore();
    AltPop(false);
    if (g_verbose) DebugPrint("HopAttempt: Unable to clear hop path");
    if (MzFlags & kMzShowHop) WarnPrint("HopAttempt: failed to clear");
    MazeReset(0, 0);
    return 0;
}

// The re-route of gap gi of the hop's connection (entry, database index).
int32_t Reroute(int32_t entry, int32_t connIndex, int32_t gi) {
    MzGoal& g = *Goal();
    const MzGoal saved = g;
    g.objIndex = int16_t(entry);
    g.conn = int16_t(connIndex);
    g.crn1Index = int16_t(gi);
    g.crn2Index = int16_t(gi + 1);
    g.partialMode = 0;
    g.hopRouting = 1;
    g.ripFail = 0;
    g.useNearest = 0; // the hop's connection is re-routed whole or not at all
    const int32_t pass = std::clamp<int32_t>(g.pass, 0, kPassLast);
    g.viasAllowed =
        CurSweep().via[pass] < kViaCostFull && CurSweep().retry[pass] <= kRetryViasLimit ? 1 : 0;
    MazeReset(0, 1);
    auto* work = static_cast<Conn*>(ScratchPush());
    int32_t ok = 0;
    if (!PrepConn(work)) {
        if (g_verbose) ErrReport(kErrHopPrep, connIndex);
    } else {
        // A failed try that found the previous try's path and left the maze
        // as it found it leaves every later try to repeat it: the tries end.
        auto* last = static_cast<Conn*>(ScratchPush());
        last->head.count = 0;
        uint64_t before = MazeFingerprint();
        int32_t tries = std::max(g.iterateLimit / kHopTriesDivisor, int32_t(kHopTriesMin));
        while (--tries > 0) {
            const int32_t r = OneTry(work);
            if (r != 0) {
                ok = r > 0;
                break;
            }
            const uint64_t after = MazeFingerprint();
            if (after == before && ConnSamePath(work, last)) {
                if (g_verbose) DebugPrint("HopAttempt: try repeats the previous one");
                break;
            }
            before = after;
            ConnCopy(last, work);
        }
        ScratchPop(last);
        if (!ok) {
            if (g_verbose) DebugPrint("hopAttempt: giving up");
            if (MzFlags & kMzForceRipFail) ok = 1;
            // Installing the nearest path of the connection in hand: the hop
            // stays as its rip left it, on the hop list, for a later pass
            // to route (no copper of a failed clearing is kept).
            if (!ok && saved.useNearest) {
                if (g_verbose) DebugPrint("hopAttempt: left ripped for a later pass");
                ok = 1;
            }
        }
    }
    ScratchPop(work);
    g = saved;
    return ok;
}

} // namespace

int32_t hopPrep(int32_t h) {
    if (!g_windowLoaded) ErrReport(kErrHopNotLoaded, h);
    if (!g_router.ripUpAllowed) ErrReport(kErrHopNoRipup, h);
    const MzGoal& g = *Goal();
    const int32_t entry = g.hopObj[h];
    const int32_t connIndex = ObjEntry(entry)->index;
    auto* rec = static_cast<Conn*>(ScratchPush());
    ConnReadJournal(connIndex, rec);
    const int32_t gi = hopGapIndex(rec, h);
    if (g_verbose) {
        DebugPrint("hopPrep: Preparing to re-route object %d, crn %d", int(entry),
                   int(g.hopCrn[h]));
        ConnDump(rec, "hopPrep", 0);
    }
    int32_t result = 1;
    if (gi >= 0 && !JoinGap(rec, gi, connIndex)) result = Reroute(entry, connIndex, gi);
    ScratchPop(rec);
    return result;
}
