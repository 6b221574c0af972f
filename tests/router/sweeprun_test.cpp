// The sweep run: Resume without a started run starts one, the end of the
// run (back at the start origin, the statistics view asked for, one beep,
// quiet cleared), finished sweeps passed over, a changed direction starting
// the sweep afresh while an unchanged one resumes at the saved window, the
// whole-board mode with its remaining count, a router that does not open,
// and the sweep-number check.
#include <climits>
#include <vector>

#include "db/conns.h"
#include "db/runopt.h"
#include "headless/rundrive.h"
#include "openfixture.h"
#include "router/loopstate.h"
#include "router/passflags.h"
#include "router/routeloop.h"
#include "router/sweeprun.h"
#include "router/uralloc.h"
#include "support/fatal.h"

namespace {

// U1 and U2 of the two-pin footprint, pin U1.2 to pin U2.1 on one net.
const char kBoard[] = "*COMP U1 [15000, 30000] Symbol=1\r\n*COMP U2 [39000, 30000] Symbol=1\r\n"
                      "*Net  \"N1\" W:10 MIN:10 ZID:10 WT:50\r\n   U1.2 U2.1\r\n";

std::vector<int32_t> g_commands;

class SweepRunTest : public UrOpenTest {
  protected:
    void SetUp() override {
        UrOpenTest::SetUp();
        RunOptionsAlloc();
        LoadBoard(kBoard);
        g_commands.clear();
    }
    void TearDown() override {
        if (ToolEventHook) ToolEventHook(kCmdLetGo);
        UrClose();
        DebugSetTraceReceiver(nullptr);
        g_verbose = 0;
        UrOpenTest::TearDown();
    }
    static void Drive() {
        HeadlessDriveRun(
            [](int32_t command, void*) {
                g_commands.push_back(command);
                if (command == kCmdResumeSweepRouter) autoResume();
            },
            nullptr);
    }
    static int32_t Beeps() {
        int32_t n = 0;
        for (const std::string& c : HeadlessShellCalls())
            n += c == "SystemBeep()";
        return n;
    }
    static int32_t FirstOpenSweep() {
        for (int32_t n = 1; n <= kSweepLast; ++n)
            for (int32_t p = 1; p <= kPassLast; ++p)
                if ((SweepSlot(n)->passFlags[p] & kPassStateMask) == kPassEnable) return n;
        return 0;
    }
};

TEST_F(SweepRunTest, ResumeWithoutAStartedRunStartsOneAndTheRunEnds) {
    ASSERT_EQ(DbHdr().value212[0], INT_MAX); // a new design: no run started
    const int32_t cx = DbHdr().centreX, cy = DbHdr().centreY;
    const int32_t first = FirstOpenSweep();
    ASSERT_GT(first, 0);
    ASSERT_EQ(SweepRunCommand(kCmdResumeSweepRouter), 1);
    EXPECT_EQ(DbHdr().byte233, first);
    EXPECT_EQ(DbHdr().value212[0], cx);
    EXPECT_EQ(DbHdr().value212[1], cy);
    EXPECT_TRUE(RunOptionsQuiet());
    EXPECT_EQ(HeadlessIdleTask(), &routeLoop);
    EXPECT_EQ(ToolEventHook, &routeChoice);
    EXPECT_TRUE(ShellCalled("MsgNote(Initializing sweep " + std::to_string(first) + ")"));
    Drive();
    EXPECT_EQ(DbHdr().sweep, 0);
    EXPECT_EQ(DbHdr().centreX, cx);
    EXPECT_EQ(DbHdr().centreY, cy);
    EXPECT_FALSE(RunOptionsQuiet());
    EXPECT_EQ(Beeps(), 1);
    ASSERT_FALSE(g_commands.empty());
    EXPECT_EQ(g_commands.back(), kCmdStatisticsView);
    for (int32_t c = 1; c <= ConnCount(); ++c)
        EXPECT_NE(int32_t(ConnRef(c)->crn[0].layer), 0) << c;
}

TEST_F(SweepRunTest, FinishedSweepsArePassedOver) {
    const int32_t first = FirstOpenSweep();
    ASSERT_GT(first, 0);
    for (uint16_t& f : SweepSlot(first)->passFlags)
        if (f & kPassEnable) f = uint16_t(f | kPassDone);
    const int32_t next = FirstOpenSweep();
    ASSERT_GT(next, first);
    ASSERT_EQ(SweepRunCommand(kCmdStartSweepRouter), 1);
    EXPECT_EQ(DbHdr().byte233, next);
    EXPECT_EQ(DbHdr().sweep, next);
}

TEST_F(SweepRunTest, ResumeAtTheSavedWindowUnlessTheDirectionChanged) {
    const int32_t n = FirstOpenSweep();
    Sweep& s = *SweepSlot(n);
    s.primary = s.curPrimary = 8; // +x, rows down the board
    s.secondary = s.curSecondary = 1;
    ASSERT_EQ(SweepRunCommand(kCmdStartSweepRouter), 1);
    ToolEventHook(kCmdLetGo);
    DbHeader h;
    DbGetHeader(&h);
    h.value212[2] = h.value212[0] + 30000; // the run stopped one window on
    DbPutHeader(&h);
    Trace(true);
    ASSERT_EQ(SweepRunCommand(kCmdResumeSweepRouter), 1);
    EXPECT_TRUE(Traced("autoResume: Resuming sweep " + std::to_string(n)));
    EXPECT_EQ(DbHdr().centreX, h.value212[2]);
    ToolEventHook(kCmdLetGo);
    s.primary = 2; // now along y: the copies no longer agree
    s.secondary = 4;
    ASSERT_EQ(SweepRunCommand(kCmdResumeSweepRouter), 1);
    EXPECT_TRUE(Traced("autoResume: Bad sweepDir"));
    EXPECT_TRUE(Traced("autoResume: Starting sweep " + std::to_string(n)));
    EXPECT_EQ(DbHdr().centreX, h.value212[0]);
    EXPECT_EQ(DbHdr().value212[2], h.value212[0]);
}

TEST_F(SweepRunTest, WholeBoardSweepRunsInModeFiveWithItsRemainingCount) {
    const int32_t n = FirstOpenSweep();
    Sweep& s = *SweepSlot(n);
    s.primary = kSweepDirWhole;
    s.secondary = 0;
    s.passFlags[1] = kPassEnable | kPassMaze;
    ASSERT_EQ(SweepRunCommand(kCmdStartSweepRouter), 1);
    EXPECT_EQ(Goal()->state, kGoalWholeBoard);
    EXPECT_EQ(Goal()->remainingCount, 1); // the one unrouted connection
    Drive();
    EXPECT_NE(int32_t(ConnRef(1)->crn[0].layer), 0);
}

TEST_F(SweepRunTest, RouterThatDoesNotOpenEndsTheRun) {
    const int32_t n = FirstOpenSweep();
    Sweep& s = *SweepSlot(n);
    s.box[0] = 20; // 20 - 10 - 12: the window would never advance
    s.box[2] = 10;
    ASSERT_EQ(SweepRunCommand(kCmdStartSweepRouter), 1);
    EXPECT_EQ(DbHdr().sweep, 0);
    EXPECT_FALSE(RunOptionsQuiet());
    EXPECT_EQ(HeadlessIdleTask(), nullptr);
}

TEST_F(SweepRunTest, RefusalsAndInternalErrors) {
    DbHdr().valid = 0;
    EXPECT_EQ(SweepRunCommand(kCmdStartSweepRouter), 0);
    EXPECT_TRUE(ShellCalled("MsgNote(No database loaded)"));
    DbHdr().valid = 1;
    EXPECT_EQ(SweepRunCommand(30244), 0); // not a router command
    SetSweepNumber(0);
    EXPECT_FATAL(autoResumeStep(), kErrSweepNumberZero);
}

} // namespace
