// The same scene drawn into a real window, read back from its client area,
// equals the scene drawn offscreen.
#include <gtest/gtest.h>

#include <vector>

#include "support/pixel_canvas_win32.h"
#include "toolbox/core/native_fixture_win32.h"
#include "toolbox/core/picture.h"
#include "toolbox/core/windowclass.h"
#include "toolbox/ui/drawcounters.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/gdicontext.h"
#include "window_pixels_win32.h"

namespace {

constexpr int kSceneWidth = 60, kSceneHeight = 40;

void DrawScene() {
    Rect16 all{0, 0, kSceneHeight, kSceneWidth};
    SetBackgroundColour(0xFFFFFF);
    DrawRectShape(&all, kVerbErase);
    SetForegroundColour(0x0000C0);
    SetPenSize(2, 2);
    Rect16 frame{2, 2, 20, 30};
    DrawRectShape(&frame, kVerbFrame);
    ResetPen();
    SetPenStandardPattern(2);
    Rect16 fill{5, 35, 25, 55};
    DrawRectShape(&fill, kVerbPaint);
    ResetPen();
    SetForegroundColour(0xC00000);
    Rect16 oval{22, 4, 38, 28};
    DrawOvalShape(&oval, kVerbPaint);
    MovePenTo(0, 39);
    DrawLineToPoint(59, 30);
}

std::vector<uint32_t> ReadWindow(HWND window) {
    WindowPixels all = ReadWindowPixels(window);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < kSceneHeight; ++y)
        for (int x = 0; x < kSceneWidth; ++x)
            pixels.push_back(all.At(x, y));
    return pixels;
}

class WindowDrawing : public ShownFrameTest {};

TEST_F(WindowDrawing, WindowSceneEqualsTheOffscreenScene) {
    std::vector<uint32_t> offscreen;
    {
        PixelCanvas canvas(kSceneWidth, kSceneHeight);
        DrawScene();
        for (int y = 0; y < kSceneHeight; ++y)
            for (int x = 0; x < kSceneWidth; ++x)
                offscreen.push_back(canvas.Pixel(x, y));
    }
    InitDrawingGlobals(); // the layer binds the window's state as it is made
    NativeWindowRecord* record = Make(4, kOptionCloseBox, Rect16{100, 100, 300, 400});
    ASSERT_NE(record, nullptr);
    HWND window = static_cast<HWND>(record->state.target);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MessagePump();
    EXPECT_EQ(record->state.hScale, 10000u);
    MakeStateCurrent(&record->state);
    ResetDrawingCounters();
    DrawScene();
    FlushDrawing();
    EXPECT_LE(DrawingCounters().mostContextsHeld, 1);
    ReleaseStateDC();
    MakeStateCurrent(nullptr);
    std::vector<uint32_t> onScreen = ReadWindow(window);
    EXPECT_EQ(onScreen[size_t(30 * kSceneWidth + 16)], 0xC00000u); // inside the oval
    int differ = 0;
    for (size_t i = 0; i < onScreen.size(); ++i)
        differ += onScreen[i] != offscreen[i];
    EXPECT_EQ(differ, 0);
}

} // namespace
