// Via clearing: every via of a shoved path gets room. The via stays where
// it is when nothing blocks its pads there (or what blocks them can be
// pushed away), it sits on the via-site step and the via map allows it;
// otherwise it walks away step by step, each step in a journal level of
// its own that is committed when the walk ends well and undone when it
// does not, while the copper of its start layer follows it out and the
// copper of its end layer comes back. A via that finds no place is given
// up (stitchFailure) and the shove fails.
//
// The search is bounded by the depth and by an 80 x 80 visited grid
// centred on the via's starting cell; a location outside the grid counts
// as tried and nothing is written outside it. Every journal level the
// search opens is closed before it returns, so the depth after the call
// equals the depth before it.
#include <algorithm>
#include <cstring>
#include <string>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/layers.h"
#include "db/shellsvc.h"
#include "router/connnorm.h"
#include "router/gather.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/urstate.h"
#include "router/viamap.h"
#include "rules/clearcore.h"
#include "rules/ruleadapt.h"
#include "rules/viaclear.h"

namespace {

// Blocked sides of a via location.
enum : int32_t {
    kSidePlusY = 1,
    kSideMinusY = 2,
    kSideMinusX = 4,
    kSidePlusX = 8,
    kSideAll = 15,
    kSideCannotStay = 0x10,
};

struct VisitedGrid {
    uint8_t cell[kVisitedSide * kVisitedSide];
};

// The search of one via.
struct ViaSearch {
    Conn* rebuilt = nullptr;
    Conn* result = nullptr;
    VisitedGrid* visited = nullptr;
    int32_t cx = 0, cy = 0; // the via's starting cell
    int32_t site = 1;       // the via-site step
    int32_t startLayer = 0, startWidth = 0, endLayer = 0, endWidth = 0;
    int32_t flags = 0; // the path corner's flags
};
ViaSearch s;

uint8_t* VisitedCell(int32_t mx, int32_t my) {
    const int32_t dx = mx - s.cx + kVisitedHalf, dy = my - s.cy + kVisitedHalf;
    if (dx < 0 || dy < 0 || dx >= kVisitedSide || dy >= kVisitedSide) return nullptr;
    return &s.visited->cell[dy * kVisitedSide + dx];
}

bool InSearchBox(int32_t mx, int32_t my) {
    return mx >= kViaSearchMargin && mx <= g_mzGrid.w - 1 - kViaSearchMargin &&
           my >= kViaSearchMargin && my <= g_mzGrid.r - 1 - kViaSearchMargin;
}

// The side's push of the via pad: +x and -x in the board's frame, +y and -y
// in the transposed one.
int32_t PushSide(int32_t side, int32_t x, int32_t y, int32_t layer, int32_t reach) {
    switch (side) {
    case kSidePlusX:
        return ClearPush(x, y, y, kClearKindVia, layer, reach, +1, 0);
    case kSideMinusX:
        return ClearPush(x, y, y, kClearKindVia, layer, reach, -1, 0);
    case kSidePlusY:
        return ClearPush(y, x, x, kClearKindVia, layer, reach, +1, 1);
    default:
        return ClearPush(y, x, x, kClearKindVia, layer, reach, -1, 1);
    }
}

// The offset of half a routing grid towards the side.
void SideOffset(int32_t side, int32_t* dx, int32_t* dy) {
    const int32_t h = ClearHalfGrid();
    *dx = side == kSidePlusX ? h : side == kSideMinusX ? -h : 0;
    *dy = side == kSidePlusY ? h : side == kSideMinusY ? -h : 0;
}

constexpr int32_t kSides[4] = {kSidePlusX, kSideMinusX, kSidePlusY, kSideMinusY};

// The sides of the location where the via's pad on the layer meets copper
// that cannot be pushed away; with any, also kSideCannotStay. A blocked
// side is released again when the pad half a routing grid that way can
// push clear towards that side (what lies wholly behind it is ignored), so
// that a move that way may still be tried.
int32_t viaBlockedSides(int32_t x, int32_t y, int32_t via, int32_t layer) {
    if (!ViaPadCode(via, layer)) return 0;
    const int32_t reach = ViaPadRadius(via, layer);
    int32_t blocked = 0;
    for (int32_t side : kSides)
        if (PushSide(side, x, y, layer, reach)) blocked |= side;
    if (!blocked) return 0;
    for (int32_t side : kSides) {
        if (!(blocked & side)) continue;
        int32_t dx, dy;
        SideOffset(side, &dx, &dy);
        if (!PushSide(side, x + dx, y + dy, layer, reach)) blocked &= ~side;
    }
    return blocked | kSideCannotStay;
}

// The blocked sides over the via's start layer, its end layer and every
// other layer the search uses, up to the first layer with any.
int32_t BlockedOnLayers(int32_t x, int32_t y, int32_t via) {
    int32_t sides = 0;
    if (ViaSearchLayer(s.startLayer)) sides = viaBlockedSides(x, y, via, s.startLayer);
    if (!sides && ViaSearchLayer(s.endLayer) && s.endLayer != s.startLayer)
        sides = viaBlockedSides(x, y, via, s.endLayer);
    for (int32_t l = 1; !sides && l <= LayerCount(); ++l)
        if (l != s.startLayer && l != s.endLayer && ViaSearchLayer(l))
            sides = viaBlockedSides(x, y, via, l);
    return sides;
}

// A move up goes half a routing grid on while that stays short of the next
// via-site line, else to that line; a move down the same way downwards.
int32_t StepUp(int32_t c) {
    const int32_t next = (ClearFloorDiv(c, s.site) + 1) * s.site;
    return c + ClearHalfGrid() < next ? c + ClearHalfGrid() : next;
}

int32_t StepDown(int32_t c) {
    const int32_t prev = -(ClearFloorDiv(-c, s.site) + 1) * s.site;
    return c - ClearHalfGrid() > prev ? c - ClearHalfGrid() : prev;
}

bool OnViaSite(int32_t x, int32_t y) {
    return ClearViaGrid() == 0 || (x % s.site == 0 && y % s.site == 0);
}

void viaMarkFailed(int32_t mx, int32_t my, int32_t via) {
    ViaMapMarkRect(mx - 2, my - 2, mx + 2, my + 2, via, kViaTemp);
}

int32_t viaTryPlace(int32_t x, int32_t y, int32_t via, int32_t depth, int32_t mask) {
    if (via < 1 || via > DbHdr().viaCount) ErrReport(kErrViaTypeRange, via);
    const int32_t mx = MzX(x), my = MzY(y);
    if (!InSearchBox(mx, my)) return 0;
    uint8_t* cell = VisitedCell(mx, my);
    if (!cell || *cell) return 0;
    *cell = kVisitedTried;
    const int32_t sides = BlockedOnLayers(x, y, via);
    const int32_t map = ViaMapGet(mx, my, via);
    if (!sides && OnViaSite(x, y) && !(map & kViaBlocked)) {
        s.result->head.count = 1;
        s.result->crn[0] = ClearCorner(x, y, s.endLayer, s.endWidth, s.flags, via);
        *cell = kVisitedPlaced;
        return 1;
    }
    depth = std::min<int32_t>(depth, kViaSearchDepthMax) - 1;
    if (depth <= 0 || (map & kViaOnPad)) return 0;
    const int32_t saved = s.rebuilt->head.count;
    if (!ClearAppend(s.rebuilt, ClearCorner(x, y, s.startLayer, s.startWidth, 0, 0))) return 0;
    struct Move {
        int32_t side, back;
    };
    constexpr Move kMoves[4] = {{kSidePlusY, kSideMinusY},
                                {kSideMinusY, kSidePlusY},
                                {kSideMinusX, kSidePlusX},
                                {kSidePlusX, kSideMinusX}};
    for (const Move& m : kMoves) {
        if ((mask | sides) & m.side) continue;
        const int32_t nx = m.side == kSidePlusX    ? StepUp(x)
                           : m.side == kSideMinusX ? StepDown(x)
                                                   : x;
        const int32_t ny = m.side == kSidePlusY    ? StepUp(y)
                           : m.side == kSideMinusY ? StepDown(y)
                                                   : y;
        AltPush();
        if (viaTryPlace(nx, ny, via, depth, mask | m.back) &&
            ClearAppend(s.result, ClearCorner(x, y, s.endLayer, s.endWidth, 0, 0))) {
            AltPop(true);
            *cell = kVisitedPlaced;
            return 1;
        }
        MapAltRestore();
        AltPop(false);
    }
    s.rebuilt->head.count = int16_t(saved);
    viaMarkFailed(mx, my, via);
    return 0;
}

void Trace(const char* what, int32_t i) {
    if (g_verbose) DebugPrint(what, int(i));
}

// The layer and width of the segments that meet at corner i: the goal's
// ends stand in at the path's ends.
void MeetingSegments(const Conn* path, int32_t i) {
    const MzGoal* g = Goal();
    const int32_t n = path->head.count;
    s.startLayer = i > 0 ? path->crn[i - 1].layer : g->srcLayer;
    s.startWidth = i > 0 ? path->crn[i - 1].width : g->goalWidth;
    s.endLayer = i < n - 1 ? path->crn[i].layer : g->dstLayer;
    s.endWidth = i < n - 1 ? path->crn[i].width : g->goalWidth;
    s.flags = path->crn[i].flags;
}

// Places the via of corner i; 1 placed (the via result appended to the
// rebuilt path), 0 given up.
int32_t PlaceVia(Conn* path, int32_t i) {
    const Crn c = path->crn[i];
    const int32_t depth = viaPadSpan(c.via);
    const int32_t mask = (c.flags & (kCrnLocked | kCrnLatched)) ? kSideAll : 0;
    int32_t ok = viaTryPlace(c.x, c.y, c.via, depth, mask);
    if (ok) {
        Trace("ClearAllVias crn%d: cleared on 1st try", i);
    } else {
        std::memset(s.visited, 0, sizeof(VisitedGrid));
        if (depth < kViaSearchDepthMax) {
            ok = viaTryPlace(c.x, c.y, c.via,
                             std::min<int32_t>(depth * kViaSecondTryFactor, kViaSearchDepthMax),
                             mask);
            if (ok) Trace("ClearAllVias crn%d: cleared on 2nd try", i);
        }
    }
    if (ok && s.rebuilt->head.count + s.result->head.count > kClearCornerLimit) ok = 0;
    if (ok) {
        for (int32_t k = 0; k < s.result->head.count; ++k)
            s.rebuilt->crn[s.rebuilt->head.count++] = s.result->crn[k];
        return 1;
    }
    if (g_verbose) {
        const std::string x = CoordText(c.x), y = CoordText(c.y);
        DebugPrint("ClearAllVias crn%d: failed to clear [%s,%s]", int(i), x.c_str(), y.c_str());
    }
    stitchFailure(path, i, c.via, s.rebuilt);
    return 0;
}

} // namespace

