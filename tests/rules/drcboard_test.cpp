// The changed stretch, the corner test, the checks of a journal level, pad
// clearances, the net rules, obstacle spacing, the drivers and the removal
// of violating copper.
#include <algorithm>
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/attrs.h"
#include "db/dbheader.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/shellsvc.h"
#include "headless/headless.h"
#include "router/costs.h"
#include "router/installpath.h"
#include "router/passflags.h"
#include "router/urstate.h"
#include "rules/changedstretch.h"
#include "rules/cornernotacute.h"
#include "rules/drcboard.h"
#include "rulefixture.h"

namespace {

class ChangedStretchTest : public MapTest {
  protected:
    static Conn Image(std::initializer_list<CrnSpec> corners) { return ConnOf(0, corners); }
};

TEST_F(ChangedStretchTest, RangesStayInsideTheNewImage) {
    const Conn base = Image({{0, 0, 1}, {10, 0, 1}, {10, 10, 1}, {20, 10, 1}, {20, 20, 0}});
    struct Case {
        const char* what;
        Conn now;
        bool changed;
        int32_t first, last;
    } cases[] = {
        {"same", base, false, 0, 0},
        {"middle corner moved",
         Image({{0, 0, 1}, {10, 0, 1}, {12, 10, 1}, {20, 10, 1}, {20, 20, 0}}), true, 1, 3},
        {"layer of the last segment",
         Image({{0, 0, 1}, {10, 0, 1}, {10, 10, 1}, {20, 10, 2}, {20, 20, 0}}), true, 3, 4},
        {"end point moved", Image({{0, 0, 1}, {10, 0, 1}, {10, 10, 1}, {20, 10, 1}, {20, 25, 0}}),
         true, 3, 4},
        {"start point moved", Image({{1, 0, 1}, {10, 0, 1}, {10, 10, 1}, {20, 10, 1}, {20, 20, 0}}),
         true, 0, 1},
        {"via added", Image({{0, 0, 1}, {10, 0, 1}, {10, 10, 1, 1}, {20, 10, 1}, {20, 20, 0}}),
         true, 2, 2},
        {"two corners fewer", Image({{0, 0, 1}, {20, 10, 1}, {20, 20, 0}}), true, 0, 1},
        {"shorter, ends alike", Image({{0, 0, 1}, {10, 0, 1}, {20, 20, 0}}), true, 1, 2},
        {"longer, nothing differs where both have corners",
         Image({{0, 0, 1},
                {10, 0, 1},
                {10, 10, 1},
                {20, 10, 1},
                {20, 20, 1},
                {30, 20, 1},
                {30, 30, 0}}),
         true, 4, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int32_t f = -1, l = -1;
        EXPECT_EQ(ChangedStretch(&c.now, &base, &f, &l), c.changed);
        if (!c.changed) continue;
        EXPECT_EQ(f, c.first);
        EXPECT_EQ(l, c.last);
        EXPECT_GE(l, f);
        EXPECT_LE(l, c.now.head.count - 1);
    }
    // a shorter record never reads past its count
    const Conn one = Image({{0, 0, 0}});
    int32_t f = -1, l = -1;
    EXPECT_TRUE(ChangedStretch(&base, &one, &f, &l));
    EXPECT_EQ(f, 0);
    EXPECT_EQ(l, 4);
}

TEST(CornerNotAcuteTest, SignsAndEqualMagnitudesOnly) {
    struct Case {
        int32_t ax, ay, bx, by;
        bool notAcute;
    } cases[] = {
        {10, 0, 0, 10, true},
        {10, 0, -10, 10, true},
        {10, 0, -10, 0, true},
        {10, 0, 10, 10, false},
        {10, 0, 20, 0, false},
        {10, 0, 10, 5, false},
        {0, 0, 10, 5, false},
        {0, 0, 10, 10, true},
        {7, 7, -7, 7, true},
        {7, 7, 0, 9, false},
        {-2000000000, 2000000000, 2000000000, 2000000000, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CornerNotAcuteRules(0, 0, c.ax, c.ay, c.bx, c.by), c.notAcute)
            << c.ax << "," << c.ay << " " << c.bx << "," << c.by;
    // the router reaches it through its service table
    RulesInstall();
    EXPECT_TRUE(CornerNotAcute(5, 5, 15, 5, 5, 15));
}

// U1 (symbol 1, round pads of radius 1,800) at (15,000, 15,000): its pins
// at (15,000, 15,000) and (21,000, 15,000). A segment of half width 300
// keeps 1,800 + 300 + 600 = 2,700 from a pin's centre.
class DrcBoardTest : public RuleTest {
  protected:
    void SetUp() override {
        RuleTest::SetUp();
        OpenBoard("*COMP U1 [15000, 15000] Symbol=1\r\n*COMP U2 [40000, 40000] Symbol=1\r\n", 1);
    }
    void TearDown() override {
        while (AltDepth() > 0)
            AltPop(false);
        RuleTest::TearDown();
    }
    static int32_t RuleCells(int32_t layer) {
        int32_t n = 0;
        for (int32_t x = 9000; x <= 27000; x += 750)
            for (int32_t y = 9000; y <= 27000; y += 750)
                n += (Cell(x, y, layer) & 0x3F) == 27;
        return n;
    }
    static Conn Stored(int32_t n) { return *ConnRef(n); }
};

TEST_F(DrcBoardTest, LevelCheckFlagsMarksAndPassesOverOtherRecords) {
    const int32_t n = StoreConn(1, {{10000, 21000, 1}, {20000, 21000, 0}});
    const int32_t e = AddConn(n);
    ASSERT_EQ(MapAll(), 1);
    AltPush();
    // a level that changed only a net, a marker-free obstacle item and an
    // attribute passes
    Net net;
    NetGet(1, &net);
    AltPut(kRecNet, 1, 0, &net);
    const int32_t o = StoreObs(kObsCopper, 1, kObsNoNet, {{50000, 50000}, {52000, 50000}});
    Obstacle ob;
    ObsGet(o, &ob);
    AltPut(kRecObstacle, o, 0, &ob);
    EXPECT_EQ(DrcCheckAlt(0), 1);
    EXPECT_EQ(DrcMode, kDrcFail);
    // the connection moved next to U1.1: fails, flagged, its box marked
    Conn c = Stored(n);
    c.crn[0].y = c.crn[1].y = 17000;
    AltPut(kRecConn, n, 0, &c);
    const int32_t before = RuleCells(1);
    EXPECT_EQ(DrcCheckAlt(0), 0);
    EXPECT_EQ(DrcMode, kDrcFail);
    EXPECT_NE(ObjEntry(e)->flags & kObjFlagFailedAlt, 0);
    EXPECT_GT(RuleCells(1), before);
    EXPECT_EQ(Markers().size(), 0u);
    // MzGoal's own connection is not flagged
    ObjEntry(e)->flags = 0;
    UrAllocRecords();
    Goal()->objIndex = int16_t(e);
    EXPECT_EQ(DrcCheckAlt(1), 0);
    EXPECT_EQ(ObjEntry(e)->flags & kObjFlagFailedAlt, 0);
    // the first failure ends DrcCheckAltAll, which flags nothing
    Goal()->objIndex = 0;
    EXPECT_EQ(DrcCheckAltAll(0), 0);
    EXPECT_EQ(ObjEntry(e)->flags & kObjFlagFailedAlt, 0);
    // a deleted item is passed over
    AltItemHeader h;
    Conn got;
    const int32_t item = AltCount();
    AltGet(item, &h, &got);
    h.flags |= kAltDeleted;
    AltItemPut(&h, &got);
    EXPECT_EQ(DrcCheckAlt(0), 1);
    EXPECT_EQ(DrcCheckAltAll(0), 1);
}

TEST_F(DrcBoardTest, TheWholeConnectionIsReCheckedUnlessFastAltcheckRunsAFastPass) {
    // segment 0 already lies too near U1.1; only the last corner moves
    const int32_t n = StoreConn(1, {{12000, 17000, 1}, {18000, 17000, 1}, {18000, 25000, 0}});
    const int32_t e = AddConn(n);
    ASSERT_EQ(MapAll(), 1);
    UrAllocRecords();
    AltPush();
    Conn c = Stored(n);
    c.crn[2].y = 27000;
    AltPut(kRecConn, n, 0, &c);
    EXPECT_EQ(DrcCheckAltAll(0), 1); // the stretch alone passes
    EXPECT_EQ(DrcCheckAlt(0), 0);    // the whole does not, without the flag
    EXPECT_EQ(ObjEntry(e)->flags & kObjFlagFailedAlt, 0);
    MzFlags2 = kMz2FastAltcheck;
    EXPECT_EQ(DrcCheckAlt(0), 0); // not a FAST pass
    CurSweep().passFlags[Goal()->pass] |= kPassFastRun;
    EXPECT_EQ(DrcCheckAlt(0), 1);
    EXPECT_EQ(DrcCheckAlt(1), 0); // whole = 1 checks it whole
    MzFlags2 = 0;
    // an unchanged image is an empty stretch
    AltPut(kRecConn, n, 0, ConnRef(n));
    CurSweep().passFlags[Goal()->pass] &= uint16_t(~kPassFastRun);
    EXPECT_EQ(DrcCheckAlt(0), 1);
}

TEST_F(DrcBoardTest, PadToPadAndPadToViaClearances) {
    // U3 (symbol 1) with pin 1 3,000 right of U1.2: 1,800 + 600 + 1,800 needed
    Component u;
    CompGet(1, &u);
    const int32_t c3 = CompAdd();
    u.x = 24000;
    u.recordId = 77;
    {
        DbTrustedScope trusted;
        CompPut(c3, &u);
    }
    AddPad(c3, 1, 0);
    AddPad(c3, 2, 0);
    // a net-2 via 2,000 below U2.1 (needs 1,800 + 300 + 600)
    const int32_t v = StoreConn(2, {{36000, 38000, 1}, {40000, 38000, 2, 1}, {44000, 38000, 0}});
    const int32_t ev = AddConn(v);
    ASSERT_EQ(MapAll(), 1);
    {
        DrcModeScope mode(kDrcRecord);
        EXPECT_EQ(DrcCheckPadVia(1, 2, 0, CompRef(1)), 0);
    }
    std::vector<ErrorMarker> m = Markers(); // one a layer
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].type, kErrKindPadToPad);
    EXPECT_EQ(m[0].x, 22500);
    EXPECT_EQ(m[0].y, 15000);
    EXPECT_EQ(m[0].id2, 77);
    EXPECT_EQ(m[0].sub2, 1);
    EXPECT_EQ(m[0].kind2, kErrObjComponent);
    // the component walk stops at the first failing pin; mode 2 marks nothing
    const int32_t before = RuleCells(1);
    {
        DrcModeScope mode(kDrcMarkMaze);
        EXPECT_EQ(DrcCheckCompPads(1, CompRef(1)), 0);
    }
    EXPECT_EQ(RuleCells(1), before);
    // the via: kind 7 without a net, kind 4 with another net, own net passes
    EXPECT_EQ(DrcPadVsConnVias(2, 1, 0, v), 0);
    EXPECT_EQ(DrcPadVsConnVias(2, 1, 2, v), 1);
    EXPECT_EQ(DrcPadVsConnVias(2, 1, 1, v), 0);
    for (int32_t net : {0, 1}) {
        MarkerReset();
        DrcModeScope mode(kDrcRecord);
        EXPECT_EQ(DrcCheckPadVia(2, 1, net, CompRef(2)), 0);
        m = Markers();
        ASSERT_FALSE(m.empty());
        EXPECT_EQ(m[0].type, net ? kErrKindPadSpacing : kErrKindBadViaLocation);
        EXPECT_EQ(m[0].x, 40000);
        EXPECT_EQ(m[0].id2, v);
    }
    (void)ev;
    // moved 600 further down the via passes (2,600 + ... is still short);
    // 2,700 away it passes
    Conn c = Stored(v);
    c.crn[1].y = 37300;
    c.crn[0].y = c.crn[2].y = 37300;
    {
        DbTrustedScope trusted;
        ConnPut(v, &c);
    }
    EXPECT_EQ(DrcPadVsConnVias(2, 1, 0, v), 1);
    EXPECT_FATAL(DrcCheckPadVia(0, 1, 0, CompRef(1)), kErrPadViaComp);
    // a level that moved U3 onto U1.2 fails its check; moved clear it passes
    AltPush();
    Component moved = *CompRef(c3);
    moved.x = 22500;
    AltPut(kRecComponent, c3, 0, &moved);
    EXPECT_EQ(DrcCheckAlt(0), 0);
    EXPECT_EQ(DrcMode, kDrcFail);
    moved.x = 25500;
    AltPut(kRecComponent, c3, 0, &moved);
    EXPECT_EQ(DrcCheckAlt(0), 1);
    AltPop(false);
}

TEST_F(DrcBoardTest, ViaGridLayerChangesAndNetRules) {
    DbHeader h;
    DbGetHeader(&h);
    h.fourthGrid = 1000;
    DbPutHeader(&h);
    // corner 1 a via off the grid, corner 2 a layer change without a via
    const int32_t n = StoreConn(
        1, {{30000, 30000, 1}, {31500, 30000, 1, 1}, {33000, 30000, 2}, {33000, 33000, 0}});
    Conn c = Stored(n);
    DrcModeScope mode(kDrcRecord);
    DrcErrorCount = 0;
    DrcViaOnGrid(n, &c);
    std::vector<ErrorMarker> m = Markers();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].type, kErrKindOffGridVia);
    EXPECT_EQ(m[0].x, 31500);
    EXPECT_EQ(m[0].layer, 0);
    EXPECT_EQ(m[0].sub1, 1);
    // layer change 1 -> 2 at corner 2 with no via: recorded only with 0x40
    MarkerReset();
    g_viaPair[1][2] = g_viaPair[2][1] = 1;
    DrcNetLayerVia(n, &c);
    EXPECT_EQ(Markers().size(), 0u);
    CheckOptions = kCheckNetRules;
    DrcNetLayerVia(n, &c);
    m = Markers();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].type, kErrKindMissingVia);
    EXPECT_EQ(m[0].x, 33000);
    c.crn[2].via = 1;
    MarkerReset();
    DrcNetLayerVia(n, &c);
    EXPECT_EQ(Markers().size(), 0u);
    // net 1 may use layer 1 only: segment 2 on layer 2 is kind 21 at its
    // midpoint
    Net net;
    NetGet(1, &net);
    net.netLevel = 1;
    {
        DbTrustedScope trusted;
        NetPut(1, &net);
    }
    checkNetRules(n, &c);
    m = Markers();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].type, kErrKindNetLayer);
    EXPECT_EQ(m[0].x, 33000);
    EXPECT_EQ(m[0].y, 31500);
    // with every layer allowed and a width rule of 1,200 on layer 1 (units
    // of WidthUnit), width 10 is kind 22 only for a NetAttr connection
    net.netLevel = 3;
    {
        DbTrustedScope trusted;
        NetPut(1, &net);
    }
    Attribute a{};
    a.kind = 18;
    a.key1Type = 10;
    a.key1 = 1;
    a.key2 = 1;
    a.value1 = 12 * WidthUnit();
    {
        DbTrustedScope trusted;
        AttrPut(&a);
    }
    MarkerReset();
    checkNetRules(n, &c);
    EXPECT_EQ(Markers().size(), 0u);
    c.head.flags |= kConnNetAttr;
    checkNetRules(n, &c);
    m = Markers();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].type, kErrKindSegWidth);
    EXPECT_EQ(m[0].sub1, 0);
    // a via grid of 0 checks nothing
    h.fourthGrid = 0;
    DbPutHeader(&h);
    MarkerReset();
    DrcViaOnGrid(n, &c);
    EXPECT_EQ(Markers().size(), 0u);
}

