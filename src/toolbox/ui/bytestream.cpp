// The byte stream engine: position, length and the cache ranges of a
// stream, driven through the procedures its kind installs.
//
// Guarantees: the position stays within 0..length; position + count is
// computed in 64 bits, so no count can wrap the position; a failed write
// leaves the position where it was and re-reads length and position from
// the medium; a record that cannot be set up is freed before the open
// reports the failure. Procedures a kind does not have are skipped.
#include <cstring>

#include "toolbox/ui/bytestream.h"
#include "toolbox/ui/streamkinds.h"

namespace {

// What ByteStreamClose fills a record with before freeing it.
constexpr int kFreedStreamByte = 0xDB;
// A count or position that cannot be represented in 32 bits.
constexpr int32_t kStreamErrBadParameter = 87;

void EmptyCacheRanges(ByteStream s) {
    s->cacheStart = kStreamNoCache;
    s->cacheEnd = kStreamNoCache;
    s->dirtyStart = kStreamCleanStart;
    s->dirtyEnd = 0;
}

void FreeCacheBlock(ByteStream s) {
    if (s->cacheBlock) FreeHeapBlock(s->cacheBlock);
    s->cacheBlock = nullptr;
}

int32_t RunFlush(ByteStream s) {
    return s->flush ? s->flush(s) : 0;
}

} // namespace

int32_t ByteStreamOpen(int32_t kind, intptr_t handle, ByteStream* out) {
    *out = nullptr;
    ByteStream s = static_cast<ByteStream>(NewPointerBlockClear(nullptr, sizeof(ByteStreamRecord)));
    if (!s) return kStreamErrNoMemory;
    s->kind = kind;
    s->handle = handle;
    EmptyCacheRanges(s);
    int32_t err = 0;
    switch (kind) {
    case kStreamFile:
        SetUpFileStream(s);
        break;
    case kStreamMemory:
        SetUpMemoryStream(s);
        break;
    case kStreamCounting:
        SetUpCountingStream(s);
        break;
    default:
        err = kStreamErrBadParameter;
    }
    if (!err && s->refresh) err = s->refresh(s);
    if (err) {
        FreeHeapBlock(s);
        return err;
    }
    *out = s;
    return 0;
}

void ByteStreamClose(ByteStream stream) {
    if (!stream) return;
    RunFlush(stream);
    FreeCacheBlock(stream);
    std::memset(stream, kFreedStreamByte, sizeof *stream);
    FreeHeapBlock(stream);
}

int32_t ByteStreamRead(ByteStream s, void* buffer, int32_t* count) {
    if (*count < 0) *count = 0;
    int32_t result = 0;
    if (int64_t(s->position) + *count > s->length) {
        *count = s->length - s->position;
        result = kStreamErrEndOfFile;
    }
    if (buffer && s->read) {
        int32_t got = *count;
        int32_t err = s->read(s, buffer, &got);
        s->position += got;
        *count = got;
        if (err) return err;
    } else {
        s->position += *count;
    }
    return result;
}

int32_t ByteStreamWrite(ByteStream s, const void* buffer, int32_t count) {
    if (count <= 0) return 0;
    int64_t end = int64_t(s->position) + count;
    if (end > INT32_MAX) return kStreamErrBadParameter;
    bool extends = (s->flags & kStreamExtendsOnWrite) || !s->write || !buffer;
    if (extends && end > s->length) {
        if (int32_t err = ByteStreamSetLength(s, int32_t(end))) return err;
    }
    if (buffer && s->write) {
        if (int32_t err = s->write(s, buffer, count)) {
            if (s->refresh) s->refresh(s);
            return err;
        }
    }
    s->position = int32_t(end);
    if (!(s->flags & kStreamExtendsOnWrite) && s->position > s->length) s->length = s->position;
    return 0;
}

int32_t ByteStreamSetPosition(ByteStream s, int32_t position) {
    if (position < 0) return kStreamErrNegativePosition;
    if (position > s->length) return kStreamErrEndOfFile;
    if (position == s->position) return 0;
    s->position = position;
    return s->setPosition ? s->setPosition(s) : 0;
}

int32_t ByteStreamSkip(ByteStream s, int32_t count) {
    if (count == 0) return 0;
    int64_t to = int64_t(s->position) + count;
    if (to < 0) return kStreamErrNegativePosition;
    if (to > s->length) return kStreamErrEndOfFile;
    return ByteStreamSetPosition(s, int32_t(to));
}

int32_t ByteStreamLength(ByteStream s) {
    return s->length;
}

int32_t ByteStreamSetLength(ByteStream s, int32_t length) {
    if (length < 0) length = 0;
    if (s->kind == kStreamMemory && s->granularity) {
        int64_t unit = int64_t(s->granularity) + 1;
        int64_t rounded = (int64_t(length) + unit - 1) / unit * unit;
        if (rounded > INT32_MAX) return kStreamErrNoMemory;
        length = int32_t(rounded);
    }
    if (length == s->length) return 0;
    if (s->cacheStart >= length) {
        EmptyCacheRanges(s);
    } else {
        if (s->cacheEnd > length) s->cacheEnd = length;
        if (s->dirtyEnd > length) s->dirtyEnd = length;
    }
    if (s->position > length) {
        s->position = length;
        if (s->setPosition) {
            if (int32_t err = s->setPosition(s)) return err;
        }
    }
    if (s->setLength) {
        if (int32_t err = s->setLength(s, length)) return err;
    }
    s->length = length;
    return 0;
}

int32_t ByteStreamFlush(ByteStream s, int32_t flushSystem) {
    int32_t result = RunFlush(s);
    if (s->kind == kStreamFile && flushSystem) {
        int32_t err = CloseFileHandle(reinterpret_cast<FileHandle>(s->handle), 0, 1);
        if (!result) result = err;
    }
    EmptyCacheRanges(s);
    return result;
}

int32_t ByteStreamReset(ByteStream s, int32_t kind, intptr_t handle) {
    int32_t result = RunFlush(s);
    FreeCacheBlock(s);
    std::memset(s, 0, sizeof *s);
    s->kind = kind;
    s->handle = handle;
    EmptyCacheRanges(s);
    return result;
}
