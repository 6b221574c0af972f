// Rotation arithmetic: turned points, the next angle with its grid and
// wrap, the pivot over the journal's components, and a component turned
// four quarter steps back to where it was with its box following.
#include <gtest/gtest.h>

#include "place/plcompapply.h"
#include "place/plrotate.h"
#include "plfixture.h"

namespace {

TEST(PlRotate, RotatePointQuarterTurnsExactOthersTruncated) {
    const struct {
        int32_t x, y, a, ox, oy;
    } cases[] = {
        {10, 0, 5400, 0, 10},         {10, 0, -5400, 0, -10}, {10, 0, 10800, -10, 0},
        {10, 3, 16200, 3, -10},       {10, 0, 21600, 10, 0},  {1000, 0, 2700, 707, 707},
        {-1000, 0, 2700, -707, -707},
    };
    for (const auto& c : cases) {
        int32_t x, y;
        RotatePoint(c.x, c.y, c.a, &x, &y);
        EXPECT_EQ(x, c.ox) << c.a;
        EXPECT_EQ(y, c.oy) << c.a;
    }
}

TEST(PlRotate, NextAngleStepGridAndWrap) {
    const struct {
        int32_t a, step, grid, n;
    } cases[] = {
        {0, 0, 0, 5400},       // step 0 is a quarter turn
        {0, 2700, 5400, 5400}, // halves round upward
        {0, 2699, 5400, 0},     {16200, 5400, 0, 0},
        {100, -200, 0, 21500},  {0, 2700, 1, 2700}, // grid 1 does not round
        {18000, 3599, 5400, 0},                     // 21,599 rounds to 21,600: wrapped to 0
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpRotateAngle(c.a, c.step, c.grid), c.n) << c.a << " " << c.step << " " << c.grid;
}

class PlRotateTest : public PlaceTest {
  protected:
    void SetUp() override {
        PlaceTest::SetUp();
        SetHeader(1);
        AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
        r2 = RowSymbol("R2", 2, 1000, both);
    }
    int32_t r2 = 0;
};

TEST_F(PlRotateTest, PivotPrefersPlacedPartsAndFallsBackToAll) {
    const int32_t loose = AddPart(r2, {.x = 100, .y = 200, .flags = kPlCompUnplaced});
    const int32_t member = AddPart(r2, {.x = 50, .y = 900, .master = 1});
    const int32_t placed = AddPart(r2, {.x = 5000, .y = 6000});
    int32_t px = 0, py = 0;
    AltPush();
    EXPECT_FALSE(UpSelPinMin(&px, &py));
    Store(loose, Comp(loose));
    Store(member, Comp(member));
    ASSERT_TRUE(UpSelPinMin(&px, &py));
    EXPECT_EQ(px, 50);
    EXPECT_EQ(py, 200);
    Store(placed, Comp(placed));
    ASSERT_TRUE(UpSelPinMin(&px, &py));
    EXPECT_EQ(px, 5000);
    EXPECT_EQ(py, 6000);
    AltPop(false);
}

TEST_F(PlRotateTest, FourQuarterStepsBringAComponentBackAndTheBoxFollows) {
    const int32_t c = AddPart(r2, {.x = 5000, .y = 6000, .angle = 5400});
    const Component start = Comp(c);
    Component r = start;
    PlRotateComp(&r, 4000, 4000, 0, 0);
    EXPECT_EQ(r.angle, 10800);
    EXPECT_EQ(r.x, 2000); // (1,000, 2,000) turned to (-2,000, 1,000)
    EXPECT_EQ(r.y, 5000);
    Component fresh = r;
    CompPlaceApply(&fresh);
    EXPECT_EQ(fresh.minX, r.minX);
    EXPECT_EQ(fresh.maxY, r.maxY);
    EXPECT_GT(r.maxY - r.minY, r.maxX - r.minX); // a column again after the half turn
    for (int32_t i = 0; i < 3; ++i)
        PlRotateComp(&r, 4000, 4000, 5400, 0);
    EXPECT_EQ(r.angle, start.angle);
    EXPECT_EQ(r.x, start.x);
    EXPECT_EQ(r.y, start.y);
    EXPECT_EQ(r.minX, start.minX);
    EXPECT_EQ(r.maxX, start.maxX);
    EXPECT_EQ(r.minY, start.minY);
    EXPECT_EQ(r.maxY, start.maxY);
}

TEST_F(PlRotateTest, CompPlaceApplyNormalisesAndTellsOffBoard) {
    Component r = Comp(AddPart(r2, {.x = 5000, .y = 6000}));
    r.angle = -5400;
    r.x = 40000;
    EXPECT_EQ(CompPlaceApply(&r), 1);
    EXPECT_EQ(r.angle, 16200);
    EXPECT_LE(r.minX, 40000);
    EXPECT_GE(r.maxX, 40000);
    r.x = 5000;
    EXPECT_EQ(CompPlaceApply(&r), 0);
}

} // namespace
