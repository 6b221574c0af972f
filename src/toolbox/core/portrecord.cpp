// The port list and the window-event receiver.
#include "toolbox/core/portrecord.h"

#include "toolbox/core/hooktable.h"

#include "toolbox/core/eventconvert.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/portdispatch.h"
#include "toolbox/core/standardwindow.h"
#include "toolbox/core/ticks.h"
#include "toolbox/core/timertask.h"
#include "toolbox/core/windowidle.h"

namespace {
PortRecord* g_ports = nullptr;

uint32_t NoOptions(void*) {
    return 0;
}
EventReceiver* NoReceiver(void* window) {
    return LoopHooks().windowReceiver(window);
}
Point16 DefaultLimit(PortRecord*, bool upper) {
    return upper ? Point16{0x7FFF, 0x7FFF} : Point16{0, 0};
}
void NoTell(PortRecord*, int32_t) {}
void NoHelpTag() {}
void NoSize(PortRecord*, const Rect16*) {}
void NoMenus() {}
void NoFollowUp(PortRecord*) {}
void NoTagCheck(const OsEventRecord*) {}

const PortHooks kDefaults{&NoOptions, &NoReceiver, &DefaultLimit, &NoTell,    &NoHelpTag,
                          &NoSize,    &NoMenus,    &NoFollowUp,   &NoTagCheck};
PortHooks g_hooks = kDefaults;
PortNativeLinkProc g_nativeLink = nullptr;
// The port that took the last content click; its mouse-up goes there.
PortRecord* g_clickTarget = nullptr;

int32_t Dispatch(PortRecord* port, uint16_t what, uintptr_t message, uint16_t modifiers) {
    OsEventRecord record;
    OsNullRecord(&record);
    record.what = what;
    record.message = message;
    record.modifiers = modifiers;
    DispatchToEventHandlers(port, &record);
    return kEventResultOk;
}

// A mouse record of the what code and message at the event's point and
// modifiers.
OsEventRecord MouseRecord(EventObject event, uint16_t what, uintptr_t message) {
    uint32_t modifiers = 0;
    Point16 where{0, 0};
    EventParamGet(event, kParamModifiers, FourCC("magn"), sizeof(modifiers), &modifiers);
    EventParamGet(event, kParamMouseLocation, kEventTypeQdPoint, sizeof(where), &where);
    OsEventRecord record;
    OsNullRecord(&record);
    record.what = what;
    record.message = message;
    record.modifiers = uint16_t(modifiers);
    record.when = GetTicks();
    record.where = where;
    record.whereV = where.v;
    record.whereH = where.h;
    return record;
}

// 'mbtn' (1 the primary button) as a record's message (0 the primary).
uintptr_t ButtonMessage(EventObject event) {
    uint16_t button = 1;
    EventParamGet(event, kParamMouseButton, FourCC("mbtn"), sizeof(button), &button);
    return uintptr_t(button ? button - 1 : 0);
}

int32_t DispatchMouseRecord(PortRecord* port, EventObject event, uint16_t what, uintptr_t message) {
    OsEventRecord record = MouseRecord(event, what, message);
    DispatchToEventHandlers(port, &record);
    return kEventResultOk;
}

// A mouse-moved record: the window part under the point as message; the
// help tag goes first when the mouse left its entry.
int32_t SendMouseMoved(PortRecord* port, EventObject event) {
    int16_t part = 0;
    EventParamGet(event, kParamWindowPart, kTypeWindowPart, sizeof(part), &part);
    OsEventRecord record = MouseRecord(event, kPortWhatMouseMoved, uintptr_t(uint16_t(part)));
    g_hooks.checkHelpTag(&record);
    DispatchToEventHandlers(port, &record);
    return kEventResultOk;
}

int32_t WindowKindToRecord(EventObject event, PortRecord* port) {
    int16_t part = 0;
    switch ((*event)->kind) {
    case kWindowDrawContentKind:
        return Dispatch(port, kOsWhatUpdate, uintptr_t(port->nativeWindow), 0);
    case kWindowActivatedSelfKind:
        return Dispatch(port, kOsWhatActivate, uintptr_t(port->nativeWindow), kModActiveFlag);
    case kWindowDeactivatedSelfKind:
        return Dispatch(port, kOsWhatActivate, uintptr_t(port->nativeWindow), 0);
    case kWindowCloseKind:
        return Dispatch(port, kPortWhatClose, uintptr_t(port->nativeWindow), 0);
    case kWindowZoomKind:
        EventParamGet(event, kParamWindowPart, kTypeWindowPart, sizeof(part), &part);
        return Dispatch(port, part == kPartZoomIn ? kPortWhatZoomOut : kPortWhatZoomIn,
                        uintptr_t(port->nativeWindow), 0);
    case kWindowClickContentKind: {
        g_hooks.mouseMovedFollowUp(port);
        g_clickTarget = port;
        return DispatchMouseRecord(port, event, kOsWhatMouseDown, ButtonMessage(event));
    }
    case kWindowBoundsChangedKind: {
        uint32_t attributes = 0;
        Rect16 content{0, 0, 0, 0};
        EventParamGet(event, kParamAttributes, FourCC("magn"), sizeof(attributes), &attributes);
        if (!(attributes & kBoundsSizeChanged)) return kEventNotHandled;
        EventParamGet(event, kParamCurrentBounds, FourCC("qdrt"), sizeof(content), &content);
        PortResized(port, &content);
        return kEventResultOk;
    }
    case kWindowClosedKind:
        if (!LoopHooks().frontNonFloatingWindow()) g_hooks.updateMenus();
        return kEventResultOk;
    case kWindowResizeStartedKind:
        if (g_hooks.nativeOptions(port->nativeWindow) & kOptionLiveResize) port->liveResize = true;
        return kEventResultOk;
    case kWindowResizeCompletedKind:
        port->liveResize = false;
        g_hooks.tellRootPane(port, 0);
        return kEventResultOk;
    case kWindowGetMinimumSizeKind:
    case kWindowGetMaximumSizeKind: {
        Point16 limit = g_hooks.rootPaneLimit(port, (*event)->kind == kWindowGetMaximumSizeKind);
        EventParamSet(event, kParamDimensions, kEventTypeQdPoint, sizeof(limit), &limit);
        return kEventResultOk;
    }
    default:
        return kEventNotHandled;
    }
}
} // namespace

