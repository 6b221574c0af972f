// Drawing focus on a real window with two drawing surfaces: drawing lands
// in the selected surface, cut to it, at its scroll origin, read back from
// the client area.
#include <gtest/gtest.h>

#include "toolbox/core/eventloop.h"
#include "toolbox/core/native_fixture_win32.h"
#include "toolbox/core/picture.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowobject_win32.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/portfocus.h"

namespace {

int32_t Quiet(WindowObject*, WindowEvent*) {
    return 0;
}

HWND HandleOf(WindowObject* window) {
    auto* port = static_cast<PortRecord*>(window->port);
    return NativeWindowOf(static_cast<NativeWindowRecord*>(port->nativeWindow));
}

uint32_t ClientPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

class WinePortFocus : public ShownFrameTest {};

TEST_F(WinePortFocus, TwoSurfacesDrawCutToThemselvesAtTheirOrigins) {
    InstallEventLoopHandlers();
    InstallWindowObjectLayer();
    InitDrawingGlobals();
    Rect16 content{60, 60, 260, 360};
    WindowObject* w = NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, 0, 0, 0, kBehindNone,
                                        &content, "Focus", 0, nullptr, &Quiet);
    ASSERT_NE(w, nullptr);
    HWND window = HandleOf(w);
    ShowWindow(window, SW_SHOW);
    SelectWindowObject(w);
    UpdateWindow(window);
    MessagePump();
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    ASSERT_NE(list, nullptr);
    // Surface 0: a heading strip 20 pixels high at the top; the main
    // surface scrolled to (10, 30).
    SurfaceRecord* main = SurfaceAt(list, kMainSurfaceIndex);
    ASSERT_NE(main, nullptr);
    Rect16 heading{main->rect.top, main->rect.left, int16_t(main->rect.top + 20), main->rect.right};
    ASSERT_NE(SetSurfaceRect(list, 0, &heading), nullptr);
    int top = main->rect.top, left = main->rect.left;
    main->rect.top = heading.bottom;
    ScrollSurfacesTo(list, 10, 30, kScrollKeepUpdate);
    MessagePump();

    WindowObject* before = SetCurrentPort(w);
    // The heading: everything painted is cut to its strip; its local
    // origin follows h only (30).
    SelectNativeSurface(list, 0);
    SetForegroundColour(0xC00000);
    Rect16 big{0, 0, 100, 100};
    DrawRectShape(&big, kVerbPaint);
    // The main surface: local (10, 30) is its top-left corner.
    SelectNativeSurface(list, kMainSurfaceIndex);
    SetForegroundColour(0x0000C0);
    Rect16 corner{10, 30, 15, 35};
    DrawRectShape(&corner, kVerbPaint);
    FlushDrawing();
    ReleaseStateDC();
    SetCurrentPort(before);

    // The heading strip: red from local h 30 (device left) to local 100.
    EXPECT_EQ(ClientPixel(window, left, top), 0xC00000u);
    EXPECT_EQ(ClientPixel(window, left + 69, top + 19), 0xC00000u);
    EXPECT_NE(ClientPixel(window, left + 70, top + 5), 0xC00000u);
    // Nothing of the big rectangle below the strip.
    EXPECT_NE(ClientPixel(window, left + 5, top + 20), 0xC00000u);
    // The main surface's corner square.
    EXPECT_EQ(ClientPixel(window, left, top + 20), 0x0000C0u);
    EXPECT_EQ(ClientPixel(window, left + 4, top + 24), 0x0000C0u);
    EXPECT_NE(ClientPixel(window, left + 5, top + 25), 0x0000C0u);
    DisposeWindowObject(w);
}

} // namespace
