// Connections: slot storage and growth, the checks and derived values of a
// stored connection, net lists, deletion, corner editing, fitting to moved
// pins, layer reach and the debug dump.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "compfixture.h"
#include "db/attrs.h"
#include "db/conns.h"
#include "db/err.h"
#include "db/geom.h"
#include "db/layers.h"
#include "db/nets.h"

namespace {

std::vector<std::string> g_trace;
void Collect(const char* text) {
    g_trace.emplace_back(text);
}

struct C {
    int32_t x, y;
    uint16_t width = 0;
    uint8_t layer = 0;
    uint8_t flags = 0;
    uint8_t via = 0;
};

class ConnTest : public CompDbTest {
  protected:
    void SetUp() override {
        CompDbTest::SetUp();
        ConnRegister(); // other tests may have replaced the component hooks
        g_trace.clear();
        // Via type 1 and the through-hole padstack have pads on layers 1
        // and 2; the surface-mount padstack on layer 1 only.
        ThruCode via;
        ThruGet(1, &via);
        for (int32_t l = 1; l <= 2; ++l) {
            via.layer[l].shapeCount = 1;
            via.layer[l].shape[0].code = kPadRound;
            for (int32_t& e : via.layer[l].shape[0].ext)
                e = 300;
        }
        ThruPut(1, &via);
        through = AddThru({{kPadRound, 600, 600, 600, 600}});
        smd = AddThru({{kPadRect, 600, 300, 600, 300}}, 0x2);
        sym = AddSymbol(
            "SYM",
            {{0, 0, int16_t(through)}, {6000, 0, int16_t(through)}, {0, 6000, int16_t(smd)}});
        u1 = AddComp("U1", sym, 0, 0);
        u2 = AddComp("U2", sym, 60000, 0);
        net = NetAdd();
    }
    void TearDown() override {
        DebugSetTraceReceiver(nullptr);
        CompDbTest::TearDown();
    }

    static std::unique_ptr<Conn> Rec(int32_t n, int32_t fc, int32_t fp, int32_t tc, int32_t tp,
                                     std::vector<C> corners) {
        auto r = std::make_unique<Conn>();
        std::memset(r.get(), 0, sizeof(Conn));
        r->head.net = int16_t(n);
        r->head.fromComp = int16_t(fc);
        r->head.fromPin = int16_t(fp);
        r->head.toComp = int16_t(tc);
        r->head.toPin = int16_t(tp);
        r->head.count = int16_t(corners.size());
        for (size_t i = 0; i < corners.size(); ++i) {
            Crn& c = r->crn[i];
            c.x = corners[i].x;
            c.y = corners[i].y;
            c.width = corners[i].width;
            c.layer = corners[i].layer;
            c.flags = corners[i].flags;
            c.via = corners[i].via;
        }
        return r;
    }

    // Adds and stores a connection; answers its index.
    static int32_t Put(const Conn* r) {
        int32_t n = ConnAdd();
        ConnPut(n, r);
        return n;
    }

    // A routed U1.1 -> U2.1 straight along y = 0 on layer 1.
    int32_t PutStraight() { return Put(Rec(net, u1, 1, u2, 1, {{0, 0, 10, 1}, {60000, 0}}).get()); }

    static std::vector<int32_t> List(int32_t n) {
        std::vector<int32_t> out;
        for (int32_t c = NetConnFirst(n); c != 0; c = NetConnNext(c))
            out.push_back(c);
        return out;
    }

    static std::vector<std::pair<int32_t, int32_t>> Points(const Conn* r) {
        std::vector<std::pair<int32_t, int32_t>> out;
        for (int32_t i = 0; i < r->head.count; ++i)
            out.emplace_back(int32_t(r->crn[i].x), int32_t(r->crn[i].y));
        return out;
    }

