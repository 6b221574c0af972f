// Pad exits and goal ends: the exit masks of pad shapes (square, oblong on
// parts of few and many pins, turned parts, the block's flag bits), the
// in-line neighbours of a pin, the objects of other nets around a point,
// the turn toward a connection's course, the edge sectors, the goal ends
// of a gap and its cost bound.
#include <cstdlib>

#include "db/dbheader.h"
#include "db/sweeps.h"
#include "router/costs.h"
#include "router/goalends.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/padexit.h"
#include "router/urstate.h"
#include "prepfixture.h"

namespace {

// U1 CHIP (15,000, 30,000); U2 DIP8 (39,000, 45,000); U3 SQ (15,000,
// 15,000); U4 CHIP at 45 degrees, U5 SQ at 45 degrees, U6 DIP8 at 90
// degrees.
const char kParts[] =
    "*COMP U1 [15000, 30000] Symbol=2\r\n*COMP U2 [39000, 45000] Symbol=3\r\n"
    "*COMP U3 [15000, 15000] Symbol=4\r\n*COMP U4 [45000, 15000] Symbol=2 ROT=45\r\n"
    "*COMP U5 [30000, 9000] Symbol=4 ROT=45\r\n"
    "*COMP U6 [27000, 21000] Symbol=3 ROT=90\r\n";

class PadExitTest : public PrepTest {
  protected:
    void SetUp() override {
        PrepTest::SetUp();
        OpenBoard(kParts);
    }
    static void SetPadFlags(int32_t thru, int32_t layer, int32_t flags) {
        ThruCode t;
        ThruGet(thru, &t);
        t.layer[layer].flags = uint8_t(flags);
        DbTrustedScope trusted;
        ThruPut(thru, &t);
    }
    static Conn Path(std::initializer_list<std::pair<int32_t, int32_t>> pts, int32_t layer = 1) {
        Conn c{};
        for (auto [x, y] : pts) {
            Crn& k = c.crn[c.head.count++];
            k.x = x;
            k.y = y;
            k.layer = uint8_t(layer);
            k.width = 10;
        }
        c.crn[c.head.count - 1].layer = 0;
        return c;
    }
};

TEST_F(PadExitTest, ExitMasksOfPadShapes) {
    int32_t out = -1;
    EXPECT_EQ(PadExitDirs(0, 1, 1, &out), 255);
    EXPECT_EQ(PadExitDirs(1, 1, 0, &out), 255);
    EXPECT_EQ(PadExitDirs(1, 1, 2, &out), 0);  // the SMD pad has no shape there
    EXPECT_EQ(PadExitDirs(1, 1, 1, &out), 85); // two pins: orthogonal
    EXPECT_EQ(out, 0);
    EXPECT_EQ(PadExitDirs(2, 1, 1, &out), 17); // 2:1 oblong of 8 pins, taller
    EXPECT_EQ(out, 1);
    EXPECT_EQ(PadExitDirs(6, 1, 2, &out), 68); // turned a quarter: wider
    EXPECT_EQ(out, 1);
    EXPECT_EQ(PadExitDirs(3, 1, 1, &out), 255); // square
    EXPECT_EQ(out, 0);
    EXPECT_EQ(PadExitDirs(4, 1, 1, &out), 136); // 45 degrees, taller unturned
    EXPECT_EQ(PadExitDirs(5, 1, 1, &out), 255); // 45 degrees, square
    const int32_t smd = SymPinThru(2, 1);
    SetPadFlags(smd, 1, 0x2);
    EXPECT_EQ(PadExitDirs(1, 1, 1, &out), 17);
    SetPadFlags(smd, 1, 0x3);
    EXPECT_EQ(PadExitDirs(1, 1, 1, &out), 255);
}

TEST_F(PadExitTest, NeighbourDirsByTheComponentAngle) {
    EXPECT_EQ(PadNeighbourDirs(2, 1), 16); // pin 2 below
    EXPECT_EQ(PadNeighbourDirs(2, 2), 17); // pins 1 and 3 equally near
    EXPECT_EQ(PadNeighbourDirs(6, 1), 4);  // below, turned a quarter
    EXPECT_EQ(PadNeighbourDirs(1, 1), 4);  // pin 2 to the right
    EXPECT_EQ(PadNeighbourDirs(4, 1), 255);
}

TEST_F(PadExitTest, BlockersOfOtherNetsWithinReach) {
    // reach 150 user units; the SQ part's pads of net 2 and an obstacle.
    const int32_t reach = kExitProbeUserUnits * DbHdr().userUnit;
    ASSERT_GE(reach, 6000);
    ObjSetNet(ObjFindPad(3, 1), 2); // U3.1 at (15,000, 15,000)
    ObjSetNet(ObjFindPad(3, 2), 2); // U3.2 at (21,000, 15,000)
    ASSERT_EQ(MapAll(), 1);
    // From (15,000, 21,000): U3.1 lies 6,000 south; nothing else of net 2.
    EXPECT_EQ(ExitBlockerDirs(15000, 21000, 1, 1), reach > 6000 ? 16 : 0);
    // Of the same net nothing blocks.
    EXPECT_EQ(ExitBlockerDirs(15000, 21000, 1, 2), 0);
    // Between U3.1 and U3.2 (3,000 each way): east and west.
    EXPECT_EQ(ExitBlockerDirs(18000, 15000, 1, 1), 68);
}

TEST_F(PadExitTest, TurnTowardTheCourse) {
    const Conn up = Path({{0, 0}, {1000, 9000}, {3000, 9000}});
    const Sweep s = CurSweep();
    CurSweep().diagonal = 16;
    EXPECT_EQ(ExitTurnDir(&up, 255, 0), 1);
    EXPECT_EQ(ExitTurnDir(&up, 255, 1), 4);     // rule 3: dx > 0
    EXPECT_EQ(ExitTurnDir(&up, 64 + 1, 1), 1);  // rule 4: blocked allowed again
    EXPECT_EQ(ExitTurnDir(&up, 16 + 64, 0), 0); // nothing toward the course
    const Conn diag = Path({{0, 0}, {-3000, -1000}});
    EXPECT_EQ(ExitTurnDir(&diag, 32 + 16, 0), 16); // rule 3
    CurSweep().diagonal = 1;
    EXPECT_EQ(ExitTurnDir(&diag, 32 + 16, 0), 32); // rule 2
    EXPECT_EQ(ExitTurnDir(&diag, 64 + 32, 0), 64); // rule 1 first
    CurSweep() = s;
}

TEST_F(PadExitTest, EdgeSectorsByTheWindowDirection) {
    const int32_t far = 2 * g_mzGrid.nx - 12, top = 2 * g_mzGrid.ny - 12;
    const struct {
        int32_t x, y, dir, sector;
    } cases[] = {{12, 12, 0, 7},   {12, 12, 2, 7},   {12, 12, 4, 7},   {12, 12, 1, 4},
                 {12, 12, 8, 8},   {far, top, 1, 3}, {far, top, 8, 3}, {far, top, 2, 6},
                 {far, top, 4, 2}, {40, 40, 0, 5},   {40, 5, 0, 8},    {far, 40, 4, 6}};
    for (const auto& k : cases) {
        CurSweep().curPrimary = uint8_t(k.dir);
        EXPECT_EQ(mzEdgeSector(k.x, k.y), k.sector) << k.x << "," << k.y << " dir " << k.dir;
    }
    CurSweep().curPrimary = 0;
}

TEST_F(PadExitTest, GoalEndsOfAGap) {
    MzGoal& g = *Goal();
    auto ends = [&](const Conn& c, int32_t first, int32_t last) {
        g.crn1Index = int16_t(first);
        g.crn2Index = int16_t(last);
        return mzGoalEnds(&c);
    };
    // Unrouted from U1.1 (one layer) to the DIP's pin (two layers).
    Conn c = Path({{15000, 30000}, {39000, 45000}}, 0);
    c.head.fromComp = 1;
    c.head.fromPin = 1;
    c.head.toComp = 2;
    c.head.toPin = 1;
    ASSERT_EQ(ends(c, 0, 1), 1);
    EXPECT_EQ(g.srcLayer, 1);
    EXPECT_EQ(g.dstLayer, 0);
    EXPECT_EQ(g.srcSector, 0);
    EXPECT_EQ(g.srcMzX, MzX(15000));
    EXPECT_EQ(g.dstMzY, MzY(45000));
    EXPECT_EQ(g.crnCount, 2);
    // A free node gives minus its pin.
    c.head.toComp = 0;
    c.head.toPin = 1;
    ASSERT_EQ(mzGoalEnds(&c), 1);
    EXPECT_EQ(g.dstLayer, -1);
    // Leaving the window: unrouted, the point is bounded; routed, clipped.
    c.crn[1].x = 90000;
    c.crn[1].y = 30000;
    ASSERT_EQ(ends(c, 0, 1), 1);
    EXPECT_EQ(g.dstLayer, 0);
    EXPECT_EQ(g.dstMzX, g_mzGrid.w);
    EXPECT_EQ(g.dstSector, 6);
    c.crn[0].layer = 1;
    ASSERT_EQ(ends(c, 0, 1), 1);
    EXPECT_EQ(g.dstLayer, 1);
    EXPECT_EQ(g.dstMzX, 2 * g_mzGrid.nx - 12);
    EXPECT_EQ(g.dstMzY, MzY(30000));
    // An end past a corner on the box edge: layer 0, the edge's sector and
    // cell.
    const int32_t edgeX = MzWorldX(2 * g_mzGrid.nx - 12);
    Conn edge = Path({{30000, 30000}, {edgeX, 30000}, {edgeX + 6000, 30000}}, 0);
    ASSERT_EQ(ends(edge, 0, 1), 1);
    EXPECT_EQ(g.crn2Index, 2);
    EXPECT_EQ(g.dstLayer, 0);
    EXPECT_EQ(g.dstSector, 6);
    EXPECT_EQ(g.dstMzX, 2 * g_mzGrid.nx - 12);
    EXPECT_EQ(g.dstX, edgeX + 6000);
    // A routed target end whose last segment lies wholly outside the box.
    Conn beyond = Path({{30000, 30000}, {edgeX + 3000, 30000}, {edgeX + 6000, 30000}}, 1);
    EXPECT_FATAL(ends(beyond, 0, 2), 2164073);
    // Index checks.
    g.crn1Index = -1;
    EXPECT_FATAL(mzGoalEnds(&c), 2164022);
    EXPECT_FATAL(ends(c, 1, 1), 2164024);
    // Partial mode: a gap wholly outside the window.
    Conn out = Path({{90000, 30000}, {95000, 30000}}, 0);
    g.partialMode = 1;
    EXPECT_EQ(mzGoalEnds(&out), 0);
    g.partialMode = 0;
}

TEST_F(PadExitTest, GoalBoundByTheLimit) {
    MzGoal& g = *Goal();
    g.srcMzX = 20;
    g.srcMzY = 20;
    g.dstMzX = 60;
    g.dstMzY = 30;
    g_layerRecs[0].horz[0] = 4;
    g_layerRecs[0].vert[0] = 4;
    const int64_t slack = 40 * 2 + 10 * 2 + 3 * int64_t(ViaCost(0));
    g.pass = 0;
    CurSweep().limit[0] = 80;
    g.state = 0;
    mzGoalBound();
    EXPECT_EQ(g.costLimit, 200 + slack * 50 / 20);
    g.state = 2;
    mzGoalBound();
    EXPECT_EQ(g.costLimit, (200 + slack * 50 / 20) / 2);
    CurSweep().limit[0] = 40;
    mzGoalBound();
    EXPECT_EQ(g.costLimit, (200 + 40 * slack / 50) / 2);
    CurSweep().limit[0] = 100;
    mzGoalBound();
    EXPECT_EQ(g.costLimit, 0x70000000 / 2);
    g.state = 0;
    mzGoalBound();
    EXPECT_EQ(g.costLimit, 0x70000000);
}

} // namespace
