// Scroll events to step kinds, step targets and bringing a row into view.
#include <gtest/gtest.h>

#include "toolbox/ui/scrollsteps.h"

namespace {

TEST(ScrollStepsTest, EventsBecomeStepKinds) {
    EXPECT_EQ(ScrollStepFromEvent(26), kStepRowUp);
    EXPECT_EQ(ScrollStepFromEvent(29), kStepPageDown);
    EXPECT_EQ(ScrollStepFromEvent(31), kStepToThumb);
    EXPECT_EQ(ScrollStepFromEvent(32), kStepToRow);
    EXPECT_EQ(ScrollStepFromEvent(25), kStepNone);
    EXPECT_EQ(ScrollStepFromEvent(33), kStepNone);
}

TEST(ScrollStepsTest, TargetsAreClamped) {
    // 10 visible rows, last first row 40, now at 5.
    struct Case {
        int32_t kind, value, target;
    } cases[] = {
        {kStepRowUp, 0, 4},     {kStepRowDown, 0, 6},   {kStepPageUp, 0, 0}, {kStepPageDown, 0, 14},
        {kStepToValue, 33, 33}, {kStepToThumb, 99, 40}, {kStepToRow, -7, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollStepTarget(c.kind, 5, 10, c.value, 40), c.target) << c.kind;
    EXPECT_EQ(ScrollStepTarget(kStepRowDown, 0, 10, 0, -3), 0);
}

TEST(ScrollStepsTest, RowIntoView) {
    EXPECT_EQ(ScrollRowIntoView(12, false, 10, 5, 50, 45), 10); // visible
    EXPECT_EQ(ScrollRowIntoView(12, true, 10, 5, 50, 45), 12);
    EXPECT_EQ(ScrollRowIntoView(3, false, 10, 5, 50, 45), 3);
    EXPECT_EQ(ScrollRowIntoView(20, false, 10, 5, 50, 45), 16); // to the bottom
    EXPECT_EQ(ScrollRowIntoView(99, false, 10, 5, 50, 45), 45); // the last row
}

} // namespace
