// Creation and disposal of controls, the window's list of controls, the
// child windows of native controls with the control's own window
// procedure in front of the system's, visibility, enabling, highlighting,
// moving and titles.
//
// Guarantees: a child window exists exactly while its control does and
// leads back to it through "TBWCNTRL"; the control's window procedure is
// taken out again before the child window goes; a failed creation leaves
// nothing behind.
#include "toolbox/ui/control.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/nativemessage_win32.h"
#include "toolbox/core/osinput_win32.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/regionnative_win32.h"
#include "toolbox/ui/control_win32.h"
#include "toolbox/ui/controldefs.h"
#include "toolbox/ui/fontcache.h"
#include "toolbox/ui/gdicontext.h"

namespace {

constexpr char kButtonClass[] = "Button";
constexpr char kScrollBarClass[] = "Scrollbar";
constexpr char kStaticClass[] = "Static";
constexpr char kTabsClass[] = "SysTabControl32";
constexpr char kProgressClass[] = "msctls_progress32";

constexpr DWORD kPushButtonStyle = 0x2300;
constexpr DWORD kRadioButtonStyle = 0x12004;
constexpr DWORD kCheckBoxStyle = 0x12002;
constexpr DWORD kThreeStateStyle = 0x12005;
constexpr DWORD kScrollBarVertical = 1;
constexpr DWORD kScrollBarHorizontal = 0;
constexpr DWORD kStaticTextStyle = 0;
constexpr DWORD kGroupBoxStyle = 7;
constexpr DWORD kTabsStyle = 0x8000;
constexpr DWORD kProgressStyle = 1;
constexpr int32_t kCheckBoxFirstMaximum = 1;

bool g_commonControlsReady = false;

void PrepareCommonControls() {
    if (g_commonControlsReady) return;
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof init;
    init.dwICC = ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&init);
    g_commonControlsReady = true;
}

const char* NativeClassOf(uint8_t type) {
    switch (type) {
    case kControlPushButton:
    case kControlRadioButton:
    case kControlCheckBox:
    case kControlGroupBox:
        return kButtonClass;
    case kControlScrollBar:
        return kScrollBarClass;
    case kControlStaticText:
        return kStaticClass;
    case kControlTabs:
        return kTabsClass;
    case kControlProgressBar:
        return kProgressClass;
    default:
        return nullptr;
    }
}

ToolboxControlRecord* ControlOfChild(HWND child) {
    return static_cast<ToolboxControlRecord*>(GetPropA(child, kPropControl));
}

NativeWindowRecord* Owner(const ToolboxControlRecord* control) {
    return static_cast<NativeWindowRecord*>(control->owner);
}

bool IsArrowKey(WPARAM key) {
    return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
}

// The control's procedure in front of the system's.
LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ToolboxControlRecord* control = ControlOfChild(window);
    if (!control || !control->savedWindowProc)
        return DefWindowProcA(window, message, wParam, lParam);
    auto native = reinterpret_cast<WNDPROC>(control->savedWindowProc);
    NativeWindowRecord* owner = Owner(control);
    switch (message) {
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(native));
        RemovePropA(window, kPropControl);
        if (owner && owner->focusedControl == control) owner->focusedControl = nullptr;
        if (control->nativeWindow == window) control->nativeWindow = nullptr;
        return CallWindowProcA(native, window, message, wParam, lParam);
    case WM_SETFOCUS: {
        LRESULT result = CallWindowProcA(native, window, message, wParam, lParam);
        if (owner) owner->focusedControl = control;
        return result;
    }
    case WM_KILLFOCUS: {
        LRESULT result = CallWindowProcA(native, window, message, wParam, lParam);
        if (owner && owner->focusedControl == control) owner->focusedControl = nullptr;
        return result;
    }
    case WM_SETCURSOR:
        if (HWND parent = GetParent(window))
            return SendMessageA(parent, WM_SETCURSOR, wParam, lParam);
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        // A radio button's group is walked by the dialog, and Tab is the
        // dialog's navigation.
        if (control->type == kControlRadioButton && IsArrowKey(wParam)) return 0;
        if (wParam == VK_TAB) return 0;
        break;
    case WM_CHAR:
        if (wParam == '\t') return 0;
        break;
    default:
        break;
    }
    return CallWindowProcA(native, window, message, wParam, lParam);
}

