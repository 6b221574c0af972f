// Classification of the listed components. Large parts join the first
// candidate of their package, else of their pin count; a candidate keeps
// the members whose nets are mostly shared by more than three members and
// becomes a class when more than three remain. Small parts join the first
// candidate of their footprint (and package) whose first member has the
// same net on every pin. A full candidate takes no more members and
// further candidates are not opened: those parts stay unclassified.
#include "place/plclassify.h"

#include <vector>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/packages.h"
#include "db/symbols.h"
#include "place/plmodel.h"

namespace {

struct Candidate {
    int32_t package, pins, symbol;
    std::vector<int32_t> members;
};

int32_t PinCount(const Component* comp) {
    if (comp->package > 0) return PkgPinCount(comp->package);
    return comp->symbol > 0 ? SymPinCount(comp->symbol) : 0;
}

} // namespace

std::vector<int32_t> PlCompPinNets(int32_t c) {
    const Component* comp = PlCompRef(c);
    std::vector<int32_t> nets(size_t(comp->symbol > 0 ? SymPinCount(comp->symbol) : 0) + 1, 0);
    for (int16_t n : g_placeModel.nodes[size_t(c)].nets)
        for (int32_t k = NetConnFirst(n); k != 0; k = NetConnNext(k)) {
            const Conn* r = ConnRef(k);
            if (r->head.fromComp == c && size_t(r->head.fromPin) < nets.size())
                nets[size_t(r->head.fromPin)] = n;
            if (r->head.toComp == c && size_t(r->head.toPin) < nets.size())
                nets[size_t(r->head.toPin)] = n;
        }
    return nets;
}

namespace {

void Mark(int32_t c, int32_t group, int16_t word, uint16_t flag) {
    PlaceNode& n = g_placeModel.nodes[size_t(c)];
    Component comp;
    AltSave(kRecComponent, c, &comp);
    if (group) {
        comp.word40 = int16_t(group);
        n.group = int16_t(group);
    }
    comp.flags |= flag;
    n.classWord = word;
    AltPut(kRecComponent, c, 0, &comp);
}

// Joins c to a candidate chosen by the test, opening one when none fits.
template <typename Fits>
void Join(std::vector<Candidate>& cands, int32_t c, Candidate fresh, Fits fits) {
    for (Candidate& k : cands)
        if (fits(k)) {
            if (k.members.size() < size_t(kPlMaxMembers)) k.members.push_back(c);
            return;
        }
    if (cands.size() >= size_t(kPlMaxCandidates)) return;
    fresh.members.push_back(c);
    cands.push_back(fresh);
}

void Large(int32_t& nextClass) {
    const PlaceModel& m = g_placeModel;
    std::vector<Candidate> cands;
    for (int16_t c : m.compList) {
        const Component* comp = PlCompRef(c);
        const int32_t pins = PinCount(comp);
        if (m.nodes[size_t(c)].group != 0 || pins <= kPlLargePins) continue;
        const Candidate fresh{comp->package, pins, comp->symbol, {}};
        bool byPackage = false;
        if (comp->package > 0)
            for (const Candidate& k : cands)
                byPackage = byPackage || k.package == comp->package;
        if (byPackage)
            Join(cands, c, fresh, [&](const Candidate& k) { return k.package == comp->package; });
        else
            Join(cands, c, fresh, [&](const Candidate& k) { return k.pins == pins; });
    }
    for (Candidate& k : cands) {
        if (k.members.size() <= size_t(kPlClassMinMembers)) continue;
        std::vector<int32_t> kept;
        for (int32_t c : k.members) {
            const auto& nets = m.nodes[size_t(c)].nets;
            int32_t shared = 0;
            for (int16_t n : nets) {
                int32_t users = 0;
                for (int32_t o : k.members)
                    users += PlBitTest(m.nets[size_t(n)].comps.data(), o);
                if (users > kPlSharedMembers) ++shared;
            }
            if (2 * shared >= int32_t(nets.size())) kept.push_back(c);
        }
        if (kept.size() <= size_t(kPlClassMinMembers)) continue;
        ++nextClass;
        for (int32_t c : kept)
            Mark(c, nextClass, kPlClassLarge, kPlCompClass1024);
    }
}

void Small() {
    const PlaceModel& m = g_placeModel;
    std::vector<Candidate> cands;
    for (int16_t c : m.compList) {
        const Component* comp = PlCompRef(c);
        const int32_t pins = PinCount(comp);
        if (m.nodes[size_t(c)].group != 0 || pins < kPlSmallPinsMin || pins > kPlSmallPinsMax)
            continue;
        const std::vector<int32_t> nets = PlCompPinNets(c);
        const Candidate fresh{comp->package, pins, comp->symbol, {}};
        Join(cands, c, fresh, [&](const Candidate& k) {
            if (k.symbol != comp->symbol) return false;
            if (comp->package > 0 && k.package != comp->package) return false;
            return PlCompPinNets(k.members.front()) == nets;
        });
    }
    for (const Candidate& k : cands) {
        if (k.members.size() <= size_t(kPlSmallMinMembers)) continue;
        for (int32_t c : k.members)
            Mark(c, 0, kPlClassSmall, kPlCompClass2048);
    }
}

} // namespace

void PlClassify() {
    PlaceModel& m = g_placeModel;
    int32_t nextClass = 0;
    for (int32_t c = 1; c <= m.compCount; ++c)
        if (m.nodes[size_t(c)].group > nextClass) nextClass = m.nodes[size_t(c)].group;
    Large(nextClass);
    Small();
    m.classified = true;
}