TEST_F(DrcBoardTest, ObstaclesOfDifferentNetsKeepTheSegmentSpacing) {
    // two copper squares 500 apart on layer 1 (600 needed)
    const int32_t a = StoreObs(kObsCopper, 1, 1,
                               {{30000, 30000}, {32000, 30000}, {32000, 32000}, {30000, 32000}});
    const int32_t b = StoreObs(kObsCopper, 1, 2,
                               {{32500, 30000}, {34000, 30000}, {34000, 32000}, {32500, 32000}});
    Obstacle oa, ob;
    ObsGet(a, &oa);
    ObsGet(b, &ob);
    DrcModeScope mode(kDrcRecord);
    DrcCurrentError = DrcError{};
    EXPECT_EQ(DrcObsVsObs(&oa, &ob), 0);
    std::vector<ErrorMarker> m = Markers();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].type, kErrKindObsToObs);
    EXPECT_EQ(m[0].value[0], 500);
    EXPECT_EQ(m[0].value[1], 600);
    EXPECT_EQ(m[0].x, 31000); // A's bottom edge meets B's left edge first
    EXPECT_EQ(m[0].y, 30000);
    // one inside the other: found 0 at the inner one's first point
    Obstacle inner = ob;
    for (int32_t i = 0; i < inner.head.count; ++i) {
        inner.pt[i].x -= 2000;
        inner.pt[i].y = inner.pt[i].y == 30000 ? 30800 : 31200;
    }
    for (int32_t i = 0; i < inner.head.count; ++i)
        inner.pt[i].x = inner.pt[i].x < 31000 ? 30800 : 31200;
    ObsBox(&inner);
    MarkerReset();
    EXPECT_EQ(DrcObsVsObs(&inner, &oa), 0);
    m = Markers();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].value[0], 0);
    EXPECT_EQ(m[0].x, inner.pt[0].x);
    // far apart passes; through the table, other type 12 and one marker a side
    ob.pt[0].x = ob.pt[3].x = 33000;
    ObsBox(&ob);
    EXPECT_EQ(DrcObsVsObs(&oa, &ob), 1);
    ObjTableInit();
    const int32_t ea = AddObs(a), eb = AddObs(b);
    ObjSetNet(ea, 1);
    ObjSetNet(eb, 2);
    MarkerReset();
    ObsGet(a, &oa);
    EXPECT_EQ(DrcObsCheck(ea, 1, 0, &oa), 1);
    m = Markers();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].kind1, kErrObjObstacle);
    EXPECT_EQ(m[0].kind2, kErrObjObstacle);
    EXPECT_EQ(m[0].id2, b);
    // the whole-board run (its obstacles read once) gives one marker a side
    MarkerReset();
    DrcAllRules();
    m = Markers();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].id1 + m[1].id1, a + b);
    // same net takes no part
    ObjSetNet(eb, 1);
    MarkerReset();
    EXPECT_EQ(DrcObsCheck(ea, 1, 0, &oa), 1);
    EXPECT_EQ(Markers().size(), 0u);
}

