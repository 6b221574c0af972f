// Hit testing, tracking and keys of controls, and the native notifications
// of their child windows.
//
// A native control is tracked by handing its child window a press at the
// point: a scroll bar runs its own loop until the release and reports its
// steps as notifications, which become parts 20 to 23 and 129 for the
// action procedure; a button is followed until the release; tabs select
// the tab at once. A self-drawn control tracks itself when it declares
// so, otherwise the pointer is followed with the part first hit kept
// highlighted while the pointer stays over it.
//
// Guarantees: only one tracking is in progress; the tracked control's
// notifications reach its action procedure once per step; characters
// below 32 other than backspace, Tab and Return never reach a control.
#include <windows.h>

#include <commctrl.h>

#include "toolbox/core/inputmessage.h"
#include "toolbox/core/osinput.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/control_win32.h"

namespace {

ControlTracking g_tracking{nullptr, nullptr, 0};

constexpr uint8_t kCharBackspace = 8;
constexpr uint8_t kCharTab = 9;
constexpr uint8_t kCharReturn = 13;
constexpr uint8_t kFirstPlainCharacter = 32;
constexpr int32_t kPrimaryButton = 0;
constexpr DWORD kTrackWaitMs = 10;

int32_t TabAt(const ToolboxControlRecord* control, Point16 point) {
    TCHITTESTINFO info{};
    info.pt = POINT{point.h - control->bounds.left, point.v - control->bounds.top};
    return int32_t(
        SendMessageA(ControlChild(control), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
}

LPARAM ChildPoint(const ToolboxControlRecord* control, Point16 point) {
    return MAKELPARAM(point.h - control->bounds.left, point.v - control->bounds.top);
}

void CallAction(ToolboxControlRecord* control, ControlActionProc action, int16_t part) {
    if (!action) return;
    if (action == DefinitionActionProc())
        SendControlMessage(control, kControlAction, part);
    else
        action(control, part);
}

int16_t PartOfScrollCode(int32_t code) {
    switch (code) {
    case SB_LINEUP:
        return kPartLineUp;
    case SB_LINEDOWN:
        return kPartLineDown;
    case SB_PAGEUP:
        return kPartPageUp;
    case SB_PAGEDOWN:
        return kPartPageDown;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        return kPartThumbPosition;
    default:
        return 0;
    }
}

// Follows a pressed button until the release reaches it.
int32_t FollowButton(ToolboxControlRecord* control, Point16 point) {
    HWND child = ControlChild(control);
    SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, ChildPoint(control, point));
    POINT up{point.h, point.v};
    for (;;) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(int(msg.wParam));
                break;
            }
            if (msg.message == WM_LBUTTONUP) {
                up = POINT{short(LOWORD(msg.lParam)), short(HIWORD(msg.lParam))};
                MapWindowPoints(msg.hwnd, ControlOwnerWindow(control), &up, 1);
                if (msg.hwnd == child) DispatchMessageA(&msg);
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (GetCapture() != child && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kTrackWaitMs, QS_ALLINPUT);
    }
    if (GetCapture() == child) ReleaseCapture();
    if (control->type == kControlPushButton) SendMessageA(child, BM_SETSTATE, FALSE, 0);
    Point16 at{int16_t(up.y), int16_t(up.x)};
    return ControlHitPart(control, at);
}

int32_t TrackNative(ToolboxControlRecord* control, Point16 point, ControlActionProc action) {
    int32_t part = ControlHitPart(control, point);
    if (!part) return 0;
    HWND child = ControlChild(control);
    switch (control->type) {
    case kControlPushButton:
    case kControlCheckBox:
    case kControlRadioButton:
        return FollowButton(control, point);
    case kControlScrollBar: {
        ControlTracking saved = g_tracking;
        g_tracking = ControlTracking{control, action, 0};
        SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, ChildPoint(control, point));
        int32_t last = g_tracking.lastPart;
        g_tracking = saved;
        return last;
    }
    case kControlTabs:
        SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, ChildPoint(control, point));
        SendMessageA(child, WM_LBUTTONUP, 0, ChildPoint(control, point));
        return int32_t(SendMessageA(child, TCM_GETCURSEL, 0, 0)) + 1;
    default:
        return part;
    }
}

// The pointer in the control's window, from the input source's point in
// the frame's client area.
Point16 PointerInWindow(const ToolboxControlRecord* control) {
    Point32 client{};
    OsMouseClient(&client);
    POINT p{client.h, client.v};
    MapWindowPoints(FrameWindowHandle(), ControlOwnerWindow(control), &p, 1);
    return Point16{int16_t(p.y), int16_t(p.x)};
}

int32_t TrackSelfDrawn(ToolboxControlRecord* control, Point16 point, uint16_t modifiers,
                       ControlActionProc action) {
    if (SendControlMessage(control, kControlFeatures, 0) & kFeatureTracksItself) {
        ControlTrackRequest request{point, modifiers, action};
        return SendControlMessage(control, kControlTrack, intptr_t(&request));
    }
    return FollowControlPart(control, point, action);
}