    int32_t through = 0, smd = 0, sym = 0, u1 = 0, u2 = 0, net = 0;
};

using P = std::vector<std::pair<int32_t, int32_t>>;

// ---- storage -------------------------------------------------------------------

TEST_F(ConnTest, GrowthFillsTheLowTableThenTheHighTable) {
    DbFree();
    DbHeaderReset();
    DbHdr().connCount = 15600;
    DbInit();
    ConnLayout l;
    ConnTestLayout(&l);
    EXPECT_EQ(l.lowPointers, 15601);
    EXPECT_EQ(l.highPointers, 1);
    EXPECT_EQ(l.capacity, 15600);
    for (int32_t i = 1; i <= 15600; ++i)
        ConnAdd();
    ConnAdd(); // grows: the low table stops at 16,000 slots
    ConnTestLayout(&l);
    EXPECT_EQ(l.lowPointers, kConnLowPointers);
    EXPECT_EQ(l.highPointers, 1);
    EXPECT_EQ(l.capacity, 16000);
    while (ConnCount() < 16000)
        ConnAdd();
    int32_t position = -1;
    EXPECT_EQ(ConnTestSlotPlace(15999, &position), 0);
    EXPECT_EQ(position, 15999);
    EXPECT_EQ(ConnTestSlotPlace(16000, &position), 1);
    EXPECT_EQ(position, 0);
    ConnAdd();
    ConnTestLayout(&l);
    EXPECT_EQ(l.highPointers, 501);
    EXPECT_EQ(l.capacity, 16500);
    EXPECT_EQ(ConnTestSlotPlace(16001, &position), 1);
    EXPECT_EQ(position, 1);
}

TEST_F(ConnTest, InitialCapacityOf16000OrMoreAndTheLimit) {
    DbFree();
    DbHeaderReset();
    DbHdr().connCount = 20000;
    DbInit();
    ConnLayout l;
    ConnTestLayout(&l);
    EXPECT_EQ(l.lowPointers, kConnLowPointers);
    EXPECT_EQ(l.highPointers, 4001);
    EXPECT_EQ(l.capacity, 20000);
    DbFree();
    DbHeaderReset();
    DbHdr().connCount = 31500;
    DbInit();
    for (int32_t i = 1; i <= 31500; ++i)
        ConnAdd();
    EXPECT_FATAL_DETAIL(ConnAdd(), 5239030, "1041");
    DbFree();
    ConnTestLayout(&l);
    EXPECT_EQ(l.lowPointers + l.highPointers, 0);
}

TEST_F(ConnTest, EmptySlotsAndCopies) {
    int32_t n = ConnAdd();
    auto buf = std::make_unique<Conn>();
    std::memset(buf.get(), 0x5A, sizeof(Conn));
    EXPECT_EQ(ConnGet(n, buf.get()), 0);
    const auto* bytes = reinterpret_cast<const uint8_t*>(buf.get());
    EXPECT_EQ(std::count(bytes, bytes + sizeof(Conn), 0), 14050);
    EXPECT_EQ(ConnRef(n), nullptr);
    EXPECT_FATAL(ConnDelete(n), 5239036);
    auto big = Rec(net, 0, 0, 0, 0, {});
    big->head.count = 1001;
    EXPECT_FATAL(ConnCopy(buf.get(), big.get()), 5239091);
    big->head.count = 3;
    EXPECT_EQ(ConnCopy(buf.get(), big.get()), 36 + 42);
    EXPECT_FATAL(ConnGet(0, buf.get()), 5239082);
    EXPECT_FATAL(ConnRef(n + 1), 5239083);
}

TEST_F(ConnTest, DesignFileByteOrder) {
    auto r = Rec(0x0102, 0x0304, 0x0506, 0, 0, {{0x01020304, 5, 0x0A0B, 1, 2, 3}, {7, 8}});
    r->head.spare = 0x11223344;
    auto copy = std::make_unique<Conn>(*r);
    ConnSwapLayout(r.get(), 36 + 28);
    const auto* b = reinterpret_cast<const uint8_t*>(r.get());
    EXPECT_EQ(b[16], 0x11);     // the spare long
    EXPECT_EQ(b[20], 0x03);     // from component
    EXPECT_EQ(b[28], 0x01);     // net
    EXPECT_EQ(b[36], 0x01);     // corner 0 x
    EXPECT_EQ(b[36 + 8], 0x0A); // its width
    EXPECT_EQ(b[36 + 10], 1);   // layer, flags and via stay
    EXPECT_EQ(b[36 + 11], 2);
    EXPECT_EQ(b[36 + 12], 3);
    ConnSwapLayout(r.get(), 36 + 28);
    EXPECT_EQ(std::memcmp(r.get(), copy.get(), 36 + 28), 0);
}

TEST_F(ConnTest, BlocksAreReusedByCornerCount) {
    int32_t a = PutStraight();
    auto r = Rec(net, u1, 1, u2, 1, {{0, 0, 10, 1}, {30000, 0, 10, 1}, {60000, 0}});
    ConnPut(a, r.get()); // three corners: the two-corner block is released
    ConnLayout l;
    ConnTestLayout(&l);
    EXPECT_EQ(l.freeBlocks, 1);
    int32_t b = PutStraight(); // takes it back
    ConnTestLayout(&l);
    EXPECT_EQ(l.freeBlocks, 0);
    EXPECT_EQ(ConnRef(b)->head.count, 2);
    EXPECT_EQ(ConnRef(a)->head.count, 3);
}

// ---- storing ---------------------------------------------------------------------

TEST_F(ConnTest, OneCornerBecomesARatsnestLineFromPinToPin) {
    Net n;
    NetGet(net, &n);
    struct Case {
        uint16_t min, width, max, expected;
    } cases[] = {{5, 12, 20, 12}, {7, 0, 20, 7}};
    for (const Case& k : cases) {
        n.minWidth = k.min;
        n.width = k.width;
        n.maxWidth = k.max;
        NetPut(net, &n);
        int32_t c = Put(Rec(net, u1, 2, u2, 1, {{1, 1, 0, 3}}).get());
        const Conn* s = ConnRef(c);
        ASSERT_EQ(s->head.count, 2);
        EXPECT_EQ(Points(s), (P{{6000, 0}, {60000, 0}}));
        EXPECT_EQ(s->crn[0].layer, 0);
        EXPECT_EQ(s->crn[0].width, k.expected);
        EXPECT_EQ(s->crn[1].width, 0);
    }
    // While the header asks for a rebuild of chains the record stays short.
    DbHdr().flags |= kHdrNetValidate;
    int32_t c = Put(Rec(net, u1, 2, u2, 1, {{1, 1, 0, 0}}).get());
    EXPECT_EQ(ConnRef(c)->head.count, 1);
}

TEST_F(ConnTest, PutChecksIndexesCornersLayersAndVias) {
    int32_t n = ConnAdd();
    auto r = Rec(net, u1, 1, u2, 1, {{0, 0, 10, 1}, {60000, 0}});
    EXPECT_FATAL(ConnPut(n + 1, r.get()), 5239084);
    r->head.net = 2;
    EXPECT_FATAL(ConnPut(n, r.get()), 5239051);
    r->head.net = int16_t(net);
    r->head.toComp = 3;
    EXPECT_FATAL(ConnPut(n, r.get()), 5239057);
    r->head.toComp = int16_t(u2);
    r->crn[0].layer = 3;
    EXPECT_FATAL(ConnPut(n, r.get()), 5239023);
    r->crn[0].layer = 2;
    r->crn[0].via = 2;
    EXPECT_FATAL(ConnPut(n, r.get()), 5239025);
    r->crn[0].via = 0;
    r->crn[1].layer = 9; // the last corner starts no segment
    r->crn[1].via = 9;
    r->head.count = 1001;
    EXPECT_FATAL(ConnPut(n, r.get()), 5239021);
    r->head.count = 2;
    r->crn[0].flags = 8;
    r->crn[1].flags = 7;
    ConnPut(n, r.get());
    EXPECT_EQ(ConnRef(n)->crn[0].flags, 0);
    EXPECT_EQ(ConnRef(n)->crn[1].flags, 7);
}

TEST_F(ConnTest, BoxTakesViasAndTheWidestSegment) {
    DbHdr().extMinX = DbHdr().extMinY = 0;
    DbHdr().extMaxX = DbHdr().extMaxY = 0;
    auto r = Rec(net, 0, 0, 0, 0, {{0, 0, 10, 1}, {6000, 0, 30, 1, 0, 1}, {6000, 6000, 50, 0}});
    int32_t c = Put(r.get());
    const ConnHead& h = ConnRef(c)->head;
    // Via allowance 0.025 inch = 1,500; widest segment 30 x 60 / 2 = 900.
    EXPECT_EQ(int32_t(h.minX), -900);
    EXPECT_EQ(int32_t(h.minY), -1500 - 900);
    EXPECT_EQ(int32_t(h.maxX), 7500 + 900);
    EXPECT_EQ(int32_t(h.maxY), 6000 + 900);
    EXPECT_EQ(int32_t(DbHdr().extMinY), -2400);
    EXPECT_EQ(int32_t(DbHdr().extMaxX), 8400);
    // An empty record gives the empty box.
    auto e = Rec(net, 0, 0, 0, 0, {});
    ConnBox(e.get());
    EXPECT_EQ(int32_t(e->head.minX), 2147483647);
    EXPECT_EQ(int32_t(e->head.maxX), -2147483647);
}

TEST_F(ConnTest, FlagsAreDerivedFromTheNetAndTheEnds) {
    Net n;
    NetGet(net, &n);
    n.flags = kNetNoShove | kNetNoRipup | kNetHighlight;
    NetPut(net, &n);
    auto r = Rec(net, u1, 1, u2, 1, {{0, 0, 10, 1}, {60000, 0}});
    r->head.flags = kConnNetAttr | kConnNotSelected | kConnArc | 0x100;
    int32_t c = Put(r.get());
    EXPECT_EQ(ConnRef(c)->head.flags,
              kConnNoShove | kConnNoRipup | kConnHighlight | kConnArc | 0x100);
    struct Case {
        uint16_t netFlags, compFlags, connFlags;
        bool notSelected;
    } cases[] = {{kNetNoRoute, 0, 0, true},
                 {0, kCompNoRoute, 0, true},
                 {0, 0, kConnNoSweep, true},
                 {0, 0, 0, false}};
    for (const Case& k : cases) {
        n.flags = k.netFlags;
        NetPut(net, &n);
        Component comp;
        CompGet(u2, &comp);
        comp.flags = k.compFlags;
        CompPut(u2, &comp);
        r->head.flags = k.connFlags;
        ConnPut(c, r.get());
        EXPECT_EQ((ConnRef(c)->head.flags & kConnNotSelected) != 0, k.notSelected);
    }
}

TEST_F(ConnTest, ZeroWidthsTakeTheNetsWidthAndWidenItsRange) {
    Net n;
    NetGet(net, &n);
    n.minWidth = 0;
    n.width = 12;
    n.maxWidth = 12;
    NetPut(net, &n);
    int32_t c =
        Put(Rec(net, u1, 1, u2, 1, {{0, 0, 0, 1}, {30000, 0, 25, 1}, {60000, 0, 4, 0}}).get());
    EXPECT_EQ(ConnRef(c)->crn[0].width, 12);
    EXPECT_EQ(ConnRef(c)->crn[2].width, 4); // the last corner is not a segment
    EXPECT_EQ(NetRef(net)->minWidth, 12);
    EXPECT_EQ(NetRef(net)->maxWidth, 25);
    NetGet(net, &n);
    n.width = 0;
    NetPut(net, &n);
    EXPECT_FATAL(Put(Rec(net, u1, 1, u2, 1, {{0, 0, 0, 1}, {60000, 0}}).get()), 5239095);
}

TEST_F(ConnTest, EndsAreMovedOntoTheirPins) {
    DebugSetTraceReceiver(&Collect);
    int32_t c = Put(Rec(net, u1, 1, u2, 1, {{5, 5, 10, 1}, {60000, 7}}).get());
    EXPECT_EQ(Points(ConnRef(c)), (P{{0, 0}, {60000, 0}}));
    ASSERT_FALSE(g_trace.empty());
    EXPECT_EQ(g_trace[0].rfind("ConnPut/validateEnd: Connection from U1.1 to U2.1", 0), 0u);
    // A free end stays where it is.
    int32_t f = Put(Rec(net, 0, 0, u2, 1, {{5, 5, 10, 1}, {60000, 0}}).get());
    EXPECT_EQ(Points(ConnRef(f)), (P{{5, 5}, {60000, 0}}));
    // Only a changed end is validated again.
    g_trace.clear();
    auto moved = Rec(net, 0, 0, u2, 1, {{5, 5, 10, 1}, {60000, 0}});
    ConnPut(f, moved.get());
    EXPECT_TRUE(g_trace.empty());
    // While a rebuild is asked for, nothing moves.
    for (uint16_t bit : {kHdrNetValidate, kHdrConnFit, kHdrNetRebuild}) {
        DbHdr().flags = bit;
        int32_t k = Put(Rec(net, u1, 1, u2, 1, {{5, 5, 10, 1}, {60000, 7}}).get());
        EXPECT_EQ(Points(ConnRef(k)), (P{{5, 5}, {60000, 7}}));
    }
    DbHdr().flags = 0;
    // A component at an angle that is not a quarter turn: a corner in the
    // same user unit (60) as the pin counts as on it.
    Component comp;
    CompGet(u2, &comp);
    comp.angle = 1000;
    CompPut(u2, &comp);
    int32_t k = Put(Rec(net, u1, 1, u2, 1, {{0, 0, 10, 1}, {60059, 59}}).get());
    EXPECT_EQ(Points(ConnRef(k)), (P{{0, 0}, {60059, 59}}));
    k = Put(Rec(net, u1, 1, u2, 1, {{0, 0, 10, 1}, {60060, 0}}).get());
    EXPECT_EQ(Points(ConnRef(k)), (P{{0, 0}, {60000, 0}}));
}

TEST_F(ConnTest, TrustedStoresAsGivenButLinksNewSlots) {
    DbTrustedScope trusted;
    auto r = Rec(net, u1, 1, u2, 1, {{5, 5, 0, 1}, {60000, 7}});
    r->head.minX = 123;
    r->head.flags = kConnNetAttr;
    int32_t c = Put(r.get());
    EXPECT_EQ(std::memcmp(ConnRef(c), r.get(), 36 + 28), 0);
    EXPECT_EQ(List(net), std::vector<int32_t>{c});
    int32_t other = NetAdd();
    r->head.net = int16_t(other);
    ConnPut(c, r.get()); // no relinking while trusted
    EXPECT_EQ(List(net), std::vector<int32_t>{c});
}

TEST_F(ConnTest, ArcsWhoseRadiiDifferByMoreThan10LoseTheirStart) {
    // Centre (0, 0), start at radius 5; radii of the end: 15 (10.0 apart,
    // kept), |(15, 1)| = 15.03 (just over 10 apart, dropped).
    auto keep =
        Rec(net, 0, 0, 0, 0, {{3, 4, 10, 1}, {0, 0, 10, 1, kCrnArc, 1}, {15, 0, 10, 1}, {0, 5000}});
    ConnCheckArcs(keep.get());
    ASSERT_EQ(keep->head.count, 4);
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(keep->crn[i].flags & 3, 3) << i;
    EXPECT_EQ(keep->crn[3].flags, 0);
    EXPECT_EQ(keep->crn[1].via, 0);
    auto drop =
        Rec(net, 0, 0, 0, 0, {{3, 4, 10, 1}, {0, 0, 10, 1, kCrnArc}, {15, 1, 10, 1}, {0, 5000}});
    ConnCheckArcs(drop.get());
    ASSERT_EQ(drop->head.count, 3);
    EXPECT_EQ(Points(drop.get()), (P{{0, 0}, {15, 1}, {0, 5000}}));
    EXPECT_EQ(drop->crn[0].flags & kCrnArc, 0); // no arc left around it
    // Stored with the Arc flag, the check runs on put and the new first
    // corner goes back onto its pin.
    auto put = Rec(net, u1, 1, 0, 0,
                   {{0, 0, 10, 1}, {1000, 0, 10, 1, kCrnArc}, {1000, 1011, 10, 1}, {9000, 9000}});
    put->head.flags = kConnArc;
    int32_t c = Put(put.get());
    EXPECT_EQ(ConnRef(c)->head.count, 3);
    EXPECT_EQ(Points(ConnRef(c)), (P{{0, 0}, {1000, 1011}, {9000, 9000}}));
}

// ---- lists and deletion -------------------------------------------------------------

TEST_F(ConnTest, ListsPushAtTheHeadAndRebuildInDescendingOrder) {
    int32_t net2 = NetAdd();
    std::vector<int32_t> made;
    for (int32_t i = 0; i < 4; ++i)
        made.push_back(
            Put(Rec(i % 2 ? net2 : net, u1, 1, u2, 1, {{0, 0, 10, 1}, {60000, 0}}).get()));
    EXPECT_EQ(List(net), (std::vector<int32_t>{3, 1}));
    EXPECT_EQ(List(net2), (std::vector<int32_t>{4, 2}));
    // Changing the net relinks.
    ConnPut(1, Rec(net2, u1, 1, u2, 1, {{0, 0, 10, 1}, {60000, 0}}).get());
    EXPECT_EQ(List(net), (std::vector<int32_t>{3}));
    EXPECT_EQ(List(net2), (std::vector<int32_t>{1, 4, 2}));
    NetConnRebuild();
    EXPECT_EQ(List(net2), (std::vector<int32_t>{4, 2, 1}));
    EXPECT_FATAL(NetConnFirst(3), 5239064);
    EXPECT_FATAL(NetConnNext(5), 5239076);
    int32_t net3 = NetAdd();
    EXPECT_EQ(NetConnFirst(net3), 0);
    // Setting flags reaches every connection of the net, in place.
    Net n;
    NetGet(net2, &n);
    n.flags = kNetNoShove | kNetHighlight;
    NetConnSetFlags(net2, &n);
    for (int32_t c : {1, 2, 4})
        EXPECT_EQ(ConnRef(c)->head.flags & (kConnNoShove | kConnNoRipup | kConnHighlight),
                  kConnNoShove | kConnHighlight);
    EXPECT_EQ(ConnRef(3)->head.flags & kConnNoShove, 0);
    EXPECT_FATAL(NetConnSetFlags(9, &n), 5239564);
}

TEST_F(ConnTest, BrokenListsAreInternalErrors) {
    // Stored as given while trusted, a changed net is not relinked: the
    // connection then sits on a list that its net field does not name.
    int32_t a = PutStraight();
    int32_t net2 = NetAdd(); // beyond the lists made so far
    auto r = std::make_unique<Conn>();
    ConnGet(a, r.get());
    r->head.net = int16_t(net2);
    {
        DbTrustedScope trusted;
        ConnPut(a, r.get());
    }
    EXPECT_FATAL(ConnDelete(a), 5239070);
    int32_t b = Put(Rec(net2, u1, 1, u2, 1, {{0, 0, 10, 1}, {60000, 0}}).get());
    ConnGet(b, r.get());
    r->head.net = int16_t(net);
    {
        DbTrustedScope trusted;
        ConnPut(b, r.get());
    }
    // Net 1's list holds connection 1 only.
    EXPECT_FATAL(ConnDelete(b), 5239072);
    DbFree();
    EXPECT_FATAL(NetConnRebuild(), 5239603);
}

TEST_F(ConnTest, DeletingMovesTheLastConnectionIntoTheSlot) {
    int32_t net2 = NetAdd();
    for (int32_t i = 1; i <= 9; ++i)
        Put(Rec(i == 9 ? net2 : net, u1, 1, u2, 1, {{0, 0, 10, 1}, {60000, 0, 0, 0, 0, 0}}).get());
    Attribute a{};
    a.kind = 3;
    a.key1Type = kRecConn;
    a.key1 = 9;
    a.value1 = 77;
    AttrPut(&a);
    AltPush();
    auto image = std::make_unique<Conn>();
    ConnGet(9, image.get());
    image->head.spare = 99;
    AltPut(kRecConn, 9, 0, image.get());
    EXPECT_EQ(ConnDelete(5), 9);
    EXPECT_EQ(ConnCount(), 8);
    EXPECT_EQ(List(net2), std::vector<int32_t>{5});
    EXPECT_EQ(List(net), (std::vector<int32_t>{8, 7, 6, 4, 3, 2, 1}));
    Attribute found;
    EXPECT_TRUE(AttrFind(3, kRecConn, 5, 0, &found));
    EXPECT_EQ(found.value1, 77);
    auto seen = std::make_unique<Conn>();
    EXPECT_TRUE(AltSave(kRecConn, 5, seen.get()));
    EXPECT_EQ(int32_t(seen->head.spare), 99);
    AltPop(false);
    // Deleting the last one moves nothing.
    EXPECT_EQ(ConnDelete(8), 8);
    EXPECT_EQ(List(net), (std::vector<int32_t>{7, 6, 4, 3, 2, 1}));
    EXPECT_FATAL(ConnDelete(8), 5239080);
}

TEST_F(ConnTest, EndsComponentsAndTheDisplayBox) {
    int32_t a = PutStraight();                                                     // U1.1 - U2.1
    int32_t b = Put(Rec(net, u2, 2, 0, 0, {{66000, 0, 10, 1}, {70000, 0}}).get()); // U2.2 - free
    int32_t c = Put(Rec(net, 0, 0, 0, 0, {{1, 1, 10, 1}, {2, 2}}).get());
    auto probe = Rec(net, u2, 1, 0, 0, {});
    EXPECT_EQ(ConnSameEnd(a, probe.get()), 1); // its to end
    probe->head.fromPin = 2;
    EXPECT_EQ(ConnSameEnd(a, probe.get()), 0);
    EXPECT_EQ(ConnSameEnd(b, probe.get()), 1);
    auto free = Rec(net, 0, 0, 0, 0, {});
    EXPECT_EQ(ConnSameEnd(c, free.get()), 0); // free ends share nothing
    EXPECT_FATAL(ConnSameEnd(4, free.get()), 5239086);
    EXPECT_EQ(ConnFindComp(u2), b);
    EXPECT_EQ(ConnFindCompBefore(u2, b), a);
    EXPECT_EQ(ConnFindCompBefore(u2, a), 0);
    EXPECT_EQ(ConnFindComp(u1), a);
    EXPECT_FATAL(ConnFindCompBefore(u1, 5), 5239078);
    DbHeader& h = DbHdr();
    h.dispMinX = 60200;
    h.dispMaxX = 80000;
    h.dispMinY = -10;
    h.dispMaxY = 10;
    EXPECT_EQ(ConnInBox(a), 1); // the box grows by the width
    EXPECT_EQ(ConnInBox(b), 1);
    EXPECT_EQ(ConnInBox(c), 0);
    AltPush();
    auto image = std::make_unique<Conn>();
    ConnGet(b, image.get());
    AltPut(kRecConn, b, 0, image.get());
    EXPECT_EQ(ConnInBox(b), 0);
    AltPop(false);
    EXPECT_FATAL(ConnInBox(0), 5239079);
}

// ---- corners ----------------------------------------------------------------------

TEST_F(ConnTest, InsertingCopiesTheCornerUpToTheLimit) {
    auto r = Rec(net, 0, 0, 0, 0, {{0, 0, 10, 1, 3, 1}, {100, 0, 20, 2, 1}, {200, 0}});
    CrnInsert(r.get(), 0, 2);
    ASSERT_EQ(r->head.count, 5);
    EXPECT_EQ(Points(r.get()), (P{{0, 0}, {0, 0}, {0, 0}, {100, 0}, {200, 0}}));
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(r->crn[i].flags, 0);
        EXPECT_EQ(r->crn[i].width, 10);
        EXPECT_EQ(r->crn[i].layer, 1);
        EXPECT_EQ(r->crn[i].via, 1);
    }
    EXPECT_EQ(r->crn[3].flags, 1);
    EXPECT_FATAL(CrnInsert(r.get(), 5, 1), 5240020); // a = count
    EXPECT_FATAL(CrnInsert(r.get(), -1, 1), 5240020);
    EXPECT_FATAL(CrnInsert(r.get(), 0, 0), 5240022);
    auto big = Rec(net, 0, 0, 0, 0, {});
    big->head.count = 990;
    CrnInsert(big.get(), 989, 9);
    EXPECT_EQ(big->head.count, 999);
    big->head.count = 990;
    EXPECT_FATAL(CrnInsert(big.get(), 0, 10), 5240022);
}