// Copper circles of two nets 300 apart (600 needed) are measured as their
// outlines (inscribed polygons within twice the user unit), one marker a
// side, and their arc points end nothing.
TEST_F(DrcBoardTest, CirclesOfDifferentNetsAreMeasuredByTheirOutlines) {
    auto circle = [](int32_t cx, int32_t net) {
        const int32_t o =
            StoreObs(kObsCopper, 1, net, {{cx + 1000, 31000}, {cx, 31000}, {cx + 1000, 31000}});
        Obstacle r;
        ObsGet(o, &r);
        r.pt[1].flags = kObsPtArcCcw;
        r.head.flags = kObsCircle;
        ObsBox(&r);
        DbTrustedScope trusted;
        ObsPut(o, &r);
        return o;
    };
    const int32_t a = circle(31000, 1), b = circle(33300, 2);
    ObjTableInit();
    ObjSetNet(AddObs(a), 1);
    ObjSetNet(AddObs(b), 2);
    MarkerReset();
    DrcAllRules();
    const std::vector<ErrorMarker> m = Markers();
    ASSERT_EQ(m.size(), 2u);
    for (const ErrorMarker& e : m) {
        EXPECT_EQ(e.type, kErrKindObsToObs);
        EXPECT_GE(e.value[0], 300);
        EXPECT_LT(e.value[0], 600);
    }
}

