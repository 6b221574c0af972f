// The low-level wait and the sleeping receive.
#include "toolbox/core/eventwait.h"

#include "toolbox/core/activation.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/eventqueue.h"
#include "toolbox/core/looptimer.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/startuprequest.h"
#include "toolbox/core/clock.h"
#include "toolbox/core/ticks.h"

namespace {
Point32 g_lastMouse{INT32_MIN, INT32_MIN};
// The shortest round of WaitTicks: one tick.
constexpr uint32_t kOneTickMs = 17;

bool Produce(OsEventRecord* out, uint16_t what, uintptr_t message, uint16_t extraModifiers) {
    OsNullRecord(out);
    out->what = what;
    out->message = message;
    out->modifiers |= extraModifiers;
    return true;
}

bool MouseMoved(const RegionRecord* region, OsEventRecord* out, bool remove) {
    if (!region) return false;
    Point32 screen;
    OsMouseScreen(&screen);
    if (screen.v == g_lastMouse.v && screen.h == g_lastMouse.h) return false;
    Point32 client;
    OsMouseClient(&client);
    if (region != AnyMouseMove() && !IsRegionEmpty(region) &&
        PointInRegion(Point16{int16_t(client.v), int16_t(client.h)}, region))
        return false;
    if (remove) g_lastMouse = screen;
    return Produce(out, kOsWhatOs, kOsMessageMouseMoved, 0);
}

// The system wait bound: the nearer of the limit left and the earliest
// loop timer; kOsWaitNoLimit when neither is a deadline.
uint32_t WaitBound(uint32_t limitLeft) {
    uint32_t timer = LoopTimerListNextDue(MainLoopTimerList());
    if (timer >= kTimerBeyond) timer = kOsWaitNoLimit;
    return timer < limitLeft ? timer : limitLeft;
}

// Sleeps unless a native message waits; false when the limit is reached.
bool SleepRound(uint32_t start, uint32_t limitMs) {
    if (OsMessageQueued()) return true;
    uint32_t elapsed = ClockMilliseconds() - start;
    if (limitMs != kOsWaitNoLimit && elapsed >= limitMs) return false;
    uint32_t left = limitMs == kOsWaitNoLimit ? kOsWaitNoLimit : limitMs - elapsed;
    uint32_t bound = WaitBound(left);
    if (bound > 0) OsWaitMessage(bound);
    return true;
}

bool LimitReached(uint32_t start, uint32_t limitMs) {
    return limitMs != kOsWaitNoLimit && ClockMilliseconds() - start >= limitMs;
}

uint32_t LimitOfSeconds(double seconds) {
    if (seconds == kReceiveForever || seconds > kReceiveLongestSeconds) return kOsWaitNoLimit;
    if (seconds < 0) return 0;
    return uint32_t(int64_t(seconds)) * 1000u;
}
} // namespace

bool EventWaitNext(uint16_t mask, OsEventRecord* out, const RegionRecord* mouseRegion,
                   bool pumpFirst, bool remove, EventObject* outEvent) {
    if (outEvent) *outEvent = nullptr;
    if (mask & kOsMaskActivate) {
        bool active = false;
        if (void* window = TakePendingActivation(&active, remove))
            return Produce(out, kOsWhatActivate, uintptr_t(window), active ? kModActiveFlag : 0);
    }
    if (FindQueuedOsEvent(mask, out, 0, pumpFirst, remove)) return true;
    if (outEvent) {
        if (EventObject posted = TakeQueuedEventObject(remove)) {
            *outEvent = posted;
            OsNullRecord(out);
            return true;
        }
    }
    if (mask & kOsMaskUpdate) {
        if (void* window = LoopHooks().firstWindowNeedingUpdate())
            return Produce(out, kOsWhatUpdate, uintptr_t(window), 0);
    }
    RunDueLoopTimers(MainLoopTimerList());
    if (mask & kOsMaskOs) {
        if (int32_t code = TakePendingSuspendResume(remove)) {
            uintptr_t message = kOsMessageSuspendResume;
            if (code == kPendingResume) message |= kOsMessageResumeBit;
            return Produce(out, kOsWhatOs, message, 0);
        }
        if (MouseMoved(mouseRegion, out, remove)) return true;
    }
    StartupRequest* request = FirstStartupRequest();
    if (request && (mask & kOsMaskHighLevel)) {
        if (remove) request->state = kStartupDelivered;
        return Produce(out, kOsWhatHighLevel, uintptr_t(request), 0);
    }
    if (OsQuitSeen() && remove) OsExitProcess(0);
    OsNullRecord(out);
    return false;
}

