// Chain trees: the tree metrics, which pairs a tree joins, open copper tied
// to pins, coinciding nodes, candidate edges of large nets and ECL trees.
#include <gtest/gtest.h>

#include "chainfixture.h"
#include "db/dbheader.h"

namespace {

TEST_F(ChainTest, TreeDistanceByMetric) {
    DbHdr().userUnit = 100;
    struct Case {
        int32_t dx, dy, metric, distance;
    } cases[] = {
        {800, -100, 0, 900}, {-800, 100, 1, 200},
        {800, 100, 2, 812},  {800, 100, 3, 812},
        {100, 800, 3, 812},  {800, 100, 4, 225},
        {850, -250, 5, 68},  {0, 250, 1, 250},
        {-9, -9, 1, 10},     {2000000000, 2000000000, 0, 2147483647},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TreeDistance(c.dx, c.dy, c.metric), c.distance)
            << c.dx << " " << c.dy << " metric " << c.metric;
    EXPECT_FATAL(TreeDistance(1, 1, 6), 5235083);
    EXPECT_FATAL(TreeDistance(1, 1, -1), 5235083);
    struct Type {
        int32_t type, metric;
    } types[] = {{0, 0},           {0x10 | 0x04, 0}, {0x04 | 0x02, 1}, {0x02 | 0x08, 2},
                 {0x08 | 0x20, 3}, {0x20, 4},        {0x40, 0}};
    for (const Type& t : types)
        EXPECT_EQ(TreeMetric(t.type), t.metric) << t.type;
}

TEST_F(ChainTest, TheMetricDecidesWhichPinsAreJoined) {
    // Under metric 1, A-B (800 by 100) and C-D are the short pairs; under
    // metric 0, A-C and B-D (250 apart in y) are.
    for (uint8_t type : {uint8_t(0x04), uint8_t(0x00)}) {
        SCOPED_TRACE(int(type));
        int32_t n = AddNet(type);
        int32_t a = Pin(0, 0), b = Pin(800, 100), c = Pin(0, 250), d = Pin(800, 350);
        Put(Rec(n, a, d, {{0, 0}, {800, 350}}));
        Put(Rec(n, b, c, {{800, 100}, {0, 250}}));
        ChainOrderNet(n);
        Pairs_t got = Pairs(n);
        ASSERT_EQ(got.size(), 3u);
        auto has = [&](int32_t p, int32_t q) {
            return std::count(got.begin(), got.end(), std::make_pair(p, q)) == 1;
        };
        if (type == 0x04) {
            EXPECT_TRUE(has(a, b) && has(c, d));
        } else {
            EXPECT_TRUE(has(a, c) && has(b, d));
        }
    }
}

TEST_F(ChainTest, CoincidingPinsJoinWithAZeroLengthGap) {
    int32_t a = Pin(0, 0), b = Pin(0, 0), c = Pin(9000, 0);
    Put(Rec(net, a, c, {{0, 0}, {9000, 0}}));
    Put(Rec(net, b, c, {{0, 0}, {9000, 0}}));
    ChainOrderNet(net);
    EXPECT_EQ(Conns(net), (Texts{"1-2 0,0/0 0,0", "1-3 0,0/0 9000,0"}));
}

TEST_F(ChainTest, APinSharedByTwoChainsJoinsWithoutAGap) {
    int32_t a = Pin(0, 0), b = Pin(5000, 0), c = Pin(0, 5000);
    Put(Rec(net, a, b, {{0, 0, 1}, {5000, 0}}));
    Put(Rec(net, a, c, {{0, 0, 2}, {0, 5000}}));
    ChainOrderNet(net);
    EXPECT_EQ(Conns(net), (Texts{"1-2 0,0/1 5000,0", "1-3 0,0/2 0,5000"}));
}

TEST_F(ChainTest, OpenCopperIsClosedOntoTheNearestPin) {
    int32_t a = Pin(0, 0), b = Pin(10000, 0), c = Pin(30000, 0);
    // Routed from A to (6000, 0), unrouted to B; C lies further away.
    Put(Rec(net, a, b, {{0, 0, 1}, {6000, 0, 0}, {10000, 0}}));
    Put(Rec(net, b, c, {{10000, 0}, {30000, 0}}));
    ChainOrderNet(net);
    EXPECT_EQ(Conns(net), (Texts{"1-2 0,0/1 6000,0/0 10000,0", "2-3 10000,0/0 30000,0"}));
}

TEST_F(ChainTest, LargeNetsJoinThroughCandidateEdges) {
    // Twenty pins in a row, 1,000 apart, listed in a shuffled order, and a
    // routed pair: the tree joins neighbours only.
    const int32_t order[] = {7, 0, 13, 19, 4, 11, 2, 16, 9, 5, 18, 1, 14, 8, 3, 17, 10, 6, 12, 15};
    std::vector<int32_t> pins;
    for (int32_t i = 0; i < 20; ++i)
        pins.push_back(Pin(i * 1000, 0));
    for (int32_t i = 0; i + 1 < 20; i += 2)
        Put(Rec(net, pins[size_t(order[i])], pins[size_t(order[i + 1])],
                {{order[i] * 1000, 0}, {order[i + 1] * 1000, 0}}));
    int32_t x = Pin(0, 5000), y = Pin(19000, 5000);
    Put(Rec(net, x, y, {{0, 5000, 1}, {19000, 5000}}));
    ChainOrderNet(net);
    Pairs_t got = Pairs(net);
    ASSERT_EQ(got.size(), 21u);
    Pairs_t expected;
    for (int32_t i = 0; i + 1 < 20; ++i)
        expected.emplace_back(pins[size_t(i)], pins[size_t(i + 1)]);
    expected.emplace_back(x, y);
    // Every join of the row is between neighbours; the routed pair joins
    // the row once (where depends on the pruned candidate edges).
    auto link = std::find_if(got.begin(), got.end(), [&](const std::pair<int32_t, int32_t>& p) {
        return std::find(expected.begin(), expected.end(), p) == expected.end();
    });
    ASSERT_NE(link, got.end());
    EXPECT_TRUE(link->first >= pins[0] && link->first <= pins[19]);
    EXPECT_TRUE(link->second == x || link->second == y);
    got.erase(link);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected);
}