TEST_F(ConnTest, DeletingCornersKeepsTheNarrowestWidth) {
    auto r = Rec(net, 0, 0, 0, 0,
                 {{0, 0, 1, 1},
                  {1, 0, 2, 1},
                  {2, 0, 10, 1},
                  {3, 0, 20, 1},
                  {4, 0, 8, 1},
                  {5, 0, 30, 1},
                  {6, 0, 12, 1},
                  {7, 0}});
    auto copy = std::make_unique<Conn>(*r);
    CrnDelete(r.get(), 3, 0);
    EXPECT_EQ(std::memcmp(r.get(), copy.get(), 36 + 14 * 8), 0);
    CrnDelete(r.get(), 3, 2);
    ASSERT_EQ(r->head.count, 6);
    EXPECT_EQ(r->crn[2].width, 8);
    EXPECT_EQ(int32_t(r->crn[3].x), 5);
    CrnDelete(r.get(), 0, 1); // nothing before it to take a width
    EXPECT_EQ(r->crn[0].width, 2);
    EXPECT_FATAL(CrnDelete(r.get(), 5, 1), 5240025);
    EXPECT_FATAL(CrnDelete(r.get(), 1, 5), 5240027);
    // Widths are compared unsigned.
    auto u = Rec(net, 0, 0, 0, 0, {{0, 0, 40000, 1}, {1, 0, 100, 1}, {2, 0}});
    CrnDelete(u.get(), 1, 1);
    EXPECT_EQ(u->crn[0].width, 100);
}

