// Operations on a dialog's items, addressed by item number (the first item
// of that number). An item of another kind than the operation expects, or
// a missing number, is left alone: the operation answers 0 (-1 where it
// answers an index).
#pragma once
#include <cstdint>

#include "toolbox/core/windowobject.h"
#include "toolbox/ui/dialogitem.h"
#include "toolbox/ui/dialognumber.h"

DialogItemRecord* DialogItemByNumber(WindowObject* dialog, int16_t number, DialogItemKind* kind);
DialogItemKind GetDialogItemKind(WindowObject* dialog, int16_t number);
WindowObject* ItemOwnerWindow(const DialogItemRecord* item);

// Titles of buttons and group boxes, the 'text' of edit and static texts.
bool DialogItemSetText(WindowObject* dialog, int16_t number, const char* text);
// At most 255 characters into text (kItemTextRoom bytes); its length, or
// 0 with text empty.
int32_t DialogItemGetText(WindowObject* dialog, int16_t number, char* text);
bool SetDialogItemNumber(WindowObject* dialog, int16_t number, int32_t value);
bool GetDialogItemNumber(WindowObject* dialog, int16_t number, int32_t* value);
bool ReadDialogItemNumber(WindowObject* dialog, int16_t number, int32_t minimum, int32_t maximum,
                          bool isSigned, int32_t* value);

// Focuses an edit item and selects start..end (the end clamped to 255
// and never before the start).
bool SetEditItemSelection(WindowObject* dialog, int16_t number, int32_t start, int32_t end);
bool GetEditItemSelection(WindowObject* dialog, int16_t number, int32_t* start, int32_t* end);
// Edit command 302-305 on an edit item, sent to its control as a data
// request of part 5; false when the command does not act.
constexpr int16_t kEditCommandPart = 5;
bool DialogItemEditCommand(WindowObject* dialog, int16_t number, int32_t command);
// A scroll-bar item's hit steps *value (see ScrollItemStep); the control
// takes the new value. True when it changed.
struct WindowEvent;
bool HandleScrollItemClick(WindowObject* dialog, const WindowEvent* event, int32_t lineStep,
                           int32_t pageStep, int32_t* value);

// Check boxes and radio buttons.
bool SetChoiceItemValue(WindowObject* dialog, int16_t number, int32_t value);
int32_t GetChoiceItemValue(WindowObject* dialog, int16_t number);
int32_t CycleCheckBoxItem(WindowObject* dialog, int16_t number);
bool SelectRadioItem(WindowObject* dialog, int16_t number);
// The value of any item that has one (choices, scroll bars, popups as the
// entry index + 1, tabs, a list's selected row); what the modal script's
// value action sets.
bool SetDialogItemValue(WindowObject* dialog, int16_t number, int32_t value);
int32_t GetDialogItemValue(WindowObject* dialog, int16_t number);

// Presses an enabled push button or icon button: shown pressed for
// kPressTicks, then its hit reported. False for other items.
constexpr int32_t kPressTicks = 8;
constexpr int16_t kPressedHighlight = 10;
bool PressDialogButton(WindowObject* dialog, int16_t number);

void DialogItemEnable(WindowObject* dialog, int16_t number, bool enable);
bool DialogItemGetState(WindowObject* dialog, int16_t number);
void SetDialogItemShown(WindowObject* dialog, int16_t number, bool show);
// Both answer the previous state and return at once when nothing changes.
bool SetDialogItemsEnabled(WindowObject* dialog, bool enable, bool redraw);
bool SetDialogItemsVisible(WindowObject* dialog, bool visible, bool redraw);

int32_t SetDialogFocusItem(WindowObject* dialog, int16_t number);
int16_t GetFocusedDialogItem(WindowObject* dialog);

// The control's bounds; a tabs item's are its page area.
bool GetDialogItemBounds(WindowObject* dialog, int16_t number, Rect16* bounds);
// A dialog item's rectangle in its window, for help tags on items (item:
// a DialogItemRecord); false for an item without a control.
bool DialogItemHelpTagRect(void* item, Rect16* out);
// Moves and sizes the item's control (a list item's pane with it).
bool SetDialogItemBounds(WindowObject* dialog, int16_t number, const Rect16* bounds);
// Releases what an item owns beside its control: the list's pane, the
// popup's own menu, the progress data.
void DisposeItemAttachments(DialogItemRecord* item);

// Reports the item as hit (event 17) with a part and a value.
void ReportItemHit(WindowObject* dialog, DialogItemRecord* item, int16_t part, int32_t value);

// Hides, unlinks and frees every item with its control and tagged data.
void DisposeAllDialogItems(WindowObject* dialog);

// A user item's drawing procedure, called with its dialog and number.
typedef void (*UserItemDrawProc)(WindowObject* dialog, int16_t number);
// An edit item's key filter: the key (character or special code) in, one
// of the filter results (dialogkeys.h) out, with the replacement
// character (result 2) or the event for the dialog (result 3).
typedef int32_t (*EditItemKeyFilter)(WindowObject* dialog, int16_t number, int32_t key,
                                     bool special, int32_t* replacement, WindowEvent* event);
// Install (or with null remove) a user item's drawing procedure or an
// edit item's key filter; false for an item of another kind.
bool SetUserItemDrawProc(WindowObject* dialog, int16_t number, UserItemDrawProc proc);
bool SetEditItemFilter(WindowObject* dialog, int16_t number, EditItemKeyFilter filter);
EditItemKeyFilter EditItemFilterOf(WindowObject* dialog, int16_t number);
// Gives the item its own text style (flags non-zero), or with null (or
// empty flags) returns it to the dialog's style.
bool DialogItemSetTextStyle(WindowObject* dialog, int16_t number, const ControlStyleBlock* style);
// Replaces the dialog's text style (null: none) and gives it to every item
// without a style of its own.
void SetDialogTextStyle(WindowObject* dialog, const ControlStyleBlock* style);
// Calls visit for each item in list order until one answers non-zero, and
// answers that value (0 when none did).
typedef int32_t (*DialogItemVisitor)(WindowObject* dialog, int16_t number, DialogItemKind kind,
                                     void* userData);
int32_t ForEachDialogItem(WindowObject* dialog, DialogItemVisitor visit, void* userData);
