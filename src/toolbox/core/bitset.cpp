// Bit strings and bit sets.
#include "toolbox/core/bitset.h"

#include <cstring>

namespace {

int32_t BytesFor(int32_t n, int32_t whenEmpty) {
    if (n <= 0) return whenEmpty;
    return int32_t((int64_t(n) + 31) / 32 * 4);
}

uint8_t* Bytes(BitSetRecord set) { return static_cast<uint8_t*>(*set); }

int32_t SizeOf(BitSetRecord set) {
    int32_t size = RelocatableBlockSize(set);
    return size < 0 ? 0 : size;
}

int32_t PopCount(uint8_t b) {
    int32_t n = 0;
    for (; b; b &= uint8_t(b - 1)) ++n;
    return n;
}

} // namespace

void SetBitInString(void* bytes, int32_t bit) {
    static_cast<uint8_t*>(bytes)[bit >> 3] |= uint8_t(0x80u >> (bit & 7));
}

void ClearBitInString(void* bytes, int32_t bit) {
    static_cast<uint8_t*>(bytes)[bit >> 3] &= uint8_t(~(0x80u >> (bit & 7)));
}

void AssignBitInString(void* bytes, int32_t bit, uint8_t flag) {
    if (flag) SetBitInString(bytes, bit);
    else ClearBitInString(bytes, bit);
}

int32_t TestBitInString(const void* bytes, int32_t bit) {
    return (static_cast<const uint8_t*>(bytes)[bit >> 3] >> (7 - (bit & 7))) & 1;
}

BitSetRecord NewBitSet(HeapPool* pool, int32_t n) {
    return NewRelocatableBlockClear(pool, BytesFor(n, 32));
}

void DisposeBitSet(BitSetRecord set) {
    if (set) HeapHandleFree(set);
}

int32_t BitSetCapacity(BitSetRecord set) { return SizeOf(set) * 8; }

bool ResizeBitSet(BitSetRecord set, int32_t n) {
    int32_t old = RelocatableBlockSize(set);
    if (old < 0) return false;
    int32_t size = BytesFor(n, 4);
    if (!SetRelocatableBlockSize(set, size, 0)) return false;
    if (size > old) std::memset(Bytes(set) + old, 0, size_t(size - old));
    return true;
}

int32_t BitSetCount(BitSetRecord set) {
    int32_t size = SizeOf(set);
    const uint8_t* p = Bytes(set);
    int32_t count = 0;
    for (int32_t i = 0; i + 4 <= size; i += 4) {
        uint32_t word;
        std::memcpy(&word, p + i, 4);
        if (word == 0) continue;
        if (word == 0xFFFFFFFFu) {
            count += 32;
            continue;
        }
        for (int32_t k = 0; k < 4; ++k) count += PopCount(p[i + k]);
    }
    return count;
}

int32_t BitSetNextMember(BitSetRecord set, int32_t n) {
    int32_t size = SizeOf(set);
    int32_t bit = n < -1 ? 0 : n + 1;
    const uint8_t* p = Bytes(set);
    int32_t byte = bit >> 3;
    if (byte >= size) return -1;
    // The rest of the current byte.
    uint8_t b = uint8_t(p[byte] & (0xFFu >> (bit & 7)));
    while (b == 0) {
        ++byte;
        // Whole zero words once aligned.
        while ((byte & 3) == 0 && byte + 4 <= size) {
            uint32_t word;
            std::memcpy(&word, p + byte, 4);
            if (word != 0) break;
            byte += 4;
        }
        if (byte >= size) return -1;
        b = p[byte];
    }
    int32_t k = 0;
    while (!(b & (0x80u >> k))) ++k;
    return byte * 8 + k;
}

int32_t BitSetLastMember(BitSetRecord set) {
    int32_t size = SizeOf(set);
    const uint8_t* p = Bytes(set);
    for (int32_t byte = size - 1; byte >= 0; --byte) {
        uint8_t b = p[byte];
        if (b == 0) continue;
        int32_t k = 7;
        while (!(b & (0x80u >> k))) --k;
        return byte * 8 + k;
    }
    return -1;
}

bool BitSetInclude(BitSetRecord set, int32_t n) {
    if (n < 0) return false;
    if (n >= BitSetCapacity(set) && !ResizeBitSet(set, n + 1)) return false;
    SetBitInString(Bytes(set), n);
    return true;
}

void BitSetExclude(BitSetRecord set, int32_t n) {
    if (n < 0 || n >= BitSetCapacity(set)) return;
    ClearBitInString(Bytes(set), n);
}

void BitSetAssign(BitSetRecord set, int32_t n, uint8_t flag) {
    if (flag) BitSetInclude(set, n);
    else BitSetExclude(set, n);
}

bool BitSetContains(BitSetRecord set, int32_t n) {
    if (n < 0 || n >= BitSetCapacity(set)) return false;
    return TestBitInString(Bytes(set), n) != 0;
}

void ShiftBitRun(void* bytes, int32_t first, int32_t count, int32_t distance, uint8_t rotate) {
    if (count <= 0 || distance == 0 || first < 0) return;
    int32_t last = first + count - 1;
    int32_t d = rotate ? (distance > 0 ? 1 : -1) : distance;
    // A distance longer than the run clears the whole run.
    if (d > count) d = count;
    if (d < -count) d = -count;
    if (d > 0) {
        int32_t out = TestBitInString(bytes, last);
        for (int32_t i = last; i >= first + d; --i) AssignBitInString(bytes, i, uint8_t(TestBitInString(bytes, i - d)));
        for (int32_t i = first; i < first + d; ++i) ClearBitInString(bytes, i);
        if (rotate) AssignBitInString(bytes, first, uint8_t(out));
    } else {
        int32_t out = TestBitInString(bytes, first);
        for (int32_t i = first; i <= last + d; ++i) AssignBitInString(bytes, i, uint8_t(TestBitInString(bytes, i - d)));
        for (int32_t i = last + d + 1; i <= last; ++i) ClearBitInString(bytes, i);
        if (rotate) AssignBitInString(bytes, last, uint8_t(out));
    }
}

void ShiftBitSetRun(BitSetRecord set, int32_t first, int32_t count, int32_t distance, uint8_t rotate) {
    int32_t capacity = BitSetCapacity(set);
    if (first < 0) {
        count += first;
        first = 0;
    }
    if (first >= capacity || count <= 0) return;
    if (count > capacity - first) count = capacity - first;
    ShiftBitRun(Bytes(set), first, count, distance, rotate);
}
