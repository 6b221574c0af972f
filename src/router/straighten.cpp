// Straightening trials; see straighten.h.
#include "router/straighten.h"

#include <cstdlib>

#include "db/attrs.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/geom.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "router/connnorm.h"
#include "router/costs.h"
#include "router/gather.h"
#include "router/mzgrid.h"
#include "router/pathscore.h"
#include "router/rulesvc.h"
#include "router/urstate.h"

namespace {

enum : int32_t {
    kAttrNetWidth = 18, // attributes of kind 18, sub-kind 10 keyed (net, layer)
    kAttrSubKindKey = 10,
    kGatherSeg = 0,   // gathering kind of a segment
    kGatherVia = 2,   // ... of a via
    kEndCutAim = 100, // the end cut aims this far along each axis from corner 0
};

bool InExtent(const Crn& c) {
    const MzBox& b = g_mzGrid.extent;
    return c.x >= b.minX && c.x <= b.maxX && c.y >= b.minY && c.y <= b.maxY;
}

int32_t HalfWidth(const Crn& c) {
    return int32_t(int64_t(c.width) * DbHdr().connGrid / 2);
}

bool Same(const Crn& a, const Crn& b) {
    return a.x == b.x && a.y == b.y;
}

// One unit toward the target along an axis (0 when equal).
int32_t Toward(int32_t from, int32_t to) {
    return to > from ? 1 : to < from ? -1 : 0;
}

bool SegFree(const Crn& a, const Crn& b, int32_t layer, int32_t half, int32_t entry) {
    return GatherIsEmpty(a.x, a.y, b.x, b.y, kGatherSeg, layer, half, entry, 0) != 0;
}

// The checks every kept trial passes after the corners in first..last
// changed: rules, path score, exit scores after reduction; copies back.
int32_t Keep(int32_t entry, Conn* record, Conn* scratch, int32_t first, int32_t last) {
    ConnFixWidth(scratch, 1);
    if (!DrcCheckConn(entry, scratch, first, last)) return 0;
    if (pathScore(scratch) > g_straightenLimits.path) return 0;
    connReduce(scratch);
    if (exitScore(scratch, 0) > g_straightenLimits.exit[0]) return 0;
    if (exitScore(scratch, 1) > g_straightenLimits.exit[1]) return 0;
    ConnCopy(record, scratch);
    return 1;
}

bool Orthogonal(const Crn& a, const Crn& b) {
    return a.x == b.x || a.y == b.y;
}

bool Multiple(int32_t v, int32_t m) {
    return m <= 0 || v % m == 0;
}

// An intersection or end-cut point: both coordinates on the half grid, or
// on the grid while grid doubling is off.
bool OnCrossingGrid(int32_t x, int32_t y) {
    const int32_t g = g_mzGrid.g;
    const int32_t h = g >> 1;
    if (Multiple(x, h) && Multiple(y, h)) return true;
    return !ShellGridDoubling() && Multiple(x, g) && Multiple(y, g);
}

bool InExtentXY(int32_t x, int32_t y) {
    const MzBox& b = g_mzGrid.extent;
    return x >= b.minX && x <= b.maxX && y >= b.minY && y <= b.maxY;
}

// A shortcut point: on the half grid, on the grid while grid doubling is
// off, and inside the maze extent.
bool OnShortcutGrid(int32_t x, int32_t y) {
    const int32_t g = g_mzGrid.g;
    if (!Multiple(x, g >> 1) || !Multiple(y, g >> 1)) return false;
    if (!ShellGridDoubling() && (!Multiple(x, g) || !Multiple(y, g))) return false;
    return InExtentXY(x, y);
}

bool StrictlyBetween(int32_t v, int32_t a, int32_t b) {
    return (v > a && v < b) || (v > b && v < a);
}

// The point of segment a..b reached octilinearly from (x, y): 1 and P, 0
// when there is none. endFree lets the foot of a perpendicular lie beyond
// an orthogonal segment.
int32_t ReachOnSeg(const Crn& a, const Crn& b, int32_t x, int32_t y, bool endFree, int32_t* px,
                   int32_t* py) {
    if (PtOnLine(x, y, a.x, a.y, b.x, b.y)) return 2;
    if (a.y == b.y || a.x == b.x) {
        *px = a.x == b.x ? a.x : x;
        *py = a.y == b.y ? a.y : y;
        return endFree || PtOnSeg(*px, *py, a.x, a.y, b.x, b.y);
    }
    int32_t slope = 0;
    if (b.x - a.x == b.y - a.y)
        slope = 1;
    else if (b.x - a.x == a.y - b.y)
        slope = -1;
    else
        return 0;
    if (StrictlyBetween(x, a.x, b.x)) {
        *px = x;
        *py = a.y + (x - a.x) * slope;
        return 1;
    }
    if (StrictlyBetween(y, a.y, b.y)) {
        *px = a.x + (y - a.y) * slope;
        *py = y;
        return 1;
    }
    return 0;
}

// Whether a layer suits a run: a mainly horizontal run wants a direction
// percentage of at least 50, any other at most 50.
bool LayerSuits(int32_t layer, const Crn& from, const Crn& to) {
    const int32_t dir = CurSweep().dir[layer];
    const bool horizontal = std::abs(int64_t(to.y) - from.y) < std::abs(int64_t(to.x) - from.x);
    return horizontal ? dir >= kScoreDirSplitPercent : dir <= kScoreDirSplitPercent;
}

// The checks of a shortcut trial after its corners are set: net widths,
// path score, rules of first..last, both exit scores when an end was
// touched; reduced and copied back.
int32_t KeepShortcut(int32_t entry, Conn* record, Conn* scratch, int32_t first, int32_t last,
                     bool endTouched) {
    straightenNetWidths(scratch);
    if (pathScore(scratch) > g_straightenLimits.path) return 0;
    ConnFixWidth(scratch, 1);
    if (!DrcCheckConn(entry, scratch, first, last)) return 0;
    if (endTouched) {
        if (exitScore(scratch, 0) > g_straightenLimits.exit[0]) return 0;
        if (exitScore(scratch, 1) > g_straightenLimits.exit[1]) return 0;
    }
    connReduce(scratch);
    ConnCopy(record, scratch);
    return 1;
}

} // namespace

