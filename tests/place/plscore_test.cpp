// The score terms on small models: overlaps by layer class, area
// obstacles and their attribute exceptions, groups, the wire measure with
// its cache, the divisor and the alignment term.
#include <gtest/gtest.h>

#include "db/attrs.h"
#include "place/plmodel.h"
#include "place/plscore.h"
#include "plfixture.h"

namespace {

class PlScoreTest : public PlaceTest {
  protected:
    void SetUp() override {
        PlaceTest::SetUp();
        SetHeader(1);
        AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
        pinless = AddSymbol("BOX", {});
    }
    // A pinless part whose box is given through a Place outline.
    int32_t BoxPart(int32_t x, int32_t y, int32_t w, int32_t h, Part p = {}) {
        const int32_t sym = AddSymbol(("B" + std::to_string(++m_boxes)).c_str(), {});
        AddRect(kObsPlaceOutline, sym, 0, 0, w, h);
        p.x = x;
        p.y = y;
        return AddPart(sym, p);
    }
    PlaceNode& Node(int32_t c) { return g_placeModel.nodes[size_t(c)]; }
    // Places a node's box at (x, y) with the given size.
    void SetBox(int32_t c, int32_t x, int32_t y, int32_t w, int32_t h, int16_t layerClass) {
        PlaceNode& n = Node(c);
        n.x1 = x;
        n.y1 = y;
        n.x2 = x + w;
        n.y2 = y + h;
        n.layerClass = layerClass;
    }
    static void Attr(int32_t kind, int32_t comp, int32_t obs, int32_t value) {
        Attribute a{};
        a.kind = uint8_t(kind);
        a.key1Type = kPlAttrKeyComp;
        a.key2Type = kRecObstacle;
        a.key1 = int16_t(comp);
        a.key2 = int16_t(obs);
        a.value1 = value;
        a.value3 = 1;
        AttrPut(&a);
    }
    int32_t pinless = 0;

