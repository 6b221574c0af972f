// Local and frame-client points over a real window, and the mouse in both.
#include "toolbox/core/portpoint_win32.h"

#include <gtest/gtest.h>

#include "native_fixture_win32.h"

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/windowclass.h"

namespace {

class PortPoints : public ShownFrameTest {
  protected:
    void TearDown() override {
        DrawingLayer().setCurrentPort(nullptr);
        SetOsInputSource(nullptr);
        ShownFrameTest::TearDown();
    }
};

Point32 g_mouse{0, 0};

TEST_F(PortPoints, LocalAndFramePointsOverTheCurrentWindow) {
    NativeWindowRecord* dialog = Make(4, kOptionCloseBox, Rect16{100, 100, 300, 400});
    HWND window = NativeWindowOf(dialog);
    dialog->state.origin = Point32{5, 7};
    Point32 local{30, 40}, frame{0, 0}, back{0, 0};
    // No current port: unchanged.
    ConvertPoint32LocalToFrame(&local, &frame);
    EXPECT_EQ(frame.v, 30);
    EXPECT_EQ(frame.h, 40);
    DrawingLayer().setCurrentPort(&dialog->state);
    ConvertPoint32LocalToFrame(&local, &frame);
    POINT expected{40 - 7, 30 - 5};
    MapWindowPoints(window, MdiClientHandle(), &expected, 1);
    EXPECT_EQ(frame.h, expected.x);
    EXPECT_EQ(frame.v, expected.y);
    ConvertPoint32FrameToLocal(&frame, &back);
    EXPECT_EQ(back.v, 30);
    EXPECT_EQ(back.h, 40);
    Point16 packed{30, 40};
    ConvertPointLocalToFrame(&packed);
    EXPECT_EQ(packed.h, expected.x);
    ConvertPointFrameToLocal(&packed);
    EXPECT_EQ(packed.v, 30);
    EXPECT_EQ(packed.h, 40);
    // A state that does not draw into a window leaves points alone.
    dialog->state.dcKind = kStateDcBitmap;
    ConvertPoint32LocalToFrame(&local, &frame);
    EXPECT_EQ(frame.h, 40);
    dialog->state.dcKind = kStateDcWindow;
}

TEST_F(PortPoints, TheMouseInFrameAndLocalCoordinates) {
    NativeWindowRecord* dialog = Make(4, kOptionCloseBox, Rect16{100, 100, 300, 400});
    OsInputSource source{};
    source.mouseClient = [](Point32* out) { *out = g_mouse; };
    SetOsInputSource(&source);
    g_mouse = Point32{150, 70000}; // beyond 16 bits: clamped
    Point16 client;
    MouseLocationClient(&client);
    EXPECT_EQ(client.v, 150);
    EXPECT_EQ(client.h, 32767);
    g_mouse = Point32{150, 250};
    DrawingLayer().setCurrentPort(&dialog->state);
    Point32 expected;
    ConvertPoint32FrameToLocal(&g_mouse, &expected);
    Point32 local;
    MouseLocationGlobalToLocal(&local);
    EXPECT_EQ(local.v, expected.v);
    EXPECT_EQ(local.h, expected.h);
    Point16 packed;
    MouseLocation(&packed);
    EXPECT_EQ(packed.v, expected.v);
    EXPECT_EQ(packed.h, expected.h);
    MouseLocationLocal(&packed);
    EXPECT_EQ(packed.h, expected.h);
    // Less the state's origin once more.
    dialog->state.origin = Point32{5, 7};
    ConvertPoint32FrameToLocal(&g_mouse, &expected);
    MousePositionInState(&packed);
    EXPECT_EQ(packed.v, expected.v - 5);
    EXPECT_EQ(packed.h, expected.h - 7);
}

} // namespace
