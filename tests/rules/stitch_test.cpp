// Segment stitching: free copper re-stitches to the same corners, a route
// of another net on one side moves the points half a step away and the
// result keeps its clearances, a horizontal segment gives the transposed
// result of the vertical one, the points' laying, the marks of failed
// points, the stacked-via trace, and the internal errors (wrong direction,
// no buffer, no cleared path).
#include <vector>

#include "db/conns.h"
#include "db/shellsvc.h"
#include "router/mzgrid.h"
#include "router/mzinit.h"
#include "rules/clearcore.h"
#include "router/shove.h"
#include "rules/stitch.h"
#include "clearfixture.h"

namespace {

class StitchTest : public ClearTest {
  protected:
    void SetUp() override {
        ClearTest::SetUp();
        Open();
        out = static_cast<Conn*>(ScratchPush());
    }
    void TearDown() override {
        ScratchPop(out);
        g_gridDoubling = false;
        ClearTest::TearDown();
    }
    // The path stored as the goal's connection, the cleared path started
    // with its corner i.
    Conn Path(std::initializer_list<CrnSpec> corners, int32_t i = 0) {
        const int32_t n = Goal1(corners);
        Conn c;
        ConnGet(n, &c);
        StartAt(c, i);
        return c;
    }
    void StartAt(const Conn& c, int32_t i) {
        *out = Conn{};
        out->head = c.head;
        out->head.count = 1;
        out->crn[0] = c.crn[i];
        g_shove.cleared = out;
        g_shove.shoveFailed = 0;
    }
    // A No-Shove route of net 2 on layer 1.
    void Wall(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        const int32_t n = StoreConn(2, {{x1, y1, 1}, {x2, y2, 0}}, 10, kConnNoShove);
        AddConn(n);
        ASSERT_EQ(MapAll(), 1);
    }
    std::vector<std::pair<int32_t, int32_t>> Corners() const {
        std::vector<std::pair<int32_t, int32_t>> v;
        for (int32_t i = 0; i < out->head.count; ++i)
            v.push_back({int32_t(out->crn[i].x), int32_t(out->crn[i].y)});
        return v;
    }
    Conn* out = nullptr;
};

using Pts = std::vector<std::pair<int32_t, int32_t>>;

TEST_F(StitchTest, ASegmentOverFreeCopperReStitchesToTheSameCorners) {
    Conn c = Path({{30000, 12000, 1}, {30000, 24000, 0}});
    const int32_t depth = AltDepth(), scratch = ScratchDepth();
    EXPECT_EQ(stitchStraightSeg(&c, 0, 0), 1);
    EXPECT_EQ(Corners(), (Pts{{30000, 12000}, {30000, 24000}}));
    EXPECT_EQ(int32_t(out->crn[0].layer), 1);
    EXPECT_EQ(int32_t(out->crn[0].width), 10);
    EXPECT_EQ(int32_t(out->crn[1].layer), 0); // the end keeps its own layer
    EXPECT_EQ(AltDepth(), depth);
    EXPECT_EQ(ScratchDepth(), scratch);
    EXPECT_EQ(g_shove.shoveFailed, 0);
    // a 45-degree one the same way
    c = Path({{30000, 12000, 1}, {39000, 21000, 0}});
    EXPECT_EQ(stitchDiagSeg(&c, 0), 1);
    EXPECT_EQ(Corners(), (Pts{{30000, 12000}, {39000, 21000}}));
}

TEST_F(StitchTest, ARouteOnOneSideMovesThePointsAwayAndTheResultKeepsItsClearance) {
    // 1,100 from the path where half widths and spacing need 1,200
    Wall(28900, 16500, 28900, 19500);
    Conn c = Path({{30000, 12000, 1}, {30000, 24000, 0}});
    EXPECT_EQ(stitchStraightSeg(&c, 0, 0), 1);
    bool moved = false;
    for (auto [x, y] : Corners())
        moved = moved || x == 30750;
    EXPECT_TRUE(moved);
    EXPECT_EQ(DrcCheckConn(Goal()->objIndex, out, 0, out->head.count - 1), 1);
    const Pts got = Corners();
    EXPECT_EQ(got.front(), (std::pair{30000, 12000}));
    EXPECT_EQ(got.back(), (std::pair{30000, 24000}));
}

TEST_F(StitchTest, AHorizontalSegmentGivesTheTransposedResultOfTheVerticalOne) {
    Wall(28900, 16500, 28900, 19500);
    Wall(16500, 28900, 19500, 28900);
    Conn v = Path({{30000, 12000, 1}, {30000, 24000, 0}});
    ASSERT_EQ(stitchStraightSeg(&v, 0, 0), 1);
    const Pts vertical = Corners();
    Conn h = Path({{12000, 30000, 1}, {24000, 30000, 0}});
    ConnTranspose(&h);
    ConnTranspose(out);
    ASSERT_EQ(stitchStraightSeg(&h, 1, 0), 1);
    ConnTranspose(out);
    Pts back;
    for (auto [x, y] : Corners())
        back.push_back({y, x});
    EXPECT_EQ(back, vertical);
}

TEST_F(StitchTest, PointsStartOnTheNextGridLineInsideTheExtentWithTheEndVias) {
    // not the last segment: an off-grid end without a via is left out
    Conn c = Path({{30000, 12700, 1}, {30000, 23900, 1}, {36000, 23900, 0}});
    EXPECT_EQ(stitchStraightSeg(&c, 0, 0), 1);
    const StitchPoint* p = StitchPoints();
    ASSERT_EQ(g_stitch.count, 7);
    EXPECT_EQ(int32_t(p[0].run), 13500);
    EXPECT_EQ(int32_t(p[6].run), 22500);
    // half-grid mode steps half a grid; an end via sits on the last point
    g_gridDoubling = true;
    c = Path({{30000, 12000, 1}, {30000, 15000, 2, 1}, {36000, 15000, 0}});
    EXPECT_EQ(stitchStraightSeg(&c, 0, 0), 1);
    ASSERT_EQ(g_stitch.count, 5);
    EXPECT_EQ(int32_t(p[1].run), 12750);
    EXPECT_EQ(int32_t(p[4].via), 1);
    EXPECT_EQ(int32_t(p[0].via), 0);
    EXPECT_EQ(int32_t(out->crn[out->head.count - 1].via), 1);
    // 45-degree points closer than 12 cells to the maze's edge are flagged
    g_gridDoubling = false;
    c = Path({{6000, 30000, 1}, {15000, 39000, 0}});
    stitchDiagSeg(&c, 0);
    ASSERT_GE(g_stitch.count, 4);
    EXPECT_EQ(p[0].flags & kStOutside, kStOutside); // cell 8
    EXPECT_EQ(p[1].flags & kStOutside, kStOutside); // cell 10
    EXPECT_EQ(p[2].flags & kStOutside, 0);          // cell 12
    EXPECT_EQ(int32_t(p[1].run), 31500);
}

TEST_F(StitchTest, FailedPointsMarkTheMazeAcrossTheirEdgesKeepingTheCodesThatStay) {
    Path({{30000, 12000, 1}, {30000, 24000, 0}});
    g_stitch = StitchSeg{};
    g_stitch.layer = 1;
    g_stitch.count = 1;
    StitchPoint* p = StitchPoints();
    const int32_t my = MzY(18000);
    struct Case {
        int16_t flags;
        int32_t before, after;
    };
    const std::vector<Case> cases = {
        {kStNotCleared, kCellFree, kCellTempMark},
        {kStLinkFailed, kCellFree, kCellRuleMark},
        {kStLinkFailed, kCellTempMark, kCellTempMark},
        {kStLinkFailed, kCellSeedMove, kCellSeedMove},
        {kStNotCleared, kCellSeedMove, kCellTempMark},
        {kStNotCleared, kCellBlocked, kCellBlocked},
        {kStNotCleared, kCellBorder, kCellBorder},
        {0, kCellFree, kCellFree},
    };
    for (const Case& k : cases) {
        for (int32_t x = 20; x <= 60; ++x)
            MazeSet(x, my, 1, (MazeGet(x, my, 1) & ~kCellCodeMask) | k.before);
        p[0] = StitchPoint{30000, 18000, 29100, 30900, 30000, k.flags, 0};
        stitchMarkFailures();
        EXPECT_EQ(MazeGet(MzX(30000), my, 1) & kCellCodeMask, k.after)
            << k.flags << " " << k.before;
        // the edges widened by half a grid on the unblocked sides
        EXPECT_EQ(MazeGet(MzX(30900 + 750), my, 1) & kCellCodeMask, k.after);
        EXPECT_EQ(MazeGet(MzX(30900 + 1500), my, 1) & kCellCodeMask, k.before);
    }
    // the sides that were blocked are not widened; nothing leaves the band
    p[0] = StitchPoint{30000, 18000, 29100,
                       30900, 30000, int16_t(kStLinkFailed | kStHighBlocked | kStLowBlocked),
                       0};
    for (int32_t x = 20; x <= 60; ++x)
        MazeSet(x, my, 1, 0);
    stitchMarkFailures();
    EXPECT_EQ(MazeGet(MzX(30900 + 750), my, 1) & kCellCodeMask, kCellFree);
    EXPECT_EQ(MazeGet(MzX(29100), my, 1) & kCellCodeMask, kCellRuleMark);
    p[0] = StitchPoint{1500, 18000, 0, 3000, 1500, kStNotCleared, 0};
    stitchMarkFailures();
    for (int32_t x = 0; x < 12; ++x)
        EXPECT_NE(MazeGet(x, my, 1) & kCellCodeMask, kCellTempMark);
}

TEST_F(StitchTest, WrongDirectionsMissingBufferAndMissingPathAreInternalErrors) {
    Conn c = Path({{30000, 12000, 1}, {31500, 24000, 0}});
    EXPECT_FATAL(stitchStraightSeg(&c, 0, 0), kErrStitchSegNotStraight);
    EXPECT_FATAL(stitchDiagSeg(&c, 0), kErrStitchSegNotDiagonal);
    c.crn[1].x = 30000;
    g_shove.cleared = nullptr;
    EXPECT_FATAL(stitchStraightSeg(&c, 0, 0), kErrStitchNoOutput);
    g_shove.cleared = out;
    const int16_t entry = Goal()->objIndex;
    Goal()->objIndex = 0;
    EXPECT_FATAL(stitchStraightSeg(&c, 0, 0), kErrStitchNoGoal);
    Goal()->objIndex = entry;
    StitchRelease();
    EXPECT_FATAL(stitchStraightSeg(&c, 0, 0), kErrStitchNoBuffer);
    EXPECT_EQ(StitchAlloc(), 1);
    EXPECT_EQ(stitchStraightSeg(&c, 0, 0), 1);
}

TEST_F(StitchTest, PointsThatNoModeClearsFailTheSegmentAndMarkTheMaze) {
    // No-Shove routes 1,000 from the path on both sides: 1,200 are needed
    Wall(29000, 16500, 29000, 19500);
    Wall(31000, 16500, 31000, 19500);
    Conn c = Path({{30000, 12000, 1}, {30000, 24000, 0}});
    EXPECT_EQ(stitchStraightSeg(&c, 0, 0), 0);
    EXPECT_EQ(g_shove.shoveFailed, 1);
    const StitchPoint* p = StitchPoints();
    bool failed = false;
    for (int32_t k = 0; k < g_stitch.count; ++k)
        if (p[k].run == 18000) failed = (p[k].flags & kStNotCleared) == kStNotCleared;
    EXPECT_TRUE(failed);
    EXPECT_EQ(MazeGet(MzX(30000), MzY(18000), 1) & kCellCodeMask, kCellTempMark);
    EXPECT_EQ(MazeGet(MzX(30000), MzY(12000), 1) & kCellCodeMask, kCellFree);
    // with the fast run forced after the shove failed, points are given up
    Goal()->forceFast = 1;
    StartAt(c, 0);
    g_shove.shoveFailed = 1;
    EXPECT_EQ(stitchStraightSeg(&c, 0, 0), 0);
    for (int32_t k = 0; k < g_stitch.count; ++k) {
        if (p[k].run == 18000) {
            EXPECT_EQ(int32_t(p[k].flags), int32_t(kStGivenUp));
        }
    }
}

TEST_F(StitchTest, ABlockedLinkTakesAnLThroughAFreeCornerOrFailsWithoutWidth) {
    Path({{30000, 12000, 1}, {30000, 24000, 0}});
    // about 920 from the straight link where 1,200 are needed; 200 from the
    // L through (31,500, 12,000)
    Wall(31700, 14000, 31700, 16000);
    auto stitchOne = [&] {
        g_stitch = StitchSeg{};
        g_stitch.layer = 1;
        g_stitch.width = 10;
        g_stitch.half = 300;
        g_stitch.reach = 900;
        g_stitch.step = 1500;
        g_stitch.count = 1;
        g_stitch.segment = 1;
        g_stitch.lastSeg = 5;
        StitchPoints()[0] = StitchPoint{31500, 18000, 30600, 32400, 31500, 0, 0};
        out->head.count = 1;
        out->crn[0] = Crn{30000, 12000, 10, 1, 0, 0, 0};
        return stitchSeg(1);
    };
    EXPECT_EQ(stitchOne(), 1);
    EXPECT_EQ(Corners(), (Pts{{30000, 12000}, {30000, 18000}, {31500, 18000}}));
    // a wall across the other L too: the point goes in without width
    Wall(28800, 17000, 28800, 19000);
    Wall(30000, 16500, 31500, 16500);
    EXPECT_EQ(stitchOne(), 0);
    EXPECT_EQ(StitchPoints()[0].flags & kStLinkFailed, kStLinkFailed);
    EXPECT_EQ(Corners(), (Pts{{30000, 12000}, {31500, 18000}}));
    EXPECT_EQ(int32_t(out->crn[0].width), 0);
}

TEST_F(StitchTest, PointsOfAMiddleSegmentAreSnappedBackToTheGrid) {
    Wall(28900, 16500, 28900, 19500);
    // the first segment keeps its points half a step off the grid; a middle
    // one takes the next grid line where the copper fits
    Conn c = Path({{30000, 12000, 1}, {30000, 24000, 1}, {36000, 24000, 1}, {36000, 30000, 0}});
    EXPECT_EQ(stitchStraightSeg(&c, 0, 0), 1);
    bool off = false;
    for (int32_t k = 0; k < g_stitch.count; ++k)
        off = off || StitchPoints()[k].shove == 30750;
    EXPECT_TRUE(off);
    const int32_t n =
        Goal1({{24000, 9000, 1}, {30000, 9000, 1}, {30000, 24000, 1}, {36000, 24000, 0}});
    ConnGet(n, &c);
    StartAt(c, 1);
    EXPECT_EQ(stitchStraightSeg(&c, 0, 1), 1);
    for (int32_t k = 0; k < g_stitch.count; ++k) {
        EXPECT_EQ(StitchPoints()[k].shove % 1500, 0) << k;
        EXPECT_EQ(StitchPoints()[k].flags & kStOffGrid, 0) << k;
    }
    EXPECT_EQ(DrcCheckConn(Goal()->objIndex, out, 0, out->head.count - 1), 1);
}

TEST_F(StitchTest, WithGridOnlyOffGridPointsAreSkipped) {
    Wall(28900, 16500, 28900, 19500);
    DbHdr().flags |= kHdrGridOnly;
    Conn c = Path({{30000, 12000, 1}, {30000, 24000, 0}});
    stitchStraightSeg(&c, 0, 0);
    const StitchPoint* p = StitchPoints();
    int32_t skipped = 0;
    for (int32_t k = 0; k < g_stitch.count; ++k)
        if (p[k].shove % 1500 != 0) {
            EXPECT_EQ(p[k].flags & 0x30, 0x30);
            ++skipped;
        }
    EXPECT_GT(skipped, 0);
    for (auto [x, y] : Corners())
        EXPECT_EQ(x % 1500, 0);
}

TEST_F(ClearTest, StackedViasAtTheJoinAreTraced) {
    Open("", 2);
    const int32_t n = Goal1({{30000, 12000, 1, 2}, {30000, 24000, 0}});
    Conn c;
    ConnGet(n, &c);
    Conn* out = static_cast<Conn*>(ScratchPush());
    *out = c;
    out->head.count = 1;
    out->crn[0].via = 1;
    g_shove.cleared = out;
    Catch();
    EXPECT_EQ(stitchStraightSeg(&c, 0, 0), 1);
    EXPECT_TRUE(Traced("stitchSeg crn0:, stacked vias 1 and 2"));
    ScratchPop(out);
}

TEST_F(ClearTest, TheStitchBufferIsOnePieceOfTheFirstZone) {
    Open();
    const int32_t pool = MzZonePool(1);
    EXPECT_EQ(StitchAlloc(), 1);
    EXPECT_EQ(PoolOwner(pool), kOwnerZone1);
    PoolSetChunkLimit(PoolChunksInUse());
    EXPECT_EQ(StitchAlloc(), 0);
    PoolSetChunkLimit(-1);
}

TEST_F(ClearTest, APointBetweenTwoPadsIsCentredWhenTheGapHoldsTheCopper) {
    // U1.2 at (21,000, 15,000) and U2.1 at (26,400, 15,000): radius 1,800,
    // a gap of 1,800 from 22,800 to 24,600, just what half width and pad
    // spacing need on both sides
    Open("*COMP U1 [15000, 15000] Symbol=1\r\n*COMP U2 [26400, 15000] Symbol=1\r\n");
    Goal1({{24000, 9000, 1}, {24000, 21000, 0}});
    g_stitch = StitchSeg{};
    g_stitch.layer = 1;
    g_stitch.half = 300;
    g_stitch.reach = 900;
    g_stitch.step = 1500;
    StitchPoint pt{24000, 15000, 24000, 24000, 24000, 0, 0};
    const int32_t lo = ObjFindPad(1, 2), hi = ObjFindPad(2, 1);
    EXPECT_EQ(stitchCentreBetweenPads(&pt, lo, hi), 1);
    EXPECT_EQ(int32_t(pt.shove), 23700);
    g_stitch.half = 301;
    pt.shove = 24000;
    EXPECT_EQ(stitchCentreBetweenPads(&pt, lo, hi), 0);
    EXPECT_EQ(int32_t(pt.shove), 24000);
}

} // namespace
