// The board text table: storing with its checks and derived values, owner
// lists, deletion, the shown placeholders and strings, placement, and the
// texts of deleted or renumbered owners.
#include "db/texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "compfixture.h"
#include "db/altjournal.h"
#include "db/attrs.h"
#include "db/err.h"
#include "db/font.h"
#include "db/lang.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/sweeps.h"

namespace {

class TextTest : public CompDbTest {
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

    static BoardText Rec(const char* s, int32_t owner = 0, uint8_t kind = kTextStatic) {
        BoardText t;
        DbRecInit(kRecBoardText, &t, 1);
        t.name = 0;
        t.owner = int16_t(owner);
        t.kind = kind;
        std::strncpy(t.text, s, kTextChars - 1);
        return t;
    }
    // Adds and stores a text; answers its index.
    static int32_t Add(const char* s, int32_t owner = 0, const char* name = nullptr,
                       uint8_t kind = kTextStatic) {
        BoardText t = Rec(s, owner, kind);
        if (name) t.name = NameIntern(name);
        const int32_t n = TextAdd();
        TextPut(n, &t);
        return n;
    }
    static std::vector<int32_t> List(int32_t first) {
        std::vector<int32_t> out;
        for (int32_t t = first; t != 0; t = TextNext(t))
            out.push_back(t);
        return out;
    }
    static std::string Name(int32_t t) { return NameText(TextRef(t)->name); }

