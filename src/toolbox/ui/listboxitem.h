// List-box dialog items, the portable rules: the option flags, which
// lists take the focus, the row height, separators, the cycling of row
// marks and where a mark's cell lies in the mark picture.
//
// Guarantees: a click changes the mark only of an enabled row of a list
// that cycles marks; marks stay within the picture's cells 1 to 5.
#pragma once
#include <cstdint>

#include "toolbox/ui/listmodel.h"

// Option flags of a list-box item.
constexpr uint32_t kListBoxMultiple = 1;
constexpr uint32_t kListBoxNoSelection = 2;
constexpr uint32_t kListBoxNewRowsMarked = 4;
constexpr uint32_t kListBoxCycleMarks = 8;
constexpr uint32_t kListBoxThreeStates = 0x10;
constexpr uint32_t kListBoxTypeSelect = 0x40;
constexpr uint32_t kListBoxFirstMarkFive = 0x400;
// The second list option (bit 8; definition 353 sets it): a click below
// the last row keeps the selection.
constexpr uint32_t kListBoxSecondOption = 0x100;
// The list's own options the item's flags choose.
constexpr uint32_t kListBoxListOptionsChanged = kListMultiSelect | kListKeepOnClickBelow;

// Row flags.
constexpr uint8_t kRowDisabled = 1;
constexpr uint8_t kRowSeparator = 4;
constexpr uint8_t kRowOwnColour = 8;

// Marks.
constexpr uint8_t kMarkNone = 0;
constexpr uint8_t kMarkFirst = 1;
constexpr uint8_t kMarkNewRow = 2;
constexpr uint8_t kMarkSecond = 3;
constexpr uint8_t kMarkThird = 4;
constexpr uint8_t kMarkFirstAlternative = 5;

// The mark picture: bitmap resource 8000, cells of 9 by 9 side by side,
// drawn 2 pixels in from the row's top-left corner.
constexpr int32_t kMarkBitmapId = 8000;
constexpr int32_t kMarkCellSize = 9;
constexpr int32_t kMarkInset = 2;
// Rows are drawn this far from the left without a mark column.
constexpr int32_t kRowTextInset = 4;
// The text of a separator row.
constexpr char kSeparatorText[] = "-";
// The list's cells and the mark column's measure ("W  " less 2).
constexpr int32_t kListCellSize = 16;
constexpr char kMarkColumnText[] = "W  ";
constexpr int32_t kMarkColumnLess = 2;

bool ListBoxTakesFocus(uint32_t options);
// The list's options for the item's flags: flag 1 multiple selection,
// the second option keeping the selection on a click below the rows.
uint32_t ListBoxListOptions(uint32_t options);
bool ListBoxShowsMarks(uint32_t options);
bool IsSeparatorRowText(const char* text);
// ascent + descent + leading + 1.
int32_t ListBoxRowHeight(int32_t ascent, int32_t descent, int32_t leading);
// The mark a click gives a row (its own mark when the list does not cycle
// marks or the row is disabled).
uint8_t CycleRowMark(uint8_t mark, uint32_t options, uint8_t rowFlags);
// The left edge of mark m's cell in the mark picture (m from 1).
int32_t MarkCellLeft(uint8_t mark);
