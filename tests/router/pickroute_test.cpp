// Picking routes: the click search with its tolerance and layer penalty,
// the re-search after a reduction, the round-robin pick, the nearest gap,
// the orientation of a picked gap and the goal width.
#include "db/attrs.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/nets.h"
#include "router/layertab.h"
#include "router/pickroute.h"
#include "goalconnfixture.h"
#include "support/fatal.h"

namespace {

class PickTest : public GoalConnTest {
  protected:
    void SetUp() override {
        GoalConnTest::SetUp();
        Open();
        PickTestReset();
        for (int32_t l = 0; l < g_layerRecCount; ++l)
            g_layerRecs[l].shown = 1;
        DbHdr().extMinX = 0;
        DbHdr().extMaxX = 60000;
        DbHdr().extMinY = 0;
        DbHdr().extMaxY = 60000;
        DbHdr().dispMinX = 0;
        DbHdr().dispMaxX = 60000; // tolerance (60,000 / 20)^2: 3,000 units
    }
    // A connection U1.1 - U2.1 along y on the layer (0: a gap).
    static int32_t Along(int32_t y, int32_t layer) {
        return StoreEnds(1, 1, 1, 2, 1, {{15000, y, layer}, {39000, y, 0}});
    }
    static int32_t Index(int32_t entry) { return ObjEntry(entry)->index; }
};

TEST_F(PickTest, Geometry) {
    const PickGeometry geo = PickGeometryGet();
    EXPECT_EQ(geo.scale, 2); // 60,000 needs a scale of 2 to stay within 32,000
    EXPECT_EQ(geo.tolerance, 1500 * 1500);
    EXPECT_EQ(geo.penalty, 750 * 750);
    DbHdr().dispMaxX = 1000; // tolerance below the penalty: the penalty is 1
    EXPECT_EQ(PickGeometryGet().penalty, 1);
}

TEST_F(PickTest, ClickBeyondTheToleranceForEverySegmentPicksNothing) {
    const int32_t e = Along(30000, 0);
    mzPickSegment(27000, 33100, 1); // 3,100 from the gap
    EXPECT_EQ(Goal()->conn, 0);
    mzPickSegment(27000, 32900, 1);
    EXPECT_EQ(Goal()->conn, Index(e));
    EXPECT_EQ(Goal()->objIndex, e);
    EXPECT_EQ(Goal()->crn1Index, 0);
    EXPECT_EQ(Goal()->crn2Index, 1);
}

TEST_F(PickTest, ASegmentOnTheCurrentLayerWinsATie) {
    const int32_t onTwo = Along(31000, 2), onOne = Along(29000, 1);
    mzPickSegment(27000, 30000, 1);
    EXPECT_EQ(Goal()->objIndex, onOne);
    mzPickSegment(27000, 30000, 2);
    EXPECT_EQ(Goal()->objIndex, onTwo);
    // Without a penalty the first of equals stays.
    mzPickSegmentDb(27000, 30000, 0);
    EXPECT_EQ(Goal()->conn, Index(onTwo));
    EXPECT_EQ(Goal()->objIndex, 0);
}

TEST_F(PickTest, HiddenLayersAndBarredGapsAreNotPicked) {
    const int32_t gap = Along(30000, 0);
    g_layerRecs[0].shown = 0;
    mzPickSegment(27000, 30000, 1);
    EXPECT_EQ(Goal()->conn, 0);
    g_layerRecs[0].shown = 1;
    ObjEntry(gap)->flags |= kObjFlagNoRoute;
    mzPickSegment(27000, 30000, 1);
    EXPECT_EQ(Goal()->conn, 0);
    Net n;
    NetGet(1, &n);
    n.flags |= kNetNoRoute;
    NetPut(1, &n);
    mzPickSegmentDb(27000, 30000, 1);
    EXPECT_EQ(Goal()->conn, 0);
}

TEST_F(PickTest, ReSearchAfterAReductionTakesTheLowestScore) {
    // Corner 1 is collinear on one layer: the reduction drops it, so the
    // gap picked as corners 2-3 becomes corners 1-2.
    const int32_t e =
        StoreEnds(1, 1, 1, 2, 1,
                  {{15000, 30000, 1}, {21000, 30000, 1}, {27000, 30000, 0}, {39000, 30000, 0}});
    mzPickSegment(33000, 30000, 1); // exactly on the gap: score 0
    EXPECT_EQ(Goal()->conn, Index(e));
    EXPECT_EQ(ConnRef(Index(e))->head.count, 3);
    EXPECT_EQ(Goal()->crn1Index, 1);
    EXPECT_EQ(Goal()->crn2Index, 2);
}

TEST_F(PickTest, PickNearTheFarEndReversesTheStoredConnection) {
    const int32_t e = Along(30000, 0);
    const int32_t c = Index(e);
    mzPickSegment(38000, 30500, 1);
    ASSERT_EQ(Goal()->conn, c);
    const int32_t x0 = ConnRef(c)->crn[0].x;
    EXPECT_EQ(x0, 39000);
    EXPECT_EQ(Goal()->crn1Index, 0);
    EXPECT_EQ(Goal()->crn2Index, 1);
    EXPECT_EQ(Goal()->startEnd, 1);
    mzPickSegment(38000, 30500, 1); // now the near end: kept
    const int32_t again = ConnRef(c)->crn[0].x;
    EXPECT_EQ(again, 39000);
}

TEST_F(PickTest, StartEndOfALongInnerGap) {
    // Gap 1-2 of three segments, long: the flag is 1 only near its start.
    const int32_t e =
        StoreEnds(1, 1, 1, 2, 1,
                  {{15000, 30000, 1}, {18000, 30000, 0}, {36000, 30000, 1}, {39000, 30000, 0}});
    MzGoal& g = *Goal();
    g.conn = int16_t(Index(e));
    g.crn1Index = 1;
    g.crn2Index = 2;
    EXPECT_EQ(pickEnd(19000, 30000), 1);
    EXPECT_EQ(g.startEnd, 1);
    g.crn1Index = 1;
    g.crn2Index = 2;
    EXPECT_EQ(pickEnd(24000, 30000), 1); // not twice as near as the midpoint
    EXPECT_EQ(g.startEnd, 0);
}

TEST_F(PickTest, PickEndOutsideTheRoutingArea) {
    DebugSetFlags(1, 0);
    const int32_t e = StoreEnds(1, 1, 1, 2, 1, {{3000, 70000, 0}, {57000, 70000, 0}});
    MzGoal& g = *Goal();
    g.conn = int16_t(Index(e));
    g.crn1Index = 0;
    g.crn2Index = 1;
    EXPECT_EQ(pickEnd(3000, 70000), 0);
    EXPECT_TRUE(Traced("pickEnd: not in routing area"));
    // Crossing the window: reversed when the click is nearer the clipped far end.
    const int32_t f = StoreEnds(1, 1, 1, 2, 1, {{-30000, 30000, 0}, {90000, 30000, 0}});
    g.conn = int16_t(Index(f));
    g.crn1Index = 0;
    g.crn2Index = 1;
    EXPECT_EQ(pickEnd(45000, 30000), 1);
    EXPECT_EQ(ConnRef(Index(f))->head.fromComp, 2); // reversed
}

TEST_F(PickTest, PickEndChecksTheCornerPair) {
    const int32_t e = Along(30000, 0);
    MzGoal& g = *Goal();
    g.conn = int16_t(Index(e));
    g.crn1Index = 1;
    g.crn2Index = 2;
    DebugSetFlags(0, 1);
    EXPECT_FATAL(pickEnd(15000, 30000), kErrPickFirst);
    g.crn1Index = 0;
    g.crn2Index = 0;
    EXPECT_FATAL(pickEnd(15000, 30000), kErrPickLast);
    DebugSetFlags(0, 0); // repaired without the strict flag
    g.crn1Index = 1;
    g.crn2Index = 2;
    EXPECT_EQ(pickEnd(15000, 30000), 1);
    EXPECT_EQ(g.crn1Index, 0);
    EXPECT_EQ(g.crn2Index, 1);
}

TEST_F(PickTest, PickNextRoundRobin) {
    const int32_t a = Index(Along(30000, 0));
    const int32_t b = Index(Along(31500, 0));
    Index(Along(33000, 1));
    mzPickNext(); // reading starts at the second after none (connection 2)
    EXPECT_EQ(Goal()->conn, b);
    EXPECT_EQ(Goal()->objIndex, 0);
    EXPECT_EQ(Goal()->goalWidth, 10);
    mzPickNext(); // after 2: 1, 2, 3 are read as 1 (wrapped from 3) ...
    EXPECT_EQ(Goal()->conn, a);
    mzPickNext(); // after 1: 3, then 1 again; 2 is read last
    EXPECT_EQ(Goal()->conn, a);
}

TEST_F(PickTest, PickNextWithoutGapsReadsCountPlusTwo) {
    Along(30000, 1);
    Along(31500, 1);
    StoreEnds(1, 1, 1, 0, 1, {{15000, 33000, 0}, {39000, 33000, 0}}); // a free end
    Goal()->conn = 5;
    Goal()->objIndex = 5;
    mzPickNext();
    EXPECT_EQ(Goal()->conn, 0);
    EXPECT_EQ(Goal()->objIndex, 0);
    EXPECT_EQ(PickNextReads(), ConnCount() + 2);
}

TEST_F(PickTest, NearestGap) {
    // Gaps 0 (15,000 - 24,000) and 1 (24,000 - 30,000), then a routed segment.
    const int32_t e =
        StoreEnds(2, 1, 1, 2, 1,
                  {{15000, 30000, 0}, {24000, 30000, 0}, {30000, 30000, 1}, {39000, 30000, 0}});
    MzGoal& g = *Goal();
    g.conn = int16_t(Index(e));
    EXPECT_EQ(mzPickNearestGap(27000, 31000, 1), 0); // another net
    EXPECT_EQ(mzPickNearestGap(35000, 31000, 0), 1); // the routed segment does not count
    EXPECT_EQ(g.crn1Index, 1);
    EXPECT_EQ(g.crn2Index, 2);
    EXPECT_EQ(g.goalWidth, 10);
    EXPECT_EQ(mzPickNearestGap(16000, 30000, 2), 1);
    EXPECT_EQ(g.crn1Index, 0);
    // Exactly on the far corner of gap 0, with gap 1 next: gap 1.
    EXPECT_EQ(mzPickNearestGap(24000, 30000, 2), 1);
    EXPECT_EQ(g.crn1Index, 1);
    // A gap outside the routing area is found but not picked.
    const int32_t f = StoreEnds(2, 1, 1, 2, 1, {{3000, 70000, 0}, {57000, 70000, 0}});
    g.conn = int16_t(Index(f));
    EXPECT_EQ(mzPickNearestGap(3000, 70000, 0), 0);
}

TEST_F(PickTest, AdjustWidthSources) {
    DebugSetFlags(1, 0);
    const int32_t e = StoreEnds(1, 1, 1, 2, 1, {{15000, 30000, 0}, {39000, 30000, 0}});
    Conn rec;
    ConnGet(Index(e), &rec);
    rec.crn[0].width = 7;
    MzGoal& g = *Goal();
    g.crn1Index = 0;
    Net n;
    NetGet(1, &n);
    n.width = 12;
    NetPut(1, &n);
    EXPECT_EQ(adjustWidth(&rec), 12);
    EXPECT_TRUE(Traced("mzPick/adjustWidth: default"));
    Attribute a{};
    a.kind = 18;
    a.key1Type = 10;
    a.key1 = 1;
    a.key2 = 0;
    a.value1 = a.value3 = 20 * DbHdr().connGrid;
    AttrPut(&a);
    EXPECT_EQ(adjustWidth(&rec), 20);
    EXPECT_TRUE(Traced("mzPick/adjustWidth: MzGoal->crn1Index == 0 and net attr found"));
    rec.crn[0].layer = 1;
    EXPECT_EQ(adjustWidth(&rec), 7);
    EXPECT_TRUE(Traced("mzPick/adjustWidth: MzGoal->crn1Index > 0 or lev != 0"));
    EXPECT_TRUE(Traced("MzGoal->crn1Index == 0"));
}

} // namespace
