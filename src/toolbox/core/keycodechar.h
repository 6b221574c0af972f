// Key codes of window key events: the code a key without a character gets
// from its virtual key, and whether it counts as a special key.
#pragma once
#include <cstdint>

// The character or key code of a key event; special is set for the keys
// without a character except backspace, tab without Shift, escape, delete
// and keypad decimal. Keypad keys take their codes only with the keypad
// option; other keys keep their character.
uint16_t KeyCodeToCharacter(uint8_t virtualKey, uint16_t character, bool shift, bool keypadOption,
                            uint8_t* special);
