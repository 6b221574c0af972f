// Native windows under Wine: real windows, real messages, one shared frame.
#include "toolbox/core/nativewindow_win32.h"

#include <gtest/gtest.h>

#include "native_fixture_win32.h"

#include <string>

#include "toolbox/core/heap.h"
#include "toolbox/core/keycommand.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/osinput_win32.h"
#include "toolbox/core/startuprequest.h"
#include "toolbox/core/windowclass.h"

namespace {

class NativeWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(PrepareNativeWindowTest());
        MessagePump();
        OsEventQueueReset();
    }
    void TearDown() override {
        for (NativeWindowRecord* r : made_)
            DisposeNativeWindow(r);
        MessagePump();
        OsEventQueueReset();
    }
    NativeWindowRecord* Make(int32_t type, uint32_t options) {
        Rect16 box{40, 40, 240, 340};
        NativeWindowRecord* record = nullptr;
        EXPECT_EQ(CreateNativeWindowOfType(type, options, &box, &record), 0);
        if (record) made_.push_back(record);
        return record;
    }
    static std::string ClassOf(HWND window) {
        char name[128] = {};
        GetClassNameA(window, name, sizeof(name));
        return name;
    }
    std::vector<NativeWindowRecord*> made_;
};

int CountLayerProps(HWND window) {
    int count = 0;
    EnumPropsExA(
        window,
        [](HWND, LPSTR name, HANDLE, ULONG_PTR data) -> BOOL {
            if (!IS_INTRESOURCE(name) && std::string(name).rfind("TBW", 0) == 0)
                ++*reinterpret_cast<int*>(data);
            return TRUE;
        },
        reinterpret_cast<ULONG_PTR>(&count));
    return count;
}

TEST_F(NativeWindows, FrameAndMdiClient) {
    HWND frame = FrameWindowHandle();
    HWND client = MdiClientHandle();
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(ClassOf(frame), kFrameClassName);
    char title[80] = {};
    GetWindowTextA(frame, title, sizeof(title));
    EXPECT_STREQ(title, "Vud2Ave Application");
    // The MDI client drops its scroll bars while nothing lies outside it.
    uint32_t noScrollBars = kMdiClientStyle & ~uint32_t(WS_HSCROLL | WS_VSCROLL);
    EXPECT_EQ(uint32_t(GetWindowLongA(client, GWL_STYLE)) & noScrollBars, noScrollBars);
    EXPECT_EQ(GetRecordIdProperty(frame), uintptr_t(GetCurrentProcessId()));
    EXPECT_EQ(GetRecordIdProperty(client), uintptr_t(GetCurrentProcessId()));
    EXPECT_TRUE(CreateMainFrame()); // exists: nothing new
    EXPECT_EQ(FrameWindowHandle(), frame);
}

TEST_F(NativeWindows, DocumentClassRegisteredOnceAndReused) {
    NativeWindowRecord* a = Make(6, 0);
    NativeWindowRecord* b = Make(6, 0);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(ClassOf(NativeWindowOf(a)), "plv_MDIDocClass_-1_no_close");
    EXPECT_EQ(ClassOf(NativeWindowOf(b)), ClassOf(NativeWindowOf(a)));
    EXPECT_TRUE(IsMdiChildWindow(NativeWindowOf(a)));
    EXPECT_EQ(GetDlgCtrlID(NativeWindowOf(a)), int(kMdiFirstChildId));
    NativeWindowRecord* closable = Make(6, kOptionCloseBox);
    EXPECT_EQ(ClassOf(NativeWindowOf(closable)), "plv_MDIDocClass_-1");
    EXPECT_EQ(GetClassLongA(NativeWindowOf(a), GCL_STYLE) & kClassStyleNoClose, kClassStyleNoClose);
    NativeWindowRecord* floating = Make(5, 0);
    EXPECT_EQ(ClassOf(NativeWindowOf(floating)), "plv_FloatClass_no_close");
    NativeWindowRecord* dialog = Make(4, kOptionCloseBox);
    EXPECT_EQ(ClassOf(NativeWindowOf(dialog)), "plv_DialogClass");
    // Types 1 to 3 never carry a close box.
    EXPECT_EQ(ClassOf(NativeWindowOf(Make(2, kOptionCloseBox))), "plv_DialogClass_no_close");
    EXPECT_FALSE(IsMdiChildWindow(NativeWindowOf(dialog)));
}

