// The progress message window's geometry: from the measured text to the
// text item's bounds and the window's content size.
//
// Guarantees: the text item is at least 350 pixels wide (plus its 2-pixel
// border on each side); the margins right and below equal those left and
// above.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

// The progress message window's template and its least text width.
constexpr int32_t kProgressTemplate = 8000;
constexpr int32_t kProgressItem = 1;
constexpr int32_t kProgressMinTextWidth = 350;
constexpr int32_t kProgressItemBorder = 2;
constexpr int32_t kProgressContentInset = 6;
// The text that brings the open window forward unchanged.
constexpr char kProgressRedrawText[] = ".";

// measured: the word-wrapped text's rectangle at the item's top-left.
// item: receives the item's new bounds; width, height: the content size.
void ProgressWindowGeometry(const Rect32& measured, Rect32* item, int32_t* width, int32_t* height);