  private:
    int32_t m_boxes = 0;
};

TEST_F(PlScoreTest, OverlapCountsPairsThatMayCollide) {
    const int32_t a = AddPart(pinless, {.x = 1000, .y = 1000});
    const int32_t b = AddPart(pinless, {.x = 1000, .y = 1000});
    PlModelOpen(nullptr);
    EXPECT_EQ(g_placeModel.scoreDivisor, 10);
    struct Case {
        int16_t la, lb;
        int64_t each;
    } cases[] = {
        {0, 0, 2 * 50 * 40}, {0, 2, 2 * 50 * 40}, {1, 1, 2 * 50 * 40}, {1, 2, 0}, {-1, 1, 0}};
    for (const Case& k : cases) {
        SetBox(a, 1000, 1000, 100, 100, k.la);
        SetBox(b, 1050, 1060, 100, 100, k.lb);
        EXPECT_EQ(PlCompOverlap(a), k.each) << k.la << "/" << k.lb;
        EXPECT_EQ(PlScoreOverlap(), 2 * k.each / 10);
    }
    // Large boxes: terms and totals beyond 32 bits.
    SetBox(a, -200000, -200000, 400000, 400000, 0);
    SetBox(b, -200000, -200000, 400000, 400000, 0);
    EXPECT_EQ(PlCompOverlap(a), 2 * int64_t(400000) * 400000 + kPlAreaPenalty);
    EXPECT_EQ(PlScoreOverlap(), (4 * int64_t(400000) * 400000 + 2 * kPlAreaPenalty) / 10);
    // Boxes that only touch do not overlap.
    SetBox(b, 1100, 1000, 100, 100, 0);
    SetBox(a, 1000, 1000, 100, 100, 0);
    EXPECT_EQ(PlCompOverlap(a), 0);
}

TEST_F(PlScoreTest, AreaObstaclesAndTheAreaAddTheirPenaltyOnce) {
    const int32_t keepout = AddRect(kObsCompKeepout, 0, 5000, 5000, 6000, 6000);
    AddRect(kObsHeightKeepout, 0, 5000, 5000, 6000, 6000, 2);
    const int32_t a = AddPart(pinless, {.x = 1000, .y = 1000});
    PlModelOpen(nullptr);
    ASSERT_EQ(g_placeModel.obstacles.size(), 2u);
    EXPECT_EQ(g_placeModel.obstacles[0].obstacle, keepout);
    SetBox(a, 1000, 1000, 100, 100, 0);
    EXPECT_EQ(PlCompOverlap(a), 0);
    SetBox(a, 5500, 5500, 100, 100, 0); // inside both keepouts: one penalty
    EXPECT_EQ(PlCompOverlap(a), kPlAreaPenalty);
    SetBox(a, 31950, 100, 100, 100, 0); // leaves the area
    EXPECT_EQ(PlCompOverlap(a), kPlAreaPenalty);
    SetBox(a, 5500, 5500, 30000, 100, 0); // both
    EXPECT_EQ(PlCompOverlap(a), 2 * kPlAreaPenalty);
    // Another layer class passes the layer-2 keepout, the layer-0 one stays.
    SetBox(a, 5500, 5500, 100, 100, 1);
    EXPECT_EQ(PlCompOverlap(a), kPlAreaPenalty);
}

TEST_F(PlScoreTest, KeepinsAndTheirGroupAndHeightExceptions) {
    const int32_t group = AddRect(kObsGroupKeepin, 0, 1000, 1000, 3000, 3000);
    const int32_t height = AddRect(kObsHeightKeepin, 0, 1000, 1000, 3000, 3000);
    SymbolInfo info;
    SymInfoGet(pinless, &info);
    info.value[0] = 300; // first height field
    info.value[1] = 200;
    SymPutRaw(pinless, &info);
    const int32_t a = AddPart(pinless, {.x = 1000, .y = 1000, .group = 4});
    PlModelOpen(nullptr);
    SetBox(a, 1500, 1500, 100, 100, 0);
    EXPECT_EQ(PlCompOverlap(a), 0);
    SetBox(a, 5000, 5000, 100, 100, 0); // outside both keepins
    EXPECT_EQ(PlCompOverlap(a), kPlAreaPenalty);
    struct Case {
        int32_t groupValue; // 0: no group attribute
        bool heightAttr;
        int32_t h;
        int64_t expect;
    } cases[] = {
        {5, false, 0, 0},               // another group: the group keepin does not hold it
        {4, false, 0, kPlAreaPenalty},  // its own group
        {5, true, 299, kPlAreaPenalty}, // too low for the height keepin
        {5, true, 300, 0},              // tall enough
        {5, true, 0, 0},                // no height limit
        {5, true, -200, 0},             // the second height field
        {5, true, -199, kPlAreaPenalty},
    };
    for (const Case& k : cases) {
        AttrFree();
        AttrInit();
        Attr(kPlAttrGroupLimit, a, group, k.groupValue);
        if (k.heightAttr) Attr(kPlAttrHeightLimit, a, height, k.h);
        if (!k.heightAttr) Attr(kPlAttrGroupLimit, a, height, k.groupValue);
        EXPECT_EQ(PlCompOverlap(a), k.expect) << k.groupValue << " " << k.h;
    }
}

TEST_F(PlScoreTest, GroupsPullTogetherExceptSmallClasses) {
    const int32_t a = AddPart(pinless, {.x = 1000, .y = 1000, .group = 2});
    const int32_t b = AddPart(pinless, {.x = 1300, .y = 1500, .group = 2});
    const int32_t c =
        AddPart(pinless, {.x = 9000, .y = 9000, .flags = kPlCompClass2048, .group = 2});
    const int32_t d = AddPart(pinless, {.x = 5000, .y = 5000});
    PlModelOpen(nullptr);
    EXPECT_EQ(PlCompGroup(a), 2 * 800);
    EXPECT_EQ(PlCompGroup(c), 0);
    EXPECT_EQ(PlCompGroup(d), 0);
    EXPECT_EQ(PlScoreGroup(), 4 * 800 / 10);
    (void)b;
}

TEST_F(PlScoreTest, WireMeasureByTreeOrHalfPerimeterWithUndo) {
    const int32_t sym = RowSymbol("ONE", 1, 100, int16_t(both));
    const int32_t a = AddPart(sym, {.x = 1000, .y = 1000});
    const int32_t b = AddPart(sym, {.x = 4000, .y = 1000});
    const int32_t c = AddPart(sym, {.x = 4000, .y = 3000});
    const int32_t net = AddNet(50);
    const int32_t cheap = AddNet(50, 0x04); // distance kind 2: 8 dy + dx
    Connect(net, a, 1, b, 1);
    Connect(net, b, 1, c, 1);
    Connect(cheap, a, 1, c, 1);
    PlModelOpen(nullptr);
    EXPECT_EQ(PlNetMeasure(net), 3000 + 2000);
    EXPECT_EQ(PlNetMeasure(cheap), 8 * 2000 + 3000);
    EXPECT_EQ(PlScoreWire(), (5 * 5000 + 5 * 19000) / 10);
    PlSetRunOptions(kPlOptHalfPerimeter);
    EXPECT_EQ(PlNetMeasure(net), (3000 + 2000) / 2);
    EXPECT_EQ(PlNetWire(net), 5 * 2500);
    g_placeModel.nets[size_t(net)].points[0].x = 0;
    EXPECT_EQ(PlNetWire(net), 5 * 3000);
    PlNetWireUndo(net);
    EXPECT_EQ(g_placeModel.nets[size_t(net)].lengthLast, 2500);
    PlSetRunOptions(0);
}

TEST_F(PlScoreTest, DivisorForLargeUnits) {
    AddPart(pinless, {.x = 1000, .y = 1000});
    SetHeader(32767);
    PlModelOpen(nullptr);
    EXPECT_EQ(g_placeModel.scoreDivisor, kPlScoreDivisorLarge);
    SetHeader(60);
    PlModelOpen(nullptr);
    EXPECT_EQ(g_placeModel.scoreDivisor, 600);
}

TEST_F(PlScoreTest, AlignScoreOfPartsOnOneAxisAndOfNearestPins) {
    SetHeader(60);
    const int32_t r2 = RowSymbol("R2", 2, 1000, int16_t(both));
    const int32_t r3h = RowSymbol("R3H", 3, 1000, int16_t(both), false);
    const int32_t a = AddPart(r2, {.x = 0, .y = 0});
    const int32_t b = AddPart(r2, {.x = 100000, .y = 0});
    const int32_t c = AddPart(r2, {.x = 30000, .y = 10000});
    const int32_t d = AddPart(r3h, {.x = 3000, .y = 4000});
    PlModelOpen(nullptr);
    EXPECT_EQ(PlAlignScore(a, b), 0); // pin 1 on one line
    // dx 30,000 and dy 10,000: (10,000^2 / 40,000)^2 x 500, beyond 32 bits.
    EXPECT_DOUBLE_EQ(PlAlignScore(a, c), 2500.0 * 2500.0 * 500);
    // Different axes: the nearest pins, a's pin 2 (0, 1000) and d's pin 1.
    EXPECT_DOUBLE_EQ(PlAlignScore(a, d), (9e6 / 6000) * (9e6 / 6000));
}

} // namespace
