// Display operations on window objects: the logical size of a window's
// content, immediate updates, and what lies under a point (window part,
// port, pane and surface).
//
// Guarantees: a hit test never answers a hidden pane; the logical size
// never makes a bar's maximum negative.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"
#include "toolbox/core/windowobject.h"

struct PortRecord;
struct PaneRecord;

// Stores the logical size, gives the surfaces the content's device size
// (scaled by the port) and, with the flag, invalidates surfaces 2, 1, 0
// and the main one.
void ResizeWindowObject(WindowObject* window, int32_t height, int32_t width, uint8_t flag);
// Draws the window's pending update at once.
void UpdateWindowNow(WindowObject* window);
// Draws at once only the part of the pending update inside the window's
// current surface; the rest stays pending.
void UpdateWindowPartNow(WindowObject* window);

// The window's drawing state draws with pen mode 2 for kinds 1 and 2, else 0.
void SetPenModeForKind(WindowObject* window, int32_t kind);

// For a split-pane window (kind 5): the edge it shares with the pane
// before it moves to the position and the split panes are laid out again;
// nothing for other windows.
void SetSplitPosition(WindowObject* window, int32_t position);

struct WindowHitRecord {
    Point16 point;
    int16_t part;
    PortRecord* port;
    PaneRecord* pane;
    int32_t surface; // -1 .. 2, or -2 for none
};
// The part, port, pane and surface under a frame-client point; true for
// content over a pane without surfaces or over one of its surfaces.
bool WindowHitTest(Point16 point, WindowHitRecord* out);
// WindowHitTest at the record's point (keep-point flag) or at the mouse
// (frame-client coordinates), which then becomes the record's point.
bool WindowPartUnderMouse(WindowHitRecord* record, bool keepPoint);
// The surface of the window's list whose rectangle holds the point, -2
// when none (or the window has no list).
int32_t WindowSurfaceAtPoint(const WindowObject* window, Point16 point);
