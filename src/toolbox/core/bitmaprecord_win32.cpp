// Bitmap records over GDI: monochrome device bitmaps at depth 1, top-down
// DIB sections at other depths, their pixels, and BMP decoding into them.
#include <windows.h>

#include <cstring>

#include "toolbox/core/bitmapbits.h"
#include "toolbox/core/bitmaprecord.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/resource.h"

namespace {

struct DibHeader {
    BITMAPINFOHEADER header;
    RGBQUAD colours[kByteTableEntries];
};

int32_t DisplayDepth() {
    HDC screen = GetDC(nullptr);
    int32_t depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return depth == kBitmapDepthDisplayWide ? kBitmapDepthTrue : depth;
}

int32_t TableFor(int32_t depth, bool standardColours, RGBQUAD* out) {
    BitmapColour table[kByteTableEntries];
    int32_t count = 0;
    if (standardColours && depth == kBitmapDepthSmall) {
        count = kSmallTableEntries;
        std::memcpy(table, kStandardSmallColours, sizeof kStandardSmallColours);
    } else if (standardColours && depth == kBitmapDepthByte) {
        PALETTEENTRY entries[kByteTableEntries]{};
        HDC screen = GetDC(nullptr);
        HPALETTE halftone = CreateHalftonePalette(screen);
        ReleaseDC(nullptr, screen);
        if (halftone) {
            count = int32_t(GetPaletteEntries(halftone, 0, kByteTableEntries, entries));
            DeleteObject(halftone);
        }
        for (int32_t i = 0; i < count; ++i)
            table[i] = {entries[i].peRed, entries[i].peGreen, entries[i].peBlue};
    }
    if (count == 0) count = GreyRampTable(depth, table);
    for (int32_t i = 0; i < count; ++i)
        out[i] = {table[i].blue, table[i].green, table[i].red, 0};
    return count;
}

void FillWhite(HBITMAP bitmap, int32_t width, int32_t height) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    // A white brush rather than WHITENESS, which sets every bit: the last
    // entry of a colour table, black in the grey ramp.
    RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(dc, old);
    DeleteDC(dc);
}

BitmapRecord* NewRecord(HeapPool* heap, int32_t width, int32_t height, int32_t depth) {
    auto* record =
        static_cast<BitmapRecord*>(NewPointerBlockClear(heap, int32_t(sizeof(BitmapRecord))));
    if (!record) return nullptr;
    record->width = int16_t(width);
    record->height = int16_t(height);
    record->depth = int16_t(depth);
    return record;
}

// A top-down DIB section from the header (its height made negative).
bool MakeDibSection(BitmapRecord* record, DibHeader* dib) {
    if (dib->header.biHeight > 0) dib->header.biHeight = -dib->header.biHeight;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(dib), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
    if (!bitmap) return false;
    record->bitmap = bitmap;
    record->bits = bits;
    return true;
}

int32_t RecordBytes(const BitmapRecord* bitmap) {
    return BitmapRowBytes(bitmap->width, bitmap->depth) * bitmap->height;
}

} // namespace

BitmapRecord* NewBitmapRecord(HeapPool* heap, int32_t width, int32_t height, int32_t depth,
                              bool standardColours) {
    if (width <= 0 || height <= 0 || width > kBitmapLargestSide || height > kBitmapLargestSide)
        return nullptr;
    if (depth == 0) depth = DisplayDepth();
    if (depth == kBitmapDepthDisplayWide) depth = kBitmapDepthTrue;
    BitmapRecord* record = NewRecord(heap, width, height, depth);
    if (!record) return nullptr;
    if (depth == kBitmapDepthMono) {
        record->bitmap = CreateBitmap(width, height, 1, 1, nullptr);
    } else {
        DibHeader dib{};
        dib.header.biSize = sizeof dib.header;
        dib.header.biWidth = width;
        dib.header.biHeight = height;
        dib.header.biPlanes = 1;
        dib.header.biBitCount = WORD(depth);
        dib.header.biCompression = BI_RGB;
        dib.header.biSizeImage = DWORD(RecordBytes(record));
        if (depth <= kBitmapDepthByte)
            dib.header.biClrUsed = DWORD(TableFor(depth, standardColours, dib.colours));
        MakeDibSection(record, &dib);
    }
    if (!record->bitmap) {
        FreeHeapBlock(record);
        return nullptr;
    }
    FillWhite(static_cast<HBITMAP>(record->bitmap), width, height);
    return record;
}

