// Byte streams: a positioned sequence of bytes with a length, read and
// written through a table of procedures, over a file, a relocatable memory
// block or nothing at all (a stream that only counts).
#pragma once
#include <cstdint>

#include "toolbox/core/filespec.h"
#include "toolbox/core/memblock.h"

// Stream kinds.
constexpr int32_t kStreamFile = 0;
constexpr int32_t kStreamMemory = 1;
constexpr int32_t kStreamCounting = 2;

// Stream flags: writes extend the length through the set-length procedure
// before copying (memory streams).
constexpr uint16_t kStreamExtendsOnWrite = 4;

// Results of the stream layer besides the file layer's codes.
constexpr int32_t kStreamErrNotFileStream = 6;
constexpr int32_t kStreamErrNoMemory = 8;
constexpr int32_t kStreamErrCannotRead = 30;
constexpr int32_t kStreamErrEndOfFile = 38;
constexpr int32_t kStreamErrNegativePosition = 131;
// No valid type header (too short, bad byte-order flag, wrong magic).
constexpr int32_t kStreamErrNoTypeHeader = 0x20000000 + 11100;

// The empty cache ranges: a cached range of -1..-1 and a dirty range that
// starts at the largest 32-bit value and ends at 0.
constexpr int32_t kStreamNoCache = -1;
constexpr int32_t kStreamCleanStart = INT32_MAX;

struct ByteStreamRecord;
typedef ByteStreamRecord* ByteStream;

typedef int32_t (*StreamReadProc)(ByteStream stream, void* buffer, int32_t* count);
typedef int32_t (*StreamWriteProc)(ByteStream stream, const void* buffer, int32_t count);
typedef int32_t (*StreamProc)(ByteStream stream);
typedef int32_t (*StreamSetLengthProc)(ByteStream stream, int32_t length);

// The stream record (a zeroed pointer block of the toolbox). handle: the
// file handle (file), the relocatable block (memory) or the start value
// (counting); pointer-sized. The cache fields keep their empty values:
// file streams write straight through.
struct ByteStreamRecord {
    int32_t kind;
    uint16_t flags;
    uint16_t granularity;
    intptr_t handle;
    int32_t position;
    int32_t length;
    int32_t bufferSize;
    int32_t cacheStart, cacheEnd;
    int32_t dirtyStart, dirtyEnd;
    void* cacheBlock;
    StreamReadProc read;
    StreamWriteProc write;
    StreamProc setPosition;
    StreamSetLengthProc setLength;
    StreamProc flush;
    StreamProc refresh;
};

// Allocates and sets up a stream of the kind, then refreshes it; on any
// failure the record is freed and *out is null. 0 or the code.
int32_t ByteStreamOpen(int32_t kind, intptr_t handle, ByteStream* out);
// Flushes, fills the record with 0xDB and frees it; the medium stays.
void ByteStreamClose(ByteStream stream);
// Reads *count bytes (buffer null: skips them); a read past the length is
// cut short and gives 38.
int32_t ByteStreamRead(ByteStream stream, void* buffer, int32_t* count);
// Writes count bytes (buffer null: only moves position and length).
int32_t ByteStreamWrite(ByteStream stream, const void* buffer, int32_t count);
int32_t ByteStreamSetPosition(ByteStream stream, int32_t position);
int32_t ByteStreamSkip(ByteStream stream, int32_t count);
int32_t ByteStreamLength(ByteStream stream);
int32_t ByteStreamSetLength(ByteStream stream, int32_t length);
int32_t ByteStreamFlush(ByteStream stream, int32_t flushSystem);
int32_t ByteStreamReset(ByteStream stream, int32_t kind, intptr_t handle);

// A read-only (or read-write) file stream over the FileSpec's file; the file
// is closed again when the stream cannot be made.
int32_t OpenFileStream(const FileSpec* spec, int32_t readOnly, ByteStream* out);
// 6 for a stream that is not a file stream (it stays open); otherwise
// flushes, closes the stream and then its file.
int32_t CloseFileStream(ByteStream stream, int32_t flushSystem);

// Reads the 'LEAD' type header at the start of the stream. Each output may
// be null; on an error all are 0.
int32_t ReadFileTypeHeader(ByteStream stream, uint32_t* type, int16_t* kind, uint32_t* creator);

// Test-only: memory streams refuse to grow their block beyond this many
// bytes (a negative cap: no limit, the start state).
void SetMemoryStreamCap(int32_t bytes);
