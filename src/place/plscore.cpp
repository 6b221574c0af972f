// The score terms. Overlaps are counted between boxes that may collide:
// either layer class 0 or both equal. An area obstacle is looked at when
// the component's layer class is 0, the obstacle's layer is 0 or the two
// are equal; keepouts are broken by any overlap, keepins by not lying
// wholly inside, with the group and height attribute exceptions.
#include "place/plscore.h"

#include <cstdlib>

#include "db/altjournal.h"
#include "db/attrs.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/symbols.h"
#include "place/plmodel.h"
#include "place/plpair.h"
#include "place/plsymclass.h"

namespace {

int64_t OverlapLen(int32_t a1, int32_t a2, int32_t b1, int32_t b2) {
    const int64_t lo = a1 > b1 ? a1 : b1, hi = a2 < b2 ? a2 : b2;
    return hi > lo ? hi - lo : 0;
}

bool Inside(const PlaceNode& n, const PlBox& b) {
    return n.x1 >= b.x1 && n.y1 >= b.y1 && n.x2 <= b.x2 && n.y2 <= b.y2;
}

bool Breaks(const PlaceNode& n, const PlAreaObstacle& o) {
    const bool keepout =
        o.kind == kObsCompKeepout || o.kind == kObsGroupKeepout || o.kind == kObsHeightKeepout;
    const bool base = keepout ? OverlapLen(n.x1, n.x2, o.box.x1, o.box.x2) > 0 &&
                                    OverlapLen(n.y1, n.y2, o.box.y1, o.box.y2) > 0
                              : !Inside(n, o.box);
    Attribute a;
    const bool groupKinds = o.kind == kObsGroupKeepout || o.kind == kObsCompKeepin ||
                            o.kind == kObsGroupKeepin || o.kind == kObsHeightKeepin;
    if (AttrFind(kPlAttrGroupLimit, kPlAttrKeyComp, n.comp, o.obstacle, &a)) {
        if (groupKinds) return base && n.group == a.value1;
        return base;
    }
    const bool heightKinds = o.kind == kObsHeightKeepout || o.kind == kObsCompKeepin ||
                             o.kind == kObsGroupKeepin || o.kind == kObsHeightKeepin;
    if (heightKinds && AttrFind(kPlAttrHeightLimit, kPlAttrKeyComp, n.comp, o.obstacle, &a)) {
        const int32_t h = a.value1;
        SymbolInfo info{};
        if (n.symbol >= 1) SymInfoGet(n.symbol, &info);
        if (h == 0 || (h > 0 && h >= info.value[0]) || (h < 0 && -int64_t(h) >= info.value[1]))
            return false;
    }
    return base;
}

int64_t Manhattan(const PlaceNode& a, const PlaceNode& b) {
    return std::llabs(int64_t(a.x) - b.x) + std::llabs(int64_t(a.y) - b.y);
}

} // namespace

void PlSetRunOptions(int32_t options) {
    g_placeModel.runOptions = options;
}

int64_t PlNetMeasure(int32_t net) {
    const PlNetTable& t = g_placeModel.nets[size_t(net)];
    if (!t.hasPoints) return 0;
    if (!(g_placeModel.runOptions & kPlOptHalfPerimeter)) return PairNetLength(net);
    int64_t x1 = INT64_MAX, y1 = INT64_MAX, x2 = INT64_MIN, y2 = INT64_MIN;
    for (const PlPinPoint& p : t.points) {
        if (p.comp == 0) continue;
        x1 = p.x < x1 ? p.x : x1;
        y1 = p.y < y1 ? p.y : y1;
        x2 = p.x > x2 ? p.x : x2;
        y2 = p.y > y2 ? p.y : y2;
    }
    if (x1 > x2) return 0;
    return (x2 + y2 - x1 - y1) / 2;
}

int64_t PlNetWire(int32_t net) {
    PlNetTable& t = g_placeModel.nets[size_t(net)];
    t.lengthPrev = t.lengthLast;
    t.lengthLast = t.weight > 0 ? PlNetMeasure(net) : 0;
    return t.weight * t.lengthLast;
}

void PlNetWireUndo(int32_t net) {
    PlNetTable& t = g_placeModel.nets[size_t(net)];
    t.lengthLast = t.lengthPrev;
}

