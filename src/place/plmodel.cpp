// The placement model's build and release: the placement unit and area,
// one node per component (reference point, widened box, region, layer
// class), the per-net component sets and weights, the area obstacles and
// the component list. The model's pool (owner 3609010) holds the copy of
// the selection mask; tables that outgrow a pool piece are containers
// owned by the model. PlModelFree leaves nothing open.
#include "place/plmodel.h"
#include "place/plnext.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/layers.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "place/plsymclass.h"

PlaceModel g_placeModel;

namespace {

// The box of the last board obstacle of the kind, else false.
bool LastBoardBox(uint8_t kind, PlBox* out) {
    bool found = false;
    for (int32_t o = 1; o <= ObsCount(); ++o) {
        const Obstacle* r = ObsRef(o);
        if (!r || r->head.owner != 0 || r->head.kind != kind) continue;
        *out = {r->head.minX, r->head.minY, r->head.maxX, r->head.maxY};
        found = true;
    }
    return found;
}

// The placement area in database units.
PlBox AreaInUnits() {
    PlBox b;
    if (LastBoardBox(kObsCompKeepin, &b) || LastBoardBox(kObsBoardOutline, &b)) return b;
    DbHeader h;
    DbGetHeader(&h);
    if (h.extMinX > h.extMaxX || h.extMinY > h.extMaxY) return {0, 0, 0, 0};
    return {h.extMinX, h.extMinY, h.extMaxX, h.extMaxY};
}

int32_t UnitFor(const PlBox& area, int32_t userUnit) {
    int64_t unit = userUnit < 1 ? 1 : userUnit;
    const int64_t w = int64_t(area.x2) - area.x1, h = int64_t(area.y2) - area.y1;
    while (w >= kPlCoordLimit * unit || h >= kPlCoordLimit * unit)
        unit *= 2;
    return int32_t(unit);
}

int32_t Scaled(int32_t v) {
    return v / g_placeModel.placeUnit;
}

// The placement grid in placement units: a grid of 0 takes the routing
// grid; one below a placement unit counts as one unit.
int32_t GridStep(int32_t grid, int32_t routeGrid, ErrCode code) {
    if (grid == 0) grid = routeGrid;
    if (grid < 1) ErrReport(code, grid);
    int32_t step = grid / g_placeModel.placeUnit;
    return step < 1 ? 1 : step;
}

// The component's box: its Place outline's when it has one.
PlBox CompBox(int32_t c, const Component& comp) {
    for (int32_t o = CompObsFirst(c); o != 0; o = ObsNext(o)) {
        const Obstacle* r = ObsRef(o);
        if (!r || r->head.kind != kObsPlaceOutline) continue;
        auto placed = std::make_unique<Obstacle>();
        ObsPlaceOnComp(o, c, placed.get());
        return {placed->head.minX, placed->head.minY, placed->head.maxX, placed->head.maxY};
    }
    return {comp.minX, comp.minY, comp.maxX, comp.maxY};
}

void BuildNode(int32_t c, std::vector<int16_t>& masters) {
    PlaceModel& m = g_placeModel;
    PlaceNode& n = m.nodes[size_t(c)];
    Component comp;
    AltSave(kRecComponent, c, &comp);
    n.comp = int16_t(c);
    int64_t rx, ry;
    PlCompRefPoint(comp, &rx, &ry);
    n.x = Scaled(int32_t(rx));
    n.y = Scaled(int32_t(ry));
    PlBox b = CompBox(c, comp);
    n.x1 = Scaled(b.x1);
    n.y1 = Scaled(b.y1);
    n.x2 = Scaled(b.x2);
    n.y2 = Scaled(b.y2);
    SymbolInfo info{};
    if (comp.symbol >= 1) SymInfoGet(comp.symbol, &info);
    const bool tight = (info.byte11 & kPlSideSingle) || info.byte10 == kPlShapeGrid;
    const int32_t pct = tight ? kPlWidenPercentSmd : kPlWidenPercent;
    const int32_t dx = int32_t((int64_t(n.x2) - n.x1) * pct / 100);
    const int32_t dy = int32_t((int64_t(n.y2) - n.y1) * pct / 100);
    n.x1 -= dx;
    n.x2 += dx;
    n.y1 -= dy;
    n.y2 += dy;
    n.area = (int64_t(n.y2) - n.y1) * (int64_t(n.x2) - n.x1);
    n.group = comp.word40;
    n.flags = comp.flags;
    if (comp.flags & (kPlCompNoMove | kPlCompLocked | kPlCompFixed)) {
        n.region = kPlRegionNone;
        n.flags &= uint16_t(~kPlCompUnplaced);
    } else {
        n.flags |= kPlCompUnplaced;
        n.region = 0;
        if (comp.compRef != 0) {
            size_t k = 0;
            while (k < masters.size() && masters[k] != comp.compRef)
                ++k;
            if (k == masters.size()) masters.push_back(comp.compRef);
            // Members of a master beyond the 32 regions stay unclustered.
            n.region = k < size_t(kPlMaxRegions) ? int16_t(k + 1) : 0;
        }
    }
    n.classWord = (comp.flags & kPlCompClass2048)   ? kPlClassSmall
                  : (comp.flags & kPlCompClass1024) ? kPlClassLarge
                                                    : 0;
    n.symbol = comp.symbol;
    n.fpWord = info.word12;
    n.layerClass = int16_t(PlCompLayerClass(c));
}

void AddNetToComp(int32_t c, int32_t net) {
    PlaceModel& m = g_placeModel;
    if (c == 0) return; // a free end adds nothing
    if (c < 0 || c > m.compCount) ErrReport(kErrPlNetCompIndex, c);
    if (net < 1 || net > m.netCount) ErrReport(kErrPlNetIndex, net);
    PlBitSet(m.nets[size_t(net)].comps.data(), c);
    auto& list = m.nodes[size_t(c)].nets;
    for (int16_t k : list)
        if (k == net) return;
    list.push_back(int16_t(net));
}

void BuildNets() {
    PlaceModel& m = g_placeModel;
    const size_t bytes = size_t(m.compCount) / 8 + 1;
    for (int32_t n = 1; n <= m.netCount; ++n) {
        PlNetTable& t = m.nets[size_t(n)];
        t.comps.assign(bytes, 0);
        const Net* net = NetRef(n);
        const bool excluded = (net->flags & kPlNetNoRoute) || (net->netType & kPlNetStyleExcluded);
        t.weight = excluded ? 0 : net->weight / kPlWeightDivisor;
        for (int32_t k = NetConnFirst(n); k != 0; k = NetConnNext(k)) {
            const Conn* conn = ConnRef(k);
            if (!conn) continue;
            AddNetToComp(conn->head.fromComp, n);
            AddNetToComp(conn->head.toComp, n);
        }
    }
}

void BuildObstacles() {
    PlaceModel& m = g_placeModel;
    for (int32_t o = 1; o <= ObsCount(); ++o) {
        const Obstacle* r = ObsRef(o);
        if (!r || r->head.owner != 0) continue;
        switch (r->head.kind) {
        case kObsCompKeepin:
        case kObsCompKeepout:
        case kObsGroupKeepin:
        case kObsGroupKeepout:
        case kObsHeightKeepin:
        case kObsHeightKeepout:
            m.obstacles.push_back({{Scaled(r->head.minX), Scaled(r->head.minY),
                                    Scaled(r->head.maxX), Scaled(r->head.maxY)},
                                   o,
                                   r->head.layer,
                                   r->head.kind});
            break;
        default:
            break;
        }
    }
}

} // namespace

