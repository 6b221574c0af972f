// Mapping obstacles: the net an obstacle stands for, its outline as
// round-ended segments, and the fill of its area row by row in maze
// coordinates (the outside for a Board outline), which also marks the via
// map. The fill works on a copy with room for a closing point, so a stored
// obstacle of 1,000 points is closed without fault.
#include <algorithm>

#include "db/altjournal.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "router/costs.h"
#include "router/gather.h"
#include "router/layertab.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/viamap.h"

namespace {

enum : ErrCode {
    kErrPoolOpen = 2173010,
    kErrNoLayerNoNet = 2173020,
    kErrNoOwner = 2173021,
};

enum : int32_t {
    kFillPoints = kObsMaxPoints + 1, // a stored obstacle and its closing point
    kCrossMid = 1,                   // an edge crossing between its ends
    kCrossLow = 2,                   // at an edge's lower end
    kCrossHigh = 3,                  // at an edge's upper end
};

bool s_poolOpen = false;

struct MzPt {
    int32_t x, y;
};
struct Crossing {
    int32_t x, kind;
};
struct Span {
    int32_t lo, hi;
};

// The fill's working state (one fill at a time).
struct FillState {
    MzPt pt[kFillPoints];
    int32_t n = 0;
    Crossing cross[kFillPoints];
    int32_t nc = 0;
    Span item[kFillPoints];
    int32_t ni = 0;
    uint8_t viaTypes[kViaTypeLimit + 1] = {};
};
FillState f;

bool FillKind(int32_t kind) {
    return kind == kObsCopper || kind == kObsNoVia || kind == kObsBoardOutline ||
           kind == kObsRouteKeepout || kind == kObsShavable;
}

void CrossingAdd(int32_t x, int32_t kind) {
    int32_t at = 0;
    while (at < f.nc && f.cross[at].x < x)
        ++at;
    for (int32_t i = at; i < f.nc && f.cross[i].x == x; ++i)
        if ((kind == kCrossLow && f.cross[i].kind == kCrossHigh) ||
            (kind == kCrossHigh && f.cross[i].kind == kCrossLow))
            return;
    for (int32_t i = f.nc; i > at; --i)
        f.cross[i] = f.cross[i - 1];
    f.cross[at] = Crossing{x, kind};
    ++f.nc;
}

void RowCrossings(int32_t y) {
    f.nc = 0;
    for (int32_t i = 0; i + 1 < f.n; ++i) {
        MzPt a = f.pt[i], b = f.pt[i + 1];
        if (a.y == b.y) continue;
        if (a.y > b.y) std::swap(a, b);
        if (y < a.y || y > b.y) continue;
        if (y == a.y)
            CrossingAdd(a.x, kCrossLow);
        else if (y == b.y)
            CrossingAdd(b.x, kCrossHigh);
        else
            CrossingAdd(int32_t(a.x + int64_t(y - a.y) * (b.x - a.x) / (b.y - a.y)), kCrossMid);
    }
}

// 1 when a horizontal edge of the outline on row y joins x1 and x2.
bool RowEdge(int32_t x1, int32_t x2, int32_t y) {
    for (int32_t i = 0; i + 1 < f.n; ++i) {
        const MzPt a = f.pt[i], b = f.pt[i + 1];
        if (a.y == y && b.y == y && ((a.x == x1 && b.x == x2) || (a.x == x2 && b.x == x1)))
            return true;
    }
    return false;
}

// The crossings of a row, a pair of kinds 2 and 3 joined by a horizontal
// edge taken as one.
void RowItems(int32_t y) {
    f.ni = 0;
    for (int32_t i = 0; i < f.nc;) {
        const Crossing& a = f.cross[i];
        if (i + 1 < f.nc) {
            const Crossing& b = f.cross[i + 1];
            const bool ends = (a.kind == kCrossLow && b.kind == kCrossHigh) ||
                              (a.kind == kCrossHigh && b.kind == kCrossLow);
            if (ends && RowEdge(a.x, b.x, y)) {
                f.item[f.ni++] = Span{a.x, b.x};
                i += 2;
                continue;
            }
        }
        f.item[f.ni++] = Span{a.x, a.x};
        ++i;
    }
}

struct FillJob {
    int32_t entry, layer, kind, mode;
};

void FillSpan(const FillJob& job, int32_t x0, int32_t x1, int32_t y) {
    x0 = std::max(x0, 0);
    x1 = std::min(x1, g_mzGrid.w - 1);
    if (x0 > x1) return;
    for (int32_t t = 1; t <= ViaMapTypes(); ++t)
        if (f.viaTypes[t]) ViaMapMarkRect(x0, y, x1, y, t, kViaFillBits);
    if (job.kind == kObsNoVia) return;
    const int32_t wx0 = MzWorldX(x0), wx1 = MzWorldX(x1), wy = MzWorldY(y);
    MapRectShape(job.entry, wx0, wy, wx1, wy, job.layer, 1, job.mode);
    // The rectangle's shadow falls on whole grid rows only: a span on a
    // half-grid row is marked on its own row too, so the maze sees the
    // whole area and no path runs through it between grid rows.
    if (job.mode != kMapRemove) MazeMarkRow(wx0, wx1, y, job.layer, 0, ObjEntry(job.entry)->net);
    if (job.mode != kMapRemove && ObjEntry(job.entry)->net == 0)
        ObsInheritNet(job.entry, wx0 - 1, wy - 1, wx1 + 1, wy + 1, job.layer);
}

void ObsFill(const FillJob& job, const Obstacle* rec) {
    const int32_t count = std::min<int32_t>(rec->head.count, kObsMaxPoints);
    if (count <= 2) return;
    f.n = 0;
    int32_t lo = INT32_MAX, hi = INT32_MIN;
    for (int32_t i = 0; i < count; ++i) {
        f.pt[f.n++] = MzPt{MzX(rec->pt[i].x), MzY(rec->pt[i].y)};
        lo = std::min(lo, f.pt[f.n - 1].y);
        hi = std::max(hi, f.pt[f.n - 1].y);
    }
    if (rec->pt[count - 1].x != rec->pt[0].x || rec->pt[count - 1].y != rec->pt[0].y)
        f.pt[f.n++] = f.pt[0];
    const int32_t types = std::min<int32_t>(ViaMapTypes(), int32_t(sizeof f.viaTypes) - 1);
    for (int32_t t = 1; t <= types; ++t)
        f.viaTypes[t] = ViaPadSize(t, job.layer) > 0 ? 1 : 0;
    const bool board = job.kind == kObsBoardOutline;
    int32_t y0 = board ? 0 : std::max(lo, 0);
    int32_t y1 = board ? g_mzGrid.r - 1 : std::min(hi, g_mzGrid.r - 1);
    for (int32_t y = y0; y <= y1; ++y) {
        RowCrossings(y);
        RowItems(y);
        if (board) {
            if (f.ni == 0) {
                FillSpan(job, 0, g_mzGrid.w - 1, y);
                continue;
            }
            FillSpan(job, 0, f.item[0].lo - 1, y);
            for (int32_t i = 1; i + 1 < f.ni; i += 2)
                FillSpan(job, f.item[i].hi + 1, f.item[i + 1].lo - 1, y);
            if (f.ni % 2 == 0) FillSpan(job, f.item[f.ni - 1].hi + 1, g_mzGrid.w - 1, y);
            continue;
        }
        for (int32_t i = 0; i < f.ni; i += 2) {
            const Span a = f.item[i];
            const Span b = i + 1 < f.ni ? f.item[i + 1] : a;
            FillSpan(job, a.lo, b.hi, y);
        }
    }
}

void MapLayer(int32_t entry, Obstacle* rec, int32_t layer, int32_t unmap) {
    const int32_t kind = rec->head.kind;
    if (kind >= kObsNull && kind <= kObsCopperPour) return;
    const FillJob job{entry, layer, kind, unmap ? int32_t(kMapRemove) : int32_t(kMapFixed)};
    if (FillKind(kind)) ObsFill(job, rec);
    if (kind == kObsNoVia) return;
    const int32_t hw = rec->head.width / 2;
    const int32_t n = rec->head.count;
    const bool close = ObsIsClosed(rec) && n > 2 &&
                       (rec->pt[n - 1].x != rec->pt[0].x || rec->pt[n - 1].y != rec->pt[0].y);
    for (int32_t i = 0; i + 1 < n + (close ? 1 : 0); ++i) {
        const ObsPoint& a = rec->pt[i];
        const ObsPoint& b = rec->pt[(i + 1) % n];
        MapRound(entry, a.x, a.y, b.x, b.y, layer, hw, job.mode);
        if (!unmap && ObjEntry(entry)->net == 0)
            ObsInheritNet(entry, std::min(a.x, b.x) - hw, std::min(a.y, b.y) - hw,
                          std::max(a.x, b.x) + hw, std::max(a.y, b.y) + hw, layer);
    }
}

} // namespace

