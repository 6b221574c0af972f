// Rect16 and Point16 helpers: bounds start, intersection, half-open
// containment, pinning, orientation and the angle geometry.
#include <gtest/gtest.h>

#include "toolbox/core/rect16ops.h"

namespace {

void ExpectRect(const Rect16& r, int16_t top, int16_t left, int16_t bottom, int16_t right) {
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.bottom, bottom);
    EXPECT_EQ(r.right, right);
}

TEST(Rect16Ops, BuildMoveAndCompare) {
    Rect16 r = RectFromEdges(1, 2, 11, 22);
    ExpectRect(r, 2, 1, 22, 11);
    InsetRectBy(&r, 1, 2);
    ExpectRect(r, 4, 2, 20, 10);
    OffsetRectBy(&r, -2, 1);
    ExpectRect(r, 5, 0, 21, 8);
    Rect16 same = r;
    EXPECT_TRUE(RectsEqual(&r, &same));
    EXPECT_TRUE(RectBitsEqual(&r, &same));
    same.right = 9;
    EXPECT_FALSE(RectBitsEqual(&r, &same));
    SetEmptyBoundsRect(&r);
    ExpectRect(r, 32767, 32767, -32767, -32767);
}

TEST(Rect16Ops, IntersectionUnionAndSpan) {
    Rect16 a{0, 0, 10, 10}, b{5, 5, 20, 20}, c{10, 0, 20, 10}, empty{3, 3, 3, 8}, out{1, 1, 1, 1};
    EXPECT_TRUE(RectIntersection(&a, &b, &out));
    ExpectRect(out, 5, 5, 10, 10);
    EXPECT_FALSE(RectIntersection(&a, &c, &out)); // touching only
    ExpectRect(out, 0, 0, 0, 0);
    out = Rect16{1, 1, 1, 1};
    EXPECT_FALSE(RectIntersection(&a, &empty, &out));
    ExpectRect(out, 0, 0, 0, 0);
    RectUnion(&a, &b, &out);
    ExpectRect(out, 0, 0, 20, 20);
    RectSpanningPoints(SetPoint(7, 2), SetPoint(3, 9), &out);
    ExpectRect(out, 2, 3, 9, 7);
    Point16 d = SubtractPoint(SetPoint(5, 5), SetPoint(2, 1));
    EXPECT_EQ(d.h, 3);
    EXPECT_EQ(d.v, 4);
}

TEST(Rect16Ops, PointInRectIsHalfOpen) {
    Rect16 r{0, 0, 10, 10};
    EXPECT_TRUE(PointInRect(SetPoint(0, 0), &r));
    EXPECT_TRUE(PointInRect(SetPoint(9, 9), &r));
    EXPECT_FALSE(PointInRect(SetPoint(10, 5), &r));
    EXPECT_FALSE(PointInRect(SetPoint(5, 10), &r));
}

TEST(Rect16Ops, PinPointStrictAndNot) {
    Rect16 r{0, 0, 10, 10};
    struct Case {
        Point16 in;
        bool strict;
        Point16 out;
    } cases[] = {
        {SetPoint(-5, -5), false, SetPoint(0, 0)},
        {SetPoint(15, 10), false, SetPoint(10, 10)},
        {SetPoint(15, 10), true, SetPoint(9, 9)},
        {SetPoint(5, 5), true, SetPoint(5, 5)},
    };
    for (const Case& c : cases) {
        Point16 p = c.in;
        PinPointInRect(&p, &r, c.strict);
        EXPECT_EQ(p.h, c.out.h);
        EXPECT_EQ(p.v, c.out.v);
    }
}

TEST(Rect16Ops, OrientPointsAndRects) {
    struct Case {
        int32_t code;
        int16_t v, h;
    } cases[] = {
        {0, 2, 3}, {1, 3, -2}, {2, -2, -3}, {3, -3, 2}, {4, 2, -3}, {5, 3, 2},
    };
    for (const Case& c : cases) {
        Point16 p{2, 3};
        OrientPoints(c.code, &p, 1);
        EXPECT_EQ(p.v, c.v) << c.code;
        EXPECT_EQ(p.h, c.h) << c.code;
    }
    // A 1-pixel-wide rectangle stays on the pixels its corners turn to.
    Rect16 r{0, 0, 2, 1}; // v 0..1, h 0
    OrientRect(1, &r);    // (v, h) -> (h, -v): v 0, h 0 and -1
    ExpectRect(r, 0, -1, 1, 1);
    r = Rect16{0, 0, 1, 1};
    OrientRect(2, &r);
    ExpectRect(r, 0, 0, 1, 1);
    r = Rect16{0, 0, 1, 1};
    OrientRect(4, &r);
    ExpectRect(r, 0, 0, 1, 1);
    r = Rect16{0, 0, 1, 1};
    OrientRect(3, &r);
    ExpectRect(r, 0, 0, 1, 1);
}