    int32_t u = 1;
};

TEST_F(TextTest, PutFillsHeightAngleTextAndBox) {
    const int32_t n = TextAdd();
    BoardText t = Rec("");
    t.height = 0;
    t.angle = -5400;
    t.x = 1000;
    t.y = 2000;
    TextPut(n, &t);
    const BoardText* r = TextRef(n);
    EXPECT_EQ(r->height, 1000 * u);
    EXPECT_EQ(r->angle, 16200);
    EXPECT_STREQ(r->text, "Empty string");
    EXPECT_LT(r->recordId, 0);
    EXPECT_LT(r->minX, r->maxX);
    EXPECT_LT(r->minY, r->maxY);

    const struct {
        int32_t in, out;
    } angles[] = {{21600, 21600},  {21599, 21599}, {0, 0},         {-21600, 0},
                  {-21601, 21599}, {30000, 8400},  {-30000, 13200}};
    for (const auto& a : angles) {
        t = Rec("A");
        t.angle = int16_t(a.in);
        TextPut(n, &t);
        EXPECT_EQ(TextRef(n)->angle, a.out) << a.in;
    }

    // The box of "A" at the font's height.
    t = Rec("A");
    t.height = 1800 * u;
    t.x = 1000;
    t.y = -2000;
    TextPut(n, &t);
    r = TextRef(n);
    EXPECT_EQ(r->minX, 100 * u + 1000);
    EXPECT_EQ(r->maxX, 900 * u + 1000);
    EXPECT_EQ(r->minY, 500 * u - 2000);
    EXPECT_EQ(r->maxY, 1700 * u - 2000);
}

TEST_F(TextTest, PutChecks) {
    const int32_t n = TextAdd();
    BoardText t = Rec("A");
    EXPECT_FATAL(TextPut(0, &t), kErrTextPutIndex);
    EXPECT_FATAL(TextPut(2, &t), kErrTextPutIndex);
    const struct {
        void (*spoil)(BoardText*);
        int32_t code;
    } cases[] = {
        {[](BoardText* r) { r->kind = 8; }, kErrTextPutKind},
        {[](BoardText* r) { r->width = -1; }, kErrTextPutWidth},
        {[](BoardText* r) { r->r = -1; }, kErrTextPutR},
        {[](BoardText* r) { r->layer = uint8_t(LayerCount() + 1); }, kErrTextPutLayer},
        {[](BoardText* r) { r->ratio = 0; }, kErrTextPutRatio},
        {[](BoardText* r) { r->ratio = 1001; }, kErrTextPutRatio},
        {[](BoardText* r) { r->value50 = -1; }, kErrTextPutGlyphAngle},
        {[](BoardText* r) { r->value50 = 21601; }, kErrTextPutGlyphAngle},
    };
    for (const auto& c : cases) {
        BoardText bad = Rec("A");
        c.spoil(&bad);
        EXPECT_FATAL(TextPut(n, &bad), c.code);
    }
    BoardText edge = Rec("A");
    edge.kind = 7;
    edge.ratio = 1000;
    edge.value50 = 21600;
    edge.layer = uint8_t(LayerCount());
    TextPut(n, &edge);
    EXPECT_EQ(TextRef(n)->ratio, 1000);
}

TEST_F(TextTest, BoardTextsWidenTheExtent) {
    DbHeader& h = DbHdr();
    h.extMinX = h.extMinY = INT32_MAX;
    h.extMaxX = h.extMaxY = INT32_MIN;
    BoardText owned = Rec("A", -1);
    owned.x = -900000;
    const int32_t n = TextAdd();
    TextPut(n, &owned);
    BoardText left = Rec("A");
    left.x = -500000;
    left.flags = kTextFlagNoExtent;
    TextPut(n, &left);
    EXPECT_EQ(h.extMinX, INT32_MAX);

    // Spaces alone have no strokes: the text takes the point box at its
    // position, and the extent grows by that point only.
    BoardText blank = Rec("   ");
    blank.x = 9000;
    blank.y = -300;
    TextPut(n, &blank);
    EXPECT_EQ(TextRef(n)->minX, 9000);
    EXPECT_EQ(TextRef(n)->maxX, 9000);
    EXPECT_EQ(TextRef(n)->minY, -300);
    EXPECT_EQ(TextRef(n)->maxY, -300);
    EXPECT_EQ(h.extMinX, 9000);
    EXPECT_EQ(h.extMaxY, -300);

    BoardText board = Rec("A");
    board.x = 7000;
    TextPut(n, &board);
    EXPECT_EQ(h.extMinX, TextRef(n)->minX);
    EXPECT_EQ(h.extMaxY, TextRef(n)->maxY);
}

TEST_F(TextTest, Naming) {
    const int32_t a = Add("A", 0, "LABEL");
    EXPECT_EQ(Name(a), "LABEL");
    // A name another text has becomes the number form of twice the index,
    // advanced while taken.
    const int32_t b = Add("A", 0, "LABEL");
    EXPECT_EQ(Name(b), "4");
    Add("A", 0, "8");
    const int32_t d = Add("A", 0, "4");
    EXPECT_EQ(d, 4);
    EXPECT_EQ(Name(d), "9");
    // Storing a text again under its own name keeps it.
    BoardText again = *TextRef(a);
    TextPut(a, &again);
    EXPECT_EQ(Name(a), "LABEL");
    // -1 names it after its record id.
    BoardText byId = Rec("A");
    byId.name = NameId(0xFFFFFFFF);
    const int32_t e = TextAdd();
    TextPut(e, &byId);
    EXPECT_EQ(Name(e), std::to_string(TextRef(e)->recordId));
    EXPECT_EQ(TextFind("LABEL"), a);
    EXPECT_EQ(TextFind("NONE"), 0);
}

TEST_F(TextTest, OwnerListsNewestFirst) {
    const int32_t s = AddSymbol("SO8", {});
    const int32_t c = AddComp("U1", s, 0, 0);
    const int32_t b1 = Add("B1"), s1 = Add("S1", s), b2 = Add("B2"), c1 = Add("C1", -c);
    EXPECT_EQ(List(TextBoardFirst()), (std::vector<int32_t>{b2, b1}));
    EXPECT_EQ(List(SymTextFirst(0)), (std::vector<int32_t>{b2, b1}));
    EXPECT_EQ(List(SymTextFirst(s)), (std::vector<int32_t>{s1}));
    EXPECT_EQ(List(CompTextFirst(c)), (std::vector<int32_t>{c1}));
    // Storing again moves a text to the head; a new owner moves it across.
    BoardText again = *TextRef(b1);
    TextPut(b1, &again);
    EXPECT_EQ(List(TextBoardFirst()), (std::vector<int32_t>{b1, b2}));
    BoardText moved = *TextRef(b2);
    moved.owner = int16_t(-c);
    TextPut(b2, &moved);
    EXPECT_EQ(List(TextBoardFirst()), (std::vector<int32_t>{b1}));
    EXPECT_EQ(List(CompTextFirst(c)), (std::vector<int32_t>{b2, c1}));

    EXPECT_FATAL(SymTextFirst(-1), kErrTextSymFirst);
    EXPECT_FATAL(SymTextFirst(s + 1), kErrTextSymFirst);
    EXPECT_FATAL(CompTextFirst(0), kErrTextCompFirst);
    EXPECT_FATAL(CompTextFirst(c + 1), kErrTextCompFirst);
    EXPECT_FATAL(TextNext(0), kErrTextNext);
    EXPECT_FATAL(TextNext(5), kErrTextNext);
}

TEST_F(TextTest, DeleteMovesTheLastIntoTheGap) {
    const int32_t c = AddComp("U1", 0, 0, 0);
    // Odd texts on the board, even ones on the component.
    for (int32_t i = 1; i <= 7; ++i)
        Add(("T" + std::to_string(i)).c_str(), i % 2 ? 0 : -c, ("N" + std::to_string(i)).c_str());
    // A journal item of the last text follows it to its new number.
    AltPush();
    BoardText image = *TextRef(7);
    image.x = 4242;
    AltPut(kRecBoardText, 7, 0, &image);
    TextDelete(3);
    EXPECT_EQ(TextCount(), 6);
    EXPECT_EQ(DbHdr().textCount, 6);
    EXPECT_EQ(Name(3), "N7");
    EXPECT_EQ(List(TextBoardFirst()), (std::vector<int32_t>{3, 5, 1}));
    BoardText seen;
    EXPECT_TRUE(AltSave(kRecBoardText, 3, &seen));
    EXPECT_EQ(seen.x, 4242);
    AltPop(false);

    TextDelete(6); // the last: nothing moves
    EXPECT_EQ(List(CompTextFirst(c)), (std::vector<int32_t>{4, 2}));
    EXPECT_FATAL(TextDelete(0), kErrTextDelete);
    EXPECT_FATAL(TextDelete(6), kErrTextDelete);
}

TEST_F(TextTest, GetShowsPlaceholders) {
    const int32_t s = AddSymbol("DIP14", {});
    const int32_t pk = PkgAdd();
    Package pkg;
    PkgGet(pk, &pkg);
    pkg.info.name = NameIntern("7400");
    PkgPut(pk, &pkg);
    Component withPkg = CompRecord("U1", s, 0, 0);
    withPkg.package = int16_t(pk);
    const int32_t c1 = CompAdd();
    CompPut(c1, &withPkg);
    Component withField = CompRecord("U2", s, 0, 0);
    withField.value52 = int32_t(NameIntern("74HC00"));
    const int32_t c2 = CompAdd();
    CompPut(c2, &withField);
    const int32_t c3 = AddComp("U3", s, 0, 0);

    const struct {
        uint8_t kind;
        int32_t owner;
        const char* shown;
    } cases[] = {
        {kTextCompName, 0, "&Comp"},       {kTextCompName, -1, "&Comp"},
        {kTextFootprintName, 0, "&FP"},    {kTextFootprintName, s, "DIP14"},
        {kTextFootprintName, -2, "DIP14"}, {kTextPackageName, -1, "7400"},
        {kTextPackageName, -2, "74HC00"},  {kTextPackageName, -3, "own"},
        {kTextPackageName, 0, "&Pack"},    {kTextPackageName, s, "&Pack"},
        {kTextStatic, -1, "own"},          {kTextPinName, 0, "own"},
    };
    for (const auto& c : cases) {
        const int32_t t = Add("own", c.owner, nullptr, c.kind);
        BoardText out;
        TextGet(t, &out);
        EXPECT_STREQ(out.text, c.shown) << int(c.kind) << " " << c.owner;
        EXPECT_STREQ(TextRef(t)->text, "own");
    }
    (void)c3;

    // An empty slot gives the default record.
    const int32_t empty = TextAdd();
    BoardText d;
    TextGet(empty, &d);
    EXPECT_EQ(d.height, 4500);
    EXPECT_EQ(d.width, 600);
    EXPECT_EQ(d.ratio, 100);
    EXPECT_EQ(NameText(d.name), std::to_string(empty));
    EXPECT_EQ(TextRef(empty), nullptr);
    EXPECT_FATAL(TextGet(0, &d), kErrTextGet);
    EXPECT_FATAL(TextGet(empty + 1, &d), kErrTextGet);
}

TEST_F(TextTest, StringOnAPlacedComponent) {
    const int32_t s = AddSymbol("SOT23", {});
    const int32_t pk = PkgAdd();
    Package pkg;
    PkgGet(pk, &pkg);
    pkg.info.name = NameIntern("BC847");
    PkgPut(pk, &pkg);
    Component plain = CompRecord("Q1", s, 0, 0);
    Component packed = plain;
    packed.package = int16_t(pk);
    Component field = plain;
    field.value52 = int32_t(NameIntern("BC857"));

    const struct {
        uint8_t kind;
        const char* text;
        const Component* comp;
        const char* shown;
    } cases[] = {
        {kTextCompName, "x", &plain, "Q1"},
        {kTextStatic, "&N", &plain, "Q1"},
        {kTextFootprintName, "x", &plain, "SOT23"},
        {kTextStatic, "&F", &plain, "SOT23"},
        {kTextPackageName, "x", &packed, "BC847"},
        {kTextPackageName, "x", &field, "BC857"},
        {kTextPackageName, "x", &plain, "No Package"},
        {kTextStatic, "&P", &packed, "BC847"},
        {kTextStatic, "&P", &plain, "No Package"},
        {kTextStatic, "&P", &field, "No Package"},
        {kTextStatic, "&NX", &plain, "&NX"},
        {kTextCompDetail, "&N", &plain, "&N"},
    };
    for (const auto& c : cases) {
        BoardText t = Rec(c.text, 0, c.kind);
        char out[kTextChars];
        TextString(&t, c.comp, out);
        EXPECT_STREQ(out, c.shown) << int(c.kind) << " " << c.text;
    }
}

TEST_F(TextTest, PlaceTurnsPositionAngleAndBox) {
    BoardText t = Rec("A");
    t.x = 100;
    t.y = 0;
    t.angle = 16200;
    t.minX = 100, t.minY = -10, t.maxX = 300, t.maxY = 50;
    TextPlace(&t, 1000, 2000, 10800);
    EXPECT_EQ(t.x, -100 + 1000);
    EXPECT_EQ(t.y, 0 + 2000);
    EXPECT_EQ(t.angle, 5400);
    EXPECT_EQ(t.minX, -300 + 1000);
    EXPECT_EQ(t.maxX, -100 + 1000);
    EXPECT_EQ(t.minY, -50 + 2000);
    EXPECT_EQ(t.maxY, 10 + 2000);

    BoardText whole = Rec("A");
    whole.angle = 10800;
    TextPlace(&whole, 5, 6, 10800);
    EXPECT_EQ(whole.angle, 21600);
    TextPlace(&whole, 0, 0, 5400);
    EXPECT_EQ(whole.angle, 5400);

    const int32_t c = AddComp("U1", 0, 10000, 20000, 5400);
    const int32_t board = Add("B");
    const int32_t owned = Add("O", -c);
    BoardText out;
    EXPECT_FATAL(TextPlaceOnComp(board, c, &out), kErrTextPlaceBoard);
    EXPECT_FATAL(TextPlaceOnComp(owned, 0, &out), kErrTextPlaceNoComp);
    TextPlaceOnComp(board, 0, &out);
    EXPECT_EQ(out.x, 0);
    // The edit's own image of the text is the one placed.
    AltPush();
    BoardText image = *TextRef(owned);
    image.x = 300;
    AltPut(kRecBoardText, owned, 0, &image);
    TextPlaceOnComp(owned, c, &out);
    AltPop(false);
    EXPECT_EQ(out.x, 10000);
    EXPECT_EQ(out.y, 20300);
    EXPECT_EQ(out.angle, 5400);
}

TEST_F(TextTest, KindMessages) {
    for (int32_t k = 0; k <= 6; ++k)
        EXPECT_EQ(TextKindMsgId(k), 21671 + k);
    EXPECT_EQ(TextKindMsgId(7), 0);
    DebugSetFlags(0, 1);
    EXPECT_FATAL(TextKindMsgId(-1), kErrTextLinkWalk);
    DebugSetFlags(0, 0);
}

TEST_F(TextTest, TableGrowsBy200UpTo8000) {
    EXPECT_EQ(TextAdd(), 1);
    EXPECT_EQ(TextSlots(), 200);
    for (int32_t i = 2; i <= 201; ++i)
        TextAdd();
    EXPECT_EQ(TextSlots(), 400);
    for (int32_t i = 202; i <= kTextMax; ++i)
        TextAdd();
    EXPECT_EQ(TextCount(), kTextMax);
    EXPECT_EQ(TextSlots(), kTextMax);
    EXPECT_FATAL(TextAdd(), kErrTextFull);
}

TEST_F(TextTest, DeletedOwnersTakeTheirTextsAlong) {
    const int32_t s1 = AddSymbol("A1", {}), s2 = AddSymbol("A2", {}), s3 = AddSymbol("A3", {});
    const int32_t c1 = AddComp("U1", s3, 0, 0), c2 = AddComp("U2", s3, 0, 0),
                  c3 = AddComp("U3", s3, 0, 0);
    Add("c1", -c1, "c1");
    Add("c2", -c2, "c2");
    Add("c3", -c3, "c3");
    Add("b", 0, "b");
    Add("s2", s2, "s2");
    Add("s3", s3, "s3");
    Add("s1", s1, "s1");
    // Other tests may have replaced the owners' part of the deletes.
    CompSetOwnerRenumberHook(&TextCompRenumber);
    SymSetOwnerRenumberHook(&TextSymRenumber);

    CompDelete(2);
    EXPECT_EQ(TextFind("c2"), 0);
    EXPECT_EQ(TextCount(), 6);
    EXPECT_EQ(TextRef(TextFind("c3"))->owner, -2);
    EXPECT_EQ(TextRef(TextFind("c1"))->owner, -1);
    EXPECT_EQ(List(CompTextFirst(2)), (std::vector<int32_t>{TextFind("c3")}));

    SymDelete(1);
    EXPECT_EQ(TextFind("s1"), 0);
    EXPECT_EQ(TextRef(TextFind("s2"))->owner, 1);
    EXPECT_EQ(TextRef(TextFind("s3"))->owner, 2);
    EXPECT_EQ(TextRef(TextFind("b"))->owner, 0);
    EXPECT_EQ(List(SymTextFirst(1)), (std::vector<int32_t>{TextFind("s2")}));
    EXPECT_EQ(List(SymTextFirst(2)), (std::vector<int32_t>{TextFind("s3")}));
    EXPECT_EQ(TextCount(), 5);
}

TEST_F(TextTest, ComponentCopiesItsSymbolsTexts) {
    const int32_t s = AddSymbol("SO8", {});
    const int32_t c = AddComp("U1", s, 0, 0);
    Add("name", s, "n", kTextCompName);
    Add("detail", s, "d", kTextFootprintDetail);
    Add("static", s, "s", kTextStatic);
    Add("board");
    CompTextsFromSym(c);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(TextCount(), 6);
    std::vector<int32_t> own = List(CompTextFirst(c));
    ASSERT_EQ(own.size(), 2u);
    std::vector<std::string> texts;
    for (int32_t t : own) {
        EXPECT_EQ(TextRef(t)->owner, -c);
        texts.push_back(TextRef(t)->text);
    }
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"name", "static"}));
    EXPECT_EQ(List(SymTextFirst(s)).size(), 3u);
}

TEST_F(TextTest, ScalingWalksTheTable) {
    DbTableSetCount(kRecBoardText, &TextCount); // other tests may have replaced it
    BoardText t = Rec("A");
    t.x = 1000;
    t.y = 2000;
    t.height = 3000;
    const int32_t n = TextAdd();
    TextPut(n, &t);
    DbScale(2, 1, 0, 0);
    EXPECT_EQ(TextRef(n)->x, 2000);
    EXPECT_EQ(TextRef(n)->y, 4000);
    EXPECT_EQ(TextRef(n)->height, 6000);
    EXPECT_STREQ(TextRef(n)->text, "A");
}

} // namespace
