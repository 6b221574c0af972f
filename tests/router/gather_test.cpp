// Gathering of neighbours and the clearance stand-ins of the rule checker:
// same-net probes, the order and the stops of the blocker search, obstacle
// kinds, direction masks and transposition, the shove's path copies, the
// contact thresholds, and the map following the journal.
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "router/gather.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/rulesvc.h"
#include "router/urstate.h"
#include "mapfixture.h"

namespace {

std::vector<std::string> g_lines;
void Collect(const char* text) {
    g_lines.emplace_back(text);
}

std::vector<int16_t> Entries(const ObjList& l) {
    return std::vector<int16_t>(l.entry, l.entry + l.count);
}

// Pads: U1.1 net 2 (p1), U1.2 net 1 (p2). Connections: A of net 1 from
// U1.2 to the right along y = 30,000; B of net 2 across it at x = 24,000.
class GatherTest : public MapTest {
  protected:
    void SetUp() override {
        MapTest::SetUp();
        Open();
        p1 = AddPad(1, 1, 2);
        p2 = AddPad(1, 2, 1);
        a = StoreConn(1, {{21000, 30000, 1}, {27000, 30000, 0}});
        b = StoreConn(2, {{24000, 27000, 1}, {24000, 33000, 0}});
        eA = AddConn(a);
        eB = AddConn(b);
    }
    void SetConnFlags(int32_t n, int32_t flags) {
        Conn c;
        ConnGet(n, &c);
        c.head.flags = uint16_t(flags);
        DbTrustedScope trusted;
        ConnPut(n, &c);
    }
    int32_t p1 = 0, p2 = 0, a = 0, b = 0, eA = 0, eB = 0;
    ObjList list{};
};

TEST_F(GatherTest, SameNetProbesAreFreeAndPadsComeFirst) {
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(GatherIsEmpty(21000, 30000, 22500, 30000, kProbeSeg, 1, 300, eA, 0), 1);
    EXPECT_EQ(GatherSegBlockers(21000, 30000, 22500, 30000, kProbeSeg, 1, 300, eA, &list, 0, 0), 1);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(GatherSegBlockers(15000, 30000, 27000, 30000, kProbeSeg, 1, 300, eA, &list, 0, 0), 1);
    EXPECT_EQ(Entries(list), (std::vector<int16_t>{int16_t(p1), int16_t(eB)}));
    EXPECT_EQ(GatherIsEmpty(15000, 30000, 27000, 30000, kProbeSeg, 1, 300, eA, 0), 0);
    GatherBox(15000, 30000, 27000, 30000, kProbeSeg, 1, 300, &list);
    EXPECT_EQ(list.count, 4); // both pads and both connections, nothing of the same net spared
    EXPECT_FATAL(GatherSegBlockers(0, 0, 1, 1, 0, 1, 0, 0, &list, 0, 0), 2167020);
    EXPECT_FATAL(GatherSegBlockers(0, 0, 1, 1, 0, 3, 0, eA, &list, 0, 0), 2167022);
    EXPECT_FATAL(GatherSegBlockers(0, 0, 1, 1, 0, 1, 0, eA, &list, 0, 3), 2167023);
    EXPECT_FATAL(GatherIsEmpty(0, 0, 1, 1, 0, 1, 0, eB + 1, 0), 2167031);
    EXPECT_FATAL(GatherIsEmpty(0, 0, 1, 1, 0, 0, 0, eA, 0), 2167032);
    EXPECT_FATAL(GatherBox(0, 0, 1, 1, 0, 3, 0, &list), 2167012);
    ObjTableReset();
    EXPECT_FATAL(GatherBox(0, 0, 1, 1, 0, 1, 0, &list), 2167011);
    EXPECT_FATAL(GatherIsEmpty(0, 0, 1, 1, 0, 1, 0, 2, 0), 2167030);
}

TEST_F(GatherTest, UnmovableConnectionsEndTheBlockerSearch) {
    SetConnFlags(b, kConnNoShove);
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(GatherSegBlockers(15000, 30000, 27000, 30000, kProbeSeg, 1, 300, eA, &list, 0, 0), 0);
    EXPECT_EQ(Entries(list), (std::vector<int16_t>{int16_t(eB)}));
    SetConnFlags(b, 0);
    ObjEntry(eB)->flags |= kObjFlagPushed; // already being pushed
    EXPECT_EQ(GatherSegBlockers(21000, 30000, 27000, 30000, kProbeSeg, 1, 300, eA, &list, 0, 0), 0);
    EXPECT_EQ(Entries(list), (std::vector<int16_t>{int16_t(eB)}));
}

TEST_F(GatherTest, DirectionMasksAndTransposition) {
    ASSERT_EQ(MapAll(), 1);
    // B lies wholly at greater x than the probe.
    EXPECT_EQ(GatherSegBlockers(21000, 30000, 23500, 30000, kProbeSeg, 1, 300, eA, &list, 0, 0), 1);
    EXPECT_EQ(Entries(list), (std::vector<int16_t>{int16_t(eB)}));
    EXPECT_EQ(GatherSegBlockers(21000, 30000, 23500, 30000, kProbeSeg, 1, 300, eA, &list, 0, 4), 1);
    EXPECT_EQ(list.count, 0);
    // Transposed: the probe's x and y are exchanged and 4 masks greater y,
    // which B is not wholly at.
    EXPECT_EQ(GatherSegBlockers(30000, 21000, 30000, 23500, kProbeSeg, 1, 300, eA, &list, 1, 4), 1);
    EXPECT_EQ(Entries(list), (std::vector<int16_t>{int16_t(eB)}));
    // Transposed 8 masks smaller y: B lies wholly below the probe.
    EXPECT_EQ(GatherSegBlockers(34000, 23500, 34000, 24500, kProbeSeg, 1, 300, eA, &list, 1, 8), 1);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(GatherSegBlockers(34000, 23500, 34000, 24500, kProbeSeg, 1, 300, eA, &list, 1, 0), 1);
    EXPECT_EQ(Entries(list), (std::vector<int16_t>{int16_t(eB)}));
}

TEST_F(GatherTest, ObstacleKinds) {
    const int32_t shav = StoreObs(kObsShavable, 1, kObsNoNet,
                                  {{30000, 39000}, {33000, 39000}, {33000, 42000}, {30000, 42000}});
    const int32_t keep = StoreObs(kObsRouteKeepout, 1, kObsNoNet,
                                  {{36000, 39000}, {39000, 39000}, {39000, 42000}, {36000, 42000}});
    const int32_t avoid = StoreObs(
        kObsAvoid, 1, kObsNoNet, {{24000, 39000}, {27000, 39000}, {27000, 42000}, {24000, 42000}});
    const int32_t board =
        StoreObs(kObsBoardOutline, 0, kObsNoNet,
                 {{12000, 12000}, {48000, 12000}, {48000, 48000}, {12000, 48000}, {12000, 12000}});
    const int32_t eS = AddObs(shav), eK = AddObs(keep), eV = AddObs(avoid), eO = AddObs(board);
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(GatherSegBlockers(28500, 40500, 34500, 40500, kProbeSeg, 1, 300, eA, &list, 0, 0), 1);
    EXPECT_EQ(Entries(list), (std::vector<int16_t>{int16_t(eS)}));
    EXPECT_EQ(GatherSegBlockers(34500, 40500, 40500, 40500, kProbeSeg, 1, 300, eA, &list, 0, 0), 0);
    EXPECT_EQ(Entries(list), (std::vector<int16_t>{int16_t(eK)}));
    EXPECT_EQ(GatherIsEmpty(22500, 40500, 28000, 40500, kProbeSeg, 1, 300, eA, 0), 1); // Avoid
    EXPECT_EQ(GatherTestObs(22500, 40500, 28000, 40500, 0, 1, 300, eV, 0, 0), kTouchNone);
    // Wholly inside the Board outline, and leaving it.
    EXPECT_EQ(GatherIsEmpty(30000, 20000, 31500, 20000, kProbeSeg, 1, 300, eA, 0), 1);
    EXPECT_EQ(GatherTestObs(30000, 20000, 31500, 20000, 0, 1, 300, eO, 0, 0), kTouchNone);
    EXPECT_EQ(GatherTestObs(30000, 13500, 30000, 10500, 0, 1, 300, eO, 0, 0), kTouchFixed);
    EXPECT_EQ(GatherIsEmpty(30000, 13500, 30000, 10500, kProbeSeg, 1, 300, eA, 0), 0);
}

TEST_F(GatherTest, ContactThresholds) {
    // A via of net 2 at (30,000, 21,000): reach 600 + 300 (+ g).
    const int32_t v = StoreConn(2, {{30000, 21000, 1, 1}, {33000, 21000, 0}});
    const Conn* rv = ConnRef(v);
    EXPECT_EQ(GatherTestConn(29000, 20101, 31000, 20101, kProbeSeg, 2, 0, rv, 0, 0), kTouchPush);
    EXPECT_EQ(GatherTestConn(29000, 20100, 31000, 20100, kProbeSeg, 2, 0, rv, 0, 0), kTouchNone);
    // A segment of width 0 reaches 1 only.
    const int32_t z = StoreConn(2, {{30000, 18000, 1}, {33000, 18000, 0}}, 0);
    EXPECT_EQ(GatherTestConn(31000, 17000, 31000, 18000, kProbeSeg, 1, 500, ConnRef(z), 0, 0),
              kTouchPush);
    EXPECT_EQ(GatherTestConn(31000, 17000, 31000, 17999, kProbeSeg, 1, 500, ConnRef(z), 0, 0),
              kTouchNone);
    // Connections sharing an end with the probing connection never touch.
    Conn c;
    ConnGet(z, &c);
    c.head.fromComp = 1;
    c.head.fromPin = 1;
    {
        DbTrustedScope trusted;
        ConnPut(z, &c);
        Conn d;
        ConnGet(a, &d);
        d.head.fromComp = 1;
        d.head.fromPin = 1;
        ConnPut(a, &d);
    }
    EXPECT_EQ(GatherTestConn(31000, 17000, 31000, 18000, kProbeSeg, 1, 500, ConnRef(z), eA, 0),
              kTouchNone);
}

// A via at the last corner and the vias of free ends count like any other.
TEST_F(GatherTest, LastCornerAndFreeEndViasTouch) {
    const int32_t last = StoreConn(2, {{33000, 21000, 1}, {30000, 21000, 0, 1}});
    EXPECT_EQ(GatherTestConn(29000, 20101, 31000, 20101, kProbeSeg, 2, 0, ConnRef(last), 0, 0),
              kTouchPush);
    // A connection of net 2 on layer 1 from (30,000, 21,000): the free ends'
    // pins name via type 1 or none; the probe runs on layer 2.
    const int32_t free = StoreConn(2, {{30000, 21000, 1}, {33000, 21000, 1}});
    auto touches = [&](int32_t fromPin, int32_t toPin, bool swapped) {
        Conn c;
        ConnGet(free, &c);
        c.head.fromComp = c.head.toComp = 0;
        c.head.fromPin = int16_t(fromPin);
        c.head.toPin = int16_t(toPin);
        if ((c.crn[0].x == 30000) == swapped) std::swap(c.crn[0], c.crn[1]);
        {
            DbTrustedScope trusted;
            ConnPut(free, &c);
        }
        return GatherTestConn(29000, 20101, 31000, 20101, kProbeSeg, 2, 0, ConnRef(free), 0, 0);
    };
    EXPECT_EQ(touches(1, 0, false), kTouchPush);
    EXPECT_EQ(touches(0, 1, true), kTouchPush);
    EXPECT_EQ(touches(0, 0, true), kTouchNone);
    // The clearance stand-in sees the free end's via too.
    RuleServicesInstall(&RuleServicesProvisional());
    touches(0, 1, true);
    ASSERT_EQ(MapAll(), 1);
    const int32_t e = AddConn(free);
    ConnMap(ConnRef(free), e, 0, 1000, 0);
    const int32_t probe = StoreConn(1, {{29000, 20101, 2}, {31000, 20101, 0}});
    const int32_t eP = AddConn(probe);
    EXPECT_EQ(DrcCheckConn(eP, ConnRef(probe), 0, 1), 0);
}

TEST_F(GatherTest, TheShovesPathCopiesBlockAsTheGoal) {
    ASSERT_EQ(MapAll(), 1);
    UrAllocRecords();
    Goal()->objIndex = int16_t(eA);
    Conn path{};
    path.head.count = 2;
    path.crn[0] = Crn{27000, 36000, 10, 1, 0, 0, 0};
    path.crn[1] = Crn{33000, 36000, 0, 0, 0, 0, 0};
    GatherSetShovePaths(nullptr, &path);
    EXPECT_EQ(GatherSegBlockers(30000, 36300, 30000, 37500, kProbeSeg, 1, 300, eB, &list, 0, 0), 0);
    EXPECT_EQ(Entries(list), (std::vector<int16_t>{int16_t(eA)}));
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    EXPECT_EQ(GatherIsEmpty(30000, 36300, 30000, 37500, kProbeSeg, 1, 300, eB, 0), 0);
    g_verbose = 0;
    DebugSetTraceReceiver(nullptr);
    EXPECT_EQ(g_lines,
              (std::vector<std::string>{"*GatherIsEmpty: goal blocks obj=" + std::to_string(eA)}));
    // The goal's own probes are not blocked by its path.
    EXPECT_EQ(GatherIsEmpty(30000, 36300, 30000, 37500, kProbeSeg, 1, 300, eA, 0), 1);
    GatherSetShovePaths(nullptr, nullptr);
    EXPECT_EQ(GatherIsEmpty(30000, 36300, 30000, 37500, kProbeSeg, 1, 300, eB, 0), 1);
}

TEST_F(GatherTest, NeighboursOfACornerRange) {
    ASSERT_EQ(MapAll(), 1);
    const int32_t n = StoreConn(1, {{12000, 33000, 1}, {24000, 33000, 2, 1}, {24000, 39000, 0}});
    GatherNeighbours(ConnRef(n), 0, 2, &list);
    std::vector<int16_t> got = Entries(list);
    EXPECT_NE(std::find(got.begin(), got.end(), p1), got.end());
    EXPECT_NE(std::find(got.begin(), got.end(), eB), got.end());
    EXPECT_FATAL(GatherNeighbours(ConnRef(n), -1, 2, &list), 2167080);
    EXPECT_FATAL(GatherNeighbours(ConnRef(n), 1, 3, &list), 2167082);
    ObjTableReset();
    EXPECT_FATAL(GatherNeighbours(ConnRef(n), 0, 2, &list), 2167081);
}

TEST_F(GatherTest, ClearanceStandIns) {
    RuleServicesInstall(&RuleServicesProvisional());
    ASSERT_EQ(MapAll(), 1);
    // Net 1 along y against U1.1 (net 2, radius 1,800): 1,800 + 300 + 600.
    const int32_t n = StoreConn(1, {{12000, 32700, 1}, {18000, 32700, 0}});
    const int32_t e = AddConn(n);
    Conn c;
    ConnGet(n, &c);
    EXPECT_EQ(DrcCheckConn(e, &c, 0, 1), 1);
    c.crn[0].y = c.crn[1].y = 32699;
    EXPECT_EQ(DrcCheckConn(e, &c, 0, 1), 0);
    EXPECT_EQ(DrcCheckConn(0, &c, 0, 1), 1);
    EXPECT_FATAL(DrcCheckConn(e, &c, -1, 1), 2166080);
    EXPECT_FATAL(DrcCheckConn(e, &c, 0, 2), 2166082);
    // A via over a pad of another net.
    Conn v{};
    v.head.net = 1;
    v.head.count = 1;
    v.crn[0] = Crn{15000, 30000, 0, 0, 0, 1, 0};
    EXPECT_EQ(DrcCheckConn(e, &v, 0, 0), 0);
    UrAllocRecords();
    Goal()->objIndex = int16_t(e);
    EXPECT_EQ(ClearAllVias(&v), 0);
    v.crn[0].y = 36000;
    EXPECT_EQ(DrcCheckConn(e, &v, 0, 0), 1);
    EXPECT_EQ(ClearAllVias(&v), 1);
    EXPECT_EQ(ClearAllJumpers(&c), 1); // no jumper layer
}

TEST_F(GatherTest, TheMapFollowsTheJournal) {
    const int32_t n = StoreConn(1, {{24000, 36000, 1}, {30000, 36000, 0}});
    const int32_t e = AddConn(n);
    const int32_t o = StoreObs(kObsRouteKeepout, 2, kObsNoNet,
                               {{36000, 36000}, {39000, 36000}, {39000, 39000}, {36000, 39000}});
    const int32_t eo = AddObs(o);
    const int32_t loose =
        StoreObs(kObsRouteKeepout, 2, kObsNoNet, {{36000, 15000}, {39000, 15000}, {39000, 18000}});
    ASSERT_EQ(MapAll(), 1);
    EXPECT_TRUE(Holds(e, 18, 24, 1));
    EXPECT_TRUE(Holds(eo, 25, 25, 2));
    AltPush();
    Conn moved;
    ConnGet(n, &moved);
    moved.crn[0].y = moved.crn[1].y = 42000;
    AltPut(kRecConn, n, 0, &moved);
    Obstacle shifted;
    ObsGet(o, &shifted);
    for (int32_t i = 0; i < shifted.head.count; ++i)
        shifted.pt[i].y -= 12000;
    ObsBox(&shifted);
    AltPut(kRecObstacle, o, 0, &shifted);
    Obstacle other;
    ObsGet(loose, &other);
    AltPut(kRecObstacle, loose, 0, &other); // no entry in the window: skipped
    Net net;
    NetGet(1, &net);
    AltPut(kRecNet, 1, 0, &net); // ignored
    g_debug = 1;                 // failed expectations fatal: an obstacle item is not followed here
    EXPECT_FATAL(MapAltOriginals(1), 2161050);
    g_debug = 0;
    ConnMap(ConnRef(n), e, 0, 1, 0);
    MapAltOriginals(1);
    EXPECT_FALSE(Holds(e, 18, 24, 1));
    EXPECT_TRUE(Holds(eo, 25, 25, 2)); // obstacles are not followed here
    MapAltChanges(0);
    EXPECT_TRUE(Holds(e, 18, 28, 1));
    // Undoing the level: the current images out, the saved ones back in.
    ObsMap(eo, &shifted, 0);
    EXPECT_TRUE(Holds(eo, 25, 17, 2));
    MapAltRestore();
    EXPECT_FALSE(Holds(e, 18, 28, 1));
    EXPECT_TRUE(Holds(e, 18, 24, 1));
    EXPECT_FALSE(Holds(eo, 25, 17, 2));
    EXPECT_TRUE(Holds(eo, 25, 25, 2));
    AltPop(false);
}

} // namespace

