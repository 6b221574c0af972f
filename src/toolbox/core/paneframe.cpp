// Pane frames through the pane host.
#include "toolbox/core/paneframe.h"

#include <algorithm>

#include "toolbox/core/edges.h"
#include "toolbox/core/panehost.h"

namespace {
int16_t Clamp16(int32_t v) {
    return int16_t(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX));
}

bool Framed(const PaneRecord* pane) {
    return (pane->flags & kPaneFramed) && !(pane->flags & kPaneHidden);
}
} // namespace

Rect16 PaneFrameRect(const PaneRecord* pane) {
    const Rect16& r = pane->windowRect;
    return {r.top, r.left, Clamp16(r.bottom + 1), Clamp16(r.right + 1)};
}

void DrawPaneFrame(PaneRecord* pane) {
    if (!Framed(pane)) return;
    Rect16 frame = PaneFrameRect(pane);
    if ((pane->flags & kPaneDoubleFrame) && pane->parent)
        HostFrame3D(pane->port, &frame, kPaneFrameRingWidth);
    else
        HostFrameRect(pane->port, &frame, pane->frameWidth, pane->frameColour);
}

void DrawPaneFocusRing(PaneRecord* pane, bool show) {
    if (!pane || !pane->parent || (pane->flags & kPaneHidden)) return;
    Rect16 frame = PaneFrameRect(pane);
    HostFocusRing(pane->port, &frame, show);
    if (!show) DrawPaneFrame(pane);
}
