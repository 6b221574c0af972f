// The Map Test option's consistency check: every routed segment of a
// connection of the loaded window, on a layer the sweep routes and its net
// may use, must be found in the object map at its midpoint (as the
// connection's own entry, its net, or the board edge). A connection that
// fails is written to the activity log with its first failing corner; the
// check never changes the map.
#include <algorithm>
#include <cstdio>

#include "db/conns.h"
#include "db/db.h"
#include "db/dblog.h"
#include "db/nets.h"
#include "db/pool.h"
#include "router/installpath.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/objvalidate.h"

namespace {

enum : int32_t { kMapTestLine = 160 };

bool RoutedLayer(int32_t layer, const Net* net) {
    const LayerRec* r = LayerRecOf(layer);
    return layer != 0 && r && r->enabled && (!net || NetAllowsLayer(net, layer));
}

bool InExtent(int32_t x, int32_t y) {
    const MzBox& b = g_mzGrid.extent;
    return x >= b.minX && x <= b.maxX && y >= b.minY && y <= b.maxY;
}

// Whether the map cell of (x, y) on the layer names the entry, its net or
// the edge; a cell holding more than a list can show is not reported.
bool CellHolds(int32_t x, int32_t y, int32_t layer, int32_t entry, int32_t net, ObjList* list) {
    MapCellObjects(x, y, layer, list);
    if (list->truncated) return true;
    for (int32_t i = 0; i < list->count; ++i) {
        const int32_t e = list->entry[i];
        if (e == entry || e == kObjEdgeEntry || (net > 0 && e == -net)) return true;
    }
    return false;
}

// The first routed segment of the record missing from the map, -1 none.
int32_t FirstMissing(int32_t entry, const Conn* rec, ObjList* list, int32_t* mx, int32_t* my) {
    const int32_t net = rec->head.net;
    const Net* n = net >= 1 && net <= NetCount() ? NetRef(net) : nullptr;
    for (int32_t i = 0; i + 1 < rec->head.count; ++i) {
        const Crn &a = rec->crn[i], &b = rec->crn[i + 1];
        if (!RoutedLayer(a.layer, n)) continue;
        const int32_t x = int32_t((int64_t(a.x) + b.x) / 2), y = int32_t((int64_t(a.y) + b.y) / 2);
        if (!InExtent(x, y) || CellHolds(x, y, a.layer, entry, net, list)) continue;
        *mx = x;
        *my = y;
        return i;
    }
    return -1;
}

} // namespace

void mapTest() {
    if (!g_windowLoaded || !MapReady()) return;
    if (g_verbose) DebugPrint("mapTest: checking the object map");
    auto* rec = static_cast<Conn*>(ScratchPush());
    auto* list = static_cast<ObjList*>(ScratchPush());
    for (int32_t n = ObjFirstConn(); n <= ObjLastConn(); ++n) {
        const MapObj& o = *ObjEntry(n);
        if (o.type != kObjConn) continue;
        ConnReadJournal(o.index, rec);
        int32_t x = 0, y = 0;
        const int32_t i = FirstMissing(n, rec, list, &x, &y);
        if (i < 0) continue;
        char text[kMapTestLine];
        std::snprintf(text, sizeof text, "mapTest: conn %d, %d corners, net %d", int(o.index),
                      int(rec->head.count), int(rec->head.net));
        LogWrite(text);
        char xs[kMapTestLine / 4], ys[kMapTestLine / 4];
        std::snprintf(xs, sizeof xs, "%s", CoordText(x));
        std::snprintf(ys, sizeof ys, "%s", CoordText(y));
        std::snprintf(text, sizeof text, "mapTest: error at crn %d [%s,%s]L%d", int(i), xs, ys,
                      int(rec->crn[i].layer));
        LogAppend("*** Warning:", text);
    }
    ScratchPop(list);
    ScratchPop(rec);
}
