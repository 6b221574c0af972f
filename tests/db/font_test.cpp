// The stroke font: loading and checking the packed font, laying out texts as
// strokes (straight and along an arc) and turning strokes.
#include "db/font.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "db/dbheader.h"
#include "db/pool.h"
#include "dbfixture.h"
#include "headless/headless.h"
#include "toolbox/core/byteorder.h"

namespace {

class FontTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        FontTestReset();
        DbHdr().userUnit = kU;
        list = static_cast<StrokeList*>(ScratchPush());
    }
    void TearDown() override {
        ScratchPop(list);
        FontTestReset();
        DbTest::TearDown();
    }

    static constexpr int32_t kU = 60;

    static BoardText Text(const char* s, int32_t height = 1800 * kU) {
        BoardText t{};
        t.height = height;
        t.ratio = 100;
        std::strncpy(t.text, s, kTextChars - 1);
        return t;
    }

    std::vector<Stroke> Strokes(BoardText* t) {
        TextStrokes(t, list);
        return std::vector<Stroke>(list->stroke, list->stroke + list->count);
    }

    static std::vector<uint8_t> Resource(int32_t number) {
        std::vector<uint8_t> bytes;
        RelocatableBlock h = HeadlessLoadResource(FourCC("RFNT"), number);
        const uint8_t* p = static_cast<const uint8_t*>(HeapHandleLock(h));
        bytes.assign(p, p + RelocatableBlockSize(h));
        HeapHandleUnlock(h);
        HeapHandleFree(h);
        return bytes;
    }
    static void Register(int32_t number, const std::vector<uint8_t>& bytes) {
        HeadlessRegisterResource(FourCC("RFNT"), number, bytes.data(), int32_t(bytes.size()));
    }

    StrokeList* list = nullptr;
};

