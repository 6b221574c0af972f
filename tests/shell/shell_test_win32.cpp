// The shell on real windows, event objects and the toolbox's loop under
// Wine: posting to the application and to windows, broadcasting, the
// menu-command route to the board window, and the program's bodies of the
// core's shell services.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "db/dbheader.h"
#include "db/lang.h"
#include "db/records.h"
#include "db/shellsvc.h"
#include "rules/checkshell.h"
#include "rules/routecopyshell.h"
#include "shell/dispatch.h"
#include "shell/edithandlers.h"
#include "shell/frametimer.h"
#include "shell/msgline.h"
#include "shell/postcmd.h"
#include "shell/shellids.h"
#include "shell/shellstate.h"
#include "shell/toolboxevents_win32.h"
#include "shell/toolboxhost_win32.h"
#include "shell/views.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/eventqueue.h"
#include "toolbox/core/native_fixture_win32.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/shellcommands.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowobject_win32.h"

namespace {

// Commands each test window received, by window id.
std::map<int32_t, std::vector<int32_t>>& Received() {
    static std::map<int32_t, std::vector<int32_t>> received;
    return received;
}
int32_t g_closeRequests = 0;

int32_t TestWindowEvent(WindowObject* window, WindowEvent* event) {
    if (event->type == kPostedEventKind) {
        PostedCommand record;
        std::memcpy(&record, event, sizeof record);
        Received()[window->sequence].push_back(record.command);
        return 1;
    }
    if (event->type == kWindowEventClose) ++g_closeRequests;
    return 0;
}

std::vector<int32_t> g_seen;
int32_t Recorder(int32_t command) {
    g_seen.push_back(command);
    return command == kCmdViewOpened ? 1 : 0;
}

HWND HandleOf(WindowObject* window) {
    auto* port = static_cast<PortRecord*>(window->port);
    return NativeWindowOf(static_cast<NativeWindowRecord*>(port->nativeWindow));
}

bool s_prepared = false;

class WineShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!s_prepared) {
            ASSERT_TRUE(PrepareNativeWindowTest());
            InstallEventLoopHandlers();
            InstallWindowObjectLayer();
            ASSERT_EQ(EventReceiverPushHandler(ApplicationEventReceiver(), &FrameAppEvent, 0,
                                               nullptr, nullptr, nullptr),
                      kEventResultOk);
            LangInit();
            // The frame is shown, as the program's is, so its windows count
            // as shown.
            ShowWindow(FrameWindowHandle(), SW_SHOW);
            s_prepared = true;
        }
        ToolboxShellHostInstall();
        SetCommandHook(&FrameCommandCallback);
        ShellStateReset();
        FrameTimerReset();
        g_editHandlers = EditHandlers{};
        ToolEventHook = nullptr;
        Received().clear();
        g_closeRequests = 0;
        g_seen.clear();
        DbHdr().valid = 0;
        DbHdr().modified = 0;
    }
    void TearDown() override {
        for (WindowObject* w : made)
            if (WindowObjectFromId(ids[w])) DisposeWindowObject(w);
        if (WindowObject* board = WindowObjectFromId(g_shell.boardWindow)) DisposeWindowObject(board);
        RunLoop();
        ShellStateReset();
        SetCommandHook(nullptr);
    }
    WindowObject* MakeWindow(int16_t offset) {
        Rect16 content{int16_t(40 + offset), int16_t(40 + offset), int16_t(200 + offset),
                       int16_t(300 + offset)};
        WindowObject* w = NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, 0, 0, 0,
                                            kBehindNone, &content, "Test", 0, nullptr,
                                            &TestWindowEvent);
        made.push_back(w);
        ids[w] = w->sequence;
        SelectWindowObject(w);
        return w;
    }
    // Serves everything queued, then returns.
    static void RunLoop() { EventLoopStep(0, EventWaitList, kEventWaitListCount); }

    std::vector<WindowObject*> made;
    std::map<WindowObject*, int32_t> ids;
};

TEST_F(WineShellTest, PostedRecordIsAnAppCEventOfThirtyTwoBytes) {
    PostedCommand record = MakeCommandEvent(30083, 0);
    ASSERT_EQ(PostCommandEvent(record), kEventResultOk);
    EventObject event = TakeQueuedEventObject(true);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ((*event)->eventClass, FourCC("AppC"));
    EXPECT_EQ((*event)->kind, 1u);
    EXPECT_EQ((*event)->priority, 0);
    uint32_t type = 0, size = 0;
    PostedCommand back{};
    EXPECT_EQ(EventParamGet(event, FourCC("EVNT"), FourCC("EVNT"), &type, sizeof back, &size, &back),
              kEventResultOk);
    EXPECT_EQ(type, FourCC("EVNT"));
    EXPECT_EQ(size, 32u);
    EXPECT_EQ(std::memcmp(&back, &record, sizeof record), 0);
    EventObjectRelease(event);
}

