// Cursors by number, loaded once and kept for the life of the process.
#pragma once
#include <cstdint>

// Cursor numbers with a meaning of their own; the system cursor numbers
// (32512 to 32516, 32642 to 32646, 32648, 32650, 32651) load the
// system's cursor; every other number the program's cursor resource.
constexpr int16_t kCursorIBeam = 1;
constexpr int16_t kCursorCross = 2;
constexpr int16_t kCursorCrossToo = 3;
constexpr int16_t kCursorWait = 4;

// One entry of the cache.
struct CursorEntry {
    void* cursor; // the native cursor
    CursorEntry* next;
    int16_t number;
};

// The cache entry of the number, loaded and added on first use; null when
// the cursor cannot be loaded (nothing is added then).
CursorEntry* CursorGet(int16_t number);
// Makes the entry's cursor current (null is ignored).
void SetCursorHandle(const CursorEntry* entry);
// Makes the system arrow current.
void ResetCursorToArrow();
// Test-only: the number of cached entries.
int32_t CursorCacheCount();
