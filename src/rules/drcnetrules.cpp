// The rules of one connection that are not clearances: vias on the via
// grid, layer changes through a via that joins the two layers, the net's
// allowed layers and its width per layer. Points outside MazeExtent are
// not recorded; net-rule errors are recorded only with CheckOptions 0x40.
#include "db/attrs.h"
#include "db/conns.h"
#include "db/nets.h"
#include "db/thru.h"
#include "router/costs.h"
#include "router/mzgrid.h"
#include "rules/drcboard.h"
#include "rules/drcerror.h"
#include "rules/ruleadapt.h"

namespace {

enum : int32_t {
    kAttrNetWidth = 18,  // attribute kind of a net's width per layer
    kAttrKeyNetRec = 10, // ... keyed by the net (record type 10) and the layer
};

bool InMaze(int32_t x, int32_t y) {
    const MzBox& e = g_mzGrid.extent;
    return x >= e.minX && x <= e.maxX && y >= e.minY && y <= e.maxY;
}

// Records the error of segment i at its midpoint, else its start, else its
// end, whichever lies inside MazeExtent.
void SegmentError(uint8_t kind, const Conn* conn, int32_t i) {
    if (!(CheckOptions & kCheckNetRules)) return;
    const Crn &a = conn->crn[i], &b = conn->crn[i + 1];
    const int32_t mx = int32_t((int64_t(a.x) + b.x) / 2), my = int32_t((int64_t(a.y) + b.y) / 2);
    int32_t x = mx, y = my;
    if (!InMaze(mx, my)) {
        if (InMaze(a.x, a.y)) {
            x = a.x;
            y = a.y;
        } else if (InMaze(b.x, b.y)) {
            x = b.x;
            y = b.y;
        } else {
            return;
        }
    }
    DrcViolation(kind, x, y, a.layer, 0, 0, i, x, y, x, y);
}

bool LayerAllowed(int32_t mask, int32_t layer) {
    return layer >= 1 && layer <= 32 && ((uint32_t(mask) >> (layer - 1)) & 1u);
}

} // namespace

void DrcViaOnGrid(int32_t index, const Conn* conn) {
    (void)index;
    const int32_t g = ViaGrid();
    if (g <= 0) return;
    for (int32_t i = 0; i < conn->head.count; ++i) {
        const Crn& c = conn->crn[i];
        if (!c.via || !InMaze(c.x, c.y) || (c.x % g == 0 && c.y % g == 0)) continue;
        DrcViolation(kErrKindOffGridVia, c.x, c.y, 0, 0, 0, i, c.x, c.y, c.x, c.y);
    }
}

void DrcNetLayerVia(int32_t index, const Conn* conn) {
    (void)index;
    for (int32_t i = 1; i < conn->head.count - 1; ++i) {
        const Crn& c = conn->crn[i];
        const int32_t a = conn->crn[i - 1].layer, b = c.layer;
        if (a == 0 || b == 0 || a == b) continue;
        if (a < kLayerSlots && b < kLayerSlots && c.via == g_viaPair[a][b]) continue;
        if (c.via && PadstackOnLayer(c.via, a) && PadstackOnLayer(c.via, b)) continue;
        if (InMaze(c.x, c.y) && (CheckOptions & kCheckNetRules))
            DrcViolation(kErrKindMissingVia, c.x, c.y, 0, 0, 0, i, c.x, c.y, c.x, c.y);
        return;
    }
}

void checkNetRules(int32_t index, const Conn* conn) {
    (void)index;
    const int32_t net = conn->head.net;
    if (net < 1 || net > NetCount()) return;
    const int32_t n = conn->head.count;
    const int32_t mask = NetRef(net)->netLevel;
    for (int32_t i = 0; i + 1 < n; ++i) {
        const int32_t l = conn->crn[i].layer;
        if (l == 0 || LayerAllowed(mask, l)) continue;
        SegmentError(kErrKindNetLayer, conn, i);
        return;
    }
    if (!(conn->head.flags & kConnNetAttr)) return;
    for (int32_t i = 0; i + 1 < n; ++i) {
        const Crn& c = conn->crn[i];
        if (c.layer == 0) continue;
        if (g_verbose) DebugPrint("checkNetRules crn=%d: testing", int(i));
        Attribute a;
        if (!AttrFind(kAttrNetWidth, kAttrKeyNetRec, net, c.layer, &a)) continue;
        if (int32_t(c.width) == a.value1 / WidthUnit()) continue;
        SegmentError(kErrKindSegWidth, conn, i);
        return;
    }
}
