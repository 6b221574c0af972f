#include "toolbox/core/timetext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "toolbox/core/clock.h"

namespace {

// A clock that stands still at a chosen instant.
uint64_t g_now = 0;
int32_t g_biasMinutes = 0;
bool g_biasOk = true;
uint32_t g_ms = 0;
uint64_t FakeNow() { return g_now; }
bool FakeBias(int32_t* minutes) {
    *minutes = g_biasMinutes;
    return g_biasOk;
}
uint64_t FakeLocal(uint64_t utc) { return uint64_t(int64_t(utc) - int64_t(g_biasMinutes) * 600000000LL); }
uint32_t FakeMs() { return g_ms; }
int16_t FakeKey(int32_t vk) { return vk == 27 ? int16_t(0x8001) : 0; }

class Clocked : public ::testing::Test {
  protected:
    void SetUp() override {
        ClockSource s{&FakeNow, &FakeBias, &FakeLocal, &FakeMs, &FakeKey};
        SetClockSource(&s);
        g_now = 0;
        g_biasMinutes = 0;
        g_biasOk = true;
        g_ms = 1000;
    }
    void TearDown() override { SetClockSource(nullptr); }
};

constexpr uint64_t k2001 = 12622780800ull * 10000000ull;

TEST_F(Clocked, CurrentTimeAndBias) {
    g_now = k2001;
    EXPECT_EQ(CurrentTimeValue(0), 0);
    g_biasMinutes = -60; // one hour east of UTC
    EXPECT_EQ(CurrentTimeValue(1), 3600);
    g_biasMinutes = 300;
    EXPECT_EQ(CurrentTimeValue(1), 3600); // kept for a second
    g_ms += 1000;
    EXPECT_EQ(CurrentTimeValue(1), -18000);
    g_biasOk = false;
    g_ms += 1000;
    EXPECT_EQ(TimeZoneBiasSeconds(), 0);
}

TEST_F(Clocked, FileTimeConversions) {
    EXPECT_EQ(FileTimeToSeconds(0), 0);
    EXPECT_EQ(SecondsToFileTime(0), 0u);
    EXPECT_EQ(FileTimeToSeconds(k2001 + 15000000), 2);  // 1.5 s rounds up
    EXPECT_EQ(FileTimeToSeconds(k2001 + 14999999), 1);
    EXPECT_EQ(FileTimeToSeconds(k2001 - 15000000), -2); // halves away from zero
    EXPECT_EQ(SecondsToFileTime(86400), k2001 + 86400ull * 10000000ull);
    uint32_t s1904 = 0;
    FileTimeToLocalSeconds1904(k2001, &s1904);
    EXPECT_EQ(s1904, uint32_t(12622780800ull - 9561628800ull));
    g_now = k2001 + 12345678;
    FileTime ft = 0;
    CurrentFileTime(&ft);
    EXPECT_EQ(ft, k2001 + 12340000);
}

TEST(TimeText, DatesInEveryStyle) {
    char text[64];
    // 2001-12-31 was a Monday.
    TimeValue v = 364 * 86400 + 3600;
    FormatDateText(v, 0, text);
    EXPECT_STREQ(text, "12/31/01");
    FormatDateText(v, 1, text);
    EXPECT_STREQ(text, "Monday, December 31, 2001");
    FormatDateText(v, 2, text);
    EXPECT_STREQ(text, "Mon, Dec 31, 2001");
    FormatDateText(0, 1, text);
    EXPECT_STREQ(text, "Monday, January 1, 2001");
    FormatDateText(-86400, 0, text);
    EXPECT_STREQ(text, "12/31/00");
    // 2024-02-29 (leap day, a Thursday): 8459 days after 2001-01-01.
    FormatDateText(8459 * 86400, 2, text);
    EXPECT_STREQ(text, "Thu, Feb 29, 2024");
}

TEST(TimeText, TwelveHourClock) {
    char text[32];
    struct Case {
        int32_t seconds;
        uint8_t withSeconds;
        const char* expected;
    } cases[] = {
        {5 * 60 + 9, 1, "12:05:09 AM"}, {13 * 3600, 0, "1:00 PM"},  {12 * 3600, 0, "12:00 PM"},
        {11 * 3600 + 59 * 60, 0, "11:59 AM"}, {23 * 3600 + 1, 1, "11:00:01 PM"},
    };
    for (const Case& c : cases) {
        FormatTimeText(c.seconds + 3 * 86400, c.withSeconds, text);
        EXPECT_STREQ(text, c.expected);
    }
}

TEST(TimeText, MulDivRound) {
    EXPECT_EQ(MulDivRound(-5, 1, 2), -3);
    EXPECT_EQ(MulDivRound(5, 1, 2), 3);
    EXPECT_EQ(MulDivRound(4, 1, 3), 1);
    EXPECT_EQ(MulDivRound(100000, 100000, 1000000), 10000); // 64-bit product
    EXPECT_EQ(MulDivRound(7, 3, 0), 0);
    int64_t out = 0;
    DoubleToInt64(2.5, &out);
    EXPECT_EQ(out, 3);
    DoubleToInt64(-2.5, &out);
    EXPECT_EQ(out, -3);
    EXPECT_EQ(Int64ToDouble(1LL << 40), 1099511627776.0);
}

TEST_F(Clocked, KeyStateKeepsHighByteAndMarksDown) {
    EXPECT_EQ(uint16_t(VirtualKeyState(27)), 0x8001);
    EXPECT_EQ(VirtualKeyState(65), 0);
}

} // namespace
