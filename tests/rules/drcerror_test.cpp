// Error records and rule-check modes: the counter and markers of
// CheckAddError in every mode, its trace, duplicates and a full table; the
// maze marking's snapping, border and kept codes; the clearing of the
// window's markers.
#include <string>
#include <vector>

#include "db/layers.h"
#include "rulefixture.h"

namespace {

std::vector<std::string> g_trace;
void Collect(const char* text) {
    g_trace.emplace_back(text);
}

class DrcErrorTest : public RuleTest {
  protected:
    void SetUp() override {
        RuleTest::SetUp();
        OpenBoard("");
        g_trace.clear();
    }
    static void SetError(int32_t x, int32_t y, uint8_t kind = kErrKindRouteSpacing) {
        DrcCurrentError = DrcError{};
        DrcCurrentError.x = x;
        DrcCurrentError.y = y;
        DrcCurrentError.object = 3;
        DrcCurrentError.otherObject = 7;
        DrcCurrentError.corner = 2;
        DrcCurrentError.otherSub = 1;
        DrcCurrentError.objectType = kErrObjConn;
        DrcCurrentError.otherType = kErrObjComponent;
        DrcCurrentError.kind = kind;
        DrcCurrentError.layer = 1;
        DrcCurrentError.found = 150;
        DrcCurrentError.required = 600;
    }
};

TEST_F(DrcErrorTest, CountsInEveryModeAndRecordsOnlyInModeZero) {
    SetError(10000, 20000);
    for (int16_t mode : {kDrcFail, kDrcMarkMaze, kDrcCount}) {
        DrcModeScope scope(mode);
        CheckAddError(10000, 20000, 1);
    }
    EXPECT_EQ(DrcErrorCount, 3);
    EXPECT_EQ(MarkerCount(), 0);
    {
        DrcModeScope scope(kDrcRecord);
        CheckAddError(10000, 20000, 1);
        CheckAddError(10000, 20000, 1); // the same marker again is dropped
    }
    EXPECT_EQ(DrcMode, kDrcFail);
    EXPECT_EQ(DrcErrorCount, 5);
    const std::vector<ErrorMarker> m = Markers();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].x, 10000);
    EXPECT_EQ(m[0].y, 20000);
    EXPECT_EQ(m[0].id1, 3);
    EXPECT_EQ(m[0].id2, 7);
    EXPECT_EQ(m[0].sub1, 2);
    EXPECT_EQ(m[0].sub2, 1);
    EXPECT_EQ(m[0].kind1, kErrObjConn);
    EXPECT_EQ(m[0].kind2, kErrObjComponent);
    EXPECT_EQ(m[0].type, kErrKindRouteSpacing);
    EXPECT_EQ(m[0].layer, 1);
    EXPECT_EQ(m[0].flags & kMarkerByRuleCheck, kMarkerByRuleCheck);
    EXPECT_EQ(m[0].value[0], 150);
    EXPECT_EQ(m[0].value[1], 600);
}

TEST_F(DrcErrorTest, VerboseTraceNamesTheKind) {
    g_verbose = 1;
    DebugSetTraceReceiver(&Collect);
    SetError(10000, 20000, kErrKindViaSpacing);
    DrcModeScope scope(kDrcRecord);
    CheckAddError(10000, 20000, 2);
    bool line = false, report = false;
    for (const std::string& t : g_trace) {
        line |= t.find("Design Rule Error at [") == 0 &&
                t.find("]L2: Via Spacing Error") != std::string::npos;
        report |= t.find("CheckAddError") != std::string::npos;
    }
    EXPECT_TRUE(line);
    EXPECT_TRUE(report);
}

TEST_F(DrcErrorTest, AFullTableAddsNothingAndNothingFails) {
    while (MarkerCount() < kMarkerMax)
        ASSERT_GT(MarkerAdd(), 0);
    SetError(10000, 20000);
    DrcModeScope scope(kDrcRecord);
    CheckAddError(10000, 20000, 1);
    EXPECT_EQ(MarkerCount(), kMarkerMax);
    EXPECT_EQ(DrcErrorCount, 1);
}

