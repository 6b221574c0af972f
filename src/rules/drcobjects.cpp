// The object sub-checks of the connection rule check: a corner range
// against one pad (every shape of the pin's padstack on every active
// layer), one other connection (shared pins, vias, segments), and one
// obstacle (edges and inside tests by kind). Other records are read into
// scratch records; the record under test is only read.
#include "db/comps.h"
#include "db/layers.h"
#include "db/obstacles.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "router/connnorm.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "rules/drcconn.h"
#include "rules/drcerror.h"

namespace {

// The end of a connection as the shared-pin test sees it: its pin, its
// corner and the first segment leaving it.
struct ConnEnd {
    int32_t comp, pin, corner;
    int32_t x, y, dx, dy, layer;
};

ConnEnd EndOf(const Conn* c, bool to) {
    ConnEnd e{};
    const int32_t n = c->head.count;
    e.comp = to ? c->head.toComp : c->head.fromComp;
    e.pin = to ? c->head.toPin : c->head.fromPin;
    e.corner = to ? n - 1 : 0;
    const Crn& a = c->crn[e.corner];
    e.x = a.x;
    e.y = a.y;
    if (n >= 2) {
        const Crn& b = c->crn[to ? n - 2 : 1];
        e.dx = b.x - a.x;
        e.dy = b.y - a.y;
        e.layer = to ? b.layer : a.layer;
    }
    return e;
}

int32_t Sign(int64_t v) {
    return (v > 0) - (v < 0);
}

// Both ends at one point, leaving along one direction on one routed layer.
bool LeaveAlike(const ConnEnd& a, const ConnEnd& b) {
    return a.layer != 0 && a.layer == b.layer && Sign(a.dx) == Sign(b.dx) &&
           Sign(a.dy) == Sign(b.dy) && int64_t(a.dx) * b.dy - int64_t(a.dy) * b.dx == 0;
}

// The via of corner c measured against the other record's corners j0..j1
// on the layer: round pads as a point of their radius, the others by box.
int32_t ViaAgainst(const Conn* other, int32_t j0, int32_t j1, const Crn& c, int32_t layer) {
    if (PadIsRound(ViaPadCode(c.via, layer)))
        return DrcConnVsSeg(other, j0, j1, c.x, c.y, c.x, c.y, layer, ViaPadRadius(c.via, layer));
    int32_t b[4];
    ViaPadBox(c.via, layer, c.x, c.y, b);
    return DrcConnVsBox(other, j0, j1, b[0], b[1], b[2], b[3], layer);
}

// Same-net via spacing only: each via of the range against each via of the
// other at another point or of another type, where both have pads.
int32_t SameNetVias(const Conn* conn, int32_t first, int32_t last, const Conn* other) {
    DrcSpacingClass = 2;
    for (int32_t i = first; i <= last; ++i) {
        const Crn& c = conn->crn[i];
        if (!c.via) continue;
        for (int32_t j = 0; j < other->head.count; ++j) {
            const Crn& o = other->crn[j];
            if (!o.via || (o.x == c.x && o.y == c.y && o.via == c.via)) continue;
            for (int32_t l = 1; l <= LayerCount(); ++l) {
                if (!LayerActive(l) || !ViaPadCode(c.via, l) || !ViaPadCode(o.via, l)) continue;
                if (!ViaAgainst(other, j, j, c, l)) return 0;
            }
        }
    }
    return 1;
}

// Records kind 5 at this end's corner on layer 0 against the component,
// leaving the current error as it was.
void PinTwoNets(const ConnEnd& e) {
    const DrcError saved = DrcCurrentError;
    Component comp;
    CompReadJournal(e.comp, &comp);
    DrcError& d = DrcCurrentError;
    d.kind = kErrKindPinTwoNets;
    d.x = e.x;
    d.y = e.y;
    d.layer = 0;
    d.found = 0;
    d.required = 0;
    d.corner = int16_t(e.corner);
    d.otherObject = comp.recordId;
    d.otherType = kErrObjComponent;
    d.otherSub = int16_t(e.pin);
    CheckAddError(e.x, e.y, 0);
    DrcCurrentError = saved;
}

bool CornerOnLayer(const Conn* conn, int32_t i, int32_t layer) {
    const Crn& c = conn->crn[i];
    if (c.layer == layer && i < conn->head.count - 1) return true;
    if (i > 0 && conn->crn[i - 1].layer == layer) return true;
    return c.via && ViaPadCode(c.via, layer) != kPadUndef;
}

} // namespace

