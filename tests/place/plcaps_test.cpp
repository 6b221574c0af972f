// Small parts beside partners: the partner carrying both nets wins, a
// partner takes one small part, the second search drops the net rule,
// different single layers never pair, and fixed small parts stay.
#include <gtest/gtest.h>

#include <string>

#include "place/plcaps.h"
#include "place/plrun.h"
#include "plfixture.h"

namespace {

class PlCapsTest : public PlaceTest {
  protected:
    void SetUp() override {
        PlaceTest::SetUp();
        SetHeader(1, 1000);
        AddRect(kObsBoardOutline, 0, 0, 0, 30000, 30000);
        d8 = DualSymbol("D8", 8, 500, 3000, int16_t(both), false);
        r2 = RowSymbol("R2", 2, 1000, int16_t(both));
        r2top = RowSymbol("R2T", 2, 1000, int16_t(top));
        d8bottom = DualSymbol("D8B", 8, 500, 3000, int16_t(bottom), false);
    }
    PlaceNode& Node(int32_t c) { return g_placeModel.nodes[size_t(c)]; }
    // Whether small part s stands just left or right of partner p.
    bool Beside(int32_t s, int32_t p) {
        const PlaceNode &a = Node(s), &b = Node(p);
        const bool sideways = a.x2 <= b.x1 + 600 || a.x1 >= b.x2 - 600;
        const bool near = a.x > b.x1 - 2000 && a.x < b.x2 + 2000;
        return sideways && near && a.y >= b.y1 - 1000 && a.y <= b.y2 + 1000;
    }
    Part Small(int32_t x, int32_t y, uint16_t flags = 0) {
        Part p;
        p.x = x;
        p.y = y;
        p.flags = uint16_t(kPlCompClass2048 | flags);
        return p;
    }
    int32_t d8 = 0, r2 = 0, r2top = 0, d8bottom = 0;
};

TEST_F(PlCapsTest, PartnerWithBothNetsFirstThenTheSecondSearch) {
    const int32_t a = AddPart(d8, {10000, 10000});
    const int32_t b = AddPart(d8, {20000, 20000});
    const int32_t s1 = AddPart(r2, Small(2000, 25000));
    const int32_t s2 = AddPart(r2, Small(25000, 2000));
    const int32_t n1 = AddNet(), n2 = AddNet();
    Connect(n1, a, 1, s1, 1);
    Connect(n2, a, 2, s1, 2);
    Connect(n1, a, 1, s2, 1);
    Connect(n2, a, 2, s2, 2);
    g_pairs = PlPairState{};
    PlModelOpen(nullptr);
    TraceCapture trace;
    PlaceCaps();
    // The last small part is tried first and takes the partner of both
    // nets; the other goes beside the remaining partner.
    EXPECT_TRUE(Beside(s2, a));
    EXPECT_TRUE(Beside(s1, b));
    ASSERT_GE(trace.Lines().size(), 2u);
    EXPECT_EQ(trace.Lines().front(), "PlaceCaps: started");
    EXPECT_EQ(trace.Lines().back(), "PlaceCaps: done");
}

TEST_F(PlCapsTest, DifferentSingleLayersAndFixedPartsStay) {
    const int32_t a = AddPart(d8bottom, {10000, 10000});
    const int32_t s1 = AddPart(r2top, Small(2000, 25000));
    const int32_t s2 = AddPart(r2, Small(25000, 2000, kPlCompFixed));
    const int32_t n1 = AddNet(), n2 = AddNet();
    Connect(n1, a, 1, s1, 1);
    Connect(n2, a, 2, s1, 2);
    Connect(n1, a, 3, s2, 1);
    Connect(n2, a, 4, s2, 2);
    PlModelOpen(nullptr);
    const int32_t x1 = Node(s1).x, x2 = Node(s2).x;
    PlaceCaps();
    EXPECT_EQ(Node(s1).x, x1);
    EXPECT_EQ(Node(s2).x, x2);
}

TEST_F(PlCapsTest, APartnerUsedTwiceIsFatal) {
    const int32_t a = AddPart(d8, {10000, 10000});
    const int32_t s = AddPart(r2, Small(2000, 25000));
    const int32_t n1 = AddNet(), n2 = AddNet();
    Connect(n1, a, 1, s, 1);
    Connect(n2, a, 2, s, 2);
    PlModelOpen(nullptr);
    PlSmallPart sp{int16_t(s), 0, int16_t(n1), int16_t(n2), 1, 1000, 50, 1050};
    std::vector<PlPartner> partners{{int16_t(a), 8, 1, 0, 2}};
    g_plRun.xStep = g_plRun.yStep = 1000;
    EXPECT_FATAL(PlaceCapsOne(sp, partners), kErrPlCapsPartner);
}

} // namespace
