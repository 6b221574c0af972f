// The clipboard change number with its private-format fallback.
#include "toolbox/ui/clipsequence.h"

namespace {
bool NoNumber(void*, uint32_t*) {
    return false;
}
void NoWrite(void*, uint32_t) {}

ClipboardSequenceAccess g_access{nullptr, &NoNumber, &NoNumber, &NoWrite};
uint32_t g_current = 0;
} // namespace

void SetClipboardSequenceAccess(const ClipboardSequenceAccess* access) {
    g_access = access ? *access : ClipboardSequenceAccess{nullptr, &NoNumber, &NoNumber, &NoWrite};
    g_current = 0;
}

uint32_t ClipboardSequenceNumber() {
    uint32_t number = 0;
    if (g_access.systemNumber(g_access.context, &number)) return g_current = number;
    if (!g_access.readPrivate(g_access.context, &number)) {
        number = g_current + 1;
        g_access.writePrivate(g_access.context, number);
    }
    return g_current = number;
}

uint32_t CurrentClipboardSequence() {
    return g_current;
}
