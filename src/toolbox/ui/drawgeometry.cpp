// Pixel geometry of the primitives, free of GDI.
#include "toolbox/ui/drawgeometry.h"

#include <cmath>

#include "toolbox/core/rect16ops.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"

FrameInsets FrameInsetsFor(int32_t penWidth, bool worldTransform) {
    int32_t extra = worldTransform ? 1 : 0;
    return FrameInsets{penWidth / 2 + extra, (penWidth - 1) / 2 + extra};
}

int32_t HalfWidthOffset(int32_t penWidth, bool oldSystem) {
    if (oldSystem && penWidth > kOldSystemWideLine) return (penWidth + 1) / 2;
    return penWidth / 2;
}

LineEnd IncludeLastPixel(Point32 from, Point32 to) {
    if (from.v == to.v && from.h != to.h)
        return LineEnd{Point32{to.v, to.h + (to.h > from.h ? 1 : -1)}, false};
    if (from.h == to.h && from.v != to.v)
        return LineEnd{Point32{to.v + (to.v > from.v ? 1 : -1), to.h}, false};
    if (from.h == to.h) return LineEnd{Point32{to.v, to.h + 1}, false}; // a dot
    return LineEnd{to, true};
}

namespace {
NativePoint OnOval(const Rect32* rect, int32_t tenths) {
    double t = double(900 - tenths) / kTenthsPerRadian;
    double cx = (rect->left + rect->right) / 2.0, cy = (rect->top + rect->bottom) / 2.0;
    double rx = (rect->right - rect->left) / 2.0, ry = (rect->bottom - rect->top) / 2.0;
    return NativePoint{RoundToInt(cx + std::cos(t) * rx), RoundToInt(cy - std::sin(t) * ry)};
}
} // namespace

ArcEnds ArcEndPoints(const Rect32* rect, int32_t startTenths, int32_t* arcTenths) {
    int32_t arc = *arcTenths;
    int32_t step = arc < 0 ? -kArcWidenStep : kArcWidenStep;
    ArcEnds ends{OnOval(rect, startTenths), OnOval(rect, startTenths + arc)};
    while (ends.start.x == ends.end.x && ends.start.y == ends.end.y && arc <= kArcWidenLimit &&
           arc >= -kArcWidenLimit) {
        arc += step;
        ends.end = OnOval(rect, startTenths + arc);
    }
    *arcTenths = arc;
    return ends;
}

Pattern8 InvertedPattern(const Pattern8* pattern) {
    Pattern8 out;
    for (int row = 0; row < kPatternSide; ++row)
        out.rows[row] = uint8_t(~pattern->rows[row]);
    return out;
}

NativePoint BrushOriginFor(Point32 origin) {
    auto phase = [](int32_t value) {
        return ((-value % kPatternSide) + kPatternSide) % kPatternSide;
    };
    return NativePoint{phase(origin.h), phase(origin.v)};
}

bool NeedsTwoPass(int32_t mode, int16_t patternKind, uint32_t foregroundColorRef) {
    return mode == kPenModeOr && patternKind != kPatternSolid && (foregroundColorRef & 0xFFFFFF);
}
