// clearOneComp and its helpers. The component being cleared is taken out
// of the placement tree (marked unplaced) while its neighbours are
// shoved, and put back on success; a failed try maps the tree back from
// its level's images before the level is dropped. The legality test of
// the cleared component looks at it as placed.
#include "place/plclear.h"

#include <memory>

#include "db/altjournal.h"
#include "db/dbheader.h"
#include "db/names.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "files/ascshell.h"
#include "place/plcompoutline.h"
#include "place/plmodel.h"
#include "place/plshove.h"

namespace {

struct Box {
    int32_t x1, y1, x2, y2;
};

Box BoxOf(const Obstacle& r) {
    return {r.head.minX, r.head.minY, r.head.maxX, r.head.maxY};
}

bool Strict(const Box& a, const Box& b) {
    return a.x1 < b.x2 && b.x1 < a.x2 && a.y1 < b.y2 && b.y1 < a.y2;
}

bool Contains(const Box& outer, const Box& inner) {
    return inner.x1 >= outer.x1 && inner.y1 >= outer.y1 && inner.x2 <= outer.x2 &&
           inner.y2 <= outer.y2;
}

// Every component the current level changed that has no cluster master
// and is placed stands legally.
bool LevelLegal() {
    void* image = ScratchPush();
    AltItemHeader h;
    bool ok = true;
    const int32_t depth = AltDepth();
    for (int32_t n = 1; n <= AltCount() && ok; ++n) {
        AltGet(n, &h, image);
        if (h.level != depth || h.type != kRecComponent || (h.flags & kAltDeleted)) continue;
        const Component* r = static_cast<const Component*>(image);
        if (r->compRef == 0 && !(r->flags & kPlCompUnplaced)) ok = PlTreeCheckComp(h.index, r) != 0;
    }
    ScratchPop(image);
    return ok;
}

} // namespace

bool PlRectFree(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t comp, int32_t layer) {
    auto hits = std::make_unique<PlTreeHits>();
    auto b = std::make_unique<Obstacle>();
    const Box box{x1, y1, x2, y2};
    PlTreeQuery(x1, y1, x2, y2, layer, hits.get());
    for (int32_t k = 0; k < hits->count; ++k) {
        const PlTreeHit& hit = hits->hit[k];
        if (hit.owner == comp && comp != 0) continue;
        PlTreeObsPlaced(hit, b.get());
        if (layer != 0 && b->head.layer != 0 && b->head.layer != layer) continue;
        const int32_t kind = b->head.kind;
        if ((kind == kObsCompKeepout || kind == kObsPlaceOutline) && Strict(BoxOf(*b), box))
            return false;
        if ((kind == kObsBoardOutline || kind == kObsCompKeepin) && !Contains(BoxOf(*b), box))
            return false;
    }
    return true;
}

int32_t PlFreeSides(int32_t owner, const Obstacle* q) {
    DbHeader h;
    DbGetHeader(&h);
    const int32_t g = h.routeGrid;
    const Box b = BoxOf(*q);
    const struct {
        int32_t dir, dx, dy;
    } sides[] = {
        {kPlMoveDown, 0, -g}, {kPlMoveUp, 0, g}, {kPlMoveLeft, -g, 0}, {kPlMoveRight, g, 0}};
    int32_t blocked = 0;
    for (const auto& s : sides)
        if (!PlRectFree(b.x1 + s.dx, b.y1 + s.dy, b.x2 + s.dx, b.y2 + s.dy, owner, q->head.layer))
            blocked |= s.dir;
    return blocked;
}

int32_t PlClearSide(int32_t c, const Obstacle* m, const PlTreeHit& q, int32_t direction,
                    int32_t depth, int32_t spacing) {
    (void)c;
    AltPush();
    for (int32_t k = 0; k < kPlClearMaxShoves; ++k) {
        if (!PlShoveComp(q.owner, direction, 0, depth, spacing)) break;
        Component o;
        AltSave(kRecComponent, q.owner, &o);
        if (PlObsOverlapArea(m, q) == 0 && PlTreeCheckComp(q.owner, &o) && LevelLegal()) {
            AltPop(true);
            return 1;
        }
    }
    PlTreeMapTop();
    AltPop(false);
    return 0;
}

