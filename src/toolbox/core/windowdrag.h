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

// Called for every mouse position with the point pinned in the drag
// rectangle (local coordinates); may move it.
typedef void (*DragExtraProc)(WindowObject* window, Point32* point, void* data);

// Scrolls one line toward each edge of the main surface (shrunk by 1) the
// point (port coordinates) lies on; only left and right while surface 0
// is current, only top and bottom while surface 1 is, nothing for 2.
// True when the content scrolled.
bool AutoScrollToPoint(WindowObject* window, Point16 point);
// While the left button is held: the outline from the start point to the
// mouse (local coordinates, pinned to the window's content, or with
// auto-scrolling to its logical size). The rectangle spanned at release
// goes out; true when it is not empty.
bool TrackDragOutline(WindowObject* window, bool autoScroll, DragExtraProc extra, void* data,
                      Rect16* out);
