// Moving jumper ends: makeVert brings both ends of a jumper onto one line
// of the jumper step, adjustLength brings it to an allowed length, both by
// single steps of one end at a time that shoveVia has cleared. The copper
// next to a moved end follows it: the leg that joins the end is stretched
// when it already runs along the move, else a corner is inserted at the
// old place. Both stop after 2,000 steps; no step lets the connection pass
// the corner limit.
#include <algorithm>
#include <cstdlib>

#include "db/conns.h"
#include "db/layers.h"
#include "router/gather.h"
#include "router/mzgrid.h"
#include "router/viamap.h"
#include "rules/clearcore.h"
#include "rules/drcconn.h"
#include "rules/ruleadapt.h"
#include "rules/viaclear.h"

namespace {

// The coordinate of the axis (0 x, 1 y); corners are packed, so they are
// read and written by value.
int32_t Coord(const Crn& c, int32_t axis) {
    return axis == 0 ? c.x : c.y;
}

void SetCoord(Crn& c, int32_t axis, int32_t v) {
    if (axis == 0)
        c.x = v;
    else
        c.y = v;
}

// The next step line from a towards b (upwards when they are equal).
int32_t NextLine(int32_t a, int32_t b, int32_t step) {
    if (b < a) return (a % step == 0) ? a - step : ClearFloorDiv(a, step) * step;
    return (ClearFloorDiv(a, step) + 1) * step;
}

// Moves the end (the first corner of the jumper when isFirst) to the
// target on the axis after shoveVia cleared the way; 1 moved.
int32_t MoveEnd(Conn* conn, int32_t* first, int32_t* last, bool isFirst, int32_t target,
                int32_t axis) {
    const int32_t k = isFirst ? *first : *last;
    if (!shoveVia(conn, k, target, axis)) return 0;
    const int32_t other = 1 - axis;
    if (isFirst && k > 0) {
        const Crn& p = conn->crn[k - 1];
        if (Coord(conn->crn[k - 1], other) != Coord(conn->crn[k], other) || p.via) {
            if (!ClearInsert(conn, k, 1)) return 0;
            Crn& old = conn->crn[k];
            old.via = 0;
            old.layer = conn->crn[k - 1].layer;
            old.width = conn->crn[k - 1].width;
            ++*first;
            ++*last;
        }
    } else if (!isFirst && k < conn->head.count - 1) {
        const Crn& nx = conn->crn[k + 1];
        if (Coord(conn->crn[k + 1], other) != Coord(conn->crn[k], other) || nx.via) {
            if (!ClearInsert(conn, k, 1)) return 0;
            conn->crn[k + 1].via = 0;
        }
    }
    SetCoord(conn->crn[isFirst ? *first : *last], axis, target);
    return 1;
}

void LoopGuard(const Conn* conn, const char* label, ErrCode code) {
    ConnDump(conn, label, 0);
    if (g_debug) ErrReport(code, 0);
}

} // namespace

int32_t JumperStep() {
    const int32_t vg = ClearViaGrid();
    return vg > 0 ? vg : ClearHalfGrid();
}

int32_t shoveVia(Conn* conn, int32_t k, int32_t target, int32_t moveAxis) {
    const Crn c = conn->crn[k];
    const int32_t n = conn->head.count;
    if (!c.via) {
        if (k == 0 || k == n - 1) return 0;
        const int32_t before = conn->crn[k - 1].layer, after = c.layer;
        if (before && after && before != after) {
            ConnDump(conn, "shoveVia", 0);
            ErrReport(kErrJumperViaSite, k);
        }
        return 1;
    }
    const int32_t tx = moveAxis == 0 ? target : c.x, ty = moveAxis == 0 ? c.y : target;
    if (ViaMapGet(MzX(tx), MzY(ty), c.via) & kViaBlocked) return 0;
    int32_t at = moveAxis == 0 ? c.x : c.y;
    const int32_t across = moveAxis == 0 ? c.y : c.x;
    const int32_t dir = target > at ? 1 : -1;
    const int32_t h = ClearHalfGrid();
    while (at != target) {
        at = dir > 0 ? std::min(at + h, target) : std::max(at - h, target);
        for (int32_t l = 1; l <= LayerCount(); ++l) {
            if (!ViaSearchLayer(l) || !ViaPadCode(c.via, l)) continue;
            if (ClearPush(at, across, across, kClearKindVia, l, ViaPadRadius(c.via, l), dir,
                          moveAxis))
                return 0;
        }
    }
    return 1;
}

