// The jump around a pad: when a moved vertical piece runs into a pad, the
// detour clears a rectangle around the pad (legs below and above it, the
// far leg beyond it and the two cross legs) and jumpStitch replaces the
// stretch of the connection that crossed it by the jump. Only outside
// stitch mode and with jumps enabled; a pad turned by an angle that is not
// a quarter turn gets no detour.
#include <algorithm>

#include "db/comps.h"
#include "db/conns.h"
#include "db/pool.h"
#include "db/thru.h"
#include "router/gather.h"
#include "router/layertab.h"
#include "router/objtable.h"
#include "router/pushwork.h"

namespace {

enum : int32_t {
    kPinProbeExtra = 1, // extra clearance of the test that only the pad touches its pin
};

int32_t Lower(int32_t v, int32_t s) {
    return v - v % s;
}
int32_t Raise(int32_t v, int32_t s) {
    return v % s ? v - v % s + s : v;
}

// 1 when nothing but the pad itself touches the pin's position.
bool OnlyThePad(const PushTable* t, int32_t pad, int32_t px, int32_t py) {
    auto* list = static_cast<ObjList*>(ScratchPush());
    const bool only = GatherSegBlockers(px, py, px, py, t->kind, t->layer, kPinProbeExtra, t->entry,
                                        list, t->transposed, 0) &&
                      list->count == 1 && list->entry[0] == pad;
    ScratchPop(list);
    return only;
}

} // namespace

int32_t PushPadDetour(PushTable* t, int32_t pad, int32_t xNew, int32_t low, int32_t up, int32_t w) {
    if (g_pushOptions.stitchMode || !g_pushOptions.jumpsEnabled) return 0;
    const MapObj& o = *ObjEntry(pad);
    PlacedPin pin;
    PlacedPad shapes;
    CompPinPadGet(o.index, o.link, t->layer, &pin, &shapes);
    if (shapes.count < 1 || shapes.shape[0].code == kPadUndef) ErrReport(kErrPushPadShape, pad);
    if (shapes.angle != 0) return 0;
    int32_t px = pin.x, py = pin.y;
    int32_t bx1 = shapes.shape[0].minX, by1 = shapes.shape[0].minY;
    int32_t bx2 = shapes.shape[0].maxX, by2 = shapes.shape[0].maxY;
    for (int32_t k = 1; k < shapes.count; ++k) {
        bx1 = std::min(bx1, shapes.shape[k].minX);
        by1 = std::min(by1, shapes.shape[k].minY);
        bx2 = std::max(bx2, shapes.shape[k].maxX);
        by2 = std::max(by2, shapes.shape[k].maxY);
    }
    if (t->transposed) {
        std::swap(px, py);
        std::swap(bx1, by1);
        std::swap(bx2, by2);
    }
    if (!OnlyThePad(t, pad, px, py)) return 0;
    const int32_t s = PushStep(), d = t->direction;
    const int32_t c1 = LayerSpacingByKind(t->layer, 1, nullptr, t->kind);
    const int32_t y0 = Lower(by1 - w - c1, s);
    const int32_t y1 = Raise(by2 + w + c1, s);
    const int32_t x2 = d > 0 ? Raise(bx2 + w + c1, s) : Lower(bx1 - w - c1, s);
    const int32_t kind = t->kind, layer = t->layer, e = t->entry, tr = t->transposed;
    auto push = [&](int32_t x, int32_t ya, int32_t yb, int32_t dir, int32_t trans) {
        return MzPush(x, ya, yb, kind, layer, w, e, dir, trans) == 0;
    };
    auto empty = [&](int32_t xa, int32_t ya, int32_t xb, int32_t yb) {
        return GatherIsEmpty(xa, ya, xb, yb, kind, layer, w, e, tr) != 0;
    };
    if (low <= y0 && !push(xNew, low, y0, d, tr)) return 0;
    if (y1 <= up && !push(xNew, y1, up, d, tr)) return 0;
    if (!push(x2, y0, y1, d, tr) || !empty(x2, y0, x2, y1)) return 0;
    if (!push(y0, xNew, x2, -1, !tr) || !empty(xNew, y0, x2, y0)) return 0;
    if (!push(y1, xNew, x2, 1, !tr) || !empty(xNew, y1, x2, y1)) return 0;
    t->lowY = y0;
    t->upY = y1;
    t->newX = x2;
    return 1;
}

int32_t jumpStitch(PushTable* t, int32_t m) {
    Conn& c = t->work;
    const int32_t y0 = t->lowY, y1 = t->upY, x2 = t->newX;
    const int32_t last = c.head.count - 1;
    if (m < 0 || m > last) return 0;
    int32_t a = m;
    while (c.crn[a].y > y0) {
        if (c.crn[a].via || a < 2) return 0;
        --a;
    }
    if (a + 1 > last || c.crn[a + 1].y < y0 || c.crn[a + 1].x != c.crn[a].x) return 0;
    int32_t j = m;
    for (;;) {
        if (j + 1 > last) return 0;
        if (c.crn[j + 1].y >= y1) break;
        if (c.crn[j + 1].via) return 0;
        ++j;
    }
    if (c.crn[j].x != c.crn[j + 1].x || c.crn[j].y > y1) return 0;
    const int32_t removed = j - a;
    if (!PushRoomFor(&c, 4 - removed)) return 0;
    const int32_t xEnd = c.crn[j + 1].x;
    if (removed > 0) CrnDelete(&c, a + 1, removed);
    PushInsert(&c, a, 4);
    const int32_t px[4] = {c.crn[a].x, x2, x2, xEnd};
    const int32_t py[4] = {y0, y0, y1, y1};
    for (int32_t k = 0; k < 4; ++k) {
        c.crn[a + 1 + k].x = px[k];
        c.crn[a + 1 + k].y = py[k];
    }
    if (g_verbose) ConnDump(&c, "jumpStitch: jump complete", 0);
    return 1;
}
