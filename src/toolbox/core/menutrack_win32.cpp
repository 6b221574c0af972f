// The menu hook and tracking on Win32. The system's modal menu loop runs
// the menus; the frame's menu messages note what the user hilites and
// picks, and whoever started the tracking takes the choice after the loop
// (the pending WM_COMMAND or WM_MENUCOMMAND is collected, never
// dispatched). A menu opened twice in one tracking hears 'menu' 8 once.
#include "toolbox/core/menutrack_win32.h"

#include <algorithm>
#include <vector>

#include "toolbox/core/eventconvert.h"
#include "toolbox/core/eventreceiver.h"
#include "toolbox/core/eventwait.h"
#include "toolbox/core/icon_win32.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/menubar.h"
#include "toolbox/core/menuchar.h"
#include "toolbox/core/menucommands.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/systemversion_win32.h"
#include "toolbox/core/timertask.h"

namespace {

constexpr uint32_t kTypeMagnitude = FourCC("magn");
constexpr uint32_t kTypeMenu = FourCC("menu");
constexpr uint32_t kTypeBool = FourCC("bool");
constexpr uint32_t kTypeTrackingMode = FourCC("mtmd");
constexpr uint32_t kTrackingModeMouse = 1;
constexpr WORD kMenuPositionMask = 0x7FFF;
constexpr WPARAM kSystemCommandMask = 0xFFF0;
constexpr LPARAM kNoSavedKey = -1;
constexpr uint16_t kOsMaskMouse = kOsMaskMouseDown | kOsMaskMouseUp;

bool g_installed = false;
HHOOK g_hook = nullptr;
bool g_byPosition = false;
bool g_longMenusScroll = true;
// Wine's menu loop does not take the arrow keys rewritten into menu
// characters (the loop stops answering), so under Wine its own arrow
// handling moves the selection.
bool g_onWine = false;
bool g_inLoop = false;
MenuRecord* g_popup = nullptr;
bool g_nudge = false;
HMENU g_systemMenu = nullptr;
int32_t g_systemPosition = -1;
int32_t g_systemItems = 0;
LPARAM g_savedKey = 0;

typedef BOOL(WINAPI* GetMenuInfoProc)(HMENU, LPMENUINFO);
typedef BOOL(WINAPI* SetMenuInfoProc)(HMENU, LPCMENUINFO);
GetMenuInfoProc g_getMenuInfo = nullptr;
SetMenuInfoProc g_setMenuInfo = nullptr;
bool g_infoLoaded = false;

HMENU H(NativeMenu menu) {
    return reinterpret_cast<HMENU>(menu);
}

MenuRecord* ProgramMenu(HMENU native) {
    for (MenuRecord* m = MenuRecordList(); m; m = m->next)
        if (H(m->native) == native) return m;
    return nullptr;
}

// 0-based position of the hilited item, -1 none.
int32_t HilitedPosition(HMENU menu) {
    int count = GetMenuItemCount(menu);
    for (int p = 0; p < count; ++p)
        if (GetMenuState(menu, UINT(p), MF_BYPOSITION) & MF_HILITE) return p;
    return -1;
}

void Note(HMENU menu, int32_t position) {
    MenuTracking& t = MenuTrackingState();
    t.notedMenu = reinterpret_cast<NativeMenu>(menu);
    t.notedPosition = position;
}

void ClearNote() {
    Note(nullptr, -1);
}

int32_t SendMenuEvent(uint32_t kind, MenuRecord* menu, EventReceiver* to, bool trackingMode) {
    EventObject event = nullptr;
    if (EventObjectNew(kEventClassMenu, kind, &event) != 0) return kEventNotHandled;
    uint32_t context = MenuTrackingState().context;
    EventParamSet(event, kEventParamDirectObject, kTypeMenu, sizeof menu, &menu);
    EventParamSet(event, kParamMenuContext, kTypeMagnitude, sizeof context, &context);
    if (trackingMode)
        EventParamSet(event, kParamMenuTrackingMode, kTypeTrackingMode, sizeof kTrackingModeMouse,
                      &kTrackingModeMouse);
    if (kind == kMenuEventOpening) {
        uint8_t fork = 1;
        EventParamSet(event, kParamMenuFork, kTypeBool, 1, &fork);
    }
    int32_t result = SendEventToReceiver(event, to);
    EventObjectRelease(event);
    return result;
}

HMENU NativeBar() {
    return H(MenuBarNative());
}

// The program menu whose title is hilited in the bar, or null.
MenuRecord* HilitedBarMenu() {
    int32_t at = HilitedPosition(NativeBar());
    return at < 0 ? nullptr : ProgramMenu(GetSubMenu(NativeBar(), at));
}

LRESULT CALLBACK MenuHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_MENU && !g_onWine) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (msg->message == WM_KEYDOWN && (msg->wParam == VK_UP || msg->wParam == VK_DOWN)) {
            if (g_savedKey == kNoSavedKey) {
                g_savedKey = 0;
            } else if (HilitedBarMenu()) {
                msg->message = WM_CHAR;
                msg->wParam = msg->wParam == VK_UP ? kMenuCharUp : kMenuCharDown;
                g_savedKey = msg->lParam;
            }
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

LRESULT MenuChar(HWND window, WPARAM wParam, LPARAM lParam) {
    HMENU native = reinterpret_cast<HMENU>(lParam);
    uint16_t ch = LOWORD(wParam);
    MenuRecord* menu = ProgramMenu(native);
    int32_t hilited = HilitedPosition(native);
    if (!menu) {
        if ((ch == kMenuCharUp || ch == kMenuCharDown) && hilited >= 0) {
            // A foreign menu moves by the system's own arrow handling.
            PostMessageA(window, WM_KEYDOWN, ch == kMenuCharUp ? VK_UP : VK_DOWN, g_savedKey);
            g_savedKey = kNoSavedKey;
            return MAKELRESULT(hilited, kMenuCharSelect);
        }
        return kMenuNotHandled;
    }
    std::vector<MenuCharItem> items;
    for (int32_t p = 1; p <= MenuItemCount(menu); ++p) {
        MenuCharItem item;
        item.separator = menu->entries[size_t(p)].flags & kMenuEntrySeparator;
        item.text = MenuItemTextOf(menu, p);
        item.enabled = MenuItemEnabled(menu, p);
        items.push_back(item);
    }
    bool handled = false;
    int32_t answer = MenuCharHandler(items, hilited, ch, handled);
    return handled ? LRESULT(answer) : kMenuNotHandled;
}

// One pixel down, so the system hilites the item under the pointer. Under
// Wine a synthesised relative move leaves the desktop's pointer out of
// step with later absolute moves (SetCursorPos readers see stale points),
// so the pointer is moved there directly.
void NudgePointer() {
    if (!g_onWine) {
        mouse_event(MOUSEEVENTF_MOVE, 0, 1, 0, 0);
        return;
    }
    POINT at{};
    if (GetCursorPos(&at)) SetCursorPos(at.x, at.y + 1);
}

void InitMenuPopup(HMENU native) {
    MenuRecord* menu = ProgramMenu(native);
    if (!menu) return;
    if (menu->width == 0) MeasureMenuWidth(menu);
    MenuTracking& t = MenuTrackingState();
    if (menu->trackingSerial != int32_t(t.serial)) {
        menu->trackingSerial = int32_t(t.serial);
        SendMenuEvent(kMenuEventOpening, menu, &menu->receiver, false);
    }
    if (g_popup && g_nudge) {
        g_nudge = false;
        NudgePointer();
    }
}

void MenuSelect(WPARAM wParam, LPARAM lParam) {
    HMENU native = reinterpret_cast<HMENU>(lParam);
    UINT flags = HIWORD(wParam);
    if (native && native == g_systemMenu && LOWORD(wParam) == kSystemMenuItemId &&
        !(flags & MF_POPUP))
        g_systemPosition = HilitedPosition(native);
    if (g_byPosition) return;
    ClearNote();
    if (!native || native == NativeBar() || flags == 0xFFFF) return;
    if (flags & (MF_POPUP | MF_SYSMENU | MF_GRAYED | MF_DISABLED)) return;
    if (ProgramMenu(native)) Note(native, HilitedPosition(native));
}

uint32_t TakeSystemChoice(HWND window) {
    MenuTracking& t = MenuTrackingState();
    HMENU system = GetSystemMenu(window, FALSE);
    t.systemMenuNoted = true;
    t.systemItemId = 0;
    t.systemItemData = 0;
    if (system && g_systemPosition >= 0) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_DATA;
        if (GetMenuItemInfoA(system, UINT(g_systemPosition), TRUE, &info)) {
            t.systemItemId = info.wID;
            t.systemItemData = info.dwItemData;
        }
    }
    if (t.context == 0) t.context = kMenuContextBar;
    return TakeMenuChoice(t.context, KeyModifiers());
}

