#include <windows.h>

#include <gtest/gtest.h>

#include "toolbox/core/edges.h"
#include "toolbox/core/edges_win32.h"

namespace {

// A 100 x 100 memory bitmap filled with a marker colour.
class EdgePixels : public ::testing::Test {
  protected:
    void SetUp() override {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, 100, 100);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        RECT all{0, 0, 100, 100};
        HBRUSH marker = CreateSolidBrush(kMarker);
        FillRect(dc_, &all, marker);
        DeleteObject(marker);
    }
    void TearDown() override {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    COLORREF At(int x, int y) { return GetPixel(dc_, x, y); }
    static constexpr COLORREF kMarker = RGB(1, 2, 3);
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

TEST_F(EdgePixels, SunkenEdgeOfOtherStyles) {
    Rect16 r{20, 20, 40, 60};
    DrawSunkenEdgeOn(dc_, &r, 0);
    EXPECT_EQ(At(18, 30), GetSysColor(COLOR_BTNFACE));  // grown by 2
    EXPECT_EQ(At(19, 30), GetSysColor(COLOR_GRAYTEXT)); // grown by 1
    EXPECT_EQ(At(30, 30), kMarker);
}

TEST_F(EdgePixels, NativeSunkenEdgeIsOutsideTheRectangle) {
    Rect16 r{20, 20, 40, 60};
    DrawSunkenEdgeOn(dc_, &r, kSunkenEdgeNative);
    EXPECT_NE(At(18, 30), kMarker);
    EXPECT_EQ(At(17, 30), kMarker);
    EXPECT_EQ(At(30, 30), kMarker);
}

TEST_F(EdgePixels, FieldFrame) {
    Rect16 r{20, 20, 40, 60};
    DrawFieldFrameOn(dc_, &r);
    EXPECT_EQ(At(30, 40), RGB(0, 0, 0));                // bottom row of the rectangle grown by 1
    EXPECT_EQ(At(30, 41), RGB(255, 255, 255));          // bottom row of the rectangle grown by 2
    EXPECT_EQ(At(18, 30), GetSysColor(COLOR_GRAYTEXT)); // left of grown by 2
    EXPECT_EQ(At(30, 18), GetSysColor(COLOR_GRAYTEXT)); // top of grown by 2
}

TEST_F(EdgePixels, FocusRingAndItsRemoval) {
    Rect16 r{20, 20, 40, 60};
    DrawFocusRingOn(dc_, &r, true, RGB(255, 255, 255));
    EXPECT_EQ(At(30, 17), COLORREF(kFocusRingColour)); // top strip
    EXPECT_EQ(At(30, 18), COLORREF(kFocusRingColour));
    EXPECT_EQ(At(30, 19), kMarker);
    EXPECT_EQ(At(17, 17), kMarker);                    // corner left out
    EXPECT_EQ(At(62, 30), COLORREF(kFocusRingColour)); // right strip
    DrawFocusRingOn(dc_, &r, false, RGB(255, 255, 255));
    EXPECT_EQ(At(30, 17), RGB(255, 255, 255));
}

} // namespace
