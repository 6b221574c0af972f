// recalcCluster over a journal level: the master by pin count, the radius
// from 64-bit areas, the components drawn in through their old master,
// the moves to the reflected centre within reach, and its fatal checks.
#include "place/tool/upcluster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "place/plmodel.h"
#include "upnextfixture.h"

namespace {

class UpClusterTest : public UpNextTest {
  protected:
    static void Take(int32_t c) {
        Component r;
        AltSave(kRecComponent, c, &r);
        AltPut(kRecComponent, c, 0, &r);
    }
    static int64_t Area(const Component& r) {
        return (int64_t(r.maxX) - r.minX) * (int64_t(r.maxY) - r.minY) + 1;
    }
};

TEST_F(UpClusterTest, MasterRadiusAndMoves) {
    SetHeader(10); // members move less than 1,000
    // A box of 50,200 x 50,200: its area alone passes 32 bits.
    const int16_t t = int16_t(both);
    const int32_t wide = AddSymbol("WIDE", {{0, 0, t}, {50000, 50000, t}, {0, 50000, t}});
    const int32_t near = Place(two, 25400, 24000); // centre (25,400, 24,500): 800 and 1,000 off
    const int32_t far = Place(two, 30000, 10000);  // 10,000 and 29,000 from its mirror
    const int32_t big = Place(wide, 0, 0);         // centre (25,000, 25,000)
    const int32_t drawn = Member(two, 0, 0, kPlCompClusterMember, int16_t(near));
    const int32_t other = Member(two, 0, 0, kPlCompClusterMember, 99);
    AltPush();
    Take(near);
    Take(far);
    Take(big);
    const Component farBefore = *PlCompRef(far);
    TraceCapture trace;
    EXPECT_EQ(recalcCluster(), big);
    for (int32_t c : {near, far, big, drawn})
        EXPECT_EQ(PlCompRef(c)->compRef, big) << c;
    EXPECT_EQ(PlCompRef(other)->compRef, 99);
    const int64_t area = Area(*PlCompRef(near)) + Area(*PlCompRef(far)) + Area(*PlCompRef(big)) +
                         Area(*PlCompRef(drawn));
    EXPECT_GT(Area(*PlCompRef(big)), int64_t(INT32_MAX));
    EXPECT_EQ(PlCompRef(big)->value32, int32_t(std::sqrt(double(area) / std::numbers::pi)));
    EXPECT_EQ(PlCompRef(near)->value32, 0);
    // The cluster box spans the journal's three (-100 .. 50,100): centre
    // (25,000, 25,000). near goes to its mirror in x (800 away) but not in
    // y (exactly the reach); far and the centred big one stay; drawn was not in the journal when
    // the box was taken but is now, and its mirror is out of reach.
    EXPECT_EQ(PlCompRef(near)->x, 24600);
    EXPECT_EQ(PlCompRef(near)->y, 24000);
    EXPECT_EQ(PlCompRef(near)->minX, 24600 - 100);
    EXPECT_EQ(PlCompRef(far)->x, farBefore.x);
    EXPECT_EQ(PlCompRef(far)->y, farBefore.y);
    EXPECT_EQ(PlCompRef(big)->x, 0);
    EXPECT_EQ(PlCompRef(drawn)->x, 0);
    EXPECT_EQ(TraceCapture::Lines().back(), "recalcCluster: master comp is #3 \"P3\"");
    AltPop(false);
}

TEST_F(UpClusterTest, FirstOfEqualPinCountsInJournalOrder) {
    const int32_t a = Place(two, 0, 0);
    const int32_t b = Place(two, 0, 0);
    AltPush();
    Take(b);
    Take(a);
    EXPECT_EQ(recalcCluster(), b);
    AltPop(false);
}

TEST_F(UpClusterTest, FatalChecks) {
    Place(two, 0, 0);
    AltPush();
    EXPECT_FATAL(recalcCluster(), kErrUpClusterEmpty);
    Take(1);
    g_up.selCount = -1;
    EXPECT_FATAL(recalcCluster(), kErrUpClusterCount);
    g_up.selCount = 0;
    AltPush();
    g_debug = 1;
    EXPECT_FATAL(recalcCluster(), kErrUpClusterDepth);
    g_debug = 0;
    AltForget();
}

} // namespace
