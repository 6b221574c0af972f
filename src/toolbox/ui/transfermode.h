// Transfer modes (pen and text modes 0 to 7) and their GDI forms: the
// ROP2 of lines and fills, the raster operation of bits and the background
// mode. The mapping inverts the usual sense because black is 1 in the
// pattern model and 0 on GDI.
#pragma once
#include <cstdint>

constexpr int32_t kTransferModes = 8;
constexpr int16_t kTextModeDimmed = 257;
// The system's codes (wingdi.h), kept here so the table is portable.
constexpr int32_t kRop2Black = 1, kRop2NotMergePen = 2, kRop2NotCopyPen = 4, kRop2XorPen = 7,
                  kRop2NotMaskPen = 8, kRop2MaskPen = 9, kRop2NotXorPen = 10, kRop2CopyPen = 13,
                  kRop2MergePen = 15;
constexpr uint32_t kRopSrcCopy = 0x00CC0020, kRopSrcAnd = 0x008800C6, kRopSrcPaint = 0x00EE0086,
                   kRopNotSrcCopy = 0x00330008, kRopSrcInvert = 0x00660046,
                   kRopNotSrcErase = 0x001100A6, kRopSrcXnor = 0x00990066,
                   kRopNotSrcAndDest = 0x007700E6;
constexpr int32_t kBackModeTransparent = 1, kBackModeOpaque = 2;

// Line and fill ROP2 of a mode (taken modulo 8).
int32_t Rop2OfMode(int32_t mode);
// Raster operation of bits in a mode (taken modulo 8).
uint32_t RasterOpOfMode(int32_t mode);
// TRANSPARENT for mode 1, OPAQUE otherwise.
int32_t BackModeOfMode(int32_t mode);
