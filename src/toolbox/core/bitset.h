// Bit strings (bit i in byte i / 8 under the mask 0x80 >> i % 8) and
// growable bit sets kept in a relocatable block of whole 32-bit words.
#pragma once
#include <cstdint>

#include "toolbox/core/memblock.h"

typedef RelocatableBlock BitSetRecord;

void SetBitInString(void* bytes, int32_t bit);
void ClearBitInString(void* bytes, int32_t bit);
void AssignBitInString(void* bytes, int32_t bit, uint8_t flag);
int32_t TestBitInString(const void* bytes, int32_t bit);

// A zeroed set for n bits (n <= 0: 256 bits); null on failure.
BitSetRecord NewBitSet(HeapPool* pool, int32_t n);
void DisposeBitSet(BitSetRecord set);
int32_t BitSetCapacity(BitSetRecord set);
// Resizes to hold n bits (n <= 0: 32); new bits are clear. False on failure.
bool ResizeBitSet(BitSetRecord set, int32_t n);
int32_t BitSetCount(BitSetRecord set);
// Smallest member above n (n = -1: the first); -1 when none.
int32_t BitSetNextMember(BitSetRecord set, int32_t n);
int32_t BitSetLastMember(BitSetRecord set);
// Grows the set when needed; false when n < 0 or the set cannot grow.
bool BitSetInclude(BitSetRecord set, int32_t n);
void BitSetExclude(BitSetRecord set, int32_t n);
void BitSetAssign(BitSetRecord set, int32_t n, uint8_t flag);
bool BitSetContains(BitSetRecord set, int32_t n);

// Shifts the run of `count` bits from `first` by `distance` (towards higher
// indices when positive). Vacated bits of the run are cleared; with `rotate`
// the run turns by one place in the distance's direction instead. Bits
// outside the run never change.
void ShiftBitRun(void* bytes, int32_t first, int32_t count, int32_t distance, uint8_t rotate);
// The same on a set's bits, with the run clipped to the set's capacity.
void ShiftBitSetRun(BitSetRecord set, int32_t first, int32_t count, int32_t distance, uint8_t rotate);
