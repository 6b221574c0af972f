// The swap improvement and gate exchange: the size tolerance, fixed
// anchors, an abort in the second pass, gates that trade places with
// their connection ends and attributes, and the exchanges never made.
#include <gtest/gtest.h>

#include <string>

#include "db/attrs.h"
#include "headless/ascio.h"
#include "place/plgateswap.h"
#include "place/plrun.h"
#include "place/plscore.h"
#include "place/plswap.h"
#include "plfixture.h"

namespace {

class PlSwapTest : public PlaceTest {
  protected:
    void SetUp() override {
        PlaceTest::SetUp();
        AttrRegister();
        SetHeader(1, 1000);
        AddRect(kObsBoardOutline, 0, 0, 0, 30000, 30000);
    }
    // A one-pin part whose Place outline is w wide.
    int32_t Sym(int32_t w) {
        const int32_t s = AddSymbol(("W" + std::to_string(w)).c_str(), {{0, 0, int16_t(both)}});
        AddRect(kObsPlaceOutline, s, -w / 2, -500, w - w / 2, 500);
        return s;
    }
    int32_t At(int32_t sym, int32_t x, int32_t y, uint16_t flags = 0) {
        Part p;
        p.x = x;
        p.y = y;
        p.flags = flags;
        return AddPart(sym, p);
    }
    // Two anchors and two parts each wired to the far anchor.
    void Crossed(int32_t wa, int32_t wb) {
        const int32_t s = Sym(1000);
        left = At(s, 2000, 10000, kPlCompFixed);
        right = At(s, 20000, 10000, kPlCompFixed);
        a = At(Sym(wa), 18000, 10000);
        b = At(wa == wb ? Sym(wa) : Sym(wb), 4000, 10000);
        Connect(AddNet(), left, 1, a, 1);
        Connect(AddNet(), right, 1, b, 1);
    }
    void Swap(int32_t options = 0) {
        AltPush();
        PlSwapImprove(nullptr, options);
        AltPop(true);
    }
    int32_t left = 0, right = 0, a = 0, b = 0;
};

TEST_F(PlSwapTest, SimilarSizesSwapAndAnchorsStay) {
    Crossed(1000, 1190);
    Swap();
    EXPECT_EQ(Comp(a).x, 4000);
    EXPECT_EQ(Comp(b).x, 18000);
    EXPECT_EQ(Comp(left).x, 2000);
    EXPECT_EQ(Comp(right).x, 20000);
    EXPECT_FALSE(g_placeModel.open);
    EXPECT_EQ(AltDepth(), 0);
}

TEST_F(PlSwapTest, SizesBeyondAFifthNeverSwap) {
    Crossed(1000, 1210);
    Swap();
    EXPECT_EQ(Comp(a).x, 18000);
    EXPECT_EQ(Comp(b).x, 4000);
}

TEST_F(PlSwapTest, UnplacedPartsNeitherSwapNorGetWrittenBack) {
    Crossed(1000, 1000);
    Component r = Comp(b);
    r.flags |= kPlCompUnplaced;
    CompPut(b, &r);
    Swap();
    EXPECT_EQ(Comp(a).x, 18000);
    EXPECT_TRUE(Comp(b).flags & kPlCompUnplaced);
}

TEST_F(PlSwapTest, AnAbortInTheSecondPassDiscardsTheFirst) {
    Crossed(1000, 1000);
    HeadlessAbortAfter(CompCount()); // every poll of pass 1 answers no
    Swap(kPlRunRecon);
    EXPECT_EQ(Comp(a).x, 18000);
    EXPECT_EQ(Comp(b).x, 4000);
    EXPECT_EQ(g_placeModel.runOptions, 0);
    EXPECT_FALSE(g_placeModel.open);
    HeadlessAbortAfter(-1);
}

class PlGateTest : public PlSwapTest {
  protected:
    // A part of four pins in a row: gates 1 (pins 1, 2) and 2 (pins 3, 4)
    // with functions 1, 2, 1, f4; an anchor of two pins right of it wired
    // to pins 1 and 2.
    void Board(uint8_t f4 = 2, uint8_t weight = 50, bool samePackage = true) {
        const int32_t row = RowSymbol("U4", 4, 1000, int16_t(both), false);
        const int32_t pkg = AddPackage("GATES", {{1, 1, 1}, {1, 1, 2}, {2, 1, 1}, {2, 1, f4}});
        const int32_t other = AddPackage("OTHER", {{1, 1, 1}, {1, 1, 2}, {2, 1, 1}, {2, 1, 2}});
        Part p;
        p.x = 2000;
        p.y = 10000;
        p.package = int16_t(pkg);
        u = AddPart(row, p);
        p.x = 12000;
        p.package = int16_t(samePackage ? pkg : other);
        v = AddPart(row, p);
        const int32_t anchor = RowSymbol("A2", 2, 1000, int16_t(both), false);
        Part q;
        q.x = 9000;
        q.y = 10000;
        q.flags = kPlCompFixed;
        w = AddPart(anchor, q);
        c1 = Connect(AddNet(weight), w, 1, u, 1);
        c2 = Connect(AddNet(weight), w, 2, u, 2);
    }
    int32_t Gate(int32_t x, int32_t y) {
        AltPush();
        PlModelOpen(nullptr);
        PlScoreWire(); // fills the net length cache
        const int32_t r = PlGateSwap(x, y);
        PlModelFree();
        AltPop(true);
        return r;
    }
    static Conn ConnAt(int32_t k) {
        Conn r;
        AltSave(kRecConn, k, &r);
        return r;
    }
    int32_t u = 0, v = 0, w = 0, c1 = 0, c2 = 0;
};

TEST_F(PlGateTest, GatesOfOnePartTradePlacesWithTheirEnds) {
    Board();
    EXPECT_EQ(Gate(u, u), 1);
    const Conn r1 = ConnAt(c1), r2 = ConnAt(c2);
    EXPECT_EQ(r1.head.toComp, u);
    EXPECT_EQ(r1.head.toPin, 3);
    EXPECT_EQ(r2.head.toPin, 4);
    PlacedPin pin;
    CompPinXY(u, 3, &pin);
    const int32_t endX = r1.crn[r1.head.count - 1].x;
    EXPECT_EQ(endX, pin.x);
    Attribute at;
    ASSERT_TRUE(AttrFind(kPlAttrGateKind, kPlAttrGateSub, u, 1, &at));
    EXPECT_EQ(at.value1, u);
    EXPECT_EQ(at.value3, 3);
    ASSERT_TRUE(AttrFind(kPlAttrGateKind, kPlAttrGateSub, u, 3, &at));
    EXPECT_EQ(at.value3, 1);
}

TEST_F(PlGateTest, GatesOfTwoPartsTradePlaces) {
    Board();
    EXPECT_EQ(Gate(u, v), 1);
    EXPECT_EQ(ConnAt(c1).head.toComp, v);
}

TEST_F(PlGateTest, ExchangesThatAreNeverMade) {
    const struct {
        uint8_t f4, weight;
        bool same;
    } cases[] = {{3, 50, true}, {2, 0, true}, {2, 50, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.f4) * 1000 + c.weight * 10 + c.same);
        TearDown();
        SetUp();
        Board(c.f4, c.weight, c.same);
        EXPECT_EQ(Gate(u, c.same ? u : v), 0);
        EXPECT_EQ(ConnAt(c1).head.toPin, 1);
    }
}

} // namespace
