// Hops of an installation: ripping a hop at and beyond the routing window's
// edge, marking a failed hop's cells in the maze, finding the gap that
// replaced a hop, and the object-map consistency check.
#include <fstream>
#include <sstream>

#include "db/conns.h"
#include "router/hoprip.h"
#include "router/installpath.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objvalidate.h"
#include "goalconnfixture.h"

namespace {

class HopTest : public GoalConnTest {
  protected:
    void SetUp() override {
        GoalConnTest::SetUp();
        Open();
        MazeBorder();
        g_windowLoaded = 1;
    }
    // A routed connection of net 1 on layer 1, mapped; its entry.
    static int32_t Routed(std::initializer_list<CrnSpec> corners) {
        const int32_t e = StoreEnds(1, 1, 1, 2, 1, corners);
        ConnMap(ConnRef(ObjEntry(e)->index), e, 0, ConnRef(ObjEntry(e)->index)->head.count - 1, 0);
        return e;
    }
    static void Hop(int32_t entry, int32_t crn) {
        MzGoal& g = *Goal();
        g.hopCount = 1;
        g.hopObj[1] = int16_t(entry);
        g.hopCrn[1] = int16_t(crn);
    }
    std::string Log() {
        std::ifstream in(m_folder / "Pelvane.Log", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(HopTest, RipAtTheWindowEdgeAndRefuseBeyond) {
    DebugSetFlags(1, 0);
    // Segment 1 ends exactly on the window's right edge (51,000).
    const int32_t e =
        Routed({{15000, 30000, 1}, {33000, 30000, 1}, {51000, 30000, 1}, {51000, 39000, 0}});
    const int32_t c = ObjEntry(e)->index;
    ASSERT_TRUE(Holds(e, 28, 20, 1)); // map cell of (42,000, 30,000)
    Hop(e, 1);
    AltPush();
    EXPECT_EQ(hopRip(1), 1);
    Conn rec;
    ConnReadJournal(c, &rec);
    EXPECT_EQ(rec.crn[1].layer, 0);
    EXPECT_EQ(rec.crn[0].layer, 1);
    EXPECT_FALSE(Holds(e, 28, 20, 1));
    EXPECT_TRUE(Holds(e, 16, 20, 1)); // the segment before is mapped again
    EXPECT_TRUE(Traced("hopRip: Ripping up object"));
    AltPop(false);

    const int32_t f =
        Routed({{15000, 33000, 1}, {33000, 33000, 1}, {52500, 33000, 1}, {52500, 39000, 0}});
    Hop(f, 1);
    AltPush();
    EXPECT_EQ(hopRip(1), 0);
    EXPECT_EQ(AltCount(), 0);
    AltPop(false);
}

TEST_F(HopTest, FailMarksPassableCellsAndKeepsBlockedOnes) {
    DebugSetFlags(1, 0);
    // A horizontal segment 1 from maze x 28 to 44 at maze y 40, its
    // neighbours routed too (a vertical one before, a 45-degree one after).
    const int32_t e = Routed({{21000, 24000, 1},
                              {21000, 30000, 1},
                              {33000, 30000, 1},
                              {36000, 33000, 1},
                              {39000, 33000, 0}});
    const int32_t m = LayerMazeIndex(1);
    ASSERT_GT(m, 0);
    struct Cell {
        int32_t x, y, before, after;
    };
    const Cell cells[] = {
        {30, 40, kCellFree, kCellRuleMark},
        {31, 40, kCellOtherNet | kCellMark1, kCellRuleMark | kCellMark1},
        {32, 40, kCellTempMark, kCellTempMark},
        {33, 40, kCellBlocked, kCellBlocked}, // blocked copper stays
        {34, 40, kCellBorder, kCellBorder},
        {35, 40, 18 | kCellSide, kCellRuleMark},
        {28, 36, kCellFree, kCellRuleMark}, // the vertical segment before
        {46, 42, kCellFree, kCellRuleMark}, // the diagonal after
        {46, 41, kCellFree, kCellFree},     // beside the diagonal
        {28, 45, kCellFree, kCellFree},     // beyond the segments
    };
    for (const Cell& c : cells)
        MazeSet(c.x, c.y, 1, c.before);
    Hop(e, 1);
    hopFail(1);
    for (const Cell& c : cells)
        EXPECT_EQ(MazeGet(c.x, c.y, 1), c.after) << c.x << "," << c.y;
    EXPECT_TRUE(Traced("hopFail: Marking crn 1 of conn"));
}

TEST_F(HopTest, FailSkipsLayersNotRoutedAndStaysInsideTheBorder) {
    // A segment reaching past the maze's left edge: only 12.. are marked.
    const int32_t e = Routed({{-3000, 30000, 1}, {15000, 30000, 1}, {15000, 36000, 0}});
    Hop(e, 0);
    MazeSet(12, 40, 1, kCellFree);
    hopFail(1);
    EXPECT_EQ(MazeGet(11, 40, 1), kCellBorder);
    EXPECT_EQ(MazeGet(12, 40, 1), kCellRuleMark);
    // A net that may not use the layer marks nothing.
    Net n;
    NetGet(1, &n);
    n.netLevel = 2;
    NetPut(1, &n);
    MazeSet(16, 40, 1, kCellFree);
    hopFail(1);
    EXPECT_EQ(MazeGet(16, 40, 1), kCellFree);
}

TEST_F(HopTest, GapIndexByCornersThenByNewGap) {
    // Hop on segment 1 (21,000 - 27,000); the database has gap 2.
    const int32_t e =
        Routed({{15000, 30000, 1}, {21000, 30000, 1}, {27000, 30000, 0}, {39000, 30000, 0}});
    Hop(e, 1);
    Conn image;
    ConnGet(ObjEntry(e)->index, &image);
    image.crn[1].layer = 0;
    EXPECT_EQ(hopGapIndex(&image, 1), 1);
    CrnInsert(&image, 0, 1); // a corner more in front: found by its corners
    image.crn[1].x = 18000;
    EXPECT_EQ(hopGapIndex(&image, 1), 2);
    // The corners moved: the first new gap reaching into the window.
    ConnGet(ObjEntry(e)->index, &image);
    image.crn[1].y = 31500;
    image.crn[1].layer = 0;
    EXPECT_EQ(hopGapIndex(&image, 1), 1);
    // Routed again: only the database's own gap is left, which does not count.
    image.crn[1].layer = 1;
    EXPECT_EQ(hopGapIndex(&image, 1), -1);
}

TEST_F(HopTest, MapTestLogsAMissingSegment) {
    const int32_t e = Routed({{15000, 30000, 1}, {27000, 30000, 1}, {39000, 30000, 0}});
    mapTest();
    EXPECT_EQ(Log().find("mapTest"), std::string::npos);
    // Take the connection out of the cell at the segment's midpoint (21,000).
    int16_t* s = MapCell(14, 20, 1);
    for (int32_t i = 0; i < kMapCellSlots; ++i)
        if (s[i] == e) s[i] = 0;
    mapTest();
    const std::string log = Log();
    const size_t at = log.find("mapTest: error at crn 0 [");
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_NE(log.find("]L1", at), std::string::npos) << log;
}

} // namespace