TEST_F(DrcBoardTest, DriversRunInModeZeroAndRefuseUnknownEntries) {
    const int32_t n = StoreConn(1, {{12000, 17000, 1}, {18000, 17000, 0}});
    AddConn(n);
    ASSERT_EQ(MapAll(), 1);
    DrcErrorCount = 40;
    CheckOptions = 0;
    DrcAllRules();
    EXPECT_EQ(DrcMode, kDrcFail);
    EXPECT_EQ(DrcErrorCount, 1);
    std::vector<ErrorMarker> m = Markers();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].kind1, kErrObjConn);
    EXPECT_EQ(m[0].id1, n);
    // the space-check pass reaches it through the router's seam with
    // CheckOptions 1 for the call, and the seam records the call
    const size_t calls = RuleServiceCalls().size();
    CheckOptions = kCheckNetRules;
    MarkerReset();
    DrcAll();
    EXPECT_EQ(CheckOptions, kCheckNetRules);
    EXPECT_EQ(Markers().size(), 1u);
    ASSERT_EQ(RuleServiceCalls().size(), calls + 1);
    EXPECT_EQ(RuleServiceCalls().back().name, "DrcAll");
    DrcAllViaGrid();
    DrcAllPads();
    DrcAllNetRules();
    DrcAllConnPads();
    EXPECT_EQ(DrcMode, kDrcFail);
    ObjEntry(AddConn(n))->type = kObjNull;
    EXPECT_FATAL(DrcAllRules(), kErrDrcAllType);
    EXPECT_FATAL(DrcAllPads(), kErrDrcRunType);
}

