// The route loop: the tool event hook's table and the stop, the option bits
// a FAST pass sets and any other pass clears, the attempts a FAST pass
// allows, a connection given up answering 1 without a new expansion and
// the rip-fail threshold, a one-gap run ending after its gap, a CDE pass's
// committed and broadcast level, a window that does not load, and a step
// cut short by an internal error.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "db/conns.h"
#include "db/altjournal.h"
#include "db/pool.h"
#include "db/runopt.h"
#include "headless/rundrive.h"
#include "openfixture.h"
#include "router/installpath.h"
#include "router/loopstate.h"
#include "router/nearest.h"
#include "router/objvalidate.h"
#include "router/objtable.h"
#include "router/passflags.h"
#include "router/routeloop.h"
#include "router/rulesvc.h"
#include "router/shove.h"
#include "router/sweeprun.h"
#include "router/uralloc.h"
#include "router/wave.h"

namespace {

const char kBoard[] = "*COMP U1 [15000, 30000] Symbol=1\r\n*COMP U2 [39000, 30000] Symbol=1\r\n"
                      "*Net  \"N1\" W:10 MIN:10 ZID:10 WT:50\r\n   U1.2 U2.1\r\n";

class RouteLoopTest : public UrOpenTest {
  protected:
    void SetUp() override {
        UrOpenTest::SetUp();
        RunOptionsAlloc();
        LoadBoard(kBoard);
        OnePass(kPassEnable | kPassMaze);
    }
    // One sweep with one pass.
    static void OnePass(uint16_t flags) {
        for (int32_t n = 1; n <= kSweepLast; ++n)
            for (uint16_t& f : SweepSlot(n)->passFlags)
                f = uint16_t(f & ~kPassEnable);
        SweepSlot(1)->passFlags[1] = flags;
        SweepSlot(1)->limit[1] = 100; // no cost bound
    }
    void TearDown() override {
        if (ToolEventHook) ToolEventHook(kCmdLetGo);
        UrClose();
        MzFlags = MzFlags2 = 0;
        g_forceInstall = 0;
        g_verbose = 0;
        DebugSetTraceReceiver(nullptr);
        UrOpenTest::TearDown();
    }
    // Starts the run and steps until a connection is in hand.
    static void UntilConnInHand() {
        ASSERT_EQ(SweepRunCommand(kCmdStartSweepRouter), 1);
        for (int32_t k = 0; k < 20 && Goal()->conn == 0; ++k)
            routeLoop();
        ASSERT_NE(Goal()->conn, 0);
    }
    static uint16_t& PassWord() { return CurSweep().passFlags[Goal()->pass]; }
};

TEST_F(RouteLoopTest, ToolEventHookTable) {
    ASSERT_EQ(SweepRunCommand(kCmdStartSweepRouter), 1);
    struct Case {
        int32_t command, result;
    } cases[] = {{kCmdEraseOverlay, 1},
                 {kCmdRevalidate, 1},
                 {kCmdNoEffect, 1},
                 {kCmdCursorBusy, 0},
                 {30999, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(routeChoice(c.command), c.result) << c.command;
    EXPECT_EQ(HeadlessCursorKind(), kCursorBusy);
    EXPECT_EQ(HeadlessIdleTask(), &routeLoop); // none of them stops the run
    EXPECT_EQ(routeChoice(kCmdStop), 1);
    EXPECT_EQ(HeadlessIdleTask(), nullptr);
    EXPECT_EQ(ToolEventHook, nullptr);
    EXPECT_EQ(DbHdr().sweep, 0);
    EXPECT_EQ(HeadlessCursorKind(), kCursorTrack);
    EXPECT_FALSE(RunOptionsQuiet());
    EXPECT_EQ(Goal()->conn, 0);
}

TEST_F(RouteLoopTest, FastPassSetsTheOptionBitsOtherPassesClearThem) {
    UntilConnInHand();
    const int16_t conn = Goal()->conn;
    PassWord() |= kPassFastRun;
    g_loop.attemptsLeft = 5;
    oneAttempt();
    EXPECT_EQ(MzFlags & kMzFastBits, kMzFastBits);
    EXPECT_EQ(MzFlags2 & kMz2FastAltcheck, kMz2FastAltcheck);
    EXPECT_EQ(g_forceInstall, 1);
    // A one-gap run clears them like any other pass.
    Goal()->conn = conn;
    Goal()->state = kGoalOneConn;
    g_loop.attemptsLeft = 5;
    oneAttempt();
    EXPECT_EQ(MzFlags & kMzFastBits, 0);
    EXPECT_EQ(MzFlags2 & kMz2FastAltcheck, 0);
    EXPECT_EQ(g_forceInstall, 0);
    // With the verbose flag the options stay as set.
    Goal()->conn = conn;
    PassWord() = uint16_t(PassWord() & ~kPassFastRun);
    MzFlags = kMzNoJump;
    g_verbose = 1;
    g_loop.attemptsLeft = 5;
    oneAttempt();
    EXPECT_EQ(MzFlags & kMzNoJump, kMzNoJump);
}

TEST_F(RouteLoopTest, FastPassAttempts) {
    UntilConnInHand();
    PassWord() |= kPassFastRun;
    struct Case {
        int16_t limit, attempts;
    } cases[] = {{1, 1}, {10, 2}};
    for (const Case& c : cases) {
        Goal()->iterateLimit = c.limit;
        ASSERT_EQ(prepAttempt(), 1);
        EXPECT_EQ(g_loop.attemptsLeft, c.attempts) << c.limit;
        EXPECT_EQ(Goal()->forceFast, 1);
    }
}

TEST_F(RouteLoopTest, GivenUpAnswersOneWithoutExpansionUnlessRipFail) {
    UntilConnInHand();
    MzGoal& g = *Goal();
    ASSERT_EQ(prepAttempt(), 1);
    g.totalCost = kGivenUpCost;
    g_loop.attemptsLeft = 5;
    WavePopCountClear();
    EXPECT_EQ(oneAttempt(), kAttemptGiveUp);
    EXPECT_EQ(WavePopCount(), 0);
    // Rip-fail takes a saved path only with ATTEMPS of 51 or more.
    g_router.ripUpAllowed = 1;
    struct Case {
        uint8_t attempts;
        int16_t ripFail;
    } cases[] = {{50, 0}, {51, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.attempts));
        CurSweep().attempts[g.pass] = c.attempts;
        NearestInit();
        NearestSave(0, g_router.connPath);
        g.totalCost = kGivenUpCost;
        g_loop.attemptsLeft = 5;
        g.ripFail = 0;
        const int32_t code = oneAttempt();
        if (c.ripFail) {
            EXPECT_NE(code, kAttemptGiveUp);
            EXPECT_EQ(NearestSavedCount(), 0); // taken
        } else {
            EXPECT_EQ(code, kAttemptGiveUp);
            EXPECT_EQ(NearestSavedCount(), 1);
        }
    }
    // Attempts used up.
    g_loop.attemptsLeft = 0;
    EXPECT_EQ(oneAttempt(), kAttemptGiveUp);
}

TEST_F(RouteLoopTest, HeuristicPassCountsEachConnectionOnce) {
    // U1.2 and U2.1 lie on one horizontal grid line: the straight-line
    // heuristic routes them.
    SweepSlot(1)->passFlags[1] = kPassEnable | kPassHeur;
    ASSERT_EQ(SweepRunCommand(kCmdStartSweepRouter), 1);
    int16_t ranked = -1;
    for (int32_t k = 0; k < 10 && HeadlessIdleTask(); ++k) {
        routeLoop();
        if (ranked < 0 && !g_loop.newPass) ranked = Goal()->remainingCount;
        if (Goal()->routedCount > 0) break;
    }
    ASSERT_EQ(ranked, 1);
    EXPECT_EQ(Goal()->routedCount, 1);
    EXPECT_EQ(Goal()->remainingCount, 0); // not taken down a second time
}

int32_t NeverAlt(int32_t) {
    return 0;
}

TEST_F(RouteLoopTest, SamePathFourTimesIsGivenUp) {
    UntilConnInHand();
    RuleServices none{};
    none.DrcCheckAlt = &NeverAlt;
    RuleServicesInstall(&none);
    MzGoal& g = *Goal();
    g_loop.attemptsLeft = 20;
    std::vector<int16_t> repeats;
    for (int32_t k = 0; k < 8 && g.totalCost != kGivenUpCost; ++k) {
        ASSERT_EQ(oneAttempt(), kAttemptRetry);
        repeats.push_back(g_loop.repeatCount);
        if (g_loop.repeatCount == 1) {
            EXPECT_TRUE(MzFlags & kMzLoopPrevent);
        }
        if (g_loop.repeatCount == 2) {
            EXPECT_EQ(g.useNearest, 1);
        }
    }
    RuleServicesInstall(nullptr);
    ASSERT_FALSE(repeats.empty());
    EXPECT_EQ(repeats.back(), kRepeatGiveUp);
    EXPECT_EQ(g.totalCost, kGivenUpCost);
    EXPECT_EQ(oneAttempt(), kAttemptGiveUp); // no new expansion
}

TEST_F(RouteLoopTest, OneGapRunEndsAfterItsGap) {
    UntilConnInHand();
    const int16_t conn = Goal()->conn, entry = Goal()->objIndex;
    ToolEventHook(kCmdLetGo);
    // The routing window's tool picks the gap and starts the run.
    MzGoal& g = *Goal();
    ASSERT_EQ(UrAlloc(), 1);
    DbHdr().sweep = 0;
    CurSweep().passFlags[0] = kPassEnable | kPassMaze;
    g.conn = conn;
    g.objIndex = int16_t(ObjFindConn(conn));
    ASSERT_NE(g.objIndex, 0);
    (void)entry;
    g.crn1Index = 0;
    g.crn2Index = 1;
    g.pass = 0;
    urStartRouting();
    EXPECT_EQ(g.state, kGoalOneConn);
    ASSERT_EQ(HeadlessIdleTask(), &routeLoop);
    Trace(true);
    int32_t steps = 0;
    HeadlessDriveRun(nullptr, nullptr);
    for (const std::string& t : OpenTraces())
        steps += t.rfind("routeLoop: connIndex=", 0) == 0;
    EXPECT_TRUE(Traced("routeChoice: LET-GO check 1"));
    EXPECT_EQ(HeadlessIdleTask(), nullptr);
    EXPECT_GE(steps, 2);
    EXPECT_NE(int32_t(ConnRef(conn)->crn[0].layer), 0); // routed
}

// A CDE pass removes violations in a journal level of its own, committed
// and broadcast as a change.
TEST_F(RouteLoopTest, CdePassCommitsAndBroadcastsItsLevel) {
    SweepSlot(1)->passFlags[1] = kPassEnable | kPassCde;
    ASSERT_EQ(SweepRunCommand(kCmdStartSweepRouter), 1);
    HeadlessDriveRun(nullptr, nullptr);
    EXPECT_EQ(HeadlessIdleTask(), nullptr);
    int32_t removals = 0, broadcasts = 0;
    for (const RuleServiceCall& c : RuleServiceCalls())
        removals += c.name == "DrcRemoveViolations";
    for (const std::string& c : HeadlessShellCalls())
        broadcasts += c == "BroadcastCommand(30050)";
    EXPECT_EQ(removals, 1);
    EXPECT_EQ(broadcasts, 1); // nothing else changed the board
    EXPECT_EQ(AltDepth(), 0);
}

// More pads than the object table holds: the window does not load, the
// activity log says it was skipped, and the run goes on to its end with
// nothing routed.
TEST_F(RouteLoopTest, WindowThatDoesNotLoadIsSkipped) {
    // 820 components of 40 pins: 32,800 pads.
    std::string body = "*SYMBOL 2 \"MANY\"";
    for (int32_t p = 1; p <= 40; ++p)
        body += "\r\n" + std::to_string(p) + " \"" + std::to_string(p) + "\" [" +
                std::to_string(100 * p) + ", 0] Thru=1";
    body += "\r\n";
    for (int32_t c = 1; c <= 820; ++c)
        body += "*COMP C" + std::to_string(c) + " [30000, 30000] Symbol=2\r\n";
    LoadBoard(kBoard + body);
    SweepSlot(1)->passFlags[1] = kPassEnable | kPassMaze;
    ASSERT_EQ(SweepRunCommand(kCmdStartSweepRouter), 1);
    HeadlessDriveRun(nullptr, nullptr);
    EXPECT_EQ(HeadlessIdleTask(), nullptr);
    EXPECT_EQ(g_windowLoaded, 0);
    EXPECT_EQ(int32_t(ConnRef(1)->crn[0].layer), 0); // not routed
    std::ifstream in(m_folder / "Pelvane.Log", std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(log.find("Skipped window due to overload\r\n"), std::string::npos) << log;
}

// An internal error raised inside a step: the checker of the install (with
// the path put in an open journal level) or the CDE pass's removal (with
// no connection in hand) fails. The step's level is rejected, its scratch
// records handed back, the activity log names what was given up and the
// error, the connection is not tried again in the pass, and the run goes
// on to its end.
int32_t s_raised = 0;
enum : ErrCode { kInjected = 9999123 };
int32_t RaisingAlt(int32_t) {
    ++s_raised;
    ErrReport(kInjected, 7);
}
void RaisingRemoval() {
    ++s_raised;
    ErrFatal(kInjected);
}

TEST_F(RouteLoopTest, InternalErrorInAStepGivesUpAndTheRunGoesOn) {
    struct Case {
        uint16_t pass;
        const char* line;
    } cases[] = {{kPassEnable | kPassMaze, "Connection 1 given up: Error code 9999.123 (7)\r\n"},
                 {kPassEnable | kPassHeur, "Connection 1 given up: Error code 9999.123 (7)\r\n"},
                 {kPassEnable | kPassCde, "Window given up: Error code 9999.123\r\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pass);
        std::filesystem::remove(m_folder / "Pelvane.Log");
        LoadBoard(kBoard);
        OnePass(c.pass);
        RuleServices raising{};
        raising.DrcCheckAlt = &RaisingAlt;
        raising.DrcRemoveViolations = &RaisingRemoval;
        RuleServicesInstall(&raising);
        s_raised = 0;
        const int32_t scratch = ScratchDepth();
        ASSERT_EQ(SweepRunCommand(kCmdStartSweepRouter), 1);
        HeadlessDriveRun(nullptr, nullptr);
        RuleServicesInstall(nullptr);
        EXPECT_EQ(HeadlessIdleTask(), nullptr); // the run ended by itself
        EXPECT_EQ(s_raised, 1);
        EXPECT_EQ(AltDepth(), 0);
        EXPECT_EQ(ScratchDepth(), scratch);
        EXPECT_EQ(ErrTrapDepth(), 0);
        EXPECT_EQ(int32_t(ConnRef(1)->crn[0].layer), 0); // the path was not kept
        EXPECT_EQ(ConnRef(1)->head.count, 2);
        std::ifstream in(m_folder / "Pelvane.Log", std::ios::binary);
        const std::string log((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
        EXPECT_NE(log.find(c.line), std::string::npos) << log;
    }
}

// The first install's check raises, every later one passes: the pass is
// ranked again without the connection given up and routes the other; the
// given-up connection is not tried again in the pass.
int32_t RaisingOnceAlt(int32_t) {
    if (s_raised++ == 0) ErrReport(kInjected, 7);
    return 1;
}

TEST_F(RouteLoopTest, ThePassGoesOnWithoutTheConnectionGivenUp) {
    LoadBoard(std::string(kBoard) +
              "*COMP U3 [15000, 45000] Symbol=1\r\n*COMP U4 [39000, 45000] Symbol=1\r\n"
              "*Net  \"N2\" W:10 MIN:10 ZID:10 WT:50\r\n   U3.2 U4.1\r\n");
    OnePass(kPassEnable | kPassMaze);
    RuleServices raising{};
    raising.DrcCheckAlt = &RaisingOnceAlt;
    RuleServicesInstall(&raising);
    s_raised = 0;
    ASSERT_EQ(SweepRunCommand(kCmdStartSweepRouter), 1);
    HeadlessDriveRun(nullptr, nullptr);
    RuleServicesInstall(nullptr);
    EXPECT_EQ(HeadlessIdleTask(), nullptr);
    EXPECT_GE(s_raised, 2);
    std::ifstream in(m_folder / "Pelvane.Log", std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t at = log.find("Connection ");
    ASSERT_NE(at, std::string::npos) << log;
    const int32_t given = std::atoi(log.c_str() + at + 11);
    ASSERT_TRUE(given == 1 || given == 2) << log;
    EXPECT_EQ(int32_t(ConnRef(given)->crn[0].layer), 0);
    EXPECT_NE(int32_t(ConnRef(3 - given)->crn[0].layer), 0); // routed
    EXPECT_EQ(log.find("Connection ", at + 1), std::string::npos) << log; // one line
}

// Two CHIPs of SMD pads (top layer only), U1.2 to U2.1 on one net.
const char kSmdBoard[] = "*THRU 2 \"SMD\" Layer=1 SHAPE=RECT W:1500 H:3000\r\n"
                         "*SYMBOL 2 \"CHIP\" 1 \"1\" [0, 0] Thru=2 2 \"2\" [6000, 0] Thru=2\r\n"
                         "*COMP U1 [15000, 30000] Symbol=2\r\n*COMP U2 [39000, 30000] Symbol=2\r\n"
                         "*Net  \"N1\" W:10 MIN:10 ZID:10 WT:50\r\n   U1.2 U2.1\r\n";

class DisburseLoopTest : public RouteLoopTest {
  protected:
    void SetUp() override {
        UrOpenTest::SetUp();
        RunOptionsAlloc();
        LoadBoard(kSmdBoard);
        for (int32_t n = 1; n <= kSweepLast; ++n)
            for (uint16_t& f : SweepSlot(n)->passFlags)
                f = uint16_t(f & ~kPassEnable);
        SweepSlot(1)->passFlags[1] = kPassEnable | kPassDisburse;
    }
};

TEST_F(DisburseLoopTest, OneIdleCallForTheListAndOnePerPad) {
    ASSERT_EQ(SweepRunCommand(kCmdStartSweepRouter), 1);
    ASSERT_EQ(g_loop.newPass, 1);
    routeLoop();
    EXPECT_EQ(g_loop.newPass, 0);
    int32_t pads = 0;
    for (DisperseNode* n = g_loop.disperseList; n; n = n->next)
        ++pads;
    EXPECT_EQ(pads, 4); // every SMD pad in the window, netted or not
    for (int32_t k = 1; k <= pads; ++k) {
        routeLoop();
        EXPECT_EQ(Goal()->attemptCount, k);
        EXPECT_EQ(AltDepth(), 0);
    }
    // Fanning out completes no connection: the routed count counts complete
    // connections only.
    EXPECT_EQ(Goal()->routedCount, 0);
    EXPECT_EQ(g_loop.disperseList, nullptr);
    // The net's connection now runs pad, via, gap, via, pad.
    const Conn* c = ConnRef(1);
    int32_t vias = 0;
    for (int32_t i = 0; i < c->head.count; ++i)
        vias += c->crn[i].via != 0;
    EXPECT_EQ(vias, 2);
}

TEST_F(DisburseLoopTest, OneConnectionsFanOutAndItsRefusals) {
    // A one-gap run whose pass 0 is a DISBURSE pass fans the first end out.
    ASSERT_EQ(SweepRunCommand(kCmdStartSweepRouter), 1);
    ToolEventHook(kCmdLetGo);
    ASSERT_EQ(UrAlloc(), 1);
    DbHdr().sweep = 0;
    CurSweep().passFlags[0] = kPassEnable | kPassDisburse;
    MzGoal& g = *Goal();
    g.conn = 1;
    g.objIndex = int16_t(ObjFindConn(1));
    g.crn1Index = 0;
    g.crn2Index = 1;
    g.pass = 0;
    urStartRouting();
    EXPECT_EQ(g.conn, 0);
    EXPECT_EQ(HeadlessIdleTask(), nullptr);
    EXPECT_NE(int32_t(ConnRef(1)->crn[1].via), 0);
    // Not an SMT pad: the first end made a free node.
    Conn c;
    ConnGet(1, &c);
    c.head.fromComp = 0;
    c.head.fromPin = 0;
    {
        DbTrustedScope trusted;
        ConnPut(1, &c);
    }
    g.conn = 1;
    disperseConn();
    ASSERT_FALSE(HeadlessMessages(kHeadlessAlert).empty());
    EXPECT_EQ(HeadlessMessages(kHeadlessAlert).back(), "Not an SMT pad");
}

TEST_F(DisburseLoopTest, NoWorkingPassIsRefused) {
    SweepSlot(1)->passFlags[1] = kPassEnable | kPassPartial; // enabled, nothing to do
    RunOptionsTestReset();
    ASSERT_EQ(UrAlloc(), 1);
    Goal()->state = kGoalSweepWindows;
    DbHdr().sweep = 1;
    UrReadHeaderAndSweep();
    urStartBatchRouting();
    ASSERT_FALSE(HeadlessMessages(kHeadlessAlert).empty());
    EXPECT_EQ(HeadlessMessages(kHeadlessAlert).back(), "No passes enabled!");
    EXPECT_EQ(HeadlessIdleTask(), nullptr);
}

} // namespace
