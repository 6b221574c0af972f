// Step kinds and targets of row scrolling.
#include "toolbox/ui/scrollsteps.h"

#include <algorithm>

int32_t ScrollStepFromEvent(int32_t event) {
    if (event >= kScrollEventFirst && event <= kScrollEventLast) return event - kScrollEventFirst;
    return event == kScrollEventToPoint ? kStepToRow : kStepNone;
}

int32_t ScrollStepTarget(int32_t kind, int32_t firstVisible, int32_t visibleRows, int32_t value,
                         int32_t lastFirstRow) {
    int32_t page = std::max(visibleRows - 1, 1);
    int32_t target = firstVisible;
    switch (kind) {
    case kStepRowUp:
        target = firstVisible - 1;
        break;
    case kStepRowDown:
        target = firstVisible + 1;
        break;
    case kStepPageUp:
        target = firstVisible - page;
        break;
    case kStepPageDown:
        target = firstVisible + page;
        break;
    case kStepToValue:
    case kStepToThumb:
    case kStepToRow:
        target = value;
        break;
    default:
        break;
    }
    return std::clamp(target, 0, std::max(lastFirstRow, 0));
}

int32_t ScrollRowIntoView(int32_t row, bool toTop, int32_t firstVisible, int32_t visibleRows,
                          int32_t rowCount, int32_t lastFirstRow) {
    row = std::clamp(row, 0, std::max(rowCount - 1, 0));
    int32_t target = firstVisible;
    if (toTop || row < firstVisible)
        target = row;
    else if (row >= firstVisible + visibleRows)
        target = row - visibleRows + 1;
    return std::clamp(target, 0, std::max(lastFirstRow, 0));
}
