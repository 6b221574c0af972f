// The connection rule check against obstacles of each kind, at shared pins,
// at its ends and via sites, and on input it cannot measure.
#include <string>
#include <vector>

#include "db/db.h"
#include "db/attrs.h"
#include "db/comps.h"
#include "db/layers.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "router/viamap.h"
#include "rules/drcconn.h"
#include "rulefixture.h"

namespace {

class DrcObjectsTest : public RuleTest {
  protected:
    void SetUp() override {
        RuleTest::SetUp();
        OpenBoard("*COMP U1 [15000, 15000] Symbol=1\r\n*COMP C1 [15000, 45000] Symbol=2\r\n", 1);
    }
    int32_t Check(int32_t entry, const Conn* c, int16_t mode) {
        DrcModeScope scope(mode);
        return DrcCheckConn(entry, c, 0, c->head.count - 1);
    }
    static void SetNetFlags(int32_t n, uint16_t flags) {
        Net net;
        NetGet(n, &net);
        net.flags = flags;
        DbTrustedScope trusted;
        NetPut(n, &net);
    }
};

TEST_F(DrcObjectsTest, ObstacleKinds) {
    // A crosses the box 25,000..29,000 x 28,000..32,000 with a via corner
    // inside; V is that via alone; D lies wholly inside it; E has a corner outside the board
    // outline of 2,000..58,000.
    const int32_t a = StoreConn(1, {{21000, 30000, 1}, {27000, 30000, 2, 1}, {33000, 30000, 0}});
    const int32_t d = StoreConn(1, {{26500, 30000, 1}, {27500, 30000, 0}});
    const int32_t v = StoreConn(1, {{27000, 30000, 0, 1}});
    const std::initializer_list<std::pair<int32_t, int32_t>> box = {
        {25000, 28000}, {29000, 28000}, {29000, 32000}, {25000, 32000}, {25000, 28000}};
    struct Case {
        int32_t kind;
        bool crossing, inside, via;
    } cases[] = {
        {kObsAvoid, true, true, true},           {kObsCopper, false, false, false},
        {kObsRouteKeepout, false, false, false}, {kObsShavable, false, false, false},
        {kObsNoVia, false, true, false},         {kObsOutline, false, true, true},
        {kObsCompKeepout, true, true, true},
    };
    for (const Case& c : cases) {
        ObjTableInit();
        const int32_t o = StoreObs(c.kind, 1, kObsNoNet, box);
        const int32_t eo = AddObs(o);
        const int32_t ea = AddConn(a), ed = AddConn(d), ev = AddConn(v);
        ASSERT_EQ(MapAll(), 1);
        (void)eo;
        EXPECT_EQ(Check(ea, ConnRef(a), kDrcFail), c.crossing ? 1 : 0) << c.kind;
        EXPECT_EQ(Check(ed, ConnRef(d), kDrcFail), c.inside ? 1 : 0) << c.kind;
        EXPECT_EQ(Check(ev, ConnRef(v), kDrcFail), c.via ? 1 : 0) << c.kind;
        for (int16_t mode : {kDrcRecord, kDrcMarkMaze, kDrcCount})
            Check(ea, ConnRef(a), mode);
        ObsDelete(o);
    }
    // the board outline: a corner outside fails, a corner on it does not
    ObjTableInit();
    const int32_t o =
        StoreObs(kObsBoardOutline, 0, kObsNoNet,
                 {{2000, 2000}, {58000, 2000}, {58000, 58000}, {2000, 58000}, {2000, 2000}});
    AddObs(o);
    const int32_t in = StoreConn(1, {{20000, 20000, 1}, {20000, 24000, 0}});
    const int32_t ein = AddConn(in);
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(Check(ein, ConnRef(in), kDrcFail), 1);
    Conn out = *ConnRef(in);
    out.crn[1].x = 1000;
    out.crn[1].y = 20000;
    EXPECT_EQ(Check(ein, &out, kDrcFail), 0);
}

TEST_F(DrcObjectsTest, PinsSharedByTwoNets) {
    // A (net 1) and B (net 2) both start at U1.1 (15,000, 15,000)
    Conn ca{}, cb{};
    const int32_t a = StoreConn(1, {{15000, 15000, 1}, {15000, 20000, 0}});
    const int32_t b = StoreConn(2, {{15000, 15000, 1}, {10000, 15000, 0}});
    for (int32_t n : {a, b}) {
        Conn c = *ConnRef(n);
        c.head.fromComp = 1;
        c.head.fromPin = 1;
        DbTrustedScope trusted;
        ConnPut(n, &c);
    }
    ca = *ConnRef(a);
    cb = *ConnRef(b);
    (void)cb;
    const int32_t ea = AddConn(a);
    AddConn(b);
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(Check(ea, &ca, kDrcRecord), 1);
    std::vector<ErrorMarker> m = Markers();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].type, kErrKindPinTwoNets);
    EXPECT_EQ(m[0].x, 15000);
    EXPECT_EQ(m[0].y, 15000);
    EXPECT_EQ(m[0].layer, 0);
    EXPECT_EQ(m[0].sub1, 0);
    // with a net that tests itself, leaving in different directions leaves
    // corner 0 out: nothing is left to test
    SetNetFlags(1, kNetNoShare);
    EXPECT_EQ(Check(ea, &ca, kDrcFail), 1);
    // leaving alike on one layer keeps it: the two overlap
    Conn c = *ConnRef(b);
    c.crn[1].x = 15000;
    c.crn[1].y = 19000;
    {
        DbTrustedScope trusted;
        ConnPut(b, &c);
    }
    ObjTableInit();
    const int32_t ea2 = AddConn(a);
    AddConn(b);
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(Check(ea2, &ca, kDrcFail), 0);
}

