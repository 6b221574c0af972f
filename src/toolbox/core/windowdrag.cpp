// Rubber-band outlines and scrolling toward the mouse.
#include "toolbox/core/windowdrag.h"

#include <algorithm>

#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/scrollaction.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/surfaceproc.h"
#include "toolbox/core/ticks.h"
#include "toolbox/core/windowrects.h"

namespace {

constexpr uint32_t kDragPollMs = 10;

int16_t Clamp16(int64_t v) {
    return int16_t(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX));
}

int64_t Scale(int64_t value, int32_t factor) {
    return factor == kScaleOne ? value : value * factor / kScaleOne;
}

// A local point of the current surface in pane coordinates.
Point32 SurfaceToPane(const WindowObject* window, const SurfaceList* list, Point32 p) {
    const SurfaceRecord* s = SurfaceAt(list, list->current);
    int64_t v = Scale(p.v, window->verticalScale), h = Scale(p.h, window->horizontalScale);
    if (s) {
        v = v - s->positionV + s->rect.top;
        h = h - s->positionH + s->rect.left;
    }
    return {int32_t(v), int32_t(h)};
}

Rect16 Span(Point32 a, Point32 b) {
    return {Clamp16(std::min(a.v, b.v)), Clamp16(std::min(a.h, b.h)), Clamp16(std::max(a.v, b.v)),
            Clamp16(std::max(a.h, b.h))};
}

Point32 MouseInPort(PortRecord* port) {
    Point32 m;
    OsMouseClient(&m);
    return HostPortLocal(port, m);
}

struct ScrollEdge {
    bool on;
    int32_t code, axis;
};
constexpr int32_t kScrollEdgeCount = 4;

// The edges of the main surface (shrunk by 1) the point reaches, along the
// axes the current surface scrolls on; false when it scrolls on none.
bool ScrollEdgesAt(const WindowObject* window, Point16 point,
                   ScrollEdge (&edges)[kScrollEdgeCount]) {
    auto* list = window ? static_cast<const SurfaceList*>(window->surfaceList) : nullptr;
    const SurfaceRecord* main = list ? SurfaceAt(list, kMainSurfaceIndex) : nullptr;
    if (!main || list->current == 2) return false;
    Rect16 r = {int16_t(main->rect.top + 1), int16_t(main->rect.left + 1),
                int16_t(main->rect.bottom - 1), int16_t(main->rect.right - 1)};
    bool vertical = list->current != 0, horizontal = list->current != 1;
    edges[0] = {vertical && point.v <= r.top, kScrollLineBack, kBarVertical};
    edges[1] = {horizontal && point.h <= r.left, kScrollLineBack, kBarHorizontal};
    edges[2] = {vertical && point.v >= r.bottom - 1, kScrollLineForward, kBarVertical};
    edges[3] = {horizontal && point.h >= r.right - 1, kScrollLineForward, kBarHorizontal};
    return true;
}

// The drag that runs (at most one), for the event filter.
struct DragOutlineRecord {
    WindowObject* window;
    const DragOutlineProcs* procs;
    void* data;
    bool inAction; // the action's own dispatches pass
};
DragOutlineRecord* g_drag = nullptr;

constexpr uint32_t kAutoScrollWaitMs = 1;

} // namespace

bool AutoScrollToPoint(WindowObject* window, Point16 point, AutoScrollProc proc, void* data) {
    ScrollEdge edges[kScrollEdgeCount];
    if (!ScrollEdgesAt(window, point, edges)) return false;
    uint32_t began = CurrentTicks();
    auto* list = static_cast<SurfaceList*>(window->surfaceList);
    int32_t id = window->sequence;
    int32_t before = list->originV, beforeH = list->originH;
    for (const ScrollEdge& e : edges) {
        if (!e.on) continue;
        if (proc) {
            proc(window, data);
            if (WindowObjectFromId(id) != window) return true;
        }
        ScrollAction(window, e.code, e.axis, point, 0);
        if (WindowObjectFromId(id) != window) return true;
    }
    bool scrolled = list->originV != before || list->originH != beforeH;
    if (scrolled)
        while (TicksSince(began) < kAutoScrollTicks)
            OsWaitMessage(kAutoScrollWaitMs);
    return scrolled;
}

bool DragOutlineEventFilter(WindowObject* window, WindowEvent* event, int32_t* result) {
    DragOutlineRecord* drag = g_drag;
    if (!drag || drag->inAction || window != drag->window || !drag->procs || !drag->procs->action ||
        window->currentSurface != kMainSurfaceIndex)
        return false;
    drag->inAction = true;
    *result = drag->procs->action(window, event, drag->data);
    drag->inAction = false;
    return true;
}

// The outline on the screen during a drag: hidden around scrolls.
struct ShownOutline {
    PortRecord* port;
    Rect16 rect;
    bool drawn;
    void Hide() {
        if (drawn) HostInvertFrame(port, &rect);
        drawn = false;
    }
};

bool TrackDragOutline(WindowObject* window, bool autoScroll, const DragOutlineProcs* procs,
                      void* data, Rect16* out) {
    *out = {0, 0, 0, 0};
    auto* list = window ? static_cast<SurfaceList*>(window->surfaceList) : nullptr;
    if (!list || !list->pane || g_drag) return false;
    DragOutlineRecord record{window, procs, data, false};
    g_drag = &record;
    const DragOutlineProcs none{};
    if (!procs) procs = &none;
    PortRecord* port = list->pane->port;
    int32_t id = window->sequence;
    Rect16 bounds;
    if (autoScroll)
        bounds = {0, 0, Clamp16(window->height), Clamp16(window->width)};
    else
        WindowSurfaceRect(window, &bounds);
    auto local = [&](Point32 m) {
        Point32 p = PanePointToSurface(window, list, m.v, m.h);
        p = {std::clamp<int32_t>(p.v, bounds.top, bounds.bottom),
             std::clamp<int32_t>(p.h, bounds.left, bounds.right)};
        if (procs->limit) procs->limit(window, &p, data);
        return p;
    };
    Point32 start = local(MouseInPort(port));
    if (WindowObjectFromId(id) != window) {
        g_drag = nullptr;
        return false;
    }
    Point32 now = start;
    ShownOutline shown{port, {}, false};
    bool alive = true;
    while (OsButtonDown(kOsButtonLeft)) {
        Point32 m = MouseInPort(port);
        if (autoScroll) {
            Point16 at;
            PointToShort(&m, &at);
            // The scroll moves the window's bits and draws what it
            // uncovers: the outline goes first and comes back after.
            AutoScrollToPoint(
                window, at,
                [](WindowObject*, void* outline) { static_cast<ShownOutline*>(outline)->Hide(); },
                &shown);
            if (WindowObjectFromId(id) != window) {
                alive = false;
                break;
            }
        }
        Point32 p = local(m);
        if (procs->extra) procs->extra(window, &p, data);
        if (WindowObjectFromId(id) != window) {
            alive = false;
            break;
        }
        if (!shown.drawn || p.v != now.v || p.h != now.h) {
            shown.Hide();
            now = p;
            Point32 a = SurfaceToPane(window, list, start), b = SurfaceToPane(window, list, now);
            shown.rect = Span(a, b);
            HostInvertFrame(port, &shown.rect);
            shown.drawn = true;
        }
        OsWaitMessage(kDragPollMs);
    }
    if (alive) shown.Hide();
    g_drag = nullptr;
    *out = Span(start, now);
    return !RectIsEmpty(out);
}
