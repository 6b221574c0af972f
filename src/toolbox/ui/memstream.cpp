// Memory and counting streams. A memory stream reads and writes a
// relocatable block that its owner keeps (closing the stream leaves it);
// writes grow the block first, so a block that cannot grow changes
// nothing. A counting stream holds no bytes: writes only move its
// position and length, reads fail.
#include <cstring>

#include "toolbox/ui/bytestream.h"
#include "toolbox/ui/streamkinds.h"

namespace {

int32_t s_memoryCap = -1;

RelocatableBlock BlockOf(ByteStream s) {
    return reinterpret_cast<RelocatableBlock>(s->handle);
}

int32_t MemoryRead(ByteStream s, void* buffer, int32_t* count) {
    if (*count > 0) {
        RelocatableBlock block = BlockOf(s);
        std::memcpy(buffer, static_cast<uint8_t*>(HeapHandleLock(block)) + s->position,
                    size_t(*count));
        HeapHandleUnlock(block);
    }
    return 0;
}

int32_t MemoryWrite(ByteStream s, const void* buffer, int32_t count) {
    RelocatableBlock block = BlockOf(s);
    std::memcpy(static_cast<uint8_t*>(HeapHandleLock(block)) + s->position, buffer, size_t(count));
    HeapHandleUnlock(block);
    return 0;
}

int32_t MemorySetLength(ByteStream s, int32_t length) {
    RelocatableBlock block = BlockOf(s);
    if (!block || (s_memoryCap >= 0 && length > s_memoryCap)) return kStreamErrNoMemory;
    return ResizeRelocatableBlock(block, length) ? 0 : kStreamErrNoMemory;
}

int32_t MemoryRefresh(ByteStream s) {
    RelocatableBlock block = BlockOf(s);
    s->length = block ? RelocatableBlockSize(block) : 0;
    if (s->position > s->length) s->position = s->length;
    return 0;
}

int32_t CountingRead(ByteStream, void*, int32_t* count) {
    *count = 0;
    return kStreamErrCannotRead;
}

} // namespace

void SetUpMemoryStream(ByteStream s) {
    s->flags = kStreamExtendsOnWrite;
    s->read = MemoryRead;
    s->write = MemoryWrite;
    s->setLength = MemorySetLength;
    s->refresh = MemoryRefresh;
}

void SetUpCountingStream(ByteStream s) {
    s->position = int32_t(s->handle);
    s->length = int32_t(s->handle);
    s->read = CountingRead;
}

void SetMemoryStreamCap(int32_t bytes) {
    s_memoryCap = bytes;
}
