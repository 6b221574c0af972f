// The help-tag popup over Win32: a port of native type 10 drawn with GDI
// on its own device context, a one-shot loop timer for the show delay and
// a repeating one that notices the mouse leaving the tracked entry.
#include <windows.h>

#include <string>

#include "toolbox/core/helptagpopup.h"
#include "toolbox/core/looptimer.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portdispatch.h"
#include "toolbox/core/portupdate_win32.h"
#include "toolbox/core/shellapphandler.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/surfaceproc.h"
#include "toolbox/core/windowobject_win32.h"

namespace {

constexpr int32_t kPopupNativeType = 10;
constexpr uint32_t kPopupPortFlags = 0x20;
constexpr Rect16 kPopupStartRect{0, 0, 20, 40};
constexpr double kOneShot = -1;
constexpr int32_t kPointsPerInch = 72;
constexpr uint8_t kFaceBold = 1;
constexpr uint8_t kFaceItalic = 2;
constexpr uint8_t kFaceUnderline = 4;

struct PopupState {
    PortRecord* port = nullptr;
    HelpTagList* list = nullptr;
    int32_t entry = -1;
    LoopTimer* showTimer = nullptr;
    LoopTimer* leaveTimer = nullptr;
    bool shown = false;
    bool off = false;
    bool making = false; // the popup's own creation hides no tag
    HelpTagList* shownList = nullptr;
    int32_t shownEntry = -1;
};
PopupState g_popup;

HWND PopupHandle() {
    NativeWindowRecord* record = g_popup.port ? NativeRecordOfPort(g_popup.port) : nullptr;
    return record ? NativeWindowOf(record) : nullptr;
}

HWND ListWindow(const HelpTagList* list) {
    PortRecord* port = list && list->surfaceList && list->surfaceList->pane
                           ? list->surfaceList->pane->port
                           : nullptr;
    NativeWindowRecord* record = port ? NativeRecordOfPort(port) : nullptr;
    return record ? NativeWindowOf(record) : nullptr;
}

// The entry's rectangle in screen coordinates; false when it has none.
bool EntryScreenRect(HelpTagList* list, int32_t entry, RECT* out) {
    if (!list || entry < 0 || entry >= int32_t(list->entries.size())) return false;
    const HelpTagRecord& e = list->entries[size_t(entry)];
    Rect16 r = e.rect;
    if (e.kind == kHelpTagKindItem && !HelpTagItemRect(e.item, &r)) return false;
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    HWND window = ListWindow(list);
    if (!window) return false;
    MapWindowPoints(window, nullptr, corners, 2);
    *out = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    return true;
}

HFONT MakeFont(const HelpTagList* list, HDC dc) {
    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = -MulDiv(list->size, GetDeviceCaps(dc, LOGPIXELSY), kPointsPerInch);
    font.lfWidth = 0;
    font.lfWeight = (list->face & kFaceBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (list->face & kFaceItalic) ? TRUE : FALSE;
    font.lfUnderline = (list->face & kFaceUnderline) ? TRUE : FALSE;
    return CreateFontIndirectA(&font);
}

COLORREF ColorRefOf(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

uint32_t RgbOf(COLORREF colour) {
    return uint32_t(GetRValue(colour)) << 16 | uint32_t(GetGValue(colour)) << 8 | GetBValue(colour);
}

void Draw(HWND window) {
    HelpTagList* list = g_popup.shownList;
    if (!list) return;
    std::string text = HelpTagText(list, g_popup.shownEntry);
    HDC dc = GetDC(window);
    RECT client;
    GetClientRect(window, &client);
    HBRUSH back = CreateSolidBrush(ColorRefOf(HelpTagColour(list, g_popup.shownEntry, true)));
    FillRect(dc, &client, back);
    DeleteObject(back);
    HFONT font = MakeFont(list, dc);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorRefOf(HelpTagColour(list, g_popup.shownEntry, false)));
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    TextOutA(dc, kHelpTagTextLeft, metrics.tmAscent + kHelpTagTextDrop, text.c_str(),
             int(text.size()));
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(window, dc);
}

int32_t HelpTagWindowProc(PortRecord* port, OsEventRecord* record) {
    if (record->what == kOsWhatUpdate) {
        Draw(PopupHandle());
        ValidatePort(port);
        return 0;
    }
    if (record->what == kPortWhatMouseMoved) {
        HelpTagCancel();
        return 0;
    }
    return PortRecordDefault(port, record);
}

bool MakePopup() {
    if (g_popup.port) return true;
    PortRecord* port = nullptr;
    g_popup.making = true;
    int32_t result = WindowObjectOpen(true, kPopupNativeType, 0, &kPopupStartRect, nullptr,
                                      kPopupPortFlags, &HelpTagWindowProc, &port);
    g_popup.making = false;
    if (result != 0) return false;
    g_popup.port = port;
    return true;
}

void Show(HelpTagList* list, int32_t entry) {
    HelpTagHide(false);
    list->armed = 0;
    std::string text = HelpTagText(list, entry);
    if (text.empty() || g_popup.off || !MakePopup()) return;
    HWND window = PopupHandle();
    HDC dc = GetDC(window);
    HFONT font = MakeFont(list, dc);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &extent);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(window, dc);
    POINT mouse{};
    GetCursorPos(&mouse);
    Point16 given{int16_t(mouse.y), int16_t(mouse.x)};
    int32_t placement = kHelpTagAtMouse;
    if (list->textProc) {
        placement = list->textProc(list, entry, kHelpTagAskPlacement, &given);
        if (placement != kHelpTagBelowTarget && placement != kHelpTagRightOfTarget &&
            placement != kHelpTagBaselineAtPoint)
            placement = kHelpTagAtMouse;
    }
    RECT target{};
    if (!EntryScreenRect(list, entry, &target)) target = RECT{mouse.x, mouse.y, mouse.x, mouse.y};
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    Rect16 placed = HelpTagPopupRect(
        placement, Point16{int16_t(mouse.y), int16_t(mouse.x)},
        Rect16{int16_t(target.top), int16_t(target.left), int16_t(target.bottom),
               int16_t(target.right)},
        given, extent.cx, metrics.tmAscent, metrics.tmDescent,
        Rect16{int16_t(work.top), int16_t(work.left), int16_t(work.bottom), int16_t(work.right)});
    RECT frame{placed.left, placed.top, placed.right, placed.bottom};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongA(window, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongA(window, GWL_EXSTYLE)));
    g_popup.shownList = list;
    g_popup.shownEntry = entry;
    g_popup.shown = true;
    SetWindowPos(window, HWND_TOPMOST, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Draw(window);
    ValidatePort(g_popup.port);
}

void StopTimer(LoopTimer** timer) {
    if (*timer) EventLoopTimerRemove(*timer);
    *timer = nullptr;
}

void ShowTimerFired(LoopTimer*, void*) {
    StopTimer(&g_popup.showTimer);
    if (g_popup.list && g_popup.entry >= 0 && g_popup.list->armed)
        Show(g_popup.list, g_popup.entry);
}

bool MouseInTrackedEntry(POINT mouse) {
    RECT r{};
    return EntryScreenRect(g_popup.list, g_popup.entry, &r) && PtInRect(&r, mouse);
}

void LeaveCheckFired(LoopTimer*, void*) {
    POINT mouse{};
    GetCursorPos(&mouse);
    if (!MouseInTrackedEntry(mouse)) HelpTagCancel();
}

void Track(HelpTagList* list, int32_t entry) {
    g_popup.list = list;
    g_popup.entry = entry;
    StopTimer(&g_popup.showTimer);
    EventLoopTimerInstall(MainLoopTimerList(), list->showDelay, kOneShot, &ShowTimerFired, nullptr,
                          &g_popup.showTimer);
    list->armed = 1;
    if (!g_popup.leaveTimer)
        EventLoopTimerInstall(MainLoopTimerList(), kHelpTagLeaveCheck, kHelpTagLeaveCheck,
                              &LeaveCheckFired, nullptr, &g_popup.leaveTimer);
}

void ForgetList(HelpTagList* list) {
    if (list == g_popup.list || list == g_popup.shownList) HelpTagCancel();
}

void CancelFromLayers() {
    if (!g_popup.making) HelpTagCancel();
}

} // namespace