int64_t PlCompOverlap(int32_t c) {
    const PlaceModel& m = g_placeModel;
    const PlaceNode& n = m.nodes[size_t(c)];
    int64_t sum = 0;
    for (int32_t k = 1; k <= m.compCount; ++k) {
        if (k == c) continue;
        const PlaceNode& o = m.nodes[size_t(k)];
        if (n.layerClass != 0 && o.layerClass != 0 && n.layerClass != o.layerClass) continue;
        sum += 2 * OverlapLen(n.x1, n.x2, o.x1, o.x2) * OverlapLen(n.y1, n.y2, o.y1, o.y2);
    }
    for (const PlAreaObstacle& o : m.obstacles) {
        if (n.layerClass != 0 && o.layer != 0 && n.layerClass != o.layer) continue;
        if (Breaks(n, o)) {
            sum += kPlAreaPenalty;
            break;
        }
    }
    if (!Inside(n, m.area)) sum += kPlAreaPenalty;
    return sum;
}

int64_t PlCompGroup(int32_t c) {
    const PlaceModel& m = g_placeModel;
    const PlaceNode& n = m.nodes[size_t(c)];
    if (n.group < 1 || n.classWord == kPlClassSmall) return 0;
    int64_t sum = 0;
    for (int32_t k = 1; k <= m.compCount; ++k) {
        const PlaceNode& o = m.nodes[size_t(k)];
        if (k == c || o.group != n.group || o.classWord == kPlClassSmall) continue;
        sum += 2 * Manhattan(n, o);
    }
    return sum;
}

int64_t PlScoreWire() {
    int64_t sum = 0;
    for (int32_t net = 1; net <= g_placeModel.netCount; ++net)
        sum += PlNetWire(net);
    return sum / g_placeModel.scoreDivisor;
}

int64_t PlScoreOverlap() {
    int64_t sum = 0;
    for (int32_t c = 1; c <= g_placeModel.compCount; ++c)
        sum += PlCompOverlap(c);
    return sum / g_placeModel.scoreDivisor;
}

int64_t PlScoreGroup() {
    int64_t sum = 0;
    for (int32_t c = 1; c <= g_placeModel.compCount; ++c)
        sum += PlCompGroup(c);
    return sum / g_placeModel.scoreDivisor;
}

int32_t PlNetWeight(int32_t net) {
    const Net* r = NetRef(net);
    if ((r->flags & kPlNetNoRoute) || (r->netType & kPlNetStyleExcluded) || r->weight == 0)
        return 0;
    return r->weight / kPlWeightDivisor + 1;
}

double PlAlignScore(int32_t a, int32_t b) {
    const Component* ca = PlCompRef(a);
    const Component* cb = PlCompRef(b);
    if (ca->symbol < 1 || cb->symbol < 1) return 0;
    const int32_t pa = SymPinCount(ca->symbol), pb = SymPinCount(cb->symbol);
    if (pa < 1 || pb < 1) return 0;
    auto term = [](double dx, double dy) {
        const double mn = dx < dy ? dx : dy;
        const double v = mn * mn / (dx + dy);
        return v * v;
    };
    const int32_t axis = PlCompAxis(ca);
    if (axis != 0 && axis == PlCompAxis(cb)) {
        PlacedPin p, q;
        SymPinGet(ca, 1, &p);
        SymPinGet(cb, 1, &q);
        if (p.x == q.x || p.y == q.y) return 0;
        return term(std::llabs(int64_t(p.x) - q.x), std::llabs(int64_t(p.y) - q.y)) *
               double(kPlAlignWeight);
    }
    int64_t best = INT64_MAX, bdx = 0, bdy = 0;
    for (int32_t i = 1; i <= pa; ++i) {
        PlacedPin p;
        SymPinGet(ca, i, &p);
        for (int32_t j = 1; j <= pb; ++j) {
            PlacedPin q;
            SymPinGet(cb, j, &q);
            const int64_t dx = std::llabs(int64_t(p.x) - q.x), dy = std::llabs(int64_t(p.y) - q.y);
            if (dx + dy < best) {
                best = dx + dy;
                bdx = dx;
                bdy = dy;
            }
        }
    }
    if (bdx == 0 || bdy == 0) return 0;
    return term(double(bdx), double(bdy));
}