const Component* PlCompRef(int32_t c) {
    return static_cast<const Component*>(AltRef(kRecComponent, c));
}

void PlCompRefPoint(const Component& comp, int64_t* x, int64_t* y) {
    if (comp.symbol >= 1 && SymPinCount(comp.symbol) >= 1) {
        PlacedPin pin;
        SymPinGet(&comp, 1, &pin);
        *x = pin.x;
        *y = pin.y;
        return;
    }
    *x = (int64_t(comp.minX) + comp.maxX) / 2;
    *y = (int64_t(comp.minY) + comp.maxY) / 2;
}

void PlBitClear(uint8_t* bits, int32_t n) {
    bits[n / 8] &= uint8_t(~(1u << (n % 8)));
}
void PlBitSet(uint8_t* bits, int32_t n) {
    bits[n / 8] |= uint8_t(1u << (n % 8));
}
bool PlBitTest(const uint8_t* bits, int32_t n) {
    return (bits[n / 8] >> (n % 8)) & 1u;
}

int32_t PlCompPadLayer(int32_t c) {
    const Component* comp = PlCompRef(c);
    if (comp->symbol < 1) return -1;
    int32_t last = 0;
    for (int32_t p = 1; p <= SymPinCount(comp->symbol); ++p) {
        const int32_t thru = SymPinRef(comp->symbol, p)->thru;
        int32_t count = 0, layer = 0;
        for (int32_t l = 1; l <= LayerCount(); ++l) {
            if (LayerRef(l)->flags & kLayerNoRoute4) continue;
            if (thru >= 1 && thru <= ThruCount() && PadstackOnLayer(thru, l)) {
                ++count;
                layer = l;
            }
        }
        if (count >= 2) return 0;
        if (count == 1) last = layer;
    }
    return last == 0 ? -1 : last;
}

