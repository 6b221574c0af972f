// The wavefront queue (allocation, stealing, reset, seeding) and the two
// expansion routines (cell classes, meeting, budget, room, vias, and a
// straight gap that stays on its grid line).
#include <cstdio>
#include <string>
#include <vector>

#include "db/pool.h"
#include "headless/ascio.h"
#include "router/costs.h"
#include "router/maze.h"
#include "router/objtable.h"
#include "router/seedtable.h"
#include "router/wave.h"
#include "routerfixture.h"

namespace {

std::vector<std::string> g_lines;
void Collect(const char* text) {
    g_lines.emplace_back(text);
}

class WaveTest : public RouterTest {
  protected:
    void SetUp() override {
        RouterTest::SetUp();
        g_lines.clear();
        DebugSetTraceReceiver(&Collect);
    }
    void TearDown() override {
        DebugSetTraceReceiver(nullptr);
        g_waveTrace = 0;
        g_verbose = 0;
        HeadlessAbortAfter(-1);
        RouterTest::TearDown();
    }
    void Open(int32_t nx = 40, int32_t ny = 30) {
        LoadBoard();
        SetBox(nx, ny);
        ASSERT_EQ(OpenMaze(30000, 30000), 1);
        MazeBorder();
        ObjTableInit();
        ASSERT_EQ(PrepCost(2), 1);
        Goal()->costLimit = 1000000;
        Goal()->layerAllowed[1] = Goal()->layerAllowed[2] = 1;
    }
    // A seed as the seeding writes one: the cell marked with the exit code
    // and its four neighbours queued (side 1) or marked (side 0).
    static void Seed(int32_t x, int32_t y, int32_t layer, int32_t side) {
        MazeSet(x, y, layer, side | kDirSeed);
        const struct {
            int32_t dx, dy, code;
        } n[] = {{1, 0, kMoveToXPlus},
                 {-1, 0, kMoveToXMinus},
                 {0, 1, kMoveToYPlus},
                 {0, -1, kMoveToYMinus}};
        for (const auto& k : n) {
            if (side)
                waveAddSeed(x + k.dx, y + k.dy, layer, side | k.code, 0, 0);
            else
                MazeSet(x + k.dx, y + k.dy, layer, k.code);
        }
    }
    // Walks the side's marks back from (x, y) to its seed cell; the cells
    // visited, seed last.
    static std::vector<std::pair<int32_t, int32_t>> WalkBack(int32_t x, int32_t y, int32_t layer,
                                                             int32_t dir) {
        std::vector<std::pair<int32_t, int32_t>> cells;
        for (int32_t guard = 0; guard < 10000; ++guard) {
            cells.push_back({x, y});
            int32_t code = dir & 0x1F;
            if (code == kDirSeed) break;
            if (code == (kMoveToXPlus & 0x1F)) --x;
            if (code == (kMoveToXMinus & 0x1F)) ++x;
            if (code == (kMoveToYPlus & 0x1F)) --y;
            if (code == (kMoveToYMinus & 0x1F)) ++y;
            dir = MazeGet(x, y, layer) & 0x3F;
        }
        return cells;
    }
};

TEST_F(WaveTest, PoolSizeOnlyWithTheMazeAndFailedAllocation) {
    Open(40, 30);
    ASSERT_TRUE(WaveQueueReady());
    EXPECT_EQ(WaveNodeCount(), 2000 * 2); // 40 x 30 / 3 = 400 < 2,000
    MazeRelease();
    EXPECT_FALSE(WaveQueueReady());
    SetBox(300, 90);
    ASSERT_EQ(OpenMaze(30000, 30000), 1);
    EXPECT_EQ(WaveNodeCount(), 9000 * 2);
    g_router.mazeNeeded = 0;
    WavePoolRelease();
    EXPECT_EQ(WavePoolAlloc(), 1);
    EXPECT_FALSE(WaveQueueReady());
    g_router.mazeNeeded = 1;
    PoolSetChunkLimit(PoolChunksInUse());
    EXPECT_EQ(WavePoolAlloc(), 0);
    PoolSetChunkLimit(-1);
    EXPECT_FALSE(WaveQueueReady());
}

TEST_F(WaveTest, PushPopStealAndReset) {
    Open();
    const int32_t n = WaveNodeCount();
    // Every node queued: one at cost 50, one at cost 3000, the rest at 0.
    wavePush(50)->x = 50;
    wavePush(3000)->x = 77;
    for (int32_t i = 2; i < n; ++i)
        wavePush(0)->x = 1;
    EXPECT_EQ(WaveEntryCount(), n);
    // The free list is empty: the first steal probes bucket 37 and takes the
    // head of the first non-empty bucket after it (50); the next probes 87
    // and takes the one at 3,000.
    wavePush(9)->x = 9;
    wavePush(9)->x = 10;
    EXPECT_EQ(WaveEntryCount(), n);
    std::vector<int32_t> order;
    while (wavePop())
        if (g_waveCur.x != 1) order.push_back(g_waveCur.x);
    EXPECT_EQ(order, (std::vector<int32_t>{10, 9}));
    EXPECT_EQ(WaveEntryCount(), 0);
    EXPECT_EQ(WaveCurrentBucket(), 9);
    // A push goes to current + cost (mod 4,096) and pops wrap.
    wavePush(4090)->x = 5;
    ASSERT_EQ(wavePop(), 1);
    EXPECT_EQ(WaveCurrentBucket(), 4099);
    // Reset with and without the trace option.
    for (int32_t traced = 0; traced < 2; ++traced) {
        g_waveTrace = traced;
        g_lines.clear();
        wavePush(3);
        wavePush(700);
        WaveReset();
        EXPECT_EQ(WaveEntryCount(), 0);
        EXPECT_EQ(WaveCurrentBucket(), 0);
        EXPECT_EQ(g_lines, traced ? std::vector<std::string>{"WaveReset: erasing 2 entries"}
                                  : std::vector<std::string>{});
        EXPECT_EQ(wavePop(), 0);
    }
}

TEST_F(WaveTest, AddSeed) {
    Open();
    MzGoal& g = *Goal();
    g.viasAllowed = 1;
    // Cost 5,000 is queued at 4,095, with 100 vias without limitVias.
    ASSERT_EQ(waveAddSeed(20, 20, 1, 0x33, 5000, 0), 1);
    ASSERT_EQ(wavePop(), 1);
    EXPECT_EQ(WaveCurrentBucket(), 4095);
    EXPECT_EQ(g_waveCur.vias, 100);
    EXPECT_EQ(g_waveCur.dir, 0x33);
    WaveReset();
    // A marked cell already queued for the same side refuses; the other side
    // queues it; a higher-cost entry is not found by a cheaper seed.
    MazeSet(21, 20, 1, 0x34);
    EXPECT_EQ(waveAddSeed(21, 20, 1, 0x34, 10, 1), 1);
    EXPECT_EQ(waveAddSeed(21, 20, 1, 0x32, 12, 1), 0);
    EXPECT_EQ(waveAddSeed(21, 20, 1, 0x12, 12, 1), 1);
    EXPECT_EQ(waveAddSeed(21, 20, 1, 0x34, 5, 1), 1);
    EXPECT_EQ(waveAddSeed(21, 20, 2, 0x34, 12, 1), 1);
    EXPECT_EQ(WaveEntryCount(), 4);
    // Codes above 26 refuse; 26 itself queues.
    MazeSet(22, 20, 1, 27);
    EXPECT_EQ(waveAddSeed(22, 20, 1, 0x34, 0, 0), 0);
    MazeSet(22, 20, 1, 0x80 | 26);
    EXPECT_EQ(waveAddSeed(22, 20, 1, 0x34, 0, 0), 1);
    WaveReset();
    waveAddSeed(20, 20, 1, 0x34, 0, 1);
    wavePop();
    EXPECT_EQ(g_waveCur.vias, 2);
    g.viasAllowed = 0;
    waveAddSeed(20, 20, 1, 0x34, 0, 1);
    wavePop();
    EXPECT_EQ(g_waveCur.vias, 0);
    // Node checks.
    const int32_t w = g_mzGrid.w, r = g_mzGrid.r;
    EXPECT_EQ(waveAddSeed(w - 2, r - 2, 1, 0x34, 0, 0), 0); // border: code 31
    for (auto [x, y] : {std::pair{1, 20}, {w - 1, 20}, {20, r - 1}})
        MazeSet(x, y, 1, 0);
    EXPECT_FATAL(waveAddSeed(1, 20, 1, 0x34, 0, 0), 2170040);
    EXPECT_FATAL(waveAddSeed(w - 1, 20, 1, 0x34, 0, 0), 2170040);
    EXPECT_FATAL(waveAddSeed(20, r - 1, 1, 0x34, 0, 0), 2170042);
    g_maze.mazeIndex[2] = 0;
    EXPECT_FATAL(waveAddSeed(20, 20, 2, 0x34, 0, 0), 2169015);
    g_maze.mazeIndex[2] = 2;
    WavePoolRelease();
    EXPECT_FATAL(waveAddSeed(20, 20, 1, 0x34, 0, 0), 2170056);
}

// The duplicate test of seeding answers through the table of queued seeds
// exactly as the scan of the buckets does, over seeded random seedings of
// marked and free cells, both sides, two layers and repeated cells.
TEST_F(WaveTest, SeedTableAnswersAsTheBucketScan) {
    Open();
    Goal()->viasAllowed = 1;
    uint32_t state = 12345;
    auto next = [&state](uint32_t n) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % n;
    };
    for (int32_t round = 0; round < 20; ++round) {
        struct Seed {
            int32_t x, y, layer, dir, cost;
        };
        std::vector<Seed> seeds;
        for (int32_t i = 0; i < 300; ++i)
            seeds.push_back({int32_t(10 + next(6)), int32_t(10 + next(6)), int32_t(1 + next(2)),
                             int32_t((next(2) ? 0x20 : 0) | (1 + next(4))), int32_t(next(40))});
        for (int32_t x = 10; x < 16; ++x)
            for (int32_t y = 10; y < 16; ++y)
                for (int32_t layer = 1; layer <= 2; ++layer)
                    MazeSet(x, y, layer, next(3) ? 0x34 : 0);
        std::vector<int32_t> withTable, withScan;
        WaveReset();
        ASSERT_TRUE(SeedTableActive());
        for (const Seed& k : seeds)
            withTable.push_back(waveAddSeed(k.x, k.y, k.layer, k.dir, k.cost, 0));
        WaveReset();
        SeedTableStop();
        for (const Seed& k : seeds)
            withScan.push_back(waveAddSeed(k.x, k.y, k.layer, k.dir, k.cost, 0));
        ASSERT_EQ(withTable, withScan) << "round " << round;
    }
    WaveReset();
}

