// The clean-up steps of a routed connection that concern its ends and its
// vias: the adjustment of an end's exit from its pad (find a better exit
// point, then rebuild the first corners through it when the rule checker
// accepts them) and the pull-back of a via onto the previous via or pad
// when the segment between them costs less than the via. Every search that
// finds nothing leaves the connection unchanged; trial copies live in the
// scratch stack.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/geom.h"
#include "db/paddist.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "router/connnorm.h"
#include "router/costs.h"
#include "router/gather.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/padexit.h"
#include "router/rulesvc.h"
#include "router/urstate.h"

namespace {

enum : int32_t {
    kNoStraighten = 0x0001, // MzFlags: no straightening (no via pull-back)
    kNoExitAdjust = 0x0200, // MzFlags: no exit adjustment
    kPassFast = 0x0400,     // pass flag of a FAST pass
    kPassLast = 4,
    kAngledTrials = 32,
    kMinCorners = 4, // exit adjustment needs more than 3 corners
    kTrialCorners = 3,
    kExitClearRow = 0,  // spacing class 0 ...
    kExitClearKind = 1, // ... kind 1
    kMaxWalk = 4000,    // steps of a walk; the maze is far smaller
};

bool Pinned(const Crn& c) {
    return (c.flags & (kCrnLocked | kCrnLatched)) != 0;
}

bool InExtent(int64_t x, int64_t y) {
    const MzBox& b = g_mzGrid.extent;
    return x >= b.minX && x <= b.maxX && y >= b.minY && y <= b.maxY;
}

int32_t HalfWidth(const Crn& c) {
    return int32_t(int64_t(c.width) * DbHdr().connGrid / 2);
}

int32_t Step() {
    return ShellGridDoubling() ? g_mzGrid.h : g_mzGrid.g;
}

// Distance from the connection's own pad at its first end (the start
// point for a free node).
int32_t OwnPadDist(const Conn* rec, int32_t x, int32_t y) {
    const Crn& s = rec->crn[0];
    if (rec->head.fromComp == 0) return PtDist(s.x, s.y, x, y);
    return PtPadDist(rec->head.fromComp, rec->head.fromPin, s.layer, x, y);
}

int32_t ExitClearance(int32_t layer) {
    return LayerSpacingByKind(layer, kExitClearRow, nullptr, kExitClearKind);
}

bool Free(int32_t entry, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer,
          int32_t hw) {
    return GatherIsEmpty(x1, y1, x2, y2, kProbeSeg, layer, hw, entry, 0) != 0;
}

// The unit vector of a direction bit.
void DirVector(int32_t dir, int32_t* dx, int32_t* dy) {
    *dx = (dir & (kDirNE | kDirE | kDirSE)) ? 1 : (dir & (kDirSW | kDirW | kDirNW)) ? -1 : 0;
    *dy = (dir & (kDirNW | kDirN | kDirNE)) ? 1 : (dir & (kDirSE | kDirS | kDirSW)) ? -1 : 0;
}

int32_t RoundToward(int32_t v, int64_t sign) {
    const bool half = ShellGridDoubling();
    if (sign > 0) return half ? HalfGridRoundUp(v) : GridRoundUp(v);
    if (sign < 0) return half ? HalfGridRoundDown(v) : GridRoundDown(v);
    // A component of 0: the nearest grid point.
    const int32_t u = Step();
    const int32_t down = half ? HalfGridRoundDown(v) : GridRoundDown(v);
    return v - down >= u - (v - down) ? down + u : down;
}

// The orthogonal or diagonal exit search of findExitPoint.
int32_t StraightExit(int32_t entry, const Conn* rec, int32_t dir, int32_t* ox, int32_t* oy) {
    const Crn& s = rec->crn[0];
    const int32_t layer = s.layer, hw = HalfWidth(s), u = Step(), g = g_mzGrid.g;
    int32_t vx, vy;
    DirVector(dir, &vx, &vy);
    const bool orth = vx == 0 || vy == 0;
    const bool onGrid = ShellGridDoubling() ? (s.x % g_mzGrid.h == 0 && s.y % g_mzGrid.h == 0)
                                            : (s.x % g == 0 && s.y % g == 0);
    const int32_t clear = hw + ExitClearance(layer);
    int64_t px = s.x, py = s.y;
    for (int32_t n = 0; n < kMaxWalk; ++n) {
        px += int64_t(vx) * u;
        py += int64_t(vy) * u;
        if (!InExtent(px, py)) break;
        if (!Free(entry, int32_t(px), int32_t(py), int32_t(px), int32_t(py), layer, hw)) break;
        if (orth && onGrid) continue;
        if (OwnPadDist(rec, int32_t(px), int32_t(py)) < clear) continue;
        px += int64_t(vx) * u;
        py += int64_t(vy) * u;
        break;
    }
    px -= int64_t(vx) * u;
    py -= int64_t(vy) * u;
    double reach = std::hypot(double(px - s.x), double(py - s.y));
    if (orth) {
        // Half the distance to every pin of another net in the box from
        // the start to the point twice as far.
        const int64_t fx = s.x + 2 * (px - s.x), fy = s.y + 2 * (py - s.y);
        auto* list = static_cast<ObjList*>(ScratchPush());
        list->count = 0;
        MapBoxObjects(int32_t(std::min<int64_t>(s.x, fx)), int32_t(std::min<int64_t>(s.y, fy)),
                      int32_t(std::max<int64_t>(s.x, fx)), int32_t(std::max<int64_t>(s.y, fy)),
                      layer, 0, list);
        const int32_t net = rec->head.net;
        for (int32_t i = 0; i < list->count; ++i) {
            const int32_t e = list->entry[i];
            if (e <= 0 || ObjEntry(e)->type != kObjPad || (net > 0 && ObjEntry(e)->net == net))
                continue;
            PlacedPin p;
            CompPinXY(ObjEntry(e)->index, ObjEntry(e)->link, &p);
            reach = std::min(reach, PtDist(s.x, s.y, p.x, p.y) / 2.0);
        }
        ScratchPop(list);
        px = s.x + int64_t(vx) * int64_t(reach);
        py = s.y + int64_t(vy) * int64_t(reach);
    }
    if (reach < g / 2.0) return 0;
    px = RoundToward(int32_t(px), vx);
    py = RoundToward(int32_t(py), vy);
    if (!Free(entry, int32_t(px), int32_t(py), int32_t(px), int32_t(py), layer, hw)) {
        px -= int64_t(vx) * u;
        py -= int64_t(vy) * u;
    }
    *ox = int32_t(px);
    *oy = int32_t(py);
    return 1;
}

// The angled exit search along the pad's axis.
int32_t AngledExit(int32_t entry, const Conn* rec, int32_t* ox, int32_t* oy) {
    const Crn& s = rec->crn[0];
    const int32_t comp = rec->head.fromComp, pin = rec->head.fromPin;
    if (comp == 0) return 0;
    const int32_t layer = s.layer, hw = HalfWidth(s), u = Step();
    PlacedPin placed;
    CompPinXY(comp, pin, &placed);
    ThruLayer block;
    ThruPadGet(placed.thru, layer, &block);
    int32_t w, h;
    PadBlockSize(block, &w, &h);
    const int32_t angle = AngNormalize(int32_t(block.rotation) + CompRef(comp)->angle);
    const double rad = angle * 3.1415926535 / 10800.0;
    double vx, vy;
    if (h > w) {
        vx = -std::sin(rad) * (h / 2.0);
        vy = std::cos(rad) * (h / 2.0);
    } else {
        vx = std::cos(rad) * (w / 2.0);
        vy = std::sin(rad) * (w / 2.0);
    }
    const double dx2 = double(rec->crn[2].x) - s.x, dy2 = double(rec->crn[2].y) - s.y;
    if (vx * dx2 < 0 && vy * dy2 < 0) {
        vx = -vx;
        vy = -vy;
    }
    const int32_t ax = placed.x, ay = placed.y;
    const int32_t bx = ax + int32_t(std::lround(vx)), by = ay + int32_t(std::lround(vy));
    int32_t cx = RoundToward(s.x, vx > 0 ? 1 : vx < 0 ? -1 : 0);
    int32_t cy = RoundToward(s.y, vy > 0 ? 1 : vy < 0 ? -1 : 0);
    const int32_t sx = vx > 0 ? u : -u, sy = vy > 0 ? u : -u;
    bool alongY = std::fabs(vy) > std::fabs(vx);
    bool blocked = false, away = false;
    for (int32_t n = 0; n < kAngledTrials; ++n) {
        if (!Free(entry, ax, ay, cx, cy, layer, hw)) {
            blocked = true;
            break;
        }
        if (OwnPadDist(rec, cx, cy) >= hw) {
            away = true;
            break;
        }
        int32_t tx = cx + (alongY ? 0 : sx), ty = cy + (alongY ? sy : 0);
        alongY = !alongY;
        // The nearest point of the axis line to the stepped point.
        int32_t fx, fy;
        const int32_t px = tx - (by - ay), py = ty + (bx - ax); // a perpendicular through it
        if (bx == ax && by == ay) break;
        if (LineIntersect(&fx, &fy, ax, ay, bx, by, tx, ty, px, py) != 1) break;
        cx = fx;
        cy = fy;
    }
    if (blocked || !away || !InExtent(cx, cy)) return 0;
    *ox = cx;
    *oy = cy;
    return 1;
}

int32_t AdjustFirstEnd(int32_t entry, Conn* rec) {
    int32_t x, y;
    if (!findExitPoint(entry, rec, &x, &y)) return 0;
    return attemptAdjustExit(entry, rec, x, y);
}

// Clamps the exit point's coordinate n against the start s and corner i;
// false when the point lies behind the start.
bool Clamp(int32_t s, int32_t i, int32_t n, bool inLine, int32_t* out) {
    if (s == i) {
        *out = n;
    } else if (s > i) {
        if (n < i && inLine)
            *out = i;
        else if (n > s)
            return false;
        else
            *out = n;
    } else {
        if (n > i && inLine)
            *out = i;
        else if (n < s)
            return false;
        else
            *out = n;
    }
    return true;
}

bool StrictlyBetween(int32_t a, int32_t v, int32_t b) {
    return (a < v && v < b) || (b < v && v < a);
}

// One direction of ViaPullBack.
int32_t PullBackPass(int32_t entry, int32_t flag, Conn* rec) {
    int32_t pulled = 0;
    const int32_t count = rec->head.count;
    for (int32_t i = 0; i + 1 < count; ++i) {
        Crn &a = rec->crn[i], &b = rec->crn[i + 1];
        if ((a.flags & kCrnLocked) || (b.flags & kCrnLocked)) continue;
        if (i == 0) {
            const bool change = a.layer && b.layer && a.layer != b.layer;
            if (!flag || !change) continue;
        } else if (!a.via || !b.via) {
            continue;
        }
        const int32_t v = b.via;
        if (v == 0) ErrReport(kErrPullBackVia, i + 1);
        if (!InExtent(a.x, a.y) || !InExtent(b.x, b.y)) continue;
        const int32_t h = b.layer;
        const LayerRec* hr = LayerRecOf(h);
        if (!hr || h == 0) continue;
        const int64_t mdx = std::abs(int64_t(MzX(b.x)) - MzX(a.x));
        const int64_t mdy = std::abs(int64_t(MzY(b.y)) - MzY(a.y));
        bool cheap;
        if (a.y == b.y)
            cheap = ViaCost(v) >= mdx * hr->horz[0];
        else if (a.x == b.x)
            cheap = ViaCost(v) >= mdy * hr->vert[0];
        else
            cheap = std::abs(int64_t(b.x) - a.x) == std::abs(int64_t(b.y) - a.y);
        if (!cheap) continue;
        const bool reaches = i == 0 ? PinOnLayer(rec->head.fromComp, rec->head.fromPin, h) != 0
                                    : PadstackOnLayer(a.via, h);
        if (!reaches) continue;
        if (!Free(entry, a.x, a.y, b.x, b.y, h, HalfWidth(a))) continue;
        a.layer = uint8_t(h);
        b.via = 0;
        pulled = 1;
    }
    return pulled;
}

} // namespace

