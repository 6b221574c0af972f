// Angles, rotation and arcs turned into segments.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "db/geom.h"
#include "support/fatal.h"

namespace {

class GeomTest : public CoreTest {};

struct Pt {
    int32_t x, y;
    bool operator==(const Pt&) const = default;
};

std::vector<Pt> Points(const std::vector<uint8_t>& list) {
    std::vector<Pt> pts;
    for (int32_t i = 0; i < SegListCount(list.data()); i++) {
        Pt p;
        SegListPoint(list.data(), i, &p.x, &p.y);
        pts.push_back(p);
    }
    return pts;
}

std::vector<Pt> Arc(int32_t tolerance, ArcSpec arc) {
    std::vector<uint8_t> list(kSegListBytes, 0);
    ArcToSegs(tolerance, &arc, list.data());
    return Points(list);
}

// ---------------------------------------------------------------------------
// Floating point that is the same in every build.

// Within two units of the last place of the platform's own functions (whose
// results differ between the builds by about as much).
TEST(GeomMath, SinCosAtan2AgreeWithTheLibrary) {
    for (int32_t i = -20000; i <= 20000; i++) {
        double t = i * 0.000731; // -14.6..14.6 radians
        ASSERT_NEAR(GeomSin(t), std::sin(t), 4.5e-16) << t;
        ASSERT_NEAR(GeomCos(t), std::cos(t), 4.5e-16) << t;
    }
    for (int32_t x = -60; x <= 60; x++)
        for (int32_t y = -60; y <= 60; y++)
            ASSERT_NEAR(GeomAtan2(y, x), std::atan2(double(y), double(x)), 9e-16)
                << x << "," << y;
    EXPECT_EQ(GeomAtan2(0.0, -5.0), std::atan2(0.0, -5.0));
    EXPECT_EQ(GeomAtan2(-3.0, 0.0), std::atan2(-3.0, 0.0));
    EXPECT_EQ(GeomAtan2(1e300, 1e-300), std::atan2(1e300, 1e-300));
    EXPECT_EQ(GeomSin(0.0), 0.0);
    EXPECT_EQ(GeomCos(0.0), 1.0);
}

// Every value that turns into a coordinate hashes to one fixed number, so
// the native and the Windows build are known to compute the same bits.
TEST(GeomMath, ResultsAreBitForBitTheSameInEveryBuild) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    auto mixD = [&mix](double d) {
        uint64_t b;
        std::memcpy(&b, &d, 8);
        mix(b);
    };
    for (int32_t a = 0; a < kAngFullTurn; a++) {
        mixD(AngSin(a));
        mixD(AngCos(a));
    }
    for (int32_t i = -3000; i <= 3000; i++) {
        mixD(GeomSin(i * 0.00523));
        mixD(GeomCos(i * 0.00523));
    }
    for (int32_t x = -301; x <= 301; x += 7)
        for (int32_t y = -301; y <= 301; y += 3)
            mix(uint64_t(AngAtan2(x * 997, y)));
    for (int32_t a = 0; a <= kAngFullTurn; a += 37) {
        int32_t dx = 123457, dy = -98765;
        PtRotateExact(11, -7, a, &dx, &dy);
        mix(uint64_t(uint32_t(dx)));
        mix(uint64_t(uint32_t(dy)));
    }
    EXPECT_EQ(h, 1870960183375820508ull);
}

// ---------------------------------------------------------------------------
// Sine and cosine.

TEST(GeomAngles, ExactValuesAtEveryEighthOfATurn) {
    const double d = 0.70710678; // the stored constant, not the root of one half
    struct Case {
        int32_t angle;
        double sin, cos;
    } cases[] = {
        {0, 0, 1},       {2700, d, d},    {5400, 1, 0},     {8100, d, -d},
        {10800, 0, -1},  {13500, -d, -d}, {16200, -1, 0},   {18900, -d, d},
        {-5400, -1, 0},  {21600, 0, 1},   {3 * 21600 + 2700, d, d},
        {-21600 * 5 - 8100, -d, -d},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AngSin(c.angle), c.sin) << c.angle;
        EXPECT_EQ(AngCos(c.angle), c.cos) << c.angle;
    }
    EXPECT_NE(AngSin(2700), std::sqrt(0.5));
}

TEST(GeomAngles, TablesAddUpOneDegreeStepsAndInterpolate) {
    // Whole degrees read the table, which holds the sine and cosine of a
    // running sum of 0.017453292519444445 radians.
    double sum = 0;
    for (int32_t deg = 1; deg < 90; deg++) {
        sum += 0.017453292519444445;
        if (deg == 45)
            continue; // the exact diagonal
        ASSERT_EQ(AngSin(deg * 60), GeomSin(sum)) << deg;
        ASSERT_EQ(AngCos(deg * 60), GeomCos(sum)) << deg;
    }
    // 30 minutes lie halfway between the entries for 0 and 1 degree.
    double s1 = GeomSin(0.017453292519444445);
    double c1 = GeomCos(0.017453292519444445);
    EXPECT_EQ(AngSin(30), (s1 * 30 + 0.0 * 30) / 60);
    EXPECT_EQ(AngCos(30), (c1 * 30 + 1.0 * 30) / 60);
    // A third of the way from 44 to 45 degrees: not the exact 45-degree value.
    EXPECT_LT(AngSin(2699), AngSin(2700));
    // A degree of this pi is a little short, so 30 degrees falls below 0.5.
    EXPECT_LT(AngSin(1800), 0.5);
}

