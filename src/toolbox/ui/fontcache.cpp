// The font cache: the entries in use and, oldest first, the unused ones.
#include "toolbox/ui/fontcache.h"

#include <cstddef>
#include <vector>

namespace {
struct CachedFont {
    FontKey key;
    void* font;
    int32_t uses;
};

void* NoCreate(const FontKey*) {
    return nullptr;
}
void NoDestroy(void*) {}

FontMaker g_maker{&NoCreate, &NoDestroy};
std::vector<CachedFont> g_inUse;
std::vector<CachedFont> g_unused; // oldest first

bool SameKey(const FontKey& a, const FontKey& b) {
    return a.number == b.number && a.size == b.size && a.face == b.face &&
           a.resolution == b.resolution;
}
} // namespace

void FlushFontCache() {
    for (CachedFont& entry : g_unused)
        g_maker.destroy(entry.font);
    g_unused.clear();
}

void SetFontMaker(const FontMaker* maker) {
    FlushFontCache();
    g_maker = maker ? *maker : FontMaker{&NoCreate, &NoDestroy};
}

void* FontCreateCached(int16_t number, int16_t size, uint16_t face, int16_t resolution) {
    FontKey key{number, size, face, resolution ? resolution : kDefaultResolution};
    for (CachedFont& entry : g_inUse) {
        if (SameKey(entry.key, key)) {
            ++entry.uses;
            return entry.font;
        }
    }
    for (size_t i = 0; i < g_unused.size(); ++i) {
        if (!SameKey(g_unused[i].key, key)) continue;
        CachedFont entry = g_unused[i];
        g_unused.erase(g_unused.begin() + long(i));
        entry.uses = 1;
        g_inUse.push_back(entry);
        return entry.font;
    }
    void* font = g_maker.create(&key);
    if (font) g_inUse.push_back(CachedFont{key, font, 1});
    return font;
}

void ReleaseCachedFont(void* font) {
    if (!font) return;
    for (size_t i = 0; i < g_inUse.size(); ++i) {
        if (g_inUse[i].font != font) continue;
        if (--g_inUse[i].uses > 0) return;
        CachedFont entry = g_inUse[i];
        g_inUse.erase(g_inUse.begin() + long(i));
        if (int32_t(g_unused.size()) >= kUnusedFontsKept) {
            g_maker.destroy(g_unused.front().font);
            g_unused.erase(g_unused.begin());
        }
        g_unused.push_back(entry);
        return;
    }
    g_maker.destroy(font);
}

int32_t CachedFontsInUse() {
    return int32_t(g_inUse.size());
}
int32_t CachedFontsUnused() {
    return int32_t(g_unused.size());
}
