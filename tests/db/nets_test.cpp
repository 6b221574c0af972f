// Nets and notes: the paged table, derived flags, deleting and sorting with
// the connections following, the note list, and the required-layer check of
// a net's pins.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "compfixture.h"
#include "db/attrs.h"
#include "db/conns.h"
#include "db/markers.h"
#include "db/nets.h"
#include "db/pool.h"

namespace {

class NetTest : public CompDbTest {
  protected:
    void SetUp() override {
        CompDbTest::SetUp();
        ConnRegister();
        through = AddThru({{kPadRound, 600, 600, 600, 600}});
        smd = AddThru({{kPadRect, 600, 300, 600, 300}}, 0x2);
        sym = AddSymbol("SYM", {{0, 0, int16_t(through)}, {0, 6000, int16_t(smd)}});
        u1 = AddComp("U1", sym, 0, 0);
        u2 = AddComp("U2", sym, 60000, 0);
    }

    // A plain ratsnest line between two pins on the net.
    static int32_t PutConn(int32_t net, int32_t fc, int32_t fp, int32_t tc, int32_t tp) {
        auto r = std::make_unique<Conn>();
        std::memset(r.get(), 0, sizeof(Conn));
        r->head.net = int16_t(net);
        r->head.fromComp = int16_t(fc);
        r->head.fromPin = int16_t(fp);
        r->head.toComp = int16_t(tc);
        r->head.toPin = int16_t(tp);
        r->head.count = 1;
        int32_t c = ConnAdd();
        ConnPut(c, r.get());
        return c;
    }

    static void PutAttr(int32_t kind, int32_t net, int32_t key2, int32_t value) {
        Attribute a{};
        a.kind = uint8_t(kind);
        a.key1Type = kRecNet;
        a.key1 = int16_t(net);
        a.key2 = int16_t(key2);
        if (kind == kAttrNetKind7) a.key2Type = kRecThruCode; // keyed by via type
        a.value1 = value;
        AttrPut(&a);
    }

    static int32_t AddNamed(const char* name) {
        int32_t n = NetAdd();
        Net net;
        NetGet(n, &net);
        net.name = NameIntern(name);
        NetPut(n, &net);
        return n;
    }

    static std::vector<int32_t> List(int32_t n) {
        std::vector<int32_t> out;
        for (int32_t c = NetConnFirst(n); c != 0; c = NetConnNext(c))
            out.push_back(c);
        return out;
    }

