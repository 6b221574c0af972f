// Components: the paged table, the box from the pads, pins at a point, the
// pads of a placed pin, deleting and sorting with renumbering.
#include <gtest/gtest.h>

#include <climits>

#include "compfixture.h"
#include "db/attrs.h"
#include "db/lang.h"
#include "db/layers.h"

namespace {

class CompTest : public CompDbTest {};

TEST_F(CompTest, PagesOf256RecordsHoldEveryIndex) {
    for (int32_t i = 1; i <= 300; ++i) {
        ASSERT_EQ(CompAdd(), i);
        Component c{};
        c.x = i;
        c.compRef = int16_t(i % 7);
        CompPut(i, &c);
    }
    EXPECT_EQ(DbHdr().compCount, 300);
    for (int32_t i : {1, 255, 256, 257, 300}) {
        Component c;
        CompGet(i, &c);
        EXPECT_EQ(c.x, i);
        EXPECT_EQ(CompRef(i)->x, i);
    }
    // Deleting moves later records down across the page boundary.
    CompDelete(200);
    EXPECT_EQ(CompCount(), 299);
    EXPECT_EQ(CompRef(255)->x, 256);
    EXPECT_EQ(CompRef(256)->x, 257);
    EXPECT_EQ(CompRef(299)->x, 300);
    EXPECT_FATAL(CompInit(), 21400);
    DbFree();
    DbHeaderReset();
    CompInit(); // pages forgotten
    EXPECT_EQ(CompCount(), 0);
}

TEST_F(CompTest, The4001stComponentEndsTheRun) {
    LangInit();
    for (int32_t i = 1; i <= kCompMax; ++i)
        ASSERT_EQ(CompAdd(), i);
    bool seen = false;
    try {
        CompAdd();
    } catch (const FatalError& e) {
        seen = true;
        EXPECT_EQ(e.code, 21412);
        EXPECT_EQ(e.detail, "Too many components");
    }
    EXPECT_TRUE(seen);
}

TEST_F(CompTest, IndexAndFieldChecks) {
    int32_t s = AddSymbol("S", {});
    int32_t c = CompAdd();
    Component rec{};
    EXPECT_FATAL(CompGet(0, &rec), 21420);
    EXPECT_FATAL(CompGet(2, &rec), 21420);
    EXPECT_FATAL(CompRef(2), 21424);
    EXPECT_FATAL(CompPut(2, &rec), 21427);
    rec.symbol = int16_t(s + 1);
    EXPECT_FATAL(CompPut(c, &rec), 21434);
    rec.symbol = -1;
    EXPECT_FATAL(CompPut(c, &rec), 21434);
    rec.symbol = 0;
    rec.compRef = 4001;
    EXPECT_FATAL(CompPut(c, &rec), 21435);
    rec.compRef = -1;
    EXPECT_FATAL(CompPut(c, &rec), 21435);
    rec.compRef = 4000;
    CompPut(c, &rec);
    EXPECT_FATAL(CompDelete(2), 21450);
    EXPECT_FATAL(CompNextWithSym(-1, s), 21493);
    EXPECT_FATAL(CompNextWithSym(0, s + 1), 21494);
    int32_t pos = 2, pin = 0;
    EXPECT_FATAL(CompPinAt(0, 0, 0, &pos, &pin), 5230040);
    pos = 0;
    EXPECT_FATAL(CompPinAt(0, 0, 3, &pos, &pin), 5230042);
    PlacedPin placed;
    PlacedPad pad;
    EXPECT_FATAL(CompPinPadGet(2, 1, 1, &placed, &pad), 5230054);
    PadShape shape{};
    int32_t x1, y1, x2, y2;
    EXPECT_FATAL(PadRotate(0, 0, &shape, 2700, &x1, &y1, &x2, &y2), 5230097);
    shape.code = 8;
    EXPECT_FATAL(PadRotate(0, 0, &shape, 2700, &x1, &y1, &x2, &y2), 5230098);
}

TEST_F(CompTest, PutNormalisesTheAngleAndGivesARecordId) {
    int32_t c = CompAdd();
    struct Case {
        int32_t in, out;
    };
    for (Case k : {Case{-5400, 16200}, Case{27000, 5400}, Case{21600, 0}, Case{-21599, 1}}) {
        Component rec = CompRecord("U1", 0, 0, 0, k.in);
        CompPut(c, &rec);
        EXPECT_EQ(CompRef(c)->angle, k.out) << k.in;
    }
    int32_t id = CompRef(c)->recordId;
    EXPECT_LT(id, 0);
    Component rec;
    CompGet(c, &rec);
    CompPut(c, &rec);
    EXPECT_EQ(CompRef(c)->recordId, id);
}

TEST_F(CompTest, BoxWithoutSymbolOrPads) {
    Component rec = CompRecord("U1", 0, 500, 600);
    rec.minX = 1;
    rec.minY = 2;
    rec.maxX = 3;
    rec.maxY = 4;
    int32_t c = CompAdd();
    CompPut(c, &rec);
    EXPECT_EQ(CompRef(c)->minX, 1);
    EXPECT_EQ(CompRef(c)->maxY, 4);
    // A symbol whose pins have no pad: the box of the point.
    int32_t bare = AddThru({}, 0);
    int32_t s = AddSymbol("S", {{0, 0, int16_t(bare)}});
    rec.symbol = int16_t(s);
    CompPut(c, &rec);
    EXPECT_EQ(CompRef(c)->minX, 500);
    EXPECT_EQ(CompRef(c)->minY, 600);
    EXPECT_EQ(CompRef(c)->maxX, 500);
    EXPECT_EQ(CompRef(c)->maxY, 600);
}

TEST_F(CompTest, QuarterTurnsExchangeTheExtents) {
    int32_t t = AddThru({{kPadRect, 10, 20, 30, 40}}, 0x2);
    int32_t s = AddSymbol("S", {{0, 0, int16_t(t)}});
    struct Case {
        int32_t angle, minX, minY, maxX, maxY;
    };
    const Case cases[] = {
        {0, -10, -20, 30, 40},
        {5400, -40, -10, 20, 30},
        {10800, -30, -40, 10, 20},
        {16200, -20, -30, 40, 10},
    };
    int32_t c = CompAdd();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.angle);
        Component rec = CompRecord("U1", s, 1000, 2000, k.angle);
        CompPut(c, &rec);
        const Component* r = CompRef(c);
        EXPECT_EQ(r->minX, 1000 + k.minX);
        EXPECT_EQ(r->minY, 2000 + k.minY);
        EXPECT_EQ(r->maxX, 1000 + k.maxX);
        EXPECT_EQ(r->maxY, 2000 + k.maxY);
    }
    // The layer block's rotation adds to the component's angle.
    int32_t turned = AddThru({{kPadRect, 10, 20, 30, 40}}, 0x2, 5400);
    int32_t s2 = AddSymbol("S2", {{0, 0, int16_t(turned)}});
    Component rec = CompRecord("U2", s2, 0, 0, 10800);
    CompPut(c, &rec);
    EXPECT_EQ(CompRef(c)->minX, -20);
    EXPECT_EQ(CompRef(c)->minY, -30);
    EXPECT_EQ(CompRef(c)->maxX, 40);
    EXPECT_EQ(CompRef(c)->maxY, 10);
}

