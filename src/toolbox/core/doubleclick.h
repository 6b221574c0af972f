// The double-click rule of window mouse events: a mouse down within the
// double-click time of the last one and less than 4 pixels away from it on
// each axis is a double click.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

constexpr int32_t kDoubleClickSlop = 4;

struct ClickHistory {
    uint32_t ticks;
    Point16 point;
    bool valid;
};

// Window event type of a mouse down: 8 (mouse down) or 10 (double click).
// A double click is not the first click of another.
int32_t ClassifyMouseDown(ClickHistory* history, uint32_t ticks, Point16 point,
                          uint32_t doubleClickTicks);
