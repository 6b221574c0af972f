// DFM corner clean-ups: the miter set-backs, right-angle elimination,
// self acutes, the three corner-minimising phases, pinned corners, and the
// pad-exit test that guards changes near the ends.
#include <gtest/gtest.h>

#include "router/objtable.h"
#include "support/fatal.h"
#include "dfmfixture.h"

namespace {

class DfmCornerTest : public DfmTest {
  protected:
    void SetUp() override {
        DfmTest::SetUp();
        Open("*SYMBOL 5 \"ROW4\" 1 \"1\" [0, 0] Thru=2 2 \"2\" [3000, 0] Thru=2"
             " 3 \"3\" [6000, 0] Thru=2 4 \"4\" [9000, 0] Thru=2\r\n"
             "*COMP R1 [30000, 30000] Symbol=5\r\n");
    }
    // Runs the worker on stored connection n as DFMForEachConn hands it.
    static int32_t Run(DfmWorker w, int32_t n, int32_t mode = 1) {
        Conn image = Stored(n);
        return w(n, ObjFindConn(n), &image, mode, 1);
    }
    static int32_t Dist(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        return PtDist(x1, y1, x2, y2);
    }
};

TEST_F(DfmCornerTest, MiterSetBacksShrinkUntilHalfTheCopper) {
    // Shorter segment 4,000, grid 1,500, half copper 300: 2,000, 1,250 and
    // 500, and no more.
    const int32_t n = Loaded(1, {{20000, 20000, 1}, {34000, 20000, 1}, {34000, 24000, 0}});
    RecordTrials(100);
    EXPECT_EQ(Run(&dfmMiter90, n), 0);
    std::vector<int32_t> backs;
    for (const Conn& t : s_trials) {
        ASSERT_EQ(t.head.count, 4);
        backs.push_back(Dist(t.crn[1].x, t.crn[1].y, 34000, 20000));
        EXPECT_EQ(Dist(t.crn[2].x, t.crn[2].y, 34000, 20000), backs.back());
    }
    EXPECT_EQ(backs, (std::vector<int32_t>{2000, 1250, 500}));
    EXPECT_EQ(int32_t(Stored(n).head.count), 3);
    // The second try is kept.
    RecordTrials(1);
    EXPECT_EQ(Run(&dfmMiter90, n), 1);
    const Conn c = Stored(n);
    ASSERT_EQ(c.head.count, 4);
    EXPECT_EQ(int32_t(c.crn[1].x), 32750);
    EXPECT_EQ(int32_t(c.crn[2].y), 21250);
}

TEST_F(DfmCornerTest, MiterWithoutWidthStopsAtNothing) {
    const int32_t n =
        Loaded(1, {{20000, 20000, 1}, {34000, 20000, 1}, {34000, 24000, 0}}, 0, 0, 0, 0, 0);
    RecordTrials(1000);
    EXPECT_EQ(Run(&dfmMiter90, n), 0);
    ASSERT_FALSE(s_trials.empty());
    EXPECT_LT(s_trials.size(), 20u);
    const Conn& last = s_trials.back();
    EXPECT_GT(Dist(last.crn[1].x, last.crn[1].y, 34000, 20000), 0);
}

TEST_F(DfmCornerTest, RightAnglesAreCutOffOrMitered) {
    RecordTrials(0);
    const int32_t n = Loaded(1, {{20000, 20000, 1}, {34000, 20000, 1}, {34000, 24000, 0}});
    EXPECT_EQ(Run(&dfmEliminate90, n), 1);
    Conn c = Stored(n);
    ASSERT_EQ(c.head.count, 3);
    EXPECT_EQ(int32_t(c.crn[1].x), 30000); // moved back by the shorter 4,000
    EXPECT_EQ(int32_t(c.crn[1].y), 20000);
    // Pinned and via corners stay (arc corners: see the movable-corner test).
    for (int32_t flags : {int32_t(kCrnLocked), int32_t(kCrnLatched)}) {
        const int32_t p =
            Loaded(1, {{20000, 40000, 1}, {34000, 40000, 1, 0, flags}, {34000, 44000, 0}});
        EXPECT_EQ(Run(&dfmEliminate90, p), 0) << flags;
        EXPECT_EQ(Run(&dfmMiter90, p), 0) << flags;
    }
    const int32_t v = Loaded(1, {{20000, 50000, 1}, {34000, 50000, 2, 1}, {34000, 54000, 0}});
    EXPECT_EQ(Run(&dfmMiter90, v), 0);
    DfmFlags = kDfmMovePinned;
    const int32_t l =
        Loaded(1, {{20000, 10000, 1}, {34000, 10000, 1, 0, kCrnLocked}, {34000, 14000, 0}});
    EXPECT_EQ(Run(&dfmMiter90, l), 1);
}

TEST_F(DfmCornerTest, ShiftedSegmentWhenTheCutIsRefused) {
    // A staircase: the cut of corner 2 is refused, the segment before it
    // moves back by the segment before that.
    const int32_t n = Loaded(1, {{20000, 20000, 1},
                                 {26000, 20000, 1},
                                 {26000, 23000, 1},
                                 {32000, 23000, 1},
                                 {32000, 30000, 0}});
    RecordTrials(2); // corner 1's cut and corner 2's cut
    EXPECT_EQ(Run(&dfmEliminate90, n), 1);
    const Conn c = Stored(n);
    // Corners 1 and 2 went back by (-6,000, 0): the jog now starts at the
    // first corner.
    EXPECT_EQ(int32_t(c.crn[1].x), 20000);
    EXPECT_EQ(int32_t(c.crn[1].y), 23000);
}

TEST_F(DfmCornerTest, SelfAcutesMoveOntoTheOrthogonalNeighbour) {
    RecordTrials(0);
    // Corner 1 turns back at 45 degrees.
    const int32_t n = Loaded(1, {{20000, 20000, 1}, {30000, 20000, 1}, {24000, 26000, 0}});
    Catch();
    EXPECT_EQ(Run(&dfmSelfAcutes, n), 1);
    const Conn c = Stored(n);
    for (int32_t i = 1; i < c.head.count - 1; ++i)
        EXPECT_EQ(dfmAcuteAt(&c, i, i - 1, i + 1), 0);
    // The refused final commit keeps the old copper.
    const int32_t m = Loaded(1, {{20000, 40000, 1}, {30000, 40000, 1}, {24000, 46000, 0}});
    static int32_t calls;
    calls = 0;
    // The trial passes alone, the final commit is refused.
    g_dfmPhases.checkAll = [](int32_t) -> int32_t { return ++calls == 1 ? 1 : 0; };
    EXPECT_EQ(Run(&dfmSelfAcutes, m), 0);
    EXPECT_EQ(int32_t(Stored(m).crn[1].x), 30000);
    Conn bad = Stored(m);
    EXPECT_FATAL(dfmSelfAcuteAt(m, 0, &bad, 0, 1), kErrDfmCorner);
}

TEST_F(DfmCornerTest, CornerPhasesRemoveCorners) {
    RecordTrials(0);
    // Phase 3: the first and last segments of five corners meet.
    const int32_t five = Loaded(1, {{20000, 20000, 1},
                                    {26000, 20000, 1},
                                    {27000, 21000, 1},
                                    {28000, 22000, 1},
                                    {29000, 30000, 0}});
    Catch();
    EXPECT_EQ(Run(&FiveCrn, five), 1);
    EXPECT_TRUE(Traced("DFM-FiveCrn: Found an eligible corner"));
    EXPECT_LT(int32_t(Stored(five).head.count), 5);
    // Phase 2: two outer legs meeting ahead of both.
    const int32_t four =
        Loaded(1, {{20000, 40000, 1}, {26000, 40000, 1}, {28000, 42000, 1}, {28000, 50000, 0}});
    EXPECT_EQ(Run(&fourCrn, four), 1);
    const Conn f = Stored(four);
    ASSERT_EQ(f.head.count, 3);
    EXPECT_EQ(int32_t(f.crn[1].x), 28000);
    EXPECT_EQ(int32_t(f.crn[1].y), 40000);
    // Phase 1: a jog whose middle leans back folds into one corner.
    const int32_t three =
        Loaded(1, {{20000, 10000, 1}, {25000, 10000, 1}, {23000, 13000, 1}, {35000, 13000, 0}});
    EXPECT_EQ(Run(&dfmThreeCrn, three), 1);
    EXPECT_EQ(int32_t(Stored(three).head.count), 3);
    EXPECT_EQ(int32_t(Stored(three).crn[1].x), 25000);
    EXPECT_EQ(int32_t(Stored(three).crn[1].y), 13000);
}

TEST_F(DfmCornerTest, GoodPadExitsStayGood) {
    RecordTrials(0);
    // From R1's pin 2 straight up, then a jog: folding the jog near the
    // pad would make the exit slant.
    const int32_t n = Loaded(1,
                             {{33000, 30000, 1},
                              {33000, 34000, 1},
                              {36000, 37000, 1},
                              {36000, 45000, 1},
                              {45000, 45000, 0}},
                             1, 2);
    Catch();
    // The far end is free: exits count as bad, so the fold is allowed.
    EXPECT_EQ(Run(&fourCrn, n), 1);
    EXPECT_TRUE(Traced("DFM-fourCrn: Pad exit was already bad"));
    // With a good exit at both ends the same fold is refused.
    Component u{};
    const int32_t m = Loaded(1,
                             {{33000, 30000, 1},
                              {33000, 34000, 1},
                              {36000, 37000, 1},
                              {36000, 45000, 1},
                              {36000, 50000, 0}},
                             1, 2, 1, 3);
    (void)u;
    s_traces.clear();
    const int32_t before = int32_t(Stored(m).head.count);
    Run(&fourCrn, m);
    EXPECT_FALSE(Traced("DFM-fourCrn: Pad exit was already bad"));
    const Conn c = Stored(m);
    EXPECT_EQ(lineAngle(c.crn[0].x, c.crn[0].y, c.crn[1].x, c.crn[1].y), 5400);
    EXPECT_LE(int32_t(c.head.count), before);
}

} // namespace
