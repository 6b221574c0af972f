// The rules of dialog items that need no window: what CreateDialogItem's
// flags make of an item, the edit commands on an edit item, the
// selection's clamp, check-box cycling, tab switching, focus kinds, and
// the order in which items are hit-tested.
//
// Guarantees: every rule answers for every input (no kind or command is
// left without an answer); a selection's end never lies before its start
// nor beyond 255.
#pragma once
#include <cstdint>

#include "toolbox/ui/dialogitem.h"
#include "toolbox/ui/xdlg.h"

// CreateDialogItem's flags beyond the variants of xdlg.h.
constexpr uint32_t kItemFlagCreateHidden = 0x10000;
constexpr uint32_t kItemFlagIconMask = 0xFFFF;

// What an item made by code is created with.
struct ItemCreation {
    int16_t definition;
    int16_t maximum; // the icon of icon buttons
    int16_t minimum; // the control options of icon buttons
    int16_t value;   // the icon of icons; a toggle's first value
    bool hidden;
    bool rightJustified;      // static text
    bool boundsAreTheControl; // tabs: else the bounds are the page area
};
// False for a kind without a default definition.
bool ItemCreationFor(DialogItemKind kind, uint32_t flags, ItemCreation* out);

// Edit commands: whether one acts (a password field refuses all but
// none; Cut, Copy and Clear need a selection, Paste clipboard text), the
// tag it is sent with, and whether it reports the item as hit.
bool EditCommandActs(int32_t command, int16_t variant, int32_t selectionStart, int32_t selectionEnd,
                     bool clipboardHasText);
uint32_t EditCommandTag(int32_t command);
bool EditCommandReportsHit(int32_t command);
bool EditCommandRefreshesClipboard(int32_t command);

// The most characters an item's text or selection reaches.
constexpr int32_t kItemTextLimit = 255;
// The end clamped to 255 and never before the start.
void ClampEditSelection(int32_t start, int32_t* end);

// A check box's value after a click: one more, 0 past the maximum.
int32_t NextCheckBoxValue(int32_t value, int32_t maximum);
// The tab a step of -1 or +1 leads to; false at the ends.
bool TabSwitchTarget(int32_t current, int32_t count, int32_t step, int32_t* next);

// Focus parts by kind: push button 10, check box and radio button 11,
// edit text 5, list box 24; 0 for kinds that cannot take the focus.
int16_t ItemFocusPart(DialogItemKind kind);
// Kinds whose focus changes send the item focus-change event.
bool ItemSendsFocusEvents(DialogItemKind kind);

// The items in hit-testing order: the others in list order, then the
// containers, the last first. Answers the count written (at most
// capacity).
int32_t ItemHitOrder(const DialogItemList* list, DialogItemRecord** out, int32_t capacity);
