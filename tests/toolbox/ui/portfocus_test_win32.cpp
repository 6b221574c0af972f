// Drawing focus on a real window with two drawing surfaces: drawing lands
// in the selected surface, cut to it, at its scroll origin, read back from
// the client area.
#include <gtest/gtest.h>

#include "toolbox/core/eventloop.h"
#include "toolbox/core/native_fixture_win32.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/picture.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/region.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowobject_win32.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/portfocus.h"
#include "toolbox/ui/portwindow.h"
#include "toolbox/ui/windowbackcolour.h"

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

class WinePortFocus : public ShownFrameTest {
  protected:
    // A shown document window 200 x 300 in front, drawn once.
    static WindowObject* MakeShownDocument(const char* title) {
        InstallEventLoopHandlers();
        InstallWindowObjectLayer();
        InitDrawingGlobals();
        Rect16 content{60, 60, 260, 360};
        WindowObject* w = NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, 0, 0, 0,
                                            kBehindNone, &content, title, 0, nullptr, &Quiet);
        if (!w) return nullptr;
        HWND window = HandleOf(w);
        ShowWindow(window, SW_SHOW);
        SelectWindowObject(w);
        UpdateWindow(window);
        MessagePump();
        return w;
    }
};

TEST_F(WinePortFocus, TwoSurfacesDrawCutToThemselvesAtTheirOrigins) {
    WindowObject* w = MakeShownDocument("Focus");
    ASSERT_NE(w, nullptr);
    HWND window = HandleOf(w);
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

TEST_F(WinePortFocus, PortBitsMoveAndPointsMapBetweenPorts) {
    WindowObject* w = MakeShownDocument("Bits");
    ASSERT_NE(w, nullptr);
    HWND window = HandleOf(w);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    const SurfaceRecord* main = SurfaceAt(list, kMainSurfaceIndex);
    ASSERT_NE(main, nullptr);
    int top = main->rect.top, left = main->rect.left;

    WindowObject* before = SetCurrentPort(w);
    SetForegroundColour(0xC00000);
    Rect16 square{10, 10, 20, 20};
    DrawRectShape(&square, kVerbPaint);
    FlushDrawing();
    ReleaseStateDC();
    SetCurrentPort(before);
    ASSERT_EQ(ClientPixel(window, left + 10, top + 10), 0xC00000u);

    RegionRecord* uncovered = NewRegion();
    Rect16 area{0, 0, 100, 100};
    ScrollPortRect(w, &area, 20, 0, uncovered, false);
    EXPECT_EQ(CurrentPort(), before);
    EXPECT_EQ(ClientPixel(window, left + 30, top + 10), 0xC00000u);
    EXPECT_EQ(ClientPixel(window, left + 39, top + 19), 0xC00000u);
    EXPECT_NE(ClientPixel(window, left + 40, top + 10), 0xC00000u);
    Rect32 b = uncovered->bounds;
    EXPECT_EQ(b.top, 0);
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.bottom, 100);
    EXPECT_EQ(b.right, 20);
    DisposeRegion(uncovered);

    // Points: local to the screen and to the frame's coordinates.
    Point32 p{5, 7};
    ASSERT_TRUE(PortPointsToScreen(w, &p, 1));
    POINT expected{7, 5};
    ClientToScreen(window, &expected);
    EXPECT_EQ(p.h, expected.x);
    EXPECT_EQ(p.v, expected.y);
    Point32 q{5, 7};
    ASSERT_TRUE(PortPointsToPort(w, nullptr, &q, 1));
    POINT inFrame{7, 5};
    MapWindowPoints(window, MdiClientHandle() ? MdiClientHandle() : FrameWindowHandle(), &inFrame,
                    1);
    EXPECT_EQ(q.h, inFrame.x);
    ASSERT_TRUE(PortPointsToPort(nullptr, w, &q, 1));
    EXPECT_EQ(q.h, 7);
    EXPECT_EQ(q.v, 5);
    WindowObject* offscreen = NewWindowObject(nullptr, kWindowTypeOffscreen, 0, 0, nullptr);
    Point32 r{1, 2};
    EXPECT_FALSE(PortPointsToPort(w, offscreen, &r, 1));
    EXPECT_EQ(r.h, 2);
    FreeWindowObjectRecord(offscreen);

    // Erasing the content: the main surface in the window's erase colour;
    // the port, its focus and the background stay.
    SetCurrentPort(w);
    SetBackgroundColour(0x00C0C0);
    StoreWindowBackColour(static_cast<PortRecord*>(w->port));
    SetBackgroundColour(0x102030);
    SetCurrentPort(before);
    list->flags &= ~kSurfaceEraseBackground;
    EraseWindowContent(w, nullptr);
    EXPECT_EQ(CurrentPort(), before);
    EXPECT_EQ(ClientPixel(window, left + 30, top + 10), 0x00C0C0u);
    EXPECT_EQ(ClientPixel(window, left + 150, top + 150), 0x00C0C0u);
    SetCurrentPort(w);
    EXPECT_EQ(GetBackgroundColourValue(), 0x102030u);
    // The native window erases with the stored colour, also one whose
    // channels lie above 0x7FFF.
    SetBackgroundColour(0xC08000);
    StoreWindowBackColour(static_cast<PortRecord*>(w->port));
    SetCurrentPort(before);
    Rect16 patch{150, 150, 160, 160};
    RegionRecord* patchRegion = NewRectRegion(&patch);
    HostPaintRegion(static_cast<PortRecord*>(w->port), patchRegion, kPaintBackground);
    DisposeRegion(patchRegion);
    EXPECT_EQ(ClientPixel(window, 155, 155), 0xC08000u);
    DisposeWindowObject(w);
}

} // namespace
