// Transfer modes, scaled-port arithmetic and the primitives' pixel
// geometry.
#include <gtest/gtest.h>

#include "toolbox/core/windowobject.h"
#include "toolbox/ui/drawgeometry.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/portscale.h"
#include "toolbox/ui/transfermode.h"

namespace {

TEST(TransferModes, TableAndBackgroundMode) {
    const int32_t rop2[8] = {13, 9, 10, 15, 4, 8, 7, 2};
    const uint32_t rops[8] = {0x00CC0020, 0x008800C6, 0x00990066, 0x00EE0086,
                              0x00330008, 0x007700E6, 0x00660046, 0x001100A6};
    for (int mode = 0; mode < 8; ++mode) {
        EXPECT_EQ(Rop2OfMode(mode), rop2[mode]) << mode;
        EXPECT_EQ(Rop2OfMode(mode + 8), rop2[mode]) << mode;
        EXPECT_EQ(RasterOpOfMode(mode), rops[mode]) << mode;
        EXPECT_EQ(BackModeOfMode(mode), mode == 1 ? kBackModeTransparent : kBackModeOpaque);
    }
}

TEST(PortScaleArithmetic, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDivRound(3, kScaleOne / 2, kScaleOne), 2);
    EXPECT_EQ(MulDivRound(-3, kScaleOne / 2, kScaleOne), -2);
    EXPECT_EQ(MulDivRound(5, 1, 0), 0);
    EXPECT_EQ(MulDivRound(0x7FFFFFFF, 2, 4), 0x40000000);
}

TEST(PortScaleArithmetic, RectanglesKeepAPixel) {
    PortScale half{kScaleOne / 2, kScaleOne / 2, kScaleOnlyVertical, 0, 0};
    // Height 1 at an odd row: still one device row.
    Rect32 r{3, 0, 4, 10};
    ScaleRectToDevice(&half, &r);
    EXPECT_EQ(r.bottom - r.top, 1);
    EXPECT_EQ(r.left, 0); // horizontal axis unscaled
    EXPECT_EQ(r.right, 10);
    // Both axes with no rounding amount: the collapsed edge moves out.
    PortScale quarter{kScaleOne / 4, kScaleOne / 4, kScaleBothAxes, 0, 0};
    Rect32 s{0, 0, 1, 1};
    ScaleRectToDevice(&quarter, &s);
    EXPECT_EQ(s.bottom, s.top + 1);
    EXPECT_EQ(s.right, s.left + 1);
    Rect32 empty{5, 5, 5, 9};
    ScaleRectToDevice(&quarter, &empty);
    EXPECT_LE(empty.bottom, empty.top);
}

TEST(PortScaleArithmetic, PointsRoundTripAndPenScales) {
    PortScale twice{2 * kScaleOne, 2 * kScaleOne, kScaleBothAxes, 1, 1};
    Point32 p{7, -3};
    ScalePointToDevice(&twice, &p, 1);
    EXPECT_EQ(p.v, 14);
    EXPECT_EQ(p.h, -6);
    UnscalePoints(&twice, &p, 1);
    EXPECT_EQ(p.v, 7);
    EXPECT_EQ(p.h, -3);
    EXPECT_EQ(ScalePenSize(&twice, 3), 6);
    PortScale tenth{kScaleOne / 10, kScaleOne / 10, kScaleBothAxes, 0, 0};
    EXPECT_EQ(ScalePenSize(&tenth, 2), 1);
    PortScale oneAxis{kScaleOne / 10, kScaleOne, kScaleOnlyHorizontal, 0, 0};
    EXPECT_EQ(ScalePenSize(&oneAxis, 2), 2);
}

TEST(DrawGeometry, FrameInsetsAndHalfWidths) {
    struct Case {
        int32_t width;
        bool transform;
        int32_t leftTop, rightBottom;
    } cases[] = {
        {1, false, 0, 0}, {2, false, 1, 0}, {3, false, 1, 1}, {4, false, 2, 1}, {3, true, 2, 2}};
    for (const Case& c : cases) {
        FrameInsets insets = FrameInsetsFor(c.width, c.transform);
        EXPECT_EQ(insets.leftTop, c.leftTop) << c.width;
        EXPECT_EQ(insets.rightBottom, c.rightBottom) << c.width;
    }
    EXPECT_EQ(HalfWidthOffset(7, false), 3);
    EXPECT_EQ(HalfWidthOffset(7, true), 4);
    EXPECT_EQ(HalfWidthOffset(5, true), 2);
}

TEST(DrawGeometry, LastPixelOfOnePixelLines) {
    LineEnd e = IncludeLastPixel(Point32{0, 10}, Point32{0, 20});
    EXPECT_EQ(e.end.h, 21);
    EXPECT_FALSE(e.extraStep);
    e = IncludeLastPixel(Point32{5, 0}, Point32{1, 0});
    EXPECT_EQ(e.end.v, 0);
    e = IncludeLastPixel(Point32{0, 0}, Point32{5, 7});
    EXPECT_EQ(e.end.h, 7);
    EXPECT_TRUE(e.extraStep);
}

TEST(DrawGeometry, ArcEndPointsWidenUntilApart) {
    Rect32 r{0, 0, 100, 100};
    int32_t arc = 900;
    ArcEnds ends = ArcEndPoints(&r, 0, &arc);
    EXPECT_EQ(ends.start.x, 50);
    EXPECT_EQ(ends.start.y, 0);
    EXPECT_EQ(ends.end.x, 100);
    EXPECT_EQ(ends.end.y, 50);
    EXPECT_EQ(arc, 900);
    // An arc of 0 widens positively and stops.
    arc = 0;
    ends = ArcEndPoints(&r, 0, &arc);
    EXPECT_GT(arc, 0);
    EXPECT_LE(arc, kArcWidenLimit + kArcWidenStep);
    EXPECT_FALSE(ends.start.x == ends.end.x && ends.start.y == ends.end.y);
    // A tiny oval: the loop ends past 45 degrees even if the ends meet.
    Rect32 dot{0, 0, 1, 1};
    arc = -1;
    ArcEndPoints(&dot, 0, &arc);
    EXPECT_GE(arc, -(kArcWidenLimit + kArcWidenStep));
    EXPECT_LT(arc, 0);
}

TEST(DrawGeometry, PatternsBrushOriginAndTwoPass) {
    Pattern8 grey{{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}};
    Pattern8 inverted = InvertedPattern(&grey);
    EXPECT_EQ(inverted.rows[0], 0x55);
    EXPECT_EQ(inverted.rows[1], 0xAA);
    NativePoint o = BrushOriginFor(Point32{3, 10});
    EXPECT_EQ(o.x, 6);
    EXPECT_EQ(o.y, 5);
    o = BrushOriginFor(Point32{-3, 16});
    EXPECT_EQ(o.x, 0);
    EXPECT_EQ(o.y, 3);
    EXPECT_TRUE(NeedsTwoPass(1, kPatternBits, 0x0000FF));
    EXPECT_FALSE(NeedsTwoPass(1, kPatternBits, 0));
    EXPECT_FALSE(NeedsTwoPass(1, kPatternSolid, 0x0000FF));
    EXPECT_FALSE(NeedsTwoPass(0, kPatternBits, 0x0000FF));
}

} // namespace
