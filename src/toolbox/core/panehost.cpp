// The installed pane host and the forwarding calls that skip what it lacks.
#include "toolbox/core/panehost.h"

#include "toolbox/core/region.h"

namespace {
const PaneHost* g_host = nullptr;
}

const PaneHost* SetPaneHost(const PaneHost* host) {
    const PaneHost* old = g_host;
    g_host = host;
    return old;
}

void HostInvalidate(PortRecord* port, const RegionRecord* area, uint8_t add) {
    if (g_host && g_host->invalidate && area && !IsRegionEmpty(area))
        g_host->invalidate(port, area, add);
}

void HostInvalidateRect(PortRecord* port, const Rect16* rect, uint8_t add) {
    if (!g_host || !g_host->invalidate || RectIsEmpty(rect)) return;
    RegionRecord* area = NewRectRegion(rect);
    if (!area) return;
    g_host->invalidate(port, area, add);
    DisposeRegion(area);
}

void HostMoveNativeChild(PaneRecord* pane) {
    if (g_host && g_host->moveNativeChild) g_host->moveNativeChild(pane);
}

void* HostNewScrollBar(PaneRecord* pane, ScrollBarAxis axis, const Rect16* rect) {
    return g_host && g_host->newScrollBar ? g_host->newScrollBar(pane, axis, rect) : nullptr;
}

void HostMoveScrollBar(void* bar, const Rect16* rect) {
    if (bar && g_host && g_host->moveScrollBar) g_host->moveScrollBar(bar, rect);
}

void HostShowScrollBar(void* bar, bool show) {
    if (bar && g_host && g_host->showScrollBar) g_host->showScrollBar(bar, show);
}

void HostSetScrollBarValues(void* bar, int32_t minimum, int32_t maximum, int32_t value) {
    if (bar && g_host && g_host->setScrollBarValues)
        g_host->setScrollBarValues(bar, minimum, maximum, value);
}

void HostDisposeScrollBar(void* bar) {
    if (bar && g_host && g_host->disposeScrollBar) g_host->disposeScrollBar(bar);
}