void LoadMenuInfoFunctions() {
    if (g_infoLoaded) return;
    g_infoLoaded = true;
    if (HMODULE user = GetModuleHandleA("User32.dll")) {
        g_getMenuInfo = reinterpret_cast<GetMenuInfoProc>(
            reinterpret_cast<void*>(GetProcAddress(user, "GetMenuInfo")));
        g_setMenuInfo = reinterpret_cast<SetMenuInfoProc>(
            reinterpret_cast<void*>(GetProcAddress(user, "SetMenuInfo")));
    }
}

void HiliteTitle(int32_t nativePosition, bool on) {
    HWND frame = FrameWindowHandle();
    if (!frame) return;
    HiliteMenuItem(frame, NativeBar(), UINT(nativePosition),
                   MF_BYPOSITION | (on ? MF_HILITE : MF_UNHILITE));
}

void RedrawBar() {
    if (HWND frame = FrameWindowHandle()) DrawMenuBar(frame);
}

const MenuBarDisplayProcs kBarDisplay{&HiliteTitle, &RedrawBar};

void HookMenuBarClick(Point16 where, uint32_t) {
    MenuBarClick(where);
}

bool HookMenuKey(EventObject event) {
    return ProcessMenuCommandKey(event);
}

bool TrackingProvider() {
    return g_inLoop;
}

