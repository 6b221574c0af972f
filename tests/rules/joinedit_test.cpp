// The corner edits of the joins: the route score of an unrouted gap, the
// window split and the corner limit, the elbow search with and without
// 45-degree elbows, the merge of two stretches, and the Locked ends that
// refuse every join.
#include "db/conns.h"
#include "db/pool.h"
#include "router/mzgrid.h"
#include "router/pathscore.h"
#include "router/urstate.h"
#include "rules/joinedit.h"
#include "rulefixture.h"

namespace {

class JoinEditTest : public RuleTest {
  protected:
    void SetUp() override {
        RuleTest::SetUp();
        OpenBoard("", 1);
        CurSweep().dir[1] = 0; // layer 1 prefers x
        entry = AddConn(StoreConn(1, {{3000, 3000, 1}, {4500, 3000, 0}}));
        ASSERT_EQ(MapAll(), 1);
    }
    static CleanItem Item(Conn* c, int32_t common, int32_t last) {
        CleanItem it;
        it.conn = c;
        it.common = common;
        it.last = last;
        return it;
    }
    int32_t entry = 0;
};

TEST_F(JoinEditTest, AnUnroutedGapScoresItsGridStepsAlongXPlusY) {
    // along -45 degrees dx + dy cancels; the gap still costs 5 x (6,000 / 1,500)
    const Conn gap = ConnOf(1, {{9000, 30000, 0}, {12000, 27000, 0}});
    EXPECT_EQ(JoinRouteScore(&gap, 1) - exitScore(&gap, 0), 5 * 4);
    // routed on layer 1: only the x extent, in grid steps
    const Conn routed = ConnOf(1, {{9000, 30000, 1}, {12000, 27000, 0}});
    EXPECT_EQ(JoinRouteScore(&routed, 1) - exitScore(&routed, 0), 2);
    // not octilinear, and a via at an interior corner
    const Conn odd = ConnOf(1, {{9000, 30000, 1}, {12000, 29000, 2, 1}, {12000, 33000, 0}});
    EXPECT_EQ(JoinRouteScore(&odd, 2) - exitScore(&odd, 0), kScoreNotOctilinear + 2 + kScorePerVia);
}

TEST_F(JoinEditTest, WindowSplitInsertsWhereALineLeavesTheWindowWithinTheCornerLimit) {
    const MzBox w = g_mzGrid.window;
    ScratchRecord<Conn> c;
    // horizontal and 45-degree lines leaving across the right edge
    *c.get() = ConnOf(1, {{w.maxX - 3000, 30000, 1}, {w.maxX + 3000, 30000, 0}});
    ASSERT_EQ(JoinWindowSplit(c.get(), 0), 1);
    EXPECT_EQ(int32_t(c->head.count), 3);
    EXPECT_EQ(int32_t(c->crn[1].x), w.maxX);
    EXPECT_EQ(int32_t(c->crn[1].via), 0);
    *c.get() = ConnOf(1, {{w.maxX - 3000, 30000, 1}, {w.maxX + 3000, 36000, 0}});
    ASSERT_EQ(JoinWindowSplit(c.get(), 0), 1);
    EXPECT_EQ(int32_t(c->crn[1].x), w.maxX);
    EXPECT_EQ(int32_t(c->crn[1].y), 33000);
    // entering the window, or a line at 30 degrees: nothing
    *c.get() = ConnOf(1, {{w.maxX + 3000, 30000, 1}, {w.maxX - 3000, 30000, 0}});
    EXPECT_EQ(JoinWindowSplit(c.get(), 0), 0);
    *c.get() = ConnOf(1, {{w.maxX - 3000, 30000, 1}, {w.maxX + 3000, 31000, 0}});
    EXPECT_EQ(JoinWindowSplit(c.get(), 0), 0);
    // a connection at the corner limit is refused, not ended
    *c.get() = ConnOf(1, {{w.maxX - 3000, 30000, 1}, {w.maxX + 3000, 30000, 0}});
    CrnInsert(c.get(), 0, kConnInsertLimit - 2);
    const int32_t k = kConnInsertLimit - 2;
    EXPECT_EQ(JoinWindowSplit(c.get(), k), 0);
    EXPECT_EQ(int32_t(c->head.count), kConnInsertLimit);
    EXPECT_FALSE(JoinInsert(c.get(), 1));
}

TEST_F(JoinEditTest, ElbowsTakeTheDiagonalFirstOnlyWithTheSweepsBit) {
    const int32_t none[2] = {0, 0};
    int32_t e[2] = {0, 0};
    CurSweep().diagonal = kSweepDiagonalElbows;
    ASSERT_TRUE(JoinElbow(entry, 15000, 15000, 19500, 16500, 1, 300, 0, none, none, e));
    EXPECT_EQ(e[0], 16500); // 45 degrees first, then along x
    EXPECT_EQ(e[1], 16500);
    CurSweep().diagonal = 0x10;
    ASSERT_TRUE(JoinElbow(entry, 15000, 15000, 19500, 16500, 1, 300, 0, none, none, e));
    EXPECT_EQ(e[0], 19500); // the right angle along x first
    EXPECT_EQ(e[1], 15000);
    // a neighbour the first elbow would turn back onto
    const int32_t behind[2] = {21000, 15000};
    ASSERT_TRUE(JoinElbow(entry, 15000, 15000, 19500, 16500, 1, 300, 1, behind, none, e));
    EXPECT_EQ(e[0], 15000);
    EXPECT_EQ(e[1], 16500);
    EXPECT_FATAL(JoinElbow(entry, 15000, 15000, 19500, 16500, 1, 300, 3, none, none, e),
                 kErrElbowNeighbours);
}

TEST_F(JoinEditTest, MergeRewritesTheStretchThatScoresNoBetter) {
    ScratchRecord<Conn> x, y;
    *x.get() =
        ConnOf(1, {{9000, 30000, 1}, {18000, 30000, 1}, {18000, 36000, 1}, {24000, 36000, 0}});
    *y.get() =
        ConnOf(1, {{9000, 30000, 1}, {9000, 36000, 1}, {18000, 36000, 1}, {18000, 45000, 0}});
    CleanItem ix = Item(x.get(), 0, 2), iy = Item(y.get(), 0, 2);
    ASSERT_TRUE(JoinMerge(&ix, &iy)); // equal scores: Y takes X's stretch
    EXPECT_TRUE(iy.changed);
    EXPECT_FALSE(ix.changed);
    EXPECT_EQ(int32_t(y->crn[1].x), 18000);
    EXPECT_EQ(int32_t(y->crn[1].y), 30000);
    EXPECT_EQ(int32_t(y->crn[3].y), 45000);
    // a stretch that ends elsewhere is refused
    *y.get() =
        ConnOf(1, {{9000, 30000, 1}, {9000, 36000, 1}, {16500, 36000, 1}, {16500, 45000, 0}});
    iy = Item(y.get(), 0, 2);
    EXPECT_FALSE(JoinMerge(&ix, &iy));
    // both a single segment: nothing to do
    CleanItem one = Item(x.get(), 0, 1), two = Item(y.get(), 0, 1);
    EXPECT_TRUE(JoinMerge(&one, &two));
    EXPECT_FALSE(one.changed || two.changed);
}

TEST_F(JoinEditTest, ALockedEndRefusesTheJoin) {
    ScratchRecord<Conn> x, y;
    *x.get() = ConnOf(1, {{9000, 30000, 1}, {18000, 30000, 2, 1}, {18000, 45000, 0}});
    *y.get() = ConnOf(1, {{9000, 30000, 1}, {18500, 30000, 2, 1}, {18500, 45000, 0}});
    for (int32_t locked : {0, 1}) {
        CleanItem ix = Item(x.get(), 0, 1), iy = Item(y.get(), 0, 1);
        ix.entry = iy.entry = entry;
        y->crn[1].flags = locked ? kCrnLocked : 0;
        CleanFailure = false;
        EXPECT_EQ(ConnJoin(&ix, &iy), locked ? 0 : 1) << locked;
        EXPECT_EQ(ix.changed || iy.changed, !locked) << locked;
    }
}

} // namespace

