// Ports over real windows: the native callbacks set at linking, zooming and
// growing a port's window with the panes told.
#include "toolbox/core/portwindow_win32.h"

#include <gtest/gtest.h>

#include "native_fixture_win32.h"

#include <vector>

#include "toolbox/core/eventloop.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/windowclass.h"

namespace {

struct Told {
    std::vector<Rect16> sizes;
    std::vector<uint16_t> whats;
};
Told* g_told = nullptr;

int32_t RecordWhat(PortRecord*, OsEventRecord* record) {
    g_told->whats.push_back(record->what);
    return 0;
}

class PortWindows : public ShownFrameTest {
  protected:
    void SetUp() override {
        ShownFrameTest::SetUp();
        g_told = &told_;
        PortHooks hooks{};
        hooks.sizeRootPane = [](PortRecord*, const Rect16* content) {
            g_told->sizes.push_back(*content);
        };
        SetPortHooks(&hooks);
    }
    void TearDown() override {
        for (PortRecord* p : ports_) {
            DisposePortRecord(p);
            delete p;
        }
        SetPortHooks(nullptr);
        ShownFrameTest::TearDown();
        g_told = nullptr;
    }
    PortRecord* Link(int32_t type, uint32_t options, Rect16 box, uint32_t flags = 0) {
        NativeWindowRecord* record = Make(type, options, box);
        if (!record) return nullptr;
        SelectNativeWindow(record);
        MessagePump();
        ports_.push_back(new PortRecord{});
        PortRecord* port = ports_.back();
        WindowObjectLink(port, record, flags, &RecordWhat);
        return port;
    }
    Told told_;
    std::vector<PortRecord*> ports_;
};

TEST_F(PortWindows, LinkingSetsTheCallbacksOfTheNativeWindow) {
    HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    PortRecord* port = Link(4, kOptionCloseBox, Rect16{100, 100, 300, 400});
    auto* record = static_cast<NativeWindowRecord*>(port->nativeWindow);
    HWND window = NativeWindowOf(record);
    EXPECT_EQ(GetClassLongPtrA(window, GCLP_HCURSOR), 0);
    EXPECT_EQ(DrawingLayer().currentPort(), &record->state);
    // Any size change reaches the root pane.
    SizeNativeWindow(record, 250, 120, false);
    ASSERT_FALSE(told_.sizes.empty());
    EXPECT_EQ(told_.sizes.back().bottom, 120);
    EXPECT_EQ(told_.sizes.back().right, 250);
    // The close command of the system menu becomes a close record.
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_FALSE(told_.whats.empty());
    EXPECT_EQ(told_.whats.back(), kPortWhatClose);
    EXPECT_TRUE(IsWindow(window));
    // A port that keeps its class cursor leaves it.
    SetClassLongPtrA(window, GCLP_HCURSOR, LONG_PTR(cross));
    PortRecord* keeping =
        Link(4, kOptionCloseBox, Rect16{120, 120, 200, 300}, kPortFlagKeepsClassCursor);
    EXPECT_EQ(
        GetClassLongPtrA(NativeWindowOf(static_cast<NativeWindowRecord*>(keeping->nativeWindow)),
                         GCLP_HCURSOR),
        LONG_PTR(cross));
}

TEST_F(PortWindows, APortOverAnotherRecordIsLeftAlone) {
    NativeWindowRecord notWindow{};
    PortRecord port{};
    WindowObjectLink(&port, &notWindow, 0, &RecordWhat);
    EXPECT_EQ(notWindow.resizeProc, nullptr);
    EXPECT_EQ(notWindow.sysCommandProc, nullptr);
    EXPECT_NE(DrawingLayer().currentPort(), &notWindow.state);
    DisposePortRecord(&port);
}

TEST_F(PortWindows, ZoomingADocumentTellsThePanes) {
    PortRecord* port = Link(6, kOptionCloseBox | kOptionSizing, Rect16{20, 20, 120, 220});
    HWND window = NativeWindowOf(static_cast<NativeWindowRecord*>(port->nativeWindow));
    ZoomPort(port, kPartZoomIn);
    EXPECT_TRUE(IsZoomed(window));
    RECT client;
    GetClientRect(window, &client);
    ASSERT_FALSE(told_.sizes.empty());
    EXPECT_EQ(told_.sizes.back().right, client.right);
    EXPECT_EQ(told_.sizes.back().bottom, client.bottom);
    ZoomPort(port, kPartZoomOut);
    EXPECT_FALSE(IsZoomed(window));
    GetClientRect(window, &client);
    EXPECT_EQ(told_.sizes.back().right, client.right);
    ZoomPort(port, kPartMinimise);
    EXPECT_TRUE(IsIconic(window));
}

TEST_F(PortWindows, GrowingTellsThePanesTheNewSize) {
    PortRecord* port = Link(4, kOptionCloseBox | kOptionSizing, Rect16{100, 100, 300, 400});
    HWND window = NativeWindowOf(static_cast<NativeWindowRecord*>(port->nativeWindow));
    RECT outer;
    GetWindowRect(window, &outer);
    POINT corner{outer.right - 2, outer.bottom - 2};
    POINT at = corner;
    ScreenToClient(FrameWindowHandle(), &at);
    Rect16 limits{50, 80, 250, 350};
    Rect16 bounds;
    ASSERT_TRUE(QueueDragEnd(window, POINT{corner.x - 100, corner.y - 60}, MK_LBUTTON));
    ASSERT_TRUE(ReadPressAt(window, corner));
    ASSERT_TRUE(GrowPortWindow(port, Point16{int16_t(at.y), int16_t(at.x)}, &limits, &bounds));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 140);
    ASSERT_FALSE(told_.sizes.empty());
    EXPECT_EQ(told_.sizes.back().right, client.right);
    EXPECT_EQ(told_.sizes.back().bottom, client.bottom);
}

} // namespace
