// Shoving a path: free paths go in unchanged and are mapped and put; a
// horizontal segment is stitched on transposed coordinates; a blocked
// segment fails, becomes a gap and marks its box; Force Install and the
// nearest path take the cleared path; the nearest candidate of a failed
// shove; the box marks, the snipping of half-grid ends and the re-check.
#include <algorithm>
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/shellsvc.h"
#include "headless/ascio.h"
#include "mapfixture.h"
#include "router/costs.h"
#include "router/gather.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/nearest.h"
#include "router/rulesvc.h"
#include "router/push.h"
#include "router/shove.h"
#include "router/stitchstand.h"
#include "support/fatal.h"

namespace {

std::vector<std::string> g_lines;
void Collect(const char* text) {
    g_lines.push_back(text);
}

std::vector<std::vector<int32_t>> Corners(const Conn& c) {
    std::vector<std::vector<int32_t>> out;
    for (int32_t i = 0; i < c.head.count; ++i)
        out.push_back({c.crn[i].x, c.crn[i].y, c.crn[i].layer});
    return out;
}

class ShoveTest : public MapTest {
  protected:
    void SetUp() override {
        MapTest::SetUp();
        Open();
        // the connection in hand: net 1, free ends, in the middle of the window
        conn = StoreConn(1, {{24000, 39000, 0}, {30000, 45000, 0}});
        entry = AddConn(conn);
        ASSERT_EQ(MapAll(), 1);
        MzGoal& g = *Goal();
        g.objIndex = int16_t(entry);
        g.conn = int16_t(conn);
        NearestInit();
        AltPush();
        g_shove = ShoveState{};
    }
    void TearDown() override {
        AltPop(false);
        g_forceInstall = 0;
        g_verbose = 0;
        DebugSetTraceReceiver(nullptr);
        MapTest::TearDown();
    }
    // Copper of net 2 on layer 1, mapped.
    void Blocker(std::initializer_list<CrnSpec> corners) {
        AddConn(StoreConn(2, corners));
        ASSERT_EQ(MapAll(), 1);
    }
    static int32_t Code(int32_t x, int32_t y, int32_t layer = 1) {
        return MazeGet(MzX(x), MzY(y), layer) & kCellCodeMask;
    }
    int32_t conn = 0, entry = 0;
};

// Records what the stitching saw, then stitches as the stand-in does.
struct StitchSeen {
    int32_t transposed;
    Crn a, b;
};
std::vector<StitchSeen> g_seen;
int32_t g_flagsDuringShove = -1;

TEST_F(ShoveTest, AFreeOrthogonalPathGoesInUnchangedMappedAndPut) {
    Conn path = ConnOf(1, {{24000, 39000, 1}, {24000, 45000, 1}, {30000, 45000, 0}});
    const auto before = Corners(path);
    const uint8_t flags = ObjEntry(entry)->flags;
    RuleServices mine{};
    mine.ClearAllVias = [](Conn*) {
        g_flagsDuringShove = ObjEntry(Goal()->objIndex)->flags;
        return int32_t(1);
    };
    RuleServicesInstall(&mine);
    EXPECT_EQ(mzShovePath(&path), 1);
    EXPECT_EQ(Corners(path), before);
    EXPECT_EQ(g_flagsDuringShove & kObjFlagPushed, kObjFlagPushed);
    EXPECT_EQ(ObjEntry(entry)->flags, flags);
    ASSERT_EQ(AltCount(), 1);
    Conn put{};
    AltItemHeader h;
    AltGet(1, &h, &put);
    EXPECT_EQ(int32_t(h.index), conn);
    EXPECT_EQ(Corners(put), before);
    EXPECT_TRUE(Holds(entry, MapColLo(24000), MapRowLo(42000), 1));
    EXPECT_EQ(NearestSavedCount(), 0);
}

TEST_F(ShoveTest, AHorizontalSegmentIsStitchedOnTransposedCoordinates) {
    RuleServices mine{};
    mine.stitchStraightSeg = [](Conn* p, int32_t transposed, int32_t i) {
        g_seen.push_back({transposed, p->crn[i], p->crn[i + 1]});
        return StandStitchStraightSeg(p, transposed, i);
    };
    RuleServicesInstall(&mine);
    g_seen.clear();
    Conn path = ConnOf(1, {{24000, 39000, 1}, {24000, 45000, 1}, {30000, 45000, 0}});
    const auto before = Corners(path);
    EXPECT_EQ(ClearSeg(&path), 1);
    EXPECT_EQ(Corners(path), before);
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].transposed, 0);
    EXPECT_EQ(g_seen[1].transposed, 1);
    // the horizontal segment reads as a vertical one with x and y exchanged
    EXPECT_EQ(int32_t(g_seen[1].a.x), 45000);
    EXPECT_EQ(int32_t(g_seen[1].b.x), 45000);
    EXPECT_EQ(int32_t(g_seen[1].a.y), 24000);
    EXPECT_EQ(int32_t(g_seen[1].b.y), 30000);
}

