// The corner edits of the joins: checked insertion, window split, the via
// site and octilinear tests, the route score and the merge of two
// stretches. The score divides before it multiplies (an unrouted gap costs
// five times its grid steps along x plus y, whatever its direction), so a
// stretch of gaps never scores as free; every rewrite checks the corner
// limit before it inserts.
#include <algorithm>
#include <cstdlib>

#include "db/conns.h"
#include "router/costs.h"
#include "router/gather.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/pathscore.h"
#include "router/rulesvc.h"
#include "router/urstate.h"
#include "router/viamap.h"
#include "rules/joinedit.h"
#include "rules/ruleadapt.h"

int32_t LayerBefore(const Conn* c, int32_t i) {
    return i > 0 ? c->crn[i - 1].layer : c->crn[i].layer;
}

int32_t LayerAfter(const Conn* c, int32_t i) {
    return i < c->head.count - 1 ? c->crn[i].layer : LayerBefore(c, i);
}

int32_t JoinSpacing(int32_t layer, int32_t cls, int32_t kind, bool extend) {
    const int32_t s = LayerSpacing(layer, kind, nullptr, cls);
    return extend ? kJoinExtendFactor * s : s;
}

bool JoinInsert(Conn* c, int32_t i, int32_t n) {
    if (c->head.count + n > kConnInsertLimit) return false;
    CrnInsert(c, i, n);
    return true;
}

namespace {

bool InWindow(int32_t x, int32_t y) {
    const MzBox& w = g_mzGrid.window;
    return x >= w.minX && x <= w.maxX && y >= w.minY && y <= w.maxY;
}

// Steps along one axis from a inside to where b leaves the window's span
// [lo, hi]; -1 when b stays inside along that axis.
int64_t StepsOut(int32_t a, int32_t b, int32_t lo, int32_t hi) {
    if (b > hi) return int64_t(hi) - a;
    if (b < lo) return int64_t(a) - lo;
    return -1;
}

int32_t Sign(int32_t v) {
    return (v > 0) - (v < 0);
}

int32_t Grid() {
    return std::max(1, g_mzGrid.g);
}

} // namespace

int32_t JoinWindowSplit(Conn* c, int32_t i) {
    if (i < 0 || i + 1 >= c->head.count) return 0;
    const Crn a = c->crn[i];
    const Crn& b = c->crn[i + 1];
    if (!InWindow(a.x, a.y) || InWindow(b.x, b.y)) return 0;
    const int32_t dx = b.x - a.x, dy = b.y - a.y;
    if (dx && dy && std::abs(int64_t(dx)) != std::abs(int64_t(dy))) return 0;
    const MzBox& w = g_mzGrid.window;
    int64_t k = -1;
    for (int64_t s : {StepsOut(a.x, b.x, w.minX, w.maxX), StepsOut(a.y, b.y, w.minY, w.maxY)})
        if (s >= 0 && (k < 0 || s < k)) k = s;
    if (k <= 0 || !JoinInsert(c, i + 1)) return 0;
    Crn& n = c->crn[i + 1];
    n.x = int32_t(a.x + Sign(dx) * k);
    n.y = int32_t(a.y + Sign(dy) * k);
    n.width = a.width;
    n.layer = a.layer;
    n.via = 0;
    n.flags = 0;
    return 1;
}

int32_t JoinViaSite(int32_t viaType, int32_t x, int32_t y, int32_t entry) {
    if (viaType < 1 || viaType > DbHdr().viaCount) ErrReport(kErrViaSiteType, viaType);
    if (ViaMapGet(MzX(x), MzY(y), viaType) & kViaBlocked) return 0;
    const int32_t vg = ViaGrid();
    if (vg > 0 && (x % vg || y % vg)) return 0;
    for (int32_t l = 1; l <= MapLayerCount(); ++l) {
        if (!LayerActive(l)) continue;
        const int32_t size = ViaPadSize(viaType, l);
        if (size > 0 && !GatherIsEmpty(x, y, x, y, kProbeVia, l, size, entry, 0)) return 0;
    }
    return 1;
}

