// The stroke font and the layout of board texts as strokes.
#include "db/font.h"

#include <cstring>
#include <vector>

#include "db/dbheader.h"
#include "db/err.h"
#include "db/geom.h"
#include "db/pool.h"
#include "toolbox/core/byteorder.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/resource.h"

namespace {

constexpr double kPi = 3.1415926535;
constexpr char kFontIdent[] = "VELLORIX LTD., Font File";
constexpr uint8_t kTextMirrored = 0x01;

struct GlyphEntry {
    int16_t code;
    int16_t count;
    int32_t first;
};

// The loaded font. It lives outside the pools for the life of the process.
struct Font {
    bool loaded = false;
    int32_t height = 0;
    int32_t glyphCount = 0;
    GlyphEntry index[kFontIndexEntries] = {};
    std::vector<int16_t> strokes; // x1, y1, x2, y2 per stroke, machine order
};
Font g_font;

std::vector<uint8_t> LoadBytes(int32_t number) {
    RelocatableBlock h = LoadCustomResource(FourCC("RFNT"), number);
    if (!h) ErrReport(kErrFontMissing, number);
    std::vector<uint8_t> bytes(size_t(RelocatableBlockSize(h)));
    if (!bytes.empty()) std::memcpy(bytes.data(), HeapHandleLock(h), bytes.size());
    HeapHandleUnlock(h);
    ReleaseCustomResource(h);
    return bytes;
}

int32_t Trunc32(long double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0L) return INT32_MAX;
    if (v <= -2147483648.0L) return INT32_MIN;
    return int32_t(v);
}

int32_t Trunc32(double v) {
    return Trunc32(static_cast<long double>(v));
}

int32_t Neg(int32_t v) {
    return int32_t(-int64_t(v));
}

int32_t UserUnit() {
    int32_t u = DbHdr().userUnit;
    return u > 0 ? u : 1;
}

// Three quarters of the text height: the advance of a glyph without width.
int32_t BlankAdvance(int32_t h) {
    const double f = g_font.height, u = UserUnit();
    return Trunc32(3.0 * u * (f * double(h) / (f * u)) / 4.0);
}

// Appends character c's glyph to the list, scaled to the text's height
// (and by its ratio when applyRatio or the ratio is not 100). Answers the
// index of its first stroke; the count says how many were added.
int32_t AddScaledGlyph(const BoardText* text, int32_t c, StrokeList* list, bool applyRatio) {
    if (c < 1 || c > kFontIndexEntries - 1) ErrReport(kErrFontChar, c);
    const int32_t start = list->count;
    const GlyphEntry& g = g_font.index[c];
    const long double h = text->height;
    const long double fu = static_cast<long double>(g_font.height) * UserUnit();
    const long double u = UserUnit();
    int32_t n = g.count;
    if (n > kStrokeListMax - start) n = kStrokeListMax - start; // the list is full
    for (int32_t i = 0; i < n; ++i) {
        const int16_t* s = &g_font.strokes[size_t(4 * (g.first + i))];
        int32_t v[4];
        for (int k = 0; k < 4; ++k)
            v[k] = Trunc32(h * s[k] / fu * u);
        if (applyRatio || text->ratio != 100) {
            v[0] = int32_t(int64_t(v[0]) * text->ratio / 100);
            v[2] = int32_t(int64_t(v[2]) * text->ratio / 100);
        }
        list->stroke[start + i] = Stroke{v[0], v[1], v[2], v[3]};
    }
    list->count = int16_t(start + n);
    return start;
}

void MaxX(const StrokeList* list, int32_t from, int32_t* maxX) {
    for (int32_t i = from; i < list->count; ++i) {
        const Stroke& s = list->stroke[i];
        if (s.x1 > *maxX) *maxX = s.x1;
        if (s.x2 > *maxX) *maxX = s.x2;
    }
}

void ShiftX(StrokeList* list, int32_t from, int32_t dx) {
    for (int32_t i = from; i < list->count; ++i) {
        list->stroke[i].x1 += dx;
        list->stroke[i].x2 += dx;
    }
}

