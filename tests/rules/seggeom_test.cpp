// Segment geometry: nearest points on axis, diagonal and general segments,
// the closest points of crossing and near-parallel pairs, and a property
// run over random pairs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "db/geom.h"
#include "rules/seggeom.h"

namespace {

// Exact distances in floating point, so that the property does not lean on
// the integer approximations under test elsewhere.
double PtSegExact(SegPt p, const Seg& s) {
    const double dx = double(s.b.x) - s.a.x, dy = double(s.b.y) - s.a.y;
    const double len = dx * dx + dy * dy;
    double t = len == 0 ? 0 : ((p.x - double(s.a.x)) * dx + (p.y - double(s.a.y)) * dy) / len;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    return std::hypot(s.a.x + t * dx - p.x, s.a.y + t * dy - p.y);
}
double SegSegExact(const Seg& a, const Seg& b) {
    int32_t qx, qy;
    if (SegIntersect(&qx, &qy, a.a.x, a.a.y, a.b.x, a.b.y, b.a.x, b.a.y, b.b.x, b.b.y)) return 0;
    return std::min(std::min(PtSegExact(a.a, b), PtSegExact(a.b, b)),
                    std::min(PtSegExact(b.a, a), PtSegExact(b.b, a)));
}

Seg S(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return Seg{{x1, y1}, {x2, y2}};
}

TEST(SegGeomTest, NearestPointCases) {
    struct Case {
        SegPt p;
        Seg s;
        SegPt want;
    } cases[] = {
        {{5, 20}, S(0, 0, 0, 10), {0, 10}}, // vertical: clamped along y
        {{5, -3}, S(0, 10, 0, 0), {0, 0}},
        {{4, 7}, S(10, 2, -10, 2), {4, 2}},    // horizontal
        {{3, 0}, S(0, 0, 10, 10), {1, 1}},     // k = 3 >> 1
        {{20, 20}, S(0, 0, 10, 10), {10, 10}}, // beyond the end
        {{-5, -9}, S(10, 10, 0, 0), {0, 0}},
        {{3, 0}, S(0, 10, 10, 0), {6, 4}}, // falling diagonal
        {{5, 0}, S(0, 0, 1, 3), {0, 2}},   // tie rounded to even
        {{-9, 0}, S(0, 0, 1, 3), {0, 0}},
        {{9, 9}, S(1, 3, 0, 0), {1, 3}},
    };
    for (const Case& c : cases) {
        const SegPt got = SegNearestPoint(c.p, c.s);
        EXPECT_EQ(got.x, c.want.x) << c.p.x << "," << c.p.y;
        EXPECT_EQ(got.y, c.want.y) << c.p.x << "," << c.p.y;
    }
    EXPECT_EQ(AxisNearestPoint(7, 10, 2), 7);
    EXPECT_EQ(AxisNearestPoint(-7, 10, 2), 2);
}

TEST(SegGeomTest, CrossingOrthogonalSegmentsGiveTheCrossingTwice) {
    SegPt p1, p2;
    SegClosestPoints(S(0, 5, 10, 5), S(4, -3, 4, 30), &p1, &p2);
    EXPECT_EQ(p1.x, 4);
    EXPECT_EQ(p1.y, 5);
    EXPECT_EQ(p2.x, 4);
    EXPECT_EQ(p2.y, 5);
}

TEST(SegGeomTest, NearParallelPairsGoToTheEndsFirstOfEqualsWinning) {
    SegPt p1, p2;
    // parallel, one beyond the other: s1's second end and s2's first end
    // are equally near, and s1's end is named first
    SegClosestPoints(S(0, 0, 100, 30), S(200, 110, 300, 140), &p1, &p2);
    EXPECT_EQ(p1.x, 100);
    EXPECT_EQ(p1.y, 30);
    EXPECT_EQ(p2.x, 200);
    EXPECT_EQ(p2.y, 110);
    SegClosestByEnds(S(0, 0, 10, 0), S(0, 5, 10, 5), &p1, &p2);
    EXPECT_EQ(p1.x, 0);
    EXPECT_EQ(p2.x, 0);
    EXPECT_EQ(p2.y, 5);
}

TEST(SegGeomTest, ClosestPointsLieOnTheirSegmentsWithinOneUnitOfTheLeast) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int32_t> coord(-20000, 20000);
    std::uniform_int_distribution<int32_t> kind(0, 3);
    auto one = [&]() {
        int32_t x = coord(rng), y = coord(rng), d = coord(rng) / 4;
        switch (kind(rng)) {
        case 0:
            return S(x, y, x + d, y);
        case 1:
            return S(x, y, x, y + d);
        case 2:
            return S(x, y, x + d, y + (kind(rng) & 1 ? d : -d));
        default:
            return S(x, y, coord(rng), coord(rng));
        }
    };
    for (int i = 0; i < 20000; ++i) {
        const Seg a = one(), b = one();
        SegPt p1, p2;
        SegClosestPoints(a, b, &p1, &p2);
        // integer points near a general line: rounded within 0.71, the
        // crossing's truncated point within 1.42
        ASSERT_LE(PtSegExact(p1, a), 1.5) << i;
        ASSERT_LE(PtSegExact(p2, b), 1.5) << i;
        const double least = SegSegExact(a, b);
        ASSERT_LE(std::hypot(double(p1.x) - p2.x, double(p1.y) - p2.y), least + 1)
            << i << ": " << a.a.x << "," << a.a.y << "-" << a.b.x << "," << a.b.y << " / " << b.a.x
            << "," << b.a.y << "-" << b.b.x << "," << b.b.y;
    }
}

} // namespace