int32_t DrcConnVsConn(const Conn* conn, int32_t first, int32_t last, int32_t otherEntry) {
    const MapObj* e = ObjEntry(otherEntry);
    ScratchRecord<Conn> other;
    ConnReadJournal(e->index, other.get());
    const int32_t net = conn->head.net, onet = other->head.net;
    DrcCurrentError.otherObject = e->index;
    DrcCurrentError.otherType = kErrObjConn;
    DrcCurrentError.otherSub = 0;
    if (net == onet) {
        if (CheckOptions == kCheckSameNetViasOnly)
            return SameNetVias(conn, first, last, other.get());
        if (!(NetFlagsOf(net) & kNetNoShare)) return 1;
    }
    const bool noShare = (NetFlagsOf(net) & kNetNoShare) || (NetFlagsOf(onet) & kNetNoShare);
    int32_t f = first, l = last;
    if (conn->head.count >= 1 && other->head.count >= 1) {
        for (int32_t te = 0; te < 2; ++te) {
            const ConnEnd mine = EndOf(conn, te == 1);
            for (int32_t oe = 0; oe < 2; ++oe) {
                const ConnEnd theirs = EndOf(other.get(), oe == 1);
                if (!mine.comp || !mine.pin || mine.comp != theirs.comp || mine.pin != theirs.pin)
                    continue;
                if (DrcMode == kDrcRecord && net != onet) PinTwoNets(mine);
                if (!noShare) return 1;
                const bool samePoint = mine.x == theirs.x && mine.y == theirs.y;
                if (!samePoint || LeaveAlike(mine, theirs)) continue;
                if (te == 0 && f == 0) f = 1;
                if (te == 1 && l == conn->head.count - 1) l = conn->head.count - 2;
            }
        }
    }
    if (f > l) return 1;
    const int32_t on = other->head.count;
    if (on < 1) return 1;
    DrcSpacingClass = 2;
    for (int32_t i = f; i <= l; ++i) {
        const Crn& c = conn->crn[i];
        if (!c.via) continue;
        for (int32_t ly = 1; ly <= LayerCount(); ++ly) {
            if (!LayerActive(ly) || !ViaPadCode(c.via, ly)) continue;
            if (!ViaAgainst(other.get(), 0, on - 1, c, ly)) return 0;
        }
    }
    DrcSpacingClass = 0;
    for (int32_t i = f; i < l; ++i) {
        const Crn &a = conn->crn[i], &b = conn->crn[i + 1];
        if (!a.layer) continue;
        const int32_t half = HalfWidth(a);
        if (DrcIsArc(conn, i)) {
            ArcSpec arc;
            ConnArcGet(i, conn, &arc);
            if (!DrcConnVsArc(other.get(), 0, on - 1, &arc, a.layer, half)) return 0;
            ++i;
            continue;
        }
        if (!DrcConnVsSeg(other.get(), 0, on - 1, a.x, a.y, b.x, b.y, a.layer, half)) return 0;
    }
    return 1;
}

int32_t DrcConnVsPad(const Conn* conn, int32_t first, int32_t last, int32_t pad) {
    const MapObj* e = ObjEntry(pad);
    const int32_t comp = e->index, pin = e->link;
    if (comp == 0) return 1;
    const ConnHead& h = conn->head;
    if ((h.fromComp == comp && h.fromPin == pin) || (h.toComp == comp && h.toPin == pin)) return 1;
    Component rec;
    CompReadJournal(comp, &rec);
    PlacedPin pp;
    SymPinGet(&rec, pin, &pp);
    if (pp.thru < 1 || pp.thru > ThruCount()) return 1;
    DrcCurrentError.otherObject = rec.recordId;
    DrcCurrentError.otherType = kErrObjComponent;
    DrcCurrentError.otherSub = int16_t(pin);
    for (int32_t l = 1; l <= LayerCount(); ++l) {
        if (!LayerActive(l)) continue;
        const ThruLayer* tl = ThruPadRef(pp.thru, l);
        const int32_t angle = int32_t(tl->rotation) + rec.angle;
        for (int32_t k = 0; k < tl->shapeCount && k < 4; ++k) {
            const PadShape& shape = tl->shape[k];
            if (shape.code == kPadUndef) break;
            if (shape.code > kPadAnnular) ErrReport(kErrDrcPadCode, shape.code);
            PlacedShape ps;
            bool turned = false;
            PadShapePlace(pp.x, pp.y, &shape, angle, &ps, &turned);
            int32_t ok;
            if (turned) {
                ok = DrcConnVsPadShape(conn, first, last, ps.minX, ps.minY, ps.maxX, ps.maxY, comp,
                                       pin, l);
            } else if (shape.code == kPadSquare || shape.code == kPadRect) {
                ok = DrcConnVsBox(conn, first, last, ps.minX, ps.minY, ps.maxX, ps.maxY, l);
            } else {
                const int64_t w = int64_t(ps.maxX) - ps.minX, ht = int64_t(ps.maxY) - ps.minY;
                if (w >= ht) {
                    const int32_t hs = int32_t(ht / 2),
                                  y = int32_t((int64_t(ps.minY) + ps.maxY) / 2);
                    ok = DrcConnVsSeg(conn, first, last, ps.minX + hs, y, ps.maxX - hs, y, l, hs);
                } else {
                    const int32_t hs = int32_t(w / 2),
                                  x = int32_t((int64_t(ps.minX) + ps.maxX) / 2);
                    ok = DrcConnVsSeg(conn, first, last, x, ps.minY + hs, x, ps.maxY - hs, l, hs);
                }
            }
            if (!ok) return 0;
        }
    }
    return 1;
}

