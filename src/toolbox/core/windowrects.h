// The rectangles of a window object as its callback sees them: the current
// surface and the view in local (content, scaled) coordinates, the content
// size, points in surface coordinates, and the invalidation of a window
// with the windows it owns.
//
// Guarantees: local coordinates are the content's: the surface's scroll
// position applied and the port's scale taken out.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"
#include "toolbox/core/windowobject.h"

struct SurfaceList;
struct PaneRecord;

// A point of the pane (window coordinates) in the current surface's local
// coordinates.
Point32 PanePointToSurface(const WindowObject* window, const SurfaceList* list, int32_t v,
                           int32_t h);
// The current surface at the content's origin in local coordinates; empty
// for a window without surfaces (offscreen and print ports keep theirs).
void WindowSurfaceRect(const WindowObject* window, Rect16* out);
// The current surface's rectangle (with the flag, a document's main one)
// in the frame-client coordinates of native records, clamped to 16 bits;
// offscreen and print ports answer WindowSurfaceRect.
void WindowContentRectGlobal(const WindowObject* window, Rect16* out, bool mainOfDocument);
// The main surface in local coordinates: the content less the bar strips.
void WindowViewRect(const WindowObject* window, Rect16* out);
// WindowSurfaceRect moved to 0, 0.
void WindowContentRectAtOrigin(const WindowObject* window, Rect16* out);
// Height (v) and width (h) of the current surface.
Point16 WindowContentSize(const WindowObject* window);
// Flags of InvalidateWindowTree and RedrawWindowTree.
constexpr uint32_t kTreeOwnedWindows = 1;
constexpr uint32_t kTreeWholePane = 2;
// Invalidates the window's area (with flag 2 its pane's whole region), and
// with flag 1 that of every window it owns.
void InvalidateWindowTree(WindowObject* window, uint32_t flags);
// The same, then the update drawn at once.
void RedrawWindowTree(WindowObject* window, uint32_t flags);
// Shows or hides an owned window's pane, drawing at once when asked.
void ShowChildWindow(WindowObject* child, bool show, bool redraw);
// A pane with flag 0x1000: pane messages 21 then 22 through it and its
// children, drawn at once within its region; nothing for other panes.
void RedrawPaneTree(PaneRecord* pane);
// RedrawPaneTree for every child pane of the window's root pane, in
// sibling order.
void RedrawChildPanes(WindowObject* window);
