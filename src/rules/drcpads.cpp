// Pad clearances: a component's pins against the pads of other components
// and against the interior vias of connections of other nets. Pad checks
// record in DrcMode 0 and 3 only; they never mark the maze.
#include <algorithm>

#include "db/comps.h"
#include "db/layers.h"
#include "db/paddist.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "router/gather.h"
#include "router/layertab.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "rules/drcboard.h"
#include "rules/drcerror.h"
#include "rules/ruleadapt.h"

namespace {

enum : int32_t {
    kKindPad = 1, // spacing matrix element kind and class of pads
    kKindVia = 2, // ... of vias
};

bool Recording() {
    return DrcMode == kDrcRecord || DrcMode == kDrcCount;
}

struct Box {
    int32_t x1, y1, x2, y2;
};

int64_t Half(int64_t a, int64_t b) {
    return (a + b) / 2;
}

// The union of the pin's pad shapes on the layer, placed by the record;
// false when the pin has no pad there.
bool PinPadBox(const Component* rec, const PlacedPin& pp, int32_t layer, Box* out) {
    if (pp.thru < 1 || pp.thru > ThruCount()) return false;
    const ThruLayer* tl = ThruPadRef(pp.thru, layer);
    bool any = false;
    const int32_t angle = int32_t(tl->rotation) + rec->angle;
    for (int32_t k = 0; k < tl->shapeCount && k < kThruShapes; ++k) {
        const PadShape& shape = tl->shape[k];
        if (shape.code == kPadUndef) continue;
        PlacedShape ps;
        bool turned = false;
        PadShapePlace(pp.x, pp.y, &shape, angle, &ps, &turned);
        if (!any) {
            *out = Box{ps.minX, ps.minY, ps.maxX, ps.maxY};
            any = true;
        } else {
            out->x1 = std::min(out->x1, ps.minX);
            out->y1 = std::min(out->y1, ps.minY);
            out->x2 = std::max(out->x2, ps.maxX);
            out->y2 = std::max(out->y2, ps.maxY);
        }
    }
    return any;
}

bool BoxesMeet(const Box& a, const PlacedShape& s, int32_t widen) {
    return int64_t(s.minX) - widen <= a.x2 && int64_t(s.maxX) + widen >= a.x1 &&
           int64_t(s.minY) - widen <= a.y2 && int64_t(s.maxY) + widen >= a.y1;
}

// The other pin's shape against this pin's pads: distance and clearance.
void MeasureShape(int32_t comp, int32_t pin, int32_t layer, const PlacedShape& s, int32_t space,
                  int32_t* found, int32_t* required) {
    const int64_t w = int64_t(s.maxX) - s.minX, h = int64_t(s.maxY) - s.minY;
    switch (s.code) {
    case kPadSquare:
    case kPadRect:
        *found = PadBoxDist(comp, pin, layer, s.minX, s.minY, s.maxX, s.maxY);
        *required = space;
        return;
    case kPadOblong:
    case kPadOval: {
        const int32_t hs = int32_t(std::min(w, h) / 2);
        const int32_t cx = int32_t(Half(s.minX, s.maxX)), cy = int32_t(Half(s.minY, s.maxY));
        if (w >= h)
            *found = PadSegDist(comp, pin, layer, s.minX + hs, cy, s.maxX - hs, cy);
        else
            *found = PadSegDist(comp, pin, layer, cx, s.minY + hs, cx, s.maxY - hs);
        *required = space + hs;
        return;
    }
    default:
        *found = PtPadDist(comp, pin, layer, s.cx, s.cy);
        *required = space + int32_t(std::max(w, h) / 2);
    }
}

// This pin against the other component's pin on the layer: 1 pass.
int32_t PadVsPad(int32_t comp, int32_t pin, const PlacedPin& pp, const Box& box, int32_t layer,
                 const MapObj* o) {
    const int32_t space = LayerSpacing(layer, kKindPad, nullptr, kKindPad);
    PlacedPin other;
    PlacedPad pad;
    CompPinPadGet(o->index, o->link, layer, &other, &pad);
    for (int32_t k = 0; k < pad.count; ++k) {
        const PlacedShape& s = pad.shape[k];
        if (s.code == kPadUndef) continue; // an empty shape slot
        if (s.code > kPadAnnular) ErrReport(kErrPadViaShape, s.code);
        if (!BoxesMeet(box, s, space)) continue;
        int32_t found = 0, required = 0;
        MeasureShape(comp, pin, layer, s, space, &found, &required);
        if (found >= required) continue;
        if (Recording()) {
            Component oc;
            CompReadJournal(o->index, &oc);
            DrcError& e = DrcCurrentError;
            e.kind = kErrKindPadToPad;
            e.x = int32_t(Half(pp.x, other.x));
            e.y = int32_t(Half(pp.y, other.y));
            e.layer = uint8_t(layer);
            e.found = found;
            e.required = required;
            e.otherObject = oc.recordId;
            e.otherType = kErrObjComponent;
            e.otherSub = int16_t(o->link);
            CheckAddError(e.x, e.y, layer);
        }
        return 0;
    }
    return 1;
}

} // namespace

