// Path score: extents by layer direction, zig-zags, jumper ends and
// lengths, vias off the via grid.
#include "db/attrs.h"
#include "db/layers.h"
#include "router/layertab.h"
#include "router/padexit.h"
#include "router/pathscore.h"
#include "router/straighten.h"
#include "router/urstate.h"
#include "mapfixture.h"

namespace {

class PathScoreTest : public MapTest {
  protected:
    static Conn Make(std::initializer_list<CrnSpec> corners) { return ConnOf(1, corners); }
    void SetUp() override {
        MapTest::SetUp();
        Open();
        CurSweep().dir[0] = 0;
        CurSweep().dir[1] = 0;   // scored by x extent
        CurSweep().dir[2] = 100; // scored by y extent
        g_router.header.fourthGrid = 0;
        g_router.header.flags &= uint16_t(~kHdrJumperLayer);
    }
};

TEST_F(PathScoreTest, ExtentsFollowEachLayersDirectionAndUnroutedUseLayerZero) {
    // layer 1 x extent 1,000; layer 2 y extent 2,000; unrouted x extent 500
    Conn c = Make({{0, 0, 1}, {1000, 300, 2, 1}, {1500, 2300, 0}, {2000, 2500, 0}});
    EXPECT_EQ(pathScore(&c), 1000 + 2000 + 500);
    CurSweep().dir[0] = 50; // now by y extent
    EXPECT_EQ(pathScore(&c), 1000 + 2000 + 200);
}

TEST_F(PathScoreTest, ZigZagBetweenDiagonalsOnOneLayerCosts100) {
    Conn zig = Make({{0, 0, 1}, {100, 100, 1}, {200, 0, 1}, {300, 0, 0}});
    EXPECT_EQ(pathScore(&zig), 300 + kScoreZigZag);
    Conn same = Make({{0, 0, 1}, {100, 100, 1}, {200, 200, 1}, {300, 200, 0}});
    EXPECT_EQ(pathScore(&same), 300);
    Conn twoLayers = Make({{0, 0, 1}, {100, 100, 2, 1}, {200, 0, 2}, {300, 0, 0}});
    EXPECT_EQ(pathScore(&twoLayers), 100 + 100 + 0);
}

TEST_F(PathScoreTest, InnerViaOffTheViaGridCosts10Million) {
    Conn c = Make({{0, 0, 1, 1}, {1050, 0, 2, 1}, {1050, 1000, 1, 1}, {2000, 1000, 0, 1}});
    const int32_t base = pathScore(&c);
    g_router.header.fourthGrid = 100;
    EXPECT_EQ(pathScore(&c), base + kScoreViaOffGrid * 2); // corners 1 and 2, not 0 or 3
    c.crn[1].x = c.crn[2].x = 1100;
    g_router.header.fourthGrid = 0;
    const int32_t onGrid = pathScore(&c);
    g_router.header.fourthGrid = 100;
    EXPECT_EQ(pathScore(&c), onGrid);
}

TEST_F(PathScoreTest, JumperEndsWithoutViaAndLengthsNotAllowed) {
    g_router.header.flags |= kHdrJumperLayer;
    LayerRecOf(2)->flags |= kLayerJumper;
    Conn c = Make({{0, 0, 1}, {0, 0, 2, 1}, {0, 600, 1}, {1000, 600, 0}});
    // layer 2 by y: 600; layer 1 by x: 1,000; jumper: one end without via, twice 600
    EXPECT_EQ(pathScore(&c), 600 + 1000 + kScoreJumperEnd + 1200);
    c.crn[2].via = 1;
    EXPECT_EQ(pathScore(&c), 600 + 1000 + 1200);
    Attribute a{};
    a.kind = kAttrJumperLength;
    a.key1Type = kAttrLayerKey;
    a.key1 = 2;
    a.key2 = 1;
    a.value3 = 500;
    AttrPut(&a);
    EXPECT_EQ(pathScore(&c), 600 + 1000 + 1200 + kScoreJumperEnd);
    a.key2 = 2;
    a.value3 = 600;
    AttrPut(&a);
    EXPECT_EQ(pathScore(&c), 600 + 1000 + 1200);
}

} // namespace

