// The name heap. Stored texts are searched byte for byte before a text is
// appended, so each is stored once.
#include "toolbox/ui/nameheap.h"

#include <cstring>

namespace {
NameHeapHead* Head(RelocatableBlock heap) {
    return static_cast<NameHeapHead*>(HeapHandleLock(heap));
}
uint8_t* Bytes(NameHeapHead* head) {
    return reinterpret_cast<uint8_t*>(head) + kNameHeapHead;
}
} // namespace

RelocatableBlock NewNameHeap(int32_t bytes, int32_t growth) {
    if (growth < 1) growth = kNameHeapFirstBytes;
    int32_t capacity = bytes < kNameHeapFirstBytes ? kNameHeapFirstBytes : bytes;
    RelocatableBlock heap = NewRelocatableBlockClear(nullptr, kNameHeapHead + capacity);
    if (!heap) return nullptr;
    NameHeapHead* head = Head(heap);
    *head = NameHeapHead{kNameHeapMark, capacity, 0, growth};
    HeapHandleUnlock(heap);
    return heap;
}

void DisposeNameHeap(RelocatableBlock heap) {
    if (heap) HeapHandleFree(heap);
}

uint32_t NameHeapAdd(RelocatableBlock heap, const char* text, int32_t length) {
    if (!heap || length < 1 || length > kNameLongest) return 0;
    NameHeapHead* head = Head(heap);
    for (int32_t at = 0; at + length <= head->used; ++at) {
        if (std::memcmp(Bytes(head) + at, text, size_t(length)) == 0) {
            HeapHandleUnlock(heap);
            return uint32_t(at) << kNameRefLengthBits | uint32_t(length);
        }
    }
    int32_t used = head->used, capacity = head->capacity, growth = head->growth;
    HeapHandleUnlock(heap);
    if (used + length > capacity) {
        int32_t steps = (used + length - capacity + growth - 1) / growth;
        capacity += steps * growth;
        if (!ResizeRelocatableBlock(heap, kNameHeapHead + capacity)) return 0;
    }
    head = Head(heap);
    head->capacity = capacity;
    std::memcpy(Bytes(head) + used, text, size_t(length));
    head->used = used + length;
    HeapHandleUnlock(heap);
    return uint32_t(used) << kNameRefLengthBits | uint32_t(length);
}

const char* NameHeapText(RelocatableBlock heap, uint32_t reference, int32_t* length) {
    *length = 0;
    if (!heap || !reference) return nullptr;
    NameHeapHead* head = Head(heap);
    HeapHandleUnlock(heap);
    if (NameRefOffset(reference) + NameRefLength(reference) > head->used) return nullptr;
    *length = NameRefLength(reference);
    return reinterpret_cast<const char*>(Bytes(head) + NameRefOffset(reference));
}

int32_t NameHeapRead(RelocatableBlock heap, uint32_t reference, char* out, int32_t capacity) {
    if (capacity < 1) return 0;
    int32_t length = 0;
    const char* text = NameHeapText(heap, reference, &length);
    if (length > capacity - 1) length = capacity - 1;
    if (text) std::memcpy(out, text, size_t(length));
    out[length] = 0;
    return length;
}
