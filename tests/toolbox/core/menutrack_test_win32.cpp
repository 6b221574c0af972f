// Menu tracking under Wine with real menus and the system's menu loop.
// Cases that run the loop run one per process: the parent case starts
// this test program again for the child case alone and checks its exit
// code; the child has its own watchdog. Input is posted before tracking
// starts, so the system's loop reads it as the user's keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "native_fixture_win32.h"
#include "toolbox/core/eventconvert.h"
#include "toolbox/core/heap.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/icon_win32.h"
#include "toolbox/core/menubar.h"
#include "toolbox/core/menucommands.h"
#include "toolbox/core/menutrack_win32.h"
#include "toolbox/core/osinput.h"

namespace {

constexpr char kChildVariable[] = "PLV_MENU_CHILD";
constexpr DWORD kChildWatchdogMs = 20000;
constexpr DWORD kParentWaitMs = 30000;
constexpr int kWatchdogExit = 3;
constexpr int kCheckFailedExit = 4;
constexpr int16_t kPopId = 9300;
constexpr int kSettleRounds = 4;
constexpr DWORD kSettleMs = 50;

bool IsChild(const char* name) {
    char value[64] = {};
    return GetEnvironmentVariableA(kChildVariable, value, sizeof(value)) > 0 &&
           std::string(value) == name;
}

DWORD WINAPI Watchdog(LPVOID) {
    Sleep(kChildWatchdogMs);
    std::fprintf(stderr, "watchdog: the case did not end\n");
    ExitProcess(kWatchdogExit);
}

int RunChild(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string command = std::string("\"") + path + "\" --gtest_filter=WineMenuChild." + name;
    SetEnvironmentVariableA(kChildVariable, name);
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    BOOL made = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi);
    SetEnvironmentVariableA(kChildVariable, nullptr);
    if (!made) return -1;
    DWORD code = 0;
    if (WaitForSingleObject(pi.hProcess, kParentWaitMs) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, kWatchdogExit);
        code = DWORD(-2);
    } else {
        GetExitCodeProcess(pi.hProcess, &code);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return int(code);
}

// What the handlers saw.
struct Seen {
    std::vector<uint32_t> appKinds; // 'menu' kinds at the application level
    uint32_t trackingMode = 0;
    uint32_t startContext = 0;
    int openings = 0;
    int commands = 0;
    EventCommandRecord command{};
    uint32_t commandContext = 0;
    int32_t startReply = kEventNotHandled;
    int32_t commandReply = kEventNotHandled;
    bool trackedDuring = false;
} g_seen;

POINT g_cursorBefore{0, 0};

// Ends the child with the pointer back where it was (tracking nudges it)
// and its frame gone, and lets the desktop settle first, so later cases
// that read real input find it as they expect.
[[noreturn]] void EndChild(int code) {
    POINT now{};
    GetCursorPos(&now);
    if (now.x != g_cursorBefore.x || now.y != g_cursorBefore.y)
        SetCursorPos(g_cursorBefore.x, g_cursorBefore.y);
    if (HWND frame = FrameWindowHandle()) DestroyWindow(frame);
    for (int round = 0; round < kSettleRounds; ++round) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(kSettleMs);
    }
    ExitProcess(UINT(code));
}

// Where popups open: MDI-client coordinates on the side of the screen the
// pointer is not on, so the pointer never rests on an item.
Point16 g_popupAt{200, 200};

EventReceiver g_focus{kReceiverWindow, nullptr, nullptr, 0};
EventReceiver* TestFocus() {
    return &g_focus;
}

int32_t AppHandler(EventCallRef*, EventObject event, void*) {
    if ((*event)->eventClass != kEventClassMenu) return kEventNotHandled;
    g_seen.appKinds.push_back((*event)->kind);
    if ((*event)->kind == kMenuEventTrackingStarts) {
        EventParamGet(event, kParamMenuTrackingMode, FourCC("mtmd"), sizeof g_seen.trackingMode,
                      &g_seen.trackingMode);
        EventParamGet(event, kParamMenuContext, FourCC("magn"), sizeof g_seen.startContext,
                      &g_seen.startContext);
        g_seen.trackedDuring = MenuBeingTracked();
        return g_seen.startReply;
    }
    return kEventNotHandled;
}

