// Cut, copy and paste of text records over the text scrap.
#include "toolbox/ui/textscrap.h"

#include <cstring>

#include "toolbox/ui/clipboard.h"

bool TextCopy(TextRecord* record) {
    if (ScrapTextHandle() == nullptr && !MakeTextScrap()) return false;
    RelocatableBlock scrap = ScrapTextHandle();
    int32_t count = record->selEnd - record->selStart;
    if (RelocatableBlockSize(scrap) < count && !ResizeRelocatableBlock(scrap, count)) return false;
    if (count > 0) {
        void* bytes = HeapHandleLock(scrap);
        std::memcpy(bytes, record->text.data() + record->selStart, size_t(count));
        HeapHandleUnlock(scrap);
    }
    ScrapTextSetLength(count);
    return true;
}

bool TextCut(TextRecord* record) {
    if (!TextCopy(record)) return false;
    TextDelete(record);
    return true;
}

bool TextPasteFiltered(TextRecord* record, int32_t limit, bool (*filter)(char)) {
    RelocatableBlock scrap = ScrapTextHandle();
    int32_t length = ScrapTextLength();
    if (scrap == nullptr || length <= 0) return TextInsertFiltered("", 0, limit, filter, record);
    const char* bytes = static_cast<const char*>(HeapHandleLock(scrap));
    bool done = TextInsertFiltered(bytes, length, limit, filter, record);
    HeapHandleUnlock(scrap);
    return done;
}

bool TextPaste(TextRecord* record) {
    return TextPasteFiltered(record, kTextNoLimit, nullptr);
}

int32_t ClipboardTextLength() {
    return ScrapTextHandle() != nullptr ? ScrapTextLength() : 0;
}

int32_t PublishClipboardText() {
    return ExportScrapText();
}

int32_t ImportClipboardText() {
    return ImportScrapText();
}