TEST_F(ShoveTest, ASlopedSegmentAcrossAnotherNetFailsBecomesAGapAndMarksItsBox) {
    Blocker({{27000, 37500, 1}, {27000, 43500, 0}});
    // about 27 degrees: neither orthogonal nor diagonal
    Conn path = ConnOf(1, {{24000, 39000, 1}, {30000, 42000, 0}});
    EXPECT_EQ(Code(25500, 40500), 0);
    EXPECT_EQ(mzShovePath(&path), 0);
    EXPECT_EQ(int32_t(path.crn[0].layer), 0);
    EXPECT_EQ(AltCount(), 0);
    // the box of the ends, one cell wider; not beyond
    EXPECT_EQ(Code(25500, 40500), kCellRuleMark);
    EXPECT_EQ(Code(24000 - 750, 39000 - 750), kCellRuleMark);
    EXPECT_EQ(Code(24000 - 1500, 39000), 0);
    EXPECT_EQ(Code(30000, 42000 + 1500), 0);
    // a sloped segment clear of other nets is kept
    Conn free = ConnOf(1, {{31500, 39000, 1}, {37500, 42000, 0}});
    g_shove.shoveFailed = 0;
    EXPECT_EQ(ClearSeg(&free), 1);
    EXPECT_EQ(int32_t(free.crn[0].layer), 1);
}

TEST_F(ShoveTest, AFailedShoveKeepsTheGivenPathAsACandidateUnlessRippingOrHopping) {
    Blocker({{22500, 42000, 1}, {25500, 42000, 0}});
    const Conn given = ConnOf(1, {{24000, 39000, 1}, {24000, 45000, 0}});
    struct Case {
        int16_t hopRouting, ripFail;
        int32_t kept;
    } cases[] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    for (const Case& c : cases) {
        NearestInit();
        MzGoal& g = *Goal();
        g.hopRouting = c.hopRouting;
        g.ripFail = c.ripFail;
        g.totalCost = 5000;
        Conn path = given;
        EXPECT_EQ(mzShovePath(&path), 0);
        EXPECT_EQ(int32_t(path.crn[0].layer), 0); // the blocked segment became a gap
        EXPECT_EQ(NearestSavedCount(), c.kept);
    }
    // the candidate's cost is the via cost of type 0 plus the attempt's cost
    NearestInit();
    MzGoal& g = *Goal();
    g.hopRouting = g.ripFail = 0;
    Conn path = given;
    EXPECT_EQ(mzShovePath(&path), 0);
    Conn out{};
    g.totalCost = 5000 + ViaCost(0) - 1;
    EXPECT_EQ(NearestPop(&out), 0);
    g.totalCost = 5000 + ViaCost(0);
    ASSERT_EQ(NearestPop(&out), 1);
    EXPECT_EQ(Corners(out), Corners(given));
}

TEST_F(ShoveTest, ForceInstallAndTheNearestPathTakeTheClearedPathWithItsGapsButNotForAHop) {
    Blocker({{22500, 42000, 1}, {25500, 42000, 0}});
    const Conn given = ConnOf(1, {{24000, 39000, 1}, {24000, 45000, 1}, {30000, 45000, 0}});
    Conn path = given;
    EXPECT_EQ(ClearSeg(&path), 0);
    EXPECT_EQ(g_shove.shoveFailed, 1);
    g_forceInstall = 1;
    path = given;
    g_shove.shoveFailed = 0;
    EXPECT_EQ(ClearSeg(&path), 1);
    EXPECT_EQ(g_shove.shoveFailed, 0);
    // the whole shove goes on to the journal put
    path = given;
    EXPECT_EQ(mzShovePath(&path), 1);
    ASSERT_EQ(AltCount(), 1);
    EXPECT_EQ(int32_t(path.crn[0].layer), 0);
    EXPECT_EQ(int32_t(path.crn[1].layer), 1);
    g_forceInstall = 0;
    Goal()->useNearest = 1;
    path = given;
    g_shove.shoveFailed = 0;
    EXPECT_EQ(ClearSeg(&path), 1);
    // a shove that had already failed stays failed
    g_shove.shoveFailed = 1;
    path = given;
    EXPECT_EQ(ClearSeg(&path), 0);
    // Neither takes a failed clearing while a ripped hop is re-routed: the
    // hop's connection would be left with the gaps.
    for (const int16_t force : {0, 1}) {
        g_forceInstall = force;
        Goal()->hopRouting = 1;
        g_shove.shoveFailed = 0;
        path = given;
        EXPECT_EQ(ClearSeg(&path), 0) << force;
        EXPECT_EQ(g_shove.shoveFailed, 1) << force;
        Goal()->hopRouting = 0;
    }
    g_forceInstall = 0;
    Goal()->useNearest = 0;
}

