// The maze: allocation limits, border, checked access, cost classes and
// costs, marking tables, reset, save, unmarking, the memory estimate and
// the set-up and release of the router memory.
#include <string>
#include <vector>

#include "db/dbheader.h"
#include "db/pool.h"
#include "router/costs.h"
#include "router/maze.h"
#include "router/objtable.h"
#include "router/rulesvc.h"
#include "routerfixture.h"

namespace {

std::vector<std::string> g_lines;
void Collect(const char* text) {
    g_lines.emplace_back(text);
}

class MazeTest : public RouterTest {
  protected:
    void Open(int32_t nx = 40, int32_t ny = 30) {
        LoadBoard();
        SetBox(nx, ny);
        ASSERT_EQ(OpenMaze(30000, 30000), 1);
        MazeBorder();
    }
};

TEST_F(MazeTest, AllocationLimits) {
    LoadBoard();
    SetBox(500, 1000);
    ASSERT_EQ(OpenMaze(), 1);
    EXPECT_EQ(g_maze.rowCount, 2001);
    EXPECT_EQ(g_maze.viaRowCount, 1001);
    ASSERT_NE(g_maze.rows[2000], nullptr);
    MazeBorder();
    EXPECT_EQ(MazeGet(1000, 2000, 2), kCellBorder);
    // Rows share pieces: consecutive rows are contiguous.
    EXPECT_EQ(g_maze.rows[1] - g_maze.rows[0], 2 * 1001);
    g_mzGrid.nx = 501;
    EXPECT_FATAL(MazeAlloc(), 2169011);
    g_mzGrid.nx = 40;
    g_mzGrid.ny = 1001;
    EXPECT_FATAL(MazeAlloc(), 2169013);
    g_mzGrid.ny = 1;
    EXPECT_FATAL(MazeAlloc(), 2169013);
    g_mzGrid.ny = 40;
    CurSweep().usedLayers = 31;
    EXPECT_FATAL(MazeAlloc(), 2169004);
    // The widest maze row the limits admit stays below a pool piece.
    CurSweep().usedLayers = 30;
    MzSetSize(500, 40);
    EXPECT_EQ(MazeAlloc(), 1);
    EXPECT_FATAL(MazeLayerDbLayer(17), 2169555);
    EXPECT_FATAL(MazeLayerDbLayer(0), 2169555);
}

TEST_F(MazeTest, BorderAndCheckedAccess) {
    Open();
    const int32_t w = g_mzGrid.w, r = g_mzGrid.r;
    EXPECT_EQ(MazeLayerDbLayer(1), 1);
    EXPECT_EQ(MazeLayerDbLayer(2), 2);
    for (int32_t y : {0, 11, 12, r - 13, r - 12, r - 1})
        for (int32_t x : {0, 11, 12, w - 13, w - 12, w - 1}) {
            bool inner = y >= 12 && y <= r - 13 && x >= 12 && x <= w - 13;
            EXPECT_EQ(MazeGet(x, y, 1), inner ? 0 : 31) << x << "," << y;
        }
    ViaBlockMarkRect(0, 0, w, r, 2, 0x10);
    EXPECT_EQ(MazeCellClass(21, 21, 2), 0x10);
    MazeBorder(); // clears the via-block bytes
    EXPECT_EQ(MazeCellClass(21, 21, 2), 0);
    MazeSet(20, 20, 2, 0x5B);
    EXPECT_EQ(MazeGet(20, 20, 2), 0x5B);
    EXPECT_EQ(MazeGet(20, 20, 1), 0);
    EXPECT_FATAL(MazeGet(w, 0, 1), 2169010);
    EXPECT_FATAL(MazeGet(0, r, 1), 2169012);
    EXPECT_FATAL(MazeGet(0, 0, 3), 2169014);
    EXPECT_FATAL(MazeSet(-1, 0, 1, 0), 2169020);
    EXPECT_FATAL(MazeSet(0, -1, 1, 0), 2169022);
    EXPECT_FATAL(MazeSet(0, 0, 0, 0), 2169021);
    g_maze.mazeIndex[2] = 0;
    EXPECT_FATAL(MazeGet(0, 0, 2), 2169015);
    EXPECT_FATAL(MazeSet(0, 0, 2, 0), 2169023);
    EXPECT_FATAL(MazeUnmarkRect(0, 0, 4, 4, 2), 2169081);
    EXPECT_FATAL(ViaBlockMarkRect(0, 0, 4, 4, 3, 1), 2169082);
    g_maze.mazeIndex[2] = 2;
    g_router.mazeNeeded = 0;
    EXPECT_EQ(MazeGet(20, 20, 2), 0);
    EXPECT_FATAL(MazeBorder(), 2169087);
}

TEST_F(MazeTest, CellClassOrsTheSquaresTheCellTouches) {
    Open();
    // Squares (10, 10) = 1, (9, 10) = 2, (10, 9) = 4, (9, 9) = 8 on layer 1.
    ViaBlockMarkRect(20, 20, 21, 21, 1, 0x01);
    ViaBlockMarkRect(18, 20, 19, 21, 1, 0x02);
    ViaBlockMarkRect(20, 18, 21, 19, 1, 0x04);
    ViaBlockMarkRect(18, 18, 19, 19, 1, 0x08);
    EXPECT_EQ(MazeCellClass(21, 21, 1), 0x01); // odd, odd: one square
    EXPECT_EQ(MazeCellClass(20, 21, 1), 0x03); // odd y: left and right
    EXPECT_EQ(MazeCellClass(21, 20, 1), 0x05); // odd x: below and above
    EXPECT_EQ(MazeCellClass(20, 20, 1), 0x0F); // a grid point: four
    EXPECT_EQ(MazeCellClass(20, 20, 2), 0);
    MazeSet(21, 21, 1, 0x9E);
    EXPECT_EQ(MazeCellClass(21, 21, 1), 0x81);
}

TEST_F(MazeTest, CellCostByMoveKind) {
    Open();
    ASSERT_EQ(PrepCost(2), 1);
    // Layer 1 (direction 80): vertical base 27, horizontal 4; one via type.
    struct Case {
        int32_t kind, want;
    } cases[] = {{17, 27}, {19, 27},   {18, 4},   {20, 4},  {21, 31}, {24, 31},
                 {25, 0},  {26, 4095}, {0, 4095}, {2, 268}, {1, 268}};
    for (const Case& c : cases)
        EXPECT_EQ(MazeCellCost(30, 30, 1, c.kind), c.want) << c.kind;
    MazeSet(30, 30, 1, 0x80); // route mark: halved
    EXPECT_EQ(MazeCellCost(30, 30, 1, 17), 13);
    EXPECT_FATAL(MazeCellCost(g_mzGrid.w, 0, 1, 17), 2169030);
    EXPECT_FATAL(MazeCellCost(0, g_mzGrid.r, 1, 17), 2169027);
    EXPECT_FATAL(MazeCellCost(0, 0, 5, 17), 2169028);
    g_maze.mazeIndex[1] = 0;
    EXPECT_FATAL(MazeCellCost(0, 0, 1, 17), 2169029);
}

TEST_F(MazeTest, MarkingTables) {
    const uint8_t* other0 = MazeMarkTable(false, 0);
    EXPECT_EQ(other0[0x00], 0x9E);
    EXPECT_EQ(other0[0x9E], 0x9E); // marked twice
    EXPECT_EQ(other0[0x1D], 0x1D);
    EXPECT_EQ(other0[0x1F], 0x1D);
    EXPECT_EQ(other0[0x5E], 0x9E);
    EXPECT_EQ(other0[0xDE], 0x80);
    EXPECT_EQ(MazeMarkTable(true, 0)[0x1E], 0x1D);
    EXPECT_EQ(MazeMarkTable(true, 0)[0x5E], 0x80);
    EXPECT_EQ(MazeMarkTable(false, 1)[0x9B], 0x9B);
    EXPECT_EQ(MazeMarkTable(true, 1)[0x40], 0xC0);
    for (int32_t t = 0; t < 4; ++t) {
        const uint8_t* table = MazeMarkTable(t & 1, t >> 1);
        for (int32_t i = 0; i < 256; ++i) {
            if (!(i & 0x20)) continue;
            int32_t want = (i & 0x1F) < 27 ? table[i & ~0x20] : 0x1D;
            EXPECT_EQ(table[i], want) << t << " " << i;
        }
    }
}

TEST_F(MazeTest, MarkSegTranslatesRowsColumnsAndDiagonals) {
    Open();
    const int32_t ox = g_mzGrid.ox, oy = g_mzGrid.oy;
    // A horizontal track on the grid: maze row MzY(y), columns from the
    // first grid line at or after x0 to the last at or before x1.
    int32_t y = oy + 15 * 1500;
    MazeMarkSeg(ox + 14 * 1500, y, ox + 17 * 1500, y, 1, 300, 0, 7);
    for (int32_t x = 26; x <= 36; ++x)
        EXPECT_EQ(MazeGet(x, 30, 1), (x >= 28 && x <= 34) ? 0x9E : 0) << x;
    // Again: the cells stay 0x9E.
    MazeMarkSeg(ox + 14 * 1500, y, ox + 17 * 1500, y, 1, 300, 0, 7);
    EXPECT_EQ(MazeGet(30, 30, 1), 0x9E);
    // A vertical one on layer 2.
    MazeMarkSeg(ox + 20 * 1500, oy + 14 * 1500, ox + 20 * 1500, oy + 16 * 1500, 2, 300, 0, 7);
    EXPECT_EQ(MazeGet(40, 28, 2), 0x9E);
    EXPECT_EQ(MazeGet(40, 32, 2), 0x9E);
    EXPECT_EQ(MazeGet(40, 33, 2), 0);
    // A 45-degree one from a half-grid point.
    MazeMarkSeg(ox + 25 * 1500, oy + 20 * 1500, ox + 27 * 1500, oy + 22 * 1500, 1, 300, 0, 7);
    EXPECT_EQ(MazeGet(50, 40, 1), 0x9E);
    EXPECT_EQ(MazeGet(52, 42, 1), 0x9E);
    EXPECT_EQ(MazeGet(54, 44, 1), 0x9E);
    EXPECT_EQ(MazeGet(51, 42, 1), 0);
    // Over a blocked cell copper gives blocked.
    MazeSet(60, 30, 1, 0x1F);
    MazeMarkRow(ox + 29 * 1500, ox + 31 * 1500, 30, 1, 0, 7);
    EXPECT_EQ(MazeGet(60, 30, 1), 0x1D);
    // Rows outside the inner area are never marked.
    MazeMarkRow(ox, ox + 40 * 1500, 11, 1, 0, 7);
    EXPECT_EQ(MazeGet(30, 11, 1), 31);
}

TEST_F(MazeTest, RoundBoxAndSlantedLines) {
    Open();
    const int32_t ox = g_mzGrid.ox, oy = g_mzGrid.oy;
    // A pad of radius 1,500 at grid point (20, 15): rows 28..32 are marked.
    int32_t cx = ox + 20 * 1500, cy = oy + 15 * 1500;
    MazeMarkRoundBox(cx, cy, cx, cy, 1, 1500, 9);
    EXPECT_EQ(MazeGet(40, 30, 1), 0x9E);
    EXPECT_EQ(MazeGet(38, 30, 1), 0x9E);
    EXPECT_EQ(MazeGet(40, 28, 1), 0x9E);
    EXPECT_EQ(MazeGet(40, 32, 1), 0x9E);
    EXPECT_EQ(MazeGet(40, 34, 1), 0);
    EXPECT_EQ(MazeGet(36, 30, 1), 0);
    // A line at another angle marks a run of cells without its far end.
    MazeMarkSeg(ox + 10 * 1500, oy + 20 * 1500, ox + 14 * 1500, oy + 22 * 1500, 2, 0, 0, 9);
    EXPECT_EQ(MazeGet(20, 40, 2), 0x9E);
    int32_t marked = 0;
    for (int32_t y = 38; y <= 46; ++y)
        for (int32_t x = 18; x <= 30; ++x)
            marked += MazeGet(x, y, 2) == 0x9E;
    EXPECT_GE(marked, 4);
}

TEST_F(MazeTest, ResetKeepsBlocksAndMarks) {
    Open();
    // Hops are allowed for pass 2 (RETRY 30) without the saved-copy flag.
    Goal()->pass = 2;
    struct Case {
        uint8_t before;
        uint8_t neither, both, tempOnly;
    } cases[] = {
        {27, 27, 0, 0},           {28, 28, 0, 0},           {0x1D, 0x1D, 0x1D, 0x1D},
        {0x1F, 0x1F, 0x1F, 0x1F}, {0x3D, 0x1D, 0x1D, 0x1D}, {0x80, 0x80, 0x9E, 0x80},
        {0x9E, 0x9E, 0x9E, 0x9E}, {0xBE, 0x80, 0x9E, 0x80}, {0x45, 0x40, 0x40, 0x40},
        {0xC3, 0xC0, 0x40, 0xC0}, {0x11, 0, 0, 0},
    };
    for (int32_t mode = 0; mode < 3; ++mode) {
        for (size_t i = 0; i < std::size(cases); ++i)
            MazeSet(14 + int32_t(i), 20, 1, cases[i].before);
        MazeReset(mode >= 1, mode == 1);
        for (size_t i = 0; i < std::size(cases); ++i) {
            const Case& c = cases[i];
            uint8_t want = mode == 0 ? c.neither : (mode == 1 ? c.both : c.tempOnly);
            EXPECT_EQ(MazeGet(14 + int32_t(i), 20, 1), want) << mode << " " << int(c.before);
        }
    }
    EXPECT_EQ(MazeGet(0, 20, 1), 31); // the outermost cell is not translated
    Goal()->savedCopy = 1;            // no hops: a 0x40-only cell becomes 0x5E
    MazeSet(20, 20, 1, 0x45);
    MazeReset(0, 0);
    EXPECT_EQ(MazeGet(20, 20, 1), 0x5E);
}

TEST_F(MazeTest, SaveRestoreAndUnmark) {
    Open();
    Goal()->objIndex = 5;
    MazeSet(20, 20, 1, 0x9E);
    MazeSave(1);
    EXPECT_EQ(Goal()->savedGoalObj, 5);
    MazeSet(20, 20, 1, 0x00);
    MazeSave(0);
    EXPECT_EQ(MazeGet(20, 20, 1), 0x9E);
    EXPECT_EQ(Goal()->savedGoalObj, 0);
    Goal()->savedCopy = 1;
    MazeSet(21, 20, 1, 0xC5);
    MazeUnmarkRect(20, 20, 21, 20, 1);
    EXPECT_EQ(MazeGet(20, 20, 1), 0);
    EXPECT_EQ(MazeGet(21, 20, 1), 0x05);
    EXPECT_EQ(g_maze.saved[20][20], 0); // the saved copy too
    g_router.mazeNeeded = 0;
    EXPECT_FATAL(MazeSave(1), 2169025);
}

TEST_F(MazeTest, EstimateAndSetUp) {
    LoadBoard();
    SetBox(210, 180);
    Sweep s;
    SweepGet(&s);
    EXPECT_EQ(MapCalcEstimatedMem(&s), 3096200u);
    DebugSetFlags(1, 0);
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    ASSERT_EQ(OpenMaze(), 1);
    DebugSetTraceReceiver(nullptr);
    EXPECT_NE(std::find(g_lines.begin(), g_lines.end(), "mzInit: Map is 210 by 180"),
              g_lines.end());
    EXPECT_EQ(PoolOwner(MzZonePool(1)), 2163020);
    EXPECT_EQ(PoolOwner(MzZonePool(2)), 2163030);
    EXPECT_EQ(PoolOwner(MzZonePool(3)), 2163040);
    EXPECT_EQ(ObjTableReady(), 1);
    EXPECT_NE(StitchBuffer(), nullptr);
    // A second call only rereads the sweep.
    SetBox(100, 100);
    EXPECT_EQ(mzInit(1), 1);
    EXPECT_EQ(CurSweep().box[0], 100);
    EXPECT_EQ(g_maze.rowCount, 361);
    MazeRelease();
    EXPECT_EQ(MzMemoryReady(), 0);
    EXPECT_EQ(MzZonePool(1), 0);
    EXPECT_EQ(ObjTableReady(), 0);
    EXPECT_EQ(StitchBuffer(), nullptr);
    MazeRelease();
}

int32_t Fail() {
    return 0;
}
int32_t g_released = 0;
void Released() {
    ++g_released;
}

TEST_F(MazeTest, TheFirstFailingStepEndsTheSetUp) {
    LoadBoard();
    SetBox(40, 40);
    g_released = 0;
    MzInitSetStep(kStepPushTables, MzInitStepOps{&Fail, &Released}); // not tested
    MzInitSetStep(kStepViaInit, MzInitStepOps{&Fail, &Released});
    EXPECT_EQ(OpenMaze(), 0);
    MazeRelease();
    EXPECT_EQ(g_released, 2);
    // Without full, a maze geometry marked valid is an internal error.
    g_router.mapGeometryValid = 1;
    EXPECT_FATAL(OpenMaze(0, 0, 0), 2163532);
}

} // namespace
