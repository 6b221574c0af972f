// Z-order, parts, sizing, modal marking and scrolling of native windows.
#include "toolbox/core/nativezorder_win32.h"

#include <gtest/gtest.h>

#include "native_fixture_win32.h"

#include <vector>

#include "toolbox/core/activation.h"
#include "toolbox/core/heap.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/windowclass.h"

namespace {

class ZOrder : public ShownFrameTest {};

TEST_F(ZOrder, WalksPopupsFirstThenDocuments) {
    NativeWindowRecord* doc = Make(6, kOptionCloseBox, Rect16{10, 10, 200, 300});
    NativeWindowRecord* floating = Make(5, kOptionCloseBox, Rect16{50, 500, 150, 650});
    SelectNativeWindow(doc);
    SelectNativeWindow(floating);
    MessagePump();
    EXPECT_EQ(FirstNativeWindow(), floating);
    EXPECT_EQ(NextNativeWindow(floating), doc);
    EXPECT_EQ(FrontNonFloatingWindow(), doc);
    EXPECT_EQ(FrontNativeWindowOfType(5), floating);
    EXPECT_EQ(LoopHooks().frontNonFloatingWindow(), doc);
    // Deactivating the application hides the floating window; reactivating
    // shows it again.
    SendMessageA(FrameWindowHandle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(IsWindowVisible(NativeWindowOf(floating)));
    EXPECT_TRUE(IsWindowVisible(NativeWindowOf(doc)));
    SendMessageA(FrameWindowHandle(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(IsWindowVisible(NativeWindowOf(floating)));
    EXPECT_TRUE(IsApplicationActive());
}

TEST_F(ZOrder, PartsUnderPoints) {
    NativeWindowRecord* dialog =
        Make(4, kOptionCloseBox | kOptionSizing, Rect16{100, 100, 300, 400});
    SelectNativeWindow(dialog);
    MessagePump();
    HWND window = NativeWindowOf(dialog);
    HWND frame = FrameWindowHandle();
    auto partAt = [&](POINT screen, NativeWindowRecord** record) {
        ScreenToClient(frame, &screen);
        return FindWindowPart(Point16{int16_t(screen.y), int16_t(screen.x)}, record);
    };
    RECT client;
    GetClientRect(window, &client);
    POINT centre{client.right / 2, client.bottom / 2};
    ClientToScreen(window, &centre);
    NativeWindowRecord* found = nullptr;
    EXPECT_EQ(partAt(centre, &found), kPartContent);
    EXPECT_EQ(found, dialog);
    RECT outer;
    GetWindowRect(window, &outer);
    POINT caption{(outer.left + outer.right) / 2,
                  outer.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
    EXPECT_EQ(partAt(caption, &found), kPartCaption);
    POINT box{client.right - 3, client.bottom - 3};
    ClientToScreen(window, &box);
    EXPECT_EQ(partAt(box, &found), kPartGrow);
    POINT border{outer.right - 1, (outer.top + outer.bottom) / 2};
    EXPECT_EQ(partAt(border, &found), kPartGrow);
    POINT outside{1270, 1020};
    found = dialog;
    EXPECT_EQ(partAt(outside, &found), kPartNone);
    EXPECT_EQ(found, nullptr);
}

TEST_F(ZOrder, SizingModalMarkingAndScrolling) {
    NativeWindowRecord* dialog = Make(4, kOptionCloseBox, Rect16{100, 100, 300, 400});
    HWND window = NativeWindowOf(dialog);
    EXPECT_EQ(BeginNativeModal(dialog), kModalNotVisible);
    SelectNativeWindow(dialog);
    MessagePump();
    EXPECT_EQ(EndNativeModal(dialog), kModalNotModal);
    EXPECT_EQ(BeginNativeModal(dialog), 0);
    EXPECT_EQ(BeginNativeModal(dialog), kModalAlready);
    EXPECT_EQ(EndNativeModal(dialog), 0);

    RECT before;
    GetClientRect(window, &before);
    SizeNativeWindow(dialog, 0, 50, false);
    SizeNativeWindow(dialog, 50, 0, false);
    RECT after;
    GetClientRect(window, &after);
    EXPECT_EQ(after.right, before.right);
    SizeNativeWindow(dialog, 250, 120, false);
    GetClientRect(window, &after);
    EXPECT_EQ(after.right, 250);
    EXPECT_EQ(after.bottom, 120);

    RegionRecord* update = NewRegion();
    Rect32 area{0, 0, 100, 100};
    EXPECT_EQ(ScrollWindowContent(dialog, &area, 0, 0, update), 0);
    EXPECT_TRUE(IsRegionEmpty(update));
    EXPECT_EQ(ScrollWindowContent(dialog, &area, 0, 10, update), 0);
    EXPECT_FALSE(IsRegionEmpty(update));
    NativeWindowRecord notWindow{};
    EXPECT_EQ(ScrollWindowContent(&notWindow, &area, 0, 10, update), kScrollNotAWindow);

    RegionRecord* out = NewRegion();
    for (int32_t code : {32, 33, 34, 40})
        EXPECT_EQ(GetNativeWindowRegion(dialog, code, out), 0) << code;
    EXPECT_EQ(GetNativeWindowRegion(dialog, 35, out), kRegionCodeUnknown);
    Rect32 dirty{5, 5, 20, 20};
    InvalidateNativeRect(dialog, &dirty);
    GetNativeWindowRegion(dialog, kRegionCodeUpdate, out);
    EXPECT_FALSE(IsRegionEmpty(out));
    LoopHooks().discardUpdate(dialog);
    GetNativeWindowRegion(dialog, kRegionCodeUpdate, out);
    EXPECT_TRUE(IsRegionEmpty(out));
    DisposeRegion(out);
    DisposeRegion(update);
}

} // namespace

namespace {

// The screen point of a title-bar button, found by hit testing along the
// caption from the right.
bool FindButton(HWND window, LRESULT code, POINT* out) {
    RECT outer;
    GetWindowRect(window, &outer);
    for (int y = outer.top; y < outer.top + 40; ++y)
        for (int x = outer.right - 1; x > outer.left; --x)
            if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == code) {
                *out = POINT{x, y};
                return true;
            }
    return false;
}

TEST_F(ZOrder, CloseBoxTrackingFollowsTheRelease) {
    NativeWindowRecord* dialog = Make(4, kOptionCloseBox, Rect16{200, 200, 300, 400});
    SelectNativeWindow(dialog);
    MessagePump();
    HWND window = NativeWindowOf(dialog);
    POINT close;
    ASSERT_TRUE(FindButton(window, HTCLOSE, &close));
    HWND frame = FrameWindowHandle();
    auto track = [&](POINT release) {
        // The release is queued first; the system's tracking loop reads it.
        EXPECT_TRUE(QueueDragEnd(window, release, 0));
        POINT at = close;
        ScreenToClient(frame, &at);
        return TrackTitleBarButton(dialog, kPartClose, Point16{int16_t(at.y), int16_t(at.x)});
    };
    EXPECT_FALSE(track(POINT{close.x - 150, close.y + 150}));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(track(close));
    EXPECT_TRUE(IsWindow(window)); // the command is recorded, not carried out
    POINT caption = close;
    caption.x -= 100;
    ScreenToClient(frame, &caption);
    EXPECT_FALSE(
        TrackTitleBarButton(dialog, kPartClose, Point16{int16_t(caption.y), int16_t(caption.x)}));
}

} // namespace

namespace {

TEST_F(ZOrder, ScrollRectAndUpdateAddsTheUncoveredPart) {
    NativeWindowRecord* dialog = Make(4, kOptionCloseBox, Rect16{100, 100, 300, 400});
    SelectNativeWindow(dialog);
    MessagePump();
    RegionRecord* update = NewRegion();
    Rect32 area{0, 0, 100, 100};
    EXPECT_EQ(ScrollRectAndUpdate(&area, 0, 10, kScrollAddToPending, update), kScrollNotAWindow);
    DrawingLayer().setCurrentPort(&dialog->state);
    LoopHooks().discardUpdate(dialog);
    EXPECT_EQ(ScrollRectAndUpdate(&area, 0, 10, kScrollAddToPending, update), 0);
    Rect16 bounds;
    RegionBounds(update, &bounds);
    EXPECT_EQ(bounds.bottom - bounds.top, 10);
    RegionRecord* pending = NewRegion();
    GetNativeWindowRegion(dialog, kRegionCodeUpdate, pending);
    EXPECT_FALSE(IsRegionEmpty(pending));
    // Moved entirely off itself: the whole rectangle is uncovered.
    EXPECT_EQ(ScrollRectInPort(dialog, &area, 0, 500, update), 0);
    RegionBounds(update, &bounds);
    EXPECT_EQ(bounds.bottom, 100);
    EXPECT_EQ(bounds.top, 0);
    DrawingLayer().setCurrentPort(nullptr);
    DisposeRegion(pending);
    DisposeRegion(update);
}

} // namespace

namespace {

TEST_F(ZOrder, GrowFollowsTheSystemsSizingLoopWithinLimits) {
    NativeWindowRecord* dialog =
        Make(4, kOptionCloseBox | kOptionSizing, Rect16{100, 100, 300, 400});
    SelectNativeWindow(dialog);
    MessagePump();
    HWND window = NativeWindowOf(dialog);
    HWND frame = FrameWindowHandle();
    RECT outer;
    GetWindowRect(window, &outer);
    POINT corner{outer.right - 2, outer.bottom - 2};
    ASSERT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTBOTTOMRIGHT);
    POINT at = corner;
    ScreenToClient(frame, &at);
    Rect16 limits{50, 80, 250, 350}; // minimum 80 x 50, maximum 350 x 250
    Rect16 bounds;
    // The drag's end is queued first and the press read on the corner; the
    // sizing loop reads the end and measures the drag from the press.
    ASSERT_TRUE(QueueDragEnd(window, POINT{corner.x + 400, corner.y + 300}, MK_LBUTTON));
    ASSERT_TRUE(ReadPressAt(window, corner));
    bool grown = GrowNativeWindow(dialog, Point16{int16_t(at.y), int16_t(at.x)}, &limits, &bounds);
    RECT client;
    GetClientRect(window, &client);
    ASSERT_TRUE(grown);
    // Pulled well past the maximum: held at it (give or take the frame's
    // own rounding of the insets).
    EXPECT_LE(client.right, 350);
    EXPECT_GE(client.right, 345);
    EXPECT_LE(client.bottom, 250);
    EXPECT_GE(client.bottom, 245);
    EXPECT_EQ(bounds.right - bounds.left, client.right);
    // A point off every sizing part gives an empty rectangle and false.
    RECT inner;
    GetClientRect(window, &inner);
    POINT centre{inner.right / 2, inner.bottom / 2};
    ClientToScreen(window, &centre);
    ScreenToClient(frame, &centre);
    EXPECT_FALSE(
        GrowNativeWindow(dialog, Point16{int16_t(centre.y), int16_t(centre.x)}, &limits, &bounds));
    EXPECT_TRUE(RectIsEmpty(&bounds));
}

} // namespace
