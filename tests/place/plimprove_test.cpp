// The improvement passes: overlapping parts creep apart, a part at score
// 0 stays, a board without movable parts ends after one pass, no grid
// means no pass, and the visit's fatal conditions.
#include <gtest/gtest.h>

#include "place/plimprove.h"
#include "ploutlinedfixture.h"

namespace {

class PlImproveTest : public PlOutlinedTest {
  protected:
    void SetUp() override {
        PlOutlinedTest::SetUp();
        Board(30000, 30000, 500);
    }
    void Improve() {
        AltPush();
        PlImprove(nullptr);
        AltPop(true);
    }
};

TEST_F(PlImproveTest, OverlappingPartsCreepApartAndALonePartStays) {
    const int32_t a = At(10000, 10000);
    const int32_t b = At(10600, 10200);
    const int32_t lone = At(25000, 25000);
    Improve();
    EXPECT_TRUE(PlTreeCheckComp(a, PlCompRef(a)));
    EXPECT_TRUE(PlTreeCheckComp(b, PlCompRef(b)));
    EXPECT_EQ(Comp(lone).x, 25000);
    EXPECT_EQ(Comp(lone).y, 25000);
    EXPECT_GE(g_plImprove.passes, 1);
    EXPECT_EQ(g_plImprove.pool, 0);
    EXPECT_EQ(PlTreeEntries(), PlTreeFreshEntries());
}

TEST_F(PlImproveTest, NoMovablePartEndsAfterOnePass) {
    At(10000, 10000, kPlCompFixed);
    At(10600, 10200, kPlCompLocked);
    Improve();
    EXPECT_EQ(g_plImprove.passes, 1);
    EXPECT_EQ(Comp(1).x, 10000);
}

TEST_F(PlImproveTest, WithoutAnyGridNothingMoves) {
    SetHeader(1, 0);
    At(10000, 10000);
    At(10600, 10200);
    Improve();
    EXPECT_EQ(g_plImprove.passes, 0);
    EXPECT_EQ(Comp(2).x, 10600);
}

TEST_F(PlImproveTest, BondsSumTheDirectConnectionsUnlessClustered) {
    const int32_t a = At(10000, 10000);
    const int32_t b = At(20000, 10000);
    Part p;
    p.x = 5000;
    p.y = 5000;
    p.master = int16_t(a);
    const int32_t member = AddPart(r2, p);
    const int32_t net = AddNet(50);
    Connect(net, a, 1, b, 1);
    Connect(net, b, 2, a, 2);
    Connect(net, a, 2, member, 1);
    PlModelOpen(nullptr);
    EXPECT_EQ(PlCompBond(a, b), 12); // two connections of bond 50 / 10 + 1
    EXPECT_EQ(PlCompBond(b, a), 12);
    EXPECT_EQ(PlCompBond(a, member), 0);
}

TEST_F(PlImproveTest, VisitFatalConditions) {
    const int32_t a = At(10000, 10000);
    const int32_t f = At(20000, 10000, kPlCompFixed);
    Improve();
    EXPECT_FATAL(minimizeCompScore(f, PlCompRef(f)), kErrPlImproveMovable);
    g_plImprove.recs[size_t(a)].done = true;
    EXPECT_FATAL(minimizeCompScore(a, PlCompRef(a)), kErrPlImproveDone);
}

} // namespace
