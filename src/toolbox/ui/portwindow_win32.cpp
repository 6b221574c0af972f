// Window ports on their native windows. A window port's local point is its
// client point plus its drawing state's origin; the frame's coordinates are
// the MDI client's (or the frame's client area without one).
#include "toolbox/ui/portwindow.h"

#include <windows.h>

#include "toolbox/core/icon_win32.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/regionnative_win32.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/ui/backstack.h"
#include "toolbox/ui/drawclip.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/portfocus.h"
#include "toolbox/ui/portscale.h"
#include "toolbox/ui/portstack.h"

namespace {

HWND FrameClient() {
    return MdiClientHandle() ? MdiClientHandle() : FrameWindowHandle();
}

// The window port's native window and origin; false for offscreen and
// print ports. Null stands for the frame.
bool PortWindow(WindowObject* port, HWND* window, Point32* origin) {
    *origin = Point32{0, 0};
    if (!port) {
        *window = FrameClient();
        return *window != nullptr;
    }
    if (port->type != kWindowTypeNative) return false;
    const auto* state = static_cast<const DrawingState*>(GraphicsPortOf(port));
    if (!state || state->dcKind != kStateDcWindow || !state->target) return false;
    *window = static_cast<HWND>(state->target);
    *origin = state->origin;
    return true;
}

bool MapPoints(HWND from, Point32 fromOrigin, HWND to, Point32 toOrigin, Point32* points,
               int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        POINT p{points[i].h - fromOrigin.h, points[i].v - fromOrigin.v};
        MapWindowPoints(from, to, &p, 1);
        points[i] = Point32{p.y + toOrigin.v, p.x + toOrigin.h};
    }
    return true;
}

} // namespace

bool PortPointsToPort(WindowObject* from, WindowObject* to, Point32* points, int32_t count) {
    HWND a, b;
    Point32 originA, originB;
    if (!PortWindow(from, &a, &originA) || !PortWindow(to, &b, &originB)) return false;
    return MapPoints(a, originA, b, originB, points, count);
}

bool PortPointsToScreen(WindowObject* port, Point32* points, int32_t count) {
    HWND window;
    Point32 origin;
    if (!PortWindow(port, &window, &origin)) return false;
    return MapPoints(window, origin, HWND_DESKTOP, Point32{0, 0}, points, count);
}

void ScrollPortRect(WindowObject* port, const Rect16* rect, int32_t dh, int32_t dv,
                    RegionRecord* uncovered, bool update) {
    if (uncovered) SetRegionEmpty(uncovered);
    if (!port || !rect || RectIsEmpty(rect)) return;
    SavePortState();
    PushBackgroundColour();
    WindowObject* previous = SetCurrentPort(port);
    SettleDeferredFocus();
    DrawingState* state = CurrentState();
    HWND window = nullptr;
    Point32 origin;
    if (PortWindow(port, &window, &origin)) {
        Rect32 area{rect->top, rect->left, rect->bottom, rect->right};
        Point32 offset{dv, dh};
        PortScale scale;
        if (CurrentPortScale(&scale)) {
            ScaleRectToDevice(&scale, &area);
            ScalePointToDevice(&scale, &offset, 1);
        }
        // Cut to the port: its bounds and its clip, in local coordinates.
        RegionRecord* cut = AcquireScratchRegion();
        RegionRecord* gone = AcquireScratchRegion();
        if (cut && gone) {
            SetRegionToRect(cut, &area);
            GetStateVisibleRegion(state, gone);
            CombineRegions(cut, cut, gone, kRegionAnd);
            if (state->clip) CombineRegions(cut, cut, state->clip, kRegionAnd);
            Rect32 b = cut->bounds;
            RECT moved{b.left - origin.h, b.top - origin.v, b.right - origin.h,
                       b.bottom - origin.v};
            ReleaseStateDC();
            HRGN native = CreateRectRgn(0, 0, 0, 0);
            if (moved.right > moved.left && moved.bottom > moved.top)
                ScrollWindowEx(window, offset.h, offset.v, &moved, &moved, native, nullptr,
                               update ? SW_INVALIDATE : 0);
            if (uncovered && RegionFromNative(uncovered, native))
                OffsetRegion(uncovered, origin.h, origin.v);
            DeleteObject(native);
        }
        ReleaseScratchRegion(cut);
        ReleaseScratchRegion(gone);
    }
    SetCurrentPort(previous);
    PopBackgroundColour();
    RestorePortState();
}

void DrawIconInPortRect(int16_t iconId, const Rect16* rect) {
    if (!rect || RectIsEmpty(rect)) return;
    if (CurrentState()->procTable == &DeferredFocusPrimitives()) SettleDeferredFocus();
    HDC dc = static_cast<HDC>(PreparePortDC(CurrentState(), true, 0));
    if (dc) DrawIconInRectOf(dc, rect, false, kIconNormal, iconId);
}
