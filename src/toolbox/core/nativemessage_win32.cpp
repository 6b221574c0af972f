// Window-procedure answers that look at the z-order, the control children,
// the menu bar and the pending update.
#include "toolbox/core/nativemessage_win32.h"

#include "toolbox/core/nativezorder_win32.h"

namespace {
HBRUSH g_controlBrush = nullptr;
COLORREF g_controlBrushColour = 0;

struct ControlSearch {
    void* control;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ControlSearch*>(data);
    if (GetPropA(child, kPropControl) != search->control) return TRUE;
    search->found = child;
    return FALSE;
}

// The child window of `window` carrying the control record, null when none.
HWND ControlWindowOf(HWND window, void* control) {
    ControlSearch search{control, nullptr};
    EnumChildWindows(window, &MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsFrontForCursor(NativeWindowRecord* record) {
    if (record->nativeType == kNativeTypeFloating)
        return FrontNativeWindowOfType(kNativeTypeAny) == record;
    return FrontNonFloatingWindow() == record;
}
} // namespace

bool SetArrowOverBackWindow(HWND window, NativeWindowRecord* record, LPARAM lParam) {
    if (!record || LOWORD(lParam) != HTCLIENT) return false;
    if (GetClassLongPtrA(window, GCLP_HCURSOR) != 0) return false;
    if (IsFrontForCursor(record)) return false;
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return true;
}

LRESULT ControlColourAnswer(NativeWindowRecord* record, HDC dc) {
    COLORREF colour = record->state.background;
    SetBkColor(dc, colour);
    if (!g_controlBrush || g_controlBrushColour != colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        if (!brush) return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        if (g_controlBrush) DeleteObject(g_controlBrush);
        g_controlBrush = brush;
        g_controlBrushColour = colour;
    }
    return reinterpret_cast<LRESULT>(g_controlBrush);
}

void PaintMenuBarEdge(HWND frame, HWND mdiClient) {
    HMENU bar = GetMenu(frame);
    if (!mdiClient || !bar || GetMenuItemCount(bar) <= 0) return;
    RECT outer;
    GetWindowRect(mdiClient, &outer);
    HDC dc = GetWindowDC(mdiClient);
    if (!dc) return;
    RECT line{0, 0, outer.right - outer.left, 1};
    HBRUSH brush = CreateSolidBrush(kMenuBarEdgeColour);
    if (brush) {
        FillRect(dc, &line, brush);
        DeleteObject(brush);
    }
    ReleaseDC(mdiClient, dc);
}

void RestoreControlFocus(HWND window, NativeWindowRecord* record, const WINDOWPOS* pos) {
    if (!record || !record->focusedControl) return;
    bool shownOrOrdered = (pos->flags & SWP_SHOWWINDOW) || !(pos->flags & SWP_NOZORDER);
    if (!shownOrOrdered || !IsWindowVisible(window)) return;
    HWND focus = GetFocus();
    // Only a control of this window gives the focus up.
    if (!focus || !IsChild(window, focus) || !GetPropA(focus, kPropControl)) return;
    if (GetPropA(focus, kPropControl) == record->focusedControl) return;
    if (HWND wanted = ControlWindowOf(window, record->focusedControl)) SetFocus(wanted);
}

void PaintPendingUpdate(HWND window, NativeWindowRecord* record, const WINDOWPOS* pos) {
    if (!record || !record->pendingUpdate || IsRegionEmpty(record->pendingUpdate)) return;
    if (pos->flags & SWP_NOREDRAW) return;
    if (GetUpdateRect(window, nullptr, FALSE)) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INTERNALPAINT | RDW_UPDATENOW);
}
