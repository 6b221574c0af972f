// Loop timers: the timers of the event loop. A LoopTimerList keeps its
// active timers sorted by milliseconds left (ascending, equal values in
// their order of insertion) and its idle timers (one-shots that fired,
// timers set to never fire) on a second list. Times left are relative to
// the list's last run; the event loop's wait runs the due timers and sleeps
// no longer than the earliest deadline.
//
// Guarantees: a timer may remove itself or others, install new ones or run
// a nested pass from inside its procedure; a pass first settles the times
// and detaches the due timers, then fires them, so both lists stay
// consistent and a timer removed while firing is freed only after its
// procedure returns.
#pragma once
#include <cstdint>

struct LoopTimer;
struct LoopTimerList;
typedef void (*LoopTimerProc)(LoopTimer* timer, void* userData);

// Milliseconds left / interval codes.
constexpr uint32_t kTimerNever = 0xFFFFFFFFu;   // -1: never fires (idle list)
constexpr uint32_t kTimerBeyond = 0xFFFFFFFEu;  // -2: beyond the largest count
constexpr uint32_t kTimerOneShot = kTimerNever; // interval -1: one-shot
// Longest interval in seconds that still counts in milliseconds.
constexpr double kTimerLongestIntervalSeconds = 4294967.0;

// LoopTimer flags.
constexpr uint32_t kTimerInList = 0x01;
constexpr uint32_t kTimerActive = 0x02;
constexpr uint32_t kTimerFiring = 0x04;
constexpr uint32_t kTimerRearm = 0x08;
constexpr uint32_t kTimerDispose = 0x10;

// Result codes.
constexpr int32_t kTimerResultOk = 0;
constexpr int32_t kTimerResultNoMemory = 8;
constexpr int32_t kTimerResultBeingRemoved = -9877;

struct LoopTimer {
    LoopTimer* next;
    uint32_t msLeft;     // relative to the list's last run; kTimerNever, kTimerBeyond
    uint32_t intervalMs; // kTimerOneShot for one-shot timers
    LoopTimerList* list;
    LoopTimerProc procedure;
    void* userData;
    uint32_t flags;
};

struct LoopTimerList {
    LoopTimer* firstActive;
    LoopTimer* firstIdle;
    uint32_t lastRun; // millisecond clock
    bool started;
};

// The event loop's list.
LoopTimerList* MainLoopTimerList();

int32_t EventLoopTimerInstall(LoopTimerList* list, double firstDelaySeconds, double intervalSeconds,
                              LoopTimerProc procedure, void* userData, LoopTimer** out);
// Negative seconds: never (idle list); else due that many seconds from now.
void EventLoopTimerSetNextFire(LoopTimer* timer, double seconds);
// Unlinks and frees; while the timer fires, marks it to be freed afterwards;
// kTimerResultBeingRemoved when already marked.
int32_t EventLoopTimerRemove(LoopTimer* timer);
// Fires the due timers of the list.
void RunDueLoopTimers(LoopTimerList* list);
// Milliseconds until the earliest active timer is due, from now
// (kTimerNever when none is active).
uint32_t LoopTimerListNextDue(const LoopTimerList* list);
