#include <sys/sysinfo.h>

#include "db/memstat.h"

void MemStatusReadSystem(MemStatus* out) {
    struct sysinfo info;
    if (sysinfo(&info) != 0) {
        *out = MemStatus{0, 0, 0};
        return;
    }
    uint64_t unit = info.mem_unit ? info.mem_unit : 1;
    out->totalPhys = uint64_t(info.totalram) * unit;
    out->availPhys = uint64_t(info.freeram + info.bufferram) * unit;
    // The commit room beyond physical memory: free swap and free memory.
    out->availPageFile = (uint64_t(info.freeswap) + uint64_t(info.freeram)) * unit;
}
