// Distances from points, segments and boxes to the pads of a placed pin on
// one layer, and to turned rectangles and oblongs. Every distance is an
// integer in database units and 0 inside or on a pad.
#pragma once
#include <cstdint>

enum : int32_t {
    kErrPadDistShape = 5262040, // a pad piece of a shape that cannot be measured
};

// The least distance from the point to the pin's pad pieces on the layer;
// 134,217,727 when the pin has no piece there.
int32_t PtPadDist(int32_t c, int32_t pin, int32_t layer, int32_t px, int32_t py);
// The same for the segment (x1, y1)-(x2, y2).
int32_t PadSegDist(int32_t c, int32_t pin, int32_t layer, int32_t x1, int32_t y1, int32_t x2,
                   int32_t y2);
// The same for the box with corners (x1, y1) and (x2, y2): 0 when a piece
// overlaps or touches it.
int32_t PadBoxDist(int32_t c, int32_t pin, int32_t layer, int32_t x1, int32_t y1, int32_t x2,
                   int32_t y2);
// Distance from the point to the oblong centred at (cx, cy) with half width
// hw and half height hh, turned by the angle; 0 inside.
int32_t PtOblongDist(int32_t px, int32_t py, int32_t cx, int32_t cy, int32_t hw, int32_t hh,
                     int32_t angle);
// Distance from the point to the rectangle centred at (cx, cy) with half
// width hw and half height hh, turned by the angle; 0 inside.
int32_t PtRotRectDist(int32_t px, int32_t py, int32_t cx, int32_t cy, int32_t hw, int32_t hh,
                      int32_t angle);
