// The check sweeps (see checksweep.h). The window walk is the router's
// serpentine (windowwalk.h). A step is the maze extent less the 12-grid
// border, times the routing grid, and never less than one grid (a smaller
// extent would never reach the edge). A window whose objects do not load,
// or whose map is not valid, is passed over, counted and written to the
// activity log; the sweep goes on.
#include "rules/checksweep.h"

#include <algorithm>

#include "db/conns.h"
#include "db/altjournal.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/dblog.h"
#include "db/lang.h"
#include "db/markers.h"
#include "db/nets.h"
#include "db/runopt.h"
#include "db/shellsvc.h"
#include "db/sweeps.h"
#include "router/loopcommon.h"
#include "router/mzgrid.h"
#include "router/objtable.h"
#include "router/objvalidate.h"
#include "router/rulesvc.h"
#include "router/stepping.h"
#include "router/urstate.h"
#include "router/windowwalk.h"
#include "rules/checkshell.h"
#include "rules/drcboard.h"
#include "rules/drcerror.h"
#include "rules/ruleadapt.h"

CheckSweepState g_checkSweep;

namespace {

enum : uint8_t {
    kDirYMinus = 1,
    kDirYPlus = 2,
    kDirXMinus = 4,
    kDirXPlus = 8,
    kDirCodeMask = 0x1F,
};
enum : int32_t {
    kCmdMouseMoved = 30016,
    kCmdLetGoCheck = 30026,
    kCmdAbortCheck = 30210,
    kCmdContextMenu = 30061,
    kCmdChangedCheck = 30050,
    kDetailNoSweep = 0,
};

const char kSkippedWindow[] = "Skipped window due to overload";

bool AxisOf(uint8_t code, DbHeader* h, const int64_t step[2], WalkAxis* out) {
    const MzBox& w = g_mzGrid.window;
    if (code == kDirXPlus || code == kDirXMinus) {
        *out = WalkAxis{&h->centreX, h->value212[0], w.minX,    w.maxX,    h->extMinX,
                        h->extMaxX,  step[0],        kDirXPlus, kDirXMinus};
        return true;
    }
    if (code == kDirYPlus || code == kDirYMinus) {
        *out = WalkAxis{&h->centreY, h->value212[1], w.minY,    w.maxY,    h->extMinY,
                        h->extMaxY,  step[1],        kDirYPlus, kDirYMinus};
        return true;
    }
    return false;
}

void Skip() {
    LogWrite(kSkippedWindow);
    ++g_checkSweep.skipped;
}

bool Loaded() {
    return UrObjValidate(1) && g_windowLoaded;
}

// The header and the sweep stored, the board window on the window in hand.
void StoreAndZoom() {
    DbHeader& h = g_router.header;
    DbPutHeader(&h);
    SweepPut(&CurSweep());
    ZoomTo(h.centreX, h.centreY, h.width, h.height);
}

// Steps 1 to 10 of every starter; the CDE starter checks its first window
// at once.
enum StartKind { kStartCheck, kStartCde, kStartTestPt, kStartDfm };

int32_t StartSweep(StartKind kind, int32_t title) {
    DbHeader& h = g_router.header;
    DbGetHeader(&h);
    if (h.sweep == 0) ErrReport(kErrCheckNoSweep, kDetailNoSweep);
    MsgPrompt(LangString(title));
    if (kind == kStartCheck || kind == kStartTestPt) markerClearUnkept();
    SweepGet(&CurSweep());
    StoreAndZoom();
    if (UserAbort()) return 1;
    if (Loaded()) {
        if (kind == kStartCde) {
            cdeWindow();
        } else {
            g_checkSweep.pending = 1;
            if (kind == kStartDfm) {
                g_checkSweep.fullCheck = 0;
                CheckOptions = kCheckSameNetViasOnly;
            }
        }
    } else {
        Skip();
    }
    if (UserAbort()) return 1;
    if (kind == kStartDfm) AlertMessage("DFMSweep: Ready to install DragProc");
    ToolEventHook = &checkChoice;
    SetIdleTask(kind == kStartCde ? &cdeSweepStep : &checkSweepStep);
    if (kind == kStartDfm) g_checkSweep.dfm = 1;
    return 0;
}

void Begin(bool cursor, int32_t dfm) {
    if (cursor) SetCursorKind(kCursorBusy);
    g_checkSweep.dfm = dfm;
    g_checkSweep.windows = g_checkSweep.skipped = 0;
}

// The window in hand loaded (loading it when stale), its map valid and its
// markers cleared: true when its checks run; else it is counted as passed
// over (with a beep for a map that is not valid).
bool WindowReady() {
    if (!ObjTableValid() && !Loaded()) {
        Skip();
        return false;
    }
    if (!g_windowLoaded) {
        UBeep();
        ++g_checkSweep.skipped;
        return false;
    }
    ++g_checkSweep.windows;
    DrcClearWindowMarkers();
    DbGetHeader(&g_router.header);
    return true;
}

// The walk's next window that loads: true with the window pending (the
// caller checks it), false when the board is done or the sweep was let go.
enum NextResult { kNextLoaded, kNextDone, kNextAborted };

NextResult NextLoaded() {
    while (nextCheckWindow()) {
        StoreAndZoom();
        if (UserAbort()) {
            checkChoice(kCmdLetGoCheck);
            return kNextAborted;
        }
        if (Loaded()) return kNextLoaded;
        Skip();
        if (UserAbort()) {
            checkChoice(kCmdLetGoCheck);
            return kNextAborted;
        }
    }
    return kNextDone;
}

} // namespace