StraightenLimits g_straightenLimits;

void StraightenSetLimits(const Conn* record) {
    g_straightenLimits.path = pathScore(record);
    g_straightenLimits.exit[0] = exitScore(record, 0);
    g_straightenLimits.exit[1] = exitScore(record, 1);
}

void straightenNetWidths(Conn* record) {
    const int32_t unit = DbHdr().connGrid;
    if (unit <= 0) return;
    for (int32_t k = 0; k + 1 < record->head.count; ++k) {
        Crn& c = record->crn[k];
        if (!c.layer || (c.flags & kCrnLocked)) continue;
        Attribute a;
        if (AttrFind(kAttrNetWidth, kAttrSubKindKey, record->head.net, c.layer, &a))
            c.width = uint16_t(a.value1 / unit);
    }
}

int32_t straightenTryShift(int32_t entry, Conn* record, Conn* scratch, int32_t k, int32_t step,
                           int32_t strict) {
    const int32_t n = record->head.count;
    if (k < 0 || k + 2 >= n || step <= 0) return 0;
    if (n + 1 > kConnInsertLimit) return 0;
    const Crn& a = record->crn[k];
    const Crn& b = record->crn[k + 1];
    const Crn& c = record->crn[k + 2];
    if (!InExtent(a) || !InExtent(b)) return 0;
    if (!a.layer || a.layer != b.layer) return 0;
    const bool hv = a.y == b.y && a.x != b.x && c.x == b.x && c.y != b.y;
    const bool vh = a.x == b.x && a.y != b.y && c.y == b.y && c.x != b.x;
    if (!hv && !vh) return 0;
    if (std::abs(int64_t(a.x) - b.x) + std::abs(int64_t(a.y) - b.y) < step) return 0;
    if (std::abs(int64_t(c.x) - b.x) + std::abs(int64_t(c.y) - b.y) < step) return 0;
    ConnCopy(scratch, record);
    CrnInsert(scratch, k + 1, 1);
    Crn* s = scratch->crn;
    s[k + 1].x = b.x + Toward(b.x, a.x) * step;
    s[k + 1].y = b.y + Toward(b.y, a.y) * step;
    s[k + 2].x = b.x + Toward(b.x, c.x) * step;
    s[k + 2].y = b.y + Toward(b.y, c.y) * step;
    int32_t p1 = k + 1;
    int32_t p2 = k + 2;
    bool cornerKGone = false;
    if (Same(s[p2], s[p2 + 1])) CrnDelete(scratch, p2, 1); // the following corner stays
    if (Same(s[p1], s[k])) {
        CrnDelete(scratch, p1, 1); // corner k stands at P1 with its via
        p1 = k;
        p2 = k + 1;
        cornerKGone = true;
    }
    if (strict) {
        const Crn& q1 = s[p1];
        const Crn& q2 = s[p2];
        if (p1 > 0 && !CornerNotAcute(q1.x, q1.y, s[p1 - 1].x, s[p1 - 1].y, q2.x, q2.y)) return 0;
        if (p2 + 1 < scratch->head.count &&
            !CornerNotAcute(q2.x, q2.y, q1.x, q1.y, s[p2 + 1].x, s[p2 + 1].y))
            return 0;
        if (!cornerKGone && k > 0 && s[k - 1].layer == s[k].layer &&
            !CornerNotAcute(s[k].x, s[k].y, s[k - 1].x, s[k - 1].y, q1.x, q1.y))
            return 0;
        const Crn& widthOf = cornerKGone && k > 0 ? record->crn[k - 1] : a;
        const int32_t half = HalfWidth(widthOf);
        if (!cornerKGone && !SegFree(a, q1, a.layer, half, entry)) return 0;
        if (!SegFree(q1, q2, a.layer, half, entry)) return 0;
        if (!SegFree(q2, c, a.layer, half, entry)) return 0;
    }
    return Keep(entry, record, scratch, p1, p2);
}

