// Colour values, the six standard colours and the COLORREF conversions.
#include "toolbox/ui/colour.h"

namespace {
constexpr uint16_t kChannelWiden = 257; // a byte b becomes b repeated

const ColourRGB16 kStandardColours[kStandardColourLast] = {
    {0xFFFF, 0, 0},      // red
    {0, 0x8080, 0},      // green
    {0, 0, 0xDDDD},      // blue
    {0, 0xCCCC, 0xCCCC}, // cyan
    {0xFFFF, 0, 0xFFFF}, // magenta
    {0xFFFF, 0xFFFF, 0}, // yellow
};
} // namespace

ColourRGB16 ColourFromValue(uint32_t value) {
    uint32_t top = value >> 24;
    if (top >= kStandardColourFirst && top <= kStandardColourLast)
        return kStandardColours[top - kStandardColourFirst];
    return ColourRGB16{uint16_t(((value >> 16) & 0xFF) * kChannelWiden),
                       uint16_t(((value >> 8) & 0xFF) * kChannelWiden),
                       uint16_t((value & 0xFF) * kChannelWiden)};
}

uint32_t ColourValueOf(ColourRGB16 colour) {
    return uint32_t(colour.red >> 8) << 16 | uint32_t(colour.green >> 8) << 8 |
           uint32_t(colour.blue >> 8);
}

uint32_t ColorRefOf(ColourRGB16 colour) {
    return uint32_t(colour.blue >> 8) << 16 | uint32_t(colour.green >> 8) << 8 |
           uint32_t(colour.red >> 8);
}

uint32_t RgbFromColorRef(uint32_t colorRef) {
    return (colorRef & 0xFF) << 16 | (colorRef & 0xFF00) | ((colorRef >> 16) & 0xFF);
}

bool ColoursEqual(ColourRGB16 a, ColourRGB16 b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
