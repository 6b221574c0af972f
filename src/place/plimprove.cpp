// PlImprove and its chain. Scores are the placement tree's overlap cost
// with the spacing terms. Every visit marks the component done, also when
// there is no grid to step on, so a chain always moves on; without any
// grid the passes do not start. A visit opens the journal level it needs
// when none is open. The pool is closed on every exit; the model and the
// tree stay for the caller.
#include "place/plimprove.h"

#include <cstring>
#include <memory>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "files/ascshell.h"
#include "place/plclear.h"
#include "place/plcompoutline.h"
#include "place/plmodel.h"
#include "place/plscore.h"
#include "place/plshove.h"
#include "place/pltree.h"

PlImproveState g_plImprove;

namespace {

void Grids(int32_t* gx, int32_t* gy) {
    DbHeader h;
    DbGetHeader(&h);
    *gx = h.grid3X != 0 ? h.grid3X : h.routeGrid;
    *gy = h.grid3Y != 0 ? h.grid3Y : h.routeGrid;
}

bool Candidate(int32_t c) {
    const PlImproveRecord& r = g_plImprove.recs[size_t(c)];
    return r.movable && !r.done;
}

double ScoreOf(int32_t c, const Component* rec) {
    return PlTreeOverlapCost(c, rec, 1);
}

// The step of a direction code.
void Step(int32_t dir, int32_t gx, int32_t gy, int32_t* dx, int32_t* dy) {
    switch (dir) {
    case kPlMoveUp:
        *dx = 0, *dy = gy;
        return;
    case kPlMoveRight:
        *dx = gx, *dy = 0;
        return;
    case kPlMoveDown:
        *dx = 0, *dy = -gy;
        return;
    case kPlMoveLeft:
        *dx = -gx, *dy = 0;
        return;
    default:
        ErrReport(kErrPlImproveDirection, dir);
    }
}

int32_t Reverse(int32_t dir) {
    switch (dir) {
    case kPlMoveUp:
        return kPlMoveDown;
    case kPlMoveDown:
        return kPlMoveUp;
    case kPlMoveRight:
        return kPlMoveLeft;
    case kPlMoveLeft:
        return kPlMoveRight;
    default:
        return 0;
    }
}

int32_t PinsOf(int32_t c) {
    const Component* r = PlCompRef(c);
    return r->symbol >= 1 ? SymPinCount(r->symbol) : 0;
}

} // namespace

int32_t PlCompBond(int32_t a, int32_t b) {
    if (PlCompRef(b)->compRef != 0) return 0;
    int32_t sum = 0;
    for (int16_t net : g_placeModel.nodes[size_t(a)].nets)
        for (int32_t k = NetConnFirst(net); k != 0; k = NetConnNext(k)) {
            const Conn* r = ConnRef(k);
            if (!r) continue;
            const int32_t f = r->head.fromComp, t = r->head.toComp;
            if ((f == a && t == b) || (f == b && t == a)) sum += PlNetWeight(net);
        }
    return sum;
}

double PlImproveTotal() {
    double sum = 0;
    for (int32_t c = 1; c < int32_t(g_plImprove.recs.size()); ++c) {
        PlImproveRecord& r = g_plImprove.recs[size_t(c)];
        if (!r.movable) continue;
        r.score = ScoreOf(c, PlCompRef(c));
        sum += r.score;
    }
    return sum;
}

int32_t PlImprovePickFirst() {
    const int32_t n = int32_t(g_plImprove.recs.size()) - 1;
    int32_t anchor = 0;
    for (int32_t c = 1; c <= n && !anchor; ++c) {
        const Component* r = PlCompRef(c);
        if (g_plImprove.recs[size_t(c)].movable || !(r->flags & (kPlCompFixed | kPlCompLocked)))
            continue;
        SymbolInfo info{};
        if (r->symbol >= 1) SymInfoGet(r->symbol, &info);
        if (info.byte10 == kPlShapeAnchor) anchor = c;
    }
    if (anchor) {
        int32_t best = 0, bond = 0;
        for (int32_t c = 1; c <= n; ++c) {
            if (!Candidate(c)) continue;
            const int32_t b = PlCompBond(anchor, c);
            if (b > bond) bond = b, best = c;
        }
        if (bond > 0) return best;
    }
    int32_t best = 0;
    double score = 0;
    for (int32_t c = 1; c <= n; ++c)
        if (Candidate(c) && g_plImprove.recs[size_t(c)].score > score)
            score = g_plImprove.recs[size_t(c)].score, best = c;
    if (best) return best;
    int32_t pins = -1;
    for (int32_t c = 1; c <= n; ++c)
        if (Candidate(c) && PinsOf(c) > pins) pins = PinsOf(c), best = c;
    return best;
}

