// Loop bookkeeping (quit flag, modal loop records, loop levels) and the
// routing of received events to their receivers.
#include "toolbox/core/eventloop.h"

#include <cstdlib>

#include "toolbox/core/eventconvert.h"
#include "toolbox/core/eventwait.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/timertask.h"

namespace {
struct ModalLoopRecord {
    ModalLoopRecord* previous;
    void* window;
    bool ended;
};

bool g_quit = false;
bool g_ranMainLoop = false;
bool g_installed = false;
ModalLoopRecord* g_modal = nullptr;
EventLoopLevel* g_levels = nullptr;
int32_t g_nextToken = 1;

bool DispatchUnderway() {
    return g_levels && g_levels->dispatchDepth > 0;
}

EventReceiver* FrontWindowReceiver() {
    const LoopWindowHooks& hooks = LoopHooks();
    void* front = hooks.frontNonFloatingWindow();
    EventReceiver* receiver = front ? hooks.windowReceiver(front) : nullptr;
    return receiver ? receiver : ApplicationLevelReceiver();
}

ModalLoopRecord* ModalOf(void* window) {
    for (ModalLoopRecord* r = g_modal; r; r = r->previous)
        if (r->window == window) return r;
    return nullptr;
}

void* DirectWindow(EventObject event) {
    void* window = nullptr;
    EventParamGet(event, kEventParamDirectObject, kReceiverWindow, sizeof(window), &window);
    return window;
}

int32_t SendToWindow(EventObject event, void* window) {
    EventReceiver* receiver = window ? LoopHooks().windowReceiver(window) : nullptr;
    if (!receiver) return kEventNotHandled;
    return SendEventToReceiver(event, receiver);
}

void RemoveLevel(EventLoopLevel* level) {
    for (EventLoopLevel** link = &g_levels; *link; link = &(*link)->next) {
        if (*link == level) {
            *link = level->next;
            std::free(level);
            return;
        }
    }
}

EventLoopLevel* FindLevelOfWindow(void* window) {
    for (EventLoopLevel* l = g_levels; l; l = l->next)
        if (l->window == window) return l;
    return nullptr;
}

EventLoopLevel* FindLevelOfToken(int32_t token) {
    if (token == kInnermostLevel) return g_levels;
    for (EventLoopLevel* l = g_levels; l; l = l->next)
        if (l->token == token) return l;
    return nullptr;
}

void EndLevel(EventLoopLevel* level) {
    if (level->flags & kLevelEnded) return;
    if (level->flags & kLevelRunning) {
        if (level->window)
            QuitModalLoopForWindow(level->window);
        else
            EventLoopQuit();
        level->flags |= kLevelEnded;
        return;
    }
    if (level->window) LoopHooks().endNativeModal(level->window);
    RemoveLevel(level);
}

bool IsPartInWindow(int16_t part) {
    return (part >= kPartContent && part <= kPartZoomOut) || part == kPartMinimise;
}
} // namespace

const EventTypeSpec EventWaitList[kEventWaitListCount] = {
    {kEventClassMouse, kMouseDownKind},          {kEventClassMouse, kMouseUpKind},
    {kEventClassMouse, kMouseMovedKind},         {kEventClassMouse, kMouseWheelKind},
    {kEventClassKeyboard, kKeyDownKind},         {kEventClassKeyboard, kKeyRepeatKind},
    {kEventClassWindow, kWindowUpdateKind},      {kEventClassWindow, kWindowActivatedKind},
    {kEventClassWindow, kWindowDeactivatedKind}, {kEventClassHighLevel, kHighLevelKind},
};

void InstallEventLoopHandlers() {
    if (g_installed) return;
    g_installed = true;
    SetDispatchUnderwayProvider(&DispatchUnderway);
    SetFocusReceiverProvider(&FrontWindowReceiver);
    EventReceiverPushHandler(ApplicationEventReceiver(), &ToolboxReceiverHandler, 0, nullptr,
                             nullptr, nullptr);
}

void RunEventLoop() {
    if (g_ranMainLoop) return;
    g_ranMainLoop = true;
    InstallEventLoopHandlers();
    g_quit = false;
    EventReceiverAppendHandler(ApplicationLevelReceiver(), &MenuBarClickHandler);
    while (!g_quit)
        EventLoopStep(kReceiveForever, EventWaitList, kEventWaitListCount);
}

void EventLoopQuit() {
    g_quit = true;
}

int32_t EventLoopStep(double timeoutSeconds, const EventTypeSpec* types, int32_t count) {
    for (;;) {
        EventObject event = nullptr;
        int32_t result = EventReceiveNext(count, types, timeoutSeconds, true, &event);
        if (result != kEventResultOk) return result;
        int32_t handled = SendEventToReceiver(event, ApplicationEventReceiver());
        // An update nobody takes would come back at once for ever.
        if (handled == kEventNotHandled && (*event)->eventClass == kEventClassWindow &&
            (*event)->kind == kWindowUpdateKind) {
            if (void* window = DirectWindow(event)) LoopHooks().discardUpdate(window);
        }
        EventObjectRelease(event);
    }
}

int32_t RunModalLoopForWindow(void* window) {
    InstallEventLoopHandlers();
    const LoopWindowHooks& hooks = LoopHooks();
    hooks.retainWindow(window);
    hooks.beginNativeModal(window);
    ModalLoopRecord record{g_modal, window, false};
    g_modal = &record;
    while (!record.ended)
        EventLoopStep(kReceiveForever, EventWaitList, kEventWaitListCount - 1);
    LoopHooks().endNativeModal(window);
    LoopHooks().disposeWindow(window);
    g_modal = record.previous;
    return 0;
}

