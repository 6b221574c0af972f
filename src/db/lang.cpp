#include "db/lang.h"

#include <cstring>

#include "db/err.h"
#include "toolbox/core/byteorder.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/resource.h"

namespace {

const uint32_t kTypeLang = FourCC("LANG");

// The catalogue's memory comes from the toolbox's pointer blocks: it is
// loaded before the pools exist.
struct LangState {
    bool loaded = false;
    int32_t pageCount = 0;
    uint16_t* highest = nullptr; // highest number of each page
    uint8_t* page = nullptr;     // the page held, in machine order
    int32_t pageHeld = 0;        // 0: none
    char* text = nullptr;        // LangString's shared buffer
    char* labels = nullptr;      // kLangLabelSlots slots of LANG_LABEL_MAX + 1
    int32_t labelNumber[kLangLabelSlots] = {};
    bool labelUsed[kLangLabelSlots] = {};
    int32_t labelLast = kLangLabelSlots - 1;
};
LangState s;

uint16_t BigEndian16(const uint8_t* p) {
    return uint16_t((p[0] << 8) | p[1]);
}

uint16_t Word(const uint8_t* page, int32_t at) {
    uint16_t v;
    std::memcpy(&v, page + at, 2);
    return v;
}

void SetWord(uint8_t* page, int32_t at, uint16_t v) {
    std::memcpy(page + at, &v, 2);
}

void* NewCleared(int32_t size) {
    void* p = NewPointerBlockClear(nullptr, size);
    if (!p) ErrOutOfMemory(26715);
    return p;
}

// The page whose highest number is the first not below number; 0 if none.
int32_t PageOf(int32_t number) {
    uint16_t n = uint16_t(number);
    for (int32_t p = 1; p <= s.pageCount; ++p)
        if (s.highest[p - 1] >= n) return p;
    return 0;
}

void LoadPage(int32_t p) {
    if (s.pageHeld == p) return;
    RelocatableBlock h = LoadCustomResource(kTypeLang, kLangFirstResource + p);
    if (!h) ErrReport(26710, p);
    int32_t size = RelocatableBlockSize(h);
    if (size > kLangPageBytes) size = kLangPageBytes;
    std::memset(s.page, 0, kLangPageBytes);
    std::memcpy(s.page, HeapHandleLock(h), size_t(size));
    HeapHandleUnlock(h);
    ReleaseCustomResource(h);
    // The magic, the count and the pairs become machine order.
    uint16_t count = BigEndian16(s.page + 2);
    SetWord(s.page, 0, BigEndian16(s.page));
    SetWord(s.page, 2, count);
    int32_t pairs = count > 127 ? 127 : count;
    for (int32_t i = 0; i < 2 * pairs; ++i)
        SetWord(s.page, 4 + 2 * i, BigEndian16(s.page + 4 + 2 * i));
    s.pageHeld = p;
}

bool Lookup(int32_t number, int32_t max, char* out) {
    if (!s.loaded) ErrReport(26730, number);
    out[0] = 0;
    int32_t p = PageOf(number);
    if (p == 0) return false;
    LoadPage(p);
    return LangPageLookup(s.page, number, max, out);
}

} // namespace

bool LangPageLookup(const uint8_t* page, int32_t number, int32_t max, char* out) {
    out[0] = 0;
    int32_t count = Word(page, 2);
    if (count > 127) return false;
    int32_t textStart = 4 + 4 * count;
    for (int32_t i = 0; i < count; ++i) {
        if (Word(page, 4 + 4 * i) != uint16_t(number)) continue;
        int32_t offset = Word(page, 6 + 4 * i);
        if (offset < textStart || offset >= kLangPageBytes) return false;
        int32_t n = 0;
        while (n < max && offset + n < kLangPageBytes && page[offset + n] != 0) {
            out[n] = char(page[offset + n]);
            ++n;
        }
        out[n] = 0;
        return true;
    }
    return false;
}

void LangInit() {
    LangTestReset();
    RelocatableBlock h = LoadCustomResource(kTypeLang, kLangFirstResource);
    if (!h) ErrReport(26717, kLangFirstResource);
    uint8_t index[kLangPageBytes] = {};
    int32_t size = RelocatableBlockSize(h);
    if (size > kLangPageBytes) size = kLangPageBytes;
    std::memcpy(index, HeapHandleLock(h), size_t(size));
    HeapHandleUnlock(h);
    ReleaseCustomResource(h);
    uint16_t magic = BigEndian16(index);
    if (magic != kLangMagic) ErrReport(26720, magic);
    int32_t count = BigEndian16(index + 2);
    if (count < 1 || count > kLangMaxPages) ErrReport(26725, count);
    s.highest = static_cast<uint16_t*>(NewCleared(int32_t(sizeof(uint16_t)) * count));
    for (int32_t p = 0; p < count; ++p)
        s.highest[p] = BigEndian16(index + 4 + 2 * p);
    s.page = static_cast<uint8_t*>(NewCleared(kLangPageBytes));
    s.text = static_cast<char*>(NewCleared(LANG_TEXT_MAX + 1));
    s.labels = static_cast<char*>(NewCleared(kLangLabelSlots * (LANG_LABEL_MAX + 1)));
    s.pageCount = count;
    s.loaded = true;
}

bool LangIsLoaded() {
    return s.loaded;
}

bool LangGetString(int32_t number, int32_t max, char* out) {
    if (max < 0) max = 0;
    return Lookup(number, max, out);
}

bool LangGetStringChecked(int32_t number, int32_t max, char* out) {
    if (!LangGetString(number, max, out)) ErrReport(26735, number);
    return true;
}

const char* LangString(int32_t number) {
    if (!Lookup(number, LANG_TEXT_MAX, s.loaded ? s.text : nullptr)) ErrReport(26740, number);
    return s.text;
}

const char* LangLabel(int32_t number) {
    if (!s.loaded) ErrReport(26730, number);
    for (int32_t i = 0; i < kLangLabelSlots; ++i)
        if (s.labelUsed[i] && s.labelNumber[i] == number)
            return s.labels + i * (LANG_LABEL_MAX + 1);
    int32_t slot = (s.labelLast + 1) % kLangLabelSlots;
    char* out = s.labels + slot * (LANG_LABEL_MAX + 1);
    s.labelUsed[slot] = false;
    if (!Lookup(number, LANG_LABEL_MAX, out)) ErrReport(26750, number);
    s.labelUsed[slot] = true;
    s.labelNumber[slot] = number;
    s.labelLast = slot;
    return out;
}

void LangTestReset() {
    if (s.highest) FreeHeapBlock(s.highest);
    if (s.page) FreeHeapBlock(s.page);
    if (s.text) FreeHeapBlock(s.text);
    if (s.labels) FreeHeapBlock(s.labels);
    s = LangState();
}
