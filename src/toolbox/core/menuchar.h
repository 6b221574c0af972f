// Keyboard navigation inside an open program menu: the arrow characters
// step through the enabled items with wrap-around, other characters pick
// the item whose "&" mnemonic matches. Answers in the system's WM_MENUCHAR
// form: the action in the high half, the 0-based position in the low half.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Characters the menu hook turns the arrow keys into.
constexpr uint16_t kMenuCharUp = 1;
constexpr uint16_t kMenuCharDown = 2;
// Actions of the answer's high half.
constexpr int32_t kMenuCharExecute = 2;
constexpr int32_t kMenuCharSelect = 3;
// The mnemonic prefix of item texts ("&&" is a literal ampersand).
constexpr char kMenuMnemonicMark = '&';

struct MenuCharItem {
    std::string text;
    bool enabled = true;
    bool separator = false;
};

// hilited: 0-based position of the hilited item, -1 none. Sets handled to
// false when no item answers the character; an arrow step with no enabled
// item answers 0, handled.
int32_t MenuCharHandler(const std::vector<MenuCharItem>& items, int32_t hilited, uint16_t ch,
                        bool& handled);

// The mnemonic character of a text (upper-cased), 0 when it has none.
uint16_t MenuMnemonicOf(const std::string& text);
