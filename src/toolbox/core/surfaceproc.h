// The message procedures of panes and surface lists: the standard pane
// procedure (frame, content and clicks; everything else to the list's
// content procedure), the list's own procedure (bars, background,
// clicks on bars, scroll requests, wheel, cursor) and the scroll events
// that bars and scroll actions send to a list.
//
// Guarantees: a message that may dispose the pane (through the window's
// callback) is followed by nothing that touches the pane unless it is
// found again by id.
#pragma once
#include <cstdint>

#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/rect.h"

struct PaneRecord;
struct RegionRecord;
struct SurfaceList;
struct WindowObject;

// Pane and list messages beyond the pane tree's own.
enum : int32_t {
    kListMessageActivate = 8,
    kListMessageCursor = 34,
    kModifiersChanged = 36,
    kListMessageWheel = 37,
};
// Flags of scroll events: the horizontal axis, the button up.
constexpr uint16_t kScrollEventHorizontal = 1;
constexpr uint16_t kScrollEventButtonUp = 0x80;
// Bar part of the split box.
constexpr int16_t kPartSplitBox = 5;
constexpr int16_t kPartTracking = 253;
// Event flag of update drawing: leave the surface unerased.
constexpr uint8_t kUpdateNoErase = 1;

// The help tags of a list, kept by the help-tag layer: the mouse moved
// over the list, and the list's tags disposed with it. Until that layer
// installs its procedures nothing is done.
struct HelpTagHooks {
    void (*mouseMoved)(SurfaceList* list, const OsEventRecord* record);
    void (*disposeTags)(void* tags);
};
void SetHelpTagHooks(const HelpTagHooks* hooks);
const HelpTagHooks& HelpTags();

int32_t StandardPaneProc(PaneRecord* pane, int32_t message, void* data);
int32_t SurfaceListProc(SurfaceList* list, int32_t message, void* data);
// Sends a message to the list's content procedure (or, without one, to the
// list's own procedure).
int32_t SendListMessage(SurfaceList* list, int32_t message, void* data);
// A scroll request as a record: what = code, modifiers = flags, message =
// value (code 32: v in the high half, h in the low half).
int32_t SendScrollEvent(SurfaceList* list, int32_t code, uint16_t flags, Point16 point,
                        int32_t value);
// The request on the current port's list: needs a bar or the axis flag
// except for 32; code 30 with the bar's own value sends nothing. Answers
// the list's answer, or 0 when nothing was sent.
int32_t ScrollAction(WindowObject* window, int32_t code, int32_t axis, Point16 point,
                     int32_t value);
// Requests 26 to 29 (a line or a page back or forward) on the axis of the
// window's list, through ScrollAction.
int32_t ScrollLineBack(WindowObject* window, int32_t axis);
int32_t ScrollLineForward(WindowObject* window, int32_t axis);
int32_t ScrollPageBack(WindowObject* window, int32_t axis);
int32_t ScrollPageForward(WindowObject* window, int32_t axis);
// Erases the current surface (unless flag 1), paints what its content does
// not cover mid grey, and frames the content of all surfaces in black when
// the main surface is current.
void DrawSurfaceBackground(SurfaceList* list, uint8_t flag);
// Every surface from 2 down to -1 whose rectangle meets the region becomes
// current and gets the message; the surface current before is restored.
void DrawSurfaces(PaneRecord* pane, const RegionRecord* region, void* data);
