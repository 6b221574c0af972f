// Mapping the board's objects: pads by their pieces (quarter-turn boxes,
// oblongs as round-ended segments, turned pieces by their box or axis),
// components with their pads and obstacles, connections by corner range
// (segments, arcs, vias and the vias of free ends), and the passes that map
// every component and every connection. Pads take their nets from the
// connections that end on them.
#include <algorithm>
#include <cstring>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/names.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "db/thru.h"
#include "router/connnorm.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/urstate.h"

namespace {

enum : ErrCode {
    kErrConnEntry = 2160010,
    kErrConnType = 2160011,
};

int32_t Mode(int32_t unmap) {
    return unmap ? kMapRemove : kMapFixed;
}

bool Pinned(const Crn& c) {
    return (c.flags & (kCrnLocked | kCrnLatched)) != 0;
}

void MapPiece(const PadShape& shape, int32_t px, int32_t py, int32_t angle, int32_t layer,
              int32_t entry, int32_t mode) {
    const int32_t code = shape.code;
    if (code == kPadUndef || code > kPadAnnular) return;
    PlacedShape p;
    bool turned;
    PadShapePlace(px, py, &shape, angle, &p, &turned);
    const bool oblong = code == kPadOblong || code == kPadOval;
    if (!turned) {
        if (code == kPadRound || code == kPadThermal || code == kPadAnnular) {
            const int32_t r = shape.ext[0];
            MapRectShape(entry, p.cx - r, p.cy - r, p.cx + r, p.cy + r, layer, 0, mode);
        } else if (oblong) {
            const int32_t d = std::min(p.maxX - p.minX, p.maxY - p.minY) / 2;
            MapRound(entry, p.minX + d, p.minY + d, p.maxX - d, p.maxY - d, layer, d, mode);
        } else {
            MapRectShape(entry, p.minX, p.minY, p.maxX, p.maxY, layer, 0, mode);
        }
        return;
    }
    if (!oblong) {
        MapRectShape(entry, p.minX, p.minY, p.maxX, p.maxY, layer, 0, mode);
        return;
    }
    // The turned oblong: a round-ended segment along its turned axis.
    const int32_t cx = p.cx + (shape.ext[2] - shape.ext[0]) / 2;
    const int32_t cy = p.cy + (shape.ext[3] - shape.ext[1]) / 2;
    const int32_t w = (shape.ext[0] + shape.ext[2]) / 2, h = (shape.ext[1] + shape.ext[3]) / 2;
    double co, si;
    PadCosSin(angle, &co, &si);
    int32_t ox, oy;
    if (w < h) {
        const double len = h - w;
        ox = int32_t(-len * si);
        oy = int32_t(len * co);
    } else {
        const double len = w - h;
        ox = int32_t(len * co);
        oy = int32_t(len * si);
    }
    MapRound(entry, cx + ox, cy + oy, cx - ox, cy - oy, layer, std::min(w, h), mode);
}

} // namespace

void ConnReadJournal(int32_t c, Conn* out) {
    const auto* bytes = static_cast<const uint8_t*>(AltRef(kRecConn, c));
    std::memcpy(&out->head, bytes, sizeof out->head);
    const int32_t n = std::clamp<int32_t>(out->head.count, 0, kMaxCorners);
    std::memcpy(out->crn, bytes + sizeof out->head, size_t(n) * sizeof(Crn));
}

void CompReadJournal(int32_t c, Component* out) {
    std::memcpy(out, AltRef(kRecComponent, c), sizeof *out);
}

void PadMap(const PlacedPin* pin, int32_t angle, int32_t entry, int32_t mode) {
    if (pin->thru < 1 || pin->thru > ThruCount()) return;
    const ThruCode* t = ThruRef(pin->thru);
    for (int32_t l = 1; l <= MapLayerCount(); ++l) {
        if (!LayerRoutable(l)) continue;
        const ThruLayer& tl = t->layer[l];
        if (tl.shapeCount == 0 || tl.shape[0].code == kPadUndef) continue;
        const int32_t a = ((angle + tl.rotation) % kAngFullTurn + kAngFullTurn) % kAngFullTurn;
        for (int32_t k = 0; k < tl.shapeCount && k < kThruShapes; ++k)
            MapPiece(tl.shape[k], pin->x, pin->y, a, l, entry, mode);
    }
}

void CompMap(int32_t comp, const Component* record, int32_t unmap) {
    if (g_verbose) DebugPrint("CompMap: %s %s", NameText(record->name), unmap ? "Unmap" : "Map");
    int32_t n;
    const int16_t* entries = ObjCompEntries(comp, &n);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t e = entries[i];
        const MapObj& o = *ObjEntry(e);
        if (o.type == kObjPad) {
            PlacedPin p;
            SymPinGet(record, o.link, &p);
            PadMap(&p, record->angle, e, Mode(unmap));
        } else if (o.type == kObjObstacle) {
            auto* obs = static_cast<Obstacle*>(ScratchPush());
            AltSave(kRecObstacle, o.index, obs);
            ObsPlace(obs, record->x, record->y, record->angle);
            ObsMap(e, obs, unmap);
            ScratchPop(obs);
        }
    }
}

