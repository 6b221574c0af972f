// Idle time for self-drawn controls: while a self-drawn control holds its
// window's keyboard focus, one repeating timer task of the control layer
// sends it message 18 at the caret blink time (an edit field blinks its
// caret then).
//
// Guarantees: the timer exists exactly while some self-drawn control is
// remembered as a focus holder; a control is forgotten when it loses the
// focus or is disposed, so the timer never reaches a freed record; only a
// visible control of a shown window that still holds the focus is sent
// the message.
#include <algorithm>
#include <vector>

#include "toolbox/core/systemtimes.h"
#include "toolbox/core/ticks.h"
#include "toolbox/core/timertask.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/control_win32.h"

namespace {

std::vector<ToolboxControlRecord*> g_holders;
TimerTask* g_idleTimer = nullptr;

bool StillHoldsFocus(ToolboxControlRecord* control) {
    NativeWindowRecord* owner = ControlOwner(control);
    return IsControlRecord(control) && owner && owner->focusedControl == control;
}

void IdleTask(TimerTask*, void*) {
    // A definition may move the focus while it answers: walk a copy.
    std::vector<ToolboxControlRecord*> holders = g_holders;
    for (ToolboxControlRecord* control : holders) {
        if (std::find(g_holders.begin(), g_holders.end(), control) == g_holders.end()) continue;
        if (!StillHoldsFocus(control)) {
            StopControlIdle(control);
            continue;
        }
        if ((control->flags & kControlVisible) && ControlWindowShown(control))
            SendControlMessage(control, kControlIdle, 0);
    }
}

} // namespace

void StartControlIdle(ToolboxControlRecord* control) {
    if (!IsControlRecord(control) || (control->flags & kControlNative)) return;
    if (std::find(g_holders.begin(), g_holders.end(), control) == g_holders.end())
        g_holders.push_back(control);
    if (!g_idleTimer)
        InstallTimerTask(TicksToMs(CaretBlinkTicks()), 0, &IdleTask, nullptr, &g_idleTimer);
}

void StopControlIdle(ToolboxControlRecord* control) {
    g_holders.erase(std::remove(g_holders.begin(), g_holders.end(), control), g_holders.end());
    if (g_holders.empty() && g_idleTimer) {
        RemoveTimerTask(g_idleTimer);
        g_idleTimer = nullptr;
    }
}

bool ControlIdleRunning() {
    return g_idleTimer != nullptr;
}
