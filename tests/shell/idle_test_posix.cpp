// The board window's idle handling on fake ticks: the task's bursts, the
// idle intervals, the route-time flag and the cursor without a task.
#include "router/urstate.h"
#include "shell/shellids.h"
#include "shell/recordinghost.h"

namespace {

int32_t g_calls = 0;
int32_t g_removeAfter = -1;
void Task() {
    if (++g_calls == g_removeAfter) ShellSetIdleTask(nullptr);
}
int32_t g_cursorAnswer = 0;
int32_t CursorHook(int32_t command) {
    return command == 30081 ? g_cursorAnswer : 0;
}

class IdleTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        g_calls = 0;
        g_removeAfter = -1;
        ValidDesign();
        OpenBoard();
        window = g_shell.boardWindow;
        host.ticksPerCall = 1; // every look at the clock takes a tick
    }
    void TearDown() override {
        RouterTestReset();
        ShellTest::TearDown();
    }
    int32_t Idle() {
        WindowEvent e{};
        e.type = kWindowEventIdle;
        return BoardWindowEventOf(window, g_shell.boardView, &e);
    }
    std::string Interval(int32_t ticks) const {
        return "SetIdleInterval " + std::to_string(window) + " " + std::to_string(ticks);
    }
    int32_t window = 0;
};

TEST_F(IdleTest, QueuedInputDefersTheTask) {
    ShellSetIdleTask(&Task);
    host.inputQueued = true;
    Idle();
    EXPECT_EQ(g_calls, 0);
    EXPECT_TRUE(host.Has(Interval(1)));
    host.inFront = false;
    Idle();
    EXPECT_TRUE(host.Has(Interval(2)));
}

TEST_F(IdleTest, TaskRunsInBurstsOfUnderEightTicks) {
    ShellSetIdleTask(&Task);
    Idle();
    EXPECT_TRUE(host.Has(Interval(0)));
    EXPECT_EQ(g_calls, 8); // ticks 0..7 since the first call
    // Input arriving ends the burst.
    g_calls = 0;
    host.ticks = 0;
    host.inputAfterTicks = 3; // seen after the second call
    Idle();
    EXPECT_EQ(g_calls, 2);
    host.inputAfterTicks = -1;
    // A task that removes itself is not called again; in the background
    // one call per event.
    g_calls = 0;
    g_removeAfter = 2;
    Idle();
    EXPECT_EQ(g_calls, 2);
    ShellSetIdleTask(&Task);
    g_calls = 0;
    g_removeAfter = -1;
    host.inFront = false;
    Idle();
    EXPECT_EQ(g_calls, 1);
    EXPECT_TRUE(host.Has(Interval(1)));
}

TEST_F(IdleTest, RouteTimeFlagWhileAPassRuns) {
    ShellSetIdleTask(&Task);
    UrAllocRecords();
    host.seconds = 500;
    TimeStampReset();
    for (int16_t pass : {0, 1, 4, 5}) {
        Goal()->pass = pass;
        Idle();
        host.seconds += 10;
        DbHdr().timeUsed = 0;
        FrameTimer(kFrameTimerAccount);
        EXPECT_EQ(DbHdr().timeUsed, pass >= 1 && pass <= 4 ? 10 : 0) << pass;
    }
}

TEST_F(IdleTest, CursorWithoutATask) {
    struct Case {
        int16_t mode;
        bool hook;
        int32_t answer;
        bool control;
        std::string line;
    } cases[] = {
        {1, true, 300, false, "SetCursor W 300"},
        {1, true, 9, false, "SetCursor W 2"},
        {1, false, 0, false, "SetCursor W 0"},
        {2, false, 0, true, "SetCursor W 262"},
        {2, false, 0, false, "SetCursor W 261"},
        {3, false, 0, false, "SetCursor W 263"},
        {4, false, 0, false, "SetCursor 0 0"},
    };
    for (const Case& c : cases) {
        g_shell.display->pointerMode = c.mode;
        ToolEventHook = c.hook ? &CursorHook : nullptr;
        g_cursorAnswer = c.answer;
        host.control = c.control;
        host.lines.clear();
        Idle();
        std::string want = c.line;
        if (want.find(" W ") != std::string::npos)
            want.replace(want.find(" W "), 3, " " + std::to_string(window) + " ");
        EXPECT_TRUE(host.Has(want)) << c.mode << " " << c.answer;
        EXPECT_TRUE(host.Has(Interval(8)));
        EXPECT_EQ(host.Has("RoutingBoxStep 1"), !c.hook);
    }
    // No design: nothing at all.
    DbHdr().valid = 0;
    host.lines.clear();
    Idle();
    EXPECT_TRUE(host.lines.empty());
}

} // namespace
