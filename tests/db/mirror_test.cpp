// Board-side mirroring: twins of thru codes and symbols, components moved
// to the other side, mirrored obstacles and texts.
#include "db/mirror.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "compfixture.h"
#include "db/altjournal.h"
#include "db/font.h"
#include "db/lang.h"
#include "db/layers.h"
#include "db/obstacles.h"
#include "db/texts.h"

namespace {

class MirrorTest : public CompDbTest {
  protected:
    void SetUp() override {
        CompDbTest::SetUp();
        LangInit();
        FontLoad();
        SetMirror(1, 2);
        SetMirror(2, 1);
    }
    void TearDown() override {
        FontTestReset();
        CompDbTest::TearDown();
    }

    static void SetMirror(int32_t layer, int32_t mirror) {
        Layer l;
        LayerGet(layer, &l);
        l.mirror = uint8_t(mirror);
        LayerPut(layer, &l);
    }
    static void Rename(int32_t t, const char* name) {
        ThruCode rec;
        ThruGet(t, &rec);
        rec.name = NameIntern(name);
        ThruPut(t, &rec);
    }
    static std::string ThruName(int32_t t) { return NameText(ThruRef(t)->name); }
    static std::string SymName(int32_t s) {
        SymbolInfo info;
        SymInfoGet(s, &info);
        return NameText(info.name);
    }
    // An arc obstacle (start, clockwise centre, end) on layer 1.
    static int32_t AddArcObs(int32_t owner, const char* name) {
        Obstacle r;
        DbRecInit(kRecObstacle, &r, 1);
        r.head.name = NameIntern(name);
        r.head.kind = kObsAvoid;
        r.head.owner = int16_t(owner);
        r.head.layer = 1;
        r.head.count = 3;
        r.pt[0] = {100, 0, 0, 0};
        r.pt[1] = {200, 0, kObsPtArcCw, 0};
        r.pt[2] = {300, 0, 0, 0};
        const int32_t o = ObsAppend();
        ObsPut(o, &r);
        return o;
    }
    static int32_t AddText(int32_t owner, const char* name, uint8_t kind = kTextStatic) {
        BoardText t;
        DbRecInit(kRecBoardText, &t, 1);
        t.name = NameIntern(name);
        t.owner = int16_t(owner);
        t.kind = kind;
        t.layer = 1;
        t.x = 500;
        t.y = 70;
        std::strcpy(t.text, "AB");
        const int32_t n = TextAdd();
        TextPut(n, &t);
        return n;
    }
};

TEST_F(MirrorTest, SymmetricThruCodeIsItsOwnTwin) {
    const int32_t t = AddThru({{kPadRound, 50, 50, 50, 50}}, 0x6);
    Rename(t, "ROUND");
    const int32_t count = ThruCount();
    EXPECT_EQ(ThruMirrorTwin(t), t);
    EXPECT_EQ(ThruCount(), count);
    // Symmetric about the y axis but on one side only: the twin has the pad
    // on the other layer.
    const int32_t top = AddThru({{kPadRound, 50, 50, 50, 50}}, 0x2);
    Rename(top, "TOP");
    const int32_t twin = ThruMirrorTwin(top);
    EXPECT_EQ(twin, count + 2);
    EXPECT_EQ(ThruRef(twin)->layer[1].shapeCount, 0);
    EXPECT_EQ(ThruRef(twin)->layer[2].shapeCount, 1);
}

TEST_F(MirrorTest, ThruTwinTakesTheMirrorLayersPadsMirrored) {
    const int32_t t = AddThru({{kPadRect, 10, 20, 30, 40, 100, 7}}, 0x2, 600);
    Rename(t, "P");
    ThruCode rec;
    ThruGet(t, &rec);
    rec.layer[1].flags = 3;
    ThruPut(t, &rec);

    const int32_t twin = ThruMirrorTwin(t);
    ASSERT_NE(twin, t);
    EXPECT_EQ(ThruName(twin), "P-M");
    const ThruCode* m = ThruRef(twin);
    // Layer 2 shows what layer 1 had, seen from the other side.
    EXPECT_EQ(m->layer[2].shapeCount, 1);
    EXPECT_EQ(m->layer[2].flags, 3);
    EXPECT_EQ(m->layer[2].rotation, 0);
    const PadShape& s = m->layer[2].shape[0];
    EXPECT_EQ(s.code, kPadRect);
    EXPECT_EQ(s.x, -100);
    EXPECT_EQ(s.y, 7);
    EXPECT_EQ(s.ext[0], 30);
    EXPECT_EQ(s.ext[1], 20);
    EXPECT_EQ(s.ext[2], 10);
    EXPECT_EQ(s.ext[3], 40);
    EXPECT_EQ(m->layer[1].shapeCount, 0);
    EXPECT_EQ(m->layer[1].rotation, 21600 - 600);

    // Asked again, and from either side, the same pair.
    const int32_t count = ThruCount();
    EXPECT_EQ(ThruMirrorTwin(t), twin);
    EXPECT_EQ(ThruMirrorTwin(twin), t);
    EXPECT_EQ(ThruCount(), count);
}

TEST_F(MirrorTest, ThruTwinNamesAndErrors) {
    // A thru code named "Q-M" without a "Q": its twin is made as "Q", and
    // from then on the two are each other's twins.
    const int32_t t = AddThru({{kPadSquare, 10, 10, 10, 10, 50, 0}}, 0x2);
    Rename(t, "Q-M");
    const int32_t twin = ThruMirrorTwin(t);
    EXPECT_EQ(ThruName(twin), "Q");
    EXPECT_EQ(ThruMirrorTwin(twin), t);
    EXPECT_EQ(ThruMirrorTwin(t), twin);

    EXPECT_FATAL(ThruMirrorTwin(0), kErrTwinThru);
    EXPECT_FATAL(ThruMirrorTwin(ThruCount() + 1), kErrTwinThru);
    const int32_t other = AddThru({{kPadSquare, 10, 10, 10, 10, 50, 0}}, 0x2);
    SetMirror(1, 9);
    EXPECT_FATAL(ThruMirrorTwin(other), kErrTwinMirror);
}

TEST_F(MirrorTest, SymbolTwinMirrorsPinsObstaclesAndTexts) {
    const int32_t round = AddThru({{kPadRound, 50, 50, 50, 50}}, 0x6);
    const int32_t smd = AddThru({{kPadRect, 10, 20, 30, 40, 100, 0}}, 0x2);
    const int32_t s = AddSymbol("DIP14", {{100, 50, int16_t(smd)}, {-200, 0, int16_t(round)}});
    const int32_t o = AddArcObs(s, "BODY");
    AddText(s, "LABEL");
    AddText(s, "DETAIL", kTextFootprintDetail);
    const int32_t thrus = ThruCount();

    const int32_t twin = SymMirrorTwin(s);
    EXPECT_EQ(twin, s + 1);
    EXPECT_EQ(SymName(twin), "DIP14-M");
    ASSERT_EQ(SymPinCount(twin), 2);
    EXPECT_EQ(SymPinRef(twin, 1)->x, -100);
    EXPECT_EQ(SymPinRef(twin, 1)->y, 50);
    EXPECT_EQ(SymPinRef(twin, 1)->thru, thrus + 1); // the pad's twin
    EXPECT_EQ(SymPinRef(twin, 2)->x, 200);
    EXPECT_EQ(SymPinRef(twin, 2)->thru, round); // its own twin
    EXPECT_EQ(ThruCount(), thrus + 1);

    // The obstacle copy: layer 2, x mirrored, arc turned the other way.
    const int32_t mo = SymObsFirst(twin);
    ASSERT_NE(mo, 0);
    EXPECT_EQ(ObsNext(mo), 0);
    const Obstacle* r = ObsRef(mo);
    EXPECT_EQ(std::string(NameText(r->head.name)), "BODY-M");
    EXPECT_EQ(r->head.layer, 2);
    EXPECT_EQ(r->pt[0].x, -100);
    EXPECT_EQ(r->pt[1].x, -200);
    EXPECT_EQ(r->pt[1].flags, kObsPtArcCcw);
    EXPECT_EQ(r->pt[2].x, -300);
    EXPECT_EQ(ObsRef(o)->pt[1].flags, kObsPtArcCw); // the original stays

    // The texts: the static one mirrored, the footprint detail as it was.
    int32_t label = 0, detail = 0;
    for (int32_t t = SymTextFirst(twin); t != 0; t = TextNext(t))
        (TextRef(t)->kind == kTextFootprintDetail ? detail : label) = t;
    ASSERT_NE(label, 0);
    ASSERT_NE(detail, 0);
    EXPECT_EQ(std::string(NameText(TextRef(label)->name)), "LABEL-M");
    EXPECT_EQ(TextRef(label)->x, -500);
    EXPECT_EQ(TextRef(label)->layer, 2);
    EXPECT_EQ(TextRef(label)->flags & kTextFlagMirrored, kTextFlagMirrored);
    EXPECT_EQ(TextRef(detail)->x, 500);
    EXPECT_EQ(TextRef(detail)->layer, 1);
    EXPECT_EQ(TextRef(detail)->flags & kTextFlagMirrored, 0);

    // Twins come in pairs: no further symbol however often it is asked.
    EXPECT_EQ(SymMirrorTwin(s), twin);
    EXPECT_EQ(SymMirrorTwin(twin), s);
    EXPECT_EQ(SymCount(), twin);
}

TEST_F(MirrorTest, SymbolTwinNamesAndErrors) {
    const int32_t round = AddThru({{kPadRound, 50, 50, 50, 50}}, 0x6);
    // "X-M" alone: its twin is made as "X", then the pair is stable.
    const int32_t s = AddSymbol("X-M", {{0, 0, int16_t(round)}});
    const int32_t twin = SymMirrorTwin(s);
    EXPECT_EQ(SymName(twin), "X");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(SymMirrorTwin(twin), s);
        EXPECT_EQ(SymMirrorTwin(s), twin);
    }
    EXPECT_EQ(SymCount(), 2);

