// The posted event queue, singly linked through each event's link field.
#include "toolbox/core/eventqueue.h"

namespace {
EventObject g_first = nullptr;
} // namespace

bool EventObjectIsQueued(EventObject event) {
    for (EventObject e = g_first; e; e = (*e)->link)
        if (e == event) return true;
    return false;
}

int32_t PostEventObject(EventObject event, int16_t priority) {
    if (!event) return kEventBadArgument;
    if (EventObjectIsQueued(event)) return kEventAlreadyQueued;
    EventObject* link = &g_first;
    while (*link && (**link)->priority >= priority)
        link = &(**link)->link;
    (*event)->priority = priority;
    (*event)->link = *link;
    *link = event;
    EventObjectRetain(event);
    return kEventResultOk;
}

int32_t PostEventObject(int16_t priority, EventObject event) {
    return PostEventObject(event, priority);
}

EventObject TakeQueuedEventObject(bool remove) {
    EventObject event = g_first;
    if (!event) return nullptr;
    if (remove) {
        g_first = (*event)->link;
        (*event)->link = nullptr;
    } else {
        EventObjectRetain(event);
    }
    return event;
}

int32_t UnqueueEventObject(EventObject event) {
    for (EventObject* link = &g_first; *link; link = &(**link)->link) {
        if (*link != event) continue;
        *link = (*event)->link;
        (*event)->link = nullptr;
        EventObjectRelease(event);
        return kEventResultOk;
    }
    return kEventNotInQueue;
}