namespace {

TEST_F(GatherTest, PadsMarkedLatestAreMeasuredWhereTheyStood) {
    ASSERT_EQ(MapAll(), 1);
    // U1 moves 6,000 up inside a journal level; its pin 1 pad is probed at
    // the old place.
    AltPush();
    Component u;
    AltSave(kRecComponent, 1, &u);
    u.y += 6000;
    AltPut(kRecComponent, 1, 0, &u);
    EXPECT_EQ(GatherTestPad(12000, 30000, 18000, 30000, kProbeSeg, 1, 300, p1, 0, 0), kTouchNone);
    ObjEntry(p1)->flags |= kObjFlagLatest;
    EXPECT_EQ(GatherTestPad(12000, 30000, 18000, 30000, kProbeSeg, 1, 300, p1, 0, 0), kTouchPad);
    EXPECT_EQ(GatherTestPad(12000, 36000, 18000, 36000, kProbeSeg, 1, 300, p1, 0, 0), kTouchNone);
    AltPop(false);
}

TEST_F(GatherTest, TheMazeShadowFollowsMappingAndUnmapping) {
    ASSERT_EQ(MapAll(), 1);
    const int32_t n = StoreConn(2, {{24000, 42000, 1}, {33000, 42000, 0}});
    const int32_t e = AddConn(n);
    const int32_t x = MzX(27000), y = MzY(42000);
    EXPECT_EQ(MazeGet(x, y, 1), kCellFree);
    ConnMap(ConnRef(n), e, 0, 1, 0);
    EXPECT_NE(MazeGet(x, y, 1), kCellFree);
    ConnMap(ConnRef(n), e, 0, 1, 1);
    EXPECT_EQ(MazeGet(x, y, 1), kCellFree);
}

} // namespace
