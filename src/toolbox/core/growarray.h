// Grow arrays: a relocatable block with a 20-byte head {capacity in bytes,
// count, element size, elements per growth step, spare} (32-bit fields in
// machine order) followed by the elements.
#pragma once
#include <cstdint>

#include "toolbox/core/memblock.h"

typedef RelocatableBlock GrowArray;

constexpr int32_t kGrowArrayHead = 20;

// step 0: 512 bytes' worth of elements per growth step; a negative step is
// a byte count divided by the element size (at least 1).
GrowArray NewGrowArray(HeapPool* pool, int32_t elementSize, int32_t step);
void DisposeGrowArray(GrowArray array);
int32_t GrowArrayCount(GrowArray array);
int32_t GrowArrayElementSize(GrowArray array);
int32_t GrowArrayCapacityBytes(GrowArray array);
// Address of element n (valid until the array next grows or shrinks);
// null past the end.
void* GrowArrayAt(GrowArray array, int32_t index);
// Index of a new last element copied from data (zeroed without data), or
// -1 when the array cannot grow.
int32_t GrowArrayAppend(GrowArray array, const void* data);
// Removes count elements from index (negative or past the end: to the end)
// and shrinks the block to whole growth steps when asked.
void GrowArrayDelete(GrowArray array, int32_t index, int32_t count, uint8_t shrink);

// 0x80 when the relocatable block is locked, else 0.
uint8_t HandleLockFlags(RelocatableBlock h);
// Locks the block when bit 7 of the saved flags is set, else unlocks it.
void RestoreHandleLock(RelocatableBlock h, uint8_t savedFlags);

// Each pair of characters of the counted text gives one byte, high digit
// first; returns the number of bytes written.
int32_t HexTextToBytes(const uint8_t* countedText, uint8_t* buffer);
