// The plain GDI primitives. Each brings the held device context up to date
// (origin and clip always, then the pen, brush, colours and mode its verb
// needs) and calls GDI. Lines hang below and right of their path as in the
// pattern model; frames lie inside their shape; a pattern painted in mode 1
// with a non-black foreground is drawn in two passes.
#include <windows.h>

#include <cmath>
#include <utility>
#include <vector>

#include "toolbox/core/picture.h"
#include "toolbox/core/regionnative_win32.h"
#include "toolbox/ui/drawclip.h"
#include "toolbox/ui/drawgeometry.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/gdiobjects_win32.h"
#include "toolbox/ui/gdiplain.h"
#include "toolbox/ui/gditext_win32.h"
#include "toolbox/ui/logfont.h"
#include "toolbox/ui/transfermode.h"

namespace {
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;

// One pass of a drawing: the colours and mode it draws with.
struct Pass {
    COLORREF text, back;
    int32_t mode;
};

// How a verb draws: pen style, colour and width; brush style and colour;
// the mode; and the passes (one, or the two of a transparent pattern).
struct SetUp {
    int16_t penStyle;
    COLORREF penColour;
    int32_t penWidth;
    bool squareEnds;
    int16_t brushStyle;
    COLORREF brushColour;
    Pass passes[2];
    int passCount;
};

bool PatternStyle(const DrawingState* state) {
    return state->patternKind != kPatternSolid;
}

int32_t SolidMode(int32_t mode, bool pattern) {
    return (mode == kPenModeOr && !pattern) ? kPenModeCopy : mode;
}

void AddPasses(SetUp& setUp, const DrawingState* state, int32_t mode, bool pattern) {
    COLORREF fore = state->foreground, back = state->background;
    if (pattern && NeedsTwoPass(mode, state->patternKind, fore)) {
        setUp.passes[0] = Pass{kBlack, kWhite, kPenModeOr};
        setUp.passes[1] = Pass{fore, kBlack, -1}; // merge the foreground in
        setUp.passCount = 2;
        return;
    }
    setUp.passes[0] = Pass{fore, back, mode};
    setUp.passCount = 1;
}

SetUp LineSetUp(const DrawingState* state) {
    SetUp setUp{};
    int32_t mode = state->settings.penMode;
    bool pattern = PatternStyle(state) && !CurrentDrawing.oldSystem;
    setUp.penStyle = pattern ? kStylePattern : kStyleSolid;
    setUp.penColour = (mode % kTransferModes == kPenModeXor) ? kBlack : state->foreground;
    setUp.penWidth = state->settings.penSize;
    setUp.brushStyle = kStyleNull;
    AddPasses(setUp, state, SolidMode(mode, pattern), pattern);
    return setUp;
}

SetUp FillSetUp(const DrawingState* state, int32_t verb) {
    if (verb == kVerbFrame) {
        SetUp frame = LineSetUp(state);
        frame.squareEnds = true;
        return frame;
    }
    SetUp setUp{};
    setUp.penWidth = 1;
    switch (verb) {
    case kVerbPaint: {
        int32_t mode = state->settings.penMode;
        bool pattern = PatternStyle(state);
        setUp.brushStyle = pattern ? kStylePattern : kStyleSolid;
        setUp.brushColour = (mode % kTransferModes == kPenModeXor) ? kBlack : state->foreground;
        AddPasses(setUp, state, SolidMode(mode, pattern), pattern);
        break;
    }
    case kVerbErase:
        setUp.brushStyle = kStyleSolid;
        setUp.brushColour = state->background;
        setUp.passes[0] = Pass{state->foreground, state->background, kPenModeCopy};
        setUp.passCount = 1;
        break;
    default: // invert
        setUp.brushStyle = kStyleSolid;
        setUp.brushColour = kBlack;
        setUp.passes[0] = Pass{state->foreground, state->background, kPenModeXor};
        setUp.passCount = 1;
        break;
    }
    setUp.penStyle = setUp.brushStyle;
    setUp.penColour = setUp.brushColour;
    return setUp;
}

// Applies one pass; the second pass of a transparent paint merges.
void ApplyPass(DrawingState* state, const SetUp& setUp, const Pass& pass) {
    EnsurePen(state, setUp.penStyle, setUp.penColour, setUp.penWidth, setUp.squareEnds);
    EnsureBrush(state, setUp.brushStyle, setUp.brushColour);
    EnsureColours(state, pass.text, pass.back);
    HDC dc = StateDC(state);
    if (pass.mode < 0) {
        // A solid pen or brush in the foreground merged into the blackened
        // pixels: the pattern's set bits take the text colour.
        EnsureMode(state, kPenModeOr);
        SetROP2(dc, R2_MERGEPEN);
        state->dirty |= kStateDirtyMode;
    } else {
        EnsureMode(state, pass.mode);
    }
}

// Runs a drawing in each pass of the set-up on the prepared context.
template <typename Draw> void Passes(DrawingState* state, const SetUp& setUp, Draw draw) {
    for (int i = 0; i < setUp.passCount; ++i) {
        ApplyPass(state, setUp, setUp.passes[i]);
        draw(StateDC(state));
    }
}

DrawingState* Ready() {
    DrawingState* state = CurrentState();
    if (state->settings.penVisibility < 0) return nullptr;
    if (!PreparePortDC(state, true, 0)) return nullptr;
    return state;
}

void Line(Point32 to, bool hang) {
    DrawingState* state = CurrentState();
    Point32 from = state->settings.penLocation;
    state->settings.penLocation = to;
    if (state->settings.penVisibility < 0) return;
    state->settings.penLocation = from;
    if (!Ready()) return;
    SetUp setUp = LineSetUp(state);
    int32_t offset = hang ? HalfWidthOffset(setUp.penWidth, CurrentDrawing.oldSystem) : 0;
    Point32 a{from.v + offset, from.h + offset}, b{to.v + offset, to.h + offset};
    LineEnd end{b, false};
    if (setUp.penWidth <= 1 && state->dcKind != kStateDcCreated) end = IncludeLastPixel(a, b);
    Passes(state, setUp, [&](HDC dc) {
        MoveToEx(dc, a.h, a.v, nullptr);
        LineTo(dc, end.end.h, end.end.v);
        if (end.extraStep) LineTo(dc, end.end.h + 1, end.end.v);
    });
    state->settings.penLocation = to;
}

void LineToPrim(int32_t h, int32_t v) {
    Line(Point32{v, h}, false);
}
void LineToPacked(uint32_t packed) {
    Line(Point32{int16_t(packed & 0xFFFF), int16_t(packed >> 16)}, true);
}

// How a shape is filled: with a 1-pixel outline in the brush's colour and
// style, or (rectangles) without one, so that a 1-pixel-thin rectangle is
// not drawn twice (which would undo an xor or invert); GDI's outline-free
// rectangle leaves out the right and bottom edges, added back here.
enum class FillOutline { kPen, kNone };

// A shape in a rectangle: frames are moved inside by half the pen.
template <typename Draw>
void Shape(int32_t verb, Rect32 r, Draw draw, FillOutline outline = FillOutline::kPen) {
    DrawingState* state = Ready();
    if (!state || Rect32IsEmpty(&r)) return;
    SetUp setUp = FillSetUp(state, verb);
    bool enlarge = verb != kVerbFrame && outline == FillOutline::kNone;
    if (enlarge) setUp.penStyle = kStyleNull;
    if (verb == kVerbFrame) {
        FrameInsets insets = FrameInsetsFor(setUp.penWidth, state->applied.worldTransform);
        r = Rect32{r.top + insets.leftTop, r.left + insets.leftTop, r.bottom - insets.rightBottom,
                   r.right - insets.rightBottom};
    } else if (enlarge) {
        r.right += 1;
        r.bottom += 1;
    }
    Passes(state, setUp, [&](HDC dc) { draw(dc, r); });
}

Rect32 Wide(const Rect16* r) {
    Rect32 out;
    Rect32FromRect(r, &out);
    return out;
}

void RegionPrim(int32_t verb, const RegionRecord* region);

// On the old system a patterned rectangle painted or framed in its
// pattern is drawn as a region (no pattern pens there).
bool OldSystemPatternRect(int32_t verb, const Rect32* rect) {
    const DrawingState* state = CurrentState();
    if (!CurrentDrawing.oldSystem || state->patternKind == kPatternSolid) return false;
    if (verb != kVerbFrame && verb != kVerbPaint) return false;
    RegionRecord* region = AcquireScratchRegion();
    if (!region) return false;
    SetRegionToRect(region, rect);
    RegionPrim(verb, region);
    ReleaseScratchRegion(region);
    return true;
}

void Rect32Prim(int32_t verb, const Rect32* rect) {
    if (OldSystemPatternRect(verb, rect)) return;
    Shape(
        verb, *rect,
        [](HDC dc, const Rect32& r) { Rectangle(dc, r.left, r.top, r.right, r.bottom); },
        FillOutline::kNone);
}
void Rect16Prim(int32_t verb, const Rect16* rect) {
    Rect32 wide = Wide(rect);
    Rect32Prim(verb, &wide);
}

void RoundRect32Prim(int32_t verb, const Rect32* rect, int32_t cornerWidth, int32_t cornerHeight) {
    Shape(verb, *rect, [&](HDC dc, const Rect32& r) {
        RoundRect(dc, r.left, r.top, r.right, r.bottom, cornerWidth, cornerHeight);
    });
}
void RoundRect16Prim(int32_t verb, const Rect16* rect, int16_t cornerWidth, int16_t cornerHeight) {
    Rect32 wide = Wide(rect);
    RoundRect32Prim(verb, &wide, cornerWidth, cornerHeight);
}

void Oval32Prim(int32_t verb, const Rect32* rect) {
    Shape(verb, *rect, [](HDC dc, const Rect32& r) {
        RoundRect(dc, r.left, r.top, r.right, r.bottom, r.right - r.left, r.bottom - r.top);
    });
}
void Oval16Prim(int32_t verb, const Rect16* rect) {
    Rect32 wide = Wide(rect);
    Oval32Prim(verb, &wide);
}

void Arc32Prim(int32_t verb, const Rect32* rect, int32_t startTenths, int32_t arcTenths) {
    Shape(verb, *rect, [&](HDC dc, const Rect32& r) {
        int32_t arc = arcTenths;
        ArcEnds ends = ArcEndPoints(&r, startTenths, &arc);
        if (arc < 0) std::swap(ends.start, ends.end);
        int before = SetArcDirection(dc, AD_CLOCKWISE);
        if (verb == kVerbFrame)
            Arc(dc, r.left, r.top, r.right, r.bottom, ends.start.x, ends.start.y, ends.end.x,
                ends.end.y);
        else
            Pie(dc, r.left, r.top, r.right, r.bottom, ends.start.x, ends.start.y, ends.end.x,
                ends.end.y);
        SetArcDirection(dc, before);
    });
}
void Arc16Prim(int32_t verb, const Rect16* rect, int16_t startDegrees, int16_t arcDegrees) {
    Rect32 wide = Wide(rect);
    Arc32Prim(verb, &wide, int32_t(startDegrees) * 10, int32_t(arcDegrees) * 10);
}

std::vector<POINT>& PointBuffer() {
    static std::vector<POINT> buffer; // grows as needed, reused
    return buffer;
}

// A 32-bit polygon: framed as an open chain, filled without an outline.
void Polygon32Prim(int32_t verb, const Point32* points, int32_t count) {
    if (count < 2) return;
    DrawingState* state = Ready();
    if (!state) return;
    std::vector<POINT>& native = PointBuffer();
    native.resize(size_t(count));
    for (int32_t i = 0; i < count; ++i)
        native[size_t(i)] = POINT{points[i].h, points[i].v};
    SetUp setUp = FillSetUp(state, verb);
    if (verb != kVerbFrame) setUp.penStyle = kStyleNull;
    Passes(state, setUp, [&](HDC dc) {
        if (verb == kVerbFrame)
            Polyline(dc, native.data(), count);
        else
            Polygon(dc, native.data(), count);
    });
}

void PolygonRecordPrim(int32_t verb, const PolygonRecord* polygon) {
    int32_t count = PolygonPointCount(polygon);
    if (count < 2) return;
    DrawingState* state = Ready();
    if (!state) return;
    const Point16* points = PolygonPoints(const_cast<PolygonRecord*>(polygon));
    std::vector<POINT>& native = PointBuffer();
    native.resize(size_t(count));
    for (int32_t i = 0; i < count; ++i)
        native[size_t(i)] = POINT{points[i].h, points[i].v};
    SetUp setUp = FillSetUp(state, verb);
    if (verb == kVerbFrame) setUp.brushStyle = kStyleNull;
    Passes(state, setUp, [&](HDC dc) {
        if (verb == kVerbFrame)
            Polyline(dc, native.data(), count);
        else
            Polygon(dc, native.data(), count);
    });
}

void RegionPrim(int32_t verb, const RegionRecord* region) {
    if (verb < kVerbFrame || verb > kRegionVerbLast) return;
    DrawingState* state = Ready();
    if (!state) return;
    HRGN native = RegionToNative(const_cast<RegionRecord*>(region));
    if (!native) return;
    if (verb == kVerbFrame) {
        // FrameRgn paints with a brush: the line's colour or pattern.
        SetUp setUp = LineSetUp(state);
        setUp.brushStyle = PatternStyle(state) ? kStylePattern : kStyleSolid;
        setUp.brushColour = setUp.penColour;
        setUp.penStyle = kStyleNull;
        int32_t width = state->settings.penSize;
        Passes(state, setUp, [&](HDC dc) {
            FrameRgn(dc, native, static_cast<HBRUSH>(state->applied.brush), width, width);
        });
        return;
    }
    SetUp setUp = FillSetUp(state, verb);
    Passes(state, setUp, [&](HDC dc) {
        if (verb == kVerbInvert)
            InvertRgn(dc, native);
        else
            PaintRgn(dc, native);
    });
}

void BitsPrim(void* bitmap, const Rect32* source, const Rect32* destination, int32_t mode) {
    DrawingState* state = Ready();
    if (!state) return;
    HBITMAP handle = static_cast<HBITMAP>(bitmap);
    BITMAP info{};
    if (!GetObject(handle, sizeof info, &info)) return;
    Rect32 src = source ? *source : Rect32{0, 0, info.bmHeight, info.bmWidth};
    HDC shared = SharedMemoryDC();
    HGDIOBJ before = SelectObject(shared, handle);
    HDC dc = StateDC(state);
    bool oneBit = info.bmBitsPixel == 1;
    SetStretchBltMode(dc, oneBit ? BLACKONWHITE : HALFTONE);
    NativePoint origin = BrushOriginFor(state->origin);
    SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
    auto blit = [&](DWORD rop) {
        StretchBlt(dc, destination->left, destination->top, destination->right - destination->left,
                   destination->bottom - destination->top, shared, src.left, src.top,
                   src.right - src.left, src.bottom - src.top, rop);
    };
    if (oneBit && mode == kPenModeOr && (state->foreground & 0xFFFFFF)) {
        EnsureColours(state, kBlack, kWhite);
        blit(kRopSrcAnd);
        EnsureColours(state, state->foreground, kBlack);
        blit(kRopSrcPaint);
    } else {
        COLORREF back = mode == kPenModeXor ? kWhite : state->background;
        EnsureColours(state, state->foreground, back);
        blit(RasterOpOfMode(mode));
    }
    SelectObject(shared, before);
}

void Prepare() {}

// A world transform rotating by tenths of a degree about the centre.
class Rotation {
  public:
    Rotation(HDC dc, Point32 centre, int32_t tenths) : dc_(dc) {
        if (tenths == 0) return;
        double t = double(tenths) / kTenthsPerRadian;
        SetGraphicsMode(dc, GM_ADVANCED);
        XFORM form{
            FLOAT(std::cos(t)), FLOAT(std::sin(t)), FLOAT(-std::sin(t)), FLOAT(std::cos(t)), 0, 0};
        form.eDx = FLOAT(centre.h - centre.h * form.eM11 - centre.v * form.eM21);
        form.eDy = FLOAT(centre.v - centre.h * form.eM12 - centre.v * form.eM22);
        SetWorldTransform(dc, &form);
        active_ = true;
    }
    ~Rotation() {
        if (!active_) return;
        ModifyWorldTransform(dc_, nullptr, MWT_IDENTITY);
        SetGraphicsMode(dc_, GM_COMPATIBLE);
    }