int32_t OpeningHandler(EventCallRef*, EventObject event, void*) {
    if ((*event)->kind == kMenuEventOpening) ++g_seen.openings;
    return kEventNotHandled;
}

int32_t CommandHandler(EventCallRef*, EventObject event, void*) {
    ++g_seen.commands;
    EventParamGet(event, kEventParamDirectObject, FourCC("hcmd"), sizeof g_seen.command,
                  &g_seen.command);
    EventParamGet(event, kParamMenuContext, FourCC("magn"), sizeof g_seen.commandContext,
                  &g_seen.commandContext);
    return g_seen.commandReply;
}

// Frame, hook and handlers; a popup "Pop" with the given items.
MenuRecord* StartChild(std::initializer_list<const char*> items) {
    CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr);
    GetCursorPos(&g_cursorBefore);
    SetMainFrameParameters(nullptr, 0, 40, 40, 900, 700, true);
    if (!PrepareNativeWindowTest()) EndChild(kCheckFailedExit);
    InstallMenuHook();
    EventReceiverAppendHandler(ApplicationLevelReceiver(), &AppHandler);
    SetFocusReceiverProvider(&TestFocus);
    EventReceiverPushHandler(&g_focus, &CommandHandler, 0, nullptr, nullptr, nullptr);
    if (g_cursorBefore.x < GetSystemMetrics(SM_CXSCREEN) / 2) g_popupAt.h = 700;
    MenuRecord* menu = NewMenuWithTitle(kPopId, "Pop");
    for (const char* text : items)
        InsertMenuItemText(menu, text, -1);
    EventReceiverPushHandler(&menu->receiver, &OpeningHandler, 0, nullptr, nullptr, nullptr);
    return menu;
}

void PostKeys(std::initializer_list<WPARAM> keys) {
    for (WPARAM key : keys) {
        PostMessageA(FrameWindowHandle(), WM_KEYDOWN, key, 1);
        PostMessageA(FrameWindowHandle(), WM_KEYUP, key, 0xC0000001);
    }
}

bool CommandLeftInQueue() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_COMMAND, WM_COMMAND, PM_NOREMOVE) ||
           PeekMessageA(&msg, nullptr, WM_MENUCOMMAND, WM_MENUCOMMAND, PM_NOREMOVE);
}

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "check failed: %s\n", what);
    EndChild(kCheckFailedExit);
}

TEST(WineMenuChild, PopupChoiceByArrowKeys) {
    if (!IsChild("PopupChoiceByArrowKeys")) GTEST_SKIP() << "runs in its own process";
    MenuRecord* menu = StartChild({"Alpha", "Beta", "-", "Gamma"});
    SetMenuItemCommand(menu, 2, 4242);
    SetMenuItemKey(menu, 2, 'B');
    PostKeys({VK_DOWN, VK_DOWN, VK_RETURN});
    POINT before{}, after{};
    GetCursorPos(&before);
    uint32_t choice = TrackPopupMenuAt(menu, g_popupAt.v, g_popupAt.h, 2);
    GetCursorPos(&after);
    Check(after.x == before.x && after.y == before.y + 1, "the pointer is nudged one pixel down");
    std::printf("choice %08x, kinds %zu, openings %d\n", choice, g_seen.appKinds.size(),
                g_seen.openings);
    Check(choice == ((uint32_t(kPopId) << 16) | 2), "the second item is chosen");
    // The menu's own 'menu' 8 passes on to the application level between.
    Check(g_seen.appKinds == std::vector<uint32_t>{kMenuEventTrackingStarts, kMenuEventOpening,
                                                   kMenuEventTrackingEnds},
          "'menu' 1, 8, then 2");
    Check(g_seen.trackingMode == 1 && g_seen.startContext == kMenuContextPopup, "'cmtm' 1, popup");
    Check(g_seen.openings == 1, "one 'menu' 8");
    Check(g_seen.commands == 1 && g_seen.command.command == 4242 && g_seen.command.item == 2 &&
              g_seen.command.menu == menu && g_seen.commandContext == kMenuContextPopup,
          "'cmds' 1 with the item's command");
    Check(!CommandLeftInQueue(), "no menu command left to dispatch");
    Check(menu->width > 0, "the menu was measured");
    Check(!MenuBeingTracked() && MenuTrackingState().context == 0, "tracking over");
    // A second tracking opens the menu again: one more 'menu' 8.
    PostKeys({VK_ESCAPE});
    Check(TrackPopupMenuAt(menu, g_popupAt.v, g_popupAt.h, 1) == 0, "escape gives no choice");
    Check(g_seen.openings == 2 && g_seen.commands == 1, "the next tracking opens it again");
    Check(g_seen.trackedDuring, "a menu is being tracked inside the loop");
    // The loop's hooks: the command key of a bar menu, the menu update.
    InsertMenuInBar(menu, 0);
    EventObject key = nullptr;
    EventObjectNew(kEventClassKeyboard, kKeyDownKind, &key);
    uint8_t character = 'b';
    uint32_t modifiers = kMenuKeyControl;
    EventParamSet(key, kParamKeyChar, FourCC("TEXT"), 1, &character);
    EventParamSet(key, kParamModifiers, FourCC("magn"), sizeof modifiers, &modifiers);
    Check(LoopHooks().menuCommandKey(key), "Ctrl+B is Beta's key");
    EventObjectRelease(key);
    Check(g_seen.commands == 2 && g_seen.command.command == 4242 &&
              g_seen.commandContext == (kMenuContextCommandKey | kMenuContextAllMenus),
          "the key's command goes out");
    SetMenuItemEnabled(menu, 0, false);
    CurrentPortHooks().updateMenus();
    Check(MenuItemEnabled(menu, 0), "the menus brought up to date after the last window closed");
    EndChild(0);
}

