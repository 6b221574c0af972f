// Test support: a millisecond clock and an Escape key state that the test
// sets, installed through the clock layer for the fixture's lifetime. The
// clock can also advance by a step on every reading, for busy waits.
#pragma once
#include <gtest/gtest.h>

#include "toolbox/core/clock.h"

struct FakeClockState {
    uint32_t ms = 0;
    uint32_t stepPerRead = 0;
    uint32_t reads = 0;
    int16_t escapeState = 0;
};

inline FakeClockState& FakeClock() {
    static FakeClockState state;
    return state;
}

inline uint32_t FakeClockMs() {
    FakeClockState& c = FakeClock();
    ++c.reads;
    uint32_t now = c.ms;
    c.ms += c.stepPerRead;
    return now;
}

inline int16_t FakeClockKey(int32_t vk) {
    return vk == 0x1B ? FakeClock().escapeState : 0;
}

class FakeClockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeClock() = FakeClockState{};
        FakeClock().ms = 1000;
        ClockSource s{};
        s.milliseconds = &FakeClockMs;
        s.asyncKeyState = &FakeClockKey;
        SetClockSource(&s);
    }
    void TearDown() override { SetClockSource(nullptr); }
    static void SetMs(uint32_t ms) { FakeClock().ms = ms; }
    static void Advance(uint32_t ms) { FakeClock().ms += ms; }
};
