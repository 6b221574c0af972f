// Scaled-port arithmetic in 64-bit intermediates.
#include "toolbox/ui/portscale.h"

#include "toolbox/core/timetext.h"
#include "toolbox/core/windowobject.h"

bool ScalesHorizontal(const PortScale* scale) {
    return scale->axes == kScaleBothAxes || scale->axes == kScaleOnlyHorizontal;
}
bool ScalesVertical(const PortScale* scale) {
    return scale->axes == kScaleBothAxes || scale->axes == kScaleOnlyVertical;
}

void ScalePointToDevice(const PortScale* scale, Point32* points, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        if (ScalesHorizontal(scale))
            points[i].h = MulDivRound(points[i].h, scale->hFactor, kScaleOne);
        if (ScalesVertical(scale))
            points[i].v = MulDivRound(points[i].v, scale->vFactor, kScaleOne);
    }
}

void UnscalePoints(const PortScale* scale, Point32* points, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        if (ScalesHorizontal(scale))
            points[i].h = MulDivRound(points[i].h, kScaleOne, scale->hFactor);
        if (ScalesVertical(scale))
            points[i].v = MulDivRound(points[i].v, kScaleOne, scale->vFactor);
    }
}

namespace {
// One axis of a rectangle: near and far edge.
void ScaleSpan(int32_t& nearEdge, int32_t& farEdge, int32_t factor, int32_t extra) {
    bool wasEmpty = farEdge <= nearEdge;
    nearEdge = MulDivRound(nearEdge, factor, kScaleOne);
    farEdge = MulDivRound(farEdge - 1, factor, kScaleOne) + extra;
    if (!wasEmpty && factor < kScaleOne && farEdge <= nearEdge) farEdge = nearEdge + 1;
}
} // namespace

void ScaleRectToDevice(const PortScale* scale, Rect32* rect) {
    bool both = scale->axes == kScaleBothAxes;
    if (ScalesHorizontal(scale))
        ScaleSpan(rect->left, rect->right, scale->hFactor, both ? scale->roundH : 1);
    if (ScalesVertical(scale))
        ScaleSpan(rect->top, rect->bottom, scale->vFactor, both ? scale->roundV : 1);
}

int32_t ScalePenSize(const PortScale* scale, int32_t size) {
    if (scale->axes != kScaleBothAxes) return size;
    int32_t scaled = MulDivRound(size, scale->vFactor, kScaleOne);
    if (scale->vFactor < kScaleOne && scaled < 1) scaled = 1;
    return scaled;
}