TEST(WineMenuChild, CancelReplyEndsTracking) {
    if (!IsChild("CancelReplyEndsTracking")) GTEST_SKIP() << "runs in its own process";
    MenuRecord* menu = StartChild({"Alpha", "Beta"});
    g_seen.startReply = kMenuTrackingCancel;
    Check(TrackPopupMenuAt(menu, g_popupAt.v, g_popupAt.h, 1) == 0, "no choice");
    Check(g_seen.commands == 0 && !CommandLeftInQueue(), "nothing chosen");
    // An extra system-menu item hilited, then its system command: the
    // command goes out for the system menu (menu and command -1).
    HWND frame = FrameWindowHandle();
    HMENU system = GetSystemMenu(frame, FALSE);
    Check(AddSystemMenuItems("Extra", 777), "an extra item");
    UINT last = UINT(GetMenuItemCount(system) - 1);
    MENUITEMINFOA hilite{};
    hilite.cbSize = sizeof hilite;
    hilite.fMask = MIIM_STATE;
    hilite.fState = MFS_HILITE;
    SetMenuItemInfoA(system, last, TRUE, &hilite);
    SendMessageA(frame, WM_ENTERMENULOOP, FALSE, 0);
    SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(kSystemMenuItemId, MF_SYSMENU),
                 reinterpret_cast<LPARAM>(system));
    SendMessageA(frame, WM_SYSCOMMAND, kSystemMenuItemId, 0);
    SendMessageA(frame, WM_EXITMENULOOP, FALSE, 0);
    Check(g_seen.commands == 1 && g_seen.command.command == uint32_t(-1) &&
              g_seen.command.menu == reinterpret_cast<void*>(intptr_t(-1)) &&
              g_seen.command.item == 777,
          "the system-menu item's command");
    EndChild(0);
}

TEST(WineMenuChild, DisabledMenuAndHandledCommandGiveNoChoice) {
    if (!IsChild("DisabledMenuAndHandledCommandGiveNoChoice"))
        GTEST_SKIP() << "runs in its own process";
    MenuRecord* menu = StartChild({"Alpha", "Beta"});
    SetMenuItemEnabled(menu, 0, false);
    PostKeys({VK_DOWN, VK_RETURN});
    Check(TrackPopupMenuAt(menu, g_popupAt.v, g_popupAt.h, 1) == 0, "a disabled menu gives 0");
    Check(g_seen.commands == 0 && !CommandLeftInQueue(), "no command from a disabled menu");
    SetMenuItemEnabled(menu, 0, true);
    g_seen.commandReply = 0;
    PostKeys({VK_DOWN, VK_RETURN});
    Check(TrackPopupMenuAt(menu, g_popupAt.v, g_popupAt.h, 1) == 0, "a handled command gives 0");
    Check(g_seen.commands == 1 && MenuHilitedTitle() == 0, "handled, title unhilited");
    EndChild(0);
}