TEST_F(ConnTest, ReversingTwiceGivesTheRecordBack) {
    auto r = Rec(
        net, u1, 1, u2, 2,
        {{0, 0, 10, 1, 1, 0}, {100, 0, 20, 2, 2, 1}, {100, 100, 30, 1, 4}, {200, 100, 7, 5, 0, 1}});
    auto original = std::make_unique<Conn>(*r);
    ConnReverse(r.get());
    EXPECT_EQ(r->head.fromComp, u2);
    EXPECT_EQ(r->head.fromPin, 2);
    EXPECT_EQ(r->head.toPin, 1);
    EXPECT_EQ(Points(r.get()), (P{{200, 100}, {100, 100}, {100, 0}, {0, 0}}));
    EXPECT_EQ(r->crn[0].width, 30);
    EXPECT_EQ(r->crn[0].via, 1);
    EXPECT_EQ(r->crn[1].layer, 2);
    EXPECT_EQ(r->crn[1].flags, 4);
    EXPECT_EQ(r->crn[3].width, 0);
    EXPECT_EQ(r->crn[3].layer, 0);
    EXPECT_EQ(ConnSamePath(r.get(), original.get()), 0);
    ConnReverse(r.get());
    original->crn[3].width = 0;
    original->crn[3].layer = 0;
    EXPECT_EQ(std::memcmp(r.get(), original.get(), 36 + 14 * 4), 0);
}

