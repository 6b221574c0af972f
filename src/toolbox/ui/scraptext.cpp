// The text scrap: a relocatable block and its length, moved to and from
// the clipboard as 'TEXT' within one open.
#include "toolbox/ui/clipboard.h"

namespace {
RelocatableBlock g_scrap = nullptr;
int32_t g_length = 0;
uint32_t g_suspendedSequence = 0;
} // namespace

bool MakeTextScrap() {
    if (!g_scrap) g_scrap = NewRelocatableBlock(nullptr, 0);
    g_length = 0;
    return g_scrap != nullptr;
}

RelocatableBlock ScrapTextHandle() {
    return g_scrap;
}
int32_t ScrapTextLength() {
    return g_length;
}
void ScrapTextSetLength(int32_t length) {
    g_length = length < 0 ? 0 : length;
}

int32_t ExportScrapText() {
    if (!g_scrap || g_length <= 0) return 0;
    int32_t error = ClipboardOpen();
    if (error) return error;
    error = ClipboardClear();
    if (!error) {
        const void* bytes = HeapHandleLock(g_scrap);
        error = ClipboardExport(kScrapText, g_length, bytes);
        HeapHandleUnlock(g_scrap);
    }
    ClipboardClose();
    return error;
}

int32_t ImportScrapText() {
    if (!g_scrap && !MakeTextScrap()) return kClipboardNoData;
    int32_t error = ClipboardOpen();
    if (error) return error;
    int32_t length = 0;
    error = ClipboardDataSize(kScrapText, &length);
    if (!error && ResizeRelocatableBlock(g_scrap, length)) {
        void* bytes = HeapHandleLock(g_scrap);
        error = ClipboardImport(kScrapText, &length, bytes);
        HeapHandleUnlock(g_scrap);
        if (!error) g_length = length;
    }
    ClipboardClose();
    return error;
}

void ClipboardSuspend() {
    ClipboardSequenceQuery(&g_suspendedSequence);
}

void ClipboardResume() {
    uint32_t now = 0;
    ClipboardSequenceQuery(&now);
    if (now != g_suspendedSequence) ImportScrapText();
}

void SuspendResumeClipboardHook(uint8_t background) {
    if (background)
        ClipboardSuspend();
    else
        ClipboardResume();
}