TEST(WineMenuChild, MnemonicAndArrowsInAnAllDisabledMenu) {
    if (!IsChild("MnemonicAndArrowsInAnAllDisabledMenu")) GTEST_SKIP() << "runs in its own process";
    MenuRecord* menu = StartChild({"Alpha", "E&xit"});
    PostMessageA(FrameWindowHandle(), WM_CHAR, 'x', 1);
    uint32_t choice = TrackPopupMenuAt(menu, g_popupAt.v, g_popupAt.h, 1);
    std::printf("mnemonic choice %08x\n", choice);
    Check(choice == ((uint32_t(kPopId) << 16) | 2), "'x' picks E&xit");
    DisableMenuItemAt(menu, 1);
    DisableMenuItemAt(menu, 2);
    PostKeys({VK_DOWN, VK_DOWN, VK_ESCAPE});
    Check(TrackPopupMenuAt(menu, g_popupAt.v, g_popupAt.h, 1) == 0,
          "nothing enabled, nothing chosen");
    EndChild(0);
}

TEST(WineMenuChild, MenuBarClickChoosesFromTheBar) {
    if (!IsChild("MenuBarClickChoosesFromTheBar")) GTEST_SKIP() << "runs in its own process";
    MenuRecord* menu = StartChild({"Alpha", "Beta"});
    InsertMenuInBar(menu, 0);
    HWND frame = FrameWindowHandle();
    DrawMenuBar(frame);
    RECT title{};
    Check(GetMenuItemRect(frame, reinterpret_cast<HMENU>(MenuBarNative()), 0, &title) != 0,
          "the title has a place");
    POINT at{(title.left + title.right) / 2, (title.top + title.bottom) / 2};
    ScreenToClient(frame, &at);
    PostKeys({VK_DOWN, VK_RETURN});
    uint32_t choice = MenuBarClick(Point16{int16_t(at.y), int16_t(at.x)});
    std::printf("bar choice %08x\n", choice);
    Check(choice == ((uint32_t(kPopId) << 16) | 1), "the first item is chosen");
    Check(g_seen.startContext == kMenuContextBar && g_seen.commandContext == kMenuContextBar,
          "bar context");
    Check(MenuHilitedTitle() == kPopId, "the title stays hilited for the caller");
    Check(!CommandLeftInQueue(), "no menu command left to dispatch");
    // A point outside the bar tracks nothing.
    Check(MenuBarClick(Point16{300, 300}) == 0, "no bar there");
    EndChild(0);
}

// The arrow keys of a program menu opened from the bar move the selection
// (under Wine by its own handling) and the loop ends.
TEST(WineMenuChild, BarArrowKeysMoveTheSelection) {
    if (!IsChild("BarArrowKeysMoveTheSelection")) GTEST_SKIP() << "runs in its own process";
    MenuRecord* menu = StartChild({"Alpha", "Beta", "Gamma"});
    InsertMenuInBar(menu, 0);
    HWND frame = FrameWindowHandle();
    DrawMenuBar(frame);
    RECT title{};
    GetMenuItemRect(frame, reinterpret_cast<HMENU>(MenuBarNative()), 0, &title);
    POINT at{(title.left + title.right) / 2, (title.top + title.bottom) / 2};
    ScreenToClient(frame, &at);
    PostKeys({VK_DOWN, VK_DOWN, VK_RETURN});
    uint32_t choice = MenuBarClick(Point16{int16_t(at.y), int16_t(at.x)});
    Check(choice == ((uint32_t(kPopId) << 16) | 2), "arrow-down twice picks the second item");
    PostKeys({VK_DOWN, VK_UP, VK_RETURN}); // up from the first wraps to the last
    choice = MenuBarClick(Point16{int16_t(at.y), int16_t(at.x)});
    Check(choice == ((uint32_t(kPopId) << 16) | 3), "arrow-up wraps to the last item");
    EndChild(0);
}

class WineMenus : public ::testing::Test {};

