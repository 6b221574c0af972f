// The progress message window: one modeless dialog of template 8000 at a
// time, remembered by its window's sequence number so that a window
// disposed elsewhere is never touched again. Its text item is measured
// word-wrapped in the item's font and sized to hold it.
#include <windows.h>

#include <cstring>
#include <string>

#include "toolbox/core/alerts.h"
#include "toolbox/core/drawingstate.h"
#include "toolbox/core/windowdisplay.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowobject_win32.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/dialog.h"
#include "toolbox/ui/dialogbuild.h"
#include "toolbox/ui/dialogops.h"
#include "toolbox/ui/progressgeometry.h"

namespace {

int32_t g_windowId = 0;
int32_t g_placement = 0;
std::string g_text;

WindowObject* OpenWindow() {
    return g_windowId ? WindowObjectFromId(g_windowId) : nullptr;
}

// The text's rectangle word-wrapped within the item's width, in the
// item's font, at the item's top-left.
Rect32 MeasureText(WindowObject* dialog, const Rect16& item, const char* text) {
    HWND native = DialogNativeWindow(dialog);
    HDC dc = GetDC(native);
    DialogItemRecord* record = DialogItemByNumber(dialog, kProgressItem, nullptr);
    HWND control = record ? static_cast<HWND>(record->control->nativeWindow) : nullptr;
    HFONT font =
        control ? reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)) : nullptr;
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    RECT r{item.left, item.top, item.right, item.bottom};
    DrawTextExA(dc, const_cast<char*>(text), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX,
                nullptr);
    if (previous) SelectObject(dc, previous);
    ReleaseDC(native, dc);
    return {r.top, r.left, r.bottom, r.right};
}

// Sizes the item and the window to the text, places the window in the
// work area and shows it at once.
void LayOut(WindowObject* dialog) {
    Rect16 item{};
    if (!GetDialogItemBounds(dialog, kProgressItem, &item)) return;
    Rect32 measured = MeasureText(dialog, item, g_text.c_str());
    Rect32 sized{};
    int32_t width = 0, height = 0;
    ProgressWindowGeometry(measured, &sized, &width, &height);
    DialogItemRecord* record = DialogItemByNumber(dialog, kProgressItem, nullptr);
    Rect16 bounds{int16_t(sized.top), int16_t(sized.left), int16_t(sized.bottom),
                  int16_t(sized.right)};
    if (record) ControlMoveSize(record->control, &bounds);
    DialogItemSetText(dialog, kProgressItem, g_text.c_str());
    Rect16 content{0, 0, int16_t(height), int16_t(width)};
    SetWindowContentSize(dialog, &content);
    ResizeWindowObject(dialog, height, width, 0);
    HWND native = DialogNativeWindow(dialog);
    RECT outer{};
    GetWindowRect(native, &outer);
    Rect16 area16{};
    DefaultWindowPosition(kKindDialog, kDialogVariantFixed, 0, &area16);
    Rect32 area{area16.top, area16.left, area16.bottom, area16.right};
    Rect32 place{outer.top, outer.left, outer.bottom, outer.right};
    PlaceDialogBounds(&place, &area, g_placement);
    SetWindowPos(native, HWND_TOP, place.left, place.top, 0, 0, SWP_NOSIZE);
    SelectWindowObject(dialog);
    UpdateWindow(native);
}

int32_t ProgressProc(WindowObject* dialog, WindowEvent* event) {
    if (event->type == kWindowEventSelectItem) {
        LayOut(dialog);
        return 1;
    }
    return 0;
}

} // namespace

int32_t ShowProgressMessage(int32_t placement, const char* text) {
    WindowObject* open = OpenWindow();
    if (!text || !*text) {
        if (open) DisposeWindowObject(open);
        g_windowId = 0;
        return 1;
    }
    if (std::strcmp(text, kProgressRedrawText) == 0) {
        if (open) {
            SelectWindowObject(open);
            UpdateWindow(DialogNativeWindow(open));
        }
        return 1;
    }
    if (open) {
        g_text = text;
        DialogItemSetText(open, kProgressItem, text);
        return 1;
    }
    g_text = text;
    g_placement = placement;
    void* previous = DrawingLayer().currentPort();
    WindowObject* built = CreateDialogFromTemplate(kProgressTemplate, kDialogVariantFixed, 0, 0,
                                                   nullptr, &ProgressProc, nullptr);
    DrawingLayer().setCurrentPort(previous);
    g_windowId = built ? built->sequence : 0;
    return built ? 1 : 0;
}