TEST_F(DrcErrorTest, MarkMazeSnapsWidensAndKeepsMarkedAndBlockedCells) {
    const int32_t x = 30000, y = 30000, mx = MzX(x), my = MzY(y);
    MazeSet(mx, my, 1, 0x80 | 5);
    MazeSet(mx + 1, my, 1, kCellTempMark);
    MazeSet(mx - 1, my, 1, 0x40 | kCellBlocked);
    MazeSet(mx, my + 1, 1, kCellBorder);
    MazeSet(mx + 2, my, 1, 0x20 | 3);
    const int32_t before = MazeGet(mx + 3, my, 1);
    // a box from just past one cell to just short of the next: both snap
    // onto the centre cell, widened by one cell each way
    DrcMarkMaze(x - 100, y - 100, x + 100, y + 100, 1);
    EXPECT_EQ(MazeGet(mx, my, 1), 0x80 | kCellRuleMark);
    EXPECT_EQ(MazeGet(mx + 1, my, 1), kCellTempMark);
    EXPECT_EQ(MazeGet(mx - 1, my, 1), 0x40 | kCellBlocked);
    EXPECT_EQ(MazeGet(mx, my + 1, 1), kCellBorder);
    EXPECT_EQ(MazeGet(mx + 1, my + 1, 1) & kCellCodeMask, kCellRuleMark);
    EXPECT_EQ(MazeGet(mx - 1, my - 1, 1) & kCellCodeMask, kCellRuleMark);
    EXPECT_EQ(MazeGet(mx + 2, my, 1), 0x20 | 3); // outside the widened box
    EXPECT_EQ(MazeGet(mx + 3, my, 1), before);
    EXPECT_EQ(MazeGet(mx, my, 2) & kCellCodeMask, 0); // another layer
}

TEST_F(DrcErrorTest, MarkMazeNeverTouchesTheBorderAndSkipsLayersOutsideTheMaze) {
    const MzBox e = g_mzGrid.extent;
    const int32_t w = g_mzGrid.w, r = g_mzGrid.r;
    const int32_t outside[3][2] = {{kMazeBorder - 1, kMazeBorder},
                                   {w - kMazeBorder, r - 1 - kMazeBorder},
                                   {kMazeBorder, r - kMazeBorder}};
    int32_t before[3];
    for (int32_t k = 0; k < 3; ++k)
        before[k] = MazeGet(outside[k][0], outside[k][1], 1);
    DrcMarkMaze(e.minX - 50000, e.minY - 50000, e.maxX + 50000, e.maxY + 50000, 1);
    EXPECT_EQ(MazeGet(kMazeBorder, kMazeBorder, 1) & kCellCodeMask, kCellRuleMark);
    EXPECT_EQ(MazeGet(w - 1 - kMazeBorder, r - 1 - kMazeBorder, 1) & kCellCodeMask, kCellRuleMark);
    for (int32_t k = 0; k < 3; ++k)
        EXPECT_EQ(MazeGet(outside[k][0], outside[k][1], 1), before[k]) << k;
    // a layer outside the maze (index 0) is left alone
    const int32_t saved = g_maze.mazeIndex[2];
    g_maze.mazeIndex[2] = 0;
    DrcMarkMaze(e.minX, e.minY, e.maxX, e.maxY, 2);
    g_maze.mazeIndex[2] = saved;
    EXPECT_NE(MazeGet(MzX(30000), MzY(30000), 2) & kCellCodeMask, kCellRuleMark);
}

TEST_F(DrcErrorTest, ClearWindowMarkersKeepsOutsideAndKeptMarkers) {
    const MzBox w = g_mzGrid.window;
    struct Case {
        int32_t x, y, keep;
        bool stays;
    } cases[] = {
        {w.minX, w.minY, 0, false}, // on the bounds
        {w.maxX, w.maxY, 0, false},          {(w.minX + w.maxX) / 2, w.maxY, 0, false},
        {w.maxX + 1, w.maxY, 0, true},       {w.minX, w.minY - 1, 0, true},
        {w.minX + 10, w.minY + 10, 1, true}, // kept
    };
    for (const Case& c : cases) {
        ErrorMarker m{};
        m.x = c.x;
        m.y = c.y;
        m.type = kErrKindRouteSpacing;
        m.layer = 1;
        m.value[kMarkerKeepWord] = c.keep;
        MarkerPut(MarkerAdd(), &m);
    }
    DrcClearWindowMarkers();
    std::vector<ErrorMarker> left = Markers();
    size_t k = 0;
    for (const Case& c : cases) {
        if (!c.stays) continue;
        ASSERT_LT(k, left.size());
        EXPECT_EQ(left[k].x, c.x);
        EXPECT_EQ(left[k].y, c.y);
        ++k;
    }
    EXPECT_EQ(k, left.size());
}

} // namespace
