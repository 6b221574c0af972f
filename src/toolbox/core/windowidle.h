// Window idle events: the idle interval of each port (in ticks; -1 none,
// -2 the caret-blink time) and the idle timer that sends the port a null
// record while its window is active.
//
// Guarantees: a port has an idle timer only while its window is active and
// its interval is not negative; disposing the port record removes it.
#pragma once
#include <cstdint>

struct PortRecord;
struct TimerTask;

constexpr int32_t kIdleNone = -1;
constexpr int32_t kIdleCaretBlink = -2;
constexpr int32_t kIdleNever = INT32_MAX;

// max(1, floor(ticks x 1000 / 59.2)) ms.
int32_t IdleIntervalMs(int32_t ticks);
// Negatives other than -2 become -1; null sets the layer's default. A
// change re-installs the timer when one exists or the window is active.
void WindowSetIdleInterval(PortRecord* port, int32_t ticks);
// -2 gives the caret-blink ticks, other negatives 2,147,483,647, else the
// interval; null answers the default.
int32_t WindowIdleInterval(const PortRecord* port);
// Replaces the port's idle timer by one of its current interval (none for
// a negative interval).
void WindowIdleTimerInstall(PortRecord* port);
void WindowIdleTimerRemove(PortRecord* port);
// Activation installs the idle timer, deactivation removes it.
void WindowIdleActivate(PortRecord* port, bool active);
// The timer's procedure: a null record to the port while its window is
// active.
void WindowIdleTimerFire(TimerTask* task, void* port);
// Whether a port's window is the active one; null restores the default
// (the port whose activation was last reported).
void SetIdleActiveProvider(bool (*provider)(const PortRecord* port));
// Whether the port's window is the active one, by the provider.
bool IsPortActive(const PortRecord* port);
