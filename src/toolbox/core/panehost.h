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

// Colours of PaintRegion: 0x00RRGGBB, or the pane's background.
constexpr uint32_t kPaintBackground = 0xFF000000;
constexpr uint32_t kPaintBlack = 0x000000;
constexpr uint32_t kPaintMidGrey = 0x707070;

// Called while a bar is tracked, for the part held.
typedef void (*BarActionProc)(void* bar, int16_t part, void* data);

struct PaneHost {
    void (*invalidate)(PortRecord* port, const RegionRecord* area, uint8_t add);
    void (*moveNativeChild)(PaneRecord* pane);
    void* (*newScrollBar)(PaneRecord* pane, ScrollBarAxis axis, const Rect16* rect);
    void (*moveScrollBar)(void* bar, const Rect16* rect);
    void (*showScrollBar)(void* bar, bool show);
    void (*setScrollBarValues)(void* bar, int32_t minimum, int32_t maximum, int32_t value);
    void (*disposeScrollBar)(void* bar);
    // Drawing in the port: a region filled with a colour, a rectangle
    // framed with a pen of the width.
    void (*paintRegion)(PortRecord* port, const RegionRecord* region, uint32_t colour);
    void (*frameRect)(PortRecord* port, const Rect16* rect, int16_t width, uint32_t colour);
    // The port's pending update region in port coordinates.
    void (*pendingUpdate)(PortRecord* port, RegionRecord* out);
    // The part of the bar under a point (0: none), tracking until release
    // (the part at release) and the bar's value.
    int16_t (*barHitPart)(void* bar, Point16 point);
    int16_t (*trackBar)(void* bar, Point16 point, BarActionProc action, void* data);
    int32_t (*barValue)(void* bar);
    // A point of a native record (frame-client coordinates) in the port's
    // coordinates.
    Point32 (*portLocal)(PortRecord* port, Point32 point);
    // XORs the grey pattern over the region (port coordinates): pen mode 2
    // with the grey pattern; a second call erases it.
    void (*invertRegion)(PortRecord* port, const RegionRecord* region);
    // Moves the bits of the rectangle by (dh, dv); the uncovered part
    // becomes the update region.
    void (*scrollRect)(PortRecord* port, const Rect16* rect, int32_t dh, int32_t dv,
                       RegionRecord* update);
    // Around drawing a region at once: the pending update is put aside and
    // the region is what the drawing sees as pending; the end restores it.
    void (*beginDraw)(PortRecord* port, const RegionRecord* region);
    void (*endDraw)(PortRecord* port);
    // Inverts the outline of the rectangle (a second call erases it).
    void (*invertFrame)(PortRecord* port, const Rect16* rect);
    // A point of the port in the frame-client coordinates of native
    // records (the inverse of portLocal).
    Point32 (*portGlobal)(PortRecord* port, Point32 point);
    // A three-dimensional field frame on the rectangle inset by 1, the ring
    // of the width inside the rectangle erased first on displays of 4096
    // colours or more.
    void (*frame3D)(PortRecord* port, const Rect16* rect, int16_t ringWidth);
    // The focus ring around the rectangle, or its area erased.
    void (*focusRing)(PortRecord* port, const Rect16* rect, bool show);
};

constexpr int32_t kNoDragOffset = int32_t(0x80008000);
enum : int32_t { kDragBothAxes = 0, kDragHorizontal = 1, kDragVertical = 2 };

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
void HostPaintRegion(PortRecord* port, const RegionRecord* region, uint32_t colour);
void HostFrameRect(PortRecord* port, const Rect16* rect, int16_t width, uint32_t colour);
// Empty when the host keeps no update region.
void HostPendingUpdate(PortRecord* port, RegionRecord* out);
int16_t HostBarHitPart(void* bar, Point16 point);
int16_t HostTrackBar(void* bar, Point16 point, BarActionProc action, void* data);
// The bar's value, or the fallback when the host keeps none.
int32_t HostBarValue(void* bar, int32_t fallback);
void HostInvertRegion(PortRecord* port, const RegionRecord* region);
// Without a host that moves bits the whole rectangle is the update.
void HostScrollRect(PortRecord* port, const Rect16* rect, int32_t dh, int32_t dv,
                    RegionRecord* update);
void HostBeginDraw(PortRecord* port, const RegionRecord* region);
void HostEndDraw(PortRecord* port);
void HostInvertFrame(PortRecord* port, const Rect16* rect);
// Unchanged when the host has no conversion.
Point32 HostPortLocal(PortRecord* port, Point32 point);
Point32 HostPortGlobal(PortRecord* port, Point32 point);
void HostFrame3D(PortRecord* port, const Rect16* rect, int16_t ringWidth);
void HostFocusRing(PortRecord* port, const Rect16* rect, bool show);