bool Same(const Stroke& a, const Stroke& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

TEST_F(FontTest, WithoutFontTheListStaysEmptyAndTheBoxIsKept) {
    BoardText t = Text("A");
    t.minX = 7;
    t.maxY = 9;
    list->count = 5;
    TextStrokes(&t, list);
    EXPECT_EQ(list->count, 0);
    EXPECT_EQ(t.minX, 7);
    EXPECT_EQ(t.maxY, 9);
    EXPECT_FALSE(FontIsLoaded());
}

TEST_F(FontTest, LetterAAtFontHeight) {
    EXPECT_EQ(FontLoad(), 1);
    EXPECT_EQ(FontHeight(), 1800);
    BoardText t = Text("A");
    std::vector<Stroke> s = Strokes(&t);
    ASSERT_EQ(s.size(), 6u);
    EXPECT_TRUE(Same(s[0], Stroke{100 * kU, 500 * kU, 100 * kU, 1100 * kU}));
    EXPECT_EQ(t.minX, 100 * kU);
    EXPECT_EQ(t.maxX, 900 * kU);
    EXPECT_EQ(t.minY, 500 * kU);
    EXPECT_EQ(t.maxY, 1700 * kU);

    // The position moves every stroke and the box.
    BoardText moved = Text("A");
    moved.x = -5000;
    moved.y = 300;
    std::vector<Stroke> m = Strokes(&moved);
    ASSERT_EQ(m.size(), 6u);
    for (size_t i = 0; i < m.size(); ++i)
        EXPECT_TRUE(
            Same(m[i], Stroke{s[i].x1 - 5000, s[i].y1 + 300, s[i].x2 - 5000, s[i].y2 + 300}));
    EXPECT_EQ(moved.minX, 100 * kU - 5000);
    EXPECT_EQ(moved.maxY, 1700 * kU + 300);
}

TEST_F(FontTest, ScalingTruncatesTowardZero) {
    FontLoad();
    // Height 1,000 of a 1,800-unit font: 100 font units are 55.5 -> 55 per
    // user unit, in database units 100 x 1000 / 1800 = 55.55... -> 55.
    BoardText t = Text("A", 1000);
    std::vector<Stroke> s = Strokes(&t);
    ASSERT_EQ(s.size(), 6u);
    EXPECT_EQ(s[0].x1, 55);
    EXPECT_EQ(s[0].y1, 277);
    EXPECT_EQ(s[0].y2, 611);
}

TEST_F(FontTest, PenAdvance) {
    FontLoad();
    BoardText a = Text("A");
    std::vector<Stroke> one = Strokes(&a);

    // A space advances three quarters of the height plus twice the width.
    BoardText sa = Text(" A");
    sa.width = 250;
    std::vector<Stroke> spaced = Strokes(&sa);
    ASSERT_EQ(spaced.size(), one.size());
    EXPECT_EQ(spaced[0].x1 - one[0].x1, 1350 * kU + 500);
    EXPECT_EQ(spaced[0].y1, one[0].y1);

    // After a glyph the pen moves by its largest x plus twice the width.
    BoardText aa = Text("AA");
    aa.width = 250;
    std::vector<Stroke> two = Strokes(&aa);
    ASSERT_EQ(two.size(), 12u);
    EXPECT_EQ(two[6].x1 - two[0].x1, 900 * kU + 500);

    // Bytes above 127 are read unsigned: a character without a glyph
    // advances like the space.
    BoardText hi = Text("\xB0"
                        "A");
    hi.width = 250;
    std::vector<Stroke> high = Strokes(&hi);
    ASSERT_EQ(high.size(), one.size());
    EXPECT_EQ(high[0].x1, spaced[0].x1);

    // A text of spaces alone has no strokes and keeps the inverted box.
    BoardText blank = Text("   ");
    EXPECT_TRUE(Strokes(&blank).empty());
    EXPECT_EQ(blank.minX, kStrokeBoxEmpty);
    EXPECT_EQ(blank.minY, kStrokeBoxEmpty);
    EXPECT_EQ(blank.maxX, -kStrokeBoxEmpty);
    EXPECT_EQ(blank.maxY, -kStrokeBoxEmpty);
}

TEST_F(FontTest, RatioScalesXOnly) {
    FontLoad();
    BoardText a = Text("AB");
    std::vector<Stroke> full = Strokes(&a);
    BoardText h = Text("AB");
    h.ratio = 50;
    std::vector<Stroke> half = Strokes(&h);
    ASSERT_EQ(half.size(), full.size());
    // Within the first glyph every x halves and no y changes.
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(half[i].x1, full[i].x1 / 2);
        EXPECT_EQ(half[i].x2, full[i].x2 / 2);
        EXPECT_EQ(half[i].y1, full[i].y1);
        EXPECT_EQ(half[i].y2, full[i].y2);
    }
    // The second glyph follows the narrower first.
    EXPECT_EQ(half[6].x1 - 450 * kU, (full[6].x1 - 900 * kU) / 2);
}

TEST_F(FontTest, MirroredTextIsNegatedInXThenTurned) {
    FontLoad();
    BoardText plain = Text("AB");
    std::vector<Stroke> p = Strokes(&plain);
    BoardText m = Text("AB");
    m.flags = 0x01;
    m.angle = 5400;
    m.x = 1000;
    m.y = 2000;
    std::vector<Stroke> s = Strokes(&m);
    ASSERT_EQ(s.size(), p.size());
    // Negated x then a quarter turn: (x, y) -> (-x, y) -> (-y, -x).
    for (size_t i = 0; i < s.size(); ++i)
        EXPECT_TRUE(
            Same(s[i], Stroke{-p[i].y1 + 1000, -p[i].x1 + 2000, -p[i].y2 + 1000, -p[i].x2 + 2000}))
            << i;
    EXPECT_EQ(m.minX, -1700 * kU + 1000);
    EXPECT_EQ(m.maxX, -500 * kU + 1000);
    EXPECT_EQ(m.maxY, -100 * kU + 2000);
}

