// Obstacle-to-obstacle spacing: copper-like obstacles of different nets
// keep the segment spacing of their layer, edge against edge, and neither
// lies inside the other. Both obstacles are read placed on their
// components with their arcs turned into segments; during a whole-board
// run each obstacle is read and converted once and kept (head and points)
// until the run ends.
#include <algorithm>
#include <vector>

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

int32_t Spacing(const ObsHead& a, const ObsHead& b) {
    if (a.layer) return LayerSpacing(a.layer, 0, nullptr, 0);
    if (b.layer) return LayerSpacing(b.layer, 0, nullptr, 0);
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

bool BoxesApart(const ObsHead& a, const ObsHead& b, int32_t s) {
    return int64_t(a.minX) - b.maxX > s || int64_t(b.minX) - a.maxX > s ||
           int64_t(a.minY) - b.maxY > s || int64_t(b.minY) - a.maxY > s;
}

// The run's converted obstacles by entry: head and the offset of the
// points (-1 not read yet).
struct RunCache {
    bool active = false;
    std::vector<int32_t> slot;
    std::vector<ObsHead> heads;
    std::vector<int32_t> first;
    std::vector<ObsPoint> points;
};
RunCache s_cache;

void ReadConverted(const MapObj* o, Obstacle* rec) {
    ObsPlaceOnComp(o->index, o->link, rec);
    ObsOutlineOnly(rec);
}

// Entry k's obstacle placed and converted: from the run's cache when one
// is kept (filled on first use), else read into the record.
const ObsHead& ObstacleOf(int32_t k, Obstacle* rec) {
    const MapObj* o = ObjEntry(k);
    if (!s_cache.active || k >= int32_t(s_cache.slot.size())) {
        ReadConverted(o, rec);
        return rec->head;
    }
    int32_t& n = s_cache.slot[size_t(k)];
    if (n < 0) {
        ReadConverted(o, rec);
        n = int32_t(s_cache.heads.size());
        s_cache.heads.push_back(rec->head);
        s_cache.first.push_back(int32_t(s_cache.points.size()));
        s_cache.points.insert(s_cache.points.end(), rec->pt, rec->pt + rec->head.count);
    }
    return s_cache.heads[size_t(n)];
}

// The cached points of entry k into the record (after ObstacleOf).
void PointsOf(int32_t k, Obstacle* rec) {
    if (!s_cache.active || k >= int32_t(s_cache.slot.size())) return;
    const size_t n = size_t(s_cache.slot[size_t(k)]);
    rec->head = s_cache.heads[n];
    std::copy_n(s_cache.points.begin() + s_cache.first[n], rec->head.count, rec->pt);
}

int32_t Violation(int32_t x, int32_t y, int32_t layer, int32_t found, int32_t s, int32_t edgeA,
                  int32_t edgeB) {
    DrcCurrentError.otherSub = int16_t(edgeB);
    return DrcViolation(kErrKindObsToObs, x, y, layer, found, s, edgeA, x, y, x, y);
}

} // namespace

int32_t DrcObsVsObs(const Obstacle* a, const Obstacle* b) {
    if (Curved(a) || Curved(b)) ErrReport(kErrObsCurved, a->head.count);
    const ObsHead &ha = a->head, &hb = b->head;
    const int32_t s = Spacing(ha, hb);
    if (BoxesApart(ha, hb, s)) return 1;
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
    ObsOutlineOnly(a.get());
    const MapObj* self = ObjEntry(entry);
    ScratchRecord<Obstacle> b;
    for (int32_t k = 1; k <= ObjCount(); ++k) {
        const MapObj* o = ObjEntry(k);
        if (o->type < kObjPad || o->type > kObjText) ErrReport(kErrDrcRunType, o->type);
        if (o->type != kObjObstacle || o->net == net || k == entry) continue;
        if (o->index == self->index && o->link == self->link) ErrReport(kErrObsSelf, k);
        if (owner != 0 && o->link == owner) continue; // siblings on one component
        const ObsHead& hb = ObstacleOf(k, b.get());
        const int32_t la = a->head.layer, lb = hb.layer;
        if (!KindTakesPart(hb.kind) || !LayerTakesPart(lb)) continue;
        if (la && lb && la != lb) continue;
        if (BoxesApart(a->head, hb, Spacing(a->head, hb))) continue;
        PointsOf(k, b.get());
        DrcCurrentError = DrcError{};
        DrcCurrentError.object = self->index;
        DrcCurrentError.objectType = kErrObjObstacle;
        DrcCurrentError.otherObject = o->index;
        DrcCurrentError.otherType = kErrObjObstacle;
        DrcObsVsObs(a.get(), b.get());
    }
    return 1;
}

DrcObsRunCache::DrcObsRunCache() {
    s_cache = RunCache{};
    s_cache.active = true;
    s_cache.slot.assign(size_t(ObjCount()) + 1, -1);
}

DrcObsRunCache::~DrcObsRunCache() {
    s_cache = RunCache{};
}
