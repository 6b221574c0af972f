// Ticks from the millisecond clock. The wide clock remembers the last
// reading and the number of wraps seen; a new clock source (tests install
// fake clocks) starts the count again.
#include "toolbox/core/ticks.h"

#include "toolbox/core/clock.h"

namespace {
constexpr int32_t kVirtualKeyEscape = 0x1B;
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

uint32_t GetTicks() { return static_cast<uint32_t>((ClockMillisecondsWide() * 6 + 50) / 100); }

uint32_t CurrentTicks() { return static_cast<uint32_t>(ClockMillisecondsWide() * 6 / 100); }

uint32_t TicksSince(uint32_t start) { return CurrentTicks() - start; }

int32_t EscapeKeyDown() { return (ClockAsyncKeyState(kVirtualKeyEscape) & 0x8000) ? 1 : 0; }
