// The next-component ranking: the key's fields and their caps, the nets
// left out of the component-net lists, which components qualify, the
// fallback to the whole board, the cut at max and the traces. Orders are
// only compared where the keys differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "place/plnext.h"
#include "plfixture.h"

namespace {

class PlNextTest : public PlaceTest {
  protected:
    void SetUp() override {
        PlaceTest::SetUp();
        PlCompNetsFree();
        SetHeader(1);
        AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
        r2 = RowSymbol("R2", 2, 1000, both);
        r40 = RowSymbol("R40", 40, 100, both);
    }
    void TearDown() override {
        PlCompNetsFree();
        PlaceTest::TearDown();
    }
    static void Select(std::initializer_list<int32_t> cs) {
        AltPush();
        for (int32_t c : cs)
            Store(c, Comp(c));
    }
    static std::vector<int16_t> Ranked(int32_t max = kPlNextMax) {
        std::vector<int16_t> out(kPlNextMax);
        out.resize(size_t(PlNext(out.data(), max)));
        return out;
    }
    int32_t r2 = 0, r40 = 0;
};

constexpr uint32_t State(int32_t s) {
    return uint32_t(s) << kPlNextStateShift;
}

TEST_F(PlNextTest, PinClassStateAndFlagBits) {
    const int32_t r1 = RowSymbol("R1", 1, 100, both), r6 = RowSymbol("R6", 6, 100, both),
                  r30 = RowSymbol("R30", 30, 100, both);
    const int32_t master = AddPart(r2, {.x = 1000, .y = 1000});
    const struct {
        int32_t symbol;
        Part part;
        uint32_t key;
    } cases[] = {
        {r1, {.x = 5000, .y = 5000, .flags = kPlCompUnplaced}, 0 | State(2)},
        {r6, {.x = 5000, .y = 5000, .flags = kPlCompUnplaced}, 3 | State(2)},
        {r30, {.x = 5000, .y = 5000}, 15},
        {r40, {.x = 5000, .y = 5000}, 15},
        {r2,
         {.x = 5000, .y = 5000, .flags = kPlCompUnplaced, .master = int16_t(master)},
         1 | State(3)},
        {r2, {.x = 40000, .y = 5000}, 1 | State(1)},
        {r2, {.x = 5000, .y = 5000, .flags = kPlCompNextFlag80}, 1 | kPlNextFlag80Bit},
        {r2, {.x = 5000, .y = 5000, .flags = kPlCompClusterMember}, 1 | kPlNextMemberBit},
    };
    std::vector<int32_t> cs;
    for (const auto& k : cases)
        cs.push_back(AddPart(k.symbol, k.part));
    const std::vector<uint8_t> none(1, 0);
    for (size_t i = 0; i < cs.size(); ++i)
        EXPECT_EQ(PlNextKey(cs[i], none), cases[i].key) << i;
}

TEST_F(PlNextTest, NetWeightsOfPlacedAndSelectedNeighboursWithCaps) {
    const int32_t cand = AddPart(r2, {.x = 5000, .y = 5000, .flags = kPlCompUnplaced});
    const int32_t placed = AddPart(r2, {.x = 9000, .y = 5000});
    const int32_t offBoard = AddPart(r2, {.x = 40000, .y = 5000});
    Connect(AddNet(50), cand, 1, placed, 1);                            // 6 placed, 6 chosen
    Connect(AddNet(255, 16, kPlNetNoRoute), cand, 1, placed, 1);        // left out
    Connect(AddNet(255, 16 | kPlNetStyleExcluded), cand, 1, placed, 1); // left out
    Connect(AddNet(99), cand, 2, offBoard, 1);                          // 10 chosen only
    EXPECT_EQ(PlCompNets()[size_t(cand)].size(), 2u);
    Select({cand});
    std::vector<int16_t> out(4);
    ASSERT_EQ(PlNext(out.data(), 4), 1);
    EXPECT_EQ(out[0], cand);
    std::vector<uint8_t> flags(size_t(NetCount()) + 1, 0);
    flags[1] = kPlNetTouchesChosen | kPlNetTouchesPlaced;
    flags[4] = kPlNetTouchesChosen;
    EXPECT_EQ(PlNextKey(cand, flags), 1u | 6u << 4 | 16u << 16 | State(2));
    AltPop(false);

    // 170 nets of weight 26 each: both sums hit their caps
    PlCompNetsFree();
    for (int32_t i = 0; i < 170; ++i)
        Connect(AddNet(255), cand, 1, placed, 2);
    flags.assign(size_t(NetCount()) + 1, kPlNetTouchesChosen | kPlNetTouchesPlaced);
    EXPECT_EQ(PlNextKey(cand, flags), 1u | 4095u << 4 | 1023u << 16 | State(2));
}

TEST_F(PlNextTest, WhoQualifies) {
    const int32_t master = AddPart(r2, {.x = 1000, .y = 1000});
    const struct {
        Part part;
        bool yes;
    } cases[] = {
        {{.x = 5000, .y = 5000}, false},
        {{.x = 5000, .y = 5000, .flags = kPlCompNextFlag80}, false},
        {{.x = 5000, .y = 5000, .flags = kPlCompUnplaced}, true},
        {{.x = 5000, .y = 5000, .flags = kPlCompChosen}, true},
        {{.x = 5000, .y = 5000, .flags = kPlCompClusterMember}, true},
        {{.x = 5000, .y = 5000, .master = int16_t(master)}, true},
        {{.x = 40000, .y = 5000}, true},
        {{.x = 5000, .y = 5000, .flags = kPlCompUnplaced | kPlCompLocked}, false},
        {{.x = 5000, .y = 5000, .flags = kPlCompUnplaced | kPlCompFixed}, false},
        {{.x = 5000, .y = 5000, .flags = kPlCompUnplaced | kPlCompLeftOut}, false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const int32_t c = AddPart(r2, cases[i].part);
        EXPECT_EQ(PlNextQualifies(PlCompRef(c)), cases[i].yes) << i;
    }
}

TEST_F(PlNextTest, RanksTheLevelBestFirstAndCutsAtMax) {
    const int32_t small = AddPart(r2, {.x = 5000, .y = 5000, .flags = kPlCompUnplaced});
    const int32_t big = AddPart(r40, {.x = 5000, .y = 9000, .flags = kPlCompUnplaced});
    const int32_t member =
        AddPart(r2, {.x = 9000, .y = 5000, .flags = kPlCompUnplaced, .master = int16_t(small)});
    const int32_t outside = AddPart(r2, {.x = 1000, .y = 1000, .flags = kPlCompUnplaced});
    const int32_t placed = AddPart(r2, {.x = 1000, .y = 5000});
    Select({small, big, member, placed});
    TraceCapture trace;
    EXPECT_EQ(Ranked(), (std::vector<int16_t>{int16_t(member), int16_t(big), int16_t(small)}));
    EXPECT_EQ(Ranked(2), (std::vector<int16_t>{int16_t(member), int16_t(big)}));
    const std::vector<std::string> want{"buildCompNetTable: Starting", "buildCompNetTable: Done",
                                        "buildNetFlagTable: starting", "buildNetFlagTable: Done"};
    for (const std::string& line : want)
        EXPECT_NE(std::find(TraceCapture::Lines().begin(), TraceCapture::Lines().end(), line),
                  TraceCapture::Lines().end())
            << line;
    (void)outside;
}

TEST_F(PlNextTest, AFixedSelectionRanksTheWholeBoardAndNothingGivesZero) {
    const int32_t fixed = AddPart(r2, {.x = 5000, .y = 5000, .flags = kPlCompFixed});
    const int32_t a = AddPart(r2, {.x = 9000, .y = 5000, .flags = kPlCompUnplaced});
    const int32_t b = AddPart(r40, {.x = 40000, .y = 5000});
    AddPart(r2, {.x = 1000, .y = 1000});
    Select({fixed});
    const std::vector<int16_t> all = Ranked();
    EXPECT_EQ(std::set<int16_t>(all.begin(), all.end()),
              (std::set<int16_t>{int16_t(a), int16_t(b)}));
    AltPop(false);

    Component r = Comp(a);
    r.flags = kPlCompLeftOut | kPlCompUnplaced;
    CompPut(a, &r);
    r = Comp(b);
    r.x = r.minX = 5000; // on the board now: placed, nothing to offer
    CompPut(b, &r);
    Select({fixed});
    EXPECT_TRUE(Ranked().empty());
}

} // namespace
