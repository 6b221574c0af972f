// The logical font every font is made from, in a portable form of the
// system's LOGFONT, and the face bits.
#pragma once
#include <cstdint>

#include "toolbox/ui/fontlist.h"

constexpr uint16_t kFaceBold = 1;
constexpr uint16_t kFaceItalic = 2;
constexpr uint16_t kFaceUnderline = 4;
constexpr int32_t kWeightNormal = 400;
constexpr int32_t kWeightBold = 700;
constexpr int32_t kPointsPerInch = 72;
constexpr int16_t kSizeWhenZero = 8;
constexpr int32_t kTenthsPerTurn = 3600;

struct LogFontSpec {
    int32_t height;
    int32_t escapement, orientation; // tenths of a degree
    int32_t weight;
    uint8_t italic, underline;
    char faceName[kFontNameCapacity];
};

// Height -(size x resolution / 72) (size 0: 8, resolution 0: 96); weight,
// italic and underline from the face bits; escapement and orientation
// (3600 - (angle mod 360) x 10) mod 3600, so horizontal text has none.
LogFontSpec LogFontFor(int16_t number, int16_t size, uint16_t face, int16_t angle,
                       int16_t resolution);
// Whole degrees 0 to 359.
int32_t WholeDegrees(int32_t angle);