int32_t CheckSweep(int32_t variant) {
    Begin(true, 0);
    g_checkSweep.fullCheck = variant;
    if (variant == 1) {
        g_checkSweep.savedOptions = CheckOptions;
        g_checkSweep.optionsSaved = 1;
        CheckOptions = kCheckSameNetViasOnly;
    }
    return StartSweep(kStartCheck, kMsgFullBoardDrc);
}

int32_t CheckCDESweep() {
    Begin(true, 0);
    return StartSweep(kStartCde, kMsgFullBoardCde);
}

int32_t TestPtSweep() {
    Begin(true, 0);
    return StartSweep(kStartTestPt, kMsgFullBoardTestPt);
}

int32_t DFMSweep() {
    Begin(false, 1);
    return StartSweep(kStartDfm, kMsgDfm);
}

int32_t checkChoice(int32_t command) {
    if (command == kCmdMouseMoved) {
        SetCursorKind(kCursorBusy);
        return 0;
    }
    if (command == kCmdContextMenu) {
        NotImplemented();
        NotImplemented2();
        NotImplemented3();
        NotImplemented4();
        return 1;
    }
    if (command != kCmdLetGoCheck && command != kCmdAbortCheck) return 0;
    if (g_verbose) DebugPrint("checkChoice: LET-GO");
    LoopSetQuiet(false);
    SetIdleTask(nullptr);
    ToolEventHook = nullptr;
    DbHeader h;
    DbGetHeader(&h);
    if (h.sweep != 0) {
        h.sweep = 0;
        DbPutHeader(&h);
        g_router.header.sweep = 0;
        SweepGet(&CurSweep());
        ViewReinstall();
    }
    SetCursorKind(kCursorNormal);
    if (g_checkSweep.optionsSaved) {
        CheckOptions = g_checkSweep.savedOptions;
        g_checkSweep.optionsSaved = 0;
    }
    markerListRefresh();
    SetCursorKind(kCursorNormal);
    batchRefresh();
    return 1;
}

void checkSweepStep() {
    BusyFeedback(1);
    if (g_checkSweep.pending) {
        checkWindow();
        g_checkSweep.pending = 0;
    }
    const NextResult r = NextLoaded();
    if (r == kNextLoaded) g_checkSweep.pending = 1;
    if (r != kNextDone) return;
    // The board is done: back to the start window.
    const DbHeader h = g_router.header;
    checkChoice(kCmdLetGoCheck);
    SetCursorKind(kCursorBusy);
    g_checkSweep.pending = 0;
    g_checkSweep.dfm = 0;
    ZoomTo(h.value212[0], h.value212[1], h.width, h.height);
    SetCursorKind(kCursorTrack);
}