bool JoinOctilinear(const Conn* c, int32_t a, int32_t b) {
    for (int32_t i = std::max(a, 0); i < b && i + 1 < c->head.count; ++i) {
        const Crn &p = c->crn[i], &q = c->crn[i + 1];
        if (!p.layer) continue;
        const int64_t dx = std::abs(int64_t(q.x) - p.x), dy = std::abs(int64_t(q.y) - p.y);
        if (dx && dy && dx != dy) return false;
    }
    return true;
}

int64_t JoinRouteScore(const Conn* c, int32_t end) {
    const int32_t n = c->head.count;
    end = std::min(end, n - 1);
    const int32_t g = Grid();
    const uint8_t* dir = CurSweep().dir;
    int64_t score = JoinOctilinear(c, 0, end) ? 0 : kScoreNotOctilinear;
    for (int32_t i = 0; i < end; ++i) {
        const Crn &a = c->crn[i], &b = c->crn[i + 1];
        const int64_t dx = std::abs(int64_t(b.x) - a.x), dy = std::abs(int64_t(b.y) - a.y);
        if (a.layer)
            score += (dir[a.layer] < kDirectionSplit ? dx : dy) / g;
        else
            score += kScoreGapFactor * ((dx + dy) / g);
        if (i > 0 && c->crn[i].via && i < n - 1) score += kScorePerVia;
        if (i > 0 && a.layer && a.layer == c->crn[i - 1].layer) {
            const Crn& p = c->crn[i - 1];
            if (!CornerNotAcute(a.x, a.y, p.x, p.y, b.x, b.y)) score += kScorePerAcuteTurn;
        }
    }
    if (end > 0 && end < n - 1 && c->crn[end].via) score += kScorePerVia;
    return score + exitScore(c, 0);
}

void JoinJointVia(Conn* c, int32_t i) {
    if (i <= 0 || i >= c->head.count - 1) return;
    Crn& k = c->crn[i];
    const int32_t lb = c->crn[i - 1].layer, la = k.layer;
    if (!lb || !la) return;
    if (lb != la && !k.via) k.via = g_viaPair[lb][la];
    if (lb == la && k.via) k.via = 0;
}

namespace {

// Replaces t's corners st..et by s's corners ss..es.
bool Rewrite(CleanItem* t, const CleanItem* s) {
    Conn* tc = t->conn;
    const Conn* sc = s->conn;
    const int32_t st = t->common, et = t->last, ss = s->common, es = s->last;
    const Crn& te = tc->crn[et];
    const Crn& se = sc->crn[es];
    if (te.x != se.x || te.y != se.y) return false;
    const int32_t diff = (es - ss) - (et - st);
    if (diff > 0 && !JoinInsert(tc, st + 1, diff)) return false;
    if (diff < 0) CrnDelete(tc, st + 1, -diff);
    const int32_t ne = st + (es - ss);
    const Crn keepEnd = tc->crn[ne];
    const Crn keepStart = tc->crn[st];
    for (int32_t k = 0; k <= es - ss; ++k)
        tc->crn[st + k] = sc->crn[ss + k];
    Crn& end = tc->crn[ne];
    end.layer = keepEnd.layer;
    end.width = keepEnd.width;
    if (st > 0) tc->crn[st].flags = keepStart.flags;
    JoinJointVia(tc, st);
    JoinJointVia(tc, ne);
    t->last = ne;
    t->changed = true;
    return true;
}

} // namespace

bool JoinMerge(CleanItem* x, CleanItem* y) {
    const int32_t nY = y->conn->head.count;
    const bool yStretch = y->common >= 0 && y->common < y->last && y->last < nY;
    const bool rewriteY =
        yStretch && JoinRouteScore(y->conn, y->last) >= JoinRouteScore(x->conn, x->last);
    CleanItem* t = rewriteY ? y : x;
    const CleanItem* s = rewriteY ? x : y;
    if (t->common < 0 || t->common >= t->last || s->common < 0 || s->common > s->last) return true;
    if (x->last - x->common <= 1 && y->last - y->common <= 1) return true;
    return Rewrite(t, s);
}
