// The straight-line heuristic: which lines it takes, and the jog around the
// one pad in the way.
#include <cstdlib>

#include "router/memroute.h"
#include "router/objmap.h"
#include "seedfixture.h"

namespace {

class MemRouteTest : public SeedTest {
  protected:
    // The map fixture's board with the four pins entered and mapped; a
    // stored connection of net 1 between the pins, made the goal.
    int32_t Line(int32_t fromPin, int32_t toComp, int32_t toPin, int32_t flags = 0) {
        PlacedPin a, b;
        CompPinXY(1, fromPin, &a);
        CompPinXY(toComp, toPin, &b);
        int32_t c = StoreConn(1, {{a.x, a.y, 0, 0, flags}, {b.x, b.y, 0}});
        Conn r;
        ConnGet(c, &r);
        r.head.fromComp = 1;
        r.head.fromPin = int16_t(fromPin);
        r.head.toComp = int16_t(toComp);
        r.head.toPin = int16_t(toPin);
        {
            DbTrustedScope trusted;
            ConnPut(c, &r);
        }
        Goal()->conn = int16_t(c);
        return c;
    }
    void SetUpBoard() {
        OpenSeed();
        for (int32_t comp = 1; comp <= 2; ++comp)
            for (int32_t pin = 1; pin <= 2; ++pin)
                AddPad(comp, pin, 1);
        ASSERT_EQ(MapAll(), 1);
    }
};

TEST_F(MemRouteTest, WhichLinesAreClassified) {
    SetUpBoard();
    Conn c;
    // U1.1 - U2.2: two pads in the line (U1.2, U2.1): never.
    ConnGet(Line(1, 2, 2), &c);
    EXPECT_EQ(MemClassify(1, &c), 0);
    EXPECT_EQ(MemClassify(0, &c), 0);
    // U1.1 - U2.1: one pad of the first end's component in the way.
    ConnGet(Line(1, 2, 1), &c);
    EXPECT_EQ(MemClassify(1, &c), 1);
    EXPECT_EQ(g_memClass.kind, kMemHorizontal);
    EXPECT_EQ(g_memClass.layer, 1); // the layer that runs along x
    EXPECT_NE(g_memClass.blocker, 0);
    // A locked corner, or an end off the grid line.
    ConnGet(Line(1, 2, 1, kCrnLocked), &c);
    EXPECT_EQ(MemClassify(0, &c), 0);
    ConnGet(Line(1, 2, 1), &c);
    c.crn[0].y += 10;
    c.crn[1].y += 10;
    EXPECT_EQ(MemClassify(0, &c), 0);
    // Nothing in the way: only without strict.
    ConnGet(Line(2, 2, 1), &c);
    EXPECT_EQ(MemClassify(1, &c), 0);
    EXPECT_EQ(MemClassify(0, &c), 1);
    EXPECT_EQ(g_memClass.blocker, 0);
}

TEST_F(MemRouteTest, JogAroundTheBlockingPad) {
    SetUpBoard();
    Conn c;
    ConnGet(Line(1, 2, 1), &c);
    ASSERT_EQ(MemClassify(1, &c), 1);
    Conn out{};
    ASSERT_EQ(MemRoute(1, &out), 1);
    ASSERT_EQ(out.head.count, 6);
    // The pad U1.2 at (21,000, 30,000), radius 1,800; the jog goes up
    // (the pad is the first end's and x0 < x5 puts it below when strict).
    const int32_t x[6] = {out.crn[0].x, out.crn[1].x, out.crn[2].x,
                          out.crn[3].x, out.crn[4].x, out.crn[5].x};
    const int32_t y[6] = {out.crn[0].y, out.crn[1].y, out.crn[2].y,
                          out.crn[3].y, out.crn[4].y, out.crn[5].y};
    EXPECT_EQ(x[0], 15000);
    EXPECT_EQ(x[5], 39000);
    EXPECT_EQ(y[1], 30000);
    EXPECT_EQ(y[4], 30000);
    EXPECT_EQ(y[2], y[3]);
    EXPECT_TRUE(y[2] <= 30000 - 1800 || y[2] >= 30000 + 1800) << y[2];
    EXPECT_EQ(y[2] % 1500, 0);
    EXPECT_LT(x[1], 21000 - 1800);
    EXPECT_GT(x[4], 21000 + 1800);
    // Diagonals are on: 45-degree legs.
    ASSERT_TRUE(CurSweep().diagonal & 1);
    EXPECT_EQ(x[2] - x[1], std::abs(y[2] - 30000));
    EXPECT_EQ(x[4] - x[3], std::abs(y[2] - 30000));
    EXPECT_EQ(out.crn[0].layer, 1);
    // Without diagonals the legs are square.
    CurSweep().diagonal = 16;
    ASSERT_EQ(MemRoute(1, &out), 1);
    EXPECT_EQ(+out.crn[1].x, +out.crn[2].x);
    EXPECT_EQ(+out.crn[3].x, +out.crn[4].x);
    EXPECT_EQ(+out.crn[2].y, y[2]);
    // Without strict the jog goes to the other side.
    ASSERT_EQ(MemClassify(0, &c), 1);
    ASSERT_EQ(MemRoute(0, &out), 1);
    EXPECT_EQ(int32_t(out.crn[2].y) - 30000 > 0, y[2] - 30000 < 0);
    // Faults.
    g_memClass.layer = 3;
    EXPECT_FATAL(MemRoute(1, &out), 2181042);
    g_memClass.layer = 1;
    g_memClass.blocker = 1; // the board edge
    EXPECT_FATAL(MemRoute(1, &out), 2181040);
}

} // namespace
