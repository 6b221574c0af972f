// Receivers, handler entries (pointer blocks) and the dispatch along the
// chain and up to the parents.
#include "toolbox/core/eventreceiver.h"

#include "toolbox/core/memblock.h"

namespace {

EventReceiver g_applicationLevel{kReceiverApplication, nullptr, nullptr, 0};
EventReceiver g_toolbox{kReceiverToolbox, nullptr, nullptr, 0};
FocusReceiverProvider g_focusProvider = nullptr;
ControlWindowReceiverProvider g_controlProvider = nullptr;

bool KnownClass(uint32_t c) {
    return c == kReceiverApplication || c == kReceiverControl || c == kReceiverMenu ||
           c == kReceiverToolbox || c == kReceiverWindow;
}

EventHandlerEntry* NewEntry(EventReceiver* receiver, EventHandlerProc procedure, void* userData) {
    auto* entry =
        static_cast<EventHandlerEntry*>(NewPointerBlockClear(nullptr, sizeof(EventHandlerEntry)));
    if (!entry) return nullptr;
    entry->receiver = receiver;
    entry->procedure = procedure;
    entry->userData = userData;
    return entry;
}

} // namespace

int32_t EventReceiverPushHandler(EventReceiver* receiver, EventHandlerProc procedure,
                                 int32_t /*typeCount*/, const EventTypeSpec* /*types*/,
                                 void* userData, EventHandlerEntry** out) {
    if (out) *out = nullptr;
    if (!receiver || !procedure || !KnownClass(receiver->receiverClass)) return kEventBadArgument;
    for (EventHandlerEntry* e = receiver->first; e; e = e->next)
        if (e->procedure == procedure && e->userData == userData) return kEventHandlerInstalled;
    EventHandlerEntry* entry = NewEntry(receiver, procedure, userData);
    if (!entry) return kEventNoMemory;
    entry->next = receiver->first;
    receiver->first = entry;
    if (out) *out = entry;
    return kEventResultOk;
}

int32_t EventReceiverAppendHandler(EventReceiver* receiver, EventHandlerProc procedure) {
    if (!receiver || !procedure) return kEventBadArgument;
    if (receiver->busy) return kEventHandlerInstalled;
    EventHandlerEntry* entry = NewEntry(receiver, procedure, nullptr);
    if (!entry) return kEventNoMemory;
    EventHandlerEntry** link = &receiver->first;
    while (*link)
        link = &(*link)->next;
    *link = entry;
    return kEventResultOk;
}

void EventReceiverClearHandlers(EventReceiver* receiver) {
    while (receiver && receiver->first) {
        EventHandlerEntry* entry = receiver->first;
        receiver->first = entry->next;
        FreeHeapBlock(entry);
    }
}

int32_t SendEventToReceiver(EventObject event, EventReceiver* receiver) {
    if (!receiver) return kEventNotHandled;
    EventCallRef call{receiver->first, receiver};
    return CallNextEventHandler(&call, event);
}

int32_t CallNextEventHandler(EventCallRef* call, EventObject event) {
    int32_t result = kEventNotHandled;
    while (result == kEventNotHandled && call->next) {
        EventHandlerEntry* entry = call->next;
        call->next = entry->next;
        result = entry->procedure(call, event, entry->userData);
    }
    if (result != kEventNotHandled || !call->receiver) return result;
    EventReceiver* parent = EventReceiverParent(call->receiver);
    call->receiver = nullptr;
    return parent ? SendEventToReceiver(event, parent) : kEventNotHandled;
}

EventReceiver* EventReceiverParent(const EventReceiver* receiver) {
    if (!receiver) return nullptr;
    switch (receiver->receiverClass) {
    case kReceiverControl: {
        EventReceiver* window = g_controlProvider ? g_controlProvider(receiver) : nullptr;
        return window ? window : ApplicationLevelReceiver();
    }
    case kReceiverMenu:
    case kReceiverWindow:
        return ApplicationLevelReceiver();
    default:
        return nullptr;
    }
}

EventReceiver* ApplicationEventReceiver() {
    return &g_toolbox;
}

EventReceiver* ApplicationLevelReceiver() {
    return &g_applicationLevel;
}

EventReceiver* FocusEventReceiver() {
    EventReceiver* focus = g_focusProvider ? g_focusProvider() : nullptr;
    return focus ? focus : ApplicationLevelReceiver();
}

void SetFocusReceiverProvider(FocusReceiverProvider provider) {
    g_focusProvider = provider;
}

void SetControlWindowReceiverProvider(ControlWindowReceiverProvider provider) {
    g_controlProvider = provider;
}
