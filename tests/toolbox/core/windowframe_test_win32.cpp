// Window frames before the windows exist, showing and hiding through one
// call, cursors from resources and pending events served at once, over
// real windows under Wine.
#include "toolbox/core/windowframe_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "native_fixture_win32.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowkinds.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowobject_win32.h"
#include "toolbox/core/windowsurface.h"

namespace {

std::vector<uint32_t>& Types() {
    static std::vector<uint32_t> types;
    return types;
}

int32_t RecordType(WindowObject*, WindowEvent* event) {
    Types().push_back(event->type);
    return 0;
}

HWND HandleOf(WindowObject* window) {
    auto* port = static_cast<PortRecord*>(window->port);
    return NativeWindowOf(static_cast<NativeWindowRecord*>(port->nativeWindow));
}

class WineWindowFrames : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMainFrameParameters(nullptr, 0, 0, 0, 1000, 800, true);
        ASSERT_TRUE(PrepareNativeWindowTest());
        InstallEventLoopHandlers();
        InstallWindowObjectLayer();
        ShowWindow(FrameWindowHandle(), SW_SHOW);
        MessagePump();
        Types().clear();
    }
    WindowObject* Document(uint32_t options) {
        Rect16 content{40, 40, 200, 300};
        return NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, options, 0, 0, kBehindNone,
                                 &content, "Frame", 0, nullptr, &RecordType);
    }
};

TEST_F(WineWindowFrames, TheComputedFrameIsTheRealWindowsAndConvertsBothWays) {
    WindowObject* w = Document(kOptionGrowBox | kOptionWindowCloseBox);
    ASSERT_NE(w, nullptr);
    HWND window = HandleOf(w);
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    NativeRect frame;
    ASSERT_TRUE(
        ComputeWindowFrame(kKindDocument, 0, kOptionGrowBox | kOptionWindowCloseBox, &frame));
    EXPECT_GT(frame.top, frame.bottom); // the caption
    EXPECT_EQ(frame.left + frame.right + client.right, outer.right - outer.left);
    EXPECT_EQ(frame.top + frame.bottom + client.bottom, outer.bottom - outer.top);
    DisposeWindowObject(w);
    const Rect16 content{100, 50, 300, 400};
    Rect16 r = content;
    StructureRectFromContent(kKindDocument, 0, kOptionGrowBox, &r);
    EXPECT_LT(r.top, content.top);
    EXPECT_GT(r.right, content.right);
    ContentRectFromStructure(kKindDocument, 0, kOptionGrowBox, &r);
    EXPECT_EQ(std::memcmp(&r, &content, sizeof r), 0);
    EXPECT_EQ(ScrollBarThickness(), PaneBarThickness());
}

TEST_F(WineWindowFrames, ShowingAndHidingThroughOneCall) {
    WindowObject* w = Document(0);
    ASSERT_NE(w, nullptr);
    ShowWindowObject(w, true);
    EXPECT_TRUE(IsWindowVisible(HandleOf(w)));
    EXPECT_TRUE(IsWindowShown(w, 0));
    ShowWindowObject(w, false);
    EXPECT_FALSE(IsWindowVisible(HandleOf(w)));
    DisposeWindowObject(w);
}

TEST_F(WineWindowFrames, AMissingOrZeroCursorIdGivesTheArrow) {
    HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    HCURSOR wait = LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)); // IDC_WAIT
    SetCursor(wait);
    SetCursorFromResource(0);
    EXPECT_EQ(GetCursor(), arrow);
    SetCursor(wait);
    SetCursorFromResource(31999); // no such cursor in the program
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(WineWindowFrames, PendingUpdatesAreServedAtOnce) {
    WindowObject* w = Document(0);
    ASSERT_NE(w, nullptr);
    ShowWindowObject(w, true);
    RunPendingEvents();
    Types().clear();
    InvalidateWindowArea(w, nullptr, 1);
    RunPendingEvents();
    EXPECT_NE(std::find(Types().begin(), Types().end(), uint32_t(kWindowEventUpdate)),
              Types().end());
    // Nothing is left to draw.
    Types().clear();
    RunPendingEvents();
    EXPECT_EQ(std::find(Types().begin(), Types().end(), uint32_t(kWindowEventUpdate)),
              Types().end());
    DisposeWindowObject(w);
}

} // namespace
