// The object map's storage, cell conversion, cells and refill. Cells are
// reached through a row table indexed by row x layer count + layer - 1;
// rows of layers that are not routable stay null. Adding checks the entry
// against 2..count, removing and querying against 1..count. A cell whose
// three slots are taken spills into an overflow list rather than merging
// objects into net references (a net reference would bring every object of
// its net into each query and overrun the object lists on a big net), so no
// object is ever dropped from the map and a query yields only the objects
// of the cells it covers.
#include "router/objmap.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "db/dbheader.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "router/gather.h"
#include "router/layertab.h"
#include "router/mapspill.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/mzinit.h"
#include "router/objtable.h"
#include "router/viamap.h"

namespace {

enum : ErrCode {
    kErrRowAlloc = 2161010,
    kErrAddEntry = 2161020,
    kErrRemoveEntry = 2161021,
    kErrLayer = 2161022,
    kErrQueryLayer = 2161023,
};

struct MapState {
    std::vector<int16_t*> rows;
    int32_t layers = 0;
    int32_t nx = 0, ny = 0;
    int32_t c = 1, half = 0; // cell size and half cell
    int32_t ox = 0, oy = 0;
};
MapState s;

int32_t DbLayerCount() {
    return std::clamp<int32_t>(DbHdr().layerCount, 0, kMaxLayers);
}

void Geometry() {
    s.c = std::max<int32_t>(1, g_mzGrid.g);
    s.half = s.c / 2;
    s.ox = g_mzGrid.ox;
    s.oy = g_mzGrid.oy;
}

int32_t Clamp(int64_t v, int32_t hi) {
    return int32_t(std::clamp<int64_t>(v, 0, hi));
}

bool Shadowed(int32_t layer) {
    return MazeActive() && g_maze.rows && g_maze.rows[0] && layer >= 1 && layer < kMaxLayers &&
           g_maze.mazeIndex[layer];
}

void CheckLayer(int32_t layer) {
    if (layer < 0 || layer > s.layers) ErrReport(kErrLayer, layer);
}

// Checks the layer and clamps the ranges to the map; false when empty.
bool ClampRange(int32_t layer, int32_t* c1, int32_t* c2, int32_t* r1, int32_t* r2) {
    CheckLayer(layer);
    *c1 = std::max(*c1, 0);
    *r1 = std::max(*r1, 0);
    *c2 = std::min(*c2, s.nx);
    *r2 = std::min(*r2, s.ny);
    return *c1 <= *c2 && *r1 <= *r2;
}

int32_t NetOf(int32_t entry) {
    return ObjEntry(entry)->net;
}

// The merged reference that covers an entry of net n (0: none).
int16_t Cover(int32_t n) {
    return n > 0 ? int16_t(-n) : int16_t(0);
}

// Moves the cell's content into an overflow list and adds the entry there.
void Spill(int16_t* slots, int32_t entry, int32_t n) {
    const int32_t head = SpillOpen(slots);
    SpillPut(head, int16_t(entry), Cover(n));
    slots[0] = kMapSpillTag;
    slots[1] = int16_t(uint16_t(uint32_t(head) & 0xFFFFu));
    slots[2] = int16_t(uint16_t(uint32_t(head) >> 16));
}

// Takes the entry out of a spilled cell; a list left with no more than the
// slots hold goes back into them, the edge in slot 0.
void SpillRemove(int16_t* slots, int32_t entry) {
    const int32_t head = MapCellSpillHead(slots);
    const int32_t left = SpillTake(head, int16_t(entry));
    if (left < 0 || left > kMapCellSlots) return;
    int16_t back[kMapCellSlots] = {0, 0, 0};
    SpillValues(head, back, kMapCellSlots);
    SpillFree(head);
    for (int32_t j = 0; j < kMapCellSlots; ++j)
        slots[j] = back[j];
}

// Appends a cell value to a list; a full list is marked truncated.
void ListCellValue(ObjList* list, int16_t v) {
    if (list->count >= kObjListMax) {
        list->truncated = 1; // the cell's values as they stand: no edge is written
        return;
    }
    list->entry[list->count++] = v;
}

} // namespace

