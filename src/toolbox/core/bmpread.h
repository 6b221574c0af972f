// BMP reading: a device-independent bitmap from any source, through a read
// callback. BmpRead takes the optional 14-byte file header, the 40-byte
// BITMAPINFOHEADER (little-endian, field by field) and the colour table;
// BmpReadPixels delivers the rows top row first.
//
// Guarantees: a header that a later bitmap creation could not trust is
// refused with kBmpMalformed before anything else is read: a size below 40,
// a width of 0 or less, a height of 0 or INT_MIN, planes other than 1, a
// compression, a bit count other than 1, 4, 8, 16, 24 or 32, more colours
// than 2^bits at 8 bits or fewer, an image above kBmpLargestImage bytes. A
// colour table of more than 256 entries (above 8 bits) is skipped and its
// count cleared in the kept header.
#pragma once
#include <cstdint>

// Reads count bytes into dest (null: skips them); 0 or an error code.
typedef int32_t (*BmpReadProc)(void* user, void* dest, int32_t count);

constexpr int32_t kBmpMalformed = 0x20002712;
constexpr int32_t kBmpNoMemory = 8;
constexpr uint16_t kBmpFileType = 0x4D42; // "BM"
constexpr int32_t kBmpFileHeaderSize = 14;
constexpr int32_t kBmpInfoHeaderSize = 40;
constexpr int32_t kBmpColourTableEntries = 256;
constexpr int64_t kBmpLargestImage = 256ll * 1024 * 1024;
// Rows up to this many bytes are read through a buffer on the stack.
constexpr int32_t kBmpLocalRowBytes = 768;

struct BmpInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight; // negative: top-down
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};

struct BmpInfo {
    BmpInfoHeader header;
    uint8_t colours[kBmpColourTableEntries][4]; // blue, green, red, reserved
    BmpReadProc read;
    void* user;
};

// 0, the callback's error code, or kBmpMalformed.
int32_t BmpRead(BmpReadProc read, void* user, bool fileHeader, BmpInfo* info);

// Bytes in memory read as a BMP source: BmpReadFromBlock (a BmpReadProc
// over a BmpBlockReader) answers kBmpReadPastEnd for bytes beyond the end.
constexpr int32_t kBmpReadPastEnd = 38;
struct BmpBlockReader {
    const uint8_t* bytes;
    int32_t size;
    int32_t at;
};
int32_t BmpReadFromBlock(void* user, void* dest, int32_t count);
// Source row: (bits x width + 31) / 32 x 4 bytes; destination row: for 1
// bit (width + 15) / 16 x 2 bytes, else the source row.
int32_t BmpSourceRowBytes(const BmpInfoHeader* header);
int32_t BmpDestinationRowBytes(const BmpInfoHeader* header);
// Reads the rows into dest, top row first unless keepOrder (file order).
// 0, the callback's error code, or kBmpNoMemory without a row buffer.
int32_t BmpReadPixels(BmpInfo* info, void* dest, bool keepOrder);
