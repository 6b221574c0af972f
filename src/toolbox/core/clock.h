// The clock layer: the system time (100-ns units since 1601-01-01 UTC), the
// local-time bias, the millisecond clock and the asynchronous key state.
// Tests replace any of them with their own procedures for determinism.
#pragma once
#include <cstdint>

struct ClockSource {
    // Now, in 100-ns units since 1601-01-01 UTC.
    uint64_t (*systemFileTime)();
    // Minutes to add to local time to get UTC (the zone's bias plus the
    // daylight bias while daylight time is in force); false when unknown.
    bool (*timeZoneBias)(int32_t* minutes);
    // A UTC file time made local.
    uint64_t (*localFileTime)(uint64_t utc);
    // Milliseconds since the system started (wraps at 2^32).
    uint32_t (*milliseconds)();
    // Key state of a virtual key: high bit set while the key is down.
    int16_t (*asyncKeyState)(int32_t virtualKey);
};

// Installs the procedures of `source` (copied); null fields, or a null
// source, fall back to the system's own.
void SetClockSource(const ClockSource* source);
// Counts SetClockSource calls, so that cached readings can be dropped.
uint32_t ClockGeneration();

uint64_t ClockSystemFileTime();
bool ClockTimeZoneBias(int32_t* minutes);
uint64_t ClockLocalFileTime(uint64_t utc);
uint32_t ClockMilliseconds();
int16_t ClockAsyncKeyState(int32_t virtualKey);

// The system's procedures (clock_win32.cpp / clock_posix.cpp).
uint64_t PlatformSystemFileTime();
bool PlatformTimeZoneBias(int32_t* minutes);
uint64_t PlatformLocalFileTime(uint64_t utc);
uint32_t PlatformMilliseconds();
int16_t PlatformAsyncKeyState(int32_t virtualKey);
