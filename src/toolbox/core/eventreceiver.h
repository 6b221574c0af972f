// Event receivers and their handler chains. A receiver holds handlers that
// are tried in order until one answers something other than
// kEventNotHandled; an event that every handler passes on climbs to the
// receiver's parent ('cntl' to its control's window or the application
// level, 'menu' and 'wind' to the application level, 'appl' and 'tlbx' to
// none). The window and control layers answer for the focus and for a
// control's window through replaceable providers; until they install
// theirs, both answer ApplicationLevelReceiver.
#pragma once
#include <cstdint>

#include "toolbox/core/eventobject.h"

struct EventReceiver;
struct EventHandlerEntry;

// The call reference of one dispatch: the next entry to try and the
// receiver (cleared once the parent has been tried, so it is tried once).
struct EventCallRef {
    EventHandlerEntry* next;
    EventReceiver* receiver;
};

typedef int32_t (*EventHandlerProc)(EventCallRef* call, EventObject event, void* userData);

struct EventReceiver {
    uint32_t receiverClass; // 'appl', 'tlbx', 'wind', 'cntl' or 'menu'
    void* owner;
    EventHandlerEntry* first;
    int32_t busy; // nonzero refuses appends
};

struct EventHandlerEntry {
    EventHandlerEntry* next;
    EventReceiver* receiver;
    EventHandlerProc procedure;
    void* userData;
};

struct EventTypeSpec {
    uint32_t eventClass;
    uint32_t kind;
};

constexpr uint32_t kReceiverApplication = FourCC("appl");
constexpr uint32_t kReceiverToolbox = FourCC("tlbx");
constexpr uint32_t kReceiverWindow = FourCC("wind");
constexpr uint32_t kReceiverControl = FourCC("cntl");
constexpr uint32_t kReceiverMenu = FourCC("menu");

// Adds the handler at the head. The type list is accepted, not used for
// filtering. kEventHandlerInstalled for the same procedure with the same
// user data; kEventBadArgument for a null receiver or an unknown class;
// kEventNoMemory.
int32_t EventReceiverPushHandler(EventReceiver* receiver, EventHandlerProc procedure,
                                 int32_t typeCount, const EventTypeSpec* types, void* userData,
                                 EventHandlerEntry** out);
// Adds the handler (user data null) at the tail; kEventHandlerInstalled
// while the receiver is busy.
int32_t EventReceiverAppendHandler(EventReceiver* receiver, EventHandlerProc procedure);
// Unlinks and frees every handler entry of the receiver.
void EventReceiverClearHandlers(EventReceiver* receiver);

int32_t SendEventToReceiver(EventObject event, EventReceiver* receiver);
int32_t CallNextEventHandler(EventCallRef* call, EventObject event);
EventReceiver* EventReceiverParent(const EventReceiver* receiver);

// 'tlbx', made with an empty chain on first use.
EventReceiver* ApplicationEventReceiver();
// 'appl', static.
EventReceiver* ApplicationLevelReceiver();
EventReceiver* FocusEventReceiver();

typedef EventReceiver* (*FocusReceiverProvider)();
// The receiver of the window that holds a 'cntl' receiver's control, or
// null when it has none.
typedef EventReceiver* (*ControlWindowReceiverProvider)(const EventReceiver* control);
// Null restores the default.
void SetFocusReceiverProvider(FocusReceiverProvider provider);
void SetControlWindowReceiverProvider(ControlWindowReceiverProvider provider);
