// Platform layer under the heap allocator: address space reserved in
// 64-KB-aligned regions and committed in 4-KB granules, a recursive lock,
// the thread id, and the allocator's error box.
#pragma once
#include <cstddef>
#include <cstdint>

enum : uint32_t {
    kVmRegionBytes = 0x10000, // reservations start on and round up to 64 KB
    kVmPageBytes = 0x1000,    // commitment granule
};

// Reserves at least `bytes` (rounded up to 64 KB) of inaccessible address
// space at a 64-KB-aligned address; `hint` is a preferred address (may be
// null or ignored). Null on failure.
void* VmReserve(size_t bytes, void* hint);
// Makes [address, address + bytes) readable and writable; newly committed
// memory reads as zero. False on failure.
bool VmCommit(void* address, size_t bytes);
// Returns the memory of [address, address + bytes) to the system; the
// range stays reserved and becomes inaccessible.
bool VmDecommit(void* address, size_t bytes);
// Releases a whole reservation made by VmReserve (size as reserved).
void VmRelease(void* base, size_t bytes);
// Locks committed pages in physical memory; false when refused.
bool VmLockPages(void* address, size_t bytes);

// A recursive lock held in caller-provided storage.
struct PlatformLock {
    alignas(16) unsigned char storage[64];
    bool ready;
};
void PlatformLockInit(PlatformLock* lock);
void PlatformLockEnter(PlatformLock* lock);
void PlatformLockLeave(PlatformLock* lock);

uint32_t PlatformThreadId();

// Answers of the allocator's error box.
enum : int32_t {
    kBoxGoOn = 0, // OK or Ignore
    kBoxRetry = 1,
    kBoxEnd = 2,  // Cancel or Abort: the caller ends the process
};
// Shows `text` under `caption` with Abort/Retry/Ignore buttons when
// `retryButtons` is set, OK/Cancel otherwise, after a beep. Where no box can
// be shown the text goes to the error stream and the answer is kBoxGoOn.
int32_t PlatformErrorBox(const char* caption, const char* text, bool retryButtons);
// Ends the process at once after an error box asked for it.
[[noreturn]] void PlatformAbortProcess();