int32_t straightenIntersect(int32_t entry, Conn* record, int32_t k, int32_t l, int32_t anyAngle) {
    if (l - k < 2) ErrFatal(kErrIntersectRange);
    const int32_t n = record->head.count;
    if (k < 0 || l + 1 >= n) return 0;
    const Crn* c = record->crn;
    const bool orthK = Orthogonal(c[k], c[k + 1]);
    const bool orthL = Orthogonal(c[l], c[l + 1]);
    if (!anyAngle && orthK == orthL) return 0;
    int32_t px = 0, py = 0;
    const int32_t meet = LineIntersect(&px, &py, c[k].x, c[k].y, c[k + 1].x, c[k + 1].y, c[l].x,
                                       c[l].y, c[l + 1].x, c[l + 1].y);
    if (meet == 0) return 0;
    if (meet == 2) {
        px = c[l].x;
        py = c[l].y;
    } else {
        if (!CornerNotAcute(px, py, c[k].x, c[k].y, c[l + 1].x, c[l + 1].y)) return 0;
        if (!InExtentXY(px, py) || !OnCrossingGrid(px, py)) return 0;
    }
    if (l == k + 2 && ((px == c[k + 1].x && py == c[k + 1].y) || c[k].layer != c[l].layer))
        return 0;
    const bool lastSegment = l == n - 2;
    auto* scratch = static_cast<Conn*>(ScratchPush());
    ConnCopy(scratch, record);
    if (l - k > 2) CrnDelete(scratch, k + 1, l - k - 2);
    Crn* s = scratch->crn;
    s[k + 1].x = px;
    s[k + 1].y = py;
    s[k + 1].via = 0;
    const int32_t lk = s[k].layer;
    const int32_t lm = s[k + 1].layer;
    const int32_t ll = s[k + 2].layer;
    bool ok = true;
    if (lk != lm) {
        s[k + 1].via = g_viaPair[lk][lm];
        ok = s[k + 1].via != 0;
    }
    if (ok && lm != ll) {
        s[k + 2].via = g_viaPair[lm][ll];
        ok = s[k + 2].via != 0;
    } else if (ok) {
        s[k + 2].via = 0;
    }
    int32_t result = 0;
    if (ok) {
        straightenNetWidths(scratch);
        if (pathScore(scratch) <= g_straightenLimits.path) {
            ConnFixWidth(scratch, 1);
            const int32_t last = k + 3 < scratch->head.count ? k + 3 : scratch->head.count - 1;
            if (DrcCheckConn(entry, scratch, k, last)) {
                connReduce(scratch);
                if ((k != 0 || exitScore(scratch, 0) <= g_straightenLimits.exit[0]) &&
                    (!lastSegment || exitScore(scratch, 1) <= g_straightenLimits.exit[1])) {
                    ConnCopy(record, scratch);
                    result = 1;
                }
            }
        }
    }
    ScratchPop(scratch);
    return result;
}

