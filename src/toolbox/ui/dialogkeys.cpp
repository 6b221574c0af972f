// The default key filter and dialog navigation over a list of NavItem.
// Operations by number address the first item of that number.
#include "toolbox/ui/dialogkeys.h"

namespace {

// Special keys that pass to the control: the arrows, page up and down,
// 307, 308, home, end, 313 and 314.
constexpr int32_t kPassingSpecialKeys[] = {301, 302, 303, 304, 305, 306,
                                           307, 308, 309, 310, 313, 314};

struct KeyCommand {
    int32_t key;
    int32_t command;
};
constexpr KeyCommand kCommandKeys[] = {
    {kKeyCodeClear, kEditCommandClear},
    {kKeyCodeCopy, kEditCommandCopy},
    {kKeyCodeCut, kEditCommandCut},
    {kKeyCodePaste, kEditCommandPaste},
};

int32_t IndexOf(const NavItem* items, int32_t count, int16_t number) {
    for (int32_t i = 0; i < count; ++i)
        if (items[i].number == number) return i;
    return -1;
}

bool IsRadio(const NavItem* items, int32_t count, int32_t number) {
    if (number < INT16_MIN || number > INT16_MAX) return false;
    int32_t i = IndexOf(items, count, int16_t(number));
    return i >= 0 && items[i].radio;
}

} // namespace

int32_t DefaultItemKeyFilter(int32_t key, bool special, int32_t* editCommand) {
    *editCommand = kEditCommandNone;
    if (key == kKeyCodeReturn) return kFilterSwallow;
    if (key == kKeyCodeEscape) return kFilterToDialog;
    if (!special) return kFilterPass;
    for (int32_t k : kPassingSpecialKeys)
        if (key == k) return kFilterPass;
    for (const KeyCommand& c : kCommandKeys)
        if (key == c.key) {
            *editCommand = c.command;
            return kFilterSwallow;
        }
    return kFilterSwallow;
}

bool RadioGroupRange(const NavItem* items, int32_t count, int16_t number, int16_t* first,
                     int16_t* last) {
    if (!IsRadio(items, count, number)) return false;
    int32_t lo = number, hi = number;
    while (IsRadio(items, count, lo - 1))
        --lo;
    while (IsRadio(items, count, hi + 1))
        ++hi;
    *first = int16_t(lo);
    *last = int16_t(hi);
    return true;
}

int16_t RadioGroupStep(const NavItem* items, int32_t count, int16_t number, bool down) {
    int16_t first, last;
    if (!RadioGroupRange(items, count, number, &first, &last)) return 0;
    if (down) return number == last ? first : int16_t(number + 1);
    return number == first ? last : int16_t(number - 1);
}

int16_t TabTarget(const NavItem* items, int32_t count, int16_t number, bool backwards) {
    if (count <= 0) return 0;
    int32_t start = number != 0 ? IndexOf(items, count, number) : -1;
    int32_t step = backwards ? -1 : 1;
    int32_t at = start;
    for (int32_t n = 0; n < count; ++n) {
        if (at < 0)
            at = backwards ? count - 1 : 0;
        else
            at = (at + step + count) % count;
        const NavItem& item = items[at];
        if (!item.takesFocus) continue;
        if (item.radio && !item.on) continue; // only the chosen button of a group
        return item.number;
    }
    return 0;
}
