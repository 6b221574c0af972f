// What the placement tree says about a component where its record puts
// it: whether any of its outlines conflicts with another owner's (edges
// that touch or cross, one shape holding the other, a keep-in left), and
// the cost of its overlaps, with the spacing and alignment terms of Place
// outlines.
#include <memory>
#include <vector>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/dbheader.h"
#include "db/geom.h"
#include "db/obstacles.h"
#include "db/symbols.h"
#include "place/pledges.h"
#include "place/plmodel.h"
#include "place/plscore.h"
#include "place/plsymclass.h"
#include "place/pltreeint.h"

namespace {

int64_t Overlap(int32_t a1, int32_t a2, int32_t b1, int32_t b2) {
    const int64_t lo = a1 > b1 ? a1 : b1, hi = a2 < b2 ? a2 : b2;
    return hi > lo ? hi - lo : 0;
}

// The overlap of a box with obstacle b; for a keep-in the area outside it.
double AreaRule(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const Obstacle& b) {
    const ObsHead& h = b.head;
    const double inter = double(Overlap(x1, x2, h.minX, h.maxX) * Overlap(y1, y2, h.minY, h.maxY));
    if (PlObsClass(h.kind) != kPlClassKeepIn) return inter;
    if (x1 >= h.minX && y1 >= h.minY && x2 <= h.maxX && y2 <= h.maxY) return 0;
    const double area = (double(x2) - x1) * (double(y2) - y1) - inter;
    return area > 0 ? area : 0;
}

int32_t SideOf(int32_t owner) {
    if (owner == 0) return 0;
    return PlCompRef(owner)->byte51;
}

SymbolInfo InfoOf(const Component* comp) {
    SymbolInfo info{};
    if (comp->symbol >= 1) SymInfoGet(comp->symbol, &info);
    return info;
}

int32_t GridOr(int32_t grid, int32_t route) {
    return grid != 0 ? grid : route;
}

// Each outline of the component with a class, placed as the record puts
// it; the visitor answers false to stop.
template <typename Visit> void ForOutlines(int32_t c, const Component* record, Visit visit) {
    auto r = std::make_unique<Obstacle>();
    for (int32_t o = CompObsFirst(c); o != 0; o = ObsNext(o)) {
        AltSave(kRecObstacle, o, r.get());
        const int32_t cls = PlObsClass(r->head.kind);
        if (cls == kPlClassNone) continue;
        ObsPlace(r.get(), record->x, record->y, record->angle);
        if (!visit(*r, cls)) return;
    }
}

} // namespace

void PlTreeObsPlaced(const PlTreeHit& hit, Obstacle* out) {
    AltSave(kRecObstacle, hit.obstacle, out);
    if (hit.owner == 0) return;
    Component comp;
    AltSave(kRecComponent, hit.owner, &comp);
    ObsPlace(out, comp.x, comp.y, comp.angle);
}

bool PlObsConflict(int32_t comp, const Obstacle* a, const PlTreeHit& hit) {
    auto b = std::make_unique<Obstacle>();
    PlTreeObsPlaced(hit, b.get());
    const bool aIns = a->head.kind == kObsInsertionOutline;
    const bool bIns = b->head.kind == kObsInsertionOutline;
    if (aIns && bIns) return false;
    const int32_t sa = SideOf(comp), sb = SideOf(hit.owner);
    if (sa != sb && (sa < sb ? aIns : bIns)) return false;
    if (PlEdgesTouch(*a, *b)) return true;
    if (PlObsClass(a->head.kind) == kPlClassKeepIn) ErrReport(kErrPlTreeKeepIn, comp);
    const bool aInB = ObsContainsPt(a->pt[0].x, a->pt[0].y, b.get()) != 0;
    if (PlObsClass(b->head.kind) == kPlClassKeepIn) return !aInB;
    return aInB || ObsContainsPt(b->pt[0].x, b->pt[0].y, a) != 0;
}

double PlObsOverlapArea(const Obstacle* a, const PlTreeHit& hit) {
    auto b = std::make_unique<Obstacle>();
    PlTreeObsPlaced(hit, b.get());
    if (a->head.layer != 0 && b->head.layer != 0 && a->head.layer != b->head.layer) return 0;
    return AreaRule(a->head.minX, a->head.minY, a->head.maxX, a->head.maxY, *b);
}

double PlBoxCoverRatio(int32_t ax1, int32_t ay1, int32_t ax2, int32_t ay2, int32_t bx1, int32_t by1,
                       int32_t bx2, int32_t by2) {
    const double w = double(Overlap(ax1, ax2, bx1, bx2)), h = double(Overlap(ay1, ay2, by1, by2));
    const double wa = double(ax2) - ax1, ha = double(ay2) - ay1, area = wa * ha;
    if ((w <= 0 && h <= 0) || area <= 0) return 0;
    if (w > 0 && h > 0) return (h * wa + w * ha - w * h) / area;
    if (h > 0) return h * wa / area;
    return w * ha / area;
}