bool MakeChild(ToolboxControlRecord* control, const char* title) {
    const char* className = NativeClassOf(control->type);
    HWND parent = ControlOwnerWindow(control);
    if (!className || !parent) return false;
    PrepareCommonControls();
    RECT r = ControlNativeRect(control);
    HWND child = CreateWindowExA(
        0, className, title ? title : "", WS_CHILD | WS_CLIPSIBLINGS | ControlNativeStyle(control),
        r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
        reinterpret_cast<HMENU>(intptr_t(kControlChildId)), GetModuleHandleA(nullptr), nullptr);
    if (!child) return false;
    SetPropA(child, kPropControl, control);
    control->nativeWindow = child;
    control->savedWindowProc = reinterpret_cast<void*>(
        SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc)));
    if (control->font) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(control->font), 0);
    if (!(control->flags & kControlEnabled)) EnableWindow(child, FALSE);
    return true;
}

void Link(ToolboxControlRecord* control) {
    NativeWindowRecord* owner = Owner(control);
    auto** at = reinterpret_cast<ToolboxControlRecord**>(&owner->firstControl);
    while (*at)
        at = &(*at)->next;
    *at = control;
}

void Unlink(ToolboxControlRecord* control) {
    NativeWindowRecord* owner = Owner(control);
    if (!owner) return;
    for (auto** at = reinterpret_cast<ToolboxControlRecord**>(&owner->firstControl); *at;
         at = &(*at)->next) {
        if (*at == control) {
            *at = control->next;
            break;
        }
    }
    control->next = nullptr;
}

// The self-drawn control's area erased (drawn again by the window).
void EraseArea(ToolboxControlRecord* control) {
    RECT r = ControlNativeRect(control);
    if (HWND window = ControlOwnerWindow(control)) InvalidateRect(window, &r, TRUE);
}

void DrawSelfDrawn(ToolboxControlRecord* control) {
    if ((control->flags & kControlVisible) && ControlWindowShown(control))
        SendControlMessage(control, kControlDraw, 0);
}

// The child window's region: the owner's clip and visible area in the
// child's coordinates, none when the child lies wholly inside them.
void ClipChildToOwner(ToolboxControlRecord* control) {
    HWND child = ControlChild(control);
    NativeWindowRecord* owner = Owner(control);
    if (!child || !owner || owner->state.dcKind != kStateDcWindow) return;
    const Rect16& b = control->bounds;
    Rect16 whole{0, 0, int16_t(b.bottom - b.top), int16_t(b.right - b.left)};
    RegionRecord* area = NewRegion();
    RegionRecord* size = NewRectRegion(&whole);
    if (area && size) {
        GetStateVisibleRegion(&owner->state, area);
        if (owner->state.clip) CombineRegions(area, area, owner->state.clip, kRegionAnd);
        OffsetRegion(area, -owner->state.origin.h - b.left, -owner->state.origin.v - b.top);
        CombineRegions(area, area, size, kRegionAnd);
        if (RegionsEqual(area, size)) {
            SetWindowRgn(child, nullptr, FALSE);
        } else {
            // The window owns the region it is given: a copy of the record's
            // (an empty one when nothing of the child is visible).
            bool empty = IsRegionEmpty(area);
            HRGN native = empty ? nullptr : RegionToNative(area);
            HRGN copy = empty || native ? CreateRectRgn(0, 0, 0, 0) : nullptr;
            if (copy && native) CombineRgn(copy, native, nullptr, RGN_COPY);
            if (copy && !SetWindowRgn(child, copy, FALSE)) DeleteObject(copy);
        }
    }
    if (area) DisposeRegion(area);
    if (size) DisposeRegion(size);
}

bool OwnerShown(const ToolboxControlRecord* control) {
    HWND window = ControlOwnerWindow(control);
    return window && IsWindowVisible(window);
}

void DisposeControlsOf(void* nativeRecord) {
    DisposeWindowControls(static_cast<NativeWindowRecord*>(nativeRecord));
}

bool Notify(void*, uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t* result) {
    HWND child = message == WM_NOTIFY ? reinterpret_cast<NMHDR*>(lParam)->hwndFrom
                                      : reinterpret_cast<HWND>(lParam);
    ToolboxControlRecord* control = child ? ControlFromNativeWindow(child) : nullptr;
    return control && ControlNotification(control, message, wParam, lParam, result);
}

