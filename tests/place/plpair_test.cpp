// Pin pairs: the per-net tables and their end rules, distance kinds, the
// two pairing modes, the tree length, and the pairs of a selection.
#include <gtest/gtest.h>

#include <string>

#include "place/plmodel.h"
#include "place/plpair.h"
#include "plfixture.h"

namespace {

class PlPairTest : public PlaceTest {
  protected:
    void SetUp() override {
        PlaceTest::SetUp();
        SetHeader(1);
        AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
        one = RowSymbol("ONE", 1, 100, int16_t(both));
        two = RowSymbol("TWO", 2, 1000, int16_t(both));
        table = std::make_unique<PlPairTable>();
        AltPush();
    }
    int32_t Pin(int32_t x, int32_t y, Part p = {}) {
        p.x = x;
        p.y = y;
        return AddPart(one, p);
    }
    std::vector<uint8_t> Mask(std::initializer_list<int32_t> selected) {
        std::vector<uint8_t> m(size_t(CompCount()) + 1, 0);
        for (int32_t c : selected)
            m[size_t(c)] = 1;
        return m;
    }
    // The table's entries as "c1.p1(x1,y1)-c2.p2(x2,y2)", in order.
    static std::vector<std::string> Texts(const PlPairTable& t) {
        std::vector<std::string> out;
        for (int32_t k = 0; k < t.count; ++k) {
            const PlPairEntry& e = t.entry[k];
            auto end = [](int32_t c, int32_t p, int32_t x, int32_t y) {
                auto v = [](int32_t z) {
                    return z == kPairFar ? std::string("far") : std::to_string(z);
                };
                return std::to_string(c) + "." + std::to_string(p) + "(" + v(x) + "," + v(y) + ")";
            };
            out.push_back(end(e.comp1, e.pin1, e.x1, e.y1) + "-" +
                          end(e.comp2, e.pin2, e.x2, e.y2));
        }
        return out;
    }
    using Strings = std::vector<std::string>;
    int32_t one = 0, two = 0;
    std::unique_ptr<PlPairTable> table;
};

TEST_F(PlPairTest, TablesFollowTheEndRules) {
    const int32_t a = Pin(1000, 1000);
    const int32_t b = Pin(3000, 1000);
    const int32_t m = Pin(9000, 9000);
    const int32_t c1 = Pin(5000, 5000, {.master = int16_t(m)});
    const int32_t c2 = Pin(5500, 5000, {.master = int16_t(m)});
    const int32_t u = Pin(7000, 7000, {.flags = kPlCompUnplaced});
    const int32_t net = AddNet();
    // Connections are listed newest first.
    Connect(net, a, 1, b, 1);
    Connect(net, a, 1, 0, 0, 100, 100); // a free end: far away
    Connect(net, 0, 0, 0, 0, 100, 100); // both ends free: no entry
    Connect(net, u, 1, a, 1);           // an unplaced first end
    Connect(net, b, 1, u, 1);           // an unplaced second end
    Connect(net, c1, 1, c2, 1);         // one cluster: no entry
    Connect(net, c1, 1, a, 1);          // a member stands for its master
    const int32_t norouteNet = AddNet(50, 16, kPlNetNoRoute);
    Connect(norouteNet, a, 1, b, 1);
    const int32_t emptyNet = AddNet();
    PlNetPinTable();
    EXPECT_EQ(PlNetPairsGet(net, table.get()), 5);
    EXPECT_EQ(Texts(*table),
              (Strings{"3.0(9000,9000)-1.1(1000,1000)", "2.1(3000,1000)-0.0(3000,1000)",
                       "0.0(far,far)-1.1(1000,1000)", "1.1(1000,1000)-0.0(far,far)",
                       "1.1(1000,1000)-2.1(3000,1000)"}));
    EXPECT_EQ(table->entry[0].net, net);
    EXPECT_EQ(PlNetPairsGet(norouteNet, table.get()), 0);
    EXPECT_EQ(table->flags, kPairNoRoute);
    EXPECT_EQ(PlNetPairsGet(emptyNet, table.get()), 0);
    const int32_t pool = g_pairs.pool;
    EXPECT_EQ(PoolOwner(pool), kErrPairPool);
    PlNetPinTableFree();
    EXPECT_EQ(PoolOwner(pool), 0);
    (void)c2;
}

TEST_F(PlPairTest, ANetOfMoreThan399ConnectionsHasNoTable) {
    const int32_t a = Pin(1000, 1000), b = Pin(2000, 1000);
    const int32_t net = AddNet();
    for (int32_t k = 0; k < 400; ++k)
        Connect(net, a, 1, b, 1);
    PlNetPinTable();
    EXPECT_EQ(PlNetPairsGet(net, table.get()), 0);
    EXPECT_EQ(g_pairs.nets[size_t(net)], nullptr);
}

TEST_F(PlPairTest, CollectorsByComponentAndPin) {
    const int32_t a = AddPart(two, {.x = 1000, .y = 1000});
    const int32_t b = Pin(3000, 1000);
    const int32_t n1 = AddNet(), n2 = AddNet();
    Connect(n1, a, 1, b, 1);
    Connect(n2, a, 1, a, 2);
    Connect(n2, b, 1, a, 2);
    EXPECT_EQ(PlPairsOfComp(a, table.get(), 0), 2);
    EXPECT_EQ(PlPairsOfComp(a, table.get(), 1), 4); // a-a counted twice
    EXPECT_EQ(PlPairsOfComp(b, table.get(), 0), 1);
    EXPECT_EQ(PlPairsOfPin(a, 2, table.get()), 2);
    EXPECT_EQ(PlPairsOfPin(b, 1, table.get()), 2);
    // Collectors stop at 399 entries.
    for (int32_t n : {n1, n2})
        for (int32_t k = 0; k < 250; ++k)
            Connect(n, a, 1, b, 1);
    PlNetPinTable();
    EXPECT_EQ(PlPairsOfComp(a, table.get(), 1), kPairMaxEntries);
    EXPECT_EQ(PlPairsOfPin(b, 1, table.get()), kPairMaxEntries);
}

TEST_F(PlPairTest, DistanceKindsAndTheNetMetric) {
    struct Case {
        int32_t kind;
        int64_t dx, dy, d;
    } cases[] = {{1, -3, 4, 7}, {2, 3, -4, 35}, {3, 3, 4, 28},
                 {4, 3, 4, 35}, {4, 4, 3, 35},  {5, 3, 4, 28}};
    for (const Case& k : cases)
        EXPECT_EQ(PairDistance(k.kind, k.dx, k.dy), k.d) << k.kind;
    EXPECT_FATAL(PairDistance(6, 1, 1), kErrPairDistKind);
    EXPECT_FATAL(PairDistance(0, 1, 1), kErrPairDistKind);
    struct Style {
        uint8_t style;
        int32_t kind;
    } styles[] = {{16, 1},   {0x14, 1}, {0x04, 2}, {0x06, 2}, {0x02, 3},
                  {0x0A, 3}, {0x08, 4}, {0x20, 5}, {0, 1}};
    for (const Style& s : styles)
        EXPECT_EQ(PairNetMetric(AddNet(50, s.style)), s.kind) << int32_t(s.style);
}

TEST_F(PlPairTest, SixPointsPairGreedilySevenByCandidateLinks) {
    for (int32_t n : {6, 7}) {
        PairWork w;
        w.kind = 1;
        for (int32_t k = 0; k < n; ++k)
            PairAddFree(w, {k * 10, 0, int16_t(k + 1), 1});
        PairAddFree(w, {20, 0, 99, 1}); // a point already there is not added
        ASSERT_EQ(w.free.size(), size_t(n));
        PairBuildTree(w);
        ASSERT_EQ(w.tree.size(), size_t(n - 1)) << n;
        int64_t sum = 0;
        for (const PairLink& l : w.tree)
            sum += l.cost;
        EXPECT_EQ(sum, (n - 1) * 10);
        // Greedy starts at the first point; candidate links at the last link
        // created, between the last two points.
        EXPECT_EQ(w.tree[0].a.comp, n == 6 ? 1 : 6) << n;
    }
}

TEST_F(PlPairTest, CandidateLinksTakeTheCheapestFrontierLink) {
    PairWork w;
    w.kind = 1;
    const int32_t xs[] = {0, 1000, 1010, 5000, 5005, 9000, 9100, 9150};
    for (int32_t k = 0; k < 8; ++k)
        PairAddFree(w, {xs[k], 0, int16_t(k + 1), 1});
    PairBuildTree(w);
    ASSERT_EQ(w.tree.size(), 7u);
    int64_t sum = 0;
    for (const PairLink& l : w.tree)
        sum += l.cost;
    EXPECT_EQ(sum, 9150); // the chain along the line
    EXPECT_TRUE(w.free.empty());
}

TEST_F(PlPairTest, ZeroCostLinksAreNotStored) {
    PairWork w;
    w.kind = 1;
    w.fixed.push_back({{100, 100, 1, 1}, {100, 100, 2, 1}, 0});
    PairAddFree(w, {100, 100, 3, 1}); // at a fixed end: not added
    PairAddFree(w, {400, 100, 4, 1});
    EXPECT_EQ(w.free.size(), 1u);
    PairBuildTree(w);
    table->count = 0;
    PairStoreTree(w, table.get());
    ASSERT_EQ(table->count, 1);
    EXPECT_EQ(table->entry[0].comp2, 4);
}

TEST_F(PlPairTest, NetLengthInPlacementUnits) {
    const int32_t a = Pin(1000, 1000), b = Pin(4000, 1000), c = Pin(4000, 3000);
    const int32_t d = Pin(1000, 1000); // at a's place
    const int32_t net = AddNet(), pair = AddNet(), steep = AddNet(50, 0x04);
    Connect(net, a, 1, b, 1);
    Connect(net, b, 1, c, 1);
    Connect(net, d, 1, c, 1);
    Connect(pair, a, 1, b, 1);
    Connect(steep, a, 1, c, 1);
    Connect(steep, b, 1, c, 1);
    PlModelOpen(nullptr);
    EXPECT_EQ(PairNetLength(net), 5000);
    EXPECT_EQ(PairNetLength(pair), 3000);
    EXPECT_EQ(PairNetLength(steep), 3000 + 8 * 2000);
}

// ---- selections ------------------------------------------------------------------

TEST_F(PlPairTest, SelectMarksTheNetsCrossingTheSelection) {
    const int32_t a = Pin(1000, 1000), b = Pin(3000, 1000), c = Pin(5000, 1000);
    const int32_t crossing = AddNet(), inside = AddNet(), outside = AddNet();
    Connect(crossing, a, 1, c, 1);
    Connect(inside, a, 1, b, 1);
    Connect(outside, c, 1, c, 1);
    EXPECT_FATAL(PairSelMask(), kErrPairNoMask);
    EXPECT_FATAL(PairsOfSelection(0, 0, 0, 0, 1, table.get()), kErrPairSelNoSelect);
    EXPECT_FATAL(PairUpdate(), kErrPairUpdNoSelect);
    auto mask = Mask({a, b});
    EXPECT_EQ(PairSelect(mask.data()), 1);
    EXPECT_TRUE(g_pairs.nets[size_t(crossing)]->flags & kPairMarked);
    EXPECT_FALSE(g_pairs.nets[size_t(inside)]->flags & kPairMarked);
    EXPECT_NE(g_pairs.selection[size_t(crossing)], nullptr);
    EXPECT_EQ(g_pairs.selection[size_t(outside)], nullptr);
    EXPECT_EQ(PairSelMask()[size_t(b)], 1);
    EXPECT_FATAL(PairsOfSelection(0, 0, 0, 0, 1, nullptr), kErrPairSelNoOut);
    mask = Mask({c});
    EXPECT_EQ(PairSelect(mask.data()), 1);
    EXPECT_FALSE(g_pairs.nets[size_t(inside)]->flags & kPairMarked);
}

TEST_F(PlPairTest, PairsOfSelectionRepairTheMovedNets) {
    const int32_t a = Pin(1000, 1000), b = Pin(3000, 1000), c = Pin(9000, 1000);
    const int32_t net = AddNet(), loose = AddNet(50, 16 | kPlNetStyleExcluded);
    Connect(net, a, 1, b, 1);
    Connect(net, b, 1, c, 1);
    Connect(loose, a, 1, c, 1);
    auto mask = Mask({c});
    PairSelect(mask.data());
    // c moved between a and b: the net is paired b-c (the first point and
    // its nearest), then c-a; the excluded net only follows the shift.
    PairsOfSelection(-7500, 0, -100, 50, 1, table.get());
    EXPECT_EQ(Texts(*table),
              (Strings{"2.1(3000,1000)-3.1(1500,1000)", "3.1(1500,1000)-1.1(1000,1000)",
                       "1.1(1000,1000)-3.1(8900,1050)"}));
    // Only the pairs with one selected end.
    PairsOfSelection(-7500, 0, 0, 0, 0, table.get());
    EXPECT_EQ(table->count, 3);
    mask = Mask({a, b});
    PairSelect(mask.data());
    PairsOfSelection(0, 0, 0, 0, 0, table.get());
    EXPECT_EQ(Texts(*table),
              (Strings{"2.1(3000,1000)-3.1(9000,1000)", "1.1(1000,1000)-3.1(9000,1000)"}));
}

TEST_F(PlPairTest, SelectedClusterEndsAreSpread) {
    const int32_t m = Pin(9000, 9000);
    const int32_t a = Pin(1000, 1000, {.master = int16_t(m)});
    const int32_t b = Pin(3000, 1000), c = Pin(3000, 5000);
    const int32_t n1 = AddNet(50, 16 | kPlNetStyleExcluded),
                  n2 = AddNet(50, 16 | kPlNetStyleExcluded);
    Connect(n1, a, 1, b, 1);
    Connect(n2, c, 1, a, 1);
    auto mask = Mask({m, a});
    PairSelect(mask.data());
    PairsOfSelection(0, 0, 0, 0, 1, table.get());
    // Entries name the master; two ends are spread half a turn apart.
    ASSERT_EQ(table->count, 2);
    EXPECT_EQ(table->entry[0].x1, 9000);
    EXPECT_EQ(table->entry[0].y1, 9000 + kPairSpread);
    EXPECT_EQ(table->entry[1].x2, 9000);
    EXPECT_EQ(table->entry[1].y2, 9000 - kPairSpread);
    // Nothing reached the output: no spread, no division by zero.
    mask = Mask({a, m, b, c});
    PairSelect(mask.data());
    PairsOfSelection(0, 0, 0, 0, 1, table.get());
    EXPECT_EQ(table->count, 0);
}

TEST_F(PlPairTest, UpdateRepairsMarkedNetsInTablesSizedForTheTree) {
    const int32_t a = Pin(1000, 1000), b = Pin(3000, 1000);
    const int32_t c = Pin(1000, 5000), d = Pin(3000, 5000);
    const int32_t net = AddNet();
    Connect(net, a, 1, b, 1);
    Connect(net, c, 1, d, 1);
    auto mask = Mask({a});
    PairSelect(mask.data());
    {
        TraceCapture traces;
        PairUpdate();
    }
    EXPECT_EQ(TraceCapture::Lines(), (Strings{"PairUpdate: updating net " + std::to_string(net)}));
    // Four points, three links: more than the two entries there were.
    EXPECT_EQ(PlNetPairsGet(net, table.get()), 3);
    EXPECT_EQ(table->entry[2].net, net);
    EXPECT_TRUE(table->flags & kPairMarked);
}

TEST_F(PlPairTest, ALoneFreePointBesideFixedPairsIsJoined) {
    const int32_t a = Pin(1000, 1000), b = Pin(3000, 1000), c = Pin(1000, 4000);
    const int32_t net = AddNet();
    Connect(net, a, 1, b, 1);
    Connect(net, a, 1, c, 1);
    auto mask = Mask({a, b});
    PairSelect(mask.data());
    PairsOfSelection(100, 0, 0, 0, 1, table.get());
    EXPECT_EQ(Texts(*table),
              (Strings{"1.1(1100,1000)-2.1(3100,1000)", "1.1(1100,1000)-3.1(1000,4000)"}));
}

TEST_F(PlPairTest, ANetOf51EntriesIsNotRepaired) {
    const int32_t a = Pin(1000, 1000);
    const int32_t net = AddNet();
    for (int32_t k = 0; k < 51; ++k)
        Connect(net, a, 1, Pin(2000 + 100 * k, 3000), 1);
    auto mask = Mask({a});
    PairSelect(mask.data());
    PlNetPairsGet(net, table.get());
    const Strings before = Texts(*table);
    PairUpdate();
    PlNetPairsGet(net, table.get());
    EXPECT_EQ(Texts(*table), before);
    PairsOfSelection(500, 0, 0, 0, 1, table.get());
    EXPECT_EQ(table->count, 51); // the selection's pairs unchanged
    EXPECT_EQ(table->entry[0].x1, 1000);
}

} // namespace
