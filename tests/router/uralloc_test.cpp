// Opening and closing the router: the refusals of UrAlloc (routing layers,
// maze layers, window step, memory), the flags BoardAlloc derives from the
// sweep, a maze that cannot be built, and UrClose in any state.
#include "db/memstat.h"
#include "db/runopt.h"
#include "openfixture.h"
#include "router/boardalloc.h"
#include "router/mzgrid.h"
#include "router/mzinit.h"
#include "router/objtable.h"
#include "router/passflags.h"
#include "router/uralloc.h"

namespace {

class UrAllocTest : public UrOpenTest {
  protected:
    void Open(const std::string& header = "*LAYER 2\r\n*GRID 1500\r\n") {
        LoadBoard("", header);
        SetWindow(40, 40, 10, 10);
    }
    static void SetPhysical(uint64_t bytes) {
        MemStatus m{bytes, bytes, bytes};
        MemStatusSetOverride(&m);
        RunOptionsTestReset();
    }
    // BoardAlloc on the header and sweep as UrAlloc reads them.
    static int32_t Board() {
        UrReadHeaderAndSweep();
        return BoardAlloc();
    }
    static bool Refused() {
        return Goal() == nullptr && !MzMemoryReady() && !ShellCalled("DisplayInit()");
    }
};

TEST_F(UrAllocTest, OpensAndCloses) {
    Open();
    Trace(true);
    ASSERT_EQ(UrAlloc(), 1);
    EXPECT_TRUE(Traced("UrAlloc: Starting"));
    EXPECT_TRUE(Traced("BoardAlloc: mz initialized"));
    EXPECT_TRUE(Traced("BoardAlloc: Completed Initialization"));
    EXPECT_TRUE(ShellCalled("DisplayInit()"));
    EXPECT_EQ(HeadlessCursorKind(), kCursorNormal);
    ASSERT_NE(Goal(), nullptr);
    ASSERT_NE(g_router.connPath, nullptr);
    EXPECT_EQ(MzMemoryReady(), 1);
    EXPECT_EQ(g_router.routeViewMaze, 1);
    EXPECT_EQ(g_mzGrid.nx, 40);
    EXPECT_EQ(g_mzGrid.w, 81);
    EXPECT_EQ(g_router.anyPassEnabled, 1);
    Goal()->state = kGoalSweepWindows;
    MzGoal* goal = Goal();
    Conn* path = g_router.connPath;
    UrClose();
    EXPECT_TRUE(Traced("UrClose: Releasing globals"));
    EXPECT_TRUE(ShellCalled("DisplayClose()"));
    EXPECT_EQ(MzMemoryReady(), 0);
    EXPECT_EQ(g_router.anyPassEnabled + g_router.mazeNeeded + g_router.ripUpAllowed, 0);
    EXPECT_EQ(Goal(), goal);
    EXPECT_EQ(g_router.connPath, path);
    EXPECT_EQ(goal->state, kGoalIdle);
    // Closing again is harmless; so is reopening.
    UrClose();
    ASSERT_EQ(UrAlloc(), 1);
    EXPECT_EQ(Goal(), goal);
    UrClose();
}

TEST_F(UrAllocTest, CloseBeforeAnyOpen) {
    Open();
    UrClose();
    UrClose();
    EXPECT_EQ(Goal(), nullptr);
    EXPECT_EQ(MzMemoryReady(), 0);
}

TEST_F(UrAllocTest, RoutingLayerLimit) {
    for (int32_t enabled : {4, 5}) {
        RouterTestReset();
        HeadlessShellReset();
        Open("*LAYER 5\r\n*GRID 1500\r\n");
        for (int32_t l = 1; l <= enabled; ++l)
            SetLayerFlags(l, kLayerEnabled);
        if (enabled == 4) {
            EXPECT_EQ(UrAlloc(), 1);
            UrClose();
        } else {
            EXPECT_EQ(UrAlloc(), 0);
            EXPECT_TRUE(ShellCalled("MsgNote(More than 4 layers not supported)"));
            EXPECT_TRUE(Refused());
        }
    }
}

// More than 16 maze layers would give via move codes that collide with the
// maze's other codes: refused like too many routing layers.
TEST_F(UrAllocTest, MazeLayerLimit) {
    for (int32_t layers : {16, 17}) {
        RouterTestReset();
        HeadlessShellReset();
        Open("*LAYER " + std::to_string(layers) + "\r\n*GRID 1500\r\n");
        EditSweep([](Sweep& s) {
            for (int32_t l = 1; l <= kMaxLayers; ++l)
                s.enable[l] = 1;
        });
        if (layers == 16) {
            EXPECT_EQ(UrAlloc(), 1);
            UrClose();
            continue;
        }
        EXPECT_EQ(UrAlloc(), 0);
        EXPECT_TRUE(ShellCalled("MsgNote(More than 4 layers not supported)"));
        EXPECT_TRUE(Refused());
        // A layer that takes no part in routing is no maze layer.
        HeadlessShellReset();
        SetLayerFlags(17, kLayerNoRoute4);
        EXPECT_EQ(UrAlloc(), 1);
        UrClose();
    }
}

// A window whose step (size less overlap less the 12-grid border) is below
// one grid unit would never advance: refused before anything is allocated.
TEST_F(UrAllocTest, WindowSmallerThanItsOverlap) {
    struct Case {
        int32_t nx, ny, ox, oy;
        int32_t opens;
    };
    const Case cases[] = {
        {40, 40, 27, 27, 1}, {40, 40, 28, 0, 0}, {40, 40, 0, 28, 0},
        {13, 13, 0, 0, 1},   {12, 40, 0, 0, 0},  {1, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        RouterTestReset();
        HeadlessShellReset();
        Open();
        SetWindow(c.nx, c.ny, c.ox, c.oy);
        EXPECT_EQ(UrAlloc(), c.opens) << c.nx << " " << c.ox << " " << c.oy;
        if (c.opens) {
            UrClose();
            continue;
        }
        EXPECT_TRUE(ShellCalled("MsgNote(Routing window too small for its overlap)"));
        EXPECT_TRUE(Refused());
        EXPECT_EQ(FrontAppWindow()->pendingMessage, 0);
    }
}

// The memory test in signed 64-bit arithmetic: an estimate equal to the
// physical memory less 6 MB opens, one byte more is refused; a machine of
// 16 GB (0 when wrapped to 32 bits) opens and one below 6 MB (a huge room
// when the difference wraps) refuses.
TEST_F(UrAllocTest, MemoryTest) {
    Open();
    Sweep sweep;
    SweepGet(&sweep);
    const uint64_t estimate = MapCalcEstimatedMem(&sweep);
    struct Case {
        uint64_t physical;
        int32_t opens;
    };
    const Case cases[] = {
        {estimate + kUrMemoryReserveBytes, 1},
        {estimate + kUrMemoryReserveBytes - 1, 0},
        {uint64_t(16) << 30, 1},
        {uint64_t(4) << 20, 0},
        {0, 0},
    };
    for (const Case& c : cases) {
        RouterTestReset();
        HeadlessShellReset();
        SetPhysical(c.physical);
        EXPECT_EQ(UrAlloc(), c.opens) << c.physical;
        if (c.opens) {
            UrClose();
            continue;
        }
        EXPECT_EQ(FrontAppWindow()->pendingMessage, 53208);
        EXPECT_TRUE(Refused());
    }
}

// Layers with flag 0x2, 0x4 or 0x20 are switched off in the stored sweep; a
// jumper layer (0x8) is noted.
TEST_F(UrAllocTest, LayersOutOfRouting) {
    for (uint16_t flag : {kLayerNoRoute2, kLayerNoRoute4, kLayerNoRoute20, kLayerJumper}) {
        RouterTestReset();
        Open("*LAYER 3\r\n*GRID 1500\r\n");
        SetLayerFlags(2, flag);
        ASSERT_EQ(Board(), 1);
        Sweep stored;
        SweepGet(&stored);
        EXPECT_EQ(stored.enable[2], flag == kLayerJumper ? 1 : 0) << flag;
        EXPECT_EQ(stored.enable[1], 1);
        EXPECT_EQ(stored.enable[3], 1);
        EXPECT_EQ(CurSweep().enable[2], stored.enable[2]);
        EXPECT_EQ(g_router.layerFlag8Present, flag == kLayerJumper ? 1 : 0);
        UrClose();
    }
}

// The router flags from the passes: sweep 0 also scans pass 0, sweeps 1..8
// start at pass 1; FAST passes never allow rip-up; a RETRY cost of 100 %
// needs the maze but allows no rip-up.
TEST_F(UrAllocTest, FlagsFromPasses) {
    struct Case {
        int32_t sweep;
        uint16_t pass0, pass1, pass2;
        uint8_t retry1;
        int32_t any, maze, rip;
    };
    const uint16_t E = kPassEnable;
    const Case cases[] = {
        {0, E | kPassMaze, 0, 0, 50, 1, 1, 1},
        {1, E | kPassMaze, 0, 0, 50, 0, 0, 0},
        {1, 0, E | kPassMaze | kPassFastRun, E | kPassReroute | kPassFastRun, 50, 1, 1, 0},
        {1, 0, E | kPassViaReduce, 0, 100, 1, 1, 0},
        {1, 0, E | kPassViaReduce, 0, 99, 1, 1, 1},
        {1, 0, E | kPassHeur, 0, 50, 1, 0, 0},
        {1, 0, kPassMaze, kPassMaze, 50, 0, 0, 0},
    };
    for (const Case& c : cases) {
        RouterTestReset();
        Open();
        SetSweepNumber(c.sweep);
        EditSweep([&](Sweep& s) {
            s.passFlags[0] = c.pass0;
            s.passFlags[1] = c.pass1;
            s.passFlags[2] = c.pass2;
            s.passFlags[3] = s.passFlags[4] = 0;
            s.retry[1] = c.retry1;
            s.retry[2] = 50;
        });
        ASSERT_EQ(Board(), 1);
        EXPECT_EQ(g_router.anyPassEnabled, c.any) << &c - cases;
        EXPECT_EQ(g_router.mazeNeeded, c.maze) << &c - cases;
        EXPECT_EQ(g_router.ripUpAllowed, c.rip) << &c - cases;
        UrClose();
    }
}

TEST_F(UrAllocTest, NoActiveLayerOrEnlargedMapClearsFlags) {
    Open();
    EditSweep([](Sweep& s) {
        for (int32_t l = 1; l <= kMaxLayers; ++l)
            s.enable[l] = 0;
    });
    ASSERT_EQ(Board(), 1);
    EXPECT_EQ(g_router.anyPassEnabled + g_router.mazeNeeded + g_router.ripUpAllowed, 0);
    UrClose();
    EditSweep([](Sweep& s) { s.enable[1] = 1; });
    g_router.fatMap = 1;
    ASSERT_EQ(Board(), 1);
    EXPECT_EQ(g_router.anyPassEnabled, 1);
    EXPECT_EQ(g_router.mazeNeeded + g_router.ripUpAllowed, 0);
    UrClose();
}

TEST_F(UrAllocTest, SweepZeroTakesItsConfiguredPrimary) {
    Open();
    for (int32_t sweep : {0, 1}) {
        SetSweepNumber(sweep);
        EditSweep([](Sweep& s) {
            s.primary = 4;
            s.secondary = 2;
            s.curPrimary = 8;
        });
        ASSERT_EQ(Board(), 1);
        Sweep stored;
        SweepGet(&stored);
        EXPECT_EQ(stored.curPrimary, sweep == 0 ? 4 : 8);
        UrClose();
    }
}

TEST_F(UrAllocTest, OutsideTheRouteViewTheMazeTakesTheBox) {
    Open();
    FrontAppWindow()->kind = 30834;
    ASSERT_EQ(Board(), 1);
    EXPECT_EQ(g_router.routeViewMaze, 0);
    EXPECT_EQ(g_mzGrid.nx, 40);
    EXPECT_EQ(g_mzGrid.r, 81);
    UrClose();
}

int32_t FailingAlloc() {
    return 0;
}

TEST_F(UrAllocTest, MazeThatCannotBeBuilt) {
    Open();
    MzInitStepOps fail;
    fail.alloc = &FailingAlloc;
    MzInitSetStep(kStepMazeAlloc, fail);
    SetCursorKind(kCursorTrack);
    EXPECT_EQ(UrAlloc(), 0);
    EXPECT_EQ(HeadlessCursorKind(), kCursorTrack);
    EXPECT_EQ(MzMemoryReady(), 0);
    EXPECT_EQ(g_router.anyPassEnabled, 0);
    EXPECT_TRUE(ShellCalled("DisplayClose()"));
    EXPECT_TRUE(ShellCalled("MsgNote(Routing area too large for available RAM)"));
    const auto& alerts = HeadlessMessages(kHeadlessAlert);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0], "Routing area too large for available RAM.");
    MzInitDefaultSteps();
}

} // namespace
