// Test support for windows that show rows (list views, text logs): a shown
// frame with one document window that has a vertical bar, repainting its
// content through the window's update event, and reading its pixels back.
#pragma once
#include <gtest/gtest.h>

#include "toolbox/core/eventloop.h"
#include "toolbox/core/native_fixture_win32.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowkinds.h"
#include "toolbox/core/windowobject_win32.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/listscroll.h"
#include "window_pixels_win32.h"

class RowWindowTest : public ::testing::Test {
  protected:
    void OpenWindow(const char* title, WindowEventCallback callback) {
        SetMainFrameParameters(nullptr, 0, 0, 0, 1000, 800, true);
        ASSERT_TRUE(PrepareNativeWindowTest());
        ShowWindow(FrameWindowHandle(), SW_SHOW);
        InstallEventLoopHandlers();
        InstallWindowObjectLayer();
        InitDrawingGlobals();
        Rect16 content{40, 40, 250, 340};
        window_ = NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, kOptionVerticalBar, 0, 0,
                                    kBehindNone, &content, title, 0, nullptr, callback);
        ASSERT_NE(window_, nullptr);
        SelectWindowObject(window_);
        MessagePump();
    }
    void TearDown() override {
        if (window_) DisposeWindowObject(window_);
        MessagePump();
        SetCurrentPort(nullptr);
    }
    HWND Handle() const {
        auto* port = static_cast<PortRecord*>(window_->port);
        return NativeWindowOf(static_cast<NativeWindowRecord*>(port->nativeWindow));
    }
    // Repaints the whole content through the window's update event.
    WindowPixels Repainted() {
        MessagePump();
        WindowEvent update{};
        update.type = kWindowEventUpdate;
        update.update.rect = RowWindowContent(window_);
        EventDispatchToView(window_, &update);
        return Now();
    }
    WindowPixels Now() {
        FlushDrawing();
        return ReadWindowPixels(Handle());
    }
    // Pixels that differ inside the content.
    int Differences(const WindowPixels& a, const WindowPixels& b) {
        Rect16 c = RowWindowContent(window_);
        int n = 0;
        for (int y = c.top; y < c.bottom; ++y)
            for (int x = c.left; x < c.right; ++x)
                n += a.At(x, y) != b.At(x, y);
        return n;
    }
    WindowObject* window_ = nullptr;
};