int32_t DrcCheckCompPads(int32_t comp, const Component* record) {
    for (int32_t p = SymPinCount(record->symbol); p >= 1; --p)
        if (!DrcCheckPadVia(comp, p, 0, record)) return 0;
    return 1;
}

int32_t DrcCheckPadVia(int32_t comp, int32_t pin, int32_t net, const Component* record) {
    if (comp == 0) ErrReport(kErrPadViaComp, 0);
    if (Recording()) {
        DrcCurrentError = DrcError{};
        DrcCurrentError.object = record->recordId;
        DrcCurrentError.objectType = kErrObjComponent;
        DrcCurrentError.corner = int16_t(pin);
    }
    if (!ObjTableValid() || !MapReady()) return 1;
    PlacedPin pp;
    SymPinGet(record, pin, &pp);
    int32_t result = 1;
    ScratchRecord<ObjList> list;
    for (int32_t l = 1; l <= LayerCount(); ++l) {
        Box box;
        if (!LayerActive(l) || l > MapLayerCount() || !PinPadBox(record, pp, l, &box)) continue;
        const int64_t w = int64_t(box.x2) - box.x1, h = int64_t(box.y2) - box.y1;
        const int32_t hs = int32_t(std::min(w, h) / 2);
        const int32_t cx = int32_t(Half(box.x1, box.x2)), cy = int32_t(Half(box.y1, box.y2));
        if (w >= h)
            GatherBox(box.x1 + hs, cy, box.x2 - hs, cy, kProbePad, l, hs, list.get());
        else
            GatherBox(cx, box.y1 + hs, cx, box.y2 - hs, kProbePad, l, hs, list.get());
        for (int32_t j = list->count - 1; j >= 0; --j) {
            const MapObj* o = ObjEntry(list->entry[j]);
            int32_t ok = 1;
            switch (o->type) {
            case kObjPad:
                if (o->index == 0 || o->link == 0) ErrReport(kErrPadViaPad, list->entry[j]);
                if (o->index != comp) ok = PadVsPad(comp, pin, pp, box, l, o);
                break;
            case kObjConn:
                if (DrcPadVsConnVias(comp, pin, net, o->index)) break;
                ok = 0;
                if (Recording()) {
                    DrcError& e = DrcCurrentError;
                    e.kind = net ? kErrKindPadSpacing : kErrKindBadViaLocation;
                    e.x = pp.x;
                    e.y = pp.y;
                    e.layer = uint8_t(l);
                    e.found = 0;
                    e.required = 0;
                    e.otherObject = o->index;
                    e.otherType = kErrObjConn;
                    e.otherSub = 0;
                    CheckAddError(pp.x, pp.y, l);
                }
                break;
            case kObjEdge:
                ok = 0;
                break;
            default: // obstacles and texts
                break;
            }
            if (!ok) {
                result = 0;
                if (!Recording()) return 0;
            }
        }
    }
    return result;
}

int32_t DrcPadVsConnVias(int32_t comp, int32_t pin, int32_t net, int32_t conn) {
    ScratchRecord<Conn> rec;
    ConnReadJournal(conn, rec.get());
    if (net > 0 && rec->head.net == net) return 1;
    for (int32_t i = 1; i < rec->head.count - 1; ++i) {
        const Crn& c = rec->crn[i];
        if (!c.via) continue;
        for (int32_t l = 1; l <= LayerCount(); ++l) {
            if (!LayerActive(l) || !ViaPadCode(c.via, l)) continue;
            const int32_t reach =
                ViaPadRadius(c.via, l) + LayerSpacing(l, kKindPad, nullptr, kKindVia);
            if (PtPadDist(comp, pin, l, c.x, c.y) < reach) return 0;
        }
    }
    return 1;
}