// Keys for a control's child window go to its owner window: with Control
// held, and always for native controls, whose keys the owner hands on
// through the key handling of the control layer.
HWND KeyOwner(void* record, bool controlDown) {
    auto* control = static_cast<ToolboxControlRecord*>(record);
    if (!IsControlRecord(control)) return nullptr;
    return controlDown || (control->flags & kControlNative) ? ControlOwnerWindow(control) : nullptr;
}

} // namespace

HWND ControlChild(const ToolboxControlRecord* control) {
    return control ? static_cast<HWND>(control->nativeWindow) : nullptr;
}

HWND ControlOwnerWindow(const ToolboxControlRecord* control) {
    return control ? NativeWindowOf(Owner(control)) : nullptr;
}

DWORD ControlNativeStyle(const ToolboxControlRecord* control) {
    switch (control->type) {
    case kControlPushButton:
        return kPushButtonStyle;
    case kControlRadioButton:
        return kRadioButtonStyle;
    case kControlCheckBox:
        return control->maximum >= 2 ? kThreeStateStyle : kCheckBoxStyle;
    case kControlScrollBar: {
        const Rect16& b = control->bounds;
        return b.bottom - b.top >= b.right - b.left ? kScrollBarVertical : kScrollBarHorizontal;
    }
    case kControlStaticText:
        return kStaticTextStyle;
    case kControlGroupBox:
        return kGroupBoxStyle;
    case kControlTabs:
        return kTabsStyle;
    case kControlProgressBar:
        return kProgressStyle;
    default:
        return 0;
    }
}

RECT ControlNativeRect(const ToolboxControlRecord* control) {
    const Rect16& b = control->bounds;
    return RECT{b.left, b.top, b.right, b.bottom};
}

bool ControlContains(const ToolboxControlRecord* control, Point16 p) {
    const Rect16& b = control->bounds;
    return p.v >= b.top && p.v < b.bottom && p.h >= b.left && p.h < b.right;
}

bool RecreateControlChild(ToolboxControlRecord* control, const char* title) {
    HWND old = ControlChild(control);
    bool shown = control->flags & kControlVisible;
    bool focused = old && GetFocus() == old;
    if (old) DestroyWindow(old);
    control->nativeWindow = nullptr;
    if (!MakeChild(control, title)) return false;
    if (shown) {
        ClipChildToOwner(control);
        ShowWindow(ControlChild(control), SW_SHOWNA);
    }
    if (focused) SetFocus(ControlChild(control));
    return true;
}

ToolboxControlRecord* ControlNew(NativeWindowRecord* window, const Rect16* bounds,
                                 const char* title, bool visible, int32_t value, int32_t minimum,
                                 int32_t maximum, int32_t definition, int32_t reference) {
    if (!window || !bounds) return nullptr;
    auto* control =
        static_cast<ToolboxControlRecord*>(std::calloc(1, sizeof(ToolboxControlRecord)));
    if (!control) return nullptr;
    ControlKind kind = ControlKindFromDefinition(definition);
    control->owner = window;
    control->bounds = *bounds;
    control->signature = kControlSignature;
    control->self = control;
    control->reference = reference;
    control->variant = kind.variant;
    control->type = kind.type;
    control->definitionKind = kind.definition;
    control->flags = kControlEnabled;
    if (kind.type == kControlSelfDrawn) {
        control->definition = ControlDefinitionFor(kind.definition, definition);
        control->value = value;
        control->minimum = minimum;
        control->maximum = maximum;
        Link(control);
        SendControlMessage(control, kControlInitialise, 0);
        if (visible) ControlShow(control);
        return control;
    }
    control->flags |= kControlNative;
    if (kind.type == kControlCheckBox) control->maximum = maximum >= 2 ? 2 : kCheckBoxFirstMaximum;
    if (!MakeChild(control, title)) {
        std::free(control);
        return nullptr;
    }
    Link(control);
    switch (kind.type) {
    case kControlScrollBar:
        control->minimum = minimum;
        control->maximum = maximum;
        ControlSetPageSize(control, 0);
        ControlSetValue(control, value);
        break;
    case kControlProgressBar:
        SendMessageA(ControlChild(control), PBM_SETRANGE32, WPARAM(minimum), LPARAM(maximum));
        SendMessageA(ControlChild(control), PBM_SETPOS, WPARAM(value), 0);
        break;
    case kControlPushButton:
    case kControlRadioButton:
    case kControlCheckBox:
        ControlSetValue(control, value);
        break;
    default:
        break;
    }
    if (visible) ControlShow(control);
    return control;
}

