// Connection normal form: reduction sweeps, via repair, loop removal,
// window splitting, arcs and the spacing look-ups.
#include <initializer_list>
#include <vector>

#include "db/attrs.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/nets.h"
#include "router/connnorm.h"
#include "router/costs.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "routerfixture.h"

namespace {

struct P {
    int32_t x, y, layer;
    int32_t via = 0;
    int32_t flags = 0;
};

Conn Make(std::initializer_list<P> pts) {
    Conn c{};
    for (const P& p : pts) {
        Crn& k = c.crn[c.head.count++];
        k.x = p.x;
        k.y = p.y;
        k.layer = uint8_t(p.layer);
        k.via = uint8_t(p.via);
        k.flags = uint8_t(p.flags);
        k.width = 10;
    }
    c.crn[c.head.count - 1].width = 0;
    return c;
}

std::vector<std::vector<int32_t>> Corners(const Conn& c) {
    std::vector<std::vector<int32_t>> out;
    for (int32_t i = 0; i < c.head.count; ++i)
        out.push_back({c.crn[i].x, c.crn[i].y, c.crn[i].layer, c.crn[i].via});
    return out;
}

class ConnNormTest : public RouterTest {
  protected:
    void SetUp() override {
        RouterTest::SetUp();
        LoadBoard();
        SetBox(40, 40);
        ASSERT_EQ(OpenMaze(), 1); // one usable via type: the pair table names it
        ASSERT_EQ(g_viaPair[1][2], 1);
    }
};

TEST_F(ConnNormTest, EqualPointsCollapseKeepingTheSecondsVia) {
    Conn c = Make({{0, 0, 1}, {1000, 0, 1}, {1000, 0, 2, 1}, {1000, 2000, 0}});
    EXPECT_EQ(connReduce(&c), 1);
    std::vector<std::vector<int32_t>> want = {{0, 0, 1, 0}, {1000, 0, 2, 1}, {1000, 2000, 0, 0}};
    EXPECT_EQ(Corners(c), want);
    EXPECT_EQ(connReduce(&c), 0);
}

TEST_F(ConnNormTest, CollinearCornersGoOnlyOnStraightAndDiagonalRuns) {
    Conn c = Make({{0, 0, 1}, {1000, 1000, 1}, {2000, 2000, 0}});
    connReduce(&c);
    EXPECT_EQ(c.head.count, 2);
    Conn d = Make({{0, 0, 1}, {1732, 1000, 1}, {3464, 2000, 0}});
    EXPECT_EQ(connReduce(&d), 0);
    EXPECT_EQ(d.head.count, 3);
    Conn back = Make({{0, 0, 1}, {3000, 0, 1}, {1000, 0, 1}, {1000, 2000, 0}});
    connReduce(&back);
    EXPECT_EQ(back.head.count, 3);
}

TEST_F(ConnNormTest, ShortExcursionsGoUnlessAPinnedCornerIsInside) {
    auto make = [](int32_t pinned) {
        return Make({{0, 0, 1},
                     {1000, 0, 1},
                     {1000, 1000, 1, 0, pinned},
                     {2000, 1000, 1},
                     {2000, 0, 1},
                     {1000, 0, 1},
                     {1000, -2000, 0}});
    };
    Conn c = make(0);
    EXPECT_EQ(connReduce(&c), 1);
    std::vector<std::vector<int32_t>> want = {{0, 0, 1, 0}, {1000, 0, 1, 0}, {1000, -2000, 0, 0}};
    EXPECT_EQ(Corners(c), want);
    Conn locked = make(kCrnLocked);
    connReduce(&locked);
    EXPECT_EQ(locked.head.count, 7);
}

TEST_F(ConnNormTest, ViaRepairs) {
    Conn extra = Make({{0, 0, 1}, {1000, 0, 1, 1}, {1000, 1000, 0}});
    EXPECT_EQ(connReduce(&extra), 1);
    EXPECT_EQ(extra.crn[1].via, 0);
    Conn missing = Make({{0, 0, 1}, {1000, 0, 2}, {1000, 1000, 0}});
    connReduce(&missing);
    EXPECT_EQ(missing.crn[1].via, 1);
    // A via whose padstack reaches both layers stays (thru code 2 is the
    // padstack "P", on both layers).
    Conn other = Make({{0, 0, 1}, {1000, 0, 2, 2}, {1000, 1000, 0}});
    EXPECT_EQ(connReduce(&other), 0);
    EXPECT_EQ(other.crn[1].via, 2);
    Conn wrong = Make({{0, 0, 1}, {1000, 0, 2, 9}, {1000, 1000, 0}});
    connReduce(&wrong);
    EXPECT_EQ(wrong.crn[1].via, 1);
    // With the verbose flag the repairs are fatal; "bad via" only when
    // failed expectations are fatal too.
    DebugSetFlags(1, 0);
    Conn e2 = Make({{0, 0, 1}, {1000, 0, 1, 1}, {1000, 1000, 0}});
    EXPECT_FATAL(connReduce(&e2), 2160010);
    Conn m2 = Make({{0, 0, 1}, {1000, 0, 2}, {1000, 1000, 0}});
    EXPECT_FATAL(connReduce(&m2), 2160011);
    Conn w2 = Make({{0, 0, 1}, {1000, 0, 2, 9}, {1000, 1000, 0}});
    EXPECT_FATAL(connReduce(&w2), 2160012);
    g_viaPair[1][2] = 0;
    Conn bad = Make({{0, 0, 1}, {1000, 0, 2, 9}, {1000, 1000, 0}});
    EXPECT_EQ(connReduce(&bad), 0);
    DebugSetFlags(1, 1);
    EXPECT_FATAL(connReduce(&bad), 2160013);
}

TEST_F(ConnNormTest, CrossingSegmentsLoseTheirLoop) {
    Conn c = Make({{0, 0, 1}, {4000, 0, 1}, {4000, 2000, 1}, {2000, 2000, 1}, {2000, -2000, 0}});
    EXPECT_EQ(ConnRemoveLoops(&c, 0, 4), 1);
    std::vector<std::vector<int32_t>> want = {{0, 0, 1, 0}, {2000, 0, 1, 0}, {2000, -2000, 0, 0}};
    EXPECT_EQ(Corners(c), want);
    EXPECT_FATAL(ConnRemoveLoops(&c, 0, 3), 2160020);
}

TEST_F(ConnNormTest, SplitAtWindowOnDiagonalsAndTheTrackedIndex) {
    MzSetArea(MzBox{-9000, -9000, 19000, 19000}, MzBox{0, 0, 10000, 10000});
    struct Case {
        int32_t tracked, want;
    } cases[] = {{0, 1}, {1, 2}, {2, 3}};
    for (const Case& k : cases) {
        Conn c = Make({{-2000, 3000, 1}, {2000, 7000, 1}, {2000, 9000, 0}});
        EXPECT_EQ(ConnSplitAtWindow(&c, k.tracked), k.want);
        ASSERT_EQ(c.head.count, 4);
        EXPECT_EQ(int32_t(c.crn[1].x), 0);
        EXPECT_EQ(int32_t(c.crn[1].y), 5000);
        EXPECT_EQ(c.crn[1].layer, 1);
    }
    // Leaving the window: the first corner is not moved on.
    Conn out = Make({{2000, 7000, 1}, {-2000, 3000, 0}});
    EXPECT_EQ(ConnSplitAtWindow(&out, 0), 0);
    EXPECT_EQ(out.head.count, 3);
    Conn slant = Make({{-3464, 3000, 1}, {3464, 7000, 0}});
    EXPECT_EQ(ConnSplitAtWindow(&slant, 0), 0);
    EXPECT_EQ(slant.head.count, 2);
    Conn vert = Make({{5000, -3000, 1}, {5000, 3000, 0}});
    ConnSplitAtWindow(&vert, 0);
    EXPECT_EQ(int32_t(vert.crn[1].y), 0);
}

TEST_F(ConnNormTest, ArcsAndSpacing) {
    int32_t locked = kCrnLocked;
    Conn c =
        Make({{0, 0, 1, 0, locked}, {1000, 0, 1, 0, locked | kCrnArc}, {2000, 0, 0, 0, locked}});
    ArcSpec a;
    ConnArcGet(0, &c, &a);
    EXPECT_EQ(a.centreX, 1000);
    EXPECT_EQ(a.endX, 2000);
    EXPECT_EQ(a.flags, 0);
    c.crn[1].flags = kCrnArc;
    EXPECT_FATAL(ConnArcGet(0, &c, &a), 2160030);
    EXPECT_FATAL(ConnArcGet(1, &c, &a), 2160030);
    LayerRecOf(1)->spacing[3][1] = 77;
    EXPECT_EQ(LayerSpacing(1, 1, nullptr, 3), 77);
    EXPECT_EQ(LayerSpacingByKind(1, 3, nullptr, 1), 77);
    EXPECT_EQ(LayerSpacingByKind(1, 0, nullptr, 2), 600);
}

} // namespace

