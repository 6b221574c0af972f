// Scroll requests of surface lists: line, page, thumb and point requests
// turned into scroll positions over the bars' model, wheel turns and bar
// clicks turned into requests.
//
// Guarantees: a request never moves the position below 0 or beyond the
// bar's maximum, and a request that leaves the position unchanged scrolls
// nothing.
#pragma once
#include <cstdint>

#include "toolbox/core/surfacelist.h"

// ScrollActionCode.
enum : int32_t {
    kScrollLineBack = 26,
    kScrollLineForward = 27,
    kScrollPageBack = 28,
    kScrollPageForward = 29,
    kScrollSetValue = 30,
    kScrollValueChanged = 31,
    kScrollToPoint = 32,
};

constexpr int32_t kDefaultLineStep = 32; // a scroll step of 0
constexpr int32_t kWheelPageAmount = 60;
constexpr uint32_t kModifierShift = 0x200;

struct ScrollRequest {
    int32_t code;
    int32_t axis; // 0 vertical, 1 horizontal
    int32_t value;
    Point16 point;
};

// Reads the axis's bar value into the list's cache and answers it; the
// cache stays when the axis has no bar or the host keeps no value.
int32_t ControlValueCache(SurfaceList* list, int32_t axis);
void ScrollSteps(const SurfaceList* list, int32_t axis, int32_t* line, int32_t* page);
// Moves the axis by the amount within 0 .. the bar's maximum; false when
// the position does not change.
bool ScrollAxisBy(SurfaceList* list, int32_t axis, int32_t amount, bool setBar);
// The list's standard answer to a request: the bar's value afterwards.
int32_t HandleScrollAction(SurfaceList* list, const ScrollRequest* request);
// Whether a request may be sent: code 32 always; others need a bar on the
// axis or its action flag; code 30 with the bar's own value sends nothing.
bool ScrollActionAllowed(const SurfaceList* list, const ScrollRequest* request);
// A wheel turn: Shift means the horizontal axis; with flag 0x800 an amount
// of 60 or more scrolls a page, else the amount scrolls as one line.
// Answers the request code sent.
int32_t SurfaceWheel(SurfaceList* list, uint32_t modifiers, int32_t delta);
// The request a held arrow or page part (20-23) sends, 0 for none.
int32_t ScrollRequestOfPart(int32_t part);

// Bar part of the thumb.
constexpr int32_t kPartThumb = 129;
// Clicks on a surface list (message 24): a right or middle click (either
// of the two lowest bits of the button message) is not handled here and
// answers those bits; 0 for a left click.
uint32_t SurfaceClickIgnoredBits(uint32_t buttonMessage);
// Whether the point lies in the split box: the square of the bar
// thickness at the bottom-right of a non-root pane with a grow box.
bool PointInSplitBox(const SurfaceList* list, Point16 point);
// The thumb sends request 31 for every move unless flag 0x100 is set.
bool ThumbTracksLive(const SurfaceList* list);
// At the thumb's release: request 30 when the value changed, else 0.
int32_t ThumbReleaseRequest(int32_t valueBefore, int32_t valueAfter);