TEST_F(ShoveTest, ASegmentWithTwoFixedEndsIsWalkedAndMustBeFree) {
    const Conn given = ConnOf(
        1,
        {{24000, 39000, 1, 0, kCrnLocked}, {24000, 40500, 1, 0, kCrnLatched}, {19500, 40500, 0}});
    Conn path = given;
    EXPECT_EQ(ClearSeg(&path), 1);
    EXPECT_EQ(Corners(path), Corners(given));
    // a route of another net alongside, within the clearance, is pushed away
    const int32_t beside = StoreConn(2, {{24600, 36000, 1}, {24600, 48000, 0}});
    AddConn(beside);
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(ClearSeg(&path), 1);
    EXPECT_EQ(Corners(path), Corners(given));
    Conn moved{};
    ConnReadJournal(beside, &moved);
    EXPECT_GT(int32_t(moved.head.count), 2);
    EXPECT_EQ(GatherIsEmpty(24000, 39000, 24000, 40500, kProbeSeg, 1, 300, entry, 0), 1);
    // copper across the segment cannot be pushed aside: the segment fails
    Blocker({{22500, 39750, 1}, {23700, 39750, 0}});
    EXPECT_EQ(ClearSeg(&path), 0);
    EXPECT_EQ(int32_t(path.crn[0].layer), 0);
    EXPECT_EQ(int32_t(path.crn[1].layer), 1);
}

TEST_F(ShoveTest, StitchingStandInsTestTheSegmentAsItStands) {
    // diagonal: free, appended; across another net, refused and marked
    g_shove.cleared = nullptr;
    Conn diag = ConnOf(1, {{24000, 39000, 1}, {27000, 42000, 0}});
    EXPECT_EQ(stitchDiagSeg(&diag, 0), 1);
    Blocker({{25500, 39000, 1}, {25500, 42000, 0}});
    EXPECT_EQ(stitchDiagSeg(&diag, 0), 0);
    EXPECT_EQ(Code(25500, 40500), kCellRuleMark);
    Conn sloped = ConnOf(1, {{24000, 39000, 1}, {30000, 42000, 0}});
    EXPECT_FATAL(stitchDiagSeg(&sloped, 0), kErrStitchNotDiagonal);
    EXPECT_FATAL(stitchStraightSeg(&sloped, 0, 0), kErrStitchNotStraight);
}

TEST_F(ShoveTest, SegmentBoxMarksKeepSeedMovesMarksBlockedCellsAndTheBorder) {
    const int32_t y = MzY(42000);
    const int32_t x0 = MzX(24000);
    const uint8_t before[] = {0,
                              kCellSeedMove,
                              kCellRuleMark,
                              kCellTempMark,
                              kCellBlocked,
                              kCellBorder,
                              kCellOtherNet | kCellMark1 | kCellSide,
                              5};
    const uint8_t after[] = {kCellRuleMark,
                             kCellSeedMove,
                             kCellRuleMark,
                             kCellTempMark,
                             kCellBlocked,
                             kCellBorder,
                             kCellRuleMark | kCellMark1,
                             kCellRuleMark};
    const int32_t n = int32_t(sizeof before);
    for (int32_t i = 0; i < n; ++i)
        MazeSet(x0 + i, y, 1, before[i]);
    markSegmentBox(MzWorldX(x0 + 1), 42000, MzWorldX(x0 + n - 2), 42000, 1);
    for (int32_t i = 0; i < n; ++i)
        EXPECT_EQ(MazeGet(x0 + i, y, 1), after[i]) << i;
    // a box reaching over the maze's edge stops at the border
    markSegmentBox(g_mzGrid.extent.minX, 42000, MzWorldX(kMazeBorder + 1), 42000, 1);
    EXPECT_EQ(MazeGet(kMazeBorder, y, 1) & kCellCodeMask, kCellRuleMark);
    EXPECT_EQ(MazeGet(kMazeBorder + 2, y, 1) & kCellCodeMask, kCellRuleMark);
    EXPECT_EQ(MazeGet(kMazeBorder + 3, y, 1) & kCellCodeMask, 0);
    EXPECT_EQ(MazeGet(kMazeBorder - 1, y, 1) & kCellCodeMask, kCellBorder);
}

