// Views and the board window's records: installing, failing, re-attaching
// the Design view, disposing, and serving gCurWin around events.
#include "router/urstate.h"
#include "shell/shellids.h"
#include "shell/recordinghost.h"

namespace {

int32_t g_opens = 0;
int32_t FailOpen(int32_t command) {
    if (command == 30032) {
        ++g_opens;
        return 0;
    }
    return 0;
}
int32_t StorePendingAndFail(int32_t command) {
    if (command != 30032) return 0;
    gCurWin->pendingMessage = 53208;
    return 0;
}

class ViewsTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        g_opens = 0;
    }
};

TEST_F(ViewsTest, RouteAndPlaceInstallAsDesignAndOnlyBringItForward) {
    ValidDesign();
    OpenBoard();
    int32_t board = g_shell.boardWindow;
    AppWindow* w = BoardWindowAppWindow();
    EXPECT_EQ(w->kind, 30834);
    EXPECT_EQ(w->live, 1);
    EXPECT_EQ(w->rememberedKind, 30832);
    EXPECT_EQ(w->viewSwitch, 2);
    EXPECT_STREQ(g_shell.boardView->title, "Design");
    EXPECT_EQ(g_shell.display->installed, 1);
    w->kind = 30832; // the window shows Route
    EXPECT_EQ(ViewInstall(30834), 1);
    EXPECT_EQ(ViewInstall(30838), 1);
    EXPECT_EQ(w->kind, 30832);
    EXPECT_EQ(g_shell.boardWindow, board);
    EXPECT_EQ(host.Count("SelectWindow " + std::to_string(board)), 2);
    EXPECT_FALSE(host.Has("BoardWindowNew"));
}

TEST_F(ViewsTest, CreationFailureAlertsWithTheTitle) {
    host.placeholderAnswer = 0; // the table cannot open
    EXPECT_EQ(ViewInstall(30866), 0);
    EXPECT_TRUE(host.Has("TableWindowOpen 30748"));
    EXPECT_TRUE(host.Has("Alert Unable to install Route Sweep view"));
}

TEST_F(ViewsTest, BoardWindowCreateFailures) {
    AppWindow* w = AppWindowNew();
    w->kind = 30866;
    gCurWin = w;
    AppView view{};
    EXPECT_FATAL_DETAIL(BoardWindowCreate(&view), 34292, "30866");
    w->kind = 30834;
    host.failBoardWindow = true;
    EXPECT_FATAL_DETAIL(BoardWindowCreate(&view), 34242, "1952");
    std::free(view.display);
    g_shell.display = nullptr;
}

TEST_F(ViewsTest, FailedViewShowsItsMessageOrTheDefaultThenTheSweepView) {
    ValidDesign();
    g_editHandlers.artCommand = &StorePendingAndFail;
    ViewInstall(30834);
    EXPECT_TRUE(host.Has("Alert Routing area too large for available RAM"));
    EXPECT_TRUE(host.Has("TableWindowOpen 30748")); // the Sweep view instead
    EXPECT_EQ(BoardWindowAppWindow()->pendingMessage, 0);
    // Without a message id: the default text.
    ShellStateReset();
    host.lines.clear();
    g_editHandlers.artCommand = &FailOpen;
    ViewInstall(30834);
    EXPECT_TRUE(host.Has("Alert Can't initialize Design window"));
}

TEST_F(ViewsTest, DisposeForgetsTheDesignRecord) {
    ValidDesign();
    OpenBoard();
    int32_t board = g_shell.boardWindow;
    ASSERT_NE(g_shell.designView, nullptr);
    WindowEvent closed{};
    closed.type = kWindowEventDispose;
    BoardWindowEventOf(board, g_shell.boardView, &closed);
    host.CloseWindow(board);
    EXPECT_EQ(g_shell.boardWindow, 0);
    EXPECT_EQ(g_shell.designView, nullptr);
    EXPECT_EQ(gCurWin, nullptr);
    // View > Design makes a new window with fresh records (ASan sees any
    // use of the freed ones).
    host.lines.clear();
    EXPECT_EQ(ViewInstall(30834), 1);
    EXPECT_TRUE(host.Has("BoardWindowNew"));
    EXPECT_NE(g_shell.boardWindow, board);
}

