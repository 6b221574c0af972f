// Dragging with the mouse inside a window: a rectangle outline spanning
// the start point and the mouse (rubber bands), with scrolling toward the
// edge the mouse reaches.
//
// Guarantees: one drag at a time (a second start while one runs does
// nothing); the outline is erased before the drag answers; a window
// disposed by a procedure during the drag ends it without touching the
// window again.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"
#include "toolbox/core/windowobject.h"

struct WindowEvent;

// Called for every mouse position with the point pinned in the drag
// rectangle (local coordinates); may move it.
typedef void (*DragExtraProc)(WindowObject* window, Point32* point, void* data);
// Called before each line scrolled toward an edge.
typedef void (*AutoScrollProc)(WindowObject* window, void* data);
// Takes the dragged window's events (main surface current) while the drag
// runs; answers for the window (it may pass the event on itself).
typedef int32_t (*DragActionProc)(WindowObject* window, WindowEvent* event, void* data);

// Scrolls one line toward each edge of the main surface (shrunk by 1) the
// point (port coordinates) lies on; only left and right while surface 0
// is current, only top and bottom while surface 1 is, nothing for 2. The
// procedure, when given, is called before each line. When anything
// scrolled, returns no sooner than two ticks after it began. True when the
// content scrolled.
bool AutoScrollToPoint(WindowObject* window, Point16 point, AutoScrollProc proc, void* data);
// Ticks an auto-scroll that scrolled lasts at least.
constexpr uint32_t kAutoScrollTicks = 2;

// The procedures of a drag, each optional: limit pins the point first,
// extra follows it; action takes the window's events meanwhile.
struct DragOutlineProcs {
    DragExtraProc limit;
    DragExtraProc extra;
    DragActionProc action;
};
// While the left button is held: the outline from the start point to the
// mouse (local coordinates, pinned to the window's content, or with
// auto-scrolling to its logical size, then by the limit procedure). The
// rectangle spanned at release goes out; true when it is not empty.
bool TrackDragOutline(WindowObject* window, bool autoScroll, const DragOutlineProcs* procs,
                      void* data, Rect16* out);
// While a drag runs, an event of the dragged window whose current surface
// is the main one goes to the drag's action procedure: true, with its
// answer, when it went there.
bool DragOutlineEventFilter(WindowObject* window, WindowEvent* event, int32_t* result);