int32_t straightenShortcut(int32_t entry, Conn* record, Conn* scratch, int32_t k, int32_t l) {
    const int32_t n = record->head.count;
    if (k < 0 || l <= k || l + 1 >= n) return 0;
    const Crn* c = record->crn;
    const Crn& ck = c[k];
    int32_t px = 0, py = 0;
    const int32_t reach = ReachOnSeg(c[l], c[l + 1], ck.x, ck.y, k == 0, &px, &py);
    if (!reach) return 0;
    if (reach == 2) {
        px = c[l].x;
        py = c[l].y;
    }
    if (!OnShortcutGrid(px, py)) return 0;
    if (l == k + 1 && px == c[l].x && py == c[l].y) return 0;
    const int32_t lk = ck.layer;
    const int32_t ll = c[l].layer;
    int32_t layer = lk;
    int32_t viaAtK = -1; // -1: corner k keeps its via
    int32_t viaAtP = -1; // -1: P keeps the old corner l's via
    if (lk && ll && lk != ll) {
        const int32_t pair = g_viaPair[lk][ll];
        if (!pair) return 0;
        if (LayerSuits(lk, ck, c[l + 1])) {
            viaAtP = pair;
        } else if (LayerSuits(ll, ck, c[l + 1])) {
            layer = ll;
            viaAtK = pair;
        } else {
            return 0;
        }
    }
    if (!layer) return 0;
    if (!GatherIsEmpty(ck.x, ck.y, px, py, kGatherSeg, layer, HalfWidth(ck), entry, 0)) return 0;
    ConnCopy(scratch, record);
    if (l - k > 1) CrnDelete(scratch, k + 1, l - k - 1);
    Crn* s = scratch->crn;
    s[k + 1].x = px;
    s[k + 1].y = py;
    if (viaAtP >= 0) s[k + 1].via = uint8_t(viaAtP);
    s[k].layer = uint8_t(layer);
    if (viaAtK >= 0) s[k].via = uint8_t(viaAtK);
    if (k == 0) s[0].via = 0;
    const int32_t m = scratch->head.count;
    return KeepShortcut(entry, record, scratch, k, k + 2 < m ? k + 2 : m - 1,
                        k == 0 || k + 1 >= m - 2);
}

int32_t straightenShortcutBack(int32_t entry, Conn* record, Conn* scratch, int32_t k, int32_t l) {
    const int32_t n = record->head.count;
    if (k < 0 || l < k + 2 || l >= n) return 0;
    const Crn* c = record->crn;
    const Crn& cl = c[l];
    int32_t px = 0, py = 0;
    const int32_t reach = ReachOnSeg(c[k], c[k + 1], cl.x, cl.y, l == n - 1, &px, &py);
    if (!reach) return 0;
    if (reach == 2) {
        px = c[k + 1].x;
        py = c[k + 1].y;
    }
    if (!OnShortcutGrid(px, py)) return 0;
    if (l == k + 2 && px == c[k + 1].x && py == c[k + 1].y) return 0;
    const int32_t lk = c[k].layer;
    const int32_t lp = c[l - 1].layer;
    int32_t layer = lp ? lp : lk;
    int32_t viaAtP = 0;
    int32_t viaAtL = -1; // -1: corner l keeps its via
    if (lk && lp && lk != lp) {
        const int32_t pair = g_viaPair[lk][lp];
        if (!pair) return 0;
        if (LayerSuits(lp, c[k], cl)) {
            viaAtP = pair;
        } else if (LayerSuits(lk, c[k], cl)) {
            layer = lk;
            viaAtL = pair;
        } else {
            return 0;
        }
    }
    if (!layer) return 0;
    if (!GatherIsEmpty(px, py, cl.x, cl.y, kGatherSeg, layer, HalfWidth(c[k]), entry, 0)) return 0;
    ConnCopy(scratch, record);
    if (l - k > 2) CrnDelete(scratch, k + 1, l - k - 2);
    Crn* s = scratch->crn;
    const int32_t m = scratch->head.count;
    s[k + 1].x = px;
    s[k + 1].y = py;
    s[k + 1].layer = uint8_t(layer);
    s[k + 1].via = uint8_t(viaAtP);
    if (viaAtL >= 0) s[k + 2].via = uint8_t(viaAtL);
    if (k + 2 == m - 1) s[k + 2].via = 0;
    return KeepShortcut(entry, record, scratch, k, k + 2, k == 0 || k + 2 >= m - 2);
}

