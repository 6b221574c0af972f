// Win32 clock: GetSystemTimeAsFileTime, GetTimeZoneInformation,
// FileTimeToLocalFileTime, GetTickCount and GetAsyncKeyState.
#include <windows.h>

#include "toolbox/core/clock.h"

namespace {
uint64_t FromFileTime(const FILETIME& ft) {
    return (uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
FILETIME ToFileTime(uint64_t v) {
    FILETIME ft;
    ft.dwLowDateTime = DWORD(v);
    ft.dwHighDateTime = DWORD(v >> 32);
    return ft;
}
} // namespace

uint64_t PlatformSystemFileTime() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return FromFileTime(ft);
}

bool PlatformTimeZoneBias(int32_t* minutes) {
    TIME_ZONE_INFORMATION tz;
    DWORD answer = GetTimeZoneInformation(&tz);
    if (answer == TIME_ZONE_ID_INVALID) return false;
    int32_t bias = tz.Bias;
    if (answer == TIME_ZONE_ID_DAYLIGHT) bias += tz.DaylightBias;
    *minutes = bias;
    return true;
}

uint64_t PlatformLocalFileTime(uint64_t utc) {
    FILETIME in = ToFileTime(utc), out;
    if (!FileTimeToLocalFileTime(&in, &out)) return utc;
    return FromFileTime(out);
}

uint32_t PlatformMilliseconds() { return GetTickCount(); }

int16_t PlatformAsyncKeyState(int32_t virtualKey) { return int16_t(GetAsyncKeyState(virtualKey)); }