void SetPortHooks(const PortHooks* hooks) {
    PortHooks given = hooks ? *hooks : PortHooks{};
    PickProc(g_hooks.nativeOptions, given.nativeOptions, kDefaults.nativeOptions);
    PickProc(g_hooks.nativeReceiver, given.nativeReceiver, kDefaults.nativeReceiver);
    PickProc(g_hooks.rootPaneLimit, given.rootPaneLimit, kDefaults.rootPaneLimit);
    PickProc(g_hooks.tellRootPane, given.tellRootPane, kDefaults.tellRootPane);
    PickProc(g_hooks.hideHelpTag, given.hideHelpTag, kDefaults.hideHelpTag);
    PickProc(g_hooks.sizeRootPane, given.sizeRootPane, kDefaults.sizeRootPane);
    PickProc(g_hooks.updateMenus, given.updateMenus, kDefaults.updateMenus);
    PickProc(g_hooks.mouseMovedFollowUp, given.mouseMovedFollowUp, kDefaults.mouseMovedFollowUp);
    PickProc(g_hooks.checkHelpTag, given.checkHelpTag, kDefaults.checkHelpTag);
}

void WindowObjectLink(PortRecord* port, void* nativeWindow, uint32_t flags,
                      PortEventProcType proc) {
    port->next = g_ports;
    g_ports = port;
    port->nativeWindow = nativeWindow;
    port->window = nativeWindow;
    port->eventProc = proc;
    port->flags = flags;
    port->liveResize = false;
    port->idleInterval = -1;
    port->idleTask = nullptr;
    if (EventReceiver* receiver = g_hooks.nativeReceiver(nativeWindow))
        EventReceiverPushHandler(receiver, &WindowEventReceiver, 0, nullptr, port, nullptr);
    if (g_nativeLink) g_nativeLink(port);
}

void SetPortNativeLink(PortNativeLinkProc procedure) {
    g_nativeLink = procedure;
}

void PortResized(PortRecord* port, const Rect16* content) {
    g_hooks.sizeRootPane(port, content);
    g_hooks.tellRootPane(port, port->liveResize ? 1 : 0);
}

void HidePortHelpTag() {
    g_hooks.hideHelpTag();
}

void CheckPortHelpTag(const OsEventRecord* record) {
    g_hooks.checkHelpTag(record);
}

void UpdatePortMenus() {
    g_hooks.updateMenus();
}