TEST_F(ViewsTest, RestoringTheServedViewTakesOnlyALiveRecord) {
    ValidDesign();
    OpenBoard();
    AppWindow* board = BoardWindowAppWindow();
    AppWindow* table = AppWindowNew();
    table->kind = 30866;
    gCurWin = table;
    // The table's record goes while a board event runs (a view change).
    static AppWindow* s_table;
    s_table = table;
    g_editHandlers.artCommand = [](int32_t command) -> int32_t {
        if (command == 30999) AppWindowFree(s_table);
        return 0;
    };
    SendWindowCommand(30999);
    EXPECT_EQ(gCurWin, board);
    RestoreCurWin(s_table); // a stale pointer is never put back
    EXPECT_EQ(gCurWin, board);
}

TEST_F(ViewsTest, ReinstallAndFindTheBoardWindow) {
    ValidDesign();
    OpenBoard();
    gCurWin = nullptr;
    EXPECT_EQ(FindBoardWindow(true), 1);
    EXPECT_EQ(gCurWin, BoardWindowAppWindow());
    AppWindow* out = nullptr;
    EXPECT_EQ(FrontBoardWindow(&out), 1);
    EXPECT_EQ(out, gCurWin);
    host.lines.clear();
    ViewRefresh(true);
    EXPECT_TRUE(host.Has("EraseWindow " + std::to_string(g_shell.boardWindow)));
    EXPECT_EQ(g_shell.display->installed, 1); // closed and opened again
}

TEST_F(ViewsTest, ViewChangeDuringARunStopsTheRunFirst) {
    ValidDesign();
    OpenBoard();
    static bool s_stopped;
    s_stopped = false;
    ToolEventHook = [](int32_t command) -> int32_t {
        if (command != 30026) return 0;
        s_stopped = true;
        ToolEventHook = nullptr;
        return 1;
    };
    ShellSetIdleTask([] {});
    ViewInstall(30866);
    EXPECT_TRUE(s_stopped);
    EXPECT_EQ(g_shell.idleTask, nullptr);
}

} // namespace

namespace {

class BoardEventsTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        ValidDesign();
        OpenBoard();
        g_editHandlers.artCommand = &Record;
        seen().clear();
    }
    static std::vector<int32_t>& seen() {
        static std::vector<int32_t> s;
        return s;
    }
    static int32_t Record(int32_t command) {
        seen().push_back(command);
        return 0;
    }
    int32_t Send(WindowEvent e) { return BoardWindowEventOf(g_shell.boardWindow, g_shell.boardView, &e); }
};

TEST_F(BoardEventsTest, MouseAndKeys) {
    WindowEvent e{};
    e.type = kWindowEventDoubleClick; // button 0 in pointer mode 1: nothing
    Send(e);
    EXPECT_TRUE(seen().empty());
    e.type = kWindowEventMouseDown;
    Send(e);
    e.mouse.shift = 1;
    Send(e);
    e.mouse.shift = 0;
    e.mouse.control = 1;
    Send(e);
    e.mouse.button = 1; // the secondary button lets go
    Send(e);
    WindowEvent k{};
    k.type = kWindowEventKey;
    k.key.character = 27;
    Send(k);
    k.key.character = '.';
    k.key.modifiers = 0x20;
    Send(k);
    k.key.character = ' ';
    k.key.modifiers = 0;
    Send(k);
    EXPECT_EQ(seen(), (std::vector<int32_t>{30022, 30024, 30038, 30026, 30026, 30026, 30022}));
    EXPECT_EQ(g_shell.lastMouseDown.mouse.button, 1);
}

TEST_F(BoardEventsTest, CloseRequestAsksAndResizeRejectsOpenLevels) {
    DbHdr().modified = 1;
    host.placeholderAnswer = 0; // the save question is cancelled: the window stays
    WindowEvent close{};
    close.type = kWindowEventClose;
    EXPECT_EQ(Send(close), 1);
    EXPECT_TRUE(DbIsValid());
    AltPush();
    AltPush();
    WindowEvent resize{};
    resize.type = kWindowEventResize;
    Send(resize);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(seen(), (std::vector<int32_t>{30026, 30044, 30036}));
    host.placeholderAnswer = 1;
    EXPECT_EQ(Send(close), 0); // the window closes, the design is emptied
}

} // namespace
