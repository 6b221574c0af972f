// Stored accelerator entries in a block grown in steps of kAccelRoomStep.
#include "toolbox/core/accelerators.h"

#include <cstdlib>
#include <cstring>

namespace {
AcceleratorEntry* g_entries = nullptr;
int32_t g_count = 0;
int32_t g_room = 0;
bool g_rebuild = false;
} // namespace

bool SetAcceleratorEntries(const AcceleratorEntry* entries, int32_t count) {
    if (count < 0) count = 0;
    int32_t room = (count + kAccelRoomStep - 1) / kAccelRoomStep * kAccelRoomStep;
    if (room > g_room) {
        auto* grown = static_cast<AcceleratorEntry*>(
            std::realloc(g_entries, size_t(room) * sizeof(AcceleratorEntry)));
        if (!grown) return false;
        g_entries = grown;
        g_room = room;
    }
    if (count) std::memcpy(g_entries, entries, size_t(count) * sizeof(AcceleratorEntry));
    g_count = count;
    g_rebuild = true;
    return true;
}

const AcceleratorEntry* AcceleratorEntries(int32_t* count) {
    *count = g_count;
    return g_entries;
}

int32_t AcceleratorRoom() {
    return g_room;
}

bool TakeAcceleratorRebuild() {
    bool rebuild = g_rebuild;
    g_rebuild = false;
    return rebuild;
}