TEST_F(ConnTest, SamePathComparesPointsAndLayersOnly) {
    auto a = Rec(net, 0, 0, 0, 0, {{0, 0, 10, 1, 1, 1}, {100, 0, 20, 2}, {100, 100, 0, 1}});
    auto b = Rec(net, 0, 0, 0, 0, {{0, 0, 99, 1, 0, 0}, {100, 0, 1, 2, 3, 1}, {100, 100, 5, 2}});
    EXPECT_EQ(ConnSamePath(a.get(), b.get()), 1);
    b->crn[1].layer = 1;
    EXPECT_EQ(ConnSamePath(a.get(), b.get()), 0);
    b->crn[1].layer = 2;
    b->crn[2].y = 101;
    EXPECT_EQ(ConnSamePath(a.get(), b.get()), 0);
    b->head.count = 2;
    EXPECT_EQ(ConnSamePath(a.get(), b.get()), 0);
}

TEST_F(ConnTest, RotatingTurnsCornersUpToTheLast) {
    auto r = Rec(net, 0, 0, 0, 0, {{110, 100}, {100, 120}, {500, 500}});
    CrnRotate(r.get(), 100, 100, 5400 - 21600, 1);
    EXPECT_EQ(Points(r.get()), (P{{100, 110}, {80, 100}, {500, 500}}));
    CrnRotate(r.get(), 0, 0, 1800, 0); // 30 degrees, truncated
    int32_t dx = 100, dy = 110;
    PtRotateExact(0, 0, 1800, &dx, &dy);
    EXPECT_EQ(int32_t(r->crn[0].x), dx);
    EXPECT_EQ(int32_t(r->crn[0].y), dy);
}

