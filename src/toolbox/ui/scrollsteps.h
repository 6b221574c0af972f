// Row scrolling of list views and text logs: the window's scroll events
// turned into step kinds, and the first visible row a step leads to.
//
// Guarantees: the target always lies within 0 and the last first row.
#pragma once
#include <cstdint>

// Step kinds.
constexpr int32_t kStepRowUp = 0;
constexpr int32_t kStepRowDown = 1;
constexpr int32_t kStepPageUp = 2;
constexpr int32_t kStepPageDown = 3;
constexpr int32_t kStepToValue = 4;
constexpr int32_t kStepToThumb = 5;
constexpr int32_t kStepToRow = 14;
constexpr int32_t kStepNone = -1;

// The window's scroll events.
constexpr int32_t kScrollEventFirst = 26;
constexpr int32_t kScrollEventLast = 31;
constexpr int32_t kScrollEventToPoint = 32;

// The step kind of a window scroll event, or kStepNone.
int32_t ScrollStepFromEvent(int32_t event);
// The first visible row after a step (value: the scroll bar's value or the
// row), clamped to 0..lastFirstRow.
int32_t ScrollStepTarget(int32_t kind, int32_t firstVisible, int32_t visibleRows, int32_t value,
                         int32_t lastFirstRow);
// The first visible row that shows `row`: unchanged when it is visible,
// the row at the top when asked or when it lies above, else at the bottom.
int32_t ScrollRowIntoView(int32_t row, bool toTop, int32_t firstVisible, int32_t visibleRows,
                          int32_t rowCount, int32_t lastFirstRow);
