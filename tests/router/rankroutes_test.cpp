// Ranking of a pass: the key terms, the heap sort's exact order on ties,
// the bus grouping, the route order through the object table, the
// connections left out, the key cap (logged) and the window-corner detour.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "db/conns.h"
#include "db/dbheader.h"
#include "db/layers.h"
#include "router/mzgrid.h"
#include "router/rankroutes.h"
#include "goalconnfixture.h"

namespace {

enum : uint16_t { kPassPartial = 0x10, kPassReroute = 0x40, kPassViaReduce = 0x200 };

RankKey Key(int32_t obj, int32_t pair = 0, int32_t dir = 0, int32_t approach = 0) {
    RankKey k{};
    k.obj = int16_t(obj);
    k.compPair = pair;
    k.dirKey = dir;
    k.approach = approach;
    return k;
}

std::vector<int32_t> Objs(const RankKey* keys, int32_t count) {
    std::vector<int32_t> out;
    for (int32_t i = 1; i <= count; ++i)
        out.push_back(keys[i].obj);
    return out;
}

TEST(RankKeys, DirectionKey) {
    struct Case {
        int32_t x1, y1, x2, y2, c1, c2, key;
    };
    const Case cases[] = {
        {0, 0, 3000, 1500, 1, 2, 14}, // dx 2, dy 1: diagonal-ish
        {3000, 1500, 0, 0, 2, 1, 14}, // either end first
        {0, 0, 0, 3000, 3, 5, 3},     // vertical, dy < 0
        {0, 3000, 0, 0, 5, 3, 3},     // the components order the sign
        {0, 0, 0, 3000, 5, 3, 2},     // components exchanged
        {0, 0, 1500, 4500, 1, 2, 13}, // dx 1 < dy 3: 1 x 10 + 3
        {0, 4500, 1500, 0, 1, 2, 14}, // dx 1, dy -3: 13 + 1
        {0, 0, 1499, 0, 1, 2, 2},     // below one grid step: 0
    };
    for (const Case& c : cases)
        EXPECT_EQ(RankDirKey(c.x1, c.y1, c.x2, c.y2, c.c1, c.c2, 1500), c.key)
            << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
}

TEST(RankKeys, EndClassTable) {
    // (sector, layer) of both ends: inside one layer, inside any, clipped one, clipped any.
    EXPECT_EQ(RankEndClass(0, 1, 0, 1), 2);
    EXPECT_EQ(RankEndClass(0, 1, 0, 2), 1);
    EXPECT_EQ(RankEndClass(0, 0, 0, 0), 7); // both "any" count as the same layer
    EXPECT_EQ(RankEndClass(4, 1, 6, 1), 6);
    EXPECT_EQ(RankEndClass(4, 1, 6, 2), 5);
    EXPECT_EQ(RankEndClass(0, 1, 3, 0), 9);
    EXPECT_EQ(RankEndClass(2, 0, 0, 0), 11);
    EXPECT_EQ(RankEndClass(7, 0, 3, 0), 12);
}

TEST(RankHeapSort, EqualKeysComeOutInTheSiftsOrder) {
    RankKey keys[6];
    for (int32_t i = 1; i <= 5; ++i)
        keys[i] = Key(i);
    heapSort(keys, 5);
    EXPECT_EQ(Objs(keys, 5), (std::vector<int32_t>{2, 3, 4, 5, 1}));
}

TEST(RankHeapSort, SortsByTheFieldOrder) {
    std::mt19937 rng(7);
    std::vector<RankKey> keys(201);
    for (int32_t i = 1; i <= 200; ++i) {
        RankKey& k = keys[i];
        k = Key(i, int32_t(rng() % 3), int32_t(rng() % 3), int32_t(rng() % 3));
        k.netRank = int16_t(rng() % 2);
        k.size = int16_t(rng() % 2);
        k.endClass = int16_t(rng() % 3);
    }
    heapSort(keys.data(), 200);
    for (int32_t i = 1; i < 200; ++i)
        EXPECT_FALSE(RankLess(keys[i + 1], keys[i])) << i;
    // The component pair decides before the end class although stored after it.
    RankKey a = Key(1, 1), b = Key(2, 2);
    a.endClass = 9;
    EXPECT_TRUE(RankLess(a, b));
}

class RankTest : public GoalConnTest {
  protected:
    void SetUp() override {
        GoalConnTest::SetUp();
        Open();
        MzGoal& g = *Goal();
        g.pass = 1;
        g.partialMode = 1;
        g.state = kGoalSweepWindows;
        CurSweep().passFlags[1] = kPassPartial;
        CurSweep().curPrimary = 8;
        g_router.header.value212[2] = 9000; // the window origin
        g_router.header.value212[3] = 9000;
    }
    // An unrouted gap from U1 pin 1 to U2 pin 1 (both inside the window).
    static int32_t Gap(int32_t net = 1, int32_t y = 30000) {
        return StoreEnds(net, 1, 1, 2, 1, {{15000, y, 0}, {39000, y, 0}});
    }
    static int32_t Rank() {
        AltPush();
        RankRoutes();
        AltPop(true);
        return Goal()->remainingCount;
    }
    // The route order from the head.
    static std::vector<int32_t> Order() {
        std::vector<int32_t> out;
        for (int32_t e = Goal()->nextObj; e && out.size() < 5000; e = ObjEntry(e)->link)
            out.push_back(e);
        return out;
    }
};

TEST_F(RankTest, NoCandidateLeavesCountAndHeadZero) {
    const int32_t held = Gap();
    ObjEntry(held)->flags |= kObjFlagHeld;
    Goal()->nextObj = 77;
    EXPECT_EQ(Rank(), 0);
    EXPECT_EQ(Goal()->nextObj, 0);
    EXPECT_EQ(ObjEntry(held)->link, -1);
    EXPECT_TRUE(ObjEntry(held)->flags & kObjFlagLeftOut);
}

TEST_F(RankTest, LeftOutConnectionsAndTheOrderList) {
    DebugSetFlags(1, 0);
    const int32_t a = Gap(1, 30000);
    const int32_t noRoute = Gap(1, 31500);
    const int32_t node = StoreEnds(1, 0, 1, 2, 1, {{15000, 33000, 0}, {39000, 33000, 0}});
    const int32_t b = Gap(2, 34500);
    const int32_t outside = StoreEnds(1, 1, 1, 2, 1, {{15000, 70000, 0}, {39000, 70000, 0}});
    ObjEntry(noRoute)->flags |= kObjFlagNoRoute;
    ObjEntry(a)->flags |= kObjFlagLeftOut; // cleared by the ranking
    EXPECT_EQ(Rank(), 2);
    const std::vector<int32_t> order = Order();
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(std::set<int32_t>(order.begin(), order.end()), (std::set<int32_t>{a, b}));
    EXPECT_EQ(ObjEntry(order[1])->link, 0);
    for (int32_t e : {noRoute, node, outside}) {
        EXPECT_TRUE(ObjEntry(e)->flags & kObjFlagLeftOut) << e;
        EXPECT_EQ(ObjEntry(e)->link, -1) << e;
    }
    EXPECT_FALSE(ObjEntry(a)->flags & kObjFlagLeftOut);
    EXPECT_EQ(Goal()->conn, 0);
    EXPECT_EQ(Goal()->objIndex, 0);
    EXPECT_TRUE(Traced("RankRoutes: starting"));
    EXPECT_TRUE(Traced("heapSort: finished"));
    EXPECT_TRUE(Traced("RankRoutes: complete"));
}

TEST_F(RankTest, WiderTracksComeFirstOnSeveralLayers) {
    for (int32_t n = 1; n <= 2; ++n) {
        Layer l;
        LayerGet(n, &l);
        l.flags |= kLayerEnabled;
        LayerPut(n, &l);
    }
    const int32_t narrow = Gap(1, 30000);
    const int32_t wide = StoreEnds(1, 1, 1, 2, 1, {{15000, 36000, 0}, {39000, 36000, 0}}, true, 40);
    ASSERT_EQ(Rank(), 2);
    EXPECT_EQ(Order(), (std::vector<int32_t>{wide, narrow}));
}

TEST_F(RankTest, HeavierNetsComeFirst) {
    Net n;
    NetGet(2, &n);
    n.weight = 80; // the default is 50
    NetPut(2, &n);
    const int32_t light = Gap(1, 30000);
    const int32_t heavy = Gap(2, 31500);
    ASSERT_EQ(Rank(), 2);
    EXPECT_EQ(Order(), (std::vector<int32_t>{heavy, light}));
}

TEST_F(RankTest, WindowTestByPassFlags) {
    // A gap reaching out of the window on the right: only PARTIAL accepts it.
    const int32_t out = StoreEnds(1, 1, 1, 2, 2, {{15000, 30000, 0}, {57000, 30000, 0}});
    const int32_t in = Gap(1, 33000);
    Goal()->partialMode = 0;
    CurSweep().passFlags[1] = 0;
    EXPECT_EQ(Rank(), 1);
    EXPECT_TRUE(ObjEntry(out)->flags & kObjFlagLeftOut);
    CurSweep().passFlags[1] = kPassPartial;
    EXPECT_EQ(Rank(), 2);
    // VIAREDUCE wants a via inside the window; REROUTE skips the gap test.
    CurSweep().passFlags[1] = kPassViaReduce | kPassPartial;
    EXPECT_EQ(Rank(), 0);
    const int32_t via =
        StoreEnds(1, 1, 1, 2, 1, {{15000, 36000, 1}, {27000, 36000, 0, 1}, {39000, 36000, 0}});
    EXPECT_EQ(Rank(), 1);
    EXPECT_EQ(Goal()->nextObj, via);
    const int32_t routed = StoreEnds(1, 1, 1, 2, 1, {{15000, 39000, 1}, {39000, 39000, 0}});
    CurSweep().passFlags[1] = kPassReroute;
    EXPECT_EQ(Rank(), 3); // every connection with both ends inside
    EXPECT_FALSE(ObjEntry(routed)->flags & kObjFlagLeftOut);
    EXPECT_TRUE(ObjEntry(out)->flags & kObjFlagLeftOut);
    (void)in;
}

TEST_F(RankTest, KeysStopAtTheCap) {
    for (int32_t i = 0; i < kRankKeysMax + 2; ++i)
        Gap(1, 30000);
    EXPECT_EQ(Rank(), kRankKeysMax);
    int32_t unranked = 0, flagged = 0;
    for (int32_t e = ObjFirstConn(); e <= ObjLastConn(); ++e) {
        unranked += ObjEntry(e)->link == -1;
        flagged += (ObjEntry(e)->flags & kObjFlagLeftOut) != 0;
    }
    EXPECT_EQ(unranked, 2);
    EXPECT_EQ(flagged, 0);
    EXPECT_EQ(Order().size(), size_t(kRankKeysMax));
    // The activity log says how many were left out.
    std::ifstream in(m_folder / "Pelvane.Log", std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(log.find("Rank table full: 2 connections left out of the pass\r\n"),
              std::string::npos)
        << log;
}

TEST_F(RankTest, GroupingOfRuns) {
    // Keys in sorted order: a run of five of pair P with three equal direction
    // keys from its third key, then two keys of another pair.
    const int32_t p = (1 << 16) + 2;
    RankKey keys[8] = {{},           Key(1, p, 5), Key(2, p, 6), Key(3, p, 9),
                       Key(4, p, 9), Key(5, p, 9), Key(6, 7, 1), Key(7, 7, 1)};
    // Connections 3..5 are needed by the bus reordering: horizontal ones.
    for (int32_t i = 1; i <= 7; ++i)
        keys[i].obj = int16_t(Gap(1, 30000 + 1500 * i));
    const int16_t o1 = keys[1].obj, o2 = keys[2].obj;
    const int16_t o3 = keys[3].obj, o4 = keys[4].obj, o5 = keys[5].obj;
    EXPECT_EQ(rankGroup(keys, 7), 1);
    // The block 3..5 is brought to the front of the run by two exchanges.
    EXPECT_EQ(keys[1].obj, o3);
    EXPECT_EQ(keys[2].obj, o4);
    EXPECT_EQ(keys[3].obj, o5);
    for (int32_t i = 1; i <= 3; ++i) // a bus: low bytes 1 and 2 differ; 9 / 3
        EXPECT_EQ(keys[i].compPair, kRankCompsDiffer + 3) << i;
    // One row per connection: each its own mean.
    for (int32_t i = 1; i <= 3; ++i)
        EXPECT_EQ(keys[i].approach, 0);
    // The keys that stood before the block are walked again: two left of P.
    EXPECT_EQ(keys[4].obj, o1);
    EXPECT_EQ(keys[5].obj, o2);
    for (int32_t i = 4; i <= 7; ++i)
        EXPECT_EQ(keys[i].compPair, kRankUngrouped) << i;
}

TEST_F(RankTest, BusRowsAndMixedGroups) {
    // A vertical bus of four: two rows (x 15,000 and 18,000).
    const int32_t p = (1 << 16) + 2;
    RankKey bus[5];
    const int32_t xs[4] = {18000, 15000, 18000, 15000}, ys[4] = {30000, 30000, 36000, 39000};
    for (int32_t i = 1; i <= 4; ++i) {
        const int32_t e =
            StoreEnds(1, 1, 1, 2, 1, {{xs[i - 1], ys[i - 1], 0}, {xs[i - 1], 48000, 0}});
        bus[i] = Key(e, p, 3);
    }
    EXPECT_EQ(rankGroup(bus, 4), 1);
    // Sorted by x, then y; each row's approach is -|y - row mean|.
    std::vector<int32_t> approaches;
    for (int32_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(bus[i].compPair, kRankCompsDiffer + 0) << i; // 3 / 4
        approaches.push_back(bus[i].approach);
    }
    EXPECT_EQ(approaches, (std::vector<int32_t>{-4500, -4500, -3000, -3000}));

    // Mixed direction keys: a group of three is ungrouped, of four large.
    RankKey three[4] = {{}, Key(1, p, 1), Key(2, p, 2), Key(3, p, 3)};
    EXPECT_EQ(rankGroup(three, 3), 1);
    for (int32_t i = 1; i <= 3; ++i)
        EXPECT_EQ(three[i].compPair, kRankUngrouped);
    const int32_t same = (1 << 16) + 257; // low bytes equal
    RankKey four[5] = {{}, Key(1, same, 10), Key(2, same, 20), Key(3, same, 30), Key(4, same, 60)};
    EXPECT_EQ(rankGroup(four, 4), 1);
    for (int32_t i = 1; i <= 4; ++i) // mean 30, divided by 4 once more
        EXPECT_EQ(four[i].compPair, kRankLargeMixed + 7);
}

TEST_F(RankTest, OneEnabledLayerKeepsTheGroupingOrder) {
    // Three gaps of one component pair and direction form a bus, sorted by
    // y and then alike in every key; on two layers the second sort permutes
    // the equal keys, on one layer the grouping's order stays.
    for (int32_t n = 1; n <= 2; ++n) {
        Layer l;
        LayerGet(n, &l);
        l.flags |= kLayerEnabled;
        LayerPut(n, &l);
    }
    ASSERT_EQ(LayerCountEnabled(), 2);
    const int32_t a = Gap(1, 36000), b = Gap(1, 30000), c = Gap(1, 33000);
    ASSERT_EQ(Rank(), 3);
    EXPECT_EQ(Order(), (std::vector<int32_t>{c, a, b}));
    Layer l;
    LayerGet(2, &l);
    l.flags &= uint16_t(~kLayerEnabled);
    LayerPut(2, &l);
    ASSERT_EQ(LayerCountEnabled(), 1);
    ASSERT_EQ(Rank(), 3);
    EXPECT_EQ(Order(), (std::vector<int32_t>{b, c, a}));
}

TEST_F(RankTest, WindowCornerDetour) {
    // A gap from the top left to the bottom right, both ends outside the
    // window box, stepping +x: the detour goes through corner 3 (top right).
    const int32_t e = StoreEnds(1, 1, 1, 2, 1, {{3000, 57000, 0}, {57000, 3000, 0}});
    const int32_t c = ObjEntry(e)->index;
    const int32_t ok = Gap(1, 30000);
    AltPush();
    RankRoutes();
    EXPECT_EQ(Goal()->remainingCount, 1);
    EXPECT_EQ(Goal()->nextObj, ok);
    EXPECT_TRUE(ObjEntry(e)->flags & kObjFlagLeftOut);
    Conn rec;
    ConnReadJournal(c, &rec);
    ASSERT_EQ(rec.head.count, 3);
    const int32_t x = rec.crn[1].x, y = rec.crn[1].y;
    EXPECT_EQ(x, MzWorldX(2 * 40 - kMazeBorder));
    EXPECT_EQ(y, MzWorldY(2 * 40 - kMazeBorder));
    EXPECT_EQ(rec.crn[0].layer, 0);
    EXPECT_EQ(rec.crn[1].layer, 0);
    AltPop(false);
    EXPECT_EQ(ConnRef(c)->head.count, 2); // the change follows the level

    // A window covering the whole board never detours.
    CurSweep().curPrimary = 16;
    EXPECT_EQ(Rank(), 2);
    EXPECT_EQ(ConnRef(c)->head.count, 2);
}

} // namespace
