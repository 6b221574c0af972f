// PlaceCaps. Both lists are built in component order with each new entry
// at the front, so the last component is tried first. A small part is
// moved with its pin points; a partner takes at most one small part and
// leaves the list once used. In a selected-only run only the listed
// components get small-part entries (nothing outside the selection moves).
#include "place/plcaps.h"

#include <cstdlib>

#include "db/packages.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "place/plclassify.h"
#include "place/plmodel.h"
#include "place/plmove.h"
#include "place/plscore.h"
#include "place/plsymclass.h"

namespace {

int32_t ScaledDistance(int32_t a, int32_t b) {
    return int32_t(std::llabs(int64_t(a) - b) / g_placeModel.placeUnit);
}

PlSmallPart SmallEntry(int32_t c) {
    const PlaceNode& n = g_placeModel.nodes[size_t(c)];
    const Component* comp = PlCompRef(c);
    PlSmallPart s{};
    s.comp = int16_t(c);
    const std::vector<int32_t> nets = PlCompPinNets(c);
    for (size_t p = 1; p < nets.size(); ++p) {
        if (nets[p] == 0) continue;
        if (s.netA == 0)
            s.netA = int16_t(nets[p]);
        else if (nets[p] != s.netA) {
            s.netB = int16_t(nets[p]);
            break;
        }
    }
    s.axis = int16_t(PlCompAxis(comp));
    if (comp->symbol > 0 && SymPinCount(comp->symbol) >= 2) {
        PlacedPin p1, p2;
        SymPinGet(comp, 1, &p1);
        SymPinGet(comp, 2, &p2);
        s.span =
            int16_t(s.axis == kPlAxisY ? ScaledDistance(p1.x, p2.x) : ScaledDistance(p1.y, p2.y));
    }
    if (s.axis == kPlAxisY) {
        s.lowMargin = int16_t(n.x - n.x1);
        s.highMargin = int16_t(n.x2 - n.x);
    } else {
        s.lowMargin = int16_t(n.y - n.y1);
        s.highMargin = int16_t(n.y2 - n.y);
    }
    return s;
}

bool PartnerEntry(int32_t c, PlPartner* out) {
    const PlaceNode& n = g_placeModel.nodes[size_t(c)];
    if (n.region != 0 || n.symbol < 1) return false;
    SymbolInfo info{};
    SymInfoGet(n.symbol, &info);
    const bool shape =
        info.byte10 == kPlShapeDual || info.byte10 == kPlShapeGrid || info.byte10 == kPlShapeQuad;
    if (!(info.byte11 & kPlSideSingle) && !shape) return false;
    const Component* comp = PlCompRef(c);
    out->comp = int16_t(c);
    out->pins = int16_t(comp->package > 0 ? PkgPinCount(comp->package) : SymPinCount(n.symbol));
    out->uses = 0;
    out->axis = int16_t(PlCompAxis(comp));
    out->shape = info.byte10;
    return true;
}

bool HasNet(const PlaceNode& n, int32_t net) {
    if (net == 0) return true;
    for (int16_t k : n.nets)
        if (k == net) return true;
    return false;
}

// One coordinate beside the partner's box [lo, hi] with reference p: the
// side nearer the reference first, the other second; false when the small
// part's box [v - below, v + above] leaves [alo, ahi] on both.
bool Beside(int32_t lo, int32_t hi, int32_t p, int32_t half, int32_t below, int32_t above,
            int32_t alo, int32_t ahi, int32_t* out) {
    const int32_t first = p - lo < hi - p ? lo - half : hi + half;
    const int32_t second = p - lo < hi - p ? hi + half : lo - half;
    for (int32_t v : {first, second})
        if (v - below >= alo && v + above <= ahi) {
            *out = v;
            return true;
        }
    return false;
}

// The coordinate along the partner's pins: its reference, shifted by the
// pin span toward the partner's centre side the small part's margins ask.
int32_t Along(int32_t lo, int32_t hi, int32_t p, const PlSmallPart& s) {
    if (hi - p < p - lo && !(s.lowMargin < s.highMargin)) return p - s.span;
    if (p - lo < hi - p && s.lowMargin < s.highMargin) return p + s.span;
    return p;
}

} // namespace