void DisposeBitmapRecord(BitmapRecord* bitmap) {
    if (!bitmap) return;
    if (bitmap->port) AttachBitmapToPort(bitmap->port, nullptr);
    if (bitmap->bitmap) DeleteObject(static_cast<HBITMAP>(bitmap->bitmap));
    FreeHeapBlock(bitmap);
}

void* CopyBitmapBits(HeapPool* heap, const BitmapRecord* bitmap) {
    int32_t size = RecordBytes(bitmap);
    void* block = NewPointerBlock(heap, size);
    if (!block) return nullptr;
    if (bitmap->bits) {
        GdiFlush();
        std::memcpy(block, bitmap->bits, size_t(size));
    } else {
        GetBitmapBits(static_cast<HBITMAP>(bitmap->bitmap), size, block);
    }
    return block;
}

void SetBitmapRecordBits(BitmapRecord* bitmap, const void* data, int32_t length) {
    if (!bitmap || length < 0 || length > RecordBytes(bitmap)) return;
    if (bitmap->bits) {
        GdiFlush();
        std::memcpy(bitmap->bits, data, size_t(length));
    } else {
        SetBitmapBits(static_cast<HBITMAP>(bitmap->bitmap), DWORD(length), data);
    }
}

int32_t DecodeBitmapStream(BmpReadProc read, void* user, bool fileHeader, int16_t* resolution,
                           BitmapRecord** out) {
    *out = nullptr;
    DecodedBitmap decoded;
    int32_t err = DecodeBitmapBits(read, user, fileHeader, &decoded);
    if (err != 0) return err;
    if (resolution) {
        resolution[0] = decoded.horizontalResolution;
        resolution[1] = decoded.verticalResolution;
    }
    BitmapRecord* record = nullptr;
    if (decoded.depth == kBitmapDepthMono) {
        record = NewBitmapRecord(nullptr, decoded.width, decoded.height, kBitmapDepthMono, false);
        if (!record)
            err = kBmpNoMemory;
        else
            SetBitmapRecordBits(record, decoded.bits, decoded.rowBytes * decoded.height);
    } else {
        record = NewRecord(nullptr, decoded.width, decoded.height, decoded.depth);
        DibHeader dib{};
        const BmpInfoHeader& h = decoded.header;
        dib.header = {sizeof dib.header,
                      h.biWidth,
                      h.biHeight,
                      h.biPlanes,
                      h.biBitCount,
                      h.biCompression,
                      h.biSizeImage,
                      h.biXPelsPerMeter,
                      h.biYPelsPerMeter,
                      DWORD(decoded.colourCount),
                      DWORD(decoded.colourCount)};
        for (int32_t i = 0; i < decoded.colourCount; ++i)
            dib.colours[i] = {decoded.colours[i].blue, decoded.colours[i].green,
                              decoded.colours[i].red, 0};
        if (!record) {
            err = kBmpNoMemory;
        } else if (!MakeDibSection(record, &dib)) {
            err = int32_t(GetLastError());
            if (err == 0) err = kBmpNoMemory;
            FreeHeapBlock(record);
            record = nullptr;
        } else {
            std::memcpy(record->bits, decoded.bits, size_t(decoded.rowBytes) * decoded.height);
        }
    }
    FreeDecodedBitmap(&decoded);
    *out = record;
    return err;
}

BitmapRecord* BitmapFromResource(int32_t resourceId) {
    RelocatableBlock block = LoadCustomResource(kResourceTypeBitmap, resourceId);
    if (!block) return nullptr;
    BmpBlockReader reader{static_cast<const uint8_t*>(HeapHandleLock(block)),
                          RelocatableBlockSize(block), 0};
    BitmapRecord* record = nullptr;
    DecodeBitmapStream(&BmpReadFromBlock, &reader, false, nullptr, &record);
    HeapHandleUnlock(block);
    ReleaseCustomResource(block);
    return record;
}
