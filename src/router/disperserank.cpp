// The pad list of a DISBURSE pass. Components are keyed by their least pin
// distance minus their pin count and heap-sorted ascending; each component's
// candidate pads are keyed (0 for a net with a required layer, else the
// distance to the component's centre) and shell-sorted with the gaps 17, 7,
// 1. The list is built by prepending, so it ends up ascending by component
// key and by pad key within a component. Nodes come from the caller's pool;
// the working arrays are kept between passes, not allocated per pad.
#include <cstdint>
#include <utility>
#include <vector>

#include "db/comps.h"
#include "db/geom.h"
#include "db/nets.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "db/names.h"
#include "router/disperse.h"
#include "router/mzgrid.h"
#include "router/objtable.h"
#include "router/urstate.h"

namespace {

enum : ErrCode { kOwnerDisperseNode = 53580 };

struct Keyed {
    int32_t key;
    int32_t value; // component or pad entry
};

std::vector<Keyed> s_comps;
std::vector<Keyed> s_pads;
std::vector<PlacedPin> s_pins;
std::vector<uint8_t> s_seen; // per component: already keyed

bool Excluded(const MapObj& o) {
    return (o.flags & (kObjFlagNoRoute | kObjFlagHeld)) != 0;
}

// The least positive distance between two pins of the component minus its
// pin count.
int32_t CompKey(int32_t comp) {
    const Component* c = CompRef(comp);
    const int32_t pins = SymPinCount(c->symbol);
    s_pins.resize(size_t(pins) + 1);
    for (int32_t p = 1; p <= pins; ++p)
        SymPinGet(c, p, &s_pins[size_t(p)]);
    int32_t least = INT32_MAX;
    for (int32_t a = 1; a <= pins; ++a)
        for (int32_t b = a + 1; b <= pins; ++b) {
            const int32_t d = PtDist(s_pins[size_t(a)].x, s_pins[size_t(a)].y, s_pins[size_t(b)].x,
                                     s_pins[size_t(b)].y);
            if (d > 0 && d < least) least = d;
        }
    if (least == INT32_MAX) least = 0;
    return int32_t(int64_t(least) - pins);
}

void SiftDown(std::vector<Keyed>& v, size_t root, size_t end) {
    for (;;) {
        size_t child = 2 * root + 1;
        if (child >= end) return;
        if (child + 1 < end && v[child + 1].key > v[child].key) ++child;
        if (v[root].key >= v[child].key) return;
        std::swap(v[root], v[child]);
        root = child;
    }
}

void HeapSort(std::vector<Keyed>& v) {
    const size_t n = v.size();
    for (size_t i = n / 2; i-- > 0;)
        SiftDown(v, i, n);
    for (size_t end = n; end > 1; --end) {
        std::swap(v[0], v[end - 1]);
        SiftDown(v, 0, end - 1);
    }
}

void ShellSort(std::vector<Keyed>& v) {
    static const size_t kGaps[] = {17, 7, 1};
    for (size_t gap : kGaps)
        for (size_t i = gap; i < v.size(); ++i) {
            Keyed t = v[i];
            size_t j = i;
            for (; j >= gap && v[j - gap].key > t.key; j -= gap)
                v[j] = v[j - gap];
            v[j] = t;
        }
}

bool InsideWindow(int32_t x, int32_t y) {
    const MzBox& w = g_mzGrid.window;
    return x >= w.minX && x <= w.maxX && y >= w.minY && y <= w.maxY;
}

} // namespace

void DispersionRank(int32_t comp, int32_t pool, DisperseNode** head) {
    const Component* c = CompRef(comp);
    const int32_t cx = int32_t((int64_t(c->minX) + c->maxX) / 2);
    const int32_t cy = int32_t((int64_t(c->minY) + c->maxY) / 2);
    s_pads.clear();
    int32_t count = 0;
    const int16_t* entries = ObjCompEntries(comp, &count);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t e = entries[i];
        const MapObj& o = *ObjEntry(e);
        if (o.type != kObjPad || Excluded(o)) continue;
        const Net* net = o.net >= 1 && o.net <= NetCount() ? NetRef(o.net) : nullptr;
        if (net && (net->flags & kNetNoRoute)) continue;
        if (!CompPinIsSmt(comp, o.link)) continue;
        PlacedPin p;
        SymPinGet(c, o.link, &p);
        if (!InsideWindow(p.x, p.y)) continue;
        if (int32_t(s_pads.size()) >= kDispersePadsMax) ErrReport(kErrDispersePads, comp);
        const int32_t key = net && (net->flags & kNetReqLayer) ? 0 : PtDist(p.x, p.y, cx, cy);
        s_pads.push_back(Keyed{key, e});
    }
    ShellSort(s_pads);
    for (size_t i = s_pads.size(); i-- > 0;) {
        auto* node = static_cast<DisperseNode*>(
            PoolAlloc(int32_t(sizeof(DisperseNode)), pool, kOwnerDisperseNode));
        node->obj = int16_t(s_pads[i].value);
        node->next = *head;
        *head = node;
    }
    Goal()->remainingCount = int16_t(Goal()->remainingCount + int32_t(s_pads.size()));
    if (g_verbose)
        DebugPrint("DispersionRank: %d SMT pads for comp %s", int(s_pads.size()),
                   NameText(c->name));
}

DisperseNode* DisperseRank(int32_t pool) {
    if (g_verbose) DebugPrint("DisperseRank: starting");
    MzGoal& g = *Goal();
    g.iterateLimit = CurSweep().attempts[g.pass];
    s_comps.clear();
    s_seen.assign(size_t(CompCount()) + 1, 0);
    for (int32_t e = 2; e <= ObjCount(); ++e) {
        const MapObj& o = *ObjEntry(e);
        if (o.type != kObjPad || Excluded(o) || o.index < 1 || o.index > CompCount()) continue;
        if (s_seen[size_t(o.index)]) continue;
        s_seen[size_t(o.index)] = 1;
        s_comps.push_back(Keyed{CompKey(o.index), o.index});
    }
    HeapSort(s_comps);
    DisperseNode* head = nullptr;
    for (size_t i = s_comps.size(); i-- > 0;)
        DispersionRank(s_comps[i].value, pool, &head);
    if (g_verbose) DebugPrint("DisperseRank: complete");
    return head;
}
