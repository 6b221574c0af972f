// Path score: extents by layer direction, zig-zags, jumper ends and
// lengths, vias off the via grid.
#include "db/attrs.h"
#include "db/layers.h"
#include "router/layertab.h"
#include "router/pathscore.h"
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
    void SetUp() override {
        MapTest::SetUp();
        Open();
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

} // namespace
