// The database as a whole with its real modules: start and end over every
// table, validation with every step, and the deletion of a symbol across
// every table that refers to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "compfixture.h"
#include "db/altjournal.h"
#include "db/attrs.h"
#include "db/comprepair.h"
#include "db/conns.h"
#include "db/font.h"
#include "db/lang.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/texts.h"

namespace {

// ---- start and end over the real modules ---------------------------------------

DbModuleOps g_real[24];
std::vector<int> g_order;

template <int T> void InitSpy() {
    g_order.push_back(T);
    g_real[T].init();
}
template <int T> void FreeSpy() {
    g_order.push_back(T);
    g_real[T].free();
}

const int kModuleTypes[] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 23};

template <int... Ts> void Spy(std::integer_sequence<int, Ts...>) {
    auto one = [](int type, void (*init)(), void (*fr)()) {
        if (std::find(std::begin(kModuleTypes), std::end(kModuleTypes), type) ==
            std::end(kModuleTypes))
            return;
        DbModuleOps ops = g_real[type];
        ops.init = init;
        ops.free = fr;
        DbRegisterModule(type, ops);
    };
    (one(Ts, &InitSpy<Ts>, &FreeSpy<Ts>), ...);
}

class WholeDbTest : public DbTest {
  protected:
    void TearDown() override {
        for (int t : kModuleTypes)
            if (g_real[t].init) DbRegisterModule(t, g_real[t]);
        DbTest::TearDown();
    }
};

TEST_F(WholeDbTest, InitAndFreeCoverEveryRealModuleInOrder) {
    for (int t : kModuleTypes) {
        g_real[t] = DbModuleGet(t);
        ASSERT_NE(g_real[t].init, nullptr) << t;
        ASSERT_NE(g_real[t].free, nullptr) << t;
    }
    Spy(std::make_integer_sequence<int, 24>{});
    g_order.clear();
    DbInit();
    EXPECT_EQ(g_order,
              (std::vector<int>{4, 16, 2, 3, 14, 5, 6, 8, 7, 9, 10, 11, 12, 13, 15, 17, 23, 18}));
    EXPECT_TRUE(DbIsValid());
    EXPECT_EQ(DbHdr().modified, 0);
    g_order.clear();
    DbFree();
    EXPECT_EQ(g_order,
              (std::vector<int>{4, 14, 5, 6, 8, 7, 9, 10, 11, 12, 13, 15, 17, 23, 18, 2, 3, 16}));
    EXPECT_FALSE(DbIsValid());
}

TEST_F(WholeDbTest, EveryValidationStepIsRegistered) {
    for (uint16_t bit : {0x400, 0x200, 0x20, 0x4000, 0x10, 0x100, 0})
        EXPECT_NE(DbValidateStepGet(bit), nullptr) << bit;
    EXPECT_EQ(DbValidateStepGet(kHdrOutlines), &CompMakeOutlines);
    EXPECT_EQ(DbValidateStepGet(kHdrNameTexts), &CompMakeNameTexts);
}

// ---- validation and symbol deletion on a real design ---------------------------

