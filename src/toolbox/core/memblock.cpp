// Memory blocks: pointer blocks remember their requested size in a 16-bit
// slack at the end of the usable area; relocatable blocks keep it in their
// handle slot. A relocatable block of size 0 is stored as a marked block.
#include "toolbox/core/memblock.h"

#include <cstdint>
#include <cstring>

#include "toolbox/core/asanpoison.h"
#include "toolbox/core/heap.h"

namespace {

HeapPool* g_pointerPool = nullptr;
HeapPool* g_handlePool = nullptr;

// The zero-length marker: the handle's own address, then this word.
constexpr uint32_t kEmptyMarker = 0x7A457230;
constexpr int32_t kEmptyBytes = 16;
constexpr uint8_t kFreshFill = 0xEB;

// A replacement that inserts nothing still needs a non-null source.
const uint8_t kNothing = 0;
const void* const kZeros = reinterpret_cast<const void*>(intptr_t(-1));

HeapPool* PoolOr(HeapPool* pool) { return pool ? pool : PointerBlockPool(); }

// Writes the slack into the last two usable bytes and closes the bytes past
// the requested size.
PLV_NO_ASAN void SetSlack(uint8_t* block, int32_t usable, int32_t requested) {
    PLV_UNPOISON(block, size_t(usable));
    uint16_t slack = uint16_t(usable - requested);
    block[usable - 2] = uint8_t(slack);
    block[usable - 1] = uint8_t(slack >> 8);
    PLV_POISON(block + requested, size_t(usable - requested));
}

PLV_NO_ASAN int32_t ReadSlack(const uint8_t* block, int32_t usable) {
    return int32_t(block[usable - 2] | (block[usable - 1] << 8));
}

void* NewPointerBlockWith(HeapPool* pool, int32_t size, uint32_t options) {
    if (size < 0 || size > INT32_MAX - 64) return nullptr;
    uint8_t* p = static_cast<uint8_t*>(HeapBlockAlloc(PoolOr(pool), size + 2, options));
    if (!p) return nullptr;
    SetSlack(p, HeapBlockSize(p), size);
    return p;
}

void WriteMarker(RelocatableBlock h) {
    uint8_t* p = static_cast<uint8_t*>(*h);
    uintptr_t self = uintptr_t(h);
    std::memcpy(p, &self, sizeof self);
    std::memcpy(p + 8, &kEmptyMarker, 4);
    std::memset(p + 12, 0, 4);
}

bool CarriesMarker(RelocatableBlock h) {
    if (!HeapHandleValid(h) || HeapHandleSize(h) != kEmptyBytes) return false;
    const uint8_t* p = static_cast<const uint8_t*>(*h);
    uintptr_t self;
    uint32_t marker;
    std::memcpy(&self, p, sizeof self);
    std::memcpy(&marker, p + 8, 4);
    return self == uintptr_t(h) && marker == kEmptyMarker;
}

} // namespace

HeapPool* PointerBlockPool() {
    if (!g_pointerPool) MemInit(0, -1);
    return g_pointerPool;
}

HeapPool* HandleBlockPool() {
    if (!g_handlePool) MemInit(0, -1);
    return g_handlePool;
}

void MemInit(int32_t ignored, int32_t handleSlots) {
    (void)ignored;
    SetHeapErrorHandler(&SilentHeapErrorHandler);
    HeapPool* pool = DefaultHeapPool();
    g_pointerPool = pool;
    g_handlePool = pool;
    if (handleSlots < 0) handleSlots = 1024;
    if (handleSlots > 0) PreallocateHandleSlots(pool, handleSlots);
    SetPoolSmallBlockSize(pool, 0);
}

// ------------------------------------------------------------ pointer blocks

void* NewPointerBlock(HeapPool* pool, int32_t size) { return NewPointerBlockWith(pool, size, 0); }

void* NewPointerBlockClear(HeapPool* pool, int32_t size) {
    return NewPointerBlockWith(pool, size, kAllocZero);
}

void* NewPointerBlockFromBytes(HeapPool* pool, const void* src, int32_t size) {
    void* p = NewPointerBlock(pool, size);
    if (p && size > 0) std::memcpy(p, src, size_t(size));
    return p;
}

void* DuplicatePointerBlock(HeapPool* pool, const void* block) {
    int32_t size = PointerBlockSize(block);
    if (size <= 0) return nullptr;
    return NewPointerBlockFromBytes(pool, block, size);
}

bool ResizePointerBlock(void** block, int32_t size) {
    if (!block || !*block || size < 0 || size > INT32_MAX - 64) return false;
    uint8_t* p = static_cast<uint8_t*>(HeapBlockRealloc(*block, size + 2, 0));
    if (!p) return false;
    SetSlack(p, HeapBlockSize(p), size);
    *block = p;
    return true;
}

