#include "toolbox/core/ticks.h"

#include <gtest/gtest.h>

#include "fake_clock.h"

namespace {

using Ticks = FakeClockTest;

TEST_F(Ticks, ConversionsRoundAsMulDiv) {
    struct Case {
        int32_t ms, ticks;
    } cases[] = {{0, 0}, {8, 0}, {9, 1}, {16, 1}, {25, 2}, {1000, 60}, {-1, kTicksOfNegativeMs}};
    for (const Case& c : cases)
        EXPECT_EQ(MsToTicks(c.ms), c.ticks) << c.ms;
    EXPECT_EQ(TicksToMs(1), 17);
    EXPECT_EQ(TicksToMs(60), 1000);
    EXPECT_EQ(TicksToMs(-3), -50);
    EXPECT_EQ(TicksToMs(128849018), 2147483633);
    EXPECT_EQ(TicksToMs(kTicksToMsLimit), kTicksMsSaturated);
    EXPECT_EQ(TicksToMs(0x7FFFFFFF), kTicksMsSaturated);
}

TEST_F(Ticks, ClockRoundsToNearest) {
    SetMs(1008); // 60.48
    EXPECT_EQ(GetTicks(), 60u);
    EXPECT_EQ(CurrentTicks(), 60u);
    SetMs(1009); // 60.54
    EXPECT_EQ(GetTicks(), 61u);
    EXPECT_EQ(CurrentTicks(), 61u);
}

TEST_F(Ticks, KeepRunningPastTheSignBitAndTheWrap) {
    SetMs(0x80000000u + 5);
    uint32_t start = CurrentTicks();
    EXPECT_EQ(start, uint32_t((0x80000000ull + 5) * 6 / 100));
    EXPECT_NE(start, uint32_t(kTicksOfNegativeMs));
    Advance(1000);
    EXPECT_EQ(TicksSince(start), 60u);

    SetMs(0xFFFFFF00u);
    start = GetTicks();
    SetMs(0x200); // the clock wrapped
    uint32_t expected = uint32_t((((1ull << 32) + 0x200) * 6 + 50) / 100);
    EXPECT_EQ(GetTicks(), expected);
    EXPECT_EQ(TicksSince(start), expected - start);
    EXPECT_GT(TicksSince(start), 0u);
    EXPECT_LT(TicksSince(start), 60u);
}

TEST_F(Ticks, BusyWaitsEndOnTheClock) {
    FakeClock().stepPerRead = 1;
    SetMs(5000);
    WaitTicksBusy(6); // 100 ms
    EXPECT_GE(FakeClock().ms, 5100u);
    EXPECT_LE(FakeClock().ms, 5102u);

    uint32_t end = 0;
    SetMs(7000);
    SpinWaitTicks(3, &end);
    EXPECT_EQ(end, 7050u);
    EXPECT_GE(FakeClock().ms, 7050u);

    // An end past the wrap waits for the wrap first.
    SetMs(0xFFFFFFF0u);
    SpinWaitTicks(3, &end);
    EXPECT_EQ(end, 0xFFFFFFF0u + 50u);
    EXPECT_GE(FakeClock().ms, end);
    EXPECT_LT(FakeClock().ms, 0x100u);
}

TEST_F(Ticks, EscapeFollowsTheKeyStatesHighBit) {
    EXPECT_EQ(EscapeKeyDown(), 0);
    FakeClock().escapeState = int16_t(0x8000);
    EXPECT_EQ(EscapeKeyDown(), 1);
    FakeClock().escapeState = 1; // toggled, not held
    EXPECT_EQ(EscapeKeyDown(), 0);
}

} // namespace
