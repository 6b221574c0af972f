// Ticks: the time in sixtieths of a second, from the millisecond clock of
// the clock layer, and the asynchronous state of the Escape key. One
// definition serves both builds, the router, the rule checks and the GUI.
//
// The millisecond clock wraps at 2^32 ms (49.7 days); its wraps are counted
// in 64 bits, so ticks keep running past 24.8 days of uptime and past the
// wrap. Tick values are taken modulo 2^32; TicksSince is wrap-safe.
#pragma once
#include <cstdint>

// Round-to-nearest of the (wrap-counted) millisecond clock times 0.06.
uint32_t GetTicks();
// The millisecond clock in ticks (ms x 6 / 100), wrap-counted like GetTicks.
uint32_t CurrentTicks();
// Ticks elapsed since `start` (a CurrentTicks or GetTicks value), unsigned.
uint32_t TicksSince(uint32_t start);
// 1 while the Escape key is held down (high bit of its asynchronous key
// state), else 0.
int32_t EscapeKeyDown();
// The millisecond clock with its wraps counted: never goes backwards while
// the clock source stays the same.
uint64_t ClockMillisecondsWide();
