// The route copy geometry: quarter turns exact and four of them the
// identity, other angles truncated; mirroring twice the identity; the pick
// test sees routed segments only; the trim keeps a routed start; the clip
// keeps the run meeting the rectangle; which
// connections take a full or a partial copy.
#include <gtest/gtest.h>

#include <array>

#include "rulefixture.h"
#include "rules/routecopy.h"
#include "rules/routecopymatch.h"
#include "support/fatal.h"

namespace {

class RouteCopyTest : public RuleTest {
  protected:
    // Corners (x, y, layer); a layer 0 corner starts an unrouted segment.
    static Conn Make(std::initializer_list<std::array<int32_t, 3>> corners) {
        Conn c{};
        for (const auto& k : corners) {
            Crn& n = c.crn[c.head.count++];
            n.x = k[0];
            n.y = k[1];
            n.layer = uint8_t(k[2]);
        }
        return c;
    }
    static bool Same(const Conn& a, const Conn& b) {
        if (a.head.count != b.head.count) return false;
        for (int32_t i = 0; i < a.head.count; ++i)
            if (a.crn[i].x != b.crn[i].x || a.crn[i].y != b.crn[i].y) return false;
        return true;
    }
};

TEST_F(RouteCopyTest, TurnsAndMirrors) {
    const Conn start = Make({{1000, 2000, 1}, {7000, 2000, 1}, {7000, -3000, 0}});
    Conn c = start;
    routeCopyRotate(&c, 500, 500, 0); // a quarter turn
    EXPECT_EQ(int32_t(c.crn[0].x), 500 - 1500);
    EXPECT_EQ(int32_t(c.crn[0].y), 500 + 500);
    EXPECT_EQ(int32_t(c.crn[2].x), 500 + 3500);
    EXPECT_EQ(int32_t(c.crn[2].y), 500 + 6500);
    for (int32_t i = 0; i < 3; ++i)
        routeCopyRotate(&c, 500, 500, 0);
    EXPECT_TRUE(Same(c, start));
    c = start;
    routeCopyRotate(&c, 0, 0, -5400); // a quarter turn clockwise
    EXPECT_EQ(int32_t(c.crn[1].x), 2000);
    EXPECT_EQ(int32_t(c.crn[1].y), -7000);
    // 30 degrees: (cos 1000 - sin 2000, cos 2000 + sin 1000), truncated.
    c = start;
    routeCopyRotate(&c, 0, 0, 1800);
    EXPECT_EQ(int32_t(c.crn[0].x), -133);
    EXPECT_EQ(int32_t(c.crn[0].y), 2232);
    c = start;
    routeCopyMirror(&c, 4000);
    EXPECT_EQ(int32_t(c.crn[0].x), 7000);
    EXPECT_EQ(int32_t(c.crn[1].x), 1000);
    routeCopyMirror(&c, 4000);
    EXPECT_TRUE(Same(c, start));
}

TEST_F(RouteCopyTest, PickSeesRoutedSegmentsOnly) {
    // Grid 1,500: a routed run along y 3,000 and an unrouted run down.
    const Conn c = Make({{3000, 3000, 1}, {30000, 3000, 0}, {30000, 30000, 0}});
    EXPECT_EQ(pickConnInRectangle(&c, 9000, 0, 15000, 6000), 1);
    EXPECT_EQ(pickConnInRectangle(&c, 15000, 0, 9000, 6000), 1);       // corners in any order
    EXPECT_EQ(pickConnInRectangle(&c, 27000, 12000, 33000, 18000), 0); // unrouted only
    EXPECT_EQ(pickConnInRectangle(&c, 9000, 9000, 15000, 15000), 0);
}

TEST_F(RouteCopyTest, TrimKeepsTheRoutedStart) {
    Conn full = Make({{0, 0, 1}, {3000, 0, 2}, {3000, 3000, 0}});
    EXPECT_EQ(routeCopyTrim(&full), 0);
    EXPECT_EQ(int32_t(full.head.count), 3);
    // Unrouted first: reversed, then cut after the routed start.
    Conn part = Make({{0, 0, 0}, {3000, 0, 0}, {3000, 3000, 1}, {6000, 3000, 0}});
    EXPECT_EQ(routeCopyTrim(&part), 1);
    ASSERT_EQ(int32_t(part.head.count), 2);
    EXPECT_EQ(int32_t(part.crn[0].x), 6000);
    EXPECT_EQ(int32_t(part.crn[0].y), 3000);
    EXPECT_EQ(int32_t(part.crn[1].x), 3000);
    EXPECT_EQ(int32_t(part.crn[1].y), 3000);
    EXPECT_NE(int32_t(part.crn[0].layer), 0);
    Conn empty{};
    EXPECT_FATAL(routeCopyTrim(&empty), kErrCopyNoCorners);
}

// Routed segments missing the rectangle go from both ends of the copy; the
// new last corner starts no routed segment; a copy none of whose segments
// meets the rectangle is kept.
TEST_F(RouteCopyTest, ClipKeepsTheRunThatMeetsTheRectangle) {
    const Conn start = Make({{0, 0, 1}, {3000, 0, 1}, {3000, 30000, 1}, {6000, 30000, 0}});
    Conn c = start;
    routeCopyClip(&c, 4000, 10000, -1000, -1000);
    ASSERT_EQ(int32_t(c.head.count), 3);
    EXPECT_EQ(int32_t(c.crn[2].y), 30000);
    EXPECT_EQ(int32_t(c.crn[2].layer), 0);
    c = start;
    routeCopyClip(&c, 2000, 20000, 4000, 40000);
    ASSERT_EQ(int32_t(c.head.count), 3);
    EXPECT_EQ(int32_t(c.crn[0].x), 3000);
    EXPECT_EQ(int32_t(c.crn[0].y), 0);
    EXPECT_EQ(int32_t(c.crn[0].layer), 1);
    c = start;
    routeCopyClip(&c, 50000, 50000, 60000, 60000);
    EXPECT_TRUE(Same(c, start));
}

TEST_F(RouteCopyTest, FullAndPartialCopiesMatchTheirPins) {
    const CopyPin a{1, 2}, b{3, 4}, other{5, 1};
    const auto conn = [&](CopyPin from, CopyPin to, uint8_t firstLayer, uint16_t flags) {
        Conn c = Make({{0, 0, firstLayer}, {3000, 0, 1}, {6000, 0, 0}});
        c.head.fromComp = int16_t(from.comp);
        c.head.fromPin = int16_t(from.pin);
        c.head.toComp = int16_t(to.comp);
        c.head.toPin = int16_t(to.pin);
        c.head.flags = flags;
        return c;
    };
    struct Case {
        CopyPin from, to;   // the connection's pins
        uint8_t firstLayer; // of its first segment
        uint16_t flags;
        CopyPin copyTo; // comp 0: a partial copy
        int32_t match, reversed;
    };
    for (const Case& k : {
             Case{a, b, 1, 0, b, 1, 0},     // full: same order
             Case{b, a, 1, 0, b, 1, 1},     // full: other order, turned round
             Case{a, other, 1, 0, b, 0, 0}, // full: another end pin
             Case{a, b, 1, kConnNotSelected, b, 0, 0},
             Case{a, b, 1, kConnNoRipup, b, 0, 0},
             Case{a, b, 0, 0, CopyPin{}, 1, 0},     // partial: unrouted start at the pin
             Case{a, b, 1, 0, CopyPin{}, 0, 0},     // partial: start routed
             Case{other, a, 1, 0, CopyPin{}, 0, 1}, // partial: turned round, start routed then
             Case{b, other, 0, 0, CopyPin{}, 0, 0},
         }) {
        SCOPED_TRACE(testing::Message() << k.from.comp << "." << k.from.pin << " " << k.match);
        Conn c = conn(k.from, k.to, k.firstLayer, k.flags);
        EXPECT_EQ(connMatchesPads(&c, a, k.copyTo), k.match);
        EXPECT_EQ(int32_t(c.head.fromComp) != k.from.comp, bool(k.reversed));
    }
}

} // namespace