TEST_F(NativeWindows, SystemMenuRemovedOrTrimmed) {
    NativeWindowRecord* bare = Make(2, 0);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(GetWindowLongA(NativeWindowOf(bare), GWL_STYLE) & WS_SYSMENU, 0);
    NativeWindowRecord* closable = Make(4, kOptionCloseBox);
    HWND window = NativeWindowOf(closable);
    ASSERT_NE(GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU, 0);
    HMENU menu = GetSystemMenu(window, FALSE);
    ASSERT_NE(menu, nullptr);
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        UINT id = GetMenuItemID(menu, i);
        EXPECT_NE(id, UINT(SC_SIZE));
        EXPECT_NE(id, UINT(SC_MINIMIZE));
        EXPECT_NE(id, UINT(SC_MAXIMIZE));
        EXPECT_NE(id, UINT(SC_RESTORE));
    }
    if (count > 0) {
        EXPECT_EQ(GetMenuState(menu, UINT(count - 1), MF_BYPOSITION) & MF_SEPARATOR, 0u);
    }
}

TEST_F(NativeWindows, SizingFrameGetsTheSizeBox) {
    NativeWindowRecord* sizing = Make(4, kOptionSizing | kOptionCloseBox);
    ASSERT_NE(sizing, nullptr);
    HWND box = GetDlgItem(NativeWindowOf(sizing), kSizeBoxId);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box, sizing->sizeBox);
    EXPECT_EQ(_stricmp(ClassOf(box).c_str(), "Scrollbar"), 0);
    EXPECT_EQ(uint32_t(GetWindowLongA(box, GWL_STYLE)) & kSizeBoxStyle, kSizeBoxStyle);
    NativeWindowRecord* plain = Make(4, kOptionCloseBox);
    EXPECT_EQ(GetDlgItem(NativeWindowOf(plain), kSizeBoxId), nullptr);
}

HWND g_watched = nullptr;
int g_propsAtDestroy = -1;

LRESULT CALLBACK WatchDestroy(int code, WPARAM wParam, LPARAM lParam) {
    auto* info = reinterpret_cast<CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && info->hwnd == g_watched && info->message == WM_DESTROY)
        g_propsAtDestroy = CountLayerProps(info->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(NativeWindows, PropertiesSetAtCreationGoneAtDestroy) {
    NativeWindowRecord* record = Make(2, kOptionCloseBox);
    HWND window = NativeWindowOf(record);
    EXPECT_EQ(GetWindowObjectProperty(window), record);
    EXPECT_EQ(GetRecordIdProperty(window), uintptr_t(GetCurrentProcessId()));
    EXPECT_TRUE(SetWindowDisabled(window, false));
    EXPECT_FALSE(SetWindowDisabled(window, false));
    EXPECT_FALSE(IsWindowEnabled(window));
    EXPECT_EQ(CountLayerProps(window), 3);
    EXPECT_FALSE(SetWindowDisabled(window, true));
    EXPECT_FALSE(IsWindowEnabled(window));
    EXPECT_FALSE(SetWindowDisabled(window, true));
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_TRUE(SetWindowDisabled(window, true)); // at 0: nothing changes
    EXPECT_TRUE(IsWindowEnabled(window));
    SetPropA(window, "TBWEXTRA", reinterpret_cast<HANDLE>(1));
    SetPropA(window, "OTHER", reinterpret_cast<HANDLE>(1));
    g_watched = window;
    g_propsAtDestroy = -1;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, &WatchDestroy, nullptr, GetCurrentThreadId());
    made_.clear();
    DisposeNativeWindow(record);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_propsAtDestroy, 0);
}

