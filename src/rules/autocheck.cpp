// The "Auto" menu's check runs (see autocheck.h). The run takes the first
// sweep strategy 1..8 that walks windows and has an enabled pass 1-4; the
// router is opened on the strategy's start window, sized as the strategy's
// maze extent, and the check sweep installs its own idle task and hook.
// When nothing can start, the quiet byte is cleared and the header's
// sweep number is left 0, so a later run starts afresh.
#include "rules/autocheck.h"

#include "db/dbheader.h"
#include "db/lang.h"
#include "db/shellsvc.h"
#include "db/sweeps.h"
#include "router/loopcommon.h"
#include "router/passflags.h"
#include "router/rulesvc.h"
#include "router/sweeprun.h"
#include "router/uralloc.h"
#include "router/urstate.h"
#include "rules/checkshell.h"
#include "rules/checksweep.h"
#include "rules/ruleadapt.h"

namespace {

enum : uint8_t { kDirCodeMask = 0x1F };
enum : int32_t { kPassCheckedFirst = 1 };
enum : ErrCode {
    kErrCheckFatMap = 50197,
    kErrDfmFatMap = 50198,
    kErrCheckNotRoute = 50191,
    kErrDfmNotRoute = 50192,
};
enum : int32_t {
    kDetailCheckFatMap = 530,
    kDetailDfmFatMap = 669,
    kDetailCheckNotRoute = 531,
    kDetailDfmNotRoute = 670,
};

bool Checkable(const Sweep& s) {
    if ((s.primary & kDirCodeMask) == kSweepDirWhole) return false;
    for (int32_t p = kPassCheckedFirst; p <= kPassLast; ++p)
        if (s.passFlags[p] & kPassEnable) return true;
    return false;
}

enum class CheckStart { kDrc, kDrcWhole, kCde, kDfm, kTestPt };

// Steps 2 to 5: the sweep made current, the router opened, the sweep
// started.
void Run(CheckStart start, bool dfmRun) {
    LoopSetQuiet(true);
    DbHeader h;
    DbGetHeader(&h);
    int32_t found = 0;
    Sweep s;
    for (int32_t n = 1; n <= kSweepLast && !found; ++n) {
        h.sweep = uint8_t(n);
        DbPutHeader(&h);
        SweepGet(&s);
        if (Checkable(s)) found = n;
    }
    if (!found) {
        if (g_verbose) DebugPrint("autoCheck: None sweep is enabled");
        h.sweep = 0;
        h.centreX = h.value212[0];
        h.centreY = h.value212[1];
        DbPutHeader(&h);
        SweepGet(&CurSweep());
        LoopSetQuiet(false);
        AlertMessage(LangString(kMsgAllSweepsDone));
        batchRefresh();
        ViewReinstall();
        return;
    }
    if (g_verbose) DebugPrint("autoCheck: Starting sweep %d", int(found));
    h.byte233 = uint8_t(found);
    h.value212[2] = h.value212[0];
    h.value212[3] = h.value212[1];
    DbPutHeader(&h);
    s.curPrimary = s.primary;
    s.curSecondary = s.secondary;
    SweepPut(&s);
    const int64_t grid = h.routeGrid;
    h.centreX = h.value212[2];
    h.centreY = h.value212[3];
    h.width = int32_t(s.box[0] * grid);
    h.height = int32_t(s.box[1] * grid);
    DbPutHeader(&h);
    UrClose();
    if (g_router.fatMap)
        ErrReport(dfmRun ? kErrDfmFatMap : kErrCheckFatMap,
                  dfmRun ? kDetailDfmFatMap : kDetailCheckFatMap);
    if (FrontAppWindow()->kind != kWindowRouteView)
        ErrReport(dfmRun ? kErrDfmNotRoute : kErrCheckNotRoute,
                  dfmRun ? kDetailDfmNotRoute : kDetailCheckNotRoute);
    if (!UrAlloc()) {
        LoopSetQuiet(false);
        DbGetHeader(&h);
        h.sweep = 0;
        DbPutHeader(&h);
        return;
    }
    ZoomTo(h.centreX, h.centreY, h.width, h.height);
    switch (start) {
    case CheckStart::kDrc:
        CheckSweep(0);
        break;
    case CheckStart::kDrcWhole:
        CheckSweep(1);
        break;
    case CheckStart::kCde:
        CheckCDESweep();
        break;
    case CheckStart::kDfm:
        DFMSweep();
        break;
    case CheckStart::kTestPt:
        TestPtSweep();
        break;
    }
}

} // namespace

void autoCheck(int32_t cde, int32_t noDialog) {
    if (!cde && !noDialog && !DrcSweepOptionsDialog()) return;
    Run(cde ? CheckStart::kCde : noDialog ? CheckStart::kDrcWhole : CheckStart::kDrc, false);
}

void autoCheckDFM(int32_t command) {
    if (command == kCmdDfmRun) {
        if (DfmFlags == 0) DfmFlags = kDfmFlagsDefault;
        Run(CheckStart::kDfm, true);
    } else if (command == kCmdTestPtRun) {
        if (!TestPtOptionsDialog()) return;
        Run(CheckStart::kTestPt, true);
    }
}
