// Win32 platform layer of the allocator: the VirtualAlloc family, critical
// sections and the message box.
#include <windows.h>

#include <cstdlib>
#include <new>

#include "toolbox/core/vmem.h"

void* VmReserve(size_t bytes, void* hint) {
    if (bytes == 0) return nullptr;
    size_t size = (bytes + kVmRegionBytes - 1) / kVmRegionBytes * kVmRegionBytes;
    void* p = nullptr;
    if (hint) p = VirtualAlloc(hint, size, MEM_RESERVE, PAGE_NOACCESS);
    if (!p) p = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
    return p;
}

bool VmCommit(void* address, size_t bytes) {
    if (bytes == 0) return true;
    return VirtualAlloc(address, bytes, MEM_COMMIT, PAGE_READWRITE) != nullptr;
}

bool VmDecommit(void* address, size_t bytes) {
    if (bytes == 0) return true;
    return VirtualFree(address, bytes, MEM_DECOMMIT) != 0;
}

void VmRelease(void* base, size_t bytes) {
    (void)bytes;
    if (base) VirtualFree(base, 0, MEM_RELEASE);
}

bool VmLockPages(void* address, size_t bytes) { return VirtualLock(address, bytes) != 0; }

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(PlatformLock::storage));

void PlatformLockInit(PlatformLock* lock) {
    InitializeCriticalSection(new (lock->storage) CRITICAL_SECTION);
    lock->ready = true;
}

void PlatformLockEnter(PlatformLock* lock) {
    EnterCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(lock->storage));
}

void PlatformLockLeave(PlatformLock* lock) {
    LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(lock->storage));
}

uint32_t PlatformThreadId() { return uint32_t(GetCurrentThreadId()); }

int32_t PlatformErrorBox(const char* caption, const char* text, bool retryButtons) {
    MessageBeep(0);
    UINT style = MB_TASKMODAL | MB_ICONHAND | MB_DEFBUTTON2 |
                 (retryButtons ? MB_ABORTRETRYIGNORE : MB_OKCANCEL);
    int answer = MessageBoxA(nullptr, text, caption, style);
    if (answer == 0)
        answer = MessageBoxA(nullptr, text, caption, (style & ~UINT(MB_TASKMODAL)) | MB_SYSTEMMODAL);
    switch (answer) {
    case IDRETRY: return kBoxRetry;
    case IDCANCEL:
    case IDABORT: return kBoxEnd;
    default: return kBoxGoOn; // OK, Ignore, or no box at all
    }
}

void PlatformAbortProcess() { ExitProcess(3); }