TEST_F(ShoveTest, HalfGridEndsOfGapsMoveTowardTheirRoutedSegment) {
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    // routed up to a half-grid row, a gap, routed on from a half-grid column
    Conn path =
        ConnOf(1, {{24000, 39000, 1}, {24000, 42750, 0}, {27750, 45000, 1}, {33000, 45000, 0}});
    snipPathEnds(&path);
    const std::vector<std::vector<int32_t>> want = {
        {24000, 39000, 1}, {24000, 42000, 0}, {28500, 45000, 1}, {33000, 45000, 0}};
    EXPECT_EQ(Corners(path), want);
    EXPECT_EQ(g_lines,
              (std::vector<std::string>{"snip crn 1: Lead Y snip", "snip crn 2: Trail X snip"}));
    // a half-grid corner out of line with its segment stays
    g_lines.clear();
    Conn odd = ConnOf(1, {{24000, 39000, 1}, {25500, 42750, 0}, {33000, 45000, 0}});
    snipPathEnds(&odd);
    EXPECT_EQ(int32_t(odd.crn[1].y), 42750);
    EXPECT_EQ(g_lines, (std::vector<std::string>{"snip crn 1: unknown lead Y snip"}));
}

TEST_F(ShoveTest, DoubleCheckTurnsABlockedSegmentIntoAGapAndMarksIt) {
    Conn path = ConnOf(1, {{24000, 39000, 1}, {24000, 45000, 1}, {30000, 45000, 0}});
    EXPECT_EQ(doubleCheck(&path), 1);
    Blocker({{28500, 43500, 1}, {28500, 46500, 0}});
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    EXPECT_EQ(doubleCheck(&path), 0);
    EXPECT_EQ(int32_t(path.crn[0].layer), 1);
    EXPECT_EQ(int32_t(path.crn[1].layer), 0);
    EXPECT_EQ(Code(27000, 45000), kCellRuleMark);
    ASSERT_FALSE(g_lines.empty());
    EXPECT_EQ(g_lines[0].rfind("doubleCheck failed", 0), 0u);
}

TEST_F(ShoveTest, TheAbortKeyLeavesTheRestAsAGapToTheLastPoint) {
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    HeadlessAbortAfter(0);
    Conn path = ConnOf(1, {{24000, 39000, 1}, {24000, 45000, 1}, {30000, 45000, 0}});
    EXPECT_EQ(ClearSeg(&path), 0);
    HeadlessAbortAfter(-1);
    UserAbortReset();
    const std::vector<std::vector<int32_t>> want = {{24000, 39000, 0}, {30000, 45000, 0}};
    EXPECT_EQ(Corners(path), want);
    EXPECT_NE(std::find(g_lines.begin(), g_lines.end(), "ClearSeg: failed last crn"),
              g_lines.end());
}

TEST_F(ShoveTest, AClearedPathFailingTheReCheckSetsTheLoopGuard) {
    // a stitching that takes every segment as it stands
    RuleServices mine{};
    mine.stitchStraightSeg = [](Conn* p, int32_t, int32_t i) {
        ShoveAppendSeg(g_shove.cleared, p, i, false);
        return int32_t(1);
    };
    RuleServicesInstall(&mine);
    Blocker({{22500, 42000, 1}, {25500, 42000, 0}});
    Conn path = ConnOf(1, {{24000, 39000, 1}, {24000, 45000, 0}});
    MzFlags = 0;
    EXPECT_EQ(ClearSeg(&path), 1); // the re-check runs in verbose mode only
    EXPECT_EQ(MzFlags & kMzLoopPrevent, 0);
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    path = ConnOf(1, {{24000, 39000, 1}, {24000, 45000, 0}});
    EXPECT_EQ(ClearSeg(&path), 1);
    EXPECT_EQ(MzFlags & kMzLoopPrevent, kMzLoopPrevent);
    EXPECT_EQ(int32_t(path.crn[0].layer), 0);
    EXPECT_NE(std::find(g_lines.begin(), g_lines.end(), "ClearSeg: FAILED doubleCheck"),
              g_lines.end());
    MzFlags = 0;
}

TEST_F(ShoveTest, TracesOfAShove) {
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    Conn path = ConnOf(1, {{24000, 39000, 1}, {24000, 45000, 0}});
    EXPECT_EQ(mzShovePath(&path), 1);
    auto has = [&](const std::string& prefix) {
        for (const std::string& l : g_lines)
            if (l.rfind(prefix, 0) == 0) return true;
        return false;
    };
    EXPECT_TRUE(has("Shove: "));
    EXPECT_TRUE(has("mzShovePath: GridDoubled == 0"));
    EXPECT_TRUE(has("clearSeg: GridDoubled == 0"));
    EXPECT_TRUE(has("ClearSeg: success"));
}

} // namespace
