// The current surface of a window object and invalidation in its
// coordinates.
//
// A surface maps content coordinate c to pane coordinate rect edge + c -
// scroll position on each axis it scrolls on.
#include "toolbox/core/windowsurface.h"

#include <algorithm>

#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowscale.h"

namespace {

SurfaceList* ListOf(const WindowObject* window) {
    return static_cast<SurfaceList*>(window->surfaceList);
}

int16_t Clamp16(int32_t v) {
    return int16_t(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX));
}

} // namespace

int32_t CurrentWindowSurface(const WindowObject* window) {
    return window->currentSurface;
}

int32_t SelectWindowSurface(WindowObject* window, int32_t index) {
    if (index < 0 || !SurfaceAt(ListOf(window), index)) index = kMainSurfaceIndex;
    window->currentSurface = int8_t(index);
    if (SurfaceList* list = ListOf(window)) list->current = int8_t(index);
    return index;
}

void InvalidateWindowArea(WindowObject* window, const Rect16* rect, uint8_t add) {
    PaneRecord* pane = static_cast<PaneRecord*>(window->pane);
    if (!pane || (rect && RectIsEmpty(rect))) return;
    Rect16 area = {0, 0, kWholePortExtent, kWholePortExtent};
    const SurfaceRecord* surface = SurfaceAt(ListOf(window), window->currentSurface);
    if (rect) {
        area = *rect;
        ScaleRectForPort(window, &area);
        if (surface) {
            int32_t dv = surface->rect.top - surface->positionV;
            int32_t dh = surface->rect.left - surface->positionH;
            area = {Clamp16(area.top + dv), Clamp16(area.left + dh), Clamp16(area.bottom + dv),
                    Clamp16(area.right + dh)};
        }
    }
    RegionRecord* region = NewRectRegion(&area);
    RegionRecord* cut = NewRegion();
    if (region && cut) {
        CombineRegions(region, region, pane->region, kRegionAnd);
        if (rect && surface) {
            SetRegionToShortRect(cut, &surface->rect);
            CombineRegions(region, region, cut, kRegionAnd);
        }
        HostInvalidate(pane->port, region, add);
    }
    DisposeRegion(region);
    DisposeRegion(cut);
}

namespace {

void MainSurfaceSize(const WindowObject* window, int32_t* height, int32_t* width) {
    *height = *width = 0;
    if (const SurfaceRecord* main = SurfaceAt(ListOf(window), kMainSurfaceIndex)) {
        *height = int32_t(main->rect.bottom) - main->rect.top;
        *width = int32_t(main->rect.right) - main->rect.left;
    }
}

} // namespace

void WindowScaleFactors(const WindowObject* window, double* h, double* v) {
    if (window->type == kWindowTypePrint) {
        *h = *v = 1.0;
        return;
    }
    int32_t height, width;
    MainSurfaceSize(window, &height, &width);
    *h = ScaleFitRatio(width, window->width);
    *v = ScaleFitRatio(height, window->height);
}

bool SetWindowScale(WindowObject* window, double h, double v) {
    SelectWindowSurface(window, kMainSurfaceIndex);
    int32_t height, width, hf, vf;
    MainSurfaceSize(window, &height, &width);
    WindowScaleRatiosToFactors(window, h, v, height, width, &hf, &vf);
    return SetWindowScaleFactors(window, hf, vf);
}

bool SetWindowScalePercent(WindowObject* window, int32_t horizontalPercent,
                           int32_t verticalPercent) {
    double h, v;
    ScalePercentRatios(horizontalPercent, verticalPercent, &h, &v);
    bool changed = SetWindowScale(window, h, v);
    window->percentHorizontal = ScalePercentInDeviceUnits(window->horizontalScale);
    window->percentVertical = ScalePercentInDeviceUnits(window->verticalScale);
    return changed;
}