int32_t ObsNet(int32_t entry, const Obstacle* record) {
    const int32_t kind = record->head.kind;
    const int32_t word = record->head.net;
    if (kind != kObsOutline && kind != kObsCopper && kind != kObsShavable) return -1;
    if (word == kObsNoNet) return -1;
    if (word == 0) {
        if (record->head.layer == 0) ErrReport(kErrNoLayerNoNet, entry);
        return 0;
    }
    if (word > 0) return word;
    const int32_t owner = ObjEntry(entry)->link;
    if (owner <= 0) ErrReport(kErrNoOwner, entry);
    const int32_t pad = ObjFindPad(owner, -word);
    if (!pad || ObjEntry(pad)->net == 0) return -1;
    return ObjEntry(pad)->net;
}

void ObsInheritNet(int32_t entry, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer) {
    auto* list = static_cast<ObjList*>(ScratchPush());
    GatherBox(x1, y1, x2, y2, kProbeSeg, layer, 0, list);
    for (int32_t i = 0; i < list->count; ++i) {
        const int32_t e = list->entry[i];
        if (e > 0 && e != entry && ObjEntry(e)->net > 0) ObjSetNet(entry, ObjEntry(e)->net);
    }
    ScratchPop(list);
}

void ObsMap(int32_t entry, Obstacle* record, int32_t unmap) {
    const int32_t layer = record->head.layer;
    if (layer != 0 && !LayerRoutable(layer)) return;
    if (s_poolOpen) ErrReport(kErrPoolOpen, entry);
    s_poolOpen = true;
    if (record->head.flags & (kObsHasArcs | kObsCircle)) ObsArcsToSegs(record);
    ObjSetNet(entry, ObsNet(entry, record));
    if (layer != 0) {
        MapLayer(entry, record, layer, unmap);
    } else {
        for (int32_t l = 1; l <= MapLayerCount(); ++l) {
            if (!LayerRoutable(l)) continue;
            record->head.layer = uint8_t(l);
            MapLayer(entry, record, l, unmap);
        }
        record->head.layer = 0;
    }
    s_poolOpen = false;
}

int32_t MapAllObstacles() {
    int32_t seen = 0;
    auto* obs = static_cast<Obstacle*>(ScratchPush());
    for (int32_t e = 2; e <= ObjCount(); ++e) {
        const MapObj& o = *ObjEntry(e);
        if (o.type != kObjObstacle) continue;
        if (seen++ % kMapAbortPoll == 0 && UserAbort()) {
            ScratchPop(obs);
            return 0;
        }
        ObsPlaceOnComp(o.index, o.link, obs);
        ObsMap(e, obs, 0);
    }
    ScratchPop(obs);
    return 1;
}

void ObsMapUnwind() {
    s_poolOpen = false;
}

void ObsMapTestReset() {
    s_poolOpen = false;
}