TEST_F(DrcObjectsTest, EndLayerTestRunsInModesOneAndTwoOnly) {
    // C1.1 at (15,000, 45,000) has a pad on layer 1 only
    Conn c{};
    c.head.net = 1;
    c.head.fromComp = 2;
    c.head.fromPin = 1;
    c.head.count = 2;
    c.crn[0] = Crn{15000, 45000, 10, 2, 0, 0, 0};
    c.crn[1] = Crn{15000, 52000, 10, 0, 0, 0, 0};
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(Check(0, &c, kDrcFail), 0);
    EXPECT_EQ(Check(0, &c, kDrcMarkMaze), 0);
    EXPECT_EQ(Check(0, &c, kDrcRecord), 1);
    EXPECT_EQ(Check(0, &c, kDrcCount), 1);
    EXPECT_EQ(DrcConnEnds(0, &c, 0, 1, kDrcEndLayerTest), 0);
    c.crn[0].layer = 1;
    EXPECT_EQ(Check(0, &c, kDrcFail), 1);
    // a free end passes; a range that leaves the end out does not test it
    c.crn[0].layer = 2;
    EXPECT_EQ(DrcConnEnds(0, &c, 1, 1, kDrcEndLayerTest), 1);
    c.head.fromComp = 0;
    EXPECT_EQ(DrcConnEnds(0, &c, 0, 1, kDrcEndLayerTest), 1);
}

