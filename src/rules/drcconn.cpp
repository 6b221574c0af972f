// The connection rule check's driver: argument checks, the end and jumper
// tests, the gathering of neighbours from the object map, the via-site
// pass and the object pass. The neighbours are gathered into one scratch
// record by the map's cell queries (no table is scanned); an arc is taken
// as an arc only when its three corners are Locked, otherwise its segments
// are gathered and measured straight. A gathered list that ran out of
// room names not every neighbour: the range is then blocked in every mode
// (marked in the maze in mode 2) and the activity log says so.
#include "rules/drcconn.h"

#include <algorithm>
#include <cstdio>

#include "db/attrs.h"
#include "db/dblog.h"
#include "db/layers.h"
#include "router/connnorm.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/viamap.h"
#include "rules/drcerror.h"

namespace {

enum : int32_t {
    kSpacingKindsMeasured = 3, // kinds 0 segment, 1 pad, 2 via
    kSpacingClassesMeasured = 3,
    kTruncatedLine = 96,
};

// The largest clearance of the layer: how far beyond its copper a
// neighbour may still matter.
int32_t Reach(int32_t layer) {
    int32_t c = 0;
    for (int32_t cls = 0; cls < kSpacingClassesMeasured; ++cls)
        for (int32_t k = 0; k < kSpacingKindsMeasured; ++k)
            c = std::max(c, LayerSpacing(layer, k, nullptr, cls));
    return c;
}

bool MapLayer(int32_t layer) {
    return layer >= 1 && layer <= MapLayerCount() && LayerRoutable(layer);
}

void Gather(const Conn* conn, int32_t first, int32_t last, ObjList* list) {
    ObjListClear(list);
    for (int32_t i = first; i <= last; ++i) {
        const Crn& c = conn->crn[i];
        if (!c.via) continue;
        for (int32_t l = 1; l <= MapLayerCount(); ++l) {
            if (!MapLayer(l)) continue;
            const int32_t code = ViaPadCode(c.via, l);
            if (!code) continue;
            if (PadIsRound(code)) {
                MapSegObjects(c.x, c.y, c.x, c.y, l, ViaPadRadius(c.via, l) + Reach(l), list);
            } else {
                int32_t b[4];
                ViaPadBox(c.via, l, c.x, c.y, b);
                MapBoxObjects(b[0], b[1], b[2], b[3], l, Reach(l), list);
            }
        }
    }
    for (int32_t i = first; i < last; ++i) {
        const Crn &a = conn->crn[i], &b = conn->crn[i + 1];
        const bool arc = DrcIsArc(conn, i);
        if (MapLayer(a.layer)) {
            const int32_t reach = HalfWidth(a) + Reach(a.layer);
            if (arc) {
                ArcSpec spec;
                ConnArcGet(i, conn, &spec);
                MapArcObjects(&spec, a.layer, reach, list);
            } else {
                MapSegObjects(a.x, a.y, b.x, b.y, a.layer, reach, list);
            }
        }
        if (arc) ++i;
    }
}

// A via on a blocked via-map cell stands on its own net's copper: some
// gathered obstacle of the net touches it or holds it. Measured in mode 1
// so that nothing is recorded.
bool ViaExcused(const Conn* conn, int32_t i, const ObjList* list, int32_t net) {
    if (net == 0 || (NetFlagsOf(net) & kNetNoShare)) return false;
    const int16_t mode = DrcMode;
    DrcMode = kDrcFail;
    bool excused = false;
    for (int32_t j = list->count - 1; j >= 0 && !excused; --j) {
        const int32_t k = list->entry[j];
        if (k < 1) continue;
        const MapObj* o = ObjEntry(k);
        if (o->type != kObjObstacle || o->net != net) continue;
        excused = !DrcConnVsObstacle(conn, i, i, k) || DrcViaInObstacle(conn, i, o->index, o->link);
    }
    DrcMode = mode;
    return excused;
}

bool ViaSiteOk(const Conn* conn, int32_t i, const ObjList* list, int32_t entry) {
    const Crn& c = conn->crn[i];
    const int32_t net = conn->head.net;
    if (NetFlagsOf(net) & kNetAttr7) {
        Attribute a;
        return AttrFind(kAttrViaListed, kAttrKeyNet, net, c.via, &a) && a.key2Type == kAttrKeyThru;
    }
    if (c.via > ViaMapTypes()) return true;
    if (!(ViaMapGet(MzX(c.x), MzY(c.y), c.via) & kViaFillBits)) return true;
    DrcSpacingClass = 2;
    DrcCurrentObject = entry;
    return ViaExcused(conn, i, list, net);
}

// A range whose neighbours did not all fit the list: logged, and in mode 2
// every segment and via of it is marked in the maze as the rule marks do.
void Truncated(int32_t index, const Conn* conn, int32_t first, int32_t last, int16_t mode) {
    char text[kTruncatedLine];
    std::snprintf(text, sizeof text, "Too many collisions: connection %d, corners %d to %d blocked",
                  int(index), int(first), int(last));
    LogAppend("*** Warning:", text);
    if (g_verbose) DebugPrint("%s", text);
    if (mode != kDrcMarkMaze) return;
    for (int32_t i = first; i <= last; ++i) {
        const Crn& c = conn->crn[i];
        if (c.via)
            for (int32_t l = 1; l <= MapLayerCount(); ++l) {
                if (!MapLayer(l) || !ViaPadCode(c.via, l)) continue;
                const int32_t r = ViaPadRadius(c.via, l) + Reach(l);
                DrcMarkMaze(c.x - r, c.y - r, c.x + r, c.y + r, l);
            }
        if (i == last || !MapLayer(c.layer)) continue;
        const int32_t ax = c.x, ay = c.y, bx = conn->crn[i + 1].x, by = conn->crn[i + 1].y;
        const int32_t r = HalfWidth(c) + Reach(c.layer);
        DrcMarkMaze(std::min(ax, bx) - r, std::min(ay, by) - r, std::max(ax, bx) + r,
                    std::max(ay, by) + r, c.layer);
    }
}

bool SameNetPasses(int32_t objNet, int32_t net) {
    return net != 0 && objNet == net && !(NetFlagsOf(net) & kNetNoShare);
}

} // namespace