int32_t PointerBlockSize(const void* block) {
    int32_t usable = HeapBlockSize(block);
    if (usable < 2) return -1;
    return usable - ReadSlack(static_cast<const uint8_t*>(block), usable);
}

void FreeHeapBlock(void* block) {
    if (block) HeapBlockFree(block);
}

void* NewPoolRecordClear(HeapPool* pool) {
    void* p = FixedPoolBlockAlloc(PoolOr(pool));
    if (p) std::memset(p, 0, size_t(HeapBlockSize(p)));
    return p;
}

// -------------------------------------------------------- relocatable blocks

RelocatableBlock NewRelocatableBlockWithOptions(HeapPool* pool, int32_t size, uint32_t options) {
    if (size < 0) return nullptr;
    uint32_t heapOptions = ((options & 8) ? 0u : uint32_t(kAllocMoveable)) | ((options & 4) ? uint32_t(kAllocZero) : 0u);
    RelocatableBlock h = HeapHandleNew(PoolOr(pool), heapOptions, size ? size : kEmptyBytes);
    if (!h) return nullptr;
    if (size == 0) WriteMarker(h);
    else if (size == kEmptyBytes && !(options & 4)) std::memset(*h, kFreshFill, kEmptyBytes);
    return h;
}

RelocatableBlock NewRelocatableBlock(HeapPool* pool, int32_t size) {
    return NewRelocatableBlockWithOptions(pool, size, 0);
}

RelocatableBlock NewRelocatableBlockClear(HeapPool* pool, int32_t size) {
    return NewRelocatableBlockWithOptions(pool, size, 4);
}

RelocatableBlock RelocatableBlockFromBytes(HeapPool* pool, const void* src, int32_t size) {
    RelocatableBlock h = NewRelocatableBlock(pool, size);
    if (h && size > 0) std::memcpy(*h, src, size_t(size));
    return h;
}

RelocatableBlock DuplicateRelocatableBlock(HeapPool* pool, RelocatableBlock h) {
    int32_t size = RelocatableBlockSize(h);
    if (size < 0) return nullptr;
    return RelocatableBlockFromBytes(pool, *h, size);
}

int32_t RelocatableBlockSize(RelocatableBlock h) {
    int32_t size = HeapHandleSize(h);
    if (size < 0) return -1;
    return CarriesMarker(h) ? 0 : size;
}

bool IsEmptyRelocatableBlock(RelocatableBlock h) { return CarriesMarker(h); }

bool SetRelocatableBlockSize(RelocatableBlock h, int32_t size, int32_t ignored) {
    (void)ignored;
    if (size < 0) return false;
    bool marked = CarriesMarker(h);
    if (!HeapHandleResize(h, size ? size : kEmptyBytes, kAllocMoveable)) return false;
    if (size == 0) WriteMarker(h);
    else if (marked) std::memset(*h, kFreshFill, size_t(size < kEmptyBytes ? size : kEmptyBytes));
    return true;
}

bool ResizeRelocatableBlock(RelocatableBlock h, int32_t size) { return SetRelocatableBlockSize(h, size, 1); }

void SetHandleLocked(RelocatableBlock h, uint8_t flag) {
    uint16_t count = HeapHandleLockCount(h);
    if (count == 0xFFFF) return;
    if (flag) {
        if (count == 0) HeapHandleLock(h);
        return;
    }
    while (count != 0 && count != 0xFFFF) count = HeapHandleRelease(h);
}

// ---------------------------------------------------------- byte editing

int32_t ReplaceHandleBytes(RelocatableBlock h, int32_t offset, const void* pattern,
                           int32_t patternLength, const void* replacement,
                           int32_t replacementLength) {
    int32_t d = RelocatableBlockSize(h);
    if (d < 0 || offset < 0 || offset > d) return -1;
    if (patternLength != 0) {
        if (patternLength < 0) patternLength = d - offset;
        if (int64_t(offset) + patternLength > d) return -1;
        if (pattern) {
            int32_t found = FindBytes(pattern, patternLength, static_cast<uint8_t*>(*h) + offset, d - offset);
            if (found < 0) return -1;
            offset += found;
        }
    }
    if (!replacement) return offset;
    if (replacementLength < 0) replacementLength = 0;
    int32_t diff = replacementLength - patternLength;
    int32_t tail = d - offset - patternLength;
    if (diff < 0) {
        uint8_t* p = static_cast<uint8_t*>(*h);
        std::memmove(p + offset + replacementLength, p + offset + patternLength, size_t(tail));
        SetRelocatableBlockSize(h, d + diff, 0);
    } else if (diff > 0) {
        // A block that cannot grow stays as it was.
        if (!SetRelocatableBlockSize(h, d + diff, 0)) return -1;
        uint8_t* p = static_cast<uint8_t*>(*h);
        std::memmove(p + offset + replacementLength, p + offset + patternLength, size_t(tail));
    }
    if (replacementLength > 0) {
        uint8_t* p = static_cast<uint8_t*>(*h);
        if (replacement == kZeros) std::memset(p + offset, 0, size_t(replacementLength));
        else std::memmove(p + offset, replacement, size_t(replacementLength));
    }
    return offset + replacementLength;
}