int32_t viaPadSpan(int32_t via) {
    int32_t largest = 0;
    for (int32_t l = 1; l <= LayerCount(); ++l)
        if (ViaSearchLayer(l))
            largest = std::max(largest, ViaPadRadius(via, l) + ClearSpacing(l, kClearKindVia));
    const int32_t g = ClearGrid(), vg = ClearViaGrid();
    if (vg > g) largest += vg - g;
    int32_t depth = int32_t(int64_t(largest) * 4 / g + 2);
    depth = std::min<int32_t>(depth, ClearFastRun() ? kViaSearchDepthFast : kViaSearchDepthMax);
    if (depth < 1) ErrReport(kErrViaDepth, depth);
    return depth;
}

int32_t ClearAllViasRules(Conn* path) {
    if (!ClearEntry() || path->head.count < 1) return 1;
    ScratchRecord<Conn> rebuilt, result;
    ScratchRecord<VisitedGrid> visited;
    Conn* copy = g_shove.original;
    ConnCopy(rebuilt.get(), path);
    rebuilt->head.count = 0;
    if (copy) ConnCopy(copy, path);
    if (Conn* bare = g_shove.work) {
        ConnCopy(bare, path);
        for (int32_t i = 0; i < bare->head.count; ++i) {
            bare->crn[i].via = 0;
            bare->crn[i].width = 0;
        }
    }
    s.rebuilt = rebuilt.get();
    s.result = result.get();
    s.visited = visited.get();
    s.site = ClearViaGrid() > 0 ? ClearViaGrid() : ClearGrid();
    bool whole = true, aborted = false;
    for (int32_t i = 0; i < path->head.count; ++i) {
        const Crn c = path->crn[i];
        const int32_t mx = MzX(c.x), my = MzY(c.y);
        if (!c.via || !InUsableBand(mx, my) || aborted) {
            if (!ClearAppend(rebuilt.get(), c)) {
                whole = false;
                break;
            }
            continue;
        }
        if (UserAbort()) {
            g_shove.shoveFailed = 1;
            aborted = true;
            --i; // the rest of the path is kept as it is
            continue;
        }
        MeetingSegments(path, i);
        s.cx = mx;
        s.cy = my;
        std::memset(s.visited, 0, sizeof(VisitedGrid));
        if (g_verbose) {
            const std::string x = CoordText(c.x), y = CoordText(c.y);
            DebugPrint("ClearAllVias crn %d: Shoving for via at [%s,%s] grid [%d,%d]", int(i),
                       x.c_str(), y.c_str(), int(mx), int(my));
        }
        if (copy) copy->crn[i].via = 0;
        if (g_shove.shoveFailed && ClearForceFast()) {
            stitchFailure(path, i, c.via, rebuilt.get());
            continue;
        }
        if (!PlaceVia(path, i)) g_shove.shoveFailed = 1;
    }
    if (!whole) g_shove.shoveFailed = 1;
    connReduce(rebuilt.get());
    if (whole) ConnCopy(path, rebuilt.get());
    if (g_verbose) ConnDump(path, g_shove.shoveFailed ? "viaClear failed" : "viaClear success", 0);
    return g_shove.shoveFailed ? 0 : 1;
}