bool CharacterDropped(uint8_t character) {
    return character < kFirstPlainCharacter && character != kCharBackspace &&
           character != kCharTab && character != kCharReturn;
}

} // namespace

int32_t FollowControlPart(ToolboxControlRecord* control, Point16 point, ControlActionProc action) {
    int32_t part = ControlHitPart(control, point);
    if (!part) return 0;
    ControlHilite(control, part);
    bool over = true;
    while (PollMouseStillDown(kPrimaryButton)) {
        bool now = ControlHitPart(control, PointerInWindow(control)) == part;
        if (now != over) ControlHilite(control, now ? part : kHighlightNone);
        over = now;
        if (over) CallAction(control, action, int16_t(part));
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kTrackWaitMs, QS_ALLINPUT);
    }
    over = ControlHitPart(control, PointerInWindow(control)) == part;
    ControlHilite(control, kHighlightNone);
    return over ? part : 0;
}

ControlTracking* CurrentControlTracking() {
    return &g_tracking;
}

int32_t ControlHitPart(ToolboxControlRecord* control, Point16 point) {
    if (!IsControlRecord(control)) return 0;
    bool inside = ControlContains(control, point);
    if (!(control->flags & kControlNative)) {
        if (!inside || !(control->flags & kControlVisible) || !(control->flags & kControlEnabled))
            return 0;
        return SendControlMessage(control, kControlHitTest, PackControlPoint(point));
    }
    int32_t tab = control->type == kControlTabs && inside ? TabAt(control, point) : -1;
    return NativeHitPart(control->type, control->flags, inside, tab);
}

ToolboxControlRecord* FindControlAt(NativeWindowRecord* window, Point16 point, int32_t* part) {
    if (part) *part = 0;
    bool nativeHit = false;
    for (ToolboxControlRecord* c = FirstControlOf(window); c; c = c->next) {
        if (c->flags & kControlNative) {
            nativeHit = nativeHit || ControlContains(c, point);
            continue;
        }
        if (int32_t p = ControlHitPart(c, point)) {
            if (part) *part = p;
            return c;
        }
    }
    if (!nativeHit) return nullptr;
    HWND parent = NativeWindowOf(window);
    HWND child = ChildWindowFromPointEx(parent, POINT{point.h, point.v},
                                        CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    ToolboxControlRecord* control =
        child && child != parent ? ControlFromNativeWindow(child) : nullptr;
    if (!control) return nullptr;
    if (part) *part = ControlHitPart(control, point);
    return control;
}

void ControlSetActionProc(ToolboxControlRecord* control, ControlActionProc action) {
    if (IsControlRecord(control)) control->action = action;
}

int32_t ControlTrack(ToolboxControlRecord* control, Point16 point, uint16_t modifiers,
                     ControlActionProc action) {
    if (!IsControlRecord(control)) return 0;
    // -1 from the caller: the control's own action procedure (itself -1 for
    // the definition's action, message 8).
    if (action == DefinitionActionProc()) action = control->action;
    if (control->flags & kControlNative) return TrackNative(control, point, action);
    return TrackSelfDrawn(control, point, modifiers, action);
}

int32_t ControlHandleKey(ToolboxControlRecord* control, uint8_t keyCode, uint8_t character,
                         uint16_t modifiers) {
    if (!IsControlRecord(control) || CharacterDropped(character)) return 0;
    if (!(control->flags & kControlNative)) {
        if (!(SendControlMessage(control, kControlFeatures, 0) & kFeatureTakesFocus)) return 0;
        return SendControlMessage(control, kControlKey,
                                  PackControlKey(modifiers, keyCode, character));
    }
    HWND child = ControlChild(control);
    HWND previous = GetFocus();
    if (previous != child) SetFocus(child);
    bool button = control->type == kControlPushButton || control->type == kControlCheckBox ||
                  control->type == kControlRadioButton;
    if (!button) SendMessageA(child, WM_CHAR, WPARAM(character), 0);
    if (previous != child && IsWindow(previous)) SetFocus(previous);
    int32_t tab =
        control->type == kControlTabs ? int32_t(SendMessageA(child, TCM_GETCURSEL, 0, 0)) : -1;
    return NativeHitPart(control->type, control->flags, true, tab);
}

bool ControlNotification(ToolboxControlRecord* control, uint32_t message, uintptr_t wParam,
                         intptr_t lParam, intptr_t* result) {
    if (!IsControlRecord(control)) return false;
    if (result) *result = 0;
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL: {
        int16_t part = PartOfScrollCode(LOWORD(wParam));
        if (!part) return true;
        HWND child = ControlChild(control);
        if (part == kPartThumbPosition) {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_TRACKPOS;
            GetScrollInfo(child, SB_CTL, &info);
            ControlSetValue(control, info.nTrackPos);
        }
        bool tracked = g_tracking.control == control;
        if (tracked) g_tracking.lastPart = part;
        CallAction(control, tracked ? g_tracking.action : control->action, part);
        return true;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        return header->code == UINT(TCN_SELCHANGE) || header->code == UINT(TCN_SELCHANGING);
    }
    case WM_COMMAND:
        return true;
    default:
        return false;
    }
}
