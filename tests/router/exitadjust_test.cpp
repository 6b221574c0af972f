// Exit adjustment and via pull-back: the switches that turn them off, the
// argument checks, an exit point halfway to the next pin of another net,
// an adjustment the rule checker accepts and one it refuses, and the
// segments a via is pulled back over.
#include "db/shellsvc.h"
#include "router/costs.h"
#include "router/layertab.h"
#include "router/padexit.h"
#include "router/urstate.h"
#include "prepfixture.h"

namespace {

// U1 CHIP (15,000, 30,000): pins at x 15,000 and 21,000, top layer only.
class ExitAdjustTest : public PrepTest {
  protected:
    void SetUp() override {
        PrepTest::SetUp();
        OpenBoard("*COMP U1 [15000, 30000] Symbol=2\r\n");
    }
    void TearDown() override {
        MzFlags = 0;
        PrepTest::TearDown();
    }
    // Stores the connection of net 1 from U1.1 (or a free node) and maps
    // the board; answers its entry.
    int32_t Store(std::initializer_list<CrnSpec> corners, int32_t fromComp = 1) {
        const int32_t n = StoreConn(1, corners);
        Conn c;
        ConnGet(n, &c);
        c.head.fromComp = int16_t(fromComp);
        c.head.fromPin = int16_t(fromComp ? 1 : 0);
        {
            DbTrustedScope trusted;
            ConnPut(n, &c);
        }
        const int32_t e = AddConn(n);
        ConnGet(n, &rec);
        return e;
    }
    // From U1.1 a diagonal stub, then north, east and north again; the
    // board mapped.
    int32_t StoreStairs() {
        const int32_t e = Store({{15000, 30000, 1},
                                 {16500, 31500, 1},
                                 {16500, 36000, 1},
                                 {27000, 36000, 1},
                                 {27000, 45000, 0}});
        EXPECT_EQ(MapAll(), 1);
        return e;
    }
    Conn rec{};
};

TEST_F(ExitAdjustTest, SwitchesAndChecks) {
    const int32_t e = StoreStairs();
    Conn before = rec;
    MzFlags = 0x200;
    EXPECT_EQ(adjustExits(e, &rec), 0);
    MzFlags = 0;
    CurSweep().passFlags[Goal()->pass] |= 0x400;
    EXPECT_EQ(adjustExits(e, &rec), 0);
    CurSweep().passFlags[Goal()->pass] &= uint16_t(~0x400);
    Conn three = rec;
    three.head.count = 3;
    three.crn[2].layer = 0;
    EXPECT_EQ(adjustExits(e, &three), 0);
    EXPECT_EQ(three.head.count, 3);
    EXPECT_EQ(ConnSamePath(&rec, &before), 1);
    EXPECT_FATAL(attemptAdjustExit(e, &three, 15000, 33000), 2187081);
    EXPECT_FATAL(attemptAdjustExit(e, &rec, 90000, 33000), 2187082);
    // Too near the own pad (1,500 x 3,000): 300 + 600 needed.
    EXPECT_EQ(attemptAdjustExit(e, &rec, 15000, 32000), 0);
    MzFlags = 0x1;
    EXPECT_EQ(ViaPullBack(e, 1, &rec), 0);
}

TEST_F(ExitAdjustTest, AdjustedThroughAPointTheCheckerAccepts) {
    const int32_t e = StoreStairs();
    // A connection of net 2 just beside the new first segment refuses it.
    const int32_t block = StoreConn(2, {{13000, 33500, 1}, {14600, 33500, 0}});
    const int32_t eb = AddConn(block);
    ConnMap(ConnRef(block), eb, 0, 1000, 0);
    Conn trial = rec;
    EXPECT_EQ(attemptAdjustExit(e, &trial, 15000, 33000), 0);
    EXPECT_EQ(ConnSamePath(&trial, &rec), 1);
    ConnMap(ConnRef(block), eb, 0, 1000, 1);
    ASSERT_EQ(attemptAdjustExit(e, &trial, 15000, 33000), 1);
    const int32_t want[][2] = {{15000, 30000}, {15000, 33000}, {16500, 33000},
                               {16500, 36000}, {27000, 36000}, {27000, 45000}};
    ASSERT_EQ(trial.head.count, 6);
    for (int32_t i = 0; i < 6; ++i) {
        const int32_t x = trial.crn[i].x, y = trial.crn[i].y; // packed corners: by value
        EXPECT_EQ(x, want[i][0]) << i;
        EXPECT_EQ(y, want[i][1]) << i;
    }
}

TEST_F(ExitAdjustTest, ExitPointHalfwayToAPinOfAnotherNet) {
    // East along y = 30,000 past U1.2 (no net).
    const int32_t e =
        Store({{15000, 30000, 1}, {27000, 30000, 1}, {27000, 40000, 1}, {33000, 40000, 0}});
    ASSERT_EQ(MapAll(), 1);
    int32_t x = 0, y = 0;
    ASSERT_EQ(findExitPoint(e, &rec, &x, &y), 1);
    EXPECT_EQ(x, 18000);
    EXPECT_EQ(y, 30000);
    // A via at corner 1, or an unrouted first segment: nothing.
    Conn c = rec;
    c.crn[1].via = 1;
    EXPECT_EQ(findExitPoint(e, &c, &x, &y), 0);
    c = rec;
    c.crn[0].layer = 0;
    EXPECT_EQ(findExitPoint(e, &c, &x, &y), 0);
}

TEST_F(ExitAdjustTest, ViasPulledBackOverCheapSegments) {
    // From a free node, a short stub on the top layer, then a via to the
    // bottom layer.
    const int32_t e = Store({{30000, 30000, 1}, {31500, 30000, 2, 1}, {45000, 30000, 0}}, 0);
    ASSERT_EQ(MapAll(), 1);
    ASSERT_EQ(PrepCost(0), 1);
    const int32_t via = ViaCost(1);
    ASSERT_GT(via, 2);
    // Pulling back on the top layer (the reversed connection) never pays.
    g_layerRecs[1].horz[0] = g_layerRecs[1].vert[0] = int16_t(via);
    g_layerRecs[2].horz[0] = g_layerRecs[2].vert[0] = int16_t(via / 2);
    Conn c = rec;
    EXPECT_EQ(ViaPullBack(e, 0, &c), 0); // the first segment needs the flag
    ASSERT_EQ(ViaPullBack(e, 1, &c), 1);
    EXPECT_EQ(c.crn[0].layer, 2);
    EXPECT_EQ(c.crn[1].via, 0);
    // Too dear a segment, a slant other than 45 degrees, a 45-degree one.
    g_layerRecs[2].horz[0] = int16_t(via / 2 + 1);
    c = rec;
    EXPECT_EQ(ViaPullBack(e, 1, &c), 0);
    c.crn[1].y = 30500;
    EXPECT_EQ(ViaPullBack(e, 1, &c), 0);
    c.crn[1].y = 31500;
    EXPECT_EQ(ViaPullBack(e, 1, &c), 1);
}

} // namespace
