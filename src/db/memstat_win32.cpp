#include <windows.h>

#include "db/memstat.h"

void MemStatusReadSystem(MemStatus* out) {
    MEMORYSTATUSEX m;
    m.dwLength = sizeof m;
    if (!GlobalMemoryStatusEx(&m)) {
        *out = MemStatus{0, 0, 0};
        return;
    }
    out->totalPhys = m.ullTotalPhys;
    out->availPhys = m.ullAvailPhys;
    out->availPageFile = m.ullAvailPageFile;
}
