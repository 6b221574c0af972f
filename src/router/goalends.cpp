// The goal ends walk from the gap's corners outward over routed pieces that
// join the gap (partial mode) and unrouted segments, stopping at pinned
// corners and at the maze box (12 cells inside the maze on every side). An
// end outside the box is clipped to it; a source end whose clip fails
// refuses the gap, a target end's failed clip is fatal.
#include "router/goalends.h"

#include <algorithm>
#include <cstdlib>

#include "db/comps.h"
#include "db/conns.h"
#include "db/layers.h"
#include "db/shellsvc.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "router/costs.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/urstate.h"

namespace {

enum : int32_t {
    kSectorLeftColumn = 1,
    kSectorRightColumn = 3,
    kSectorMiddleColumn = 2,
    kSectorBottomAdd = 6,
    kSectorMiddleAdd = 3,
    kSectorRowStep = 3,
    kWindowUp = 1,
    kWindowDown = 2,
    kWindowLeft = 4,
    kWindowRight = 8,
    kWindowDirBits = 0x0F,
    kSlackVias = 3, // vias the slack allows for
    kPassLast = 4,
};

bool Pinned(const Crn& c) {
    return (c.flags & (kCrnLocked | kCrnLatched)) != 0;
}

bool Enabled(int32_t layer) {
    const LayerRec* r = layer > 0 ? LayerRecOf(layer) : nullptr;
    return r && r->enabled != 0;
}

bool OnGrid(const Crn& c) {
    const int32_t g = g_mzGrid.g;
    return c.x % g == 0 && c.y % g == 0;
}
bool OnHalfGrid(const Crn& c) {
    const int32_t h = g_mzGrid.h;
    return c.x % h == 0 && c.y % h == 0;
}

bool InBox(int32_t mx, int32_t my) {
    const MzBox b = MzClipBox();
    return mx >= b.minX && mx <= b.maxX && my >= b.minY && my <= b.maxY;
}
bool OnBoxEdge(int32_t mx, int32_t my) {
    const MzBox b = MzClipBox();
    return mx == b.minX || mx == b.maxX || my == b.minY || my == b.maxY;
}

// Segment a..b routed, leaving the partial gap search at corner c: the
// tests both walks of mzGapWindow share. 1 skip, 0 stop.
bool GapSkips(const Crn& a, const Crn& b, const Crn& c) {
    if (!MzClipSeg(a.x, a.y, b.x, b.y, a.layer)) return true;
    const bool routed = a.layer != 0;
    if (!routed) return false;
    if (Pinned(a) && Pinned(b)) return true;
    if (!OnGrid(c) && !ShellGridDoubling()) return true;
    return !OnHalfGrid(c);
}

struct End {
    int32_t k;
    bool edge = false;
    int32_t edgeX = 0, edgeY = 0; // the maze point of the corner on the box edge
};

// The walk of the source end (step -1) or the target end (step +1) from
// corner k.
End Walk(const Conn* rec, int32_t k, int32_t step) {
    const int32_t count = rec->head.count;
    const bool partial = Goal()->partialMode != 0;
    End e{k};
    while (step < 0 ? e.k > 0 : e.k < count - 1) {
        const Crn& c = rec->crn[e.k];
        const int32_t mx = MzX(c.x), my = MzY(c.y);
        if (Pinned(c) || !InBox(mx, my)) break;
        const Crn& first = rec->crn[step < 0 ? e.k - 1 : e.k];
        if (first.layer != 0) {
            if (!partial) break;
            if (!OnGrid(c) && !ShellGridDoubling()) break;
            if (!OnHalfGrid(c)) break;
            e.k += step;
            continue;
        }
        if (OnBoxEdge(mx, my)) {
            e.edge = true;
            e.edgeX = mx;
            e.edgeY = my;
            e.k += step;
            break;
        }
        e.k += step;
    }
    return e;
}

// An edge end: layer 0, the sector and the cell of the corner on the box
// edge. False for any other end.
bool EdgeEnd(const End& e, int16_t* layer, int16_t* sector, int32_t* mx, int32_t* my) {
    if (!e.edge) return false;
    *layer = 0;
    *sector = int16_t(mzEdgeSector(e.edgeX, e.edgeY));
    *mx = e.edgeX;
    *my = e.edgeY;
    return true;
}

int32_t Bounded(int32_t v, int32_t hi) {
    return std::clamp(v, 0, hi);
}

} // namespace

int32_t mzEdgeSector(int32_t x, int32_t y) {
    const int32_t nx2 = 2 * g_mzGrid.nx, ny2 = 2 * g_mzGrid.ny;
    const int32_t col = x <= kMazeBorder         ? kSectorLeftColumn
                        : x >= nx2 - kMazeBorder ? kSectorRightColumn
                                                 : kSectorMiddleColumn;
    const bool bottom = y <= kMazeBorder, top = !bottom && y >= ny2 - kMazeBorder;
    int32_t sector = col + (bottom ? kSectorBottomAdd : top ? 0 : kSectorMiddleAdd);
    const bool corner = (top || bottom) && col != kSectorMiddleColumn;
    switch (CurSweep().curPrimary & kWindowDirBits) {
    case kWindowDown:
        if (top && corner) sector += kSectorRowStep;
        break;
    case kWindowUp:
        if (bottom && corner) sector -= kSectorRowStep;
        break;
    case kWindowLeft:
        if (col == kSectorRightColumn && (top || bottom)) sector -= 1;
        break;
    case kWindowRight:
        if (col == kSectorLeftColumn && (top || bottom)) sector += 1;
        break;
    default:
        break;
    }
    return sector;
}

