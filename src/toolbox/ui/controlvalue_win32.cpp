// Value, minimum, maximum and page of controls by type: native controls
// keep their own (a check box's maximum and a scroll bar's range and page
// are kept in the record beside), self-drawn controls keep theirs in the
// record.
//
// Guarantees: every set goes through the type's range rules, so a value
// reads back within minimum and maximum; a scroll bar's native page and
// maximum are the control's page + 1 and maximum + page; a scroll bar
// with nothing to scroll has its arrows disabled and flag 0x20, and its
// child window is made again when the range grows.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "toolbox/ui/control.h"
#include "toolbox/ui/control_win32.h"

namespace {

LRESULT Send(const ToolboxControlRecord* control, UINT message, WPARAM wParam = 0,
             LPARAM lParam = 0) {
    HWND child = ControlChild(control);
    return child ? SendMessageA(child, message, wParam, lParam) : 0;
}

int32_t ScrollPosition(const ToolboxControlRecord* control) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    if (!GetScrollInfo(ControlChild(control), SB_CTL, &info)) return control->minimum;
    return info.nPos;
}

// The scroll bar's range, page and position onto the native bar.
void ApplyScrollBar(ToolboxControlRecord* control, int32_t value) {
    bool nothing = ScrollNothingToScroll(control->minimum, control->maximum);
    if (!nothing && (control->flags & kControlNothingToScroll)) {
        control->flags &= uint8_t(~kControlNothingToScroll);
        RecreateControlChild(control, "");
    }
    NativeScrollRange native =
        NativeScrollFromControl(control->minimum, control->maximum, control->page);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = native.minimum;
    info.nMax = std::max(native.maximum, native.minimum);
    info.nPage = UINT(native.page);
    info.nPos = nothing ? control->minimum : std::clamp(value, control->minimum, control->maximum);
    HWND child = ControlChild(control);
    SetScrollInfo(child, SB_CTL, &info, TRUE);
    if (nothing) {
        EnableScrollBar(child, SB_CTL, ESB_DISABLE_BOTH);
        control->flags |= kControlNothingToScroll;
    } else {
        EnableWindow(child, (control->flags & kControlEnabled) != 0);
    }
}

ControlRange ReadRange(const ToolboxControlRecord* control) {
    ControlRange r{0, 0, 0};
    switch (control->type) {
    case kControlPushButton:
        r.value = (Send(control, BM_GETSTATE) & BST_PUSHED) ? 1 : 0;
        break;
    case kControlRadioButton:
        r.value = int32_t(Send(control, BM_GETCHECK));
        r.maximum = 1;
        break;
    case kControlCheckBox:
        r.value = int32_t(Send(control, BM_GETCHECK));
        r.maximum = control->maximum;
        break;
    case kControlScrollBar:
        r.value = ScrollPosition(control);
        r.minimum = control->minimum;
        r.maximum = control->maximum;
        break;
    case kControlTabs:
        r.maximum = int32_t(Send(control, TCM_GETITEMCOUNT));
        r.minimum = r.maximum > 0 ? 1 : 0;
        r.value = r.maximum > 0 ? int32_t(Send(control, TCM_GETCURSEL)) + 1 : 0;
        break;
    case kControlProgressBar:
        r.value = int32_t(Send(control, PBM_GETPOS));
        r.minimum = int32_t(Send(control, PBM_GETRANGE, TRUE));
        r.maximum = int32_t(Send(control, PBM_GETRANGE, FALSE));
        break;
    case kControlSelfDrawn:
        r = ControlRange{control->value, control->minimum, control->maximum};
        break;
    default:
        break;
    }
    return r;
}

void SetTabCount(ToolboxControlRecord* control, int32_t count) {
    int32_t have = int32_t(Send(control, TCM_GETITEMCOUNT));
    for (; have < count; ++have) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        char empty[] = "";
        item.pszText = empty;
        Send(control, TCM_INSERTITEMA, WPARAM(have), reinterpret_cast<LPARAM>(&item));
    }
    for (; have > count; --have)
        Send(control, TCM_DELETEITEM, WPARAM(have - 1));
}

