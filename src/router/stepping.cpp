// Pass, window and sweep stepping. The window walk is the serpentine of
// windowwalk.h: rows in the primary direction, rows following one another
// in the secondary direction by the same rule.
#include "router/stepping.h"

#include <algorithm>

#include "db/db.h"
#include "db/dbheader.h"
#include "db/shellsvc.h"
#include "db/sweeps.h"
#include "router/costs.h"
#include "router/loopcommon.h"
#include "router/loopstate.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objvalidate.h"
#include "router/passflags.h"
#include "router/routestats.h"
#include "router/urstate.h"
#include "router/windowwalk.h"

namespace {

enum : uint8_t {
    kDirYMinus = 1,
    kDirYPlus = 2,
    kDirXMinus = 4,
    kDirXPlus = 8,
    kDirCodeMask = 0x1F,
};

enum : int32_t { kMaxOneRowLayers = 2 }; // more active layers: one row per sweep

const char kBackupSweepName[] = "Backup Sweep_%d.ZID";

// The axis a direction code walks on, or false for an invalid code.
bool AxisOf(uint8_t code, const int64_t step[2], WalkAxis* out) {
    DbHeader& h = g_router.header;
    const MzBox& w = g_mzGrid.window;
    if (code == kDirXPlus || code == kDirXMinus) {
        *out = WalkAxis{&h.value212[2], h.value212[0], w.minX,    w.maxX,    h.extMinX,
                        h.extMaxX,      step[0],       kDirXPlus, kDirXMinus};
        return true;
    }
    if (code == kDirYPlus || code == kDirYMinus) {
        *out = WalkAxis{&h.value212[3], h.value212[1], w.minY,    w.maxY,    h.extMinY,
                        h.extMaxY,      step[1],       kDirYPlus, kDirYMinus};
        return true;
    }
    return false;
}

} // namespace

int32_t nextPass() {
    MzGoal* goal = Goal();
    if (g_verbose) DebugPrint("nextPass: completed pass %d", int(goal->pass));
    g_loop.disperseList = nullptr;
    const Sweep& s = CurSweep();
    if (g_router.header.sweep == 0) return 0;
    for (int32_t p = goal->pass + 1; p <= kPassLast; ++p) {
        const uint16_t f = s.passFlags[p];
        if ((f & kPassStateMask) != kPassEnable) continue;
        if (goal->state == kGoalWholeBoard && !(f & kPassMaze)) continue;
        goal->pass = int16_t(p);
        PrepCost(p);
        goal->conn = 0;
        if (!(f & kPassWorkMask)) continue;
        if (!g_loop.newWindow && !MapAll()) return 0;
        goal->nextObj = 0;
        goal->conn = 0;
        g_loop.newPass = 1;
        LoopGivenUpClear();
        return 1;
    }
    return 0;
}

int32_t nextWindow() {
    DbHeader& h = g_router.header;
    if (g_verbose)
        DebugPrint("nextWindow: completed window at [%s,%s]", CoordText(h.value212[2]),
                   CoordText(h.value212[3]));
    Goal()->conn = 0;
    urObjInvalidate();
    DbGetHeader(&h);
    Sweep& s = CurSweep();
    const int64_t grid = h.routeGrid;
    const int64_t step[2] = {(int64_t(s.box[0]) - s.box[2] - kWindowBorderGrids) * grid,
                             (int64_t(s.box[1]) - s.box[3] - kWindowBorderGrids) * grid};
    WalkAxis primary, secondary;
    const uint8_t p = s.curPrimary & kDirCodeMask;
    if (!AxisOf(p, step, &primary)) ErrReport(kErrPrimaryDir, s.curPrimary);
    if (WalkStep(primary, &s.curPrimary, s.primary & kDirCodeMask)) return 1;
    if (s.usedLayers > kMaxOneRowLayers) return 0;
    const uint8_t q = s.curSecondary & kDirCodeMask;
    if (!AxisOf(q, step, &secondary)) ErrReport(kErrSecondaryDir, s.curSecondary);
    return WalkStep(secondary, &s.curSecondary, s.secondary & kDirCodeMask);
}

int32_t nextSweep() {
    const DbHeader& h = g_router.header;
    if (g_verbose) DebugPrint("nextSweep: completed Sweep %d", int(h.sweep));
    SetIdleTask(nullptr);
    ToolEventHook = nullptr;
    DisperseClose();
    showStatistics();
    Sweep& s = CurSweep();
    SweepGet(&s);
    for (int32_t p = kPassFirst + 1; p <= kPassLast; ++p)
        if (s.passFlags[p] & kPassEnable) s.passFlags[p] = uint16_t(s.passFlags[p] | kPassDone);
    SweepPut(&s);
    if (h.backupEachSweep) {
        if (const FileSpec* design = DesignFileSpec()) {
            FileSpec target = *design;
            std::snprintf(target.name, sizeof target.name, kBackupSweepName, int(h.sweep));
            BackupWrite(&target);
        }
    }
    PostAppCommand(kCmdResumeRouting);
    return 1;
}
