// The posted event queue: events the application posts for the event loop,
// ordered by priority (higher first; equal priorities in posting order).
// The queue holds one reference to each queued event.
#pragma once
#include <cstdint>

#include "toolbox/core/eventobject.h"

// Inserts behind every event of equal or higher priority and retains it;
// kEventAlreadyQueued (retain count unchanged) when it is queued already.
int32_t PostEventObject(EventObject event, int16_t priority);
// The same with the arguments in (priority, event) order.
int32_t PostEventObject(int16_t priority, EventObject event);
// The first posted event or null; with `remove` it is unlinked and the
// queue's reference passes to the caller, otherwise it is retained once more.
EventObject TakeQueuedEventObject(bool remove);
// Unlinks the event and drops the queue's reference; kEventNotInQueue when
// the queue does not hold it.
int32_t UnqueueEventObject(EventObject event);
bool EventObjectIsQueued(EventObject event);