int32_t PlCompLayerClass(int32_t c) {
    const int32_t last = PlCompPadLayer(c);
    if (last <= 0) return last;
    auto& list = g_placeModel.layerList;
    for (size_t k = 0; k < list.size(); ++k)
        if (list[k] == last) return int32_t(k + 1);
    if (list.size() >= size_t(kPlMaxLayerClasses)) ErrReport(kErrPlLayerClasses, last);
    list.push_back(int16_t(last));
    return int32_t(list.size());
}

int32_t PlCompIsSmallRow(int32_t c) {
    if (c == 0) return 0;
    const Component* comp = PlCompRef(c);
    if (comp->symbol < 1) return 0;
    SymbolInfo info;
    SymInfoGet(comp->symbol, &info);
    return info.byte10 == kPlShapeSmall ? 1 : 0;
}

int32_t PlCompIsSmallClass(int32_t c) {
    if (c == 0) return 0;
    const Component* comp = PlCompRef(c);
    return (comp->flags & kPlCompClass2048) ? 1 : 0;
}

bool PlNodeSelected(int32_t c) {
    const PlaceModel& m = g_placeModel;
    return !m.mask || m.mask[c] != 0;
}

void PlRegionsBuild() {
    PlaceModel& m = g_placeModel;
    for (PlaceRegion& r : m.regions)
        r = PlaceRegion{};
    for (int32_t c = 1; c <= m.compCount; ++c) {
        PlaceNode& n = m.nodes[size_t(c)];
        n.regionLink = 0;
        if (n.region == kPlRegionNone) continue;
        if (n.region < 0 || n.region > kPlMaxRegions) ErrReport(kErrPlRegionRange, n.region);
        if (n.region == 0) continue;
        PlaceRegion& r = m.regions[n.region];
        n.regionLink = r.members;
        r.members = c;
        r.area += double(n.area);
        r.cx = n.x;
        r.cy = n.y;
    }
    for (PlaceRegion& r : m.regions)
        r.half = int32_t(std::lround(std::sqrt(r.area)));
    for (PlNetTable& t : m.nets)
        t.regions = 0;
    for (int32_t c = 1; c <= m.compCount; ++c) {
        const PlaceNode& n = m.nodes[size_t(c)];
        if (n.region > 0)
            for (int16_t net : n.nets)
                m.nets[size_t(net)].regions |= uint64_t(1) << n.region;
    }
}

