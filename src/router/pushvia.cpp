// Via and jumper pushes inside PushConn: a via moves one push step with
// short legs back to its old neighbours once every layer where it has a
// pad is cleared at the new place; a jumper moves whole by one via step.
// Refusals are ordinary results; nothing is inserted past the corner limit.
#include "db/conns.h"
#include "db/layers.h"
#include "router/layertab.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objtable.h"
#include "router/pushwork.h"
#include "router/urstate.h"
#include "router/viamap.h"

namespace {

enum : int32_t {
    kViaCellMargin = 2, // a moved via's maze cell keeps this far from the maze's sides
};

// Clears every routing layer where the via has a pad at (x, y).
bool ClearViaPlace(const PushTable* t, int32_t via, int32_t x, int32_t y) {
    for (int32_t layer = 1; layer <= LayerCount(); ++layer) {
        const int32_t pad = ViaPadSize(via, layer);
        if (pad <= 0 || !LayerRoutable(layer)) continue;
        if (MzPush(x, y, y, kPushVia, layer, pad, t->entry, t->direction, t->transposed))
            return false;
    }
    return true;
}

// The via's legs become gaps and the connection a hop.
int32_t ViaHop(PushTable* t, int32_t i) {
    Conn& c = t->work;
    if (!g_pushOptions.hopsAllowed || (c.head.flags & kConnNoRipup)) return 0;
    c.crn[i - 1].layer = 0;
    c.crn[i].layer = 0;
    return addToHopTable(i - 1) ? kPushViaHop : 0;
}

} // namespace

int32_t PushViaMove(PushTable* t, int32_t i, int32_t s) {
    Conn& c = t->work;
    // A via at either end of the connection stays: moving it would part the
    // connection from what it joins there.
    if (i == 0 || i >= c.head.count - 1) return 0;
    if (s < PushViaStep() || PushPinned(c.crn[i])) return 0;
    const int32_t x = c.crn[i].x, y = c.crn[i].y, via = c.crn[i].via;
    const int32_t xNew = x + s * t->direction;
    Crn moved = c.crn[i];
    moved.x = xNew;
    int32_t wx, wy;
    PushWorld(t, moved, &wx, &wy);
    const int32_t mx = MzX(wx), my = MzY(wy);
    if (mx < kViaCellMargin || mx > g_mzGrid.w - kViaCellMargin || my < kViaCellMargin ||
        my > g_mzGrid.r - kViaCellMargin)
        return 0;
    if (ViaMapGet(mx, my, via) & kViaBlocked) return 0;
    if (g_router.layerFlag8Present) {
        if (PushJumperLayer(c.crn[i - 1].layer)) return PushJumperMove(t, i - 1);
        if (PushJumperLayer(c.crn[i].layer)) return PushJumperMove(t, i);
    }
    if (!ClearViaPlace(t, via, xNew, y)) return ViaHop(t, i);
    if (!PushRoomFor(&c, 2)) return 0;
    PushInsert(&c, i, 2);
    // i: the old place on the layer before; i + 1: the via; i + 2: back.
    c.crn[i].via = 0;
    c.crn[i].layer = c.crn[i - 1].layer;
    c.crn[i].width = c.crn[i - 1].width;
    c.crn[i + 1].x = xNew;
    c.crn[i + 1].via = uint8_t(via);
    PushDropCoinciding(&c, i - 1, i + 3);
    return 1;
}

int32_t PushJumperMove(PushTable* t, int32_t j) {
    Conn& c = t->work;
    if (j < 0 || j + 1 >= c.head.count) return 0;
    const int32_t x = c.crn[j].x;
    if (c.crn[j + 1].x != x || PushPinned(c.crn[j]) || PushPinned(c.crn[j + 1])) return 0;
    const int32_t layer = c.crn[j].layer;
    const int32_t xNew = x + PushViaStep() * t->direction;
    if (MzPush(xNew, c.crn[j].y, c.crn[j + 1].y, kPushSeg, layer, PushHalfWidth(&c, j), t->entry,
               t->direction, t->transposed))
        return 0;
    const int32_t last = c.head.count - 1;
    // A joint at a via or at the connection's end keeps its place, joined to
    // the moved jumper by a short leg on the neighbouring layer.
    const bool endJoint = c.crn[j + 1].via || j + 1 == last;
    const bool startJoint = c.crn[j].via || j == 0;
    if ((endJoint && j + 1 == last) || (startJoint && j == 0)) return 0;
    if (!PushRoomFor(&c, int32_t(endJoint) + int32_t(startJoint))) return 0;
    if (endJoint) {
        CrnInsert(&c, j + 1, 1);
        c.crn[j + 2].via = 0; // the old place, on the neighbouring layer
        c.crn[j + 1].x = xNew;
        c.crn[j + 1].layer = c.crn[j + 2].layer;
    } else {
        c.crn[j + 1].x = xNew;
    }
    if (startJoint) {
        const uint8_t via = c.crn[j].via;
        CrnInsert(&c, j, 1);
        c.crn[j].via = 0;
        c.crn[j].layer = c.crn[j - 1].layer;
        c.crn[j].width = c.crn[j - 1].width;
        c.crn[j + 1].x = xNew;
        c.crn[j + 1].via = via;
        c.crn[j + 1].flags = uint8_t(c.crn[j + 1].flags & ~(kCrnLocked | kCrnLatched));
    } else {
        c.crn[j].x = xNew;
    }
    return 1;
}
