// The program's string table, read from the executable's STRINGTABLE.
#include <windows.h>

#include "toolbox/core/resource.h"

void StringResourceLoad(int32_t id, int32_t index, char* out) {
    out[0] = 0;
    UINT which = UINT(index > 0 ? id + index - 1 : id);
    if (LoadStringA(GetModuleHandleA(nullptr), which, out, kStringResourceSize) <= 0) out[0] = 0;
}