void PlNetPinPoints() {
    PlaceModel& m = g_placeModel;
    for (int32_t n = 1; n <= m.netCount; ++n) {
        PlNetTable& t = m.nets[size_t(n)];
        t.points.clear();
        t.hasPoints = false;
        if (t.weight <= 0) continue;
        for (int32_t k = NetConnFirst(n); k != 0; k = NetConnNext(k)) {
            const Conn* conn = ConnRef(k);
            if (!conn) continue;
            const int16_t ends[2][2] = {{conn->head.fromComp, conn->head.fromPin},
                                        {conn->head.toComp, conn->head.toPin}};
            for (auto& e : ends) {
                if (e[0] < 1 || e[0] > m.compCount) continue;
                const Component* comp = PlCompRef(e[0]);
                if (e[1] < 1 || comp->symbol < 1 || e[1] > SymPinCount(comp->symbol)) continue;
                PlacedPin pin;
                SymPinGet(comp, e[1], &pin);
                PlPinPoint pt{Scaled(pin.x), Scaled(pin.y), e[0], e[1]};
                bool seen = false;
                for (const PlPinPoint& q : t.points)
                    seen = seen || (q.x == pt.x && q.y == pt.y);
                if (!seen) t.points.push_back(pt);
            }
            if (t.points.size() > size_t(kPlMaxPinPoints)) break;
        }
        if (t.points.empty() || t.points.size() > size_t(kPlMaxPinPoints)) {
            t.points.clear();
            continue;
        }
        t.hasPoints = true;
    }
}

void PlModelFree() {
    PlaceModel& m = g_placeModel;
    if (m.pool) PoolClose(m.pool);
    m.pool = 0;
    m.mask = nullptr;
    m.nodes.clear();
    m.nets.clear();
    m.obstacles.clear();
    m.compList.clear();
    m.layerList.clear();
    m.open = m.classified = m.symbolsClassified = false;
    // The next-component ranking's component-net lists go with the model.
    PlCompNetsFree();
}

int32_t PlModelOpen(const uint8_t* mask) {
    PlModelFree();
    PlaceModel& m = g_placeModel;
    const int32_t comps = CompCount();
    if (comps < 1) return 0;
    if (comps > kPlMaxComps) ErrReport(kErrPlCompCount, comps);
    m.pool = PoolOpen(kErrPlModelPool);
    if (mask) {
        auto* copy = static_cast<uint8_t*>(PoolAlloc(comps + 1, m.pool, kErrPlModelPool));
        std::memcpy(copy, mask, size_t(comps) + 1);
        m.mask = copy;
    }
    DbHeader h;
    DbGetHeader(&h);
    m.compCount = comps;
    m.netCount = NetCount();
    PlBox area = AreaInUnits();
    m.placeUnit = UnitFor(area, h.userUnit);
    m.area = {Scaled(area.x1), Scaled(area.y1), Scaled(area.x2), Scaled(area.y2)};
    m.xStep = GridStep(h.grid3X, h.routeGrid, kErrPlGridX);
    m.yStep = GridStep(h.grid3Y, h.routeGrid, kErrPlGridY);
    m.scoreDivisor =
        h.userUnit >= kPlCoordLimit ? kPlScoreDivisorLarge : kPlScoreDivisorFactor * h.userUnit;
    if (m.scoreDivisor < 1) m.scoreDivisor = 1;
    PlSymbolsClassifyAll();
    m.nodes.assign(size_t(comps) + 1, PlaceNode{});
    std::vector<int16_t> masters;
    for (int32_t c = 1; c <= comps; ++c)
        BuildNode(c, masters);
    m.nets.assign(size_t(m.netCount) + 1, PlNetTable{});
    BuildNets();
    BuildObstacles();
    for (int32_t c = 1; c <= comps; ++c)
        if (m.nodes[size_t(c)].region != kPlRegionNone && PlNodeSelected(c))
            m.compList.push_back(int16_t(c));
    PlRegionsBuild();
    PlNetPinPoints();
    m.open = true;
    return 1;
}