    EXPECT_FATAL(SymMirrorTwin(0), kErrTwinSymbol);
    EXPECT_FATAL(SymMirrorTwin(3), kErrTwinSymbol);
    const int32_t bad = AddSymbol("BAD", {});
    auto rec = NewSymbolRecord("BAD", {{0, 0, 99}});
    {
        DbTrustedScope trusted;
        SymPut(bad, rec.get());
    }
    EXPECT_FATAL(SymMirrorTwin(bad), kErrTwinPinThru);
}

TEST_F(MirrorTest, ComponentMovesToTheOtherSideThroughTheJournal) {
    const int32_t round = AddThru({{kPadRound, 50, 50, 50, 50}}, 0x6);
    const int32_t s = AddSymbol("DIP14", {{100, 0, int16_t(round)}});
    const int32_t c = AddComp("U1", s, 1000, 2000, 5400);
    const int32_t plain = AddComp("U2", s, 5000, 2000, 0);
    const int32_t own = AddArcObs(-c, "KEEP");
    const int32_t symObs = AddArcObs(s, "BODY");
    const int32_t text = AddText(-c, "NAME");
    DbHdr().flags = 0;

    AltPush();
    CompMirror(c);
    CompMirror(plain);
    // Nothing reaches the tables before the commit.
    EXPECT_EQ(CompRef(c)->symbol, s);
    EXPECT_EQ(ObsRef(own)->pt[0].x, 100);
    Component seen;
    AltSave(kRecComponent, c, &seen);
    EXPECT_EQ(seen.angle, 16200);
    AltPop(true);

    const int32_t twin = SymFind("DIP14-M");
    ASSERT_NE(twin, 0);
    EXPECT_EQ(DbHdr().flags & 0x4, 0x4);
    const Component* u1 = CompRef(c);
    EXPECT_EQ(u1->symbol, twin);
    EXPECT_EQ(u1->otherSymbol, s);
    EXPECT_EQ(u1->angle, 16200);
    EXPECT_EQ(u1->flags & kCompOtherSide, kCompOtherSide);
    EXPECT_EQ(CompRef(plain)->angle, 0);
    EXPECT_EQ(CompRef(plain)->symbol, twin);
    // The component's own obstacle and text are mirrored, the symbol's
    // obstacle is not.
    const Obstacle* r = ObsRef(own);
    EXPECT_EQ(r->head.layer, 2);
    EXPECT_EQ(r->pt[0].x, -100);
    EXPECT_EQ(r->pt[1].flags, kObsPtArcCcw);
    EXPECT_EQ(ObsRef(symObs)->pt[0].x, 100);
    EXPECT_EQ(TextRef(text)->x, -500);
    EXPECT_EQ(TextRef(text)->layer, 2);
    EXPECT_EQ(TextRef(text)->flags & kTextFlagMirrored, kTextFlagMirrored);

    // Back again: the known symbols exchange, nothing new is made.
    const int32_t symbols = SymCount();
    AltPush();
    CompMirror(c);
    AltPop(true);
    EXPECT_EQ(SymCount(), symbols);
    EXPECT_EQ(CompRef(c)->symbol, s);
    EXPECT_EQ(CompRef(c)->otherSymbol, twin);
    EXPECT_EQ(CompRef(c)->angle, 5400);
    EXPECT_EQ(CompRef(c)->flags & kCompOtherSide, 0);
    EXPECT_EQ(ObsRef(own)->pt[0].x, 100);
    EXPECT_EQ(ObsRef(own)->head.layer, 1);
    EXPECT_EQ(TextRef(text)->flags & kTextFlagMirrored, 0);
}

TEST_F(MirrorTest, ComponentWithoutSymbolCannotChangeSides) {
    const int32_t c = AddComp("U1", 0, 0, 0);
    AltPush();
    EXPECT_FATAL(CompMirror(c), kErrMirrorSymbol);
    AltPop(false);
}

} // namespace
