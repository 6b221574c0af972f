// Next Comp, Select Next, Finish Next and Select driven through the tool's
// command table: which component is taken, whether it follows the cursor
// or is shown where it stands, what is committed first, and the clusters
// that picking a member leaves.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "db/names.h"
#include "place/plmodel.h"
#include "place/tool/upnext.h"
#include "upnextfixture.h"

namespace {

class UpPickNextTest : public UpNextTest {
  protected:
    static RecordingPlaceHost::DlgStep Criteria(const char* name, int32_t onlyUnplaced) {
        RecordingPlaceHost::DlgStep s;
        s.texts = {{kCriteriaName, name}};
        s.values = {{kCriteriaUnplaced, onlyUnplaced}, {kCriteriaClearLock, 0}};
        return s;
    }
};

TEST_F(UpPickNextTest, NextCompTakesAnUnplacedComponentToTheCursor) {
    const int32_t a = Place(two, 5000, 5000, kPlCompUnplaced | kPlCompChosen);
    Place(two, 0, 0);
    Start();
    const Component before = Stored(a);
    TraceCapture trace;
    driver.At(20000, 30000);
    EXPECT_EQ(driver.Send(kUpNextComp), 1);
    // The marks were committed before the selection opened.
    EXPECT_EQ(CompRef(a)->flags & (kPlCompUnplaced | kPlCompChosen), 0);
    EXPECT_EQ(CompRef(a)->x, 5000);
    ASSERT_EQ(AltDepth(), 1);
    EXPECT_EQ(g_up.selCount, 1);
    EXPECT_EQ(Stored(a).x, 20000);
    EXPECT_EQ(Stored(a).y, 30000);
    EXPECT_EQ(Stored(a).minX - before.minX, 15000);
    EXPECT_EQ(Stored(a).maxY - before.maxY, 25000);
    EXPECT_TRUE(host.Saw("ObjectInfoPrint 0 9 1 0 0"));
    EXPECT_TRUE(host.Saw("menuEnableCommand 30254 1"));
    EXPECT_TRUE(LinesOf("ShowTargetPoint").empty());
    EXPECT_NE(host.hook, nullptr);
    std::vector<std::string> traced;
    for (const std::string& l : TraceCapture::Lines())
        if (l.rfind("UpPickNext: ", 0) == 0) traced.push_back(l);
    EXPECT_EQ(traced,
              (std::vector<std::string>{"UpPickNext: calling PlNext", "UpPickNext: selected P1 (1)",
                                        "UpPickNext: selected P1 (1)"}));
    // The drop puts it there.
    driver.Send(kUpButtonUp);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(CompRef(a)->x, 20000);
}

TEST_F(UpPickNextTest, APlacedComponentIsShownWhereItStands) {
    AddRect(kObsBoardOutline, 0, 0, 0, 10000, 10000);
    const int32_t inside = Place(two, 5000, 5000, kPlCompChosen);
    Start();
    driver.At(100, 100);
    driver.Send(kUpNextComp);
    ASSERT_EQ(AltDepth(), 1);
    EXPECT_TRUE(host.Saw("ShowTargetPoint 5000 5000"));
    EXPECT_EQ(Stored(inside).x, 5000);
    EXPECT_EQ(CompRef(inside)->flags & kPlCompChosen, 0);
    driver.Send(kUpAbort);
    // Off the board it follows the cursor.
    const int32_t outside = Place(two, 50000, 50000, kPlCompChosen);
    UpRelease();
    Start();
    driver.Send(kUpNextComp);
    ASSERT_EQ(AltDepth(), 1);
    EXPECT_TRUE(LinesOf("ShowTargetPoint").empty());
    EXPECT_EQ(Stored(outside).x, 100);
    driver.Send(kUpAbort);
}

TEST_F(UpPickNextTest, AComponentWithoutFootprintStandsStill) {
    const int32_t bare = Place(0, 7000, 8000, kPlCompChosen);
    Start();
    driver.Send(kUpNextComp);
    ASSERT_EQ(AltDepth(), 1);
    EXPECT_TRUE(host.Saw("ShowTargetPoint 7000 8000"));
    EXPECT_EQ(Stored(bare).x, 7000);
    driver.Send(kUpAbort);
}

TEST_F(UpPickNextTest, NothingLeftAsksToRecycle) {
    const int32_t a = Place(two, 5000, 5000);
    Start();
    host.confirms = {0};
    EXPECT_EQ(driver.Send(kUpNextComp), 1);
    EXPECT_TRUE(host.Saw("ConfirmMessage All components are placed.  Recycle?"));
    EXPECT_EQ(host.lines.back(), "SetCursorKind 2");
    EXPECT_EQ(AltDepth(), 0);
    // Yes: the criteria dialog marks it, and it is offered again.
    host.Take();
    host.script = {Criteria("P1", 0)};
    driver.Send(kUpNextComp);
    EXPECT_TRUE(host.Saw("DlgOpen 57059 "));
    ASSERT_EQ(AltDepth(), 1);
    EXPECT_TRUE(host.Saw("ShowTargetPoint 5000 5000"));
    EXPECT_EQ(CompRef(a)->flags & (kPlCompChosen | kPlCompLeftOut), 0);
    driver.Send(kUpAbort);
    // The criteria cancelled: nothing.
    host.Take();
    host.script = {{{}, {}, false}};
    driver.Send(kUpNextComp);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_TRUE(LinesOf("ShowTargetPoint").empty());
}

TEST_F(UpPickNextTest, FinishNextPlacesTheNextOrSaysAllArePlaced) {
    AddRect(kObsBoardOutline, 0, 0, 0, 30000, 30000);
    Place(two, 5000, 5000);
    const int32_t next = Place(two, 0, 0, kPlCompUnplaced);
    Start();
    driver.At(20000, 20000);
    driver.Send(kUpFinishNext);
    // Taken to the cursor, through Quick Place, committed.
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(CompRef(next)->flags & kPlCompUnplaced, 0);
    EXPECT_NE(CompRef(next)->x, 0);
    EXPECT_TRUE(host.Saw("menuEnableCommand 30254 1"));
    EXPECT_EQ(host.lines.back(), "SetCursorKind 2");
    // Over a selection with nothing left to offer.
    driver.Click(5000, 5000);
    ASSERT_EQ(AltDepth(), 1);
    host.Take();
    driver.Send(kUpFinishNext);
    EXPECT_TRUE(host.Saw("AlertMessage All components are placed."));
    EXPECT_FALSE(host.Saw("ConfirmMessage All components are placed.  Recycle?"));
    EXPECT_EQ(AltDepth(), 0);
}

TEST_F(UpPickNextTest, SelectNextTakesTheUsersChoice) {
    for (int32_t i = 0; i < 3; ++i)
        Place(two, 1000 * i, 0, kPlCompUnplaced);
    Start();
    host.script = {{{}, {{52571, 0}, {52572, 1}}, true}};
    driver.At(40000, 40000);
    driver.Send(kUpSelectNext);
    // The second radio's label names the component taken.
    const std::string label = host.items[52572].text;
    const int32_t chosen = CompFind(label.substr(0, label.find('.')).c_str());
    ASSERT_NE(chosen, 0) << label;
    ASSERT_EQ(AltDepth(), 1);
    EXPECT_EQ(g_up.selCount, 1);
    EXPECT_EQ(Stored(chosen).x, 40000);
    driver.Send(kUpAbort);
    // Cancelled: nothing is selected.
    host.Take();
    host.script = {{{}, {}, false}};
    driver.Send(kUpSelectNext);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(host.lines.back(), "SetCursorKind 2");
}

TEST_F(UpPickNextTest, PickingAClusterMemberLeavesTheRestAsACluster) {
    SetHeader(100); // members move less than 10,000
    const int32_t three = RowSymbol("THREE", 3, 1000, both);
    const int32_t big = RowSymbol("BIG", 40, 100, both);
    const int32_t m = Member(two, 10000, 10000, 0, 1);
    const int32_t a = Member(three, 10000, 10000, kPlCompClusterMember, 1);
    const int32_t b = Member(big, 10000, 10000, kPlCompClusterMember, 1); // ranked first
    Start();
    TraceCapture trace;
    driver.At(60000, 60000);
    driver.Send(kUpNextComp);
    // b is out of the cluster and follows the cursor.
    EXPECT_EQ(CompRef(b)->compRef, 0);
    EXPECT_EQ(CompRef(b)->flags & 0x0E, 0);
    ASSERT_EQ(AltDepth(), 1);
    EXPECT_EQ(g_up.selCount, 1);
    EXPECT_EQ(Stored(b).x, 60000);
    // The rest: the most pins make a the master, with the radius of their
    // areas; m's box centre goes to its reflection through the cluster's.
    const Component& rm = *CompRef(m);
    const Component& ra = *CompRef(a);
    EXPECT_EQ(rm.compRef, a);
    EXPECT_EQ(ra.compRef, a);
    EXPECT_EQ(rm.flags & kPlCompClusterMember, kPlCompClusterMember);
    const int64_t area = (int64_t(rm.maxX) - rm.minX) * (rm.maxY - rm.minY) + 1 +
                         (int64_t(ra.maxX) - ra.minX) * (ra.maxY - ra.minY) + 1;
    EXPECT_EQ(ra.value32, int32_t(std::sqrt(double(area) / std::numbers::pi)));
    EXPECT_EQ(rm.value32, 0);
    EXPECT_EQ(ra.y, 10000); // its centre is the cluster's
    EXPECT_EQ(rm.y, 11000); // centre 10,500 mirrored through 11,000
    EXPECT_EQ(rm.x, 10000);
    bool traced = false;
    for (const std::string& l : TraceCapture::Lines())
        traced |= l == "recalcCluster: master comp is #2 \"P2\"";
    EXPECT_TRUE(traced);
    EXPECT_TRUE(host.Saw("PaintAlt"));
    driver.Send(kUpAbort);
}

TEST_F(UpPickNextTest, ALoneClusterMasterIsDetached) {
    const int32_t m = Member(two, 10000, 10000, 0, 1);
    Start();
    driver.Send(kUpNextComp);
    EXPECT_EQ(CompRef(m)->compRef, 0);
    ASSERT_EQ(AltDepth(), 1);
    EXPECT_FALSE(host.Saw("PaintAlt"));
    driver.Send(kUpAbort);
}

TEST_F(UpPickNextTest, SelectTakesEveryMatch) {
    const int32_t a = Place(two, 1000, 0, kPlCompUnplaced);
    const int32_t b = Place(two, 2000, 0, kPlCompUnplaced);
    const int32_t c = Place(two, 3000, 0);
    Place(two, 4000, 0);
    Start();
    // All unplaced: they follow the cursor.
    host.script = {Criteria("", 1)};
    driver.At(50000, 50000);
    driver.Send(kUpSelect);
    ASSERT_EQ(AltDepth(), 1);
    EXPECT_EQ(g_up.selCount, 2);
    EXPECT_EQ(host.window.FollowCursor, 1);
    EXPECT_EQ(Stored(a).x, 50000);
    EXPECT_EQ(Stored(b).x, 50000);
    EXPECT_EQ(Stored(b).minX - CompRef(b)->minX, 48000);
    EXPECT_EQ(LinesOf("PaintAltLast").size(), 2u);
    driver.Send(kUpAbort);
    // With placed ones among them nothing follows; one alone always does.
    struct Case {
        const char* name;
        int16_t follow;
        int32_t x;
    } cases[] = {{"P?", 0, 3000}, {"P3", 1, 50000}};
    for (const Case& t : cases) {
        host.Take();
        host.script = {Criteria(t.name, 0)};
        driver.Send(kUpSelect);
        ASSERT_EQ(AltDepth(), 1) << t.name;
        EXPECT_EQ(host.window.FollowCursor, t.follow) << t.name;
        EXPECT_EQ(Stored(c).x, t.x) << t.name;
        EXPECT_EQ(g_up.selCount, t.follow ? 1 : 4) << t.name;
        driver.Send(kUpAbort);
    }
    // Cancelled: nothing.
    host.Take();
    host.script = {{{}, {}, false}};
    driver.Send(kUpSelect);
    EXPECT_EQ(AltDepth(), 0);
}

} // namespace
