// Ripping a hop up, marking a hop that cannot be ripped or re-routed, and
// finding the gap that replaced a hop. Marking never touches the maze's
// 12-cell border, and blocked cells (codes 29 and 31) stay as they are:
// marking only ever turns passable cells into design-rule marks.
#include "router/hoprip.h"

#include <algorithm>
#include <cstdlib>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/nets.h"
#include "db/pool.h"
#include "router/layertab.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/urstate.h"

namespace {

bool InWindow(const Crn& c) {
    const MzBox& w = g_mzGrid.window;
    return c.x >= w.minX && c.x <= w.maxX && c.y >= w.minY && c.y <= w.maxY;
}

bool SamePoint(const Crn& a, const Crn& b) {
    return a.x == b.x && a.y == b.y;
}

// Whether a segment on the layer counts for marking: routed, routed by the
// sweep, routable, and allowed to the net.
bool MarkableLayer(int32_t layer, const Net* net) {
    if (layer == 0) return false;
    const LayerRec* r = LayerRecOf(layer);
    if (!r || !r->enabled || (r->flags & kLayerNotRoutable)) return false;
    return !net || NetAllowsLayer(net, layer);
}

// One cell of a failed hop: passable codes become the design-rule mark.
void MarkCell(int32_t x, int32_t y, int32_t m) {
    uint8_t* cell = MazeCellPtr(x, y, m);
    const int32_t code = *cell & kCellLow6;
    if (code == kCellRuleMark || code == kCellTempMark || code == kCellBlocked ||
        code == kCellBorder)
        return;
    *cell = uint8_t((*cell & kCellMarks) | kCellRuleMark);
}

// The cells of a horizontal, vertical or 45-degree segment between two maze
// points, inside the border.
void MarkSegment(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t m) {
    const int32_t dx = x1 - x0, dy = y1 - y0;
    if (dx != 0 && dy != 0 && std::abs(dx) != std::abs(dy)) return;
    const int32_t sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
    int64_t kLo = 0, kHi = std::max(std::abs(dx), std::abs(dy));
    // Only the steps inside 12 .. size - 13 on both axes are walked.
    auto clip = [&](int32_t p0, int32_t s, int32_t lo, int32_t hi) {
        if (s == 0) {
            if (p0 < lo || p0 > hi) kHi = -1;
            return;
        }
        const int64_t a = (int64_t(lo) - p0) * s, b = (int64_t(hi) - p0) * s;
        kLo = std::max(kLo, std::min(a, b));
        kHi = std::min(kHi, std::max(a, b));
    };
    clip(x0, sx, kMazeBorder, g_mzGrid.w - 1 - kMazeBorder);
    clip(y0, sy, kMazeBorder, g_mzGrid.r - 1 - kMazeBorder);
    for (int64_t k = kLo; k <= kHi; ++k)
        MarkCell(int32_t(x0 + k * sx), int32_t(y0 + k * sy), m);
}

} // namespace

int32_t hopRip(int32_t h) {
    const MzGoal& g = *Goal();
    const int32_t entry = g.hopObj[h], k = g.hopCrn[h];
    const MapObj& o = *ObjEntry(entry);
    auto* rec = static_cast<Conn*>(ScratchPush());
    ConnReadJournal(o.index, rec);
    if (g_verbose) {
        DebugPrint("hopRip: Ripping up object %d, crn %d", int(entry), int(k));
        ConnDump(rec, "hopRip", 0);
    }
    int32_t result = 0;
    const int32_t count = rec->head.count;
    if (k >= 0 && k + 1 < count && InWindow(rec->crn[k]) && InWindow(rec->crn[k + 1])) {
        ConnMap(rec, entry, k, k + 1, 1);
        rec->crn[k].layer = 0;
        ConnMap(rec, entry, std::max(k - 1, 0), std::min(k + 2, count - 1), 0);
        AltPut(kRecConn, o.index, 0, rec);
        result = 1;
    }
    ScratchPop(rec);
    return result;
}

void hopFail(int32_t h) {
    const MzGoal& g = *Goal();
    const int32_t k = g.hopCrn[h];
    const MapObj& o = *ObjEntry(g.hopObj[h]);
    auto* rec = static_cast<Conn*>(ScratchPush());
    ConnReadJournal(o.index, rec);
    const int32_t net = rec->head.net;
    const Net* n = net >= 1 && net <= NetCount() ? NetRef(net) : nullptr;
    if (g_verbose) DebugPrint("hopFail: Marking crn %d of conn %d", int(k), int(o.index));
    const int32_t last = std::min(k + 1, rec->head.count - 2);
    for (int32_t i = std::max(k - 1, 0); i <= last && g_maze.rows; ++i) {
        const Crn &a = rec->crn[i], &b = rec->crn[i + 1];
        if (!MarkableLayer(a.layer, n)) continue;
        const int32_t m = LayerMazeIndex(a.layer);
        if (m < 1) continue;
        MarkSegment(MzX(a.x), MzY(a.y), MzX(b.x), MzY(b.y), m);
    }
    ScratchPop(rec);
}

int32_t hopGapIndex(const Conn* image, int32_t h) {
    const MzGoal& g = *Goal();
    const int32_t c = g.hopCrn[h];
    auto* db = static_cast<Conn*>(ScratchPush());
    ConnGet(ObjEntry(g.hopObj[h])->index, db);
    const int32_t count = image->head.count, dbCount = db->head.count;
    int32_t result = -1;
    if (c >= 0 && c + 1 < dbCount)
        for (int32_t i = 0; i + 1 < count && result < 0; ++i)
            if (SamePoint(image->crn[i], db->crn[c]) &&
                SamePoint(image->crn[i + 1], db->crn[c + 1]))
                result = i;
    for (int32_t i = 0; i + 1 < count && result < 0; ++i) {
        const Crn &a = image->crn[i], &b = image->crn[i + 1];
        if (a.layer != 0 || !MzClipSeg(a.x, a.y, b.x, b.y, 0)) continue;
        bool known = false;
        for (int32_t j = 0; j + 1 < dbCount && !known; ++j)
            known =
                db->crn[j].layer == 0 && SamePoint(db->crn[j], a) && SamePoint(db->crn[j + 1], b);
        if (!known) result = i;
    }
    ScratchPop(db);
    return result;
}
