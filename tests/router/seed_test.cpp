// Seeding the ends of a gap: one cell and its neighbours, pads on and off
// the half grid, the window edge, a whole gap seeded and searched, and the
// pads and routes shared with the gap's end.
#include <cstdio>
#include <string>
#include <vector>

#include "db/conns.h"
#include "db/nets.h"
#include "router/costs.h"
#include "router/maze.h"
#include "router/seed.h"
#include "router/wave.h"
#include "seedfixture.h"

namespace {

TEST_F(SeedTest, SeedCellQueuesOrMarks) {
    OpenSeed();
    // Side 1 queues: the cell at its cost, the neighbours at cost + step
    // (layer 1: 4 along x, 27 along y).
    ASSERT_EQ(mzSeedCell(40, 40, 1, 0x39, 10, 1), 1);
    EXPECT_EQ(MazeGet(40, 40, 1), 0x39);
    EXPECT_EQ(MazeGet(41, 40, 1), 0); // queued neighbours are not marked
    std::vector<Queued> q = Drain();
    ASSERT_EQ(q.size(), 5u);
    EXPECT_EQ(q[0].cost, 10);
    int32_t costs[0x40] = {};
    for (const Queued& k : q)
        costs[k.dir & 0x3F] = k.cost;
    EXPECT_EQ(costs[0x34], 14);
    EXPECT_EQ(costs[0x32], 14);
    EXPECT_EQ(costs[0x33], 37);
    EXPECT_EQ(costs[0x31], 37);
    // Again on the marked cell: refused by the queue, but already the code.
    EXPECT_EQ(mzSeedCell(40, 40, 1, 0x39, 10, 1), 1);
    WaveReset();
    // Side 0 marks the cell and the free neighbours, keeping mark bits; a
    // neighbour with mark 2 alone is kept.
    MazeSet(60, 41, 1, 0x40);
    MazeSet(59, 40, 1, 0xC0);
    ASSERT_EQ(mzSeedCell(60, 40, 1, 0x19, 0, 1), 1);
    EXPECT_EQ(WaveEntryCount(), 0);
    EXPECT_EQ(MazeGet(60, 40, 1), 0x19);
    EXPECT_EQ(MazeGet(61, 40, 1), 0x14);
    EXPECT_EQ(MazeGet(59, 40, 1), 0xD2);
    EXPECT_EQ(MazeGet(60, 41, 1), 0x40);
    EXPECT_EQ(MazeGet(60, 39, 1), 0x11);
    EXPECT_EQ(mzSeedCell(60, 40, 1, 0x19, 0, 1), 0); // marked: refused
    MazeSet(30, 30, 1, 0x40);
    EXPECT_EQ(mzSeedCell(30, 30, 1, 0x19, 0, 1), 0);
    // Queue mode with vias: a via seed on layer 2 at the via's cost.
    Goal()->viasAllowed = 1;
    ASSERT_EQ(mzSeedCell(50, 50, 1, 0x39, 0, 1), 1);
    bool via = false;
    for (const Queued& k : Drain())
        if (k.layer == 2) {
            via = true;
            EXPECT_EQ(k.dir, 0x21);
            EXPECT_EQ(k.cost, ViaCost(g_viaPair[1][2]));
        }
    EXPECT_TRUE(via);
    g_maze.mazeIndex[2] = 0;
    EXPECT_FATAL(mzSeedCell(50, 50, 2, 0x39, 0, 1), 2174005);
}

TEST_F(SeedTest, PadsOnAndOffTheHalfGrid) {
    OpenSeed("*COMP U3 [24400, 12000] Symbol=1\r\n");
    GoalGap();
    EXPECT_EQ(padExit(0, 3, 0x20, 100, 200), 0);
    // U1.1 at (15,000, 30,000) lies on a grid point: its centre only.
    ASSERT_EQ(padExit(1, 1, 0x20, 0, 0), 1);
    std::vector<ExitNode> e = Exits();
    ASSERT_EQ(e.size(), 2u);
    for (const ExitNode& n : e) {
        EXPECT_EQ(n.kind, kExitPadCentre);
        EXPECT_EQ(n.x, MzX(15000));
        EXPECT_EQ(n.y, MzY(30000));
        EXPECT_EQ(n.side, 1);
    }
    EXPECT_EQ(MazeGet(MzX(15000), MzY(30000), 2), 0x39);
    ExitListReset();
    WaveReset();
    // U3.1 at (24,400, 12,000) is off the half grid in x: left through the
    // cells beside it, never at its centre.
    ASSERT_EQ(padExit(3, 1, 0, 0, 0), 1);
    e = Exits();
    ASSERT_FALSE(e.empty());
    int32_t kinds = 0;
    for (const ExitNode& n : e) {
        EXPECT_TRUE(n.kind == kExitPadX || n.kind == kExitPadY) << n.kind;
        kinds |= 1 << n.kind;
        EXPECT_EQ(n.side, 0);
        EXPECT_EQ(MazeGet(n.x, n.y, n.layer) & 0x3F, 0x19);
    }
    EXPECT_EQ(kinds, (1 << kExitPadX) | (1 << kExitPadY)); // left along x and along y
}

TEST_F(SeedTest, WindowEdgeSector1) {
    OpenSeed();
    MzGoal& g = *Goal();
    // The first end lies beyond the left and top edges; the far end at
    // maze row 30.
    g.srcX = -3000;
    g.srcY = 70000;
    g.dstX = 30000;
    g.dstY = MzWorldY(30);
    windowEdgeExit(1, 1, 5, -2, 1, 0x20);
    std::vector<ExitNode> e = Exits();
    const int32_t H = 2 * 40, W = 2 * 40;
    const int32_t perLine = (H - 15 - 15) / 2 + 1;
    ASSERT_EQ(int32_t(e.size()), 2 * 2 * perLine); // column and row, two layers
    const LayerRec* base = LayerRecOf(0);
    int32_t best = 1 << 30, bestY = 0;
    for (const ExitNode& n : e) {
        EXPECT_EQ(n.kind, kExitWindowEdge);
        EXPECT_EQ(n.conn, 5);
        EXPECT_EQ(n.corner, -2);
        EXPECT_TRUE(n.x == 12 || n.y == H - 12);
        if (n.x == 12) {
            EXPECT_EQ((n.y - 15) % 2, 0);
        }
    }
    std::vector<Queued> q = Drain();
    for (const Queued& k : q)
        if (k.x == 12 && k.layer == 1 && (k.dir & 0x1F) == 0x19) {
            // Layer 1 runs along x: horizontal cost below vertical, no via part.
            int32_t m = MzY(70000) < 0 || MzY(70000) > H ? 30 : MzY(70000);
            EXPECT_EQ(k.cost, std::min(base->vert[0] * std::abs(k.y - m) / 3, 4086)) << k.y;
            if (k.cost < best) best = k.cost, bestY = k.y;
        }
    EXPECT_EQ(bestY, 31);
    (void)W;
}

TEST_F(SeedTest, GapSeededAndSearched) {
    OpenSeed();
    const int32_t entry = GoalGap();
    MzGoal& g = *Goal();
    ASSERT_EQ(SeedExits(), 1);
    int32_t sides[2] = {};
    for (const ExitNode& n : Exits())
        ++sides[n.side];
    EXPECT_GT(sides[0], 0);
    EXPECT_GT(sides[1], 0);
    ASSERT_EQ(FastRun(1000000), 1);
    EXPECT_NE(g.meetDir[0], 0);
    EXPECT_EQ(g.meetY, MzY(30000));
    // A net outside the table fails.
    ObjEntry(entry)->net = int16_t(NetCount() + 1);
    EXPECT_EQ(SeedExits(), 0);
}

// A route end of the second end on another layer than the gap's start gets
// a via seed on the start layer only when its own cell took the seed: a
// refused end cell (a closed pad side, other copper) must not be reached
// through a via, or back-tracking would step into it.
TEST_F(SeedTest, RouteEndViaSeedOnlyOverASeededEnd) {
    OpenSeed();
    GoalGap();
    MzGoal& g = *Goal();
    g.srcLayer = 1;
    g.queueBothEnds = 0;
    const int32_t x = 27000, y = 36000, mx = MzX(x), my = MzY(y);
    ASSERT_NE(g_viaPair[2][1], 0);
    struct Case {
        int32_t before, end, via;
    } cases[] = {{0, 0x19, g_maze.mazeIndex[2]}, {0x1B, 0x1B, 0}, {0x9E, 0x9E, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        MazeBorder();
        MazeSet(mx, my, 2, c.before);
        rouExit(x, y, 2, 0, 2, 1, 1, 0);
        EXPECT_EQ(MazeGet(mx, my, 2), c.end);
        EXPECT_EQ(MazeGet(mx, my, 1) & kCellLow6, c.via);
    }
}

// A connection of the net that ends on the second pad joins its far pad
// and its copper to the target side only when it is routed all the way;
// with a gap next to the shared pad, its far pad and its copper belong to
// another island and are not seeded (else the gap meets itself).
TEST_F(SeedTest, SharedPadJoinsOnlyWhatIsConnected) {
    OpenSeed("*COMP U3 [39000, 45000] Symbol=1\r\n");
    GoalGap();
    AddPad(2, 1, 1);
    AddPad(3, 1, 1);
    // U3.1 - U2.1, the table's last entry: routed from U3.1, a gap on to U2.1;
    // then routed whole.
    const int32_t c = StoreConn(1, {{39000, 45000, 1}, {39000, 37500, 0}, {39000, 30000, 0}});
    PutEnds(c, 3, 1, 2, 1);
    AddConn(c);
    for (const bool whole : {false, true}) {
        SCOPED_TRACE(whole);
        if (whole) {
            Conn r;
            ConnGet(c, &r);
            r.crn[1].layer = 1;
            DbTrustedScope trusted;
            ConnPut(c, &r);
        }
        ASSERT_EQ(SeedExits(), 1);
        bool farPad = false, copper = false;
        for (const ExitNode& n : Exits()) {
            if (n.side == 0 && n.comp == 3) farPad = true;
            if (n.side == 0 && n.conn == c) copper = true;
        }
        EXPECT_EQ(farPad, whole);
        EXPECT_EQ(copper, whole);
        WaveReset();
        MazeReset(1, 1);
    }
}

} // namespace