void cdeSweepStep() {
    BusyFeedback(1);
    const NextResult r = NextLoaded();
    if (r == kNextLoaded) cdeWindow();
    if (r == kNextDone) checkChoice(kCmdLetGoCheck);
}

void checkWindow() {
    if (!WindowReady()) return;
    if (g_checkSweep.fullCheck) DrcAll();
    if (CheckOptions & kCheckViaLocation) {
        DrcAllViaGrid();
        DrcAllPads();
    }
    if (CheckOptions & kCheckPadExit) DrcAllConnPads();
    if (CheckOptions & kCheckNetRuleBits) DrcAllNetRules();
    if (g_checkSweep.dfm) DFMClean();
    if (CheckOptions & kCheckDispersion) {
        for (int32_t n = 1; n <= NetCount(); ++n)
            if (netHasLoadedConns(n)) NetLevCheck(n);
    }
    InvalidateFrontWindow();
}

void cdeWindow() {
    if (!WindowReady()) return;
    AltPush();
    DrcRemoveViolations();
    LoopCommitShown();
}

int32_t nextCheckWindow() {
    DbHeader& h = g_router.header;
    if (g_verbose) {
        char xs[32];
        std::snprintf(xs, sizeof xs, "%s", CoordText(h.centreX));
        DebugPrint("nextWindow: completed checking of window at [%s,%s]", xs, CoordText(h.centreY));
    }
    if (MzGoal* g = Goal()) g->conn = 0;
    urObjInvalidate();
    DbGetHeader(&h);
    Sweep& s = CurSweep();
    const int64_t grid = h.routeGrid;
    const int64_t step[2] = {std::max<int64_t>(1, int64_t(s.box[0]) - kWindowBorderGrids) * grid,
                             std::max<int64_t>(1, int64_t(s.box[1]) - kWindowBorderGrids) * grid};
    WalkAxis primary, secondary;
    if (!AxisOf(s.curPrimary & kDirCodeMask, &h, step, &primary))
        ErrReport(kErrCheckPrimaryDir, s.curPrimary);
    if (WalkStep(primary, &s.curPrimary, s.primary & kDirCodeMask)) return 1;
    if (!AxisOf(s.curSecondary & kDirCodeMask, &h, step, &secondary))
        ErrReport(kErrCheckSecondaryDir, s.curSecondary);
    return WalkStep(secondary, &s.curSecondary, s.secondary & kDirCodeMask);
}

void markerClearUnkept() {
    for (int32_t n = MarkerCount(); n >= 1; --n) {
        ErrorMarker m;
        MarkerGet(n, &m);
        if (m.value[kMarkerKeepWord] == 0) MarkerDelete(n);
    }
}

void markerListRefresh() {
    if (AltDepth() > 0) {
        BroadcastCommand(kCmdChangedCheck);
        return;
    }
    DbGetHeader(&g_router.header);
    AltPush();
    const ErrorMarker blank{};
    AltPut(kRecErrorMarker, MarkerCount() + 1, 0, &blank);
    AltItemHeader item;
    ErrorMarker image;
    AltGet(AltCount(), &item, &image);
    item.flags = uint16_t(item.flags | kAltDeleted);
    AltItemPut(&item, &image);
    BroadcastCommand(kCmdChangedCheck);
    AltPop(false);
}

int32_t netHasLoadedConns(int32_t net) {
    const Net* n = NetRef(net);
    if (!n || (n->flags & kNetNoRoute)) return 0;
    for (int32_t c = 1; c <= ConnCount(); ++c)
        if (ConnRef(c)->head.net == net && ObjFindConn(c)) return 1;
    return 0;
}

void CheckSweepTestReset() {
    g_checkSweep = CheckSweepState{};
}
