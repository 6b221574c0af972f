// CostScale, PrepCost on the worked case and the layer-pair via table.
#include "db/attrs.h"
#include "db/db.h"
#include "db/thru.h"
#include "router/costs.h"
#include "router/layertab.h"
#include "routerfixture.h"

namespace {

class CostTest : public RouterTest {};

TEST_F(CostTest, CostScale) {
    EXPECT_EQ(CostScale(50, 2, 11, 2028), 11);
    EXPECT_EQ(CostScale(50, 20, 11, 2028), 20);
    EXPECT_EQ(CostScale(0, 3, 11, 2028), 3);
    EXPECT_EQ(CostScale(99, 1, 11, 2028), 550);
    EXPECT_EQ(CostScale(100, 1, 11, 2028), 2028);
    EXPECT_FATAL(CostScale(101, 1, 11, 2028), 2164040);
    EXPECT_FATAL(CostScale(-1, 1, 11, 2028), 2164040);
    EXPECT_FATAL(CostScale(50, 1, -1, 2028), 2164042);
}

TEST_F(CostTest, PrepCostWorkedCase) {
    LoadBoard();
    SetBox(40, 40);
    ASSERT_EQ(OpenMaze(), 1);
    ASSERT_EQ(ThruPadRef(1, 1)->shape[0].ext[0], 300);
    ASSERT_EQ(PrepCost(2), 1);
    const LayerRec& l1 = *LayerRecOf(1);
    const LayerRec& l2 = *LayerRecOf(2);
    EXPECT_EQ(l1.vert[0], 27);
    EXPECT_EQ(l1.horz[0], 4);
    EXPECT_EQ(l2.vert[0], 4);
    EXPECT_EQ(l2.horz[0], 27);
    EXPECT_EQ(LayerRecOf(0)->vert[0], 4);
    EXPECT_EQ(LayerRecOf(0)->horz[0], 4);
    EXPECT_EQ(ViaArea(1), 124);
    EXPECT_EQ(ViaCost(1), 268);
    EXPECT_EQ(ViaCost(0), 268);
    EXPECT_EQ(g_hopCost, 321);
    // Bottleneck classes raise the preferred direction's cost.
    EXPECT_EQ(l1.vert[0x10], 27);
    EXPECT_EQ(l1.horz[0x10], 4);
    EXPECT_EQ(l1.vert[0x20], 27);
    EXPECT_EQ(l1.horz[0x20], 17);
    EXPECT_EQ(l2.vert[0x10], 17);
    EXPECT_EQ(l2.horz[0x10], 27);
    EXPECT_EQ(l1.vert[0x40], 321);
    EXPECT_EQ(l1.horz[0x40], 321);
    EXPECT_EQ(l1.vert[0x80], 13);
    EXPECT_EQ(l1.horz[0x80], 2);
    EXPECT_EQ(l1.vert[0xC0], 13);
    EXPECT_EQ(Goal()->iterateLimit, 20);
    EXPECT_EQ(Goal()->pass, 2);
    EXPECT_EQ(g_viaPair[1][2], 1);
    EXPECT_EQ(g_viaPair[2][1], 1);
    EXPECT_EQ(g_viaPair[1][1], 0);
    // Direction 100: the vertical base is the high bound, the horizontal
    // the low bound.
    CurSweep().dir[1] = 100;
    PrepCost(2);
    EXPECT_EQ(LayerRecOf(1)->vert[0], 2028);
    EXPECT_EQ(LayerRecOf(1)->horz[0], 2);
    // An unusable via type costs 4,086, and so does via cost 0 then.
    g_viaUsable[1] = 0;
    PrepCost(2);
    EXPECT_EQ(ViaCost(1), 4086);
    EXPECT_EQ(ViaCost(0), 4086);
    DbHdr().viaCount = 251;
    EXPECT_FATAL(PrepCost(2), 2164020);
}

// Via type 1 made large (three cells of area per layer), 2 and 3 small
// (one cell) and alike.
const char kVias[] = "*VIA 1 \"V\" Layer=1 SHAPE=ROUND W:6000 Layer=2 SHAPE=ROUND W:6000\r\n"
                     "*VIA 2 \"V2\" Layer=1 SHAPE=ROUND W:300 Layer=2 SHAPE=ROUND W:300\r\n"
                     "*VIA 3 \"V3\" Layer=1 SHAPE=ROUND W:300 Layer=2 SHAPE=ROUND W:300\r\n";

TEST_F(CostTest, PrepViaTablePicksTheSmallestArea) {
    LoadBoard(kVias, "*LAYER 2\r\n*GRID 1500\r\n*VIAS 3\r\n*MULTIVIA YES\r\n");
    ASSERT_EQ(DbHdr().viaCount, 3);
    SetBox(40, 40);
    ASSERT_EQ(OpenMaze(), 1);
    EXPECT_EQ(g_viaUsableCount, 3);
    PrepCost(2);
    EXPECT_LT(ViaArea(2), ViaArea(1));
    EXPECT_EQ(ViaArea(2), ViaArea(3));
    EXPECT_EQ(g_viaPair[1][2], 2); // smallest area, lower number on the tie
    // Without the several-vias flag only via type 1 is considered.
    DbHdr().flags &= uint16_t(~kHdrMultiVia);
    PrepViaTable(0);
    EXPECT_EQ(g_viaPair[1][2], 1);
    // A net takes only the via types its attributes name.
    Attribute a{};
    a.kind = 7;
    a.key1Type = 10;
    a.key2Type = 6;
    a.key1 = 1;
    a.key2 = 3;
    a.value1 = 1;
    AttrPut(&a);
    PrepViaTable(1);
    EXPECT_EQ(g_viaPair[1][2], 3);
    EXPECT_EQ(g_viaTableNet, 1);
    a.key2Type = 5;
    a.key2 = 1;
    {
        DbTrustedScope trusted; // only a trusted store gets such a record past the put
        AttrPut(&a);
    }
    EXPECT_FATAL(PrepViaTable(1), 2164091);
}

TEST_F(CostTest, NoUsableViaFailsAnExpectationAndGoesOn) {
    LoadBoard();
    SetBox(40, 40);
    ASSERT_EQ(OpenMaze(), 1);
    LayerRecOf(1)->flags |= 0x02;
    LayerRecOf(2)->flags |= 0x20;
    EXPECT_EQ(mzLayerPairInit(), 1);
    EXPECT_EQ(g_viaUsableCount, 0);
    DebugSetFlags(0, 1); // failed expectations fatal
    EXPECT_FATAL(mzLayerPairInit(), 2164333);
}

} // namespace
