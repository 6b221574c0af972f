// File streams: a stream over an open file handle of the file layer.
// Writes go straight to the file (no write-back cache); the file's
// position follows the stream's. Closing the stream record leaves the
// file open; CloseFileStream closes both.
#include "toolbox/ui/bytestream.h"
#include "toolbox/ui/streamkinds.h"

namespace {

FileHandle FileOf(ByteStream s) {
    return reinterpret_cast<FileHandle>(s->handle);
}

int32_t FileRead(ByteStream s, void* buffer, int32_t* count) {
    return ReadFileBytes(FileOf(s), buffer, count);
}

int32_t FileWrite(ByteStream s, const void* buffer, int32_t count) {
    int32_t written = count;
    return WriteFileBytes(FileOf(s), buffer, &written);
}

int32_t FileSetPosition(ByteStream s) {
    return SetFilePosition(FileOf(s), s->position, 0);
}

int32_t FileSetLength(ByteStream s, int32_t length) {
    return SetFileLength(FileOf(s), length);
}

int32_t FileRefresh(ByteStream s) {
    if (int32_t err = GetFileLength(FileOf(s), &s->length)) return err;
    return GetFilePosition(FileOf(s), &s->position);
}

} // namespace

void SetUpFileStream(ByteStream s) {
    s->read = FileRead;
    s->write = FileWrite;
    s->setPosition = FileSetPosition;
    s->setLength = FileSetLength;
    s->refresh = FileRefresh;
}

int32_t OpenFileStream(const FileSpec* spec, int32_t readOnly, ByteStream* out) {
    *out = nullptr;
    FileHandle file = nullptr;
    if (int32_t err = OpenFileSpecHandle(spec, readOnly, &file)) return err;
    int32_t err = ByteStreamOpen(kStreamFile, reinterpret_cast<intptr_t>(file), out);
    if (err) CloseFileHandle(file, 1, 0);
    return err;
}

int32_t CloseFileStream(ByteStream stream, int32_t flushSystem) {
    if (stream->kind != kStreamFile) return kStreamErrNotFileStream;
    if (stream->flush) {
        if (int32_t err = stream->flush(stream)) return err;
    }
    FileHandle file = FileOf(stream);
    ByteStreamClose(stream);
    return CloseFileHandle(file, 1, flushSystem);
}
