// The command dispatch on the recording host: the application level, the
// board window's level and the tool level.
#include "db/dbheader.h"
#include "db/lang.h"
#include "shell/shellids.h"
#include "shell/recordinghost.h"

namespace {

std::vector<int32_t> g_seen;
int32_t Taker(int32_t command) {
    g_seen.push_back(command);
    return 1;
}
int32_t Decliner(int32_t command) {
    g_seen.push_back(command);
    return command == 30032 ? 1 : 0;
}
int32_t g_hookAnswer = 0;
int32_t Hook(int32_t command) {
    g_seen.push_back(-command);
    return g_hookAnswer;
}
int32_t g_taskCalls = 0;
void Task() {
    ++g_taskCalls;
}

class DispatchTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        g_seen.clear();
        g_hookAnswer = 0;
        g_taskCalls = 0;
    }
};

TEST_F(DispatchTest, StartSweepFromATableReachesTheBoardWindow) {
    ValidDesign();
    OpenBoard();
    g_editHandlers.artCommand = &Decliner;
    // A table view is being served: the application level re-addresses the
    // command, the callback sends it on to the board window.
    AppWindow* table = AppWindowNew();
    table->kind = 30866;
    gCurWin = table;
    EXPECT_EQ(FrameCommandRoute(30278, false), 0); // nobody took it, but it went
    EXPECT_EQ(g_seen, (std::vector<int32_t>{30278}));
    EXPECT_EQ(gCurWin, table); // the table is served again afterwards
    // The board window in front was offered it already: not sent twice.
    g_seen.clear();
    FrameCommandRoute(30278, true);
    EXPECT_TRUE(g_seen.empty());
}

TEST_F(DispatchTest, BoardRunWithoutABoardWindowReinstallsOrRefuses) {
    // A board view with no board window: installed again, the command posted.
    g_editHandlers.artCommand = &Decliner;
    AppWindow* lost = AppWindowNew();
    lost->kind = 30834;
    gCurWin = lost;
    EXPECT_EQ(FrameCommand(30278), 1);
    EXPECT_NE(g_shell.boardWindow, 0);
    EXPECT_TRUE(host.Has("Post 30278 " + std::to_string(g_shell.boardWindow)));
    // No board view at all: the note, nothing else.
    ShellStateReset();
    host.lines.clear();
    EXPECT_EQ(FrameCommand(30278), 1);
    EXPECT_EQ(host.lines, (std::vector<std::string>{"Note Only available from Design Window"}));
}

TEST_F(DispatchTest, IdleStepCallsTheTaskOrIsAnInternalError) {
    OpenBoard();
    ShellSetIdleTask(&Task);
    EXPECT_EQ(BoardCommand(30052), 1);
    EXPECT_EQ(g_taskCalls, 1);
    ShellSetIdleTask(nullptr);
    EXPECT_FATAL_DETAIL(BoardCommand(30052), 34235, "1365");
    char text[200];
    ErrFormatText(34235, "1365", text, sizeof text);
    EXPECT_STREQ(text, "Error code 0034.235 (1365)");
}

TEST_F(DispatchTest, ResetRouteTimeAsksFirst) {
    ValidDesign();
    OpenBoard();
    DbHdr().timeUsed = 500;
    host.confirms = {false, true};
    BoardCommand(30932);
    EXPECT_EQ(DbHdr().timeUsed, 500);
    BoardCommand(30932);
    EXPECT_EQ(DbHdr().timeUsed, 0);
    EXPECT_EQ(host.Count("Confirm Reset Route Time?"), 2);
}

TEST_F(DispatchTest, GridScaleOutsideTheBoardViewsIsANote) {
    AppWindow* table = AppWindowNew();
    table->kind = 30866;
    gCurWin = table;
    EXPECT_EQ(BoardCommand(30320), 1);
    EXPECT_TRUE(host.Has("Note Not available in this environment"));
    EXPECT_FALSE(host.Has("ZoomCommand 30320"));
}

TEST_F(DispatchTest, LayerDisplayCommandsUpToTheLayerCount) {
    ValidDesign();
    OpenBoard();
    DbHdr().layerCount = 2;
    g_editHandlers.artCommand = nullptr;
    EXPECT_EQ(BoardCommand(30642), 1);
    EXPECT_TRUE(host.Has("DisplayCommand 30642"));
    EXPECT_TRUE(host.Has("StatusLineParts 1"));
    EXPECT_EQ(BoardCommand(30643), 0);
    EXPECT_FALSE(host.Has("DisplayCommand 30643"));
}

TEST_F(DispatchTest, DesignCommandOffersTheHookFirst) {
    OpenBoard();
    g_editHandlers.artCommand = &Taker;
    ToolEventHook = &Hook;
    g_hookAnswer = 1;
    EXPECT_EQ(designCommand(30016), 1);
    EXPECT_EQ(g_seen, (std::vector<int32_t>{-30016}));
    g_hookAnswer = 0;
    g_seen.clear();
    EXPECT_EQ(designCommand(30016), 1);
    EXPECT_EQ(g_seen, (std::vector<int32_t>{-30016, 30016}));
    // Let go always counts as handled.
    g_editHandlers.artCommand = nullptr;
    EXPECT_EQ(designCommand(30026), 1);
}

TEST_F(DispatchTest, DataChangedNeedsATaker) {
    OpenBoard();
    g_editHandlers.artCommand = nullptr;
    EXPECT_FATAL_DETAIL(designCommand(30050), 56019, "1654");
    g_editHandlers.artCommand = &Taker;
    EXPECT_EQ(designCommand(30050), 1);
}

