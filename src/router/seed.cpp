// Seeding the ends of a gap into the maze and the exit list. The exit
// nodes live in a pool of their own that every seeding resets; the seeds
// go through mzSeedCell, which queues (first end, or both ends when asked)
// or only marks (the second end's target area).
#include "router/seed.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "router/costs.h"
#include "router/layertab.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objtable.h"
#include "router/padexit.h"
#include "router/prep.h"
#include "router/rulesvc.h"
#include "router/urstate.h"
#include "router/viamap.h"
#include "router/wave.h"

namespace {

enum : int32_t {
    kLayerNoExit = 0x0008, // layer flag: pads are not left on this layer
    kObjVisited = 0x08,    // entry flag of the shared-pad walk
    kCrnFixed = kCrnLocked | kCrnLatched,
    kViaKeepOff = 0x60, // via-map bits that keep a via seed off a point
    kTrialCorners = 4,
};
constexpr double kPi = 3.1415926535;
constexpr double kMinutesPerPi = 10800;

struct ExitList {
    int32_t pool = 0;
    ExitNode* head = nullptr;
    ExitNode* tail = nullptr;
    int32_t count = 0;
};
ExitList s_exits;

int32_t LayerCount() {
    return std::clamp<int32_t>(DbHdr().layerCount, 0, kMaxLayers);
}

bool Allowed(int32_t layer) {
    return layer >= 1 && layer <= LayerCount() && g_maze.mazeIndex[layer] &&
           Goal()->layerAllowed[layer];
}

bool Inside(int32_t x, int32_t y) {
    return x >= kSeedInset && x <= 2 * g_mzGrid.nx - kSeedInset && y >= kSeedInset &&
           y <= 2 * g_mzGrid.ny - kSeedInset;
}

int32_t MazeCellOf(int32_t v, int32_t origin) {
    const int32_t g = g_mzGrid.g;
    return (v + g / 4 - origin) / (g / 2);
}
int32_t GridCellOf(int32_t v, int32_t origin) {
    const int32_t g = g_mzGrid.g;
    return ((v + g / 2 - origin) / g) * 2;
}

const Conn* Image(int32_t conn) {
    return static_cast<const Conn*>(AltRef(kRecConn, conn));
}

// A via seed on every other layer the via map and the pair table allow.
void SeedVias(int32_t x, int32_t y, int32_t layer, int32_t side, int32_t cost, int32_t limitVias) {
    const int32_t m = g_maze.mazeIndex[layer];
    for (int32_t i = 1; i <= LayerCount(); ++i) {
        if (i == layer || !Allowed(i)) continue;
        int32_t t = g_viaPair[layer][i];
        if (!t || (ViaMapGet(x, y, t) & kViaKeepOff)) continue;
        if (MazeGet(x, y, i) & kCellLow6) continue;
        waveAddSeed(x, y, i, side | m, cost + ViaCost(t), limitVias);
    }
}

void SeedPadCell(int32_t comp, int32_t pin, int32_t x, int32_t y, int32_t layer, int32_t side,
                 int32_t kind) {
    if (MazeGet(x, y, layer) & kCellLow6) return;
    mzSeedCell(x, y, layer, side | kDirSeed, 0, 1);
    exitListAdd(comp, pin, 0, 0, x, y, layer, kind, side);
}

// True when no segment of the connection is a gap.
bool FullyRouted(const Conn* c) {
    for (int32_t i = 0; i + 1 < c->head.count; ++i)
        if (!c->crn[i].layer) return false;
    return true;
}

} // namespace

const ExitNode* ExitListHead() {
    return s_exits.head;
}
int32_t ExitListCount() {
    return s_exits.count;
}

void ExitListReset() {
    if (s_exits.pool) PoolReset(s_exits.pool);
    s_exits.head = s_exits.tail = nullptr;
    s_exits.count = 0;
}