namespace {

class ExitScoreTest : public MapTest {
  protected:
    // U3 at (15,000, 15,000) has rectangular pads 3,600 wide and 1,800 tall.
    void SetUp() override {
        MapTest::SetUp();
        Open("*THRU 2 \"R\" Layer=1 SHAPE=RECT W:3600 H:1800 Layer=2 SHAPE=RECT W:3600 H:1800\r\n"
             "*SYMBOL 2 \"RT\" 1 \"1\" [0, 0] Thru=2 2 \"2\" [6000, 0] Thru=2\r\n"
             "*COMP U3 [15000, 15000] Symbol=2\r\n");
    }
    // From pin 1 of U3, a free end at the other.
    static Conn FromRect(std::initializer_list<CrnSpec> corners) {
        Conn c = ConnOf(1, corners);
        c.head.fromComp = 3;
        c.head.fromPin = 1;
        return c;
    }
    // From pin 1 of U1 at (15,000, 30,000) to pin 1 of U2 at (39,000, 30,000).
    static Conn Route(std::initializer_list<CrnSpec> corners) {
        Conn c = ConnOf(1, corners);
        c.head.fromComp = 1;
        c.head.fromPin = 1;
        c.head.toComp = 2;
        c.head.toPin = 1;
        return c;
    }
};

TEST_F(ExitScoreTest, FreeEndsAndUnroutedFirstSegmentsScoreNothing) {
    Conn c = Route({{15000, 30000, 0}, {15000, 30300, 1}, {39000, 30000, 0}});
    EXPECT_EQ(exitScore(&c, 0), 0);
    c.head.fromComp = 0;
    c.crn[0].layer = 1;
    EXPECT_EQ(exitScore(&c, 0), 0);
}

TEST_F(ExitScoreTest, InnerCornerOnThePadCostsTenThousandFromEitherEnd) {
    Conn far = Route({{15000, 30000, 1}, {15000, 33000, 1}, {39000, 33000, 1}, {39000, 30000, 0}});
    const int32_t first = exitScore(&far, 0);
    const int32_t last = exitScore(&far, 1);
    EXPECT_LT(first, kScoreExitCorner);
    EXPECT_EQ(first, last); // the same exit seen from the other end
    EXPECT_TRUE(exitCornerClear(&far, 0, 1));
    Conn near = far;
    near.crn[1].y = 30010;
    near.crn[2].y = 30010;
    EXPECT_FALSE(exitCornerClear(&near, 0, 1));
    EXPECT_FALSE(exitCornerClear(&near, 1, 1));
    EXPECT_GE(exitScore(&near, 0), kScoreExitCorner);
    EXPECT_GE(exitScore(&near, 1), kScoreExitCorner);
}

TEST_F(ExitScoreTest, AnExitThePadRefusesCosts100000) {
    int32_t oblong = 0;
    ASSERT_EQ(PadExitDirs(3, 1, 1, &oblong), kDirsOrtho);
    // north then east, and north-east then north: the same corners off the pad
    Conn ortho =
        FromRect({{15000, 15000, 1}, {15000, 19500, 1}, {19500, 19500, 1}, {19500, 30000, 0}});
    Conn diag =
        FromRect({{15000, 15000, 1}, {19500, 19500, 1}, {19500, 24000, 1}, {19500, 30000, 0}});
    EXPECT_LT(exitScore(&ortho, 0), kScoreExitRefused);
    EXPECT_GE(exitScore(&diag, 0), kScoreExitRefused);
    EXPECT_LT(exitScore(&diag, 0), kScoreExitRefused + kScoreExitRefused / 2);
}

TEST_F(ExitScoreTest, AwkwardSecondSegmentsCost200Each) {
    // east then north: no term; east then north-east: diagonal after an
    // orthogonal-only pad; north then east: horizontal with north-south exits
    Conn en =
        FromRect({{15000, 15000, 1}, {19500, 15000, 1}, {19500, 19500, 1}, {19500, 30000, 0}});
    Conn ene =
        FromRect({{15000, 15000, 1}, {19500, 15000, 1}, {24000, 19500, 1}, {24000, 30000, 0}});
    Conn ne =
        FromRect({{15000, 15000, 1}, {15000, 19500, 1}, {19500, 19500, 1}, {19500, 30000, 0}});
    const int32_t base = exitScore(&en, 0);
    EXPECT_EQ(exitScore(&ene, 0), base + kScoreExitSecond);
    // north exits keep corner 1 on the pad's centre x: one corner term less
    EXPECT_EQ(exitScore(&ne, 0), base - kScoreExitCorner + kScoreExitSecond);
    // a pad that allows every exit has no second-segment terms
    Conn round = ene;
    round.head.fromComp = 1;
    round.crn[0].x = 15000;
    round.crn[0].y = 30000;
    EXPECT_EQ(exitScore(&round, 0) % kScoreExitCorner, 0);
}

TEST_F(ExitScoreTest, AnOrthogonalExitTowardAnotherNetsObjectCosts100) {
    AddPad(1, 2, 2); // U1.2 of net 2, 6,000 east of U1.1
    ASSERT_EQ(MapAll(), 1);
    ASSERT_GE(kExitProbeUserUnits * DbHdr().userUnit, 6000);
    Conn east = Route({{15000, 30000, 1}, {18000, 30000, 0}});
    Conn north = Route({{15000, 30000, 1}, {15000, 33000, 0}});
    EXPECT_EQ(exitScore(&east, 0), kScoreExitToward);
    EXPECT_EQ(exitScore(&north, 0), 0);
}

TEST_F(ExitScoreTest, AStraighteningTrialMakingARefusedExitIsRefusedUnlessTheEndScoredSo) {
    // north from U3.1, a bend 3,000 up: a mitre of 3,000 starts at the pad
    const Conn given =
        FromRect({{15000, 15000, 1}, {15000, 18000, 1}, {21000, 18000, 1}, {21000, 30000, 0}});
    Conn c = given;
    Conn scratch{};
    StraightenSetLimits(&c);
    ASSERT_LT(g_straightenLimits.exit[0], kScoreExitRefused);
    // room for the inner corner leaving the pad's centre line, not for the exit
    g_straightenLimits.exit[0] += kScoreExitCorner;
    EXPECT_EQ(straightenTryShift(0, &c, &scratch, 0, 3000, 0), 0);
    EXPECT_EQ(int32_t(c.head.count), 4);
    // the same end already refused: the trial may keep it so
    g_straightenLimits.exit[0] += kScoreExitRefused;
    ASSERT_EQ(straightenTryShift(0, &c, &scratch, 0, 3000, 0), 1);
    EXPECT_EQ(int32_t(c.crn[1].x), 18000);
    EXPECT_EQ(int32_t(c.crn[1].y), 18000);
}

} // namespace
