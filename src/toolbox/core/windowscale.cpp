// Scale arithmetic of window ports and rectangle placement.
//
// Factors are 8.24 fixed point: 0x1000000 is 1.0. Ratios become factors by
// rounding, clamped to 1 .. INT32_MAX; edges are scaled in 64 bits and
// narrowed with clamping to 16 bits.
#include "toolbox/core/windowscale.h"

#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"

#include <algorithm>
#include <cmath>

namespace {

int16_t Clamp16(int64_t value) {
    return int16_t(std::clamp<int64_t>(value, INT16_MIN, INT16_MAX));
}

int16_t ScaleEdge(int16_t edge, int32_t factor) {
    return Clamp16((int64_t(edge) * factor) / kScaleOne);
}

} // namespace

double ScaleFitRatio(int32_t surfaceSize, int32_t logicalSize) {
    if (logicalSize <= 0) return 1.0;
    return double(surfaceSize) / double(logicalSize);
}

int32_t ScaleFactorFromRatio(double ratio) {
    double fixed = ratio * kScaleFixedOne;
    if (!(fixed >= 1.0)) return kScaleFactorMin;
    if (fixed >= double(kScaleFactorMax)) return kScaleFactorMax;
    return int32_t(std::llround(fixed));
}

int16_t WholeScaleOf(int32_t factor) {
    int64_t whole = (int64_t(factor) + kScaleOne / 2) / kScaleOne;
    return int16_t(std::clamp<int64_t>(whole, 1, INT16_MAX));
}

bool SetWindowScaleFactors(WindowObject* window, int32_t horizontalFactor, int32_t verticalFactor) {
    if (window->horizontalScale == horizontalFactor && window->verticalScale == verticalFactor)
        return false;
    window->horizontalScale = horizontalFactor;
    window->verticalScale = verticalFactor;
    if (horizontalFactor == kScaleOne && verticalFactor == kScaleOne)
        window->flags &= ~kWindowFlagScaled;
    else
        window->flags |= kWindowFlagScaled;
    window->wholeScaleHorizontal = WholeScaleOf(horizontalFactor);
    window->wholeScaleVertical = WholeScaleOf(verticalFactor);
    return true;
}

void WindowScaleRatiosToFactors(const WindowObject* window, double h, double v,
                                int32_t surfaceHeight, int32_t surfaceWidth,
                                int32_t* horizontalFactor, int32_t* verticalFactor) {
    if (h <= 0 || v <= 0) {
        double fit = std::min(ScaleFitRatio(surfaceWidth, window->width),
                              ScaleFitRatio(surfaceHeight, window->height));
        h = v = fit;
    }
    *horizontalFactor = ScaleFactorFromRatio(h);
    *verticalFactor = ScaleFactorFromRatio(v);
}

void ScalePercentRatios(int32_t horizontalPercent, int32_t verticalPercent, double* h, double* v) {
    if (horizontalPercent > 0 && verticalPercent > 0) {
        *h = horizontalPercent / double(kScalePercentFull);
        *v = verticalPercent / double(kScalePercentFull);
    } else {
        *h = *v = 0;
    }
}

int16_t ScalePercentInDeviceUnits(int32_t factor) {
    int64_t units = (int64_t(kScalePercentFull) * factor + kScaleOne / 2) / kScaleOne;
    return int16_t(std::clamp<int64_t>(units, 1, INT16_MAX));
}

void ScaleRectForPort(const WindowObject* window, Rect16* rect) {
    if (!(window->flags & kWindowFlagScaled) || RectIsEmpty(rect)) return;
    rect->top = ScaleEdge(rect->top, window->verticalScale);
    rect->bottom = ScaleEdge(rect->bottom, window->verticalScale);
    rect->left = ScaleEdge(rect->left, window->horizontalScale);
    rect->right = ScaleEdge(rect->right, window->horizontalScale);
}

RegionRecord* PortRegionToDevice(const WindowObject* window, RegionRecord* region, bool inPlace) {
    constexpr int16_t kMappingExtent = 3200;
    RegionRecord* target = region;
    if (!inPlace) {
        target = NewRegion();
        if (!target) return nullptr;
        CombineRegions(target, region, region, kRegionOr);
    }
    if (window->flags & kWindowFlagScaled) {
        const Rect16 source = {0, 0, kMappingExtent, kMappingExtent};
        Rect16 device = source;
        ScaleRectForPort(window, &device);
        MapRegionShort(target, &source, &device);
    }
    return target;
}

void RectMoveTopLeft(Rect16* rect, int16_t h, int16_t v) {
    if (rect->left == h && rect->top == v) return;
    rect->bottom = Clamp16(int32_t(rect->bottom) + v - rect->top);
    rect->right = Clamp16(int32_t(rect->right) + h - rect->left);
    rect->top = v;
    rect->left = h;
}

void CentreRectInRect(Rect16* rect, const Rect16* outer, uint8_t horizontal, uint8_t vertical) {
    int32_t width = int32_t(rect->right) - rect->left;
    int32_t height = int32_t(rect->bottom) - rect->top;
    int32_t left = rect->left, top = rect->top;
    if (horizontal) left = outer->left + (int32_t(outer->right) - outer->left - width) / 2;
    if (vertical) top = outer->top + (int32_t(outer->bottom) - outer->top - height) / 2;
    rect->left = Clamp16(left);
    rect->top = Clamp16(top);
    rect->right = Clamp16(left + width);
    rect->bottom = Clamp16(top + height);
}
