// Logical sizes, immediate updates and hit tests of window objects.
#include "toolbox/core/windowdisplay.h"

#include <algorithm>

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/surfacescroll.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowsurface.h"

namespace {

int32_t ToDevice(int32_t logical, int32_t factor) {
    int64_t device = int64_t(logical) * factor / kScaleOne;
    return int32_t(std::clamp<int64_t>(device, 0, INT32_MAX));
}

} // namespace

void ResizeWindowObject(WindowObject* window, int32_t height, int32_t width, uint8_t flag) {
    if (!window) return;
    window->height = height;
    window->width = width;
    auto* list = static_cast<SurfaceList*>(window->surfaceList);
    if (!list) return;
    list->contentHeight = ToDevice(height, window->verticalScale);
    list->contentWidth = ToDevice(width, window->horizontalScale);
    ScrollBarState v = SurfaceBarState(list, 0);
    ScrollBarState h = SurfaceBarState(list, 1);
    ScrollSurfacesTo(list, std::min(list->originV, v.maximum), std::min(list->originH, h.maximum),
                     0);
    if (!flag) return;
    int32_t current = window->currentSurface;
    for (int32_t index : {2, 1, 0, int32_t(kMainSurfaceIndex)}) {
        if (!SurfaceAt(list, index)) continue;
        SelectWindowSurface(window, index);
        InvalidateWindowArea(window, nullptr, kAreaInvalidate);
    }
    SelectWindowSurface(window, current);
}

void UpdateWindowNow(WindowObject* window) {
    if (window) WindowNative().updateNow(RootWindowObject(window));
}

void UpdateWindowPartNow(WindowObject* window) {
    auto* list = window ? static_cast<SurfaceList*>(window->surfaceList) : nullptr;
    const SurfaceRecord* surface = list ? SurfaceAt(list, window->currentSurface) : nullptr;
    if (!surface) return;
    PaneRecord* pane = list->pane;
    RegionRecord* part = NewRegion();
    RegionRecord* cut = NewRectRegion(&surface->rect);
    if (part && cut) {
        HostPendingUpdate(pane->port, part);
        CombineRegions(part, part, cut, kRegionAnd);
        CombineRegions(part, part, pane->region, kRegionAnd);
        if (!IsRegionEmpty(part)) DrawPaneRegionNow(pane, part);
    }
    DisposeRegion(part);
    DisposeRegion(cut);
}

void SetSplitPosition(WindowObject* window, int32_t position) {
    if (!window || window->type != kWindowTypeNative || window->kind != kKindSplitPane) return;
    auto* pane = static_cast<PaneRecord*>(window->pane);
    PaneRecord* before = pane ? pane->splitNeighbours[kNeighbourBefore] : nullptr;
    if (before) SetSplitPositionOfPane(before, position);
}

bool WindowHitTest(Point16 point, WindowHitRecord* out) {
    *out = {point, kPartNone, nullptr, nullptr, kNoSurface};
    void* native = nullptr;
    out->part = LoopHooks().findWindowPart(point, &native);
    out->port = native ? FindPortOfNativeWindow(native) : nullptr;
    if (!out->port || out->part != kPartContent) return false;
    Point32 local = HostPortLocal(out->port, {point.v, point.h});
    Point16 at;
    PointToShort(&local, &at);
    out->pane = PaneAtPoint(out->port->rootPane, at);
    if (!out->pane) return false;
    if (!out->pane->surfaceList) return true;
    out->surface = SurfaceAtPoint(out->pane->surfaceList, at);
    return out->surface != kNoSurface;
}

bool WindowPartUnderMouse(WindowHitRecord* record, bool keepPoint) {
    Point16 point = record->point;
    if (!keepPoint) {
        Point32 mouse;
        OsMouseClient(&mouse);
        PointToShort(&mouse, &point);
    }
    return WindowHitTest(point, record);
}

int32_t WindowSurfaceAtPoint(const WindowObject* window, Point16 point) {
    auto* list = window ? static_cast<const SurfaceList*>(window->surfaceList) : nullptr;
    return list ? SurfaceAtPoint(list, point) : kNoSurface;
}

void SetPenModeForKind(WindowObject* window, int32_t kind) {
    auto* state = static_cast<DrawingState*>(GraphicsPortOf(window));
    if (!state) return;
    int16_t mode = (kind == 1 || kind == 2) ? kPenModeXor : kPenModeCopy;
    if (state->settings.penMode == mode) return;
    state->settings.penMode = mode;
    state->dirty |= kStateDirtyPen | kStateDirtyBrush | kStateDirtyMode;
}
