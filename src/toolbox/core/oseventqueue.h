// The low-level event queue: mouse buttons, keys and the wheel posted by
// the native window procedures, as OsEventRecords, plus the system event
// mask that decides which of them are queued at all.
//
// Guarantees: at most kOsEventQueueLimit entries are queued; posting to a
// full queue drops the oldest entry first, so the newest input is never
// lost. Entries come from one static block; nothing is allocated.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

// What codes.
constexpr uint16_t kOsWhatNull = 0;
constexpr uint16_t kOsWhatMouseDown = 1;
constexpr uint16_t kOsWhatMouseUp = 2;
constexpr uint16_t kOsWhatKeyDown = 3;
constexpr uint16_t kOsWhatKeyUp = 4;
constexpr uint16_t kOsWhatAutoKey = 5;
constexpr uint16_t kOsWhatUpdate = 6;
constexpr uint16_t kOsWhatActivate = 8;
constexpr uint16_t kOsWhatWheel = 14;
constexpr uint16_t kOsWhatOs = 15;
constexpr uint16_t kOsWhatHighLevel = 23;

// Mask bits (1 shifted left by the what code).
constexpr uint16_t kOsMaskMouseDown = 0x0002;
constexpr uint16_t kOsMaskMouseUp = 0x0004;
constexpr uint16_t kOsMaskKeyDown = 0x0008;
constexpr uint16_t kOsMaskKeyUp = 0x0010;
constexpr uint16_t kOsMaskAutoKey = 0x0020;
constexpr uint16_t kOsMaskUpdate = 0x0040;
constexpr uint16_t kOsMaskActivate = 0x0100;
constexpr uint16_t kOsMaskHighLevel = 0x0400;
constexpr uint16_t kOsMaskWheel = 0x4000;
constexpr uint16_t kOsMaskOs = 0x8000;
constexpr uint16_t kOsMaskEvery = 0xFFFF;
constexpr uint16_t kSystemEventMaskInitial = 0xFFEF; // every code but key up

// Messages of what 15.
constexpr uint32_t kOsMessageSuspendResume = 0x01000000;
constexpr uint32_t kOsMessageResumeBit = 0x1;
constexpr uint32_t kOsMessageMouseMoved = 0xFA000000;

// ModifierBits.
constexpr uint16_t kModActiveFlag = 0x0001;
constexpr uint16_t kModButtonUp = 0x0080;
constexpr uint16_t kModCommand = 0x0100;
constexpr uint16_t kModShift = 0x0200;
constexpr uint16_t kModCapsLock = 0x0400;
constexpr uint16_t kModControl = 0x1800;
constexpr uint16_t kModAlt = 0x2000;

// Mouse buttons of what 1 and 2.
constexpr int32_t kOsButtonLeft = 0;
constexpr int32_t kOsButtonRight = 1;
constexpr int32_t kOsButtonMiddle = 2;

constexpr int32_t kOsEventQueueLimit = 20;
constexpr uint16_t kOsEntryType = 4;

// PostOsEventRecord results.
constexpr int32_t kOsPostOk = 0;
constexpr int32_t kOsPostNotQueued = 0;
constexpr int32_t kOsPostRefused = 1;
constexpr int32_t kOsPostNoEntry = -1;

struct OsEventRecord {
    uint16_t what;
    uintptr_t message; // a native window, a request or a part record for some codes
    uint32_t when;     // ticks
    Point16 where;     // local to the frame's client area
    uint16_t modifiers;
    int32_t whereV, whereH; // the point again, beyond 16 bits
};

struct OsEventEntry {
    OsEventEntry* next;
    uint16_t entryType;
    uint16_t maskBit;
    OsEventRecord record;
};

// The mask bit of a what code (0 for codes of 16 and above).
uint16_t OsMaskOfWhat(uint16_t what);

// Queues an event with the current mouse point, KeyModifiers, the
// button-up bit and the time; see the constants above for the results.
int32_t PostOsEventRecord(uint16_t what, uintptr_t message, OsEventEntry** out);
int32_t PostOsEvent(uint16_t what, uintptr_t message);
// The first queued entry whose bit is in the mask (for mouse entries with
// a button given, 1-based: the message has that button); copied into out,
// removed when asked. False with a null record when none.
bool FindQueuedOsEvent(uint16_t mask, OsEventRecord* out, int32_t button, bool pumpFirst,
                       bool remove);
// Pumps, then removes entries in the mask, stopping at the first entry in
// the stop mask.
void FlushOsEvents(uint16_t mask, uint16_t stopMask);
void SetSystemEventMask(uint16_t mask);
uint16_t GetSystemEventMask();
int32_t OsEventQueueCount();
// Empties the queue and restores the initial mask.
void OsEventQueueReset();
// A null record (what 0) stamped with the current point, modifiers and time.
void OsNullRecord(OsEventRecord* out);