TEST(GeomAngles, QuadrantsMirrorTheFirst) {
    for (int32_t m = 1; m < 5400; m += 97) {
        ASSERT_EQ(AngSin(5400 + m), AngSin(5400 - m)) << m;
        ASSERT_EQ(AngCos(5400 + m), -AngCos(5400 - m)) << m;
        ASSERT_EQ(AngSin(10800 + m), -AngSin(m)) << m;
        ASSERT_EQ(AngCos(10800 + m), -AngCos(m)) << m;
        ASSERT_EQ(AngSin(21600 - m), -AngSin(m)) << m;
        ASSERT_EQ(AngCos(21600 - m), AngCos(m)) << m;
        ASSERT_EQ(AngSin(m - 21600 * 3), AngSin(m)) << m;
    }
}

TEST(GeomAngles, Atan2ExactDirectionsAndTruncation) {
    struct Case {
        int32_t dx, dy, angle;
    } cases[] = {
        {0, 0, 0},        {7, 0, 0},        {0, 3, 5400},     {-1, 0, 10800},
        {0, -9, 16200},   {4, 4, 2700},     {-4, -4, 13500},  {1, -1, 18900},
        {-6, 6, 8100},    {2, 1, 1593},     {-3, 1, 9693},
        {1, -2, 17794}, // -3,806.09... truncated to -3,806, plus a turn
        {5, -1, 20922},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AngAtan2(c.dx, c.dy), c.angle) << c.dx << "," << c.dy;
    for (int32_t x = -50; x <= 50; x += 3)
        for (int32_t y = -50; y <= 50; y += 5) {
            int32_t a = AngAtan2(x * 40000, y * 40000 + 1);
            ASSERT_GE(a, 0);
            ASSERT_LT(a, 21600);
        }
    EXPECT_EQ(AngAtan2(INT32_MIN, INT32_MAX), 8100); // just past the diagonal, truncated
}

// ---------------------------------------------------------------------------
// Turning points.

TEST(GeomRotate, PtRotateQuarterTurnsExactOthersThroughTheTables) {
    struct Case {
        int32_t angle, x, y;
    } cases[] = {
        {0, 3, 4}, {5400, -4, 3}, {10800, -3, -4}, {16200, 4, -3}, {-5400, 4, -3}, {21600 * 2, 3, 4},
        // 5,401 goes through x cos - y sin and truncates: 2.9988 becomes 2.
        {5401, -4, 2},
    };
    for (const Case& c : cases) {
        int32_t x = 3, y = 4;
        PtRotate(&x, &y, c.angle);
        EXPECT_EQ(x, c.x) << c.angle;
        EXPECT_EQ(y, c.y) << c.angle;
    }
    int32_t x = 1000, y = 0;
    PtRotate(&x, &y, 1800); // AngCos(30 degrees) x 1000
    EXPECT_EQ(x, int32_t(1000 * AngCos(1800)));
    EXPECT_EQ(y, 499); // sin of a slightly short 30 degrees
}

TEST(GeomRotate, PtRotateExactAddsTheTurnedOffset) {
    struct Case {
        int32_t angle, dx, dy, outX, outY;
    } cases[] = {
        {0, 30, 40, 1030, 2040},
        {5400, 30, 40, 1000 - 40, 2000 + 30},
        {10800, 30, 40, 970, 1960},
        {16200, 30, 40, 1040, 1970},
        {-5400, 30, 40, 1040, 1970},
        {2700, 100, 0, 1070, 2070},
        {3600, 1000, 0, 1500, 2866},  // cos 0.50000000004, sin 0.8660254
        {3600, -1000, 0, 500, 1134},  // truncated toward zero on the negative side
        {-18000, 1000, 0, 1500, 2866},
    };
    for (const Case& c : cases) {
        int32_t dx = c.dx, dy = c.dy;
        PtRotateExact(1000, 2000, c.angle, &dx, &dy);
        EXPECT_EQ(dx, c.outX) << c.angle << " " << c.dx;
        EXPECT_EQ(dy, c.outY) << c.angle << " " << c.dx;
    }
}

// ---------------------------------------------------------------------------
// Arcs and circles as segments.

TEST(GeomArcs, ArcSegCountFindsTheFewestSegmentsPerQuarter) {
    struct Case {
        int32_t radius, tolerance, n;
    } cases[] = {
        {100, 100, 1}, {100, 500, 1}, {0, 0, 1}, {100, 10, 2}, {100, 5, 3},
        {100, 1, 6},   {1000000, 1, 91}, {100, -1, 91},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ArcSegCount(c.radius, c.tolerance), c.n) << c.radius << " " << c.tolerance;
}

