// The answer to whether a control's window is shown: the control layer's,
// or "shown" until one is installed.
#include "toolbox/core/controlrecord.h"

namespace {
ControlWindowShownProc g_shown = nullptr;
} // namespace

void SetControlWindowShownProc(ControlWindowShownProc procedure) {
    g_shown = procedure;
}

bool ControlWindowShown(const ToolboxControlRecord* control) {
    return g_shown ? g_shown(control) : true;
}
