// Logical sizes and hit tests of window objects over fake ports.
#include "toolbox/core/windowdisplay.h"

#include <gtest/gtest.h>

#include "toolbox/core/loophooks.h"
#include "toolbox/core/windowscale.h"
#include "window_fixture.h"

namespace {

using WindowDisplay = WindowFixture;

TEST_F(WindowDisplay, TheLogicalSizeGivesTheDeviceExtentAndTheBarsMaximum) {
    WindowObject* w = MakeWindow(kKindDocument, kOptionVerticalBar, 200, 300);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    SetWindowScaleFactors(w, 2 * kScaleOne, 2 * kScaleOne);
    HostCalls().clear();
    ResizeWindowObject(w, 500, 100, 1);
    EXPECT_EQ(w->height, 500);
    EXPECT_EQ(list->contentHeight, 1000);
    EXPECT_EQ(list->contentWidth, 200);
    const SurfaceRecord* main = SurfaceAt(list, kMainSurfaceIndex);
    EXPECT_EQ(SurfaceBarState(list, kBarVertical).maximum,
              1000 - (main->rect.bottom - main->rect.top));
    bool invalidated = false;
    for (const std::string& call : HostCalls())
        invalidated = invalidated || call.rfind("inval ", 0) == 0;
    EXPECT_TRUE(invalidated);
    // A smaller size pulls the position back within the new maximum.
    ScrollSurfacesTo(list, 600, 0, 0);
    ResizeWindowObject(w, 200, 100, 0);
    EXPECT_EQ(list->originV, SurfaceBarState(list, kBarVertical).maximum);
}

void* g_native = nullptr;
int16_t g_part = kPartContent;
int16_t PartUnder(Point16, void** window) {
    *window = g_native;
    return g_part;
}

TEST_F(WindowDisplay, HitTestsFindPaneAndSurfaceButNeverAHiddenPane) {
    WindowObject* w = MakeWindow(kKindDocument, 0, 200, 300);
    g_native = PortOf(w)->nativeWindow;
    LoopWindowHooks hooks = LoopHooks();
    hooks.findWindowPart = &PartUnder;
    SetLoopWindowHooks(&hooks);
    Rect16 r{20, 20, 80, 120};
    WindowObject* pane = NewPaneWindow(0, 0, 0, w, &r, nullptr, &RecordingCallback);
    WindowHitRecord hit;
    // Created hidden: the point falls to the top window's surface.
    EXPECT_TRUE(WindowHitTest({50, 50}, &hit));
    EXPECT_EQ(hit.pane, w->pane);
    EXPECT_EQ(hit.surface, kMainSurfaceIndex);
    ShowPane(static_cast<PaneRecord*>(pane->pane));
    EXPECT_TRUE(WindowHitTest({50, 50}, &hit));
    EXPECT_EQ(hit.pane, pane->pane);
    EXPECT_EQ(WindowSurfaceAtPoint(w, {-5, -5}), kNoSurface);
    g_part = kPartCaption;
    EXPECT_FALSE(WindowHitTest({50, 50}, &hit));
    EXPECT_EQ(hit.surface, kNoSurface);
    g_part = kPartContent;
    SetLoopWindowHooks(nullptr);
}

} // namespace
