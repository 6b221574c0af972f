// Dispatch of window events to a window's callback, update drawing, and
// the default handling of what the callback leaves.
//
// Every step after the callback finds the window again by its sequence
// number: a callback may dispose the window it runs for.
#include <algorithm>

#include "toolbox/core/scrollaction.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/surfaceproc.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowdrag.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowlist.h"

namespace {

constexpr uint32_t kItemKindShift = 16;
constexpr uint32_t kItemNumberMask = 0xFFFF;
constexpr int16_t kItemKindPushButton = 1;

bool Exists(const WindowObject* window, int32_t id) {
    return WindowObjectFromId(id) == window;
}

bool IsDialog(const WindowObject* window) {
    return window->kind == kKindDialog && !window->owner;
}

SurfaceList* ListOf(const WindowObject* window) {
    return static_cast<SurfaceList*>(window->surfaceList);
}

int32_t CallCallback(WindowObject* window, WindowEvent* event) {
    int32_t id = window->sequence;
    if (!window->eventCallback) return DefaultWindowEventHandler(window, event);
    MakeWindowCurrentPort(window);
    int32_t result = window->eventCallback(window, event);
    if (result == 0 && Exists(window, id)) result = DefaultWindowEventHandler(window, event);
    return result;
}

int32_t DispatchUpdateEvent(WindowObject* window, WindowEvent* event) {
    if (window->flags & kWindowFlagNoUpdates) return 0;
    int32_t id = window->sequence;
    SurfaceList* list = ListOf(window);
    if (!(window->flags & kWindowFlagNoDrawingSetUp) && list)
        DrawSurfaceBackground(list, event->update.flag);
    int32_t result = CallCallback(window, event);
    if (!Exists(window, id)) return result;
    if (window->currentSurface == kMainSurface && !(window->flags & kWindowFlagNoItemDrawing))
        DialogLayer().drawItems(window);
    return result;
}

int32_t ClimbToOwner(WindowObject* window, WindowEvent* event) {
    if (window->owner) return EventDispatchToView(window->owner, event);
    if (event->type == kWindowEventCommand) return ProcessCommandOf(event);
    return 0;
}

int32_t Scroll(WindowObject* window, const WindowEvent* event) {
    SurfaceList* list = ListOf(window);
    if (!list) return 0;
    list->scrollStep = window->scrollStep;
    list->pageStep = window->pageStep;
    ScrollRequest request{};
    if (event->type == kWindowEventScroll) {
        request.code = kScrollLineBack + event->scroll.action;
        request.axis = event->scroll.bar;
        request.value = event->scroll.newValue;
    } else {
        request.code = kScrollToPoint;
        request.point = {int16_t(std::clamp<int32_t>(event->scrollTo.v, 0, INT16_MAX)),
                         int16_t(std::clamp<int32_t>(event->scrollTo.h, 0, INT16_MAX))};
    }
    return HandleScrollAction(list, &request);
}

void Activate(WindowObject* window, bool active) {
    if (!IsDialog(window)) return;
    if (!active) {
        if (DialogLayer().setItemsEnabled(window, false)) window->flags |= kWindowFlagItemsDisabled;
    } else if (window->flags & kWindowFlagItemsDisabled) {
        window->flags &= ~kWindowFlagItemsDisabled;
        DialogLayer().setItemsEnabled(window, true);
    }
}

void SelectItem(WindowObject* window, const WindowEvent* event) {
    if (IsDialog(window)) {
        int16_t item = event->select.item;
        if (item > 0) {
            int16_t kind = DialogLayer().itemKind(window, item);
            if (kind == kItemKindEditText) DialogLayer().selectAllText(window, item);
            if (kind == kItemKindList) DialogLayer().setFocusItem(window, item);
        } else if (item == 0) {
            DialogLayer().setFocusItem(window, 0);
        }
    }
    if (event->select.bringForward) WindowNative().showNative(RootWindowObject(window), true);
}

int32_t ControlAction(WindowObject* window, WindowEvent* event) {
    int16_t item = int16_t(event->control.item & kItemNumberMask);
    int16_t kind = int16_t((event->control.item >> kItemKindShift) & 0xFF);
    if (kind == kItemKindPushButton && (item == kItemOk || item == kItemCancel)) {
        DialogLayer().dismiss(window, item);
        return 1;
    }
    return DialogLayer().itemBehaviour(window, event);
}

} // namespace

int32_t EventDispatchToView(WindowObject* window, WindowEvent* event) {
    if (!window) return 0;
    int32_t id = window->sequence;
    ++window->dispatchDepth;
    int32_t result = 0;
    if (!DragOutlineEventFilter(window, event, &result))
        result = event->type == kWindowEventUpdate ? DispatchUpdateEvent(window, event)
                                                   : CallCallback(window, event);
    if (Exists(window, id)) --window->dispatchDepth;
    return result;
}

int32_t DefaultWindowEventHandler(WindowObject* window, WindowEvent* event) {
    switch (event->type) {
    case kWindowEventSelectItem:
        SelectItem(window, event);
        return 0;
    case kWindowEventClose:
        if (IsDialog(window))
            DialogLayer().dismiss(window, kItemCancel);
        else
            DisposeWindowObject(window);
        return 1;
    case kWindowEventDismiss:
        DisposeWindowObject(window);
        return 1;
    case kWindowEventActivate:
        Activate(window, event->activate.active != 0);
        return 0;
    case kWindowEventDialogItem:
    case kWindowEventDialogFilter:
        return DialogLayer().itemBehaviour(window, event);
    case kWindowEventScroll:
    case kWindowEventScrollTo:
        return Scroll(window, event);
    case kWindowEventControl:
        return ControlAction(window, event);
    case kWindowEventMouseOver:
        WindowNative().setCursor(window->cursorId);
        return 1;
    case kWindowEventWheel:
        if (SurfaceList* list = ListOf(window))
            return SurfaceWheel(list, event->wheel.modifiers, event->wheel.delta);
        return 0;
    case kWindowEventKeyCommand: {
        int16_t command = event->keyCommand.command;
        if (IsDialog(window) && (command == kCommandPreviousTab || command == kCommandNextTab) &&
            DialogLayer().switchTab(window, command == kCommandPreviousTab ? -1 : 1))
            return 1;
        return ClimbToOwner(window, event);
    }
    case kWindowEventKey:
    case kWindowEventCommand:
        return ClimbToOwner(window, event);
    default:
        return 0;
    }
}