void UpdateMenusAfterClose() {
    UpdateMenuBarMenus(0);
}

bool IsWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

void DecideSystemVersion() {
    const OSVERSIONINFOA& version = SystemVersion();
    bool nt = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    g_byPosition =
        nt && (version.dwMajorVersion > kNotifyByPositionMajor ||
               (version.dwMajorVersion == kNotifyByPositionMajor && version.dwMinorVersion > 0));
    g_longMenusScroll = nt ? version.dwMajorVersion >= kLongMenusScrollMajor
                           : !(version.dwMajorVersion == 4 && version.dwMinorVersion < 3);
}

} // namespace

bool MenuNotifiesByPosition() {
    return g_byPosition;
}

bool LongMenusScroll() {
    return g_longMenusScroll;
}

bool MenuBeingTracked() {
    return g_inLoop;
}

void BindMenuInfoFunctions(HMENU menu) {
    if (!menu || !g_byPosition) return;
    LoadMenuInfoFunctions();
    if (!g_getMenuInfo || !g_setMenuInfo) return;
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_STYLE;
    if (!g_getMenuInfo(menu, &info)) return;
    info.fMask = MIM_STYLE | MIM_APPLYTOSUBMENUS;
    info.dwStyle |= MNS_NOTIFYBYPOS;
    g_setMenuInfo(menu, &info);
}

void InstallMenuHook() {
    if (g_installed) return;
    g_installed = true;
    g_onWine = IsWine();
    InstallMenuFonts();
    InstallIconLoader();
    HMENU bar = NativeBar();
    g_hook = SetWindowsHookExA(WH_MSGFILTER, &MenuHookProc, nullptr, GetCurrentThreadId());
    MenuTrackingState().serial = kMenuFirstSerial;
    DecideSystemVersion();
    if (HWND client = MdiClientHandle()) {
        auto old = reinterpret_cast<HMENU>(
            SendMessageA(client, WM_MDISETMENU, reinterpret_cast<WPARAM>(bar), 0));
        if (old && old != bar) DestroyMenu(old);
    }
    BindMenuInfoFunctions(bar);
    for (MenuRecord* m = MenuRecordList(); m; m = m->next)
        BindMenuInfoFunctions(H(m->native));
    SetMenuBarDisplayProcs(&kBarDisplay);
    RedrawBar();
    SetMenuMessageProc(&MenuHookMessage);
    LoopWindowHooks hooks = LoopHooks();
    hooks.menuBarClick = &HookMenuBarClick;
    hooks.menuCommandKey = &HookMenuKey;
    SetLoopWindowHooks(&hooks);
    SetMenuTrackingProvider(&TrackingProvider);
    PortHooks ports = CurrentPortHooks();
    ports.updateMenus = &UpdateMenusAfterClose;
    SetPortHooks(&ports);
}

