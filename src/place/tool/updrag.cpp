// Moving the selection with the cursor. Each step moves every selected
// component by the cursor's offset inside a level of its own; in the Route
// view a step that would put any of them outside the router's window is
// rejected whole, so the selection stays where it was. Outside the Place
// view the connections of the moved components follow their pins.
#include "db/altjournal.h"
#include "place/plmodel.h"
#include "place/plpair.h"
#include "place/plreconnect.h"
#include "place/tool/placehost.h"
#include "place/tool/uptool.h"

namespace {

// The Place view's flight lines of the selection moved by the last drawn
// offset and the cursor's offset from the last drawn point.
void ShowFlightLines() {
    PlaceHost& host = PlHost();
    const PlaceAppWindow& w = host.AppWindow();
    if (!g_up.flight) return;
    PairsOfSelection(g_up.lastX - g_up.anchorX, g_up.lastY - g_up.anchorY, w.queryX - g_up.lastX,
                     w.queryY - g_up.lastY, g_up.connDisplay, g_up.flight);
    host.DrawRatLines(g_up.flight, 0);
    g_up.flightShown = true;
}

} // namespace

void UpEndTrack(int32_t mode) {
    PlaceHost& host = PlHost();
    const PlaceAppWindow& w = host.AppWindow();
    if (w.WindowKind == kViewPlace) {
        host.SetIdleTask(nullptr);
        if (g_up.flightShown) {
            host.DrawRatLines(g_up.flight, 0);
            g_up.flightShown = false;
        }
        if (g_up.pairShown) {
            host.RatLinesFree();
            g_up.pairShown = 0;
        }
    }
    if (g_up.redrawPending && w.ToolState == kToolComponent) {
        host.DrawAlt(w.FollowCursor ? kUpDrawOutline : kUpDrawAbandon);
        g_up.redrawPending = 0;
    }
    if (mode != kUpEndTrackNoDraw) drawRemainder();
}

void drawRemainder() {
    PlaceHost& host = PlHost();
    const PlaceAppWindow& w = host.AppWindow();
    if (w.ToolState != kToolComponent) ErrReport(kErrUpDrawTool, w.ToolState);
    if (AltDepth() != 1) ExpectAlt(kErrUpDrawDepth, 1);
    const bool place = w.WindowKind == kViewPlace;
    if (!w.FollowCursor) {
        host.DrawAlt(kUpDrawStill);
        if (place) ShowFlightLines();
        return;
    }
    const int32_t tx = UpGridRound(w.queryX, w.gridX), ty = UpGridRound(w.queryY, w.gridY);
    const int32_t dx = tx - g_up.lastX, dy = ty - g_up.lastY;
    g_up.lastX = tx;
    g_up.lastY = ty;
    const bool route = w.WindowKind == kViewRoute;
    AltPush();
    bool inside = true;
    AltItemHeader h;
    for (int32_t n = AltCount(); n >= 1 && inside; --n) {
        Component r = *static_cast<const Component*>(UpItem(n, &h));
        if (h.type != kRecComponent || (h.flags & kAltDeleted)) continue;
        PlCompShift(&r, dx, dy);
        if (route && !UpInRouteWindow(r)) {
            inside = false;
            break;
        }
        if (r.angle % kUpAngleRight == 0)
            PlCompShift(&r, UpGridRound(r.x, w.gridX) - r.x, UpGridRound(r.y, w.gridY) - r.y);
        AltPut(kRecComponent, h.index, h.key, &r);
    }
    AltPop(inside);
    if (!place) UpReconnectMoved();
    host.DrawAlt(kUpDrawOutline);
    g_up.redrawPending = 1;
    if (place) ShowFlightLines();
}
