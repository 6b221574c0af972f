// Memory blocks: fixed pointer blocks and moveable relocatable blocks,
// served by the heap allocator.
#pragma once
#include <cstdint>

struct HeapPool;
// A relocatable block is the address of its handle slot, whose first field
// is the block's current address.
typedef void** RelocatableBlock;

void* NewPointerBlock(HeapPool* pool, int32_t size);
void* NewPointerBlockClear(HeapPool* pool, int32_t size);
void* NewPointerBlockFromBytes(HeapPool* pool, const void* src, int32_t size);
void* DuplicatePointerBlock(HeapPool* pool, const void* block);
bool ResizePointerBlock(void** block, int32_t size);
int32_t PointerBlockSize(const void* block);
void FreeHeapBlock(void* block);
HeapPool* BlockPool(const void* block);
void* NewPoolRecordClear(HeapPool* pool);

RelocatableBlock NewRelocatableBlock(HeapPool* pool, int32_t size);
RelocatableBlock NewRelocatableBlockClear(HeapPool* pool, int32_t size);
RelocatableBlock NewRelocatableBlockWithOptions(HeapPool* pool, int32_t size, uint32_t options);
RelocatableBlock RelocatableBlockFromBytes(HeapPool* pool, const void* src, int32_t size);
RelocatableBlock DuplicateRelocatableBlock(HeapPool* pool, RelocatableBlock h);
int32_t RelocatableBlockSize(RelocatableBlock h);
bool IsEmptyRelocatableBlock(RelocatableBlock h);
bool SetRelocatableBlockSize(RelocatableBlock h, int32_t size, int32_t ignored);
bool ResizeRelocatableBlock(RelocatableBlock h, int32_t size);
void SetHandleLocked(RelocatableBlock h, uint8_t flag);
void* HeapHandleLock(RelocatableBlock h);
void HeapHandleUnlock(RelocatableBlock h);
void HeapHandleFree(RelocatableBlock h);

// Byte editing inside a relocatable block. A replacement or source of
// (const void*)-1 (ReplaceHandleBytes) or null (the other editors) writes
// zeros. Results: the offset just after the inserted bytes, the offset found
// when the replacement is null, or -1 (bad offset, pattern absent, or a
// block that cannot grow, which then stays as it was).
int32_t ReplaceHandleBytes(RelocatableBlock h, int32_t offset, const void* pattern,
                           int32_t patternLength, const void* replacement,
                           int32_t replacementLength);
int32_t DeleteHandleBytes(RelocatableBlock h, int32_t start, int32_t length);
int32_t InsertHandleBytes(RelocatableBlock h, int32_t offset, const void* src, int32_t length);
int32_t ReplaceHandleRange(RelocatableBlock h, int32_t start, int32_t length, const void* src,
                           int32_t srcLength);
bool AppendHandleBytes(RelocatableBlock h, const void* src, int32_t length);
bool SetRelocatableBlockBytes(RelocatableBlock h, const void* src, int32_t length);
int32_t FindBytes(const void* pattern, int32_t patternLength, const void* buffer,
                  int32_t bufferLength);
int32_t FindBytesOrTail(const void* pattern, int32_t patternLength, const void* buffer,
                        int32_t bufferLength, uint8_t* wholeFlag);

void MemInit(int32_t ignored, int32_t handleSlots);

// The pools behind blocks made with a null pool (pointer pool) and the
// pool for application-wide relocatable blocks (handle pool); both are the
// default pool once the memory layer has started. Starts it on first use.
HeapPool* PointerBlockPool();
HeapPool* HandleBlockPool();
