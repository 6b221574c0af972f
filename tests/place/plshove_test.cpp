// Shoving and clearing: the shove's fatal conditions and its depth-0 step,
// pushing a neighbour, the shove set, and clearing a part dropped into a
// dense row (no overlap left or a clean failure, the tree in step).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "place/plclear.h"
#include "place/plshove.h"
#include "ploutlinedfixture.h"

namespace {

class PlShoveTest : public PlOutlinedTest {
  protected:
    void SetUp() override {
        PlOutlinedTest::SetUp();
        Board(40000, 30000, 1000);
    }
    int32_t Shove(int32_t c, int32_t move, int32_t forbidden, int32_t depth) {
        AltPush();
        const int32_t r = PlShoveComp(c, move, forbidden, depth, 0);
        AltPop(true);
        return r;
    }
};

TEST_F(PlShoveTest, FatalConditionsAndRefusals) {
    const int32_t a = At(5000, 5000);
    const int32_t fixed = At(15000, 5000, kPlCompFixed);
    const int32_t locked = At(20000, 5000, kPlCompLocked);
    const int32_t unplaced = At(25000, 5000, kPlCompUnplaced);
    EXPECT_FATAL(Shove(a, kPlMoveUp, kPlMoveUp, 0), kErrPlShoveForbidden);
    AltForget();
    EXPECT_FATAL(Shove(a, 2, 0, 0), kErrPlShoveMove);
    AltForget();
    EXPECT_FATAL(Shove(a, kPlMoveUp, 0, 11), kErrPlShoveDepth);
    AltForget();
    EXPECT_FATAL(Shove(unplaced, kPlMoveUp, 0, 0), kErrPlShoveUnplaced);
    AltForget();
    EXPECT_EQ(Shove(fixed, kPlMoveUp, 0, 0), 0);
    EXPECT_EQ(Shove(locked, kPlMoveUp, 0, 0), 0);
    SetHeader(1, 0);
    TraceCapture trace;
    EXPECT_EQ(Shove(a, kPlMoveUp, 0, 0), 0);
    EXPECT_NE(std::find(trace.Lines().begin(), trace.Lines().end(), "PlShoveComp: No grid!"),
              trace.Lines().end());
}

TEST_F(PlShoveTest, DepthZeroKeepsTheStepOnlyWhenTheCostDoesNotRise) {
    const int32_t a = At(5000, 5000);
    const int32_t b = At(6800, 5000); // 400 apart
    EXPECT_EQ(Shove(a, kPlMoveLeft, 0, 0), 1);
    EXPECT_EQ(Comp(a).x, 4000);
    EXPECT_FALSE(Comp(a).flags & kPlCompLocked);
    EXPECT_EQ(Shove(a, kPlMoveRight, 0, 0), 1); // back to 400 apart: no overlap
    EXPECT_EQ(Shove(a, kPlMoveRight, 0, 0), 0); // would overlap b
    EXPECT_EQ(Comp(a).x, 5000);
    EXPECT_EQ(Comp(b).x, 6800);
    EXPECT_EQ(PlTreeEntries(), PlTreeFreshEntries());
}

TEST_F(PlShoveTest, ADeeperShovePushesTheNeighbourAside) {
    const int32_t a = At(5000, 5000);
    const int32_t b = At(6800, 5000);
    EXPECT_EQ(Shove(a, kPlMoveRight, 0, 2), 1);
    EXPECT_EQ(Comp(a).x, 6000);
    EXPECT_GE(Comp(b).x, 7800);
    EXPECT_EQ(PlTreeEntries(), PlTreeFreshEntries());
}

TEST_F(PlShoveTest, ShoveSetListsOverlappingMovableParts) {
    const int32_t a = At(5000, 5000);
    const int32_t b = At(5500, 5000);
    At(4500, 5000, kPlCompLocked);
    At(5000, 5500, kPlCompUnplaced);
    const int32_t far = At(15000, 5000);
    (void)far;
    int16_t set[kPlShoveSetMax];
    PlTreeInit();
    ASSERT_EQ(findCompSet(a, PlCompRef(a), set), 1);
    EXPECT_EQ(set[0], b);
    const int32_t bare = AddPart(AddSymbol("BARE", {}), {});
    TraceCapture trace;
    EXPECT_EQ(findCompSet(bare, PlCompRef(bare), set), 0);
    EXPECT_EQ(trace.Lines().back(), "*findCompSet: No comp outline for P6");
}

TEST_F(PlShoveTest, APartHitThroughTwoOutlinesIsListedTwice) {
    const int32_t both2 = RowSymbol("R2IO", 2, 1000, int16_t(both));
    AddRect(kObsPlaceOutline, both2, -700, -300, 700, 1300);
    AddRect(kObsInsertionOutline, both2, -600, -200, 600, 1200);
    const int32_t a = At(5000, 5000);
    Part p;
    p.x = 5500;
    p.y = 5000;
    const int32_t b = AddPart(both2, p);
    PlTreeInit();
    int16_t set[kPlShoveSetMax];
    ASSERT_EQ(findCompSet(a, PlCompRef(a), set), 2);
    EXPECT_EQ(set[0], b);
    EXPECT_EQ(set[1], b);
}

TEST_F(PlShoveTest, UnoverlapClearsAPartDroppedIntoADenseRow) {
    for (int32_t n : {10, 20}) {
        SCOPED_TRACE(n);
        const int32_t first = CompCount() + 1;
        const int32_t y = n == 10 ? 5000 : 20000;
        for (int32_t i = 0; i < n; ++i)
            At(2000 + 1800 * i, y);
        const int32_t dropped = At(2000 + 1800 * (n / 2) + 900, y);
        PlTreeInit();
        PlUnoverlap(dropped, PlCompRef(dropped), 4, 0);
        EXPECT_EQ(AltDepth(), 0);
        bool clear = true;
        for (int32_t c = first; c <= dropped; ++c)
            clear = clear && PlTreeCheckComp(c, PlCompRef(c));
        if (!clear) {
            EXPECT_FALSE(PlTreeCheckComp(dropped, PlCompRef(dropped)));
            EXPECT_FALSE(PlCompRef(dropped)->flags & kPlCompUnplaced);
        }
        EXPECT_TRUE(clear) << "a roomy row has space to clear";
        EXPECT_EQ(PlTreeEntries(), PlTreeFreshEntries());
        PlTreeVerify();
        PlTreeFree();
    }
}

TEST_F(PlShoveTest, ClearingFailsAgainstLockedNeighboursAndPassesWithoutOutline) {
    At(5000, 5000, kPlCompLocked);
    const int32_t dropped = At(5500, 5000);
    PlTreeInit();
    {
        TraceCapture trace;
        AltPush();
        Component r = Comp(dropped);
        EXPECT_EQ(clearOneComp(dropped, &r, 3, 0), 0);
        AltPop(false);
    }
    const int32_t outside = At(45000, 5000);
    EXPECT_EQ(clearOneComp(outside, PlCompRef(outside), 3, 0), 0);
    const int32_t bare = AddPart(AddSymbol("BARE", {}), {10000, 10000});
    TraceCapture trace;
    EXPECT_EQ(clearOneComp(bare, PlCompRef(bare), 3, 0), 1);
    EXPECT_EQ(trace.Lines().back(), "*clearOneComp: No comp outline for P4");
}

} // namespace
