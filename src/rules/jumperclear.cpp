// Jumper clearing: every jumper of a shoved path (a maximal run of
// segments on one jumper layer) is made straight along one axis, brought
// to an allowed length of its layer and checked against the layer's
// direction bits, each jumper inside a journal level of its own. A jumper
// that fails is undone, its box is marked in the maze and the via map, and
// the clearing stops with failure. The connection is left as it was
// whenever a jumper fails.
#include <algorithm>
#include <cstdlib>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/layers.h"
#include "db/shellsvc.h"
#include "router/connnorm.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/viamap.h"
#include "rules/clearcore.h"
#include "rules/ruleadapt.h"
#include "rules/viaclear.h"

namespace {

enum : uint16_t {
    kJumperRunsY = 0x0100, // jumpers of the layer run in y only
    kJumperRunsX = 0x0200, // ... in x only
    kJumperDirBits = kJumperRunsY | kJumperRunsX,
};

uint16_t LayerFlags(int32_t layer) {
    if (layer < 1 || layer > LayerCount()) return 0;
    return LayerRef(layer)->flags;
}

int32_t Along(const Crn& c, int32_t axis) {
    return axis == 0 ? c.y : c.x;
}

// Undoes the open level and puts the connection back.
void Undo(Conn* conn, const Conn* saved) {
    MapAltRestore();
    AltPop(false);
    ConnCopy(conn, saved);
}

// The jumper in the working order (reversed when its last corner lies
// below its first along the axis) made straight; the order is put back.
int32_t StraightenOnAxis(Conn* conn, int32_t first, int32_t last, int32_t axis) {
    const int32_t n = conn->head.count;
    const bool reversed = Along(conn->crn[last], axis) < Along(conn->crn[first], axis);
    if (reversed) {
        ConnReverse(conn);
        const int32_t f = n - 1 - last;
        last = n - 1 - first;
        first = f;
    }
    const int32_t ok = makeVert(conn, &first, &last, axis);
    if (reversed) ConnReverse(conn);
    return ok;
}

} // namespace

int32_t jumperFind(const Conn* conn, int32_t n, int32_t* first, int32_t* last) {
    const int32_t count = conn->head.count;
    int32_t found = 0;
    for (int32_t i = 0; i + 1 < count;) {
        const int32_t layer = conn->crn[i].layer;
        if (!layer || !JumperLayer(layer)) {
            ++i;
            continue;
        }
        int32_t j = i;
        while (j + 2 < count && conn->crn[j + 1].layer == layer)
            ++j;
        if (++found == n) {
            *first = i;
            *last = j + 1;
            return 1;
        }
        i = j + 1;
    }
    return 0;
}

void jumperMarkFailed(const Conn* conn, int32_t first, int32_t last) {
    int32_t x0 = MzX(conn->crn[first].x), x1 = x0, y0 = MzY(conn->crn[first].y), y1 = y0;
    for (int32_t i = first + 1; i <= last; ++i) {
        x0 = std::min(x0, MzX(conn->crn[i].x));
        x1 = std::max(x1, MzX(conn->crn[i].x));
        y0 = std::min(y0, MzY(conn->crn[i].y));
        y1 = std::max(y1, MzY(conn->crn[i].y));
    }
    x0 = std::max<int32_t>(x0 - kJumperMarkWiden, kClearBorderCells);
    y0 = std::max<int32_t>(y0 - kJumperMarkWiden, kClearBorderCells);
    x1 = std::min<int32_t>(x1 + kJumperMarkWiden, g_mzGrid.w - 1 - kClearBorderCells);
    y1 = std::min<int32_t>(y1 + kJumperMarkWiden, g_mzGrid.r - 1 - kClearBorderCells);
    const int32_t layer = conn->crn[first].layer;
    for (int32_t y = y0; y <= y1; ++y)
        for (int32_t x = x0; x <= x1; ++x)
            ClearMarkCell(x, y, layer, kCellRuleMark);
    const int32_t via = conn->crn[first].via ? conn->crn[first].via : conn->crn[last].via;
    if (via >= 1 && via <= ViaMapTypes() && x0 <= x1 && y0 <= y1)
        ViaMapMarkRect(x0, y0, x1, y1, via, kViaTemp);
}

