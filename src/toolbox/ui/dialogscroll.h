// Scroll-bar items of dialogs: the parts a tracked scroll bar reports
// turned into the item hit's parts, and the step a hit makes of the number
// it drives (as when a scroll bar is paired with an edit text).
//
// Guarantees: arrows step by the line step, page areas by the page step,
// the thumb takes the control's value; the result always lies within 0
// and the maximum.
#pragma once
#include <cstdint>

// Item hit parts of scroll-bar items.
constexpr int32_t kScrollItemLineUp = 0;
constexpr int32_t kScrollItemLineDown = 1;
constexpr int32_t kScrollItemPageUp = 2;
constexpr int32_t kScrollItemPageDown = 3;
constexpr int32_t kScrollItemThumb = 4;
constexpr int32_t kScrollItemThumbMoved = 5;
constexpr int32_t kScrollItemNoPart = -1;

// Parts of a tracked scroll bar.
constexpr int32_t kTrackedLineUp = 20;
constexpr int32_t kTrackedLineDown = 21;
constexpr int32_t kTrackedPageUp = 22;
constexpr int32_t kTrackedPageDown = 23;
constexpr int32_t kTrackedThumb = 129;

// The item hit part of a tracked scroll bar's part (the steps 0-3, the
// thumb's end 4), or kScrollItemNoPart.
int32_t ScrollItemPartFromTracked(int32_t trackedPart);

// The value after a hit of part on a scroll-bar item: *value stepped (or
// the control's value for the thumb), clamped to 0..maximum. True when it
// changed.
bool ScrollItemStep(int32_t part, int32_t lineStep, int32_t pageStep, int32_t controlValue,
                    int32_t maximum, int32_t* value);