// Straight text: glyph after glyph from pen position 0.
void LayOutStraight(const BoardText* text, StrokeList* list) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(text->text);
    int32_t pen = 0;
    for (int32_t k = 0; k < kTextChars && p[k] != 0; ++k) {
        const int32_t first = AddScaledGlyph(text, p[k], list, false);
        const int32_t n = list->count - first;
        if (text->value50 != 0) StrokesRotate(text->value50, &list->stroke[first], n);
        int32_t minX = kStrokeBoxEmpty, maxX = -kStrokeBoxEmpty;
        for (int32_t i = first; i < list->count; ++i) {
            const Stroke& s = list->stroke[i];
            if (s.x1 < minX) minX = s.x1;
            if (s.x2 < minX) minX = s.x2;
        }
        MaxX(list, first, &maxX);
        if (minX < 0) {
            ShiftX(list, first, -minX);
            maxX += -minX;
        }
        ShiftX(list, first, pen);
        const int32_t advance = maxX > 0 ? maxX : BlankAdvance(text->height);
        pen += advance + 2 * text->width;
        if (text->value50 != 0) pen += 2 * text->width;
    }
}

// Text along an arc of radius R: centred glyphs standing on the arc, running
// clockwise from the side opposite the text's angle.
void LayOutArc(const BoardText* text, StrokeList* list) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(text->text);
    const int32_t r = text->r;
    int32_t a = text->angle + kAngHalf;
    if (a >= kAngFullTurn) a -= kAngFullTurn;
    for (int32_t k = 0; k < kTextChars && p[k] != 0; ++k) {
        const int32_t first = AddScaledGlyph(text, p[k], list, true);
        const int32_t n = list->count - first;
        int32_t maxX = -30000;
        MaxX(list, first, &maxX);
        int32_t advance = maxX > 0 ? maxX : BlankAdvance(text->height);
        advance += 2 * text->width;
        ShiftX(list, first, -(advance / 2));
        StrokesRotate(a < kAngRight ? a + 16200 : a - kAngRight, &list->stroke[first], n);
        const double t = double(a) * kPi / 10800;
        const int32_t dx = Trunc32(double(r) * GeomCos(t));
        const int32_t dy = Trunc32(double(r) * GeomSin(t));
        for (int32_t i = first; i < list->count; ++i) {
            Stroke& s = list->stroke[i];
            s.x1 += dx, s.x2 += dx;
            s.y1 += dy, s.y2 += dy;
        }
        const int32_t w = Trunc32(GeomAtan2(double(advance), double(r)) / kPi * 10800 + 0.5);
        a = a < w ? a - w + kAngFullTurn : a - w;
    }
}

} // namespace

int32_t FontLoad() {
    std::vector<uint8_t> header = LoadBytes(kFontResHeader);
    std::vector<uint8_t> index = LoadBytes(kFontResIndex);
    std::vector<uint8_t> strokes = LoadBytes(kFontResStrokes);
    g_font.loaded = false;

    uint8_t h[kFontHeaderBytes] = {};
    std::memcpy(h, header.data(), header.size() < sizeof h ? header.size() : sizeof h);
    SwapByLayout(h, "B40W2L2");
    char ident[41] = {};
    std::memcpy(ident, h, 40);
    if (std::strcmp(ident, kFontIdent) != 0) ErrFatal(kErrFontIdent);
    uint16_t version, reserved;
    int32_t height, glyphs;
    std::memcpy(&version, h + 40, 2);
    std::memcpy(&reserved, h + 42, 2);
    std::memcpy(&height, h + 44, 4);
    std::memcpy(&glyphs, h + 48, 4);
    if (version != 1) ErrFatal(kErrFontVersion);
    if (reserved != 0) ErrFatal(kErrFontReserved);
    // A height of 0 would divide by zero in every glyph.
    if (height < 1 || height > kFontMaxHeight) ErrReport(kErrFontHeight, height);
    if (glyphs < 1 || glyphs > kFontMaxGlyphs) ErrReport(kErrFontGlyphs, glyphs);

    // The stroke table: every 16-bit word swapped.
    const int32_t strokeBytes = int32_t(strokes.size() / 8 * 8);
    if (strokeBytes > 0) SwapShortArray(strokes.data(), strokeBytes);
    const int32_t strokeCount = strokeBytes / 8;

    // The glyph index, entry by entry while the bytes last.
    GlyphEntry entries[kFontIndexEntries] = {};
    const int32_t present = int32_t(index.size() / 8) < kFontIndexEntries
                                ? int32_t(index.size() / 8)
                                : kFontIndexEntries;
    for (int32_t c = 0; c < present; ++c) {
        uint8_t* e = index.data() + 8 * c;
        SwapByLayout(e, "W2L");
        std::memcpy(&entries[c].code, e, 2);
        std::memcpy(&entries[c].count, e + 2, 2);
        std::memcpy(&entries[c].first, e + 4, 4);
        const GlyphEntry& g = entries[c];
        if (g.count < 0 ||
            (g.count > 0 && (g.first < 0 || int64_t(g.first) + g.count > strokeCount)))
            ErrReport(kErrFontGlyphs, c);
    }

    g_font.height = height;
    g_font.glyphCount = glyphs;
    std::memcpy(g_font.index, entries, sizeof entries);
    g_font.strokes.assign(size_t(4 * strokeCount), 0);
    if (strokeCount > 0) std::memcpy(g_font.strokes.data(), strokes.data(), size_t(strokeBytes));
    g_font.loaded = true;
    return 1;
}