TEST_F(DrcObjectsTest, ViaSitesOnBlockedCellsAndListedViaTypes) {
    const int32_t a = StoreConn(1, {{21000, 30000, 1}, {27000, 30000, 2, 1}, {27000, 36000, 0}});
    const int32_t ea = AddConn(a);
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(Check(ea, ConnRef(a), kDrcFail), 1);
    const int32_t mx = MzX(27000), my = MzY(30000);
    ViaMapMarkRect(mx - 4, my - 4, mx + 4, my + 4, 1, kViaFillBits);
    ASSERT_NE(ViaMapGet(mx, my, 1) & kViaFillBits, 0);
    EXPECT_EQ(Check(ea, ConnRef(a), kDrcFail), 0);
    // modes 0 and 3 go on past a failed via without recording it
    EXPECT_EQ(Check(ea, ConnRef(a), kDrcRecord), 1);
    EXPECT_EQ(Markers().size(), 0u);
    // the net's own copper area holding the via excuses it
    const int32_t o =
        StoreObs(kObsCopper, 0, 1,
                 {{25000, 28000}, {29000, 28000}, {29000, 32000}, {25000, 32000}, {25000, 28000}});
    const int32_t eo = AddObs(o);
    ASSERT_EQ(MapAll(), 1);
    ViaMapMarkRect(mx - 4, my - 4, mx + 4, my + 4, 1, kViaFillBits);
    if (ObjEntry(eo)->net != 1) ObjSetNet(eo, 1);
    EXPECT_EQ(Check(ea, ConnRef(a), kDrcFail), 1);
    // another net's area does not
    ObjSetNet(eo, 2);
    EXPECT_EQ(Check(ea, ConnRef(a), kDrcFail), 0);
    ObjSetNet(eo, 1);
    // with the via restriction the via type must be listed, as a thru code
    // (the attribute's second key type 6); another key type is not listed
    SetNetFlags(1, kNetAttr7);
    EXPECT_EQ(Check(ea, ConnRef(a), kDrcFail), 0);
    Attribute at{};
    at.kind = kAttrViaListed;
    at.key1Type = kAttrKeyNet;
    at.key2Type = 9;
    at.key1 = 1;
    at.key2 = 1;
    at.value1 = 1;
    {
        DbTrustedScope trusted; // only a trusted store gets such a record past the put
        AttrPut(&at);
    }
    ASSERT_NE(NetRef(1)->flags & kNetAttr7, 0);
    EXPECT_EQ(Check(ea, ConnRef(a), kDrcFail), 0);
    EXPECT_EQ(Check(ea, ConnRef(a), kDrcMarkMaze), 0);
    EXPECT_EQ(Check(ea, ConnRef(a), kDrcRecord), 1);
    at.key2Type = kAttrKeyThru;
    at.key1 = 2;
    AttrPut(&at);
    Conn c = *ConnRef(a);
    c.head.net = 2;
    ObjSetNet(eo, 2);
    EXPECT_EQ(Check(ea, &c, kDrcFail), 1);
}

TEST_F(DrcObjectsTest, UnmeasurableInputNeverEndsTheProgram) {
    // an OBLONG via pad, a Shavable obstacle, an Arc corner that is not
    // Locked and a pad layer of code 0 turned by 30 degrees, checked in
    // modes 0, 1 and 2 on an image that is not mapped
    SetViaPad(1, 1, kPadOblong, 300, 150, 300, 150);
    ThruCode t;
    ThruGet(1, &t);
    t.layer[2].shapeCount = 1;
    t.layer[2].shape[0] = PadShape{};
    {
        DbTrustedScope trusted;
        ThruPut(1, &t);
    }
    Component u;
    CompGet(1, &u);
    u.angle = 1800;
    {
        DbTrustedScope trusted;
        CompPut(1, &u);
    }
    const int32_t b = StoreConn(2, {{26000, 29000, 1}, {28000, 29000, 0}});
    const int32_t o =
        StoreObs(kObsShavable, 1, kObsNoNet,
                 {{25000, 31000}, {29000, 31000}, {29000, 32000}, {25000, 32000}, {25000, 31000}});
    AddConn(b);
    AddObs(o);
    AddPad(1, 1, 2);
    ASSERT_EQ(MapAll(), 1);
    Conn c{};
    c.head.net = 1;
    const Crn corners[] = {{15000, 18000, 10, 1, 0, 0, 0},
                           {24000, 33000, 10, 1, kCrnArc, 0, 0},
                           {27000, 30000, 10, 2, 0, 1, 0},
                           {27000, 36000, 10, 0, 0, 0, 0}};
    for (const Crn& k : corners)
        c.crn[c.head.count++] = k;
    for (int16_t mode : {kDrcRecord, kDrcFail, kDrcMarkMaze}) {
        try {
            EXPECT_EQ(Check(0, &c, mode), 0) << mode;
        } catch (const FatalError& f) {
            ADD_FAILURE() << "mode " << mode << ": fatal " << f.code << " " << f.detail;
        }
    }
    EXPECT_EQ(DrcMode, kDrcFail);
}

} // namespace