    int32_t through = 0, smd = 0, sym = 0, u1 = 0, u2 = 0;
};

TEST_F(NetTest, NewNetsTakeTheDefaultsInPagesOf2336) {
    DbHdr().modified = 0;
    int32_t n = NetAdd();
    EXPECT_EQ(DbHdr().modified, 1);
    const Net* net = NetRef(n);
    EXPECT_EQ(net->name, NameOfNumber(1));
    EXPECT_EQ(net->recordId, 0);
    EXPECT_EQ(int32_t(net->netLevel), 0xFFFF);
    EXPECT_EQ(net->minWidth, 10);
    EXPECT_EQ(net->width, 10);
    EXPECT_EQ(net->maxWidth, 10);
    EXPECT_EQ(net->weight, 50);
    EXPECT_EQ(net->netType, 16);
    EXPECT_EQ(net->flags, 0);
    while (NetCount() < 2335)
        NetAdd();
    int32_t chunks = PoolChunksInUse();
    EXPECT_EQ(NetAdd(), 2336); // the first index of the second page
    EXPECT_EQ(PoolChunksInUse(), chunks + 1);
    NetAdd();
    EXPECT_EQ(PoolChunksInUse(), chunks + 1);
    EXPECT_EQ(DbHdr().netCount, 2337);
    EXPECT_EQ(NetRef(2336)->name, NameOfNumber(2336));
    EXPECT_EQ(NetFind("2336"), 2336);
    EXPECT_EQ(NetFind("none"), 0);
}

TEST_F(NetTest, TheCountStopsAt32767) {
    while (NetCount() < kNetMax)
        NetAdd();
    EXPECT_FATAL(NetAdd(), 5233025);
    EXPECT_EQ(NetCount(), kNetMax);
}

TEST_F(NetTest, IndexChecks) {
    int32_t n = NetAdd();
    Net net;
    EXPECT_FATAL(NetGet(n + 1, &net), 5233040);
    EXPECT_FATAL(NetRef(0), 5233040);
    NetGet(n, &net);
    EXPECT_FATAL(NetPut(n + 1, &net), 5233050);
    EXPECT_FATAL(NetDelete(n + 1), 5233030);
}

TEST_F(NetTest, PutDerivesNoReconFromTheNetType) {
    int32_t n = NetAdd();
    struct Case {
        uint8_t type;
        uint16_t given, stored;
    } cases[] = {{64, 0, kNetNoRecon},
                 {1, kNetNoRoute, kNetNoRoute | kNetNoRecon},
                 {16, kNetNoRecon | kNetNoShove, kNetNoShove},
                 {2, kNetAttr7 | kNetReqLayer, 0}};
    for (const Case& k : cases) {
        Net net;
        NetGet(n, &net);
        net.netType = k.type;
        net.flags = k.given;
        NetPut(n, &net);
        EXPECT_EQ(NetRef(n)->flags, k.stored) << int(k.type);
    }
    EXPECT_NE(NetRef(n)->recordId, 0);
}

TEST_F(NetTest, AttributesKeyedByTheNetSetItsFlags) {
    int32_t n = NetAdd();
    int32_t other = NetAdd();
    PutAttr(kAttrNetKind7, n, 3, 1);
    EXPECT_EQ(NetRef(n)->flags, kNetAttr7);
    PutAttr(kAttrNetLayer, n, 2, 1);
    EXPECT_EQ(NetRef(n)->flags, kNetAttr7 | kNetReqLayer);
    EXPECT_EQ(NetRef(other)->flags, 0);
    PutAttr(kAttrNetKind7, n, 3, 0); // absent again
    EXPECT_EQ(NetRef(n)->flags, kNetReqLayer);
    // A net that does not exist yet is not touched.
    PutAttr(kAttrNetKind7, 9, 3, 1);
}

TEST_F(NetTest, ChangedDerivedFlagsReachTheConnections) {
    int32_t n = NetAdd();
    int32_t c = PutConn(n, u1, 1, u2, 1);
    Net net;
    NetGet(n, &net);
    net.flags = kNetNoShove | kNetHighlight;
    NetPut(n, &net); // derived flags as given: the connections are left alone
    EXPECT_EQ(ConnRef(c)->head.flags & (kConnNoShove | kConnHighlight), 0);
    net.flags |= kNetNoRecon; // type 16 clears it: the derived flags differ
    NetPut(n, &net);
    EXPECT_EQ(ConnRef(c)->head.flags & (kConnNoShove | kConnHighlight),
              kConnNoShove | kConnHighlight);
}

TEST_F(NetTest, DeletingANetRenumbersWhatFollows) {
    int32_t a = AddNamed("A"), b = AddNamed("B"), c = AddNamed("C");
    int32_t ca = PutConn(a, u1, 1, u2, 1);
    PutConn(b, u1, 2, u2, 2);
    PutConn(b, u1, 1, u2, 2);
    int32_t cc = PutConn(c, u2, 1, u2, 2);
    PutAttr(kAttrNetKind7, b, 0, 5);
    PutAttr(kAttrNetKind7, c, 0, 6);
    AltPush();
    Net image;
    NetGet(b, &image);
    image.weight = 7;
    AltPut(kRecNet, b, 0, &image);
    NetDelete(b);
    EXPECT_EQ(NetCount(), 2);
    EXPECT_EQ(DbHdr().netCount, 2);
    EXPECT_EQ(ConnCount(), 2);
    EXPECT_EQ(NameText(NetRef(2)->name), std::string("C"));
    // Connection 4 moved into slot 2 and its net moved down.
    EXPECT_EQ(ConnRef(ca)->head.net, 1);
    EXPECT_EQ(ConnRef(2)->head.net, 2);
    EXPECT_EQ(ConnRef(2)->head.fromComp, u2);
    (void)cc;
    EXPECT_EQ(List(1), std::vector<int32_t>{1});
    EXPECT_EQ(List(2), std::vector<int32_t>{2});
    Attribute found;
    EXPECT_TRUE(AttrFind(kAttrNetKind7, kRecNet, 2, 0, &found));
    EXPECT_EQ(found.value1, 6);
    EXPECT_FALSE(AttrFind(kAttrNetKind7, kRecNet, 3, 0, &found));
    EXPECT_EQ(NetRef(2)->flags, kNetAttr7);
    // The deleted net's image now sits one past the last net.
    Net seen;
    EXPECT_TRUE(AltSave(kRecNet, 3, &seen));
    EXPECT_EQ(seen.weight, 7);
    AltPop(false);
}

TEST_F(NetTest, DeletingRefusesAListThatHoldsAnotherNet) {
    int32_t a = NetAdd(), b = NetAdd();
    int32_t c = PutConn(a, u1, 1, u2, 1);
    auto r = std::make_unique<Conn>();
    ConnGet(c, r.get());
    r->head.net = int16_t(b);
    {
        DbTrustedScope trusted; // stored as given: still on a's list
        ConnPut(c, r.get());
    }
    EXPECT_FATAL(NetDelete(a), 5233036);
}

TEST_F(NetTest, SortingByNameRenumbersConnections) {
    int32_t c = AddNamed("C"), a = AddNamed("A"), b = AddNamed("B");
    int32_t k1 = PutConn(c, u1, 1, u2, 1);
    int32_t k2 = PutConn(a, u1, 2, u2, 2);
    int32_t k3 = PutConn(c, u2, 1, u2, 2);
    PutAttr(kAttrNetKind7, c, 0, 1);
    EXPECT_EQ(NetSort(c), 3);
    EXPECT_EQ(NameText(NetRef(1)->name), std::string("A"));
    EXPECT_EQ(NameText(NetRef(3)->name), std::string("C"));
    EXPECT_EQ(ConnRef(k1)->head.net, 3);
    EXPECT_EQ(ConnRef(k2)->head.net, 1);
    EXPECT_EQ(List(3), (std::vector<int32_t>{k3, k1}));
    EXPECT_EQ(List(1), std::vector<int32_t>{k2});
    Attribute found;
    EXPECT_TRUE(AttrFind(kAttrNetKind7, kRecNet, 3, 0, &found));
    (void)b;
    EXPECT_EQ(NetSort(2), 2); // already in order
}

TEST_F(NetTest, ValidationClearsTheLostEndFlag) {
    int32_t n = NetAdd();
    Net net;
    NetGet(n, &net);
    net.flags = kNetLostEnd | kNetNoShove;
    NetPut(n, &net);
    DbHdr().flags |= kHdrNetValidate;
    DbValidate();
    EXPECT_EQ(NetRef(n)->flags, kNetNoShove);
    NetPut(n, &net);
    NetRebuildAll();
    EXPECT_EQ(NetRef(n)->flags, kNetNoShove);
}

// ---- notes ------------------------------------------------------------------

TEST_F(NetTest, NotesAreReadWithACursor) {
    for (int32_t i = 1; i <= 5; ++i)
        EXPECT_EQ(NoteAdd(("note " + std::to_string(i)).c_str()), i);
    EXPECT_EQ(DbHdr().noteCount, 5);
    std::string longText(101, 'x');
    EXPECT_FATAL(NoteAdd(longText.c_str()), 5246010);
    EXPECT_EQ(NoteAdd(std::string(100, 'y').c_str()), 6);
    char text[kTextChars];
    int32_t steps = NoteTestSteps();
    NoteGet(3, text);
    EXPECT_STREQ(text, "note 3");
    EXPECT_EQ(NoteTestSteps() - steps, 2);
    NoteGet(4, text);
    NoteGet(5, text);
    EXPECT_STREQ(text, "note 5");
    EXPECT_EQ(NoteTestSteps() - steps, 4); // one walk
    NoteGet(2, text);
    EXPECT_STREQ(text, "note 2");
    EXPECT_EQ(NoteTestSteps() - steps, 5); // from the head again
    NoteGet(6, text);
    EXPECT_EQ(std::string(text), std::string(100, 'y'));
    EXPECT_FATAL(NoteGet(0, text), 5246040);
    EXPECT_FATAL(NoteGet(7, text), 5246040);
    DbFree();
    DbHeaderReset();
    DbInit();
    EXPECT_EQ(NoteCount(), 0);
    EXPECT_FATAL(NoteGet(1, text), 5246040);
}

// ---- required layer -----------------------------------------------------------

TEST_F(NetTest, RequiredLayerCheckMarksPinsThatDoNotReachIt) {
    int32_t n = NetAdd();
    PutConn(n, u1, 2, u2, 1); // U1.2 is surface-mount on layer 1
    PutConn(n, u2, 1, u1, 2);
    PutConn(n, u1, 1, u2, 1);
    EXPECT_EQ(NetLevCheck(n), 1); // no required layer
    EXPECT_EQ(MarkerCount(), 0);
    PutAttr(kAttrNetLayer, n, 2, 1);
    EXPECT_EQ(NetLevCheck(n), 0);
    ASSERT_EQ(MarkerCount(), 1);
    ErrorMarker m;
    MarkerGet(1, &m);
    EXPECT_EQ(int32_t(m.x), 0);
    EXPECT_EQ(int32_t(m.y), 6000);
    EXPECT_EQ(int32_t(m.id1), CompRef(u1)->recordId);
    EXPECT_EQ(m.kind1, kRecComponent);
    EXPECT_EQ(m.sub1, 2);
    EXPECT_EQ(m.type, 16);
    // Layer 1 is reached by every pin.
    PutAttr(kAttrNetLayer, n, 2, 0);
    PutAttr(kAttrNetLayer, n, 1, 1);
    EXPECT_EQ(NetLevCheck(n), 1);
    EXPECT_FATAL(NetLevCheck(n + 1), 5238140);
}

TEST_F(NetTest, RequiredLayerCheckNeedsTheAttribute) {
    int32_t n = NetAdd();
    Net net;
    NetGet(n, &net);
    net.flags = kNetReqLayer;
    {
        DbTrustedScope trusted; // stored as given
        NetPut(n, &net);
    }
    EXPECT_FATAL(NetLevCheck(n), 5238113);
    // A required layer of 0 is never stored.
    EXPECT_FATAL(PutAttr(kAttrNetLayer, n, 0, 1), 5223023);
}

} // namespace

TEST(NetAllowsLayerTest, TheNetLevelIsTheAllowedLayerMask) {
    Net n{};
    n.netLevel = 0xFFFF;
    EXPECT_EQ(NetAllowsLayer(&n, 1), 1);
    EXPECT_EQ(NetAllowsLayer(&n, 16), 1);
    EXPECT_EQ(NetAllowsLayer(&n, 17), 0);
    EXPECT_EQ(NetAllowsLayer(&n, 0), 0);
    n.netLevel = int32_t(0x20000002);
    EXPECT_EQ(NetAllowsLayer(&n, 2), 1);
    EXPECT_EQ(NetAllowsLayer(&n, 30), 1);
    EXPECT_EQ(NetAllowsLayer(&n, 31), 0);
    EXPECT_EQ(NetAllowsLayer(&n, 1), 0);
}
