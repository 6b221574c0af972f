// Via map marking around pads and via assignment: the pad's own mark, the
// via's reach, corridors between pads in one row or column, via types
// without pads, the abort poll, and the layer changes of a connection.
#include "db/shellsvc.h"
#include "headless/ascio.h"
#include "router/costs.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/padexit.h"
#include "router/viamap.h"
#include "prepfixture.h"

namespace {

class ViaMarkTest : public PrepTest {
  protected:
    // U1 (SMD) at (15,000, 30,000) with pins at x 15,000 and 21,000; U2
    // (DIP8) at (39,000, 45,000): column x 39,000 from y 45,000 down.
    void SetUp() override {
        PrepTest::SetUp();
        OpenBoard("*COMP U1 [15000, 30000] Symbol=2\r\n*COMP U2 [39000, 45000] Symbol=3\r\n", 2);
        SetViaPad(2, 1, kPadOblong, 600, 300, 2400, 300);
        SetViaPad(2, 2, kPadUndef, 0, 0, 0, 0);
        ASSERT_EQ(MapAll(), 1);
    }
    static int32_t At(int32_t x, int32_t y, int32_t t) { return ViaMapGet(MzX(x), MzY(y), t); }
    static int32_t ViaBlock(int32_t x, int32_t y, int32_t layer) {
        const int32_t m = LayerMazeIndex(layer);
        return g_maze.via[MzY(y) >> 1][(m - 1) * (g_mzGrid.nx + 1) + (MzX(x) >> 1)];
    }
};

TEST_F(ViaMarkTest, PadsTheirReachAndCorridors) {
    // U1.1: the pad itself, the via's reach (300 + 600 beyond the box), free beyond.
    EXPECT_EQ(At(15000, 30000, 1), kViaFillBits);
    EXPECT_EQ(At(13500, 31500, 1), kViaBlocked);
    EXPECT_EQ(At(15000, 33000, 1), kViaBlocked);
    EXPECT_EQ(At(15000, 34500, 1), 0);
    // One row: U1.2 lies beyond the gathering reach of via type 1 (4 x 900
    // + 750 + 600), within that of type 2 (4 x 3,000 + 750 + 600): type 2
    // marks the corridor between the centres over the overlap in y.
    EXPECT_EQ(At(18000, 30000, 1), 0);
    EXPECT_EQ(At(18000, 30000, 2), kViaFillBits);
    EXPECT_EQ(At(18000, 31500, 2), kViaFillBits);
    EXPECT_EQ(At(18000, 34500, 1), 0);
    EXPECT_EQ(ViaBlock(18000, 30000, 1) & 0x10, 0x10);
    EXPECT_EQ(ViaBlock(18000, 30000, 1) & 0x20, 0);
    // One column of the DIP: 0x20 in the maze.
    EXPECT_EQ(At(39000, 41250, 1), kViaFillBits);
    EXPECT_EQ(ViaBlock(39000, 41250, 2) & 0x20, 0x20);
    // Via type 2 reaches 2,400 + 600 beyond the box, on layer 1 only.
    EXPECT_EQ(At(15000, 34500, 2), kViaBlocked);
    EXPECT_EQ(At(15000, 36000, 2), 0);
}

TEST_F(ViaMarkTest, ViaTypesWithoutPadsLeaveTheMap) {
    SetViaPad(2, 1, kPadUndef, 0, 0, 0, 0);
    ASSERT_EQ(MapAll(), 1);
    for (int32_t y = 0; y <= g_mzGrid.r; y += 2)
        for (int32_t x = 0; x <= g_mzGrid.w; x += 2)
            ASSERT_EQ(ViaMapGet(x, y, 2), 0) << x << "," << y;
    EXPECT_EQ(At(15000, 30000, 1), kViaFillBits);
}

TEST_F(ViaMarkTest, PinsFlagged100AreLeftOut) {
    Symbol sym;
    SymGet(2, &sym);
    sym.pin[1].word = int16_t(sym.pin[1].word | 0x100);
    {
        DbTrustedScope trusted;
        SymPut(2, &sym);
    }
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(At(15000, 30000, 1), 0);
    EXPECT_EQ(At(15000, 30000, 2), 0);
    EXPECT_EQ(At(21000, 30000, 1), kViaFillBits); // U1.2 still marked
}

TEST_F(ViaMarkTest, BlockAreasPollTheAbortKeyEvery32Entries) {
    ViaMapClear();
    HeadlessAbortAfter(0);
    EXPECT_EQ(ViaMapBlockAreas(), 1); // fewer than 32 entries: never polled
    HeadlessAbortAfter(-1);
    UserAbortReset();
    while (ObjCount() < 40)
        ObjAdd(kObjText, 0, 1, 0, 0);
    ViaMapClear();
    HeadlessAbortAfter(0);
    EXPECT_EQ(ViaMapBlockAreas(), 0);
    HeadlessAbortAfter(-1);
    UserAbortReset();
}

TEST_F(ViaMarkTest, AssignViasAtLayerChanges) {
    // From U1.1 (top only) to the free node with pin 0.
    Conn c{};
    c.head.fromComp = 1;
    c.head.fromPin = 1;
    c.head.count = 4;
    c.crn[0] = Crn{15000, 30000, 10, 1, 0, 0, 0};
    c.crn[1] = Crn{15000, 36000, 10, 2, 0, 1, 0}; // a via kept: type 1 reaches both
    c.crn[2] = Crn{21000, 36000, 10, 2, 0, 2, 0}; // same layer: loses its via
    c.crn[3] = Crn{21000, 40000, 10, 0, 0, 0, 0};
    g_viaPair[1][2] = g_viaPair[2][1] = 0;
    EXPECT_EQ(ConnAssignVias(&c, 0, 3), 1);
    EXPECT_EQ(c.crn[1].via, 1);
    EXPECT_EQ(c.crn[2].via, 0);
    // A via that misses a layer is replaced from the pair table, or fails.
    c.crn[1].via = 2;
    EXPECT_EQ(ConnAssignVias(&c, 0, 3), 0);
    g_viaPair[1][2] = g_viaPair[2][1] = 1;
    EXPECT_EQ(ConnAssignVias(&c, 0, 3), 1);
    EXPECT_EQ(c.crn[1].via, 1);
    // Corner 0's pin must reach the first layer.
    c.crn[0].layer = 2;
    c.crn[1].layer = 1;
    EXPECT_EQ(ConnAssignVias(&c, 0, 3), 0);
    // The last corner, when it has a layer, its pin on the last routed layer.
    c.crn[0].layer = 1;
    c.crn[1].layer = 2;
    c.head.toComp = 1;
    c.head.toPin = 2;
    c.crn[3].layer = 2;
    EXPECT_EQ(ConnAssignVias(&c, 1, 3), 0);
    c.crn[2].layer = 1;
    EXPECT_EQ(ConnAssignVias(&c, 1, 3), 1);
    EXPECT_EQ(c.crn[2].via, 1);
    EXPECT_FATAL(ConnAssignVias(&c, 0, 4), 2185073);
    EXPECT_FATAL(ConnAssignVias(&c, -1, 3), 2185074);
    EXPECT_FATAL(ConnAssignVias(&c, 3, 3), 2185074);
}

TEST_F(ViaMarkTest, PinOnLayerAndDirBit) {
    EXPECT_EQ(PinOnLayer(1, 1, 1), 1);
    EXPECT_EQ(PinOnLayer(1, 1, 2), 0);
    EXPECT_EQ(PinOnLayer(2, 1, 2), 1);
    EXPECT_EQ(PinOnLayer(0, -2, 2), 1);
    EXPECT_EQ(PinOnLayer(0, -2, 1), 0);
    EXPECT_EQ(PinOnLayer(0, 0, 1), 1);
    EXPECT_EQ(PinOnLayer(0, 2, 1), 1);
    EXPECT_EQ(PinOnLayer(0, 2, 2), 0); // via type 2 has no pad on layer 2
    EXPECT_EQ(PinOnLayer(0, 1, 2), 1);
    EXPECT_FATAL(PinOnLayer(3, 1, 1), 2187010);
    EXPECT_FATAL(PinOnLayer(1, 1, 3), 2187014);
    const struct {
        int32_t dx, dy, bit;
    } cases[] = {{-3, 3, 128}, {-3, -3, 32}, {0, 0, 0}, {0, 5, 1}, {5, 0, 4},
                 {0, -1, 16},  {-1, 0, 64},  {2, 2, 2}, {2, -2, 8}};
    for (const auto& k : cases)
        EXPECT_EQ(DirBit(k.dx, k.dy), k.bit) << k.dx << "," << k.dy;
}

} // namespace
