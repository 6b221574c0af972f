#include "toolbox/core/windowidle.h"

#include <gtest/gtest.h>

#include "fake_clock.h"
#include "toolbox/core/looptimer.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/systemtimes.h"
#include "toolbox/core/timertask.h"

namespace {

int g_nullRecords = 0;
int32_t CountNull(PortRecord*, OsEventRecord* record) {
    if (record->what == 0) ++g_nullRecords;
    return 0;
}

class WindowIdle : public FakeClockTest {
  protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        MainLoopTimerList()->lastRun = FakeClock().ms;
        port_.eventProc = &CountNull;
        port_.idleInterval = kIdleNone;
        g_nullRecords = 0;
    }
    void TearDown() override {
        WindowIdleActivate(&port_, false);
        WindowSetIdleInterval(nullptr, kIdleNone);
        FakeClockTest::TearDown();
    }
    void Run(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += 5) {
            Advance(5);
            RunDueLoopTimers(MainLoopTimerList());
        }
    }
    PortRecord port_{};
};

TEST_F(WindowIdle, IntervalsInMilliseconds) {
    EXPECT_EQ(IdleIntervalMs(0), 1);
    EXPECT_EQ(IdleIntervalMs(1), 16);
    EXPECT_EQ(IdleIntervalMs(8), 135);
    WindowSetIdleInterval(&port_, -7);
    EXPECT_EQ(port_.idleInterval, kIdleNone);
    EXPECT_EQ(WindowIdleInterval(&port_), kIdleNever);
    WindowSetIdleInterval(&port_, kIdleCaretBlink);
    EXPECT_EQ(WindowIdleInterval(&port_), CaretBlinkTicks());
    WindowSetIdleInterval(nullptr, 8);
    EXPECT_EQ(WindowIdleInterval(nullptr), 8);
}

TEST_F(WindowIdle, TimerOnlyWhileActive) {
    WindowSetIdleInterval(&port_, 8);
    EXPECT_EQ(port_.idleTask, nullptr); // not active yet
    WindowIdleActivate(&port_, true);
    ASSERT_NE(port_.idleTask, nullptr);
    EXPECT_EQ(port_.idleTask->timer->intervalMs, 135u);
    Run(2000);
    EXPECT_GE(g_nullRecords, 13);
    EXPECT_LE(g_nullRecords, 15);
    WindowIdleActivate(&port_, false);
    EXPECT_EQ(port_.idleTask, nullptr);
    int before = g_nullRecords;
    Run(1000);
    EXPECT_EQ(g_nullRecords, before);
    // A change while active re-installs; -1 removes.
    WindowIdleActivate(&port_, true);
    WindowSetIdleInterval(&port_, 0);
    ASSERT_NE(port_.idleTask, nullptr);
    EXPECT_EQ(port_.idleTask->timer->intervalMs, 1u);
    WindowSetIdleInterval(&port_, -1);
    EXPECT_EQ(port_.idleTask, nullptr);
}

} // namespace
