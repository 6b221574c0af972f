// Distances between points, segments and boxes; lines and their crossings.
#include <cstdint>

#include "db/geom.h"
#include "support/fatal.h"

namespace {

struct Seg {
    int32_t x1, y1, x2, y2;
};

TEST(GeomDist, PtDistPaths) {
    struct Case {
        int32_t x1, y1, x2, y2, d;
    } cases[] = {
        {0, 0, 3, 4, 5},
        {5, 5, 5, -7, 12},              // along an axis: exact
        {-3, 0, 10, 0, 13},
        {0, 0, 100, 100, 141},          // 100 x 8,119 / 5,741
        {0, 0, -100, 100, 141},
        {0, 0, 249999, 249999, 353551}, // the ratio up to just below 250,000
        {0, 0, 300000, 300000, 424256}, // Newton steps on quartered values (exact 424,264)
        {0, 0, 60000, 80000, 100000},
        {0, 0, 4, 8, 9},                // integer Newton steps from (4 + 8 + 16) / 3
        {0, 0, 1, 1, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PtDist(c.x1, c.y1, c.x2, c.y2), c.d) << c.x2 << "," << c.y2;
        EXPECT_EQ(PtDist(c.x2, c.y2, c.x1, c.y1), c.d) << c.x2 << "," << c.y2;
    }
    // Offsets beyond 32 bits stay defined and are held to the largest value.
    EXPECT_EQ(PtDist(INT32_MIN, 0, INT32_MAX, 0), INT32_MAX);
    EXPECT_GT(PtDist(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX - 5), 2000000000);
}

TEST(GeomDist, PtSegDistByKindOfSegment) {
    struct Case {
        int32_t px, py;
        Seg s;
        int32_t d;
    } cases[] = {
        {5, 5, {0, 0, 10, 0}, 5},     // across a horizontal segment
        {15, 3, {0, 0, 10, 0}, 5},    // beyond its end: to the end (5, 3)
        {10, -4, {10, 0, 0, 0}, 4},   // on level with an end
        {3, 20, {0, 0, 0, 10}, 10},   // vertical, past the top
        {-6, 5, {0, 10, 0, 0}, 6},
        {5, 5, {0, 0, 10, 10}, 0},    // on a diagonal
        {0, 10, {0, 0, 10, 10}, 7},   // foot (5, 5), distance 5 x 8,119 / 5,741
        {0, 10, {10, 10, 0, 0}, 7},   // either end first
        {0, 0, {0, 10, 10, 0}, 7},    // the other diagonal
        {-4, -1, {0, 0, 10, 10}, 4},  // before the left end
        {30, 12, {0, 0, 10, 10}, 20}, // past the right end
        {0, 10, {0, 0, 10, 5}, 9},    // general: t = 0.4, foot (4, 2)
        {20, 10, {0, 0, 10, 5}, 11},  // general past the end: to (10, 5)
        {-5, 1, {0, 0, 10, 5}, 5},    // general before the start
        {7, 7, {7, 7, 7, 7}, 0},      // a point
        {10, 7, {7, 3, 7, 3}, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PtSegDist(c.px, c.py, c.s.x1, c.s.y1, c.s.x2, c.s.y2), c.d)
            << c.px << "," << c.py << " to " << c.s.x1 << "," << c.s.y1 << "-" << c.s.x2 << ","
            << c.s.y2;
}

TEST(GeomDist, PtAxisSegDistTakesTheNearerEndOutsideTheRun) {
    EXPECT_EQ(PtAxisSegDist(7, 5, 0, 0, 10), 7);   // strictly inside the run
    EXPECT_EQ(PtAxisSegDist(7, 10, 0, 0, 10), 7);  // level with an end: that end
    EXPECT_EQ(PtAxisSegDist(3, 14, 0, 10, 0), 5);  // past the end, ends in any order
    EXPECT_EQ(PtAxisSegDist(-3, -4, 0, 10, 0), 5);
}

TEST(GeomDist, PtBoxDist) {
    struct Case {
        int32_t px, py, d;
    } cases[] = {
        {5, 5, 0}, {0, 0, 0}, {10, 3, 0}, // inside and on the edges
        {-5, 5, 5}, {15, 2, 5}, {4, 13, 3}, {4, -1, 1},
        {13, 14, 5},  // off a corner: to (10, 10)
        {-3, -4, 5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PtBoxDist(c.px, c.py, 0, 0, 10, 10), c.d) << c.px << "," << c.py;
        EXPECT_EQ(PtBoxDist(c.px, c.py, 10, 10, 0, 0), c.d) << c.px << "," << c.py;
        EXPECT_EQ(PtBoxDist(c.px, c.py, 0, 10, 10, 0), c.d) << c.px << "," << c.py;
    }
}

TEST(GeomDist, SegSegDist) {
    struct Case {
        Seg a, b;
        int32_t d;
    } cases[] = {
        {{0, 0, 10, 10}, {0, 10, 10, 0}, 0},     // crossing diagonals
        {{0, 0, 10, 10}, {10, 0, 20, 10}, 7},    // parallel diagonals: (10, 0) to (5, 5)
        {{0, 0, 20, 10}, {0, 10, 20, 20}, 9},    // parallel, general slope: (0, 10) to (4, 2)
        {{0, 0, 10, 10}, {5, 5, 10, 0}, 0},      // one ends on the other
        {{0, 0, 10, 10}, {20, 0, 30, 10}, 14},   // collinear slope, apart
        {{0, 0, 10, 3}, {20, 5, 30, -7}, 10},    // apart, not parallel
        {{0, 0, 30, 7}, {10, -5, 13, 9}, 0},     // general crossing
        {{0, 5, 10, 5}, {5, 0, 5, 10}, 0},       // horizontal across vertical
        {{0, 0, 10, 0}, {15, 3, 15, 10}, 5},     // horizontal and vertical apart: (10,0)-(15,3)
        {{0, 0, 10, 0}, {5, 3, 5, 10}, 3},       // a vertical standing above
        {{0, 5, 10, 5}, {15, 0, 15, 10}, 5},     // a horizontal ending beside a vertical
        {{0, 0, 0, 10}, {4, 5, 4, 20}, 4},       // two verticals beside each other
        {{0, 0, 0, 10}, {3, 14, 3, 20}, 5},      // two verticals, facing ends
        {{0, 0, 10, 0}, {0, 6, 10, 6}, 6},       // two horizontals
        {{0, 0, 10, 10}, {20, -5, 20, 30}, 10},  // a diagonal and a vertical
        {{0, 0, 10, 10}, {5, -5, 5, 30}, 0},     // a diagonal across a vertical
        {{0, 0, 10, 10}, {-5, 5, 30, 5}, 0},     // a diagonal across a horizontal
        {{3, 4, 3, 4}, {0, 0, 10, 0}, 4},        // a point
        {{0, 0, 10, 0}, {3, 4, 3, 4}, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SegSegDist(c.a.x1, c.a.y1, c.a.x2, c.a.y2, c.b.x1, c.b.y1, c.b.x2, c.b.y2), c.d)
            << c.a.x1 << "," << c.a.y1 << "-" << c.a.x2 << "," << c.a.y2;
        EXPECT_EQ(SegSegDist(c.b.x1, c.b.y1, c.b.x2, c.b.y2, c.a.x1, c.a.y1, c.a.x2, c.a.y2), c.d)
            << "swapped " << c.a.x1 << "," << c.a.y1 << "-" << c.a.x2 << "," << c.a.y2;
    }
}

TEST(GeomDist, SegAxisSegDist) {
    // Vertical axis segment at x = 10 from y = 0 to y = 20.
    EXPECT_EQ(SegAxisSegDist(0, 5, 20, 15, 10, 0, 20), 0);    // crosses it
    EXPECT_EQ(SegAxisSegDist(0, 25, 20, 35, 10, 0, 20), 9);   // passes above: (10, 20) to (6, 28)
    EXPECT_EQ(SegAxisSegDist(0, 0, 5, 20, 10, 0, 20), 5);     // stops short of it
    EXPECT_EQ(SegAxisSegDist(0, 5, 10, 15, 10, 0, 20), 0);    // ends on it
    EXPECT_EQ(SegAxisSegDist(0, 30, 20, 30, 10, 20, 0), 10);  // a horizontal above it
    EXPECT_EQ(SegAxisSegDist(13, 25, 13, 40, 10, 0, 20), 5);  // a vertical above it
}

TEST(GeomDist, SegBoxDist) {
    const int32_t b[4] = {0, 0, 100, 50};
    struct Case {
        Seg s;
        int32_t d;
    } cases[] = {
        {{-10, 25, 110, 25}, 0},   // through the box
        {{10, 10, 20, 20}, 0},     // wholly inside
        {{50, 25, 200, 25}, 0},    // out of it from inside
        {{-50, 60, 150, 60}, 10},  // above it
        {{110, -10, 140, 80}, 12}, // beside it: (100, 0) to (112, -4)
        {{-30, 90, 30, 60}, 10},   // slanting past the top left corner
        {{-20, -20, -10, -10}, 14},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SegBoxDist(c.s.x1, c.s.y1, c.s.x2, c.s.y2, b[0], b[1], b[2], b[3]), c.d)
            << c.s.x1 << "," << c.s.y1 << "-" << c.s.x2 << "," << c.s.y2;
        EXPECT_EQ(SegBoxDist(c.s.x1, c.s.y1, c.s.x2, c.s.y2, b[2], b[3], b[0], b[1]), c.d);
    }
    // A box without height is its segment.
    EXPECT_EQ(SegBoxDist(0, 10, 20, 10, 5, 0, 50, 0), 10);
    EXPECT_EQ(SegBoxDist(10, -10, 10, 10, 5, 0, 50, 0), 0);
}

TEST(GeomLines, PtLineSide) {
    struct Case {
        Seg line;
        int32_t px, py, side;
    } cases[] = {
        {{0, 0, 10, 0}, 5, 3, 1},     {{0, 0, 10, 0}, 5, -3, -1}, {{0, 0, 10, 0}, 50, 0, 0},
        {{10, 0, 0, 0}, 5, 3, -1},    {{0, 0, 0, 10}, -1, 50, 1}, {{0, 0, 0, 10}, 1, -50, -1},
        {{0, 0, 10, 10}, 0, 5, 1},    {{0, 0, 10, 10}, 5, 0, -1}, {{0, 0, 10, 10}, -7, -7, 0},
        {{0, 0, 10, 3}, 20, 6, 0},    {{0, 0, 10, 3}, 20, 7, 1},  {{0, 0, 10, 3}, 20, 5, -1},
        {{5, 5, 5, 5}, 9, 9, 0},
        {{0, 0, 1000000, 999999}, 2000000, 1999999, 1},
        {{0, 0, 1000000, 999999}, 2000000, 1999997, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PtLineSide(c.line.x1, c.line.y1, c.line.x2, c.line.y2, c.px, c.py), c.side)
            << c.px << "," << c.py;
}

TEST(GeomLines, PtOnLineAndPtOnSeg) {
    EXPECT_EQ(PtOnLine(50, 3, 0, 3, 10, 3), 1);
    EXPECT_EQ(PtOnLine(50, 4, 0, 3, 10, 3), 0);
    EXPECT_EQ(PtOnLine(2, -40, 2, 0, 2, 10), 1);
    EXPECT_EQ(PtOnLine(-5, -5, 0, 0, 10, 10), 1);
    EXPECT_EQ(PtOnLine(-5, 5, 0, 0, 10, -10), 1);
    EXPECT_EQ(PtOnLine(-5, 6, 0, 0, 10, -10), 0);
    EXPECT_EQ(PtOnLine(30, 9, 0, 0, 10, 3), 1);
    EXPECT_EQ(PtOnLine(30, 10, 0, 0, 10, 3), 0);
    EXPECT_EQ(PtOnLine(4, 4, 4, 4, 4, 4), 0); // a zero-length segment has no line
    EXPECT_EQ(PtOnSeg(10, 3, 0, 0, 10, 3), 1); // an end included
    EXPECT_EQ(PtOnSeg(20, 6, 0, 0, 10, 3), 0);
    EXPECT_EQ(PtOnSeg(5, 5, 10, 10, 0, 0), 1);
}

TEST(GeomLines, SegNearestPtIsTheUnclampedFootRoundedHalfAway) {
    struct Case {
        int32_t px, py;
        Seg s;
        int32_t x, y;
    } cases[] = {
        {20, 5, {0, 0, 10, 0}, 20, 0},       // not clamped to the segment
        {-3, 8, {4, 0, 4, 10}, 4, 8},
        {5, 5, {0, 0, 10, 10}, 5, 5},
        {0, 1, {0, 0, 10, 10}, 1, 1},         // (0.5, 0.5)
        {0, -1, {0, 0, -10, -10}, -1, -1},    // (-0.5, -0.5)
        {-10, -9, {0, 0, 10, 10}, -10, -10},  // (-9.5, -9.5)
        {0, 0, {0, 10, 10, 0}, 5, 5},
        {0, 10, {0, 0, 10, 5}, 4, 2},
        {1, 0, {0, 0, 4, 2}, 1, 0},           // (0.8, 0.4)
        {0, 5, {0, 0, 4, 2}, 2, 1},           // (2, 1) exactly
        {-1, 0, {0, 0, 4, 2}, -1, 0},         // (-0.8, -0.4)
        {6, 6, {3, 3, 3, 3}, 3, 3},
    };
    for (const Case& c : cases) {
        int32_t x = 99999, y = 99999;
        SegNearestPt(&x, &y, c.px, c.py, c.s.x1, c.s.y1, c.s.x2, c.s.y2);
        EXPECT_EQ(x, c.x) << c.px << "," << c.py;
        EXPECT_EQ(y, c.y) << c.px << "," << c.py;
    }
}

TEST(GeomLines, LineAtX) {
    int32_t x = 0, y = 0;
    EXPECT_EQ(LineAtX(&x, &y, 0, 0, 10, 5, 3, 0), 1);
    EXPECT_EQ(y, 2); // 1.5 rounded away from zero
    EXPECT_EQ(x, 3);
    EXPECT_EQ(LineAtX(&x, &y, 0, 0, 10, 5, -3, 0), 1);
    EXPECT_EQ(y, -2);
    EXPECT_EQ(LineAtX(&x, &y, 0, 7, 10, 7, 400, 0), 1);
    EXPECT_EQ(y, 7);
    EXPECT_EQ(LineAtX(&x, &y, 0, 7, 10, -3, 400, 0), 1);
    EXPECT_EQ(y, -393);
    EXPECT_EQ(LineAtX(&x, &y, 4, 0, 4, 10, 4, 77), 2);
    EXPECT_EQ(x, 4);
    EXPECT_EQ(y, 77);
    x = y = -1;
    EXPECT_EQ(LineAtX(&x, &y, 4, 0, 4, 10, 5, 77), 0);
}

TEST(GeomLines, LineIntersect) {
    struct Case {
        Seg a, b;
        int32_t result, x, y;
    } cases[] = {
        {{0, 0, 10, 10}, {0, 10, 10, 0}, 1, 5, 5},
        {{0, 0, 10, 10}, {0, 1, 10, -9}, 1, 1, 1},        // meet at (0.5, 0.5)
        {{0, 0, 1, 1}, {100, 0, 101, 0}, 1, 0, 0},        // lines, not segments
        {{0, 5, 10, 5}, {3, 0, 3, 1}, 1, 3, 5},
        {{0, 0, 10, 5}, {3, -20, 3, 20}, 1, 3, 2},        // (3, 1.5)
        {{0, 0, 10, 5}, {-50, 1, 50, 1}, 1, 2, 1},
        {{0, 0, 10, 3}, {0, 10, 10, 0}, 1, 8, 2},         // (7.69, 2.31)
        {{0, 0, 10, 10}, {20, 20, 30, 30}, 2, 20, 20},    // collinear: the first end of the second
        {{0, 0, 10, 10}, {0, 5, 10, 15}, 0, -1, -1},      // parallel
        {{0, 0, 10, 0}, {0, 5, 7, 5}, 0, -1, -1},
    };
    for (const Case& c : cases) {
        int32_t x = -1, y = -1;
        EXPECT_EQ(LineIntersect(&x, &y, c.a.x1, c.a.y1, c.a.x2, c.a.y2, c.b.x1, c.b.y1, c.b.x2,
                                c.b.y2),
                  c.result)
            << c.a.x1 << "," << c.a.y1 << "-" << c.a.x2 << "," << c.a.y2;
        EXPECT_EQ(x, c.x) << c.a.x1 << "," << c.a.y1 << "-" << c.a.x2 << "," << c.a.y2;
        EXPECT_EQ(y, c.y) << c.a.x1 << "," << c.a.y1 << "-" << c.a.x2 << "," << c.a.y2;
    }
    // A zero-length segment gives 0 and the foot from it to the other line.
    int32_t x = -1, y = -1;
    EXPECT_EQ(LineIntersect(&x, &y, 20, 5, 20, 5, 0, 0, 10, 0), 0);
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(LineIntersect(&x, &y, 0, 0, 10, 10, 0, 4, 0, 4), 0);
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 2);
}

TEST(GeomLines, SegIntersect) {
    struct Case {
        Seg a, b;
        int32_t result, x, y;
    } cases[] = {
        {{0, 0, 10, 10}, {0, 10, 10, 0}, 1, 5, 5},
        {{0, 0, 1, 1}, {100, 0, 101, 0}, 0, -1, -1},      // the lines meet, the segments do not
        {{0, 0, 10, 10}, {5, 5, 10, 0}, 1, 5, 5},         // touching at an end
        {{0, 0, 7, 3}, {7, 3, 20, -40}, 1, 7, 3},         // end to end, exactly
        {{-100, 3, 100, 3}, {0, 0, 7, 3}, 1, 7, 3},       // a level line through a vertex
        {{-100, 3, 100, 3}, {0, 0, 7, 6}, 1, 4, 3},       // (3.5, 3)
        {{0, 0, 10, 0}, {5, 0, 20, 0}, 2, 5, 0},          // collinear overlap
        {{0, 0, 10, 0}, {10, 0, 20, 0}, 1, 10, 0},        // collinear, one shared point
        {{0, 0, 10, 0}, {11, 0, 20, 0}, 0, -1, -1},       // collinear, apart
        {{0, 0, 0, 10}, {0, 20, 0, 4}, 2, 0, 4},
        {{0, 0, 10, 10}, {0, 5, 10, 15}, 0, -1, -1},      // parallel
        {{3, 3, 3, 3}, {0, 0, 10, 10}, 1, 3, 3},          // a point on the other
        {{3, 4, 3, 4}, {0, 0, 10, 10}, 0, -1, -1},
    };
    for (const Case& c : cases) {
        int32_t x = -1, y = -1;
        EXPECT_EQ(SegIntersect(&x, &y, c.a.x1, c.a.y1, c.a.x2, c.a.y2, c.b.x1, c.b.y1, c.b.x2,
                               c.b.y2),
                  c.result)
            << c.a.x1 << "," << c.a.y1 << "-" << c.a.x2 << "," << c.a.y2;
        EXPECT_EQ(x, c.x) << c.a.x1 << "," << c.a.y1 << "-" << c.a.x2 << "," << c.a.y2;
        EXPECT_EQ(y, c.y) << c.a.x1 << "," << c.a.y1 << "-" << c.a.x2 << "," << c.a.y2;
    }
}

// Coordinates at the ends of the 32-bit range neither overflow nor trap.
TEST(GeomDist, ExtremeCoordinatesStayDefined) {
    const int32_t lo = INT32_MIN, hi = INT32_MAX;
    EXPECT_EQ(PtSegDist(0, 0, lo, lo, hi, hi), 0);
    EXPECT_GT(PtSegDist(lo, hi, lo + 1, lo, hi, hi - 7), 0);
    EXPECT_EQ(SegSegDist(lo, lo, hi, hi, lo, hi, hi, lo), 0);
    EXPECT_EQ(SegBoxDist(lo, 0, hi, 0, -5, -5, 5, 5), 0);
    EXPECT_EQ(PtLineSide(lo, lo, hi, hi, lo, hi), 1);
    int32_t x, y;
    EXPECT_EQ(LineIntersect(&x, &y, lo, lo, hi, hi, lo, hi, hi, lo), 1);
    EXPECT_LE(x < 0 ? -int64_t(x) : x, 1);
}

} // namespace
