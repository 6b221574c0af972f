// Symbols: the table, its checks, pin placement by a component, deleting a
// symbol and the symbols' part of deleting a thru code.
#include <gtest/gtest.h>

#include "compfixture.h"
#include "db/attrs.h"

namespace {

class SymbolTest : public CompDbTest {
  protected:
    int32_t pad = 0;
    void SetUp() override {
        CompDbTest::SetUp();
        pad = AddThru({{kPadRound, 10, 10, 10, 10}});
    }
};

TEST_F(SymbolTest, NeverStoredSymbolReadsAsTheDefaults) {
    EXPECT_EQ(SymAdd(), 1);
    EXPECT_EQ(SymAdd(), 2);
    EXPECT_EQ(SymCount(), 2);
    auto s = std::make_unique<Symbol>();
    SymGet(2, s.get());
    EXPECT_EQ(s->info.name, DbNumberName(2));
    EXPECT_EQ(s->info.pinCount, 0);
    EXPECT_EQ(s->info.recordId, 0);
    EXPECT_EQ(s->pin[1].name, DbNumberName(1));
    EXPECT_EQ(s->pin[2400].name, DbNumberName(2400));
    EXPECT_FATAL(SymGet(0, s.get()), 5226020);
    EXPECT_FATAL(SymGet(3, s.get()), 5226020);
}

TEST_F(SymbolTest, StoredSymbolWithoutPinsKeepsItsSummary) {
    int32_t n = SymAdd();
    auto rec = NewSymbolRecord("EMPTY", {});
    rec->info.word12 = 77;
    SymPut(n, rec.get());
    auto s = std::make_unique<Symbol>();
    SymGet(n, s.get());
    EXPECT_EQ(s->info.name, NameLookup("EMPTY"));
    EXPECT_EQ(s->info.word12, 77);
    EXPECT_NE(s->info.recordId, 0);
    EXPECT_EQ(s->pin[3].name, DbNumberName(3));
}

TEST_F(SymbolTest, PutStoresPinsAndTakesANewArrayOnlyWhenTheCountChanges) {
    int32_t n = AddSymbol("DIP2", {{0, 0, int16_t(pad)}, {100, 0, int16_t(pad)}});
    SymbolInfo info;
    SymInfoGet(n, &info);
    EXPECT_NE(info.recordId, 0);
    EXPECT_EQ(SymPinCount(n), 2);
    const SymbolPin* first = SymPinRef(n, 1);
    EXPECT_EQ(SymPinRef(n, 2)->x, 100);

    auto rec = std::make_unique<Symbol>();
    SymGet(n, rec.get());
    rec->pin[2].x = 200;
    SymPut(n, rec.get());
    EXPECT_EQ(SymPinRef(n, 1), first); // same count: same array
    EXPECT_EQ(SymPinRef(n, 2)->x, 200);
    SymInfoGet(n, &info);
    int32_t id = info.recordId;

    rec->info.pinCount = 3;
    rec->pin[3].thru = int16_t(pad);
    rec->pin[3].name = NameIntern("C");
    SymPut(n, rec.get());
    EXPECT_EQ(SymPinCount(n), 3);
    SymInfoGet(n, &info);
    EXPECT_EQ(info.recordId, id); // a stored id stays
    EXPECT_EQ(SymFind("DIP2"), n);
    EXPECT_EQ(SymFind("DIP3"), 0);
}

TEST_F(SymbolTest, PutChecksEveryPinUnlessTrusted) {
    int32_t n = SymAdd();
    struct Case {
        const char* what;
        void (*spoil)(Symbol&);
        int32_t code;
    };
    const Case cases[] = {
        {"thru 0", [](Symbol& s) { s.pin[2].thru = 0; }, 5226053},
        {"thru past count", [](Symbol& s) { s.pin[2].thru = int16_t(ThruCount() + 1); }, 5226053},
        {"name 0", [](Symbol& s) { s.pin[1].name = 0; }, 5226054},
        {"negative word", [](Symbol& s) { s.pin[2].word = -1; }, 5226055},
        {"too many pins", [](Symbol& s) { s.info.pinCount = 2401; }, 5226052},
        {"negative pins", [](Symbol& s) { s.info.pinCount = -1; }, 5226052},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto rec = NewSymbolRecord("S", {{0, 0, int16_t(pad)}, {1, 1, int16_t(pad)}});
        c.spoil(*rec);
        EXPECT_FATAL(SymPut(n, rec.get()), c.code);
        EXPECT_EQ(SymPinCount(n), 0); // nothing stored
    }
    auto rec = NewSymbolRecord("S", {{0, 0, 0}});
    EXPECT_FATAL(SymPut(2, rec.get()), 5226021);
    {
        DbTrustedScope trusted;
        SymPut(n, rec.get());
    }
    EXPECT_EQ(SymPinRef(n, 1)->thru, 0);
    EXPECT_FATAL(SymPinThru(n, 1), 5226095);
}

TEST_F(SymbolTest, PutRawStoresTheSummaryOnly) {
    int32_t n = AddSymbol("R", {{0, 0, int16_t(pad)}, {100, 0, int16_t(pad)}});
    SymbolInfo info;
    SymInfoGet(n, &info);
    info.name = NameIntern("R2");
    info.value[3] = 9;
    SymPutRaw(n, &info);
    SymbolInfo back;
    SymInfoGet(n, &back);
    EXPECT_EQ(back.name, NameLookup("R2"));
    EXPECT_EQ(back.value[3], 9);
    EXPECT_EQ(SymPinRef(n, 2)->x, 100);
    info.pinCount = 3;
    EXPECT_FATAL(SymPutRaw(n, &info), 5226065);
    EXPECT_FATAL(SymPutRaw(0, &info), 5226023);
    EXPECT_FATAL(SymPutRaw(2, &info), 5226051);
}

TEST_F(SymbolTest, AccessorsCheckTheirIndexes) {
    int32_t n = AddSymbol("R", {{0, 0, int16_t(pad)}});
    SymbolInfo info;
    EXPECT_FATAL(SymInfoGet(2, &info), 5226028);
    EXPECT_FATAL(SymPinCount(0), 5226024);
    EXPECT_FATAL(SymPinRef(2, 1), 5226026);
    EXPECT_FATAL(SymPinRef(n, 2), 5226038);
    EXPECT_FATAL(SymPinRef(n, 0), 5226038);
    EXPECT_EQ(SymPinThru(n, 1), pad);
    EXPECT_FATAL(SymPinThru(0, 1), 5226091);
    EXPECT_FATAL(SymPinThru(n, 2), 5226094);
}

TEST_F(SymbolTest, TheTableHoldsAtMost1750Symbols) {
    for (int32_t i = 1; i <= kSymMax; ++i)
        ASSERT_EQ(SymAdd(), i);
    EXPECT_EQ(DbHdr().symbolCount, kSymMax);
    EXPECT_FATAL(SymAdd(), 5226015);
}

TEST_F(SymbolTest, PinsArePlacedByTheComponent) {
    int32_t s = AddSymbol("P", {{100, 0, int16_t(pad)}, {0, 50, int16_t(pad)}});
    struct Case {
        int32_t angle, x, y;
    };
    const Case cases[] = {
        {0, 1100, 2000},     {5400, 1000, 2100},  {10800, 900, 2000},
        {16200, 1000, 1900}, {-5400, 1000, 1900}, {2700, 1070, 2070},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        Component comp = CompRecord("U1", s, 1000, 2000, c.angle);
        PlacedPin pin;
        SymPinGet(&comp, 1, &pin);
        EXPECT_EQ(pin.x, c.x);
        EXPECT_EQ(pin.y, c.y);
        EXPECT_EQ(pin.thru, pad);
        EXPECT_EQ(pin.name, DbNumberName(1));
    }
    int32_t c = AddComp("U1", s, 1000, 2000, 5400);
    PlacedPin pin;
    CompPinXY(c, 2, &pin);
    EXPECT_EQ(pin.x, 950);
    EXPECT_EQ(pin.y, 2000);
    auto placed = std::make_unique<Symbol>();
    CompPinsGet(CompRef(c), placed.get());
    EXPECT_EQ(placed->info.pinCount, 2);
    EXPECT_EQ(placed->pin[1].x, 1000);
    EXPECT_EQ(placed->pin[1].y, 2100);
    EXPECT_EQ(placed->pin[2].x, 950);

    Component none = CompRecord("U2", 0, 0, 0);
    EXPECT_FATAL(SymPinGet(&none, 1, &pin), 5226071);
    EXPECT_FATAL(CompPinXY(c, 3, &pin), 5226074);
    EXPECT_FATAL(CompPinsGet(&none, placed.get()), 5226171);
}

TEST_F(SymbolTest, DeletingASymbolDeletesItsComponentsAndRenumbersTheRest) {
    int32_t s1 = AddSymbol("A", {{0, 0, int16_t(pad)}});
    int32_t s2 = AddSymbol("B", {{0, 0, int16_t(pad)}});
    int32_t s3 = AddSymbol("C", {{0, 0, int16_t(pad)}});
    AddComp("U1", s2, 0, 0);
    int32_t u2 = AddComp("U2", s1, 0, 0);
    Component rec;
    CompGet(u2, &rec);
    rec.otherSymbol = int16_t(s2);
    CompPut(u2, &rec);
    int32_t u3 = AddComp("U3", s3, 0, 0);
    CompGet(u3, &rec);
    rec.otherSymbol = int16_t(s1);
    CompPut(u3, &rec);
    AddComp("U4", s2, 0, 0);
    Attribute a{};
    a.kind = 9;
    a.key1Type = kRecSymbol;
    a.key1 = int16_t(s3);
    a.value1 = 5;
    AttrPut(&a);
    a.key1 = int16_t(s2);
    a.value1 = 6;
    AttrPut(&a);

    static int32_t hookCalls;
    static bool hookTrusted;
    hookCalls = 0;
    SymSetOwnerRenumberHook([](const int16_t* map, int32_t count) {
        ++hookCalls;
        hookTrusted = DbIsTrusted();
        EXPECT_EQ(count, 3);
        EXPECT_EQ(map[2], 0);
        EXPECT_EQ(map[3], 2);
    });
    SymDelete(s2);
    SymSetOwnerRenumberHook(nullptr);

    EXPECT_EQ(hookCalls, 1);
    EXPECT_TRUE(hookTrusted);
    EXPECT_FALSE(DbIsTrusted());
    EXPECT_EQ(SymCount(), 2);
    EXPECT_EQ(DbHdr().symbolCount, 2);
    ASSERT_EQ(CompCount(), 2);
    EXPECT_EQ(CompFind("U2"), 1);
    EXPECT_EQ(CompRef(1)->symbol, 1);
    EXPECT_EQ(CompRef(1)->otherSymbol, 0);
    EXPECT_EQ(CompRef(2)->symbol, 2);
    EXPECT_EQ(CompRef(2)->otherSymbol, 1);
    EXPECT_EQ(SymFind("C"), 2);
    Attribute out;
    EXPECT_TRUE(AttrFind(9, kRecSymbol, 2, 0, &out));
    EXPECT_EQ(out.value1, 5);
    EXPECT_FATAL(SymDelete(0), 5226046);
    EXPECT_FATAL(SymDelete(3), 5226046);
}

TEST_F(SymbolTest, DeletingAThruCodeRenumbersThePinsAfterIt) {
    int32_t unused = AddThru({{kPadRound, 5, 5, 5, 5}});
    int32_t later = AddThru({{kPadRound, 7, 7, 7, 7}});
    int32_t s = AddSymbol("S", {{0, 0, int16_t(pad)}, {10, 0, int16_t(later)}});
    ThruDelete(unused);
    EXPECT_EQ(SymPinRef(s, 1)->thru, pad);
    EXPECT_EQ(SymPinRef(s, 2)->thru, later - 1);
    EXPECT_FATAL(ThruDelete(pad), 5225111);
}

} // namespace
