// Row windows on screen (list views and text logs): the content rectangle
// of a window, moving its rows' pixels for a new first visible row, and
// the window's vertical scroll bar set to a row range.
//
// Guarantees: pixels move at most kRowScrollPixelsMax at a time; the band
// answered is exactly what the move uncovered (the whole content when the
// move is not shorter than it); a window without a bar is left alone.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

struct WindowObject;

// Pixels moved at once when rows scroll.
constexpr int32_t kRowScrollPixelsMax = 5000;

// Makes the window a row window: its content has no extent of its own (no
// part of it counts as uncovered) and it sets its vertical bar itself.
void PrepareRowWindow(WindowObject* window);
// The window's content rectangle in its port (without the bars).
Rect16 RowWindowContent(WindowObject* window);
// Moves the content's pixels for the first visible row going from `from`
// to `to` (the window's port current) and answers the band to draw.
Rect16 ScrollRowPixels(const Rect16& content, int32_t rowHeight, int32_t from, int32_t to);
// The window's vertical bar: values 0..maximum with the page.
void SetRowScrollBar(WindowObject* window, int32_t maximum, int32_t page, int32_t value);
// The bar's value, or -1 without a bar.
int32_t RowScrollBarValue(WindowObject* window);
