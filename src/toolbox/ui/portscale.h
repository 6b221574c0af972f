// Coordinate arithmetic of scaled ports: factors in 8.24 fixed point
// (kScaleOne = 1.0), points multiplied with MulDiv rounding, rectangles
// given back their last device pixel and kept from collapsing, and the pen
// scaled by the vertical factor.
//
// Guarantees: a non-empty rectangle never becomes empty under a factor
// below 1.0; unscaling divides by the same factors.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"
#include "toolbox/core/timetext.h" // MulDivRound

// Axis selectors.
constexpr int8_t kScaleBothAxes = -1;
constexpr int8_t kScaleOnlyVertical = 0;   // the horizontal axis is unscaled
constexpr int8_t kScaleOnlyHorizontal = 1; // the vertical axis is unscaled
constexpr int8_t kScaleNoAxes = 2;

struct PortScale {
    int32_t hFactor, vFactor; // 8.24
    int8_t axes;
    int32_t roundH, roundV; // extra device pixels of far edges, both axes scaled
};

bool ScalesHorizontal(const PortScale* scale);
bool ScalesVertical(const PortScale* scale);
void ScalePointToDevice(const PortScale* scale, Point32* points, int32_t count);
void UnscalePoints(const PortScale* scale, Point32* points, int32_t count);
// Top and left multiplied; bottom and right taken less 1, multiplied and
// given back a device pixel (the rounding amounts when both axes scale);
// an edge that collapsed onto its partner moves out by one pixel.
void ScaleRectToDevice(const PortScale* scale, Rect32* rect);
// The pen size for a call on the port (unchanged unless both axes scale).
int32_t ScalePenSize(const PortScale* scale, int32_t size);
