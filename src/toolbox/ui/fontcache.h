// The cache of GDI fonts keyed by font number, size, face bits and
// resolution, each with a use count. A font whose count falls to 0 waits in
// a list of at most kUnusedFontsKept; a sixth deletes the oldest; a font
// asked for again while it waits is taken back.
//
// Guarantees: a failed creation leaves the cache as it was; releasing a
// font that is not in the cache deletes it at once.
#pragma once
#include <cstdint>

constexpr int32_t kUnusedFontsKept = 5;
constexpr int16_t kDefaultResolution = 96;

struct FontKey {
    int16_t number;
    int16_t size;
    uint16_t face;
    int16_t resolution; // 96 when given 0
};

struct FontMaker {
    void* (*create)(const FontKey* key); // null on failure
    void (*destroy)(void* font);
};

// Installs the font maker (the GDI one in the Win32 build); the cache is
// emptied first.
void SetFontMaker(const FontMaker* maker);
void* FontCreateCached(int16_t number, int16_t size, uint16_t face, int16_t resolution);
void ReleaseCachedFont(void* font);
// Fonts in use and waiting (for tests).
int32_t CachedFontsInUse();
int32_t CachedFontsUnused();
// Deletes every waiting font.
void FlushFontCache();
