// The heap allocator under every memory block: pools of 64-KB-aligned
// pages with small blocks in size classes, medium blocks with boundary
// tags, fixed-size records and large blocks that own a page run, plus the
// handle slots behind relocatable blocks.
#pragma once
#include <cstdint>

#include "toolbox/core/memblock.h"

// Pool option bits.
enum : uint16_t {
    kPoolSerialise = 0x0002, // a lock per pool
    kPoolLockPages = 0x0004, // pages locked in physical memory
    kPoolStandard = 0x8000,  // every pool of this program carries this alone
};

// Allocation option bits.
enum : uint32_t {
    kAllocZero = 0x0001,
    kAllocMoveable = 0x0002,   // relocatable block in a moveable page
    kAllocSplitLow = 0x0004,   // splits like a moveable request
    kAllocInPlace = 0x0008,    // resize without moving
    kAllocNoNewPage = 0x0010,
    kAllocNoLarge = 0x0020,    // no large-block fallback
    kAllocCompacted = 0x0040,  // compaction already tried
    kAllocForHandle = 0x4000,  // block of a relocatable block
};

// Error codes handed to the error handler.
enum : int32_t {
    kHeapErrInternal = 1,
    kHeapErrOutOfMemory = 2,
    kHeapErrTooBig = 3,
    kHeapErrAllocZero = 4,
    kHeapErrResizeFailed = 5,
    kHeapErrLock = 6,
    kHeapErrCeiling = 7,
    kHeapErrTooManyPages = 8,
    kHeapErrTooManyTasks = 9,
    kHeapErrBadPool = 10,
    kHeapErrBadBlock = 11,
    kHeapErrBadFreeBlock = 12,
    kHeapErrBadHandle = 13,
    kHeapErrBadPointer = 14,
};

// Page kinds.
enum : int32_t {
    kPageMedium = 0,
    kPageFixed = 1,
    kPageMoveable = 2,
    kPageLarge = 3,
    kPageSmall = 4,
};

// The slot behind a relocatable block; its first field is the block's
// current address, so the slot's address serves as the handle.
struct HandleSlot {
    void* block;
    uint16_t slack;    // usable size minus requested size
    uint8_t lockCount; // 0..255
    uint8_t spare[5];
};

struct HeapErrorRecord {
    int32_t code;
    HeapPool* pool;
};
// Nonzero answer: retry the failed operation.
typedef int32_t (*HeapErrorHandler)(const HeapErrorRecord* record);

struct HeapPoolInfoRecord {
    HeapPool* pool;
    uint32_t kinds; // bit 0 fixed pages, bit 1 moveable pages, bit 2 other pages
    int32_t fixedSize;
    int32_t smallThreshold;
    int32_t pageSize;
    uint32_t floor;
    uint32_t ceiling;
    uint16_t options;
    HeapPool* next;
};

HeapPool* NewHeapPool(uint16_t options);
HeapPool* NewPagedHeapPool(int32_t pageSize);
HeapPool* DefaultHeapPool();
// Returns every page, descriptor and slot table and finally the header to
// the system; the pool leaves the pool list.
void HeapPoolDestroy(HeapPool* pool);

int32_t SetPoolPageSize(HeapPool* pool, int32_t size);
bool SetPoolFixedSize(HeapPool* pool, int32_t size);
bool SetPoolSmallBlockSize(HeapPool* pool, int32_t size);
int32_t SetPoolFloor(HeapPool* pool, int32_t bytes);
// Old ceiling; -1 (stored as -2) means no ceiling.
int32_t SetPoolCeiling(HeapPool* pool, int32_t bytes);
int32_t PreallocatePoolBytes(HeapPool* pool, int32_t bytes, int32_t type);
int32_t PreallocateHandleSlots(HeapPool* pool, int32_t count);

// Threshold and byte counts of a pool, for inspection.
int32_t PoolSmallThreshold(HeapPool* pool);
int32_t PoolLargeThreshold(HeapPool* pool);
uint32_t PoolBytesHeld(HeapPool* pool);

void* HeapBlockAlloc(HeapPool* pool, int32_t size, uint32_t options);
void* FixedPoolBlockAlloc(HeapPool* pool);
void* HeapBlockRealloc(void* block, int32_t size, uint32_t options);
int32_t HeapBlockSize(const void* block);
// FreeHeapBlock with its answer: true, or false with code 14 for an
// address that is not a live block of a pool.
bool HeapBlockFree(void* block);
// Page kind of a live block, -1 for a foreign address (no error).
int32_t HeapBlockKind(const void* block);
bool HeapPoolInfo(HeapPool* pool, const void* block, HeapPoolInfoRecord* out);

RelocatableBlock HeapHandleNew(HeapPool* pool, uint32_t options, int32_t size);
RelocatableBlock HeapHandleResize(RelocatableBlock h, int32_t size, uint32_t options);
int32_t HeapHandleSize(RelocatableBlock h);
// New lock count, 0xFFFF on failure or when the block was not locked.
uint16_t HeapHandleRelease(RelocatableBlock h);
uint16_t HeapHandleLockCount(RelocatableBlock h);
// HeapHandleFree with its answer.
bool HeapHandleDispose(RelocatableBlock h);
// True when h is a valid handle (no error is reported).
bool HeapHandleValid(RelocatableBlock h);

HeapErrorHandler SetHeapErrorHandler(HeapErrorHandler handler);
int32_t HeapError(HeapPool* pool, int32_t code);
int32_t HeapErrorDefaultHandler(const HeapErrorRecord* record);
int32_t SilentHeapErrorHandler(const HeapErrorRecord* record);
const char* HeapErrorText(int32_t code);
// Beep and the "Memory Manager" box; 1 retry, 0 go on (cancel and abort end
// the process).
int32_t HeapErrorReport(const char* text, bool retryButtons);
