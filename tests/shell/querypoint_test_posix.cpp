// The query point: pixels through the view mapping, snapped to the grid.
#include "router/viewzoom.h"
#include "shell/querypoint.h"
#include "shell/recordinghost.h"

namespace {

class QueryPointTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        ViewZoomTestReset();
        w = AppWindowNew();
        gCurWin = w;
        DbHdr().routeGrid = 100;
        DbHdr().originX = 0;
        DbHdr().originY = 0;
    }
    AppWindow* w = nullptr;
};

TEST_F(QueryPointTest, UnchangedPixelAnswersZero) {
    w->queryX = 5;
    w->queryY = 7;
    EXPECT_EQ(setQueryPoint(7, 5), 0); // scale 1, origin 0 before any zoom
    EXPECT_EQ(setQueryPoint(7, 6), 1);
    EXPECT_EQ(w->queryX, 6);
}

TEST_F(QueryPointTest, DefaultGridAndHalvesAwayFromTheOrigin) {
    EXPECT_EQ(setQueryPoint(149, 150), 1);
    EXPECT_EQ(w->gridStepX, 100); // step 0 took the design's grid
    EXPECT_EQ(w->snapX, 200);     // a half rounds away from the origin
    EXPECT_EQ(w->snapY, 100);
    DbHdr().originX = 1000;
    DbHdr().originY = 1000;
    w->gridStepX = -5;
    w->gridStepY = 40;
    EXPECT_EQ(setQueryPoint(980, 950), 1);
    EXPECT_EQ(w->snapX, 900); // -50 from the origin: away, to -100
    EXPECT_EQ(w->snapOffX, -100);
    EXPECT_EQ(w->snapY, 960);  // -20 of 40: away, to -40
    EXPECT_EQ(w->snapOffY, -40);
}

TEST(GridSnapTest, Table) {
    struct {
        int32_t value, origin, step, want;
    } cases[] = {
        {0, 0, 10, 0}, {4, 0, 10, 0}, {5, 0, 10, 10}, {-5, 0, 10, -10}, {-4, 0, 10, 0},
        {17, 2, 5, 17}, {INT32_MAX, 0, 1000, INT32_MAX}, {INT32_MIN, 0, 1000, INT32_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GridSnap(c.value, c.origin, c.step), c.want) << c.value << " " << c.step;
}

} // namespace