void ControlDispose(ToolboxControlRecord* control) {
    if (!IsControlRecord(control)) return;
    NativeWindowRecord* owner = Owner(control);
    if (owner && owner->focusedControl == control) ClearControlFocus(owner);
    StopControlIdle(control);
    Unlink(control);
    if (HWND child = ControlChild(control)) {
        if (GetFocus() == child && owner) SetFocus(NativeWindowOf(owner));
        DestroyWindow(child);
    } else if (!(control->flags & kControlNative)) {
        SendControlMessage(control, kControlDispose, 0);
    }
    if (control->font) ReleaseCachedFont(control->font);
    control->signature = 0;
    control->self = nullptr;
    std::free(control);
}

void DisposeWindowControls(NativeWindowRecord* window) {
    if (!window) return;
    while (auto* control = static_cast<ToolboxControlRecord*>(window->firstControl)) {
        window->firstControl = control->next;
        control->next = nullptr;
        control->owner = window;
        ControlDispose(control);
    }
    window->focusedControl = nullptr;
}

bool IsControlRecord(const ToolboxControlRecord* control) {
    return control && control->signature == kControlSignature && control->self == control;
}

ToolboxControlRecord* ControlFromNativeWindow(void* child) {
    if (!child || !IsWindow(static_cast<HWND>(child))) return nullptr;
    ToolboxControlRecord* control = ControlOfChild(static_cast<HWND>(child));
    return IsControlRecord(control) ? control : nullptr;
}

ToolboxControlRecord* FirstControlOf(const NativeWindowRecord* window) {
    return window ? static_cast<ToolboxControlRecord*>(window->firstControl) : nullptr;
}

NativeWindowRecord* ControlOwner(const ToolboxControlRecord* control) {
    return control ? Owner(control) : nullptr;
}

void ControlShow(ToolboxControlRecord* control) {
    if (!IsControlRecord(control)) return;
    control->flags |= kControlVisible;
    if (HWND child = ControlChild(control)) {
        ClipChildToOwner(control);
        ShowWindow(child, SW_SHOWNA);
    } else {
        DrawSelfDrawn(control);
    }
}

void ControlHide(ToolboxControlRecord* control, bool drawPending) {
    if (!IsControlRecord(control)) return;
    bool wasVisible = control->flags & kControlVisible;
    control->flags &= uint8_t(~kControlVisible);
    if (HWND child = ControlChild(control)) {
        if (drawPending) {
            if (HWND window = ControlOwnerWindow(control)) UpdateWindow(window);
        }
        ShowWindow(child, SW_HIDE);
    } else if (wasVisible) {
        EraseArea(control);
    }
}

void ControlSetEnabled(ToolboxControlRecord* control, bool enabled) {
    if (!IsControlRecord(control)) return;
    if (!enabled) ControlGiveUpFocus(control);
    bool was = control->flags & kControlEnabled;
    if (enabled)
        control->flags |= kControlEnabled;
    else
        control->flags &= uint8_t(~kControlEnabled);
    if (HWND child = ControlChild(control)) {
        if (!(control->flags & kControlNothingToScroll)) EnableWindow(child, enabled);
    } else if (was != enabled &&
               (SendControlMessage(control, kControlFeatures, 0) & kFeatureRedrawOnEnable)) {
        DrawSelfDrawn(control);
    }
}

bool ControlIsEnabled(const ToolboxControlRecord* control) {
    return IsControlRecord(control) && (control->flags & kControlEnabled) &&
           !(control->flags & kControlNothingToScroll);
}