bool OsEventAvailable(uint16_t mask, OsEventRecord* out) {
    return EventWaitNext(mask, out, nullptr, true, false, nullptr);
}

int32_t EventReceiveWithin(uint16_t mask, uint32_t limitMs, bool pull, EventObject* out) {
    *out = nullptr;
    if (mask == 0) return kEventNoConversion;
    uint32_t start = ClockMilliseconds();
    OsEventRecord record;
    EventObject posted = nullptr;
    for (;;) {
        if (CurrentLoopEnded()) return kEventLoopEnded;
        bool got = EventWaitNext(mask, &record, AnyMouseMove(), false, pull, &posted);
        if (!got) {
            SleepRound(start, limitMs);
            got = EventWaitNext(mask, &record, AnyMouseMove(), true, pull, &posted);
        }
        if (got) break;
        if (LimitReached(start, limitMs)) return kEventTimedOut;
    }
    if (posted) {
        *out = posted;
        return kEventResultOk;
    }
    return EventObjectFromOsEvent(&record, out);
}

int32_t EventReceiveNext(int32_t count, const EventTypeSpec* types, double timeoutSeconds,
                         bool pull, EventObject* out) {
    return EventReceiveWithin(EventMaskFromTypes(count, types), LimitOfSeconds(timeoutSeconds),
                              pull, out);
}

bool EventWaitTimed(uint16_t mask, OsEventRecord* out, int32_t sleepTicks,
                    const RegionRecord* mouseRegion) {
    uint32_t limitMs = uint32_t(TicksToMs(sleepTicks < 0 ? 0 : sleepTicks));
    uint32_t start = ClockMilliseconds();
    while (!CurrentLoopEnded()) {
        bool got = EventWaitNext(mask, out, mouseRegion, false, true, nullptr);
        if (!got) {
            if (!SleepRound(start, limitMs)) break;
            got = EventWaitNext(mask, out, mouseRegion, true, true, nullptr);
        }
        if (got) {
            EventObject event = nullptr;
            if (EventObjectFromOsEvent(out, &event) != kEventResultOk) return true;
            int32_t result = SendEventToReceiver(event, ApplicationEventReceiver());
            EventObjectRelease(event);
            if (result == kEventNotHandled) return true;
            continue;
        }
        if (LimitReached(start, limitMs)) break;
    }
    OsNullRecord(out);
    return false;
}

void WaitTicks(int32_t ticks) {
    uint32_t start = CurrentTicks();
    for (;;) {
        uint32_t since = TicksSince(start);
        if (ticks <= 0 || since >= uint32_t(ticks)) return;
        uint32_t ms = uint32_t(TicksToMs(int32_t(uint32_t(ticks) - since)));
        if (ms < kOneTickMs) ms = kOneTickMs;
        EventObject event = nullptr;
        int32_t result = EventReceiveWithin(kEventMaskNoList, ms, false, &event);
        if (event) {
            EventObjectRelease(event);
            // Something stays queued: sleep out the round rather than spin.
            if (!OsMessageQueued()) OsWaitMessage(ms);
        }
        if (result == kEventLoopEnded) return;
    }
}

void ResetEventWaitState() {
    g_lastMouse = Point32{INT32_MIN, INT32_MIN};
}
