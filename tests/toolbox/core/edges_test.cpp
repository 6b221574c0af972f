#include "toolbox/core/edges.h"

#include <gtest/gtest.h>

namespace {

TEST(Edges, FocusRingStripsLeaveTheCornersOut) {
    Rect16 strips[kFocusRingStrips];
    FocusRingStrips(Rect16{10, 20, 30, 60}, strips); // grown: 7, 17, 33, 63
    const Rect16 expected[kFocusRingStrips] = {
        {7, 18, 9, 62}, {8, 61, 32, 63}, {31, 18, 33, 62}, {8, 17, 32, 19}};
    for (int i = 0; i < kFocusRingStrips; ++i) {
        EXPECT_EQ(strips[i].top, expected[i].top) << i;
        EXPECT_EQ(strips[i].left, expected[i].left) << i;
        EXPECT_EQ(strips[i].bottom, expected[i].bottom) << i;
        EXPECT_EQ(strips[i].right, expected[i].right) << i;
    }
}

} // namespace
