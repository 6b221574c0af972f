// Ticks: the time in sixtieths of a second, from the millisecond clock of
// the clock layer, conversions between ticks and milliseconds, busy waits,
// and the asynchronous state of the Escape key. One definition serves both
// builds, the router, the rule checks and the GUI.
//
// The millisecond clock wraps at 2^32 ms (49.7 days); its wraps are counted
// in 64 bits, so ticks keep running past 24.8 days of uptime and past the
// wrap. Tick values are taken modulo 2^32; TicksSince is wrap-safe.
// Explicit conversions round as MulDiv does (halves away from zero).
#pragma once
#include <cstdint>

// MsToTicks of a negative count: the largest count of ticks a 32-bit
// millisecond value can give.
constexpr int32_t kTicksOfNegativeMs = 128849018;
// TicksToMs of this many ticks or more saturates to kTicksMsSaturated.
constexpr int32_t kTicksToMsLimit = 128849019;
constexpr int32_t kTicksMsSaturated = 2147483647;

// Round-to-nearest of the (wrap-counted) millisecond clock times 0.06.
uint32_t GetTicks();
// The millisecond clock in ticks (ms x 6 / 100 rounded as MulDiv does),
// wrap-counted like GetTicks.
uint32_t CurrentTicks();
// Ticks elapsed since `start` (a CurrentTicks or GetTicks value), unsigned.
uint32_t TicksSince(uint32_t start);
// MulDiv(ms, 6, 100); a negative value gives kTicksOfNegativeMs.
int32_t MsToTicks(int32_t ms);
// MulDiv(ticks, 100, 6); kTicksToMsLimit or more gives kTicksMsSaturated.
int32_t TicksToMs(int32_t ticks);
// Spins on the millisecond clock until start + round(ticks x 16.666666667).
void WaitTicksBusy(int32_t ticks);
// Spins until the millisecond clock reaches now + TicksToMs(ticks) (when
// that end lies past the clock's wrap, first until the clock wraps); `end`
// (may be null) receives that end value in milliseconds.
void SpinWaitTicks(int32_t ticks, uint32_t* end);
// 1 while the Escape key is held down (high bit of its asynchronous key
// state), else 0.
int32_t EscapeKeyDown();
// The millisecond clock with its wraps counted: never goes backwards while
// the clock source stays the same.
uint64_t ClockMillisecondsWide();