class DesignTest : public CompDbTest {
  protected:
    void SetUp() override {
        // Other tests replace the tables' renumbering hooks: the real ones
        // come back.
        DbRegisterBuiltins();
        CompDbTest::SetUp();
        LangInit();
        FontLoad();
        thru = AddThru({{kPadRound, 100, 100, 100, 100}}, 0x6);
    }
    void TearDown() override {
        FontTestReset();
        CompDbTest::TearDown();
    }
    static int32_t AddObs(int32_t owner, int32_t x) {
        Obstacle r;
        DbRecInit(kRecObstacle, &r, 1);
        r.head.name = 0;
        r.head.kind = kObsAvoid;
        r.head.owner = int16_t(owner);
        r.head.count = 2;
        r.pt[0] = {x, 0, 0, 0};
        r.pt[1] = {x + 10, 0, 0, 0};
        const int32_t o = ObsAppend();
        ObsPut(o, &r);
        return o;
    }
    static int32_t AddText(int32_t owner, int32_t x) {
        BoardText t;
        DbRecInit(kRecBoardText, &t, 1);
        t.name = 0;
        t.owner = int16_t(owner);
        t.x = x;
        std::strcpy(t.text, "T");
        const int32_t n = TextAdd();
        TextPut(n, &t);
        return n;
    }
    static int32_t AddConn(int32_t net, int32_t from, int32_t to) {
        const Component* a = CompRef(from);
        const Component* b = CompRef(to);
        Conn r;
        std::memset(&r, 0, sizeof r);
        r.head.net = int16_t(net);
        r.head.fromComp = int16_t(from);
        r.head.fromPin = 1;
        r.head.toComp = int16_t(to);
        r.head.toPin = 1;
        r.head.count = 2;
        r.crn[0] = {a->x, a->y, 1, 0, 0, 0, 0};
        r.crn[1] = {b->x, b->y, 1, 0, 0, 0, 0};
        const int32_t n = ConnAdd();
        ConnPut(n, &r);
        return n;
    }

    int32_t thru = 0;
};

TEST_F(DesignTest, ValidationRepairsAndMovesTheDesignOnce) {
    const int32_t s = AddSymbol("S", {{0, 0, int16_t(thru)}});
    const int32_t c = AddComp("U1", s, -1000, 6000);
    AddComp("U2", s, 30000, 6000);
    DbHdr().flags |=
        kHdrOutlines | kHdrNameTexts | kHdrConnFit | kHdrNetRebuild | kHdrLayerValidate;
    DbSetTrusted(true);
    EXPECT_EQ(DbValidate(), 0);
    EXPECT_FALSE(DbIsTrusted());
    EXPECT_EQ(DbHdr().flags & (kHdrOutlines | kHdrNameTexts | kHdrConnFit | kHdrNetRebuild |
                               kHdrNetValidate | kHdrLayerValidate),
              0);
    // One outline for the symbol, a name text for each component.
    ASSERT_NE(SymObsFirst(s), 0);
    EXPECT_EQ(ObsRef(SymObsFirst(s))->head.kind, kObsPlaceOutline);
    EXPECT_NE(CompTextFirst(1), 0);
    EXPECT_NE(CompTextFirst(2), 0);
    // The range check moved the design to non-negative coordinates.
    const Component moved = *CompRef(c);
    EXPECT_NE(moved.x, -1000);
    EXPECT_GE(DbHdr().extMinX, 0);
    // A second validation changes nothing.
    EXPECT_EQ(DbValidate(), 0);
    EXPECT_EQ(CompRef(c)->x, moved.x);
    EXPECT_EQ(CompRef(c)->y, moved.y);
}