int32_t PlImprovePickNext(int32_t c) {
    const Component* rec = PlCompRef(c);
    const PlCompOutlines ol = PlCompOutlinesOf(c, rec);
    if (!ol.place) return PlImprovePickFirst();
    int32_t gx, gy;
    Grids(&gx, &gy);
    const ObsHead& p = ol.place->head;
    const int32_t wx = kPlImproveWindowGrids * gx, wy = kPlImproveWindowGrids * gy;
    auto hits = std::make_unique<PlTreeHits>();
    auto b = std::make_unique<Obstacle>();
    PlTreeQuery(p.minX - wx, p.minY - wy, p.maxX + wx, p.maxY + wy, p.layer, hits.get());
    int32_t bondWinner = 0, bond = 0, scoreWinner = 0;
    double score = 0;
    for (int32_t k = 0; k < hits->count; ++k) {
        const PlTreeHit& hit = hits->hit[k];
        if (hit.owner == 0 || hit.owner == c || !Candidate(hit.owner)) continue;
        PlTreeObsPlaced(hit, b.get());
        if (b->head.kind != kObsPlaceOutline) continue;
        const int32_t bd = PlCompBond(c, hit.owner);
        if (bd > bond) bond = bd, bondWinner = hit.owner;
        const double s = g_plImprove.recs[size_t(hit.owner)].score;
        if (s > score) score = s, scoreWinner = hit.owner;
    }
    if (bond >= 1) return bondWinner;
    if (score > 0) return scoreWinner;
    return PlImprovePickFirst();
}

void minimizeCompScore(int32_t c, const Component* record) {
    (void)record;
    PlImproveState& st = g_plImprove;
    if (c < 1 || c >= int32_t(st.recs.size()) || !st.recs[size_t(c)].movable)
        ErrReport(kErrPlImproveMovable, c);
    PlImproveRecord& me = st.recs[size_t(c)];
    if (me.done) ErrReport(kErrPlImproveDone, c);
    int32_t gx, gy;
    Grids(&gx, &gy);
    if (gx == 0 && gy == 0) {
        DebugPrint("minimizeCompScore: No grid!");
        me.done = true;
        return;
    }
    Component rec;
    AltSave(kRecComponent, c, &rec);
    if (!PlTreeCheckComp(c, &rec)) PlUnoverlap(c, &rec, 3, 1);
    AltSave(kRecComponent, c, &rec);
    double s = ScoreOf(c, &rec);
    const bool outer = AltDepth() == 0;
    if (outer) AltPush();
    AltPush();
    bool taken = false;
    int32_t last = 0;
    const int32_t order[] = {kPlMoveUp, kPlMoveRight, kPlMoveDown, kPlMoveLeft};
    for (int32_t i = 0; i < kPlImproveSteps && s != 0; ++i) {
        int32_t pick = 0;
        double best = s;
        for (int32_t dir : order) {
            if (last && dir == Reverse(last)) continue;
            int32_t dx, dy;
            Step(dir, gx, gy, &dx, &dy);
            Component trial = rec;
            PlCompShift(&trial, dx, dy);
            const double t = ScoreOf(c, &trial);
            if (t < best) best = t, pick = dir;
        }
        if (!pick) break;
        int32_t dx, dy;
        Step(pick, gx, gy, &dx, &dy);
        PlTreeAdd(kRecComponent, c, &rec, 1);
        PlCompShift(&rec, dx, dy);
        AltPut(kRecComponent, c, 0, &rec);
        PlTreeAdd(kRecComponent, c, &rec, 0);
        s = best;
        last = pick;
        taken = true;
    }
    AltPop(taken);
    AltSave(kRecComponent, c, &rec);
    if (!PlTreeCheckComp(c, &rec)) PlUnoverlap(c, &rec, 4, 0);
    if (outer) AltPop(true);
    me.score = s;
    me.done = true;
}

void PlImprove(const uint8_t* mask) {
    PlImproveState& st = g_plImprove;
    st.passes = 0;
    st.aborted = false;
    DbHeader h;
    DbGetHeader(&h);
    if (h.grid3X == 0 && h.grid3Y == 0 && h.routeGrid == 0) return;
    const int32_t n = CompCount();
    if (n < 1) return;
    st.pool = PoolOpen(kErrPlImprovePool);
    uint8_t* copy = nullptr;
    if (mask) {
        copy = static_cast<uint8_t*>(PoolAlloc(n + 1, st.pool, kErrPlImprovePool));
        std::memcpy(copy, mask, size_t(n) + 1);
    }
    if (!g_placeModel.open) PlModelOpen(copy);
    PlTreeInit();
    st.recs.assign(size_t(n) + 1, PlImproveRecord{});
    for (int32_t c = 1; c <= n; ++c) {
        const uint16_t f = PlCompRef(c)->flags;
        st.recs[size_t(c)].movable =
            !(f & (kPlCompNoMove | kPlCompLocked | kPlCompFixed)) && (!copy || copy[c] != 0);
    }
    bool aborted = false;
    for (int32_t pass = 0; pass < kPlImprovePasses && !aborted; ++pass) {
        ++st.passes;
        const double total0 = PlImproveTotal();
        for (int32_t c = PlImprovePickFirst(); c > 0; c = PlImprovePickNext(c)) {
            if ((aborted = UserAbort())) break;
            minimizeCompScore(c, PlCompRef(c));
        }
        if (aborted || PlImproveTotal() >= total0) break;
        for (PlImproveRecord& r : st.recs)
            r.done = false;
    }
    st.aborted = aborted;
    PoolClose(st.pool);
    st.pool = 0;
}
