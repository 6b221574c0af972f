// The nearest-approach record: nothing kept after init, scores and ties,
// the merge of unrouted gaps on restore, and the stack of saved attempts.
#include "db/pool.h"
#include "router/mzinit.h"
#include "router/nearest.h"
#include "seedfixture.h"

namespace {

class NearestTest : public SeedTest {
  protected:
    static Conn Path(std::initializer_list<CrnSpec> corners) { return ConnOf(0, corners); }
};

TEST_F(NearestTest, KeepsTheNearestFirstOfEquals) {
    OpenSeed();
    MzGoal& g = *Goal();
    g.goalWidth = 10;
    g.state = 4; // no merge of unrouted gaps
    NearestInit();
    Conn out{};
    EXPECT_EQ(NearestRestore(&out), 0);
    // Unrouted 6,000 + 3,000, one hop: 10 x 1 x 3 + 9,000.
    g.hopCount = 1;
    Conn a = Path({{15000, 30000, 0}, {21000, 30000, 1}, {21000, 33000, 0}, {21000, 36000, 0}});
    Nearest(&a);
    EXPECT_EQ(NearestBest(), 30 + 3000 + 3000 - 3000 + 6000);
    // The same score: the first stays.
    g.hopCount = 1;
    Conn b = Path({{15000, 30000, 0}, {24000, 30000, 0}, {24000, 40000, 2}});
    Nearest(&b);
    EXPECT_EQ(NearestBest(), 9030);
    ASSERT_EQ(NearestRestore(&out), 1);
    EXPECT_EQ(out.head.count, 4);
    EXPECT_EQ(g.hopCount, 0);
    // A lower score replaces it.
    Conn c = Path({{15000, 30000, 1}, {24000, 30000, 0}, {25000, 30000, 1}});
    Nearest(&c);
    EXPECT_EQ(NearestBest(), 1000);
    NearestInit();
    EXPECT_EQ(NearestRestore(&out), 0);
}

TEST_F(NearestTest, RestoreJoinsTheUnroutedGaps) {
    OpenSeed();
    MzGoal& g = *Goal();
    g.state = 0;
    NearestInit();
    // Two unrouted gaps inside the window with a routed piece between:
    // corners 1 to 3 go, corner 0 joins corner 4.
    Conn p = Path({{15000, 30000, 0},
                   {18000, 30000, 1, 1},
                   {21000, 30000, 1},
                   {24000, 30000, 0, 1},
                   {27000, 30000, 1, 1},
                   {30000, 30000, 0}});
    Nearest(&p);
    Conn out{};
    ASSERT_EQ(NearestRestore(&out), 1);
    ASSERT_EQ(out.head.count, 3);
    EXPECT_EQ(+out.crn[0].x, 15000);
    EXPECT_EQ(+out.crn[0].layer, 0);
    EXPECT_EQ(+out.crn[1].x, 27000);
    EXPECT_EQ(+out.crn[1].via, 0);
    // In another task state the path stays as kept.
    g.state = 4;
    ASSERT_EQ(NearestRestore(&out), 1);
    EXPECT_EQ(out.head.count, 6);
}

TEST_F(NearestTest, SavedAttemptsPopLastFirstWithinTheCost) {
    OpenSeed();
    MzGoal& g = *Goal();
    NearestInit();
    Conn out{};
    EXPECT_EQ(NearestPop(&out), 0);
    Conn a = Path({{1, 1, 1}, {2, 1, 1}});
    Conn b = Path({{5, 5, 2}, {6, 5, 2}, {6, 9, 2}});
    NearestSave(100, &a);
    NearestSave(300, &b);
    const int32_t live = PoolLiveCount(MzZonePool(2));
    g.totalCost = 299;
    EXPECT_EQ(NearestPop(&out), 0);
    g.totalCost = 300;
    ASSERT_EQ(NearestPop(&out), 1);
    EXPECT_EQ(out.head.count, 3);
    EXPECT_EQ(PoolLiveCount(MzZonePool(2)), live - 1);
    ASSERT_EQ(NearestPop(&out), 1);
    EXPECT_EQ(+out.crn[0].x, 1);
    EXPECT_EQ(NearestPop(&out), 0);
    // NearestInit empties the list and gives the zone back.
    NearestSave(1, &a);
    NearestInit();
    EXPECT_EQ(NearestSavedCount(), 0);
    EXPECT_EQ(NearestPop(&out), 0);
}

} // namespace