TEST_F(FontTest, GlyphAngleTurnsEachGlyphAboutItsOrigin) {
    FontLoad();
    BoardText t = Text("AA");
    t.value50 = 5400;
    t.width = 100;
    std::vector<Stroke> s = Strokes(&t);
    ASSERT_EQ(s.size(), 12u);
    // "A" spans x 100..900, y 500..1,700; turned a quarter it spans x
    // -1,700..-500 and is moved right to start at 0.
    int32_t minX = INT32_MAX, maxX = INT32_MIN, minY = INT32_MAX, maxY = INT32_MIN;
    for (size_t i = 0; i < 6; ++i)
        for (int32_t x : {s[i].x1, s[i].x2})
            minX = std::min(minX, x), maxX = std::max(maxX, x);
    for (size_t i = 0; i < 6; ++i)
        for (int32_t y : {s[i].y1, s[i].y2})
            minY = std::min(minY, y), maxY = std::max(maxY, y);
    EXPECT_EQ(minX, 0);
    EXPECT_EQ(maxX, 1200 * kU);
    EXPECT_EQ(minY, 100 * kU);
    EXPECT_EQ(maxY, 900 * kU);
    // The pen adds twice the width once more for turned glyphs.
    EXPECT_EQ(s[6].x1 - s[0].x1, 1200 * kU + 400);
}

TEST_F(FontTest, ArcTextStartsOppositeItsAngleAndRunsClockwise) {
    FontLoad();
    const int32_t r = 20000 * kU;
    BoardText t = Text("II");
    t.r = r;
    t.x = 500;
    t.y = -700;
    std::vector<Stroke> s = Strokes(&t);
    BoardText one = Text("I");
    BoardText straight = one;
    const size_t n = Strokes(&straight).size();
    ASSERT_EQ(s.size(), 2 * n);
    auto centre = [&](size_t from, double* cx, double* cy) {
        *cx = *cy = 0;
        for (size_t i = from; i < from + n; ++i) {
            *cx += s[i].x1 + s[i].x2 - 2 * 500;
            *cy += s[i].y1 + s[i].y2 + 2 * 700;
        }
        *cx /= 2.0 * n, *cy /= 2.0 * n;
    };
    double x1, y1, x2, y2;
    centre(0, &x1, &y1);
    centre(n, &x2, &y2);
    // The first glyph stands at angle 10,800 (on the negative x side), its
    // height pointing away from the centre; the second follows clockwise,
    // above it.
    EXPECT_LT(x1, -r);
    EXPECT_GT(x1, -r - 1800 * kU);
    EXPECT_NEAR(y1, 0, 200 * kU);
    EXPECT_GT(y2, y1 + 50 * kU);
    EXPECT_LT(x2, -r + 1800 * kU);

    // Mirrored arc text is the same strokes negated in x.
    BoardText m = Text("II");
    m.r = r;
    m.flags = 0x01;
    std::vector<Stroke> ms = Strokes(&m);
    ASSERT_EQ(ms.size(), s.size());
    for (size_t i = 0; i < s.size(); ++i)
        EXPECT_TRUE(
            Same(ms[i], Stroke{-(s[i].x1 - 500), s[i].y1 + 700, -(s[i].x2 - 500), s[i].y2 + 700}));

    // Angle 16,200: the start lies at 27,000 - 21,600 = 5,400, the top.
    BoardText top = Text("I");
    top.r = r;
    top.angle = 16200;
    std::vector<Stroke> ts = Strokes(&top);
    ASSERT_FALSE(ts.empty());
    EXPECT_GT(top.minY, r - 10);
    EXPECT_LT(top.minX, 0);
    EXPECT_GT(top.maxX, 0);
}

TEST_F(FontTest, BoxRefreshUsesAScratchRecord) {
    FontLoad();
    BoardText t = Text("A");
    const int32_t depth = ScratchDepth();
    TextBoxRefresh(&t);
    EXPECT_EQ(ScratchDepth(), depth);
    EXPECT_EQ(t.minX, 100 * kU);
    EXPECT_EQ(t.maxY, 1700 * kU);
}

