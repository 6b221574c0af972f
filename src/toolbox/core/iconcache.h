// Icon records and their cache: the best member of an icon family at a
// wanted size, loaded once and shared while it is used. The cache holds one
// use of every record it lists, most recently used first, and keeps at
// most kIconCacheColourMax records that hold colour bitmaps. How a member
// becomes images (the system's icon or bitmaps decoded here) is the
// loader's: the Win32 build installs one, the default loads nothing.
#pragma once
#include <cstdint>

// Records with colour bitmaps the cache keeps at most.
constexpr int32_t kIconCacheColourMax = 16;

struct IconRecord {
    IconRecord* next = nullptr;
    int16_t useCount = 0;
    int16_t groupId = 0;
    void* icon = nullptr;   // the system's icon, when it loaded the member
    void* mask = nullptr;   // 1-bit mask, when decoded here
    void* colour = nullptr; // device bitmap of the colour bits, when decoded here
    int16_t iconId = 0;     // the member chosen, 0 when the system chose
    int16_t width = 0, height = 0;
    // The size asked for: where the system chooses the member, a family
    // asked for at another size is another record.
    int32_t wantWidth = 0, wantHeight = 0;
};

struct IconLoaderProcs {
    // The member for a palette display (its icon id), 0 when the display
    // has no palette, -1 when the family offers none.
    int16_t (*paletteMember)(int16_t groupId, int32_t width, int32_t height);
    // Fills the record's images and size; false when nothing loads.
    bool (*load)(IconRecord* record, int32_t width, int32_t height);
    // Deletes the record's bitmaps (never a system icon).
    void (*deleteImages)(IconRecord* record);
};
// Null fields, or null, fall back to the defaults.
void SetIconLoaderProcs(const IconLoaderProcs* procs);

// The record with one more use, or null.
IconRecord* IconFamilyLoad(int16_t groupId, int32_t width, int32_t height);
// One use less; at zero the images are deleted and the record freed.
void ReleaseIconRecord(IconRecord* record);
// Releases every cached record held by the cache alone.
void PurgeIconCache();
// The cache, most recently used first; records holding colour bitmaps.
IconRecord* IconCacheFirst();
int32_t IconCacheColourCount();
