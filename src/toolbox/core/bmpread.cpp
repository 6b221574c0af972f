// BMP headers, the colour table and the pixel rows.
#include "toolbox/core/bmpread.h"

#include <climits>
#include <cstring>

#include "toolbox/core/memblock.h"
#include "toolbox/core/tryframe.h"

namespace {

constexpr int32_t kLargestSkip = 0x40000000;
constexpr uint32_t kUncompressed = 0;

uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

void ReadOrThrow(const BmpInfo* info, void* dest, int32_t count) {
    ThrowToFrame(info->read(info->user, dest, count));
}

void SkipOrThrow(const BmpInfo* info, uint64_t count) {
    while (count > 0) {
        int32_t step = count > uint64_t(kLargestSkip) ? kLargestSkip : int32_t(count);
        ReadOrThrow(info, nullptr, step);
        count -= uint64_t(step);
    }
}

void DecodeInfoHeader(const uint8_t* b, BmpInfoHeader* h) {
    h->biSize = Le32(b);
    h->biWidth = int32_t(Le32(b + 4));
    h->biHeight = int32_t(Le32(b + 8));
    h->biPlanes = Le16(b + 12);
    h->biBitCount = Le16(b + 14);
    h->biCompression = Le32(b + 16);
    h->biSizeImage = Le32(b + 20);
    h->biXPelsPerMeter = int32_t(Le32(b + 24));
    h->biYPelsPerMeter = int32_t(Le32(b + 28));
    h->biClrUsed = Le32(b + 32);
    h->biClrImportant = Le32(b + 36);
}

bool KnownBitCount(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

int64_t SourceRowBytes64(const BmpInfoHeader* h) {
    return (int64_t(h->biBitCount) * h->biWidth + 31) / 32 * 4;
}

int64_t Rows(const BmpInfoHeader* h) {
    return h->biHeight < 0 ? -int64_t(h->biHeight) : h->biHeight;
}

bool Trustworthy(const BmpInfoHeader* h) {
    if (h->biPlanes != 1 || h->biCompression != kUncompressed) return false;
    if (h->biSize < uint32_t(kBmpInfoHeaderSize) || h->biWidth <= 0) return false;
    if (h->biHeight == 0 || h->biHeight == INT_MIN) return false;
    if (!KnownBitCount(h->biBitCount)) return false;
    if (h->biBitCount <= 8 && h->biClrUsed > (1u << h->biBitCount)) return false;
    return SourceRowBytes64(h) * Rows(h) <= kBmpLargestImage;
}

} // namespace

int32_t BmpRead(BmpReadProc read, void* user, bool fileHeader, BmpInfo* info) {
    std::memset(info, 0, sizeof *info);
    info->read = read;
    info->user = user;
    return TryRun([&] {
        uint8_t bytes[kBmpInfoHeaderSize];
        if (fileHeader) {
            ReadOrThrow(info, bytes, kBmpFileHeaderSize);
            if (Le16(bytes) != kBmpFileType) ThrowToFrame(kBmpMalformed);
        }
        ReadOrThrow(info, bytes, kBmpInfoHeaderSize);
        BmpInfoHeader& h = info->header;
        DecodeInfoHeader(bytes, &h);
        if (!Trustworthy(&h)) ThrowToFrame(kBmpMalformed);
        SkipOrThrow(info, h.biSize - uint32_t(kBmpInfoHeaderSize));
        if (h.biClrUsed == 0 && h.biBitCount <= 8) h.biClrUsed = 1u << h.biBitCount;
        if (h.biClrUsed > uint32_t(kBmpColourTableEntries)) {
            SkipOrThrow(info, uint64_t(h.biClrUsed) * 4);
            h.biClrUsed = 0;
        } else if (h.biClrUsed) {
            ReadOrThrow(info, info->colours, int32_t(h.biClrUsed) * 4);
        }
    });
}

int32_t BmpSourceRowBytes(const BmpInfoHeader* header) {
    return int32_t(SourceRowBytes64(header));
}

int32_t BmpDestinationRowBytes(const BmpInfoHeader* header) {
    if (header->biBitCount == 1) return (header->biWidth + 15) / 16 * 2;
    return BmpSourceRowBytes(header);
}

int32_t BmpReadPixels(BmpInfo* info, void* dest, bool keepOrder) {
    const BmpInfoHeader* h = &info->header;
    int32_t source = BmpSourceRowBytes(h), destination = BmpDestinationRowBytes(h);
    int32_t rows = int32_t(Rows(h));
    bool fileOrder = keepOrder || h->biHeight < 0;
    auto* out = static_cast<uint8_t*>(dest);
    if (source == destination && fileOrder) return info->read(info->user, dest, source * rows);

    uint8_t local[kBmpLocalRowBytes];
    uint8_t* row = local;
    if (source > kBmpLocalRowBytes) {
        row = static_cast<uint8_t*>(NewPointerBlock(nullptr, source));
        if (!row) return kBmpNoMemory;
    }
    int32_t result = 0;
    for (int32_t i = 0; i < rows && result == 0; ++i) {
        result = info->read(info->user, row, source);
        if (result) break;
        int32_t target = fileOrder ? i : rows - 1 - i;
        std::memcpy(out + int64_t(target) * destination, row, size_t(destination));
    }
    if (row != local) FreeHeapBlock(row);
    return result;
}

int32_t BmpReadFromBlock(void* user, void* dest, int32_t count) {
    auto* r = static_cast<BmpBlockReader*>(user);
    if (count < 0 || count > r->size - r->at) return kBmpReadPastEnd;
    if (dest) std::memcpy(dest, r->bytes + r->at, size_t(count));
    r->at += count;
    return 0;
}
