// The keyboard rules of dialogs that need no window: the default key
// filter of edit-text items, radio groups and the Tab order over a
// dialog's items in list order.
//
// Guarantees: the filter answers one of its four results for every key;
// Up and Down never leave a radio group; Tab stops only on items that take
// the focus and, among radio buttons, only on the chosen one of a group,
// wrapping from the last to the first.
#pragma once
#include <cstdint>

// Filter results: swallow the key, let the control have it, let it have
// the filter's replacement character, send the filter's event to the
// dialog instead.
constexpr int32_t kFilterSwallow = 0;
constexpr int32_t kFilterPass = 1;
constexpr int32_t kFilterReplace = 2;
constexpr int32_t kFilterToDialog = 3;

// Key codes the dialogs act on.
constexpr int32_t kKeyCodeTab = 9;
constexpr int32_t kKeyCodeReturn = 13;
constexpr int32_t kKeyCodeEscape = 27;
constexpr int32_t kKeyCodeUp = 301;
constexpr int32_t kKeyCodeDown = 302;
constexpr int32_t kKeyCodeClear = 317;
constexpr int32_t kKeyCodeCopy = 328;
constexpr int32_t kKeyCodeCut = 329;
constexpr int32_t kKeyCodePaste = 330;
constexpr int32_t kKeyCodeExecute = 399;

// Edit commands on an edit item.
constexpr int32_t kEditCommandNone = 0;
constexpr int32_t kEditCommandCut = 302;
constexpr int32_t kEditCommandCopy = 303;
constexpr int32_t kEditCommandPaste = 304;
constexpr int32_t kEditCommandClear = 305;

// The default filter of an edit item: the result for the key (special:
// the key has no character) and, for the keys that run an edit command on
// the item before they are swallowed, that command (else kEditCommandNone).
int32_t DefaultItemKeyFilter(int32_t key, bool special, int32_t* editCommand);

// A dialog item as navigation sees it, in list order.
struct NavItem {
    int16_t number;
    bool radio;      // a radio button
    bool on;         // a radio button's value
    bool takesFocus; // visible, enabled and of a kind that takes the focus
};

// The first and last item numbers of the radio group of `number` (a run
// of consecutive numbers whose items are radio buttons); false when the
// item is not a radio button.
bool RadioGroupRange(const NavItem* items, int32_t count, int16_t number, int16_t* first,
                     int16_t* last);
// The next (down) or previous radio button in the group, wrapping; 0 when
// `number` is not a radio button.
int16_t RadioGroupStep(const NavItem* items, int32_t count, int16_t number, bool down);
// The item Tab moves to from `number` (0: none), or Shift-Tab backwards;
// 0 when no item takes the focus.
int16_t TabTarget(const NavItem* items, int32_t count, int16_t number, bool backwards);