TEST(GeomArcs, ArcToSegsCountsByTheSweep) {
    // A quarter arc within a tolerance of its radius is one chord.
    EXPECT_EQ(Arc(100, {100, 0, 0, 0, 0, 100, kArcCounterClockwise}),
              (std::vector<Pt>{{100, 0}, {0, 100}}));
    // A half circle with three segments per quarter: six, every 30 degrees.
    std::vector<Pt> half = Arc(5, {100, 0, 0, 0, -100, 0, kArcCounterClockwise});
    ASSERT_EQ(half.size(), 7u);
    EXPECT_EQ(half[0], (Pt{100, 0}));
    EXPECT_EQ(half[1], (Pt{86, 49}));
    EXPECT_EQ(half[3], (Pt{0, 100}));
    EXPECT_EQ(half[6], (Pt{-100, 0}));
    // 100 degrees with two per quarter: 2 x (1 + 1) = 4 segments.
    EXPECT_EQ(Arc(10, {100, 0, 0, 0, -17, 98, kArcCounterClockwise}).size(), 5u);
    // Without a direction the sweep runs as computed: end before start is
    // clockwise.
    std::vector<Pt> back = Arc(10, {0, 100, 0, 0, 100, 0, 0});
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[1], (Pt{70, 70}));
}

TEST(GeomArcs, ArcToSegsDirectionFlagsTurnTheSweepAround) {
    // Clockwise from (100, 0) to (0, 100): three quarters of a turn through
    // negative y, four segments per quarter turn with n = 1.
    std::vector<Pt> cw = Arc(100, {100, 0, 0, 0, 0, 100, kArcClockwise});
    ASSERT_EQ(cw.size(), 5u);
    EXPECT_LT(cw[1].y, 0);
    EXPECT_LT(cw[2].x, 0);
    EXPECT_EQ(cw[4], (Pt{0, 100}));
    // Counter-clockwise from (0, 100) to (100, 0) likewise.
    std::vector<Pt> ccw = Arc(100, {0, 100, 0, 0, 100, 0, kArcCounterClockwise});
    ASSERT_EQ(ccw.size(), 5u);
    EXPECT_LT(ccw[1].x, 0);
    EXPECT_LT(ccw[2].y, 0);
}

TEST(GeomArcs, ArcToSegsWritesOnlyTheCountAndThePoints) {
    std::vector<uint8_t> list(kSegListBytes, 0xAB);
    ArcSpec arc{100, 0, 0, 0, 0, 100, kArcCounterClockwise};
    ArcToSegs(100, &arc, list.data());
    for (int32_t i = 0; i < kSegListCountOffset; i++)
        ASSERT_EQ(list[i], 0xAB) << i;
    EXPECT_EQ(SegListCount(list.data()), 2);
    for (int32_t i = 8; i < 12; i++) // the first point's flags and corner width
        EXPECT_EQ(list[kSegListPointsOffset + i], 0xAB);
    EXPECT_EQ(list[kSegListPointsOffset + 2 * kSegListPointBytes], 0xAB);
}

TEST(GeomArcs, CircleToSegsWritesFourSymmetricQuarters) {
    std::vector<uint8_t> list(kSegListBytes, 0);
    CircleToSegs(3, 100, 1000, 2000, 1100, 2000, list.data());
    std::vector<Pt> pts = Points(list);
    ASSERT_EQ(pts.size(), 13u);
    EXPECT_EQ(pts[0], (Pt{1100, 2000}));
    for (int32_t i = 1; i <= 3; i++) {
        int32_t t = pts[i].x - 1000, v = pts[i].y - 2000;
        EXPECT_EQ(pts[3 + i], (Pt{1000 - v, 2000 + t}));
        EXPECT_EQ(pts[6 + i], (Pt{1000 - t, 2000 - v}));
        EXPECT_EQ(pts[9 + i], (Pt{1000 + v, 2000 - t}));
    }
    EXPECT_EQ(pts[12], pts[0]); // 5,400 is a multiple of 3
    // Seven segments per quarter do not close exactly.
    CircleToSegs(7, 100, 0, 0, 100, 0, list.data());
    pts = Points(list);
    ASSERT_EQ(pts.size(), 29u);
    EXPECT_NE(pts[28], pts[0]);
    // A full circle given as an arc goes the same way.
    std::vector<Pt> full = Arc(5, {1100, 2000, 1000, 2000, 1100, 2000, 0});
    EXPECT_EQ(full.size(), 13u);
}

TEST_F(GeomTest, SegmentCountsBelowOneAreFatal) {
    std::vector<uint8_t> list(kSegListBytes, 0);
    EXPECT_FATAL(CircleToSegs(0, 100, 0, 0, 100, 0, list.data()), kErrArcSegCount);
    EXPECT_FATAL(CircleToSegs(-2, 100, 0, 0, 100, 0, list.data()), kErrArcSegCount);
    // More points than the record holds.
    EXPECT_FATAL(CircleToSegs(251, 100, 0, 0, 100, 0, list.data()), kErrCircleSegCount);
    CircleToSegs(250, 100000, 0, 0, 100000, 0, list.data());
    EXPECT_EQ(SegListCount(list.data()), 1001);
}

} // namespace