TEST_F(CompTest, BoxIsTheUnionOverPinsShapesAndLayers) {
    // Layer 1 a round pad offset along x, layer 2 a small square.
    int32_t t = ThruAdd();
    ThruCode rec;
    ThruGet(t, &rec);
    rec.layer[1].shapeCount = 1;
    rec.layer[1].shape[0] = PadShape{50, 0, {5, 5, 5, 5}, kPadRound, 0};
    rec.layer[2].shapeCount = 2;
    rec.layer[2].shape[0] = PadShape{0, 0, {2, 2, 2, 2}, kPadSquare, 0};
    rec.layer[2].shape[1] = PadShape{0, -30, {1, 1, 1, 1}, kPadSquare, 0};
    ThruPut(t, &rec);
    int32_t s = AddSymbol("S", {{0, 0, int16_t(t)}, {100, 0, int16_t(t)}});
    int32_t c = AddComp("U1", s, 1000, 1000, 5400);
    // Pins at (1000, 1000) and (1000, 1100); the round pads 50 above each,
    // the second squares 30 to the right.
    const Component* r = CompRef(c);
    EXPECT_EQ(r->minX, 995);
    EXPECT_EQ(r->maxX, 1031);
    EXPECT_EQ(r->minY, 998);
    EXPECT_EQ(r->maxY, 1155);
    EXPECT_EQ(DbHdr().extMinX, 995);
    EXPECT_EQ(DbHdr().extMaxY, 1155);
}

