// Drawing focus on native windows: which drawing surface (a pane's surface
// list, at its current index) a window's drawing state draws into, with
// that surface's clip, origin and settings, and the port origin of
// windows and other ports.
//
// Guarantees: selecting a surface sets no clip or origin; the first drawing
// call after it settles the focus (the surface's clip and origin), once per
// surface, index, scroll position and layout; a surface's settings live in
// its list while another surface or no surface has the focus and come back
// when it is focused again.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

struct DrawingPrimitiveTable;
struct DrawingState;
struct PortRecord;
struct SurfaceList;
struct WindowObject;

// The port record's state current; a surface that had the focus gets the
// current settings written back, the origin (0, 0), no focused surface, the
// plain primitives and the default settings; then the clip of the given
// surface (none: wide open). Answers whether a surface had the focus.
bool FocusPort(PortRecord* port, SurfaceList* surface);
// The state current; when a surface is selected and none has the focus,
// its settings are applied and the deferred-focus primitives installed.
void FocusPortRecord(PortRecord* port);
// The list becomes its port record's selected surface (the one before
// gets the settings written back), then FocusPortRecord.
void FocusSurface(SurfaceList* surface);
// Focuses the surface of the port record's window object.
void FocusObjectSurface(PortRecord* port);
// Makes the index current in the list (-1 when it has no such surface) and
// focuses the list; answers its drawing state.
DrawingState* SelectNativeSurface(SurfaceList* list, int32_t index);
DrawingState* FocusAndSelectSurface(SurfaceList* surface, int32_t index);
// Drops the focused surface (origin (0, 0), clip wide open) keeping the
// current state; the next drawing settles the focus again while a surface
// is selected.
void UnfocusPortRecord(PortRecord* port);
void UnfocusSurface(SurfaceList* surface);
// Applies the selected surface's clip and origin to the current state
// unless they are in force already.
void SettleDeferredFocus();
const DrawingPrimitiveTable& DeferredFocusPrimitives();

// The surface's clip in port coordinates: its rectangle within the list's
// visible content.
void SurfaceClipRegion(const SurfaceList* list, int32_t index, struct RegionRecord* out);

// SetCurrentPort's work for a native window: its pane's surface list
// focused (or the port record's state when it has none).
void FocusWindowPort(WindowObject* window);
// A state made current by the window layer: a window's state focuses its
// port record (its window the current port); the state of the last
// offscreen or print port made current brings that port back; any other
// is made current with no current port.
void SetCurrentDrawingState(DrawingState* state);

// A window drawn through surfaces moves their scroll positions by the
// difference to the current origin (the main surface both axes, surface 0
// horizontally, surface 1 vertically); other ports set their state's
// origin. The current port is kept.
void SetDrawingOrigin(WindowObject* port, int32_t h, int32_t v);
// The current surface's origin for a window with a surface list, else the
// state's.
Point32 GetPortOriginPoint(WindowObject* port);

// Installs the window-facing procedures of the drawing layer (current
// window, current drawing state both ways, settings capture).
void InstallPortFocusProcs();
