// Operations on single items' controls: unsigned numbers, cutting an edit
// text, a button's highlight, scroll-bar items, tabs, icons, progress
// bars' data, and the item under a point or holding the focus. An item of
// another kind, or a missing number, is left alone: 0 (-1 for a tab
// index).
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/ui/dialogitem.h"

// The text as an unsigned decimal number ("%lu").
bool SetUnsignedDialogItemNumber(WindowObject* dialog, int16_t number, uint32_t value);
bool GetUnsignedDialogItemNumber(WindowObject* dialog, int16_t number, uint32_t* value);
// Cuts an edit text to length characters, keeping the selection (within
// the text) when the item has the focus.
bool TruncateDialogItemText(WindowObject* dialog, int16_t number, int32_t length);

// SetButtonItemHighlight modes: 1 the value 1, 2 shown pressed, 0 clears
// both.
constexpr int32_t kButtonHighlightNone = 0;
constexpr int32_t kButtonHighlightValue = 1;
constexpr int32_t kButtonHighlightPressed = 2;
bool SetButtonItemHighlight(WindowObject* dialog, int16_t number, int32_t mode);

bool SetScrollItemMaximum(WindowObject* dialog, int16_t number, int32_t maximum);
bool SetScrollItemValue(WindowObject* dialog, int16_t number, int32_t value);
bool GetScrollItemValueAndMax(WindowObject* dialog, int16_t number, int32_t* value,
                              int32_t* maximum);

// Tabs: the number of tabs (the control's maximum), the current tab
// (value - 1) and setting it (0-based, within the tabs).
int32_t TabItemCount(WindowObject* dialog, int16_t number);
int32_t GetCurrentTab(WindowObject* dialog, int16_t number);
bool SetCurrentTab(WindowObject* dialog, int16_t number, int32_t index);

// The icon of an icon or icon button: 'ires' to the control, 'icid' kept.
bool SetIconItemId(WindowObject* dialog, int16_t number, int16_t icon);

// A progress bar item's 'prgb' data.
struct ProgressItemData {
    WindowObject* dialog;
    int16_t number;
    int32_t minimum, maximum, value;
};
void StoreProgressItemData(WindowObject* dialog, DialogItemRecord* item);
bool GetProgressItemData(WindowObject* dialog, int16_t number, ProgressItemData* out);

// The visible, enabled item under a point (the others in list order, then
// the containers, last first) and the part hit; null when none.
DialogItemRecord* DialogItemAtPoint(Point16 point, WindowObject* window, int32_t* part);
// The item holding the keyboard focus, or null.
DialogItemRecord* GetFocusedItemNode(WindowObject* window);