TEST_F(FontTest, StrokesRotate) {
    struct Case {
        int32_t angle;
        Stroke expected;
    } cases[] = {
        {0, {1000, 20, -3, 7}},
        {5400, {-20, 1000, -7, -3}},
        {10800, {-1000, -20, 3, -7}},
        {16200, {20, -1000, 7, 3}},
        {-5400, {20, -1000, 7, 3}},
        {21600, {1000, 20, -3, 7}},
        {-21600 - 5400, {20, -1000, 7, 3}},
        {27000, {-20, 1000, -7, -3}},
    };
    for (const Case& c : cases) {
        Stroke s{1000, 20, -3, 7};
        StrokesRotate(c.angle, &s, 1);
        EXPECT_TRUE(Same(s, c.expected)) << c.angle;
    }
    // Other angles truncate toward zero: 45 degrees of (1000, 0) is
    // (707.1, 707.1), of (-1000, 0) is (-707.1, -707.1).
    Stroke d[2] = {{1000, 0, 0, 1000}, {-1000, 0, 0, 0}};
    StrokesRotate(2700, d, 2);
    EXPECT_TRUE(Same(d[0], Stroke{707, 707, -707, 707}));
    EXPECT_TRUE(Same(d[1], Stroke{-707, -707, 0, 0}));
}

#if PLV_POSIX
// These replace the font's resources in the headless registry, which the
// native resource loader reads.

TEST_F(FontTest, MissingResource) {
    for (int32_t id : {256, 257, 258}) {
        HeadlessResourcesReset();
        HeadlessUnregisterResource(FourCC("RFNT"), id);
        EXPECT_FATAL(FontLoad(), kErrFontMissing);
        EXPECT_FALSE(FontIsLoaded());
    }
}

TEST_F(FontTest, HeaderChecks) {
    const std::vector<uint8_t> good = Resource(256);
    struct Case {
        int32_t at;
        std::vector<uint8_t> bytes;
        int32_t code;
    } cases[] = {
        {0, {'X'}, kErrFontIdent},
        {23, {'E', 'S'}, kErrFontIdent}, // "...Font FileS"
        {40, {0, 2}, kErrFontVersion},
        {42, {0, 1}, kErrFontReserved},
        {44, {0, 0, 0, 0}, kErrFontHeight},       // a height of 0 would divide by zero
        {44, {0, 0, 0x7D, 0x01}, kErrFontHeight}, // 32,001
        {44, {0xFF, 0xFF, 0xFF, 0xFF}, kErrFontHeight},
        {48, {0, 0, 0, 0}, kErrFontGlyphs},
        {48, {0, 0, 1, 1}, kErrFontGlyphs}, // 257
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> h = good;
        std::memcpy(h.data() + c.at, c.bytes.data(), c.bytes.size());
        Register(256, h);
        SCOPED_TRACE(c.at);
        EXPECT_FATAL(FontLoad(), c.code);
        EXPECT_FALSE(FontIsLoaded());
    }
    // The extremes of the ranges pass.
    std::vector<uint8_t> h = good;
    const uint8_t height[4] = {0, 0, 0x7D, 0x00}, glyphs[4] = {0, 0, 1, 0};
    std::memcpy(h.data() + 44, height, 4);
    std::memcpy(h.data() + 48, glyphs, 4);
    Register(256, h);
    EXPECT_EQ(FontLoad(), 1);
    EXPECT_EQ(FontHeight(), 32000);
}

TEST_F(FontTest, GlyphPastTheStrokeTable) {
    std::vector<uint8_t> index = Resource(257);
    const std::vector<uint8_t> strokes = Resource(258);
    const int32_t total = int32_t(strokes.size() / 8);
    // "A" made to start so that its six strokes end one past the table.
    const int32_t first = total - 5;
    const uint8_t be[4] = {uint8_t(first >> 24), uint8_t(first >> 16), uint8_t(first >> 8),
                           uint8_t(first)};
    std::memcpy(index.data() + 8 * 65 + 4, be, 4);
    Register(257, index);
    EXPECT_FATAL(FontLoad(), kErrFontGlyphs);

    // Ending exactly at the table's end is fine; a short index leaves the
    // later codes without glyphs.
    const int32_t last = total - 6;
    const uint8_t ok[4] = {uint8_t(last >> 24), uint8_t(last >> 16), uint8_t(last >> 8),
                           uint8_t(last)};
    std::memcpy(index.data() + 8 * 65 + 4, ok, 4);
    index.resize(8 * 66);
    Register(257, index);
    EXPECT_EQ(FontLoad(), 1);
    BoardText t = Text("AB");
    std::vector<Stroke> s = Strokes(&t);
    EXPECT_EQ(s.size(), 6u);
}
#endif

} // namespace
