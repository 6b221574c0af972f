// Dispatch of the clock layer to the installed or the system procedures.
#include "toolbox/core/clock.h"

namespace {
ClockSource g_source{};
uint32_t g_generation = 0;
} // namespace

void SetClockSource(const ClockSource* source) {
    g_source = source ? *source : ClockSource{};
    ++g_generation;
}

uint32_t ClockGeneration() { return g_generation; }

uint64_t ClockSystemFileTime() {
    return g_source.systemFileTime ? g_source.systemFileTime() : PlatformSystemFileTime();
}

bool ClockTimeZoneBias(int32_t* minutes) {
    return g_source.timeZoneBias ? g_source.timeZoneBias(minutes) : PlatformTimeZoneBias(minutes);
}

uint64_t ClockLocalFileTime(uint64_t utc) {
    return g_source.localFileTime ? g_source.localFileTime(utc) : PlatformLocalFileTime(utc);
}

uint32_t ClockMilliseconds() {
    return g_source.milliseconds ? g_source.milliseconds() : PlatformMilliseconds();
}

int16_t ClockAsyncKeyState(int32_t virtualKey) {
    return g_source.asyncKeyState ? g_source.asyncKeyState(virtualKey) : PlatformAsyncKeyState(virtualKey);
}
