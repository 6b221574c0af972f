// DFM phases on pairs of one net: acute junctions, copper share from one
// pin (collapse and extension), via scrunching, and nets of one
// connection.
#include <gtest/gtest.h>

#include "db/layers.h"
#include "router/objtable.h"
#include "dfmfixture.h"

namespace {

class DfmShareTest : public DfmTest {
  protected:
    void SetUp() override {
        DfmTest::SetUp();
        Open();
        RecordTrials(0);
        Catch();
    }
    static int32_t Run(DfmWorker w, int32_t n, int32_t mode = 1) {
        Conn image = Stored(n);
        return w(n, ObjFindConn(n), &image, mode, 1);
    }
    static std::vector<std::pair<int32_t, int32_t>> Points(int32_t n) {
        const Conn c = Stored(n);
        std::vector<std::pair<int32_t, int32_t>> out;
        for (int32_t i = 0; i < c.head.count; ++i)
            out.push_back({int32_t(c.crn[i].x), int32_t(c.crn[i].y)});
        return out;
    }
    typedef std::vector<std::pair<int32_t, int32_t>> Pts;
};

TEST_F(DfmShareTest, AcuteJunctionGetsAnOrthogonalLeg) {
    const int32_t a = Loaded(1, {{20000, 30000, 1}, {40000, 30000, 0}});
    const int32_t b = Loaded(1, {{20000, 30000, 1}, {30000, 35000, 0}});
    EXPECT_EQ(Run(&DFMClearSharedAcutes, a), 1);
    EXPECT_TRUE(Traced("DFM-acute: found common point acute"));
    EXPECT_TRUE(Traced("   seg2 is within seg1"));
    EXPECT_TRUE(Traced("DFM-acute: IT WORKED!!!"));
    EXPECT_EQ(Points(b), (Pts{{20000, 30000}, {30000, 30000}, {30000, 35000}}));
    EXPECT_EQ(Points(a), (Pts{{20000, 30000}, {40000, 30000}}));
}

TEST_F(DfmShareTest, AcuteJunctionRefusedByTheCheckKeepsTheCopper) {
    const int32_t a = Loaded(1, {{20000, 30000, 1}, {40000, 30000, 0}});
    const int32_t b = Loaded(1, {{20000, 30000, 1}, {30000, 35000, 0}});
    RecordTrials(100);
    EXPECT_EQ(Run(&DFMClearSharedAcutes, a), 0);
    EXPECT_TRUE(Traced("DFM-acute: failed space check"));
    EXPECT_EQ(Points(b), (Pts{{20000, 30000}, {30000, 35000}}));
}

TEST_F(DfmShareTest, OrthogonalSegmentOfAnAcuteJunctionIsLeft) {
    // A's segment is slanted, B's is orthogonal: B is never bent.
    const int32_t a = Loaded(1, {{20000, 30000, 1}, {30000, 35000, 0}});
    const int32_t b = Loaded(1, {{20000, 30000, 1}, {40000, 30000, 0}});
    Run(&DFMClearSharedAcutes, b); // B in hand: only A may change
    Run(&DFMClearSharedAcutes, a);
    EXPECT_EQ(Points(b), (Pts{{20000, 30000}, {40000, 30000}}));
}

TEST_F(DfmShareTest, CrossingMiddlesAreLeft) {
    const int32_t a = Loaded(1, {{20000, 30000, 1}, {40000, 30000, 0}});
    const int32_t b = Loaded(1, {{25000, 27000, 1}, {30000, 33000, 0}});
    EXPECT_EQ(Run(&DFMClearSharedAcutes, a), 0);
    EXPECT_TRUE(Traced("DFM-Acute: segs cross"));
    EXPECT_EQ(Points(b), (Pts{{25000, 27000}, {30000, 33000}}));
}

TEST_F(DfmShareTest, NetOfOneConnectionGetsNothing) {
    const int32_t a = Loaded(1, {{20000, 30000, 1, 1}, {25000, 30000, 1}, {30000, 35000, 0}});
    Loaded(2, {{20000, 30000, 1}, {30000, 32000, 0}}); // another net
    for (DfmWorker w : {&DFMShareVias, &dfmShareStep, &DFMClearSharedAcutes})
        EXPECT_EQ(Run(w, a), 0);
    EXPECT_TRUE(s_trials.empty());
}

TEST_F(DfmShareTest, CopperAlreadySharedFromThePinStays) {
    // U1 pin 1 at (15,000, 15,000).
    const int32_t a = Loaded(1, {{15000, 15000, 1}, {20000, 15000, 1}, {20000, 25000, 0}}, 1, 1);
    const int32_t b = Loaded(1, {{15000, 15000, 1}, {20000, 15000, 1}, {30000, 15000, 0}}, 1, 1);
    EXPECT_EQ(Run(&dfmShareStep, a), 0);
    EXPECT_TRUE(s_trials.empty());
    EXPECT_EQ(Points(b), (Pts{{15000, 15000}, {20000, 15000}, {30000, 15000}}));
}

TEST_F(DfmShareTest, CollapseSharesTheStartAndRefusalsChangeNothing) {
    const int32_t a = Loaded(1, {{15000, 15000, 1}, {20000, 15000, 1}, {20000, 25000, 0}}, 1, 1);
    const int32_t b = Loaded(
        1, {{15000, 15000, 1}, {15000, 20000, 1}, {20000, 20000, 1}, {30000, 20000, 0}}, 1, 1);
    RecordTrials(100);
    EXPECT_EQ(Run(&dfmShareStep, a), 0);
    EXPECT_TRUE(Traced("DFM-collapse: FAILED"));
    EXPECT_EQ(int32_t(Stored(b).crn[1].x), 15000);
    RecordTrials(0);
    // Equal lengths: B takes A's start; the step still answers no change.
    EXPECT_EQ(Run(&dfmShareStep, a), 0);
    EXPECT_EQ(Points(b), (Pts{{15000, 15000}, {20000, 15000}, {20000, 20000}, {30000, 20000}}));
    EXPECT_EQ(Points(a), (Pts{{15000, 15000}, {20000, 15000}, {20000, 25000}}));
}

TEST_F(DfmShareTest, ExtendShareBendsAnAcuteBranchOntoTheOrthogonalOne) {
    // Both leave the pin along +x to (20,000, 15,000); then A goes on in x
    // and B turns off at 45 degrees.
    const int32_t a = Loaded(1, {{15000, 15000, 1}, {20000, 15000, 1}, {30000, 15000, 0}}, 1, 1);
    const int32_t b = Loaded(
        1, {{15000, 15000, 1}, {20000, 15000, 1}, {25000, 20000, 1}, {25000, 26000, 0}}, 1, 1);
    EXPECT_EQ(Run(&dfmShareStep, a), 0);
    EXPECT_TRUE(Traced("DFM - extendShare modified conn."));
    const Conn c = Stored(b);
    bool along = false;
    for (int32_t i = 0; i < c.head.count; ++i)
        along = along || (c.crn[i].x == 25000 && c.crn[i].y == 15000);
    EXPECT_TRUE(along);
    EXPECT_EQ(Points(a), (Pts{{15000, 15000}, {20000, 15000}, {30000, 15000}}));
}

TEST_F(DfmShareTest, TouchingViasBecomeOne) {
    // The layers as a board file leaves them: no enable bit, routable.
    ASSERT_EQ(LayerRef(1)->flags & 1, 0);
    ASSERT_EQ(LayerRef(2)->flags & 1, 0);
    const int32_t a = Loaded(1, {{20000, 30000, 1}, {25000, 30000, 2, 1}, {30000, 30000, 0}});
    const int32_t b = Loaded(1, {{20000, 40000, 1}, {25000, 30400, 2, 1}, {30000, 40000, 0}});
    EXPECT_EQ(Run(&DFMShareVias, a), 1);
    EXPECT_TRUE(Traced("dist = 400.000000"));
    const Conn c = Stored(b);
    bool shared = false;
    for (int32_t i = 0; i < c.head.count; ++i)
        shared = shared || (c.crn[i].via && c.crn[i].x == 25000 && c.crn[i].y == 30000);
    EXPECT_TRUE(shared);
    // Vias too far apart stay.
    const int32_t d = Loaded(1, {{40000, 40000, 1}, {45000, 45000, 2, 1}, {50000, 40000, 0}});
    EXPECT_EQ(Run(&DFMShareVias, d), 0);
}

TEST_F(DfmShareTest, TouchingViasOnLayersNotRoutedStay) {
    {
        DbTrustedScope trusted;
        for (int32_t l = 1; l <= 2; ++l) {
            Layer rec = *LayerRef(l);
            rec.flags |= kLayerNoRoute2;
            LayerPut(l, &rec);
        }
    }
    const int32_t a = Loaded(1, {{20000, 30000, 1}, {25000, 30000, 2, 1}, {30000, 30000, 0}});
    const int32_t b = Loaded(1, {{20000, 40000, 1}, {25000, 30400, 2, 1}, {30000, 40000, 0}});
    EXPECT_EQ(Run(&DFMShareVias, a), 0);
    EXPECT_TRUE(s_trials.empty());
    EXPECT_EQ(int32_t(Stored(b).crn[1].y), 30400);
}

TEST_F(DfmShareTest, StartsThatDifferSlightlyArePassedOver) {
    // Both on U1's pin 1, one corner a unit off the pin.
    const int32_t a = Loaded(1, {{15000, 15000, 1}, {20000, 15000, 1}, {20000, 25000, 0}}, 1, 1);
    const int32_t b = Loaded(
        1, {{15001, 15000, 1}, {15001, 20000, 1}, {20000, 20000, 1}, {30000, 20000, 0}}, 1, 1);
    EXPECT_EQ(Run(&dfmShareStep, a), 0);
    EXPECT_TRUE(s_trials.empty());
    EXPECT_EQ(int32_t(Stored(b).crn[0].x), 15001);
}

TEST_F(DfmShareTest, ExtendShareShiftsBeyondAShortGuide) {
    // A's next segment is too short to take B's next corner: B's next
    // segment is shifted along A by A's next segment instead.
    const int32_t a = Loaded(1, {{15000, 15000, 1}, {20000, 15000, 1}, {23000, 15000, 0}}, 1, 1);
    const int32_t b = Loaded(
        1, {{15000, 15000, 1}, {20000, 15000, 1}, {30000, 20000, 1}, {40000, 20000, 0}}, 1, 1);
    EXPECT_EQ(Run(&dfmShareStep, a), 0);
    EXPECT_EQ(Points(b), (Pts{{15000, 15000}, {23000, 15000}, {33000, 20000}, {40000, 20000}}));
}

} // namespace