TEST_F(DesignTest, SymbolDeletionCascadesThroughEveryTable) {
    const int32_t sa = AddSymbol("A", {{0, 0, int16_t(thru)}});
    const int32_t sb = AddSymbol("B", {{0, 0, int16_t(thru)}});
    const int32_t sc = AddSymbol("C", {{0, 0, int16_t(thru)}});
    const int32_t u1 = AddComp("U1", sb, 0, 0);
    const int32_t u2 = AddComp("U2", sb, 20000, 0);
    const int32_t u3 = AddComp("U3", sc, 60000, 0);
    const int32_t u4 = AddComp("U4", sa, 40000, 0);
    {
        Component r = *CompRef(u3);
        r.otherSymbol = int16_t(sc);
        CompPut(u3, &r);
        r = *CompRef(u4);
        r.otherSymbol = int16_t(sb);
        CompPut(u4, &r);
    }
    const int32_t n1 = NetAdd();
    const int32_t n2 = NetAdd();
    AddConn(n1, u1, u3);
    AddConn(n2, u2, u4);
    AddObs(-u1, 100);
    AddObs(-u3, 200);
    AddObs(sb, 300);
    AddObs(sc, 400);
    AddText(-u2, 100);
    AddText(-u3, 200);
    AddText(sb, 300);
    AddText(sc, 400);
    Attribute a{};
    a.kind = 30;
    a.key1Type = kRecSymbol;
    a.key1 = int16_t(sc);
    a.value1 = 5;
    AttrPut(&a);
    a.key1 = int16_t(sb);
    AttrPut(&a);
    // An edit in progress sees U3 with symbol C.
    AltPush();
    Component pending = *CompRef(u3);
    pending.value32 = 77;
    AltPut(kRecComponent, u3, 0, &pending);
    DbHdr().flags = 0;

    DbSetTrusted(false);
    SymDelete(sb);
    EXPECT_FALSE(DbIsTrusted());

    ASSERT_EQ(SymCount(), 2);
    SymbolInfo info;
    SymInfoGet(2, &info);
    EXPECT_EQ(std::string(NameText(info.name)), "C");
    // Both components of B are gone; U3 and U4 move down and follow C.
    ASSERT_EQ(CompCount(), 2);
    EXPECT_EQ(std::string(NameText(CompRef(1)->name)), "U3");
    EXPECT_EQ(CompRef(1)->symbol, 2);
    EXPECT_EQ(CompRef(1)->otherSymbol, 2);
    EXPECT_EQ(std::string(NameText(CompRef(2)->name)), "U4");
    EXPECT_EQ(CompRef(2)->symbol, 1);
    EXPECT_EQ(CompRef(2)->otherSymbol, 0);
    // Their connection ends are free, their nets marked.
    ASSERT_EQ(ConnCount(), 2);
    for (int32_t n = 1; n <= 2; ++n) {
        const ConnHead& h = ConnRef(n)->head;
        EXPECT_EQ(h.fromComp, 0) << n;
        EXPECT_EQ(h.fromPin, 0) << n;
        EXPECT_EQ(h.toComp, h.net == n1 ? 1 : 2) << n;
    }
    EXPECT_TRUE(NetRef(n1)->flags & kNetLostEnd);
    EXPECT_TRUE(NetRef(n2)->flags & kNetLostEnd);
    EXPECT_TRUE(DbHdr().flags & kHdrNetValidate);
    // Obstacles and texts of the deleted components and symbol are gone;
    // the others follow their owners.
    ASSERT_EQ(ObsCount(), 2);
    ASSERT_EQ(TextCount(), 2);
    for (int32_t o = 1; o <= 2; ++o) {
        const int32_t x = ObsRef(o)->pt[0].x;
        EXPECT_EQ(ObsRef(o)->head.owner, x == 200 ? -1 : 2) << x;
        EXPECT_TRUE(x == 200 || x == 400) << x;
    }
    for (int32_t t = 1; t <= 2; ++t) {
        const int32_t x = TextRef(t)->x;
        EXPECT_EQ(TextRef(t)->owner, x == 200 ? -1 : 2) << x;
        EXPECT_TRUE(x == 200 || x == 400) << x;
    }
    EXPECT_NE(SymObsFirst(2), 0);
    EXPECT_NE(SymTextFirst(2), 0);
    // Attributes: C's now keyed by 2, B's absent.
    Attribute out;
    EXPECT_TRUE(AttrFind(30, kRecSymbol, 2, 0, &out));
    EXPECT_EQ(out.value1, 5);
    EXPECT_FALSE(AttrFind(30, kRecSymbol, 3, 0, &out));
    // The pending edit follows U3 and its symbol.
    Component seen;
    ASSERT_TRUE(AltSave(kRecComponent, 1, &seen));
    EXPECT_EQ(seen.value32, 77);
    EXPECT_EQ(seen.symbol, 2);
    AltPop(false);

    // With the trusted flag set it stays set.
    DbSetTrusted(true);
    SymDelete(1);
    EXPECT_TRUE(DbIsTrusted());
    DbSetTrusted(false);
    EXPECT_EQ(CompCount(), 1);
    EXPECT_EQ(CompRef(1)->symbol, 1);
}

} // namespace
