// The mouse in the current port's window and surface coordinates.
#include "toolbox/core/windowmouse.h"

#include <gtest/gtest.h>

#include "toolbox/core/osinput.h"
#include "window_fixture.h"

namespace {

Point32& FakeMouse() {
    static Point32 mouse;
    return mouse;
}

class WindowMouse : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        OsInputSource source{};
        source.mouseClient = [](Point32* out) { *out = FakeMouse(); };
        SetOsInputSource(&source);
    }
    void TearDown() override {
        DrawingLayer().setCurrentPort(nullptr);
        SetOsInputSource(nullptr);
        WindowFixture::TearDown();
    }
};

TEST_F(WindowMouse, PointsMoveByTheSurfacePositionRectangleAndOffset) {
    SurfaceRecord s{};
    s.rect = {20, 40, 100, 200};
    s.positionV = 5;
    s.positionH = 300;
    Point16 packed;
    Point32 wide;
    PointToSurfaceCoordinates(&s, Point16{25, 50}, nullptr, &packed, &wide);
    EXPECT_EQ(wide.v, 10);
    EXPECT_EQ(wide.h, 310);
    EXPECT_EQ(packed.h, 310);
    Point32 offset{-10, 32767};
    PointToSurfaceCoordinates(&s, Point16{25, 50}, &offset, &packed, nullptr);
    EXPECT_EQ(packed.v, 0);
    EXPECT_EQ(packed.h, 32767); // clamped
    PointToSurfaceCoordinates(nullptr, Point16{7, 8}, nullptr, nullptr, &wide);
    EXPECT_EQ(wide.v, 7);
    EXPECT_EQ(wide.h, 8);
}

TEST_F(WindowMouse, TheMouseIsInTheCurrentWindowsSurfaceCoordinates) {
    WindowObject* w = MakeWindow();
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    ScrollSurfacesTo(list, 40, 16, 0);
    const SurfaceRecord* main = SurfaceAt(list, kMainSurfaceIndex);
    FakeMouse() = Point32{main->rect.top + 3, main->rect.left + 4};
    // No current window: the frame's client coordinates.
    Point32 wide;
    CurrentMousePosition(&wide);
    EXPECT_EQ(wide.v, main->rect.top + 3);
    DrawingLayer().setCurrentPort(GraphicsPortOf(w));
    MouseSurfaceLocation(&wide);
    EXPECT_EQ(wide.v, 43);
    EXPECT_EQ(wide.h, 20);
    Point16 packed;
    MouseLocationInPort(&packed);
    EXPECT_EQ(packed.v, 43);
    EXPECT_EQ(packed.h, 20);
}

} // namespace
