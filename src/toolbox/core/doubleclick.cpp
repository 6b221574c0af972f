// The double-click rule of window mouse events.
#include "toolbox/core/doubleclick.h"

#include <cstdlib>

namespace {
constexpr int32_t kEventMouseDown = 8;
constexpr int32_t kEventDoubleClick = 10;
} // namespace

int32_t ClassifyMouseDown(ClickHistory* history, uint32_t ticks, Point16 point,
                          uint32_t doubleClickTicks) {
    bool isDouble = history->valid && ticks - history->ticks <= doubleClickTicks &&
                    std::abs(point.v - history->point.v) < kDoubleClickSlop &&
                    std::abs(point.h - history->point.h) < kDoubleClickSlop;
    if (isDouble) {
        history->valid = false;
        return kEventDoubleClick;
    }
    *history = {ticks, point, true};
    return kEventMouseDown;
}