void ControlHilite(ToolboxControlRecord* control, int32_t state) {
    if (!IsControlRecord(control)) return;
    if (control->flags & kControlNative) {
        if (control->type == kControlPushButton)
            SendMessageA(ControlChild(control), BM_SETSTATE, state == kHighlightPressed, 0);
        control->highlight = uint16_t(state == kHighlightPressed ? kHighlightPressed : 0);
        return;
    }
    if (state == kHighlightInactive) {
        control->highlight = kHighlightInactive;
        ControlSetEnabled(control, false);
    } else if (state != kHighlightNone) {
        if (!(control->flags & kControlEnabled)) return;
        control->highlight = uint16_t(state);
        if ((control->flags & kControlVisible) && ControlWindowShown(control))
            SendControlMessage(control, kControlDraw, state);
    } else if (control->highlight != kHighlightNone && control->highlight != kHighlightInactive) {
        int32_t part = control->highlight;
        control->highlight = kHighlightNone;
        if ((control->flags & kControlVisible) && ControlWindowShown(control))
            SendControlMessage(control, kControlDraw, part);
    } else {
        control->highlight = kHighlightNone;
        ControlSetEnabled(control, true);
    }
}

int32_t ControlGetHilite(const ToolboxControlRecord* control) {
    if (!IsControlRecord(control)) return 0;
    if (control->type == kControlPushButton) {
        LRESULT state = SendMessageA(ControlChild(control), BM_GETSTATE, 0, 0);
        return (state & BST_PUSHED) ? kHighlightPressed : 0;
    }
    return control->highlight;
}

void ControlMoveSize(ToolboxControlRecord* control, const Rect16* bounds) {
    if (!IsControlRecord(control) || !bounds) return;
    Rect16 old = control->bounds;
    control->bounds = *bounds;
    if (HWND child = ControlChild(control)) {
        if (control->type == kControlScrollBar) {
            DWORD was = DWORD(GetWindowLongA(child, GWL_STYLE)) & SBS_VERT;
            if (was != (ControlNativeStyle(control) & SBS_VERT)) {
                int32_t value = ControlGetValue(control);
                RecreateControlChild(control, "");
                ControlSetPageSize(control, control->page);
                ControlSetValue(control, value);
                return;
            }
        }
        RECT r = ControlNativeRect(control);
        MoveWindow(child, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        if (control->flags & kControlVisible) ClipChildToOwner(control);
        return;
    }
    bool sized = old.bottom - old.top != bounds->bottom - bounds->top ||
                 old.right - old.left != bounds->right - bounds->left;
    RegionRecord* region = NewRegion();
    SendControlMessage(control, sized ? kControlSized : kControlMoved, intptr_t(region));
    if (region) DisposeRegion(region);
    if (control->flags & kControlVisible) {
        control->bounds = old;
        EraseArea(control);
        control->bounds = *bounds;
        EraseArea(control);
    }
}

int32_t ControlGetTitle(const ToolboxControlRecord* control, char* out, int32_t size) {
    if (out && size > 0) out[0] = 0;
    if (!IsControlRecord(control) || control->type == kControlStaticText) return 0;
    HWND child = ControlChild(control);
    if (!child || !out || size <= 0) return 0;
    int32_t room = size < kControlTitleBytes ? size : kControlTitleBytes;
    return GetWindowTextA(child, out, room);
}

void ControlSetTitle(ToolboxControlRecord* control, const char* title) {
    if (!IsControlRecord(control) || control->type == kControlStaticText) return;
    HWND child = ControlChild(control);
    if (!child) return;
    char copy[kControlTitleBytes];
    std::snprintf(copy, sizeof copy, "%s", title ? title : "");
    SetWindowTextA(child, copy);
}

intptr_t CustomControlData(const ToolboxControlRecord* control) {
    return IsControlRecord(control) && !(control->flags & kControlNative) ? control->data : 0;
}

int32_t SendControlMessage(ToolboxControlRecord* control, int32_t message, intptr_t parameter) {
    if (!control || !control->definition || (control->flags & kControlNative)) return 0;
    NativeWindowRecord* owner = Owner(control);
    void* previous = DrawingLayer().currentPort();
    if (owner) DrawingLayer().setCurrentPort(&owner->state);
    int32_t result = control->definition(control->variant, control, message, parameter);
    DrawingLayer().setCurrentPort(previous);
    return result;
}

void InstallControlCalls() {
    DrawingLayerProcs procs = DrawingLayer();
    procs.controlNotify = &Notify;
    procs.disposeControls = &DisposeControlsOf;
    SetDrawingLayerProcs(&procs);
    SetControlWindowShownProc(&OwnerShown);
    SetControlKeyOwnerProc(&KeyOwner);
    // Windows take their scroll bars from the control layer from now on.
    InstallControlScrollBars();
}
