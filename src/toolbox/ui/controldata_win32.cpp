// Tagged data of controls: 'font' (the text style block; the child window's
// font is rebuilt at the window's resolution and static text takes the
// justification), 'text' of static text, the tabs' page area ('rect') and
// tab texts ('tabi'), the push button's default style ('dflt'); self-drawn
// controls pass every tag to their definition when it declares data
// access.
//
// Guarantees: sizes are checked before anything changes; a get never
// writes more than the caller's buffer.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "toolbox/ui/control.h"
#include "toolbox/ui/control_win32.h"
#include "toolbox/ui/fontcache.h"
#include "toolbox/ui/xdlg.h"

namespace {

static_assert(sizeof(ControlStyleBlock) == kControlStyleBytes, "a style block fills the record");

constexpr int16_t kJustifyRight = -1;
constexpr int16_t kJustifyCentre = 1;
constexpr DWORD kStaticAlignMask = SS_TYPEMASK;
constexpr int32_t kTabTextBytes = kTagTabInfoSize;

ControlKind KindOf(const ToolboxControlRecord* control) {
    return ControlKind{control->type, control->definitionKind, control->variant};
}

int16_t WindowResolution(HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return 0;
    int16_t resolution = int16_t(GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(window, dc);
    return resolution;
}

void ApplyFont(ToolboxControlRecord* control) {
    ControlStyleBlock style;
    std::memcpy(&style, control->style, sizeof style);
    HWND child = ControlChild(control);
    void* old = control->font;
    control->font = nullptr;
    if (style.flags & (kStyleFont | kStyleSize | kStyleFace))
        control->font =
            FontCreateCached(style.font, style.size, uint16_t(style.face), WindowResolution(child));
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(control->font), TRUE);
    if (old) ReleaseCachedFont(old);
    if (control->type == kControlStaticText) {
        DWORD align = style.justification == kJustifyRight    ? SS_RIGHT
                      : style.justification == kJustifyCentre ? SS_CENTER
                                                              : SS_LEFT;
        LONG was = GetWindowLongA(child, GWL_STYLE);
        SetWindowLongA(child, GWL_STYLE, LONG((DWORD(was) & ~kStaticAlignMask) | align));
        InvalidateRect(child, nullptr, TRUE);
    }
}

// Copies what fits and answers whether the buffer held it all.
int32_t Give(const void* bytes, int32_t size, void* out, int32_t room, int32_t* actualSize) {
    if (actualSize) *actualSize = size;
    if (room < size) return kControlErrWrongSize;
    if (out && size > 0) std::memcpy(out, bytes, size_t(size));
    return 0;
}

int32_t SetTabText(ToolboxControlRecord* control, int16_t part, const char* data) {
    HWND child = ControlChild(control);
    int32_t index = std::max<int32_t>(part, 1) - 1;
    char text[kTabTextBytes + 1];
    std::memcpy(text, data, kTabTextBytes);
    text[kTabTextBytes] = 0;
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    int32_t count = int32_t(SendMessageA(child, TCM_GETITEMCOUNT, 0, 0));
    if (index < count) {
        SendMessageA(child, TCM_SETITEMA, WPARAM(index), reinterpret_cast<LPARAM>(&item));
        return 0;
    }
    SendMessageA(child, TCM_INSERTITEMA, WPARAM(count), reinterpret_cast<LPARAM>(&item));
    return 0;
}

int32_t GetTabText(ToolboxControlRecord* control, int16_t part, void* out) {
    char text[kTabTextBytes] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = kTabTextBytes;
    SendMessageA(ControlChild(control), TCM_GETITEMA, WPARAM(std::max<int32_t>(part, 1) - 1),
                 reinterpret_cast<LPARAM>(&item));
    std::memcpy(out, text, kTabTextBytes);
    return 0;
}

// The tabs' page area in the window's coordinates.
Rect16 TabPageArea(ToolboxControlRecord* control) {
    RECT r = ControlNativeRect(control);
    SendMessageA(ControlChild(control), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return Rect16{int16_t(r.top), int16_t(r.left), int16_t(r.bottom), int16_t(r.right)};
}

int32_t PassToDefinition(ToolboxControlRecord* control, int32_t message, uint32_t tag, int32_t size,
                         void* data, int32_t* actualSize) {
    if (!(SendControlMessage(control, kControlFeatures, 0) & kFeatureTaggedData))
        return kControlErrUnknownTag;
    ControlDataRequest request{tag, data, size, 0};
    int32_t result = SendControlMessage(control, message, intptr_t(&request));
    if (actualSize) *actualSize = message == kControlGetData ? request.actualSize : size;
    return result;
}

} // namespace

int32_t ControlSetData(ToolboxControlRecord* control, int16_t part, uint32_t tag, int32_t length,
                       const void* data) {
    if (!IsControlRecord(control)) return kControlErrUnknownTag;
    if (!(control->flags & kControlNative))
        return PassToDefinition(control, kControlSetData, tag, length, const_cast<void*>(data),
                                nullptr);
    ControlKind kind = KindOf(control);
    if (int32_t check = ControlTagCheck(&kind, tag, length, true)) return check;
    if (length > 0 && !data) return kControlErrWrongSize;
    HWND child = ControlChild(control);
    if (tag == kTagFont) {
        std::memcpy(control->style, data, kControlStyleBytes);
        ApplyFont(control);
    } else if (tag == kTagText) {
        std::string text(static_cast<const char*>(data), size_t(std::max(length, 0)));
        SetWindowTextA(child, text.c_str());
    } else if (tag == kTagTabInfo) {
        return SetTabText(control, part, static_cast<const char*>(data));
    } else if (tag == kTagDefault) {
        bool on = *static_cast<const uint8_t*>(data) != 0;
        SendMessageA(child, BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
    return 0;
}

int32_t ControlGetData(ToolboxControlRecord* control, int16_t part, uint32_t tag, int32_t size,
                       void* data, int32_t* actualSize) {
    if (!IsControlRecord(control)) return kControlErrUnknownTag;
    if (!(control->flags & kControlNative))
        return PassToDefinition(control, kControlGetData, tag, size, data, actualSize);
    ControlKind kind = KindOf(control);
    int32_t need = ControlTagSize(&kind, tag);
    if (need == kControlErrUnknownTag) return need;
    HWND child = ControlChild(control);
    if (tag == kTagText) {
        int32_t length = GetWindowTextLengthA(child);
        std::string text(size_t(length) + 1, '\0');
        GetWindowTextA(child, text.data(), length + 1);
        return Give(text.data(), length, data, size, actualSize);
    }
    if (actualSize) *actualSize = need;
    if (size < need || !data) return kControlErrWrongSize;
    if (tag == kTagFont) return Give(control->style, kControlStyleBytes, data, size, actualSize);
    if (tag == kTagRect) {
        Rect16 area = TabPageArea(control);
        return Give(&area, sizeof area, data, size, actualSize);
    }
    if (tag == kTagTabInfo) return GetTabText(control, part, data);
    if (tag == kTagDefault) {
        uint8_t on = (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        return Give(&on, 1, data, size, actualSize);
    }
    return 0;
}
