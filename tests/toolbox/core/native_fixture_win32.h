// Test support for native windows under Wine: the heap, the system input
// source, the shared frame and the window layer's hooks (which fixtures of
// the portable tests reset to their defaults).
#pragma once
#include <windowsx.h>

#include <gtest/gtest.h>

#include <vector>

#include "toolbox/core/heap.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/osinput.h"

inline bool PrepareNativeWindowTest() {
    MemInit(0, -1);
    SetHeapErrorHandler(&SilentHeapErrorHandler);
    SetOsInputSource(nullptr);
    if (!CreateMainFrame()) return false;
    InstallNativeWindowHooks();
    return true;
}

// The system's tracking loops read the point each message carries. A posted
// message carries the cursor where the system last saw it, and the cursor is
// shared by everything on the desktop: other processes move it, and the
// display server reports crossings and motions of the pointer late (a window
// destroyed or shown under the pointer), resetting it after a move. So the
// points a test hands to a loop do not come from the cursor: each queued
// message is listed with its screen point, and a message filter on the
// thread gives the loop the listed point as it reads the message. While
// listed messages are pending the loop reads only those, in order; any other
// mouse message (input the desktop delivers meanwhile) is passed over.
inline constexpr DWORD kPointSettleMs = 5000;
inline constexpr UINT kPressMarker = WM_APP + 0x51;

struct QueuedPoint {
    HWND window;
    UINT message;
    POINT screen;
};

inline std::vector<QueuedPoint>& QueuedPoints() {
    static std::vector<QueuedPoint> points;
    return points;
}

inline HHOOK& QueuedPointFilter() {
    static HHOOK hook = nullptr;
    return hook;
}

inline LRESULT CALLBACK GiveQueuedPoint(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    std::vector<QueuedPoint>& points = QueuedPoints();
    if (code >= 0 && !points.empty() && msg->message >= WM_MOUSEFIRST &&
        msg->message <= WM_MOUSELAST) {
        const QueuedPoint& next = points.front();
        if (msg->hwnd != next.window || msg->message != next.message) return TRUE;
        msg->pt = next.screen;
        points.erase(points.begin());
    }
    return CallNextHookEx(QueuedPointFilter(), code, wParam, lParam);
}

// Ends the listing: the filter goes and nothing stays listed.
inline void ForgetQueuedPoints() {
    QueuedPoints().clear();
    if (QueuedPointFilter()) UnhookWindowsHookEx(QueuedPointFilter());
    QueuedPointFilter() = nullptr;
}

inline bool SamePoint(POINT a, POINT b) {
    return a.x == b.x && a.y == b.y;
}

inline void DropQueued(HWND window, UINT message) {
    MSG msg;
    while (PeekMessageA(&msg, window, message, message, PM_REMOVE)) {
    }
}

// Queues the end of a drag for the next tracking loop: a move to the screen
// point `end`, then the release there.
inline bool QueueDragEnd(HWND window, POINT end, WPARAM buttons) {
    DropQueued(window, WM_MOUSEMOVE);
    DropQueued(window, WM_LBUTTONUP);
    QueuedPoints().clear();
    if (!QueuedPointFilter())
        QueuedPointFilter() =
            SetWindowsHookExA(WH_MSGFILTER, &GiveQueuedPoint, nullptr, GetCurrentThreadId());
    if (!QueuedPointFilter()) return false;
    POINT local = end;
    ScreenToClient(window, &local);
    LPARAM at = MAKELPARAM(local.x, local.y);
    QueuedPoints().push_back(QueuedPoint{window, WM_MOUSEMOVE, end});
    QueuedPoints().push_back(QueuedPoint{window, WM_LBUTTONUP, end});
    return PostMessageA(window, WM_MOUSEMOVE, buttons, at) &&
           PostMessageA(window, WM_LBUTTONUP, 0, at);
}

// Makes `at` the point of the last message the thread read, as a press read
// there leaves it: the system's sizing loop measures the drag from it.
inline bool ReadPressAt(HWND window, POINT at) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kPointSettleMs;) {
        SetCursorPos(at.x, at.y);
        PostMessageA(window, kPressMarker, 0, 0);
        MSG read;
        if (!PeekMessageA(&read, window, kPressMarker, kPressMarker, PM_REMOVE)) continue;
        DWORD pos = GetMessagePos();
        if (SamePoint(POINT{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)}, at)) return true;
    }
    return false;
}

// A shown frame of 1000 x 800; the windows made through Make are disposed
// at the end of the case.
class ShownFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMainFrameParameters(nullptr, 0, 0, 0, 1000, 800, true);
        ASSERT_TRUE(PrepareNativeWindowTest());
        ShowWindow(FrameWindowHandle(), SW_SHOW);
        MessagePump();
    }
    void TearDown() override {
        ForgetQueuedPoints();
        for (NativeWindowRecord* r : made_)
            DisposeNativeWindow(r);
        MessagePump();
        OsEventQueueReset();
    }
    NativeWindowRecord* Make(int32_t type, uint32_t options, Rect16 box) {
        NativeWindowRecord* record = nullptr;
        EXPECT_EQ(CreateNativeWindowOfType(type, options, &box, &record), 0);
        if (record) made_.push_back(record);
        return record;
    }
    std::vector<NativeWindowRecord*> made_;
};
