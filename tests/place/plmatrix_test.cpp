// Matrix placement: cells from the real lines and their order, goals by
// size into the cells, the legality test, fixed goals, the leftovers'
// cluster, no cell, and a second run after the first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "place/plmatrix.h"
#include "plfixture.h"

namespace {

class PlMatrixTest : public PlaceTest {
  protected:
    void SetUp() override {
        PlaceTest::SetUp();
        SetHeader(1);
        AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
        for (int32_t pins : {2, 4, 6}) {
            const int32_t s = RowSymbol(("R" + std::to_string(pins)).c_str(), pins, 1000, both);
            AddRect(kObsPlaceOutline, s, -200, -200, 200, (pins - 1) * 1000 + 200);
            sym.push_back(s);
        }
    }
    // A Matrix obstacle with the lines given (the shorter list padded with
    // filler), stored through the current level.
    static int32_t AddMatrix(std::vector<int32_t> xs, std::vector<int32_t> ys) {
        const int32_t o = AddRect(kObsMatrix, 0, 0, 0, 1, 1);
        auto r = std::make_unique<Obstacle>();
        AltSave(kRecObstacle, o, r.get());
        const size_t n = std::max(xs.size(), ys.size());
        xs.resize(n, kPlMatrixFiller);
        ys.resize(n, kPlMatrixFiller);
        r->head.count = int16_t(n);
        for (size_t i = 0; i < n; ++i)
            r->pt[i] = ObsPoint{xs[i], ys[i], 0, 0};
        ObsPut(o, r.get());
        return o;
    }
    static void Select(int32_t type, int32_t index) {
        auto r = std::make_unique<Obstacle>();
        AltSave(type, index, r.get());
        AltPut(type, index, 0, r.get());
    }
    // Three unplaced parts of 2, 4 and 6 pins, selected with the matrix.
    void ThreeParts(int32_t matrix, uint16_t flags6 = 0, int32_t angle4 = 0) {
        AltPush();
        for (int32_t i = 0; i < 3; ++i) {
            comps.push_back(AddPart(sym[size_t(i)],
                                    {.x = 40000 + 5000 * i,
                                     .y = 40000,
                                     .angle = i == 1 ? angle4 : 0,
                                     .flags = uint16_t(kPlCompUnplaced | (i == 2 ? flags6 : 0))}));
        }
        for (int32_t c : comps)
            Select(kRecComponent, c);
        if (matrix) Select(kRecObstacle, matrix);
    }
    std::vector<int32_t> sym, comps;
};

// Columns 1,000 / 11,000 / 21,000 and rows 1,000 / 11,000: the right cell
// lies nearer the centre (11,000, 6,000) and comes first.
std::vector<int32_t> kCols{1000, 11000, 21000}, kRows{1000, 11000};

TEST_F(PlMatrixTest, CellsComeFromTheRealLinesOnly) {
    auto r = std::make_unique<Obstacle>();
    AltSave(kRecObstacle, AddMatrix({1000, 11000, 21000, 31000}, {1000, 11000}), r.get());
    std::vector<PlCell> cells;
    PlMatrixCells(r.get(), &cells);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0].x, 1000);
    EXPECT_EQ(cells[2].x, 21000);
    // area 1e8 less the distance from (1,000, 1,000) to (16,000, 6,000)
    EXPECT_FLOAT_EQ(cells[0].key, float(1e8 - std::hypot(15000.0, 5000.0)));
    AltSave(kRecObstacle, AddMatrix({1000}, {1000, 2000}), r.get());
    cells.clear();
    PlMatrixCells(r.get(), &cells);
    EXPECT_TRUE(cells.empty());
}

TEST_F(PlMatrixTest, TwoLargestFillTheCellsAndTheThirdClustersOnTheFirstCorner) {
    ThreeParts(AddMatrix(kCols, kRows));
    const Component before6 = Comp(comps[2]);
    TraceCapture trace;
    PlMatrix(0);
    const Component c2 = Comp(comps[0]), c4 = Comp(comps[1]), c6 = Comp(comps[2]);
    EXPECT_EQ(c6.x, 11000);
    EXPECT_EQ(c6.y, 1000);
    EXPECT_EQ(c6.minX - c6.x, before6.minX - before6.x); // the box moved along
    EXPECT_EQ(c6.maxY - c6.y, before6.maxY - before6.y);
    EXPECT_EQ(c4.x, 1000);
    EXPECT_EQ(c4.y, 1000);
    EXPECT_EQ(c2.x, 11000);
    EXPECT_EQ(c2.y, 1000);
    EXPECT_EQ(c2.compRef, comps[0]);
    for (const Component* c : {&c2, &c4, &c6})
        EXPECT_FALSE(c->flags & kPlCompUnplaced);
    EXPECT_EQ(c4.compRef, 0);
    EXPECT_EQ(c6.compRef, 0);
    EXPECT_EQ(PlTreeEntries(), PlTreeFreshEntries());
    const auto& lines = TraceCapture::Lines();
    EXPECT_EQ(lines.front(), "PlMatrix: starting");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "initGoalTable: 3 components selected"),
              lines.end());
    EXPECT_EQ(lines.back(), "PlMatrix: done");
    // a second run opens its pool afresh
    PlMatrix(0);
}

TEST_F(PlMatrixTest, FillZeroSkipsAnIllegalCellAndFillOneDoesNot) {
    AddRect(kObsCompKeepout, 0, 10500, 500, 20000, 10000);
    for (int32_t fill : {0, 1}) {
        ThreeParts(AddMatrix(kCols, kRows));
        PlMatrix(fill);
        const Component c2 = Comp(comps[0]), c4 = Comp(comps[1]), c6 = Comp(comps[2]);
        EXPECT_EQ(c6.x, fill ? 11000 : 1000) << fill;
        EXPECT_EQ(c6.compRef, 0) << fill;
        EXPECT_EQ(c4.x, fill ? 1000 : 11000) << fill;
        // fill 0: both leftovers cluster on the first corner under the larger
        EXPECT_EQ(c4.compRef, fill ? 0 : comps[1]) << fill;
        EXPECT_EQ(c2.compRef, comps[fill ? 0 : 1]) << fill;
        AltPop(false);
        comps.clear();
    }
}

TEST_F(PlMatrixTest, TheLowestPinsMeetTheCornerAndFixedGoalsStay) {
    // turned a half turn, the 6-pin part's lowest pin is its last one
    ThreeParts(AddMatrix(kCols, kRows), kPlCompFixed, 10800);
    PlMatrix(1);
    const Component c6 = Comp(comps[2]), c4 = Comp(comps[1]);
    EXPECT_EQ(c6.x, 50000); // fixed: took the first cell but stayed
    EXPECT_FALSE(c6.flags & kPlCompUnplaced);
    EXPECT_EQ(c4.x, 1000);
    EXPECT_EQ(c4.y, 1000 + 3000);
}

TEST_F(PlMatrixTest, NoCellPlacesNothing) {
    ThreeParts(0);
    PlMatrix(0);
    for (int32_t c : comps) {
        EXPECT_TRUE(Comp(c).flags & kPlCompUnplaced);
        EXPECT_EQ(Comp(c).compRef, 0);
    }
    EXPECT_EQ(PlTreeEntries(), PlTreeFreshEntries());
}

} // namespace
