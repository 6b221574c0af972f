// Colour values of the drawing interface and their 16-bit and COLORREF
// forms. A colour value is 0x00RRGGBB (the top byte ignored), or one of six
// standard colours picked by a top byte of 1 to 6.
//
// Guarantees: widening a channel repeats its byte, so packing a colour back
// gives the value it came from.
#pragma once
#include <cstdint>

#include "toolbox/core/drawingstate.h"

constexpr uint32_t kStandardColourFirst = 1;
constexpr uint32_t kStandardColourLast = 6;
constexpr uint32_t kColourWhiteValue = 0x00FFFFFF;
constexpr uint32_t kColourBlackValue = 0x00000000;

ColourRGB16 ColourFromValue(uint32_t value);
// 0x00RRGGBB from the high byte of each channel.
uint32_t ColourValueOf(ColourRGB16 colour);
// 0x00BBGGRR from the high byte of each channel.
uint32_t ColorRefOf(ColourRGB16 colour);
// A COLORREF as a colour value (red and blue swapped).
uint32_t RgbFromColorRef(uint32_t colorRef);
bool ColoursEqual(ColourRGB16 a, ColourRGB16 b);
