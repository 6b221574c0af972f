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

// The system's tracking loops read the point each message carries. A posted
// message carries the cursor where the system last saw it, and the display
// server reports crossings and motions of the pointer asynchronously: one
// reported before the cursor was moved (a window destroyed or shown under the
// pointer) can reset the system's cursor after the move. So every point a
// test hands to a loop is read back from the message itself before the loop
// runs, and the message is posted again until it carries that point.
inline constexpr DWORD kPointSettleMs = 5000;
inline constexpr UINT kPressMarker = WM_APP + 0x51;

inline bool SamePoint(POINT a, POINT b) {
    return a.x == b.x && a.y == b.y;
}

inline void DropQueued(HWND window, UINT message) {
    MSG msg;
    while (PeekMessageA(&msg, window, message, message, PM_REMOVE)) {
    }
}

// Queues the end of a drag for the next tracking loop: a move carrying the
// screen point `end`, then the release.
inline bool QueueDragEnd(HWND window, POINT end, WPARAM buttons) {
    DropQueued(window, WM_MOUSEMOVE);
    DropQueued(window, WM_LBUTTONUP);
    POINT local = end;
    ScreenToClient(window, &local);
    LPARAM at = MAKELPARAM(local.x, local.y);
    for (DWORD start = GetTickCount(); GetTickCount() - start < kPointSettleMs;) {
        SetCursorPos(end.x, end.y);
        PostMessageA(window, WM_MOUSEMOVE, buttons, at);
        MSG queued;
        if (PeekMessageA(&queued, window, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE) &&
            SamePoint(queued.pt, end)) {
            PostMessageA(window, WM_LBUTTONUP, 0, at);
            return true;
        }
        DropQueued(window, WM_MOUSEMOVE);
    }
    return false;
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
