// Native key and mouse-button messages turned into low-level events, and
// the button state asked by tracking loops.
//
// Key rules: a character message posts a key down, or an auto key when
// the same value came last without a key up in between; a key-down message
// posts only for keys that give no character; a key up posts the last
// value and forgets it, so two real presses give two key downs.
#pragma once
#include <cstdint>

// Returned by MouseButtonDown while the button is held.
constexpr int32_t kMouseButtonIsDown = 0x8001;

// Virtual keys that give no character and post on key-down messages.
constexpr uint32_t kVkClear = 12;
constexpr uint32_t kVkPageUp = 33;
constexpr uint32_t kVkDown = 40;
constexpr uint32_t kVkExecute = 43;
constexpr uint32_t kVkDelete = 46;
constexpr uint32_t kVkHelp = 47;
constexpr uint32_t kVkF1 = 112;
constexpr uint32_t kVkF24 = 135;

// Whether a key-down message of this virtual key posts an event.
bool KeyDownPosts(uint32_t virtualKey);
// WM_CHAR, WM_KEYDOWN or WM_KEYUP (others are ignored).
void KeyMessageToOsEvent(void* window, uint32_t message, uint32_t keyOrCharacter);
// The button of a button message (client or non-client), and whether it
// is a down (down and double-click) or an up; false for other messages.
bool MouseMessageButton(uint32_t message, int32_t* button, bool* down);
// Downs capture the mouse and post what 1; ups release it and post what 2.
void MouseButtonMessage(void* window, uint32_t message);
// Forgets the last key value (tests and focus changes).
void ResetKeyMessageState();

// kMouseButtonIsDown while the button (0 primary, 1 secondary, 2 middle)
// is down, else 0.
int32_t MouseButtonDown(int32_t button);
// False when a down or up of the button is queued, else whether it is down.
bool PollMouseStillDown(int32_t button);
// True (and the up taken) when an up of the button is queued, else whether
// the button is up.
bool PollMouseReleased(int32_t button);
// The button-tracking question of the drawing layer; callers holding event
// modifiers pass 0, the primary button.
bool MouseButtonStillDown(int32_t button);
