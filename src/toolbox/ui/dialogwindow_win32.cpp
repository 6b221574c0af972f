// Dialog windows over the window layer: building a dialog from its
// template (placement, window, background, text style, items, default
// button, item procedure, open and size events), dismissing it, and the
// modal run. The dialog's record rides on the window as a property, so
// that it goes with the window.
#include <windows.h>

#include "toolbox/core/menubar.h"
#include "toolbox/core/modalstate.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/windowdisplay.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowidle.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowobject_win32.h"
#include "toolbox/ui/dialog.h"
#include "toolbox/ui/dialogbuild.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/modalscript_dialog_win32.h"

namespace {

// The screen's vertical dots per inch, read once.
int32_t ScreenDpi() {
    static int32_t dpi = 0;
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen) ReleaseDC(nullptr, screen);
        if (dpi <= 0) dpi = 96;
    }
    return dpi;
}

// 0x00RRGGBB from a COLORREF.
uint32_t ColourValueOfSystem(int index) {
    COLORREF c = GetSysColor(index);
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

// The port's drawing must not cover the items' child windows, and the
// native erase takes the dialog's background colour.
void ClipItemsAndErase(WindowObject* window, uint32_t colour) {
    HWND native = DialogNativeWindow(window);
    if (!native) return;
    LONG_PTR style = GetWindowLongPtrA(native, GWL_STYLE);
    SetWindowLongPtrA(native, GWL_STYLE, style | WS_CLIPCHILDREN);
    auto* port = static_cast<PortRecord*>(window->port);
    auto* record = static_cast<NativeWindowRecord*>(port->nativeWindow);
    auto wide = [](uint32_t byte) { return int16_t(uint16_t(byte * 257)); };
    SetNativeEraseColour(record, wide(colour >> 16 & 0xFF), wide(colour >> 8 & 0xFF),
                         wide(colour & 0xFF));
}

void SetupDialogPort(WindowObject* window) {
    void* previous = MakeWindowCurrentPort(window);
    if (auto* state = static_cast<DrawingState*>(GraphicsPortOf(window)))
        state->settings.textResolution = int16_t(ScreenDpi());
    uint32_t face = ColourValueOfSystem(COLOR_BTNFACE);
    SetBackgroundColour(face);
    DrawingLayer().setCurrentPort(previous);
    ClipItemsAndErase(window, face);
}

void ShowOnTaskBar(WindowObject* window) {
    HWND native = DialogNativeWindow(window);
    if (!native) return;
    LONG_PTR style = GetWindowLongPtrA(native, GWL_EXSTYLE);
    SetWindowLongPtrA(native, GWL_EXSTYLE, style | WS_EX_APPWINDOW);
}

} // namespace

HWND DialogNativeWindow(WindowObject* window) {
    if (!window || window->type != kWindowTypeNative || !window->port) return nullptr;
    auto* port = static_cast<PortRecord*>(window->port);
    return NativeWindowOf(static_cast<NativeWindowRecord*>(port->nativeWindow));
}

ToolboxDialogRecord* DialogRecordOf(WindowObject* window) {
    if (!window) return nullptr;
    WindowProperty* property = FindWindowProperty(window, kDialogPropertyTag);
    return property ? static_cast<ToolboxDialogRecord*>(WindowPropertyData(property)) : nullptr;
}

