// Bit scrolling of surface lists and immediate drawing of what it uncovers.
#include "toolbox/core/surfacescroll.h"

#include <algorithm>

#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/scrollaction.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowlist.h"

namespace {

Rect16 Union(const Rect16& a, const Rect16& b) {
    return {std::min(a.top, b.top), std::min(a.left, b.left), std::max(a.bottom, b.bottom),
            std::max(a.right, b.right)};
}

void ScrollPiece(SurfaceList* list, const Rect16& rect, int32_t dh, int32_t dv,
                 RegionRecord* update) {
    RegionRecord* piece = NewRegion();
    if (!piece) return;
    HostScrollRect(list->pane->port, &rect, -dh, -dv, piece);
    CombineRegions(update, update, piece, kRegionOr);
    DisposeRegion(piece);
}

} // namespace

void DrawPaneRegionNow(PaneRecord* pane, const RegionRecord* region) {
    int32_t id = pane->id;
    PortRecord* port = pane->port;
    HostBeginDraw(port, region);
    OsEventRecord record;
    OsNullRecord(&record);
    record.what = kOsWhatUpdate;
    SendPaneMessage(pane, kPaneMessageContent, &record);
    if (PaneFromId(id) != pane) return; // the port went with the window
    HostEndDraw(port);
    HostInvalidate(port, region, kAreaValidate);
}

void WindowScrollBy(SurfaceList* list, int32_t dh, int32_t dv, RegionRecord* update) {
    SetRegionEmpty(update);
    const SurfaceRecord* main = SurfaceAt(list, kMainSurfaceIndex);
    if ((!dh && !dv) || !main || !list->pane) return;
    const SurfaceRecord* columns = SurfaceAt(list, 0);
    const SurfaceRecord* rows = SurfaceAt(list, 1);
    Rect16 rect = main->rect;
    if (!dv && columns) rect = Union(rect, columns->rect);
    if (!dh && rows) rect = Union(rect, rows->rect);
    ScrollPiece(list, rect, dh, dv, update);
    if (dh && dv) {
        if (columns) ScrollPiece(list, columns->rect, dh, 0, update);
        if (rows) ScrollPiece(list, rows->rect, 0, dv, update);
    }
    CombineRegions(update, update, list->pane->region, kRegionAnd);
    list->flags |= kSurfaceScrolled;
}

void ScrollSurfaceBy(SurfaceList* list, int32_t dv, int32_t dh) {
    int32_t v = std::max(0, list->originV + dv), h = std::max(0, list->originH + dh);
    dv = v - list->originV;
    dh = h - list->originH;
    if (!dv && !dh) return;
    PaneRecord* pane = list->pane;
    RegionRecord* update = NewRegion();
    if (!update || !pane) {
        DisposeRegion(update);
        ScrollSurfacesTo(list, v, h, 0);
        return;
    }
    WindowScrollBy(list, dh, dv, update);
    ScrollSurfacesTo(list, v, h, kScrollKeepUpdate);
    WindowObject* window = pane->window;
    if (!IsRegionEmpty(update)) {
        if (window && IsWindowShown(window, 0))
            DrawPaneRegionNow(pane, update);
        else
            HostInvalidate(pane->port, update, kAreaInvalidate);
    }
    DisposeRegion(update);
}

void ScrollSurfaceTo(SurfaceList* list, int32_t v, int32_t h) {
    int32_t wanted[2] = {std::max(v, 0), std::max(h, 0)};
    void* bars[2] = {list->barV, list->barH};
    for (int32_t axis : {int32_t(kBarVertical), int32_t(kBarHorizontal)}) {
        ScrollBarState state = SurfaceBarState(list, axis);
        list->barValues[axis] = std::min(wanted[axis], state.maximum);
        HostSetScrollBarValues(bars[axis], 0, state.maximum, list->barValues[axis]);
        wanted[axis] = ControlValueCache(list, axis);
    }
    ScrollSurfaceBy(list, wanted[0] - list->originV, wanted[1] - list->originH);
}
