// The check sweeps and the Auto menu's check runs: a board of several
// windows is checked window by window in the walk's order and the sweep
// ends back at the start window, from a corner or from mid-board (both
// sides, the start direction first); a violation in the last window is found
// by that window's check; a window whose map is not valid is passed over
// and counted; CheckSweep(1) puts CheckOptions back, CheckSweep(0) and the
// test-point run keep it and DFMSweep leaves it at 1; the CDE run cleans
// its first window at once; let-go resets the sweep number; no checkable
// sweep is said so; no current sweep and bad directions are internal
// errors; a small extent still steps; windows whose objects do not load are
// skipped, logged and counted and the sweep still ends cleanly; the DFM
// alert outside quiet mode; the context menu and unkept markers. The paint
// commands on the loaded window: cell counts, codes, and their three
// refusals.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "db/conns.h"
#include "db/markers.h"
#include "db/runopt.h"
#include "headless/checkstand.h"
#include "headless/rundrive.h"
#include "router/loopcommon.h"
#include "router/objtable.h"
#include "router/objvalidate.h"
#include "router/openfixture.h"
#include "router/passflags.h"
#include "router/rulesvc.h"
#include "router/sweeprun.h"
#include "router/uralloc.h"
#include "router/mzgrid.h"
#include "rules/autocheck.h"
#include "rules/checksweep.h"
#include "rules/drcerror.h"
#include "rules/mappaint.h"
#include "router/maze.h"
#include "router/viamap.h"
#include "rules/ruleadapt.h"
#include "rules/rulesinstall.h"
#include "support/fatal.h"