namespace {

// The routed part: first..last corners around the routed segments that
// are not Locked or Latched; false when there is none.
bool RoutedPart(const Conn* record, int32_t* first, int32_t* last) {
    const int32_t n = record->head.count;
    int32_t a = -1, b = -1;
    for (int32_t k = 0; k + 1 < n; ++k) {
        const Crn& c = record->crn[k];
        if (!c.layer || (c.flags & (kCrnLocked | kCrnLatched))) continue;
        if (a < 0) a = k;
        b = k;
    }
    if (a < 0) return false;
    *first = a > 0 ? a - 1 : 0;
    *last = b + 1 < n ? b + 1 : n - 1;
    return true;
}

int32_t TryWindow(int32_t mode, int32_t entry, Conn* record, Conn* scratch, int32_t k, int32_t l) {
    switch (mode) {
    case 1:
        return straightenShortcut(entry, record, scratch, k, l);
    case 2:
        return l > k + 1 && straightenShortcutBack(entry, record, scratch, k, l);
    case 3:
        return l >= k + 2 && straightenIntersect(entry, record, k, l, 1);
    default:
        return l >= k + 2 && straightenIntersect(entry, record, k, l, 0);
    }
}

// Mitres at every corner of the routed part with each step until none
// succeeds; 1 when anything changed.
int32_t MitreSteps(int32_t entry, Conn* record, Conn* scratch, const int32_t* steps,
                   int32_t count) {
    int32_t changed = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (steps[i] <= 0) continue;
        for (bool again = true; again && !UserAbort();) {
            again = false;
            int32_t first = 0, last = 0;
            if (!RoutedPart(record, &first, &last)) return changed;
            for (int32_t k = first; k + 2 <= last; ++k)
                if (straightenTryShift(entry, record, scratch, k, steps[i], 0)) again = true;
            changed |= again;
        }
    }
    return changed;
}

// Rounds of mitres with each step, then the diagonal intersections, until
// a round changes nothing or the abort key; the mitre pass adds the steps
// of 3 and 5 grids. 1 when anything changed.
int32_t MitreRounds(int32_t entry, Conn* record, Conn* scratch, bool wideSteps) {
    const int32_t g = g_mzGrid.g;
    const bool dbl = ShellGridDoubling();
    const int32_t steps[6] = {2 * g, dbl ? g + g / 2 : 0, g, dbl ? g / 2 : 0, 3 * g, 5 * g};
    int32_t changed = 0;
    for (bool again = true; again && !UserAbort();) {
        StraightenSetLimits(record);
        again = MitreSteps(entry, record, scratch, steps, wideSteps ? 6 : 4) != 0;
        again = straightenWindowPass(4, entry, record) != 0 || again;
        changed |= again;
    }
    return changed;
}

} // namespace

int32_t straightenWindowPass(int32_t mode, int32_t entry, Conn* record) {
    int32_t first = 0, last = 0;
    if (!RoutedPart(record, &first, &last)) return 0;
    auto* scratch = static_cast<Conn*>(ScratchPush());
    int32_t result = 0;
    for (int32_t k = first; k < last && !result; ++k) {
        const Crn* c = record->crn;
        if (!InExtent(c[k]) || !c[k].layer) continue;
        for (int32_t l = k + 1; l <= k + kStraightenWindowCorners && l + 1 < record->head.count;
             ++l) {
            if (!InExtent(c[l]) || !c[l].layer) break;
            if (TryWindow(mode, entry, record, scratch, k, l)) {
                result = 1;
                break;
            }
        }
    }
    ScratchPop(scratch);
    return result;
}

int32_t StraightenConn(int32_t entry, Conn* record) {
    if (MzFlags & kNoStraighten) return 0;
    auto* scratch = static_cast<Conn*>(ScratchPush());
    int32_t changed = 0;
    int32_t rounds = 0;
    int32_t mode = 1; // a mode that has failed is not tried again
    for (bool again = true; again && !UserAbort();) {
        if (++rounds > kStraightenRounds) {
            if (g_verbose) DebugPrint("StraightenConn: Infinite loop");
            break;
        }
        StraightenSetLimits(record);
        connReduce(record);
        g_straightenLimits.path = pathScore(record);
        again = false;
        for (; mode <= 3 && !again; mode += again ? 0 : 1)
            again = straightenWindowPass(mode, entry, record) != 0;
        changed |= again;
    }
    if (CurSweep().diagonal & kSweepMitre) changed |= MitreRounds(entry, record, scratch, false);
    ScratchPop(scratch);
    return changed;
}

