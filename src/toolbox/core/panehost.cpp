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

void HostPaintRegion(PortRecord* port, const RegionRecord* region, uint32_t colour) {
    if (g_host && g_host->paintRegion && region && !IsRegionEmpty(region))
        g_host->paintRegion(port, region, colour);
}

void HostFrameRect(PortRecord* port, const Rect16* rect, int16_t width, uint32_t colour) {
    if (g_host && g_host->frameRect && !RectIsEmpty(rect))
        g_host->frameRect(port, rect, width, colour);
}

void HostPendingUpdate(PortRecord* port, RegionRecord* out) {
    SetRegionEmpty(out);
    if (g_host && g_host->pendingUpdate) g_host->pendingUpdate(port, out);
}

int16_t HostBarHitPart(void* bar, Point16 point) {
    return bar && g_host && g_host->barHitPart ? g_host->barHitPart(bar, point) : 0;
}

int16_t HostTrackBar(void* bar, Point16 point, BarActionProc action, void* data) {
    return bar && g_host && g_host->trackBar ? g_host->trackBar(bar, point, action, data) : 0;
}

int32_t HostBarValue(void* bar, int32_t fallback) {
    return bar && g_host && g_host->barValue ? g_host->barValue(bar) : fallback;
}

Point32 HostPortLocal(PortRecord* port, Point32 point) {
    return g_host && g_host->portLocal ? g_host->portLocal(port, point) : point;
}

Point32 HostPortGlobal(PortRecord* port, Point32 point) {
    return g_host && g_host->portGlobal ? g_host->portGlobal(port, point) : point;
}

void HostFrame3D(PortRecord* port, const Rect16* rect, int16_t ringWidth) {
    if (g_host && g_host->frame3D) g_host->frame3D(port, rect, ringWidth);
}

void HostFocusRing(PortRecord* port, const Rect16* rect, bool show) {
    if (g_host && g_host->focusRing) g_host->focusRing(port, rect, show);
}

void HostInvertRegion(PortRecord* port, const RegionRecord* region) {
    if (g_host && g_host->invertRegion) g_host->invertRegion(port, region);
}

void HostScrollRect(PortRecord* port, const Rect16* rect, int32_t dh, int32_t dv,
                    RegionRecord* update) {
    if (g_host && g_host->scrollRect)
        g_host->scrollRect(port, rect, dh, dv, update);
    else
        SetRegionToShortRect(update, rect);
}

void HostBeginDraw(PortRecord* port, const RegionRecord* region) {
    if (g_host && g_host->beginDraw) g_host->beginDraw(port, region);
}

void HostEndDraw(PortRecord* port) {
    if (g_host && g_host->endDraw) g_host->endDraw(port);
}

void HostInvertFrame(PortRecord* port, const Rect16* rect) {
    if (g_host && g_host->invertFrame) g_host->invertFrame(port, rect);
}
