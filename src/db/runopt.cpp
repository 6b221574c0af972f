#include "db/runopt.h"

#include <cstring>

#include "db/err.h"
#include "db/memstat.h"
#include "toolbox/core/memblock.h"

uint8_t* g_runOptions = nullptr;

namespace {
bool s_physicalRead = false;
uint32_t s_physical = 0;
} // namespace

bool RunOptionsQuiet() {
    return g_runOptions && g_runOptions[kRunOptQuiet];
}

void RunOptionsAlloc() {
    g_runOptions = static_cast<uint8_t*>(NewPointerBlockClear(nullptr, kRunOptionsBytes));
    if (!g_runOptions) ErrOutOfMemory(37812);
    std::memset(g_runOptions, 0, kRunOptionsBytes);
}

void ParseInit() {
    RunOptionsAlloc();
}

void ParseClose() {
    if (g_verbose) DebugPrint("ParseClose: started");
    if (g_runOptions) FreeHeapBlock(g_runOptions);
    g_runOptions = nullptr;
    if (g_verbose) DebugPrint("ParseClose: done");
}

uint32_t ComMemGetPhysical() {
    if (!s_physicalRead) {
        MemStatus m;
        MemStatusRead(&m);
        s_physical = m.totalPhys > 0xFFFFFFFFull ? 0xFFFFFFFFu : uint32_t(m.totalPhys);
        s_physicalRead = true;
        if (g_verbose)
            DebugPrint("ComMemGetPhysical: %ldK memory installed", long(s_physical / 1000));
    }
    return s_physical;
}

void RunOptionsTestReset() {
    if (g_runOptions) FreeHeapBlock(g_runOptions);
    g_runOptions = nullptr;
    s_physicalRead = false;
    s_physical = 0;
}