int32_t MapAlloc() {
    MapForget();
    Geometry();
    s.nx = g_mzGrid.nx;
    s.ny = g_mzGrid.ny;
    s.layers = DbLayerCount();
    const int32_t cols = s.nx + 1, rows = s.ny + 1;
    if (int64_t(rows) * s.layers * kMapPtrBytes >= kMapPtrLimit) return 0;
    if (cols >= kMapMaxColumns) return 0;
    int32_t pool = MzZonePool(1);
    if (!pool) return 0;
    s.rows.assign(size_t(rows) * size_t(s.layers), nullptr);
    for (int32_t l = 1; l <= s.layers; ++l) {
        if (!LayerRoutable(l)) continue;
        for (int32_t j = 0; j < rows; ++j) {
            auto* row = static_cast<int16_t*>(PoolAlloc(cols * kMapCellBytes, pool, kErrRowAlloc));
            if (!row) {
                MapForget();
                return 0;
            }
            std::memset(row, 0, size_t(cols) * kMapCellBytes);
            s.rows[size_t(j) * s.layers + (l - 1)] = row;
        }
    }
    return 1;
}

void MapForget() {
    s = MapState{};
    SpillReset();
}

int32_t MapReady() {
    return s.rows.empty() ? 0 : 1;
}

int32_t MapNx() {
    return s.nx;
}
int32_t MapNy() {
    return s.ny;
}

int16_t* MapCell(int32_t column, int32_t row, int32_t layer) {
    int16_t* r = s.rows[size_t(row) * s.layers + (layer - 1)];
    return r ? r + kMapCellSlots * column : nullptr;
}

int32_t MapColLo(int32_t x) {
    return Clamp((int64_t(x) - s.ox + s.half) / s.c, s.nx);
}
int32_t MapColHi(int32_t x) {
    return Clamp((int64_t(x) - s.ox + s.half - 1) / s.c, s.nx);
}
int32_t MapRowLo(int32_t y) {
    return Clamp((int64_t(y) - s.oy + s.half) / s.c, s.ny);
}
int32_t MapRowHi(int32_t y) {
    return Clamp((int64_t(y) - s.oy + s.half - 1) / s.c, s.ny);
}

int32_t MapCellSize() {
    return s.c;
}
int32_t MapRowY(int32_t row) {
    return s.oy + row * s.c;
}
int32_t MapLayerCount() {
    return s.layers;
}

int32_t MapBoxOffMap(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    return (x1 - s.ox + s.half < 0 || y1 - s.oy + s.half < 0 ||
            (x2 - s.ox + s.half - 1) / s.c > s.nx || (y2 - s.oy + s.half - 1) / s.c > s.ny)
               ? 1
               : 0;
}

void MapCellAdd(int16_t* slots, int32_t entry) {
    const int32_t n = NetOf(entry);
    if (MapCellSpilled(slots)) {
        SpillPut(MapCellSpillHead(slots), int16_t(entry), Cover(n));
        return;
    }
    for (int32_t j = 0; j < kMapCellSlots; ++j)
        if (slots[j] == entry || (n > 0 && slots[j] == -n)) return;
    for (int32_t j = 0; j < kMapCellSlots; ++j)
        if (slots[j] == 0) {
            slots[j] = int16_t(entry);
            return;
        }
    Spill(slots, entry, n);
}

void MapCellRect(int32_t entry, int32_t c1, int32_t c2, int32_t r1, int32_t r2, int32_t layer) {
    if (entry < 2 || entry > ObjCount()) ErrReport(kErrAddEntry, entry);
    if (!ClampRange(layer, &c1, &c2, &r1, &r2)) return;
    for (int32_t l = layer ? layer : 1; l <= (layer ? layer : s.layers); ++l) {
        if (!LayerRoutable(l)) continue;
        for (int32_t r = r1; r <= r2; ++r) {
            int16_t* row = s.rows[size_t(r) * s.layers + (l - 1)];
            if (!row) continue;
            for (int32_t c = c1; c <= c2; ++c)
                MapCellAdd(row + kMapCellSlots * c, entry);
        }
    }
}

