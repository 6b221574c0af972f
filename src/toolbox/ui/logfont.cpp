// LogFontFor: the one place a font's logical description is made.
#include "toolbox/ui/logfont.h"

#include "toolbox/ui/fontcache.h"

int32_t WholeDegrees(int32_t angle) {
    return ((angle % 360) + 360) % 360;
}

LogFontSpec LogFontFor(int16_t number, int16_t size, uint16_t face, int16_t angle,
                       int16_t resolution) {
    LogFontSpec spec{};
    if (size == 0) size = kSizeWhenZero;
    if (resolution == 0) resolution = kDefaultResolution;
    spec.height = -(int32_t(size) * resolution / kPointsPerInch);
    spec.weight = (face & kFaceBold) ? kWeightBold : kWeightNormal;
    spec.italic = (face & kFaceItalic) ? 1 : 0;
    spec.underline = (face & kFaceUnderline) ? 1 : 0;
    int32_t tenths = (kTenthsPerTurn - WholeDegrees(angle) * 10) % kTenthsPerTurn;
    spec.escapement = spec.orientation = tenths;
    FontNameFromNumber(number, spec.faceName, kFontNameCapacity);
    return spec;
}
