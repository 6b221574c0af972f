// Grid arithmetic, clipping and the map area.
#include "routerfixture.h"
#include "router/mzgrid.h"

namespace {

class MzGridTest : public RouterTest {
  protected:
    // G 1,500, origin 0.
    void Grid() {
        NewDesign();
        DbHdr().routeGrid = 1500;
        MzSetArea(MzBox{0, 0, 0, 0}, MzBox{0, 0, 0, 0});
        mzGridInit();
    }
};

TEST_F(MzGridTest, ConversionsAndRounding) {
    Grid();
    struct Case {
        int32_t (*f)(int32_t);
        int32_t v, want;
    } cases[] = {
        {&MzX, -800, -1},
        {&MzX, 700, 0},
        {&MzX, -700, 0},
        {&MzSnapXDown, 750, 0},
        {&MzSnapXUp, 750, 2},
        {&MzSnapYDown, 2250, 2},
        {&MzSnapYUp, 2250, 4},
        {&GridRoundDown, -100, 0},
        {&GridRoundUp, -100, 1500},
        {&GridRoundUp, 3000, 3000},
        {&GridRoundUp, 3001, 4500},
        {&HalfGridRoundDown, 800, 750},
        {&HalfGridRoundUp, 800, 1500},
        {&MzWorldX, 3, 2250},
        // Far outside the window the coordinates do not wrap at 16 bits.
        {&MzX, 30000000, 40000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.f(c.v), c.want) << c.v;
}

TEST_F(MzGridTest, ClipLineTakesTheOutcodesInOrder) {
    MzBox box{12, 12, 100, 100};
    int32_t x0 = 0, y0 = 0, x1 = 200, y1 = 200;
    EXPECT_EQ(MzClipLine(&x0, &y0, &x1, &y1, box), 1);
    EXPECT_EQ(x0, 12);
    EXPECT_EQ(y0, 12);
    EXPECT_EQ(x1, 100);
    EXPECT_EQ(y1, 100);
    x0 = 0, y0 = 0, x1 = 5, y1 = 200;
    EXPECT_EQ(MzClipLine(&x0, &y0, &x1, &y1, box), 0);
    // Products beyond 32 bits are taken whole.
    x0 = -2000000000, y0 = 50, x1 = 2000000000, y1 = 60;
    EXPECT_EQ(MzClipLine(&x0, &y0, &x1, &y1, box), 1);
    EXPECT_EQ(x0, 12);
    EXPECT_EQ(x1, 100);
    EXPECT_EQ(y0, 55);
}

TEST_F(MzGridTest, MapAreaPlacesTheMazeAndTheWindow) {
    LoadBoard();
    SetBox(20, 10);
    MapAreaCompute(15000, 15000, 15000, 15000);
    // Centre 10 pitches: 10 - 10 = 0 in x, 10 - 5 = 5 rounded down to 4 in y.
    EXPECT_EQ(g_mzGrid.extent.minX, 0);
    EXPECT_EQ(g_mzGrid.extent.maxX, 30000);
    EXPECT_EQ(g_mzGrid.extent.minY, 6000);
    EXPECT_EQ(g_mzGrid.extent.maxY, 21000);
    EXPECT_EQ(g_mzGrid.window.minX, 9000);
    EXPECT_EQ(g_mzGrid.window.maxY, 12000);
    EXPECT_EQ(g_mzGrid.w, 41);
    EXPECT_EQ(g_mzGrid.r, 21);
    EXPECT_EQ(g_mzGrid.sy, 8);
    MapAreaCompute(-15000, -3000, -15000, -3000); // rounds toward minus infinity
    EXPECT_EQ(g_mzGrid.extent.minX, -30000);
    EXPECT_EQ(g_mzGrid.extent.minY, -12000);
}

TEST_F(MzGridTest, ClipSegOnTheBoxEdgeNeedsTheFlag) {
    LoadBoard();
    SetBox(40, 40);
    MapAreaCompute(30000, 30000, 30000, 30000);
    // Maze column 12 is database x 9,000; the window starts there too.
    ASSERT_EQ(g_mzGrid.window.minX, 9000);
    EXPECT_EQ(MzClipSeg(9000, 15000, 9000, 30000, 0), 0);
    EXPECT_EQ(MzClipSeg(9000, 15000, 9000, 30000, 1), 1);
    EXPECT_EQ(MzClipSeg(12000, 15000, 12000, 30000, 0), 1);
    EXPECT_EQ(MzClipSeg(0, 15000, 1000, 30000, 1), 0); // wholly left of the window
}

} // namespace