void exitListAdd(int32_t comp, int32_t pin, int32_t conn, int32_t corner, int32_t x, int32_t y,
                 int32_t layer, int32_t kind, int32_t side) {
    if (!s_exits.pool) {
        // The preparation of every later gap empties the list through this.
        s_exits.pool = PoolOpen(kOwnerExitPool);
        PrepSetExitListReset(&ExitListReset);
    }
    auto* n =
        static_cast<ExitNode*>(PoolAlloc(int32_t(sizeof(ExitNode)), s_exits.pool, kOwnerExitPool));
    *n = ExitNode{nullptr,    int16_t(comp), int16_t(pin),   int16_t(conn),         int16_t(corner),
                  int16_t(x), int16_t(y),    int16_t(layer), uint8_t(side ? 1 : 0), kind};
    if (s_exits.tail)
        s_exits.tail->next = n;
    else
        s_exits.head = n;
    s_exits.tail = n;
    ++s_exits.count;
}

void SeedTestReset() {
    s_exits = ExitList{};
}

int32_t mzSeedCell(int32_t x, int32_t y, int32_t layer, int32_t dir, int32_t cost,
                   int32_t limitVias) {
    if (layer < 1 || layer > kMaxLayers || !g_maze.mazeIndex[layer])
        ErrReport(kErrSeedLayer, layer);
    cost = std::min<int32_t>(cost, kWaveCostMax);
    const MzGoal& g = *Goal();
    const int32_t side = dir & kDirSide;
    const bool queue = g.queueBothEnds || side;
    int32_t cell = MazeGet(x, y, layer);
    if (queue) {
        if (!waveAddSeed(x, y, layer, dir, cost, limitVias)) return (cell & kCellLow6) == dir;
    } else if (cell & kCellLow6) {
        return 0;
    }
    if ((cell & kCellMarks) == kCellMark2) return 0;
    MazeSet(x, y, layer, (cell & kCellMarks) | dir);
    const struct {
        int32_t dx, dy, code, kind;
    } near[] = {{1, 0, kMoveToXPlus, kMoveXPlus},
                {-1, 0, kMoveToXMinus, kMoveXMinus},
                {0, 1, kMoveToYPlus, kMoveYPlus},
                {0, -1, kMoveToYMinus, kMoveYMinus}};
    for (const auto& k : near) {
        int32_t nx = x + k.dx, ny = y + k.dy;
        if (queue) {
            waveAddSeed(nx, ny, layer, side | k.code, cost + MazeCellCost(nx, ny, layer, k.kind),
                        limitVias);
        } else {
            int32_t c = MazeGet(nx, ny, layer);
            if ((c & kCellLow6) == 0 && (c & kCellMarks) != kCellMark2)
                MazeSet(nx, ny, layer, (c & kCellMarks) | side | k.code);
        }
    }
    if (queue && g.viasAllowed) SeedVias(x, y, layer, side, cost, limitVias);
    return 1;
}

int32_t padExit(int32_t comp, int32_t pin, int32_t side, int32_t x, int32_t y) {
    if (comp == 0) {
        WarnPrint("padExit: node point [%ld,%ld]", long(x), long(y));
        return 0;
    }
    PlacedPin at;
    CompPinXY(comp, pin, &at);
    const MzGridState& m = g_mzGrid;
    const int32_t mx = MazeCellOf(at.x, m.ox), my = MazeCellOf(at.y, m.oy);
    if (!Inside(mx, my)) return 0;
    const bool onHalfGrid = (at.x - m.ox) % m.h == 0 && (at.y - m.oy) % m.h == 0;
    for (int32_t l = 1; l <= LayerCount(); ++l) {
        const LayerRec* rec = LayerRecOf(l);
        if (!Allowed(l) || !rec || (rec->flags & kLayerNoExit)) continue;
        PlacedPin placed;
        PlacedPad pad;
        CompPinPadGet(comp, pin, l, &placed, &pad);
        if (pad.count == 0) continue;
        const int32_t code = pad.shape[0].code;
        if (pad.count == 1 && pad.angle != 0 && code != kPadUndef && code != kPadRound &&
            code != kPadThermal && code != kPadAnnular) {
            padOffSeedShape(comp, pin, placed.thru, at.x, at.y, pad.angle, l, side);
            continue;
        }
        if (onHalfGrid) {
            exitListAdd(comp, pin, 0, 0, mx, my, l, kExitPadCentre, side);
            mzSeedCell(mx, my, l, side | kDirSeed, 0, 1);
            continue;
        }
        const int32_t dirs = PadExitDirs(comp, pin, l, nullptr);
        const struct {
            int32_t bit, move;
        } walks[] = {{kDirE, kMoveToXPlus},
                     {kDirW, kMoveToXMinus},
                     {kDirN, kMoveToYPlus},
                     {kDirS, kMoveToYMinus}};
        for (const auto& w : walks)
            if (dirs & w.bit) padOffSeed(comp, pin, at.x, at.y, l, side | w.move);
    }
    return 1;
}