int32_t makeVert(Conn* conn, int32_t* first, int32_t* last, int32_t axis) {
    const int32_t step = JumperStep();
    const int32_t across = axis; // axis 0 (runs along y): the ends meet on one x
    bool frozenFirst = false, frozenLast = false;
    auto met = [&] {
        const int32_t a = Coord(conn->crn[*first], across), b = Coord(conn->crn[*last], across);
        return a == b && a % step == 0;
    };
    for (int32_t steps = 0; !met(); ++steps) {
        if (steps >= kJumperStepsMax) {
            LoopGuard(conn, "makeVert: infinite loop", kErrJumperMakeVertLoop);
            return 0;
        }
        if (!frozenFirst) {
            const int32_t a = Coord(conn->crn[*first], across);
            const int32_t t = NextLine(a, Coord(conn->crn[*last], across), step);
            if (!MoveEnd(conn, first, last, true, t, across)) frozenFirst = true;
        }
        if (!met() && !frozenLast) {
            const int32_t b = Coord(conn->crn[*last], across);
            const int32_t t = NextLine(b, Coord(conn->crn[*first], across), step);
            if (!MoveEnd(conn, first, last, false, t, across)) frozenLast = true;
        }
        if (frozenFirst && frozenLast && !met()) return 0;
    }
    const Crn &a = conn->crn[*first], &b = conn->crn[*last];
    if (!GatherIsEmpty(a.x, a.y, b.x, b.y, kClearKindSeg, a.layer, HalfWidth(a), ClearEntry(), 0))
        return 0;
    if (*last - *first > 1) {
        CrnDelete(conn, *first + 1, *last - *first - 1);
        *last = *first + 1;
    }
    return 1;
}

int32_t adjustLength(Conn* conn, int32_t* first, int32_t* last, int32_t direction, int32_t axis) {
    if (*last != *first + 1) ErrReport(kErrJumperAdjustSegments, *last - *first);
    const int32_t along = 1 - axis; // axis 0 (runs along y): the length is in y
    const int32_t step = JumperStep();
    auto length = [&] {
        return std::abs(Coord(conn->crn[*last], along) - Coord(conn->crn[*first], along));
    };
    const int32_t now = length();
    if (now <= 0) return 0;
    int32_t listed[kJumperLengthsMax];
    const int32_t count = JumperLengths(conn->crn[*first].layer, listed);
    bool anyListed = false;
    int32_t chosen = -1;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t l = listed[i];
        if (l <= 0 || l % step != 0) continue;
        anyListed = true;
        if (direction == 1 && l >= now && (chosen < 0 || l < chosen)) chosen = l;
        if (direction == 0 && l <= now && (chosen < 0 || l > chosen)) chosen = l;
    }
    if (!anyListed) return 1;
    if (chosen < 0) return 0;
    bool frozenFirst = false, frozenLast = false;
    for (int32_t steps = 0; length() != chosen; ++steps) {
        if (steps >= kJumperStepsMax) {
            LoopGuard(conn, "adjustLength: infinite loop", kErrJumperAdjustLoop);
            return 0;
        }
        const int32_t up =
            Coord(conn->crn[*last], along) >= Coord(conn->crn[*first], along) ? 1 : -1;
        const int32_t grow = chosen > length() ? 1 : -1;
        if (!frozenFirst) {
            const int32_t d = std::min(step, std::abs(chosen - length()));
            const int32_t t = Coord(conn->crn[*first], along) - up * grow * d;
            if (!MoveEnd(conn, first, last, true, t, along)) frozenFirst = true;
        }
        if (length() != chosen && !frozenLast) {
            const int32_t d = std::min(step, std::abs(chosen - length()));
            const int32_t t = Coord(conn->crn[*last], along) + up * grow * d;
            if (!MoveEnd(conn, first, last, false, t, along)) frozenLast = true;
        }
        if (frozenFirst && frozenLast && length() != chosen) return 0;
    }
    return 1;
}
