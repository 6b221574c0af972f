// The sweep run. The header carries its state: the current sweep, the last
// started sweep, the sweep start origin (x 2,147,483,647 while no run has
// started) and the saved window origin; a run can therefore be resumed
// after the design was saved and loaded again. The router is closed and
// opened again for every sweep.
#include "router/sweeprun.h"

#include <cstdio>

#include "db/conns.h"
#include "db/dbheader.h"
#include "db/dblog.h"
#include "db/lang.h"
#include "db/runopt.h"
#include "db/shellsvc.h"
#include "db/sweeps.h"
#include "router/loopcommon.h"
#include "router/passflags.h"
#include "router/routeloop.h"
#include "router/uralloc.h"
#include "router/urmsg.h"
#include "router/urstate.h"

namespace {

enum : uint8_t {
    kDirCodeMask = 0x1F,
    kDirAxisY = 0x03,
    kDirAxisX = 0x0C,
};
enum : int32_t {
    kDetailSweepDir = 390,
    kDetailFatMap = 418,
    kDetailNotRoute = 419,
    kDetailSweepZero = 221,
    kPassOfSweepFirst = 1,
};

const char kSkippedLayers[] = "Sweep %d skipped: Two routing layers maximum";

bool HasOpenPass(const Sweep& s) {
    for (int32_t p = kPassOfSweepFirst; p <= kPassLast; ++p)
        if ((s.passFlags[p] & kPassStateMask) == kPassEnable) return true;
    return false;
}

// Whether the sweep resumes (true) or starts afresh; a direction byte
// outside the walkable values is an internal error.
bool Resumes(const Sweep& s) {
    const uint8_t dir = s.primary & kDirCodeMask, copy = s.curPrimary & kDirCodeMask;
    const uint8_t second = s.curSecondary & kDirCodeMask;
    if (dir == kSweepDirWhole) return true;
    if (dir & kDirAxisY) return (copy & kDirAxisY) && (second & kDirAxisX);
    if (dir & kDirAxisX) return (copy & kDirAxisX) && (second & kDirAxisY);
    ErrReport(kErrSweepDir, kDetailSweepDir);
}

void CopyDirections(Sweep* s) {
    s->curPrimary = s->primary;
    s->curSecondary = s->secondary;
}

// The run is over: back at the start origin, the statistics view asked
// for, one beep.
void EndRun(DbHeader* h) {
    h->sweep = 0;
    h->centreX = h->value212[0];
    h->centreY = h->value212[1];
    DbPutHeader(h);
    SweepGet(&CurSweep());
    LoopSetQuiet(false);
    batchRefresh();
    ViewReinstall();
    PostAppCommand(kCmdStatisticsView);
    SystemBeep();
}

bool HasUnroutedSegment(const Conn* c) {
    for (int32_t i = 0; i + 1 < c->head.count; ++i)
        if (c->crn[i].layer == 0) return true;
    return false;
}

} // namespace

int32_t SweepRunCommand(int32_t command) {
    if (command != kCmdStartSweepRouter && command != kCmdResumeSweepRouter) return 0;
    if (!DbHdr().valid) {
        UrMsgNote(kMsgNoDatabase);
        return 0;
    }
    if (command == kCmdStartSweepRouter || DbHdr().value212[0] == kSweepNotStarted) autoBoard();
    autoResume();
    return 1;
}

void autoBoard() {
    if (g_verbose) DebugPrint("autoBoard: Initiating AUTO BOARD");
    DbHeader h;
    DbGetHeader(&h);
    h.sweep = 0;
    h.byte233 = 0;
    h.value212[0] = h.value212[2] = h.centreX;
    h.value212[1] = h.value212[3] = h.centreY;
    DbPutHeader(&h);
    Sweep s;
    SweepGet(&s);
    CopyDirections(&s);
    SweepPut(&s);
}

void autoResume() {
    LoopSetQuiet(true);
    DbHeader h;
    DbGetHeader(&h);
    h.sweep = 0;
    for (int32_t n = 1; n <= kSweepLast; ++n) {
        h.sweep = uint8_t(n);
        DbPutHeader(&h);
        Sweep s;
        SweepGet(&s);
        if (!HasOpenPass(s)) continue;
        if (s.usedLayers > kSweepRunMaxLayers) {
            char line[64];
            std::snprintf(line, sizeof line, kSkippedLayers, int(n));
            LogWrite(line);
            continue;
        }
        const bool resumes = Resumes(s) && h.byte233 == n;
        if (!resumes) {
            if (h.byte233 == n && g_verbose) DebugPrint("autoResume: Bad sweepDir");
            if (g_verbose) DebugPrint("autoResume: Starting sweep %d", int(n));
            h.byte233 = uint8_t(n);
            h.value212[2] = h.value212[0];
            h.value212[3] = h.value212[1];
            DbPutHeader(&h);
            CopyDirections(&s);
            SweepPut(&s);
        } else if (g_verbose) {
            DebugPrint("autoResume: Resuming sweep %d", int(n));
        }
        const int64_t grid = h.routeGrid;
        h.centreX = h.value212[2];
        h.centreY = h.value212[3];
        h.width = int32_t(s.box[0] * grid);
        h.height = int32_t(s.box[1] * grid);
        DbPutHeader(&h);
        UrClose();
        if (g_router.fatMap) ErrReport(kErrSweepFatMap, kDetailFatMap);
        if (FrontAppWindow()->kind != kWindowRouteView)
            ErrReport(kErrSweepNotRoute, kDetailNotRoute);
        if (UrAlloc()) {
            ZoomTo(h.centreX, h.centreY, h.width, h.height);
            autoResumeStep();
        } else {
            LoopSetQuiet(false);
            DbGetHeader(&h);
            h.sweep = 0;
            DbPutHeader(&h);
        }
        return;
    }
    EndRun(&h);
}

void autoResumeStep() {
    const int32_t n = DbHdr().sweep;
    if (n == 0) ErrReport(kErrSweepNumberZero, kDetailSweepZero);
    char line[96];
    std::snprintf(line, sizeof line, LangString(kMsgInitializingSweep), int(n));
    MsgNote(line);
    MzGoal& g = *Goal();
    const bool whole = (CurSweep().primary & kDirCodeMask) == kSweepDirWhole;
    g.state = whole ? kGoalWholeBoard : kGoalSweepWindows;
    urStartBatchRouting();
    if (!whole) return;
    int32_t remaining = 0;
    for (int32_t c = 1; c <= ConnCount(); ++c) {
        const Conn* conn = ConnRef(c);
        if (!(conn->head.flags & kConnNotSelected) && HasUnroutedSegment(conn)) ++remaining;
    }
    g.remainingCount = int16_t(remaining);
}
