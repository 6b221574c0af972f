// Without a system clipboard: opens nest and close as on the system, and
// the clipboard is always empty (nothing can be put on it).
#include "toolbox/ui/clipboard.h"

namespace {
int32_t g_openCount = 0;
}

int32_t ClipboardOpen() {
    ++g_openCount;
    return 0;
}
int32_t ClipboardClose() {
    if (g_openCount <= 0) return kClipboardNotOpen;
    --g_openCount;
    return 0;
}
int32_t ClipboardOpenCount() {
    return g_openCount;
}
int32_t ClipboardSequenceQuery(uint32_t* number) {
    *number = 0;
    return 0;
}
int32_t ClipboardClear() {
    return 0;
}
int32_t ClipboardDataSize(uint32_t, int32_t* length) {
    *length = 0;
    return kClipboardNotThere;
}
int32_t ClipboardImport(uint32_t, int32_t* length, void*) {
    *length = 0;
    return kClipboardNotThere;
}
int32_t ClipboardExport(uint32_t, int32_t, const void*) {
    return kClipboardNoData;
}
void ResetClipboardSequence(bool) {}
