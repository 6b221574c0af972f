// Edges over GDI: frames are one-pixel outlines drawn with FrameRect, the
// native sunken edge with DrawEdge, the field frame's grey corner with a
// pen, and the focus ring's strips filled.
#include "toolbox/core/edges_win32.h"

#include "toolbox/core/edges.h"

namespace {

RECT Native(const Rect16& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

void Frame(HDC dc, const Rect16& r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    RECT n = Native(r);
    FrameRect(dc, &n, brush);
    DeleteObject(brush);
}

} // namespace

void DrawSunkenEdgeOn(HDC dc, const Rect16* rect, int32_t style) {
    Rect16 outer = GrownRect(*rect, kEdgeOuterGrow);
    if (style == kSunkenEdgeNative) {
        RECT n = Native(outer);
        DrawEdge(dc, &n, EDGE_SUNKEN, BF_RECT);
        return;
    }
    Frame(dc, outer, GetSysColor(COLOR_BTNFACE));
    Frame(dc, GrownRect(*rect, kEdgeInnerGrow), GetSysColor(COLOR_GRAYTEXT));
}

void DrawFieldFrameOn(HDC dc, const Rect16* rect) {
    Frame(dc, GrownRect(*rect, kEdgeInnerGrow), RGB(0, 0, 0));
    Rect16 g = GrownRect(*rect, kEdgeOuterGrow);
    Frame(dc, g, RGB(255, 255, 255));
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_GRAYTEXT));
    HGDIOBJ old = SelectObject(dc, pen);
    POINT was{};
    MoveToEx(dc, g.left, g.bottom - 1, &was);
    LineTo(dc, g.left, g.top);
    LineTo(dc, g.right - 1, g.top);
    MoveToEx(dc, was.x, was.y, nullptr);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void DrawFocusRingOn(HDC dc, const Rect16* rect, bool show, COLORREF background) {
    Rect16 strips[kFocusRingStrips];
    FocusRingStrips(*rect, strips);
    HBRUSH brush = CreateSolidBrush(show ? COLORREF(kFocusRingColour) : background);
    for (const Rect16& s : strips) {
        RECT n = Native(s);
        FillRect(dc, &n, brush);
    }
    DeleteObject(brush);
}