int32_t PlClearAround(int32_t c, const Obstacle* m, const PlTreeHit& q, int32_t depth,
                      int32_t spacing) {
    const Component* o = PlCompRef(q.owner);
    if (o->flags & kPlCompUnplaced) return 1;
    if (o->flags & (kPlCompLocked | kPlCompFixed)) return 0;
    auto qo = std::make_unique<Obstacle>();
    PlTreeObsPlaced(q, qo.get());
    const Box mb = BoxOf(*m), qb = BoxOf(*qo);
    const int64_t mcx = (int64_t(mb.x1) + mb.x2) / 2, mcy = (int64_t(mb.y1) + mb.y2) / 2;
    const int64_t qcx = (int64_t(qb.x1) + qb.x2) / 2, qcy = (int64_t(qb.y1) + qb.y2) / 2;
    int32_t tried = 0;
    auto attempt = [&](int32_t dir, bool when) {
        if (!when || (tried & dir)) return false;
        tried |= dir;
        return PlClearSide(c, m, q, dir, depth, spacing) != 0;
    };
    if (attempt(kPlMoveDown, qb.y2 < mcy) || attempt(kPlMoveUp, qb.y1 > mcy) ||
        attempt(kPlMoveLeft, qb.x2 < mcx) || attempt(kPlMoveRight, qb.x1 > mcx) ||
        attempt(kPlMoveDown, qcy < mcy) || attempt(kPlMoveUp, qcy > mcy) ||
        attempt(kPlMoveLeft, qcx < mcx) || attempt(kPlMoveRight, qcx > mcx))
        return 1;
    const int32_t blocked = PlFreeSides(q.owner, qo.get());
    const bool wide = int64_t(qb.x2) - qb.x1 >= int64_t(qb.y2) - qb.y1;
    const int32_t first = wide ? kPlMoveDown : kPlMoveRight;
    const int32_t second = wide ? kPlMoveUp : kPlMoveLeft;
    if (attempt(first, !(blocked & first)) || attempt(second, !(blocked & second)) ||
        attempt(first, true) || attempt(second, true))
        return 1;
    const int32_t order[] = {kPlMoveDown, kPlMoveUp, kPlMoveLeft, kPlMoveRight};
    for (int32_t dir : order)
        if (attempt(dir, !(blocked & dir))) return 1;
    for (int32_t dir : order)
        if (attempt(dir, true)) return 1;
    return 0;
}

int32_t clearOneComp(int32_t c, const Component* record, int32_t depth, int32_t spacing) {
    if (record->symbol >= 1 && CompBoxOutside(record)) return 0;
    const PlCompOutlines ol = PlCompOutlinesOf(c, record);
    const Obstacle* query = ol.Query();
    if (!query) {
        DebugPrint("*clearOneComp: No comp outline for %s", NameText(record->name));
        return 1;
    }
    auto hits = std::make_unique<PlTreeHits>();
    PlTreeQuery(query->head.minX, query->head.minY, query->head.maxX, query->head.maxY,
                query->head.layer, hits.get());
    for (int32_t k = 0; k < hits->count; ++k) {
        const PlTreeHit& hit = hits->hit[k];
        if (hit.owner == 0 || hit.owner == c) continue;
        for (const Obstacle* mine : {ol.place.get(), ol.insertion.get()}) {
            if (!mine || PlObsOverlapArea(mine, hit) == 0) continue;
            if (!PlClearAround(c, mine, hit, depth, spacing)) return 0;
        }
    }
    Component placed = *record;
    placed.flags &= uint16_t(~kPlCompUnplaced);
    if (!PlTreeCheckComp(c, &placed)) {
        DebugPrint("clearOneComp:  FAILED for unknown reason");
        return 0;
    }
    return 1;
}

void PlUnoverlap(int32_t c, const Component* record, int32_t depth, int32_t spacing) {
    (void)record;
    if (UserAbort()) return;
    // Without an open level the pass opens the one below its own.
    const bool outer = AltDepth() == 0;
    if (outer) AltPush();
    AltPush();
    Component rec;
    AltSave(kRecComponent, c, &rec);
    PlTreeAdd(kRecComponent, c, &rec, 1);
    rec.flags |= kPlCompUnplaced;
    AltPut(kRecComponent, c, 0, &rec);
    if (clearOneComp(c, &rec, depth, spacing)) {
        rec.flags &= uint16_t(~kPlCompUnplaced);
        AltPut(kRecComponent, c, 0, &rec);
        PlTreeAdd(kRecComponent, c, &rec, 0);
        AltPop(true);
    } else {
        PlTreeMapTop();
        AltPop(false);
    }
    if (outer) AltPop(true);
}
