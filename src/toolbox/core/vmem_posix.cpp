// POSIX platform layer of the allocator: mmap/mprotect/madvise, a recursive
// pthread mutex, and the error "box" on the error stream.
#include <pthread.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "toolbox/core/vmem.h"

namespace {
size_t roundUp(size_t n, size_t unit) { return (n + unit - 1) / unit * unit; }
} // namespace

void* VmReserve(size_t bytes, void* hint) {
    if (bytes == 0) return nullptr;
    size_t size = roundUp(bytes, kVmRegionBytes);
    if (hint && (uintptr_t(hint) & (kVmRegionBytes - 1)) == 0) {
        void* p = mmap(hint, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (p == hint) return p;
        if (p != MAP_FAILED) munmap(p, size);
    }
    // Over-reserve by one region and trim to a 64-KB boundary.
    size_t span = size + kVmRegionBytes;
    void* raw = mmap(nullptr, span, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    uintptr_t start = uintptr_t(raw);
    uintptr_t aligned = roundUp(start, kVmRegionBytes);
    if (aligned > start) munmap(raw, aligned - start);
    uintptr_t end = start + span;
    if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    return reinterpret_cast<void*>(aligned);
}

bool VmCommit(void* address, size_t bytes) {
    if (bytes == 0) return true;
    return mprotect(address, roundUp(bytes, kVmPageBytes), PROT_READ | PROT_WRITE) == 0;
}

bool VmDecommit(void* address, size_t bytes) {
    if (bytes == 0) return true;
    size_t size = roundUp(bytes, kVmPageBytes);
    madvise(address, size, MADV_DONTNEED);
    return mprotect(address, size, PROT_NONE) == 0;
}

void VmRelease(void* base, size_t bytes) {
    if (base) munmap(base, roundUp(bytes, kVmRegionBytes));
}

bool VmLockPages(void* address, size_t bytes) { return mlock(address, bytes) == 0; }

static_assert(sizeof(pthread_mutex_t) <= sizeof(PlatformLock::storage));

void PlatformLockInit(PlatformLock* lock) {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(new (lock->storage) pthread_mutex_t, &attr);
    pthread_mutexattr_destroy(&attr);
    lock->ready = true;
}

void PlatformLockEnter(PlatformLock* lock) {
    pthread_mutex_lock(reinterpret_cast<pthread_mutex_t*>(lock->storage));
}

void PlatformLockLeave(PlatformLock* lock) {
    pthread_mutex_unlock(reinterpret_cast<pthread_mutex_t*>(lock->storage));
}

uint32_t PlatformThreadId() { return uint32_t(syscall(SYS_gettid)); }

int32_t PlatformErrorBox(const char* caption, const char* text, bool retryButtons) {
    (void)retryButtons;
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return kBoxGoOn;
}

void PlatformAbortProcess() { std::_Exit(3); }
