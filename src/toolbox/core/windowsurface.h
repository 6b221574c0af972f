// A window object's drawing surfaces as the window sees them: the current
// surface and invalidation of an area given in its coordinates.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"
#include "toolbox/core/windowobject.h"

// The whole port, in port coordinates, that a null area stands for.
constexpr int16_t kWholePortExtent = 0x4000;

int32_t CurrentWindowSurface(const WindowObject* window);
// Takes -1 or 0 to 2; an index without a surface selects -1. Answers the
// index selected.
int32_t SelectWindowSurface(WindowObject* window, int32_t index);
// Adds the area (current surface coordinates, scaled for a scaled port) to
// the update region, or removes it with add 0; null means the whole port;
// an empty rectangle does nothing. The area is cut to the pane's visible
// region and the surface's rectangle.
void InvalidateWindowArea(WindowObject* window, const Rect16* rect, uint8_t add);

// Horizontal and vertical ratio of the main surface's size to the logical
// size (1.0 on an axis whose logical size is 0 or less, and for print
// ports).
void WindowScaleFactors(const WindowObject* window, double* h, double* v);
// Selects the main surface and applies the ratios (0 or less: both the
// smaller fit ratio); false when the factors did not change.
bool SetWindowScale(WindowObject* window, double h, double v);
// Percents to ratios (both above 0, else fit), then the percent fields
// become 100 in device units by the new factors.
bool SetWindowScalePercent(WindowObject* window, int32_t horizontalPercent,
                           int32_t verticalPercent);
