// POSIX clock: the real-time and monotonic clocks and the C library's zone
// offset; there is no keyboard to ask, so no key is ever down.
#include <time.h>

#include "toolbox/core/clock.h"

namespace {
constexpr uint64_t kUnixEpochFileTime = 116444736000000000ull; // 1970-01-01 in 1601 units
}

uint64_t PlatformSystemFileTime() {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return kUnixEpochFileTime + uint64_t(ts.tv_sec) * 10000000ull + uint64_t(ts.tv_nsec) / 100;
}

bool PlatformTimeZoneBias(int32_t* minutes) {
    time_t now = time(nullptr);
    tm local;
    if (!localtime_r(&now, &local)) return false;
    *minutes = int32_t(-local.tm_gmtoff / 60);
    return true;
}

uint64_t PlatformLocalFileTime(uint64_t utc) {
    if (utc < kUnixEpochFileTime) return utc;
    time_t t = time_t((utc - kUnixEpochFileTime) / 10000000ull);
    tm local;
    if (!localtime_r(&t, &local)) return utc;
    return uint64_t(int64_t(utc) + int64_t(local.tm_gmtoff) * 10000000ll);
}

uint32_t PlatformMilliseconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint32_t(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

int16_t PlatformAsyncKeyState(int32_t virtualKey) {
    (void)virtualKey;
    return 0;
}
