// The help-tag popup over Win32: a port of native type 10 drawn with GDI
// on its own device context.
#include <windows.h>

#include <cstring>
#include <string>

#include "toolbox/core/helptagpopup.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portdispatch.h"
#include "toolbox/core/portupdate_win32.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowobject_win32.h"

namespace {

constexpr int32_t kPopupNativeType = 10;
constexpr uint32_t kPopupPortFlags = 0x20;
constexpr Rect16 kPopupStartRect{0, 0, 20, 40};
constexpr int32_t kPointsPerInch = 72;
constexpr uint8_t kFaceBold = 1;
constexpr uint8_t kFaceItalic = 2;
constexpr uint8_t kFaceUnderline = 4;

struct PopupState {
    PortRecord* port = nullptr;
    bool shown = false;
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
    Rect16 r{};
    HWND window = ListWindow(list);
    if (!window || !HelpTagEntryRect(list, entry, &r)) return false;
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
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
    int32_t result = WindowObjectOpen(true, kPopupNativeType, 0, &kPopupStartRect, nullptr,
                                      kPopupPortFlags, &HelpTagWindowProc, &port);
    if (result != 0) return false;
    g_popup.port = port;
    return true;
}

void Show(HelpTagList* list, int32_t entry, const char* text) {
    if (!MakePopup()) return;
    HWND window = PopupHandle();
    HDC dc = GetDC(window);
    HFONT font = MakeFont(list, dc);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &extent);
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

} // namespace

void HelpTagHide(bool redraw) {
    bool wasShown = g_popup.shown;
    g_popup.shown = false;
    g_popup.shownList = nullptr;
    g_popup.shownEntry = -1;
    if (!wasShown) return;
    if (HWND window = PopupHandle()) ShowWindow(window, SW_HIDE);
    if (redraw) UpdateWindowsNow();
}

uint32_t HelpTagColour(HelpTagList* list, int32_t entry, bool background) {
    uint32_t answer = 0;
    if (list && list->textProc &&
        list->textProc(list, entry, background ? kHelpTagAskBackColour : kHelpTagAskTextColour,
                       &answer) == kHelpTagAnswered)
        return answer & 0xFFFFFF;
    return RgbOf(GetSysColor(background ? COLOR_INFOBK : COLOR_INFOTEXT));
}

void* HelpTagPopupWindow() {
    return PopupHandle();
}

bool HelpTagShown() {
    return g_popup.shown;
}

void InstallHelpTagPopup() {
    InstallHelpTagTracking();
    HelpTagPopupProcs procs{&Show, &HelpTagHide};
    SetHelpTagPopupProcs(&procs);
}