TEST_F(WineMenus, TrackingCases) {
    for (const char* name :
         {"PopupChoiceByArrowKeys", "CancelReplyEndsTracking",
          "DisabledMenuAndHandledCommandGiveNoChoice", "MnemonicAndArrowsInAnAllDisabledMenu",
          "MenuBarClickChoosesFromTheBar", "BarArrowKeysMoveTheSelection"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(RunChild(name), 0);
    }
}

// In-process cases: no loop runs.
class MenuItemsWin32 : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(PrepareNativeWindowTest());
        InstallMenuFonts();
        InstallIconLoader();
    }
    void TearDown() override {
        while (MenuRecordList())
            DisposeMenuRecord(MenuRecordList());
        SetMenuFontProcs(nullptr);
        PurgeIconCache();
        SetIconLoaderProcs(nullptr);
    }
    static uintptr_t DataOf(MenuRecord* menu, int32_t position) {
        NativeMenuItem item;
        NativeMenuRead(menu->native, position - 1, item);
        return item.data;
    }
};

TEST_F(MenuItemsWin32, MeasureReportsWidthLessTheCheckColumn) {
    MenuRecord* menu = NewMenuWithTitle(kPopId, "Pop");
    for (const char* text : {"Alpha", "-", "A much longer item`L"})
        InsertMenuItemText(menu, text, -1);
    MEASUREITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemData = DataOf(menu, 1);
    ASSERT_TRUE(MeasureMenuItem(&item));
    ASSERT_GT(menu->width, 0);
    EXPECT_EQ(int32_t(item.itemWidth), menu->width - GetSystemMetrics(SM_CXMENUCHECK) - 1);
    EXPECT_EQ(int32_t(item.itemHeight), MenuRowHeight(menu));
    EXPECT_GT(menu->keyColumn, 0);
    EXPECT_LT(menu->keyColumn, menu->width);
    item.itemData = DataOf(menu, 2);
    ASSERT_TRUE(MeasureMenuItem(&item));
    EXPECT_EQ(int32_t(item.itemHeight),
              MenuItemHeight(menu->metrics, menu->flags, true, false)); // separator
    // A change of measurement asks again.
    SetMenuMinWidth(menu, 900);
    EXPECT_EQ(menu->width, 0);
    item.itemData = DataOf(menu, 1);
    ASSERT_TRUE(MeasureMenuItem(&item));
    EXPECT_EQ(menu->width, 900);
    // Items of other menus are not ours.
    uint16_t foreign = 1;
    item.itemData = reinterpret_cast<uintptr_t>(&foreign);
    EXPECT_FALSE(MeasureMenuItem(&item));
}