  private:
    HDC dc_;
    bool active_ = false;
};

Rect32 CentredRect(Point32 centre, Point32 size) {
    return Rect32{centre.v - size.v / 2, centre.h - size.h / 2, centre.v - size.v / 2 + size.v,
                  centre.h - size.h / 2 + size.h};
}
} // namespace

void FillPlainPrimitives(DrawingPrimitiveTable* table) {
    *table = DrawingPrimitiveTable{
        &GdiTextPrimitive,  &LineToPrim, &LineToPacked, &Rect32Prim, &Rect16Prim, &RoundRect32Prim,
        &RoundRect16Prim,   &Oval32Prim, &Oval16Prim,   &Arc32Prim,  &Arc16Prim,  &Polygon32Prim,
        &PolygonRecordPrim, &RegionPrim, &BitsPrim,     &Prepare};
}

void PlainRotatedRect(Point32 centre, Point32 size, int32_t corner, int32_t rotation,
                      int32_t verb) {
    DrawingState* state = Ready();
    if (!state) return;
    Rotation turn(StateDC(state), centre, rotation);
    state->applied.worldTransform = rotation != 0;
    Shape(verb, CentredRect(centre, size), [&](HDC dc, const Rect32& r) {
        if (corner)
            RoundRect(dc, r.left, r.top, r.right, r.bottom, corner, corner);
        else
            Rectangle(dc, r.left, r.top, r.right, r.bottom);
    });
    state->applied.worldTransform = 0;
}

void PlainRotatedArc(Point32 centre, Point32 size, int32_t startAngle, int32_t arcAngle,
                     int32_t rotation, int32_t verb) {
    DrawingState* state = Ready();
    if (!state) return;
    Rect32 r = CentredRect(centre, size);
    bool full = arcAngle >= kTenthsPerTurn || arcAngle <= -kTenthsPerTurn;
    if (full && (rotation == 0 || size.h == size.v)) {
        Oval32Prim(verb, &r);
        return;
    }
    Rotation turn(StateDC(state), centre, rotation);
    state->applied.worldTransform = rotation != 0;
    Arc32Prim(verb, &r, startAngle, full ? kTenthsPerTurn - 1 : arcAngle);
    state->applied.worldTransform = 0;
}
