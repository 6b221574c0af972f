// Disposal of window objects and the close-all walks.
//
// Disposal order: mark closing, hide, owned windows (by sequence number,
// each found again before it goes), the windows this one disabled, the
// dispose notice, the loop level, the dialog items, then the panes and the
// native window, the id, the regions and the record.
#include "toolbox/core/windowdispose.h"

#include <vector>

#include "toolbox/core/bitmaprecord.h"
#include "toolbox/core/drawingstate.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/growarray.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/printport.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowlist.h"

namespace {

bool g_closeRefused = false;
constexpr int32_t kFrameWindowId = -1;

PortRecord* PortOf(const WindowObject* window) {
    return window->type == kWindowTypeNative ? static_cast<PortRecord*>(window->port) : nullptr;
}

bool PaneInside(const PaneRecord* pane, const PaneRecord* top) {
    for (; pane; pane = pane->parent)
        if (pane == top) return true;
    return false;
}

void DisposeOwned(WindowObject* window) {
    std::vector<int32_t> ids(OwnedWindowIds(window, nullptr, 0));
    OwnedWindowIds(window, ids.data(), int32_t(ids.size()));
    for (int32_t id : ids) {
        WindowObject* child = WindowObjectFromId(id);
        if (child && child->owner == window && child->kind != kKindKeptChild)
            DisposeWindowObject(child);
    }
}

} // namespace

void ReenableOtherWindows(WindowObject* window) {
    GrowArray list = window->disabledList;
    window->disabledList = nullptr;
    if (!list) return;
    for (int32_t i = 0; i < GrowArrayCount(list); ++i) {
        int32_t id = *static_cast<int32_t*>(GrowArrayAt(list, i));
        if (id == kFrameWindowId || WindowObjectFromId(id)) WindowNative().enableWindow(id);
    }
    DisposeGrowArray(list);
}

namespace {

void DisposePanes(WindowObject* window, bool focusInside) {
    PaneRecord* pane = static_cast<PaneRecord*>(window->pane);
    PortRecord* port = PortOf(window);
    WindowObject* owner = window->owner;
    if (!owner && pane) {
        // Kept children (kind 6) outlive their owner: they lose its panes,
        // port and link here rather than keep freed ones.
        std::vector<int32_t> kept(OwnedWindowIds(window, nullptr, 0));
        OwnedWindowIds(window, kept.data(), int32_t(kept.size()));
        for (int32_t id : kept) {
            WindowObject* child = WindowObjectFromId(id);
            if (!child || !child->pane) continue;
            DisposeSurfaceList(static_cast<SurfaceList*>(child->surfaceList));
            child->pane = child->surfaceList = child->port = nullptr;
            child->owner = nullptr;
        }
    }
    if (pane) {
        DisposeSurfaceList(pane->surfaceList);
        if (port && PaneInside(port->trackingPane, pane)) port->trackingPane = nullptr;
        if (port && PaneInside(port->cursorPane, pane)) port->cursorPane = nullptr;
        if (port && focusInside) port->focusPane = nullptr;
    }
    window->pane = window->surfaceList = nullptr;
    if (!owner) {
        if (port) {
            DisposePaneTree(port);
            WindowNative().disposeNative(window);
        } else if (pane) {
            DisposePane(pane);
        }
        return;
    }
    if (!pane) return;
    if (owner->flags & kWindowFlagClosing)
        pane->window = nullptr; // the owner's disposal frees the panes
    else
        DisposePane(pane);
    if (focusInside && port && !port->focusPane && !(owner->flags & kWindowFlagClosing)) {
        port->focusPane = static_cast<PaneRecord*>(owner->pane);
        SendFocusEvent(owner, true);
    }
}

void DisposeRegions(WindowObject* window) {
    DisposeRegion(window->region);
    window->region = nullptr;
    if (GrowArray list = window->regionList) {
        for (int32_t i = 0; i < GrowArrayCount(list); ++i)
            DisposeRegion(*static_cast<RegionRecord**>(GrowArrayAt(list, i)));
        DisposeGrowArray(list);
        window->regionList = nullptr;
    }
}

void FallBackCurrentPort(int32_t currentId) {
    if (currentId && WindowObjectFromId(currentId)) return;
    WindowObject* front = FindNextWindowOfKinds(nullptr, kKindsDocumentOrDialog, 1);
    if (!front) front = FindNextWindowOfKinds(nullptr, kKindsAny, 0);
    DrawingLayer().setCurrentPort(GraphicsPortOf(front));
}

} // namespace

void DisposeWindowObject(WindowObject* window) {
    if (!window || (window->flags & kWindowFlagClosing)) return;
    WindowObject* current = WindowObjectOfPort(DrawingLayer().currentPort());
    int32_t currentId = current ? current->sequence : 0;
    window->flags |= kWindowFlagClosing;
    int32_t id = window->sequence;
    if (window->type == kWindowTypeNative) {
        if (!window->owner) WindowNative().hideNative(window);
        bool focusInside = false;
        PortRecord* port = PortOf(window);
        if (window->owner && !(window->owner->flags & kWindowFlagClosing) && port)
            focusInside = PaneInside(port->focusPane, static_cast<PaneRecord*>(window->pane));
        DisposeOwned(window);
        ReenableOtherWindows(window);
        SendDisposeNotice(window);
        if (auto* level = static_cast<EventLoopLevel*>(window->loopToken))
            EndEventLoopLevel(level->token, false);
        window->loopToken = nullptr;
        DialogLayer().disposeAllItems(window);
        DisposePanes(window, focusInside);
    }
    EndPrintJob(PrintJobOf(window));
    DisposeOffscreenState(window);
    if (WindowObjectFromId(id) != window) return;
    DisposeRegions(window);
    FreeWindowObjectRecord(window);
    FallBackCurrentPort(currentId);
}

bool CloseWindowsOfKinds(bool ask) {
    std::vector<int32_t> ids;
    for (WindowObject* w = WindowNative().firstWindow(); w; w = WindowNative().nextWindow(w)) {
        bool asked = w->kind <= kKindFloating && w->type == kWindowTypeNative;
        if (asked || !ask) ids.push_back(w->sequence);
    }
    g_closeRefused = false;
    for (int32_t id : ids) {
        WindowObject* w = WindowObjectFromId(id);
        if (!w) continue;
        if (ask) {
            SendWindowCloseEvent(w, true);
            if (g_closeRefused) return false;
        } else {
            DisposeWindowObject(w);
        }
    }
    return true;
}

bool RequestCloseAllWindows() {
    return CloseWindowsOfKinds(true);
}

bool DisposeAllWindows() {
    return CloseWindowsOfKinds(false);
}

void RefuseClose() {
    g_closeRefused = true;
}
