// The geometry the DFM phases share: angles and turns, movable corners,
// the window, box corners, corner insertion and the common point of two
// connections.
#include <gtest/gtest.h>

#include "router/mzgrid.h"
#include "support/fatal.h"
#include "dfmfixture.h"

namespace {

class DfmSharedTest : public DfmTest {
  protected:
    void SetUp() override {
        DfmTest::SetUp();
        Open();
    }
};

TEST_F(DfmSharedTest, AnglesAndTurns) {
    EXPECT_EQ(lineAngle(5, 5, 5, 5), 0);
    EXPECT_EQ(lineAngle(0, 0, 10, 0), 0);
    EXPECT_EQ(lineAngle(0, 0, 0, 10), 5400);
    EXPECT_EQ(lineAngle(0, 0, -10, 0), 10800);
    EXPECT_EQ(lineAngle(0, 0, 0, -10), 16200);
    EXPECT_EQ(lineAngle(0, 0, 10, 10), 2700);
    struct Case {
        int32_t bx, by, cx, cy; // neighbours of a corner at the origin
        int32_t acute;
    };
    const Case cases[] = {
        {10, 0, 0, 10, 0},    // right angle
        {10, 0, 10, 10, 1},   // 45 degrees
        {10, 0, 10, -10, 1},  // 315 degrees apart
        {10, 0, -10, 10, 0},  // 135 degrees
        {10, 0, 20, 0, 0},    // no turn
        {0, 0, 10, 10, 0},    // a equals b
        {10, 0, -10, -10, 0}, // 225 degrees
    };
    for (const Case& t : cases) {
        Conn c = ConnOf(1, {{0, 0, 1}, {t.bx, t.by, 1}, {t.cx, t.cy, 1}});
        EXPECT_EQ(dfmAcuteAt(&c, 0, 1, 2), t.acute) << t.bx << "," << t.by << " " << t.cx;
    }
    Conn c = ConnOf(1, {{0, 0, 1}, {10, 0, 1}, {10, 10, 1}, {0, 20, 0}});
    EXPECT_FATAL(dfmAcuteAt(&c, 0, 1, 4), kErrDfmCorner);
    EXPECT_FATAL(dfmAcuteAt(&c, -1, 1, 2), kErrDfmCorner);
    EXPECT_EQ(dfmIsRightAngle(&c, 1), 1);
    EXPECT_EQ(dfmIsRightAngle(&c, 2), 0);
    EXPECT_EQ(dfmTurn(&c, 1, 0, 2), 5400);
}

TEST_F(DfmSharedTest, MovableCornersAndTheWindow) {
    Conn c = ConnOf(1, {{0, 0, 1},
                        {1, 0, 1, 0, kCrnLocked},
                        {2, 0, 1, 0, kCrnLatched},
                        {3, 0, 1, 0, kCrnArc},
                        {4, 0, 2, 1},
                        {5, 0, 2},
                        {6, 0, 0}});
    const int32_t plain[] = {1, 0, 0, 0, 0, 1, 1};
    for (int32_t i = 0; i < 7; ++i)
        EXPECT_EQ(dfmIsMovableCrn(&c, i, 0), plain[i]) << i;
    EXPECT_EQ(dfmIsMovableCrn(&c, 5, 1), 0); // another layer
    EXPECT_EQ(dfmIsMovableCrn(&c, 5, 2), 1);
    DfmFlags = kDfmMovePinned;
    EXPECT_EQ(dfmIsMovableCrn(&c, 1, 0), 1);
    EXPECT_EQ(dfmIsMovableCrn(&c, 2, 0), 1);
    EXPECT_EQ(dfmIsMovableCrn(&c, 3, 0), 0);
    EXPECT_EQ(dfmIsSharable(&c, 4), 1);
    const MzBox w = g_mzGrid.window;
    EXPECT_EQ(dfmSegInWindow(w.minX, w.minY, w.maxX, w.maxY), 1);
    EXPECT_EQ(dfmSegInWindow(w.minX - 1, w.minY, w.maxX, w.maxY), 0);
    EXPECT_EQ(dfmSegInWindow(w.minX, w.minY, w.maxX, w.maxY + 1), 0);
}

TEST_F(DfmSharedTest, BoxCornersAndInsertion) {
    int32_t x, y;
    ASSERT_TRUE(dfmBoxCorner(0, 0, 10, 20, 0, &x, &y));
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 0);
    ASSERT_TRUE(dfmBoxCorner(0, 0, 10, 20, 1, &x, &y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 20);
    // A degenerate box has no corner that is not an end of the line.
    EXPECT_FALSE(dfmBoxCorner(0, 0, 0, 20, 0, &x, &y));
    EXPECT_FALSE(dfmBoxCorner(0, 5, 10, 5, 1, &x, &y));

    Catch();
    Conn c = ConnOf(1, {{0, 0, 1, 1}, {100, 0, 2}});
    ASSERT_TRUE(addConnCrn(&c, 1, 50, 0));
    EXPECT_TRUE(Traced("DFM-addConnCrn: adding crn 1 at [50,0]"));
    EXPECT_EQ(c.head.count, 3);
    EXPECT_EQ(int32_t(c.crn[1].layer), 1);
    EXPECT_EQ(int32_t(c.crn[1].via), 0);
    EXPECT_EQ(int32_t(c.crn[0].via), 1);
    EXPECT_FATAL(addConnCrn(&c, 0, 1, 1), kErrDfmCorner);
    c.head.count = kDfmCornerLimit;
    EXPECT_FALSE(addConnCrn(&c, 1, 1, 1));
    EXPECT_EQ(int32_t(c.head.count), kDfmCornerLimit);
}

TEST_F(DfmSharedTest, CommonPointsOfTwoConnections) {
    Catch();
    // B runs along A past A's corner at (20, 0): B gets that corner.
    Conn a = ConnOf(1, {{0, 0, 1}, {20, 0, 1}, {20, 30, 0}});
    Conn b = ConnOf(1, {{0, 0, 1}, {40, 0, 0}});
    EXPECT_EQ(dfmMakeCommonPoint(&a, &b), 1);
    EXPECT_TRUE(Traced("DFM: c1 is between c3 and c4"));
    EXPECT_TRUE(Traced("DFM: creating last common point"));
    ASSERT_EQ(b.head.count, 3);
    EXPECT_EQ(int32_t(b.crn[1].x), 20);
    int32_t i = -1, j = -1;
    ASSERT_EQ(dfmFindCommonPoint(&a, &b, &i, &j), 1);
    EXPECT_EQ(i, 1);
    EXPECT_EQ(j, 1);
    EXPECT_EQ(dfmHasPointOnLayer(&b, 20, 0, 1), 1);
    EXPECT_EQ(dfmHasPointOnLayer(&b, 20, 0, 2), 0);
    // Crossing segments: the crossing goes into the one that lacks it.
    Conn p = ConnOf(1, {{0, 0, 1}, {0, 40, 0}});
    Conn q = ConnOf(1, {{-10, 20, 1}, {10, 20, 0}});
    s_traces.clear();
    EXPECT_EQ(dfmMakeCommonPoint(&p, &q), 1);
    EXPECT_TRUE(Traced("DFM: 2 line intersect"));
    EXPECT_EQ(p.head.count, 3);
    EXPECT_EQ(q.head.count, 3);
    // Other layers share nothing.
    Conn r = ConnOf(1, {{0, 0, 2}, {40, 0, 0}});
    Conn s = ConnOf(1, {{0, 0, 1}, {20, 0, 1}, {20, 30, 0}});
    EXPECT_EQ(dfmMakeCommonPoint(&s, &r), 0);
    EXPECT_EQ(dfmSameLayerAt(&s, 0, &r, 0), 0);
    EXPECT_EQ(dfmSameLayerAt(&s, 1, &a, 1), 1);
}

TEST_F(DfmSharedTest, PadsAsTheExitsSeeThem) {
    Open("*COMP U1 [15000, 15000] Symbol=1\r\n*COMP C1 [30000, 30000] Symbol=2\r\n"
         "*COMP Q1 [30000, 45000] Symbol=4\r\n");
    DfmPad p;
    dfmPadInfo(1, 1, 1, &p); // round
    EXPECT_EQ(p.kind, kDfmPadRound);
    EXPECT_EQ(p.cx, 15000);
    dfmPadInfo(2, 1, 1, &p); // rectangle 1,500 x 3,000
    EXPECT_EQ(p.kind, kDfmPadRect);
    EXPECT_EQ(p.halfW, 750);
    EXPECT_EQ(p.halfH, 1500);
    dfmPadInfo(2, 1, 2, &p); // no pad on the bottom
    EXPECT_EQ(p.kind, kDfmPadNone);
    dfmPadInfo(2, 1, 0, &p); // an unrouted first segment
    EXPECT_EQ(p.kind, kDfmPadNone);
    dfmPadInfo(3, 1, 2, &p);
    EXPECT_EQ(p.kind, kDfmPadSquare);
    EXPECT_EQ(dfmPointInPad(2, 1, 1, 30000, 31500, 0), 1);
    EXPECT_EQ(dfmPointInPad(2, 1, 1, 30000, 31700, 0), 0);
    EXPECT_EQ(dfmPointInPad(2, 1, 1, 30000, 31700, 300), 1);
    EXPECT_EQ(dfmPointInPad(2, 1, 2, 30000, 30000, 0), 0); // kind 0 is ignored
    EXPECT_EQ(dfmPointInPad(1, 1, 1, 16800, 15000, 0), 1);
    EXPECT_EQ(dfmPointInPad(1, 1, 1, 16900, 15000, 0), 0);
}

TEST_F(DfmSharedTest, ViasTooClose) {
    Conn c = ConnOf(1, {{0, 0, 1}, {1000, 0, 2, 1}, {1200, 0, 0}});
    const int32_t pad = ViaPadRadius(1, 1);
    ASSERT_GT(pad, 0);
    EXPECT_EQ(dfmViaTooClose(&c, 1, 2, 0), 200 < pad ? 1 : 0);
    EXPECT_EQ(dfmViaTooClose(&c, 1, 0, 0), 0);
    EXPECT_EQ(dfmViaTooClose(&c, 0, 1, 0), 0); // corner 0 is no via
    EXPECT_EQ(dfmNeighbourViaTooClose(&c, 2), dfmViaTooClose(&c, 1, 2, 300) ? 1 : 0);
}

} // namespace
