// Pane frames on a real window: a child pane's double frame is a field
// frame (black inside, white outside), its focus ring lies outside it and
// goes again.
#include <gtest/gtest.h>

#include "native_fixture_win32.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/edges.h"
#include "toolbox/core/paneframe.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/windowdisplay.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowobject_win32.h"

namespace {

int32_t Quiet(WindowObject*, WindowEvent*) {
    return 0;
}

uint32_t ClientPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

class WinePaneFrames : public ShownFrameTest {};

TEST_F(WinePaneFrames, DoubleFrameAndFocusRingOnAChildPane) {
    InstallEventLoopHandlers();
    InstallWindowObjectLayer();
    Rect16 content{60, 60, 260, 360};
    WindowObject* w = NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, 0, 0, 0, kBehindNone,
                                        &content, "Frames", 0, nullptr, &Quiet);
    ASSERT_NE(w, nullptr);
    auto* port = static_cast<PortRecord*>(w->port);
    HWND window = NativeWindowOf(static_cast<NativeWindowRecord*>(port->nativeWindow));
    // Content larger than the window: no uncovered grey.
    ResizeWindowObject(w, 1000, 1000, 1);
    ShowWindow(window, SW_SHOW);
    SelectWindowObject(w);
    UpdateWindow(window);
    MessagePump();
    Rect16 r{40, 40, 100, 160};
    PaneRecord* child = NewChildPane(static_cast<PaneRecord*>(w->pane), &r,
                                     kPaneFramed | kPaneDoubleFrame, nullptr);
    ASSERT_NE(child, nullptr);
    UpdateWindow(window);
    MessagePump();
    Rect16 f = PaneFrameRect(child);
    uint32_t background = ClientPixel(window, f.left - 10, f.top + 10);
    DrawPaneFrame(child);
    int middle = (f.top + f.bottom) / 2;
    EXPECT_EQ(ClientPixel(window, f.left, middle), 0x000000u);
    EXPECT_EQ(ClientPixel(window, f.right, middle), 0xFFFFFFu);
    DrawPaneFocusRing(child, true);
    int ring = f.left - kFocusRingGrow;
    EXPECT_EQ(ClientPixel(window, ring, middle), kFocusRingColour >> 16 |
                                                     (kFocusRingColour & 0xFF00) |
                                                     (kFocusRingColour & 0xFF) << 16);
    DrawPaneFocusRing(child, false);
    EXPECT_EQ(ClientPixel(window, ring, middle), background);
    EXPECT_EQ(ClientPixel(window, f.left, middle), 0x000000u);
    DisposeWindowObject(w);
}

} // namespace