// ---- fitting to pins --------------------------------------------------------------

class ConnFitTest : public ConnTest {
  protected:
    void Move(int32_t comp, int32_t dx, int32_t dy) {
        Component c;
        CompGet(comp, &c);
        c.x += dx;
        c.y += dy;
        CompPut(comp, &c);
    }
};

TEST_F(ConnFitTest, BothEndsMovedAlikeTranslateEverything) {
    auto r = Rec(net, u1, 1, u2, 1, {{0, 0, 10, 1}, {30000, 0, 10, 2}, {60000, 0}});
    Move(u1, 600, 60);
    Move(u2, 600, 60);
    ConnFitPins(r.get());
    EXPECT_EQ(Points(r.get()), (P{{600, 60}, {30600, 60}, {60600, 60}}));
    EXPECT_EQ(r->crn[0].layer, 1);
}

TEST_F(ConnFitTest, OneEndMovedWalksFromThatEnd) {
    struct Case {
        const char* what;
        std::vector<C> corners;
        P points;
        std::vector<uint8_t> layers;
    } cases[] = {
        {"free corners: only the end moves, its segment unrouted",
         {{0, 0, 10, 1}, {30000, 0, 10, 1}, {60000, 0}},
         {{600, 0}, {30000, 0}, {60000, 0}},
         {0, 1, 0}},
        {"up to a gap: the corners before it move",
         {{0, 0, 10, 1}, {20000, 0, 10, 0}, {40000, 0, 10, 1}, {60000, 0}},
         {{600, 0}, {20600, 0}, {40000, 0}, {60000, 0}},
         {1, 0, 1, 0}},
        {"a locked run is split where it ends",
         {{0, 0, 10, 1, kCrnLocked}, {30000, 0, 10, 1, kCrnLatched}, {45000, 0, 10, 1}, {60000, 0}},
         {{600, 0}, {30600, 0}, {30000, 0}, {45000, 0}, {60000, 0}},
         {1, 0, 1, 1, 0}},
        {"a free end corner stops at the first locked corner",
         {{0, 0, 10, 1}, {20000, 0, 10, 1, kCrnLocked}, {40000, 0, 10, 0}, {60000, 0}},
         {{600, 0}, {20000, 0}, {40000, 0}, {60000, 0}},
         {0, 1, 0, 0}},
    };
    Move(u1, 600, 0);
    for (const Case& k : cases) {
        auto r = Rec(net, u1, 1, u2, 1, k.corners);
        ConnFitPins(r.get());
        EXPECT_EQ(Points(r.get()), k.points) << k.what;
        std::vector<uint8_t> layers;
        for (int32_t i = 0; i < r->head.count; ++i)
            layers.push_back(r->crn[i].layer);
        EXPECT_EQ(layers, k.layers) << k.what;
    }
}

