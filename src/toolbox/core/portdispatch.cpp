// Port-level routing of native records.
#include "toolbox/core/portdispatch.h"

#include "toolbox/core/keycommand.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/surfaceproc.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowidle.h"
#include "toolbox/core/windowlist.h"

namespace {

constexpr int32_t kNotHandled = -9874;

WindowObject* WindowOf(const PortRecord* port) {
    return static_cast<WindowObject*>(port->owner);
}

// Sends to the pane unless it is gone (found by id).
int32_t SendToPane(PaneRecord* pane, int32_t message, void* data) {
    if (!pane || !PaneFromId(pane->id)) return kNotHandled;
    return SendPaneMessage(pane, message, data);
}

PaneRecord* KeyPane(PortRecord* port) {
    return port->focusPane ? port->focusPane : port->rootPane;
}

// The record's point (frame-client coordinates) made port-local.
void MakePortLocal(PortRecord* port, OsEventRecord* record) {
    Point32 local = HostPortLocal(port, {record->whereV, record->whereH});
    record->whereV = local.v;
    record->whereH = local.h;
    PointToShort(&local, &record->where);
}

int32_t MouseRouting(PortRecord* port, OsEventRecord* record) {
    MakePortLocal(port, record);
    switch (record->what) {
    case kOsWhatMouseDown: {
        PaneRecord* pane = PaneAtPoint(port->rootPane, record->where);
        port->trackingPane = pane;
        if (!pane) return kNotHandled;
        record->what = kPortWhatClickSurface;
        return SendToPane(pane, kPortWhatClickSurface, record);
    }
    case kOsWhatMouseUp:
        return SendToPane(port->trackingPane, kOsWhatMouseUp, record);
    default:
        return SendToPane(KeyPane(port), record->what, record);
    }
}

int32_t UpdatePort(PortRecord* port, OsEventRecord* record) {
    PaneRecord* root = port->rootPane;
    if (!root) return kNotHandled;
    RegionRecord* pending = NewRegion();
    if (!pending) return kNotHandled;
    HostPendingUpdate(port, pending);
    if (!IsRegionEmpty(pending)) {
        int32_t id = root->id;
        SendPaneMessageTree(root, kPaneMessageFrame, record);
        if (PaneFromId(id) == root) SendPaneMessageTree(root, kPaneMessageContent, record);
        // The port goes with its root pane when a callback disposed the window.
        if (PaneFromId(id) == root) HostInvalidate(port, pending, kAreaValidate);
    }
    DisposeRegion(pending);
    return 0;
}

int32_t ActivatePort(PortRecord* port, OsEventRecord* record) {
    bool active = record->modifiers & kModActiveFlag;
    WindowIdleActivate(port, active);
    if (port->rootPane) SendPaneMessageTree(port->rootPane, kOsWhatActivate, record);
    return 0;
}

int32_t SetPaneCursor(PortRecord* port, OsEventRecord* record) {
    MakePortLocal(port, record);
    PaneRecord* pane = port->rootPane ? PaneAtPoint(port->rootPane, record->where) : nullptr;
    PaneRecord* previous = port->cursorPane;
    int32_t paneId = pane ? pane->id : 0;
    int32_t rootId = port->rootPane ? port->rootPane->id : 0;
    if (previous && previous != pane) {
        SendToPane(previous, kPortWhatMouseMoved, record);
        if (!PaneFromId(rootId)) return 0;
    }
    if (pane && PaneFromId(paneId) != pane) pane = nullptr;
    port->cursorPane = pane;
    if (!pane) {
        WindowNative().setCursor(0);
        return 0;
    }
    return SendToPane(pane, kPortWhatMouseMoved, record);
}

} // namespace

int32_t PortRecordDefault(PortRecord* port, OsEventRecord* record) {
    switch (record->what) {
    case kOsWhatMouseDown:
    case kOsWhatMouseUp:
    case kPortWhatWheel:
        return MouseRouting(port, record);
    case kOsWhatKeyDown:
    case kOsWhatAutoKey:
    case kModifiersChanged:
        return SendToPane(KeyPane(port), record->what, record);
    case kOsWhatUpdate:
        return UpdatePort(port, record);
    case kOsWhatActivate:
        return ActivatePort(port, record);
    case kPortWhatClose:
        return 0;
    case kPortWhatMouseMoved:
        return SetPaneCursor(port, record);
    default:
        return SendToPane(port->rootPane, record->what, record);
    }
}

int32_t PortEventProc(PortRecord* port, OsEventRecord* record) {
    WindowObject* window = WindowOf(port);
    switch (record->what) {
    case kOsWhatKeyDown:
    case kOsWhatAutoKey:
        if (MatchKeyCommand(record)) return 0;
        if (window && !(window->flags & kWindowFlagOwnKeys)) {
            int32_t id = window->sequence;
            if (DialogLayer().filterKey(window, record)) return 0;
            if (WindowObjectFromId(id) != window) return 0;
            if (DialogLayer().focusedItemEvent(window, record)) return 0;
            if (WindowObjectFromId(id) != window) return 0;
        }
        return PortRecordDefault(port, record);
    case kPortWhatClose:
        if (window) SendWindowCloseEvent(window, false);
        return 0;
    case kPortWhatWheel:
        if (window) {
            int32_t id = window->sequence;
            if (DialogLayer().focusedItemEvent(window, record)) return 0;
            if (WindowObjectFromId(id) != window) return 0;
        }
        return PortRecordDefault(port, record);
    default:
        return PortRecordDefault(port, record);
    }
}
