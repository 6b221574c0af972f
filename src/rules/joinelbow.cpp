// The elbow search and the tidy of a joint. An elbow is one new corner
// between two points whose two legs are free of other nets' copper and
// make no acute turn with the neighbours named; the tidy keeps a joint
// that already turns at 90 degrees or wider and otherwise bends it through
// such an elbow, then lets the router's straightening try its shifts
// there. A tidy that finds no elbow fails and changes nothing further.
#include <cstdlib>

#include "db/conns.h"
#include "db/shellsvc.h"
#include "router/costs.h"
#include "router/gather.h"
#include "router/mzgrid.h"
#include "router/rulesvc.h"
#include "router/straighten.h"
#include "router/urstate.h"
#include "rules/joinedit.h"
#include "rules/ruleadapt.h"

namespace {

enum : int32_t { kElbowNeighboursMax = 2 };

// sign(0) counts as negative.
int32_t SignNeg0(int32_t v) {
    return v > 0 ? 1 : -1;
}

bool LegFree(int32_t entry, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer,
             int32_t half) {
    return GatherIsEmpty(x1, y1, x2, y2, kProbeSeg, layer, half, entry, 0) != 0;
}

// The leg from A to E turns at A by 90 degrees or more toward each of the
// n neighbours.
bool LegNotAcute(int32_t ax, int32_t ay, int32_t ex, int32_t ey, int32_t n, const int32_t nb1[2],
                 const int32_t nb2[2]) {
    if (n < 0 || n > kElbowNeighboursMax) ErrReport(kErrElbowNeighbours, n);
    if (n == 2 && !CornerNotAcute(ax, ay, ex, ey, nb1[0], nb1[1])) return false;
    const int32_t* only = n == 2 ? nb2 : nb1;
    if (n >= 1 && !CornerNotAcute(ax, ay, ex, ey, only[0], only[1])) return false;
    return true;
}

} // namespace

bool JoinElbow(int32_t entry, int32_t ax, int32_t ay, int32_t cx, int32_t cy, int32_t layer,
               int32_t half, int32_t n, const int32_t nb1[2], const int32_t nb2[2], int32_t e[2]) {
    if (n < 0 || n > kElbowNeighboursMax) ErrReport(kErrElbowNeighbours, n);
    if (ax == cx || ay == cy) {
        if (!LegFree(entry, ax, ay, cx, cy, layer, half)) return false;
        if (!LegNotAcute(ax, ay, cx, cy, n, nb1, nb2)) return false;
        e[0] = ax;
        e[1] = ay;
        return true;
    }
    const int32_t dx = cx - ax, dy = cy - ay;
    const int32_t adx = std::abs(dx), ady = std::abs(dy);
    int32_t cand[4][2];
    int32_t count = 0;
    auto add = [&](int32_t x, int32_t y) {
        cand[count][0] = x;
        cand[count][1] = y;
        ++count;
    };
    if (CurSweep().diagonal & kSweepDiagonalElbows) {
        if (ady < adx) {
            add(ax + SignNeg0(dx) * ady, cy);
            add(cx - SignNeg0(dx) * ady, ay);
        } else {
            add(cx, ay + SignNeg0(dy) * adx);
            add(ax, cy - SignNeg0(dy) * adx);
        }
    }
    if (ady < adx) {
        add(cx, ay);
        add(ax, cy);
    } else {
        add(ax, cy);
        add(cx, ay);
    }
    for (int32_t k = 0; k < count; ++k) {
        const int32_t ex = cand[k][0], ey = cand[k][1];
        if (!LegFree(entry, ax, ay, ex, ey, layer, half)) continue;
        if (!LegFree(entry, ex, ey, cx, cy, layer, half)) continue;
        if (!LegNotAcute(ax, ay, ex, ey, n, nb1, nb2)) continue;
        e[0] = ex;
        e[1] = ey;
        return true;
    }
    return false;
}

namespace {

// Shifts of the straightening at corner k: twice the grid, the grid, and
// half the grid while the grid stands doubled; the first kept ends it.
void TryShifts(CleanItem* x, int32_t k) {
    const int32_t g = g_mzGrid.g;
    const int32_t steps[3] = {2 * g, g, ShellGridDoubling() ? g / 2 : 0};
    ScratchRecord<Conn> scratch;
    for (int32_t s : steps)
        if (s > 0 && straightenTryShift(x->entry, x->conn, scratch.get(), k, s, 1)) return;
}

} // namespace

bool JoinTidy(CleanItem* x, const CleanItem* y) {
    Conn* c = x->conn;
    const int32_t j = x->last;
    if (j < 0 || j >= c->head.count - 1) return true;
    if (y->last < 0 || y->last >= y->conn->head.count - 1) return true;
    if (JoinWindowSplit(c, j)) x->changed = true;
    if (j + 2 < c->head.count && JoinWindowSplit(c, j + 1)) x->changed = true;
    const int32_t n = c->head.count;
    const Crn pj = c->crn[j];
    const Crn& yn = y->conn->crn[y->last + 1];
    const int32_t other[2] = {yn.x, yn.y};
    const int32_t layer = pj.layer;
    // A joint that leaves on an unrouted segment has no copper to bend: no
    // elbow can be tested on layer 0, so the tidy fails and the join is
    // left to the other side's tidy or refused.
    if (!layer) return false;
    const int32_t half = HalfWidth(pj);
    int32_t e[2] = {0, 0};
    int32_t target = j + 1;
    if (layer && layer == y->conn->crn[y->last].layer) {
        const Crn& p1 = c->crn[j + 1];
        const bool ok1 = CornerNotAcute(pj.x, pj.y, p1.x, p1.y, other[0], other[1]);
        const bool ok0 =
            j == 0 || CornerNotAcute(pj.x, pj.y, p1.x, p1.y, c->crn[j - 1].x, c->crn[j - 1].y);
        if (ok1 && ok0) return true;
        bool found = false;
        if (j > 0) {
            const int32_t prev[2] = {c->crn[j - 1].x, c->crn[j - 1].y};
            found = JoinElbow(x->entry, pj.x, pj.y, p1.x, p1.y, layer, half, 2, prev, other, e);
        }
        if (!found)
            found = JoinElbow(x->entry, pj.x, pj.y, p1.x, p1.y, layer, half, 1, other, other, e);
        if (!found)
            found = JoinElbow(x->entry, pj.x, pj.y, p1.x, p1.y, layer, half, 0, other, other, e);
        if (!found) return false;
    } else if (j + 3 <= n - 1 && JoinElbow(x->entry, pj.x, pj.y, c->crn[j + 2].x, c->crn[j + 2].y,
                                           layer, half, 0, other, other, e)) {
        CrnDelete(c, j + 1, 1);
        JoinJointVia(c, j + 1);
        x->changed = true;
    } else if (!JoinElbow(x->entry, pj.x, pj.y, c->crn[j + 1].x, c->crn[j + 1].y, layer, half, 0,
                          other, other, e)) {
        return false;
    }
    const Crn& next = c->crn[target];
    if ((e[0] != pj.x || e[1] != pj.y) && (e[0] != next.x || e[1] != next.y)) {
        if (!JoinInsert(c, j + 1)) return false;
        Crn& k = c->crn[j + 1];
        k = c->crn[j];
        k.x = e[0];
        k.y = e[1];
        k.via = 0;
        k.flags = 0;
        x->changed = true;
    }
    if (x->changed) {
        TryShifts(x, j);
        if (j + 3 < x->conn->head.count) TryShifts(x, j + 1);
    }
    return true;
}
