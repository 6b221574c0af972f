// Arrow stepping starts at the hilited item (the last item when none is
// hilited) and walks at most once round the menu, so a menu with nothing
// enabled selects nothing. Mnemonics: the first item, in order, whose text
// has "&" before the key (any case) wins; separators never answer.
#include "toolbox/core/menuchar.h"

#include <cctype>

namespace {

uint16_t Upper(uint16_t c) {
    return c < 0x100 ? uint16_t(std::toupper(int(c))) : c;
}

int32_t Answer(int32_t action, int32_t position) {
    return (action << 16) | (position & 0xFFFF);
}

} // namespace

uint16_t MenuMnemonicOf(const std::string& text) {
    for (size_t k = 0; k + 1 < text.size(); ++k) {
        if (text[k] != kMenuMnemonicMark) continue;
        if (text[k + 1] == kMenuMnemonicMark) {
            ++k; // a literal ampersand
            continue;
        }
        return Upper(uint8_t(text[k + 1]));
    }
    return 0;
}

int32_t MenuCharHandler(const std::vector<MenuCharItem>& items, int32_t hilited, uint16_t ch,
                        bool& handled) {
    handled = true;
    int32_t count = int32_t(items.size());
    if (ch == kMenuCharUp || ch == kMenuCharDown) {
        if (count == 0) return 0;
        int32_t at = (hilited >= 0 && hilited < count) ? hilited : count - 1;
        int32_t step = ch == kMenuCharDown ? 1 : count - 1;
        for (int32_t n = 0; n < count; ++n) {
            at = (at + step) % count;
            const MenuCharItem& item = items[size_t(at)];
            if (item.enabled && !item.separator) return Answer(kMenuCharSelect, at);
        }
        return 0;
    }
    uint16_t key = Upper(ch);
    for (int32_t p = 0; p < count; ++p) {
        const MenuCharItem& item = items[size_t(p)];
        if (item.separator) continue;
        if (key != 0 && MenuMnemonicOf(item.text) == key) return Answer(kMenuCharExecute, p);
    }
    handled = false;
    return 0;
}
