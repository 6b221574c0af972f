// Grow arrays and small helpers of the toolbox.
#include "toolbox/core/growarray.h"

#include <cstring>

#include "toolbox/core/heap.h"

namespace {

enum : int32_t { kCapacity = 0, kCount = 4, kElementSize = 8, kStep = 12 };

int32_t Field(GrowArray a, int32_t offset) {
    int32_t v;
    std::memcpy(&v, static_cast<const uint8_t*>(*a) + offset, 4);
    return v;
}

void SetField(GrowArray a, int32_t offset, int32_t v) {
    std::memcpy(static_cast<uint8_t*>(*a) + offset, &v, 4);
}

} // namespace

GrowArray NewGrowArray(HeapPool* pool, int32_t elementSize, int32_t step) {
    if (elementSize <= 0) return nullptr;
    int32_t perStep;
    if (step == 0) perStep = 512 / elementSize;
    else if (step < 0) perStep = -step / elementSize;
    else perStep = step;
    if (perStep < 1) perStep = 1;
    GrowArray a = NewRelocatableBlockClear(pool, kGrowArrayHead);
    if (!a) return nullptr;
    SetField(a, kElementSize, elementSize);
    SetField(a, kStep, perStep);
    return a;
}

void DisposeGrowArray(GrowArray array) {
    if (array) HeapHandleFree(array);
}

int32_t GrowArrayCount(GrowArray array) { return Field(array, kCount); }
int32_t GrowArrayElementSize(GrowArray array) { return Field(array, kElementSize); }
int32_t GrowArrayCapacityBytes(GrowArray array) { return Field(array, kCapacity); }

void* GrowArrayAt(GrowArray array, int32_t index) {
    if (index < 0 || index >= Field(array, kCount)) return nullptr;
    return static_cast<uint8_t*>(*array) + kGrowArrayHead + int64_t(index) * Field(array, kElementSize);
}

int32_t GrowArrayAppend(GrowArray array, const void* data) {
    int32_t count = Field(array, kCount);
    int32_t size = Field(array, kElementSize);
    int32_t capacity = Field(array, kCapacity);
    if ((int64_t(count) + 1) * size > capacity) {
        int64_t grown = int64_t(capacity) + int64_t(Field(array, kStep)) * size;
        if (grown + kGrowArrayHead > INT32_MAX) return -1;
        if (!SetRelocatableBlockSize(array, int32_t(grown) + kGrowArrayHead, 0)) return -1;
        SetField(array, kCapacity, int32_t(grown));
    }
    uint8_t* element = static_cast<uint8_t*>(*array) + kGrowArrayHead + int64_t(count) * size;
    if (data) std::memcpy(element, data, size_t(size));
    else std::memset(element, 0, size_t(size));
    SetField(array, kCount, count + 1);
    return count;
}

void GrowArrayDelete(GrowArray array, int32_t index, int32_t count, uint8_t shrink) {
    int32_t total = Field(array, kCount);
    int32_t size = Field(array, kElementSize);
    if (index < 0 || index >= total) return;
    if (count < 0 || count > total - index) count = total - index;
    uint8_t* base = static_cast<uint8_t*>(*array) + kGrowArrayHead;
    std::memmove(base + int64_t(index) * size, base + int64_t(index + count) * size,
                 size_t(total - index - count) * size_t(size));
    total -= count;
    SetField(array, kCount, total);
    if (shrink) {
        int32_t step = Field(array, kStep);
        int32_t steps = (total + step - 1) / step;
        int32_t capacity = steps * step * size;
        if (capacity < Field(array, kCapacity) && SetRelocatableBlockSize(array, capacity + kGrowArrayHead, 0))
            SetField(array, kCapacity, capacity);
    }
}

uint8_t HandleLockFlags(RelocatableBlock h) {
    uint16_t count = HeapHandleLockCount(h);
    return (count != 0 && count != 0xFFFF) ? 0x80 : 0;
}

void RestoreHandleLock(RelocatableBlock h, uint8_t savedFlags) { SetHandleLocked(h, savedFlags & 0x80); }

int32_t HexTextToBytes(const uint8_t* countedText, uint8_t* buffer) {
    auto digit = [](uint8_t c) { return uint8_t((c >= 'A' ? c + 9 : c) & 0x0F); };
    int32_t length = countedText[0];
    int32_t n = 0;
    for (int32_t i = 1; i + 1 <= length; i += 2) buffer[n++] = uint8_t((digit(countedText[i]) << 4) | digit(countedText[i + 1]));
    return n;
}