bool FontIsLoaded() {
    return g_font.loaded;
}

int32_t FontHeight() {
    return g_font.loaded ? g_font.height : 0;
}

void FontTestReset() {
    g_font = Font();
}

void TextStrokes(BoardText* text, StrokeList* list) {
    list->count = 0;
    if (!g_font.loaded) return;
    if (text->r != 0) {
        LayOutArc(text, list);
        if (text->flags & kTextMirrored)
            for (int32_t i = 0; i < list->count; ++i) {
                list->stroke[i].x1 = Neg(list->stroke[i].x1);
                list->stroke[i].x2 = Neg(list->stroke[i].x2);
            }
    } else {
        LayOutStraight(text, list);
        if (text->flags & kTextMirrored)
            for (int32_t i = 0; i < list->count; ++i) {
                list->stroke[i].x1 = Neg(list->stroke[i].x1);
                list->stroke[i].x2 = Neg(list->stroke[i].x2);
            }
        if (text->angle != 0) StrokesRotate(text->angle, list->stroke, list->count);
    }
    int32_t minX = kStrokeBoxEmpty, minY = kStrokeBoxEmpty;
    int32_t maxX = -kStrokeBoxEmpty, maxY = -kStrokeBoxEmpty;
    for (int32_t i = 0; i < list->count; ++i) {
        Stroke& s = list->stroke[i];
        s.x1 += text->x, s.x2 += text->x;
        s.y1 += text->y, s.y2 += text->y;
        for (int32_t x : {s.x1, s.x2}) {
            if (x < minX) minX = x;
            if (x > maxX) maxX = x;
        }
        for (int32_t y : {s.y1, s.y2}) {
            if (y < minY) minY = y;
            if (y > maxY) maxY = y;
        }
    }
    text->minX = minX, text->minY = minY, text->maxX = maxX, text->maxY = maxY;
}

void TextBoxRefresh(BoardText* text) {
    void* scratch = ScratchPush();
    TextStrokes(text, static_cast<StrokeList*>(scratch));
    ScratchPop(scratch);
}

void StrokesRotate(int32_t angle, Stroke* strokes, int32_t count) {
    if (angle % kAngRight == 0) {
        const int32_t q = ((angle / kAngRight) % 4 + 4) % 4;
        if (q == 0) return;
        for (int32_t i = 0; i < count; ++i) {
            Stroke& s = strokes[i];
            int32_t* pts[2][2] = {{&s.x1, &s.y1}, {&s.x2, &s.y2}};
            for (auto& pt : pts) {
                const int32_t x = *pt[0], y = *pt[1];
                if (q == 1)
                    *pt[0] = Neg(y), *pt[1] = x;
                else if (q == 2)
                    *pt[0] = Neg(x), *pt[1] = Neg(y);
                else
                    *pt[0] = y, *pt[1] = Neg(x);
            }
        }
        return;
    }
    const double t = double(angle) * kPi / 10800;
    const double c = GeomCos(t), sn = GeomSin(t);
    for (int32_t i = 0; i < count; ++i) {
        Stroke& s = strokes[i];
        int32_t* pts[2][2] = {{&s.x1, &s.y1}, {&s.x2, &s.y2}};
        for (auto& pt : pts) {
            const double x = *pt[0], y = *pt[1];
            *pt[0] = Trunc32(x * c - y * sn);
            *pt[1] = Trunc32(y * c + x * sn);
        }
    }
}