int32_t DispatchPortRecord(PortRecord* port, uint16_t what) {
    return Dispatch(port, what, uintptr_t(port->nativeWindow), 0);
}

void EndPortContentClick(EventObject event) {
    PortRecord* port = g_clickTarget;
    g_clickTarget = nullptr;
    if (port) DispatchMouseRecord(port, event, kOsWhatMouseUp, ButtonMessage(event));
}

void DisposePortRecord(PortRecord* port) {
    if (g_clickTarget == port) g_clickTarget = nullptr;
    if (port->idleTask) RemoveTimerTask(port->idleTask);
    port->idleTask = nullptr;
    for (PortRecord** link = &g_ports; *link; link = &(*link)->next) {
        if (*link == port) {
            *link = port->next;
            break;
        }
    }
    port->next = nullptr;
}

PortRecord* FindPortOfNativeWindow(void* nativeWindow) {
    for (PortRecord* p = g_ports; p; p = p->next)
        if (p->nativeWindow == nativeWindow) return p;
    return nullptr;
}

int32_t DispatchToEventHandlers(PortRecord* port, OsEventRecord* record) {
    if (!port || !port->eventProc) return kEventNotHandled;
    LoopDispatchEnter();
    int32_t result = port->eventProc(port, record);
    LoopDispatchLeave();
    return result;
}

int32_t SendEventObjectCounted(EventObject event, EventReceiver* receiver) {
    LoopDispatchEnter();
    int32_t result = SendEventToReceiver(event, receiver);
    LoopDispatchLeave();
    return result;
}

int32_t MouseButtonOfRecord(const OsEventRecord* record) {
    return int32_t(record->message & 3);
}

int32_t WindowEventReceiver(EventCallRef*, EventObject event, void* userData) {
    auto* port = static_cast<PortRecord*>(userData);
    uint32_t eventClass = (*event)->eventClass;
    uint32_t kind = (*event)->kind;
    if (eventClass == kEventClassWindow) return WindowKindToRecord(event, port);
    if (eventClass == kEventClassMouse && kind == kMouseDownKind) {
        g_hooks.hideHelpTag();
        return kEventNotHandled;
    }
    if (eventClass == kEventClassMouse && kind == kMouseMovedKind) {
        if (!IsPortActive(port)) {
            g_hooks.hideHelpTag();
            return kEventNotHandled;
        }
        return SendMouseMoved(port, event);
    }
    if (eventClass == kEventClassMouse && kind == kMouseWheelKind) {
        void* front = LoopHooks().frontNonFloatingWindow();
        PortRecord* target = front ? FindPortOfNativeWindow(front) : nullptr;
        if (!target) return kEventNotHandled;
        int32_t delta = 0;
        uint16_t axis = 1;
        uint32_t modifiers = 0;
        EventParamGet(event, kParamWheelDelta, FourCC("long"), sizeof(delta), &delta);
        EventParamGet(event, kParamWheelAxis, FourCC("mwax"), sizeof(axis), &axis);
        EventParamGet(event, kParamModifiers, FourCC("magn"), sizeof(modifiers), &modifiers);
        modifiers = axis == 0 ? (modifiers | kModShift) : (modifiers & ~uint32_t(kModShift));
        Dispatch(target, kPortWhatWheel, uintptr_t(uint32_t(delta * kWheelDeltaStep)),
                 uint16_t(modifiers));
        g_hooks.mouseMovedFollowUp(target);
        return kEventResultOk;
    }
    if (eventClass == kEventClassKeyboard && (kind == kKeyDownKind || kind == kKeyRepeatKind)) {
        uint32_t modifiers = 0, code = 0;
        char character = 0;
        EventParamGet(event, kParamModifiers, FourCC("magn"), sizeof(modifiers), &modifiers);
        if (modifiers & kModCommand) return kEventNotHandled;
        EventParamGet(event, kParamKeyCode, FourCC("magn"), sizeof(code), &code);
        EventParamGet(event, kParamKeyChar, FourCC("TEXT"), 1, &character);
        return Dispatch(port, kind == kKeyDownKind ? kOsWhatKeyDown : kOsWhatAutoKey,
                        uintptr_t((code << 8) | uint8_t(character)), uint16_t(modifiers));
    }
    return kEventNotHandled;
}

const PortHooks& CurrentPortHooks() {
    return g_hooks;
}
