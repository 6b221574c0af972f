// Straightening trials: the mitre of a right-angle bend, its step and
// leg rules, the score limits and strict mode.
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/shellsvc.h"
#include "headless/ascio.h"
#include "mapfixture.h"
#include "router/mzgrid.h"
#include "router/pathscore.h"
#include "router/straighten.h"
#include "router/urstate.h"

namespace {

std::vector<std::string> g_lines;
void Collect(const char* text) {
    g_lines.push_back(text);
}

std::vector<std::vector<int32_t>> Corners(const Conn& c) {
    std::vector<std::vector<int32_t>> out;
    for (int32_t i = 0; i < c.head.count; ++i)
        out.push_back({c.crn[i].x, c.crn[i].y});
    return out;
}

class StraightenTest : public MapTest {
  protected:
    void SetUp() override {
        MapTest::SetUp();
        Open();
        ox = (g_mzGrid.extent.minX + g_mzGrid.extent.maxX) / 3000 * 1500;
        oy = (g_mzGrid.extent.minY + g_mzGrid.extent.maxY) / 3000 * 1500;
        // a free-node L: east 6,000 then north 3,000, clear of the pads
        CurSweep().diagonal = 0;
        bend = ConnOf(1, {{ox - 6000, oy + 6000, 1}, {ox, oy + 6000, 1}, {ox, oy + 9000, 0}});
        StraightenSetLimits(&bend);
    }
    // An entry of the object table for the trials' own connection, with the
    // map built.
    int32_t OwnEntry() {
        const int32_t e = AddConn(StoreConn(1, {{ox, oy - 3000, 1}, {ox + 1500, oy - 3000, 0}}));
        EXPECT_EQ(MapAll(), 1);
        return e;
    }
    // East 1,500, north 1,500, east 1,500, north 3,000; the limits from it.
    Conn Staircase() {
        Conn c = ConnOf(1, {{ox - 6000, oy, 1},
                            {ox - 4500, oy, 1},
                            {ox - 4500, oy + 1500, 1},
                            {ox - 3000, oy + 1500, 1},
                            {ox - 3000, oy + 4500, 0}});
        StraightenSetLimits(&c);
        return c;
    }
    void TearDown() override {
        g_verbose = 0;
        g_gridDoubling = false;
        MzFlags = 0;
        CurSweep().diagonal = 0;
        DebugSetTraceReceiver(nullptr);
        HeadlessAbortAfter(-1);
        UserAbortReset();
        MapTest::TearDown();
    }
    // Corners relative to (ox, oy), on layer 1 but the last.
    Conn Path(std::initializer_list<std::pair<int32_t, int32_t>> pts) {
        Conn c{};
        c.head.net = 1;
        for (auto [x, y] : pts) {
            Crn& k = c.crn[c.head.count++];
            k.x = ox + x;
            k.y = oy + y;
            k.layer = 1;
            k.width = 10;
        }
        c.crn[c.head.count - 1].layer = 0;
        StraightenSetLimits(&c);
        return c;
    }
    std::vector<std::vector<int32_t>> Rel(const Conn& c) const {
        std::vector<std::vector<int32_t>> out;
        for (int32_t i = 0; i < c.head.count; ++i)
            out.push_back({c.crn[i].x - ox, c.crn[i].y - oy});
        return out;
    }
    int32_t ox = 0, oy = 0;
    Conn bend{};
    Conn scratch{};
};

TEST_F(StraightenTest, MitreCutsTheBendOneStepEachSide) {
    ASSERT_EQ(straightenTryShift(0, &bend, &scratch, 0, 1500, 0), 1);
    std::vector<std::vector<int32_t>> want = {
        {ox - 6000, oy + 6000}, {ox - 1500, oy + 6000}, {ox, oy + 7500}, {ox, oy + 9000}};
    EXPECT_EQ(Corners(bend), want);
}

TEST_F(StraightenTest, LegShorterThanTheStepWaitsForASmallerStep) {
    EXPECT_EQ(straightenTryShift(0, &bend, &scratch, 0, 4500, 0), 0);
    EXPECT_EQ(int32_t(bend.head.count), 3);
    ASSERT_EQ(straightenTryShift(0, &bend, &scratch, 0, 3000, 0), 1);
    // the cut reaches the end corner, which stays
    std::vector<std::vector<int32_t>> want = {
        {ox - 6000, oy + 6000}, {ox - 3000, oy + 6000}, {ox, oy + 9000}};
    EXPECT_EQ(Corners(bend), want);
}

TEST_F(StraightenTest, ARaisedPathScoreIsRefusedAndLeavesTheConnection) {
    g_straightenLimits.path -= 1;
    EXPECT_EQ(straightenTryShift(0, &bend, &scratch, 0, 1500, 0), 0);
    EXPECT_EQ(int32_t(bend.head.count), 3);
    EXPECT_EQ(int32_t(bend.crn[1].x), ox);
}

TEST_F(StraightenTest, StrictModeChecksTheNewSegmentsClearance) {
    const int32_t n =
        StoreConn(1, {{ox - 6000, oy + 6000, 1}, {ox, oy + 6000, 1}, {ox, oy + 9000, 0}});
    const int32_t entry = AddConn(n);
    ASSERT_EQ(MapAll(), 1);
    Conn free = bend;
    EXPECT_EQ(straightenTryShift(entry, &free, &scratch, 0, 1500, 1), 1);
    // another net's copper on the cut
    const int32_t other = StoreConn(2, {{ox - 750, oy + 6750, 1}, {ox - 750, oy + 6760, 0}});
    AddConn(other);
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(straightenTryShift(entry, &bend, &scratch, 0, 1500, 1), 0);
    EXPECT_EQ(int32_t(bend.head.count), 3);
}

TEST_F(StraightenTest, OnlyABendOfOneLayerIsMitred) {
    Conn straight = ConnOf(1, {{ox - 6000, oy, 1}, {ox, oy, 1}, {ox + 6000, oy, 0}});
    EXPECT_EQ(straightenTryShift(0, &straight, &scratch, 0, 1500, 0), 0);
    Conn twoLayers = ConnOf(1, {{ox - 6000, oy, 1}, {ox, oy, 2, 1}, {ox, oy + 6000, 0}});
    EXPECT_EQ(straightenTryShift(0, &twoLayers, &scratch, 0, 1500, 0), 0);
}

TEST_F(StraightenTest, IntersectExtendsAnOrthogonalAndADiagonalSegment) {
    // east, a jog north, then a diagonal whose line meets the first segment's
    Conn c = ConnOf(
        1, {{ox - 6000, oy, 1}, {ox - 3000, oy, 1}, {ox - 3000, oy + 1500, 1}, {ox, oy + 4500, 0}});
    StraightenSetLimits(&c);
    ASSERT_EQ(straightenIntersect(0, &c, 0, 2, 0), 1);
    std::vector<std::vector<int32_t>> want = {{ox - 6000, oy}, {ox - 4500, oy}, {ox, oy + 4500}};
    EXPECT_EQ(Corners(c), want);
}

TEST_F(StraightenTest, IntersectOfTwoOrthogonalSegmentsNeedsAnyAngle) {
    Conn c = Staircase();
    EXPECT_EQ(straightenIntersect(0, &c, 0, 3, 0), 0);
    ASSERT_EQ(straightenIntersect(0, &c, 0, 3, 1), 1);
    std::vector<std::vector<int32_t>> want = {
        {ox - 6000, oy}, {ox - 3000, oy}, {ox - 3000, oy + 4500}};
    EXPECT_EQ(Corners(c), want);
}

TEST_F(StraightenTest, IntersectAcceptsTheHalfGridAndRefusesOffIt) {
    // the crossing lands 750 off the grid: on the half grid, accepted
    Conn half = ConnOf(
        1, {{ox - 6000, oy, 1}, {ox - 3000, oy, 1}, {ox - 3000, oy + 750, 1}, {ox, oy + 3750, 0}});
    StraightenSetLimits(&half);
    ASSERT_EQ(straightenIntersect(0, &half, 0, 2, 0), 1);
    EXPECT_EQ(int32_t(half.crn[1].x), ox - 3750);
    // 500 off the grid: refused
    Conn off = ConnOf(
        1, {{ox - 6000, oy, 1}, {ox - 3000, oy, 1}, {ox - 3000, oy + 500, 1}, {ox, oy + 3500, 0}});
    StraightenSetLimits(&off);
    EXPECT_EQ(straightenIntersect(0, &off, 0, 2, 0), 0);
    EXPECT_EQ(int32_t(off.head.count), 4);
}

TEST_F(StraightenTest, IntersectOfNeighbouringSegmentsIsFatal) {
    EXPECT_FATAL(straightenIntersect(0, &bend, 0, 1, 1), kErrIntersectRange);
}

TEST_F(StraightenTest, ShortcutFromTheFirstCornerToTheFootOnALaterSegment) {
    Conn c = Staircase();
    Conn scratch{};
    // from corner 1 the foot on the last segment lies beyond it
    const int32_t e = OwnEntry();
    EXPECT_EQ(straightenShortcut(e, &c, &scratch, 1, 3), 0);
    ASSERT_EQ(straightenShortcut(e, &c, &scratch, 0, 2), 1);
    std::vector<std::vector<int32_t>> want = {
        {ox - 6000, oy}, {ox - 6000, oy + 1500}, {ox - 3000, oy + 1500}, {ox - 3000, oy + 4500}};
    EXPECT_EQ(Corners(c), want);
}

TEST_F(StraightenTest, ShortcutToADiagonalNeedsACoordinateStrictlyInsideItsRange) {
    // corner 0's x is the diagonal's end and its y is outside: nothing
    Conn c = ConnOf(1, {{ox + 1500, oy, 1},
                        {ox + 1500, oy + 1500, 1},
                        {ox, oy + 1500, 1},
                        {ox + 1500, oy + 3000, 1},
                        {ox + 1500, oy + 6000, 0}});
    StraightenSetLimits(&c);
    Conn scratch{};
    EXPECT_EQ(straightenShortcut(OwnEntry(), &c, &scratch, 0, 2), 0);
    EXPECT_EQ(int32_t(c.head.count), 5);
}

TEST_F(StraightenTest, ShortcutBackFromTheLastCornerToTheFootOnAnEarlierSegment) {
    Conn c = Staircase();
    Conn scratch{};
    const int32_t e = OwnEntry();
    // from corner 3 the foot on segment 0 lies beyond it
    EXPECT_EQ(straightenShortcutBack(e, &c, &scratch, 0, 3), 0);
    // the last corner may use a foot beyond the segment
    ASSERT_EQ(straightenShortcutBack(e, &c, &scratch, 0, 4), 1);
    std::vector<std::vector<int32_t>> want = {
        {ox - 6000, oy}, {ox - 3000, oy}, {ox - 3000, oy + 4500}};
    EXPECT_EQ(Corners(c), want);
}

TEST_F(StraightenTest, StraightenConnShortensTheStaircaseUnlessSwitchedOff) {
    const int32_t e = OwnEntry();
    Conn c = Staircase();
    const uint16_t saved = MzFlags;
    MzFlags |= kNoStraighten;
    EXPECT_EQ(StraightenConn(e, &c), 0);
    EXPECT_EQ(int32_t(c.head.count), 5);
    MzFlags = saved & uint16_t(~kNoStraighten);
    EXPECT_EQ(StraightenConn(e, &c), 1);
    EXPECT_LT(int32_t(c.head.count), 5);
    MzFlags = saved;
}

TEST_F(StraightenTest, CornerPassRemovesAnAcuteBend) {
    const int32_t e = OwnEntry();
    Conn c = ConnOf(
        1, {{ox - 6000, oy, 1}, {ox, oy, 1}, {ox - 3000, oy + 3000, 1}, {ox - 3000, oy + 6000, 0}});
    EXPECT_EQ(straightenCornerPass(e, &c), 1);
    std::vector<std::vector<int32_t>> want = {
        {ox - 6000, oy}, {ox - 3000, oy}, {ox - 3000, oy + 6000}};
    EXPECT_EQ(Corners(c), want);
}

TEST_F(StraightenTest, TheMitreBitMitresTheBendsOfStraightenConn) {
    const int32_t e = OwnEntry();
    Conn c = Path({{-6000, 6000}, {0, 6000}, {0, 12000}});
    EXPECT_EQ(StraightenConn(e, &c), 0);
    EXPECT_EQ(int32_t(c.head.count), 3);
    CurSweep().diagonal = kSweepMitre;
    EXPECT_EQ(StraightenConn(e, &c), 1);
    // the largest step first: two grids each side of the bend
    const std::vector<std::vector<int32_t>> want = {
        {-6000, 6000}, {-3000, 6000}, {0, 9000}, {0, 12000}};
    EXPECT_EQ(Rel(c), want);
}

TEST_F(StraightenTest, AMitreNeedingACornerPastTheInsertionLimitIsRefused) {
    // a bend followed by corners stacked on its far end, up to the limit
    Conn c = Path({{-6000, 6000}, {0, 6000}, {0, 12000}});
    while (c.head.count < kConnInsertLimit) {
        c.crn[c.head.count] = c.crn[c.head.count - 1];
        ++c.head.count;
    }
    c.crn[c.head.count - 2].layer = 1;
    c.crn[c.head.count - 1].layer = 0;
    StraightenSetLimits(&c);
    EXPECT_EQ(straightenTryShift(0, &c, &scratch, 0, 1500, 0), 0);
    EXPECT_EQ(int32_t(c.head.count), kConnInsertLimit);
    --c.head.count; // one below: the mitre takes the last free place
    c.crn[c.head.count - 1].layer = 0;
    StraightenSetLimits(&c);
    EXPECT_EQ(straightenTryShift(0, &c, &scratch, 0, 1500, 0), 1);
}

TEST_F(StraightenTest, StraightenConnStopsAtTheAbortKey) {
    const int32_t e = OwnEntry();
    Conn c = Staircase();
    HeadlessAbortAfter(0);
    EXPECT_EQ(StraightenConn(e, &c), 0);
    EXPECT_EQ(int32_t(c.head.count), 5);
}

TEST_F(StraightenTest, ShortcutToADiagonalTakesYkWhenXkIsOnlyAtAnEnd) {
    const int32_t e = OwnEntry();
    // north 1,500, then back south-west: corner 0's x is the diagonal's first
    // end, its y lies strictly inside the diagonal's y range
    Conn c = Path({{0, 0}, {0, 1500}, {-3000, -1500}, {-3000, -4500}});
    ASSERT_EQ(straightenShortcut(e, &c, &scratch, 0, 1), 1);
    const std::vector<std::vector<int32_t>> want = {
        {0, 0}, {-1500, 0}, {-3000, -1500}, {-3000, -4500}};
    EXPECT_EQ(Rel(c), want);
}

TEST_F(StraightenTest, ShortcutsRefuseAHalfGridPointUnlessTheGridIsDoubled) {
    const int32_t e = OwnEntry();
    // the foot from corner 0 on segment 2 lies half a grid off
    Conn c = Path({{-6000, 0}, {-5250, 0}, {-5250, 750}, {-3000, 750}, {-3000, 4500}});
    EXPECT_EQ(straightenShortcut(e, &c, &scratch, 0, 2), 0);
    g_gridDoubling = true;
    ASSERT_EQ(straightenShortcut(e, &c, &scratch, 0, 2), 1);
    EXPECT_EQ(Rel(c)[1], (std::vector<int32_t>{-6000, 750}));
}

TEST_F(StraightenTest, EndCutToTheLineOfSegmentTwo) {
    const int32_t e = OwnEntry();
    // east, north, then north-west: the cut meets segment 2 on the half grid;
    // scored by x extents, the cut's zig-zag is paid for by the shorter run
    const uint8_t dir = CurSweep().dir[1];
    CurSweep().dir[1] = 0;
    Conn half = Path({{-6000, 0}, {-3000, 0}, {-3000, 1500}, {-4500, 3000}, {-4500, 6000}});
    ASSERT_EQ(straightenEndCut(e, &half, &scratch), 1);
    const std::vector<std::vector<int32_t>> want = {
        {-6000, 0}, {-3750, 2250}, {-4500, 3000}, {-4500, 6000}};
    EXPECT_EQ(Rel(half), want);
    CurSweep().dir[1] = dir;
    // a crossing off the half grid is refused
    Conn off = Path({{-6000, 0}, {-3000, 0}, {-3000, 750}, {-4500, 2250}, {-4500, 6000}});
    EXPECT_EQ(straightenEndCut(e, &off, &scratch), 0);
    EXPECT_EQ(int32_t(off.head.count), 5);
    // a segment 2 on the cut's own line: the new corner is corner 2
    Conn on = Path({{-6000, 0}, {-4500, 0}, {-4500, 1500}, {-3000, 3000}, {-3000, 6000}});
    ASSERT_EQ(straightenEndCut(e, &on, &scratch), 1);
    const std::vector<std::vector<int32_t>> onWant = {{-6000, 0}, {-3000, 3000}, {-3000, 6000}};
    EXPECT_EQ(Rel(on), onWant);
    // segment 2 parallel to the first segment: nothing
    Conn parallel = Path({{-6000, 0}, {-3000, 0}, {-3000, 1500}, {0, 1500}, {0, 6000}});
    EXPECT_EQ(straightenEndCut(e, &parallel, &scratch), 0);
}

TEST_F(StraightenTest, TheMitrePassCutsTheEndsTheRoutedPartReaches) {
    const int32_t e = OwnEntry();
    CurSweep().dir[1] = 0;
    Conn c = Path({{-6000, 0}, {-3000, 0}, {-3000, 1500}, {-4500, 3000}, {-4500, 6000}});
    EXPECT_EQ(straightenMitrePass(e, &c), 0); // without the mitre bit
    CurSweep().diagonal = kSweepMitre;
    MzFlags = kNoStraighten;
    EXPECT_EQ(straightenMitrePass(e, &c), 0);
    MzFlags = 0;
    EXPECT_EQ(straightenMitrePass(e, &c), 1);
    EXPECT_EQ(Rel(c)[1], (std::vector<int32_t>{-3750, 2250}));
}

TEST_F(StraightenTest, ExitsAndConnWorkOnACopyAndCopyBack) {
    const int32_t e = OwnEntry();
    Conn c = Staircase();
    MzFlags = kNoStraighten | 0x0200; // nor the exit adjustment
    EXPECT_EQ(straightenExitsAndConn(e, &c), 0);
    EXPECT_EQ(int32_t(c.head.count), 5);
    MzFlags = 0;
    EXPECT_EQ(straightenExitsAndConn(e, &c), 1);
    const std::vector<std::vector<int32_t>> want = {
        {ox - 6000, oy}, {ox - 6000, oy + 4500}, {ox - 3000, oy + 4500}};
    EXPECT_EQ(Corners(c), want);
}

TEST_F(StraightenTest, StraightenAltStraightensTheLevelsConnectionsAndRemapsThem) {
    const Conn stair = Staircase();
    const int32_t n = StoreConn(1, {{ox - 6000, oy, 1}, {ox - 3000, oy + 4500, 0}});
    const int32_t e = AddConn(n);
    ASSERT_EQ(MapAll(), 1);
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    for (uint16_t flags : {uint16_t(kNoStraighten), uint16_t(0)}) {
        MzFlags = flags;
        AltPush();
        ConnMap(ConnRef(n), e, 0, ConnRef(n)->head.count - 1, 1);
        ConnMap(&stair, e, 0, stair.head.count - 1, 0);
        AltPut(kRecConn, n, 0, &stair);
        EXPECT_EQ(StraightenAlt(), 1);
        Conn now{};
        AltItemHeader h;
        AltGet(1, &h, &now);
        if (flags) {
            EXPECT_EQ(Corners(now), Corners(stair));
        } else {
            const std::vector<std::vector<int32_t>> want = {
                {ox - 6000, oy}, {ox - 6000, oy + 4500}, {ox - 3000, oy + 4500}};
            EXPECT_EQ(Corners(now), want);
            // the map follows: the staircase's inner step is gone, the new leg is in
            EXPECT_FALSE(Holds(e, MapColLo(ox - 4500), MapRowLo(oy + 750), 1));
            EXPECT_TRUE(Holds(e, MapColLo(ox - 6000), MapRowLo(oy + 3000), 1));
        }
        AltPop(false);
        ConnMap(&stair, e, 0, stair.head.count - 1, 1);
        ConnMap(ConnRef(n), e, 0, ConnRef(n)->head.count - 1, 0);
    }
    std::vector<std::string> mine;
    for (const std::string& l : g_lines)
        if (l.rfind("StraightenAlt", 0) == 0) mine.push_back(l);
    const std::vector<std::string> want = {"StraightenAlt: starting", "StraightenAlt: done",
                                           "StraightenAlt: starting", "StraightenAlt: done"};
    EXPECT_EQ(mine, want);
}

} // namespace

