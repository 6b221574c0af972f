// The portable region engine: areas as lists of rectangles in canonical
// y-x banded form. Bands run top to bottom; the rectangles of a band share
// its top and bottom and run left to right, disjoint and not touching;
// empty rectangles are never stored; vertically adjacent bands with the
// same spans are merged. Two equal areas therefore have equal lists, and
// every rectangle is half-open (right and bottom edges lie outside).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolbox/core/rect.h"

typedef std::vector<Rect32> RegionRects;

// Combination modes (the system's region modes).
constexpr int32_t kRegionAnd = 1;
constexpr int32_t kRegionOr = 2;
constexpr int32_t kRegionXor = 3;
constexpr int32_t kRegionDiff = 4;
constexpr int32_t kRegionCopy = 5;

// The canonical list of the union of any rectangles (empty ones ignored).
void RegionRectsFromRects(const Rect32* rects, size_t count, RegionRects* out);
// a (mode) b, both canonical; the result is canonical.
void RegionRectsCombine(const RegionRects& a, const RegionRects& b, int32_t mode, RegionRects* out);
