// The font list: a name heap and an index of entries, appended in the
// order reported and then sorted by name so lookups halve the index.
#include "toolbox/ui/fontlist.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "toolbox/ui/nameheap.h"

namespace {
constexpr int32_t kNameHeapGrowth = 1024;

RelocatableBlock g_names = nullptr;
std::vector<FontListEntry> g_index;
bool g_sorted = false;
char g_systemFace[kFontNameCapacity];
char g_applicationFace[kFontNameCapacity];

// Case-insensitive comparison of counted names, shorter first on a tie.
int CompareNames(const char* a, int32_t la, const char* b, int32_t lb) {
    for (int32_t i = 0; i < la && i < lb; ++i) {
        unsigned char ca = uint8_t(a[i]), cb = uint8_t(b[i]);
        if (ca >= 'a' && ca <= 'z') ca = uint8_t(ca - 'a' + 'A');
        if (cb >= 'a' && cb <= 'z') cb = uint8_t(cb - 'a' + 'A');
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return la == lb ? 0 : (la < lb ? -1 : 1);
}

const char* EntryName(const FontListEntry& entry, int32_t* length) {
    return NameHeapText(g_names, entry.name, length);
}

void CopyName(char* out, int32_t capacity, const char* text, int32_t length) {
    if (capacity < 1) return;
    if (length > capacity - 1) length = capacity - 1;
    if (length > 0) std::memcpy(out, text, size_t(length));
    out[length] = 0;
}
} // namespace

void FontListReset() {
    DisposeNameHeap(g_names);
    g_names = nullptr;
    g_index.clear();
    g_sorted = false;
}

bool FontListAppend(const char* name, bool scalable) {
    if (!g_names) g_names = NewNameHeap(kNameHeapGrowth, kNameHeapGrowth);
    int32_t length = int32_t(std::strlen(name));
    if (length > kFaceNameLongest) length = kFaceNameLongest;
    uint32_t reference = NameHeapAdd(g_names, name, length);
    if (!reference) return false;
    g_index.push_back(
        FontListEntry{reference, int16_t(kFirstListedFont + g_index.size()), int16_t(scalable)});
    g_sorted = false;
    return true;
}

void FontListSort() {
    std::stable_sort(g_index.begin(), g_index.end(),
                     [](const FontListEntry& a, const FontListEntry& b) {
                         int32_t la = 0, lb = 0;
                         const char* na = EntryName(a, &la);
                         const char* nb = EntryName(b, &lb);
                         return CompareNames(na, la, nb, lb) < 0;
                     });
    g_sorted = true;
}

bool FontListSorted() {
    return g_sorted;
}
int32_t FontCount() {
    return int32_t(g_index.size());
}

const FontListEntry* FontEntryAt(int32_t index) {
    return index >= 0 && index < FontCount() ? &g_index[size_t(index)] : nullptr;
}

const char* FontNameAt(int32_t index, char* out, int32_t capacity) {
    const FontListEntry* entry = FontEntryAt(index);
    int32_t length = 0;
    const char* text = entry ? EntryName(*entry, &length) : nullptr;
    CopyName(out, capacity, text, text ? length : 0);
    return out;
}

int32_t FontNameAt(int32_t index, uint8_t* countedName, int16_t* style, uint8_t* usable) {
    const FontListEntry* entry = FontEntryAt(index);
    char name[kFontNameCapacity];
    FontNameAt(index, name, kFontNameCapacity);
    size_t length = std::strlen(name);
    if (countedName) {
        countedName[0] = uint8_t(length);
        std::memcpy(countedName + 1, name, length);
    }
    if (style) *style = 0;
    if (usable) *usable = entry ? 1 : 0;
    return entry ? 0 : kFontUnknownNumber;
}

void SetSystemFaceName(const char* name) {
    CopyName(g_systemFace, kFontNameCapacity, name, int32_t(std::strlen(name)));
}
void SetApplicationFaceName(const char* name) {
    CopyName(g_applicationFace, kFontNameCapacity, name, int32_t(std::strlen(name)));
}
const char* SystemFaceName() {
    return g_systemFace;
}
const char* ApplicationFaceName() {
    return g_applicationFace;
}

int16_t FontNumberFromName(const char* name) {
    if (!g_sorted) FontListSort();
    int32_t wanted = int32_t(std::strlen(name));
    int32_t low = 0, high = FontCount() - 1;
    while (low <= high) {
        int32_t middle = (low + high) / 2;
        int32_t length = 0;
        const char* text = EntryName(g_index[size_t(middle)], &length);
        int order = CompareNames(name, wanted, text, length);
        if (order == 0) return g_index[size_t(middle)].number;
        if (order < 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return 0;
}

int32_t FontNameFromNumber(int16_t number, char* out, int32_t capacity) {
    const char* face = nullptr;
    if (number == kSystemFontNumber0 || number == kSystemFontNumber) face = g_systemFace;
    if (number == kApplicationFontNumber) face = g_applicationFace;
    if (face) {
        CopyName(out, capacity, face, int32_t(std::strlen(face)));
        return 0;
    }
    for (const FontListEntry& entry : g_index) {
        if (entry.number != number) continue;
        int32_t length = 0;
        const char* text = EntryName(entry, &length);
        CopyName(out, capacity, text, length);
        return 0;
    }
    CopyName(out, capacity, "", 0);
    return kFontUnknownNumber;
}
