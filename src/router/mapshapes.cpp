// Shapes entered into the object map: boxes, round-ended segments (a box
// for points and axis-parallel runs, a diagonal band at 45 degrees, a
// Bresenham walk of cell squares otherwise), arcs by their box, and via
// pads. Each shape first marks the maze shadow, then the cells; unmapping
// clears the entry over the shape's widened box.
#include <algorithm>
#include <cstdlib>

#include "db/thru.h"
#include "router/layertab.h"
#include "router/maze.h"
#include "router/mapdiag.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/viamap.h"

namespace {

enum : int32_t {
    kSlantMargin = 3, // cells a slanted segment's mapping may reach past its widened box
};

bool MissesExtent(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    const MzBox& e = g_mzGrid.extent;
    return x2 < e.minX || x1 > e.maxX || y2 < e.minY || y1 > e.maxY;
}

int32_t NetOf(int32_t entry) {
    return ObjEntry(entry)->net;
}

void CellBox(int32_t entry, int64_t x1, int64_t y1, int64_t x2, int64_t y2, int32_t layer,
             bool remove) {
    auto lo = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    int32_t c1 = MapColLo(lo(x1)), c2 = MapColHi(lo(x2));
    int32_t r1 = MapRowLo(lo(y1)), r2 = MapRowHi(lo(y2));
    if (remove)
        MapCellRectRemove(entry, c1, c2, r1, r2, layer);
    else
        MapCellRect(entry, c1, c2, r1, r2, layer);
}

// The layers a shape loops over: the one given (when routable) or all.
template <typename F> void EachLayer(int32_t layer, F f) {
    if (layer) {
        if (LayerRoutable(layer)) f(layer);
        return;
    }
    for (int32_t l = 1; l <= MapLayerCount(); ++l)
        if (LayerRoutable(l)) f(l);
}

void MapLine(int32_t entry, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer,
             int32_t halfWidth) {
    if (x2 < x1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    int32_t c0 = MapColLo(x1), c1 = MapColHi(x2);
    int32_t r0, r1;
    if (y1 <= y2) {
        r0 = MapRowLo(y1);
        r1 = MapRowHi(y2);
    } else {
        r0 = MapRowHi(y1);
        r1 = MapRowLo(y2);
    }
    const int32_t k = halfWidth / MapCellSize() + 1;
    const int32_t dc = std::abs(c1 - c0), dr = std::abs(r1 - r0);
    const int32_t sc = c1 >= c0 ? 1 : -1, sr = r1 >= r0 ? 1 : -1;
    const bool alongY = dr >= dc;
    const int32_t major = alongY ? dr : dc, minor = alongY ? dc : dr;
    int32_t c = c0, r = r0, err = 0;
    for (int32_t i = 0; i <= major; ++i) {
        MapCellRect(entry, c - k, c + k, r - k, r + k, layer);
        if (i == major) break;
        err += minor;
        if (err > major) {
            err -= major;
            if (alongY)
                c += sc;
            else
                r += sr;
        }
        if (alongY)
            r += sr;
        else
            c += sc;
    }
}

} // namespace

void MapRectShape(int32_t entry, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer,
                  int32_t clearance, int32_t mode) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    const int64_t a = int64_t(x1) - clearance, b = int64_t(y1) - clearance;
    const int64_t c = int64_t(x2) + clearance, d = int64_t(y2) + clearance;
    if (MissesExtent(a, b, c, d)) return;
    EachLayer(layer, [&](int32_t l) {
        if (mode != kMapRemove)
            MazeMarkRoundBox(int32_t(a), int32_t(b), int32_t(c), int32_t(d), l, 0, NetOf(entry));
        CellBox(entry, a, b, c, d, l, mode == kMapRemove);
    });
}

void MapRound(int32_t entry, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer,
              int32_t halfWidth, int32_t mode) {
    const int64_t a = int64_t(std::min(x1, x2)) - halfWidth;
    const int64_t b = int64_t(std::min(y1, y2)) - halfWidth;
    const int64_t c = int64_t(std::max(x1, x2)) + halfWidth;
    const int64_t d = int64_t(std::max(y1, y2)) + halfWidth;
    if (MissesExtent(a, b, c, d)) return;
    const int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    EachLayer(layer, [&](int32_t l) {
        if (mode == kMapRemove) {
            // The diagonal band and the line's cell squares reach past the
            // widened box: the removal covers them too.
            const int64_t k = (dx == 0 || dy == 0) ? 0 : int64_t(MapCellSize()) * kSlantMargin;
            const int64_t m = (dx == 0 || dy == 0) ? 0 : halfWidth / 2;
            CellBox(entry, a - k - m, b - k - m, c + k + m, d + k + m, l, true);
            return;
        }
        MazeMarkSeg(x1, y1, x2, y2, l, halfWidth, mode, NetOf(entry));
        if (dx == 0 || dy == 0)
            CellBox(entry, a, b, c, d, l, false);
        else if (std::llabs(dx) == std::llabs(dy))
            MapDiagBand(x1, y1, x2, y2, halfWidth, [&](int32_t c1, int32_t c2, int32_t r) {
                MapCellRect(entry, c1, c2, r, r, l);
            });
        else
            MapLine(entry, x1, y1, x2, y2, l, halfWidth);
    });
}

void MapArc(int32_t entry, const ArcSpec* arc, int32_t layer, int32_t halfWidth, int32_t mode) {
    int32_t x1, y1, x2, y2;
    ArcBox(arc, &x1, &y1, &x2, &y2);
    MapRectShape(entry, x1, y1, x2, y2, layer, halfWidth, mode);
}

void ViaShapeMap(int32_t viaType, int32_t x, int32_t y, int32_t entry, int32_t mode) {
    for (int32_t l = 1; l <= MapLayerCount(); ++l) {
        if (!LayerRoutable(l)) continue;
        int32_t e[4];
        switch (ViaPadShape(viaType, l, e)) {
        case kPadUndef:
            break;
        case kPadRound:
        case kPadThermal:
        case kPadAnnular:
            MapRound(entry, x, y, x, y, l, e[0], mode);
            break;
        case kPadSquare:
            MapRectShape(entry, x - e[0], y - e[0], x + e[0], y + e[0], l, 0, mode);
            break;
        default:
            MapRectShape(entry, x - e[0], y - e[1], x + e[2], y + e[3], l, 0, mode);
            break;
        }
    }
}