namespace {

// Two parts far apart: a board wider and taller than one small window.
const char kBoard[] = "*COMP U1 [6000, 6000] Symbol=1\r\n*COMP U2 [114000, 84000] Symbol=1\r\n"
                      "*Net  \"N1\" W:10 MIN:10 ZID:10 WT:50\r\n   U1.2 U2.1\r\n";

enum : int32_t { kLetGo = 30026, kWindowGrids = 30 };

const char kCompleted[] = "nextWindow: completed checking of window at";

class CheckSweepTest : public UrOpenTest {
  protected:
    void SetUp() override {
        UrOpenTest::SetUp();
        RulesInstall();
        RunOptionsAlloc();
        CheckSweepTestReset();
        HeadlessCheckShellReset();
        CheckOptions = 0;
        LoadBoard(kBoard);
        WindowsOf30();
    }
    // Every strategy walks windows of 30 by 30 grid points.
    static void WindowsOf30() {
        for (int32_t n = 1; n <= kSweepLast; ++n) {
            SweepSlot(n)->box[0] = SweepSlot(n)->box[1] = kWindowGrids;
            SweepSlot(n)->box[2] = SweepSlot(n)->box[3] = 0;
        }
    }
    void TearDown() override {
        if (ToolEventHook) ToolEventHook(kLetGo);
        UrClose();
        DebugSetTraceReceiver(nullptr);
        g_verbose = 0;
        RuleServicesInstall(nullptr);
        UrOpenTest::TearDown();
    }
    // A sweep started with its step, the hook and its title.
    static void ExpectStarted(IdleTaskProc step, const std::string& title) {
        EXPECT_EQ(HeadlessIdleTask(), step);
        EXPECT_EQ(ToolEventHook, &checkChoice);
        EXPECT_TRUE(ShellCalled("MsgPrompt(" + title + ")"));
    }
    // Drives the started sweep to its end: each of the 24 windows checked
    // or passed over, task and hook removed, the sweep number reset.
    static void ExpectRunOverEveryWindow() {
        HeadlessDriveRun(nullptr, nullptr);
        EXPECT_EQ(g_checkSweep.windows + g_checkSweep.skipped, 24);
        EXPECT_EQ(HeadlessIdleTask(), nullptr);
        EXPECT_EQ(ToolEventHook, nullptr);
        EXPECT_EQ(DbHdr().sweep, 0);
    }
    static std::vector<std::string> Completed() {
        std::vector<std::string> out;
        for (const std::string& t : OpenTraces())
            if (t.rfind(kCompleted, 0) == 0) out.push_back(t.substr(sizeof kCompleted));
        return out;
    }
};

TEST_F(CheckSweepTest, EveryWindowIsCheckedOnceInTheWalksOrder) {
    Trace(true);
    autoBoard();
    autoCheck(0, 1);
    ASSERT_EQ(HeadlessIdleTask(), &checkSweepStep);
    EXPECT_EQ(ToolEventHook, &checkChoice);
    EXPECT_EQ(CheckOptions, kCheckSameNetViasOnly);
    EXPECT_TRUE(ShellCalled("MsgPrompt(Full Board DRC Check)"));
    const int32_t sx = DbHdr().value212[0], sy = DbHdr().value212[1];
    HeadlessDriveRun(nullptr, nullptr);
    EXPECT_EQ(HeadlessIdleTask(), nullptr);
    EXPECT_EQ(ToolEventHook, nullptr);
    EXPECT_EQ(DbHdr().sweep, 0);
    EXPECT_FALSE(RunOptionsQuiet());
    EXPECT_EQ(CheckOptions, 0); // put back
    const std::vector<std::string> done = Completed();
    // Every window was checked, none twice, and the last completion ends
    // the walk.
    EXPECT_GT(g_checkSweep.windows, 1);
    EXPECT_EQ(g_checkSweep.windows + g_checkSweep.skipped, int32_t(done.size()));
    for (size_t i = 0; i < done.size(); ++i)
        for (size_t j = i + 1; j < done.size(); ++j)
            EXPECT_NE(done[i], done[j]) << i << " " << j;
    // Rows of six windows upwards from the start, each from left to right.
    std::vector<std::string> walk;
    for (int32_t y = 0; y <= 1350; y += 450)
        for (int32_t x = 0; x <= 2250; x += 450)
            walk.push_back("[" + std::to_string(x) + "," + std::to_string(y) + "]");
    EXPECT_EQ(done, walk);
    EXPECT_EQ(DbHdr().centreX, sx); // zoomed back to the start window
    EXPECT_EQ(DbHdr().centreY, sy);
}

// A pile of 32,800 pads by U2 overloads every window that reaches it:
// those windows are passed over, each with a line in the activity log, the others are checked, and
// the sweep ends as usual, back at the start window with hook and task removed.
TEST_F(CheckSweepTest, WindowsThatDoNotLoadAreSkippedAndTheSweepEnds) {
    std::string pile = "*SYMBOL 2 \"MANY\"";
    for (int32_t p = 1; p <= 40; ++p)
        pile += "\r\n" + std::to_string(p) + " \"" + std::to_string(p) + "\" [" +
                std::to_string(100 * p) + ", 0] Thru=1";
    pile += "\r\n";
    for (int32_t c = 1; c <= 820; ++c)
        pile += "*COMP C" + std::to_string(c) + " [108000, 80000] Symbol=2\r\n";
    LoadBoard(kBoard + pile);
    WindowsOf30();
    Trace(true);
    autoBoard();
    autoCheck(0, 1);
    ASSERT_EQ(HeadlessIdleTask(), &checkSweepStep);
    const int32_t sx = DbHdr().value212[0], sy = DbHdr().value212[1];
    HeadlessDriveRun(nullptr, nullptr);
    EXPECT_EQ(HeadlessIdleTask(), nullptr);
    EXPECT_EQ(ToolEventHook, nullptr);
    EXPECT_EQ(DbHdr().sweep, 0);
    EXPECT_EQ(DbHdr().centreX, sx);
    EXPECT_EQ(DbHdr().centreY, sy);
    EXPECT_EQ(HeadlessBeepCount(), 0);
    EXPECT_TRUE(ShellCalled("MsgNote(Too many objects in DRC area)"));
    // The same 24 windows as on the bare board, the pile's ones skipped.
    EXPECT_EQ(int32_t(Completed().size()), 24);
    EXPECT_EQ(g_checkSweep.windows + g_checkSweep.skipped, 24);
    EXPECT_GT(g_checkSweep.skipped, 1);
    EXPECT_GT(g_checkSweep.windows, 1);
    std::ifstream in(m_folder / "Pelvane.Log", std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int32_t lines = 0;
    for (size_t at = log.find("Skipped window due to overload\r\n"); at != std::string::npos;
         at = log.find("Skipped window due to overload\r\n", at + 1))
        ++lines;
    EXPECT_EQ(lines, g_checkSweep.skipped);
}

// A pending window whose objects went stale and then fail to load is
// passed over by the window check itself: no beep, no checks, counted.
TEST_F(CheckSweepTest, APendingWindowThatNoLongerLoadsIsSkipped) {
    autoBoard();
    autoCheck(0, 1);
    ASSERT_EQ(g_checkSweep.pending, 1);
    urObjInvalidate();
    CurSweep().usedLayers = 0;
    const int32_t invalidates = HeadlessInvalidateCount();
    checkWindow();
    SweepGet(&CurSweep());
    EXPECT_EQ(g_checkSweep.skipped, 1);
    EXPECT_EQ(g_checkSweep.windows, 0);
    EXPECT_EQ(HeadlessBeepCount(), 0);
    EXPECT_EQ(HeadlessInvalidateCount(), invalidates);
    EXPECT_TRUE(ShellCalled("MsgNote(No layers enabled for routing)"));
}

TEST_F(CheckSweepTest, DfmLeavesCheckOptionsAtOneAndLetGoResetsTheSweep) {
    CheckOptions = 0x48;
    autoBoard();
    autoCheckDFM(kCmdDfmRun);
    ASSERT_EQ(HeadlessIdleTask(), &checkSweepStep);
    EXPECT_EQ(g_checkSweep.dfm, 1);
    EXPECT_EQ(g_checkSweep.fullCheck, 0);
    EXPECT_EQ(CheckOptions, kCheckSameNetViasOnly);
    EXPECT_NE(DbHdr().sweep, 0);
    EXPECT_EQ(checkChoice(30210), 1);
    EXPECT_EQ(DbHdr().sweep, 0);
    EXPECT_EQ(HeadlessIdleTask(), nullptr);
    EXPECT_EQ(CheckOptions, kCheckSameNetViasOnly); // not restored
    EXPECT_FALSE(RunOptionsQuiet());
}

TEST_F(CheckSweepTest, ContextMenuAndOtherCommands) {
    EXPECT_EQ(checkChoice(30061), 1);
    EXPECT_EQ(HeadlessContextSteps(),
              (std::vector<std::string>{"NotImplemented", "NotImplemented2", "NotImplemented3",
                                        "NotImplemented4"}));
    EXPECT_EQ(checkChoice(30016), 0);
    EXPECT_EQ(HeadlessCursorKind(), kCursorBusy);
    EXPECT_EQ(checkChoice(30044), 0);
}

TEST_F(CheckSweepTest, NoCheckableSweepIsSaidSo) {
    for (int32_t n = 1; n <= kSweepLast; ++n)
        for (int32_t p = 1; p <= kPassLast; ++p)
            SweepSlot(n)->passFlags[p] = uint16_t(SweepSlot(n)->passFlags[p] & ~kPassEnable);
    HeadlessSetConfirmAnswer(true);
    autoBoard();
    autoCheck(0, 1);
    EXPECT_EQ(HeadlessIdleTask(), nullptr);
    EXPECT_EQ(DbHdr().sweep, 0);
    EXPECT_FALSE(RunOptionsQuiet());
    const auto& alerts = HeadlessMessages(kHeadlessAlert);
    ASSERT_FALSE(alerts.empty());
    EXPECT_EQ(alerts.back(), "All sweeps completed (or disabled)");
}

TEST_F(CheckSweepTest, AWindowWithoutAValidMapIsPassedOverAndCounted) {
    autoBoard();
    autoCheck(0, 1);
    ASSERT_EQ(g_checkSweep.pending, 1);
    ASSERT_TRUE(ObjTableValid());
    // The table loaded but the map not valid: a beep, no checks.
    g_windowLoaded = 0;
    const int32_t invalidates = HeadlessInvalidateCount();
    checkWindow();
    EXPECT_EQ(HeadlessBeepCount(), 1);
    EXPECT_EQ(g_checkSweep.skipped, 1);
    EXPECT_EQ(g_checkSweep.windows, 0);
    EXPECT_EQ(HeadlessInvalidateCount(), invalidates);
}

TEST_F(CheckSweepTest, BadDirectionsAreInternalErrors) {
    autoBoard();
    SetSweepNumber(1);
    SweepGet(&CurSweep());
    CurSweep().curPrimary = 3;
    EXPECT_FATAL(nextCheckWindow(), kErrCheckPrimaryDir);
    SweepGet(&CurSweep());
    // A primary walk that is done hands over to a bad secondary direction.
    CurSweep().curPrimary = CurSweep().primary = 8;
    CurSweep().curSecondary = 16;
    g_mzGrid.window = MzBox{-1000000, -1000000, 1000000, 1000000};
    EXPECT_FATAL(nextCheckWindow(), kErrCheckSecondaryDir);
}

TEST_F(CheckSweepTest, UnkeptMarkersAreDeletedFromTheTop) {
    for (int32_t keep : {0, 1, 0}) {
        const int32_t n = MarkerAdd();
        ErrorMarker m{};
        m.type = 2;
        m.layer = 1;
        m.x = n;
        m.value[kMarkerKeepWord] = keep;
        MarkerPut(n, &m);
    }
    markerClearUnkept();
    ASSERT_EQ(MarkerCount(), 1);
    ErrorMarker m;
    MarkerGet(1, &m);
    EXPECT_EQ(m.x, 2);
    markerListRefresh();
    EXPECT_EQ(MarkerCount(), 1);
    EXPECT_EQ(AltDepth(), 0);
    // With a level open only the broadcast goes out.
    const auto broadcasts = [] {
        const auto& calls = HeadlessShellCalls();
        return std::count(calls.begin(), calls.end(), "BroadcastCommand(30050)");
    };
    const auto before = broadcasts();
    AltPush();
    markerListRefresh();
    EXPECT_EQ(broadcasts(), before + 1);
    EXPECT_EQ(AltCount(), 0);
    EXPECT_EQ(AltDepth(), 1);
    AltPop(false);
}

TEST_F(CheckSweepTest, PaintCommandsPaintTheLoadedWindowsMaps) {
    EXPECT_EQ(urPaintCommand(30912), 0);
    EXPECT_EQ(urPaintCommand(kCmdPaintMap), 1);
    const auto& alerts = HeadlessMessages(kHeadlessAlert);
    ASSERT_FALSE(alerts.empty());
    EXPECT_EQ(alerts.back(), "Map not valid");
    autoBoard();
    autoCheck(0, 1);
    LoopSetQuiet(false);
    ASSERT_TRUE(g_windowLoaded);
    const auto& cells = HeadlessPaintedCells();
    const int32_t w = g_mzGrid.w, r = g_mzGrid.r;
    struct Case {
        int32_t command, layer;
        size_t count; // 0: refused with the text
        const char* text;
    };
    const size_t grid = size_t((w + 1) / 2) * size_t((r + 1) / 2);
    for (const Case& c :
         {Case{kCmdPaintUsedCells, 1, size_t(w - 1) * size_t(r - 1), ""},
          Case{kCmdPaintMap, 1, grid, ""}, Case{kCmdPaintNoViaCells, 1, grid, ""},
          Case{kCmdPaintUsedCells, 3, 0, "Can't paint layers that aren't enabled"},
          Case{kCmdPaintMap, 3, 0, "Can't paint layers that aren't enabled"},
          Case{kCmdPaintNoViaCells, 0, 0, "Can't paint via types that aren't defined"},
          Case{kCmdPaintNoViaCells, ViaMapTypes() + 1, 0,
               "Can't paint via types that aren't defined"}}) {
        SCOPED_TRACE(c.command * 100 + c.layer);
        HeadlessCheckShellReset();
        HeadlessSetActiveLayer(c.layer);
        paintMapLayer(c.command);
        EXPECT_EQ(cells.size(), c.count);
        if (!c.count) {
            EXPECT_EQ(HeadlessMessages(kHeadlessAlert).back(), c.text);
        }
        int32_t used = 0;
        for (const HeadlessPaintedCell& p : cells) {
            EXPECT_TRUE(p.code == kPaintEmpty || p.code == kPaintEdge || p.code == kPaintUsed);
            used += p.code == kPaintUsed;
        }
        // The parts' pads are on the map.
        if (c.command == kCmdPaintMap && c.count) {
            EXPECT_GT(used, 0);
        }
    }
    EXPECT_FATAL(paintMapLayer(30912), kErrPaintCommand);
}

// A start window in the middle of the board: its row is walked in the
// primary direction to the edge, then from the start to the other edge;
// the rows above the start come before those below it; every window once.
TEST_F(CheckSweepTest, AStartWindowMidBoardCoversBothSidesStartDirectionFirst) {
    DbHeader h;
    DbGetHeader(&h);
    h.centreX = 54000;
    h.centreY = 27000;
    DbPutHeader(&h);
    Trace(true);
    autoBoard();
    autoCheck(0, 1);
    HeadlessDriveRun(nullptr, nullptr);
    // Origins in user units (60 board units): the start is [900,450].
    std::vector<std::string> walk;
    for (int32_t y : {450, 900, 1350, 0})
        for (int32_t x : {900, 1350, 1800, 2250, 450, 0})
            walk.push_back("[" + std::to_string(x) + "," + std::to_string(y) + "]");
    EXPECT_EQ(Completed(), walk);
    EXPECT_EQ(DbHdr().centreX, 54000); // back at the start window
    EXPECT_EQ(DbHdr().centreY, 27000);
}

// Two parts of other nets whose pads overlap, wholly inside the last
// window of the walk: nothing is marked until that window is checked, and
// its check finds them.
TEST_F(CheckSweepTest, AViolationInTheLastWindowIsFound) {
    LoadBoard(std::string(kBoard) +
              "*COMP U3 [134000, 85000] Symbol=1\r\n*COMP U4 [136000, 85000] Symbol=1\r\n"
              "*Net  \"N2\" W:10 MIN:10 ZID:10 WT:50\r\n   U3.1 U1.1\r\n"
              "*Net  \"N3\" W:10 MIN:10 ZID:10 WT:50\r\n   U4.1 U2.2\r\n");
    WindowsOf30();
    Trace(true);
    autoBoard();
    autoCheck(0, 1);
    int32_t before = -1;
    while (IdleTaskProc task = HeadlessIdleTask()) {
        before = MarkerCount();
        task();
    }
    // The last idle call checked the last window and ended the sweep.
    EXPECT_EQ(before, 0);
    ASSERT_GT(MarkerCount(), 0);
    ASSERT_FALSE(Completed().empty());
    EXPECT_EQ(Completed().back(), "[2250,1350]");
    for (int32_t n = 1; n <= MarkerCount(); ++n) {
        ErrorMarker m;
        MarkerGet(n, &m);
        EXPECT_GE(m.x, 130500) << n; // beyond every other window's objects
    }
}

// The test-point run: its dialog sets the option word to 17, which selects
// none of the window checks and is neither saved nor restored; unkept
// markers go first and the full-check flag stays as the last sweep left
// it. A DRC run through the options dialog checks by the option word and
// leaves it as it was.
TEST_F(CheckSweepTest, TestPointAndOptionRunsKeepTheirOptionWord) {
    const int32_t n = MarkerAdd();
    ErrorMarker m{};
    m.type = 2;
    m.layer = 1;
    MarkerPut(n, &m);
    g_checkSweep.fullCheck = 1;
    autoBoard();
    autoCheckDFM(kCmdTestPtRun);
    ExpectStarted(&checkSweepStep, "Full Board Test Point Generation.");
    EXPECT_EQ(CheckOptions, kCheckOptionsTestPt);
    EXPECT_EQ(g_checkSweep.fullCheck, 1);
    EXPECT_EQ(g_checkSweep.dfm, 0);
    EXPECT_EQ(MarkerCount(), 0);
    ExpectRunOverEveryWindow();
    EXPECT_EQ(CheckOptions, kCheckOptionsTestPt);

    CheckOptions = kCheckPadExit;
    autoBoard();
    autoCheck(0, 0);
    ExpectStarted(&checkSweepStep, "Full Board DRC Check");
    EXPECT_EQ(g_checkSweep.fullCheck, 0);
    EXPECT_EQ(CheckOptions, kCheckPadExit);
    ExpectRunOverEveryWindow();
    EXPECT_EQ(CheckOptions, kCheckPadExit);
}

// The CDE run cleans its first window at once, then one window per idle
// call with its own step, each in a committed level.
TEST_F(CheckSweepTest, CdeRunCleansTheFirstWindowAtOnce) {
    autoBoard();
    autoCheck(1, 0);
    ExpectStarted(&cdeSweepStep, "Full Board CDE");
    EXPECT_EQ(g_checkSweep.windows, 1);
    EXPECT_EQ(g_checkSweep.pending, 0);
    EXPECT_EQ(AltDepth(), 0);
    ExpectRunOverEveryWindow();
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_FALSE(RunOptionsQuiet());
}

// Quiet, as in every Auto run, the DFM starter shows no alert; started
// outside quiet mode it says it is ready to install its step. A starter
// without a current sweep is an internal error.
TEST_F(CheckSweepTest, DfmAlertOutsideQuietModeAndNoCurrentSweep) {
    const char kReady[] = "DFMSweep: Ready to install DragProc";
    const auto alerted = [&] {
        const auto& alerts = HeadlessMessages(kHeadlessAlert);
        return std::find(alerts.begin(), alerts.end(), kReady) != alerts.end();
    };
    autoBoard();
    autoCheckDFM(kCmdDfmRun);
    ASSERT_EQ(HeadlessIdleTask(), &checkSweepStep);
    EXPECT_FALSE(alerted());
    checkChoice(kLetGo);
    SetSweepNumber(1);
    ASSERT_EQ(DFMSweep(), 0);
    EXPECT_TRUE(alerted());
    EXPECT_EQ(g_checkSweep.dfm, 1);
    EXPECT_EQ(HeadlessIdleTask(), &checkSweepStep);
    checkChoice(kLetGo);
    SetSweepNumber(0);
    EXPECT_FATAL(CheckSweep(0), kErrCheckNoSweep);
}

// A maze extent of 12 grid points or fewer still steps one grid, so the
// walk reaches the board's edge.
TEST_F(CheckSweepTest, ASmallExtentStillStepsOneGrid) {
    autoBoard();
    SetSweepNumber(1);
    SweepGet(&CurSweep());
    CurSweep().curPrimary = CurSweep().primary = 8;
    CurSweep().box[0] = CurSweep().box[1] = 10;
    g_mzGrid.window = MzBox{0, 0, 1000, 1000};
    const int32_t x = DbHdr().centreX;
    EXPECT_EQ(nextCheckWindow(), 1);
    EXPECT_EQ(g_router.header.centreX, x + DbHdr().routeGrid);
    SweepGet(&CurSweep());
}

} // namespace

