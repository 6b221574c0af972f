// Obstacle-to-obstacle spacing: copper-like obstacles of different nets
// keep the segment spacing of their layer, edge against edge, and neither
// lies inside the other. Both obstacles are read placed on their
// components with their arcs turned into segments.
#include <algorithm>

#include "db/layers.h"
#include "db/obstacles.h"
#include "router/layertab.h"
#include "router/objtable.h"
#include "rules/drcboard.h"
#include "rules/drcerror.h"
#include "rules/ruleadapt.h"

namespace {

bool KindTakesPart(int32_t kind) {
    switch (kind) {
    case kObsOutline:
    case kObsCopper:
    case kObsRouteKeepout:
    case kObsCopperPour:
    case kObsShavable:
        return true;
    default:
        return false;
    }
}

bool LayerTakesPart(int32_t layer) {
    return layer == 0 || LayerActive(layer);
}

int32_t Spacing(const Obstacle* a, const Obstacle* b) {
    if (a->head.layer) return LayerSpacing(a->head.layer, 0, nullptr, 0);
    if (b->head.layer) return LayerSpacing(b->head.layer, 0, nullptr, 0);
    int32_t s = 0;
    for (int32_t l = 1; l <= LayerCount(); ++l)
        if (LayerActive(l)) s = std::max(s, LayerSpacing(l, 0, nullptr, 0));
    return s;
}

bool Curved(const Obstacle* o) {
    for (int32_t i = 0; i < o->head.count; ++i)
        if (o->pt[i].flags & kObsPtArc) return true;
    return false;
}

// The number of edges: closing edge included for a closed shape; a single
// point is one edge of length 0.
int32_t Edges(const Obstacle* o) {
    const int32_t n = o->head.count;
    if (n <= 1) return n;
    return ObsIsClosed(o) && n > 2 ? n : n - 1;
}

void Edge(const Obstacle* o, int32_t k, ObsPoint* p, ObsPoint* q) {
    *p = o->pt[k];
    *q = o->pt[k + 1 < o->head.count ? k + 1 : 0];
}

int32_t Violation(int32_t x, int32_t y, int32_t layer, int32_t found, int32_t s, int32_t edgeA,
                  int32_t edgeB) {
    DrcCurrentError.otherSub = int16_t(edgeB);
    return DrcViolation(kErrKindObsToObs, x, y, layer, found, s, edgeA, x, y, x, y);
}

} // namespace

int32_t DrcObsVsObs(const Obstacle* a, const Obstacle* b) {
    if (Curved(a) || Curved(b)) ErrReport(kErrObsCurved, a->head.count);
    const int32_t s = Spacing(a, b);
    const ObsHead &ha = a->head, &hb = b->head;
    if (int64_t(ha.minX) - hb.maxX > s || int64_t(hb.minX) - ha.maxX > s ||
        int64_t(ha.minY) - hb.maxY > s || int64_t(hb.minY) - ha.maxY > s)
        return 1;
    const int32_t layer = ha.layer ? ha.layer : hb.layer;
    const int32_t ea = Edges(a), eb = Edges(b);
    for (int32_t i = 0; i < ea; ++i) {
        ObsPoint p, q;
        Edge(a, i, &p, &q);
        for (int32_t j = 0; j < eb; ++j) {
            ObsPoint r, t;
            Edge(b, j, &r, &t);
            const int32_t d = SegSegDist(p.x, p.y, q.x, q.y, r.x, r.y, t.x, t.y);
            if (d >= s) continue;
            const int32_t mx = int32_t((int64_t(p.x) + q.x) / 2);
            const int32_t my = int32_t((int64_t(p.y) + q.y) / 2);
            Violation(mx, my, layer, d, s, i, j);
            return 0;
        }
    }
    if (ha.count > 0 && hb.count > 2 && ObsIsClosed(b) &&
        ObsContainsPt(a->pt[0].x, a->pt[0].y, b)) {
        Violation(a->pt[0].x, a->pt[0].y, layer, 0, s, 0, 0);
        return 0;
    }
    if (hb.count > 0 && ha.count > 2 && ObsIsClosed(a) &&
        ObsContainsPt(b->pt[0].x, b->pt[0].y, a)) {
        Violation(b->pt[0].x, b->pt[0].y, layer, 0, s, 0, 0);
        return 0;
    }
    return 1;
}

int32_t DrcObsCheck(int32_t entry, int32_t net, int32_t owner, const Obstacle* obs) {
    if (!KindTakesPart(obs->head.kind) || !LayerTakesPart(obs->head.layer)) return 1;
    ScratchRecord<Obstacle> a;
    ObsCopy(a.get(), obs);
    if (a->head.flags & kObsHasArcs) ObsArcsToSegs(a.get());
    const MapObj* self = ObjEntry(entry);
    ScratchRecord<Obstacle> b;
    for (int32_t k = 1; k <= ObjCount(); ++k) {
        const MapObj* o = ObjEntry(k);
        if (o->type < kObjPad || o->type > kObjText) ErrReport(kErrDrcRunType, o->type);
        if (o->type != kObjObstacle || o->net == net || k == entry) continue;
        if (o->index == self->index && o->link == self->link) ErrReport(kErrObsSelf, k);
        if (owner != 0 && o->link == owner) continue; // siblings on one component
        ObsPlaceOnComp(o->index, o->link, b.get());
        const int32_t la = a->head.layer, lb = b->head.layer;
        if (!KindTakesPart(b->head.kind) || !LayerTakesPart(lb)) continue;
        if (la && lb && la != lb) continue;
        if (b->head.flags & kObsHasArcs) ObsArcsToSegs(b.get());
        DrcCurrentError = DrcError{};
        DrcCurrentError.object = self->index;
        DrcCurrentError.objectType = kErrObjObstacle;
        DrcCurrentError.otherObject = o->index;
        DrcCurrentError.otherType = kErrObjObstacle;
        DrcObsVsObs(a.get(), b.get());
    }
    return 1;
}
