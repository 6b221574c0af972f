// The text primitive: text drawn at the pen with the current position
// updated and the pen read back. Mirrored text (the state's mirrored flag)
// is drawn through a world transform that mirrors one axis, h for text at
// 0 and 180 degrees, v at 90 and 270; the pen's coordinate on that axis is
// mirrored before and after, so mirrored text runs back from the pen. On
// the old system, which has no world transforms, the text is rendered into
// a one-bit bitmap (sides within kMirrorBitmapLongest), mirrored, and
// copied with the two-pass transfer to the same place.
#include <windows.h>

#include <algorithm>

#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/gdiobjects_win32.h"
#include "toolbox/ui/gditext_win32.h"
#include "toolbox/ui/logfont.h"
#include "toolbox/ui/transfermode.h"

namespace {
constexpr int32_t kMirrorBitmapLongest = 16000;
constexpr COLORREF kBlack = 0x000000, kWhite = 0xFFFFFF;

bool VerticalText(int32_t degrees) {
    return degrees == 90 || degrees == 270;
}
bool RightAngle(int32_t degrees) {
    return degrees % 90 == 0;
}

// Draws at the pen; answers the current position afterwards.
POINT TextAt(HDC dc, Point32 pen, const char* chars, int32_t count) {
    MoveToEx(dc, pen.h, pen.v, nullptr);
    ExtTextOutA(dc, 0, 0, 0, nullptr, chars, UINT(count), nullptr);
    POINT after{};
    GetCurrentPositionEx(dc, &after);
    return after;
}

// The world-transform path: one axis mirrored about 0.
POINT MirroredByTransform(HDC dc, Point32 pen, int32_t degrees, const char* chars, int32_t count) {
    bool vertical = VerticalText(degrees);
    SetGraphicsMode(dc, GM_ADVANCED);
    XFORM mirror{vertical ? 1.0f : -1.0f, 0, 0, vertical ? -1.0f : 1.0f, 0, 0};
    SetWorldTransform(dc, &mirror);
    if (vertical)
        pen.v = -pen.v;
    else
        pen.h = -pen.h;
    POINT after = TextAt(dc, pen, chars, count);
    ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
    SetGraphicsMode(dc, GM_COMPATIBLE);
    if (vertical)
        after.y = -after.y;
    else
        after.x = -after.x;
    return after;
}

// The bitmap path: the text rendered black on white into a one-bit bitmap
// (its pen at the bitmap's baseline origin), mirrored while copied, and
// transferred in two passes so that only the ink takes the text colour.
POINT MirroredByBitmap(DrawingState* state, HDC dc, Point32 pen, int32_t degrees, const char* chars,
                       int32_t count) {
    SIZE extent{};
    TEXTMETRICA metrics{};
    GetTextExtentPoint32A(dc, chars, count, &extent);
    GetTextMetricsA(dc, &metrics);
    bool vertical = VerticalText(degrees);
    int32_t run = std::min<int32_t>(extent.cx, kMirrorBitmapLongest);
    int32_t across = std::min<int32_t>(metrics.tmAscent + metrics.tmDescent, kMirrorBitmapLongest);
    int32_t width = vertical ? across : run, height = vertical ? run : across;
    POINT after{pen.h, pen.v};
    if (width < 1 || height < 1) return after;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bits = CreateBitmap(width, height, 1, 1, nullptr);
    HGDIOBJ beforeBitmap = SelectObject(memory, bits);
    HGDIOBJ beforeFont = SelectObject(memory, static_cast<HFONT>(state->applied.font));
    PatBlt(memory, 0, 0, width, height, WHITENESS);
    SetTextColor(memory, kBlack);
    SetBkMode(memory, TRANSPARENT);
    SetTextAlign(memory, TA_BASELINE | TA_NOUPDATECP);
    // The text's start in the bitmap and the device rectangle it lands in:
    // run back from the pen along the mirrored axis.
    POINT start{0, metrics.tmAscent};
    RECT target{pen.h - run, pen.v - metrics.tmAscent, pen.h, pen.v - metrics.tmAscent + across};
    if (degrees == 90) { // upwards: the baseline on the right
        start = POINT{metrics.tmAscent, run};
        target =
            RECT{pen.h - metrics.tmAscent, pen.v, pen.h - metrics.tmAscent + across, pen.v + run};
        after.y = pen.v + run;
    } else if (degrees == 270) {
        start = POINT{width - metrics.tmAscent, 0};
        target =
            RECT{pen.h - across + metrics.tmAscent, pen.v - run, pen.h + metrics.tmAscent, pen.v};
        after.y = pen.v - run;
    } else if (degrees == 180) {
        start = POINT{run, metrics.tmDescent};
        target =
            RECT{pen.h, pen.v - metrics.tmDescent, pen.h + run, pen.v - metrics.tmDescent + across};
        after.x = pen.h + run;
    } else {
        after.x = pen.h - run;
    }
    ExtTextOutA(memory, start.x, start.y, 0, nullptr, chars, UINT(count), nullptr);
    // Mirrored into a second bitmap: left to right, or top to bottom for
    // vertical text.
    HDC flipped = CreateCompatibleDC(dc);
    HBITMAP flippedBits = CreateBitmap(width, height, 1, 1, nullptr);
    HGDIOBJ beforeFlipped = SelectObject(flipped, flippedBits);
    if (vertical)
        StretchBlt(flipped, 0, height - 1, width, -height, memory, 0, 0, width, height, SRCCOPY);
    else
        StretchBlt(flipped, width - 1, 0, -width, height, memory, 0, 0, width, height, SRCCOPY);
    COLORREF ink = state->applied.textColour;
    SetTextColor(dc, kBlack);
    SetBkColor(dc, kWhite);
    BitBlt(dc, target.left, target.top, width, height, flipped, 0, 0, kRopSrcAnd);
    SetTextColor(dc, kPaletteRelative | ink);
    SetBkColor(dc, kBlack);
    BitBlt(dc, target.left, target.top, width, height, flipped, 0, 0, kRopSrcPaint);
    state->dirty |= kStateDirtyColours;
    SelectObject(flipped, beforeFlipped);
    DeleteObject(flippedBits);
    DeleteDC(flipped);
    SelectObject(memory, beforeFont);
    SelectObject(memory, beforeBitmap);
    DeleteObject(bits);
    DeleteDC(memory);
    return after;
}
} // namespace

