// The mouse in the current port's coordinates. The current port is the
// window whose drawing state the drawing layer has current; its selected
// surface list (or its root pane's) gives the local coordinates.
#include "toolbox/core/windowmouse.h"

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowrects.h"

namespace {
PortRecord* CurrentWindowPort() {
    return FindPortListEntry(DrawingLayer().currentPort());
}

SurfaceList* CurrentList(PortRecord* port) {
    if (port->selectedSurface) return port->selectedSurface;
    return port->rootPane ? port->rootPane->surfaceList : nullptr;
}
} // namespace

void PointToSurfaceCoordinates(const SurfaceRecord* surface, Point16 point, const Point32* offset,
                               Point16* packed, Point32* out) {
    Point32 p{point.v, point.h};
    if (surface) {
        p.v += surface->positionV - surface->rect.top;
        p.h += surface->positionH - surface->rect.left;
    }
    if (offset) {
        p.v += offset->v;
        p.h += offset->h;
    }
    if (packed) PointToShort(&p, packed);
    if (out) *out = p;
}

void CurrentMousePosition(Point32* out) {
    OsMouseClient(out);
    if (PortRecord* port = CurrentWindowPort()) *out = HostPortLocal(port, *out);
}

void MouseSurfaceLocation(Point32* out) {
    CurrentMousePosition(out);
    PortRecord* port = CurrentWindowPort();
    SurfaceList* list = port ? CurrentList(port) : nullptr;
    const WindowObject* window = list && list->pane ? list->pane->window : nullptr;
    if (window) *out = PanePointToSurface(window, list, out->v, out->h);
}

void MouseLocationInPort(Point16* out) {
    Point32 local;
    MouseSurfaceLocation(&local);
    PointToShort(&local, out);
}
