// The stroke font: board texts are drawn, mapped and checked as straight
// line strokes of the program's own single-stroke font, so that what the
// router and the rule checker see is what the board gets. The font comes
// from three "RFNT" resources (header 256, glyph index 257, stroke table
// 258, all big-endian) loaded once at start-up.
#pragma once
#include <cstdint>

#include "db/records.h"

// Location codes of the font's errors.
enum : int32_t {
    kErrFontMissing = 38175,  // a font resource is missing
    kErrFontIdent = 21710,    // fatal: the identification text is wrong
    kErrFontVersion = 21711,  // fatal: the version is not 1
    kErrFontReserved = 21712, // fatal: the reserved word is not 0
    kErrFontHeight = 21715,   // the font height is outside 1..32,000
    kErrFontGlyphs = 21717,   // glyph count outside 1..256, or a glyph past the strokes
    kErrFontChar = 21775,     // a character code outside 1..256
};

enum : int32_t {
    kFontResHeader = 256,
    kFontResIndex = 257,
    kFontResStrokes = 258,
    kFontHeaderBytes = 52,
    kFontIndexEntries = 257, // character codes 0..256
    kFontMaxHeight = 32000,
    kFontMaxGlyphs = 256,
    kStrokeListMax = 2402, // strokes a scratch record holds
    kStrokeBoxEmpty = 268435455,
};

// One stroke in database units.
struct Stroke {
    int32_t x1, y1, x2, y2;
};

// The strokes of one text: a count, two spare bytes, then the strokes. It
// fills a scratch record (38,436 of its 38,448 bytes).
struct StrokeList {
    int16_t count;
    uint8_t spare[2];
    Stroke stroke[kStrokeListMax];
};
static_assert(sizeof(StrokeList) == 4 + 16 * kStrokeListMax, "StrokeList layout");

// Loads the three font resources and checks the header; answers 1. A second
// call loads the font again. Missing resources, a wrong identification,
// version or reserved word, a height outside 1..32,000, a glyph count
// outside 1..256 and a glyph whose strokes run past the stroke table all
// stop the program.
int32_t FontLoad();

// True once a font is loaded.
bool FontIsLoaded();
// The loaded font's height in font units (0 when none is loaded).
int32_t FontHeight();

// Fills the list with the text's strokes at its size, ratio, angle and
// position, mirrored when flag bit 0 is set, laid out along an arc when its
// R value is not 0, and sets the text's box to the strokes' bounds. A text
// without strokes gets the inverted box (minima 268,435,455, maxima
// -268,435,455). Without a font the list stays empty and the box is kept.
// Text bytes are character codes 1..255 read unsigned.
void TextStrokes(BoardText* text, StrokeList* list);

// Recomputes the text's box from its strokes (on a scratch record).
void TextBoxRefresh(BoardText* text);

// Turns both ends of each stroke about the origin by the angle in minutes:
// multiples of 5,400 exactly by quarter turns (-5,400 like 16,200), other
// angles with the cosine and sine of angle x 3.1415926535 / 10800, each
// coordinate truncated toward zero.
void StrokesRotate(int32_t angle, Stroke* strokes, int32_t count);

// Test-only: forgets the loaded font.
void FontTestReset();