void GdiTextPrimitive(int32_t count, const char* chars, Point32 numerator, Point32 denominator) {
    DrawingState* state = CurrentState();
    DrawingSettings& s = state->settings;
    if (count <= 0) return;
    if (s.penVisibility < 0) {
        MovePenBy(MeasureTextWidth(chars, count, false), 0);
        return;
    }
    uint32_t hScale = state->hScale, vScale = state->vScale;
    if (denominator.h && denominator.v) {
        state->hScale =
            uint32_t(uint64_t(hScale) * uint32_t(numerator.h) / uint32_t(denominator.h));
        state->vScale =
            uint32_t(uint64_t(vScale) * uint32_t(numerator.v) / uint32_t(denominator.v));
    }
    HDC dc = static_cast<HDC>(PreparePortDC(state, true, kPrepareText));
    if (dc) {
        int32_t mode = s.textMode;
        COLORREF text = state->foreground;
        if (mode == kTextModeDimmed) {
            mode = kPenModeOr;
            text = GetSysColor(COLOR_GRAYTEXT);
        }
        EnsureColours(state, text, state->background);
        EnsureMode(state, mode);
        int32_t degrees = WholeDegrees(s.textAngle);
        Point32 pen = s.penLocation;
        if (degrees == 90) pen.v += 1;
        if (degrees == 180) pen.h += 1;
        POINT after;
        if (s.mirroredText && RightAngle(degrees))
            after = CurrentDrawing.oldSystem
                        ? MirroredByBitmap(state, dc, pen, degrees, chars, count)
                        : MirroredByTransform(dc, pen, degrees, chars, count);
        else
            after = TextAt(dc, pen, chars, count);
        if (VerticalText(degrees))
            s.penLocation.v = after.y;
        else
            s.penLocation.h = after.x;
    }
    state->hScale = hScale;
    state->vScale = vScale;
}
