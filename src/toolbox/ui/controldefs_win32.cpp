// The toolbox's self-drawn control definitions, drawn with GDI into the
// control's window: the icon button (a framed button with a 3-D edge in
// tones of the button shadow colour and its icon centred), the toggle
// triangle, the user pane (drawn by the procedure it keeps), the icon and
// the popup button over a menu; and the choice of a definition procedure
// for a self-drawn definition number.
//
// Guarantees: every definition checks tag sizes before changing
// anything; a popup button's value, minimum and maximum are 0 while it has
// no menu or an empty one, else the value lies in 1..entry count.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "toolbox/core/icon_win32.h"
#include "toolbox/core/menurecord.h"
#include "toolbox/core/menutrack_win32.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/control_win32.h"
#include "toolbox/ui/controldefs.h"
#include "toolbox/ui/xdlg.h"

namespace {

constexpr int32_t kLighterSteps = 42;
constexpr int32_t kDarkerSteps = 43;
constexpr int32_t kLargeIcon = 32;
constexpr int32_t kSmallIcon = 16;
constexpr int32_t kStickyOption = 0x200;
constexpr intptr_t kStickyBit = intptr_t(1) << 16;
constexpr intptr_t kIconMask = 0xFFFF;
constexpr int32_t kTriangleSize = 9;
constexpr int32_t kPopupArrowWidth = 16;
constexpr int32_t kPopupTextInset = 4;

constexpr int32_t kIconButtonFeatures =
    kFeatureRedrawOnEnable | kFeatureTracksItself | kFeatureTaggedData;
constexpr int32_t kTriangleFeatures = kFeatureRedrawOnEnable | kFeatureTaggedData;
constexpr int32_t kUserPaneFeatures = kFeatureTaggedData;
constexpr int32_t kIconFeatures = kFeatureTracksItself | kFeatureTaggedData;
constexpr int32_t kPopupFeatures =
    kFeatureRedrawOnEnable | kFeatureTracksItself | kFeatureTaggedData;

struct PopupData {
    MenuRecord* menu;
    ControlStyleBlock style;
    int16_t menuWidth, menuHeight;
};

ControlKind KindOf(const ToolboxControlRecord* control) {
    return ControlKind{control->type, control->definitionKind, control->variant};
}

bool Active(const ToolboxControlRecord* control) {
    return (control->flags & kControlEnabled) && control->highlight != kHighlightInactive;
}

// A DC of the control's window for one drawing, given back afterwards.
class WindowDc {
  public:
    explicit WindowDc(const ToolboxControlRecord* control)
        : window_(ControlOwnerWindow(control)), dc_(window_ ? GetDC(window_) : nullptr) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC dc() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

COLORREF Shifted(COLORREF colour, int32_t steps) {
    auto channel = [&](int32_t c) { return BYTE(std::clamp(c + steps, 0, 255)); };
    return RGB(channel(GetRValue(colour)), channel(GetGValue(colour)), channel(GetBValue(colour)));
}

void FillWith(HDC dc, const RECT& r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, old);
    DeleteObject(pen);
}

// Copies the stored bytes when the buffer holds them.
int32_t GiveData(ControlDataRequest* request, const void* bytes, int32_t size) {
    request->actualSize = size;
    if (request->size < size) return kControlErrWrongSize;
    if (request->data) std::memcpy(request->data, bytes, size_t(size));
    return 0;
}

int32_t CheckData(const ToolboxControlRecord* control, const ControlDataRequest* request,
                  bool set) {
    ControlKind kind = KindOf(control);
    int32_t check = ControlTagCheck(&kind, request->tag, request->size, set);
    if (check == 0 && set && request->size > 0 && !request->data) return kControlErrWrongSize;
    return check;
}

Rect16 IconSquare(const Rect16& b) {
    int32_t side =
        b.bottom - b.top >= kLargeIcon && b.right - b.left >= kLargeIcon ? kLargeIcon : kSmallIcon;
    int32_t top = (b.top + b.bottom - side) / 2, left = (b.left + b.right - side) / 2;
    return Rect16{int16_t(top), int16_t(left), int16_t(top + side), int16_t(left + side)};
}

// ---- icon button -------------------------------------------------------

void DrawIconButton(ToolboxControlRecord* control) {
    WindowDc w(control);
    if (!w.dc()) return;
    const Rect16& b = control->bounds;
    RECT r{b.left, b.top, b.right, b.bottom};
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    COLORREF light = Shifted(shadow, kLighterSteps), dark = Shifted(shadow, -kDarkerSteps);
    bool pressed = control->highlight == kPartButton || control->value != 0;
    FillWith(w.dc(), r, GetSysColor(COLOR_BTNFACE));
    HBRUSH frame = CreateSolidBrush(dark);
    FrameRect(w.dc(), &r, frame);
    DeleteObject(frame);
    COLORREF upper = pressed ? dark : light, lower = pressed ? light : dark;
    Line(w.dc(), r.left + 1, r.bottom - 2, r.left + 1, r.top + 1, upper);
    Line(w.dc(), r.left + 1, r.top + 1, r.right - 1, r.top + 1, upper);
    Line(w.dc(), r.right - 2, r.top + 1, r.right - 2, r.bottom - 2, lower);
    Line(w.dc(), r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 2, lower);
    Rect16 icon = IconSquare(b);
    DrawIconInRectOf(w.dc(), &icon, true, Active(control) ? kIconNormal : kIconGreyed,
                     int16_t(control->data & kIconMask));
}

// A tag kept in the data word (the bits of the mask).
template <typename T>
int32_t DataWordTag(ToolboxControlRecord* control, int32_t message, intptr_t parameter,
                    intptr_t mask = ~intptr_t(0)) {
    auto* request = reinterpret_cast<ControlDataRequest*>(parameter);
    bool set = message == kControlSetData;
    if (int32_t check = CheckData(control, request, set)) return check;
    if (!set) {
        T word = T(control->data & mask);
        return GiveData(request, &word, sizeof word);
    }
    T word;
    std::memcpy(&word, request->data, sizeof word);
    control->data = (control->data & ~mask) | (intptr_t(word) & mask);
    return 0;
}

int32_t IconResourceData(ToolboxControlRecord* control, int32_t message, intptr_t parameter) {
    int32_t result = DataWordTag<int16_t>(control, message, parameter, kIconMask);
    if (result == 0 && message == kControlSetData && (control->flags & kControlVisible) &&
        ControlWindowShown(control))
        SendControlMessage(control, kControlDraw, 0);
    return result;
}

int32_t InsidePart(const ToolboxControlRecord* control, intptr_t parameter, int32_t part) {
    return ControlContains(control, UnpackControlPoint(parameter)) ? part : 0;
}

// The pointer is followed in and out; a sticky button released on stays
// down (value 1) until its value is set back.
int32_t TrackIconButton(ToolboxControlRecord* control, const ControlTrackRequest* request) {
    if (!request) return 0;
    int32_t part = FollowControlPart(control, request->point, request->action);
    if (part == kPartButton && (control->data & kStickyBit)) ControlSetValue(control, 1);
    return part;
}

int32_t IconButtonDefinition(int16_t, ToolboxControlRecord* control, int32_t message,
                             intptr_t parameter) {
    switch (message) {
    case kControlInitialise:
        control->data = intptr_t(uint16_t(control->maximum)) |
                        ((control->minimum & kStickyOption) ? kStickyBit : 0);
        control->value = control->minimum = 0;
        control->maximum = 1;
        return 0;
    case kControlDraw:
        DrawIconButton(control);
        return 0;
    case kControlHitTest:
        return InsidePart(control, parameter, kPartButton);
    case kControlTrack:
        return TrackIconButton(control, reinterpret_cast<const ControlTrackRequest*>(parameter));
    case kControlFeatures:
        return kIconButtonFeatures;
    case kControlSetData:
    case kControlGetData:
        return IconResourceData(control, message, parameter);
    default:
        return 0;
    }
}

// ---- toggle triangle ----------------------------------------------------

void DrawTriangle(ToolboxControlRecord* control) {
    WindowDc w(control);
    if (!w.dc()) return;
    const Rect16& b = control->bounds;
    RECT r{b.left, b.top, b.right, b.bottom};
    FillWith(w.dc(), r, GetSysColor(COLOR_BTNFACE));
    int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2, half = kTriangleSize / 2;
    POINT points[3];
    if (control->value == 0) { // pointing right
        points[0] = {cx - half / 2, cy - half};
        points[1] = {cx - half / 2, cy + half};
        points[2] = {cx + half / 2 + 1, cy};
    } else { // pointing down
        points[0] = {cx - half, cy - half / 2};
        points[1] = {cx + half, cy - half / 2};
        points[2] = {cx, cy + half / 2 + 1};
    }
    COLORREF colour = Active(control) ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT);
    HBRUSH brush = CreateSolidBrush(colour);
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ oldBrush = SelectObject(w.dc(), brush), oldPen = SelectObject(w.dc(), pen);
    Polygon(w.dc(), points, 3);
    SelectObject(w.dc(), oldBrush);
    SelectObject(w.dc(), oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

int32_t TriangleDefinition(int16_t, ToolboxControlRecord* control, int32_t message,
                           intptr_t parameter) {
    switch (message) {
    case kControlInitialise:
        control->data = control->value;
        return 0;
    case kControlDraw:
        control->data = control->value;
        DrawTriangle(control);
        return 0;
    case kControlHitTest:
        return InsidePart(control, parameter, kPartToggleTriangle);
    case kControlFeatures:
        return kTriangleFeatures;
    case kControlSetData:
    case kControlGetData:
        return DataWordTag<int16_t>(control, message, parameter);
    default:
        return 0;
    }
}

// ---- user pane -----------------------------------------------------------

int32_t UserPaneDefinition(int16_t, ToolboxControlRecord* control, int32_t message,
                           intptr_t parameter) {
    switch (message) {
    case kControlDraw:
        if (auto draw = reinterpret_cast<UserPaneDrawProc>(control->data))
            draw(control, int16_t(parameter));
        return 0;
    case kControlFeatures:
        return kUserPaneFeatures;
    case kControlSetData:
    case kControlGetData:
        return DataWordTag<intptr_t>(control, message, parameter);
    default:
        return 0;
    }
}

// ---- icon ------------------------------------------------------------------

int32_t IconDefinition(int16_t, ToolboxControlRecord* control, int32_t message,
                       intptr_t parameter) {
    switch (message) {
    case kControlInitialise:
        control->data = intptr_t(uint16_t(control->value));
        control->value = control->minimum = control->maximum = 0;
        return 0;
    case kControlDraw: {
        WindowDc w(control);
        if (w.dc())
            DrawIconInRectOf(w.dc(), &control->bounds, true,
                             Active(control) ? kIconNormal : kIconGreyed,
                             int16_t(control->data & kIconMask));
        return 0;
    }
    case kControlHitTest:
        return InsidePart(control, parameter, kPartIcon);
    case kControlTrack: {
        auto* request = reinterpret_cast<const ControlTrackRequest*>(parameter);
        return request && ControlContains(control, request->point) ? kPartIcon : 0;
    }
    case kControlFeatures:
        return kIconFeatures;
    case kControlSetData:
    case kControlGetData:
        return IconResourceData(control, message, parameter);
    default:
        return 0;
    }
}

// ---- popup button ------------------------------------------------------------

PopupData* PopupOf(const ToolboxControlRecord* control) {
    return reinterpret_cast<PopupData*>(control->data);
}

MenuRecord* MenuWithId(int32_t id) {
    for (MenuRecord* m = MenuRecordList(); m; m = m->next)
        if (m->menuId == id) return m;
    return nullptr;
}

void TakeMenu(ToolboxControlRecord* control, MenuRecord* menu) {
    PopupData* data = PopupOf(control);
    data->menu = menu;
    ControlRange range = PopupRangeForMenu(menu != nullptr, menu ? MenuItemCount(menu) : 0);
    control->value = range.value;
    control->minimum = range.minimum;
    control->maximum = range.maximum;
    data->menuWidth = int16_t(control->bounds.right - control->bounds.left);
    data->menuHeight = int16_t(menu ? MenuRowHeight(menu) : 0);
}

void DrawPopup(ToolboxControlRecord* control) {
    WindowDc w(control);
    if (!w.dc()) return;
    PopupData* data = PopupOf(control);
    const Rect16& b = control->bounds;
    RECT r{b.left, b.top, b.right, b.bottom};
    FillWith(w.dc(), r, GetSysColor(COLOR_WINDOW));
    HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
    FrameRect(w.dc(), &r, frame);
    DeleteObject(frame);
    COLORREF text = Active(control) ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
    if (data->menu && control->value > 0) {
        std::string entry = MenuItemTextOf(data->menu, control->value);
        RECT t{r.left + kPopupTextInset, r.top, r.right - kPopupArrowWidth, r.bottom};
        SetBkMode(w.dc(), TRANSPARENT);
        SetTextColor(w.dc(), text);
        HGDIOBJ old = SelectObject(w.dc(), GetStockObject(DEFAULT_GUI_FONT));
        DrawTextA(w.dc(), entry.c_str(), int(entry.size()), &t,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(w.dc(), old);
    }
    int cx = r.right - kPopupArrowWidth / 2, cy = (r.top + r.bottom) / 2;
    for (int i = 0; i < 4; ++i)
        Line(w.dc(), cx - 3 + i, cy - 1 + i, cx + 4 - i, cy - 1 + i, text);
}

int32_t TrackPopup(ToolboxControlRecord* control, const ControlTrackRequest* request) {
    PopupData* data = PopupOf(control);
    if (!request || !data->menu || !ControlContains(control, request->point)) return 0;
    POINT at{control->bounds.left, control->bounds.bottom};
    ClientToScreen(ControlOwnerWindow(control), &at);
    if (HWND client = MdiClientHandle()) ScreenToClient(client, &at);
    int32_t chosen =
        TrackPopupMenuAt(data->menu, Point16{int16_t(at.y), int16_t(at.x)}, control->value);
    if (chosen <= 0) return 0;
    ControlSetValue(control, chosen);
    return kPartPopupButton;
}

int32_t PopupTagData(ToolboxControlRecord* control, ControlDataRequest* request, bool set) {
    if (int32_t check = CheckData(control, request, set)) return check;
    PopupData* data = PopupOf(control);
    if (request->tag == kTagFont) {
        if (!set) return GiveData(request, &data->style, sizeof data->style);
        std::memcpy(&data->style, request->data, sizeof data->style);
    } else {
        if (!set) return GiveData(request, &data->menu, sizeof data->menu);
        MenuRecord* menu;
        std::memcpy(&menu, request->data, sizeof menu);
        TakeMenu(control, menu);
    }
    if ((control->flags & kControlVisible) && ControlWindowShown(control)) DrawPopup(control);
    return 0;
}

int32_t PopupDefinition(int16_t, ToolboxControlRecord* control, int32_t message,
                        intptr_t parameter) {
    if (message == kControlInitialise) {
        auto* data = static_cast<PopupData*>(std::calloc(1, sizeof(PopupData)));
        control->data = reinterpret_cast<intptr_t>(data);
        if (!data) {
            control->value = control->minimum = control->maximum = 0;
            return 0;
        }
        int32_t id = control->minimum;
        TakeMenu(control, PopupMenuIdMakesMenu(id) ? MenuWithId(id) : nullptr);
        return 0;
    }
    if (!PopupOf(control)) return 0;
    switch (message) {
    case kControlDispose:
        std::free(PopupOf(control));
        control->data = 0;
        return 0;
    case kControlDraw:
        DrawPopup(control);
        return 0;
    case kControlHitTest:
        return InsidePart(control, parameter, kPartPopupButton);
    case kControlTrack:
        return TrackPopup(control, reinterpret_cast<const ControlTrackRequest*>(parameter));
    case kControlFeatures:
        return kPopupFeatures;
    case kControlSetData:
    case kControlGetData:
        return PopupTagData(control, reinterpret_cast<ControlDataRequest*>(parameter),
                            message == kControlSetData);
    default:
        return 0;
    }
}

} // namespace

ControlDefinitionProc ControlDefinitionFor(int32_t kind, int32_t definitionNumber) {
    switch (kind) {
    case kDefinitionIconButton:
        return &IconButtonDefinition;
    case kDefinitionToggleTriangle:
        return &TriangleDefinition;
    case kDefinitionUserPane:
        return &UserPaneDefinition;
    case kDefinitionIcon:
        return &IconDefinition;
    case kDefinitionPopupButton:
        return &PopupDefinition;
    case kDefinitionRegistered:
        return FindControlDefinition(definitionNumber);
    default:
        return nullptr;
    }
}
