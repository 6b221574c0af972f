// The keyboard focus among a window's controls: the window remembers its
// focused control; native buttons take the system focus, self-drawn
// controls are asked through message 16, get idle time (message 18) while
// they hold it and are told to give it up (message 22) when disabled.
//
// Guarantees: a control that does not take the focus never gets it (and
// the request answers -30582); advancing skips hidden, disabled, 0x10
// controls and those that do not take the focus, wrapping round the list;
// a disabled control never stays the window's focused control.
#include <vector>

#include "toolbox/ui/control.h"
#include "toolbox/ui/control_win32.h"

namespace {

int32_t FeaturesOf(ToolboxControlRecord* control) {
    return control->flags & kControlNative ? 0 : SendControlMessage(control, kControlFeatures, 0);
}

FocusCandidate CandidateOf(ToolboxControlRecord* control) {
    return FocusCandidate{control->type, control->flags, FeaturesOf(control)};
}

// The self-drawn holder is told it lost the focus.
void Release(NativeWindowRecord* window) {
    auto* holder = static_cast<ToolboxControlRecord*>(window->focusedControl);
    window->focusedControl = nullptr;
    if (!IsControlRecord(holder) || (holder->flags & kControlNative)) return;
    StopControlIdle(holder);
    SendControlMessage(holder, kControlFocus, 0);
}

} // namespace

int32_t GetFocusedControl(NativeWindowRecord* window, ToolboxControlRecord** out) {
    if (out) *out = window ? static_cast<ToolboxControlRecord*>(window->focusedControl) : nullptr;
    return 0;
}

int32_t SetControlFocus(ToolboxControlRecord* control, int32_t part) {
    if (!IsControlRecord(control)) return kControlErrNoFocus;
    NativeWindowRecord* window = ControlOwner(control);
    if (!(control->flags & kControlNative)) {
        if (!(FeaturesOf(control) & kFeatureTakesFocus)) return kControlErrNoFocus;
        if (window->focusedControl == control) return 0;
        Release(window);
        if (SendControlMessage(control, kControlFocus, part)) {
            window->focusedControl = control;
            StartControlIdle(control);
        }
        return 0;
    }
    FocusCandidate candidate = CandidateOf(control);
    candidate.flags |= kControlVisible | kControlEnabled;
    if (!ControlAcceptsFocus(&candidate)) return kControlErrNoFocus;
    if (window->focusedControl != control) Release(window);
    SetFocus(ControlChild(control));
    window->focusedControl = control;
    return 0;
}

void ClearControlFocus(NativeWindowRecord* window) {
    if (!window) return;
    auto* holder = static_cast<ToolboxControlRecord*>(window->focusedControl);
    Release(window);
    if (IsControlRecord(holder) && GetFocus() == ControlChild(holder))
        SetFocus(NativeWindowOf(window));
}

void ControlGiveUpFocus(ToolboxControlRecord* control) {
    NativeWindowRecord* window = ControlOwner(control);
    if (!IsControlRecord(control) || !window || window->focusedControl != control) return;
    if (control->flags & kControlNative) {
        ClearControlFocus(window);
        return;
    }
    window->focusedControl = nullptr;
    StopControlIdle(control);
    SendControlMessage(control, kControlLoseFocus, 0);
}

ToolboxControlRecord* AdvanceControlFocus(NativeWindowRecord* window, int32_t direction) {
    if (!window) return nullptr;
    auto* holder = static_cast<ToolboxControlRecord*>(window->focusedControl);
    // A self-drawn holder first moves its focus part inside itself.
    if (IsControlRecord(holder) && !(holder->flags & kControlNative) &&
        SendControlMessage(holder, kControlFocus, direction))
        return holder;
    std::vector<ToolboxControlRecord*> controls;
    std::vector<FocusCandidate> candidates;
    int32_t current = -1;
    for (ToolboxControlRecord* c = FirstControlOf(window); c; c = c->next) {
        if (c == holder) current = int32_t(controls.size());
        controls.push_back(c);
        candidates.push_back(CandidateOf(c));
    }
    int32_t next = AdvanceFocus(candidates.data(), int32_t(candidates.size()), current, direction);
    if (next < 0) return holder;
    SetControlFocus(controls[size_t(next)], direction);
    return static_cast<ToolboxControlRecord*>(window->focusedControl);
}