TEST_F(WaveTest, BudgetEmptyQueueAndAbort) {
    Open();
    MzGoal& g = *Goal();
    g.meetDir[0] = g.meetDir[1] = 7;
    waveAddSeed(20, 20, 1, 0x34, 0, 0);
    EXPECT_EQ(FastRun(1), 0);
    EXPECT_EQ(WaveEntryCount(), 1);
    EXPECT_EQ(g.meetDir[0] | g.meetDir[1], 0);
    g_verbose = 1;
    EXPECT_EQ(FastRun(1000000), 1);
    EXPECT_EQ(g.meetDir[0] | g.meetDir[1], 0);
    EXPECT_EQ(g_lines.back(), "Wavefront empty");
    g_lines.clear();
    EXPECT_EQ(WaveRun(10), 1); // empty: no trace from WaveRun
    EXPECT_TRUE(g_lines.empty());
    // The abort key is polled at multiples of 2,048.
    WaveReset();
    g.costLimit = 0;
    HeadlessAbortAfter(0);
    waveAddSeed(30, 30, 1, 0x34, 0, 0);
    EXPECT_EQ(WaveRun(2049), 0); // polled before the first node
    EXPECT_EQ(WaveEntryCount(), 1);
    EXPECT_EQ(WaveRun(2050), 0); // one node, then the poll
    EXPECT_EQ(WaveEntryCount(), 0);
    HeadlessAbortAfter(-1);
    // Run pass: loaded objects and the queue.
    ObjTableReset();
    EXPECT_FATAL(WaveRunPass(5), 2170080);
    ObjTableInit();
    WavePoolRelease();
    EXPECT_FATAL(WaveRunPass(5), 2170081);
}