void padOffSeed(int32_t comp, int32_t pin, int32_t x, int32_t y, int32_t layer, int32_t dir) {
    const MzGoal& g = *Goal();
    const MzGridState& m = g_mzGrid;
    const int32_t side = dir & kDirSide;
    auto* trial = static_cast<Conn*>(ScratchPush());
    ConnGet(g.conn, trial);
    if (!side) {
        trial->head.count = 0;
        ConnReverse(trial);
    }
    Crn c0{};
    c0.x = x;
    c0.y = y;
    c0.width = 1;
    c0.layer = uint8_t(layer);
    trial->crn[0] = c0;
    trial->crn[1] = c0;
    trial->crn[2] = c0;
    trial->crn[2].layer = 0;
    trial->crn[3] = c0;
    trial->crn[3].layer = 0;
    trial->crn[3].x = side ? g.dstX : g.srcX;
    trial->crn[3].y = side ? g.dstY : g.srcY;
    trial->head.count = kTrialCorners;

    const int32_t move = dir & ~kDirSide;
    const bool alongY = move == kMoveToYMinus || move == kMoveToYPlus;
    const int32_t sx = move == kMoveToXPlus ? 1 : move == kMoveToXMinus ? -1 : 0;
    const int32_t sy = move == kMoveToYPlus ? 1 : move == kMoveToYMinus ? -1 : 0;
    const int32_t ax = alongY ? 1 : 0, ay = alongY ? 0 : 1;
    const int32_t kind = alongY ? kExitPadY : kExitPadX;
    int32_t cx = GridCellOf(x, m.ox), cy = GridCellOf(y, m.oy);
    auto outside = [&](int32_t px, int32_t py) {
        return px < 0 || px >= m.w || py < 0 || py >= m.r;
    };
    // Seeds the cell when it is free and the lead to it keeps its clearances.
    auto tryCell = [&](int32_t px, int32_t py) {
        trial->crn[2].x = MzWorldX(px);
        trial->crn[2].y = MzWorldY(py);
        if (MazeGet(px, py, layer) & kCellLow6) return false;
        if (!DrcCheckConn(g.objIndex, trial, 0, 2)) return false;
        SeedPadCell(comp, pin, px, py, layer, side, kind);
        return true;
    };
    for (bool placed = false; !placed;) {
        cx += sx;
        cy += sy;
        if (outside(cx, cy)) {
            if (g_verbose) DebugPrint("*padOffSeed out of range: xG = %d, yG = %d", cx, cy);
            break;
        }
        if (alongY) {
            trial->crn[1].y = trial->crn[2].y = MzWorldY(cy);
        } else {
            trial->crn[1].x = trial->crn[2].x = MzWorldX(cx);
        }
        if (!DrcCheckConn(g.objIndex, trial, 0, 1)) break;
        placed = tryCell(cx, cy);
        if (outside(cx + ax, cy + ay)) {
            if (g_verbose) DebugPrint("*padOffSeed out of range: xG = %d, yG = %d", cx, cy);
            break;
        }
        placed = tryCell(cx + ax, cy + ay) || placed;
    }
    ScratchPop(trial);
}

void padOffSeedShape(int32_t comp, int32_t pin, int32_t thru, int32_t x, int32_t y, int32_t angle,
                     int32_t layer, int32_t side) {
    ThruLayer block;
    ThruPadGet(thru, layer, &block);
    const PadShape& s = block.shape[0];
    const int32_t x1 = x - s.ext[0], x2 = x + s.ext[2];
    const int32_t y1 = y - s.ext[1], y2 = y + s.ext[3];
    const int32_t cx = (x1 + x2) >> 1, cy = (y1 + y2) >> 1;
    const int32_t hx = x2 - cx, hy = y2 - cy;
    const double t = angle * kPi / kMinutesPerPi;
    int32_t dx, dy;
    if (hx >= hy) {
        dx = int32_t(std::cos(t) * (hx - hy));
        dy = int32_t(std::sin(t) * (hx - hy));
    } else {
        dx = int32_t(-std::sin(t) * (hy - hx));
        dy = int32_t(std::cos(t) * (hy - hx));
    }
    const MzGridState& m = g_mzGrid;
    for (int32_t k : {1, -1}) {
        int32_t mx = GridCellOf(cx + k * dx, m.ox), my = GridCellOf(cy + k * dy, m.oy);
        if (Inside(mx, my)) SeedPadCell(comp, pin, mx, my, layer, side, kExitPadPoint);
    }
}

