// PlGateSwap. A gate is a nonzero gate number of package pins with the
// swap flag; two gates match when their pin functions correspond one to
// one. A trial exchange rewrites the pin points of the working nets in
// one pass from their original values (a point mapped A -> B is never
// mapped back) and is undone unless the weighted length falls.
//
// A gate-assignment attribute is (kind 3, first key type 9, component,
// pin) with value 1 the other component and value 3 the other pin,
// stored in the journal under PlAltAttrIndex.
#include "place/plgateswap.h"

#include <memory>
#include <vector>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/packages.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "place/plaltattr.h"
#include "place/plmodel.h"
#include "place/plscore.h"

namespace {

struct Gate {
    int16_t number;
    std::vector<int16_t> pins;
};

// The gates of a component's package, from the last pin to the first.
std::vector<Gate> GatesOf(int32_t package) {
    std::vector<Gate> gates;
    const int32_t n = PkgPinCount(package);
    for (int32_t p = n; p >= 1; --p) {
        PackagePin pin;
        PkgPinGet(package, p, &pin);
        if (pin.value == 0 || pin.byte10 == 0) continue;
        Gate* g = nullptr;
        for (Gate& k : gates)
            if (k.number == pin.value) g = &k;
        if (!g) {
            if (int32_t(gates.size()) >= kPlMaxGates) continue;
            gates.push_back({pin.value, {}});
            g = &gates.back();
        }
        g->pins.push_back(int16_t(p));
    }
    return gates;
}

uint8_t FunctionOf(int32_t package, int32_t pin) {
    PackagePin p;
    PkgPinGet(package, pin, &p);
    return p.code;
}

// map[p] for the pins of ga: the pin of gb of the same function, or false
// when the functions do not correspond one to one.
bool MapGate(int32_t package, const Gate& ga, const Gate& gb, std::vector<int16_t>& map) {
    if (ga.pins.size() != gb.pins.size()) return false;
    for (int16_t p : ga.pins) {
        int32_t found = 0, count = 0;
        for (int16_t q : gb.pins)
            if (FunctionOf(package, q) == FunctionOf(package, p)) {
                found = q;
                ++count;
            }
        if (count != 1) return false;
        map[size_t(p)] = int16_t(found);
    }
    return true;
}

// The pin's point in placement units where the model has its component.
void PinPoint(int32_t c, int32_t pin, int32_t* x, int32_t* y) {
    const PlaceModel& m = g_placeModel;
    const Component* r = PlCompRef(c);
    PlacedPin p{};
    if (r->symbol >= 1 && pin >= 1 && pin <= SymPinCount(r->symbol)) SymPinGet(r, pin, &p);
    int64_t rx, ry;
    PlCompRefPoint(*r, &rx, &ry);
    const PlaceNode& n = m.nodes[size_t(c)];
    *x = n.x + p.x / m.placeUnit - int32_t(rx / m.placeUnit);
    *y = n.y + p.y / m.placeUnit - int32_t(ry / m.placeUnit);
}

void CheckNet(int32_t net, ErrCode code) {
    if (net < 1 || net > g_placeModel.netCount) ErrReport(code, net);
}

int64_t Weighted(const std::vector<int16_t>& nets) {
    int64_t sum = 0;
    for (int16_t net : nets) {
        CheckNet(net, kErrPlGateNetMeasure);
        const PlNetTable& t = g_placeModel.nets[size_t(net)];
        if (t.weight > 0) sum += t.weight * t.lengthLast;
    }
    return sum;
}

void RecordAssignment(int32_t c, int32_t pin, int32_t other, int32_t otherPin) {
    Attribute a;
    AltAttrFind(kPlAttrGateKind, kPlAttrGateSub, c, pin, &a);
    a.value1 = other;
    a.value3 = otherPin;
    AltPut(kRecAttribute, PlAltAttrIndex(a), 0, &a);
}

// The end (comp, pin) rewritten by the maps, from its original value.
bool MapEnd(int16_t* comp, int16_t* pin, int32_t a, int32_t b, const std::vector<int16_t>& ab,
            const std::vector<int16_t>& ba) {
    if (*comp == a && *pin >= 1 && size_t(*pin) < ab.size() && ab[size_t(*pin)]) {
        const int16_t to = ab[size_t(*pin)];
        *comp = int16_t(b);
        *pin = to;
        return true;
    }
    if (*comp == b && *pin >= 1 && size_t(*pin) < ba.size() && ba[size_t(*pin)]) {
        const int16_t to = ba[size_t(*pin)];
        *comp = int16_t(a);
        *pin = to;
        return true;
    }
    return false;
}

void Commit(int32_t a, int32_t b, const Gate& ga, const std::vector<int16_t>& ab,
            const std::vector<int16_t>& ba, const std::vector<int16_t>& nets) {
    for (int16_t p : ga.pins) {
        RecordAssignment(a, p, b, ab[size_t(p)]);
        RecordAssignment(b, ab[size_t(p)], a, p);
    }
    auto rec = std::make_unique<Conn>();
    for (int16_t net : nets) {
        CheckNet(net, kErrPlGateNetConn);
        for (int32_t k = NetConnFirst(net); k != 0; k = NetConnNext(k)) {
            AltSave(kRecConn, k, rec.get());
            const bool from = MapEnd(&rec->head.fromComp, &rec->head.fromPin, a, b, ab, ba);
            const bool to = MapEnd(&rec->head.toComp, &rec->head.toPin, a, b, ab, ba);
            if (!from && !to) continue;
            ConnFitPins(rec.get());
            AltPut(kRecConn, k, 0, rec.get());
        }
    }
}

} // namespace

