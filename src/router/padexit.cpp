// The exits of pads: the directions a pad's shape allows, the directions of
// its nearest in-line neighbours, the directions of nearby objects of other
// nets, and the direction in which a route should leave toward its course.
// The object probes read the object map's cells only; nothing is allocated.
#include <algorithm>

#include "db/comps.h"
#include "db/dbheader.h"
#include "db/geom.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/padexit.h"
#include "router/urstate.h"

namespace {

enum : int32_t {
    kPadFlagAnyExit = 0x1,  // layer block flag: leave in any direction
    kPadFlagAxisExit = 0x2, // layer block flag: leave along the long axis only
    kPendingTurn45 = 2700,  // a pending turn of 45 degrees
    kQuarterTurn = 5400,
    kSmallPartPins = 7, // parts of at most this many pins leave orthogonally
    kDiagonalsOn = 0x1, // bit of the sweep's diagonal mode
    kProbeDirs = 4,
    kMaxCandidates = 4,
};

// Neighbour direction in the symbol's frame -> direction bit, by quarter
// turns of the component.
constexpr int32_t kAbove[4] = {kDirN, kDirW, kDirS, kDirE};
constexpr int32_t kLeft[4] = {kDirW, kDirS, kDirE, kDirN};
constexpr int32_t kBelow[4] = {kDirS, kDirE, kDirN, kDirW};
constexpr int32_t kRight[4] = {kDirE, kDirN, kDirW, kDirS};

int32_t ProbeReach() {
    return kExitProbeUserUnits * DbHdr().userUnit;
}

} // namespace

void PadBlockSize(const ThruLayer& block, int32_t* width, int32_t* height) {
    *width = *height = 0;
    for (int32_t j = 0; j < std::min<int32_t>(block.shapeCount, kThruShapes); ++j) {
        *width = std::max(*width, block.shape[j].ext[0] + block.shape[j].ext[2]);
        *height = std::max(*height, block.shape[j].ext[1] + block.shape[j].ext[3]);
    }
}

void PlacedPadBox(const PlacedPad& pad, int32_t* minX, int32_t* minY, int32_t* maxX,
                  int32_t* maxY) {
    *minX = pad.shape[0].minX, *minY = pad.shape[0].minY;
    *maxX = pad.shape[0].maxX, *maxY = pad.shape[0].maxY;
    for (int32_t j = 1; j < pad.count; ++j) {
        *minX = std::min(*minX, pad.shape[j].minX);
        *minY = std::min(*minY, pad.shape[j].minY);
        *maxX = std::max(*maxX, pad.shape[j].maxX);
        *maxY = std::max(*maxY, pad.shape[j].maxY);
    }
}

int32_t PadExitDirs(int32_t comp, int32_t pin, int32_t layer, int32_t* out) {
    if (out) *out = 0;
    if (comp == 0 || layer == 0) return kDirsAny;
    PlacedPin placed;
    PlacedPad pad;
    CompPinPadGet(comp, pin, layer, &placed, &pad);
    if (pad.count == 0 || pad.shape[0].code == kPadUndef) return kDirsNone;
    if (pad.flags & kPadFlagAnyExit) return kDirsAny;
    if (pad.angle != 0) {
        if (pad.angle != kPendingTurn45) return kDirsNone;
        ThruLayer block;
        ThruPadGet(placed.thru, layer, &block);
        int32_t w, h;
        PadBlockSize(block, &w, &h);
        return w == h ? kDirsAny : w > h ? kDirsNESW : kDirsSENW;
    }
    int32_t minX, minY, maxX, maxY;
    PlacedPadBox(pad, &minX, &minY, &maxX, &maxY);
    const int64_t w = int64_t(maxX) - minX, h = int64_t(maxY) - minY;
    if (w == h) return kDirsAny;
    if (pad.flags & kPadFlagAxisExit) return h > w ? kDirsNS : kDirsEW;
    if (SymPinCount(CompRef(comp)->symbol) <= kSmallPartPins) return kDirsOrtho;
    if (out) *out = 1;
    return h > w ? kDirsNS : kDirsEW;
}

int32_t PadNeighbourDirs(int32_t comp, int32_t pin) {
    const Component* c = CompRef(comp);
    if (c->angle % kQuarterTurn != 0 || c->angle < 0 || c->angle >= 4 * kQuarterTurn)
        return kDirsAny;
    const int32_t q = c->angle / kQuarterTurn;
    const int32_t count = SymPinCount(c->symbol);
    SymbolPin me;
    SymPinGet(c->symbol, pin, &me);
    int64_t best = -1;
    int32_t mask = 0;
    for (int32_t p = 1; p <= count; ++p) {
        if (p == pin) continue;
        SymbolPin o;
        SymPinGet(c->symbol, p, &o);
        const int64_t dx = int64_t(o.x) - me.x, dy = int64_t(o.y) - me.y;
        if ((dx != 0) == (dy != 0)) continue; // not in line, or on the pin itself
        const int64_t d = dx != 0 ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
        const int32_t bit = dy > 0 ? kAbove[q] : dy < 0 ? kBelow[q] : dx < 0 ? kLeft[q] : kRight[q];
        if (best < 0 || d < best) {
            best = d;
            mask = bit;
        } else if (d == best) {
            mask |= bit;
        }
    }
    if (mask == kDirsOrtho) return 0;
    if (mask & ~kDirsOrtho) ErrReport(kErrNeighbourDiagonal, mask);
    return mask;
}