int32_t DrcCheckConnRules(int32_t entry, const Conn* conn, int32_t first, int32_t last) {
    if (first < 0) ErrReport(kErrDrcFirstCorner, first);
    if (last < first || last > conn->head.count - 1) ErrReport(kErrDrcLastCorner, last);
    const int16_t mode = DrcMode;
    if (mode < kDrcRecord || mode > kDrcCount) ErrReport(kErrDrcMode, mode);
    const bool ready = ObjTableValid() && MapReady();
    const int32_t index =
        ready && entry >= 1 && entry < ObjCount() + 1 ? ObjEntry(entry)->index : 0;
    int32_t result = 1;
    DrcCurrentObject = entry;
    if (mode == kDrcRecord || mode == kDrcCount) DrcCurrentError = DrcError{};
    DrcCurrentError.object = index;
    DrcCurrentError.objectType = kErrObjConn;
    if (mode == kDrcFail || mode == kDrcMarkMaze) {
        if (!DrcConnEnds(index, conn, first, last, kDrcEndLayerTest)) {
            if (mode == kDrcFail) return 0;
            result = 0;
        }
    }
    if (BoardHasJumperLayer() && !DrcJumperCheck(conn, first, last)) {
        if (mode != kDrcMarkMaze) return 0;
        result = 0;
    }
    if (!ready) return result;
    ScratchRecord<ObjList> list;
    Gather(conn, first, last, list.get());
    if (list->truncated) {
        Truncated(index, conn, first, last, mode);
        return 0;
    }
    const int32_t net = conn->head.net;
    for (int32_t i = first; i <= last; ++i) {
        if (!conn->crn[i].via || ViaSiteOk(conn, i, list.get(), entry)) continue;
        if (mode == kDrcFail || mode == kDrcMarkMaze) return 0;
    }
    if (result == 0 && mode != kDrcMarkMaze) return 0;
    for (int32_t j = list->count - 1; j >= 0; --j) {
        const int32_t k = list->entry[j];
        if (k < 1) ErrReport(kErrDrcGathered, k);
        const MapObj* o = ObjEntry(k);
        int32_t ok = 1;
        switch (o->type) {
        case kObjPad:
            DrcSpacingClass = 1;
            DrcCurrentObject = k;
            if (!SameNetPasses(o->net, net)) ok = DrcConnVsPad(conn, first, last, k);
            break;
        case kObjConn:
            if (k == entry) break;
            DrcSpacingClass = 0;
            DrcCurrentObject = entry;
            ok = DrcConnVsConn(conn, first, last, k);
            break;
        case kObjObstacle:
            DrcSpacingClass = 0;
            DrcCurrentObject = k;
            if (!SameNetPasses(o->net, net)) ok = DrcConnVsObstacle(conn, first, last, k);
            break;
        case kObjEdge:
            ok = mode == kDrcFail ? 0 : 1;
            break;
        case kObjText: // board texts take no part in the rule check
            break;
        default:
            ErrReport(kErrDrcObjType, o->type);
        }
        if (!ok) {
            if (mode != kDrcMarkMaze) return 0;
            result = 0;
        }
    }
    return result;
}
