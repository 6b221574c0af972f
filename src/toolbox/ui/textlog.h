// The text log view: a long, growing, read-only text of a memory byte
// stream shown in a window one line per row, with the window's vertical
// scroll bar. The view keeps only the index of line starts and a window of
// the text's bytes around the rows drawn (textlogindex.h).
//
// Guarantees: the view's record lives exactly as long as its window (the
// dispose event frees it); every event reaches the callback that was
// installed before the view first; the scroll bar's maximum is the rows
// less the visible rows (at least 0) and its page the visible rows.
#pragma once
#include <cstdint>

#include "toolbox/core/bitset.h"
#include "toolbox/core/byteorder.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/ui/bytestream.h"
#include "toolbox/ui/textlogindex.h"

struct TextStyleRecord;

constexpr uint32_t kTextViewTag = FourCC("Text");
// Rows are drawn this far from the content's left edge.
constexpr int32_t kTextViewLeftOffset = 4;
// No row appended since the last drawing.
constexpr int32_t kTextViewNoChangedRow = INT32_MAX;

struct TextView {
    HeapPool* pool;
    TextLogWindow textWindow;
    ByteStream stream;
    TextLogIndex index;
    BitSetRecord marks;
    WindowEventCallback previous;
    WindowObject* window;
    TextStyleRecord* style;
    int32_t firstChanged;
    int32_t firstVisible;
    int16_t visibleRows;
    int16_t rowHeight;
    int16_t ascent;
    int16_t baselineOffset;
};

// Makes the view on the window (its text in the style, null: the port's),
// indexes the whole stream and sets the scroll range; null on failure.
TextView* TextViewCreate(WindowObject* window, int32_t width, const TextStyleRecord* style,
                         ByteStream stream);
TextView* TextViewOf(WindowObject* window);
// Writes the text at the stream's end and indexes from the last line; with
// show, draws the new rows and scrolls the last line into view. 0 or the
// stream's error.
int32_t TextViewAppend(WindowObject* window, const char* text, int32_t length, bool show);
void TextViewClear(WindowObject* window);
// Scrolls by a step kind (scrollsteps.h) with its value.
void TextViewScroll(WindowObject* window, int32_t kind, int32_t value);
