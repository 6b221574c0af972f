// The machine's memory status, read from the system (one platform file
// each for Win32 and POSIX).
#pragma once
#include <cstdint>

struct MemStatus {
    uint64_t totalPhys;     // installed physical memory, bytes
    uint64_t availPhys;     // available physical memory, bytes
    uint64_t availPageFile; // available page file (commit room), bytes
};

// The current status; the test override when one is set.
void MemStatusRead(MemStatus* out);

// Test-only: answers the given status instead of the system's (null: the
// system again).
void MemStatusSetOverride(const MemStatus* status);

// The platform's reading.
void MemStatusReadSystem(MemStatus* out);
