// Regions: areas for clipping, updates and hit testing. A RegionRecord keeps
// the area in the engine's canonical banded form (regionbands.h) with its
// bounding box and complexity cached, so emptiness and bounds need no work.
// Coordinates stay within -kRegionCoordLimit..kRegionCoordLimit; every
// rectangle is half-open. In the Win32 build a native region made from the
// record is kept until the region next changes (region_win32.cpp).
//
// Guarantees: an operation that cannot get memory leaves the region as it
// was; the cache always matches the rectangles.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

constexpr int32_t kRegionCoordLimit = 0x1FFFFFF;
// Complexity codes, as the system's region calls answer them.
constexpr int32_t kRegionError = 0;
constexpr int32_t kRegionEmpty = 1;
constexpr int32_t kRegionSimple = 2;
constexpr int32_t kRegionComplex = 3;

struct RegionRecord {
    Rect32 bounds;
    int32_t complexity;
    int32_t count; // rectangles in band order
    Rect32* rects; // pointer block, null when empty
    void* native;  // cached native region (Win32), null when none
};

RegionRecord* NewRegion();
// A new region set to the rectangle when one is given.
RegionRecord* NewRectRegion(const Rect16* rect);
void DisposeRegion(RegionRecord* region);
void OffsetRegion(RegionRecord* region, int32_t dh, int32_t dv);
// Modes kRegionAnd..kRegionCopy; the destination may be a or b. Answers the
// complexity, kRegionError for a bad mode or without memory (unchanged).
int32_t CombineRegions(RegionRecord* destination, const RegionRecord* a, const RegionRecord* b,
                       int32_t mode);
void SetRegionEmpty(RegionRecord* region);
// An empty rectangle empties; otherwise the rectangle clamped to the limits.
void SetRegionToRect(RegionRecord* region, const Rect32* rect);
void SetRegionToShortRect(RegionRecord* region, const Rect16* rect);
void SetRegionToBounds(RegionRecord* region, int32_t left, int32_t top, int32_t right,
                       int32_t bottom);
bool IsRegionEmpty(const RegionRecord* region);
bool RegionIsSimple(const RegionRecord* region);
// Writes the bounds narrowed to 16 bits (when out is given); the complexity.
int32_t RegionBounds(const RegionRecord* region, Rect16* out);
bool RegionsEqual(const RegionRecord* a, const RegionRecord* b);
bool RectTouchesRegion(const Rect16* rect, const RegionRecord* region);
bool PointInRegion(Point16 point, const RegionRecord* region);
// Insets every rectangle by (dh, dv); rectangles an inset empties vanish.
void InsetRegion(RegionRecord* region, int32_t dh, int32_t dv);
// Maps the region from the source rectangle onto the destination.
void MapRegion(RegionRecord* region, const Rect32* source, const Rect32* destination);
void MapRegionShort(RegionRecord* region, const Rect16* source, const Rect16* destination);

// Sets the region to the union of the rectangles (empty ones ignored);
// false (unchanged) without memory.
bool SetRegionToUnion(RegionRecord* region, const Rect32* rects, int32_t count);

// Drops the cached native region (region_win32.cpp; nothing natively).
void RegionDropNative(RegionRecord* region);