LRESULT MenuHookMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MenuTracking& t = MenuTrackingState();
    switch (message) {
    case WM_ENTERMENULOOP: {
        t.context = wParam ? kMenuContextPopup : kMenuContextBar;
        ++t.serial;
        ClearNote();
        t.systemMenuNoted = false;
        g_systemMenu = GetSystemMenu(FrameWindowHandle(), FALSE);
        g_systemPosition = -1;
        g_savedKey = 0;
        g_inLoop = true;
        MenuRecord* menu = wParam ? g_popup : nullptr;
        if (SendMenuEvent(kMenuEventTrackingStarts, menu, ApplicationLevelReceiver(), true) ==
            kMenuTrackingCancel)
            PostMessageA(FrameWindowHandle(), WM_CANCELMODE, 0, 0);
        return 0;
    }
    case WM_EXITMENULOOP:
        g_inLoop = false;
        SendMenuEvent(kMenuEventTrackingEnds, wParam ? g_popup : nullptr,
                      ApplicationLevelReceiver(), false);
        return 0;
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item && item->CtlType == ODT_MENU && MeasureMenuItem(item)) return TRUE;
        return kMenuNotHandled;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item && item->CtlType == ODT_MENU && DrawMenuItem(item)) return TRUE;
        return kMenuNotHandled;
    }
    case WM_INITMENUPOPUP:
        if (!HIWORD(lParam)) InitMenuPopup(reinterpret_cast<HMENU>(wParam));
        return kMenuNotHandled;
    case WM_MENUSELECT:
        MenuSelect(wParam, lParam);
        return kMenuNotHandled;
    case WM_MENUCOMMAND:
        Note(reinterpret_cast<HMENU>(lParam), int32_t(wParam & kMenuPositionMask));
        [[fallthrough]];
    case WM_COMMAND:
        if (TakeMenuChoice(t.context, KeyModifiers()) != 0) UnhiliteMenuTitle();
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & kSystemCommandMask) != kSystemMenuItemId) return kMenuNotHandled;
        TakeSystemChoice(window);
        return 0;
    case WM_MENUCHAR:
        if (HIWORD(wParam) & MF_SYSMENU) return kMenuNotHandled;
        return MenuChar(window, wParam, lParam);
    default:
        return kMenuNotHandled;
    }
}

void CollectMenuCommandMessage() {
    HWND frame = FrameWindowHandle();
    MSG msg;
    if (g_byPosition && PeekMessageA(&msg, frame, WM_MENUCOMMAND, WM_MENUCOMMAND, PM_REMOVE)) {
        Note(reinterpret_cast<HMENU>(msg.lParam), int32_t(msg.wParam & kMenuPositionMask));
        return;
    }
    PeekMessageA(&msg, frame, WM_COMMAND, WM_COMMAND, PM_REMOVE);
}

uint32_t MenuBarClick(Point16 where) {
    HWND frame = FrameWindowHandle();
    ClearNote();
    if (!frame) return 0;
    POINT screen{where.h, where.v};
    ClientToScreen(frame, &screen);
    if (SendMessageA(frame, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTMENU) {
        ReleaseCapture();
        DefFrameProcA(frame, MdiClientHandle(), WM_NCLBUTTONDOWN, HTMENU,
                      MAKELPARAM(screen.x, screen.y));
        CollectMenuCommandMessage();
    }
    return TakeMenuChoice(MenuTrackingState().context, KeyModifiers());
}

uint32_t TrackPopupMenuAt(MenuRecord* menu, int16_t top, int16_t left, int32_t item) {
    HWND frame = FrameWindowHandle();
    if (!menu || !frame || MenuItemCount(menu) == 0) return 0;
    item = std::max(int32_t(1), std::min(item, MenuItemCount(menu)));
    POINT at{left, top};
    if (HWND client = MdiClientHandle()) ClientToScreen(client, &at);
    int32_t above = kPopupOffsetAbovePoint;
    for (int32_t p = 1; p < item; ++p)
        above += MenuItemHeightOf(menu, p);
    at.y = std::max(LONG(0), at.y - above);
    BYTE keys[256];
    if (GetKeyboardState(keys)) {
        keys[VK_LBUTTON] = keys[VK_RBUTTON] = keys[VK_MBUTTON] = 0;
        SetKeyboardState(keys);
    }
    MenuRecord* outer = g_popup;
    g_popup = menu;
    g_nudge = true;
    SetMenuPopupTracked(true);
    TrackPopupMenu(H(menu->native), TPM_LEFTBUTTON, at.x, at.y, 0, frame, nullptr);
    SetMenuPopupTracked(outer != nullptr);
    g_popup = outer;
    g_nudge = false;
    CollectMenuCommandMessage();
    uint32_t choice = TakeMenuChoice(MenuTrackingState().context, KeyModifiers());
    OsEventRecord record;
    if (OsEventAvailable(kOsMaskMouse, &record)) FlushOsEvents(kOsMaskMouse, 0);
    return choice;
}

bool AddSystemMenuItems(const char* text, uint32_t command) {
    HWND frame = FrameWindowHandle();
    HMENU system = frame ? GetSystemMenu(frame, FALSE) : nullptr;
    if (!system || g_systemItems >= kSystemMenuExtraMax) return false;
    if (g_systemItems == 0) AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
    if (!AppendMenuA(system, MF_STRING, kSystemMenuItemId, text ? text : "")) return false;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    info.dwItemData = command;
    SetMenuItemInfoA(system, UINT(GetMenuItemCount(system) - 1), TRUE, &info);
    ++g_systemItems;
    return true;
}

void ResetSystemMenuItems() {
    g_systemItems = 0;
}
