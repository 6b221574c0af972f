// The key-code table of window key events.
#include "toolbox/core/keycodechar.h"

namespace {

struct KeyCode {
    uint8_t virtualKey;
    uint16_t code;
    uint8_t special;
};

constexpr KeyCode kKeys[] = {
    {8, 8, 0},    {12, 317, 1}, {27, 27, 0},  {33, 305, 1}, {34, 306, 1},
    {35, 310, 1}, {36, 309, 1}, {37, 304, 1}, {38, 301, 1}, {39, 303, 1},
    {40, 302, 1}, {43, 399, 1}, {46, 127, 0}, {47, 312, 1},
};
constexpr KeyCode kKeypadKeys[] = {
    {106, 372, 1}, {107, 374, 1}, {109, 373, 1}, {110, 127, 0}, {111, 375, 1},
};

constexpr uint8_t kVkTab = 9;
constexpr uint16_t kTabCode = 9;
constexpr uint16_t kShiftTabCode = 315;
constexpr uint8_t kVkF1 = 112, kVkF15 = 126;
constexpr uint16_t kF1Code = 331;
constexpr uint8_t kVkKeypad0 = 96, kVkKeypad9 = 105;
constexpr uint16_t kKeypad0Code = 318;

} // namespace

uint16_t KeyCodeToCharacter(uint8_t virtualKey, uint16_t character, bool shift, bool keypadOption,
                            uint8_t* special) {
    *special = 0;
    if (virtualKey == kVkTab) {
        *special = shift ? 1 : 0;
        return shift ? kShiftTabCode : kTabCode;
    }
    if (virtualKey >= kVkF1 && virtualKey <= kVkF15) {
        *special = 1;
        return uint16_t(kF1Code + (virtualKey - kVkF1));
    }
    for (const KeyCode& k : kKeys)
        if (k.virtualKey == virtualKey) {
            *special = k.special;
            return k.code;
        }
    if (!keypadOption) return character;
    if (virtualKey >= kVkKeypad0 && virtualKey <= kVkKeypad9) {
        *special = 1;
        return uint16_t(kKeypad0Code + (virtualKey - kVkKeypad0));
    }
    for (const KeyCode& k : kKeypadKeys)
        if (k.virtualKey == virtualKey) {
            *special = k.special;
            return k.code;
        }
    return character;
}
