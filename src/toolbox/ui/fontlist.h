// The font list: every installed family numbered from kFirstListedFont in
// the order reported, its name in the name heap, the index sorted by name
// (case-insensitively) for searching by halving. Numbers 0 and 1 stand for
// the system face, kApplicationFontNumber for the application face.
//
// Guarantees: numbers are fixed once the list is made; an unknown number
// has an empty name and answers kFontUnknownNumber.
#pragma once
#include <cstdint>

constexpr int16_t kSystemFontNumber0 = 0;
constexpr int16_t kSystemFontNumber = 1;
constexpr int16_t kFirstListedFont = 2;
constexpr int16_t kApplicationFontNumber = 0x7FF0;
constexpr int32_t kFontUnknownNumber = -981;
constexpr int32_t kFaceNameLongest = 31; // LF_FACESIZE less the NUL
constexpr int32_t kFontNameCapacity = kFaceNameLongest + 1;

struct FontListEntry {
    uint32_t name; // name-heap reference
    int16_t number;
    int16_t scalable; // neither a raster nor a device font
};

// Starts an empty list (the previous one dropped).
void FontListReset();
// Appends a family as reported; false when it cannot be stored.
bool FontListAppend(const char* name, bool scalable);
// Sorts the index by name; called once every family is in.
void FontListSort();
bool FontListSorted();
int32_t FontCount();
// The name of the entry at an index of the sorted list ("" outside).
const char* FontNameAt(int32_t index, char* out, int32_t capacity);
const FontListEntry* FontEntryAt(int32_t index);
// The toolbox core's form: the name as a counted string (room for
// kFontNameCapacity bytes), the style (the list keeps none: 0) and whether
// the index names a listed font, each written when given; 0, or
// kFontUnknownNumber with an empty name outside the list.
int32_t FontNameAt(int32_t index, uint8_t* countedName, int16_t* style, uint8_t* usable);

// The standard faces.
void SetSystemFaceName(const char* name);
void SetApplicationFaceName(const char* name);
const char* SystemFaceName();
const char* ApplicationFaceName();

// The number of a name (any case), 0 when not listed.
int16_t FontNumberFromName(const char* name);
// The face name (NUL-terminated) of a number; 0 or kFontUnknownNumber.
int32_t FontNameFromNumber(int16_t number, char* out, int32_t capacity);
