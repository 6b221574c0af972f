// Window ports on their native windows: points between ports and to the
// screen, moving a port's bits, and icons drawn into a port.
//
// Guarantees: points of offscreen and print ports are refused (false,
// unchanged); scrolling keeps the current port, its focus and its
// background colour.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

struct RegionRecord;
struct WindowObject;

// Local points of one window port (client coordinates plus its state's
// origin; null: the frame's client coordinates) moved into another's.
bool PortPointsToPort(WindowObject* from, WindowObject* to, Point32* points, int32_t count);
bool PortPointsToScreen(WindowObject* port, Point32* points, int32_t count);
// Moves the bits of the rectangle (local coordinates of the port's current
// focus) by (dh, dv), scaled for a scaled port and cut to the port; the
// uncovered area, in local coordinates, goes to the region when given and,
// with update, to the window's update region.
void ScrollPortRect(WindowObject* port, const Rect16* rect, int32_t dh, int32_t dv,
                    RegionRecord* uncovered, bool update);
// Settles a pending surface focus, then draws the icon family (by
// resource id) into the rectangle of the current port; nothing for a
// family that does not load.
void DrawIconInPortRect(int16_t iconId, const Rect16* rect);