int32_t QuitModalLoopForWindow(void* window) {
    ModalLoopRecord* record = ModalOf(window);
    if (!record) return kModalNoLoop;
    record->ended = true;
    return 0;
}

bool CurrentLoopEnded() {
    return g_modal ? g_modal->ended : g_quit;
}

EventLoopLevel* RunEventLoopLevel(void* window, int32_t* token, bool run) {
    EventLoopLevel* level = nullptr;
    if (!window) {
        level = g_levels;
    } else {
        level = FindLevelOfWindow(window);
    }
    if (level && !(run && !(level->flags & kLevelRunning))) {
        if (token) *token = level->token;
        return level;
    }
    if (!level) {
        level = static_cast<EventLoopLevel*>(std::calloc(1, sizeof(EventLoopLevel)));
        if (!level) {
            if (token) *token = 0;
            return nullptr;
        }
        level->window = window;
        level->token = g_nextToken++;
        level->next = g_levels;
        g_levels = level;
    }
    if (token) *token = level->token;
    if (!run) {
        if (window) LoopHooks().beginNativeModal(window);
        return level;
    }
    level->flags |= kLevelRunning;
    if (window)
        RunModalLoopForWindow(window);
    else
        RunEventLoop();
    RemoveLevel(level);
    return nullptr;
}

int32_t EndEventLoopLevel(int32_t token, bool endAllAbove) {
    EventLoopLevel* level = FindLevelOfToken(token);
    if (!level) return kModalNoLoop;
    if (endAllAbove) {
        EventLoopLevel* above = g_levels;
        while (above && above != level) {
            EventLoopLevel* next = above->next;
            EndLevel(above);
            above = next;
        }
    }
    EndLevel(level);
    return 0;
}

EventLoopLevel* InnermostLoopLevel() {
    return g_levels;
}

void LoopDispatchEnter() {
    if (g_levels) ++g_levels->dispatchDepth;
}

namespace {
void (*g_depthZeroProc)() = nullptr;
} // namespace

void SetDispatchDepthZeroProc(void (*procedure)()) {
    g_depthZeroProc = procedure;
}

void LoopDispatchLeave() {
    if (g_levels && g_levels->dispatchDepth > 0 && --g_levels->dispatchDepth == 0 &&
        g_depthZeroProc)
        g_depthZeroProc();
}

int32_t MenuBarClickHandler(EventCallRef*, EventObject event, void*) {
    if ((*event)->eventClass == kEventClassMouse && (*event)->kind == kMouseDownKind) {
        int16_t part = 0;
        uint16_t button = 0;
        Point16 where{0, 0};
        uint32_t modifiers = 0;
        EventParamGet(event, kParamWindowPart, kTypeWindowPart, sizeof(part), &part);
        EventParamGet(event, kParamMouseButton, FourCC("mbtn"), sizeof(button), &button);
        if (part == kPartMenuBar && button == 1) {
            EventParamGet(event, kParamMouseLocation, kEventTypeQdPoint, sizeof(where), &where);
            EventParamGet(event, kParamModifiers, FourCC("magn"), sizeof(modifiers), &modifiers);
            LoopHooks().menuBarClick(where, modifiers);
        }
    }
    return kEventNotHandled;
}

int32_t ToolboxReceiverHandler(EventCallRef*, EventObject event, void*) {
    uint32_t eventClass = (*event)->eventClass;
    uint32_t kind = (*event)->kind;
    const LoopWindowHooks& hooks = LoopHooks();
    if (eventClass == kEventClassMouse && (kind == kMouseDownKind || kind == kMouseMovedKind)) {
        Point16 where{0, 0};
        EventParamGet(event, kParamMouseLocation, kEventTypeQdPoint, sizeof(where), &where);
        void* window = nullptr;
        int16_t part = hooks.findWindowPart(where, &window);
        EventParamSet(event, kParamWindowPart, kTypeWindowPart, sizeof(part), &part);
        if (IsPartInWindow(part) && window) {
            EventParamSet(event, kParamWindow, kReceiverWindow, sizeof(window), &window);
            return SendToWindow(event, window);
        }
        return SendEventToReceiver(event, ApplicationLevelReceiver());
    }
    if ((eventClass == kEventClassMouse &&
         (kind == kMouseUpKind || kind == kMouseDraggedKind || kind == kMouseWheelKind)) ||
        (eventClass == kEventClassKeyboard && (kind == kKeyRepeatKind || kind == kKeyUpKind)))
        return SendEventToReceiver(event, FocusEventReceiver());
    if (eventClass == kEventClassKeyboard && kind == kKeyDownKind) {
        if (hooks.menuCommandKey(event)) return kEventResultOk;
        return SendEventToReceiver(event, FocusEventReceiver());
    }
    if (eventClass == kEventClassWindow &&
        (kind == kWindowUpdateKind || kind == kWindowActivatedKind ||
         kind == kWindowDeactivatedKind))
        return SendToWindow(event, DirectWindow(event));
    if (eventClass == kEventClassHighLevel && kind == kHighLevelKind) {
        int16_t requestKind = 0;
        EventParamGet(event, kParamRequestKind, FourCC("shor"), sizeof(requestKind), &requestKind);
        void* window = nullptr;
        if (requestKind == 3)
            EventParamGet(event, kParamWindow, kReceiverWindow, sizeof(window), &window);
        if (window) return SendToWindow(event, window);
        return SendEventToReceiver(event, ApplicationLevelReceiver());
    }
    return kEventNotHandled;
}

void ResetEventLoopState() {
    g_quit = false;
    g_ranMainLoop = false;
    g_installed = false;
    g_modal = nullptr;
    while (g_levels)
        RemoveLevel(g_levels);
    g_nextToken = 1;
}
