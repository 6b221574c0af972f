// The standard window handler over the native window operations table.
#include "toolbox/core/standardwindow.h"

#include "toolbox/core/hooktable.h"

#include "toolbox/core/eventconvert.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/oseventqueue.h"

namespace {
int32_t NoType(void*) {
    return 0;
}
bool AlwaysFront(void*) {
    return true;
}
void NoAction(void*) {}
void NoPointAction(void*, Point16) {}
bool NeverChosen(void*, int16_t, Point16) {
    return false;
}
void NoZoom(void*, int16_t) {}
void* NoControl(void*, Point16, int16_t* part) {
    *part = 0;
    return nullptr;
}

const NativeWindowOps kDefaults{&NoType,        &AlwaysFront, &NoAction, &NoPointAction,
                                &NoPointAction, &NeverChosen, &NoAction, &NoZoom,
                                &NoAction,      &NoAction,    &NoAction, &NoControl};
NativeWindowOps g_ops = kDefaults;

struct ClickFacts {
    void* window = nullptr;
    Point16 where{0, 0};
    uint32_t modifiers = 0;
    uint16_t button = 0;
    int16_t part = 0;
};

ClickFacts ReadClick(EventObject event) {
    ClickFacts f;
    EventParamGet(event, kParamWindow, kReceiverWindow, sizeof(f.window), &f.window);
    EventParamGet(event, kParamMouseLocation, kEventTypeQdPoint, sizeof(f.where), &f.where);
    EventParamGet(event, kParamModifiers, FourCC("magn"), sizeof(f.modifiers), &f.modifiers);
    EventParamGet(event, kParamMouseButton, FourCC("mbtn"), sizeof(f.button), &f.button);
    EventParamGet(event, kParamWindowPart, kTypeWindowPart, sizeof(f.part), &f.part);
    return f;
}

EventObject NewWindowEvent(uint32_t kind, const ClickFacts& f) {
    EventObject e = nullptr;
    if (EventObjectNew(kEventClassWindow, kind, &e) != kEventResultOk) return nullptr;
    EventParamSet(e, kParamWindow, kReceiverWindow, sizeof(f.window), &f.window);
    EventParamSet(e, kParamMouseLocation, kEventTypeQdPoint, sizeof(f.where), &f.where);
    EventParamSet(e, kParamModifiers, FourCC("magn"), sizeof(f.modifiers), &f.modifiers);
    EventParamSet(e, kParamMouseButton, FourCC("mbtn"), sizeof(f.button), &f.button);
    EventParamSet(e, kParamWindowPart, kTypeWindowPart, sizeof(f.part), &f.part);
    return e;
}

int32_t SendAndRelease(EventObject e, EventReceiver* receiver) {
    if (!e) return kEventNoMemory;
    int32_t result = receiver ? SendEventToReceiver(e, receiver) : kEventNotHandled;
    EventObjectRelease(e);
    return result;
}

// The same event again under another kind.
int32_t Resend(EventObject event, uint32_t kind, EventReceiver* receiver) {
    EventObject copy = EventObjectCopy(event);
    if (!copy) return kEventNoMemory;
    (*copy)->kind = kind;
    return SendAndRelease(copy, receiver);
}

uint32_t PartEventKind(int16_t part) {
    switch (part) {
    case kPartContent:
        return kWindowClickContentKind;
    case kPartCaption:
        return kWindowClickDragKind;
    case kPartGrow:
        return kWindowClickGrowKind;
    case kPartClose:
        return kWindowClickCloseKind;
    case kPartZoomIn:
    case kPartZoomOut:
        return kWindowClickZoomKind;
    case kPartMinimise:
        return kWindowClickMinimiseKind;
    default:
        return 0;
    }
}

int32_t MouseDown(EventObject event, void* window, EventReceiver* receiver) {
    ClickFacts f = ReadClick(event);
    if (f.window != window || (f.button != 1 && f.part != kPartContent)) return kEventNotHandled;
    int32_t type = g_ops.nativeType(window);
    if ((type == kNativeTypeFloatingWindow || type == kNativeTypeDocumentWindow) &&
        !g_ops.isFrontOfType(window)) {
        EventObject ask = NewWindowEvent(kWindowClickActivationKind, f);
        if (!ask) return kEventNoMemory;
        uint32_t answer = 0;
        EventParamSet(ask, kParamClickActivation, kParamClickActivation, sizeof(answer), &answer);
        SendEventToReceiver(ask, receiver);
        EventParamGet(ask, kParamClickActivation, kParamClickActivation, sizeof(answer), &answer);
        EventObjectRelease(ask);
        if (answer > 1) g_ops.activate(window);
        if (answer == kClickActivateRepost) {
            PostOsEvent(kOsWhatMouseDown, uintptr_t(f.button ? f.button - 1 : 0));
            return kEventResultOk;
        }
        if (!(answer & kClickHandleBit)) return kEventResultOk;
    }
    uint32_t kind = PartEventKind(f.part);
    if (!kind) return kEventNotHandled;
    SendAndRelease(NewWindowEvent(kind, f), receiver);
    return kEventResultOk;
}

int32_t WindowKind(EventObject event, void* window, EventReceiver* receiver) {
    ClickFacts f = ReadClick(event);
    f.window = window;
    switch ((*event)->kind) {
    case kWindowUpdateKind: {
        g_ops.beginUpdate(window);
        int32_t result = Resend(event, kWindowDrawContentKind, receiver);
        g_ops.endUpdate(window);
        return result == kEventNotHandled ? kEventNotHandled : kEventResultOk;
    }
    case kWindowActivatedKind:
        return Resend(event, kWindowActivatedSelfKind, receiver);
    case kWindowDeactivatedKind:
        return Resend(event, kWindowDeactivatedSelfKind, receiver);
    case kWindowClickActivationKind: {
        uint32_t answer = g_ops.nativeType(window) == kNativeTypeFloatingWindow ? 3 : 2;
        EventParamSet(event, kParamClickActivation, kParamClickActivation, sizeof(answer), &answer);
        return kEventResultOk;
    }
    case kWindowClickDragKind:
        g_ops.drag(window, f.where);
        return kEventResultOk;
    case kWindowClickGrowKind:
        g_ops.grow(window, f.where);
        return kEventResultOk;
    case kWindowClickMinimiseKind:
    case kWindowClickZoomKind:
        if (g_ops.trackTitleButton(window, f.part, f.where))
            SendAndRelease(NewWindowEvent((*event)->kind == kWindowClickMinimiseKind
                                              ? kWindowMinimiseKind
                                              : kWindowZoomKind,
                                          f),
                           receiver);
        return kEventResultOk;
    case kWindowClickCloseKind:
        if (g_ops.trackTitleButton(window, kPartClose, f.where))
            SendAndRelease(NewWindowEvent(kWindowCloseKind, f), receiver);
        return kEventResultOk;
    case kWindowClickContentKind: {
        if (f.button == 2) return Resend(event, kWindowContextClickKind, receiver);
        int16_t part = 0;
        if (void* control = g_ops.controlAt(window, f.where, &part)) {
            EventObject click = nullptr;
            if (EventObjectNew(kEventClassControl, kControlClickKind, &click) != kEventResultOk)
                return kEventNoMemory;
            EventParamSet(click, kParamControl, kParamControl, sizeof(control), &control);
            EventParamSet(click, kParamControlPart, kParamControlPart, sizeof(part), &part);
            EventParamSet(click, kParamMouseLocation, kEventTypeQdPoint, sizeof(f.where), &f.where);
            return SendAndRelease(click, receiver);
        }
        return Resend(event, kWindowContentClickNoControlKind, receiver);
    }
    case kWindowMinimiseKind:
        g_ops.minimise(window);
        return kEventResultOk;
    case kWindowCloseKind:
        g_ops.dispose(window);
        return kEventResultOk;
    case kWindowZoomKind:
        g_ops.zoom(window, f.part);
        return kEventResultOk;
    default:
        return kEventNotHandled;
    }
}
} // namespace

