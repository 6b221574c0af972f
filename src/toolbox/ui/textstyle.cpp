// Text style records and the theme kinds table.
#include "toolbox/ui/textstyle.h"

#include <cstring>

#include "toolbox/ui/fontlist.h"

namespace {
enum ThemeFace : uint8_t { kFaceSystem, kFaceFixed, kFaceApplication };
struct ThemeKind {
    ThemeFace face;
    int16_t size; // 0: the application face's size
    bool applicationBits;
};
const ThemeKind kThemeTable[kThemeKinds] = {
    {kFaceSystem, 8, false},     {kFaceFixed, 8, false},       {kFaceSystem, 10, false},
    {kFaceFixed, 10, false},     {kFaceSystem, 12, false},     {kFaceFixed, 12, false},
    {kFaceApplication, 0, true}, {kFaceApplication, 0, false},
};

char g_fixedFace[kFontNameCapacity];
int16_t g_applicationSize = kApplicationFaceSize;
uint16_t g_applicationFace = 0;

void Touch(TextStyleRecord* record) {
    record->flags |= kStyleMetricsStale;
}
} // namespace

void SetFixedFaceName(const char* name) {
    std::strncpy(g_fixedFace, name, kFaceNameLongest);
    g_fixedFace[kFaceNameLongest] = 0;
}
const char* FixedFaceName() {
    return g_fixedFace;
}
void SetApplicationFaceStyle(int16_t size, uint16_t face) {
    g_applicationSize = size;
    g_applicationFace = face;
}

void TextStyleForKind(TextStyleRecord* record, int32_t kind) {
    const ThemeKind& theme = kThemeTable[kind >= 0 && kind < kThemeKinds ? kind : 0];
    record->flags &= uint16_t(~kStyleNameUnknown);
    switch (theme.face) {
    case kFaceSystem:
        record->fontNumber = kSystemFontNumber;
        break;
    case kFaceFixed: {
        int16_t number = FontNumberFromName(g_fixedFace);
        record->fontNumber = number ? number : kSystemFontNumber;
        break;
    }
    case kFaceApplication:
        record->fontNumber = kApplicationFontNumber;
        break;
    }
    record->size = theme.size ? theme.size : g_applicationSize;
    record->face = theme.applicationBits ? g_applicationFace : 0;
    Touch(record);
}

void TextStyleFromControlFont(const ControlStyleBlock* font, const char* name,
                              TextStyleRecord* record) {
    TextStyleForKind(record, kThemeApplication);
    if (font->font == kSmallSystemFont) {
        TextStyleForKind(record, kThemeApplicationPlain);
    } else if (font->font != kSystemFont && name) {
        uint8_t counted[kFontNameCapacity + 1];
        size_t length = std::strlen(name);
        if (length > size_t(kFaceNameLongest)) length = size_t(kFaceNameLongest);
        counted[0] = uint8_t(length);
        std::memcpy(counted + 1, name, length);
        SetTextStyleFontName(record, counted);
    }
    if (font->flags & kStyleSize) SetTextStyleSize(record, font->size);
    if (font->flags & kStyleFace) SetTextStyleFace(record, uint16_t(font->face));
}

void SetTextStyleSize(TextStyleRecord* record, int16_t size) {
    record->size = size;
    Touch(record);
}
void SetTextStyleFace(TextStyleRecord* record, uint16_t face) {
    record->face = face;
    Touch(record);
}

void SetTextStyleFontName(TextStyleRecord* record, const uint8_t* countedName) {
    char name[kFontNameCapacity];
    size_t length = countedName[0] > kFaceNameLongest ? size_t(kFaceNameLongest) : countedName[0];
    std::memcpy(name, countedName + 1, length);
    name[length] = 0;
    record->flags &= uint16_t(~kStyleNameUnknown);
    int16_t number = length ? FontNumberFromName(name) : kSystemFontNumber;
    if (!number) {
        number = kSystemFontNumber;
        record->flags |= kStyleNameUnknown;
    }
    record->fontNumber = number;
    Touch(record);
}

void CopyTextStyle(const TextStyleRecord* from, TextStyleRecord* to, uint32_t parts) {
    if (parts & kCopyStyleFont) {
        to->fontNumber = from->fontNumber;
        to->faceName = from->faceName;
        to->flags = uint16_t((to->flags & ~kStyleNameUnknown) | (from->flags & kStyleNameUnknown));
    }
    if (parts & kCopyStyleSize) to->size = from->size;
    if (parts & kCopyStyleFace) to->face = from->face;
    if (parts & kCopyStyleToggleFace) to->face ^= from->face;
    Touch(to);
}