TEST_F(MenuItemsWin32, DrawFillsTheSelectedItemAndWritesItsText) {
    MenuRecord* menu = NewMenuWithTitle(kPopId, "Pop");
    InsertMenuItemText(menu, "Wide text here", -1);
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemData = DataOf(menu, 1);
    ASSERT_TRUE(MeasureMenuItem(&measure));
    constexpr int kW = 200, kH = 40;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kW, -kH, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    auto pixel = [&](int x, int y) {
        uint32_t v = static_cast<uint32_t*>(bits)[y * kW + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    };
    auto draw = [&](UINT action, UINT state) {
        RECT all{0, 0, kW, kH};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_MENU;
        item.itemAction = action;
        item.itemState = state;
        item.hDC = dc;
        item.rcItem = RECT{0, 0, kW, MenuRowHeight(menu)};
        item.itemData = DataOf(menu, 1);
        bool ok = DrawMenuItem(&item);
        GdiFlush();
        return ok;
    };
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    ASSERT_TRUE(draw(ODA_SELECT, ODS_SELECTED));
    EXPECT_EQ(pixel(1, 1), highlight);
    EXPECT_EQ(pixel(kW - 1, 1), RGB(255, 255, 255)); // the right 2 pixels are left
    int texts = 0;
    for (int x = 0; x < kW; ++x)
        for (int y = 0; y < MenuRowHeight(menu); ++y)
            texts += pixel(x, y) == GetSysColor(COLOR_HIGHLIGHTTEXT);
    EXPECT_GT(texts, 10);
    // An item's icon sits at the indent of items without one.
    SetMenuItemIcon(menu, 1, kSystemIconFirst);
    ASSERT_TRUE(draw(ODA_DRAWENTIRE, 0));
    int drawn = 0;
    for (int x = menu->metrics.textIndent; x < menu->metrics.textIndent + kMenuIconSide; ++x)
        for (int y = 0; y < MenuRowHeight(menu); ++y)
            drawn += pixel(x, y) != RGB(255, 255, 255);
    EXPECT_GT(drawn, 10);
    // A disabled menu draws nothing on a selection change.
    SetMenuItemEnabled(menu, 0, false);
    ASSERT_TRUE(draw(ODA_SELECT, ODS_SELECTED));
    EXPECT_EQ(pixel(1, 1), RGB(255, 255, 255));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

MenuItemDrawData g_drawn{};
int g_draws = 0;
uint8_t SelfDraw(int32_t message, MenuRecord*, int32_t, void* data, uint32_t) {
    if (message == kMenuDrawMeasureHeight) *static_cast<int16_t*>(data) = 30;
    if (message == kMenuDrawItem) {
        ++g_draws;
        g_drawn = *static_cast<MenuItemDrawData*>(data);
    }
    return 1;
}

// A self-drawn item is measured and drawn by its menu's procedure.
TEST_F(MenuItemsWin32, SelfDrawnItemsDrawThemselves) {
    MenuRecord* menu = NewMenuWithTitle(kPopId, "Pop");
    InsertMenuItemText(menu, "Own", -1);
    SetMenuItemSelfDrawn(menu, 1, true);
    SetMenuItemDrawProc(menu, &SelfDraw, 0);
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemData = DataOf(menu, 1);
    ASSERT_TRUE(MeasureMenuItem(&measure));
    EXPECT_EQ(measure.itemHeight, 30u);
    HDC dc = CreateCompatibleDC(nullptr);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = ODS_SELECTED;
    item.hDC = dc;
    item.rcItem = RECT{4, 10, 120, 40};
    item.itemData = DataOf(menu, 1);
    g_draws = 0;
    ASSERT_TRUE(DrawMenuItem(&item));
    DeleteDC(dc);
    EXPECT_EQ(g_draws, 1);
    EXPECT_EQ(g_drawn.rect.left, 4);
    EXPECT_EQ(g_drawn.rect.right, 118); // less 2 on the right
    EXPECT_EQ(g_drawn.enabled, 1);
    EXPECT_EQ(g_drawn.selected, 1);
}

// A sized font is a GDI font of its own; the default font comes back.
TEST_F(MenuItemsWin32, AppliedFontChangesTheRows) {
    MenuRecord* menu = NewMenuWithTitle(kPopId, "Pop");
    InsertMenuItemText(menu, "Alpha", -1);
    int32_t row = MenuRowHeight(menu);
    ApplyMenuFont(menu, 1, 36, 0, -1);
    ASSERT_NE(menu->font, nullptr);
    EXPECT_EQ(GetObjectType(static_cast<HGDIOBJ>(menu->font)), DWORD(OBJ_FONT));
    EXPECT_GT(MenuRowHeight(menu), row + 10);
    ApplyMenuFont(menu, 0, 0, 0, 0);
    EXPECT_EQ(menu->font, nullptr);
    EXPECT_EQ(MenuRowHeight(menu), row);
}

TEST_F(MenuItemsWin32, SystemMenuTakesFourExtraItems) {
    ResetSystemMenuItems();
    HMENU system = GetSystemMenu(FrameWindowHandle(), FALSE);
    ASSERT_NE(system, nullptr);
    int before = GetMenuItemCount(system);
    for (uint32_t command = 1; command <= 4; ++command)
        EXPECT_TRUE(AddSystemMenuItems("Extra", 500 + command));
    EXPECT_FALSE(AddSystemMenuItems("Fifth", 505));
    ASSERT_EQ(GetMenuItemCount(system), before + 5);
    EXPECT_TRUE(GetMenuState(system, UINT(before), MF_BYPOSITION) & MF_SEPARATOR);
    for (int k = 1; k <= 4; ++k) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_DATA;
        ASSERT_TRUE(GetMenuItemInfoA(system, UINT(before + k), TRUE, &info));
        EXPECT_EQ(info.wID, kSystemMenuItemId);
        EXPECT_EQ(info.dwItemData, 500u + uint32_t(k));
    }
}

} // namespace