void SetNativeWindowOps(const NativeWindowOps* ops) {
    NativeWindowOps given = ops ? *ops : NativeWindowOps{};
    PickProc(g_ops.nativeType, given.nativeType, kDefaults.nativeType);
    PickProc(g_ops.isFrontOfType, given.isFrontOfType, kDefaults.isFrontOfType);
    PickProc(g_ops.activate, given.activate, kDefaults.activate);
    PickProc(g_ops.drag, given.drag, kDefaults.drag);
    PickProc(g_ops.grow, given.grow, kDefaults.grow);
    PickProc(g_ops.trackTitleButton, given.trackTitleButton, kDefaults.trackTitleButton);
    PickProc(g_ops.minimise, given.minimise, kDefaults.minimise);
    PickProc(g_ops.zoom, given.zoom, kDefaults.zoom);
    PickProc(g_ops.dispose, given.dispose, kDefaults.dispose);
    PickProc(g_ops.beginUpdate, given.beginUpdate, kDefaults.beginUpdate);
    PickProc(g_ops.endUpdate, given.endUpdate, kDefaults.endUpdate);
    PickProc(g_ops.controlAt, given.controlAt, kDefaults.controlAt);
}

const NativeWindowOps& NativeOps() {
    return g_ops;
}

int32_t InstallStandardWindowHandler(EventReceiver* receiver) {
    if (!receiver || receiver->receiverClass != kReceiverWindow) return kEventHandlerInstalled;
    return EventReceiverAppendHandler(receiver, &StandardWindowHandler);
}

int32_t StandardWindowHandler(EventCallRef* call, EventObject event, void*) {
    EventReceiver* receiver = call ? call->receiver : nullptr;
    if (!receiver) return kEventNotHandled;
    void* window = receiver->owner;
    uint32_t eventClass = (*event)->eventClass;
    if (eventClass == kEventClassMouse && (*event)->kind == kMouseDownKind)
        return MouseDown(event, window, receiver);
    if (eventClass == kEventClassWindow) return WindowKind(event, window, receiver);
    return kEventNotHandled;
}