TEST_F(WaveTest, CellClassesAndMeeting) {
    Open();
    MzGoal& g = *Goal();
    struct Case {
        int32_t cell, dir;
        int32_t result, meet0, meet1, after;
    } cases[] = {
        {0x00, 0x34, 1, 0, 0, 0x34},       // free: marked, nothing else queued (room 0)
        {0xA0, 0x14, 1, 0, 0, 0x94},       // free with a mark bit kept
        {0x13, 0x34, 1, 0x34, 0x13, 0x13}, // side 1 meets side 0's mark
        {0x33, 0x14, 1, 0x33, 0x14, 0x33}, // side 0 meets side 1's mark: source first
        {0x33, 0x34, 1, 0, 0, 0x33},       // own side: skipped
        {0x1A, 0x34, 1, 0, 0, 0x34},       // code 26: re-marked, never a meeting
        {0x3A, 0x14, 1, 0, 0, 0x14},
    };
    for (const Case& c : cases) {
        WaveReset();
        g.costLimit = 0;
        MazeSet(21, 20, 1, c.cell);
        WaveNode* n = wavePush(0);
        n->x = 21;
        n->y = 20;
        n->layer = 1;
        n->dir = uint8_t(c.dir);
        n->vias = 0;
        EXPECT_EQ(FastRun(100), c.result) << c.cell;
        EXPECT_EQ(g.meetDir[0], c.meet0) << c.cell;
        EXPECT_EQ(g.meetDir[1], c.meet1) << c.cell;
        if (c.meet0) {
            EXPECT_EQ(g.meetX, 21);
            EXPECT_EQ(g.meetY, 20);
            EXPECT_EQ(g.meetLayer, 1);
        }
        EXPECT_EQ(MazeGet(21, 20, 1), c.after) << c.cell;
    }
    // Blocked or bad cells are fatal, with the cell traced.
    for (int32_t cell : {0x1B, 0x1D, 0x3C}) {
        for (int32_t fast = 0; fast < 2; ++fast) {
            WaveReset();
            MazeSet(21, 20, 1, cell);
            WaveNode* n = wavePush(0);
            n->x = 21, n->y = 20, n->layer = 1, n->dir = 0x34, n->vias = 0;
            g_lines.clear();
            if (fast) {
                EXPECT_FATAL(FastRun(100), 2170093);
            } else {
                EXPECT_FATAL(WaveRun(100), 2170092);
            }
            ASSERT_FALSE(g_lines.empty());
            char want[80];
            std::snprintf(want, sizeof want, "%s: [21,20] dir=34, status=%02x",
                          fast ? "FastRun" : "WaveRun", cell);
            EXPECT_EQ(g_lines.back(), want);
        }
    }
}

