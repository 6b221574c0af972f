// Local and frame-client points over the current drawing state's window.
#include "toolbox/core/portpoint_win32.h"

#include <windows.h>

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/osinput.h"

namespace {
// The current drawing state when it draws into a window, else null.
const DrawingState* CurrentWindowState() {
    auto* state = static_cast<const DrawingState*>(DrawingLayer().currentPort());
    if (!state || state->dcKind != kStateDcWindow || !state->target) return nullptr;
    return state;
}

HWND FrameClient() {
    return MdiClientHandle() ? MdiClientHandle() : FrameWindowHandle();
}

void Convert(const Point32* in, Point32* out, bool toFrame) {
    Point32 point = *in;
    if (const DrawingState* state = CurrentWindowState()) {
        HWND window = static_cast<HWND>(state->target);
        POINT p;
        if (toFrame) {
            p = POINT{point.h - state->origin.h, point.v - state->origin.v};
            MapWindowPoints(window, FrameClient(), &p, 1);
            point = Point32{p.y, p.x};
        } else {
            p = POINT{point.h, point.v};
            MapWindowPoints(FrameClient(), window, &p, 1);
            point = Point32{p.y + state->origin.v, p.x + state->origin.h};
        }
    }
    *out = point;
}

void Convert16(Point16* point, bool toFrame) {
    Point32 wide{point->v, point->h};
    Convert(&wide, &wide, toFrame);
    PointToShort(&wide, point);
}
} // namespace

void ConvertPoint32LocalToFrame(const Point32* in, Point32* out) {
    Convert(in, out, true);
}

void ConvertPoint32FrameToLocal(const Point32* in, Point32* out) {
    Convert(in, out, false);
}

void ConvertPointLocalToFrame(Point16* point) {
    Convert16(point, true);
}

void ConvertPointFrameToLocal(Point16* point) {
    Convert16(point, false);
}

void MouseLocationClient(Point16* out) {
    Point32 client;
    OsMouseClient(&client);
    PointToShort(&client, out);
}

void MouseLocationGlobalToLocal(Point32* out) {
    Point32 client;
    OsMouseClient(&client);
    ConvertPoint32FrameToLocal(&client, out);
}

void MouseLocationLocal(Point16* out) {
    Point32 local;
    MouseLocationGlobalToLocal(&local);
    PointToShort(&local, out);
}

void MouseLocation(Point16* out) {
    MouseLocationLocal(out);
}

void MousePositionInState(Point16* out) {
    Point32 local;
    MouseLocationGlobalToLocal(&local);
    if (const auto* state = static_cast<const DrawingState*>(DrawingLayer().currentPort())) {
        local.v -= state->origin.v;
        local.h -= state->origin.h;
    }
    PointToShort(&local, out);
}
