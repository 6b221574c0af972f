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
