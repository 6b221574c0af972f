// Straightening trials: the mitre of a right-angle bend, its step and
// leg rules, the score limits and strict mode.
#include <vector>

#include "mapfixture.h"
#include "router/mzgrid.h"
#include "router/straighten.h"

namespace {

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

} // namespace
