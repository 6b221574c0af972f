// Help-tag tracking: the entry the mouse rests on, the one-shot show
// delay, and the ways a tag goes away (a mouse-down, menu tracking, a new
// window, the mouse leaving the entry, the list's disposal). The popup
// itself is drawn by the procedures the popup layer installs.
//
// Guarantees: at most one entry is tracked; a tag shows only when the show
// delay ran out while its entry was still tracked and its list armed; an
// empty text, or showing switched off, shows nothing; a tracked list that
// is disposed is forgotten first.
#pragma once
#include <cstdint>

#include "toolbox/core/helptaglist.h"
#include "toolbox/core/oseventqueue.h"

// How often the tracked entry is checked for the mouse having left it
// while no mouse-moved record comes (the mouse went to another program).
constexpr double kHelpTagLeaveCheck = 0.1; // seconds

// What a mouse-moved record over a list does to the tracking.
enum class HelpTagStep {
    Nothing, // no entry under the mouse, or the tracked one left running
    Cancel,  // the mouse left the tracked list's entries
    Track,   // start tracking the entry (another tracked one is cancelled first)
    Restart, // same entry, forced record, delay still running: start it again
};
HelpTagStep HelpTagTrackStep(const HelpTagList* trackedList, int32_t trackedEntry,
                             const HelpTagList* list, int32_t entry, bool forced);

// The popup layer's procedures: show the text of an entry (the popup
// sized and placed), and hide it (with redraw, pending updates drawn at
// once when it was visible).
struct HelpTagPopupProcs {
    void (*show)(HelpTagList* list, int32_t entry, const char* text);
    void (*hide)(bool redraw);
};
void SetHelpTagPopupProcs(const HelpTagPopupProcs* procs);

// A mouse-moved record (port-local point) over the window of the list.
void HelpTagMouseMoved(SurfaceList* list, const OsEventRecord* record);
// A mouse-moved record (frame-client point): the tag is cancelled when the
// mouse is no longer over the tracked entry.
void HelpTagMouseCheck(const OsEventRecord* record);
void HelpTagCancel();
// Switches showing off (true) or on.
void SetHelpTagsOff(bool off);
HelpTagList* HelpTagTrackedList();
int32_t HelpTagTrackedEntry(); // -1 none
// Installs the tracking into the surface, port and shell layers.
void InstallHelpTagTracking();
