// The mouse in the current port's coordinates: the port (window client)
// coordinates of the current drawing state's window, and the local
// coordinates of its selected surface.
//
// Guarantees: without a current window port the mouse comes back in the
// frame's client coordinates; 16-bit forms are clamped to -32768..32767.
#pragma once
#include "toolbox/core/rect.h"

struct SurfaceRecord;

// A point of the pane moved into the surface's content coordinates (by the
// surface's scroll position and rectangle), then by the offset when given;
// written to either output that is given.
void PointToSurfaceCoordinates(const SurfaceRecord* surface, Point16 point, const Point32* offset,
                               Point16* packed, Point32* out);
// The mouse in the current port's window coordinates.
void CurrentMousePosition(Point32* out);
// The mouse in the local coordinates of the current port's selected
// surface (the scale taken out), 16-bit and 32-bit.
void MouseLocationInPort(Point16* out);
void MouseSurfaceLocation(Point32* out);
