// Pad distances: points, segments and boxes to the pads of a placed pin,
// upright and turned, and the turned rectangle and oblong themselves.
#include <gtest/gtest.h>

#include "compfixture.h"
#include "db/geom.h"
#include "db/paddist.h"

namespace {

class PadDistTest : public CompDbTest {
  protected:
    // A component at (x, y) and the angle whose one pin (at its origin) has
    // the shape on layer 1 only.
    static int32_t PadComp(Shape shape, int32_t x = 0, int32_t y = 0, int32_t angle = 0) {
        int32_t t = AddThru({shape}, 0x2);
        static int32_t serial = 0;
        std::string name = "S" + std::to_string(++serial);
        int32_t s = AddSymbol(name.c_str(), {{0, 0, int16_t(t)}});
        return AddComp(name.c_str(), s, x, y, angle);
    }
};

TEST(PadShapeDist, TurnedRectangleAndOblong) {
    struct Case {
        const char* what;
        bool oblong;
        int32_t px, py, hw, hh, angle, expected;
    };
    const Case cases[] = {
        {"rect beside", false, 20, 0, 10, 5, 0, 10},
        {"rect inside", false, 3, 2, 10, 5, 0, 0},
        {"rect quarter turn, along its length", false, 0, 20, 10, 5, 5400, 10},
        {"rect quarter turn, across", false, 20, 0, 10, 5, 5400, 15},
        {"rect at 45 degrees", false, 20, -20, 20, 10, 2700, 18},
        {"rect at 45 degrees, inside", false, 10, 10, 20, 10, 2700, 0},
        {"oblong above", true, 0, 30, 20, 10, 0, 20},
        {"oblong beyond its end", true, 25, 0, 20, 10, 0, 5},
        {"oblong quarter turn", true, 25, 0, 20, 10, 5400, 15},
        {"oblong at 45 degrees", true, 20, -20, 20, 10, 2700, 18},
        {"oblong inside", true, 5, 5, 20, 10, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int32_t d = c.oblong ? PtOblongDist(c.px, c.py, 0, 0, c.hw, c.hh, c.angle)
                             : PtRotRectDist(c.px, c.py, 0, 0, c.hw, c.hh, c.angle);
        EXPECT_EQ(d, c.expected);
        // The same about another centre.
        int32_t moved = c.oblong
                            ? PtOblongDist(c.px + 500, c.py - 700, 500, -700, c.hw, c.hh, c.angle)
                            : PtRotRectDist(c.px + 500, c.py - 700, 500, -700, c.hw, c.hh, c.angle);
        EXPECT_EQ(moved, c.expected);
    }
}

TEST_F(PadDistTest, PointDistanceByShape) {
    struct Case {
        const char* what;
        Shape shape;
        int32_t px, py, expected;
    };
    const Case cases[] = {
        {"round", {kPadRound, 10, 10, 10, 10}, 30, 0, 20},
        {"round, inside", {kPadRound, 10, 10, 10, 10}, 3, 4, 0},
        {"thermal", {kPadThermal, 10, 10, 10, 10}, 0, 25, 15},
        {"annular", {kPadAnnular, 10, 10, 10, 10}, -25, 0, 15},
        {"rect", {kPadRect, 10, 5, 10, 5}, 30, 0, 20},
        {"rect above", {kPadRect, 10, 5, 10, 5}, 0, 20, 15},
        {"rect on its edge", {kPadRect, 10, 5, 10, 5}, 10, 5, 0},
        {"square", {kPadSquare, 8, 8, 8, 8}, 20, 0, 12},
        {"oblong above", {kPadOblong, 20, 10, 20, 10}, 0, 30, 20},
        {"oblong beyond its end", {kPadOblong, 20, 10, 20, 10}, 25, 0, 5},
        {"oval upright", {kPadOval, 10, 20, 10, 20}, 0, 25, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int32_t comp = PadComp(c.shape, 1000, 1000);
        EXPECT_EQ(PtPadDist(comp, 1, 1, 1000 + c.px, 1000 + c.py), c.expected);
        EXPECT_EQ(PtPadDist(comp, 1, 2, 1000 + c.px, 1000 + c.py), kDistNone);
    }
}

TEST_F(PadDistTest, QuarterTurnedPadsUseTheirPlacedBox) {
    int32_t c = PadComp({kPadOblong, 20, 10, 20, 10}, 0, 0, 5400);
    EXPECT_EQ(PtPadDist(c, 1, 1, 25, 0), 15);
    EXPECT_EQ(PtPadDist(c, 1, 1, 0, 25), 5);
    int32_t r = PadComp({kPadRect, 10, 5, 10, 5}, 0, 0, 16200);
    EXPECT_EQ(PtPadDist(r, 1, 1, 0, 30), 20);
}

TEST_F(PadDistTest, TurnedPiecesAreMeasuredInTheirOwnFrame) {
    int32_t rect = PadComp({kPadRect, 20, 10, 20, 10}, 0, 0, 2700);
    // (20, -20) lies in the turned rectangle's box but outside the
    // rectangle itself.
    EXPECT_EQ(PtPadDist(rect, 1, 1, 20, -20), 18);
    EXPECT_EQ(PtPadDist(rect, 1, 1, 10, 10), 0);
    EXPECT_EQ(PadSegDist(rect, 1, 1, 20, -20, 40, -40), 18);
    EXPECT_EQ(PadSegDist(rect, 1, 1, 20, -20, -20, 20), 0);
    EXPECT_EQ(PadBoxDist(rect, 1, 1, -2, -2, 2, 2), 0);     // inside the pad
    EXPECT_EQ(PadBoxDist(rect, 1, 1, -50, -50, 50, 50), 0); // around it
    int32_t d = PadBoxDist(rect, 1, 1, 15, -15, 16, -14);
    EXPECT_GT(d, 8);
    EXPECT_LT(d, 13);
    int32_t oblong = PadComp({kPadOblong, 20, 10, 20, 10}, 0, 0, 2700);
    EXPECT_EQ(PtPadDist(oblong, 1, 1, 20, -20), 18);
    EXPECT_EQ(PtPadDist(oblong, 1, 1, 14, 14), 0);
    EXPECT_EQ(PadBoxDist(oblong, 1, 1, 40, 40, 50, 50), PtDist(40, 40, 7, 7) - 10);
    // Round pieces need no turning.
    int32_t round = PadComp({kPadRound, 10, 10, 10, 10}, 0, 0, 2700);
    EXPECT_EQ(PtPadDist(round, 1, 1, 30, 0), 20);
}

TEST_F(PadDistTest, SegmentDistanceByShape) {
    int32_t round = PadComp({kPadRound, 10, 10, 10, 10});
    EXPECT_EQ(PadSegDist(round, 1, 1, 30, -100, 30, 100), 20);
    EXPECT_EQ(PadSegDist(round, 1, 1, -100, 5, 100, 5), 0);
    int32_t rect = PadComp({kPadRect, 10, 5, 10, 5});
    EXPECT_EQ(PadSegDist(rect, 1, 1, -100, 20, 100, 20), 15);
    EXPECT_EQ(PadSegDist(rect, 1, 1, 0, 0, 1, 1), 0);
    int32_t oblong = PadComp({kPadOblong, 20, 10, 20, 10});
    EXPECT_EQ(PadSegDist(oblong, 1, 1, -100, 30, 100, 30), 20);
    EXPECT_EQ(PadSegDist(oblong, 1, 1, 25, -100, 25, 100), 5);
}

TEST_F(PadDistTest, BoxDistanceByShape) {
    int32_t round = PadComp({kPadRound, 10, 10, 10, 10});
    EXPECT_EQ(PadBoxDist(round, 1, 1, 30, -5, 40, 5), 20);
    EXPECT_EQ(PadBoxDist(round, 1, 1, -50, -50, 50, 50), 0);
    int32_t oblong = PadComp({kPadOblong, 20, 10, 20, 10});
    EXPECT_EQ(PadBoxDist(oblong, 1, 1, -5, 30, 5, 40), 20);
    EXPECT_EQ(PadBoxDist(oblong, 1, 1, 25, -5, 40, 5), 5);
    int32_t rect = PadComp({kPadSquare, 10, 10, 10, 10});
    EXPECT_EQ(PadBoxDist(rect, 1, 1, 20, -50, 40, 50), 10);
    EXPECT_EQ(PadBoxDist(rect, 1, 1, 40, 50, 20, -50), 10); // corners in any order
    EXPECT_EQ(PadBoxDist(rect, 1, 1, 5, 5, 50, 50), 0);     // overlapping
    EXPECT_EQ(PadBoxDist(rect, 1, 1, 10, 10, 50, 50), 0);   // touching at a corner
    EXPECT_EQ(PadBoxDist(rect, 1, 1, 15, 20, 50, 50), PtDist(10, 10, 15, 20));
    // A pad inside the box near a corner far from the box's diagonal.
    int32_t corner = PadComp({kPadRect, 5, 5, 5, 5}, 180, 20);
    EXPECT_EQ(PadBoxDist(corner, 1, 1, 0, 0, 200, 200), 0);
    EXPECT_EQ(PadBoxDist(corner, 1, 2, 0, 0, 200, 200), kDistNone);
}

TEST_F(PadDistTest, AShapeThatCannotBeMeasuredIsFatal) {
    int32_t t = ThruAdd();
    ThruCode rec;
    ThruGet(t, &rec);
    rec.layer[1].shapeCount = 1;
    rec.layer[1].shape[0] = PadShape{0, 0, {5, 5, 5, 5}, 9, 0};
    {
        DbTrustedScope trusted;
        ThruPut(t, &rec);
    }
    int32_t s = AddSymbol("S", {{0, 0, int16_t(t)}});
    int32_t c = AddComp("U1", s, 0, 0);
    EXPECT_FATAL(PtPadDist(c, 1, 1, 0, 0), kErrPadDistShape);
    EXPECT_FATAL(PadSegDist(c, 1, 1, 0, 0, 1, 1), kErrPadDistShape);
    EXPECT_FATAL(PadBoxDist(c, 1, 1, 0, 0, 1, 1), kErrPadDistShape);
    EXPECT_FATAL(PtPadDist(2, 1, 1, 0, 0), 5230054);
    EXPECT_FATAL(PtPadDist(c, 2, 1, 0, 0), 5226074);
}

} // namespace