TEST_F(CompTest, OtherAnglesTurnTheShapes) {
    int32_t rect = AddThru({{kPadRect, 10, 10, 10, 10}}, 0x2);
    int32_t oblong = AddThru({{kPadOblong, 20, 10, 20, 10}}, 0x2);
    int32_t round = AddThru({{kPadRound, 10, 10, 10, 10}}, 0x2);
    struct Case {
        const char* what;
        int32_t thru, half;
    };
    const Case cases[] = {
        {"rect from its turned corners", rect, 14},
        {"oblong: radius 10 and 7 of its straight part", oblong, 17},
        {"round from its extents", round, 10},
    };
    int32_t c = CompAdd();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        int32_t s = AddSymbol(k.what, {{0, 0, int16_t(k.thru)}});
        Component rec = CompRecord("U1", s, 0, 0, 2700);
        CompPut(c, &rec);
        EXPECT_EQ(CompRef(c)->minX, -k.half);
        EXPECT_EQ(CompRef(c)->minY, -k.half);
        EXPECT_EQ(CompRef(c)->maxX, k.half);
        EXPECT_EQ(CompRef(c)->maxY, k.half);
    }
}

TEST_F(CompTest, TrustedPutKeepsTheStoredBox) {
    int32_t t = AddThru({{kPadRound, 10, 10, 10, 10}});
    int32_t s = AddSymbol("S", {{0, 0, int16_t(t)}});
    int32_t c = CompAdd();
    Component rec = CompRecord("U1", s, 0, 0);
    rec.minX = -500;
    rec.minY = -5;
    rec.maxX = 7;
    rec.maxY = 800;
    rec.recordId = 42;
    {
        DbTrustedScope trusted;
        CompPut(c, &rec);
    }
    EXPECT_EQ(CompRef(c)->minX, -500);
    EXPECT_EQ(CompRef(c)->maxY, 800);
    EXPECT_EQ(CompRef(c)->recordId, 42);
    EXPECT_EQ(DbHdr().extMinX, -500);
    EXPECT_EQ(DbHdr().extMaxY, 800);
}

TEST_F(CompTest, PinAtEnumeratesThePinsAtAPoint) {
    int32_t both = AddThru({{kPadRound, 5, 5, 5, 5}});
    int32_t top = AddThru({{kPadRound, 5, 5, 5, 5}}, 0x2);
    int32_t s =
        AddSymbol("S", {{0, 0, int16_t(both)}, {0, 0, int16_t(top)}, {100, 0, int16_t(both)}});
    int32_t a = AddComp("A", s, 1000, 1000);
    AddComp("B", s, 5000, 5000);
    int32_t c = AddComp("C", s, 900, 1000); // its third pin lies on A's first two
    std::vector<std::pair<int32_t, int32_t>> found;
    int32_t pos = 0, pin = 0;
    while (CompPinAt(1000, 1000, 0, &pos, &pin))
        found.push_back({pos, pin});
    const std::vector<std::pair<int32_t, int32_t>> all = {{a, 1}, {a, 2}, {c, 3}};
    EXPECT_EQ(found, all);

    found.clear();
    pos = 0;
    pin = 0;
    while (CompPinAt(1000, 1000, 2, &pos, &pin))
        found.push_back({pos, pin});
    const std::vector<std::pair<int32_t, int32_t>> bottom = {{a, 1}, {c, 3}};
    EXPECT_EQ(found, bottom);
    pos = 0;
    EXPECT_EQ(CompPinAt(1001, 1000, 0, &pos, &pin), 0);
}

