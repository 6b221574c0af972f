// Modal state the windows layer above reads: the modal flag (1 while a
// native modal dialog such as a file chooser runs), the modal depth and
// the menu-bar-update flag raised around every modal run. Plain values:
// whoever raises one restores the value it found.
#pragma once
#include <cstdint>

uint8_t ModalFlag();
// Answers the previous value.
uint8_t SetModalFlag(uint8_t value);
int32_t ModalDepth();
void SetModalDepth(int32_t depth);
uint8_t MenuBarUpdateFlag();
void SetMenuBarUpdateFlag(uint8_t value);