void MapCellRectRemove(int32_t entry, int32_t c1, int32_t c2, int32_t r1, int32_t r2,
                       int32_t layer) {
    if (entry < 1 || entry > ObjCount()) ErrReport(kErrRemoveEntry, entry);
    if (!ClampRange(layer, &c1, &c2, &r1, &r2)) return;
    for (int32_t l = layer ? layer : 1; l <= (layer ? layer : s.layers); ++l) {
        if (!LayerRoutable(l)) continue;
        const bool shadow = Shadowed(l);
        for (int32_t r = r1; r <= r2; ++r) {
            int16_t* row = s.rows[size_t(r) * s.layers + (l - 1)];
            if (!row) continue;
            for (int32_t c = c1; c <= c2; ++c) {
                int16_t* cell = row + kMapCellSlots * c;
                bool hit = false;
                if (MapCellSpilled(cell)) {
                    SpillRemove(cell, entry);
                    hit = !MapCellSpilled(cell);
                } else {
                    for (int32_t j = 0; j < kMapCellSlots; ++j)
                        if (cell[j] == entry) {
                            cell[j] = 0;
                            hit = true;
                        }
                }
                if (hit && shadow && !cell[0] && !cell[1] && !cell[2])
                    MazeUnmarkRect(std::max(2 * c - 1, 0), std::max(2 * r - 1, 0),
                                   std::min(2 * c + 1, g_mzGrid.w - 1),
                                   std::min(2 * r + 1, g_mzGrid.r - 1), l);
            }
        }
    }
}

void MapCellObjects(int32_t x, int32_t y, int32_t layer, ObjList* list) {
    list->count = 0;
    list->truncated = 0;
    if (layer < 1 || layer > s.layers) ErrReport(kErrQueryLayer, layer);
    if (int64_t(x) - s.ox + s.half < 0 || int64_t(y) - s.oy + s.half < 0) return;
    int64_t c = (int64_t(x) - s.ox + s.half) / s.c, r = (int64_t(y) - s.oy + s.half) / s.c;
    if (c > s.nx || r > s.ny) return;
    const int16_t* cell = MapCell(int32_t(c), int32_t(r), layer);
    if (!cell) return;
    MapCellEach(cell, [&](int16_t v) { ListCellValue(list, v); });
}

void ObjListAdd(ObjList* list, int32_t entry) {
    for (int32_t i = 0; i < list->count; ++i)
        if (list->entry[i] == entry) return;
    if (list->count >= kObjListMax) {
        ObjListTruncate(list);
        return;
    }
    list->entry[list->count++] = int16_t(entry);
}

void ObjListTruncate(ObjList* list) {
    if (g_verbose) WarnPrint("Too many collisions");
    list->entry[0] = kObjEdgeEntry;
    list->truncated = 1;
}

int32_t MapAll() {
    DebugSink("MapAll: Starting");
    Geometry();
    if (MazeActive()) MazeBorder();
    ViaMapClear();
    SpillReset();
    const int32_t cols = s.nx + 1;
    for (int32_t l = 1; l <= s.layers; ++l) {
        if (!LayerRoutable(l)) continue;
        for (int32_t r = 0; r <= s.ny; ++r) {
            int16_t* row = s.rows[size_t(r) * s.layers + (l - 1)];
            if (!row) continue;
            std::memset(row, 0, size_t(cols) * kMapCellBytes);
            row[0] = kObjEdgeEntry;
            row[kMapCellSlots * s.nx] = kObjEdgeEntry;
            if (r == 0 || r == s.ny)
                for (int32_t c = 0; c < cols; ++c)
                    row[kMapCellSlots * c] = kObjEdgeEntry;
        }
    }
    if (UserAbort()) return 0;
    if (g_verbose) DebugPrint("Mapping components");
    if (!MapAllComps() || UserAbort()) return 0;
    if (g_verbose) DebugPrint("Mapping via block areas");
    if (!ViaMapBlockAreas() || UserAbort()) return 0;
    if (g_verbose) DebugPrint("Mapping connections");
    if (!MapAllConns()) return 0;
    if (g_verbose) DebugPrint("Mapping obstacles");
    if (!MapAllObstacles() || UserAbort()) return 0;
    DebugSink("MapAll: Finished");
    return 1;
}

void ObjMapTestReset() {
    GatherSetShovePaths(nullptr, nullptr);
    MapForget();
    ViaForget();
    ObsMapTestReset();
}