TEST_F(WineShellTest, PostFrameCommandReachesFrameCommandOnce) {
    MakeWindow(0);
    MakeWindow(20);
    MakeWindow(40);
    // "Close Window" sends one close request to the front window.
    ASSERT_NE(Host().FrontWindow(), 0);
    EXPECT_EQ(PostFrameCommand(kCmdCloseWindow), 0);
    RunLoop();
    EXPECT_EQ(g_closeRequests, 1);
    RunLoop();
    EXPECT_EQ(g_closeRequests, 1);
}

TEST_F(WineShellTest, PostedCommandsRunInOrderAndDropGoneWindows) {
    WindowObject* a = MakeWindow(0);
    WindowObject* b = MakeWindow(20);
    int32_t idA = a->sequence, idB = b->sequence;
    ShellHost& host = Host();
    host.Post(MakeCommandEvent(1, idA));
    host.Post(MakeCommandEvent(2, idB));
    host.Post(MakeCommandEvent(3, idA));
    DisposeWindowObject(b);
    RunLoop();
    EXPECT_EQ(Received()[idA], (std::vector<int32_t>{1, 3}));
    EXPECT_TRUE(Received()[idB].empty());
}

TEST_F(WineShellTest, BroadcastReachesTheShownWindowsAndSkipsTheCurrentView) {
    WindowObject* a = MakeWindow(0);
    WindowObject* b = MakeWindow(20);
    WindowObject* c = MakeWindow(40);
    ShowWindow(HandleOf(b), SW_MINIMIZE);
    BroadcastCommand(kCmdLetGo);
    EXPECT_EQ(Received()[a->sequence], (std::vector<int32_t>{kCmdLetGo}));
    EXPECT_TRUE(Received()[b->sequence].empty());
    EXPECT_EQ(Received()[c->sequence], (std::vector<int32_t>{kCmdLetGo}));
    // 30050: the design is marked modified first; the current view's window
    // is left out.
    AppView view{};
    AppWindow* cur = AppWindowNew();
    cur->view = &view;
    view.window = c->sequence;
    gCurWin = cur;
    BroadcastCommand(kCmdDataChanged);
    EXPECT_EQ(DbHdr().modified, 1);
    EXPECT_EQ(Received()[a->sequence].back(), kCmdDataChanged);
    EXPECT_EQ(Received()[c->sequence].size(), 1u);
    cur->view = nullptr;
}

TEST_F(WineShellTest, StartSweepReachesTheBoardWindowOnce) {
    g_editHandlers.artCommand = &Recorder;
    ASSERT_EQ(ViewInstall(kKindDesign), 1);
    ASSERT_NE(WindowObjectFromId(g_shell.boardWindow), nullptr);
    g_seen.clear();
    // From a table being served: re-addressed, then sent to the board.
    AppWindow* table = AppWindowNew();
    table->kind = kKindSweep;
    gCurWin = table;
    FrameCommandRoute(kCmdStartSweep, false);
    EXPECT_EQ(g_seen, (std::vector<int32_t>{kCmdStartSweep}));
    EXPECT_EQ(gCurWin, table);
    // A menu choice with the board window in front: the toolbox offers it
    // to the window, the hook does not send it again.
    g_seen.clear();
    SelectWindowObject(WindowObjectFromId(g_shell.boardWindow));
    SendCommand(WindowObjectFromId(g_shell.boardWindow), int16_t(kCmdStartSweep), 0, 0, 0, 0,
                false, false);
    EXPECT_EQ(g_seen, (std::vector<int32_t>{kCmdStartSweep}));
}

TEST_F(WineShellTest, ServiceBodiesForwardToTheShell) {
    IdleTaskProc task = [] {};
    SetIdleTask(task);
    EXPECT_EQ(g_shell.idleTask, task);
    SetIdleTask(nullptr);
    EXPECT_EQ(g_shell.idleTask, nullptr);
    EXPECT_EQ(SetCursorKind(3), 0);
    EXPECT_EQ(SetCursorKind(0), 3);
    EXPECT_STREQ(MsgResult("done"), "done");
    // The front window's record is the view being served.
    AppWindow* w = AppWindowNew();
    w->kind = kKindRoute;
    w->toolState = kToolShoveRoute;
    w->pickX1 = 1;
    w->pickY1 = 2;
    w->pickX2 = 3;
    w->pickY2 = 4;
    w->queryX = 50;
    w->queryY = 60;
    w->activeLayer = 2;
    gCurWin = w;
    EXPECT_EQ(FrontAppWindow(), w);
    PickRect r = FrontPickedRect();
    EXPECT_EQ(r.x1 + r.y1 * 10 + r.x2 * 100 + r.y2 * 1000, 4321);
    int32_t x = 0, y = 0;
    FrontQueryPoint(&x, &y);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 60);
    EXPECT_EQ(FrontActiveLayer(), 2);
    // With no view served, a zero record stands in.
    gCurWin = nullptr;
    EXPECT_NE(FrontAppWindow(), nullptr);
    EXPECT_EQ(FrontAppWindow()->kind, 0);
    EXPECT_EQ(DesignFileSpec(), nullptr);
}

} // namespace