TEST_F(WaveTest, HalfCellMarkedBeforeTheRoomTest) {
    Open();
    MzGoal& g = *Goal();
    // Layer 1 costs 4 along x and 27 along y: with a room of 5 the half
    // cells are marked but the grid points beyond are not queued.
    g.costLimit = 5;
    waveAddSeed(20, 20, 1, 0x34, 0, 0);
    EXPECT_EQ(FastRun(100), 1);
    EXPECT_EQ(MazeGet(20, 20, 1), 0x34);
    EXPECT_EQ(MazeGet(21, 20, 1), 0x34);
    EXPECT_EQ(MazeGet(19, 20, 1), 0x32);
    EXPECT_EQ(MazeGet(20, 21, 1), 0x33);
    EXPECT_EQ(MazeGet(20, 19, 1), 0x31);
    EXPECT_EQ(MazeGet(22, 20, 1), 0);
    // A half cell whose far point is blocked is marked only.
    MazeReset(1, 1);
    g.costLimit = 1000;
    MazeSet(24, 20, 1, 0x1E);
    waveAddSeed(20, 20, 1, 0x34, 0, 0);
    EXPECT_EQ(FastRun(3), 0); // two nodes: the seed and (22, 20)
    EXPECT_EQ(MazeGet(23, 20, 1), 0x34);
    EXPECT_EQ(MazeGet(24, 20, 1), 0x1E);
}

TEST_F(WaveTest, ViaAllowanceFallsPerLayerChange) {
    Open();
    MzGoal& g = *Goal();
    g.viasAllowed = 1;
    waveAddSeed(20, 20, 1, 0x34, 0, 1);
    EXPECT_EQ(FastRun(2), 0); // one node expanded
    bool sawVia = false;
    while (wavePop())
        if (g_waveCur.layer == 2) {
            sawVia = true;
            EXPECT_EQ(g_waveCur.dir, 0x20 | 1); // side bit with layer 1's maze index
            EXPECT_EQ(g_waveCur.vias, 1);
            EXPECT_EQ(g_waveCur.x, 20);
            EXPECT_EQ(g_waveCur.y, 20);
        } else {
            EXPECT_EQ(g_waveCur.vias, 2);
        }
    EXPECT_TRUE(sawVia);
    // A layer the connection may not use gets no via.
    WaveReset();
    MazeReset(1, 1);
    g.layerAllowed[2] = 0;
    waveAddSeed(20, 20, 1, 0x34, 0, 1);
    EXPECT_EQ(FastRun(2), 0);
    while (wavePop())
        EXPECT_EQ(g_waveCur.layer, 1);
}

TEST_F(WaveTest, StraightGapStaysOnItsGridLine) {
    Open();
    for (int32_t fast = 0; fast < 2; ++fast) {
        // Grid points (10, 15) and (30, 15): maze cells (20, 30) and (60, 30).
        Seed(20, 30, 1, kDirSide);
        Seed(60, 30, 1, 0);
        MzGoal& g = *Goal();
        ASSERT_EQ(fast ? FastRun(1000000) : WaveRun(1000000), 1);
        ASSERT_NE(g.meetDir[0], 0);
        EXPECT_EQ(g.meetY, 30);
        EXPECT_EQ(g.meetLayer, 1);
        for (auto [x, y] : WalkBack(g.meetX, g.meetY, 1, g.meetDir[0]))
            EXPECT_EQ(y, 30) << x;
        for (auto [x, y] : WalkBack(g.meetX, g.meetY, 1, g.meetDir[1]))
            EXPECT_EQ(y, 30) << x;
        EXPECT_GT(WavePopCount(), 0);
        WaveReset();
        MazeReset(1, 1);
    }
}

} // namespace
