// The fan-out of surface-mount pads: the pad list's order, a new fan-out
// spread to the pin's other connections, a pin that already has one, a pad
// without a net, the rule check of a via straight ahead, the 45-degree
// bend's early stop, and the pad's error marker.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/attrs.h"
#include "db/comps.h"
#include "db/markers.h"
#include "db/pool.h"
#include "router/disperse.h"
#include "router/layertab.h"
#include "router/padexit.h"
#include "router/objmap.h"
#include "router/rulesvc.h"
#include "router/urstate.h"
#include "prepfixture.h"

namespace {

std::vector<std::string> g_lines;
void Collect(const char* text) {
    g_lines.emplace_back(text);
}

// U1 CHIP (15,000, 30,000): SMD pins at x 15,000 and 21,000; U2 DIP8
// (39,000, 45,000); U3 QUAD (30,000, 15,000): four SMD pins 3,000 apart;
// U4 CHIP (45,000, 15,000).
const char kParts[] =
    "*SYMBOL 5 \"QUAD\" 1 \"1\" [0, 0] Thru=2 2 \"2\" [3000, 0] Thru=2 3 \"3\" [6000, 0] Thru=2"
    " 4 \"4\" [9000, 0] Thru=2\r\n"
    "*COMP U1 [15000, 30000] Symbol=2\r\n*COMP U2 [39000, 45000] Symbol=3\r\n"
    "*COMP U3 [30000, 15000] Symbol=5\r\n*COMP U4 [45000, 15000] Symbol=2\r\n";

class DisperseTest : public PrepTest {
  protected:
    void SetUp() override {
        PrepTest::SetUp();
        OpenBoard(kParts);
        Goal()->iterateLimit = 6;
    }
    void TearDown() override {
        while (AltDepth() > 0)
            AltPop(false);
        RuleServicesInstall(nullptr);
        PrepTest::TearDown();
    }
    // A stored connection with its ends, entered into the object table.
    static int32_t AddEnds(std::initializer_list<CrnSpec> corners, int32_t fromComp,
                           int32_t fromPin, int32_t toComp, int32_t toPin, int32_t net = 1) {
        const int32_t n = StoreConn(net, corners);
        Conn c;
        ConnGet(n, &c);
        c.head.fromComp = int16_t(fromComp);
        c.head.fromPin = int16_t(fromPin);
        c.head.toComp = int16_t(toComp);
        c.head.toPin = int16_t(toPin);
        {
            DbTrustedScope trusted;
            ConnPut(n, &c);
        }
        MapTest::AddConn(n);
        return n;
    }
    static void PadNet(int32_t comp, int32_t pin, int32_t net) {
        ObjSetNet(ObjFindPad(comp, pin), net);
    }
    static void RequireLayer(int32_t net, int32_t layer) {
        Attribute a{};
        a.kind = kAttrNetLayer;
        a.key1Type = kRecNet;
        a.key1 = int16_t(net);
        a.key2 = int16_t(layer);
        a.value1 = 1;
        AttrPut(&a);
        Net r;
        NetGet(net, &r);
        NetPut(net, &r);
    }
    static Conn Read(int32_t n) {
        Conn c;
        AltSave(kRecConn, n, &c);
        return c;
    }
    // The index of the first via corner, -1 when none.
    static int32_t FirstVia(const Conn& c) {
        for (int32_t i = 0; i < c.head.count; ++i)
            if (c.crn[i].via) return i;
        return -1;
    }
};

TEST_F(DisperseTest, PadListOrder) {
    RequireLayer(2, 1);
    PadNet(3, 3, 2); // QUAD pin 3: required layer, key 0
    PadNet(1, 1, 1);
    const int32_t pool = PoolOpen(53580);
    Goal()->remainingCount = 1;
    std::vector<std::pair<int32_t, int32_t>> got;
    for (DisperseNode* n = DisperseRank(pool); n; n = n->next)
        got.push_back({ObjEntry(n->obj)->index, ObjEntry(n->obj)->link});
    PoolClose(pool);
    // The QUAD (least distance 3,000 less 4 pins) before the CHIPs (6,000
    // less 2); within the QUAD pin 3 first, then by distance to the centre
    // (34,500): pins 2 and 3 are 1,500 away, pins 1 and 4 4,500; the DIP
    // has no SMT pad.
    std::vector<std::pair<int32_t, int32_t>> want = {{3, 3}, {3, 2}, {3, 1}, {3, 4},
                                                     {1, 1}, {1, 2}, {4, 1}, {4, 2}};
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(got[i], want[i]) << i;
    EXPECT_EQ(got[4].first, got[5].first); // one CHIP's pads together
    EXPECT_EQ(Goal()->remainingCount, 1 + 8);
    EXPECT_EQ(Goal()->iterateLimit, CurSweep().attempts[Goal()->pass]);
}

TEST_F(DisperseTest, NewFanOutReachesEveryOpenConnectionOfThePin) {
    PadNet(1, 1, 1);
    const int32_t a = AddEnds({{15000, 30000, 0}, {39000, 45000, 0}}, 1, 1, 2, 1);
    const int32_t b = AddEnds({{21000, 30000, 0}, {15000, 30000, 0}}, 1, 2, 1, 1); // ends there
    ASSERT_EQ(MapAll(), 1);
    AltPush();
    ASSERT_EQ(DispersePin(ObjFindPad(1, 1)), 1);
    for (int32_t n : {a, b}) {
        SCOPED_TRACE(n);
        Conn c = Read(n);
        // Pad on the top layer, then the via; the pad end is kept.
        const bool atStart = c.crn[0].x == 15000 && c.crn[0].y == 30000;
        if (!atStart) ConnReverse(&c);
        ASSERT_EQ(int32_t(c.crn[0].x), 15000);
        EXPECT_EQ(int32_t(c.crn[0].layer), 1);
        const int32_t v = FirstVia(c);
        ASSERT_GT(v, 0);
        EXPECT_EQ(int32_t(c.crn[v].via), 1);
        for (int32_t i = 0; i < v; ++i)
            EXPECT_EQ(int32_t(c.crn[i].layer), 1) << i;
        EXPECT_EQ(int32_t(c.crn[v].layer), 0); // on from the via: still to route
        EXPECT_EQ(DrcCheckConn(ObjFindConn(n), &c, 0, v), 1);
    }
    EXPECT_EQ(int32_t(Read(a).crn[FirstVia(Read(a))].x), [&] {
        Conn c = Read(b);
        ConnReverse(&c);
        return int32_t(c.crn[FirstVia(c)].x);
    }());
    AltPop(false);
}

TEST_F(DisperseTest, PinWithAFanOutSharesItsVia) {
    PadNet(1, 1, 1);
    // Pad, segment, via 1, then unrouted on to U2.1.
    const int32_t done =
        AddEnds({{15000, 30000, 1}, {10500, 30000, 0, 1}, {39000, 45000, 0}}, 1, 1, 2, 1);
    const int32_t open = AddEnds({{39000, 45000, 0}, {15000, 30000, 0}}, 2, 1, 1, 1);
    ASSERT_EQ(MapAll(), 1);
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    AltPush();
    EXPECT_EQ(DispersePin(ObjFindPad(1, 1)), 1);
    g_verbose = 0;
    DebugSetTraceReceiver(nullptr);
    for (const std::string& l : g_lines)
        EXPECT_EQ(l.find("DisperseFindPath"), std::string::npos) << l; // no search
    Conn c = Read(open);
    ASSERT_EQ(int32_t(c.head.count), 3);
    EXPECT_EQ(int32_t(c.crn[1].x), 10500);
    EXPECT_EQ(int32_t(c.crn[1].via), 1); // the via reaches it
    EXPECT_EQ(int32_t(c.crn[0].layer), 0);
    EXPECT_EQ(int32_t(c.crn[1].layer), 1);
    EXPECT_EQ(int32_t(c.crn[2].x), 15000);
    EXPECT_EQ(int32_t(Read(done).head.count), 3); // the pattern itself is left alone
    AltPop(false);
}

TEST_F(DisperseTest, PadWithoutNetIsNotUsed) {
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    EXPECT_EQ(DispersePin(ObjFindPad(4, 2)), 1);
    g_verbose = 0;
    DebugSetTraceReceiver(nullptr);
    bool seen = false;
    for (const std::string& l : g_lines)
        seen = seen || l == "DispersePin: PASS U4.2 is not used";
    EXPECT_TRUE(seen);
    EXPECT_FATAL(DispersePin(1), kErrDisperseNotPad); // the board edge
}

// The rule check of the test below: a via alone (the pad's segment still
// unrouted) passes, any copper fails; every call is recorded.
struct Call {
    int32_t last, padY, viaY, bends;
};
std::vector<Call> g_calls;
int32_t RecordingCheck(int32_t, const Conn* c, int32_t, int32_t last) {
    int32_t v = 0;
    while (v < c->head.count && !c->crn[v].via)
        ++v;
    g_calls.push_back({last, c->crn[0].y, c->crn[v].y, v - 1});
    return c->crn[0].layer == 0 ? 1 : 0;
}

TEST_F(DisperseTest, ViaStraightAheadThatFailsEndsTheTry) {
    PadNet(1, 1, 1);
    AddEnds({{15000, 30000, 0}, {39000, 45000, 0}}, 1, 1, 2, 1);
    ASSERT_EQ(MapAll(), 1);
    RuleServices mine{};
    mine.DrcCheckConn = &RecordingCheck;
    RuleServicesInstall(&mine);
    g_calls.clear();
    AltPush();
    EXPECT_EQ(DispersePin(ObjFindPad(1, 1)), 0);
    bool straight = false;
    for (size_t i = 0; i < g_calls.size(); ++i) {
        const Call& c = g_calls[i];
        if (c.bends != 0 || c.viaY != c.padY || c.last != 1 || i == 0) continue;
        if (g_calls[i - 1].bends != 0) continue;
        straight = true;
        // The next call, if any, is for another via: no dog-leg for this one.
        if (i + 1 < g_calls.size()) {
            EXPECT_EQ(g_calls[i + 1].bends, 0);
        }
    }
    EXPECT_TRUE(straight);
    AltPop(false);
}

// One-bend stubs checked: the pad, the bend and the via.
struct Bend {
    int32_t px, py, bx, by, vx, vy;
};
std::vector<Bend> g_bends;
int32_t OneBendRecorder(int32_t, const Conn* c, int32_t, int32_t) {
    int32_t v = 0;
    while (v < c->head.count && !c->crn[v].via)
        ++v;
    if (v == 2)
        g_bends.push_back(
            {c->crn[0].x, c->crn[0].y, c->crn[1].x, c->crn[1].y, c->crn[2].x, c->crn[2].y});
    return c->crn[0].layer == 0 ? 1 : 0;
}

TEST_F(DisperseTest, FortyFiveDegreeBendNearerThePadThanTheClearanceEndsTheTry) {
    PadNet(1, 1, 1);
    AddEnds({{15000, 30000, 0}, {39000, 45000, 0}}, 1, 1, 2, 1);
    ASSERT_EQ(MapAll(), 1);
    RuleServices mine{};
    mine.DrcCheckConn = &OneBendRecorder;
    RuleServicesInstall(&mine);
    // The bend keeps the pad's reach and the widened pad-to-via clearance.
    PlacedPin placed;
    PlacedPad pad;
    CompPinPadGet(1, 1, 1, &placed, &pad);
    int32_t minX, minY, maxX, maxY;
    PlacedPadBox(pad, &minX, &minY, &maxX, &maxY);
    const int64_t padVia = LayerRecOf(1)->spacing[1][2] * 17 / 12;
    auto nearest = [&](const Bend& b) {
        // The run from the pad to the bend, less the pad's reach that way.
        if (b.by == b.py) return b.bx > b.px ? b.bx - maxX : minX - b.bx;
        return b.by > b.py ? b.by - maxY : minY - b.by;
    };
    for (int32_t rounds : {5, 6}) {
        SCOPED_TRACE(rounds);
        Goal()->iterateLimit = int16_t(rounds);
        g_bends.clear();
        AltPush();
        EXPECT_EQ(DispersePin(ObjFindPad(1, 1)), 0);
        AltPop(false);
        ASSERT_FALSE(g_bends.empty());
        int64_t least = INT64_MAX;
        bool steep = false;
        for (const Bend& b : g_bends) {
            least = std::min<int64_t>(least, nearest(b));
            steep = steep || std::abs(b.vx - b.bx) != std::abs(b.vy - b.by);
        }
        if (rounds == 5) {
            // Rounds 0 to 4: every bend at 45 degrees and no nearer.
            EXPECT_GE(least, padVia);
            EXPECT_FALSE(steep);
        } else {
            // The last round puts a bend that would lie nearer on the limit.
            EXPECT_TRUE(steep);
        }
    }
}

// Accepts a via alone and stubs of exactly two bends.
int32_t TwoBendsOnly(int32_t, const Conn* c, int32_t, int32_t) {
    int32_t v = 0;
    while (v < c->head.count && !c->crn[v].via)
        ++v;
    return c->crn[0].layer == 0 || v == 3 ? 1 : 0;
}

TEST_F(DisperseTest, ShortRunAcrossBecomesTwoBendsOnTheViaLine) {
    PadNet(1, 1, 1);
    const int32_t n = AddEnds({{15000, 30000, 0}, {39000, 45000, 0}}, 1, 1, 2, 1);
    ASSERT_EQ(MapAll(), 1);
    RuleServices mine{};
    mine.DrcCheckConn = &TwoBendsOnly;
    RuleServicesInstall(&mine);
    AltPush();
    ASSERT_EQ(DispersePin(ObjFindPad(1, 1)), 1);
    Conn c = Read(n);
    if (c.crn[0].x != 15000 || c.crn[0].y != 30000) ConnReverse(&c);
    ASSERT_EQ(FirstVia(c), 3);
    const Crn pad = c.crn[0], b1 = c.crn[1], b2 = c.crn[2], via = c.crn[3];
    // One leg leaves the pad's line at 45 degrees and reaches the via's
    // line; a straight piece on that line reaches the via.
    const bool alongX = b1.y == pad.y;
    ASSERT_TRUE(alongX || b1.x == pad.x);
    if (alongX) {
        EXPECT_EQ(int32_t(b2.y), int32_t(via.y));
        EXPECT_EQ(std::abs(b2.x - b1.x), std::abs(b2.y - b1.y));
    } else {
        EXPECT_EQ(int32_t(b2.x), int32_t(via.x));
        EXPECT_EQ(std::abs(b2.x - b1.x), std::abs(b2.y - b1.y));
    }
    AltPop(false);
}

TEST_F(DisperseTest, ErrorMarkerAddedOnceDeletedOnlyWhenThere) {
    AltPush();
    DisperseError(1, 2, 0); // not there: nothing
    EXPECT_EQ(AltCount(), 0);
    DisperseError(1, 2, 1);
    ASSERT_EQ(AltCount(), 1);
    AltPop(true);
    ASSERT_EQ(MarkerCount(), 1);
    ErrorMarker m;
    MarkerGet(1, &m);
    EXPECT_EQ(int32_t(m.type), 16);
    EXPECT_EQ(int32_t(m.kind1), 9);
    EXPECT_EQ(int32_t(m.id1), int32_t(CompRef(1)->recordId));
    EXPECT_EQ(int32_t(m.sub1), 2);
    EXPECT_EQ(int32_t(m.x), 21000);
    AltPush();
    DisperseError(1, 2, 1); // already there: nothing
    EXPECT_EQ(AltCount(), 0);
    DisperseError(1, 2, 0);
    AltPop(true);
    EXPECT_EQ(MarkerCount(), 0);
}

} // namespace
