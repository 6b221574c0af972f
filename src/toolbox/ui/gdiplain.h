// The plain primitives the standard procedures fall back on where the
// primitive table has no entry: rotated rectangles and ellipse arcs (GDI
// world transforms in the Win32 build; nothing natively).
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

void PlainRotatedRect(Point32 centre, Point32 size, int32_t corner, int32_t rotation, int32_t verb);
void PlainRotatedArc(Point32 centre, Point32 size, int32_t startAngle, int32_t arcAngle,
                     int32_t rotation, int32_t verb);
