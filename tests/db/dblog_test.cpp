#include "db/dblog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "db/runopt.h"
#include "testutil.h"
#include "toolbox/core/clock.h"
#include "toolbox/core/timetext.h"

namespace {

// Seconds since 2001-01-01 of the clock the tests set, in UTC with no zone.
int64_t s_now = 0;
uint64_t FixedFileTime() {
    return uint64_t(s_now + kSecondsTo2001) * 10000000ull;
}
bool NoBias(int32_t* minutes) {
    *minutes = 0;
    return true;
}

class LogTest : public CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        folder_ = std::make_unique<TempAppFolder>();
        ClockSource c{};
        c.systemFileTime = &FixedFileTime;
        c.timeZoneBias = &NoBias;
        SetClockSource(&c);
        s_now = 787017909; // Wed, Dec 10, 2025 00:05:09
    }
    void TearDown() override {
        SetClockSource(nullptr);
        folder_.reset();
        CoreTest::TearDown();
    }
    std::unique_ptr<TempAppFolder> folder_;
};

TEST_F(LogTest, LineLayout) {
    LogAppend("Loaded ", "board.ZID");
    s_now = 787064400; // 13:00:00 the same day
    LogWrite("Saved");
    EXPECT_EQ(folder_->ReadFile("Pelvane.Log"),
              "Wed, Dec 10, 2025  12:05:09 AM  Loaded board.ZID\r\n"
              "Wed, Dec 10, 2025  1:00:00 PM  Saved\r\n");
}

TEST_F(LogTest, UnwritableLogIsSkipped) {
    HeadlessSetApplicationFolder((folder_->path() / "no such folder").string().c_str());
    LogWrite("lost");
    EXPECT_FALSE(std::filesystem::exists(folder_->path() / "no such folder"));
}

TEST_F(LogTest, EraseAsksThenTruncates) {
    LogWrite("one");
    LogWrite("two");
    HeadlessSetConfirmAnswer(false);
    LogErase();
    EXPECT_EQ(folder_->ReadFile("Pelvane.Log").size(),
              2 * std::string("Wed, Dec 10, 2025  12:05:09 AM  one\r\n").size());
    ASSERT_EQ(HeadlessMessages(kHeadlessConfirm).size(), 1u);
    EXPECT_EQ(HeadlessMessages(kHeadlessConfirm)[0],
              "Are you sure you want to erase the contents of the activity log?");

    HeadlessSetConfirmAnswer(true);
    LogErase();
    EXPECT_EQ(folder_->ReadFile("Pelvane.Log"), "");
    LogWrite("three");
    EXPECT_EQ(folder_->ReadFile("Pelvane.Log"), "Wed, Dec 10, 2025  12:05:09 AM  three\r\n");
}

TEST_F(LogTest, QuietEraseDoesNotAsk) {
    LogWrite("one");
    ParseInit();
    g_runOptions[kRunOptQuiet] = 1;
    HeadlessSetConfirmAnswer(false);
    LogErase();
    EXPECT_EQ(folder_->ReadFile("Pelvane.Log"), "");
    EXPECT_TRUE(HeadlessMessages(kHeadlessConfirm).empty());
}

TEST_F(LogTest, EraseWithoutALogDoesNothing) {
    LogErase();
    EXPECT_FALSE(std::filesystem::exists(folder_->path() / "Pelvane.Log"));
}

} // namespace