// ---- ECL trees ---------------------------------------------------------------------------

class EclTest : public ChainTest {
  protected:
    // A one-pin component whose package pin has the role.
    int32_t RolePin(int32_t x, int32_t y, uint8_t role) {
        int32_t c = Pin(x, y);
        int32_t k = PkgAdd();
        auto p = std::make_unique<Package>();
        DbRecInit(kRecPackage, p.get(), 1);
        p->info.pinCount = 1;
        p->pin[1].code = uint8_t(0x30 | role); // only the low four bits count
        PkgPut(k, p.get());
        Component rec;
        CompGet(c, &rec);
        rec.package = int16_t(k);
        CompPut(c, &rec);
        return c;
    }
};

TEST_F(EclTest, PinsAreStrungInRoleOrder) {
    int32_t n = AddNet(0x40);
    // The role-4 pin lies next to the role-1 pin; it still ends the line.
    int32_t a = RolePin(0, 0, 1), d = RolePin(1000, 0, 4), b = RolePin(3000, 0, 2),
            c = RolePin(5000, 0, 2);
    Put(Rec(n, a, d, {{0, 0}, {1000, 0}}));
    Put(Rec(n, b, c, {{3000, 0}, {5000, 0}}));
    ChainOrderNet(n);
    Pairs_t line{{a, b}, {b, c}, {std::min(c, d), std::max(c, d)}};
    std::sort(line.begin(), line.end());
    EXPECT_EQ(Pairs(n), line);
}

TEST_F(EclTest, OpenCopperOfARoleOnePinIsNotClosedOntoTheEnd) {
    // A's copper ends open at (8000, 0), next to the role-4 pin D; the
    // role-2 pin B lies far away. An ordinary net closes the copper onto D,
    // an ECL net onto B, and D then ends the line.
    for (uint8_t type : {uint8_t(0x00), uint8_t(0x40)}) {
        SCOPED_TRACE(int(type));
        int32_t n = AddNet(type);
        int32_t a = RolePin(0, 0, 1), d = RolePin(9000, 0, 4), b = RolePin(0, 20000, 2);
        Put(Rec(n, a, d, {{0, 0, 1}, {8000, 0, 0}, {9000, 0}}));
        Put(Rec(n, b, d, {{0, 20000}, {9000, 0}}));
        ChainOrderNet(n);
        Pairs_t got = Pairs(n);
        if (type == 0) {
            EXPECT_EQ(std::count(got.begin(), got.end(), std::make_pair(a, d)), 1);
        } else {
            EXPECT_EQ(got, (Pairs_t{{a, b}, {std::min(b, d), std::max(b, d)}}));
        }
    }
}

TEST_F(EclTest, OnlyEclNetsBuildEclTrees) {
    EXPECT_FATAL(BuildECLTree(net), 5237022);
    // Without a lone pin an ECL net takes the ordinary tree.
    int32_t n = AddNet(0x40);
    int32_t a = RolePin(0, 0, 1), b = RolePin(1000, 0, 4);
    Put(Rec(n, a, b, {{0, 0, 1}, {1000, 0}}));
    ChainOrderNet(n);
    EXPECT_EQ(Conns(n), (Texts{"1-2 0,0/1 1000,0"}));
}

TEST_F(EclTest, AChainThatNoRuleAllowsIsJoinedAllTheSame) {
    // Two role-4 pins and a role-1 pin: role-4 pairs are refused while a
    // role-1 pin exists, and a role-1 pin takes only one join.
    int32_t n = AddNet(0x40);
    int32_t a = RolePin(0, 0, 1), d1 = RolePin(1000, 0, 4), d2 = RolePin(2000, 0, 4);
    Put(Rec(n, a, d1, {{0, 0}, {1000, 0}}));
    Put(Rec(n, d1, d2, {{1000, 0}, {2000, 0}}));
    ChainOrderNet(n);
    EXPECT_EQ(Pairs(n).size(), 2u);
}

} // namespace