// The space-check pass (CheckOptions 1) sees a via of one net standing
// on another net's track; of one net, only via-to-via spacing counts.
TEST_F(DrcBoardTest, SpaceCheckMarksAViaOnAnotherNetsTrack) {
    for (int32_t otherNet : {2, 1}) {
        SCOPED_TRACE(otherNet);
        ObjTableInit();
        const int32_t track = StoreConn(1, {{28500, 24000, 1}, {37500, 24000, 0}});
        const int32_t via =
            StoreConn(otherNet, {{33000, 30000, 2}, {33000, 24000, 1, 1}, {31500, 22500, 0}});
        AddConn(track);
        AddConn(via);
        ASSERT_EQ(MapAll(), 1);
        CheckOptions = 0;
        MarkerReset();
        DrcAllSpaceCheck();
        const std::vector<ErrorMarker> m = Markers();
        if (otherNet == 1) {
            EXPECT_EQ(m.size(), 0u);
            continue;
        }
        ASSERT_GE(m.size(), 1u);
        bool pair = false;
        for (const ErrorMarker& k : m)
            pair = pair || (k.kind1 == kErrObjConn && k.kind2 == kErrObjConn);
        EXPECT_TRUE(pair);
    }
}

TEST_F(DrcBoardTest, RemovalWithoutViolationsChangesNothing) {
    const int32_t n = StoreConn(1, {{10000, 30000, 1}, {20000, 30000, 0}});
    const int32_t e = AddConn(n);
    ASSERT_EQ(MapAll(), 1);
    ObjEntry(e)->flags |= kObjFlagClean;
    DrcRemoveViolations();
    EXPECT_NE(ObjEntry(e)->flags & kObjFlagClean, 0);
    EXPECT_EQ(DrcMode, kDrcFail);
    EXPECT_EQ(MzFlags, 0);
    EXPECT_EQ(int32_t(Stored(n).crn[0].layer), 1);
    EXPECT_EQ(AltDepth(), 0);
}