TEST_F(NativeWindows, EraseOnlyWhileAllowedAndFloatingNeverActivates) {
    NativeWindowRecord* dialog = Make(2, kOptionCloseBox);
    HWND window = NativeWindowOf(dialog);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 400, 300);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(SendMessageA(window, WM_ERASEBKGND, WPARAM(dc), 0), 0);
    RaiseEraseAllowed();
    SetNativeEraseColour(dialog, int16_t(0xFF00), 0, 0);
    EXPECT_EQ(SendMessageA(window, WM_ERASEBKGND, WPARAM(dc), 0), 1);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(0xFF, 0, 0));
    LowerEraseAllowed();
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);

    NativeWindowRecord* floating = Make(5, kOptionCloseBox);
    EXPECT_NE(floating->options & kOptionNeverActivates, 0u);
    EXPECT_EQ(SendMessageA(NativeWindowOf(floating), WM_MOUSEACTIVATE, WPARAM(FrameWindowHandle()),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    EXPECT_NE(SendMessageA(window, WM_MOUSEACTIVATE, WPARAM(FrameWindowHandle()),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
}

TEST_F(NativeWindows, MessagesBecomeLowLevelEvents) {
    NativeWindowRecord* dialog = Make(2, kOptionCloseBox);
    HWND window = NativeWindowOf(dialog);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(GetCapture(), window);
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageA(window, WM_CHAR, 'a', 0);
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, uint16_t(int16_t(-120))), 0);
    OsEventRecord r;
    ASSERT_TRUE(FindQueuedOsEvent(kOsMaskEvery, &r, 0, false, true));
    EXPECT_EQ(r.what, kOsWhatMouseDown);
    ASSERT_TRUE(FindQueuedOsEvent(kOsMaskEvery, &r, 0, false, true));
    EXPECT_EQ(r.what, kOsWhatMouseUp);
    ASSERT_TRUE(FindQueuedOsEvent(kOsMaskEvery, &r, 0, false, true));
    EXPECT_EQ(r.what, kOsWhatKeyDown);
    EXPECT_EQ(r.message & 0xFF, uintptr_t('a'));
    ASSERT_TRUE(FindQueuedOsEvent(kOsMaskEvery, &r, 0, false, true));
    EXPECT_EQ(r.what, kOsWhatWheel);
    EXPECT_EQ(int32_t(uint32_t(r.message)), -120);
}

} // namespace

namespace {

TEST_F(NativeWindows, AcceleratorCommandsPostTheKeyCommandsKey) {
    ClearKeyCommands();
    ASSERT_EQ(KeyCommandRegister('K', kKeyCommandControl, 7), 0);
    SendMessageA(FrameWindowHandle(), WM_COMMAND, MAKEWPARAM(13000, 1), 0);
    OsEventRecord r;
    ASSERT_TRUE(FindQueuedOsEvent(kOsMaskKeyDown, &r, 0, false, true));
    EXPECT_EQ(r.message, uintptr_t('K' << 8));
    EXPECT_EQ(r.modifiers & kKeyCommandRecordBits, kRecordControlBit);
    ClearKeyCommands();
}

TEST_F(NativeWindows, AControlsKeysGoToItsOwnerWhenTheControlLayerSaysSo) {
    NativeWindowRecord* dialog = Make(4, kOptionCloseBox);
    HWND owner = NativeWindowOf(dialog);
    HWND child = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, owner,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(child, nullptr);
    static int control = 0;
    SetPropA(child, "TBWCNTRL", &control);
    static bool redirect = false;
    static HWND ownerWindow = nullptr;
    ownerWindow = owner;
    SetControlKeyOwnerProc(
        [](void* c, bool) { return redirect && c == &control ? ownerWindow : HWND(nullptr); });
    OsEventRecord found{};
    for (bool on : {false, true}) {
        redirect = on;
        OsEventQueueReset();
        SetFocus(child);
        PostMessageA(child, WM_CHAR, 'q', 0);
        MessagePump();
        // Only the owner's procedure makes key events of it.
        EXPECT_EQ(FindQueuedOsEvent(kOsMaskKeyDown | kOsMaskAutoKey, &found, 0, false, false), on)
            << on;
    }
    SetControlKeyOwnerProc(nullptr);
    RemovePropA(child, "TBWCNTRL");
    DestroyWindow(child);
}

} // namespace
