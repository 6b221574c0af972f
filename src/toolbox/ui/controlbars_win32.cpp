// The scroll bars of windows' surface lists standing on scroll-bar
// controls (definition 386): made, moved, shown, set and disposed as
// controls; the part under a point is the bar's arrow, page area or thumb
// (parts 20 to 23 and 129) wherever the control answers a hit; tracking
// hands the bar's steps to the surface list's action.
//
// Guarantees: a bar is a living control record from creation to disposal;
// a hidden, disabled or empty bar answers no part; a bar belongs to the
// window's frame, so the drawing clip of whatever surface has the focus
// never cuts its child window.
#include <windows.h>

#include "toolbox/core/panehost_win32.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portupdate_win32.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/control_win32.h"

namespace {

constexpr int32_t kWindowScrollBarDefinition = 386;

ToolboxControlRecord* Bar(void* bar) {
    auto* control = static_cast<ToolboxControlRecord*>(bar);
    return IsControlRecord(control) ? control : nullptr;
}

// The surface list's action of the bar being tracked.
struct BarTracking {
    void* bar;
    BarActionProc action;
    void* data;
};
BarTracking g_barTracking{nullptr, nullptr, nullptr};

void BarStep(ToolboxControlRecord* control, int16_t part) {
    if (g_barTracking.action && control == g_barTracking.bar)
        g_barTracking.action(control, part, g_barTracking.data);
}

// Shown, moved or made again, a control's child window takes the owner's
// clip: a frame bar drops it again.
void Unclip(ToolboxControlRecord* control) {
    HWND child = ControlChild(control);
    RECT box;
    if (child && GetWindowRgnBox(child, &box) != ERROR) SetWindowRgn(child, nullptr, TRUE);
}

void* NewBar(PaneRecord* pane, ScrollBarAxis, const Rect16* rect) {
    NativeWindowRecord* record = pane ? NativeRecordOfPort(pane->port) : nullptr;
    if (!record || !rect) return nullptr;
    return ControlNew(record, rect, "", false, 0, 0, 0, kWindowScrollBarDefinition, 0);
}

void MoveBar(void* bar, const Rect16* rect) {
    ControlMoveSize(Bar(bar), rect);
    Unclip(Bar(bar));
}

void ShowBar(void* bar, bool show) {
    if (show) {
        ControlShow(Bar(bar));
        Unclip(Bar(bar));
    } else {
        ControlHide(Bar(bar), false);
    }
}

void SetBarValues(void* bar, int32_t minimum, int32_t maximum, int32_t value) {
    ToolboxControlRecord* control = Bar(bar);
    if (!control) return;
    ControlSetMinimum(control, minimum);
    ControlSetMaximum(control, maximum);
    ControlSetValue(control, value);
    Unclip(control);
}

void DisposeBar(void* bar) {
    ControlDispose(Bar(bar));
}

int16_t HitPart(void* bar, Point16 point) {
    ToolboxControlRecord* control = Bar(bar);
    if (!control || !ControlHitPart(control, point)) return 0;
    return DefaultPaneBarProcs().barHitPart(ControlChild(control), point);
}

int16_t TrackBar(void* bar, Point16 point, BarActionProc action, void* data) {
    ToolboxControlRecord* control = Bar(bar);
    if (!control) return 0;
    BarTracking saved = g_barTracking;
    g_barTracking = BarTracking{bar, action, data};
    int16_t part = int16_t(ControlTrack(control, point, 0, &BarStep));
    g_barTracking = saved;
    return part;
}

int32_t BarValue(void* bar) {
    return ControlGetValue(Bar(bar));
}

} // namespace

void InstallControlScrollBars() {
    PaneBarProcs bars{&NewBar,     &MoveBar, &ShowBar,  &SetBarValues,
                      &DisposeBar, &HitPart, &TrackBar, &BarValue};
    SetPaneBarProcs(&bars);
}