int32_t jumperCheckDirections(Conn* conn) {
    bool any = false;
    for (int32_t l = 1; l <= LayerCount(); ++l)
        if (LayerFlags(l) & kJumperDirBits) any = true;
    if (!any) return 1;
    connReduce(conn);
    int32_t first, last;
    for (int32_t n = 1; n <= kJumpersMax && jumperFind(conn, n, &first, &last); ++n) {
        const uint16_t f = LayerFlags(conn->crn[first].layer);
        const Crn &a = conn->crn[first], &b = conn->crn[last];
        if ((f & kJumperDirBits) == kJumperDirBits) return 0;
        if ((f & kJumperRunsX) && a.x == b.x) return 0;
        if ((f & kJumperRunsY) && a.y == b.y) return 0;
    }
    return 1;
}

int32_t clearOneJumper(Conn* conn, int32_t n, int32_t first, int32_t last) {
    if (g_verbose)
        DebugPrint("clearOneJumper: jumper %d between crns %d and %d", int(n), int(first),
                   int(last));
    ScratchRecord<Conn> saved, sized;
    ConnCopy(saved.get(), conn);
    const Crn &a = conn->crn[first], &b = conn->crn[last];
    int32_t axis = 0;
    if ((!a.via || !b.via) && std::abs(b.y - a.y) < std::abs(b.x - a.x)) axis = 1;
    AltPush();
    int32_t ok = StraightenOnAxis(conn, first, last, axis);
    if (!ok) {
        Undo(conn, saved.get());
        AltPush();
        axis = 1 - axis;
        ok = StraightenOnAxis(conn, first, last, axis);
    }
    if (ok) {
        if (!jumperFind(conn, n, &first, &last)) ErrReport(kErrJumperVanished, n);
        ConnCopy(sized.get(), conn);
        const int32_t f = first, l = last;
        AltPush();
        ok = adjustLength(conn, &first, &last, 0, axis);
        if (!ok) {
            Undo(conn, sized.get());
            first = f;
            last = l;
            AltPush();
            ok = adjustLength(conn, &first, &last, 1, axis);
        }
        if (ok)
            AltPop(true);
        else
            Undo(conn, sized.get());
    }
    if (ok) ok = jumperCheckDirections(conn);
    if (ok) {
        connReduce(conn);
        AltPop(true);
        if (g_verbose) DebugPrint("clearOneJumper: PASS");
        return 1;
    }
    Undo(conn, saved.get());
    if (g_verbose) DebugPrint("clearOneJumper: FAIL");
    return 0;
}

int32_t ClearAllJumpersRules(Conn* path) {
    if (!ClearEntry() || path->head.count < 2) return 1;
    int32_t first, last;
    for (int32_t n = 1; n <= kJumpersMax && jumperFind(path, n, &first, &last); ++n) {
        const Crn &a = path->crn[first], &b = path->crn[last];
        if ((a.flags | b.flags) & (kCrnLocked | kCrnLatched)) continue;
        if (!InUsableBand(MzX(a.x), MzY(a.y)) || !InUsableBand(MzX(b.x), MzY(b.y))) continue;
        if (UserAbort()) {
            g_shove.shoveFailed = 1;
            break;
        }
        if (!clearOneJumper(path, n, first, last)) {
            jumperMarkFailed(path, first, last);
            g_shove.shoveFailed = 1;
            break;
        }
    }
    if (g_verbose) DebugPrint(g_shove.shoveFailed ? "jumperClear failed" : "jumperClear success");
    return g_shove.shoveFailed ? 0 : 1;
}