namespace {

TEST_F(DrcObjectsTest, JumperSegmentsRunBetweenViasAlongAnAxisAtAListedLength) {
    Layer l;
    LayerGet(2, &l);
    l.flags |= kLayerJumperFlag;
    {
        DbTrustedScope trusted;
        LayerPut(2, &l);
    }
    ASSERT_TRUE(BoardHasJumperLayer());
    auto jumper = [](int32_t x2, int32_t y2, int32_t via2) {
        Conn c{};
        c.head.net = 1;
        const Crn corners[] = {{21000, 30000, 10, 1, 0, 0, 0},
                               {24000, 30000, 10, 2, 0, 1, 0},
                               {x2, y2, 10, 1, 0, uint8_t(via2), 0},
                               {x2 + 3000, y2, 10, 0, 0, 0, 0}};
        for (const Crn& k : corners)
            c.crn[c.head.count++] = k;
        return c;
    };
    ASSERT_EQ(MapAll(), 1);
    const Conn good = jumper(24000, 36000, 1);
    EXPECT_EQ(Check(0, &good, kDrcFail), 1);
    EXPECT_EQ(DrcJumperCheck(&good, 0, 3), 1);
    const Conn diagonal = jumper(30000, 36000, 1);
    EXPECT_EQ(DrcJumperCheck(&diagonal, 0, 3), 0);
    const Conn noVia = jumper(24000, 36000, 0);
    EXPECT_EQ(DrcJumperCheck(&noVia, 0, 3), 0);
    // a listed length other than 6,000: the first breach is recorded at the
    // jumper's midpoint on its layer
    Attribute at{};
    at.kind = kAttrJumperLength;
    at.key1Type = kAttrKeyLayer;
    at.key1 = 2;
    at.key2 = 1;
    at.value1 = 3000;
    AttrPut(&at);
    EXPECT_EQ(Check(0, &good, kDrcFail), 0);
    EXPECT_EQ(Check(0, &good, kDrcRecord), 0);
    std::vector<ErrorMarker> m = Markers();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].type, kErrKindIllegalJumper);
    EXPECT_EQ(m[0].x, 24000);
    EXPECT_EQ(m[0].y, 33000);
    EXPECT_EQ(m[0].layer, 2);
    at.key2 = 2;
    at.value1 = 6000;
    AttrPut(&at);
    EXPECT_EQ(DrcJumperCheck(&good, 0, 3), 1);
}

TEST_F(DrcObjectsTest, ExitTestFailsANeighbourInsideThePad) {
    // U1.1 at (15,000, 15,000), a round pad of radius 1,800
    Conn c{};
    c.head.net = 1;
    c.head.fromComp = 1;
    c.head.fromPin = 1;
    c.head.count = 2;
    c.crn[0] = Crn{15000, 15000, 10, 1, 0, 0, 0};
    c.crn[1] = Crn{15000, 16000, 10, 0, 0, 0, 0};
    EXPECT_EQ(DrcConnEnds(0, &c, 0, 1, kDrcEndExitTest), 0);
    c.crn[1].y = 20000;
    EXPECT_EQ(DrcConnEnds(0, &c, 0, 1, kDrcEndExitTest), 1);
    EXPECT_FATAL(DrcConnEnds(0, &c, 0, 1, 2), kErrDrcEndVariant);
}

TEST_F(DrcObjectsTest, AOneCornerRangeChecksOnlyItsVia) {
    const int32_t b = StoreConn(2, {{21000, 30300, 1}, {33000, 30300, 0}});
    AddConn(b);
    ASSERT_EQ(MapAll(), 1);
    Conn c{};
    c.head.net = 1;
    const Crn corners[] = {{21000, 30000, 10, 1, 0, 0, 0},
                           {27000, 30000, 10, 1, 0, 0, 0},
                           {33000, 30000, 10, 0, 0, 0, 0}};
    for (const Crn& k : corners)
        c.crn[c.head.count++] = k;
    DrcModeScope scope(kDrcFail);
    EXPECT_EQ(DrcCheckConn(0, &c, 0, 2), 0);
    EXPECT_EQ(DrcCheckConn(0, &c, 1, 1), 1);
    c.crn[1].via = 1;
    EXPECT_EQ(DrcCheckConn(0, &c, 1, 1), 0);
}

} // namespace
