// PlNext and its tables. Candidates are the components of the current
// journal level; when none of them qualifies (a selection of fixed parts)
// the whole board is ranked instead. Equal keys keep their index order.
#include "place/plnext.h"

#include <algorithm>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "place/plmodel.h"
#include "place/plscore.h"

namespace {

std::vector<std::vector<int16_t>> g_compNets;
bool g_compNetsBuilt = false;

void AddNet(int32_t c, int32_t net) {
    if (c < 1 || c >= int32_t(g_compNets.size())) return;
    auto& list = g_compNets[size_t(c)];
    if (std::find(list.begin(), list.end(), int16_t(net)) == list.end())
        list.push_back(int16_t(net));
}

void buildCompNetTable() {
    if (g_verbose) DebugPrint("buildCompNetTable: Starting");
    g_compNets.assign(size_t(CompCount()) + 1, {});
    for (int32_t n = 1; n <= NetCount(); ++n) {
        const Net* net = NetRef(n);
        if ((net->flags & kPlNetNoRoute) || (net->netType & kPlNetStyleExcluded)) continue;
        for (int32_t k = NetConnFirst(n); k != 0; k = NetConnNext(k)) {
            const Conn* conn = ConnRef(k);
            if (!conn) continue;
            AddNet(conn->head.fromComp, n);
            AddNet(conn->head.toComp, n);
        }
    }
    g_compNetsBuilt = true;
    if (g_verbose) DebugPrint("buildCompNetTable: Done");
}

// The components of the current level, in item order.
std::vector<int32_t> LevelComps() {
    std::vector<int32_t> out;
    AltItemHeader h;
    void* image = ScratchPush();
    const int32_t depth = AltDepth();
    for (int32_t n = 1; n <= AltCount(); ++n) {
        AltGet(n, &h, image);
        if (h.level == depth && h.type == kRecComponent && !(h.flags & kAltDeleted))
            out.push_back(h.index);
    }
    ScratchPop(image);
    return out;
}

void Mark(std::vector<uint8_t>* flags, int32_t c, uint8_t bit) {
    for (int16_t net : g_compNets[size_t(c)])
        (*flags)[size_t(net)] |= bit;
}

std::vector<uint8_t> buildNetFlagTable(const std::vector<int32_t>& chosen) {
    if (g_verbose) DebugPrint("buildNetFlagTable: starting");
    std::vector<uint8_t> flags(size_t(NetCount()) + 1, 0);
    for (int32_t c : chosen)
        Mark(&flags, c, kPlNetTouchesChosen);
    for (int32_t c = 1; c <= CompCount(); ++c) {
        const Component* r = PlCompRef(c);
        if (r->compRef == 0 && !(r->flags & (kPlCompChosen | kPlCompUnplaced)) &&
            !PlCompOffBoard(r))
            Mark(&flags, c, kPlNetTouchesPlaced);
    }
    if (g_verbose) DebugPrint("buildNetFlagTable: Done");
    return flags;
}

} // namespace

const std::vector<std::vector<int16_t>>& PlCompNets() {
    if (!g_compNetsBuilt) buildCompNetTable();
    return g_compNets;
}

void PlCompNetsFree() {
    g_compNets.clear();
    g_compNetsBuilt = false;
}

bool PlCompOffBoard(const Component* r) {
    return r->symbol >= 1 && r->symbol <= SymCount() && CompBoxOutside(r) != 0;
}

bool PlNextQualifies(const Component* r) {
    if (r->flags & (kPlCompLocked | kPlCompFixed | kPlCompLeftOut)) return false;
    return r->compRef != 0 ||
           (r->flags & (kPlCompUnplaced | kPlCompChosen | kPlCompClusterMember)) ||
           PlCompOffBoard(r);
}

uint32_t PlNextKey(int32_t c, const std::vector<uint8_t>& netFlags) {
    const Component* r = PlCompRef(c);
    const int32_t pins = r->symbol >= 1 ? SymPinCount(r->symbol) : 0;
    uint32_t key = uint32_t(std::min<int32_t>(pins / 2, kPlNextPinClassMax));
    int64_t placed = 0, chosen = 0;
    for (int16_t net : PlCompNets()[size_t(c)]) {
        const uint8_t f = size_t(net) < netFlags.size() ? netFlags[size_t(net)] : 0;
        if (f & kPlNetTouchesPlaced) placed += PlNetWeight(net);
        if (f & kPlNetTouchesChosen) chosen += PlNetWeight(net);
    }
    key |= uint32_t(std::min<int64_t>(placed, kPlNextPlacedWeightMax)) << kPlNextPlacedShift;
    key |= uint32_t(std::min<int64_t>(chosen, kPlNextChosenWeightMax)) << kPlNextChosenShift;
    int32_t state = 0;
    if (r->compRef != 0)
        state = kPlNextStateClustered;
    else if (r->flags & kPlCompUnplaced)
        state = kPlNextStateUnplaced;
    else if (PlCompOffBoard(r))
        state = kPlNextStateOffBoard;
    key |= uint32_t(state) << kPlNextStateShift;
    if (r->flags & kPlCompNextFlag80) key |= kPlNextFlag80Bit;
    if (r->flags & kPlCompClusterMember) key |= kPlNextMemberBit;
    return key;
}

int32_t PlNext(int16_t* out, int32_t max) {
    if (CompCount() < 1 || max < 1) return 0;
    if (!g_compNetsBuilt || int32_t(g_compNets.size()) != CompCount() + 1) buildCompNetTable();
    const int32_t pool = PoolOpen(kErrPlNextPool);
    const std::vector<int32_t> level = LevelComps();
    const std::vector<uint8_t> netFlags = buildNetFlagTable(level);
    std::vector<int32_t> cands;
    for (int32_t c : level)
        if (PlNextQualifies(PlCompRef(c))) cands.push_back(c);
    if (cands.empty())
        for (int32_t c = 1; c <= CompCount(); ++c)
            if (PlNextQualifies(PlCompRef(c))) cands.push_back(c);
    struct Ranked {
        uint32_t key;
        int32_t comp;
    };
    std::vector<Ranked> ranked;
    for (int32_t c : cands)
        ranked.push_back({PlNextKey(c, netFlags), c});
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const Ranked& a, const Ranked& b) { return a.key > b.key; });
    const int32_t n = std::min<int32_t>(int32_t(ranked.size()), max);
    for (int32_t i = 0; i < n; ++i)
        out[i] = int16_t(ranked[size_t(i)].comp);
    PoolClose(pool);
    return n;
}