void RedrawSelfDrawn(ToolboxControlRecord* control) {
    if ((control->flags & kControlVisible) && ControlWindowShown(control))
        SendControlMessage(control, kControlDraw, 0);
}

// Writes a range the rules produced back to the control.
void WriteRange(ToolboxControlRecord* control, const ControlRange& before, const ControlRange& r) {
    switch (control->type) {
    case kControlPushButton:
        Send(control, BM_SETSTATE, WPARAM(r.value != 0));
        control->highlight = r.value ? kHighlightPressed : kHighlightNone;
        break;
    case kControlRadioButton:
        Send(control, BM_SETCHECK, WPARAM(r.value));
        break;
    case kControlCheckBox:
        if (r.maximum != control->maximum) {
            control->maximum = r.maximum;
            Send(control, BM_SETSTYLE, ControlNativeStyle(control), TRUE);
        }
        Send(control, BM_SETCHECK, WPARAM(r.value));
        break;
    case kControlScrollBar:
        control->minimum = r.minimum;
        control->maximum = r.maximum;
        ApplyScrollBar(control, r.value);
        break;
    case kControlTabs:
        if (r.maximum != before.maximum) SetTabCount(control, r.maximum);
        if (r.value > 0) Send(control, TCM_SETCURSEL, WPARAM(r.value - 1));
        break;
    case kControlProgressBar:
        if (r.minimum != before.minimum || r.maximum != before.maximum)
            Send(control, PBM_SETRANGE32, WPARAM(r.minimum), LPARAM(r.maximum));
        Send(control, PBM_SETPOS, WPARAM(r.value));
        break;
    case kControlSelfDrawn:
        control->value = r.value;
        control->minimum = r.minimum;
        control->maximum = r.maximum;
        if (before.value != r.value || before.minimum != r.minimum || before.maximum != r.maximum)
            RedrawSelfDrawn(control);
        break;
    default:
        break;
    }
}

enum class Field { kValue, kMinimum, kMaximum };

void SetField(ToolboxControlRecord* control, Field field, int32_t v) {
    if (!IsControlRecord(control)) return;
    ControlRange before = ReadRange(control);
    ControlRange r = before;
    switch (field) {
    case Field::kValue:
        ControlRangeSetValue(control->type, &r, v);
        break;
    case Field::kMinimum:
        ControlRangeSetMinimum(control->type, &r, v);
        break;
    case Field::kMaximum:
        ControlRangeSetMaximum(control->type, &r, v);
        break;
    }
    WriteRange(control, before, r);
}

} // namespace

int32_t ControlGetValue(const ToolboxControlRecord* control) {
    return IsControlRecord(control) ? ReadRange(control).value : 0;
}

int32_t ControlGetMinimum(const ToolboxControlRecord* control) {
    return IsControlRecord(control) ? ReadRange(control).minimum : 0;
}

int32_t ControlGetMaximum(const ToolboxControlRecord* control) {
    return IsControlRecord(control) ? ReadRange(control).maximum : 0;
}

void ControlSetValue(ToolboxControlRecord* control, int32_t value) {
    SetField(control, Field::kValue, value);
}

void ControlSetMinimum(ToolboxControlRecord* control, int32_t minimum) {
    SetField(control, Field::kMinimum, minimum);
}

void ControlSetMaximum(ToolboxControlRecord* control, int32_t maximum) {
    SetField(control, Field::kMaximum, maximum);
}

void ControlSetPageSize(ToolboxControlRecord* control, int32_t page) {
    if (!IsControlRecord(control) || control->type != kControlScrollBar) return;
    int32_t value = ScrollPosition(control);
    control->page = std::max(page, 0);
    ApplyScrollBar(control, value);
}

int32_t ControlGetPageSize(const ToolboxControlRecord* control) {
    return IsControlRecord(control) && control->type == kControlScrollBar ? control->page : 0;
}