int32_t ExitBlockerDirs(int32_t x, int32_t y, int32_t layer, int32_t net) {
    static constexpr int32_t kBits[kProbeDirs] = {kDirN, kDirE, kDirS, kDirW};
    static constexpr int32_t kDx[kProbeDirs] = {0, 1, 0, -1};
    static constexpr int32_t kDy[kProbeDirs] = {1, 0, -1, 0};
    const int32_t reach = ProbeReach(), g = g_mzGrid.g;
    const int32_t steps = g > 0 ? reach / g : 0;
    int64_t dist[kProbeDirs];
    int32_t bit[kProbeDirs];
    ObjList list;
    for (int32_t d = 0; d < kProbeDirs; ++d) {
        bit[d] = kBits[d];
        dist[d] = int64_t(reach) + 1;
        bool hit = false;
        for (int32_t s = 1; s <= steps && !hit; ++s) {
            const int32_t px = x + kDx[d] * s * g, py = y + kDy[d] * s * g;
            MapCellObjects(px, py, layer, &list);
            for (int32_t i = 0; i < list.count; ++i) {
                const int32_t e = list.entry[i];
                if (e < 0) {
                    if (-e == net) break;
                    continue;
                }
                const MapObj& o = *ObjEntry(e);
                if (o.net == net && net != 0) break;
                if (o.type == kObjObstacle) {
                    dist[d] = int64_t(s) * g;
                    hit = true;
                    break;
                }
                if (o.type == kObjPad) {
                    PlacedPin p;
                    CompPinXY(o.index, o.link, &p);
                    dist[d] = PtDist(x, y, p.x, p.y);
                    hit = true;
                    break;
                }
            }
        }
    }
    // Stable bubble sort by distance.
    for (int32_t i = 0; i < kProbeDirs - 1; ++i)
        for (int32_t j = 0; j < kProbeDirs - 1 - i; ++j)
            if (dist[j] > dist[j + 1]) {
                std::swap(dist[j], dist[j + 1]);
                std::swap(bit[j], bit[j + 1]);
            }
    if (dist[0] > reach) return 0;
    int32_t n = 2;
    while (n < kProbeDirs && dist[n] == dist[1])
        ++n;
    if (n > kMaxCandidates) ErrReport(kErrExitCandidates, n);
    int32_t mask = 0;
    for (int32_t i = 0; i < n; ++i)
        if (dist[i] < reach) mask |= bit[i];
    return mask;
}

int32_t ExitTurnDir(const Conn* rec, int32_t a, int32_t b) {
    const int32_t count = rec->head.count;
    if (count < 2) return 0;
    const Crn& s = rec->crn[0];
    const int32_t reach = ProbeReach();
    int32_t k = count - 1;
    for (int32_t i = 1; i < count; ++i)
        if (PtDist(s.x, s.y, rec->crn[i].x, rec->crn[i].y) > reach || rec->crn[i].via) {
            k = i;
            break;
        }
    const int64_t dx = int64_t(rec->crn[k].x) - s.x, dy = int64_t(rec->crn[k].y) - s.y;
    const int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    auto avail = [&](int32_t bit) { return (a & bit) && !(b & bit); };
    auto allowed = [&](int32_t bit) { return (a & bit) != 0; };
    // Rules 1 and 3 with a test of availability.
    auto straight = [&](auto ok) -> int32_t {
        if (ay > ax && dy > 0 && ok(kDirN)) return kDirN;
        if (ay > ax && dy < 0 && ok(kDirS)) return kDirS;
        if (ax > ay && dx > 0 && ok(kDirE)) return kDirE;
        if (ax > ay && dx < 0 && ok(kDirW)) return kDirW;
        return 0;
    };
    auto loose = [&](auto ok) -> int32_t {
        if (dy > 0 && ok(kDirN)) return kDirN;
        if (dy < 0 && ok(kDirS)) return kDirS;
        if (dx > 0 && ok(kDirE)) return kDirE;
        if (dx < 0 && ok(kDirW)) return kDirW;
        return 0;
    };
    if (int32_t d = straight(avail)) return d;
    if (CurSweep().diagonal & kDiagonalsOn) {
        if (dx >= 0 && dy >= 0 && allowed(kDirNE)) return kDirNE;
        if (dx <= 0 && dy >= 0 && allowed(kDirNW)) return kDirNW;
        if (dx >= 0 && dy <= 0 && allowed(kDirSE)) return kDirSE;
        if (dx <= 0 && dy <= 0 && allowed(kDirSW)) return kDirSW;
    }
    if (int32_t d = loose(avail)) return d;
    if (int32_t d = straight(allowed)) return d;
    if (int32_t d = loose(allowed)) return d;
    return 0;
}
