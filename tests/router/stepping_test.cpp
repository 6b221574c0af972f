// Pass, window and sweep stepping: which passes open, the serpentine walk
// of windows over the board, and the end of a sweep.
#include <filesystem>
#include <utility>
#include <vector>

#include "db/db.h"
#include "db/pool.h"
#include "headless/ascio.h"
#include "openfixture.h"
#include "router/loopstate.h"
#include "router/mzgrid.h"
#include "router/objtable.h"
#include "router/objvalidate.h"
#include "router/passflags.h"
#include "router/stepping.h"
#include "router/uralloc.h"

namespace {

typedef std::vector<std::pair<int32_t, int32_t>> Walk;

class SteppingTest : public UrOpenTest {
  protected:
    void Open() {
        LoadBoard();
        SetSweepNumber(1);
        SetWindow(40, 40, 8, 8);
        MapAreaCompute(30000, 30000, 30000, 30000);
        ASSERT_EQ(UrAlloc(), 1);
    }
    static void Passes(uint16_t p1, uint16_t p2, uint16_t p3, uint16_t p4) {
        Sweep& s = CurSweep();
        s.passFlags[1] = p1;
        s.passFlags[2] = p2;
        s.passFlags[3] = p3;
        s.passFlags[4] = p4;
    }

    // The walk over a board of x 0..width, y 0..height from the start
    // point: every window position until nextWindow ends the sweep.
    // Windows reach 21,000 each side of their centre (40 grid points of
    // 1,500 inset by 6) and step 30,000 (40 less the overlap 8 less 12).
    static Walk Run(int32_t width, int32_t height, int32_t sx, int32_t sy, uint8_t primary,
                    uint8_t secondary) {
        DbHeader h;
        DbGetHeader(&h);
        h.extMinX = h.extMinY = 0;
        h.extMaxX = width;
        h.extMaxY = height;
        h.value212[0] = h.value212[2] = sx;
        h.value212[1] = h.value212[3] = sy;
        DbPutHeader(&h);
        DbGetHeader(&g_router.header);
        Sweep& s = CurSweep();
        s.primary = s.curPrimary = primary;
        s.secondary = s.curSecondary = secondary;
        Walk out{{sx, sy}};
        const int32_t reach = 21000;
        for (int32_t guard = 0; guard < 100; ++guard) {
            const auto [x, y] = out.back();
            g_mzGrid.window = MzBox{x - reach, y - reach, x + reach, y + reach};
            if (!nextWindow()) return out;
            out.emplace_back(g_router.header.value212[2], g_router.header.value212[3]);
            DbPutHeader(&g_router.header);
        }
        ADD_FAILURE() << "the walk does not end";
        return out;
    }
};

TEST_F(SteppingTest, PassesThatOpen) {
    Open();
    MzGoal& g = *Goal();
    g.state = kGoalSweepWindows;
    g.pass = 0;
    g.nextObj = 7;
    g.conn = 3;
    g_loop.newWindow = 1;
    const uint16_t E = kPassEnable;
    // Pass 1 is done, pass 2 has no routing method, pass 3 opens.
    Passes(E | kPassDone | kPassMaze, E | kPassPartial, E | kPassHeur, E | kPassCde);
    Trace(true);
    EXPECT_EQ(nextPass(), 1);
    EXPECT_TRUE(Traced("nextPass: completed pass 0"));
    g_verbose = 0;
    EXPECT_EQ(g.pass, 3);
    EXPECT_EQ(g.nextObj, 0);
    EXPECT_EQ(g.conn, 0);
    EXPECT_EQ(g_loop.newPass, 1);
    EXPECT_EQ(nextPass(), 1);
    EXPECT_EQ(g.pass, 4);
    EXPECT_EQ(nextPass(), 0);
    // Whole board: only passes with MAZE.
    g.state = kGoalWholeBoard;
    g.pass = 0;
    Passes(E | kPassHeur, E | kPassMaze, 0, 0);
    EXPECT_EQ(nextPass(), 1);
    EXPECT_EQ(g.pass, 2);
    // With sweep number 0 no pass qualifies.
    g.pass = 0;
    g_router.header.sweep = 0;
    EXPECT_EQ(nextPass(), 0);
    EXPECT_EQ(g.pass, 0);
}

TEST_F(SteppingTest, MapRebuiltUnlessNewWindow) {
    Open();
    ASSERT_EQ(UrObjValidate(1), 1);
    MzGoal& g = *Goal();
    g.state = kGoalSweepWindows;
    Passes(kPassEnable | kPassMaze, 0, 0, 0);
    // The map is rebuilt (and fails on the abort key) unless it is fresh.
    HeadlessAbortAfter(0);
    g_loop.newWindow = 1;
    g.pass = 0;
    EXPECT_EQ(nextPass(), 1);
    g_loop.newWindow = 0;
    g_loop.newPass = 0;
    g.pass = 0;
    EXPECT_EQ(nextPass(), 0);
    EXPECT_EQ(g_loop.newPass, 0);
    HeadlessAbortAfter(-1);
    UserAbortReset();
    g.pass = 0;
    EXPECT_EQ(nextPass(), 1);
}

// From a start in mid-board each row covers the right part first, then
// the left part; rows step by the secondary direction.
TEST_F(SteppingTest, WalkFromMidBoard) {
    Open();
    Trace(true);
    const Walk w = Run(150000, 60000, 75000, 20000, 8, 2);
    EXPECT_TRUE(Traced("nextWindow: completed window at [1250,333]"));
    g_verbose = 0;
    // Rows go up from the start; the start row's window already reaches the
    // bottom edge, so no row is walked below it.
    const Walk expected = {
        {75000, 20000}, {105000, 20000}, {135000, 20000}, {45000, 20000}, {15000, 20000},
        {75000, 50000}, {105000, 50000}, {135000, 50000}, {45000, 50000}, {15000, 50000},
    };
    EXPECT_EQ(w, expected);
    EXPECT_EQ(CurSweep().curPrimary, 8);
    EXPECT_EQ(ObjTableValid(), 0);
}

// From the left edge: after the right leg the walk comes back to the start,
// whose window already reaches the left edge, and the sweep is complete (no
// window wholly beyond the edge).
TEST_F(SteppingTest, WalkFromLeftEdge) {
    Open();
    const Walk w = Run(150000, 10000, 15000, 5000, 8, 2);
    const Walk expected = {
        {15000, 5000}, {45000, 5000}, {75000, 5000}, {105000, 5000}, {135000, 5000}};
    EXPECT_EQ(w, expected);
}

TEST_F(SteppingTest, WalkLeftFirstAndDown) {
    Open();
    const Walk w = Run(100000, 60000, 70000, 40000, 4, 1);
    const Walk expected = {
        {70000, 40000}, {40000, 40000}, {10000, 40000}, {100000, 40000},
        {70000, 10000}, {40000, 10000}, {10000, 10000}, {100000, 10000},
    };
    EXPECT_EQ(w, expected);
}

// A window as wide as the board ends each row after one window; with more
// than 2 active routing layers the sweep visits one row.
TEST_F(SteppingTest, WideWindowsAndManyLayers) {
    Open();
    Walk w = Run(30000, 60000, 15000, 15000, 8, 2);
    EXPECT_EQ(w, (Walk{{15000, 15000}, {15000, 45000}}));
    CurSweep().usedLayers = 3;
    w = Run(100000, 60000, 15000, 15000, 8, 2);
    EXPECT_EQ(w, (Walk{{15000, 15000}, {45000, 15000}, {75000, 15000}, {105000, 15000}}));
}

TEST_F(SteppingTest, InvalidDirectionsAreFatal) {
    Open();
    DbHeader h;
    DbGetHeader(&h);
    h.extMaxX = 100000;
    h.extMaxY = 100000;
    DbPutHeader(&h);
    g_mzGrid.window = MzBox{-1000, -1000, 200000, 200000};
    CurSweep().curPrimary = 16;
    EXPECT_FATAL(nextWindow(), kErrPrimaryDir);
    CurSweep().curPrimary = CurSweep().primary = 8;
    CurSweep().curSecondary = 0;
    EXPECT_FATAL(nextWindow(), kErrSecondaryDir);
}

int32_t Hook(int32_t) {
    return 0;
}
void Task() {}

TEST_F(SteppingTest, EndOfSweep) {
    Open();
    SetIdleTask(&Task);
    ToolEventHook = &Hook;
    g_loop.dispersePool = PoolOpen(53580);
    g_loop.disperseList = static_cast<DisperseNode*>(PoolNewPtr(16, g_loop.dispersePool, 53580));
    EditSweep([](Sweep& s) {
        s.passFlags[0] = kPassEnable | kPassMaze;
        s.passFlags[1] = kPassEnable | kPassMaze;
        s.passFlags[2] = kPassMaze;
        s.passFlags[3] = kPassEnable | kPassDone;
        s.passFlags[4] = kPassEnable | kPassHeur;
    });
    Trace(true);
    EXPECT_EQ(nextSweep(), 1);
    EXPECT_TRUE(Traced("nextSweep: completed Sweep 1"));
    g_verbose = 0;
    EXPECT_EQ(HeadlessIdleTask(), nullptr);
    EXPECT_EQ(ToolEventHook, nullptr);
    EXPECT_EQ(g_loop.dispersePool, 0);
    EXPECT_EQ(g_loop.disperseList, nullptr);
    EXPECT_EQ(HeadlessMessages(kHeadlessAlert).size(), 1u);
    Sweep stored;
    SweepGet(&stored);
    EXPECT_EQ(stored.passFlags[0], kPassEnable | kPassMaze);
    EXPECT_EQ(stored.passFlags[1], kPassEnable | kPassDone | kPassMaze);
    EXPECT_EQ(stored.passFlags[2], kPassMaze);
    EXPECT_EQ(stored.passFlags[3], kPassEnable | kPassDone);
    EXPECT_EQ(stored.passFlags[4], kPassEnable | kPassDone | kPassHeur);
    EXPECT_EQ(HeadlessNextCommand(), kCmdResumeRouting);
    EXPECT_EQ(HeadlessNextCommand(), 0);
}

// With backup after each sweep the design is written beside its file;
// without a design file nothing is written.
TEST_F(SteppingTest, BackupAfterEachSweep) {
    Open();
    g_router.header.backupEachSweep = 1;
    g_router.header.sweep = 3;
    EXPECT_EQ(nextSweep(), 1);
    EXPECT_EQ(HeadlessNextCommand(), kCmdResumeRouting);
    FileSpec design{};
    std::snprintf(design.folder, sizeof design.folder, "%s", m_folder.string().c_str());
    std::snprintf(design.type, sizeof design.type, ".ZID");
    std::snprintf(design.name, sizeof design.name, "board.ZID");
    HeadlessSetDesignFile(&design);
    EXPECT_EQ(nextSweep(), 1);
    EXPECT_TRUE(std::filesystem::exists(m_folder / "Backup Sweep_3.ZID"));
    EXPECT_FALSE(std::filesystem::exists(m_folder / "board.ZID"));
    std::filesystem::remove(m_folder / "Backup Sweep_3.ZID");
    g_router.header.backupEachSweep = 0;
    EXPECT_EQ(nextSweep(), 1);
    EXPECT_FALSE(std::filesystem::exists(m_folder / "Backup Sweep_3.ZID"));
}

} // namespace
