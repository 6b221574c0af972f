// Path installation: a path without hops goes in through the shove, the
// straightening, the clean-up and the checks; check failures and the abort
// key reject the level and restore the map; hops are ripped, joined or
// re-routed with their tries, and a refused hop fails the installation
// and marks the maze; a level that would leave another complete
// connection with a gap is rejected unless that connection is a hop; the
// routed count takes the level's change in complete connections; a hop's
// re-route never takes a failed clearing.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "db/conns.h"
#include "db/shellsvc.h"
#include "headless/ascio.h"
#include "headless/headless.h"
#include "router/costs.h"
#include "router/hoprip.h"
#include "router/installpath.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objvalidate.h"
#include "router/passflags.h"
#include "router/path.h"
#include "router/prep.h"
#include "router/rulesvc.h"
#include "router/seed.h"
#include "router/shove.h"
#include "router/wave.h"
#include "goalconnfixture.h"
#include "support/fatal.h"

namespace {

int32_t g_altChecks = 0;

class InstallTest : public GoalConnTest {
  protected:
    void SetUp() override {
        GoalConnTest::SetUp();
        Open();
        MazeBorder();
        ASSERT_EQ(PrepCost(1), 1);
        g_windowLoaded = 1;
        g_router.ripUpAllowed = 1;
        MzGoal& g = *Goal();
        g.pass = 1;
        g.state = kGoalSweepWindows;
        g.iterateLimit = 10;
        g.routedCount = 0;
        CurSweep().limit[1] = 100; // no cost bound
        g_altChecks = 0;
    }
    void TearDown() override {
        MzFlags = 0;
        MzFlags2 = 0;
        g_forceInstall = 0;
        HeadlessAbortAfter(-1);
        UserAbortReset();
        RuleServicesInstall(nullptr);
        GoalConnTest::TearDown();
    }
    // The goal: connection entry e's gap 0-1, prepared and its path found
    // into ConnPath.
    static void FindPath(int32_t e) {
        MzGoal& g = *Goal();
        g.objIndex = int16_t(e);
        g.conn = ObjEntry(e)->index;
        g.crn1Index = 0;
        g.crn2Index = 1;
        g.partialMode = 0;
        MazeReset(0, 1); // as before every connection's attempts
        Conn work;
        ASSERT_EQ(PrepConn(&work), 1);
        ASSERT_EQ(SeedExits(), 1);
        ASSERT_EQ(WaveRunPass(kHopBudget), 1);
        ASSERT_EQ(PathFind(g_router.connPath), 1);
    }
    // U1.2 - U2.1 of net 1, unrouted: the gap to route.
    static int32_t MainGap() {
        return StoreEnds(1, 1, 2, 2, 1, {{21000, 30000, 0}, {39000, 30000, 0}});
    }
    // A routed connection of net 2 (free ends), mapped.
    static int32_t Blocker(std::initializer_list<CrnSpec> corners) {
        const int32_t e = StoreEnds(2, 0, 0, 0, 0, corners);
        const Conn* c = ConnRef(ObjEntry(e)->index);
        ConnMap(c, e, 0, c->head.count - 1, 0);
        return e;
    }
    static void Hops(std::initializer_list<std::pair<int32_t, int32_t>> hops) {
        MzGoal& g = *Goal();
        g.hopCount = 0;
        for (auto [e, k] : hops) {
            ++g.hopCount;
            g.hopObj[g.hopCount] = int16_t(e);
            g.hopCrn[g.hopCount] = int16_t(k);
        }
    }
    static void CountingChecks(int32_t answer) {
        static int32_t s_answer;
        s_answer = answer;
        RuleServices mine{};
        mine.DrcCheckAlt = [](int32_t) {
            ++g_altChecks;
            return s_answer;
        };
        RuleServicesInstall(&mine);
    }
    static bool Broadcast() {
        const auto& calls = HeadlessShellCalls();
        return std::find(calls.begin(), calls.end(), "BroadcastCommand(30050)") != calls.end();
    }
    static int32_t Count(const std::string& text) {
        return int32_t(std::count_if(Lines().begin(), Lines().end(), [&](const std::string& l) {
            return l.find(text) != std::string::npos;
        }));
    }
};

TEST_F(InstallTest, APathWithoutHopsIsInstalledAndMapped) {
    const int32_t e = MainGap();
    const int32_t c = ObjEntry(e)->index;
    FindPath(e);
    ASSERT_EQ(Goal()->hopCount, 0);
    EXPECT_EQ(InstallPath(), 1);
    EXPECT_EQ(AltDepth(), 0);
    const Conn* stored = ConnRef(c);
    EXPECT_NE(stored->crn[0].layer, 0);
    const Conn* path = g_router.connPath;
    ASSERT_EQ(path->head.count, stored->head.count);
    EXPECT_EQ(std::memcmp(path->crn, stored->crn, sizeof(Crn) * size_t(path->head.count)), 0);
    EXPECT_TRUE(Holds(e, MapColLo(30000), MapRowLo(30000), stored->crn[0].layer));
    EXPECT_TRUE(Broadcast());
    EXPECT_EQ(Goal()->routedCount, 1); // the connection is now complete
}

TEST_F(InstallTest, ACheckFailureRejectsUnlessForceInstall) {
    DebugSetFlags(1, 0);
    const int32_t e = MainGap();
    const int32_t c = ObjEntry(e)->index;
    FindPath(e);
    CountingChecks(0);
    EXPECT_EQ(InstallPath(), 0);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(ConnRef(c)->crn[0].layer, 0);
    for (int32_t l = 1; l <= 2; ++l) // the shoved path was taken out of the map again
        EXPECT_FALSE(Holds(e, MapColLo(30000), MapRowLo(30000), l)) << l;
    EXPECT_TRUE(Traced("processPath: initial altCheck failure"));
    EXPECT_FALSE(Broadcast());
    EXPECT_EQ(Goal()->routedCount, 0);

    FindPath(e);
    g_altChecks = 0;
    g_forceInstall = 1;
    EXPECT_EQ(InstallPath(), 1);
    EXPECT_EQ(g_altChecks, 2);
    EXPECT_TRUE(Traced("processPath: final altCheck failure"));
    EXPECT_NE(ConnRef(c)->crn[0].layer, 0);
}

TEST_F(InstallTest, FastAltcheckSkipsTheFirstCheckInAFastPass) {
    const int32_t e = MainGap();
    struct Case {
        uint16_t flags2, pass;
        int32_t checks;
    } cases[] = {
        {0, kPassFastRun, 2}, {kMz2FastAltcheck, 0, 2}, {kMz2FastAltcheck, kPassFastRun, 1}};
    for (const Case& k : cases) {
        FindPath(e);
        MzFlags2 = k.flags2;
        CurSweep().passFlags[1] = k.pass;
        CountingChecks(0);
        g_altChecks = 0;
        g_forceInstall = 1;
        EXPECT_EQ(InstallPath(), 1);
        EXPECT_EQ(g_altChecks, k.checks) << k.flags2 << " " << k.pass;
        // Back to the gap for the next case.
        AltPush();
        Conn gap = ConnOf(1, {{21000, 30000, 0}, {39000, 30000, 0}});
        Conn now;
        ConnGet(ObjEntry(e)->index, &now);
        gap.head = now.head;
        gap.head.count = 2;
        AltPut(kRecConn, ObjEntry(e)->index, 0, &gap);
        MapAltOriginals(1);
        MapAltChanges(0);
        AltPop(true);
    }
}

TEST_F(InstallTest, TheAbortKeyEndsTheInstallationBetweenSteps) {
    const int32_t e = MainGap();
    const int32_t c = ObjEntry(e)->index;
    int32_t polls = 0;
    for (; polls < 40; ++polls) {
        UserAbortReset();
        HeadlessAbortAfter(-1);
        FindPath(e);
        HeadlessAbortAfter(polls);
        if (InstallPath()) break;
        EXPECT_EQ(ConnRef(c)->crn[0].layer, 0) << polls;
        EXPECT_EQ(AltDepth(), 0);
    }
    EXPECT_GE(polls, 6); // at least one poll between each two steps
    EXPECT_LT(polls, 40);
}

TEST_F(InstallTest, ARippedHopNextToAGapIsJoinedIntoIt) {
    DebugSetFlags(1, 0);
    const int32_t e = MainGap();
    FindPath(e);
    // Net 2 crosses the path at x 30,000; its segment 1 continues unrouted.
    const int32_t b = Blocker({{30000, 24000, 1}, {30000, 36000, 0}, {30000, 42000, 0}});
    Blocker({{30000, 24000, 2}, {30000, 36000, 0}}); // the same on layer 2, not a hop
    const int32_t bc = ObjEntry(b)->index;
    Hops({{b, 0}});
    CountingChecks(1);
    EXPECT_EQ(InstallPath(), 1);
    EXPECT_TRUE(Traced("hopRip: Ripping up object"));
    EXPECT_TRUE(Traced("hopAttempt: joining with next segment"));
    const Conn* joined = ConnRef(bc);
    ASSERT_EQ(joined->head.count, 2);
    EXPECT_EQ(joined->crn[0].layer, 0);
    const int32_t y1 = joined->crn[1].y;
    EXPECT_EQ(y1, 42000);
}

TEST_F(InstallTest, ARefusedHopFailsTheInstallationAndMarksTheMaze) {
    DebugSetFlags(1, 0);
    const int32_t e = MainGap();
    const int32_t c = ObjEntry(e)->index;
    FindPath(e);
    // Hop 1 reaches beyond the window (x 54,000); hop 2 lies inside it.
    const int32_t out = Blocker({{45000, 24000, 1}, {54000, 24000, 1}, {54000, 27000, 0}});
    const int32_t in = Blocker({{30000, 21000, 1}, {30000, 24000, 0}});
    Hops({{out, 0}, {in, 0}});
    MazeSet(62, 32, 1, kCellFree);
    EXPECT_EQ(InstallPath(), 0);
    EXPECT_EQ(Count("hopRip: Ripping up object"), 2); // the other hop is still ripped
    EXPECT_TRUE(Traced("hopFail: Marking crn 0 of conn"));
    EXPECT_EQ(MazeGet(62, 32, 1) & kCellLow6, kCellRuleMark);
    EXPECT_EQ(ConnRef(c)->crn[0].layer, 0);
    EXPECT_EQ(ConnRef(ObjEntry(in)->index)->crn[0].layer, 1); // rejected with the level
    EXPECT_EQ(AltDepth(), 0);
}

// Net 2's complete connection away from the path (free ends, layer 2)
// loses its segment in the final check's level, standing for any step of
// the installation that would leave it with a gap.
int32_t g_victim = 0;
int32_t BreakVictimInFinalCheck(int32_t) {
    if (++g_altChecks == 2) {
        Conn rec;
        AltSave(kRecConn, g_victim, &rec);
        rec.crn[0].layer = 0;
        AltPut(kRecConn, g_victim, 0, &rec);
    }
    return 1;
}

TEST_F(InstallTest, ALevelLeavingAnotherCompleteConnectionWithAGapIsRejectedUnlessItIsAHop) {
    DebugSetFlags(1, 0);
    const int32_t e = MainGap();
    const int32_t c = ObjEntry(e)->index;
    const int32_t v = Blocker({{24000, 51000, 2}, {36000, 51000, 0}});
    g_victim = ObjEntry(v)->index;
    RuleServices mine{};
    mine.DrcCheckAlt = &BreakVictimInFinalCheck;
    RuleServicesInstall(&mine);
    FindPath(e);
    ASSERT_EQ(Goal()->hopCount, 0);
    EXPECT_EQ(InstallPath(), 0);
    EXPECT_TRUE(
        Traced("InstallPath: conn " + std::to_string(g_victim) + " would be left with a gap"));
    EXPECT_EQ(ConnRef(g_victim)->crn[0].layer, 2);
    EXPECT_EQ(ConnRef(c)->crn[0].layer, 0);
    EXPECT_TRUE(Holds(v, MapColLo(30000), MapRowLo(51000), 2)); // the map restored
    EXPECT_EQ(Goal()->routedCount, 0);

    // The same connection ripped on purpose as a hop: accepted; the level
    // made one connection complete and left one with a gap (the free-ended
    // hop finds no re-route here).
    FindPath(e);
    Hops({{v, 0}});
    g_altChecks = 0;
    MzFlags = kMzForceRipFail; // its re-route is taken as it ends
    EXPECT_EQ(InstallPath(), 1);
    EXPECT_EQ(ConnRef(g_victim)->crn[0].layer, 0);
    EXPECT_NE(ConnRef(c)->crn[0].layer, 0);
    EXPECT_EQ(Goal()->routedCount, 0);
}

class HopPrepTest : public InstallTest {
  protected:
    // A routed connection of net 2 (U1.2 - U2.1) made a gap in an open
    // level; every shove fails.
    int32_t RippedHop() {
        const int32_t e = StoreEnds(2, 1, 2, 2, 1, {{21000, 30000, 1}, {39000, 30000, 0}});
        Hops({{e, 0}});
        AltPush();
        Conn rec;
        ConnGet(ObjEntry(e)->index, &rec);
        rec.crn[0].layer = 0;
        AltPut(kRecConn, ObjEntry(e)->index, 0, &rec);
        RuleServices mine{};
        mine.ClearAllVias = [](Conn*) { return int32_t(0); };
        RuleServicesInstall(&mine);
        return e;
    }
};

TEST_F(HopPrepTest, TriesByIterateLimit) {
    DebugSetFlags(1, 0);
    RippedHop();
    // Each failed try marks the middle of its path's longest segment, so
    // the next try finds another path.
    RuleServices mine{};
    mine.ClearAllVias = [](Conn* p) {
        int32_t longest = 0, at = 0;
        for (int32_t i = 0; i + 1 < p->head.count; ++i) {
            const int32_t n =
                std::abs(p->crn[i + 1].x - p->crn[i].x) + std::abs(p->crn[i + 1].y - p->crn[i].y);
            if (p->crn[i].layer && n > longest) longest = n, at = i;
        }
        const Crn &a = p->crn[at], &b = p->crn[at + 1];
        const int32_t x = (a.x + b.x) / 2, y = (a.y + b.y) / 2;
        markSegmentBox(x, y, x, y, a.layer);
        return int32_t(0);
    };
    RuleServicesInstall(&mine);
    const struct { int32_t limit, tries; } cases[] = {{5, 1}, {29, 1}, {35, 2}, {40, 3}};
    for (const auto& k : cases) {
        Lines().clear();
        Goal()->iterateLimit = int16_t(k.limit);
        MzGoal before;
        std::memcpy(&before, Goal(), sizeof before);
        EXPECT_EQ(hopPrep(1), 0);
        EXPECT_EQ(Count("HopAttempt: Unable to clear hop path"), k.tries) << k.limit;
        EXPECT_TRUE(Traced("hopAttempt: giving up"));
        EXPECT_FALSE(Traced("HopAttempt: try repeats the previous one")) << k.limit;
        EXPECT_EQ(std::memcmp(&before, Goal(), sizeof before), 0) << "MzGoal restored whole";
    }
    AltPop(false);
}

TEST_F(HopPrepTest, ATryFindingThePathOfTheTryBeforeEndsTheTries) {
    DebugSetFlags(1, 0);
    RippedHop(); // every try fails the same way on the same path
    Goal()->iterateLimit = 40;
    EXPECT_EQ(hopPrep(1), 0);
    // the second try repeats the first over an unchanged maze: no third
    EXPECT_EQ(Count("HopAttempt: Unable to clear hop path"), 2);
    EXPECT_TRUE(Traced("HopAttempt: try repeats the previous one"));
    AltPop(false);
}

// A re-route under a nearest or forced install: a failed clearing of the
// hop's copper fails the try and keeps none of its copper; the hop stays
// as ripped, which a nearest install takes (the hop is left to a later
// pass) and a forced one does not.
TEST_F(HopPrepTest, ANearestOrForcedInstallDoesNotTakeAFailedClearingOfTheHop) {
    DebugSetFlags(1, 0);
    const int32_t e = RippedHop();
    const int32_t c = ObjEntry(e)->index;
    RuleServices mine{};
    mine.stitchStraightSeg = [](Conn*, int32_t, int32_t) { return int32_t(0); };
    mine.stitchDiagSeg = [](Conn*, int32_t) { return int32_t(0); };
    RuleServicesInstall(&mine);
    for (const int16_t force : {0, 1}) {
        Goal()->useNearest = int16_t(1 - force);
        g_forceInstall = force;
        EXPECT_EQ(hopPrep(1), 1 - force) << force;
        Conn rec;
        ConnReadJournal(c, &rec);
        EXPECT_EQ(rec.head.count, 2) << force;
        EXPECT_EQ(rec.crn[0].layer, 0) << force;
        EXPECT_EQ(Goal()->useNearest, 1 - force) << "restored";
        EXPECT_EQ(Traced("hopAttempt: left ripped for a later pass"), force == 0) << force;
        Lines().clear();
    }
    Goal()->useNearest = 0;
    AltPop(false);
}

TEST_F(HopPrepTest, ForceRipFailAndShowHop) {
    RippedHop();
    MzFlags = kMzForceRipFail | kMzShowHop;
    EXPECT_EQ(hopPrep(1), 1);
    EXPECT_TRUE(Traced("HopAttempt: failed to clear")); // a warning: without verbose too
    EXPECT_FALSE(Traced("hopAttempt: giving up"));
    AltPop(false);
}

TEST_F(HopPrepTest, NeedsTheLoadedWindowAndRipUp) {
    RippedHop();
    g_windowLoaded = 0;
    EXPECT_FATAL(hopPrep(1), kErrHopNotLoaded);
    g_windowLoaded = 1;
    g_router.ripUpAllowed = 0;
    EXPECT_FATAL(hopPrep(1), kErrHopNoRipup);
    g_router.ripUpAllowed = 1;
    AltPop(false);
    // A hop whose gap cannot be prepared (outside the window): fatal only
    // in verbose mode.
    const int32_t e = StoreEnds(2, 0, 0, 0, 0, {{3000, 70000, 1}, {57000, 70000, 0}});
    Hops({{e, 0}});
    AltPush();
    Conn rec;
    ConnGet(ObjEntry(e)->index, &rec);
    rec.crn[0].layer = 0;
    AltPut(kRecConn, ObjEntry(e)->index, 0, &rec);
    EXPECT_EQ(hopPrep(1), 0);
    DebugSetFlags(1, 0);
    EXPECT_FATAL(hopPrep(1), kErrHopPrep);
    AltPop(false);
}

} // namespace