int32_t straightenCornerPass(int32_t entry, Conn* record) {
    auto* scratch = static_cast<Conn*>(ScratchPush());
    int32_t changed = 0;
    for (bool again = true; again && !UserAbort();) {
        again = false;
        int32_t first = 0, last = 0;
        if (!RoutedPart(record, &first, &last)) break;
        for (int32_t k = first; k + 2 <= last && !again; ++k) {
            const Crn* c = record->crn;
            if (!InExtent(c[k]) || !c[k].layer || c[k].layer != c[k + 1].layer) continue;
            if (CornerNotAcute(c[k + 1].x, c[k + 1].y, c[k].x, c[k].y, c[k + 2].x, c[k + 2].y))
                continue;
            g_straightenLimits.path = pathScore(record);
            g_straightenLimits.exit[0] = g_straightenLimits.exit[1] = kCornerPassExitLimit;
            again = straightenShortcut(entry, record, scratch, k, k + 1) ||
                    straightenShortcutBack(entry, record, scratch, k, k + 2);
        }
        changed |= again;
    }
    ScratchPop(scratch);
    return changed;
}

int32_t straightenMitrePass(int32_t entry, Conn* record) {
    if ((MzFlags & kNoStraighten) || !(CurSweep().diagonal & kSweepMitre)) return 0;
    auto* scratch = static_cast<Conn*>(ScratchPush());
    int32_t changed = MitreRounds(entry, record, scratch, true);
    int32_t first = 0, last = 0;
    if (RoutedPart(record, &first, &last)) {
        const bool atEnd = last == record->head.count - 1;
        if (first == 0) {
            StraightenSetLimits(record);
            changed |= straightenEndCut(entry, record, scratch);
        }
        if (atEnd) {
            ConnReverse(record);
            StraightenSetLimits(record);
            changed |= straightenEndCut(entry, record, scratch);
            ConnReverse(record);
        }
    }
    ScratchPop(scratch);
    return changed;
}

int32_t straightenEndCut(int32_t entry, Conn* record, Conn* scratch) {
    const int32_t n = record->head.count;
    if (n <= 3) return 0;
    const Crn* c = record->crn;
    const bool horizontal = c[0].y == c[1].y && c[0].x != c[1].x;
    const bool vertical = c[0].x == c[1].x && c[0].y != c[1].y;
    if (!c[0].layer || (!horizontal && !vertical)) return 0;
    if (horizontal ? c[3].y == c[2].y : c[3].x == c[2].x) return 0;
    const int64_t dx = int64_t(c[2].x) - c[0].x;
    const int64_t dy = int64_t(c[2].y) - c[0].y;
    if (dx == 0 || dy == 0) return 0;
    const int32_t qx = c[0].x + (dx > 0 ? kEndCutAim : -kEndCutAim);
    const int32_t qy = c[0].y + (dy > 0 ? kEndCutAim : -kEndCutAim);
    int32_t px = 0, py = 0;
    const int32_t meet =
        LineIntersect(&px, &py, c[0].x, c[0].y, qx, qy, c[2].x, c[2].y, c[3].x, c[3].y);
    if (meet == 0) return 0;
    if (meet == 2) {
        px = c[2].x;
        py = c[2].y;
    } else if (!CornerNotAcute(px, py, c[0].x, c[0].y, c[3].x, c[3].y) || !OnCrossingGrid(px, py)) {
        return 0;
    }
    const int32_t l0 = c[0].layer;
    const int32_t l2 = c[2].layer;
    int32_t layer = l0;
    int32_t viaAtP = 0;
    if (l2 && l0 != l2) {
        const int32_t pair = g_viaPair[l0][l2];
        if (!pair) return 0;
        if (LayerSuits(l0, c[0], c[3]))
            viaAtP = pair;
        else if (LayerSuits(l2, c[0], c[3]))
            layer = l2;
        else
            return 0;
    }
    const int32_t half = HalfWidth(c[0]);
    if (!GatherIsEmpty(c[0].x, c[0].y, px, py, kGatherSeg, layer, half, entry, 0)) return 0;
    if (viaAtP && !GatherIsEmpty(px, py, px, py, kGatherVia, l2, half, entry, 0)) return 0;
    ConnCopy(scratch, record);
    CrnDelete(scratch, 1, 1);
    Crn* s = scratch->crn;
    s[1].x = px;
    s[1].y = py;
    s[1].layer = uint8_t(l2);
    s[1].via = uint8_t(viaAtP);
    s[0].layer = uint8_t(layer);
    s[0].via = 0;
    return KeepShortcut(entry, record, scratch, 0, 2, true);
}