int32_t PlTreeCheckComp(int32_t c, const Component* record) {
    PlTreeEnsure();
    if (record->compRef != 0 || (record->flags & kPlCompUnplaced)) return 1;
    auto hits = std::make_unique<PlTreeHits>();
    int32_t ok = 1;
    ForOutlines(c, record, [&](const Obstacle& a, int32_t cls) {
        if (cls == kPlClassKeepIn) return (ok = 0), false;
        PlTreeQuery(a.head.minX, a.head.minY, a.head.maxX, a.head.maxY, a.head.layer, hits.get());
        if (hits->overflow) return (ok = 0), false;
        for (int32_t k = 0; k < hits->count; ++k)
            if (hits->hit[k].owner != c && PlObsConflict(c, &a, hits->hit[k]))
                return (ok = 0), false;
        return true;
    });
    return ok;
}

double PlTreeOverlapCost(int32_t c, const Component* record, int32_t spacing) {
    PlTreeEnsure();
    if (record->compRef != 0 || (record->flags & kPlCompUnplaced)) return 0;
    auto hits = std::make_unique<PlTreeHits>();
    double sum = 0;
    ForOutlines(c, record, [&](const Obstacle& a, int32_t cls) {
        if (cls == kPlClassKeepIn) return (sum = 1.0), false;
        PlTreeQuery(a.head.minX, a.head.minY, a.head.maxX, a.head.maxY, a.head.layer, hits.get());
        for (int32_t k = 0; k < hits->count; ++k)
            if (hits->hit[k].owner != c && PlObsConflict(c, &a, hits->hit[k]))
                sum += PlObsOverlapArea(&a, hits->hit[k]) * double(kPlTreeOverlapFactor);
        if (spacing && a.head.kind == kObsPlaceOutline) sum += PlSpacingCost(c, record, &a);
        return true;
    });
    return sum;
}

double PlSpacingCost(int32_t c, const Component* record, const Obstacle* place) {
    DbHeader h;
    DbGetHeader(&h);
    const ObsHead& p = place->head;
    const SymbolInfo info = InfoOf(record);
    auto hits = std::make_unique<PlTreeHits>();
    auto b = std::make_unique<Obstacle>();
    double sum = 0;
    const int32_t gx = kPlTreeSpacingGrids * GridOr(h.grid3X, h.routeGrid);
    const int32_t gy = kPlTreeSpacingGrids * GridOr(h.grid3Y, h.routeGrid);
    PlTreeQuery(p.minX - gx, p.minY - gy, p.maxX + gx, p.maxY + gy, p.layer, hits.get());
    for (int32_t k = 0; k < hits->count; ++k) {
        const PlTreeHit& hit = hits->hit[k];
        if (hit.owner == c || hit.owner == 0) continue;
        PlTreeObsPlaced(hit, b.get());
        if (b->head.kind != kObsPlaceOutline) continue;
        const double weight = info.byte10 == kPlShapeSmall && PlCompIsSmallRow(hit.owner)
                                  ? 1.0
                                  : PlBoxCoverRatio(p.minX, p.minY, p.maxX, p.maxY, b->head.minX,
                                                    b->head.minY, b->head.maxX, b->head.maxY);
        sum += PlAlignScore(c, hit.owner) * weight * double(kPlTreeAlignFactor);
    }
    int32_t margin = 0;
    if (!(record->flags & (kPlCompClass1024 | kPlCompClass2048)))
        margin =
            ((info.byte11 & kPlSideSingle) || info.byte10 == kPlShapeGrid ? kPlTreeMarginWide
                                                                          : kPlTreeMarginNarrow) *
            h.routeGrid;
    const int32_t x1 = p.minX - margin, y1 = p.minY - margin;
    const int32_t x2 = p.maxX + margin, y2 = p.maxY + margin;
    PlTreeQuery(x1, y1, x2, y2, p.layer, hits.get());
    for (int32_t k = 0; k < hits->count; ++k) {
        const PlTreeHit& hit = hits->hit[k];
        if (hit.owner == c) continue;
        PlTreeObsPlaced(hit, b.get());
        if (b->head.kind == kObsInsertionOutline) continue;
        if (info.byte10 == kPlShapeDual && PlCompIsSmallClass(hit.owner)) continue;
        sum += AreaRule(x1, y1, x2, y2, *b) * double(kPlTreeSpacingFactor);
    }
    return sum;
}