namespace {

TEST_F(InstallTest, TheLevelMustStillBeOpenAtTheEnd) {
    const int32_t e = MainGap();
    FindPath(e);
    RuleServices mine{};
    mine.DrcCheckAlt = [](int32_t) {
        if (++g_altChecks == 2) AltPop(false); // the final check closes the level
        return int32_t(1);
    };
    RuleServicesInstall(&mine);
    DebugSetFlags(0, 1);
    EXPECT_FATAL(InstallPath(), kErrInstallDepth);
}

TEST_F(InstallTest, ManualInstallationChecksOnlyInTheRouteViewMaze) {
    DebugSetFlags(1, 0);
    const struct {
        int32_t routeViewMaze, fast, force, answer, result, checks;
    } cases[] = {
        {1, 0, 0, 0, 0, 1}, {1, 0, 1, 0, 1, 1}, {1, 1, 0, 0, 1, 0},
        {0, 0, 0, 0, 1, 0}, {1, 0, 0, 1, 1, 1},
    };
    for (const auto& k : cases) {
        g_router.routeViewMaze = int16_t(k.routeViewMaze);
        MzFlags2 = k.fast ? kMz2FastAltcheck : 0;
        g_forceInstall = int16_t(k.force);
        CountingChecks(k.answer);
        g_altChecks = 0;
        AltPush();
        EXPECT_EQ(urInstallManualPath(), k.result);
        AltPop(false);
        EXPECT_EQ(g_altChecks, k.checks);
    }
    EXPECT_TRUE(Traced("urInstallManualPath: altCheck failure"));
}

TEST_F(HopPrepTest, ASuccessfulReRouteIsCommittedInItsLevel) {
    DebugSetFlags(1, 0);
    const int32_t e = RippedHop();
    RuleServicesInstall(nullptr); // shoves succeed
    MzGoal before;
    std::memcpy(&before, Goal(), sizeof before);
    EXPECT_EQ(hopPrep(1), 1);
    EXPECT_TRUE(Traced("HopAttempt: Success!"));
    EXPECT_EQ(std::memcmp(&before, Goal(), sizeof before), 0);
    EXPECT_EQ(AltDepth(), 1);
    Conn rec;
    ConnReadJournal(ObjEntry(e)->index, &rec);
    EXPECT_NE(rec.crn[0].layer, 0);
    AltPop(false);
}

TEST_F(HopPrepTest, AGapAfterAnotherGapJoinsIt) {
    DebugSetFlags(1, 0);
    // Net 2: a gap, then the hop's routed segment.
    const int32_t e =
        StoreEnds(2, 1, 2, 2, 1, {{21000, 30000, 0}, {27000, 30000, 1}, {39000, 30000, 0}});
    const int32_t c = ObjEntry(e)->index;
    Hops({{e, 1}});
    AltPush();
    Conn rec;
    ConnGet(c, &rec);
    rec.crn[1].layer = 0;
    AltPut(kRecConn, c, 0, &rec);
    EXPECT_EQ(hopPrep(1), 1);
    EXPECT_TRUE(Traced("hopAttempt: joining with previous segment"));
    ConnReadJournal(c, &rec);
    EXPECT_EQ(rec.head.count, 2);
    AltPop(false);
}

} // namespace