void mzGapWindow(const Conn* rec) {
    const int32_t count = rec->head.count;
    int32_t i = 0;
    while (i < count - 1 && GapSkips(rec->crn[i], rec->crn[i + 1], rec->crn[i]))
        ++i;
    int32_t j = count - 1;
    while (j > i && GapSkips(rec->crn[j - 1], rec->crn[j], rec->crn[j]))
        --j;
    Goal()->crn1Index = int16_t(i);
    Goal()->crn2Index = int16_t(j);
}

int32_t mzPinLayer(int32_t comp, int32_t pin) {
    if (comp == 0) return -pin;
    const Component* c = CompRef(comp);
    if (pin < 1 || pin > SymPinCount(c->symbol)) return 0;
    const int32_t thru = SymPinThru(c->symbol, pin);
    int32_t found = 0;
    for (int32_t l = 1; l <= LayerCount(); ++l) {
        if (!Enabled(l) || !PadstackOnLayer(thru, l)) continue;
        if (found) return 0;
        found = l;
    }
    return found;
}

int32_t mzGoalEnds(const Conn* rec) {
    MzGoal& g = *Goal();
    const int32_t count = rec->head.count;
    if (g.partialMode) {
        mzGapWindow(rec);
        if (g.crn1Index >= g.crn2Index) return 0;
    }
    if (g.crn1Index < 0) ErrReport(kErrGoalFirst, g.crn1Index);
    if (g.crn2Index < g.crn1Index + 1 || g.crn2Index > count - 1)
        ErrReport(kErrGoalLast, g.crn2Index);
    g.goalWidth = int16_t(rec->crn[g.crn1Index].width);
    g.totalCost = 0;
    g.crnCount = int16_t(count);
    const int32_t w = g_mzGrid.w, r = g_mzGrid.r;

    // The source end.
    const End s = Walk(rec, g.crn1Index, -1);
    int32_t k = s.k;
    const Crn& sc = rec->crn[k];
    g.crn1Index = int16_t(k);
    g.srcX = sc.x;
    g.srcY = sc.y;
    int32_t mx = MzX(sc.x), my = MzY(sc.y);
    if (EdgeEnd(s, &g.srcLayer, &g.srcSector, &mx, &my)) {
    } else if (!InBox(mx, my)) {
        g.srcSector = int16_t(mzEdgeSector(mx, my));
        g.srcLayer = int16_t(Enabled(sc.layer) ? sc.layer : 0);
        const Crn& n = rec->crn[k + 1];
        int32_t x0 = mx, y0 = my, x1 = MzX(n.x), y1 = MzY(n.y);
        if (!MzClipLine(&x0, &y0, &x1, &y1, MzClipBox())) return 0;
        if (g.srcLayer != 0) {
            mx = x0;
            my = y0;
        } else {
            mx = Bounded(mx, w);
            my = Bounded(my, r);
        }
    } else {
        g.srcSector = 0;
        if (k > 0) {
            const int32_t l = rec->crn[k - 1].layer;
            g.srcLayer = int16_t(Enabled(l) ? l : 0);
        } else {
            g.srcLayer = int16_t(mzPinLayer(rec->head.fromComp, rec->head.fromPin));
        }
    }
    g.srcMzX = int16_t(mx);
    g.srcMzY = int16_t(my);

    // The target end.
    const End t = Walk(rec, g.crn2Index, +1);
    k = t.k;
    const Crn& tc = rec->crn[k];
    g.crn2Index = int16_t(k);
    g.dstX = tc.x;
    g.dstY = tc.y;
    mx = MzX(tc.x);
    my = MzY(tc.y);
    if (EdgeEnd(t, &g.dstLayer, &g.dstSector, &mx, &my)) {
    } else if (!InBox(mx, my)) {
        g.dstSector = int16_t(mzEdgeSector(mx, my));
        const int32_t l = k > 0 ? rec->crn[k - 1].layer : 0;
        g.dstLayer = int16_t(Enabled(l) ? l : 0);
        if (g.dstLayer == 0) {
            mx = Bounded(mx, w);
            my = Bounded(my, r);
        } else {
            const Crn& p = rec->crn[k - 1];
            int32_t x0 = mx, y0 = my, x1 = MzX(p.x), y1 = MzY(p.y);
            if (!MzClipLine(&x0, &y0, &x1, &y1, MzClipBox())) ErrFatal(kErrGoalTargetClip);
            mx = x0;
            my = y0;
        }
    } else {
        g.dstSector = 0;
        g.dstLayer = int16_t(k < count - 1 ? rec->crn[k].layer
                                           : mzPinLayer(rec->head.toComp, rec->head.toPin));
    }
    g.dstMzX = int16_t(mx);
    g.dstMzY = int16_t(my);
    return 1;
}

void mzGoalBound() {
    MzGoal& g = *Goal();
    const int64_t dx = std::abs(int32_t(g.srcMzX) - g.dstMzX);
    const int64_t dy = std::abs(int32_t(g.srcMzY) - g.dstMzY);
    const LayerRec* base = LayerRecOf(0);
    const int64_t h = base ? base->horz[0] : 0, v = base ? base->vert[0] : 0;
    const int64_t via0 = ViaCost(0);
    const int64_t cost = dx * h + dy * v;
    const int64_t slack = dx * (v / 2) + dy * (h / 2) + kSlackVias * via0;
    const int32_t m = CurSweep().limit[std::clamp<int32_t>(g.pass, 0, kPassLast)];
    int64_t bound;
    if (m >= kLimitFull)
        bound = kBoundUnlimited;
    else if (m <= kLimitLinear)
        bound = cost + m * slack / kLimitLinear;
    else
        bound = cost + slack * kLimitLinear / (kLimitFull - m);
    bound = std::min<int64_t>(bound, kBoundUnlimited);
    if (g.state != 0) bound /= 2;
    g.costLimit = int32_t(bound);
}
