// The pixel geometry the primitives apply before GDI draws: frame insets,
// the hanging pen's offset, the last pixel of 1-pixel lines, arc end
// points and their widening, the pattern bits as a monochrome bitmap holds
// them, the brush origin and the two-pass transparent paint decision.
#pragma once
#include <cstdint>

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/rect.h"

// Pen widths above this get the rounded-up half-width on the old system.
constexpr int32_t kOldSystemWideLine = 6;
constexpr int32_t kPatternSide = 8;
// Arc widening stops once the arc angle passes this (tenths of a degree).
constexpr int32_t kArcWidenLimit = 450;
constexpr int32_t kArcWidenStep = 10;

struct FrameInsets {
    int32_t leftTop, rightBottom;
};
FrameInsets FrameInsetsFor(int32_t penWidth, bool worldTransform);
// The shift of a hanging line's ends down and right.
int32_t HalfWidthOffset(int32_t penWidth, bool oldSystem);

// The end point a 1-pixel line is drawn to so that GDI colours its last
// pixel: an axis line lengthened by one pixel; a slanted line keeps its end
// and asks for one more step to the right (extraStep).
struct LineEnd {
    Point32 end;
    bool extraStep;
};
LineEnd IncludeLastPixel(Point32 from, Point32 to);

// GDI (x, y) of the end points of an arc of the oval in the rectangle, at
// start and start + arc (tenths of a degree, clockwise from twelve
// o'clock). Where both fall on one pixel the arc is widened a degree at a
// time in its own direction (an arc of 0 positively) until they differ or
// it passes kArcWidenLimit either way; `arc` is updated.
struct ArcEnds {
    NativePoint start, end;
};
ArcEnds ArcEndPoints(const Rect32* rect, int32_t startTenths, int32_t* arcTenths);

// The pattern as a monochrome bitmap's rows (a set bit shows the
// background): every byte inverted.
Pattern8 InvertedPattern(const Pattern8* pattern);
// (-h mod 8, -v mod 8), so patterns keep their phase to the port.
NativePoint BrushOriginFor(Point32 origin);
// A pattern painted in mode 1 with a non-black foreground is drawn in two
// passes (black through the mask, then the foreground merged in).
bool NeedsTwoPass(int32_t mode, int16_t patternKind, uint32_t foregroundColorRef);
