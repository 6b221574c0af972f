// The frame timer on a fake clock: posting once, route time, the automatic
// backup counting only modified time, modal deferral, suspension.
#include "db/dbheader.h"
#include "shell/shellids.h"
#include "shell/recordinghost.h"

namespace {

class TimerTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        ValidDesign();
        DbHdr().backupMinutes = 10;
        host.seconds = 100000;
        host.ticksPerCall = 1;
        TimeStampReset();
        FrameTimerSetInstalled(true);
    }
    // The clock moves on; the timer's accounting runs.
    void After(int64_t seconds) {
        host.seconds += seconds;
        FrameTimer(kFrameTimerAccount);
    }
    int32_t Backups() const { return host.Count("FileMenuCommand 30102"); }
};

TEST_F(TimerTest, PostsItsCommandOnceUntilItRan) {
    FrameTimer(kFrameTimerCall);
    FrameTimer(kFrameTimerCall);
    EXPECT_EQ(host.posted.size(), 1u);
    EXPECT_EQ(host.RunPosted(), 1); // 30083 reaches FrameCommand, which accounts
    FrameTimer(kFrameTimerCall);
    EXPECT_EQ(host.posted.size(), 1u);
}

TEST_F(TimerTest, BackupCountsOnlyModifiedTime) {
    DbHdr().modified = 1;
    for (int i = 0; i < 9; ++i)
        After(60);
    DbHdr().modified = 0; // saved
    for (int i = 0; i < 5; ++i)
        After(60);
    DbHdr().modified = 1;
    After(59);
    EXPECT_EQ(Backups(), 0);
    After(1); // exactly the interval: not yet
    EXPECT_EQ(Backups(), 0);
    After(1);
    EXPECT_EQ(Backups(), 1);
    EXPECT_EQ(FrameTimerBackupSeconds(), 0);
    // The message was up for at least 30 ticks, then closed.
    auto shown = std::find(host.lines.begin(), host.lines.end(),
                           "ProgressMessage Performing Automatic Backup...");
    ASSERT_NE(shown, host.lines.end());
    EXPECT_EQ(host.lines.back(), "ProgressMessage (closed)");
    EXPECT_GE(host.ticks, 30u);
}

TEST_F(TimerTest, IntervalZeroNeverBacksUpRouteTimeStillGrows) {
    DbHdr().backupMinutes = 0;
    DbHdr().modified = 1;
    DbHdr().timeUsed = 10;
    After(3600); // an hour without routing: the counter keeps its value
    EXPECT_EQ(DbHdr().timeUsed, 10);
    FrameTimerRouteStep();
    After(40);
    EXPECT_EQ(DbHdr().timeUsed, 50);
    EXPECT_TRUE(host.Has("StatusLineParts 4"));
    After(40); // no routing step since
    EXPECT_EQ(DbHdr().timeUsed, 50);
    EXPECT_EQ(Backups(), 0);
}

TEST_F(TimerTest, ModalDialogDefersTheTimeIntoOnePiece) {
    DbHdr().modified = 1;
    FrameTimerRouteStep();
    host.modal = true;
    After(30);
    After(30);
    FrameTimer(kFrameTimerCall);
    EXPECT_TRUE(host.posted.empty());
    EXPECT_EQ(DbHdr().timeUsed, 0);
    host.modal = false;
    After(0);
    EXPECT_EQ(DbHdr().timeUsed, 60);
    EXPECT_EQ(FrameTimerBackupSeconds(), 60);
}

TEST_F(TimerTest, NegativeIntervalIsAnInternalError) {
    DbHdr().backupMinutes = -1;
    host.seconds += 5;
    EXPECT_FATAL_DETAIL(FrameTimer(kFrameTimerAccount), 34191, "260");
}

TEST_F(TimerTest, DeactivationAccountsTheTimeUpToIt) {
    FrameTimerRouteStep();
    host.seconds += 25;
    EXPECT_EQ(FrameTimerSuspend(0), 1);
    EXPECT_EQ(DbHdr().timeUsed, 25);
    EXPECT_EQ(host.frameTimerMs, -1);
    host.seconds += 100; // inactive: nothing runs
    FrameTimer(kFrameTimerCall);
    EXPECT_TRUE(host.posted.empty());
    EXPECT_EQ(FrameTimerSuspend(1), 0);
    EXPECT_EQ(host.frameTimerMs, 3333);
    // Twice in a row: running once, each deactivation accounted.
    FrameTimerRouteStep();
    host.seconds += 5;
    FrameTimerSuspend(0);
    FrameTimerSuspend(1);
    FrameTimerRouteStep();
    host.seconds += 7;
    FrameTimerSuspend(0);
    EXPECT_EQ(FrameTimerSuspend(1), 0);
    // A run goes on behind other programs: its inactive time is route time.
    EXPECT_EQ(DbHdr().timeUsed, 25 + 100 + 5 + 7);
    EXPECT_EQ(host.Count("SetFrameTimerInterval 3333"), 3);
}

} // namespace
