// List-box dialog items on screen: the list box state kept with the
// item's child pane (window data 'lbox') and handed to its control
// ('lhan'), the pane with its list view and row procedure, the rows
// (text, value, mark, flags), the list definition (family 22) under the
// item's control, and the row operations the dialog's entry operations
// reach for a list item.
//
// Guarantees: the state lives exactly as long as the pane; when the pane
// closes, the row texts and the style are freed and the item forgets the
// pane ('lbxw' removed, the control's state cleared), whichever of the
// item and the pane goes first; a list with option flag 2 or 8 never
// takes the keyboard focus; rows are the style's ascent + descent +
// leading + 1 high; a list action reports the item hit with the row.
#pragma once
#include <cstdint>

#include "toolbox/core/byteorder.h"
#include "toolbox/core/reclist.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/ui/dialogitem.h"

struct TextStyleRecord;

// The pane's window data and the control's tagged data of the state.
constexpr uint32_t kListBoxStateTag = FourCC("lbox");
constexpr uint32_t kTagListBoxState = FourCC("lhan");
// The list definition family and the part its control answers.
constexpr int16_t kListBoxDefinitionFamily = 22;
constexpr int32_t kPartListBox = 24;
// Definition 353 (the low four bits 1) carries the second list option.
constexpr int32_t kListBoxSecondVariant = 1;
// Longest row text.
constexpr int32_t kListBoxRowTextMax = 255;

// One row's cell in the list (fits the list's 16-byte cells).
struct ListBoxRow {
    char* text; // owned: freed when the row is deleted
    int32_t value;
    uint8_t mark;
    uint8_t flags;
};

struct ListBoxState {
    DialogItemRecord* item;
    WindowObject* dialog;
    WindowObject* pane;
    int32_t paneId;
    TextStyleRecord* style; // the list's own text style
    uint32_t options;       // option flags (listboxitem.h)
    uint32_t highlight;     // colour values of selected rows
    uint32_t highlightText;
    int16_t markColumn; // width of "W  " less 2
    int16_t ascent;
    int32_t clickRow; // the row of the click being handled, -1 none
    bool active;      // the pane's last activate event
    bool focused;
};

// The list definition procedure (family 22).
int32_t ListBoxDefProc(int16_t variant, ToolboxControlRecord* control, int32_t message,
                       intptr_t parameter);
void RegisterListBoxDefinition();

// Makes the item's pane and list at its control's bounds (hidden); false
// when the pane or the list cannot be made (the item then has no rows).
bool MakeListBoxItem(WindowObject* dialog, DialogItemRecord* item, int32_t definition);
ListBoxState* ListBoxStateOf(const DialogItemRecord* item);
WindowObject* ListBoxPaneOf(const DialogItemRecord* item);
void ShowListBoxPane(DialogItemRecord* item, bool show);
// The pane's activate event; an inactive list draws grey and ignores
// clicks and keys.
void ActivateListBoxPane(DialogItemRecord* item, bool active);
// The pane follows the control's bounds.
void MoveListBoxPane(DialogItemRecord* item);
// The list takes the control's style block again (its row height too).
void ApplyListBoxStyle(ListBoxState* state);
// Closes the state's pane (the state goes with it).
void DisposeListBoxPane(ListBoxState* state);
// A key for the list (a character or a special code).
void ListBoxKey(DialogItemRecord* item, int32_t code, bool special, uint8_t modifiers);

// Rows, by 0-based index; -1 or 0 (false) where the index is out of range.
int32_t ListBoxRowCount(const DialogItemRecord* item);
int32_t ListBoxInsertRow(DialogItemRecord* item, const char* text, int32_t index);
int32_t ListBoxInsertRowSorted(DialogItemRecord* item, const char* text);
bool ListBoxSelectRow(DialogItemRecord* item, int32_t index);
int32_t ListBoxSelectedRow(const DialogItemRecord* item);
int32_t ListBoxRowText(const DialogItemRecord* item, int32_t index, char* text);
int32_t ListBoxFindRow(const DialogItemRecord* item, const char* text);
bool ListBoxGetRow(const DialogItemRecord* item, int32_t index, ListBoxRow* out);
bool ListBoxSetRowMark(DialogItemRecord* item, int32_t index, uint8_t mark);
bool ListBoxSetRowValue(DialogItemRecord* item, int32_t index, int32_t value);
bool ListBoxSetRowEnabled(DialogItemRecord* item, int32_t index, bool enabled);
// Replaces the option flags; the old ones.
uint32_t ListBoxSetOptions(DialogItemRecord* item, uint32_t options);