TEST_F(DrcBoardTest, RemovalCutsTheWorstFirstInsideItsOwnLevel) {
    // A: one violating segment at U1.2; B: two violating segments at U1.1
    // around a free middle corner between Locked ones; C: clean
    const int32_t a = StoreConn(1, {{19500, 17000, 1}, {23000, 17000, 1}, {23000, 25000, 0}});
    const int32_t b = StoreConn(2, {{12000, 12400, 1, 0, kCrnLocked},
                                    {15000, 12400, 1},
                                    {18000, 12400, 1, 0, kCrnLocked},
                                    {18000, 6000, 0}});
    const int32_t c = StoreConn(1, {{10000, 30000, 1}, {20000, 30000, 0}});
    const int32_t ea = AddConn(a), eb = AddConn(b), ec = AddConn(c);
    ASSERT_EQ(MapAll(), 1);
    MzFlags = 0x0002;
    DrcRemoveViolations();
    EXPECT_EQ(MzFlags, 0x0002);
    EXPECT_EQ(AltDepth(), 0);
    const std::vector<std::string>& calls = HeadlessShellCalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "PaintAlt()"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "BroadcastCommand(30050)"), calls.end());
    for (int32_t e : {ea, eb, ec})
        EXPECT_NE(ObjEntry(e)->flags & kObjFlagClean, 0);
    // A: segment 0 a gap, the rest kept
    const Conn ga = Stored(a);
    ASSERT_EQ(ga.head.count, 3);
    EXPECT_EQ(int32_t(ga.crn[0].layer), 0);
    EXPECT_EQ(int32_t(ga.crn[1].layer), 1);
    // B: the free corner went, the Locked ones stay around one gap; its
    // last segment was split where it leaves the window (y = 9,000)
    const Conn gb = Stored(b);
    ASSERT_EQ(gb.head.count, 4);
    EXPECT_EQ(int32_t(gb.crn[2].y), g_mzGrid.window.minY);
    EXPECT_EQ(int32_t(gb.crn[0].x), 12000);
    EXPECT_EQ(int32_t(gb.crn[1].x), 18000);
    EXPECT_EQ(int32_t(gb.crn[1].y), 12400);
    EXPECT_EQ(int32_t(gb.crn[0].layer), 0);
    EXPECT_NE(int32_t(gb.crn[1].flags) & kCrnLocked, 0);
    EXPECT_EQ(int32_t(Stored(c).crn[0].layer), 1);
    // nothing left to cut: every connection passes in mode 1
    for (int32_t n : {a, b, c}) {
        const Conn k = Stored(n);
        EXPECT_EQ(DrcCheckConn(ObjFindConn(n), &k, 0, k.head.count - 1), 1) << n;
    }
}

