// The placement tool's rotation arithmetic: a point turned about the
// origin (quarter turns exact, other angles through the geometry module's
// own sine and cosine, the same in every build), the next angle of one
// rotation step snapped to the rotation grid and kept in 0..21,599, the
// selection's lowest pin corner, and one component turned about a pivot
// with its box recomputed.
#pragma once
#include <cstdint>

#include "db/records.h"

enum : int32_t {
    kPlRotateDefaultStep = 5400, // a rotation step of 0 means a quarter turn
};

// (x, y) turned by angle minutes about the origin, truncated toward zero.
void RotatePoint(int32_t x, int32_t y, int32_t angle, int32_t* ox, int32_t* oy);
// a + step (0 = a quarter turn) in 0..21,599, rounded to the nearest
// multiple of the grid (halves upward) when the grid exceeds 1, and
// wrapped again after the rounding.
int32_t UpRotateAngle(int32_t a, int32_t step, int32_t grid);
// The smallest pin x and pin y over the journal's placed components
// without cluster master; when there is none, over all the journal's
// components (a component without pins counts its position). False when
// the journal holds no component.
bool UpSelPinMin(int32_t* px, int32_t* py);
// Turns the record one step about (px, py): angle by UpRotateAngle, the
// position by the step turn of the offset, and the box recomputed.
void PlRotateComp(Component* r, int32_t px, int32_t py, int32_t step, int32_t grid);
