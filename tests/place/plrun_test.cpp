// The Proximity Place run: the generator, the cooling and acceptance
// rules, the grid snap, and seeded runs on a scrambled row of two-pin
// parts (fixed parts stay, unselected parts stay, the score falls, one
// golden placement, abort, progress text).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "db/lang.h"
#include "headless/ascio.h"
#include "headless/msgprompt.h"
#include "place/plmove.h"
#include "place/plrandom.h"
#include "place/plrun.h"
#include "place/plscore.h"
#include "plfixture.h"

namespace {

TEST(PlRandomTest, LinearCongruentialFifteenBitValues) {
    PlRandomSeed(1);
    EXPECT_EQ(PlRandom(), 16838);
    EXPECT_EQ(PlRandom(), 5758);
    EXPECT_EQ(PlRandom(), 10113);
    PlRandomSeed(1);
    EXPECT_EQ(PlRandom(), 16838);
    PlRandomSeed(0xFFFFFFFFu);
    const int32_t v = PlRandom();
    EXPECT_GE(v, 0);
    EXPECT_LE(v, kPlRandomMax);
}

class PlRunTest : public PlaceTest {
  protected:
    void SetUp() override {
        PlaceTest::SetUp();
        LangInit();
        HeadlessMsgPromptReset();
        SetHeader(1, 1000);
        AddRect(kObsBoardOutline, 0, 0, 0, 30000, 30000);
        r2 = RowSymbol("R2", 2, 1000, int16_t(both));
        AddRect(kObsPlaceOutline, r2, -300, -300, 300, 1300);
    }
    // n parts in a chain of nets, placed scattered over the board.
    void Row(int32_t n, uint16_t firstFlags = 0, uint16_t lastFlags = 0) {
        for (int32_t i = 0; i < n; ++i) {
            Part p;
            p.x = 2000 + (i * 7919) % 26000;
            p.y = 2000 + (i * 5281) % 26000;
            p.flags = i == 0 ? firstFlags : i == n - 1 ? lastFlags : 0;
            parts.push_back(AddPart(r2, p));
        }
        for (int32_t i = 0; i + 1 < n; ++i)
            Connect(AddNet(), parts[size_t(i)], 2, parts[size_t(i) + 1], 1);
    }
    // The score total of the design as it stands.
    static int64_t Total() {
        PlModelOpen(nullptr);
        PlScoreStart();
        const int64_t t = g_plRun.W + g_plRun.X + g_plRun.Y;
        PlModelFree();
        return t;
    }
    int32_t Run(const uint8_t* mask, int16_t attempts = 10, int16_t cooling = 90) {
        AltPush();
        const int32_t r = PlRun(mask, attempts, cooling, 0);
        AltPop(true);
        return r;
    }
    int32_t r2 = 0;
    std::vector<int32_t> parts;
};

TEST_F(PlRunTest, CoolingFactorAndTemperature) {
    const struct {
        int32_t p;
        double r;
    } cases[] = {{100, 0.99}, {99, 0.998}, {50, 0.9}, {0, 0}, {25, 0.45}, {75, 0.95}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(PlCoolingFactor(c.p), c.r) << c.p;
    EXPECT_FATAL(PlCoolingFactor(-1), kErrPlCooling);
    EXPECT_FATAL(PlCoolingFactor(101), kErrPlCooling);
    EXPECT_EQ(PlNextTemperature(0.9, 100), 90);
    EXPECT_EQ(PlNextTemperature(0.99, 10), 9); // 9.9 rounds to 10, at most T - 1
    EXPECT_EQ(PlNextTemperature(0, 500), 0);
    EXPECT_EQ(PlNextTemperature(0.99, 0), 0);
}

TEST_F(PlRunTest, AcceptanceTableAndTest) {
    PlAcceptTableBuild();
    EXPECT_EQ(g_plRun.acceptTable[0], 32767);
    EXPECT_EQ(g_plRun.acceptTable[353], 32767);
    EXPECT_EQ(g_plRun.acceptTable[354], 16383);
    EXPECT_EQ(g_plRun.acceptTable[4095], 10);
    PlRandomSeed(7);
    EXPECT_TRUE(PlAccept(0, 0));
    EXPECT_TRUE(PlAccept(-5, 1));
    EXPECT_FALSE(PlAccept(1, 1));
    EXPECT_FALSE(PlAccept(8, 1)); // k = 4096
    EXPECT_FALSE(PlAccept(9000, 1000));
    // A change whose scaled value passes 32 bits is measured, not wrapped.
    EXPECT_TRUE(PlAccept(4194304, int64_t(1) << 31));
    EXPECT_FALSE(PlAccept(int64_t(1) << 40, 1000));
}

TEST_F(PlRunTest, SnapRoundsToTheNearestStepHalvesUpward) {
    const int32_t cases[][3] = {{8, 4, 8},   {7, 4, 8},   {6, 4, 8}, {5, 4, 4},
                                {-6, 4, -4}, {-7, 4, -8}, {3, 1, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(PlSnap(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

TEST_F(PlRunTest, PhaseTwoSpotsStayWithinThreeStepsOnTheGrid) {
    Row(3);
    PlModelOpen(nullptr);
    g_plRun.xStep = g_plRun.yStep = 1000;
    g_plRun.xRange = g_plRun.yRange = 3000;
    const PlaceNode& n = g_placeModel.nodes[2];
    PlRandomSeed(9);
    for (int32_t k = 0; k < 200; ++k) {
        int32_t x, y;
        PlRandomSpot(2, 2, &x, &y);
        EXPECT_EQ(x % 1000, 0);
        EXPECT_EQ(y % 1000, 0);
        EXPECT_LE(std::abs(x - n.x), 3500);
        EXPECT_LE(std::abs(y - n.y), 3500);
    }
    // Phase 1 draws anywhere in the area the box allows.
    for (int32_t k = 0; k < 200; ++k) {
        int32_t x, y;
        PlRandomSpot(2, 1, &x, &y);
        EXPECT_GE(x, 0);
        EXPECT_LE(x, 30000);
        EXPECT_GE(y, 0);
        EXPECT_LE(y, 30000);
    }
}

TEST_F(PlRunTest, ChainMemberOutOfRangeIsFatal) {
    Row(2);
    PlModelOpen(nullptr);
    g_placeModel.nodes[1].chainLink = 99;
    EXPECT_FATAL(PlNodeMove(1, 10, 10, 0, 0), kErrPlChainMember);
    g_placeModel.nodes[1].chainLink = 2;
    const int32_t x2 = g_placeModel.nodes[2].x;
    PlNodeMove(1, 10, 10, 0, 0);
    EXPECT_EQ(g_placeModel.nodes[2].x, x2 + 10);
}

TEST_F(PlRunTest, FullRunLowersTheScoreAndLeavesFixedPartsAlone) {
    Row(8, kPlCompFixed);
    const Component fixed = Comp(parts[0]);
    const int64_t before = Total();
    PlRandomSeed(1);
    EXPECT_EQ(Run(nullptr), 1);
    EXPECT_LT(Total(), before);
    const Component after = Comp(parts[0]);
    EXPECT_EQ(after.x, fixed.x);
    EXPECT_EQ(after.y, fixed.y);
    for (int32_t c : parts)
        EXPECT_FALSE(Comp(c).flags & kPlCompUnplaced) << c;
    EXPECT_GT(HeadlessMsgPromptCount(), 0);
    EXPECT_EQ(std::string(HeadlessMsgPromptText()).rfind("Proximity Place: ", 0), 0u);
    EXPECT_EQ(g_plRun.pool, 0);
    EXPECT_FALSE(g_placeModel.open);
}

TEST_F(PlRunTest, GoldenPlacementOfASmallBoard) {
    Row(5);
    PlRandomSeed(12345);
    EXPECT_EQ(Run(nullptr, 5, 80), 1);
    std::string got;
    for (int32_t c : parts)
        got += std::to_string(Comp(c).x) + "," + std::to_string(Comp(c).y) + " ";
    EXPECT_EQ(got, "5000,23000 6000,24000 7000,23000 7000,25000 6000,27000 ");
}

TEST_F(PlRunTest, SelectedOnlyRunMovesOnlyTheSelection) {
    Row(6);
    std::vector<uint8_t> mask(parts.size() + 1, 0);
    mask[3] = mask[4] = 1;
    std::vector<Component> before;
    for (int32_t c : parts)
        before.push_back(Comp(c));
    PlRandomSeed(3);
    EXPECT_EQ(Run(mask.data()), 1);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (mask[size_t(parts[i])]) continue;
        EXPECT_EQ(Comp(parts[i]).x, before[i].x) << i;
        EXPECT_EQ(Comp(parts[i]).y, before[i].y) << i;
    }
    EXPECT_EQ(HeadlessMsgPromptCount(), 0);
}

TEST_F(PlRunTest, OneListedPartAndAnAbort) {
    Row(3, kPlCompLocked, kPlCompFixed);
    PlRandomSeed(5);
    EXPECT_EQ(Run(nullptr), 1); // the only listed part never swaps with itself
    const Component placed = Comp(parts[1]);
    HeadlessAbortAfter(3);
    AltPush();
    EXPECT_EQ(PlRun(nullptr, 10, 90, kPlRunRecon), 0);
    EXPECT_EQ(g_placeModel.runOptions, 0);
    EXPECT_FALSE(g_placeModel.open);
    AltPop(false);
    EXPECT_EQ(Comp(parts[1]).x, placed.x);
    HeadlessAbortAfter(-1);
}

} // namespace
