// Test support for native windows under Wine: the heap, the system input
// source, the shared frame and the window layer's hooks (which fixtures of
// the portable tests reset to their defaults).
#pragma once
#include "toolbox/core/heap.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/osinput.h"

inline bool PrepareNativeWindowTest() {
    MemInit(0, -1);
    SetHeapErrorHandler(&SilentHeapErrorHandler);
    SetOsInputSource(nullptr);
    if (!CreateMainFrame()) return false;
    InstallNativeWindowHooks();
    return true;
}
