// Ports over native windows: zooming, dragging and growing a port's
// window, and the native callbacks a linked port sets on it.
//
// Guarantees: every size change of a linked port's window reaches its root
// pane (through the resize callback), whoever made it; a port whose native
// window is gone is left alone.
#pragma once
#include "toolbox/core/nativezorder_win32.h"
#include "toolbox/core/portrecord.h"

// 7 maximises (zoom out), 8 restores (zoom in), 11 minimises.
void ZoomPort(PortRecord* port, int16_t part);
// Lets the system move the window when the point (frame-client
// coordinates) hits its caption.
void DragPortWindow(PortRecord* port, Point16 where);
// The system's sizing loop within the limits (top minimum height, left
// minimum width, bottom maximum height, right maximum width); true when
// the bounds changed, with the new content bounds.
bool GrowPortWindow(PortRecord* port, Point16 where, const Rect16* limits, Rect16* newBounds);
// The native half of WindowObjectLink: unless the port keeps its class
// cursor the class cursor is cleared; the resize callback (root pane sized
// to the client area and told) and the system-command callback (SC_CLOSE
// becomes a close record) are set; the port's drawing state becomes
// current.
void LinkNativePort(PortRecord* port);
// Installs LinkNativePort as the native half of WindowObjectLink.
void InstallPortWindowHooks();
