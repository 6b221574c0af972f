// PlShoveComp and findCompSet. The forbidden set grows along the
// recursion so that a pushed component never comes back the way it was
// pushed; the pushing component carries the locked flag while it moves,
// so that nothing pushes it in turn.
#include "place/plshove.h"

#include <memory>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/dbheader.h"
#include "db/names.h"
#include "files/ascshell.h"
#include "place/plcompoutline.h"
#include "place/plmodel.h"
#include "place/pltree.h"

namespace {

int32_t g_level;

struct MoveRule {
    int32_t move, dx, dy, forbid;
};

// Bits added to the forbidden set per move, and the step's signs.
constexpr MoveRule kMoves[] = {
    {kPlMoveUp, 0, 1, 0x38},
    {kPlMoveDown, 0, -1, 0x83},
    {kPlMoveRight, 1, 0, 0xE0},
    {kPlMoveLeft, -1, 0, 0x0E},
};

// Moves tried for a pushed component that cannot go the pusher's way.
constexpr int32_t kAlternates[] = {kPlMoveRight, kPlMoveLeft, kPlMoveDown, kPlMoveUp};

} // namespace

int32_t PlShoveLevel() {
    return g_level;
}

int32_t PlShoveComp(int32_t c, int32_t move, int32_t forbidden, int32_t depth, int32_t spacing) {
    if (UserAbort()) return 0;
    if (move & forbidden) ErrReport(kErrPlShoveForbidden, move);
    if (c < 1 || c > CompCount()) ErrReport(kErrPlShoveComp, c);
    Component rec;
    AltSave(kRecComponent, c, &rec);
    if (rec.flags & (kPlCompFixed | kPlCompLocked)) return 0;
    if (rec.flags & kPlCompUnplaced) ErrReport(kErrPlShoveUnplaced, c);
    const double cost0 = PlTreeOverlapCost(c, &rec, spacing);
    DbHeader h;
    DbGetHeader(&h);
    const int32_t gx = h.grid3X != 0 ? h.grid3X : h.routeGrid;
    const int32_t gy = h.grid3Y != 0 ? h.grid3Y : h.routeGrid;
    if (gx == 0 && gy == 0) {
        DebugPrint("PlShoveComp: No grid!");
        return 0;
    }
    const MoveRule* rule = nullptr;
    for (const MoveRule& r : kMoves)
        if (r.move == move) rule = &r;
    if (!rule) ErrReport(kErrPlShoveMove, move);
    forbidden |= rule->forbid;
    if (depth < 0 || depth > kPlShoveMaxDepth) ErrReport(kErrPlShoveDepth, depth);

    AltPush();
    const Component before = rec;
    rec.flags |= kPlCompLocked;
    PlTreeAdd(kRecComponent, c, &before, 1);
    PlCompShift(&rec, rule->dx * gx, rule->dy * gy);
    AltPut(kRecComponent, c, 0, &rec);
    PlTreeAdd(kRecComponent, c, &rec, 0);
    if (g_level < depth) {
        ++g_level;
        int16_t set[kPlShoveSetMax];
        const int32_t n = findCompSet(c, &rec, set);
        for (int32_t k = n - 1; k >= 0; --k) {
            if (PlShoveComp(set[k], move, forbidden, depth, spacing)) continue;
            for (int32_t alt : kAlternates)
                if (alt != move && !(alt & forbidden) &&
                    PlShoveComp(set[k], alt, forbidden, depth, spacing))
                    break;
        }
        --g_level;
    }
    AltSave(kRecComponent, c, &rec);
    const double cost1 = PlTreeOverlapCost(c, &rec, spacing);
    if (cost1 > cost0) {
        PlTreeMapTop();
        AltPop(false);
        return 0;
    }
    rec.flags &= uint16_t(~(kPlCompLocked | kPlCompUnplaced));
    AltPut(kRecComponent, c, 0, &rec);
    AltPop(true);
    return 1;
}

int32_t findCompSet(int32_t c, const Component* record, int16_t* out) {
    const PlCompOutlines ol = PlCompOutlinesOf(c, record);
    const Obstacle* q = ol.Query();
    if (!q) {
        DebugPrint("*findCompSet: No comp outline for %s", NameText(record->name));
        return 0;
    }
    auto hits = std::make_unique<PlTreeHits>();
    PlTreeQuery(q->head.minX, q->head.minY, q->head.maxX, q->head.maxY, q->head.layer, hits.get());
    int32_t n = 0;
    for (int32_t k = 0; k < hits->count && n < kPlShoveSetMax; ++k) {
        const PlTreeHit& hit = hits->hit[k];
        if (hit.owner == 0 || hit.owner == c) continue;
        if (PlCompRef(hit.owner)->flags & (kPlCompUnplaced | kPlCompLocked | kPlCompFixed))
            continue;
        double area = 0;
        if (ol.place) area = PlObsOverlapArea(ol.place.get(), hit);
        if (area == 0 && ol.insertion) area = PlObsOverlapArea(ol.insertion.get(), hit);
        if (area == 0) continue;
        out[n++] = hit.owner;
    }
    return n;
}
