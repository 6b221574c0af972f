// The query point of the current view: the mouse position taken into
// database units through the view's mapping and snapped to the view's
// query grid.
#pragma once
#include <cstdint>

// 1 when the query point moved, else 0.
int32_t setQueryPoint(int32_t v, int32_t h);
// Snaps the coordinate to the nearest multiple of step counted from the
// origin; halves round away from the origin.
int32_t GridSnap(int32_t value, int32_t origin, int32_t step);