void rouExit(int32_t x, int32_t y, int32_t layer, int32_t viaType, int32_t comp, int32_t pin,
             int32_t corner, int32_t side) {
    const MzGoal& g = *Goal();
    const int32_t mx = MzX(x), my = MzY(y), dir = side | kDirSeed;
    if (viaType) {
        for (int32_t l = 1; l <= LayerCount(); ++l) {
            if (!Allowed(l) || ViaPadSize(viaType, l) <= 0) continue;
            exitListAdd(comp, pin, g.conn, corner, mx, my, l, kExitRouteEnd, side);
            if (!mzSeedCell(mx, my, l, dir, 0, 1) && g_verbose)
                DebugPrint("rouExit: can't seed via cell on L%d", l);
        }
    } else if (layer > 0) {
        if (Allowed(layer)) {
            exitListAdd(comp, pin, g.conn, corner, mx, my, layer, kExitRouteEnd, side);
            if (!mzSeedCell(mx, my, layer, dir, 0, 1) && g_verbose)
                DebugPrint("rouExit: Can't seed ending cell [%d,%d]L%d (%02x)", mx, my, layer,
                           MazeGet(mx, my, layer));
        } else if (g_verbose) {
            DebugPrint("rouExit: lev %d not enabled", layer);
        }
        // The via seed leads back into the end cell: only an end cell that
        // now holds the seed may have one (a refused cell keeps whatever
        // blocked it, and back-tracking through the via would meet it).
        const int32_t start = g.srcLayer;
        if (!side && !g.queueBothEnds && start > 0 && start != layer && Allowed(start) &&
            Allowed(layer) && (MazeGet(mx, my, layer) & kCellLow6) == dir) {
            int32_t t = g_viaPair[layer][start];
            if (t && !(ViaMapGet(mx, my, t) & kViaKeepOff) && !(MazeGet(mx, my, start) & kCellLow6))
                mzSeedCell(mx, my, start, side | g_maze.mazeIndex[layer], ViaCost(t), 1);
        }
    } else {
        for (int32_t l = 1; l <= LayerCount(); ++l) {
            if (!Allowed(l)) continue;
            exitListAdd(comp, pin, g.conn, corner, mx, my, l, kExitRouteEnd, side);
            if (!mzSeedCell(mx, my, l, dir, 0, 1) && g_verbose)
                DebugPrint("rouExit: can't seed end cell on L%d", l);
        }
    }
}

int32_t clippedExit(int32_t comp, int32_t pin, int32_t conn, int32_t corner, int32_t x, int32_t y,
                    int32_t layer, int32_t side) {
    if (layer < 1 || layer > kMaxLayers || !g_maze.mazeIndex[layer]) {
        if (g_verbose) DebugPrint("clippedExit: lev %d not enabled", layer);
        return 0;
    }
    exitListAdd(comp, pin, conn, corner, x, y, layer, kExitClipped, side);
    return mzSeedCell(x, y, layer, side | kDirSeed, 0, 1);
}