TEST_F(CompTest, PinPadGetGivesThePlacedPadsThroughTheJournal) {
    int32_t t = ThruAdd();
    ThruCode rec;
    ThruGet(t, &rec);
    rec.layer[1].flags = 3;
    rec.layer[1].shapeCount = 2;
    rec.layer[1].shape[0] = PadShape{0, 0, {10, 10, 10, 10}, kPadRect, 0};
    rec.layer[1].shape[1] = PadShape{20, 0, {4, 4, 4, 4}, kPadRound, 0};
    ThruPut(t, &rec);
    int32_t s = AddSymbol("S", {{100, 0, int16_t(t)}});
    int32_t c = AddComp("U1", s, 0, 0, 5400);

    PlacedPin pin;
    PlacedPad pad;
    CompPinPadGet(c, 1, 1, &pin, &pad);
    EXPECT_EQ(pin.x, 0);
    EXPECT_EQ(pin.y, 100);
    EXPECT_EQ(pad.angle, 0);
    EXPECT_EQ(pad.flags, 3);
    EXPECT_EQ(pad.count, 2);
    EXPECT_EQ(pad.shape[1].cx, 0);
    EXPECT_EQ(pad.shape[1].cy, 120);
    EXPECT_EQ(pad.shape[1].minY, 116);
    EXPECT_EQ(pad.shape[1].code, kPadRound);
    CompPinPadGet(c, 1, 2, &pin, &pad);
    EXPECT_EQ(pad.count, 0);

    // A tentative move at 45 degrees is seen; the turned rectangle sets the
    // angle.
    AltPush();
    Component moved;
    CompGet(c, &moved);
    moved.x = 1000;
    moved.angle = 2700;
    AltPut(kRecComponent, c, 0, &moved);
    CompPinPadGet(c, 1, 1, &pin, &pad);
    EXPECT_EQ(pin.x, 1070);
    EXPECT_EQ(pin.y, 70);
    EXPECT_EQ(pad.angle, 2700);
    EXPECT_EQ(pad.shape[0].minX, 1070 - 14);
    EXPECT_EQ(pad.shape[1].maxX - pad.shape[1].minX, 8);
    AltPop(false);
    CompPinPadGet(c, 1, 1, &pin, &pad);
    EXPECT_EQ(pin.x, 0);
}

TEST_F(CompTest, DeleteRenumbersReferencesAttributesAndJournal) {
    for (const char* name : {"U1", "U2", "U3", "U4"})
        AddComp(name, 0, 0, 0);
    Component rec;
    CompGet(1, &rec);
    rec.compRef = 4;
    CompPut(1, &rec);
    CompGet(3, &rec);
    rec.compRef = 2;
    CompPut(3, &rec);
    Attribute a{};
    a.kind = 9;
    a.key1Type = kRecComponent;
    a.key1 = 4;
    a.value1 = 44;
    AttrPut(&a);
    a.key1 = 2;
    a.value1 = 22;
    AttrPut(&a);

    static std::vector<std::string> calls;
    calls.clear();
    CompSetConnRenumberHook([](const int16_t* map, int32_t count) {
        calls.push_back("conns " + std::to_string(count) + " " + std::to_string(map[2]) + " " +
                        std::to_string(map[4]) + (DbIsTrusted() ? " trusted" : ""));
    });
    CompSetOwnerRenumberHook([](const int16_t*, int32_t) {
        calls.push_back(std::string("owners") + (DbIsTrusted() ? " trusted" : ""));
    });
    CompSetConnRebuildHook([] { calls.push_back("rebuild " + std::to_string(CompCount())); });
    CompDelete(2);
    CompSetConnRenumberHook(nullptr);
    CompSetOwnerRenumberHook(nullptr);
    CompSetConnRebuildHook(nullptr);

    const std::vector<std::string> expected = {"conns 4 0 3", "owners trusted", "rebuild 3"};
    EXPECT_EQ(calls, expected);
    EXPECT_FALSE(DbIsTrusted());
    EXPECT_EQ(CompCount(), 3);
    EXPECT_EQ(CompFind("U4"), 3);
    EXPECT_EQ(CompFind("U2"), 0);
    EXPECT_EQ(CompRef(1)->compRef, 3);
    EXPECT_EQ(CompRef(2)->compRef, 0);
    Attribute out;
    EXPECT_TRUE(AttrFind(9, kRecComponent, 3, 0, &out));
    EXPECT_EQ(out.value1, 44);
    EXPECT_FALSE(AttrFind(9, kRecComponent, 2, 0, &out));
}