WindowObject* CreateDialogFromLoadedTemplate(XDlgTemplate* tmpl, int32_t number, uint8_t variant,
                                             uint32_t windowOptions, uint32_t dialogOptions,
                                             WindowObject*, WindowEventCallback itemProc,
                                             void* userData) {
    if (!tmpl) return nullptr;
    Rect32 bounds{tmpl->bounds.top, tmpl->bounds.left, tmpl->bounds.bottom, tmpl->bounds.right};
    int32_t code = int32_t(dialogOptions & kDialogPlacementMask);
    if (code != 0) {
        Rect16 area16{};
        DefaultWindowPosition(kKindDialog, variant, windowOptions, &area16);
        Rect32 area{area16.top, area16.left, area16.bottom, area16.right};
        PlaceDialogBounds(&bounds, &area, code);
    }
    Rect16 content{int16_t(bounds.top), int16_t(bounds.left), int16_t(bounds.bottom),
                   int16_t(bounds.right)};
    WindowObject* window =
        NewWindowObjectEx(DefaultHeapPool(), kKindDialog, variant, windowOptions, 0, 0, kBehindNone,
                          &content, tmpl->title, 0, userData, nullptr);
    if (!window) return nullptr;
    WindowProperty* property =
        LinkWindowProperty(window, kDialogPropertyTag, int32_t(sizeof(ToolboxDialogRecord)));
    if (!property) {
        DisposeWindowObject(window);
        return nullptr;
    }
    ToolboxDialogRecord* dialog = static_cast<ToolboxDialogRecord*>(WindowPropertyData(property));
    dialog->items.dialog = window;
    dialog->templateNumber = number;
    if (dialogOptions & kDialogOptionTaskBar) ShowOnTaskBar(window);
    SetupDialogPort(window);
    if (tmpl->flags & (kTemplateHasStyle | kTemplateSmallFont))
        SetDialogStyleBlock(window, &tmpl->style);

    int16_t firstFocus = AddTemplateItems(window, tmpl, 0, 0, true);
    MarkDefaultButton(window);

    int32_t id = window->sequence;
    ExchangeWindowEventCallback(window, itemProc);
    WindowSetIdleInterval(static_cast<PortRecord*>(window->port), kIdleCaretBlink);
    if (!SendSelectItemEvent(window, firstFocus, true) || WindowObjectFromId(id) != window)
        return nullptr;
    int32_t height = content.bottom - content.top, width = content.right - content.left;
    ResizeWindowObject(window, height, width, 0);
    if (!SendResizeEvent(window, height, width, 0)) return nullptr;
    SelectWindowObject(window);
    return window;
}

WindowObject* CreateDialogFromTemplate(int32_t number, uint8_t variant, uint32_t windowOptions,
                                       uint32_t dialogOptions, WindowObject* parent,
                                       WindowEventCallback itemProc, void* userData) {
    XDlgTemplate* tmpl = LoadDialogTemplate(number);
    if (!tmpl) return nullptr;
    WindowObject* window = CreateDialogFromLoadedTemplate(
        tmpl, number, variant, windowOptions, dialogOptions, parent, itemProc, userData);
    DisposeDialogTemplate(tmpl);
    return window;
}

void DismissDialogWithItem(WindowObject* dialog, int16_t item) {
    if (!dialog) return;
    WindowEvent event{};
    event.type = kWindowEventDismiss;
    event.dismiss.item = item;
    EventDispatchToView(dialog, &event);
}

WindowObject* RunModalDialog(int32_t number, uint32_t options, WindowEventCallback itemProc,
                             void* userData) {
    uint8_t variant = (options & kModalOptionFixed) ? kDialogVariantFixed : kDialogVariantMovable;
    uint32_t windowOptions = (options & kModalOptionCloseBox) ? kDialogWindowCloseBox : 0;
    WindowObject* dialog = CreateDialogFromTemplate(number, variant, windowOptions, options,
                                                    nullptr, itemProc, userData);
    if (!dialog) return nullptr;
    WindowObject* front = FindNextWindowOfKinds(nullptr, kKindDialog, 0);
    if (front != dialog) return front;
    HiliteMenuTitle(0);
    DisableOtherWindows(dialog);
    SetModalDepth(ModalDepth() + 1);
    auto* port = static_cast<PortRecord*>(dialog->port);
    void* native = port->nativeWindow;
    int32_t token = 0;
    dialog->loopToken = RunEventLoopLevel(native, &token, false);
    ModalScriptDialogShown(dialog);
    RunEventLoopLevel(native, &token, true);
    SetModalDepth(ModalDepth() - 1);
    SetMenuBarUpdateFlag(1);
    return nullptr;
}

bool DialogLayerFrontIsModal() {
    NativeWindowRecord* front = FrontWindowOfClass(~uint32_t(kClassFloating));
    if (!front || NativeWindowClassBit(front) != kClassModal) return false;
    return DialogRecordOf(static_cast<WindowObject*>(front->windowObject)) != nullptr;
}