TEST(Rect16Ops, RotateAboutACentre) {
    Point16 centre = SetPoint(10, 10);
    struct Case {
        int32_t code;
        int16_t h, v;
    } cases[] = {
        {kRotate90, 10, 12}, {kRotate180, 8, 10}, {kRotate270, 10, 8}, {kRotateMirror, 8, 10}};
    for (const Case& c : cases) {
        Point16 p = SetPoint(12, 10);
        RotatePointAbout(&p, centre, c.code);
        EXPECT_EQ(p.h, c.h) << c.code;
        EXPECT_EQ(p.v, c.v) << c.code;
    }
}

TEST(Rect16Ops, AnglesOnTheAxesAreExact) {
    Rect16 r{0, 0, 40, 100}; // not square
    EXPECT_EQ(AngleOfPointInRect(&r, SetPoint(50, 0)), 0);
    EXPECT_EQ(AngleOfPointInRect(&r, SetPoint(100, 20)), 90);
    EXPECT_EQ(AngleOfPointInRect(&r, SetPoint(50, 40)), 180);
    EXPECT_EQ(AngleOfPointInRect(&r, SetPoint(0, 20)), 270);
    // The corner lies at 45 degrees once the aspect is corrected.
    EXPECT_EQ(AngleOfPointInRect(&r, SetPoint(100, 0)), 45);
    EXPECT_EQ(AngleOfPointInRect(&r, SetPoint(0, 0)), 315);
}

TEST(Rect16Ops, PointAtAngleIsClockwiseFromTwelve) {
    Point16 centre = SetPoint(100, 100), p;
    PointAtAngle(centre, 20, 10, 0, &p);
    EXPECT_EQ(p.h, 100);
    EXPECT_EQ(p.v, 90);
    PointAtAngle(centre, 20, 10, 90, &p);
    EXPECT_EQ(p.h, 120);
    EXPECT_EQ(p.v, 100);
    PointAtAngle(centre, 20, 10, 180, &p);
    EXPECT_EQ(p.h, 100);
    EXPECT_EQ(p.v, 110);
    PointAtAngle(centre, 20, 10, 270, &p);
    EXPECT_EQ(p.h, 80);
    EXPECT_EQ(p.v, 100);
    EXPECT_EQ(RoundToInt(2.5), 3);
    EXPECT_EQ(RoundToInt(-2.5), -3);
    EXPECT_EQ(RoundToInt(-2.4), -2);
}

TEST(Rect16Ops, OffsetPolygonMovesPointsAndBounds) {
    alignas(4) uint8_t storage[kPolygonHead + 2 * sizeof(Point16)];
    auto* polygon = reinterpret_cast<PolygonRecord*>(storage);
    polygon->byteSize = kPolygonHead + 8;
    polygon->bounds = Rect16{0, 0, 5, 5};
    PolygonPoints(polygon)[0] = SetPoint(1, 2);
    PolygonPoints(polygon)[1] = SetPoint(4, 5);
    OffsetPolygon(polygon, 10, 20);
    EXPECT_EQ(PolygonPointCount(polygon), 2);
    EXPECT_EQ(PolygonPoints(polygon)[1].h, 14);
    EXPECT_EQ(PolygonPoints(polygon)[1].v, 25);
    ExpectRect(polygon->bounds, 20, 10, 25, 15);
}

} // namespace

namespace {

TEST(Rect16Ops, NativePointArraysAndSwappedAxes) {
    Point16 points[2] = {SetPoint(1, 2), SetPoint(3, 4)};
    NativePoint* native = NativePointsFromPoints(points, 2);
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(native[1].x, 3);
    EXPECT_EQ(native[1].y, 4);
    delete[] native;
    int32_t pairs[4] = {10, 20, 30, 40}; // (v, h) pairs
    SwapPointAxes(pairs, pairs, 2);
    EXPECT_EQ(pairs[0], 20);
    EXPECT_EQ(pairs[3], 30);
}

} // namespace
