// Tagged data of dialog items: one resizable block of entries, each a
// four-character tag (32 bits), a length (32 bits) and that many data
// bytes, the entry padded to an even size (8 + length, rounded up). The
// block lives in memory only, so tag and length are kept in the machine's
// own byte order.
//
// Guarantees: a tag occurs at most once; storing under a present tag
// replaces its data and resizes its entry in place; removing the last
// entry frees the block (the handle becomes null); reading an absent tag
// answers -1 and zero-fills the caller's buffer; a failed store changes
// nothing.
#pragma once
#include <cstdint>

#include "toolbox/core/byteorder.h"
#include "toolbox/core/memblock.h"

// Bytes of an entry's head (tag and length).
constexpr int32_t kTaggedEntryHead = 8;
// Answer of a read of an absent tag.
constexpr int32_t kTaggedDataAbsent = -1;
// Results of a store.
constexpr int32_t kTaggedDataOk = 0;
constexpr int32_t kTaggedDataNoMemory = 8;
constexpr int32_t kTaggedDataBadLength = 87;

// Tags of items' own data (FourCC: the four characters in reading order).
constexpr uint32_t kItemTagIcon = FourCC("icid");
constexpr uint32_t kItemTagDrawProc = FourCC("udrw");
constexpr uint32_t kItemTagKeyFilter = FourCC("eflt");
constexpr uint32_t kItemTagListWindow = FourCC("lbxw");
constexpr uint32_t kItemTagProgress = FourCC("prgb");

// Stores length bytes under tag (creating the block on first use).
int32_t TaggedDataPut(RelocatableBlock* block, uint32_t tag, const void* data, int32_t length);
// Copies at most size bytes of the tag's data into buffer and answers the
// stored length; -1 (buffer zero-filled) when the tag is absent.
int32_t TaggedDataGet(RelocatableBlock block, uint32_t tag, void* buffer, int32_t size);
// The stored length of the tag's data, or -1.
int32_t TaggedDataLength(RelocatableBlock block, uint32_t tag);
// Removes the tag's entry; true when it was there.
bool TaggedDataRemove(RelocatableBlock* block, uint32_t tag);
// Frees the whole block.
void TaggedDataDispose(RelocatableBlock* block);