int32_t DrcConnVsObstacle(const Conn* conn, int32_t first, int32_t last, int32_t obs) {
    const MapObj* e = ObjEntry(obs);
    ScratchRecord<Obstacle> ob;
    ObsPlaceOnComp(e->index, e->link, ob.get());
    ObsOutlineOnly(ob.get());
    const int32_t kind = ob->head.kind;
    switch (kind) {
    case kObsOutline:
    case kObsCopper:
    case kObsNoVia:
    case kObsBoardOutline:
    case kObsRouteKeepout:
    case kObsShavable: // copper that may be shaved: checked like Copper
        break;
    default: // Avoid and every kind the router does not block with
        return 1;
    }
    DrcCurrentError.otherObject = e->index;
    DrcCurrentError.otherType = kErrObjObstacle;
    const int32_t h = ob->head.width / 2;
    const int32_t n = ob->head.count;
    const bool closed = ObsIsClosed(ob.get()) && n > 2;
    const int32_t l0 = ob->head.layer ? ob->head.layer : 1;
    const int32_t l1 = ob->head.layer ? ob->head.layer : LayerCount();
    for (int32_t l = l0; l <= l1; ++l) {
        if (!ob->head.layer && !LayerActive(l)) continue;
        if (kind != kObsNoVia) {
            for (int32_t k = 0; k < n; ++k) {
                const int32_t k2 = k + 1 < n ? k + 1 : 0;
                if (k2 == 0 && (!closed || n < 2)) {
                    if (n == 1 && !DrcConnVsSeg(conn, first, last, ob->pt[0].x, ob->pt[0].y,
                                                ob->pt[0].x, ob->pt[0].y, l, h))
                        return 0;
                    break;
                }
                DrcCurrentError.otherSub = int16_t(k);
                if (!DrcConnVsSeg(conn, first, last, ob->pt[k].x, ob->pt[k].y, ob->pt[k2].x,
                                  ob->pt[k2].y, l, h))
                    return 0;
            }
        }
        if (kind == kObsOutline) continue;
        for (int32_t i = first; i <= last; ++i) {
            const Crn& c = conn->crn[i];
            if ((c.flags & kCrnArc) || !CornerOnLayer(conn, i, l)) continue;
            if (kind == kObsNoVia && !c.via) continue;
            const bool inside = ObsContainsPt(c.x, c.y, ob.get()) != 0;
            if (inside == (kind == kObsBoardOutline)) continue;
            const uint8_t ek = c.via ? kErrKindViaSpacing : kErrKindRouteSpacing;
            if (!DrcViolation(ek, c.x, c.y, l, 0, 0, i, c.x, c.y, c.x, c.y)) return 0;
        }
    }
    return 1;
}

int32_t DrcViaInObstacle(const Conn* conn, int32_t corner, int32_t obs, int32_t owner) {
    ScratchRecord<Obstacle> ob;
    ObsPlaceOnComp(obs, owner, ob.get());
    ObsOutlineOnly(ob.get());
    const Crn& c = conn->crn[corner];
    const int32_t la = corner < conn->head.count - 1 ? c.layer : 0;
    const int32_t lb = corner > 0 ? conn->crn[corner - 1].layer : 0;
    const int32_t ol = ob->head.layer;
    if (ol != 0 && ol != la && ol != lb) return 0;
    return ObsContainsPt(c.x, c.y, ob.get()) != 0 ? 1 : 0;
}
