// Pens, brushes, the pattern bitmap, modes and colours on the held device
// context. A state's own pen and brush are deleted when replaced; stock
// objects (the null pen and brush) are never deleted.
#include "toolbox/ui/gdiobjects_win32.h"

#include "toolbox/ui/drawcounters.h"
#include "toolbox/ui/drawgeometry.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/transfermode.h"

namespace {
HBITMAP g_patternBitmap = nullptr;
HBRUSH g_cachedBrush = nullptr;
COLORREF g_cachedBrushColour = 0;
HDC g_sharedDC = nullptr;

bool IsStock(HGDIOBJ object) {
    return object == GetStockObject(NULL_PEN) || object == GetStockObject(NULL_BRUSH);
}
void DeleteOwned(HGDIOBJ object) {
    if (object && !IsStock(object)) DeleteObject(object);
}
} // namespace

HDC StateDC(DrawingState* state) {
    return static_cast<HDC>(state->deviceContext);
}

HDC SharedMemoryDC() {
    if (!g_sharedDC) g_sharedDC = CreateCompatibleDC(nullptr);
    return g_sharedDC;
}

void DropSharedMemoryDC() {
    if (g_sharedDC) DeleteDC(g_sharedDC);
    g_sharedDC = nullptr;
}

HBITMAP SharedPatternBitmap(const Pattern8* pattern) {
    Pattern8 bits = InvertedPattern(pattern);
    WORD rows[kPatternSide];
    for (int row = 0; row < kPatternSide; ++row)
        rows[row] = WORD(bits.rows[row]);
    if (!g_patternBitmap) {
        g_patternBitmap = CreateBitmap(kPatternSide, kPatternSide, 1, 1, rows);
    } else {
        SetBitmapBits(g_patternBitmap, sizeof rows, rows);
    }
    return g_patternBitmap;
}

namespace {
// Selects the stock null object in place of the state's own (kept).
bool SelectNull(HDC dc, uint8_t& nullSelected, bool forced, int stock) {
    if (!nullSelected || forced) SelectObject(dc, GetStockObject(stock));
    nullSelected = 1;
    return true;
}
} // namespace

void EnsurePen(DrawingState* state, int16_t style, COLORREF colour, int32_t width,
               bool squareEnds) {
    DrawingApplied& a = state->applied;
    HDC dc = StateDC(state);
    bool forced = (state->dirty & kStateDirtyPen) != 0;
    if (style == kStyleNull) {
        SelectNull(dc, a.nullPenSelected, forced, NULL_PEN);
        return; // the flag stays: the state's own pen is not selected
    }
    if (width < 2 && style == kStyleSolid) width = 1;
    bool same = a.pen && a.penBrushStyle == style && a.penColour == colour && a.penWidth == width &&
                a.squareEnds == squareEnds;
    if (same && (!forced || style != kStylePattern)) {
        if (forced || a.nullPenSelected) SelectObject(dc, a.pen);
        a.nullPenSelected = 0;
        state->dirty &= ~kStateDirtyPen;
        return;
    }
    LOGBRUSH brush{BS_SOLID, kPaletteRelative | colour, 0};
    DWORD penStyle = PS_SOLID;
    if (style == kStylePattern)
        brush =
            LOGBRUSH{BS_PATTERN, 0, ULONG_PTR(SharedPatternBitmap(&state->settings.penPattern))};
    if (width < 2 && style == kStyleSolid) {
        penStyle |= PS_COSMETIC;
    } else {
        penStyle |= PS_GEOMETRIC;
        if (squareEnds) penStyle |= PS_ENDCAP_SQUARE | PS_JOIN_MITER;
    }
    HPEN pen = ExtCreatePen(penStyle, DWORD(width < 1 ? 1 : width), &brush, 0, nullptr);
    if (!pen) return;
    ++DrawingCounters().pensCreated;
    SelectObject(dc, pen);
    DeleteOwned(a.pen);
    a.pen = pen;
    a.nullPenSelected = 0;
    a.penBrushStyle = style;
    a.penColour = colour;
    a.penWidth = width;
    a.squareEnds = squareEnds;
    state->dirty &= ~kStateDirtyPen;
}

void EnsureBrush(DrawingState* state, int16_t style, COLORREF colour) {
    DrawingApplied& a = state->applied;
    HDC dc = StateDC(state);
    bool forced = (state->dirty & kStateDirtyBrush) != 0;
    if (style == kStyleNull) {
        SelectNull(dc, a.nullBrushSelected, forced, NULL_BRUSH);
        return;
    }
    bool same = a.brush && a.brushStyle == style && a.brushColour == colour;
    if (same && (!forced || style != kStylePattern)) {
        if (forced || a.nullBrushSelected) SelectObject(dc, a.brush);
        a.nullBrushSelected = 0;
        state->dirty &= ~kStateDirtyBrush;
        return;
    }
    HBRUSH brush = style == kStylePattern
                       ? CreatePatternBrush(SharedPatternBitmap(&state->settings.penPattern))
                       : CreateSolidBrush(kPaletteRelative | colour);
    if (!brush) return;
    ++DrawingCounters().brushesCreated;
    SelectObject(dc, brush);
    DeleteOwned(a.brush);
    a.brush = brush;
    a.nullBrushSelected = 0;
    a.brushStyle = style;
    a.brushColour = colour;
    state->dirty &= ~kStateDirtyBrush;
}

void EnsureMode(DrawingState* state, int32_t mode) {
    DrawingApplied& a = state->applied;
    if (!(state->dirty & kStateDirtyMode) && a.transferMode == mode) return;
    HDC dc = StateDC(state);
    SetROP2(dc, Rop2OfMode(mode));
    SetBkMode(dc, BackModeOfMode(mode));
    a.transferMode = int16_t(mode);
    state->dirty &= ~kStateDirtyMode;
}

void EnsureColours(DrawingState* state, COLORREF text, COLORREF back) {
    DrawingApplied& a = state->applied;
    if (!(state->dirty & kStateDirtyColours) && a.textColour == text && a.backColour == back)
        return;
    HDC dc = StateDC(state);
    SetTextColor(dc, kPaletteRelative | text);
    SetBkColor(dc, kPaletteRelative | back);
    a.textColour = text;
    a.backColour = back;
    state->dirty &= ~kStateDirtyColours;
}

void ReleaseStateObjects(DrawingState* state) {
    DrawingApplied& a = state->applied;
    if (HDC dc = StateDC(state)) {
        SelectObject(dc, GetStockObject(BLACK_PEN));
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
    }
    DeleteOwned(a.pen);
    DeleteOwned(a.brush);
    a.pen = nullptr;
    a.brush = nullptr;
    a.nullPenSelected = a.nullBrushSelected = 0;
}

HBRUSH CachedSolidBrush(COLORREF colour) {
    if (g_cachedBrush && g_cachedBrushColour == colour) return g_cachedBrush;
    if (g_cachedBrush) DeleteObject(g_cachedBrush);
    g_cachedBrush = CreateSolidBrush(kPaletteRelative | colour);
    if (g_cachedBrush) ++DrawingCounters().brushesCreated;
    g_cachedBrushColour = colour;
    return g_cachedBrush;
}
