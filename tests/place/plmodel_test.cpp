// The placement model: placement unit and area, nodes, clusters, per-net
// tables, the component list, footprint shapes, classes and write-back.
#include <gtest/gtest.h>

#include <cmath>

#include "place/plclassify.h"
#include "place/plmodel.h"
#include "place/plscore.h"
#include "place/plsymclass.h"
#include "plfixture.h"

namespace {

class PlModelTest : public PlaceTest {
  protected:
    void SetUp() override {
        PlaceTest::SetUp();
        SetHeader(1);
    }
    const PlaceNode& Node(int32_t c) { return g_placeModel.nodes[size_t(c)]; }
};

TEST_F(PlModelTest, PlaceUnitFollowsTheAreaSizeAndTheAreaItsSource) {
    const int32_t sym = RowSymbol("R", 2, 1000, int16_t(both));
    AddPart(sym, {.x = 100, .y = 100});
    struct Case {
        int32_t userUnit, width, unit;
    } cases[] = {{1, 70000, 4}, {1, 32766, 1}, {1, 32767, 2}, {60, 70000, 60}};
    for (const Case& k : cases) {
        SetHeader(k.userUnit);
        const int32_t o = AddRect(kObsBoardOutline, 0, 0, 0, k.width, 1000);
        const int32_t grow = ObsRef(o)->head.width / 2;
        ASSERT_EQ(PlModelOpen(nullptr), 1);
        EXPECT_EQ(g_placeModel.placeUnit, k.unit) << k.width;
        EXPECT_EQ(g_placeModel.area.x2, (k.width + grow) / k.unit);
        PlModelFree();
        ObsDelete(o);
    }
    SetHeader(1);
    // The last Comp keepin wins over any Board outline; the last outline
    // over the header's box.
    AddRect(kObsBoardOutline, 0, 0, 0, 9000, 9000);
    AddRect(kObsBoardOutline, 0, 0, 0, 8000, 8000);
    PlModelOpen(nullptr);
    EXPECT_EQ(g_placeModel.area.x2, 8000);
    AddRect(kObsCompKeepin, 0, 10, 20, 5000, 6000);
    PlModelOpen(nullptr);
    EXPECT_EQ(g_placeModel.area.x1, 10);
    EXPECT_EQ(g_placeModel.area.y2, 6000);
}

TEST_F(PlModelTest, WithoutOutlinesTheHeaderBoxIsTheArea) {
    const int32_t sym = RowSymbol("R", 2, 1000, int16_t(both));
    AddPart(sym, {.x = 1000, .y = 2000});
    PlModelOpen(nullptr);
    DbHeader h;
    DbGetHeader(&h);
    EXPECT_EQ(g_placeModel.area.x1, h.extMinX);
    EXPECT_EQ(g_placeModel.area.y2, h.extMaxY);
}

TEST_F(PlModelTest, NodesKeepReferencePointWidenedBoxRegionAndLayerClass) {
    AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
    const int32_t none = AddThru({{kPadRound, 100, 100, 100, 100}}, 0);
    const int32_t thru = RowSymbol("THRU", 2, 1000, int16_t(both));
    const int32_t smdB = RowSymbol("SMDB", 2, 1000, int16_t(bottom));
    const int32_t smdT = RowSymbol("SMDT", 2, 1000, int16_t(top));
    const int32_t bare = RowSymbol("BARE", 2, 1000, int16_t(none));
    const int32_t a = AddPart(thru, {.x = 10000, .y = 20000});
    const int32_t b = AddPart(smdB, {.x = 30000, .y = 20000});
    const int32_t c = AddPart(smdT, {.x = 30000, .y = 40000, .flags = kPlCompLocked});
    const int32_t d = AddPart(bare, {.x = 5000, .y = 5000});
    const int32_t e = AddPart(smdB, {.x = 40000, .y = 20000, .flags = kPlCompNoMove});
    ASSERT_EQ(PlModelOpen(nullptr), 1);
    const PlaceNode& na = Node(a);
    EXPECT_EQ(na.x, 10000);
    EXPECT_EQ(na.y, 20000);
    // Box 9900..10100 x 19900..21100 widened by 3 % per side.
    EXPECT_EQ(na.x1, 9900 - 6);
    EXPECT_EQ(na.x2, 10100 + 6);
    EXPECT_EQ(na.y1, 19900 - 36);
    EXPECT_EQ(na.y2, 21100 + 36);
    EXPECT_EQ(na.area, int64_t(212) * 1272);
    EXPECT_EQ(na.layerClass, 0);
    EXPECT_EQ(na.region, 0);
    EXPECT_TRUE(na.flags & kPlCompUnplaced);
    // Pads on one layer only: 6 %; layer classes by first use.
    EXPECT_EQ(Node(b).x1, 29900 - 12);
    EXPECT_EQ(Node(b).layerClass, 1);
    EXPECT_EQ(Node(c).layerClass, 2);
    EXPECT_EQ(Node(c).region, kPlRegionNone);
    EXPECT_FALSE(Node(c).flags & kPlCompUnplaced);
    EXPECT_EQ(Node(d).layerClass, -1);
    EXPECT_EQ(Node(e).region, kPlRegionNone);
    EXPECT_EQ(g_placeModel.compList, (std::vector<int16_t>{int16_t(a), int16_t(b), int16_t(d)}));
    // A selection mask restricts the list.
    std::vector<uint8_t> mask(size_t(CompCount()) + 1, 0);
    mask[size_t(b)] = 1;
    mask[size_t(e)] = 1;
    PlModelOpen(mask.data());
    EXPECT_EQ(g_placeModel.compList, (std::vector<int16_t>{int16_t(b)}));
}

TEST_F(PlModelTest, PlaceOutlineGivesTheBoxAndFootprintWithoutPinsTheCentre) {
    AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
    const int32_t sym = RowSymbol("R", 2, 1000, int16_t(both));
    AddRect(kObsPlaceOutline, sym, -500, -500, 500, 1500);
    const int32_t empty = AddSymbol("EMPTY", {});
    const int32_t a = AddPart(sym, {.x = 10000, .y = 10000});
    const int32_t b = AddPart(empty, {.x = 3000, .y = 4000});
    PlModelOpen(nullptr);
    EXPECT_EQ(Node(a).x1, 9500 - 30);
    EXPECT_EQ(Node(a).y2, 11500 + 60);
    EXPECT_EQ(Node(b).x, 3000);
    EXPECT_EQ(Node(b).y, 4000);
}

TEST_F(PlModelTest, ClustersAreNumberedByFirstCarrierAndCentredOnTheirLastMember) {
    AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
    const int32_t sym = RowSymbol("R", 2, 1000, int16_t(both));
    const int32_t m1 = AddPart(sym, {.x = 1000, .y = 1000});
    const int32_t m2 = AddPart(sym, {.x = 2000, .y = 1000});
    const int32_t a = AddPart(sym, {.x = 5000, .y = 5000, .master = int16_t(m2)});
    const int32_t b = AddPart(sym, {.x = 6000, .y = 5000, .master = int16_t(m1)});
    const int32_t c = AddPart(sym, {.x = 7000, .y = 8000, .master = int16_t(m2)});
    PlModelOpen(nullptr);
    EXPECT_EQ(Node(a).region, 1);
    EXPECT_EQ(Node(c).region, 1);
    EXPECT_EQ(Node(b).region, 2);
    const PlaceRegion& r = g_placeModel.regions[1];
    EXPECT_EQ(r.members, c);
    EXPECT_EQ(Node(c).regionLink, a);
    EXPECT_EQ(r.cx, 7000);
    EXPECT_EQ(r.cy, 8000);
    EXPECT_EQ(r.half, int32_t(std::lround(std::sqrt(double(Node(a).area + Node(c).area)))));
    EXPECT_EQ(g_placeModel.regions[0].members, 0);
}

TEST_F(PlModelTest, MembersOfMoreThan32MastersStayUnclustered) {
    AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
    const int32_t sym = RowSymbol("R", 2, 1000, int16_t(both));
    std::vector<int32_t> masters;
    for (int32_t k = 0; k < 33; ++k)
        masters.push_back(AddPart(sym, {.x = 1000 + 100 * k, .y = 1000}));
    int32_t last = 0;
    for (int32_t k = 0; k < 33; ++k)
        last =
            AddPart(sym, {.x = 1000 + 100 * k, .y = 9000, .master = int16_t(masters[size_t(k)])});
    PlModelOpen(nullptr);
    EXPECT_EQ(Node(last - 1).region, 32);
    EXPECT_EQ(Node(last).region, 0);
}

TEST_F(PlModelTest, NetTablesHoldMembersRegionsWeightsAndDistinctPinPoints) {
    AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
    const int32_t sym = RowSymbol("R", 2, 1000, int16_t(both));
    const int32_t m = AddPart(sym, {.x = 1000, .y = 1000});
    const int32_t a = AddPart(sym, {.x = 5000, .y = 5000, .master = int16_t(m)});
    const int32_t b = AddPart(sym, {.x = 9000, .y = 5000});
    const int32_t n1 = AddNet(50);
    const int32_t n9 = AddNet(9);
    const int32_t nx = AddNet(50, 16 | kPlNetStyleExcluded);
    const int32_t nr = AddNet(50, 16, kPlNetNoRoute);
    Connect(n1, a, 1, b, 1);
    Connect(n1, b, 1, a, 2);
    Connect(n1, 0, 0, b, 2, 20000, 20000); // a free end adds no point
    Connect(n9, a, 2, b, 2);
    Connect(nx, a, 2, b, 2);
    Connect(nr, a, 2, b, 2);
    PlModelOpen(nullptr);
    const PlNetTable& t = g_placeModel.nets[size_t(n1)];
    EXPECT_EQ(t.weight, 5);
    EXPECT_TRUE(PlBitTest(t.comps.data(), a));
    EXPECT_TRUE(PlBitTest(t.comps.data(), b));
    EXPECT_FALSE(PlBitTest(t.comps.data(), m));
    EXPECT_EQ(t.regions, uint64_t(1) << 1);
    ASSERT_TRUE(t.hasPoints);
    ASSERT_EQ(t.points.size(), 4u);
    int32_t onA = 0;
    for (const PlPinPoint& p : t.points) {
        EXPECT_NE(p.x, 20000);
        onA += p.comp == a;
    }
    EXPECT_EQ(onA, 2);
    EXPECT_EQ(g_placeModel.nets[size_t(n9)].weight, 0);
    EXPECT_FALSE(g_placeModel.nets[size_t(n9)].hasPoints);
    EXPECT_EQ(g_placeModel.nets[size_t(nx)].weight, 0);
    EXPECT_EQ(g_placeModel.nets[size_t(nr)].weight, 0);
    // Each net once in a component's list.
    EXPECT_EQ(Node(b).nets,
              (std::vector<int16_t>{int16_t(n1), int16_t(n9), int16_t(nx), int16_t(nr)}));
    EXPECT_EQ(PlNetWeight(n1), 6);
    EXPECT_EQ(PlNetWeight(n9), 1);
    EXPECT_EQ(PlNetWeight(nx), 0);
    EXPECT_EQ(PlNetWeight(nr), 0);
}

TEST_F(PlModelTest, ANetOfMoreThan50PinPointsHasNoTable) {
    AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
    const int32_t sym = RowSymbol("R", 2, 1000, int16_t(both));
    const int32_t net = AddNet();
    int32_t prev = AddPart(sym, {.x = 100, .y = 100});
    for (int32_t k = 1; k < 26; ++k) {
        const int32_t c = AddPart(sym, {.x = 100 + 500 * k, .y = 100});
        Connect(net, prev, 1, c, 2);
        prev = c;
    }
    PlModelOpen(nullptr); // 50 points: still a table
    EXPECT_TRUE(g_placeModel.nets[size_t(net)].hasPoints);
    const int32_t last = AddPart(sym, {.x = 100, .y = 9000});
    Connect(net, prev, 1, last, 1);
    PlModelOpen(nullptr);
    EXPECT_FALSE(g_placeModel.nets[size_t(net)].hasPoints);
}

TEST_F(PlModelTest, FootprintShapesAndAxes) {
    struct Case {
        const char* name;
        int32_t symbol;
        uint8_t shape, flags;
        int32_t angle, axis;
    };
    const int32_t r2 = RowSymbol("R2", 2, 1000, int16_t(both));
    const int32_t r2h = RowSymbol("R2H", 2, 1000, int16_t(both), false);
    const int32_t r8 = RowSymbol("R8", 8, 100, int16_t(both));
    const int32_t r20 = RowSymbol("R20", 20, 100, int16_t(both), false);
    const int32_t d14 = DualSymbol("D14", 7, 100, 300, int16_t(both));
    const int32_t d14h = DualSymbol("D14H", 7, 100, 300, int16_t(both), false);
    const int32_t d8 = DualSymbol("D8", 4, 100, 300, int16_t(both));
    const int32_t q64s = QuadSymbol("Q64S", 16, 50, int16_t(top));
    const int32_t q64 = QuadSymbol("Q64", 16, 50, int16_t(both));
    const Case cases[] = {
        {"2-pin vertical", r2, kPlShapeSmall, kPlAxisX, 0, 1},
        {"2-pin vertical turned", r2, kPlShapeSmall, kPlAxisX, 5400, 2},
        {"2-pin horizontal", r2h, kPlShapeSmall, kPlAxisY, 10800, 2},
        {"8-pin row", r8, kPlShapeRow, kPlAxisX, 16200, 2},
        {"20-pin row", r20, kPlShapeLarge, kPlAxisY, 0, 2},
        {"dual row", d14, kPlShapeDual, kPlAxisX, 0, 1},
        {"dual row turned", d14h, kPlShapeDual, kPlAxisY, 0, 2},
        {"2 x 4", d8, kPlShapeNone, 0, 0, 0},
        {"quad single-sided", q64s, kPlShapeQuadSmd, kPlSideSingle, 0, 0},
        {"quad", q64, kPlShapeGrid, 0, 0, 0},
        {"odd angle", r2, kPlShapeSmall, kPlAxisX, 100, 0},
    };
    for (const Case& k : cases) {
        PlSymbolClassify(k.symbol);
        SymbolInfo info;
        SymInfoGet(k.symbol, &info);
        EXPECT_EQ(info.byte10, k.shape) << k.name;
        EXPECT_EQ(info.byte11, k.flags) << k.name;
        Component c = CompRecord("X", k.symbol, 0, 0, k.angle);
        EXPECT_EQ(PlCompAxis(&c), k.axis) << k.name;
    }
    const int32_t none = AddThru({{kPadRound, 100, 100, 100, 100}}, 0);
    EXPECT_EQ(PlSymbolSides(RowSymbol("N", 2, 100, int16_t(none))), kPlSideNoPads);
    EXPECT_EQ(SymPinCount(r2), 2); // the pins stay
}

TEST_F(PlModelTest, SmallRowAndSmallClassQueries) {
    const int32_t r2 = RowSymbol("R2", 2, 1000, int16_t(both));
    const int32_t d14 = DualSymbol("D14", 7, 100, 300, int16_t(both));
    const int32_t a = AddPart(r2, {.x = 100, .y = 100, .flags = kPlCompClass2048});
    const int32_t b = AddPart(d14, {.x = 3000, .y = 100});
    PlModelOpen(nullptr);
    EXPECT_EQ(PlCompIsSmallRow(0), 0);
    EXPECT_EQ(PlCompIsSmallRow(a), 1);
    EXPECT_EQ(PlCompIsSmallRow(b), 0);
    EXPECT_EQ(PlCompIsSmallClass(a), 1);
    EXPECT_EQ(PlCompIsSmallClass(b), 0);
    EXPECT_EQ(Node(a).classWord, kPlClassSmall);
}

TEST_F(PlModelTest, ADesignWithoutComponentsOpensNoModel) {
    EXPECT_EQ(PlModelOpen(nullptr), 0);
    EXPECT_FALSE(g_placeModel.open);
    EXPECT_EQ(PoolOwner(g_placeModel.pool), 0);
}

TEST_F(PlModelTest, FreeingLeavesNoPoolOpen) {
    const int32_t sym = RowSymbol("R", 2, 1000, int16_t(both));
    AddPart(sym, {.x = 100, .y = 100});
    std::vector<uint8_t> mask(2, 1);
    PlModelOpen(mask.data());
    const int32_t pool = g_placeModel.pool;
    EXPECT_EQ(PoolOwner(pool), kErrPlModelPool);
    PlModelFree();
    EXPECT_EQ(PoolOwner(pool), 0);
    EXPECT_FALSE(g_placeModel.open);
    EXPECT_EQ(g_placeModel.mask, nullptr);
}

TEST_F(PlModelTest, PlacementGridBelowOneUnitCountsAsOne) {
    SetHeader(1, 1500, 2, 0);
    AddRect(kObsBoardOutline, 0, 0, 0, 70000, 1000); // placement unit 4
    const int32_t sym = RowSymbol("R", 2, 100, int16_t(both));
    AddPart(sym, {.x = 100, .y = 100});
    PlModelOpen(nullptr);
    EXPECT_EQ(g_placeModel.xStep, 1);
    EXPECT_EQ(g_placeModel.yStep, 1500 / 4);
}

// ---- write-back ---------------------------------------------------------------

TEST_F(PlModelTest, WriteBackLandsTheReferencePointFarFromTheOrigin) {
    AddRect(kObsBoardOutline, 0, 40000, 40000, 60000, 60000);
    const int32_t sym = RowSymbol("R", 2, 1000, int16_t(both));
    const int32_t a = AddPart(sym, {.x = 41000, .y = 42000, .angle = 5400});
    const int32_t f = AddPart(sym, {.x = 50000, .y = 50000, .flags = kPlCompFixed});
    PlModelOpen(nullptr);
    PlaceNode& n = g_placeModel.nodes[size_t(a)];
    EXPECT_EQ(n.x, 41000);
    n.x = 55000;
    n.y = 57000;
    n.flags |= kPlCompLocked;
    AltPush();
    const Component before = Comp(a);
    PlWriteBack(0);
    const Component after = Comp(a);
    PlacedPin pin;
    SymPinGet(&after, 1, &pin);
    EXPECT_EQ(pin.x, 55000);
    EXPECT_EQ(pin.y, 57000);
    EXPECT_EQ(after.maxX - after.x, before.maxX - before.x);
    EXPECT_EQ(after.minY - after.y, before.minY - before.y);
    EXPECT_FALSE(after.flags & kPlCompUnplaced);
    EXPECT_TRUE(after.flags & kPlCompLocked);
    EXPECT_EQ(Comp(f).x, 50000);
}

TEST_F(PlModelTest, WriteBackNeverWritesARegionNumberAsMaster) {
    AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
    const int32_t sym = RowSymbol("R", 2, 1000, int16_t(both));
    const int32_t m = AddPart(sym, {.x = 1000, .y = 1000});
    const int32_t a = AddPart(sym, {.x = 5000, .y = 5000, .master = int16_t(m)});
    const int32_t b = AddPart(sym, {.x = 7000, .y = 5000});
    const int32_t c = AddPart(sym, {.x = 9000, .y = 5000, .flags = kPlCompUnplaced});
    PlModelOpen(nullptr);
    AltPush();
    PlWriteBack(0);
    EXPECT_EQ(Comp(a).compRef, m); // region 1 is not written
    EXPECT_EQ(Comp(b).compRef, 0);
    EXPECT_FALSE(Comp(c).flags & kPlCompUnplaced);
    PlWriteBack(1);
    EXPECT_EQ(Comp(a).compRef, 0);
}

// ---- classes ------------------------------------------------------------------

TEST_F(PlModelTest, ClassifyMakesLargeClassesOfPartsSharingTheirNets) {
    AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
    const int32_t r8 = RowSymbol("R8", 8, 100, int16_t(both));
    const int32_t r4 = RowSymbol("R4", 4, 100, int16_t(both));
    const int32_t pkg = AddPackage("PK", {{1, 1, 1}, {1, 1, 2}, {2, 0, 3}, {2, 0, 4}});
    const int32_t g = AddPart(r8, {.x = 100, .y = 100, .group = 7});
    std::vector<int32_t> bus;
    for (int32_t k = 0; k < 5; ++k)
        bus.push_back(AddPart(r8, {.x = 1000 + 1000 * k, .y = 100}));
    const int32_t loner = AddPart(r8, {.x = 1000, .y = 9000});
    // Four parts of one package join one candidate, and all are dropped:
    // none shares its net.
    std::vector<int32_t> pk;
    for (int32_t k = 0; k < 4; ++k) {
        pk.push_back(AddPart(r4, {.x = 1000 + 1000 * k, .y = 20000, .package = int16_t(pkg)}));
        Connect(AddNet(), pk.back(), 1, pk.back(), 2);
    }
    for (int32_t p = 1; p <= 2; ++p) {
        const int32_t net = AddNet();
        for (size_t k = 1; k < bus.size(); ++k)
            Connect(net, bus[0], p, bus[k], p);
        Connect(net, bus[0], p, g, p);
    }
    Connect(AddNet(), loner, 1, loner, 2);
    PlModelOpen(nullptr);
    AltPush();
    PlClassify();
    for (int32_t c : bus) {
        EXPECT_EQ(Comp(c).word40, 8) << c;
        EXPECT_TRUE(Comp(c).flags & kPlCompClass1024);
        EXPECT_EQ(Node(c).classWord, kPlClassLarge);
    }
    EXPECT_EQ(Comp(loner).word40, 0); // its nets are not shared
    EXPECT_EQ(Comp(g).word40, 7);
    for (int32_t c : pk)
        EXPECT_FALSE(Comp(c).flags & kPlCompClass1024);
    EXPECT_TRUE(g_placeModel.classified);
}

TEST_F(PlModelTest, AFullCandidateTakesNoMoreMembers) {
    AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
    const int32_t r4 = RowSymbol("R4", 4, 10, int16_t(both));
    const int32_t net = AddNet();
    std::vector<int32_t> parts;
    for (int32_t k = 0; k < kPlMaxMembers + 1; ++k) {
        parts.push_back(AddPart(r4, {.x = 100 + 60 * (k % 500), .y = 100 + 100 * (k / 500)}));
        if (k > 0) Connect(net, parts[0], 1, parts.back(), 1);
    }
    PlModelOpen(nullptr);
    AltPush();
    PlClassify();
    EXPECT_TRUE(Comp(parts[0]).flags & kPlCompClass1024);
    EXPECT_TRUE(Comp(parts[kPlMaxMembers - 1]).flags & kPlCompClass1024);
    EXPECT_FALSE(Comp(parts[kPlMaxMembers]).flags & kPlCompClass1024);
    EXPECT_EQ(Comp(parts[kPlMaxMembers]).word40, 0);
}

TEST_F(PlModelTest, ClassifyMakesSmallClassesOfPartsWiredAlike) {
    AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
    const int32_t r2 = RowSymbol("R2", 2, 1000, int16_t(both));
    const int32_t r2b = RowSymbol("R2B", 2, 1000, int16_t(bottom));
    const int32_t vcc = AddNet(), gnd = AddNet(), sig = AddNet();
    std::vector<int32_t> caps;
    for (int32_t k = 0; k < 5; ++k)
        caps.push_back(AddPart(r2, {.x = 1000 + 2000 * k, .y = 100}));
    const int32_t other = AddPart(r2, {.x = 1000, .y = 9000});
    const int32_t few = AddPart(r2b, {.x = 1000, .y = 19000});
    int32_t prev = caps[0];
    for (size_t k = 1; k < caps.size(); ++k) {
        Connect(vcc, prev, 1, caps[k], 1);
        Connect(gnd, prev, 2, caps[k], 2);
        prev = caps[k];
    }
    Connect(vcc, caps[0], 1, other, 1);
    Connect(sig, other, 2, few, 1);
    PlModelOpen(nullptr);
    AltPush();
    PlClassify();
    for (int32_t c : caps)
        EXPECT_TRUE(Comp(c).flags & kPlCompClass2048) << c;
    EXPECT_FALSE(Comp(other).flags & kPlCompClass2048);
    EXPECT_FALSE(Comp(few).flags & kPlCompClass2048);
    EXPECT_EQ(Node(caps[0]).classWord, kPlClassSmall);
}

} // namespace
