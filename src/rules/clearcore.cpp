// The shared pieces of the via, jumper and stitch clearing: readings of
// the router's goal, grid and layer table, the usable-band test, the cell
// marker and the bounded corner appends. Every reading answers a neutral
// value while the router holds no goal.
#include "rules/clearcore.h"

#include <algorithm>

#include "db/conns.h"
#include "db/dbheader.h"
#include "db/layers.h"
#include "db/shellsvc.h"
#include "router/layertab.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objtable.h"
#include "router/urstate.h"
#include "rules/viaclear.h"

namespace {
enum : int32_t { kPassLastIndex = 4 };
} // namespace

int32_t ClearEntry() {
    const MzGoal* g = Goal();
    if (!g || g->objIndex < 1 || g->objIndex > ObjCount()) return 0;
    return g->objIndex;
}

bool ClearForceFast() {
    const MzGoal* g = Goal();
    return g && g->forceFast;
}

bool ClearFastRun() {
    const MzGoal* g = Goal();
    const int32_t pass = g ? std::clamp<int32_t>(g->pass, 0, kPassLastIndex) : 0;
    return (CurSweep().passFlags[pass] & kPassFastFlag) || ClearForceFast();
}

int32_t ClearGrid() {
    return std::max(g_mzGrid.g, 1);
}

int32_t ClearHalfGrid() {
    return std::max(g_mzGrid.g / 2, 1);
}

int32_t ClearViaGrid() {
    return std::max(DbHdr().fourthGrid, 0);
}

bool ViaSearchLayer(int32_t layer) {
    const LayerRec* r = LayerRecOf(layer);
    if (!r || layer < 1 || layer > LayerCount()) return false;
    return r->mazeIndex != 0 && !(r->flags & kLayerNotRoutable);
}

int32_t ClearSpacing(int32_t layer, int32_t kind) {
    if (!LayerRecOf(layer)) return 0;
    return LayerSpacing(layer, kind, nullptr, 0);
}

bool InUsableBand(int32_t mx, int32_t my) {
    return mx >= kClearBorderCells && mx <= g_mzGrid.w - 1 - kClearBorderCells &&
           my >= kClearBorderCells && my <= g_mzGrid.r - 1 - kClearBorderCells;
}

void ClearMarkCell(int32_t mx, int32_t my, int32_t layer, int32_t code) {
    if (!MazeActive() || !g_maze.rows || layer < 1 || layer > kMaxLayers) return;
    const int32_t m = LayerMazeIndex(layer);
    if (m == 0 || !InUsableBand(mx, my)) return;
    uint8_t* cell = MazeCellPtr(mx, my, m);
    const uint8_t now = *cell & kCellCodeMask;
    if (now == kCellTempMark || now == kCellBlocked || now == kCellBorder) return;
    if (now == kCellRuleMark && code == kCellRuleMark) return;
    if (now == kCellSeedMove && code == kCellRuleMark) return;
    *cell = uint8_t((*cell & ~kCellCodeMask) | code);
}

int32_t ClearAppend(Conn* conn, const Crn& c) {
    if (conn->head.count >= kClearCornerLimit) return 0;
    conn->crn[conn->head.count++] = c;
    return 1;
}

int32_t ClearInsert(Conn* conn, int32_t a, int32_t k) {
    if (conn->head.count + k > kClearCornerLimit) return 0;
    CrnInsert(conn, a, k);
    return 1;
}

Crn ClearCorner(int32_t x, int32_t y, int32_t layer, int32_t width, int32_t flags, int32_t via) {
    Crn c{};
    c.x = x;
    c.y = y;
    c.layer = uint8_t(layer);
    c.width = uint16_t(width);
    c.flags = uint8_t(flags);
    c.via = uint8_t(via);
    return c;
}

int32_t ClearFloorDiv(int32_t v, int32_t step) {
    const int32_t q = v / step;
    return (v % step != 0 && v < 0) ? q - 1 : q;
}
