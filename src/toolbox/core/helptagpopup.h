// The help tags' shared popup window: the entry the mouse rests on, the
// show delay, the popup sized to its text and placed near the mouse or
// beside the target, and the ways it goes away (a mouse-down, menu
// tracking, a new window, the mouse leaving the entry).
//
// Guarantees: at most one tag shows at a time; a tag shows only after the
// mouse rested on its entry for the list's delay; an empty text shows
// nothing; the popup never takes the activation.
#pragma once
#include <cstdint>

#include "toolbox/core/helptaglist.h"
#include "toolbox/core/oseventqueue.h"

// How often the tracked entry is checked for the mouse leaving it.
constexpr double kHelpTagLeaveCheck = 0.1; // seconds

void HelpTagMouseMoved(SurfaceList* list, const OsEventRecord* record);
// Hides the tag when the record's point (screen) left the tracked entry.
void HelpTagMouseCheck(const OsEventRecord* record);
void HelpTagCancel();
// With redraw set, a visible popup's hiding is drawn at once.
void HelpTagHide(bool redraw);
// The callback's colour (0xRRGGBB) or COLOR_INFOTEXT / COLOR_INFOBK.
uint32_t HelpTagColour(HelpTagList* list, int32_t entry, bool background);
// Switches showing off (true) or on.
void SetHelpTagsOff(bool off);
// The popup's native window handle (null before the first tag showed),
// the tracked list and entry (-1 none); for tests.
void* HelpTagPopupWindow();
bool HelpTagShown();
int32_t HelpTagTrackedEntry();
// Installs the tracking, the hiding triggers and the lists' disposal into
// the surface, port and shell layers.
void InstallHelpTagPopup();
