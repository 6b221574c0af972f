// Builds copper-check's model from the loaded design: the pads of every
// placed pin on every layer, the routed segments and vias of every
// connection, the obstacles placed on their owners, the layers' clearance
// tables and the connections with the copper at their ends. Every shape is
// taken from the records' own numbers (pad extents turned by the pad's and
// the component's angle, corner widths times the connection grid); nothing
// here reads the router's map.
#include "copper-check-model.h"

#include <cmath>
#include <numbers>

#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/lang.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/symbols.h"
#include "db/thru.h"

namespace {

enum : int32_t { kFullTurn = 21600 }; // minutes of arc
constexpr double kArcTolerance = 1.0; // a straightened arc strays at most this far

CcPoint Turn(double dx, double dy, double c, double s) {
    return {dx * c - dy * s, dy * c + dx * s};
}

// The shape of one pad shape centred at (x, y) (its offset already
// applied), turned by angle.
bool PadShapeOf(double x, double y, const PadShape& ps, int32_t angle, CcShape* out) {
    double c = 1, s = 0;
    PadCosSin(angle, &c, &s);
    const double e0 = ps.ext[0], e1 = ps.ext[1], e2 = ps.ext[2], e3 = ps.ext[3];
    const double mx = (e2 - e0) / 2, my = (e3 - e1) / 2; // the shape's middle
    const double hx = (e0 + e2) / 2, hy = (e1 + e3) / 2;
    auto at = [&](double dx, double dy) {
        const CcPoint t = Turn(dx, dy, c, s);
        return CcPoint{x + t.x, y + t.y};
    };
    switch (ps.code) {
    case kPadRound:
    case kPadThermal:
    case kPadAnnular: {
        const CcPoint m = at(mx, my);
        *out = CcDisc(m.x, m.y, std::max(hx, hy));
        return true;
    }
    case kPadSquare:
    case kPadRect:
        out->n = 4;
        out->p[0] = at(-e0, -e1);
        out->p[1] = at(e2, -e1);
        out->p[2] = at(e2, e3);
        out->p[3] = at(-e0, e3);
        out->r = 0;
        return true;
    case kPadOblong:
    case kPadOval: {
        const double d = std::fabs(hx - hy);
        const CcPoint a = hx >= hy ? at(mx - d, my) : at(mx, my - d);
        const CcPoint b = hx >= hy ? at(mx + d, my) : at(mx, my + d);
        *out = CcStroke(a.x, a.y, b.x, b.y, std::min(hx, hy));
        return true;
    }
    default:
        return false;
    }
}

// The pads of padstack t on layer l at (x, y), the component turned by
// angle: one item each, kind, net and node given.
void AddPads(CcModel* m, int32_t t, int32_t l, int32_t x, int32_t y, int32_t angle, CcItem proto) {
    if (t < 1 || t > ThruCount()) return;
    const ThruLayer* tl = ThruPadRef(t, l);
    if (!tl || tl->shapeCount == 0) return;
    const int32_t a = ((tl->rotation + angle) % kFullTurn + kFullTurn) % kFullTurn;
    double c = 1, s = 0;
    PadCosSin(a, &c, &s);
    for (int32_t j = 0; j < tl->shapeCount && j < 4; ++j) {
        const PadShape& ps = tl->shape[j];
        if (ps.code == kPadUndef) break;
        const CcPoint off = Turn(ps.x, ps.y, c, s);
        CcItem it = proto;
        if (!PadShapeOf(x + off.x, y + off.y, ps, a, &it.shape)) continue;
        it.layer = l;
        it.box = CcShapeBox(it.shape);
        m->items.push_back(it);
    }
}

// The points of the arc from a round centre c to b (counter-clockwise when
// ccw), a full circle when a equals b, appended after a (b included).
void ArcPoints(CcPoint a, CcPoint c, CcPoint b, bool ccw, std::vector<CcPoint>* out) {
    const double r = CcDist(a, c);
    const double a0 = std::atan2(a.y - c.y, a.x - c.x), a1 = std::atan2(b.y - c.y, b.x - c.x);
    const double turn = 2 * std::numbers::pi;
    double sweep = a1 - a0;
    if (ccw) {
        while (sweep <= 0) sweep += turn;
    } else {
        while (sweep >= 0) sweep -= turn;
    }
    const double step = r > kArcTolerance ? 2 * std::acos(1 - kArcTolerance / r) : turn;
    const int32_t n = std::clamp(int32_t(std::ceil(std::fabs(sweep) / step)), 1, int32_t(kCcArcStepsMax));
    for (int32_t k = 1; k < n; ++k) {
        const double t = a0 + sweep * k / n;
        out->push_back({c.x + r * std::cos(t), c.y + r * std::sin(t)});
    }
    out->push_back(b);
}

int32_t PinNet(const CcModel& m, int32_t comp, int32_t pin) {
    if (comp < 1 || comp >= int32_t(m.pinNet.size())) return 0;
    const auto& v = m.pinNet[size_t(comp)];
    return pin >= 1 && pin < int32_t(v.size()) ? v[size_t(pin)] : 0;
}

void BuildClearances(CcModel* m) {
    for (int32_t l = 1; l <= m->layers; ++l) {
        const Layer* L = LayerRef(l);
        // s1 pad-pad, s2 segment-pad, s3 segment-segment, s4 via-via,
        // s5 via-pad, s6 via-segment.
        const double s1 = L->spacing[0], s2 = L->spacing[1], s3 = L->spacing[2],
                     s4 = L->spacing[3], s5 = L->spacing[4], s6 = L->spacing[5];
        auto& t = m->clear[l];
        t[kCcSegment][kCcSegment] = s3;
        t[kCcSegment][kCcPad] = t[kCcPad][kCcSegment] = s2;
        t[kCcPad][kCcPad] = s1;
        t[kCcSegment][kCcVia] = t[kCcVia][kCcSegment] = s6;
        t[kCcPad][kCcVia] = t[kCcVia][kCcPad] = s5;
        t[kCcVia][kCcVia] = s4;
    }
}

void BuildPins(CcModel* m) {
    const int32_t comps = CompCount();
    m->pinNode.assign(size_t(comps + 1), {});
    m->pinNet.assign(size_t(comps + 1), {});
    for (int32_t c = 1; c <= comps; ++c) {
        const Component* comp = CompRef(c);
        const int32_t pins = comp->symbol > 0 && comp->symbol <= SymCount() ? SymPinCount(comp->symbol) : 0;
        m->pinNode[size_t(c)].assign(size_t(pins + 1), -1);
        m->pinNet[size_t(c)].assign(size_t(pins + 1), 0);
        for (int32_t p = 1; p <= pins; ++p)
            m->pinNode[size_t(c)][size_t(p)] = m->nodes++;
    }
    // A pin's net is the net of the connections that end on it.
    for (int32_t n = 1; n <= ConnCount(); ++n) {
        const Conn* k = ConnRef(n);
        if (!k) continue;
        const int32_t ends[2][2] = {{k->head.fromComp, k->head.fromPin}, {k->head.toComp, k->head.toPin}};
        for (const auto& e : ends) {
            if (e[0] < 1 || e[0] > comps) continue;
            auto& v = m->pinNet[size_t(e[0])];
            if (e[1] >= 1 && e[1] < int32_t(v.size()) && v[size_t(e[1])] == 0)
                v[size_t(e[1])] = k->head.net;
        }
    }
    for (int32_t c = 1; c <= comps; ++c) {
        const Component* comp = CompRef(c);
        for (int32_t p = 1; p < int32_t(m->pinNode[size_t(c)].size()); ++p) {
            PlacedPin pp;
            SymPinGet(comp, p, &pp);
            CcItem proto;
            proto.kind = kCcPad;
            proto.net = m->pinNet[size_t(c)][size_t(p)];
            proto.node = m->pinNode[size_t(c)][size_t(p)];
            proto.a = c;
            proto.b = p;
            for (int32_t l = 1; l <= m->layers; ++l)
                AddPads(m, pp.thru, l, pp.x, pp.y, comp->angle, proto);
        }
    }
}

// The copper of every connection, and the node at each end.
void BuildConnections(CcModel* m) {
    const double unit = DbHdr().connGrid;
    for (int32_t n = 1; n <= ConnCount(); ++n) {
        const Conn* k = ConnRef(n);
        if (!k) continue;
        const int32_t count = k->head.count;
        CcConnection cc;
        cc.index = n;
        cc.net = k->head.net;
        cc.fromComp = k->head.fromComp;
        cc.fromPin = k->head.fromPin;
        cc.toComp = k->head.toComp;
        cc.toPin = k->head.toPin;
        int32_t firstNode = -1, lastNode = -1;
        for (int32_t i = 0; i < count; ++i) {
            const Crn& cr = k->crn[i];
            if (cr.via) {
                CcItem proto;
                proto.kind = kCcVia;
                proto.net = k->head.net;
                proto.node = m->nodes++;
                proto.a = n;
                proto.b = i;
                for (int32_t l = 1; l <= m->layers; ++l)
                    AddPads(m, cr.via, l, cr.x, cr.y, 0, proto);
                if (i == 0) firstNode = proto.node;
                if (i == count - 1) lastNode = proto.node;
            }
            if (i + 1 >= count || cr.layer < 1 || cr.layer > m->layers) continue;
            std::vector<CcPoint> pts{{double(cr.x), double(cr.y)}};
            int32_t next = i + 1;
            if (i + 2 < count && (k->crn[i + 1].flags & kCrnArc)) {
                const Crn& c = k->crn[i + 1];
                const Crn& e = k->crn[i + 2];
                // The shorter way round, as a drawn arc goes.
                const CcPoint a{double(cr.x), double(cr.y)}, o{double(c.x), double(c.y)},
                    b{double(e.x), double(e.y)};
                ArcPoints(a, o, b, CcCross(a, o, b) < 0, &pts);
                next = i + 2;
            } else {
                pts.push_back({double(k->crn[next].x), double(k->crn[next].y)});
            }
            CcItem it;
            it.kind = kCcSegment;
            it.net = k->head.net;
            it.node = m->nodes++;
            it.layer = cr.layer;
            it.a = n;
            it.b = i;
            for (size_t j = 0; j + 1 < pts.size(); ++j) {
                it.shape = CcStroke(pts[j].x, pts[j].y, pts[j + 1].x, pts[j + 1].y,
                                    double(cr.width) * unit / 2);
                it.box = CcShapeBox(it.shape);
                m->items.push_back(it);
            }
            if (i == 0 && firstNode < 0) firstNode = it.node;
            if (next == count - 1) lastNode = it.node;
        }
        auto endNode = [&](int32_t comp, int32_t pin, int32_t copper) {
            if (comp >= 1 && comp < int32_t(m->pinNode.size())) {
                const auto& v = m->pinNode[size_t(comp)];
                return pin >= 1 && pin < int32_t(v.size()) ? v[size_t(pin)] : m->nodes++;
            }
            return copper >= 0 ? copper : m->nodes++;
        };
        cc.fromNode = endNode(cc.fromComp, cc.fromPin, firstNode);
        cc.toNode = endNode(cc.toComp, cc.toPin, lastNode);
        if (!(k->head.flags & kConnNotSelected)) m->connections.push_back(cc);
    }
}

// The rules an obstacle kind puts on copper (0: none).
uint8_t RulesOf(uint8_t kind) {
    switch (kind) {
    case kObsOutline:
        return kCcObsEdges;
    case kObsCopper:
    case kObsShavable:
        return kCcObsEdges | kCcObsInside | kCcObsCopper;
    case kObsNoVia:
        return kCcObsInside | kCcObsViasOnly;
    case kObsBoardOutline:
        return kCcObsEdges | kCcObsOutside;
    case kObsRouteKeepout:
        return kCcObsEdges | kCcObsInside;
    default: // Avoid, and the kinds of placement and drawing
        return 0;
    }
}

void AddObstacle(CcModel* m, int32_t o, int32_t comp) {
    Obstacle rec;
    ObsPlaceOnComp(o, comp, &rec);
    CcObstacle ob;
    ob.index = o;
    ob.comp = comp;
    ob.kind = rec.head.kind;
    ob.rules = RulesOf(ob.kind);
    if (!ob.rules || rec.head.count < 1) return;
    ob.layer = rec.head.layer <= m->layers ? rec.head.layer : -1;
    if (ob.layer < 0) return;
    ob.name = NameText(rec.head.name);
    if (ob.rules & kCcObsCopper) {
        const int32_t w = rec.head.net;
        ob.net = w == kObsNoNet ? int32_t(kCcNoNet)
                 : w == 0      ? int32_t(kCcAnyNet)
                 : w > 0       ? int32_t(w)
                               : PinNet(*m, comp, -w);
        if (ob.net == 0) ob.net = kCcNoNet;
        ob.node = m->nodes++;
    }
    const double hw = rec.head.width / 2.0;
    const int32_t n = rec.head.count;
    std::vector<CcPoint> pts;
    bool closed = ObsIsClosed(&rec) && n > 2;
    if ((rec.head.flags & kObsCircle) && n == 3) {
        ob.circle = true;
        ob.centre = {double(rec.pt[1].x), double(rec.pt[1].y)};
        ob.radius = CcDist(ob.centre, {double(rec.pt[0].x), double(rec.pt[0].y)});
        const CcPoint a{double(rec.pt[0].x), double(rec.pt[0].y)};
        pts.push_back(a);
        ArcPoints(a, ob.centre, a, true, &pts);
        closed = true;
    } else {
        for (int32_t i = 0; i < n; ++i) {
            const CcPoint p{double(rec.pt[i].x), double(rec.pt[i].y)};
            if (i + 2 < n + (closed ? 1 : 0) && (rec.pt[i + 1].flags & kObsPtArc)) {
                const CcPoint c{double(rec.pt[i + 1].x), double(rec.pt[i + 1].y)};
                const ObsPoint& e = rec.pt[(i + 2) % n];
                if (pts.empty() || pts.back().x != p.x || pts.back().y != p.y) pts.push_back(p);
                ArcPoints(p, c, {double(e.x), double(e.y)}, rec.pt[i + 1].flags & kObsPtArcCcw, &pts);
                ++i; // the centre; the arc's end starts the next edge
                continue;
            }
            if (pts.empty() || pts.back().x != p.x || pts.back().y != p.y) pts.push_back(p);
        }
    }
    if (closed && pts.size() > 1 && pts.front().x == pts.back().x && pts.front().y == pts.back().y)
        pts.pop_back();
    if ((ob.rules & (kCcObsInside | kCcObsOutside)) && closed && !ob.circle) ob.area.Build(pts);
    if ((ob.rules & (kCcObsInside | kCcObsOutside)) && !closed && !ob.circle)
        ob.rules &= uint8_t(~(kCcObsInside | kCcObsOutside)); // an open line has no inside
    const int32_t slot = int32_t(m->obstacles.size());
    CcBox box{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
    for (const CcPoint& p : pts) {
        box.x1 = std::min(box.x1, p.x);
        box.y1 = std::min(box.y1, p.y);
        box.x2 = std::max(box.x2, p.x);
        box.y2 = std::max(box.y2, p.y);
    }
    ob.box = {box.x1 - hw, box.y1 - hw, box.x2 + hw, box.y2 + hw};
    if (ob.rules & kCcObsEdges) {
        const int32_t l0 = ob.layer ? ob.layer : 1, l1 = ob.layer ? ob.layer : m->layers;
        CcItem it;
        it.kind = kCcEdge;
        it.net = ob.net;
        it.node = ob.node;
        it.a = slot;
        for (int32_t l = l0; l <= l1; ++l) {
            it.layer = l;
            if (ob.circle && (ob.rules & kCcObsInside)) {
                // A round keep-out is one disc: inside and near alike.
                it.shape = CcDisc(ob.centre.x, ob.centre.y, ob.radius + hw);
                it.box = CcShapeBox(it.shape);
                m->items.push_back(it);
                continue;
            }
            const size_t edges = closed ? pts.size() : pts.size() - 1;
            if (pts.size() == 1) {
                it.shape = CcDisc(pts[0].x, pts[0].y, hw);
                it.box = CcShapeBox(it.shape);
                m->items.push_back(it);
            }
            for (size_t e = 0; e < edges && pts.size() > 1; ++e) {
                const CcPoint a = pts[e], b = pts[(e + 1) % pts.size()];
                it.shape = CcStroke(a.x, a.y, b.x, b.y, hw);
                it.box = CcShapeBox(it.shape);
                m->items.push_back(it);
            }
        }
    }
    m->obstacles.push_back(std::move(ob));
}

void BuildObstacles(CcModel* m) {
    for (int32_t o = ObsBoardFirst(); o; o = ObsNext(o))
        AddObstacle(m, o, 0);
    for (int32_t c = 1; c <= CompCount(); ++c)
        for (int32_t o = CompObsFirst(c); o; o = ObsNext(o))
            AddObstacle(m, o, c);
}

} // namespace

void CcModelBuild(CcModel* m) {
    *m = CcModel{};
    m->layers = std::min<int32_t>(LayerCount(), kMaxLayers);
    m->mmPerUnit = DbHdr().unitSize * 25.4;
    BuildClearances(m);
    BuildPins(m);
    BuildConnections(m);
    BuildObstacles(m);
}

std::string CcNetName(int32_t net) {
    if (net == kCcNoNet) return "no net";
    if (net == kCcAnyNet) return "any net";
    if (net < 1 || net > NetCount()) return "no net";
    return NameText(NetRef(net)->name);
}

std::string CcItemName(const CcModel& m, const CcItem& it) {
    switch (it.kind) {
    case kCcSegment:
    case kCcVia:
        return std::string(it.kind == kCcVia ? "via" : "segment") + " of " + CcNetName(it.net) +
               " (connection " + std::to_string(it.a) + " corner " + std::to_string(it.b) + ")";
    case kCcPad: {
        const Component* c = CompRef(it.a);
        const SymbolPin* p = SymPinRef(c->symbol, it.b);
        std::string name = std::string("pad ") + NameText(c->name) + "." + NameText(p->name);
        return it.net ? name + " of " + CcNetName(it.net) : name + " (no net)";
    }
    default:
        return CcObstacleName(m.obstacles[size_t(it.a)]);
    }
}

std::string CcObstacleName(const CcObstacle& o) {
    std::string s = std::string(LangString(ObsKindMsgId(o.kind))) + " \"" + o.name + "\"";
    if (o.comp) s += std::string(" of ") + NameText(CompRef(o.comp)->name);
    return s;
}