int32_t findExitPoint(int32_t entry, const Conn* rec, int32_t* x, int32_t* y) {
    const int32_t count = rec->head.count;
    if (count < kMinCorners) return 0;
    const Crn &s = rec->crn[0], &c1 = rec->crn[1];
    if (s.layer == 0 || c1.via || (Pinned(s) && Pinned(c1))) return 0;
    if (!InExtent(s.x, s.y)) return 0;
    const int32_t hw = HalfWidth(s);
    if (!Free(entry, s.x, s.y, s.x, s.y, s.layer, hw)) return 0;
    int32_t out = 0;
    const int32_t blocked = ExitBlockerDirs(s.x, s.y, s.layer, rec->head.net);
    const int32_t allowed = PadExitDirs(rec->head.fromComp, rec->head.fromPin, s.layer, &out);
    const int32_t dir = ExitTurnDir(rec, allowed, blocked);
    if (dir) return StraightExit(entry, rec, dir, x, y);
    return AngledExit(entry, rec, x, y);
}

int32_t attemptAdjustExit(int32_t entry, Conn* rec, int32_t x, int32_t y) {
    const int32_t count = rec->head.count;
    if (count < kMinCorners) ErrReport(kErrExitAdjustCorners, count);
    if (!InExtent(x, y)) ErrReport(kErrExitAdjustPoint, x);
    const Crn s = rec->crn[0];
    if (OwnPadDist(rec, x, y) < HalfWidth(s) + ExitClearance(s.layer)) return 0;
    const int32_t d0 = DirBit(rec->crn[2].x - s.x, rec->crn[2].y - s.y);
    int32_t i = 1;
    while (i < count - 1) {
        const Crn& c = rec->crn[i];
        if (c.layer != s.layer || c.via) break;
        if (StrictlyBetween(s.x, x, c.x) || StrictlyBetween(s.y, y, c.y)) break;
        if (DirBit(rec->crn[i + 1].x - s.x, rec->crn[i + 1].y - s.y) != d0) break;
        ++i;
    }
    const Crn ci = rec->crn[i];
    int32_t hx, hy;
    if (!Clamp(s.x, ci.x, x, y == s.y, &hx)) return 0;
    if (!Clamp(s.y, ci.y, y, hx == s.x, &hy)) return 0;
    auto* trial = static_cast<Conn*>(ScratchPush());
    ConnCopy(trial, rec);
    if (i > 1) CrnDelete(trial, 1, i - 1);
    CrnInsert(trial, 0, 2);
    Crn& e1 = trial->crn[1];
    Crn& e2 = trial->crn[2];
    e1.x = hx;
    e1.y = hy;
    e1.via = 0;
    e1.flags = 0;
    e2 = e1;
    if (hx == s.x || hy == s.y) {
        if (hy == s.y) {
            e2.x = hx;
            e2.y = ci.y;
        } else {
            e2.x = ci.x;
            e2.y = hy;
        }
    } else if (std::abs(int64_t(ci.y) - hy) < std::abs(int64_t(ci.x) - hx)) {
        e2.x = hx;
        e2.y = ci.y;
    } else {
        e2.x = ci.x;
        e2.y = hy;
    }
    int32_t result = 0;
    if (DrcCheckConn(entry, trial, 0, kTrialCorners)) {
        if (g_verbose) DebugPrint("attemptAdjustExit PASSED");
        connReduce(trial);
        ConnCopy(rec, trial);
        result = 1;
    }
    ScratchPop(trial);
    return result;
}

