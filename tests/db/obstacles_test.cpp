// Obstacles: the shape helpers (closing, boxes, arcs into segments, the
// point-in-obstacle test) and the table with its owner lists.
#include "db/obstacles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <utility>

#include "db/dbheader.h"
#include "db/pool.h"
#include "dbfixture.h"

namespace {

struct Pt {
    int32_t x, y;
    uint16_t flags = 0;
};

std::unique_ptr<Obstacle> Shape(std::initializer_list<Pt> pts, uint8_t kind = kObsOutline,
                                uint16_t flags = 0) {
    auto r = std::make_unique<Obstacle>();
    std::memset(r.get(), 0, sizeof(Obstacle));
    r->head.kind = kind;
    r->head.flags = flags;
    r->head.net = kObsNoNet;
    for (const Pt& p : pts) {
        ObsPoint& q = r->pt[r->head.count++];
        q.x = p.x, q.y = p.y, q.flags = p.flags;
    }
    return r;
}

class ObsShapeTest : public DbTest {};

TEST_F(ObsShapeTest, ClosedKindsAndClosedOutlines) {
    for (int32_t kind = 0; kind <= 20; ++kind) {
        auto open = Shape({{0, 0}, {10, 0}, {10, 10}}, uint8_t(kind));
        const bool closedKind = kind == 1 || kind == 3 || kind == 4 || kind == 5 ||
                                (kind >= 8 && kind <= 11) || (kind >= 13 && kind <= 19);
        EXPECT_EQ(ObsIsClosed(open.get()), closedKind) << kind;
    }
    EXPECT_TRUE(ObsIsClosed(Shape({{0, 0}, {10, 0}, {0, 0}}).get()));
    EXPECT_FALSE(ObsIsClosed(Shape({{0, 0}, {0, 0}}).get()));
}

TEST_F(ObsShapeTest, KindMessages) {
    const std::pair<int32_t, int32_t> cases[] = {{0, 21535},  {1, 21536},  {15, 21550},
                                                 {16, 21551}, {17, 21553}, {19, 21555},
                                                 {20, 21556}, {-1, 21556}, {255, 21556}};
    for (const auto& c : cases)
        EXPECT_EQ(ObsKindMsgId(c.first), c.second) << c.first;
}

TEST_F(ObsShapeTest, Boxes) {
    auto poly = Shape({{0, 0}, {100, -20}, {50, 80}});
    poly->head.width = 11;
    ObsBox(poly.get());
    EXPECT_EQ(poly->head.minX, -5);
    EXPECT_EQ(poly->head.minY, -25);
    EXPECT_EQ(poly->head.maxX, 105);
    EXPECT_EQ(poly->head.maxY, 85);

    auto circle = Shape({{130, 0}, {100, 40, kObsPtArcCcw}, {130, 0}}, kObsOutline, kObsCircle);
    circle->head.width = 4;
    ObsBox(circle.get());
    EXPECT_EQ(circle->head.minX, 100 - 50 - 2);
    EXPECT_EQ(circle->head.minY, 40 - 50 - 2);
    EXPECT_EQ(circle->head.maxX, 100 + 50 + 2);
    EXPECT_EQ(circle->head.maxY, 40 + 50 + 2);

    // An arc over the top of a half disc reaches its apex.
    const int32_t r = 1000000;
    auto half = Shape({{r, 0}, {0, 0, kObsPtArcCcw}, {-r, 0}}, kObsOutline, kObsHasArcs);
    ObsBox(half.get());
    EXPECT_EQ(half->head.minX, -r);
    EXPECT_EQ(half->head.maxX, r);
    EXPECT_EQ(half->head.minY, 0);
    EXPECT_GT(half->head.maxY, r - 2 * 60);
    EXPECT_LE(half->head.maxY, r);
}

TEST_F(ObsShapeTest, ArcsBecomeSegments) {
    const int32_t r = 1000000;
    auto shape = Shape({{-5, -5}, {r, 0}, {0, 0, kObsPtArcCw}, {-r, 0}, {-7, -7}}, kObsOutline,
                       kObsHasArcs | kObsCircle);
    shape->pt[1].width = 33;
    ObsArcsToSegs(shape.get());
    const int32_t n = shape->head.count;
    EXPECT_GT(n, 10);
    EXPECT_EQ(shape->head.flags & (kObsHasArcs | kObsCircle), 0);
    // The ends stay; the inner points run clockwise below the x axis, with
    // flags 0 and the arc start's corner width.
    EXPECT_EQ(shape->pt[1].x, r);
    EXPECT_EQ(shape->pt[n - 2].x, -r);
    EXPECT_EQ(shape->pt[n - 1].x, -7);
    for (int32_t i = 2; i < n - 2; ++i) {
        EXPECT_LT(shape->pt[i].y, 0) << i;
        EXPECT_EQ(shape->pt[i].flags, 0);
        EXPECT_EQ(shape->pt[i].width, 33);
    }
}

TEST_F(ObsShapeTest, ArcsPastNineHundredNinetyNinePoints) {
    // Half circles of radius 1,000,000 at a tolerance of 120 take 114
    // segments (113 inner points) each: eight fit, nine need 1,027 points.
    const int32_t r = 1000000;
    auto chain = [&](int32_t arcs) {
        auto s = Shape({{0, 0}});
        for (int32_t k = 0; k < arcs; ++k) {
            ObsPoint& c = s->pt[s->head.count++];
            c.x = (2 * k + 1) * r, c.flags = kObsPtArcCcw;
            s->pt[s->head.count++].x = (2 * k + 2) * r;
        }
        s->head.flags = kObsHasArcs;
        return s;
    };
    auto eight = chain(8);
    ObsArcsToSegs(eight.get());
    EXPECT_EQ(eight->head.count, 17 - 8 + 8 * 113);
    EXPECT_EQ(eight->pt[912].x, 16 * r);
    auto nine = chain(9);
    EXPECT_FATAL(ObsArcsToSegs(nine.get()), kErrObsArcPoints);
}

TEST_F(ObsShapeTest, ContainsPointInSquare) {
    auto sq = Shape({{0, 0}, {100, 0}, {100, 100}, {0, 100}}, kObsBoardOutline);
    const struct {
        int32_t x, y, expected;
    } cases[] = {
        {50, 50, 1},  {1, 99, 1},   {150, 50, 0}, {50, -1, 0}, {-1, 50, 0},
        {100, 50, 2}, {50, 0, 2},   {50, 100, 2}, {0, 0, 2},   {100, 100, 2},
        {0, 100, 2},  {100, 0, 2},  {0, 50, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ObsContainsPt(c.x, c.y, sq.get()), c.expected) << c.x << "," << c.y;
}

TEST_F(ObsShapeTest, ContainsPointLevelWithVertices) {
    // Both side vertices of a diamond lie on the line through its centre;
    // the outline passes through each of them once.
    auto diamond = Shape({{50, 0}, {100, 50}, {50, 100}, {0, 50}}, kObsCopper);
    EXPECT_EQ(ObsContainsPt(50, 50, diamond.get()), 1);
    EXPECT_EQ(ObsContainsPt(1, 50, diamond.get()), 1);
    EXPECT_EQ(ObsContainsPt(0, 50, diamond.get()), 2);
    EXPECT_EQ(ObsContainsPt(100, 50, diamond.get()), 2);
    EXPECT_EQ(ObsContainsPt(50, 0, diamond.get()), 2);
    EXPECT_EQ(ObsContainsPt(10, 10, diamond.get()), 0);

    // A notch whose tip points left: level with the tip the inside lies to
    // its left only.
    auto notch = Shape({{0, 0}, {300, 0}, {300, 20}, {100, 50}, {300, 80}, {300, 100}, {0, 100}},
                       kObsCopper);
    EXPECT_EQ(ObsContainsPt(50, 50, notch.get()), 1);
    EXPECT_EQ(ObsContainsPt(100, 50, notch.get()), 2);
    EXPECT_EQ(ObsContainsPt(200, 50, notch.get()), 0);
    EXPECT_EQ(ObsContainsPt(299, 50, notch.get()), 0);
    EXPECT_EQ(ObsContainsPt(200, 10, notch.get()), 1);

    // The apex of a triangle touches the line without crossing it; a
    // vertex on a vertical side passes through; a valley vertex touches
    // from above.
    auto tri = Shape({{0, 0}, {100, 100}, {200, 0}}, kObsCopper);
    EXPECT_EQ(ObsContainsPt(100, 100, tri.get()), 2);
    EXPECT_EQ(ObsContainsPt(50, 100, tri.get()), 0);
    EXPECT_EQ(ObsContainsPt(150, 100, tri.get()), 0);
    auto valley = Shape({{0, 0}, {400, 0}, {400, 50}, {400, 100}, {300, 50}, {200, 100}, {0, 100}},
                        kObsCopper);
    EXPECT_EQ(ObsContainsPt(100, 50, valley.get()), 1);
    EXPECT_EQ(ObsContainsPt(300, 50, valley.get()), 2);
    EXPECT_EQ(ObsContainsPt(350, 50, valley.get()), 1);
    EXPECT_EQ(ObsContainsPt(400, 50, valley.get()), 2);
    EXPECT_EQ(ObsContainsPt(300, 60, valley.get()), 0);

    // A run along the line: the outline passes from below to above along
    // it (a step), or turns back (a plateau).
    auto step = Shape({{0, 0}, {200, 0}, {200, 50}, {100, 50}, {100, 100}, {0, 100}}, kObsCopper);
    EXPECT_EQ(ObsContainsPt(50, 50, step.get()), 1);
    EXPECT_EQ(ObsContainsPt(150, 50, step.get()), 2);
    EXPECT_EQ(ObsContainsPt(150, 70, step.get()), 0);
    auto plateau = Shape({{0, 0}, {300, 0}, {300, 100}, {200, 100}, {200, 50}, {100, 50},
                          {100, 100}, {0, 100}},
                         kObsCopper);
    EXPECT_EQ(ObsContainsPt(50, 50, plateau.get()), 1);
    EXPECT_EQ(ObsContainsPt(250, 50, plateau.get()), 1);
    EXPECT_EQ(ObsContainsPt(150, 50, plateau.get()), 2);
    EXPECT_EQ(ObsContainsPt(150, 60, plateau.get()), 0);
}

TEST_F(ObsShapeTest, ContainsPointInCircleAndArcs) {
    auto circle = Shape({{100, 0}, {0, 0, kObsPtArcCcw}, {100, 0}}, kObsCopper, kObsCircle);
    const struct {
        int32_t x, y, expected;
    } cases[] = {{50, 0, 1}, {99, 0, 1}, {100, 0, 2}, {0, -100, 2}, {71, 71, 2}, {150, 0, 0},
                 {72, 72, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ObsContainsPt(c.x, c.y, circle.get()), c.expected) << c.x << "," << c.y;

    const int32_t r = 1000000;
    auto half = Shape({{r, 0}, {0, 0, kObsPtArcCcw}, {-r, 0}}, kObsCopper, kObsHasArcs);
    EXPECT_EQ(ObsContainsPt(0, r / 2, half.get()), 1);
    EXPECT_EQ(ObsContainsPt(0, r - 1000, half.get()), 1);
    EXPECT_EQ(ObsContainsPt(0, -10, half.get()), 0);
    EXPECT_EQ(ObsContainsPt(r / 2, 0, half.get()), 2);
    EXPECT_EQ(ObsContainsPt(r - 1000, r - 1000, half.get()), 0);
}

} // namespace