namespace {

TEST_F(ConnNormTest, FixWidthTakesTheLayerAttributeOrTheNetWidth) {
    LoadBoard("*COMP U1 [10000, 10000] Symbol=1\r\n"
              "*NET \"N1\" W:10\r\n   U1.1 L:1 [20000,10000] NODE\r\n");
    ASSERT_EQ(ConnCount(), 1);
    Conn c = Make({{0, 0, 1}, {1000, 0, 2, 1}, {1000, 1000, 1}, {2000, 1000, 0}});
    c.head.net = 1;
    c.crn[2].flags = kCrnLocked;
    c.crn[3].flags = kCrnLocked;
    Conn plain = c;
    ConnFixWidth(&plain, 1); // not a NetAttr connection: untouched
    EXPECT_EQ(plain.crn[0].width, 10);
    c.head.flags = kConnNetAttr;
    c.crn[0].width = c.crn[1].width = c.crn[2].width = 3;
    Attribute a{};
    a.kind = 18;
    a.key1Type = 10;
    a.key1 = 1;
    a.key2 = 2;
    a.value1 = 7 * DbHdr().connGrid;
    AttrPut(&a);
    ConnFixWidth(&c, 1);
    EXPECT_EQ(c.crn[0].width, NetRef(1)->width); // the net's width
    EXPECT_EQ(c.crn[1].width, 7);                // the layer's attribute
    EXPECT_EQ(c.crn[2].width, 3);                // both ends locked
}

} // namespace