TEST_F(DispatchTest, PickedSizeAndQueryGridReset) {
    ValidDesign();
    OpenBoard();
    AppWindow* w = gCurWin;
    w->pickX1 = 0;
    w->pickX2 = 2000;
    w->pickY1 = 100;
    w->pickY2 = 600;
    EXPECT_EQ(designCommand(30018), 0); // the size is formatted, the view declines
    DbHdr().grid2X = 25;
    DbHdr().grid2Y = 50;
    w->gridStepX = 7;
    g_editHandlers.artCommand = nullptr;
    EXPECT_EQ(designCommand(30046), 1);
    EXPECT_EQ(w->gridStepX, 25);
    EXPECT_EQ(w->gridStepY, 50);
}

TEST_F(DispatchTest, AlternateToolTable) {
    struct Case {
        std::vector<int32_t> from;
        int32_t to;
    } cases[] = {
        {{0, 30416, 30424, 30426, 30428}, 30422},
        {{30422, 30430, 30432}, 30424},
        {{30404, 30406}, 30408},
        {{30408, 30414}, 30404},
        {{30410}, 30412},
        {{30218, 30236, 30248, 30412}, 30410},
        {{30420}, 0},
    };
    for (const Case& c : cases)
        for (int32_t from : c.from)
            EXPECT_EQ(AlternateTool(from), c.to) << from;
    // 30420 has none: handled, the tool stays.
    OpenBoard();
    gCurWin->toolState = 30420;
    EXPECT_EQ(designCommand(30028), 1);
    EXPECT_EQ(gCurWin->toolState, 30420);
}

TEST_F(DispatchTest, RouteToolToRouteToolKeepsTheRunningTask) {
    ValidDesign();
    OpenBoard();
    AppWindow* w = gCurWin;
    w->kind = 30832;
    w->toolState = 30422;
    g_editHandlers.urCommand = &Taker;
    g_editHandlers.urWindowProc = &Decliner;
    ShellSetIdleTask(&Task);
    ToolEventHook = &Hook;
    EXPECT_EQ(designCommand(30430), 1);
    EXPECT_EQ(w->toolState, 30430);
    EXPECT_EQ(g_shell.idleTask, &Task); // no CancelTracking
    EXPECT_EQ(ToolEventHook, nullptr);
    // The hook saw the selection first, then: end (30035), finish (30044)
    // and the new tool's start (30036).
    EXPECT_EQ(g_seen, (std::vector<int32_t>{-30430, 30035, 30044, 30036}));
    // Any other change cancels whatever runs.
    ToolEventHook = &Hook;
    g_seen.clear();
    EXPECT_EQ(designCommand(0), 1);
    EXPECT_EQ(w->toolState, 0);
    EXPECT_EQ(g_shell.idleTask, nullptr);
    EXPECT_EQ(ToolEventHook, nullptr);
}

TEST_F(DispatchTest, RouteToolInTheDesignViewSwitchesToRoute) {
    ValidDesign();
    OpenBoard();
    g_editHandlers.urWindowProc = &Decliner;
    AppWindow* w = gCurWin;
    EXPECT_EQ(designCommand(30424), 1);
    EXPECT_EQ(w->toolState, 30424);
    EXPECT_EQ(w->kind, 30832);
    EXPECT_EQ(w->routeView, 1);
    // 30446 again goes back to Design.
    EXPECT_EQ(designCommand(30446), 1);
    EXPECT_EQ(w->kind, 30834);
    // In the Place view the Place switch runs with the route-view flag set.
    w->kind = 30838;
    w->routeView = 0;
    w->toolState = 0;
    EXPECT_EQ(designCommand(30422), 1);
    EXPECT_EQ(w->kind, 30838);
    EXPECT_EQ(w->routeView, 1);
}

TEST_F(DispatchTest, NoToolAndUnknownTool) {
    OpenBoard();
    AppWindow* w = gCurWin;
    w->kind = 30838; // the Place view goes straight to the tool
    EXPECT_EQ(toolCommand(30016), 1);
    for (int32_t c : {30020, 30022, 30024, 30038}) {
        host.lines.clear();
        EXPECT_EQ(toolCommand(c), 0);
        EXPECT_EQ(host.lines, (std::vector<std::string>{"Note No tool selected"}));
    }
    w->toolState = 12345;
    EXPECT_FATAL_DETAIL(toolCommand(30016), 56026, "12345");
}

TEST_F(DispatchTest, ContextHelpSwallowsTheNextCommand) {
    OpenBoard();
    g_editHandlers.artCommand = &Taker;
    EXPECT_EQ(FrameCommandRoute(30812, false), 1);
    EXPECT_EQ(FrameCommandRoute(30302, false), 0);
    EXPECT_TRUE(g_seen.empty());
    EXPECT_FALSE(host.Has("ZoomCommand 30302"));
    FrameCommandRoute(30302, false);
    EXPECT_TRUE(host.Has("ZoomCommand 30302"));
}

TEST_F(DispatchTest, ExitLetsGoThenAsks) {
    OpenBoard();
    ToolEventHook = &Hook;
    ValidDesign();
    DbHdr().modified = 1;
    host.placeholderAnswer = 0; // the save question is cancelled
    EXPECT_EQ(FrameCommand(30114), 1);
    EXPECT_EQ(g_seen.front(), -30026);
    EXPECT_FALSE(host.Has("EndLoop"));
    DbHdr().modified = 0;
    EXPECT_EQ(FrameCommand(208), 1);
    EXPECT_TRUE(host.Has("EndLoop"));
}

} // namespace
