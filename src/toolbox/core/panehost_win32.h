// The native pane host: the pane tree's and surface lists' requests on the
// native window of a port (update regions, scroll-bar children, drawing
// in the window's device context, mouse points in port coordinates).
#pragma once
#include "toolbox/core/panehost.h"

// The host's scroll bars: "SCROLLBAR" children made directly (the
// defaults, which take a bar as its native window) until the control layer
// installs bars standing on its controls.
struct PaneBarProcs {
    void* (*newScrollBar)(PaneRecord* pane, ScrollBarAxis axis, const Rect16* rect);
    void (*moveScrollBar)(void* bar, const Rect16* rect);
    void (*showScrollBar)(void* bar, bool show);
    void (*setScrollBarValues)(void* bar, int32_t minimum, int32_t maximum, int32_t value);
    void (*disposeScrollBar)(void* bar);
    int16_t (*barHitPart)(void* bar, Point16 point);
    int16_t (*trackBar)(void* bar, Point16 point, BarActionProc action, void* data);
    int32_t (*barValue)(void* bar);
};
// Installs the bar procedures (copied; null: the defaults).
void SetPaneBarProcs(const PaneBarProcs* procs);
const PaneBarProcs& DefaultPaneBarProcs();

const PaneHost* NativePaneHost();
// Installs the native host as the pane host.
void InstallNativePaneHost();
