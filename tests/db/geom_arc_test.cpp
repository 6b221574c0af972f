// Distances to arcs, the sector of an arc and the box around it.
#include <cstdint>

#include "db/geom.h"
#include "support/fatal.h"

namespace {

// A quarter arc of radius 100 about the origin from (100, 0) to (0, 100).
const ArcSpec kQuarter{100, 0, 0, 0, 0, 100, kArcCounterClockwise};
// The same ends with bit 0 of the flag set: start and end exchange, so the
// sweep runs counter-clockwise from (0, 100) round to (100, 0), three
// quarters of a turn.
const ArcSpec kThreeQuarters{100, 0, 0, 0, 0, 100, kArcClockwise};
// A full circle of radius 50 about (300, 0).
const ArcSpec kCircle{350, 0, 300, 0, 350, 0, 0};

class GeomArcTest : public CoreTest {
  protected:
    void TearDown() override {
        GeomSetRoutingGrid(1500);
        CoreTest::TearDown();
    }
};

TEST(GeomArcDist, PtInArcSectorIncludesItsRays) {
    struct Case {
        int32_t px, py;
        int32_t quarter, threeQuarters;
    } cases[] = {
        {50, 50, 1, 0},    {-50, -50, 0, 1}, {-50, 50, 0, 1},  {50, -50, 0, 1},
        {150, 0, 1, 1},    // on the start ray: a bounding ray of both
        {0, 30, 1, 1},     // on the end ray
        {-50, 0, 0, 1},    // behind the centre on the start ray's line
        {0, -50, 0, 1},
        {0, 0, 1, 1},      // the centre lies on both rays
        {5000, 1, 1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PtInArcSector(c.px, c.py, &kQuarter), c.quarter) << c.px << "," << c.py;
        EXPECT_EQ(PtInArcSector(c.px, c.py, &kThreeQuarters), c.threeQuarters)
            << c.px << "," << c.py;
        EXPECT_EQ(PtInArcSector(c.px, c.py, &kCircle), 1);
    }
    // A half turn: the closed half plane left of the start ray.
    const ArcSpec half{100, 0, 0, 0, -100, 0, 0};
    EXPECT_EQ(PtInArcSector(0, 40, &half), 1);
    EXPECT_EQ(PtInArcSector(-70, 0, &half), 1);
    EXPECT_EQ(PtInArcSector(0, -1, &half), 0);
}

TEST(GeomArcDist, PtArcDist) {
    struct Case {
        int32_t px, py, d;
    } cases[] = {
        {200, 200, 182}, // in the sector, beyond the ring: 282 - 100
        {10, 10, 86},    // in the sector, inside the ring: 100 - 14
        {0, -50, 111},   // outside: to the nearer end (100, 0)
        {-60, 80, 63},   // outside, nearer the end (0, 100)
        {150, 0, 50},    // on the start ray: to the start
        {0, 130, 30},    // on the end ray: to the end
        {0, 0, 100},     // the centre: to an end
    };
    for (const Case& c : cases)
        EXPECT_EQ(PtArcDist(c.px, c.py, &kQuarter), c.d) << c.px << "," << c.py;
    // The three-quarter arc reaches round to (-100, 0).
    EXPECT_EQ(PtArcDist(-150, 0, &kThreeQuarters), 50);
    EXPECT_EQ(PtArcDist(200, 200, &kThreeQuarters), 223); // to (100, 0) or (0, 100)
    // A full circle is a filled disc.
    EXPECT_EQ(PtArcDist(500, 0, &kCircle), 150);
    EXPECT_EQ(PtArcDist(310, 10, &kCircle), 0);
}

TEST(GeomArcDist, SegArcDistAgainstAQuarterArc) {
    struct Case {
        int32_t x1, y1, x2, y2, d;
    } cases[] = {
        {150, -100, 150, 100, 50},  // crosses the start ray: cut at (150, 0)
        {150, 100, 150, -100, 50},  // either end first
        {-50, 50, -50, 150, 50},    // wholly past the end ray: to the end (0, 100)
        {50, -50, 150, -50, 50},    // wholly before the start ray: to the start
        {20, 20, 30, 30, 58},       // inside the ring: 100 - 42
        {50, 50, 100, 100, 0},      // across the arc
        {150, -100, -100, 150, 35}, // spans both rays inside the ring: the ends are nearest
        {200, 100, 100, 200, 112},  // outside the ring, in the sector: 212 - 100
    };
    for (const Case& c : cases)
        EXPECT_EQ(SegArcDist(c.x1, c.y1, c.x2, c.y2, &kQuarter), c.d)
            << c.x1 << "," << c.y1 << "-" << c.x2 << "," << c.y2;
}

TEST(GeomArcDist, SegArcDistAgainstCirclesAndLongArcs) {
    EXPECT_EQ(SegArcDist(400, -50, 400, 50, &kCircle), 50);
    EXPECT_EQ(SegArcDist(250, -100, 350, 100, &kCircle), 0); // through the disc
    EXPECT_EQ(SegArcDist(290, -5, 310, 5, &kCircle), 0);     // wholly inside it
    // Beyond half a turn the far side of the sector counts too.
    EXPECT_EQ(SegArcDist(-150, -10, -150, 10, &kThreeQuarters), 50);
    EXPECT_EQ(SegArcDist(-10, -150, 10, -150, &kThreeQuarters), 50);
    EXPECT_EQ(SegArcDist(150, 150, 150, 200, &kThreeQuarters), 158); // in the gap: to an end
}

TEST(GeomArcDist, BoxArcDist) {
    EXPECT_EQ(BoxArcDist(90, -10, 110, 10, &kQuarter), 0);    // holds the start
    EXPECT_EQ(BoxArcDist(-10, 90, 10, 110, &kQuarter), 0);    // holds the end
    EXPECT_EQ(BoxArcDist(60, 60, 80, 80, &kQuarter), 0);      // a side crosses the arc
    EXPECT_EQ(BoxArcDist(10, 10, 20, 20, &kQuarter), 72);     // within the ring: 100 - 28
    EXPECT_EQ(BoxArcDist(200, 200, 300, 300, &kQuarter), 182); // its corner (200, 200)
    EXPECT_EQ(BoxArcDist(-300, -300, -200, -200, &kQuarter), 360); // (-200, -200) to an end
    EXPECT_EQ(BoxArcDist(-1000, -1000, 1000, 1000, &kCircle), 0); // around the whole circle
    EXPECT_EQ(BoxArcDist(290, -5, 310, 5, &kCircle), 0);          // inside the disc
}

TEST(GeomArcDist, ArcArcDist) {
    // A circle against an arc: from the circle's centre, less its radius.
    EXPECT_EQ(ArcArcDist(&kCircle, &kQuarter), 150);
    EXPECT_EQ(ArcArcDist(&kQuarter, &kCircle), 150);
    const ArcSpec bigCircle{0, 0, 300, 0, 0, 0, 0};
    EXPECT_EQ(ArcArcDist(&kQuarter, &bigCircle), 0);
    // Facing arcs, each centre in the other's sector: centres apart less both radii.
    const ArcSpec facing{200, 300, 300, 300, 300, 200, kArcCounterClockwise};
    EXPECT_EQ(ArcArcDist(&kQuarter, &facing), 224);
    EXPECT_EQ(ArcArcDist(&facing, &kQuarter), 224);
    const ArcSpec apart{80, 150, 150, 150, 150, 80, kArcCounterClockwise};
    EXPECT_EQ(ArcArcDist(&kQuarter, &apart), 42); // 212 - 100 - 70
    // Centres in each other's sectors with the rings overlapping.
    const ArcSpec near{30, 100, 100, 100, 100, 30, kArcCounterClockwise};
    EXPECT_EQ(ArcArcDist(&kQuarter, &near), 0);
    // One ring inside the other: the larger radius less the distance and the
    // smaller radius.
    const ArcSpec inner{0, 10, 10, 10, 10, 0, kArcCounterClockwise};
    EXPECT_EQ(ArcArcDist(&kQuarter, &inner), 76); // 100 - 14 - 10
    // Only the second centre in the first's sector.
    const ArcSpec beside{350, 0, 300, 0, 300, 50, kArcCounterClockwise};
    EXPECT_EQ(ArcArcDist(&kQuarter, &beside), 204); // |304 - 100|
    // Neither centre in the other's sector: the nearest pair of ends.
    const ArcSpec away{-300, -250, -300, -300, -350, -300, kArcCounterClockwise};
    EXPECT_EQ(ArcArcDist(&kQuarter, &away), 460);
}

TEST_F(GeomArcTest, ArcBoxOfQuarterArcsInClosedForm) {
    struct Case {
        ArcSpec arc;
        int32_t x1, y1, x2, y2;
    } cases[] = {
        {{71, 71, 0, 0, -71, 71, 0}, -71, 71, 71, 100},    // ends level above the centre
        {{-71, -71, 0, 0, 71, -71, 0}, -71, -100, 71, -71}, // below it
        {{71, -71, 0, 0, 71, 71, 0}, 71, -71, 100, 71},    // ends one above the other
        {{100, 0, 0, 0, 0, 100, 0}, 0, 0, 100, 100},        // otherwise the box of the ends
        {{-71, 71, 0, 0, 71, 71, kArcClockwise}, -71, 71, 71, 100}, // exchanged ends
    };
    GeomSetRoutingGrid(0); // a quarter arc never samples
    for (const Case& c : cases) {
        int32_t x1, y1, x2, y2;
        ArcBox(&c.arc, &x1, &y1, &x2, &y2);
        EXPECT_EQ(x1, c.x1) << c.arc.startX << "," << c.arc.startY;
        EXPECT_EQ(y1, c.y1) << c.arc.startX << "," << c.arc.startY;
        EXPECT_EQ(x2, c.x2) << c.arc.startX << "," << c.arc.startY;
        EXPECT_EQ(y2, c.y2) << c.arc.startX << "," << c.arc.startY;
    }
}

TEST_F(GeomArcTest, ArcBoxSamplesOtherArcsByTheRoutingGrid) {
    int32_t x1, y1, x2, y2;
    // A half circle in 2 x 100 / 10 + 1 = 21 steps: no sample falls on 90
    // degrees, so the top is 99.
    GeomSetRoutingGrid(10);
    const ArcSpec half{100, 0, 0, 0, -100, 0, 0};
    ArcBox(&half, &x1, &y1, &x2, &y2);
    EXPECT_EQ(x1, -100);
    EXPECT_EQ(y1, 0);
    EXPECT_EQ(x2, 100);
    EXPECT_EQ(y2, 99);
    // A finer grid samples more finely: 201 steps reach 100 x sin(89.55).
    GeomSetRoutingGrid(1);
    ArcBox(&half, &x1, &y1, &x2, &y2);
    EXPECT_EQ(y2, 99);
    // Three quarters, counter-clockwise from (0, 100) round to (100, 0).
    GeomSetRoutingGrid(100);
    ArcBox(&kThreeQuarters, &x1, &y1, &x2, &y2);
    EXPECT_LE(x1, -95);
    EXPECT_LE(y1, -95);
    EXPECT_EQ(x2, 100);
    EXPECT_EQ(y2, 100);
    // A full circle.
    GeomSetRoutingGrid(10);
    ArcBox(&kCircle, &x1, &y1, &x2, &y2);
    EXPECT_LE(x1, 255);
    EXPECT_EQ(x2, 350);
    EXPECT_LE(y1, -45);
    EXPECT_GE(y2, 45);
    // Huge radii step without overflow.
    GeomSetRoutingGrid(1 << 30);
    const ArcSpec huge{2000000000, 0, 0, 0, -2000000000, 0, 0};
    ArcBox(&huge, &x1, &y1, &x2, &y2);
    EXPECT_EQ(x1, -2000000000);
    EXPECT_EQ(x2, 2000000000);
    EXPECT_GT(y2, 1000000000);
}

TEST_F(GeomArcTest, ArcBoxWithoutARoutingGridIsFatal) {
    int32_t x1, y1, x2, y2;
    GeomSetRoutingGrid(0);
    const ArcSpec half{100, 0, 0, 0, -100, 0, 0};
    EXPECT_FATAL(ArcBox(&half, &x1, &y1, &x2, &y2), kErrArcBoxGrid);
    GeomSetRoutingGrid(-1500);
    EXPECT_FATAL(ArcBox(&half, &x1, &y1, &x2, &y2), kErrArcBoxGrid);
}

} // namespace
