// Path finding: the halves back-tracked from the meeting cell, joined,
// collinear corners removed, vias set; no path; impossible codes (a broken
// back-track, which fails the path) and corner limits; the ends fitted
// onto the pads they were seeded from.
#include <string>
#include <vector>

#include "router/path.h"
#include "seedfixture.h"

namespace {

std::vector<std::string> g_traces;
void Collect(const char* text) {
    g_traces.emplace_back(text);
}

class PathTest : public SeedTest {
  protected:
    void SetUp() override {
        SeedTest::SetUp();
        g_traces.clear();
        DebugSetTraceReceiver(&Collect);
    }
    void TearDown() override {
        DebugSetTraceReceiver(nullptr);
        SeedTest::TearDown();
    }
    // Marks a straight run of cells x0..x1 on row y with the code, and the
    // cell at `seedX` with the seed code.
    static void Run(int32_t x0, int32_t x1, int32_t y, int32_t layer, int32_t code, int32_t seedX) {
        for (int32_t x = std::min(x0, x1); x <= std::max(x0, x1); ++x)
            MazeSet(x, y, layer, code);
        MazeSet(seedX, y, layer, (code & 0x20) | 0x19);
    }
};

TEST_F(PathTest, StraightGapGivesTwoCorners) {
    OpenSeed();
    GoalGap();
    MzGoal& g = *Goal();
    g.goalWidth = 10;
    ASSERT_EQ(SeedExits(), 1);
    ASSERT_EQ(WaveRun(1000000), 1);
    Conn* p = g_router.connPath;
    ASSERT_EQ(PathFind(p), 1);
    ASSERT_EQ(p->head.count, 2);
    EXPECT_EQ(+p->crn[0].x, 15000);
    EXPECT_EQ(+p->crn[0].y, 30000);
    EXPECT_EQ(+p->crn[1].x, 39000);
    EXPECT_EQ(+p->crn[1].y, 30000);
    EXPECT_EQ(+p->crn[0].layer, p->crn[1].layer);
    EXPECT_EQ(+p->crn[0].width, 10);
    EXPECT_EQ(+p->crn[0].via, 0);
    EXPECT_GT(g.totalCost, 0);
    // The pads' centres were seeded: both ends fit as they are.
    ASSERT_EQ(PathFitEnds(p), 1);
    EXPECT_EQ(+p->head.count, 2);
    EXPECT_EQ(+p->head.fromComp, 1);
    EXPECT_EQ(+p->head.toComp, 2);
}

TEST_F(PathTest, ViaAtTheMeetingCell) {
    OpenSeed();
    GoalGap();
    MzGoal& g = *Goal();
    // Source on layer 1 from (20, 40) to the meeting cell (30, 40); the
    // target on layer 2 from (40, 40), entering the meeting cell by a via.
    Run(21, 30, 40, 1, 0x34, 20);
    Run(30, 39, 40, 2, 0x12, 40);
    g.meetX = 30, g.meetY = 40, g.meetLayer = 1;
    g.meetDir[0] = 0x34;
    g.meetDir[1] = 2; // a via from maze layer 2
    Conn* p = g_router.connPath;
    ASSERT_EQ(PathFind(p), 1);
    ASSERT_EQ(p->head.count, 3);
    EXPECT_EQ(+p->crn[0].x, MzWorldX(20));
    EXPECT_EQ(+p->crn[0].layer, 1);
    EXPECT_EQ(+p->crn[1].x, MzWorldX(30));
    EXPECT_EQ(+p->crn[1].layer, 2);
    EXPECT_EQ(+p->crn[1].via, g_viaPair[2][1]);
    EXPECT_NE(+p->crn[1].via, 0);
    EXPECT_EQ(+p->crn[2].x, MzWorldX(40));
    EXPECT_EQ(+p->crn[2].via, 0);
}

TEST_F(PathTest, NoPathAndFaults) {
    OpenSeed();
    GoalGap();
    MzGoal& g = *Goal();
    g.goalWidth = 12;
    g.meetDir[0] = g.meetDir[1] = 0;
    Conn* p = g_router.connPath;
    g_verbose = 1;
    EXPECT_EQ(PathFind(p), 0);
    g_verbose = 0;
    EXPECT_EQ(g_traces.back(), "PathFind: no path to find");
    ASSERT_EQ(p->head.count, 2);
    EXPECT_EQ(+p->crn[0].layer, 0);
    EXPECT_EQ(+p->crn[0].width, 12);
    EXPECT_EQ(+p->crn[1].x, 39000);
    // An impossible code on the way back.
    Run(21, 30, 40, 1, 0x34, 20);
    MazeSet(25, 40, 1, 0x1E);
    g.meetX = 30, g.meetY = 40, g.meetLayer = 1;
    HalfPath h;
    EXPECT_EQ(backTrack(&h, 0x34), kBackTrackBroken);
    EXPECT_EQ(PathLastFault().code, 2165015);
    EXPECT_EQ(PathLastFault().move, 0x1E);
    EXPECT_EQ(PathLastFault().x, 25);
    EXPECT_EQ(PathLastFault().cell, 0x1E);
    // PathFind fails the same way and leaves the straight gap.
    g.meetDir[0] = 0x34;
    g.meetDir[1] = 0;
    EXPECT_EQ(PathFind(p), kPathBroken);
    ASSERT_EQ(p->head.count, 2);
    EXPECT_EQ(+p->crn[0].layer, 0);
    EXPECT_EQ(+p->crn[1].x, 39000);
    // A via seed that leads into a refused end cell (other copper there).
    MazeReset(1, 1);
    MazeSet(30, 40, 1, 0x32);
    MazeSet(31, 40, 1, 0x02); // a via from maze layer 2
    MazeSet(31, 40, 2, 0x9E);
    g.meetX = 30, g.meetY = 40, g.meetLayer = 1;
    EXPECT_EQ(backTrack(&h, 0x32), kBackTrackBroken);
    EXPECT_EQ(PathLastFault().layer, 2);
    EXPECT_EQ(PathLastFault().cell, 0x9E);
    // More than 250 corners: two cells that lead to each other by vias.
    MazeReset(1, 1);
    MazeSet(30, 30, 1, 0x22);
    MazeSet(30, 30, 2, 0x21);
    g.meetX = 30, g.meetY = 30, g.meetLayer = 1;
    g_verbose = 1;
    EXPECT_EQ(backTrack(&h, 0x22), 0);
    g_verbose = 0;
    EXPECT_EQ(h.count, 251);
    g.meetDir[0] = 0x22;
    g.meetDir[1] = 0;
    EXPECT_EQ(PathFind(p), 0);
    // Hops in saved-copy mode.
    MazeReset(1, 1);
    Run(21, 30, 40, 1, 0x34, 20);
    MazeSet(25, 40, 1, 0x74);
    g.meetX = 30, g.meetY = 40;
    g.savedCopy = 1;
    EXPECT_FATAL(backTrack(&h, 0x34), 2165003);
    g.savedCopy = 0;
    p->head.count = 1;
    EXPECT_FATAL(PathFitEnds(p), 2165083);
}

} // namespace
