// Scale arithmetic of window ports (8.24 fixed-point factors) and the small
// rectangle placements dialogs and windows use.
//
// Guarantees: a factor is never below 1 (2^-24) nor above kScaleFactorMax;
// a fit ratio over a logical size of 0 or less is 1.0, never a division by
// zero; products are taken in 64 bits.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"
#include "toolbox/core/windowobject.h"

struct RegionRecord;

constexpr double kScaleFixedOne = 16777216.0; // 2^24
constexpr int32_t kScaleFactorMin = 1;        // 2^-24
constexpr int32_t kScaleFactorMax = INT32_MAX;

// Ratio of a surface size to a logical size; 1.0 when the logical size is
// 0 or less.
double ScaleFitRatio(int32_t surfaceSize, int32_t logicalSize);
// The 8.24 factor of a ratio, rounded; a ratio whose factor would fall
// below 1 gives 1.
int32_t ScaleFactorFromRatio(double ratio);
// The factor over 2^24, rounded, at least 1.
int16_t WholeScaleOf(int32_t factor);
// Applies the factors to the record; false (and nothing changed) when both
// equal the stored ones. Sets flag 0x20 unless both are exactly 1.0.
bool SetWindowScaleFactors(WindowObject* window, int32_t horizontalFactor, int32_t verticalFactor);
// The factors of (h, v) ratios for a window whose main surface is
// surfaceHeight x surfaceWidth: a ratio of 0 or less makes both the
// smaller fit ratio.
void WindowScaleRatiosToFactors(const WindowObject* window, double h, double v,
                                int32_t surfaceHeight, int32_t surfaceWidth,
                                int32_t* horizontalFactor, int32_t* verticalFactor);
// Percent to ratio: both above 0 give percent / 100, else both 0 (fit).
void ScalePercentRatios(int32_t horizontalPercent, int32_t verticalPercent, double* h, double* v);
// 100 converted to device units by a factor, at least 1.
int16_t ScalePercentInDeviceUnits(int32_t factor);
// Each edge times the port's factor over 2^24; nothing for an unscaled port
// or an empty rectangle.
void ScaleRectForPort(const WindowObject* window, Rect16* rect);
// A region in port units in device units: for a scaled port mapped from
// (0, 0, 3200, 3200) to that rectangle scaled by the port. Without the
// in-place flag a copy is converted (the caller disposes it; null when out
// of memory); answers the region worked on.
RegionRecord* PortRegionToDevice(const WindowObject* window, RegionRecord* region, bool inPlace);

// Moves the rectangle so its top-left corner is (v, h).
void RectMoveTopLeft(Rect16* rect, int16_t h, int16_t v);
// Centres the rectangle in the outer one on the axes whose flag is set,
// halves truncated toward zero; the rectangle keeps its size.
void CentreRectInRect(Rect16* rect, const Rect16* outer, uint8_t horizontal, uint8_t vertical);
