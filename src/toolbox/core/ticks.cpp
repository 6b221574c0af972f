// Ticks from the millisecond clock. The wide clock remembers the last
// reading and the number of wraps seen; a new clock source (tests install
// fake clocks) starts the count again.
#include "toolbox/core/ticks.h"

#include <cmath>

#include "toolbox/core/clock.h"
#include "toolbox/core/timetext.h"

namespace {
constexpr int32_t kVirtualKeyEscape = 0x1B;
constexpr int16_t kKeyDownBit = int16_t(0x8000);
// Milliseconds per tick, as the busy wait rounds them.
constexpr double kMsPerTick = 16.666666667;
uint32_t g_lastMs = 0;
uint64_t g_wraps = 0;
uint32_t g_generation = 0;
bool g_started = false;
} // namespace

uint64_t ClockMillisecondsWide() {
    uint32_t ms = ClockMilliseconds();
    if (!g_started || g_generation != ClockGeneration()) {
        g_started = true;
        g_generation = ClockGeneration();
        g_wraps = 0;
    } else if (ms < g_lastMs) {
        ++g_wraps;
    }
    g_lastMs = ms;
    return (g_wraps << 32) | ms;
}

uint32_t GetTicks() {
    return static_cast<uint32_t>((ClockMillisecondsWide() * 6 + 50) / 100);
}

uint32_t CurrentTicks() {
    return static_cast<uint32_t>((ClockMillisecondsWide() * 6 + 50) / 100);
}

int32_t MsToTicks(int32_t ms) {
    return ms < 0 ? kTicksOfNegativeMs : MulDivRound(ms, 6, 100);
}

int32_t TicksToMs(int32_t ticks) {
    return ticks >= kTicksToMsLimit ? kTicksMsSaturated : MulDivRound(ticks, 100, 6);
}

void WaitTicksBusy(int32_t ticks) {
    uint64_t end = ClockMillisecondsWide() + uint64_t(std::llround(double(ticks) * kMsPerTick));
    if (ticks <= 0) return;
    while (ClockMillisecondsWide() < end) {
    }
}

void SpinWaitTicks(int32_t ticks, uint32_t* end) {
    uint32_t now = ClockMilliseconds();
    uint32_t until = now + uint32_t(TicksToMs(ticks));
    if (end) *end = until;
    if (ticks <= 0) return;
    if (until < now) {
        // The end lies past the wrap: wait for the clock to wrap first.
        while (ClockMilliseconds() >= now) {
        }
    }
    while (ClockMilliseconds() < until) {
    }
}

uint32_t TicksSince(uint32_t start) {
    return CurrentTicks() - start;
}

int32_t EscapeKeyDown() {
    return (ClockAsyncKeyState(kVirtualKeyEscape) & kKeyDownBit) ? 1 : 0;
}
