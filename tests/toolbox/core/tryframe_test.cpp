#include "toolbox/core/tryframe.h"

#include <gtest/gtest.h>

namespace {

int g_destroyed = 0;
struct Guard {
    ~Guard() { ++g_destroyed; }
};

void failDeep(int depth, int32_t code) {
    Guard g;
    if (depth == 0) ThrowToFrame(code);
    else failDeep(depth - 1, code);
}

TEST(TryFrames, OpenerGetsZeroOrTheCode) {
    InitTryFrames(0);
    EXPECT_EQ(TryRun([] {}), 0);
    g_destroyed = 0;
    EXPECT_EQ(TryRun([] { failDeep(3, 42); }), 42);
    EXPECT_EQ(g_destroyed, 4); // unwinding runs destructors
    EXPECT_EQ(TryFrameDepth(), 0);
}

TEST(TryFrames, ThrowReachesOnlyTheInnermostFrame) {
    int32_t inner = -5, afterInner = 0;
    int32_t outer = TryRun([&] {
        inner = TryRun([] { ThrowToFrame(7); });
        afterInner = 1;
        ThrowToFrame(9);
    });
    EXPECT_EQ(inner, 7);
    EXPECT_EQ(afterInner, 1);
    EXPECT_EQ(outer, 9);
    EXPECT_EQ(TryFrameDepth(), 0);
}

TEST(TryFrames, ZeroCodeAndNoFrameReturnNormally) {
    bool reached = false;
    EXPECT_EQ(TryRun([&] {
                  ThrowToFrame(0);
                  reached = true;
              }),
              0);
    EXPECT_TRUE(reached);
    ThrowToFrame(5); // no frame open: nothing happens
    EXPECT_EQ(PopExceptionFrame(), 0);
    EXPECT_EQ(InnermostTryFrameCode(), 0);
}

TEST(TryFrames, ReaderPatternWithExplicitPop) {
    auto reader = [](int32_t failAt) -> int32_t {
        TryFrameScope frame;
        if (frame.status() != 0) return frame.status();
        try {
            for (int32_t step = 1; step <= 3; ++step) ThrowToFrame(step == failAt ? 100 + step : 0);
        } catch (const TryFrameThrow& t) {
            if (!frame.owns(t)) throw;
            EXPECT_EQ(InnermostTryFrameCode(), 100 + failAt);
        }
        return PopExceptionFrame();
    };
    EXPECT_EQ(reader(0), 0);
    EXPECT_EQ(reader(2), 102);
    EXPECT_EQ(TryFrameDepth(), 0);
}

TEST(TryFrames, FrameLeftOpenIsDroppedWhenItsOpenerReturns) {
    auto opener = [] {
        int32_t before = TryFrameDepth();
        TryFrameScope frame;
        EXPECT_EQ(TryFrameDepth(), before + 1);
    };
    opener();
    EXPECT_EQ(TryFrameDepth(), 0);
    // The same holds for a nested opener inside an outer frame.
    EXPECT_EQ(TryRun([&] {
                  opener();
                  EXPECT_EQ(TryFrameDepth(), 1);
                  ThrowToFrame(3);
              }),
              3);
}

} // namespace
