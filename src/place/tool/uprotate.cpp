// Rotate of the placement tool: every component of the selection turns one
// rotation step (the header's, snapped to its rotation grid) about the
// selection's lowest pin corner, and the selection is shifted so that its
// corner stays where it was. In the Design and Route views each entry
// carries its angle increment (0..21,599) in spare word 2 with the rotated
// flag while the connections are rewritten; both are cleared before the
// level is committed.
#include "db/altjournal.h"
#include "db/comps.h"
#include "db/dbheader.h"
#include "db/geom.h"
#include "place/plcompapply.h"
#include "place/plpair.h"
#include "place/plreconnect.h"
#include "place/plrotate.h"
#include "place/tool/placehost.h"
#include "place/tool/uptool.h"

namespace {

// The design header's rotation step and rotation grid (minutes of arc).
int32_t RotationStep() {
    return DbHdr().word268;
}
int32_t RotationGrid() {
    return DbHdr().word270;
}

bool Shifted(const Component& r, bool placedOnly) {
    return !placedOnly || (r.compRef == 0 && !(r.flags & kUpCompUnplaced));
}

// Sets (or clears) an entry's rotation increment and rotated flag.
void MarkRotated(int32_t n, bool rotated, int32_t increment) {
    AltItemHeader h;
    void* image = UpItem(n, &h);
    h.word2 = int16_t(increment);
    if (rotated)
        h.flags |= kUpItemRotated;
    else
        h.flags &= uint16_t(~kUpItemRotated);
    AltItemPut(&h, image);
}

} // namespace

// Moves the selection so that its lowest pin corner returns to (px, py):
// the placed components without cluster master, or every component when
// there is none (the corner was taken over the same set).
void UpSelShift(int32_t px, int32_t py) {
    int32_t qx, qy;
    if (!UpSelPinMin(&qx, &qy) || (qx == px && qy == py)) return;
    const int32_t dx = px - qx, dy = py - qy;
    AltItemHeader h;
    bool placedOnly = false;
    for (int32_t n = 1; n <= AltCount() && !placedOnly; ++n) {
        const Component& r = *static_cast<const Component*>(UpItem(n, &h));
        placedOnly = h.type == kRecComponent && !(h.flags & kAltDeleted) && Shifted(r, true);
    }
    for (int32_t n = 1; n <= AltCount(); ++n) {
        Component r = *static_cast<const Component*>(UpItem(n, &h));
        if (h.type != kRecComponent || (h.flags & kAltDeleted) || !Shifted(r, placedOnly)) continue;
        r.x += dx;
        r.y += dy;
        CompPlaceApply(&r);
        AltPut(kRecComponent, h.index, h.key, &r);
    }
}

int32_t UpRotate() {
    PlaceHost& host = PlHost();
    const int32_t view = host.AppWindow().WindowKind;
    const bool reconnect = view == kViewDesign || view == kViewRoute;
    AltPush();
    if (g_verbose) DebugPrint("UpRotate: %d selections", int32_t(g_up.selCount));
    int32_t px, py;
    if (!UpSelPinMin(&px, &py)) {
        AltPop(false);
        return 0;
    }
    const int32_t step = RotationStep(), grid = RotationGrid();
    AltItemHeader h;
    for (int32_t n = AltCount(); n >= 1; --n) {
        Component r = *static_cast<const Component*>(UpItem(n, &h));
        if (h.type != kRecComponent || (h.flags & kAltDeleted)) continue;
        if (h.word2 != 0) ExpectFail(kErrUpRotateSpare);
        const int32_t old = r.angle;
        PlRotateComp(&r, px, py, step, grid);
        AltPut(kRecComponent, h.index, h.key, &r);
        if (!reconnect) continue;
        int32_t incr = r.angle - old;
        if (incr < 0) incr += kAngFullTurn;
        if (g_verbose) {
            DebugPrint("UpRotate: old rotation %d", old);
            DebugPrint("UpRotate: new rotation %d", int32_t(r.angle));
            DebugPrint("UpRotate: incr. rotation %d", incr);
        }
        MarkRotated(n, true, incr);
    }
    UpSelShift(px, py);
    if (reconnect) {
        UpReconnectMoved();
        for (int32_t n = 1; n <= AltCount(); ++n) {
            UpItem(n, &h);
            if (h.type == kRecComponent && (h.word2 != 0 || (h.flags & kUpItemRotated)))
                MarkRotated(n, false, 0);
        }
    }
    PlNetPinTable();
    g_up.anchorX = g_up.lastX;
    g_up.anchorY = g_up.lastY;
    UpMarkSelected();
    PairSelect(g_up.selected);
    PairUpdate();
    AltPop(true);
    return 1;
}
