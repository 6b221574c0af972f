// The name heap: face names stored once in a relocatable block with a
// 16-byte head {mark, capacity, bytes used, growth step} (32-bit, machine
// order) before the bytes, and referred to as (offset << 10) | length.
//
// Guarantees: a string is stored once (adding it again answers the same
// reference); the heap grows only in whole growth steps and starts with at
// least kNameHeapFirstBytes; a reference is never 0.
#pragma once
#include <cstdint>

#include "toolbox/core/memblock.h"

constexpr uint32_t kNameHeapMark = 0xDA7ABED1;
constexpr int32_t kNameHeapHead = 16;
constexpr int32_t kNameHeapFirstBytes = 64;
constexpr int32_t kNameRefLengthBits = 10;
constexpr int32_t kNameLongest = (1 << kNameRefLengthBits) - 1;

struct NameHeapHead {
    uint32_t mark;
    int32_t capacity;
    int32_t used;
    int32_t growth;
};

// A heap with room for at least `bytes` (and kNameHeapFirstBytes);
// null without memory.
RelocatableBlock NewNameHeap(int32_t bytes, int32_t growth);
void DisposeNameHeap(RelocatableBlock heap);
// The reference of the text (length 1 to kNameLongest), 0 when it cannot
// be stored.
uint32_t NameHeapAdd(RelocatableBlock heap, const char* text, int32_t length);
// Copies at most capacity - 1 characters and a NUL; the length copied.
int32_t NameHeapRead(RelocatableBlock heap, uint32_t reference, char* out, int32_t capacity);
// The stored bytes of a reference (valid until the heap next grows).
const char* NameHeapText(RelocatableBlock heap, uint32_t reference, int32_t* length);
inline int32_t NameRefLength(uint32_t reference) {
    return int32_t(reference & kNameLongest);
}
inline int32_t NameRefOffset(uint32_t reference) {
    return int32_t(reference >> kNameRefLengthBits);
}