void windowEdgeExit(int32_t comp, int32_t pin, int32_t conn, int32_t corner, int32_t sector,
                    int32_t side) {
    const MzGoal& g = *Goal();
    const int32_t W = 2 * g_mzGrid.nx, H = 2 * g_mzGrid.ny;
    const int32_t ex = side ? g.srcX : g.dstX, ey = side ? g.srcY : g.dstY;
    const int32_t ox = side ? g.dstX : g.srcX, oy = side ? g.dstY : g.srcY;
    const LayerRec* base = LayerRecOf(0);
    if (!base) return;
    // One line of seeds: along y at column `fixed` (alongY) or along x at row `fixed`.
    auto line = [&](bool alongY, int32_t fixed) {
        int32_t mid = alongY ? MzY(ey) : MzX(ex);
        if (mid < 0 || mid > (alongY ? H : W)) mid = alongY ? MzY(oy) : MzX(ox);
        const int32_t c = alongY ? base->vert[0] : base->horz[0];
        for (int32_t l = 1; l <= LayerCount(); ++l) {
            const LayerRec* r = LayerRecOf(l);
            if (!r || !Allowed(l)) continue;
            const bool turn = alongY ? r->horz[0] > r->vert[0] : r->vert[0] > r->horz[0];
            const int32_t v = turn ? ViaCost(0) : 0;
            for (int32_t k = kSeedEdgeFirst; k <= (alongY ? H : W) - kSeedEdgeFirst; k += 2) {
                int32_t cost = std::min<int32_t>(c * std::abs(k - mid) / 3 + v, kSeedEdgeCostMax);
                int32_t x = alongY ? fixed : k, y = alongY ? k : fixed;
                mzSeedCell(x, y, l, side | kDirSeed, cost, 0);
                exitListAdd(comp, pin, conn, corner, x, y, l, kExitWindowEdge, side);
            }
        }
    };
    if (sector % 3 == 1) line(true, kSeedInset);
    if (sector > 0 && sector % 3 == 0) line(true, W - kSeedInset);
    if (sector >= 1 && sector <= 3) line(false, H - kSeedInset);
    if (sector >= 7 && sector <= 9) line(false, kSeedInset);
}

int32_t seedSegment(int32_t conn, const Conn* image, int32_t i, int32_t side, int32_t* cost) {
    const Crn& a = image->crn[i];
    const Crn& b = image->crn[i + 1];
    const int32_t layer = a.layer;
    if (layer == 0) return 0;
    if (layer > LayerCount()) ErrReport(kErrSeedSegLayer, layer);
    int32_t x0 = MzX(a.x), y0 = MzY(a.y), x1 = MzX(b.x), y1 = MzY(b.y);
    if (!Inside(x0, y0) || !g_maze.mazeIndex[layer]) return 1;
    const LayerRec* r = LayerRecOf(layer);
    const int32_t dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    *cost += (r->vert[0] * dy + r->horz[0] * dx) / 2;
    if (*cost > kWaveCostMax) return 0;
    const int32_t steps = std::max(dx, dy);
    for (int32_t k = 0; k <= steps; ++k) {
        int32_t x = steps ? x0 + (x1 - x0) * k / steps : x0;
        int32_t y = steps ? y0 + (y1 - y0) * k / steps : y0;
        if (!Inside(x, y)) continue;
        mzSeedCell(x, y, layer, side | kDirSeed, *cost, 1);
        exitListAdd(0, 0, conn, i, x, y, layer, kExitRouteEnd, side);
    }
    return 1;
}

void seedRoute(int32_t conn, const Conn* image, int32_t first, int32_t last, int32_t fromStart,
               int32_t fromEnd, int32_t side) {
    int32_t lo = first, hi = last - 1;
    int32_t costStart = 0, costEnd = 0;
    bool s = fromStart, e = fromEnd;
    while (lo <= hi && (s || e)) {
        if (s) {
            if (seedSegment(conn, image, lo, side, &costStart))
                ++lo;
            else
                s = false;
        }
        if (lo > hi) break;
        if (e) {
            if (seedSegment(conn, image, hi, side, &costEnd))
                --hi;
            else
                e = false;
        }
    }
}

