// Queries of the object map: every object of the cells under a widened box,
// a diagonal band, a segment or an arc. A merged net reference brings in
// every entry of that net from the object table's per-net list, a spilled
// cell brings in its whole overflow list, and a box that runs off the map
// brings in the edge. Duplicates are kept out by a generation stamp per
// entry, so a query costs one pass over its cells and allocates nothing.
// An entry that finds the list full marks it truncated (the edge in entry
// 0) once; the rest of the query adds nothing more.
#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "router/mapdiag.h"
#include "router/objmap.h"
#include "router/objtable.h"

namespace {

enum : ErrCode { kErrQueryLayer = 2161030 };

uint32_t s_seen[kObjEntries];
uint32_t s_gen = 0;

// Appends to a list, skipping entries already in it.
struct Collector {
    ObjList* list;
    bool full = false;
    explicit Collector(ObjList* l) : list(l) {
        if (++s_gen == 0) {
            std::fill(std::begin(s_seen), std::end(s_seen), 0u);
            s_gen = 1;
        }
        for (int32_t i = 0; i < list->count; ++i)
            if (list->entry[i] > 0) s_seen[list->entry[i]] = s_gen;
    }
    void Add(int32_t e) {
        if (e <= 0 || e >= kObjEntries || s_seen[e] == s_gen) return;
        s_seen[e] = s_gen;
        if (list->count >= kObjListMax) {
            if (!full) ObjListTruncate(list); // once a query: the list now reads as blocked
            full = true;
            return;
        }
        list->entry[list->count++] = int16_t(e);
    }
    void Slot(int16_t v) {
        if (v > 0) {
            Add(v);
        } else if (v < 0) {
            int32_t n;
            const int16_t* entries = ObjNetEntries(-v, &n);
            for (int32_t i = 0; i < n; ++i)
                Add(entries[i]);
        }
    }
    void Cells(int32_t c1, int32_t c2, int32_t r1, int32_t r2, int32_t layer) {
        c1 = std::max(c1, 0);
        r1 = std::max(r1, 0);
        c2 = std::min(c2, MapNx());
        r2 = std::min(r2, MapNy());
        for (int32_t r = r1; r <= r2; ++r) {
            const int16_t* cell = c1 <= c2 ? MapCell(c1, r, layer) : nullptr;
            if (!cell) continue;
            for (int32_t c = c1; c <= c2; ++c, cell += kMapCellSlots)
                MapCellEach(cell, [this](int16_t v) { Slot(v); });
        }
    }
};

void CheckLayer(int32_t layer) {
    if (layer < 1 || layer > MapLayerCount()) ErrReport(kErrQueryLayer, layer);
}

struct Widened {
    int64_t a, b, c, d;
};

Widened Widen(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t clearance) {
    return Widened{int64_t(std::min(x1, x2)) - clearance, int64_t(std::min(y1, y2)) - clearance,
                   int64_t(std::max(x1, x2)) + clearance, int64_t(std::max(y1, y2)) + clearance};
}

int32_t Narrow(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

void MapBoxObjects(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer, int32_t clearance,
                   ObjList* list) {
    CheckLayer(layer);
    Collector k(list);
    const Widened w = Widen(x1, y1, x2, y2, clearance);
    if (MapBoxOffMap(w.a, w.b, w.c, w.d)) k.Add(kObjEdgeEntry);
    k.Cells(MapColLo(Narrow(w.a)), MapColHi(Narrow(w.c)), MapRowLo(Narrow(w.b)),
            MapRowHi(Narrow(w.d)), layer);
}

void MapDiagObjects(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer,
                    int32_t clearance, ObjList* list) {
    CheckLayer(layer);
    Collector k(list);
    const Widened w = Widen(x1, y1, x2, y2, clearance);
    if (MapBoxOffMap(w.a, w.b, w.c, w.d)) k.Add(kObjEdgeEntry);
    MapDiagBand(x1, y1, x2, y2, clearance,
                [&](int32_t c1, int32_t c2, int32_t r) { k.Cells(c1, c2, r, r, layer); });
}

void MapSegObjects(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer, int32_t clearance,
                   ObjList* list) {
    const int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    if (dx != 0 && std::llabs(dx) == std::llabs(dy))
        MapDiagObjects(x1, y1, x2, y2, layer, clearance, list);
    else
        MapBoxObjects(x1, y1, x2, y2, layer, clearance, list);
}

void MapArcObjects(const ArcSpec* arc, int32_t layer, int32_t clearance, ObjList* list) {
    int32_t x1, y1, x2, y2;
    ArcBox(arc, &x1, &y1, &x2, &y2);
    MapBoxObjects(x1, y1, x2, y2, layer, clearance, list);
}