int32_t adjustExits(int32_t entry, Conn* rec) {
    if (MzFlags & kNoExitAdjust) return 0;
    const MzGoal* g = Goal();
    const int32_t pass = g ? std::clamp<int32_t>(g->pass, 0, kPassLast) : 0;
    if (CurSweep().passFlags[pass] & kPassFast) return 0;
    const int32_t count = rec->head.count;
    if (count < kMinCorners) return 0;
    int32_t changed = 0;
    if (!Pinned(rec->crn[0]) && !Pinned(rec->crn[1])) changed |= AdjustFirstEnd(entry, rec);
    const int32_t last = rec->head.count - 1;
    if (last >= 1 && !Pinned(rec->crn[last]) && !Pinned(rec->crn[last - 1])) {
        ConnReverse(rec);
        if (rec->head.count >= kMinCorners) changed |= AdjustFirstEnd(entry, rec);
        ConnReverse(rec);
    }
    return changed;
}

int32_t ViaPullBack(int32_t entry, int32_t flag, Conn* rec) {
    if (MzFlags & kNoStraighten) return 0;
    int32_t pulled = PullBackPass(entry, flag, rec);
    ConnReverse(rec);
    pulled |= PullBackPass(entry, flag, rec);
    ConnReverse(rec);
    return pulled;
}
