// Tagged data of dialog items: entries walked from the block's start, each
// 8 + length bytes rounded up to even.
#include "toolbox/ui/taggeddata.h"

#include <cstring>

namespace {

struct Entry {
    int32_t offset; // of the entry's head; -1 when absent
    int32_t length;
};

int32_t PaddedSize(int32_t length) {
    return (kTaggedEntryHead + length + 1) & ~1;
}

// The entry of tag, reading the heads with memcpy (entries are 2-aligned).
Entry FindEntry(RelocatableBlock block, uint32_t tag) {
    if (!block || !*block) return {-1, 0};
    const uint8_t* bytes = static_cast<const uint8_t*>(*block);
    int32_t size = RelocatableBlockSize(block);
    for (int32_t at = 0; at + kTaggedEntryHead <= size;) {
        uint32_t entryTag;
        int32_t length;
        std::memcpy(&entryTag, bytes + at, 4);
        std::memcpy(&length, bytes + at + 4, 4);
        if (length < 0 || PaddedSize(length) > size - at) break; // damaged: stop
        if (entryTag == tag) return {at, length};
        at += PaddedSize(length);
    }
    return {-1, 0};
}

} // namespace

int32_t TaggedDataPut(RelocatableBlock* block, uint32_t tag, const void* data, int32_t length) {
    if (length < 0 || length > INT32_MAX - kTaggedEntryHead - 1) return kTaggedDataBadLength;
    int32_t padded = PaddedSize(length);
    uint8_t head[kTaggedEntryHead];
    std::memcpy(head, &tag, 4);
    std::memcpy(head + 4, &length, 4);
    if (!*block) {
        RelocatableBlock fresh = NewRelocatableBlockClear(HandleBlockPool(), padded);
        if (!fresh) return kTaggedDataNoMemory;
        uint8_t* bytes = static_cast<uint8_t*>(*fresh);
        std::memcpy(bytes, head, kTaggedEntryHead);
        if (length > 0) std::memcpy(bytes + kTaggedEntryHead, data, size_t(length));
        *block = fresh;
        return kTaggedDataOk;
    }
    Entry entry = FindEntry(*block, tag);
    int32_t size = RelocatableBlockSize(*block);
    if (entry.offset < 0) {
        if (!ResizeRelocatableBlock(*block, size + padded)) return kTaggedDataNoMemory;
        uint8_t* bytes = static_cast<uint8_t*>(**block);
        std::memset(bytes + size, 0, size_t(padded));
        std::memcpy(bytes + size, head, kTaggedEntryHead);
        if (length > 0) std::memcpy(bytes + size + kTaggedEntryHead, data, size_t(length));
        return kTaggedDataOk;
    }
    int32_t oldPadded = PaddedSize(entry.length);
    int32_t tail = entry.offset + oldPadded; // first byte after the entry
    if (padded > oldPadded) {
        if (!ResizeRelocatableBlock(*block, size + padded - oldPadded)) return kTaggedDataNoMemory;
    }
    uint8_t* bytes = static_cast<uint8_t*>(**block);
    std::memmove(bytes + entry.offset + padded, bytes + tail, size_t(size - tail));
    if (padded < oldPadded) ResizeRelocatableBlock(*block, size + padded - oldPadded);
    bytes = static_cast<uint8_t*>(**block);
    std::memset(bytes + entry.offset, 0, size_t(padded));
    std::memcpy(bytes + entry.offset, head, kTaggedEntryHead);
    if (length > 0) std::memcpy(bytes + entry.offset + kTaggedEntryHead, data, size_t(length));
    return kTaggedDataOk;
}

int32_t TaggedDataGet(RelocatableBlock block, uint32_t tag, void* buffer, int32_t size) {
    Entry entry = FindEntry(block, tag);
    if (entry.offset < 0) {
        if (buffer && size > 0) std::memset(buffer, 0, size_t(size));
        return kTaggedDataAbsent;
    }
    int32_t n = entry.length < size ? entry.length : size;
    if (buffer && n > 0)
        std::memcpy(buffer, static_cast<const uint8_t*>(*block) + entry.offset + kTaggedEntryHead,
                    size_t(n));
    return entry.length;
}

int32_t TaggedDataLength(RelocatableBlock block, uint32_t tag) {
    Entry entry = FindEntry(block, tag);
    return entry.offset < 0 ? kTaggedDataAbsent : entry.length;
}

bool TaggedDataRemove(RelocatableBlock* block, uint32_t tag) {
    Entry entry = FindEntry(*block, tag);
    if (entry.offset < 0) return false;
    int32_t size = RelocatableBlockSize(*block);
    int32_t padded = PaddedSize(entry.length);
    if (padded >= size) {
        TaggedDataDispose(block);
        return true;
    }
    uint8_t* bytes = static_cast<uint8_t*>(**block);
    std::memmove(bytes + entry.offset, bytes + entry.offset + padded,
                 size_t(size - entry.offset - padded));
    ResizeRelocatableBlock(*block, size - padded);
    return true;
}

void TaggedDataDispose(RelocatableBlock* block) {
    if (*block) HeapHandleFree(*block);
    *block = nullptr;
}
