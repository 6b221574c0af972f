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
