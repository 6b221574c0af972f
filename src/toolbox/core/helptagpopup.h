// The help tags' shared popup window: sized to its text and placed near
// the mouse or beside the target, drawn in the list's font and colours.
// The tracking (helptagtrack.h) decides when it shows and hides.
//
// Guarantees: at most one tag shows at a time; the popup never takes the
// activation.
#pragma once
#include <cstdint>

#include "toolbox/core/helptagtrack.h"

// With redraw set, a visible popup's hiding is drawn at once.
void HelpTagHide(bool redraw);
// The callback's colour (0xRRGGBB) or COLOR_INFOTEXT / COLOR_INFOBK.
uint32_t HelpTagColour(HelpTagList* list, int32_t entry, bool background);
// The popup's native window handle (null before the first tag showed) and
// whether it shows; for tests.
void* HelpTagPopupWindow();
bool HelpTagShown();
// Installs the tracking and the popup's procedures.
void InstallHelpTagPopup();
