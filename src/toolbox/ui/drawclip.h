// Clip and origin bookkeeping of the current state, and the pool of scratch
// regions for clip arithmetic.
//
// Guarantees: a clip whose bounds are the wide-open rectangle counts as no
// clip; storing a clip or origin equal to the present one marks nothing
// dirty; the pool never caches more than kScratchRegionsCached regions.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

struct RegionRecord;
struct DrawingState;

constexpr int32_t kWideOpenLimit = 32767;
constexpr Rect32 kWideOpenRect{-kWideOpenLimit, -kWideOpenLimit, kWideOpenLimit, kWideOpenLimit};
constexpr Rect16 kWideOpenRect16{-kWideOpenLimit, -kWideOpenLimit, kWideOpenLimit, kWideOpenLimit};
constexpr int32_t kScratchRegionsCached = 8;

// The one wide-open region (made on first use).
const RegionRecord* WideOpenRegion();
bool IsWideOpenRegion(const RegionRecord* region);

// Copies the region (null: wide open) into the current state's clip unless
// equal, marking the clip dirty.
void SetStateClip(const RegionRecord* region);
// The current port's clip: a region or rectangle that is null or wide open
// sets the wide-open clip; a scaled port keeps the region in its own units
// (GetDrawingClip answers it) and clips with a copy in device units.
void SetDrawingClip(const RegionRecord* region);
void SetDrawingClipRect(const Rect16* rect);
void GetDrawingClip(RegionRecord* out);

// Moves the current state's origin; marks origin and clip dirty, and the
// pattern brush and (not on the old system) pattern pen, whose alignment
// follows the origin. The window clip region moves with the origin.
void SetStateOrigin(int32_t h, int32_t v);

// The origin of a state (the current one when none is given).
Point32 GetStateOrigin(const DrawingState* state);

RegionRecord* AcquireScratchRegion();
void ReleaseScratchRegion(RegionRecord* region);
// Regions cached and handed out (for tests and leak checks).
int32_t ScratchRegionsCached();
int32_t ScratchRegionsOut();
// Disposes the cached regions.
void DrainScratchRegions();
