// The straight-line heuristic: classification of a straight pin-to-pin
// line (its direction, its layer, the one pad in its way) and the route
// with a jog around that pad.
#include "router/memroute.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "db/attrs.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/nets.h"
#include "db/symbols.h"
#include "router/gather.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/objtable.h"
#include "router/padexit.h"
#include "router/urstate.h"

MemClass g_memClass;

namespace {

enum : int32_t {
    kCrnFixed = kCrnLocked | kCrnLatched,
    kDiagOn = 0x1,      // the sweep's diagonal value: diagonals allowed
    kAttrNetWidth = 18, // attributes of kind 18, sub-kind 10 keyed (net, layer)
    kAttrSubKindKey = 10,
    kMemCorners = 6,
};

int32_t LayerCount() {
    return std::clamp<int32_t>(DbHdr().layerCount, 0, kMaxLayers);
}

bool InArea(int32_t mx, int32_t my) {
    return mx >= 12 && mx <= 2 * g_mzGrid.nx - 12 && my >= 12 && my <= 2 * g_mzGrid.ny - 12;
}

// The cheapest usable layer in the line's direction, 0 none.
int32_t ChooseLayer(const Conn* c, bool vertical) {
    const Net* net = NetRef(c->head.net);
    const Sweep& s = CurSweep();
    int32_t best = 0, bestCost = kMemCostLimit;
    for (int32_t l = 1; l <= LayerCount(); ++l) {
        const LayerRec* r = LayerRecOf(l);
        if (!r || !s.enable[l] || s.between[l] == kBetweenFull) continue;
        if (!NetAllowsLayer(net, l)) continue;
        const int32_t along = vertical ? r->vert[0] : r->horz[0];
        const int32_t across = vertical ? r->horz[0] : r->vert[0];
        if (across < along || along >= bestCost) continue;
        if (!PinOnLayer(c->head.fromComp, c->head.fromPin, l) ||
            !PinOnLayer(c->head.toComp, c->head.toPin, l))
            continue;
        best = l;
        bestCost = along;
    }
    return best;
}

} // namespace

int32_t MemClassify(int32_t strict, const Conn* c) {
    g_memClass = MemClass{};
    const ConnHead& h = c->head;
    if (h.count < 2 || !h.fromComp || !h.toComp) return 0;
    for (int32_t i = 0; i < h.count; ++i)
        if (c->crn[i].flags & kCrnFixed) return 0;
    const Crn &a = c->crn[0], &b = c->crn[h.count - 1];
    int32_t kind = 0;
    if (a.x == b.x && GridRoundDown(a.x) == a.x)
        kind = kMemVertical;
    else if (a.y == b.y && GridRoundDown(a.y) == a.y)
        kind = kMemHorizontal;
    if (!kind) return 0;
    if (!InArea(MzX(a.x), MzY(a.y)) || !InArea(MzX(b.x), MzY(b.y))) return 0;
    if (g_verbose) {
        DebugPrint("MemClassify: %s", kind == kMemVertical ? "Vertical" : "Horizontal");
        ConnDump(c, "MemClassify", 0);
    }
    const int32_t layer = ChooseLayer(c, kind == kMemVertical);
    if (!layer) return 0;
    static ObjList list;
    list.count = 0;
    const int32_t ax = a.x, ay = a.y, bx = b.x, by = b.y;
    GatherBox(std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by), kProbeSeg,
              layer, 0, &list);
    int32_t blocker = 0;
    for (int32_t k = 0; k < list.count; ++k) {
        const MapObj* o = ObjEntry(list.entry[k]);
        if (o->type != kObjPad) continue;
        if ((o->index == h.fromComp && o->link == h.fromPin) ||
            (o->index == h.toComp && o->link == h.toPin))
            continue;
        if (strict && o->index != h.fromComp && o->index != h.toComp) return 0;
        if (blocker) return 0;
        blocker = list.entry[k];
    }
    g_memClass = MemClass{kind, layer, blocker};
    return blocker || !strict ? 1 : 0;
}