TEST_F(CompTest, DeleteInsideTheJournalMovesTheItemPastTheEnd) {
    for (const char* name : {"U1", "U2", "U3"})
        AddComp(name, 0, 0, 0);
    AltPush();
    Component rec;
    CompGet(3, &rec);
    rec.x = 33;
    AltPut(kRecComponent, 3, 0, &rec);
    CompGet(1, &rec);
    AltPut(kRecComponent, 1, 0, &rec);
    CompDelete(1);
    AltItemHeader h;
    AltGet(1, &h, &rec);
    EXPECT_EQ(h.index, 2); // component 3 moved down
    AltGet(2, &h, &rec);
    EXPECT_EQ(h.index, 3); // the deleted one, one past the new last
    AltPop(false);
}

TEST_F(CompTest, SortOrdersByNameAndRenumbers) {
    for (const char* name : {"U3", "U1", "U2"})
        AddComp(name, 0, 0, 0);
    Component rec;
    CompGet(2, &rec);
    rec.compRef = 1; // U1 refers to U3
    CompPut(2, &rec);
    Attribute a{};
    a.kind = 9;
    a.key1Type = kRecComponent;
    a.key1 = 1;
    a.value1 = 3;
    AttrPut(&a);
    DbHdr().modified = 0;
    EXPECT_EQ(CompSort(1), 3);
    EXPECT_EQ(DbHdr().modified, 1);
    EXPECT_EQ(CompFind("U1"), 1);
    EXPECT_EQ(CompFind("U2"), 2);
    EXPECT_EQ(CompFind("U3"), 3);
    EXPECT_EQ(CompRef(1)->compRef, 3);
    Attribute out;
    EXPECT_TRUE(AttrFind(9, kRecComponent, 3, 0, &out));

    // Already in order: nothing changes.
    static int32_t hookCalls;
    hookCalls = 0;
    CompSetConnRenumberHook([](const int16_t*, int32_t) { ++hookCalls; });
    DbHdr().modified = 0;
    EXPECT_EQ(CompSort(2), 2);
    CompSetConnRenumberHook(nullptr);
    EXPECT_EQ(hookCalls, 0);
    EXPECT_EQ(DbHdr().modified, 0);
}

TEST_F(CompTest, FindAndNextWithSymbol) {
    int32_t s1 = AddSymbol("A", {});
    int32_t s2 = AddSymbol("B", {});
    AddComp("U1", s1, 0, 0);
    AddComp("U2", s2, 0, 0);
    AddComp("U3", s1, 0, 0);
    EXPECT_EQ(CompFind("U3"), 3);
    EXPECT_EQ(CompFind("U9"), 0);
    EXPECT_EQ(CompNextWithSym(0, s1), 1);
    EXPECT_EQ(CompNextWithSym(1, s1), 3);
    EXPECT_EQ(CompNextWithSym(3, s1), 0);
    EXPECT_EQ(CompNextWithSym(0, s2), 2);
    CompHook(1);
}

TEST_F(CompTest, SurfaceMountPinHasAPadOnExactlyOneLayer) {
    int32_t smt = AddThru({{kPadRect, 5, 5, 5, 5}}, 0x2);
    int32_t through = AddThru({{kPadRound, 5, 5, 5, 5}}, 0x6);
    int32_t s = AddSymbol("S", {{0, 0, int16_t(smt)}, {100, 0, int16_t(through)}});
    int32_t c = AddComp("U1", s, 0, 0);
    EXPECT_TRUE(CompPinIsSmt(c, 1));
    EXPECT_FALSE(CompPinIsSmt(c, 2));
    Layer layer;
    LayerGet(2, &layer);
    layer.flags |= 4; // not counted
    LayerPut(2, &layer);
    EXPECT_TRUE(CompPinIsSmt(c, 2));
}

} // namespace