void sharePad(int32_t comp, int32_t pin, int32_t side, int32_t depth, int32_t x, int32_t y) {
    const int32_t entry = ObjFindPad(comp, pin);
    if (entry <= 0) return;
    MapObj* pad = ObjEntry(entry);
    if (pad->flags & kObjVisited) return;
    if (g_verbose) DebugPrint("sharePad: %s.%d", NameText(CompRef(comp)->name), pin);
    if (!padExit(comp, pin, side, x, y) || depth <= 0) return;
    pad->flags |= kObjVisited;
    const MzGoal& g = *Goal();
    // The connections at a pin are those of the pin's net: the goal's net,
    // whose entries the object table lists in ascending order.
    int32_t count = 0;
    const int16_t* entries = ObjNetEntries(ObjEntry(g.objIndex)->net, &count);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t n = entries[i];
        MapObj* o = ObjEntry(n);
        if (o->type != kObjConn || n == g.objIndex || (o->flags & kObjVisited)) continue;
        o->flags |= kObjVisited;
        const Conn* c = Image(o->index);
        const ConnHead& h = c->head;
        const int32_t last = h.count - 1;
        // Only a connection routed all the way joins its far pad to this
        // one; of a connection with a gap, only the copper reached from
        // this pad before the gap is joined.
        if (last >= 1) {
            const bool whole = FullyRouted(c);
            if (h.fromComp == comp && h.fromPin == pin) {
                if (whole)
                    sharePad(h.toComp, h.toPin, side, depth - 1, c->crn[last].x, c->crn[last].y);
                seedRoute(o->index, c, 0, last, 1, whole ? 1 : 0, side);
            } else if (h.toComp == comp && h.toPin == pin) {
                if (whole)
                    sharePad(h.fromComp, h.fromPin, side, depth - 1, c->crn[0].x, c->crn[0].y);
                seedRoute(o->index, c, 0, last, whole ? 1 : 0, 1, side);
            }
        }
        o->flags &= uint8_t(~kObjVisited);
    }
    pad->flags &= uint8_t(~kObjVisited);
}

int32_t SeedExits() {
    ExitListReset();
    const MzGoal& g = *Goal();
    const MapObj* entry = ObjEntry(g.objIndex);
    const int32_t net = entry->net;
    if (net < 1 || net > NetCount()) return 0;
    const Net* nr = NetRef(net);
    const Conn* c = Image(g.conn);
    const ConnHead& h = c->head;
    const int32_t last = std::max<int32_t>(h.count - 1, 0);
    // First end: side 1, corner indexes negated.
    if (g.srcSector) {
        if (g.srcLayer > 0)
            clippedExit(h.fromComp, h.fromPin, g.conn, -g.crn1Index, g.srcMzX, g.srcMzY, g.srcLayer,
                        kDirSide);
        else
            windowEdgeExit(h.fromComp, h.fromPin, g.conn, -g.crn1Index, g.srcSector, kDirSide);
    } else if (g.crn1Index != 0) {
        const Crn& k = c->crn[g.crn1Index];
        rouExit(g.srcX, g.srcY, std::max<int32_t>(g.srcLayer, 0), k.via, h.fromComp, h.fromPin,
                -g.crn1Index, kDirSide);
        if (!(c->crn[0].flags & kCrnFixed)) {
            padExit(h.fromComp, h.fromPin, kDirSide, c->crn[0].x, c->crn[0].y);
            seedRoute(g.conn, c, 0, g.crn1Index, 1, 0, kDirSide);
        }
    } else {
        padExit(h.fromComp, h.fromPin, kDirSide, c->crn[0].x, c->crn[0].y);
    }
    // Second end: side 0.
    if (g.dstSector) {
        if (g.dstLayer > 0)
            clippedExit(h.toComp, h.toPin, g.conn, g.crn2Index, g.dstMzX, g.dstMzY, g.dstLayer, 0);
        else
            windowEdgeExit(h.toComp, h.toPin, g.conn, g.crn2Index, g.dstSector, 0);
    } else if (g.crn2Index + 1 != g.crnCount) {
        const Crn& k = c->crn[g.crn2Index];
        rouExit(g.dstX, g.dstY, std::max<int32_t>(g.dstLayer, 0), k.via, h.toComp, h.toPin,
                g.crn2Index, 0);
        if (!(c->crn[last].flags & kCrnFixed)) {
            padExit(h.toComp, h.toPin, 0, c->crn[last].x, c->crn[last].y);
            seedRoute(g.conn, c, g.crn2Index, last, 0, 1, 0);
        }
    } else {
        padExit(h.toComp, h.toPin, 0, c->crn[last].x, c->crn[last].y);
    }
    if (!(nr->flags & kNetNoRecon)) {
        if (!(c->crn[0].flags & kCrnFixed))
            sharePad(h.fromComp, h.fromPin, kDirSide, kSharePadDepth, c->crn[0].x, c->crn[0].y);
        if (!(c->crn[last].flags & kCrnFixed))
            sharePad(h.toComp, h.toPin, 0, kSharePadDepth, c->crn[last].x, c->crn[last].y);
    }
    return 1;
}
