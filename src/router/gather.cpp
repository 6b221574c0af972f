// The gathering: candidates from the object map along the probe, widened
// by the extra clearance and the layer's widest clearance, then the exact
// test of each by its type. Connections are read through the journal
// without copying; pads are measured by their placed pieces; obstacles are
// placed on their component in a scratch record.
#include <algorithm>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/geom.h"
#include "db/obstacles.h"
#include "db/paddist.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "router/connnorm.h"
#include "router/gather.h"
#include "router/layertab.h"
#include "router/objtable.h"
#include "router/urstate.h"
#include "router/viamap.h"

namespace {

enum : ErrCode {
    kErrBoxInvalid = 2167011,
    kErrBoxLayer = 2167012,
    kErrBoxResult = 2167014,
    kErrBoxType = 2167021,
    kErrBlockEntry = 2167020,
    kErrBlockLayer = 2167022,
    kErrBlockDirection = 2167023,
    kErrBlockType = 2167009,
    kErrEmptyInvalid = 2167030,
    kErrEmptyEntry = 2167031,
    kErrEmptyLayer = 2167032,
    kErrObsKind = 2167091,
    kErrNbFirst = 2167080,
    kErrNbInvalid = 2167081,
    kErrNbLast = 2167082,
};

enum : int32_t {
    kBoxInvalidNumber = 255,
    kEmptyInvalidNumber = 600,
    kNbFirstNumber = 1144,
    kNbInvalidNumber = 1145,
    kClearRowAny = 4,         // the clearance block's row taken for candidates
    kClearRowVia = 2,         // ... for via neighbours
    kSpacingRowsMeasured = 3, // classes 0..2 hold measured clearances
    kSpacingLargest = 3,      // kind 3: the largest of a class's kinds 0..2
};

const Conn* s_shove[2] = {nullptr, nullptr};

struct Probe {
    int32_t x1, y1, x2, y2;
    int32_t minX, minY, maxX, maxY;
};

Probe MakeProbe(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return Probe{
        x1, y1, x2, y2, std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// True when the mask tells to ignore what lies wholly in the box.
bool Masked(const Probe& p, int32_t mask, int64_t bx1, int64_t by1, int64_t bx2, int64_t by2) {
    if ((mask & kDirBelowY) && by2 < p.minY) return true;
    if ((mask & kDirAboveY) && by1 > p.maxY) return true;
    if ((mask & kDirBelowX) && bx2 < p.minX) return true;
    if ((mask & kDirAboveX) && bx1 > p.maxX) return true;
    return false;
}

int32_t Layers() {
    return MapLayerCount();
}

// The clearance a candidate search widens by: the entry asked for, but at
// least the layer's largest clearance (the block's attribute row is 0 on a
// design without spacing attributes, and the exact tests reach that far).
int32_t SearchClearance(int32_t layer, int32_t row, int32_t column) {
    int32_t c = LayerSpacingByKind(layer, row, nullptr, column);
    for (int32_t cls = 0; cls < kSpacingRowsMeasured; ++cls)
        c = std::max(c, LayerSpacingByKind(layer, cls, nullptr, kSpacingLargest));
    return c;
}

int32_t Candidates(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t layer,
                   int32_t extra, ObjList* list) {
    ObjListClear(list);
    MapSegObjects(x1, y1, x2, y2, layer, extra + SearchClearance(layer, kClearRowAny, kind), list);
    return list->count;
}

// The candidate connection's copy (the tests never nest).
Conn s_candidate;

const Conn* ConnOf(int32_t entry) {
    ConnReadJournal(ObjEntry(entry)->index, &s_candidate);
    return &s_candidate;
}

// The test of one candidate by its type; -1 for a type no test knows.
int32_t TestByType(int32_t e, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind,
                   int32_t layer, int32_t extra, int32_t probing, int32_t mask) {
    switch (ObjEntry(e)->type) {
    case kObjPad:
        return GatherTestPad(x1, y1, x2, y2, kind, layer, extra, e, probing, mask);
    case kObjConn:
        return GatherTestConn(x1, y1, x2, y2, kind, layer, extra, ConnOf(e), probing, mask);
    case kObjObstacle:
        return GatherTestObs(x1, y1, x2, y2, kind, layer, extra, e, probing, mask);
    case kObjEdge:
        return kTouchFixed;
    default:
        return -1;
    }
}

bool SameNet(int32_t e, int32_t entry) {
    if (e == entry) return true;
    const int32_t n = ObjEntry(entry)->net;
    return n > 0 && ObjEntry(e)->net == n;
}

// Steps 2 and 3 shared by the blocker search and the free test: the
// transposition, then contact with the shove's path copies (true).
int32_t Direction(int32_t transposed, int32_t direction) {
    if (direction != 0 && direction != kDirAboveX && direction != kDirBelowX)
        ErrReport(kErrBlockDirection, direction);
    if (!transposed) return direction;
    return direction == kDirAboveX ? kDirAboveY : direction == kDirBelowX ? kDirBelowY : 0;
}

bool TouchesShove(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t layer,
                  int32_t extra, int32_t entry) {
    const MzGoal* goal = Goal();
    if (!goal || entry == goal->objIndex) return false;
    for (const Conn* path : s_shove)
        if (path && GatherTestConn(x1, y1, x2, y2, kind, layer, extra, path, 0, 0) != kTouchNone)
            return true;
    return false;
}

void Transpose(int32_t transposed, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    if (!transposed) return;
    std::swap(*x1, *y1);
    std::swap(*x2, *y2);
}

} // namespace

void GatherSetShovePaths(const Conn* first, const Conn* second) {
    s_shove[0] = first;
    s_shove[1] = second;
}

int32_t GatherTestPad(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t layer,
                      int32_t extra, int32_t padEntry, int32_t, int32_t mask) {
    const MapObj& o = *ObjEntry(padEntry);
    const Probe p = MakeProbe(x1, y1, x2, y2);
    Component comp;
    CompReadJournal(o.index, &comp);
    if (o.flags & kObjFlagLatest) {
        // The pad where its component stood before the current level: the
        // distances are measured in the component's present frame, so the
        // probe is moved from the older placement into it.
        Component latest;
        AltGetLatest(kRecComponent, o.index, &latest);
        if (latest.x != comp.x || latest.y != comp.y || latest.angle != comp.angle) {
            auto into = [&](int32_t* x, int32_t* y) {
                int32_t dx = *x - latest.x, dy = *y - latest.y;
                PtRotate(&dx, &dy, comp.angle - latest.angle);
                *x = comp.x + dx;
                *y = comp.y + dy;
            };
            into(&x1, &y1);
            into(&x2, &y2);
            comp = latest;
        }
    }
    if (mask) {
        PlacedPin pin;
        SymPinGet(&comp, o.link, &pin);
        if (Masked(p, mask, pin.x, pin.y, pin.x, pin.y)) return kTouchNone;
    }
    const int32_t d = PadSegDist(o.index, o.link, layer, x1, y1, x2, y2);
    return int64_t(d) < int64_t(extra) + LayerSpacingByKind(layer, kProbePad, nullptr, kind)
               ? kTouchPad
               : kTouchNone;
}

int32_t GatherTestConn(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t layer,
                       int32_t extra, const Conn* rec, int32_t probing, int32_t mask) {
    if (probing > 0 && ObjEntry(probing)->type == kObjConn &&
        ConnSameEnd(ObjEntry(probing)->index, rec))
        return kTouchNone;
    const Probe p = MakeProbe(x1, y1, x2, y2);
    const int32_t count = rec->head.count;
    const int32_t hit = (rec->head.flags & kConnNoShove) ? kTouchFixed : kTouchPush;
    // Every corner's via, the last one's too, and the vias standing at free
    // ends (a free node whose pin names a via type).
    auto viaTouches = [&](int32_t via, int32_t x, int32_t y) {
        int32_t ext[4];
        const int32_t code = ViaPadShape(via, layer, ext);
        if (!code) return false;
        const int64_t reach =
            int64_t(LayerSpacing(layer, kProbeVia, rec, kind)) + extra + ViaPadSize(via, layer);
        if (!(x > p.minX - reach && x < p.maxX + reach && y > p.minY - reach && y < p.maxY + reach))
            return false;
        if (Masked(p, mask, x, y, x, y)) return false;
        if ((code == kPadRound || code == kPadThermal || code == kPadAnnular) &&
            PtSegDist(x, y, x1, y1, x2, y2) > reach)
            return false;
        return true;
    };
    for (int32_t i = 0; i < count; ++i) {
        const Crn& c = rec->crn[i];
        if (c.via && viaTouches(c.via, c.x, c.y)) return hit;
    }
    if (count > 0 && rec->head.fromComp == 0 && rec->head.fromPin > 0 &&
        viaTouches(rec->head.fromPin, rec->crn[0].x, rec->crn[0].y))
        return hit;
    if (count > 0 && rec->head.toComp == 0 && rec->head.toPin > 0 &&
        viaTouches(rec->head.toPin, rec->crn[count - 1].x, rec->crn[count - 1].y))
        return hit;
    const int32_t unit = DbHdr().connGrid;
    for (int32_t i = 0; i + 1 < count; ++i) {
        const Crn& a = rec->crn[i];
        const bool arc = i + 2 < count && (rec->crn[i + 1].flags & kCrnArc);
        if (a.layer != layer) {
            if (arc) ++i;
            continue;
        }
        const int64_t reach = a.width == 0 ? 1
                                           : (int64_t(a.width) * unit >> 1) + extra +
                                                 LayerSpacing(layer, kProbeSeg, rec, kind);
        ArcSpec spec;
        int32_t bx1, by1, bx2, by2;
        const Crn& b = rec->crn[i + 1];
        if (arc) {
            ConnArcGet(i, rec, &spec);
            ArcBox(&spec, &bx1, &by1, &bx2, &by2);
        } else {
            const int32_t ax = a.x, ay = a.y, bx = b.x, by = b.y; // packed corners: by value
            bx1 = std::min(ax, bx);
            by1 = std::min(ay, by);
            bx2 = std::max(ax, bx);
            by2 = std::max(ay, by);
        }
        const bool overlaps = bx1 - reach < p.maxX && bx2 + reach > p.minX &&
                              by1 - reach < p.maxY && by2 + reach > p.minY;
        if (overlaps && !Masked(p, mask, bx1, by1, bx2, by2)) {
            if (arc) {
                if (SegArcDist(x1, y1, x2, y2, &spec) < reach) return hit;
            } else {
                const int32_t d = SegSegDist(x1, y1, x2, y2, a.x, a.y, b.x, b.y);
                if (d < reach) {
                    if (d == 0 || !mask) return hit;
                    int32_t nx, ny;
                    SegNearestPt(&nx, &ny, x1, y1, a.x, a.y, b.x, b.y);
                    if (!Masked(p, mask, nx, ny, nx, ny)) return hit;
                }
            }
        }
        if (arc) ++i;
    }
    return kTouchNone;
}

int32_t GatherTestObs(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t layer,
                      int32_t extra, int32_t obsEntry, int32_t, int32_t mask) {
    const MapObj& o = *ObjEntry(obsEntry);
    auto* obs = static_cast<Obstacle*>(ScratchPush());
    ObsPlaceOnComp(o.index, o.link, obs);
    const ObsHead& h = obs->head;
    int32_t result = kTouchNone;
    const Probe p = MakeProbe(x1, y1, x2, y2);
    if ((h.layer == 0 || h.layer == layer) && h.kind != kObsAvoid &&
        !Masked(p, mask, h.minX, h.minY, h.maxX, h.maxY)) {
        if (obs->head.flags & (kObsHasArcs | kObsCircle)) ObsArcsToSegs(obs);
        const int64_t reach =
            int64_t(LayerSpacingByKind(layer, kProbeSeg, nullptr, kind)) + h.width / 2 + extra;
        bool touch = false;
        const int32_t n = h.count;
        const bool close = ObsIsClosed(obs) && n > 2;
        for (int32_t i = 0; i + 1 < n + (close ? 1 : 0) && !touch; ++i) {
            const ObsPoint& a = obs->pt[i];
            const ObsPoint& b = obs->pt[(i + 1) % n];
            touch = SegSegDist(x1, y1, x2, y2, a.x, a.y, b.x, b.y) < reach;
        }
        auto inside = [&](int32_t x, int32_t y) { return ObsContainsPt(x, y, obs) != 0; };
        switch (h.kind) {
        case kObsOutline:
        case kObsCopperVoid:
            break;
        case kObsCopper:
        case kObsRouteKeepout:
        case kObsShavable:
            touch = touch || inside(x1, y1) || inside(x2, y2);
            break;
        case kObsBoardOutline:
            touch = !(inside(x1, y1) && inside(x2, y2));
            break;
        default:
            ScratchPop(obs);
            ErrReport(kErrObsKind, h.kind);
        }
        if (touch) result = h.kind == kObsShavable ? kTouchPush : kTouchFixed;
    }
    ScratchPop(obs);
    return result;
}

int32_t GatherBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t layer,
                  int32_t extra, ObjList* list) {
    if (!ObjTableValid()) ErrReport(kErrBoxInvalid, kBoxInvalidNumber);
    if (layer < 1 || layer > Layers()) ErrReport(kErrBoxLayer, layer);
    Candidates(x1, y1, x2, y2, kind, layer, extra, list);
    for (int32_t i = 0; i < list->count;) {
        const int32_t e = list->entry[i];
        const int32_t r = TestByType(e, x1, y1, x2, y2, kind, layer, extra, 0, 0);
        if (r < 0) ErrReport(kErrBoxType, e);
        if (r > kTouchFixed) ErrReport(kErrBoxResult, r);
        if (r == kTouchNone)
            list->entry[i] = list->entry[--list->count];
        else
            ++i;
    }
    return list->count;
}

int32_t GatherSegBlockers(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind,
                          int32_t layer, int32_t extra, int32_t entry, ObjList* list,
                          int32_t transposed, int32_t direction) {
    if (entry < 1 || entry > ObjCount()) ErrReport(kErrBlockEntry, entry);
    if (layer < 1 || layer > Layers()) ErrReport(kErrBlockLayer, layer);
    Transpose(transposed, &x1, &y1, &x2, &y2);
    const int32_t mask = Direction(transposed, direction);
    if (TouchesShove(x1, y1, x2, y2, kind, layer, extra, entry)) {
        list->count = 1;
        list->entry[0] = int16_t(Goal()->objIndex);
        return 0;
    }
    Candidates(x1, y1, x2, y2, kind, layer, extra, list);
    const int32_t n = list->count;
    int32_t kept = 0, pads = 0;
    for (int32_t i = 0; i < n; ++i) {
        const int32_t e = list->entry[i];
        int32_t r = kTouchSameNet;
        if (!SameNet(e, entry)) {
            r = TestByType(e, x1, y1, x2, y2, kind, layer, extra, entry, mask);
            if (r < 0) ErrReport(kErrBlockType, e);
            if (r == kTouchPush && ObjEntry(e)->type == kObjConn &&
                (ObjEntry(e)->flags & kObjFlagPushed))
                r = kTouchFixed;
        }
        if (r == kTouchPush) {
            list->entry[kept++] = int16_t(e);
        } else if (r == kTouchPad) {
            list->entry[kept] = list->entry[pads];
            list->entry[pads++] = int16_t(e);
            ++kept;
        } else if (r == kTouchFixed) {
            list->count = 1;
            list->entry[0] = int16_t(e);
            return 0;
        }
    }
    list->count = int16_t(kept);
    return 1;
}

int32_t GatherIsEmpty(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t layer,
                      int32_t extra, int32_t entry, int32_t transposed) {
    if (!ObjTableValid()) ErrReport(kErrEmptyInvalid, kEmptyInvalidNumber);
    if (entry < 1 || entry > ObjCount()) ErrReport(kErrEmptyEntry, entry);
    if (layer < 1 || layer > Layers()) ErrReport(kErrEmptyLayer, layer);
    Transpose(transposed, &x1, &y1, &x2, &y2);
    if (TouchesShove(x1, y1, x2, y2, kind, layer, extra, entry)) {
        if (g_verbose) DebugPrint("*GatherIsEmpty: goal blocks obj=%d", int(Goal()->objIndex));
        return 0;
    }
    auto* list = static_cast<ObjList*>(ScratchPush());
    Candidates(x1, y1, x2, y2, kind, layer, extra, list);
    int32_t result = 1;
    for (int32_t i = 0; i < list->count && result; ++i) {
        const int32_t e = list->entry[i];
        if (SameNet(e, entry)) continue;
        const int32_t r = TestByType(e, x1, y1, x2, y2, kind, layer, extra, entry, 0);
        if (r >= kTouchPush) result = 0;
    }
    ScratchPop(list);
    return result;
}

void GatherNeighbours(const Conn* rec, int32_t first, int32_t last, ObjList* list) {
    if (first < 0) ErrReport(kErrNbFirst, kNbFirstNumber);
    if (!ObjTableValid()) ErrReport(kErrNbInvalid, kNbInvalidNumber);
    const int32_t count = rec->head.count;
    if (last < first || last > count - 1) ErrReport(kErrNbLast, last);
    ObjListClear(list);
    for (int32_t i = first; i <= last; ++i) {
        const Crn& c = rec->crn[i];
        if (!c.via) continue;
        for (int32_t l = 1; l <= Layers(); ++l) {
            if (!LayerRoutable(l)) continue;
            int32_t ext[4];
            const int32_t code = ViaPadShape(c.via, l, ext);
            if (!code) continue;
            const int32_t size = ViaPadSize(c.via, l);
            const int32_t clear = SearchClearance(l, kClearRowVia, kProbeAny);
            if (code == kPadSquare)
                MapBoxObjects(c.x - 2 * size, c.y - 2 * size, c.x + 2 * size, c.y + 2 * size, l,
                              clear, list);
            else
                MapSegObjects(c.x, c.y, c.x, c.y, l, size + clear, list);
        }
    }
    const int32_t unit = DbHdr().connGrid;
    for (int32_t i = first; i < last; ++i) {
        const Crn& a = rec->crn[i];
        const bool arc = i + 2 < count && (rec->crn[i + 1].flags & kCrnArc);
        if (a.layer && a.layer <= Layers()) {
            const int32_t reach =
                int32_t(int64_t(a.width) * unit / 2) + SearchClearance(a.layer, 0, kProbeAny);
            if (arc) {
                ArcSpec spec;
                ConnArcGet(i, rec, &spec);
                MapArcObjects(&spec, a.layer, reach, list);
            } else {
                const Crn& b = rec->crn[i + 1];
                MapSegObjects(a.x, a.y, b.x, b.y, a.layer, reach, list);
            }
        }
        if (arc) ++i;
    }
}