void CrnNetWidth(Conn* c) {
    Crn& a = c->crn[0];
    if (!a.layer) return;
    const int32_t unit = DbHdr().connGrid > 0 ? DbHdr().connGrid : 1;
    Attribute attr;
    if (AttrFind(kAttrNetWidth, kAttrSubKindKey, c->head.net, a.layer, &attr))
        a.width = uint16_t(attr.value3 / unit);
}

int32_t MemRoute(int32_t strict, Conn* c) {
    const MemClass m = g_memClass;
    if (m.layer < 1 || m.layer > LayerCount()) ErrReport(kErrMemLayer, m.layer);
    MzGoal& g = *Goal();
    ConnGet(g.conn, c);
    c->crn[1] = c->crn[c->head.count - 1];
    c->head.count = 2;
    c->crn[0].layer = uint8_t(m.layer);
    CrnNetWidth(c);
    if (!m.blocker) return 1;
    const MapObj* o = ObjEntry(m.blocker);
    if (o->type != kObjPad) ErrReport(kErrMemNotPad, m.blocker);
    PlacedPin placed;
    PlacedPad pad;
    CompPinPadGet(o->index, o->link, m.layer, &placed, &pad);
    if (pad.count == 0) ErrReport(kErrMemNoShapes, m.blocker);
    int32_t minX, minY, maxX, maxY;
    PlacedPadBox(pad, &minX, &minY, &maxX, &maxY);
    PlacedPin pin;
    CompPinXY(o->index, o->link, &pin);
    const int32_t unit = DbHdr().connGrid > 0 ? DbHdr().connGrid : 1;
    const int32_t clear =
        c->crn[0].width * unit / 2 + LayerSpacing(m.layer, kProbeSeg, c, kProbePad);
    g.hopCount = 0;
    const Crn last = c->crn[1];
    for (int32_t i = 1; i < kMemCorners - 1; ++i)
        c->crn[i] = c->crn[0];
    c->crn[kMemCorners - 1] = last;
    c->head.count = kMemCorners;
    const bool fromComp = o->index == c->head.fromComp;
    const int32_t G = g_mzGrid.g;
    const bool diag = CurSweep().diagonal & kDiagOn;
    // The line runs along u (y for a vertical line); the jog moves v.
    const bool vertical = m.kind == kMemVertical;
    auto getU = [&](int32_t i) { return vertical ? c->crn[i].y : c->crn[i].x; };
    auto getV = [&](int32_t i) { return vertical ? c->crn[i].x : c->crn[i].y; };
    auto setU = [&](int32_t i, int32_t v) { (vertical ? c->crn[i].y : c->crn[i].x) = v; };
    auto setV = [&](int32_t i, int32_t v) { (vertical ? c->crn[i].x : c->crn[i].y) = v; };
    const int32_t u0 = getU(0), u5 = getU(5), v0 = getV(0);
    bool high = vertical ? (fromComp ? u0 < u5 : u5 < u0) : (fromComp ? u0 > u5 : u5 > u0);
    if (!strict) high = !high;
    const int32_t boxHigh = vertical ? maxX : maxY, boxLow = vertical ? minX : minY;
    const int32_t jog = high ? GridRoundUp(boxHigh + clear) : GridRoundDown(boxLow - clear);
    setV(2, jog);
    setV(3, jog);
    setV(1, v0);
    setV(4, v0);
    int32_t d = std::abs(jog - v0);
    if (u5 < u0) d = -d;
    const int32_t pu = vertical ? pin.y : pin.x;
    int32_t u1, u2, u3, u4;
    if (diag) {
        u1 = GridRoundDown((u0 + pu - d) / 2);
        u3 = GridRoundDown((u5 + pu - d) / 2);
        u2 = u1 + d;
        u4 = u3 + d;
    } else {
        u1 = GridRoundDown((u0 + pu) / 2);
        u3 = GridRoundDown((u5 + pu) / 2);
        int32_t e = getV(1) < getV(2) ? G : 0;
        if (u1 < u3) e = -e;
        u1 += e;
        u2 = u1;
        u3 -= e;
        u4 = u3;
    }
    setU(1, u1);
    setU(2, u2);
    setU(3, u3);
    setU(4, u4);
    return 1;
}
