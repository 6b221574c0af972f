// The icon cache. Guarantees: a record is in the list at most once and
// then holds the cache's use; a record is freed only when its last use is
// released; the colour count is the number of listed records with colour
// bitmaps.
#include "toolbox/core/iconcache.h"

#include "toolbox/core/hooktable.h"
#include "toolbox/core/icondir.h"

namespace {

int16_t NoPaletteMember(int16_t, int32_t, int32_t) {
    return 0;
}
bool NoLoad(IconRecord*, int32_t, int32_t) {
    return false;
}
void NoImages(IconRecord*) {}

const IconLoaderProcs kDefaults{&NoPaletteMember, &NoLoad, &NoImages};
IconLoaderProcs g_loader = kDefaults;
IconRecord* g_first = nullptr;
int32_t g_colourCount = 0;

void Unlink(IconRecord* record) {
    for (IconRecord** at = &g_first; *at; at = &(*at)->next)
        if (*at == record) {
            *at = record->next;
            record->next = nullptr;
            if (record->colour) --g_colourCount;
            return;
        }
}

void PushFront(IconRecord* record) {
    record->next = g_first;
    g_first = record;
}

// Past the colour limit: the record nearest the end that holds colour
// bitmaps leaves the cache.
void EvictOldestColour() {
    IconRecord* last = nullptr;
    for (IconRecord* r = g_first; r; r = r->next)
        if (r->colour) last = r;
    if (!last) {
        g_colourCount = 1;
        return;
    }
    Unlink(last);
    ReleaseIconRecord(last);
}

} // namespace

void SetIconLoaderProcs(const IconLoaderProcs* procs) {
    IconLoaderProcs given = procs ? *procs : IconLoaderProcs{};
    PickProc(g_loader.paletteMember, given.paletteMember, kDefaults.paletteMember);
    PickProc(g_loader.load, given.load, kDefaults.load);
    PickProc(g_loader.deleteImages, given.deleteImages, kDefaults.deleteImages);
}

IconRecord* IconFamilyLoad(int16_t groupId, int32_t width, int32_t height) {
    int16_t iconId = 0;
    if (groupId < kSystemIconFirst) {
        iconId = g_loader.paletteMember(groupId, width, height);
        if (iconId < 0) return nullptr;
    }
    for (IconRecord* r = g_first; r; r = r->next)
        if (r->groupId == groupId && r->iconId == iconId &&
            (iconId != 0 || (r->wantWidth == width && r->wantHeight == height))) {
            Unlink(r);
            PushFront(r);
            if (r->colour) ++g_colourCount;
            ++r->useCount;
            return r;
        }
    auto* record = new IconRecord;
    record->groupId = groupId;
    record->iconId = iconId;
    record->wantWidth = width;
    record->wantHeight = height;
    if (!g_loader.load(record, width, height)) {
        delete record;
        return nullptr;
    }
    record->useCount = 2; // the caller's and the cache's
    PushFront(record);
    if (record->colour && ++g_colourCount > kIconCacheColourMax) EvictOldestColour();
    return record;
}

void ReleaseIconRecord(IconRecord* record) {
    if (!record || --record->useCount > 0) return;
    g_loader.deleteImages(record);
    delete record;
}

void PurgeIconCache() {
    IconRecord* r = g_first;
    while (r) {
        IconRecord* next = r->next;
        if (r->useCount == 1) {
            Unlink(r);
            ReleaseIconRecord(r);
        }
        r = next;
    }
}

IconRecord* IconCacheFirst() {
    return g_first;
}

int32_t IconCacheColourCount() {
    return g_colourCount;
}
