// The validation repairs of components: place outlines and name texts.
#include "db/comprepair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "compfixture.h"
#include "db/font.h"
#include "db/lang.h"
#include "db/layers.h"
#include "db/obstacles.h"
#include "db/texts.h"

namespace {

class RepairTest : public CompDbTest {
  protected:
    void SetUp() override {
        CompDbTest::SetUp();
        LangInit();
        FontLoad();
        u = DbHdr().userUnit;
    }
    void TearDown() override {
        FontTestReset();
        CompDbTest::TearDown();
    }

    // The place outlines of a symbol's list.
    static std::vector<int32_t> Outlines(int32_t s) {
        std::vector<int32_t> out;
        for (int32_t o = SymObsFirst(s); o != 0; o = ObsNext(o))
            if (ObsRef(o)->head.kind == kObsPlaceOutline) out.push_back(o);
        return out;
    }
    struct Bounds {
        int32_t x1, y1, x2, y2;
    };
    static Bounds PointBounds(int32_t o) {
        const Obstacle* r = ObsRef(o);
        Bounds b{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (int32_t i = 0; i < r->head.count; ++i) {
            b.x1 = std::min(b.x1, r->pt[i].x);
            b.y1 = std::min(b.y1, r->pt[i].y);
            b.x2 = std::max(b.x2, r->pt[i].x);
            b.y2 = std::max(b.y2, r->pt[i].y);
        }
        return b;
    }

    int32_t u = 1;
};

TEST_F(RepairTest, OutlineAroundThePadsInTheSymbolsFrame) {
    const int32_t thru = AddThru({{kPadRect, 100, 50, 300, 200}});
    const int32_t sym = AddSymbol("S", {{0, 0, int16_t(thru)}});
    const int32_t u1 = AddComp("U1", sym, 1000, 2000, 5400);
    // A stale box, as a trusted load may leave it.
    {
        DbTrustedScope trusted;
        Component c = *CompRef(u1);
        c.minX = c.minY = c.maxX = c.maxY = 0;
        CompPut(u1, &c);
    }
    AddComp("U2", sym, 9000, 9000); // finds the outline U1 gave the symbol
    AddComp("U3", 0, 500, 500);     // no symbol: left alone

    CompMakeOutlines();
    EXPECT_EQ(CompRef(u1)->minX, 1000 - 200); // stored again: the box is back
    ASSERT_EQ(ObsCount(), 1);
    const std::vector<int32_t> outlines = Outlines(sym);
    ASSERT_EQ(outlines.size(), 1u);
    const ObsHead& h = ObsRef(outlines[0])->head;
    EXPECT_EQ(std::string(NameText(h.name)), "U1");
    EXPECT_EQ(h.kind, kObsPlaceOutline);
    EXPECT_EQ(h.count, 5);
    EXPECT_EQ(h.owner, sym);
    EXPECT_TRUE(h.flags & kObsBySystem);
    EXPECT_EQ(h.word42, int16_t(-32767));
    EXPECT_EQ(h.layer, 0);
    const Bounds b = PointBounds(outlines[0]);
    EXPECT_EQ(b.x1, -100 - 15 * u);
    EXPECT_EQ(b.y1, -50 - 15 * u);
    EXPECT_EQ(b.x2, 300 + 15 * u);
    EXPECT_EQ(b.y2, 200 + 15 * u);
    const Obstacle* r = ObsRef(outlines[0]);
    EXPECT_EQ(r->pt[0].x, r->pt[4].x);
    EXPECT_EQ(r->pt[0].y, r->pt[4].y);

    // Run again: every component finds an outline.
    CompMakeOutlines();
    EXPECT_EQ(ObsCount(), 1);
}

TEST_F(RepairTest, OutlineLayers) {
    // A through pin: layer 0. A surface-mount pin 1 on layer 2: layer 2. Pads
    // on both layers with layer 2 flagged 4: surface-mount on layer 1. A
    // symbol without pins: layer 0 around the component's point.
    Layer l2;
    const int32_t through = AddThru({{kPadRound, 50, 50, 50, 50}}, 0x6);
    const int32_t top = AddThru({{kPadRound, 50, 50, 50, 50}}, 0x4);
    const int32_t both = AddThru({{kPadRound, 50, 50, 50, 50}}, 0x6);
    const struct {
        int32_t thru;
        bool flag4;
        uint8_t layer;
    } cases[] = {{through, false, 0}, {top, false, 2}, {both, true, 1}, {0, false, 0}};
    int32_t n = 0;
    for (const auto& k : cases) {
        SCOPED_TRACE(n);
        LayerGet(2, &l2);
        l2.flags =
            k.flag4 ? uint16_t(l2.flags | kLayerNoRoute4) : uint16_t(l2.flags & ~kLayerNoRoute4);
        LayerPut(2, &l2);
        const std::string name = "S" + std::to_string(++n);
        const int32_t sym = k.thru ? AddSymbol(name.c_str(), {{0, 0, int16_t(k.thru)}})
                                   : AddSymbol(name.c_str(), {});
        AddComp(("U" + std::to_string(n)).c_str(), sym, 7000, 7000);
        CompMakeOutlines();
        const std::vector<int32_t> outlines = Outlines(sym);
        ASSERT_EQ(outlines.size(), 1u);
        EXPECT_EQ(ObsRef(outlines[0])->head.layer, k.layer);
        if (!k.thru) {
            const Bounds b = PointBounds(outlines[0]);
            EXPECT_EQ(b.x1, -15 * u);
            EXPECT_EQ(b.y2, 15 * u);
        }
    }
}

TEST_F(RepairTest, NameTextsFromTheSymbolOrFittedToTheOutline) {
    // Wide pads: the name lies along x; tall pads: along y.
    const int32_t wide = AddThru({{kPadRect, 3000, 100, 3000, 100}});
    const int32_t tall = AddThru({{kPadRect, 100, 3000, 100, 3000}});
    const int32_t symWide = AddSymbol("W", {{0, 0, int16_t(wide)}});
    const int32_t symTall = AddSymbol("T", {{0, 0, int16_t(tall)}});
    const int32_t symText = AddSymbol("X", {{0, 0, int16_t(wide)}});
    const int32_t symBare = AddSymbol("B", {{0, 0, int16_t(wide)}});
    BoardText st;
    DbRecInit(kRecBoardText, &st, 1);
    st.owner = int16_t(symText);
    std::strcpy(st.text, "REF");
    TextPut(TextAdd(), &st);

    const int32_t cw = AddComp("CW", symWide, 10000, 10000);
    const int32_t ct = AddComp("CT", symTall, 20000, 10000);
    const int32_t cx = AddComp("CX", symText, 30000, 10000);
    const int32_t cb = AddComp("CB", symBare, 40000, 10000);
    CompMakeOutlines();
    // CB loses its outline: nothing to fit a name into.
    for (int32_t o = ObsCount(); o >= 1; --o)
        if (ObsRef(o)->head.owner == symBare) ObsDelete(o);
    // CW already has a text of its own: it keeps just that one.
    const int32_t own = TextAdd();
    BoardText mine = st;
    mine.owner = int16_t(-cw);
    mine.name = 0;
    TextPut(own, &mine);
    const int32_t before = TextCount();

    CompMakeNameTexts();
    EXPECT_EQ(CompTextFirst(cw), own);
    EXPECT_EQ(TextNext(own), 0);
    EXPECT_EQ(CompTextFirst(cb), 0);
    // CX takes a copy of its symbol's text.
    const int32_t copy = CompTextFirst(cx);
    ASSERT_NE(copy, 0);
    EXPECT_STREQ(TextRef(copy)->text, "REF");
    EXPECT_EQ(TextRef(copy)->owner, -cx);
    EXPECT_EQ(TextCount(), before + 2);

    // CT gets a name text fitted to its outline, standing along y.
    const int32_t t = CompTextFirst(ct);
    ASSERT_NE(t, 0);
    const BoardText* n = TextRef(t);
    const ObsHead& o = ObsRef(Outlines(symTall)[0])->head;
    const int32_t w = o.maxX - o.minX, h = o.maxY - o.minY;
    ASSERT_GE(h, w);
    EXPECT_EQ(n->kind, kTextCompName);
    EXPECT_STREQ(n->text, "&N");
    EXPECT_EQ(std::string(NameText(n->name)), "CT");
    EXPECT_EQ(n->owner, -ct);
    EXPECT_EQ(n->layer, o.layer);
    EXPECT_EQ(n->flags, kTextFlagNameText);
    EXPECT_EQ(n->width, u);
    EXPECT_EQ(n->angle, 5400);
    EXPECT_EQ(n->height, w / 2);
    EXPECT_EQ(n->x, o.minX + w / 2 + w / 4);
    EXPECT_EQ(n->y, o.minY + h / 2 - n->height / 2);
}

TEST_F(RepairTest, WideOutlineGivesANameAlongX) {
    const int32_t wide = AddThru({{kPadRect, 3000, 100, 3000, 100}});
    const int32_t sym = AddSymbol("W", {{0, 0, int16_t(wide)}});
    const int32_t c = AddComp("CW", sym, 10000, 10000);
    DbHdr().flags |= kHdrOutlines | kHdrNameTexts;
    EXPECT_EQ(DbValidate(), 0);
    EXPECT_EQ(DbHdr().flags & (kHdrOutlines | kHdrNameTexts), 0);
    const int32_t t = CompTextFirst(c);
    ASSERT_NE(t, 0);
    const BoardText* n = TextRef(t);
    const ObsHead& o = ObsRef(Outlines(sym)[0])->head;
    const int32_t w = o.maxX - o.minX, h = o.maxY - o.minY;
    ASSERT_LT(h, w);
    EXPECT_EQ(n->angle, 0);
    EXPECT_EQ(n->height, h / 2);
    EXPECT_EQ(n->x, o.minX + w / 2 - h / 4);
    EXPECT_EQ(n->y, o.minY + h / 2 - n->height / 2);
}

TEST_F(RepairTest, NoNameTextOutsideTheCoordinateRange) {
    // An outline read from a file, stored as given, whose box lies beyond
    // the coordinate range: the name text it would give lies there too, so
    // none is made (a design with such a text could not be saved).
    const int32_t wide = AddThru({{kPadRect, 3000, 100, 3000, 100}});
    const int32_t sym = AddSymbol("W", {{0, 0, int16_t(wide)}});
    const int32_t c = AddComp("CW", sym, 10000, 10000);
    CompMakeOutlines();
    const int32_t outline = Outlines(sym)[0];
    auto rec = std::make_unique<Obstacle>();
    ObsGet(outline, rec.get());
    rec->head.minX = -2000000000;
    rec->head.maxX = 2000000000;
    rec->head.minY = -2000000000;
    rec->head.maxY = -1999990000;
    {
        DbTrustedScope trusted;
        ObsPut(outline, rec.get());
    }
    ASSERT_EQ(ObsRef(outline)->head.minY, -2000000000);
    const int32_t before = TextCount();
    CompMakeNameTexts();
    EXPECT_EQ(CompTextFirst(c), 0);
    EXPECT_EQ(TextCount(), before);
}

} // namespace