void HelpTagMouseMoved(SurfaceList* surfaces, const OsEventRecord* record) {
    HelpTagList* list = HelpTagListOf(surfaces);
    int32_t entry = list && record ? HelpTagAtPoint(list, kHelpTagAnySurface, record->where) : -1;
    if (entry < 0) {
        if (g_popup.list == list) HelpTagCancel();
        return;
    }
    if (g_popup.list == list && g_popup.entry == entry) return;
    if (g_popup.list) HelpTagCancel();
    Track(list, entry);
}

void HelpTagMouseCheck(const OsEventRecord* record) {
    if (!g_popup.list || !record) return;
    if (!MouseInTrackedEntry(POINT{record->where.h, record->where.v})) HelpTagCancel();
}

void HelpTagHide(bool redraw) {
    bool wasShown = g_popup.shown;
    g_popup.shown = false;
    g_popup.shownList = nullptr;
    g_popup.shownEntry = -1;
    if (!wasShown) return;
    if (HWND window = PopupHandle()) ShowWindow(window, SW_HIDE);
    if (redraw) UpdateWindowsNow();
}

void HelpTagCancel() {
    StopTimer(&g_popup.showTimer);
    StopTimer(&g_popup.leaveTimer);
    if (g_popup.list) g_popup.list->armed = 0;
    g_popup.list = nullptr;
    g_popup.entry = -1;
    HelpTagHide(false);
}

uint32_t HelpTagColour(HelpTagList* list, int32_t entry, bool background) {
    uint32_t answer = 0;
    if (list && list->textProc &&
        list->textProc(list, entry, background ? kHelpTagAskBackColour : kHelpTagAskTextColour,
                       &answer) == kHelpTagAnswered)
        return answer & 0xFFFFFF;
    return RgbOf(GetSysColor(background ? COLOR_INFOBK : COLOR_INFOTEXT));
}

void SetHelpTagsOff(bool off) {
    g_popup.off = off;
    if (off) HelpTagCancel();
}

void* HelpTagPopupWindow() {
    return PopupHandle();
}

bool HelpTagShown() {
    return g_popup.shown;
}

int32_t HelpTagTrackedEntry() {
    return g_popup.entry;
}

void InstallHelpTagPopup() {
    HelpTagHooks tags{};
    tags.mouseMoved = &HelpTagMouseMoved;
    tags.disposeTags = &DisposeHelpTagList;
    SetHelpTagHooks(&tags);
    SetHelpTagListDisposingProc(&ForgetList);
    PortHooks ports = CurrentPortHooks();
    ports.hideHelpTag = &CancelFromLayers;
    SetPortHooks(&ports);
    ShellAppProcs shell = ShellApp();
    shell.hideHelpTag = &CancelFromLayers;
    SetShellAppProcs(&shell);
}
