// Bitmap pixels without the system: row sizes, the colour tables of 4- and
// 8-bit bitmaps, the resolution of a BMP, and BMP decoding into rows laid
// out as the program's bitmaps hold them (top row first; 1-bit rows padded
// to 16 bits, other depths to 32).
//
// Guarantees: a decoded image is whole or absent (a failed decode frees
// everything it made); a width or height above kBitmapLargestSide is
// refused before any pixel memory is taken, as the bitmap record keeps
// both in 16 bits.
#pragma once
#include <cstdint>

#include "toolbox/core/bmpread.h"

constexpr int32_t kBitmapLargestSide = 32767;
constexpr int32_t kBitmapDepthMono = 1;
constexpr int32_t kBitmapDepthSmall = 4;
constexpr int32_t kBitmapDepthByte = 8;
constexpr int32_t kBitmapDepthTrue = 24;
constexpr int32_t kBitmapDepthDisplayWide = 32; // read as 24
constexpr int32_t kSmallTableEntries = 16;
constexpr int32_t kByteTableEntries = 256;
constexpr double kInchesPerMetre = 39.37;

struct BitmapColour {
    uint8_t red, green, blue;
};

// The 16 standard colours of 4-bit bitmaps.
extern const BitmapColour kStandardSmallColours[kSmallTableEntries];

int32_t BitmapRowBytes(int32_t width, int32_t depth);
// The grey ramp from white down for depth 4 (16 entries) or 8 (256);
// answers the entries written, 0 for other depths.
int32_t GreyRampTable(int32_t depth, BitmapColour* out);
// Dots per inch from pixels per metre, rounded.
int16_t ResolutionFromPixelsPerMetre(int32_t pixelsPerMetre);

// The invert-monochrome flag: set once at start, never cleared.
void SetInvertMonochrome();
bool InvertMonochromeSet();
// Clears the flag (tests).
void ClearInvertMonochrome();

struct DecodedBitmap {
    int32_t width, height, depth;
    int32_t rowBytes;
    uint8_t* bits; // rowBytes x height, malloc'd
    int16_t horizontalResolution, verticalResolution;
    BmpInfoHeader header; // the BMP's own, for a DIB of depths above 1
    BitmapColour colours[kByteTableEntries];
    int32_t colourCount;
};

// 0 or an error code (kBmpMalformed, kBmpNoMemory, the reader's); on
// success out->bits is the caller's (FreeDecodedBitmap).
int32_t DecodeBitmapBits(BmpReadProc read, void* user, bool fileHeader, DecodedBitmap* out);
void FreeDecodedBitmap(DecodedBitmap* bitmap);
