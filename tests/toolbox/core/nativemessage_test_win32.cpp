// Window-procedure answers over real windows: the cursor over back windows,
// control colours, the menu bar's edge line, the focused control and the
// MDI client's press notifications.
#include "toolbox/core/nativemessage_win32.h"

#include <gtest/gtest.h>

#include "native_fixture_win32.h"

#include <vector>

#include "toolbox/core/nativezorder_win32.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/windowclass.h"

namespace {

class NativeMessages : public ShownFrameTest {
  protected:
    NativeWindowRecord* Make(int32_t type, Rect16 box) {
        NativeWindowRecord* record = ShownFrameTest::Make(type, kOptionCloseBox, box);
        if (!record) return nullptr;
        SelectNativeWindow(record);
        MessagePump();
        return record;
    }
};

LRESULT SetCursorIn(NativeWindowRecord* record) {
    HWND window = NativeWindowOf(record);
    return SendMessageA(window, WM_SETCURSOR, WPARAM(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

TEST_F(NativeMessages, TheArrowOverWindowsThatAreNotInFront) {
    NativeWindowRecord* backDoc = Make(6, Rect16{10, 10, 110, 210});
    NativeWindowRecord* frontDoc = Make(6, Rect16{150, 300, 250, 500});
    NativeWindowRecord* backFloat = Make(5, Rect16{50, 600, 150, 700});
    NativeWindowRecord* frontFloat = Make(5, Rect16{200, 600, 300, 700});
    ASSERT_EQ(FrontNonFloatingWindow(), frontDoc);
    ASSERT_EQ(FrontNativeWindowOfType(kNativeTypeAny), frontFloat);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    std::vector<HWND> classes{NativeWindowOf(backDoc), NativeWindowOf(backFloat)};
    for (HWND w : classes)
        SetClassLongPtrA(w, GCLP_HCURSOR, 0);
    // Without class cursor: the arrow over the back windows; the front ones
    // are left to the system, which sets nothing.
    SetCursor(cross);
    EXPECT_TRUE(SetCursorIn(backDoc));
    EXPECT_EQ(GetCursor(), arrow);
    SetCursor(cross);
    EXPECT_TRUE(SetCursorIn(backFloat));
    EXPECT_EQ(GetCursor(), arrow);
    SetCursor(cross);
    EXPECT_FALSE(SetCursorIn(frontDoc));
    EXPECT_FALSE(SetCursorIn(frontFloat));
    EXPECT_EQ(GetCursor(), cross);
    // With a class cursor the system sets it, in front or not.
    for (HWND w : classes)
        SetClassLongPtrA(w, GCLP_HCURSOR, LONG_PTR(cross));
    SetCursor(arrow);
    SetCursorIn(backDoc);
    EXPECT_EQ(GetCursor(), cross);
}

TEST_F(NativeMessages, ControlColoursAreThePortsBackground) {
    NativeWindowRecord* dialog = Make(4, Rect16{100, 100, 300, 400});
    HWND window = NativeWindowOf(dialog);
    HWND text = CreateWindowExA(0, "STATIC", "text", WS_CHILD | WS_VISIBLE, 10, 10, 80, 20, window,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(text, nullptr);
    HDC dc = GetDC(text);
    auto brushColour = [](LRESULT brush) {
        LOGBRUSH info{};
        GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof(info), &info);
        return info.lbColor;
    };
    dialog->state.background = RGB(10, 20, 30);
    LRESULT first = SendMessageA(window, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(text));
    EXPECT_EQ(brushColour(first), RGB(10, 20, 30));
    EXPECT_EQ(GetBkColor(dc), RGB(10, 20, 30));
    EXPECT_EQ(SendMessageA(window, WM_CTLCOLORBTN, WPARAM(dc), LPARAM(text)), first);
    dialog->state.background = RGB(200, 100, 50);
    LRESULT second = SendMessageA(window, WM_CTLCOLORBTN, WPARAM(dc), LPARAM(text));
    EXPECT_EQ(brushColour(second), RGB(200, 100, 50));
    EXPECT_EQ(GetBkColor(dc), RGB(200, 100, 50));
    ReleaseDC(text, dc);
}

TEST_F(NativeMessages, TheMenuBarsEdgeLineNeedsMenus) {
    HWND frame = FrameWindowHandle();
    HWND client = MdiClientHandle();
    auto paintAndRead = [&] {
        HDC dc = GetWindowDC(client);
        RECT row{0, 0, 20, 1};
        FillRect(dc, &row, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SendMessageA(frame, WM_NCPAINT, 1, 0);
        COLORREF pixel = GetPixel(dc, 10, 0);
        ReleaseDC(client, dc);
        return pixel;
    };
    HMENU bar = CreateMenu();
    SetMenu(frame, bar);
    EXPECT_EQ(paintAndRead(), RGB(0, 0, 0)); // a bar without menus
    AppendMenuA(bar, MF_STRING, 1, "File");
    DrawMenuBar(frame);
    EXPECT_EQ(paintAndRead(), kMenuBarEdgeColour);
    SetMenu(frame, nullptr);
    DestroyMenu(bar);
}

TEST_F(NativeMessages, TheFocusedControlTakesTheFocusBackWhenShownOrReordered) {
    NativeWindowRecord* dialog = Make(4, Rect16{100, 100, 300, 400});
    HWND window = NativeWindowOf(dialog);
    auto control = [&](int top) {
        return CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE, 10, top, 80, 20, window,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    };
    HWND focusedWindow = control(10), otherWindow = control(40), plain = control(70);
    int focusedRecord = 0, otherRecord = 0;
    SetPropA(focusedWindow, kPropControl, &focusedRecord);
    SetPropA(otherWindow, kPropControl, &otherRecord);
    dialog->focusedControl = &focusedRecord;
    const UINT reorder = SWP_NOMOVE | SWP_NOSIZE;
    SetFocus(otherWindow);
    SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, reorder | SWP_NOACTIVATE);
    EXPECT_EQ(GetFocus(), focusedWindow);
    // A move alone leaves the focus where it is.
    SetFocus(otherWindow);
    SetWindowPos(window, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(GetFocus(), otherWindow);
    // A window that is not a control keeps the focus.
    SetFocus(plain);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, reorder);
    EXPECT_EQ(GetFocus(), plain);
    dialog->focusedControl = nullptr;
}

TEST_F(NativeMessages, TheMdiClientSwallowsPressNotificationsOnLayerWindows) {
    NativeWindowRecord* back = Make(6, Rect16{10, 10, 110, 210});
    NativeWindowRecord* front = Make(6, Rect16{150, 300, 250, 500});
    HWND client = MdiClientHandle();
    auto centreOf = [&](HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&r), 2);
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    ASSERT_EQ(HWND(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)), NativeWindowOf(front));
    SendMessageA(client, WM_PARENTNOTIFY, WM_LBUTTONDOWN, centreOf(NativeWindowOf(back)));
    EXPECT_EQ(HWND(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)), NativeWindowOf(front));
    // A child of another owner is the MDI client's to bring forward.
    HWND other = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 600, 400, 60, 60, client,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowPos(other, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(client, WM_PARENTNOTIFY, WM_LBUTTONDOWN, centreOf(other));
    EXPECT_EQ(GetWindow(client, GW_CHILD), other);
    DestroyWindow(other);
}

} // namespace