int32_t PlGateSwap(int32_t a, int32_t b) {
    PlaceModel& m = g_placeModel;
    const Component* ra = PlCompRef(a);
    const Component* rb = PlCompRef(b);
    const int32_t package = ra->package;
    if (package < 1 || rb->package != package) return 0;
    if (!m.open || m.nets.size() != size_t(m.netCount) + 1) ErrReport(kErrPlGatePoints, a);
    const int32_t pool = PoolOpen(kErrPlGatePool);
    if (!pool) ErrReport(kErrPlGateWorkList, a);
    std::vector<int16_t> nets;
    for (int32_t c : {a, b})
        for (int16_t net : m.nodes[size_t(c)].nets) {
            CheckNet(net, kErrPlGateNetList);
            bool seen = false;
            for (int16_t k : nets)
                seen = seen || k == net;
            if (!seen) nets.push_back(net);
        }
    int64_t L0 = Weighted(nets);
    const std::vector<Gate> gates = GatesOf(package);
    const size_t pins = size_t(PkgPinCount(package)) + 1;
    int32_t result = 0;
    for (const Gate& ga : gates)
        for (const Gate& gb : gates) {
            if (a == b && gb.number == ga.number) continue;
            std::vector<int16_t> ab(pins, 0), ba(pins, 0);
            if (!MapGate(package, ga, gb, ab) || !MapGate(package, gb, ga, ba)) continue;
            for (int16_t p : ga.pins)
                if (ba[size_t(ab[size_t(p)])] != p) ErrReport(kErrPlGateMaps, p);
            std::vector<std::vector<PlPinPoint>> saved;
            for (int16_t net : nets) {
                std::vector<PlPinPoint>& pts = m.nets[size_t(net)].points;
                saved.push_back(pts);
                for (PlPinPoint& pt : pts)
                    if (MapEnd(&pt.comp, &pt.pin, a, b, ab, ba))
                        PinPoint(pt.comp, pt.pin, &pt.x, &pt.y);
            }
            for (int16_t net : nets)
                PlNetWire(net);
            const int64_t L = Weighted(nets);
            if (L < L0) {
                Commit(a, b, ga, ab, ba, nets);
                L0 = L;
                result = 1;
                continue;
            }
            for (size_t k = 0; k < nets.size(); ++k) {
                m.nets[size_t(nets[k])].points = saved[k];
                PlNetWireUndo(nets[k]);
            }
        }
    PoolClose(pool);
    return result;
}