int32_t DeleteHandleBytes(RelocatableBlock h, int32_t start, int32_t length) {
    return ReplaceHandleBytes(h, start, nullptr, length, &kNothing, 0);
}

int32_t InsertHandleBytes(RelocatableBlock h, int32_t offset, const void* src, int32_t length) {
    if (offset < 0) {
        offset = RelocatableBlockSize(h);
        if (offset < 0) return -1;
    }
    return ReplaceHandleBytes(h, offset, nullptr, 0, src ? src : kZeros, length);
}

int32_t ReplaceHandleRange(RelocatableBlock h, int32_t start, int32_t length, const void* src,
                           int32_t srcLength) {
    return ReplaceHandleBytes(h, start, nullptr, length, src ? src : kZeros, srcLength);
}

bool AppendHandleBytes(RelocatableBlock h, const void* src, int32_t length) {
    if (length == 0) return true;
    int32_t d = RelocatableBlockSize(h);
    if (d < 0 || length < 0) return false;
    if (!SetRelocatableBlockSize(h, d + length, 0)) return false;
    uint8_t* p = static_cast<uint8_t*>(*h) + d;
    if (src) std::memcpy(p, src, size_t(length));
    else std::memset(p, 0, size_t(length));
    return true;
}

bool SetRelocatableBlockBytes(RelocatableBlock h, const void* src, int32_t length) {
    if (length < 0 || !SetRelocatableBlockSize(h, length, 0)) return false;
    if (length > 0) {
        if (src) std::memcpy(*h, src, size_t(length));
        else std::memset(*h, 0, size_t(length));
    }
    return true;
}

// ---------------------------------------------------------------- search

int32_t FindBytes(const void* pattern, int32_t patternLength, const void* buffer, int32_t bufferLength) {
    if (patternLength <= 0) return 0;
    if (patternLength > bufferLength) return -1;
    const uint8_t* pat = static_cast<const uint8_t*>(pattern);
    const uint8_t* buf = static_cast<const uint8_t*>(buffer);
    int32_t last = bufferLength - patternLength;
    if (bufferLength < 512 || patternLength < 3) {
        for (int32_t pos = 0; pos <= last; ++pos) {
            if (std::memcmp(buf + pos, pat, size_t(patternLength)) == 0) return pos;
        }
        return -1;
    }
    // Horspool: the window always moves by the shift of the byte under its
    // last position, so no occurrence is skipped.
    int32_t shift[256];
    for (int32_t& s : shift) s = patternLength;
    for (int32_t k = 0; k < patternLength - 1; ++k) shift[pat[k]] = patternLength - 1 - k;
    int32_t pos = 0;
    while (pos <= last) {
        int32_t j = patternLength - 1;
        while (j >= 0 && buf[pos + j] == pat[j]) --j;
        if (j < 0) return pos;
        pos += shift[buf[pos + patternLength - 1]];
    }
    return -1;
}

int32_t FindBytesOrTail(const void* pattern, int32_t patternLength, const void* buffer,
                        int32_t bufferLength, uint8_t* wholeFlag) {
    if (patternLength <= 0 || bufferLength <= 0) {
        if (wholeFlag) *wholeFlag = 1;
        return 0;
    }
    int32_t found = FindBytes(pattern, patternLength, buffer, bufferLength);
    if (found >= 0) {
        if (wholeFlag) *wholeFlag = 1;
        return found;
    }
    if (wholeFlag) *wholeFlag = 0;
    const uint8_t* pat = static_cast<const uint8_t*>(pattern);
    const uint8_t* buf = static_cast<const uint8_t*>(buffer);
    int32_t from = bufferLength - patternLength + 1;
    if (from < 0) from = 0;
    for (int32_t off = from; off < bufferLength; ++off) {
        if (std::memcmp(buf + off, pat, size_t(bufferLength - off)) == 0) return off;
    }
    return bufferLength;
}
