// The pane host: the few things the pane tree and the surface lists ask of
// the native window underneath (invalidate or validate an area, move a
// native child, make, move, show and set a scroll bar). The Win32 build
// installs the native host; tests install a recording one; with none
// installed every request is dropped.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

struct PortRecord;
struct PaneRecord;
struct RegionRecord;

constexpr uint8_t kAreaValidate = 0;
constexpr uint8_t kAreaInvalidate = 1;

enum ScrollBarAxis : int32_t { kBarVertical = 0, kBarHorizontal = 1 };

struct PaneHost {
    void (*invalidate)(PortRecord* port, const RegionRecord* area, uint8_t add);
    void (*moveNativeChild)(PaneRecord* pane);
    void* (*newScrollBar)(PaneRecord* pane, ScrollBarAxis axis, const Rect16* rect);
    void (*moveScrollBar)(void* bar, const Rect16* rect);
    void (*showScrollBar)(void* bar, bool show);
    void (*setScrollBarValues)(void* bar, int32_t minimum, int32_t maximum, int32_t value);
    void (*disposeScrollBar)(void* bar);
};

// Installs the host (null: none); answers the one before.
const PaneHost* SetPaneHost(const PaneHost* host);

void HostInvalidate(PortRecord* port, const RegionRecord* area, uint8_t add);
void HostInvalidateRect(PortRecord* port, const Rect16* rect, uint8_t add);
void HostMoveNativeChild(PaneRecord* pane);
void* HostNewScrollBar(PaneRecord* pane, ScrollBarAxis axis, const Rect16* rect);
void HostMoveScrollBar(void* bar, const Rect16* rect);
void HostShowScrollBar(void* bar, bool show);
void HostSetScrollBarValues(void* bar, int32_t minimum, int32_t maximum, int32_t value);
void HostDisposeScrollBar(void* bar);
