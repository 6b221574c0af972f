// Points between the current port's local coordinates and the MDI
// client's (frame-client) coordinates, and the mouse in either.
//
// Guarantees: a point is converted only while the current drawing state
// draws into a window; otherwise it comes back unchanged. 16-bit forms are
// clamped to -32768 to 32767.
#pragma once
#include "toolbox/core/rect.h"

// Local (window client plus the state's origin) to MDI-client coordinates.
void ConvertPoint32LocalToFrame(const Point32* in, Point32* out);
void ConvertPoint32FrameToLocal(const Point32* in, Point32* out);
// The packed forms, in place.
void ConvertPointLocalToFrame(Point16* point);
void ConvertPointFrameToLocal(Point16* point);

// The mouse in frame-client coordinates.
void MouseLocationClient(Point16* out);
// The mouse in the current port's local coordinates (MouseLocation and
// MouseLocationLocal are the same).
void MouseLocation(Point16* out);
void MouseLocationLocal(Point16* out);
void MouseLocationGlobalToLocal(Point32* out);
// The mouse in local 32-bit coordinates less the current drawing state's
// origin, narrowed with clamping.
void MousePositionInState(Point16* out);