int32_t MapAllComps() {
    Component comp{};
    int32_t current = 0;
    for (int32_t e = 2; e <= ObjCount(); ++e) {
        const MapObj& o = *ObjEntry(e);
        if (o.type != kObjPad || o.index < 1) continue;
        if (o.index != current) {
            current = o.index;
            AltSave(kRecComponent, current, &comp);
        }
        PlacedPin p;
        SymPinGet(&comp, o.link, &p);
        PadMap(&p, comp.angle, e, kMapFixed);
    }
    return 1;
}

int32_t padPrep(int32_t comp, int32_t pin, const Component* record) {
    const int32_t e = ObjFindPad(comp, pin);
    if (!e) return 0;
    const MzGoal* goal = Goal();
    const int32_t goalNet = goal && goal->objIndex > 0 && goal->objIndex <= ObjCount()
                                ? ObjEntry(goal->objIndex)->net
                                : 0;
    if (ObjEntry(e)->net != goalNet) ObjSetNet(e, goalNet);
    PlacedPin p;
    SymPinGet(record, pin, &p);
    PadMap(&p, record->angle, e, kMapFixed);
    return 1;
}

void ConnMap(const Conn* record, int32_t entry, int32_t first, int32_t last, int32_t unmap) {
    if (entry < ObjFirstConn() || entry > ObjLastConn()) ErrReport(kErrConnEntry, entry);
    if (ObjEntry(entry)->type != kObjConn) ErrReport(kErrConnType, entry);
    const ConnHead& h = record->head;
    const int32_t segMode = unmap ? kMapRemove : ((h.flags & kConnNoRipup) ? kMapFixed : kMapRipup);
    const int32_t fixed = Mode(unmap);
    const int32_t lastCrn = h.count - 1;
    if (lastCrn < 0) return;
    if (first <= 0) {
        first = 0;
        if (h.fromComp == 0 && h.fromPin > 0)
            ViaShapeMap(h.fromPin, record->crn[0].x, record->crn[0].y, entry, fixed);
    }
    if (last >= lastCrn) {
        last = lastCrn;
        if (h.toComp == 0 && h.toPin > 0)
            ViaShapeMap(h.toPin, record->crn[last].x, record->crn[last].y, entry, fixed);
    }
    const int32_t unit = DbHdr().connGrid;
    for (int32_t i = first; i < last; ++i) {
        const Crn& a = record->crn[i];
        if (a.layer == 0) continue;
        const int32_t hw = int32_t(int64_t(a.width) * unit / 2);
        if (i < lastCrn - 1 && (record->crn[i + 1].flags & kCrnArc)) {
            ArcSpec arc;
            ConnArcGet(i, record, &arc);
            MapArc(entry, &arc, a.layer, hw, fixed);
            ++i;
            continue;
        }
        const Crn& b = record->crn[i + 1];
        MapRound(entry, a.x, a.y, b.x, b.y, a.layer, hw, Pinned(a) && Pinned(b) ? fixed : segMode);
    }
    for (int32_t i = first; i <= last; ++i)
        if (record->crn[i].via)
            ViaShapeMap(record->crn[i].via, record->crn[i].x, record->crn[i].y, entry, fixed);
}

void ConnObjFlags(int32_t entry, const Conn* record) {
    MapObj& o = *ObjEntry(entry);
    uint8_t f = uint8_t(o.flags & ~(kObjFlagInside | kObjFlagNoRoute | kObjFlagNetAttr));
    for (int32_t i = 0; i + 1 < record->head.count; ++i) {
        const Crn &a = record->crn[i], &b = record->crn[i + 1];
        if (MzClipSeg(a.x, a.y, b.x, b.y, 0)) {
            f |= kObjFlagInside;
            break;
        }
    }
    if (record->head.flags & kConnNotSelected) f |= kObjFlagNoRoute;
    if (record->head.flags & kConnNetAttr) f |= kObjFlagNetAttr;
    o.flags = f;
}

void PadNetFromConn(int32_t comp, int32_t pin, int32_t connEntry) {
    if (comp == 0) return;
    const int32_t pad = ObjFindPad(comp, pin);
    if (!pad) return;
    const MapObj& c = *ObjEntry(connEntry);
    ObjSetNet(pad, c.net);
    ObjEntry(pad)->flags |= uint8_t(c.flags & kObjFlagNetAttr);
}

int32_t MapAllConns() {
    const int32_t first = ObjFirstConn(), last = ObjLastConn();
    auto* c = static_cast<Conn*>(ScratchPush());
    for (int32_t e = first; e <= last; ++e) {
        if ((e - first) % kMapAbortPoll == 0 && UserAbort()) {
            ScratchPop(c);
            return 0;
        }
        const MapObj& o = *ObjEntry(e);
        if (o.type != kObjConn) continue;
        ConnReadJournal(o.index, c);
        PadNetFromConn(c->head.fromComp, c->head.fromPin, e);
        PadNetFromConn(c->head.toComp, c->head.toPin, e);
        ConnMap(c, e, 0, c->head.count - 1, 0);
        ConnObjFlags(e, c);
    }
    ScratchPop(c);
    return 1;
}