TEST_F(DrcBoardTest, RemovalWorksInsideAnOpenLevelAndKeepsCopperOutsideTheWindow) {
    // the window is 0..60,000: the violating segment runs from outside in
    const int32_t a = StoreConn(1, {{12000, 17000, 1}, {18000, 17000, 0}});
    const int32_t e = AddConn(a);
    ASSERT_EQ(MapAll(), 1);
    g_mzGrid.window.minX = 16000;
    AltPush();
    DrcRemoveViolations();
    EXPECT_EQ(AltDepth(), 1);
    Conn got;
    AltSave(kRecConn, a, &got);
    // split at the window edge: the outer piece stays copper
    EXPECT_EQ(int32_t(got.crn[0].layer), 1);
    EXPECT_EQ(int32_t(got.crn[0].x), 12000);
    EXPECT_NE(ObjEntry(e)->flags & kObjFlagClean, 0);
    AltPop(false);
    // wholly outside the window: counted, flagged, never cut
    g_mzGrid.window.minX = 19000;
    AltPush();
    ObjEntry(e)->flags = 0;
    DrcRemoveViolations();
    EXPECT_EQ(AltCount(), 0);
    EXPECT_NE(ObjEntry(e)->flags & kObjFlagClean, 0);
    AltPop(false);
}

TEST_F(DrcBoardTest, EqualCountsCutTheFirstInTheTableFirst) {
    // one violation each, at U1.1 and at U1.2; the second is entered first
    const int32_t a = StoreConn(1, {{12000, 17000, 1}, {15000, 17000, 0}});
    const int32_t b = StoreConn(2, {{21000, 17000, 1}, {24000, 17000, 0}});
    AddConn(b);
    AddConn(a);
    ASSERT_EQ(MapAll(), 1);
    AltPush();
    DrcRemoveViolations();
    ASSERT_EQ(AltCount(), 2);
    AltItemHeader h;
    Conn got;
    AltGet(1, &h, &got);
    EXPECT_EQ(h.index, b);
    AltGet(2, &h, &got);
    EXPECT_EQ(h.index, a);
    AltPop(false);
}

} // namespace