TEST_F(ConnFitTest, UnroutedAndFreeEnds) {
    Move(u2, 0, 600);
    auto r = Rec(net, u1, 1, u2, 1, {{0, 0, 10, 0}, {60000, 0}});
    ConnFitPins(r.get());
    EXPECT_EQ(Points(r.get()), (P{{0, 0}, {60000, 600}}));
    auto f = Rec(net, 0, 0, u2, 1, {{7, 7, 10, 0}, {60000, 0}});
    ConnFitPins(f.get());
    EXPECT_EQ(Points(f.get()), (P{{7, 7}, {60000, 600}}));
}

TEST_F(ConnFitTest, AtTheInsertionLimitTheSegmentIsCutWithoutInsertion) {
    auto r = Rec(net, u1, 1, u2, 1, {});
    r->head.count = 999;
    for (int32_t i = 0; i < 999; ++i) {
        r->crn[i].x = i * 60;
        r->crn[i].layer = 1;
        r->crn[i].width = 10;
    }
    r->crn[998].x = 60000;
    r->crn[0].flags = r->crn[1].flags = kCrnLocked;
    Move(u1, 600, 0);
    ConnFitPins(r.get());
    EXPECT_EQ(r->head.count, 999);
    EXPECT_EQ(r->crn[1].layer, 0);
    EXPECT_EQ(int32_t(r->crn[1].x), 660);
    EXPECT_EQ(int32_t(r->crn[2].x), 120);
}

TEST_F(ConnFitTest, AJournalTurnTurnsTheWholeConnection) {
    // U1.1 (0, 0) to U1.2 (6000, 0), turned a quarter turn in the edit.
    auto r = Rec(net, u1, 1, u1, 2, {{0, 0, 10, 1}, {3000, 0, 10, 1}, {6000, 0}});
    Component c;
    CompGet(u1, &c);
    c.angle = 5400;
    AltPush();
    int32_t id = AltPut(kRecComponent, u1, 0, &c);
    AltItemHeader h;
    Component image;
    AltGet(id, &h, &image);
    h.flags |= 0x20;
    h.word2 = 5400;
    AltItemPut(&h, &image);
    ConnFitPins(r.get());
    EXPECT_EQ(Points(r.get()), (P{{0, 0}, {0, 3000}, {0, 6000}}));
    h.word2 = 0;
    AltItemPut(&h, &image);
    auto again = Rec(net, u1, 1, u1, 2, {{0, 0, 10, 1}, {3000, 0, 10, 1}, {6000, 0}});
    EXPECT_FATAL(ConnFitPins(again.get()), 5250110);
    AltPop(false);
}

TEST_F(ConnFitTest, ValidationFitsEveryConnection) {
    int32_t a = Put(Rec(net, u1, 1, u2, 1, {{0, 0, 10, 1}, {30000, 0, 10, 1}, {60000, 0}}).get());
    Move(u1, 600, 0);
    DbHdr().flags |= kHdrConnFit;
    // The range check that ends validation would move this small board
    // into non-negative coordinates; leave it out here.
    auto rangeCheck = DbValidateStepGet(0);
    DbRegisterValidateStep(0, nullptr);
    DbValidate();
    DbRegisterValidateStep(0, rangeCheck);
    // Validation then orders the net into chains: the connection, unrouted
    // at its moved end, starts at its routed end.
    EXPECT_EQ(Points(ConnRef(a)), (P{{60000, 0}, {30000, 0}, {600, 0}}));
    EXPECT_EQ(DbHdr().flags & kHdrConnFit, 0);
    EXPECT_EQ(DbValidateStepGet(kHdrConnFit), &ConnFitAll);
}

// ---- layer reach ------------------------------------------------------------------

TEST_F(ConnTest, PinsReachALayerThroughPadsViasAndRoutedConnections) {
    // U1.3 is surface-mount on layer 1; U1.1 and U2.1 have pads on both.
    EXPECT_EQ(PinReachesLayer(u1, 1, 2), 1);
    EXPECT_EQ(PinReachesLayer(u1, 3, 2), 0);
    // Fully routed to a through-hole pin, stored with the pin at its to end.
    int32_t a = Put(Rec(net, u2, 1, u1, 3, {{60000, 0, 10, 1}, {0, 6000}}).get());
    auto before = std::make_unique<Conn>();
    ConnGet(a, before.get());
    EXPECT_EQ(PinReachesLayer(u1, 3, 2), 1);
    auto after = std::make_unique<Conn>();
    ConnGet(a, after.get());
    EXPECT_EQ(std::memcmp(before.get(), after.get(), 36 + 28), 0);
    // Broken by a gap: no; through a via: yes.
    ConnPut(a, Rec(net, u1, 3, u2, 1, {{0, 6000, 10, 1}, {3000, 6000, 10, 0}, {60000, 0}}).get());
    EXPECT_EQ(PinReachesLayer(u1, 3, 2), 0);
    ConnPut(
        a, Rec(net, u1, 3, u2, 1, {{0, 6000, 10, 1}, {3000, 6000, 10, 0, 0, 1}, {60000, 0}}).get());
    EXPECT_EQ(PinReachesLayer(u1, 3, 2), 1);
    // A free far end reaches nothing.
    ConnPut(a, Rec(net, u1, 3, 0, 0, {{0, 6000, 10, 1}, {3000, 6000}}).get());
    EXPECT_EQ(PinReachesLayer(u1, 3, 2), 0);
    // A chain through another surface-mount pin, and a loop back.
    ConnPut(a, Rec(net, u1, 3, u2, 3, {{0, 6000, 10, 1}, {60000, 6000}}).get());
    int32_t b = Put(Rec(net, u2, 3, u1, 3, {{60000, 6000, 10, 1}, {0, 6000}}).get());
    EXPECT_EQ(PinReachesLayer(u1, 3, 2), 0);
    int32_t c = Put(Rec(net, u2, 1, u2, 3, {{60000, 0, 10, 1}, {60000, 6000}}).get());
    EXPECT_EQ(PinReachesLayer(u1, 3, 2), 1);
    for (int32_t k : {a, b, c})
        EXPECT_EQ(ConnRef(k)->head.flags & kConnVisit, 0);
    EXPECT_EQ(ConnRef(c)->head.fromComp, u2);
    EXPECT_EQ(ConnRef(c)->head.fromPin, 1);
}

