// The entries of popup dialog items, addressed by 0-based index (the
// popup's value is the index + 1), and the rows of list-box items. Another kind of item, a missing number
// or an index out of range changes nothing: the operations answer false,
// 0, or -1 where they answer an index.
#pragma once
#include <cstdint>

#include "toolbox/core/windowobject.h"
#include "toolbox/ui/dialogitem.h"

// A popup item's own menu has the id item number + this.
constexpr int16_t kPopupItemMenuIdBase = 0x4000;

// Gives a new popup item its own (empty) menu unless its control took one.
void MakePopupItemMenu(DialogItemRecord* item);
// Disposes the item's own menu (not one the control was given otherwise).
void DisposePopupItemMenu(DialogItemRecord* item);

int32_t ItemEntryCount(WindowObject* dialog, int16_t number);
// Inserts before index (past the end, or negative: appends); the index
// it took.
int32_t InsertItemEntry(WindowObject* dialog, int16_t number, const char* text, int32_t index);
// Inserts after the last entry not above the text (ignoring case).
int32_t InsertItemEntrySorted(WindowObject* dialog, int16_t number, const char* text);
bool SetItemSelection(WindowObject* dialog, int16_t number, int32_t index);
int32_t GetItemSelection(WindowObject* dialog, int16_t number);
// At most 255 characters into text (kItemTextRoom bytes); its length.
int32_t GetItemEntryText(WindowObject* dialog, int16_t number, int32_t index, char* text);
int32_t FindItemEntry(WindowObject* dialog, int16_t number, const char* text);
uint16_t GetItemEntryMark(WindowObject* dialog, int16_t number, int32_t index);
bool SetItemEntryMark(WindowObject* dialog, int16_t number, int32_t index, uint16_t mark);
int32_t GetItemEntryValue(WindowObject* dialog, int16_t number, int32_t index);
bool SetItemEntryValue(WindowObject* dialog, int16_t number, int32_t index, int32_t value);
int32_t GetPopupEntryFace(WindowObject* dialog, int16_t number, int32_t index);
bool SetPopupEntryFace(WindowObject* dialog, int16_t number, int32_t index, int32_t face);
// A list row's flag 1: a disabled row draws grey and keeps its mark.
bool SetItemEntryEnabled(WindowObject* dialog, int16_t number, int32_t index, bool enabled);
// Replaces a list item's option flags (listboxitem.h; bit 8 the second
// list option); the old flags, 0 for another kind.
int32_t SetListItemOptions(WindowObject* dialog, int16_t number, uint32_t options);