bool PlaceCapsSpot(const PlSmallPart& s, const PlPartner& p, int32_t* x, int32_t* y) {
    const PlaceModel& m = g_placeModel;
    const PlaceNode& ns = m.nodes[size_t(s.comp)];
    const PlaceNode& np = m.nodes[size_t(p.comp)];
    if (s.axis == kPlAxisX && p.axis != kPlAxisX) {
        *y = Along(np.y1, np.y2, np.y, s);
        if (!Beside(np.x1, np.x2, np.x, m.xStep / 2, ns.x - ns.x1, ns.x2 - ns.x, m.area.x1,
                    m.area.x2, x))
            return false;
    } else if (s.axis == kPlAxisY && p.axis != kPlAxisY) {
        *x = Along(np.x1, np.x2, np.x, s);
        if (!Beside(np.y1, np.y2, np.y, m.yStep / 2, ns.y - ns.y1, ns.y2 - ns.y, m.area.y1,
                    m.area.y2, y))
            return false;
    } else {
        return false;
    }
    *x = PlSnap(*x, m.xStep);
    *y = PlSnap(*y, m.yStep);
    return true;
}

void PlaceCapsOne(PlSmallPart& s, std::vector<PlPartner>& partners) {
    PlaceModel& m = g_placeModel;
    PlaceNode& ns = m.nodes[size_t(s.comp)];
    if (ns.flags & (kPlCompNoMove | kPlCompFixed | kPlCompLocked)) return;
    const int64_t halfArea = ns.area / 2;
    int32_t best = -1;
    int64_t bestO = INT64_MAX;
    for (int32_t pass = 0; pass < 2 && best < 0; ++pass) {
        bool hadNets = false;
        for (size_t k = 0; k < partners.size(); ++k) {
            const PlPartner& p = partners[k];
            if (p.comp == s.comp) continue;
            const PlaceNode& np = m.nodes[size_t(p.comp)];
            if (ns.layerClass > 0 && np.layerClass > 0 && ns.layerClass != np.layerClass) continue;
            if (pass == 0) {
                if (s.netA == 0 && s.netB == 0) continue;
                if (!HasNet(np, s.netA) || !HasNet(np, s.netB)) continue;
                hadNets = true;
            }
            int32_t x, y;
            if (!PlaceCapsSpot(s, p, &x, &y)) continue;
            const int32_t ox = ns.x, oy = ns.y;
            PlNodeShift(s.comp, x, y, ox, oy);
            const int64_t o = PlCompOverlap(s.comp);
            if (o == 0) {
                best = int32_t(k);
                break;
            }
            if (o < bestO && o < halfArea) {
                best = int32_t(k);
                bestO = o;
            } else {
                PlNodeShift(s.comp, ox, oy, x, y);
            }
        }
        if (pass == 0 && hadNets) break;
    }
    if (best < 0) return;
    PlPartner& w = partners[size_t(best)];
    if (++w.uses > 1) ErrReport(kErrPlCapsPartner, w.comp);
    s.partner = w.comp;
    partners.erase(partners.begin() + best);
}

void PlaceCaps() {
    PlaceModel& m = g_placeModel;
    DebugPrint("PlaceCaps: started");
    if (!m.open) ErrReport(kErrPlCapsModel, 0);
    if (m.nodes.size() != size_t(m.compCount) + 1) ErrReport(kErrPlCapsNodes, m.compCount);
    const int32_t pool = PoolOpen(kErrPlCapsPool);
    std::vector<PlSmallPart> smalls;
    std::vector<PlPartner> partners;
    for (int32_t c = m.compCount; c >= 1; --c) {
        const PlaceNode& n = m.nodes[size_t(c)];
        if (n.classWord == kPlClassSmall && PlNodeSelected(c)) smalls.push_back(SmallEntry(c));
        PlPartner p;
        if (PartnerEntry(c, &p)) partners.push_back(p);
    }
    for (PlSmallPart& s : smalls)
        PlaceCapsOne(s, partners);
    PoolClose(pool);
    DebugPrint("PlaceCaps: done");
}
