// A window's scroll bars standing on scroll-bar controls: made as controls
// of the window, parts at a point, values, and a held arrow stepping the
// surface list's action.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "toolbox/core/child_process_win32.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/native_fixture_win32.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panehost_win32.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/portupdate_win32.h"
#include "toolbox/core/region.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowclass.h"
#include "toolbox/core/windowcreate.h"
#include "toolbox/core/windowdisplay.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowobject_win32.h"
#include "toolbox/core/windowsurface.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/control_win32.h"

namespace {

WindowObject* NewScrolledWindow() {
    SetMainFrameParameters(nullptr, 0, 0, 0, 1000, 800, true);
    if (!PrepareNativeWindowTest()) return nullptr;
    // A bar tracks only in the active program (it holds the mouse capture
    // meanwhile).
    ShowWindow(FrameWindowHandle(), SW_SHOW);
    InstallEventLoopHandlers();
    InstallWindowObjectLayer();
    InstallControlCalls();
    InstallControlScrollBars();
    Rect16 content{40, 40, 240, 340};
    WindowObject* w = NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, kOptionVerticalBar, 0,
                                        0, kBehindNone, &content, "Bars", 0, nullptr, nullptr);
    if (!w) return nullptr;
    SelectWindowObject(w);
    ResizeWindowObject(w, 1000, 200, 1);
    return w;
}

// A point of the bar's down arrow in the window's coordinates.
Point16 DownArrowOf(ToolboxControlRecord* bar) {
    return Point16{int16_t(bar->bounds.bottom - 4),
                   int16_t((bar->bounds.left + bar->bounds.right) / 2)};
}

TEST(ControlBars, AWindowsScrollBarIsAControlOfItsWindow) {
    WindowObject* w = NewScrolledWindow();
    ASSERT_NE(w, nullptr);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    auto* bar = static_cast<ToolboxControlRecord*>(list->barV);
    ASSERT_TRUE(IsControlRecord(bar));
    EXPECT_EQ(bar->type, kControlScrollBar);
    HWND child = ControlChild(bar);
    EXPECT_EQ(GetDlgCtrlID(child), kControlChildId);
    EXPECT_EQ(ControlFromNativeWindow(child), bar);
    EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE);
    HostSetScrollBarValues(bar, 0, 100, 40);
    EXPECT_EQ(HostBarValue(bar, -1), 40);
    EXPECT_EQ(HostBarHitPart(bar, DownArrowOf(bar)), kPartLineDown);
    HostSetScrollBarValues(bar, 0, 0, 0);
    EXPECT_EQ(HostBarHitPart(bar, DownArrowOf(bar)), 0);
    // Shown while the port's clip is a surface's (without the bar), the
    // bar stays whole, also when made again as its range grows.
    NativeWindowRecord* native = NativeRecordOfPort(static_cast<PortRecord*>(w->port));
    ASSERT_NE(native, nullptr);
    RegionRecord* saved = native->state.clip;
    Rect16 surface{0, 0, 200, bar->bounds.left};
    native->state.clip = NewRectRegion(&surface);
    HostShowScrollBar(bar, false);
    HostShowScrollBar(bar, true);
    RECT box;
    EXPECT_EQ(GetWindowRgnBox(ControlChild(bar), &box), ERROR);
    HostSetScrollBarValues(bar, 0, 100, 10);
    EXPECT_EQ(GetWindowRgnBox(ControlChild(bar), &box), ERROR);
    DisposeRegion(native->state.clip);
    native->state.clip = saved;
    DisposeWindowObject(w);
    EXPECT_FALSE(IsWindow(child));
    SetPaneBarProcs(nullptr);
}

std::vector<int16_t> g_parts;
void RecordPart(void*, int16_t part, void*) {
    g_parts.push_back(part);
}

void CALLBACK Release(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    PostMessageA(GetCapture() ? GetCapture() : window, WM_LBUTTONUP, 0, 0);
}

TEST(ControlBarsChild, HeldArrow) {
    if (!IsChildCase("HeldArrow")) GTEST_SKIP() << "runs in its own process";
    StartChildCaseWatchdog();
    WindowObject* w = NewScrolledWindow();
    if (!w) ExitProcess(kChildCaseFailedExit);
    auto* bar = static_cast<ToolboxControlRecord*>(static_cast<SurfaceList*>(w->surfaceList)->barV);
    HostSetScrollBarValues(bar, 0, 100, 0);
    // The release at the arrow's point of the bar, 600 ms later.
    Point16 at = DownArrowOf(bar);
    POINT arrow{at.h, at.v};
    ClientToScreen(GetParent(ControlChild(bar)), &arrow);
    SetCursorPos(arrow.x, arrow.y);
    SetTimer(ControlChild(bar), 1, 600, &Release);
    int16_t released = HostTrackBar(bar, at, &RecordPart, nullptr);
    size_t downs = 0;
    for (int16_t p : g_parts)
        downs += p == kPartLineDown;
    std::printf("released %d steps %zu downs %zu\n", released, g_parts.size(), downs);
    SetPaneBarProcs(nullptr);
    // Every step the bar reports is the arrow's part (how often it repeats
    // is the system's: it stops when the program loses the mouse capture).
    ExitProcess(downs >= 1 && downs == g_parts.size() ? 0 : kChildCaseFailedExit);
}

TEST(ControlBars, HoldingAWindowBarsArrowStepsTheSurfaceList) {
    EXPECT_EQ(RunChildCase("ControlBarsChild", "HeldArrow"), 0);
}

} // namespace
