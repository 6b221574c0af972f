#include "db/memstat.h"

namespace {
bool s_override = false;
MemStatus s_status;
} // namespace

void MemStatusRead(MemStatus* out) {
    if (s_override)
        *out = s_status;
    else
        MemStatusReadSystem(out);
}

void MemStatusSetOverride(const MemStatus* status) {
    s_override = status != nullptr;
    if (status) s_status = *status;
}