namespace {

// A long staircase on a fine grid: every round folds its first step, so
// the rounds run out before the staircase does.
class StraightenRoundsTest : public MapTest {};

TEST_F(StraightenRoundsTest, StraightenConnEndsAfter400Rounds) {
    LoadBoard("", "*LAYER 2\r\n*GRID 100\r\n");
    while (NetCount() < 1)
        NetAdd();
    SetBox(500, 500);
    ASSERT_EQ(OpenMaze(30000, 30000), 1);
    ObjTableInit();
    CurSweep().diagonal = 0;
    const int32_t x0 = g_mzGrid.window.minX / 100 * 100 + 1000;
    const int32_t y0 = g_mzGrid.window.minY / 100 * 100 + 1000;
    const int32_t e = AddConn(StoreConn(1, {{x0, y0, 1}, {x0, y0 - 500, 0}}));
    ASSERT_EQ(MapAll(), 1);
    Conn c{};
    c.head.net = 1;
    for (int32_t i = 0; i < 900; ++i) {
        Crn& k = c.crn[c.head.count++];
        k.x = x0 + (i + 1) / 2 * 100;
        k.y = y0 + i / 2 * 100;
        k.layer = 1;
        k.width = 1;
    }
    c.crn[c.head.count - 1].layer = 0;
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    EXPECT_EQ(StraightenConn(e, &c), 1);
    g_verbose = 0;
    DebugSetTraceReceiver(nullptr);
    EXPECT_EQ(int32_t(c.head.count), 900 - kStraightenRounds); // one fold per round
    EXPECT_EQ(std::count(g_lines.begin(), g_lines.end(), "StraightenConn: Infinite loop"), 1);
}

} // namespace