namespace {

TEST_F(JoinEditTest, ATidyAtAJointLeavingOnAnUnroutedSegmentFailsWithoutProbingLayerZero) {
    // x turns at corner 1 and goes on unrouted; y meets it there on layer 2
    ScratchRecord<Conn> x, y;
    *x.get() = ConnOf(1, {{9000, 30000, 1}, {18000, 30000, 0}, {12000, 36000, 0}});
    *y.get() = ConnOf(1, {{18000, 45000, 2}, {18000, 30000, 2}, {24000, 30000, 0}});
    CleanItem ix = Item(x.get(), 0, 1), iy = Item(y.get(), 0, 1);
    ix.entry = iy.entry = entry;
    EXPECT_FALSE(JoinTidy(&ix, &iy));
    EXPECT_FALSE(ix.changed);
    EXPECT_EQ(int32_t(x->head.count), 3);
}

} // namespace

namespace {

// A's via at (19,500, 29,000) comes within reach of B's layer-2 segment far
// from both its ends: the fallback puts a corner on B and, the via site
// being free, one on A at B's nearest point. A's new corner goes on along
// the via's outgoing layer, so no layer changes there without a via.
TEST_F(JoinEditTest, AViaToSegmentJoinKeepsEveryLayerChangeOnAVia) {
    ScratchRecord<Conn> x, y;
    *x.get() = ConnOf(1, {{19500, 24000, 1},
                          {19500, 29000, 2, 1},
                          {24000, 29000, 2},
                          {24000, 36000, 2},
                          {30000, 36000, 0}});
    *y.get() = ConnOf(1, {{5000, 28000, 2}, {9000, 30000, 2}, {39000, 30000, 0}});
    CleanItem ix = Item(x.get(), 0, 2), iy = Item(y.get(), 0, 2);
    ix.entry = iy.entry = entry;
    CleanFailure = false;
    EXPECT_EQ(ConnJoin(&ix, &iy), 1);
    ASSERT_TRUE(ix.changed);
    for (const Conn* c : {x.get(), y.get()})
        for (int32_t i = 1; i + 1 < c->head.count; ++i) {
            const int32_t before = c->crn[i - 1].layer, after = c->crn[i].layer;
            EXPECT_TRUE(!before || !after || before == after || c->crn[i].via) << i;
        }
}

} // namespace
