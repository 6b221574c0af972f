// Waiting for the next event: the low-level sources in their fixed order
// (pending activations, the low-level queue, posted event objects, window
// updates, loop timers, suspend/resume and mouse moves, start-up
// requests), and the receive that sleeps in the system's message wait when
// none of them has anything.
//
// Guarantees: the wait never spins; it sleeps until a native message
// arrives, under one system timer set to the nearer of the time limit and
// the earliest loop timer, and with neither it sets no timer at all.
#pragma once
#include <cstdint>

#include "toolbox/core/eventconvert.h"
#include "toolbox/core/region.h"

// A timeout above this many seconds waits without limit.
constexpr double kReceiveLongestSeconds = 2147483.0;
// The timeout that waits without limit.
constexpr double kReceiveForever = -1.0;

// The mouse-region argument that reports any move.
inline const RegionRecord* AnyMouseMove() {
    return reinterpret_cast<const RegionRecord*>(intptr_t(-1));
}

// One pass over the sources; true with a record (or, when `outEvent` is
// given, a posted event with a null record); false with a null record.
bool EventWaitNext(uint16_t mask, OsEventRecord* out, const RegionRecord* mouseRegion,
                   bool pumpFirst, bool remove, EventObject* outEvent);
bool OsEventAvailable(uint16_t mask, OsEventRecord* out);
// Receives within a limit in milliseconds (kOsWaitNoLimit: none).
int32_t EventReceiveWithin(uint16_t mask, uint32_t limitMs, bool pull, EventObject* out);
// 0 with an event, kEventTimedOut, kEventLoopEnded, kEventNoConversion.
int32_t EventReceiveNext(int32_t count, const EventTypeSpec* types, double timeoutSeconds,
                         bool pull, EventObject* out);
// Waits up to `sleepTicks`, sending the events it finds to the application
// until one is not handled, which it returns (a null record when none).
bool EventWaitTimed(uint16_t mask, OsEventRecord* out, int32_t sleepTicks,
                    const RegionRecord* mouseRegion);
// Waits until that many ticks have passed, pumping but leaving events
// queued.
void WaitTicks(int32_t ticks);
// Forgets the remembered mouse position (tests).
void ResetEventWaitState();
