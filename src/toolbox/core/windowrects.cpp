// Local rectangles of window objects and tree invalidation.
#include "toolbox/core/windowrects.h"

#include <algorithm>
#include <vector>

#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/printport.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowdisplay.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowscale.h"
#include "toolbox/core/windowsurface.h"

namespace {

int32_t Unscale(int64_t value, int32_t factor) {
    if (factor <= 0 || factor == kScaleOne) return int32_t(value);
    return int32_t(std::clamp<int64_t>(value * kScaleOne / factor, INT32_MIN, INT32_MAX));
}

const SurfaceList* ListOf(const WindowObject* window) {
    return window && window->type == kWindowTypeNative
               ? static_cast<const SurfaceList*>(window->surfaceList)
               : nullptr;
}

void LocalRectOf(const WindowObject* window, int32_t index, Rect16* out) {
    *out = {0, 0, 0, 0};
    const SurfaceList* list = ListOf(window);
    const SurfaceRecord* s = list ? SurfaceAt(list, index) : nullptr;
    if (!s) return;
    Rect32 local{
        Unscale(s->positionV, window->verticalScale),
        Unscale(s->positionH, window->horizontalScale),
        Unscale(int64_t(s->positionV) + s->rect.bottom - s->rect.top, window->verticalScale),
        Unscale(int64_t(s->positionH) + s->rect.right - s->rect.left, window->horizontalScale)};
    RectFromRect32(&local, out);
}

} // namespace

Point32 PanePointToSurface(const WindowObject* window, const SurfaceList* list, int32_t v,
                           int32_t h) {
    if (const SurfaceRecord* s = SurfaceAt(list, list->current)) {
        v = v - s->rect.top + s->positionV;
        h = h - s->rect.left + s->positionH;
    }
    return {Unscale(v, window->verticalScale), Unscale(h, window->horizontalScale)};
}

void WindowSurfaceRect(const WindowObject* window, Rect16* out) {
    if (const PrintJob* job = PrintJobOf(window)) {
        *out = job->page;
        return;
    }
    LocalRectOf(window, window ? window->currentSurface : kMainSurface, out);
}

void WindowContentRectGlobal(const WindowObject* window, Rect16* out, bool mainOfDocument) {
    const auto* list = window ? static_cast<const SurfaceList*>(window->surfaceList) : nullptr;
    auto* pane = window ? static_cast<PaneRecord*>(window->pane) : nullptr;
    int32_t index = mainOfDocument && window && window->kind == kKindDocument
                        ? kMainSurface
                        : (window ? window->currentSurface : kMainSurface);
    const SurfaceRecord* s = SurfaceAt(list, index);
    if (!s || !pane || window->type != kWindowTypeNative) {
        WindowSurfaceRect(window, out);
        return;
    }
    // Pane rectangles are in the port's coordinates whatever the depth of
    // the owners: only the port's place in the frame is added.
    Point32 topLeft = HostPortGlobal(pane->port, Point32{s->rect.top, s->rect.left});
    Point32 bottomRight = HostPortGlobal(pane->port, Point32{s->rect.bottom, s->rect.right});
    Rect32 global{topLeft.v, topLeft.h, bottomRight.v, bottomRight.h};
    RectFromRect32(&global, out);
}

void WindowViewRect(const WindowObject* window, Rect16* out) {
    LocalRectOf(window, kMainSurface, out);
}

void WindowContentRectAtOrigin(const WindowObject* window, Rect16* out) {
    WindowSurfaceRect(window, out);
    RectMoveTopLeft(out, 0, 0);
}

Point16 WindowContentSize(const WindowObject* window) {
    Rect16 r;
    WindowContentRectAtOrigin(window, &r);
    return {r.bottom, r.right};
}

void InvalidateWindowTree(WindowObject* window, uint32_t flags) {
    if (!window || window->type != kWindowTypeNative) return;
    std::vector<int32_t> ids{window->sequence};
    if (flags & kTreeOwnedWindows) {
        std::vector<int32_t> owned(OwnedWindowIds(window, nullptr, 0));
        OwnedWindowIds(window, owned.data(), int32_t(owned.size()));
        ids.insert(ids.end(), owned.begin(), owned.end());
    }
    for (int32_t id : ids) {
        WindowObject* w = WindowObjectFromId(id);
        auto* pane = w ? static_cast<PaneRecord*>(w->pane) : nullptr;
        if (!pane) continue;
        if (flags & kTreeWholePane) {
            HostInvalidate(pane->port, pane->region, kAreaInvalidate);
            continue;
        }
        int32_t current = w->currentSurface;
        SelectWindowSurface(w, kMainSurface);
        InvalidateWindowArea(w, nullptr, kAreaInvalidate);
        SelectWindowSurface(w, current);
    }
}

void RedrawWindowTree(WindowObject* window, uint32_t flags) {
    InvalidateWindowTree(window, flags);
    UpdateWindowNow(window);
}

void ShowChildWindow(WindowObject* child, bool show, bool redraw) {
    auto* pane = child ? static_cast<PaneRecord*>(child->pane) : nullptr;
    if (!pane || !child->owner) return;
    if (show)
        ShowPane(pane);
    else
        HidePane(pane);
    if (redraw) UpdateWindowNow(child);
}

void RedrawPaneTree(PaneRecord* pane) {
    if (!pane || !(pane->flags & kPaneRedrawWhole) || !pane->region) return;
    int32_t id = pane->id;
    PortRecord* port = pane->port;
    PaneRecord* root = port->rootPane;
    int32_t rootId = root ? root->id : 0;
    HostBeginDraw(port, pane->region);
    OsEventRecord record;
    OsNullRecord(&record);
    record.what = kOsWhatUpdate;
    SendPaneMessageTree(pane, kPaneMessageFrame, &record);
    if (PaneFromId(id) == pane) SendPaneMessageTree(pane, kPaneMessageContent, &record);
    // The port goes with its root pane when a callback disposed the window.
    if (root && PaneFromId(rootId) == root) HostEndDraw(port);
}

void RedrawChildPanes(WindowObject* window) {
    auto* root = window && window->type == kWindowTypeNative
                     ? static_cast<PaneRecord*>(window->pane)
                     : nullptr;
    if (!root) return;
    std::vector<int32_t> children;
    for (PaneRecord* child = root->firstChild; child; child = child->nextSibling)
        children.push_back(child->id);
    for (int32_t id : children)
        RedrawPaneTree(PaneFromId(id));
}