TEST_F(ConnTest, NetLevelOfAConnection) {
    auto r = Rec(net, u1, 1, u2, 1, {{0, 0, 10, 1}, {60000, 0}});
    EXPECT_EQ(ConnNetLevOk(r.get()), 0); // no required layer
    Attribute a{};
    a.kind = kAttrNetLayer;
    a.key1Type = kRecNet;
    a.key1 = int16_t(net);
    a.key2 = 2;
    a.value1 = 1;
    AttrPut(&a);
    ASSERT_NE(NetRef(net)->flags & kNetReqLayer, 0);
    EXPECT_EQ(ConnNetLevOk(r.get()), 2);
    r->head.toPin = 3;
    EXPECT_EQ(ConnNetLevOk(r.get()), 0);
    r->head.toComp = 0;
    EXPECT_EQ(ConnNetLevOk(r.get()), 0);
    a.value1 = 0; // absent now, while the net keeps the flag
    {
        DbTrustedScope trusted;
        AttrPut(&a);
    }
    Net n;
    NetGet(net, &n);
    {
        DbTrustedScope trusted;
        n.flags |= kNetReqLayer;
        NetPut(net, &n);
    }
    EXPECT_FATAL(ConnNetLevOk(r.get()), 54690);
    Attribute zero{};
    zero.kind = kAttrNetLayer;
    zero.key1Type = kRecNet;
    zero.key1 = int16_t(net);
    zero.value1 = 1;
    EXPECT_FATAL(AttrPut(&zero), 5223023); // a required layer of 0 is never stored
}

// ---- dump -------------------------------------------------------------------------

TEST_F(ConnTest, DumpLines) {
    DebugSetTraceReceiver(&Collect);
    Net n;
    NetGet(net, &n);
    n.name = NameIntern("GND");
    NetPut(net, &n);
    auto r = Rec(
        net, u1, 1, 0, 0,
        {{0, 0, 10, 1, kCrnLocked | kCrnLatched}, {90, 60, 12, 2, kCrnArc, 1}, {120, 90, 0, 0, 9}});
    r->head.flags = kConnNotSelected | kConnNoSweep | kConnHighlight;
    ConnDump(r.get(), "Here", 1);
    std::vector<std::string> want = {
        "Here: Connection from U1.1 to Node.0 net \"GND\" (1)",
        "\tFlags= Not-Selected Highlight No-Sweep",
        "    crn:0 [0,0] V:0 Lev:1 W:10 Oblique Locked Latched",
        "    crn:1 [1.500,1] V:1 Lev:2 W:12 Arc",
        "    crn:2 [2,1.500] V:0 Locked BadFlag",
    };
    EXPECT_EQ(g_trace, want);
    g_trace.clear();
    r->head.fromComp = 9;
    r->head.net = 7;
    ConnDump(r.get(), "L", 0);
    EXPECT_EQ(g_trace,
              std::vector<std::string>{"L: Connection from ???.1 to Node.0 net \"??\" (7)"});
}

// ---- components deleted and sorted ----------------------------------------------------

TEST_F(ConnTest, DeletingAComponentFreesItsEnds) {
    int32_t u3 = AddComp("A3", sym, 0, 60000);
    int32_t net2 = NetAdd();
    int32_t a = PutStraight();                                                       // U1 - U2
    int32_t b = Put(Rec(net2, u2, 2, u3, 1, {{66000, 0, 10, 1}, {0, 60000}}).get()); // U2 - A3
    int32_t c = Put(Rec(net2, 0, 0, u3, 2, {{5, 5, 10, 1}, {6000, 60000}}).get());   // free - A3
    DbHdr().flags = 0;
    CompDelete(u2);
    EXPECT_EQ(ConnRef(a)->head.toComp, 0);
    EXPECT_EQ(ConnRef(a)->head.toPin, 0);
    EXPECT_EQ(ConnRef(b)->head.fromComp, 0);
    EXPECT_EQ(ConnRef(b)->head.toComp, 2); // A3 moved down
    EXPECT_EQ(ConnRef(c)->head.fromComp, 0);
    EXPECT_EQ(ConnRef(c)->head.toComp, 2);
    EXPECT_NE(NetRef(net)->flags & kNetLostEnd, 0);
    EXPECT_NE(NetRef(net2)->flags & kNetLostEnd, 0);
    EXPECT_NE(DbHdr().flags & kHdrNetValidate, 0);
    EXPECT_EQ(List(net2), (std::vector<int32_t>{c, b}));
    // Sorting renumbers the ends without freeing any: A3 comes first.
    int32_t now = CompSort(2);
    EXPECT_EQ(now, 1);
    EXPECT_EQ(ConnRef(b)->head.toComp, 1);
    EXPECT_EQ(ConnRef(c)->head.toComp, 1);
    EXPECT_EQ(ConnRef(a)->head.fromComp, 2);
    // Validation clears the lost-end flag.
    DbValidate();
    EXPECT_EQ(NetRef(net)->flags & kNetLostEnd, 0);
}

} // namespace
