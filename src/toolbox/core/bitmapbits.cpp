// Bitmap pixels: rows, colour tables and BMP decoding. A 1-bit BMP whose
// table is white then black is inverted on loading while the flag is set,
// so a set bit is black as in the program's own monochrome bitmaps.
#include "toolbox/core/bitmapbits.h"

#include <cstdlib>
#include <cstring>

namespace {

bool g_invertMonochrome = false;
constexpr int32_t kMonoPadBits = 16;
constexpr int32_t kMonoPadBytes = 2;
constexpr int32_t kColourPadBits = 32;
constexpr int32_t kColourPadBytes = 4;
constexpr int32_t kSmallRampStep = 17;
constexpr uint8_t kFull = 255;
constexpr int32_t kBmpBlue = 0, kBmpGreen = 1, kBmpRed = 2;

bool IsColour(const uint8_t* entry, uint8_t value) {
    return entry[kBmpBlue] == value && entry[kBmpGreen] == value && entry[kBmpRed] == value;
}

} // namespace

const BitmapColour kStandardSmallColours[kSmallTableEntries] = {
    {255, 255, 255}, {252, 243, 5},   {255, 100, 2}, {221, 8, 6},  {242, 8, 132}, {70, 0, 165},
    {0, 0, 212},     {2, 171, 234},   {31, 183, 20}, {0, 100, 17}, {86, 44, 5},   {144, 113, 58},
    {192, 192, 192}, {128, 128, 128}, {64, 64, 64},  {0, 0, 0}};

int32_t BitmapRowBytes(int32_t width, int32_t depth) {
    if (depth == kBitmapDepthMono)
        return kMonoPadBytes * ((width + kMonoPadBits - 1) / kMonoPadBits);
    int64_t bits = int64_t(width) * depth;
    return int32_t(kColourPadBytes * ((bits + kColourPadBits - 1) / kColourPadBits));
}

int32_t GreyRampTable(int32_t depth, BitmapColour* out) {
    int32_t count = depth == kBitmapDepthByte    ? kByteTableEntries
                    : depth == kBitmapDepthSmall ? kSmallTableEntries
                                                 : 0;
    int32_t step = depth == kBitmapDepthSmall ? kSmallRampStep : 1;
    for (int32_t i = 0; i < count; ++i) {
        uint8_t v = uint8_t(kFull - i * step);
        out[i] = {v, v, v};
    }
    return count;
}

int16_t ResolutionFromPixelsPerMetre(int32_t pixelsPerMetre) {
    return int16_t(int32_t(pixelsPerMetre / kInchesPerMetre + 0.5));
}

void SetInvertMonochrome() {
    g_invertMonochrome = true;
}

bool InvertMonochromeSet() {
    return g_invertMonochrome;
}

void ClearInvertMonochrome() {
    g_invertMonochrome = false;
}

void FreeDecodedBitmap(DecodedBitmap* bitmap) {
    std::free(bitmap->bits);
    bitmap->bits = nullptr;
}

int32_t DecodeBitmapBits(BmpReadProc read, void* user, bool fileHeader, DecodedBitmap* out) {
    std::memset(out, 0, sizeof *out);
    BmpInfo info{};
    int32_t err = BmpRead(read, user, fileHeader, &info);
    if (err != 0) return err;
    const BmpInfoHeader& h = info.header;
    int32_t height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (h.biWidth > kBitmapLargestSide || height > kBitmapLargestSide) return kBmpMalformed;
    out->width = h.biWidth;
    out->height = height;
    out->depth = h.biBitCount;
    out->header = h;
    out->horizontalResolution = ResolutionFromPixelsPerMetre(h.biXPelsPerMeter);
    out->verticalResolution = ResolutionFromPixelsPerMetre(h.biYPelsPerMeter);
    out->rowBytes = BitmapRowBytes(out->width, out->depth);
    int32_t colours = h.biBitCount <= kBitmapDepthByte
                          ? (h.biClrUsed ? int32_t(h.biClrUsed) : 1 << h.biBitCount)
                          : 0;
    for (int32_t i = 0; i < colours; ++i)
        out->colours[i] = {info.colours[i][kBmpRed], info.colours[i][kBmpGreen],
                           info.colours[i][kBmpBlue]};
    out->colourCount = colours;
    size_t size = size_t(out->rowBytes) * size_t(height);
    out->bits = static_cast<uint8_t*>(std::calloc(size ? size : 1, 1));
    if (!out->bits) return kBmpNoMemory;
    err = BmpReadPixels(&info, out->bits, false);
    if (err != 0) {
        FreeDecodedBitmap(out);
        return err;
    }
    if (out->depth == kBitmapDepthMono && g_invertMonochrome && IsColour(info.colours[0], kFull) &&
        IsColour(info.colours[1], 0))
        for (size_t i = 0; i < size; ++i)
            out->bits[i] = uint8_t(~out->bits[i]);
    return 0;
}
