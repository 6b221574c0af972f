// Saved focus: what was current (the state, its clip for window states),
// on a caller's record or on the port-state stack.
//
// Guarantees: a wide-open clip is saved as no copy; restoring a record
// with flag kRestoreReleaseClip releases its copy; the stack grows by
// kPortStackStep records with no upper limit and a pop of an empty stack
// does nothing.
#pragma once
#include <cstdint>

struct DrawingState;
struct RegionRecord;

constexpr int32_t kPortStackStep = 4;
constexpr int16_t kNoScrollIndex = -2;
constexpr uint32_t kRestoreReleaseClip = 0x1;
// The saved surface's focus applied at once (always, or only when it was
// the focused one).
constexpr uint32_t kRestoreFocusIfFocused = 0x10;
constexpr uint32_t kRestoreFocusNow = 0x20;

struct FocusSaveRecord {
    DrawingState* state;
    void* surface;          // the selected drawing surface, null for none
    RegionRecord* clipCopy; // only when the clip was not wide open
    int16_t scrollIndex;    // kNoScrollIndex when the surface has none
    uint8_t portRecordState;
    uint8_t surfaceFocused;
};

void SaveFocusState(FocusSaveRecord* record);
void RestoreFocusState(FocusSaveRecord* record, uint32_t flags);
void ReleaseSavedClip(FocusSaveRecord* record);

void SavePortState();
void RestorePortState();
int32_t PortStackDepth();
int32_t PortStackCapacity();
