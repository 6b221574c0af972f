// Loop timers: install, schedule, remove and run. Every timer is a pointer
// block of the pointer pool; the lists are singly linked through `next`.
#include "toolbox/core/looptimer.h"

#include <cmath>
#include <vector>

#include "toolbox/core/clock.h"
#include "toolbox/core/memblock.h"

namespace {

LoopTimerList g_mainList{};

void Unlink(LoopTimer* timer) {
    LoopTimerList* list = timer->list;
    if (!(timer->flags & kTimerInList)) return;
    LoopTimer** link = (timer->flags & kTimerActive) ? &list->firstActive : &list->firstIdle;
    for (; *link; link = &(*link)->next) {
        if (*link == timer) {
            *link = timer->next;
            break;
        }
    }
    timer->next = nullptr;
    timer->flags &= ~(kTimerInList | kTimerActive);
}

void LinkIdle(LoopTimer* timer) {
    timer->next = timer->list->firstIdle;
    timer->list->firstIdle = timer;
    timer->flags = (timer->flags | kTimerInList) & ~kTimerActive;
}

// Inserts before the first active timer with more milliseconds left.
void LinkActive(LoopTimer* timer) {
    LoopTimer** link = &timer->list->firstActive;
    while (*link && (*link)->msLeft <= timer->msLeft)
        link = &(*link)->next;
    timer->next = *link;
    *link = timer;
    timer->flags |= kTimerInList | kTimerActive;
}

// Milliseconds left for a delay from now, relative to the list's last run.
uint32_t LeftForDelay(const LoopTimerList* list, double seconds) {
    double left = double(uint32_t(ClockMilliseconds() - list->lastRun)) + seconds * 1000.0;
    if (left > double(kTimerBeyond)) return kTimerBeyond;
    return uint32_t(std::llround(left));
}

void StartList(LoopTimerList* list) {
    if (list->started) return;
    list->started = true;
    list->lastRun = ClockMilliseconds();
}

// Reschedules a timer to `msLeft` (kTimerNever: idle list).
void Schedule(LoopTimer* timer, uint32_t msLeft) {
    Unlink(timer);
    timer->msLeft = msLeft;
    if (msLeft == kTimerNever)
        LinkIdle(timer);
    else
        LinkActive(timer);
}

// The time left after firing: repeating timers keep their phase.
uint32_t NextLeftAfterFiring(const LoopTimer* timer, uint32_t elapsed) {
    int64_t overshoot = int64_t(elapsed) - int64_t(timer->msLeft);
    int64_t next = int64_t(timer->intervalMs) - overshoot;
    if (next < 1) return 0;
    if (next > int64_t(kTimerBeyond)) return kTimerBeyond;
    return uint32_t(next);
}

} // namespace

LoopTimerList* MainLoopTimerList() {
    return &g_mainList;
}

int32_t EventLoopTimerInstall(LoopTimerList* list, double firstDelaySeconds, double intervalSeconds,
                              LoopTimerProc procedure, void* userData, LoopTimer** out) {
    auto* timer = static_cast<LoopTimer*>(NewPointerBlockClear(nullptr, sizeof(LoopTimer)));
    if (out) *out = timer;
    if (!timer) return kTimerResultNoMemory;
    if (intervalSeconds <= 0)
        timer->intervalMs = kTimerOneShot;
    else if (intervalSeconds > kTimerLongestIntervalSeconds)
        timer->intervalMs = kTimerBeyond;
    else
        timer->intervalMs = uint32_t(std::llround(intervalSeconds * 1000.0));
    timer->list = list;
    timer->procedure = procedure;
    timer->userData = userData;
    StartList(list);
    EventLoopTimerSetNextFire(timer, firstDelaySeconds);
    return kTimerResultOk;
}

void EventLoopTimerSetNextFire(LoopTimer* timer, double seconds) {
    if (!timer || (timer->flags & kTimerDispose)) return;
    uint32_t left = seconds < 0 ? kTimerNever : LeftForDelay(timer->list, seconds);
    if (timer->flags & kTimerFiring) {
        // Applied when the procedure returns.
        timer->msLeft = left;
        if (left == kTimerNever)
            timer->flags &= ~kTimerRearm;
        else
            timer->flags |= kTimerRearm;
        return;
    }
    Schedule(timer, left);
}

int32_t EventLoopTimerRemove(LoopTimer* timer) {
    if (!timer) return kTimerResultBeingRemoved;
    if (timer->flags & kTimerDispose) return kTimerResultBeingRemoved;
    if (timer->flags & kTimerFiring) {
        timer->flags |= kTimerDispose;
        return kTimerResultOk;
    }
    Unlink(timer);
    FreeHeapBlock(timer);
    return kTimerResultOk;
}

void RunDueLoopTimers(LoopTimerList* list) {
    uint32_t now = ClockMilliseconds();
    uint32_t elapsed = now - list->lastRun;
    if (now < list->lastRun) elapsed -= 1;
    list->lastRun = now;

    // Settle every time left and detach the due timers (in their order)
    // before any procedure runs.
    std::vector<LoopTimer*> due;
    LoopTimer** link = &list->firstActive;
    while (*link) {
        LoopTimer* timer = *link;
        if (elapsed < timer->msLeft) {
            timer->msLeft -= elapsed;
            link = &timer->next;
            continue;
        }
        *link = timer->next;
        timer->flags &= ~kTimerActive;
        due.push_back(timer);
    }
    if (due.empty()) return;
    for (auto it = due.rbegin(); it != due.rend(); ++it) {
        LoopTimer* timer = *it;
        if (timer->intervalMs == kTimerOneShot) {
            timer->msLeft = kTimerNever;
            timer->flags &= ~kTimerRearm;
        } else {
            timer->msLeft = NextLeftAfterFiring(timer, elapsed);
            timer->flags |= kTimerRearm;
        }
        timer->flags |= kTimerFiring;
        timer->next = list->firstIdle;
        list->firstIdle = timer;
        timer->flags |= kTimerInList;
    }

    for (LoopTimer* timer : due) {
        // A due timer removed by an earlier one in this pass does not fire.
        if (!(timer->flags & kTimerDispose)) timer->procedure(timer, timer->userData);
        timer->flags &= ~kTimerFiring;
    }

    // Free the removed timers, re-arm the repeating ones; timers still
    // firing in an outer pass are left to it.
    link = &list->firstIdle;
    while (*link) {
        LoopTimer* timer = *link;
        if (timer->flags & kTimerFiring) {
            link = &timer->next;
        } else if (timer->flags & kTimerDispose) {
            *link = timer->next;
            FreeHeapBlock(timer);
        } else if (timer->flags & kTimerRearm) {
            *link = timer->next;
            timer->flags &= ~(kTimerInList | kTimerRearm);
            timer->next = nullptr;
            LinkActive(timer);
        } else {
            link = &timer->next;
        }
    }
}

uint32_t LoopTimerListNextDue(const LoopTimerList* list) {
    if (!list->firstActive) return kTimerNever;
    uint32_t since = ClockMilliseconds() - list->lastRun;
    uint32_t left = list->firstActive->msLeft;
    return left > since ? left - since : 0;
}
