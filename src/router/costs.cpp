// CostScale and PrepCost: every percentage of the current sweep becomes a
// cost once per pass, so that pricing a wavefront step is one table index
// by cost class. Via costs are summed over the layers in 32 bits and only
// then bounded to 4,086.
#include "router/costs.h"

#include <algorithm>
#include <cstring>

#include "db/dbheader.h"
#include "db/err.h"
#include "db/pool.h"
#include "db/thru.h"
#include "router/layertab.h"
#include "router/mzinit.h"
#include "router/urstate.h"

namespace {

enum : ErrCode {
    kErrPercent = 2164040,
    kErrNegativeBase = 2164042,
    kErrViaTypes = 2164020,
    kErrViaAreaAlloc = 2164072,
    kErrViaCostAlloc = 2163410,
    kErrNotSetUp = 2164021,
};

enum : int32_t {
    kCostLayerLow = 1,
    kCostLayerBase = 11,
    kDirLow = 2,
    kAttemptsBase = 50,
    kHopBaseFactor = 10,
    kViaShareNum = 65,
    kViaShareDen = 50,
};

enum : int32_t {
    kClassBottleneckV = 0x10, // the class of a cell in a vertical bottleneck
    kClassBottleneckH = 0x20,
    kClassMarks = 0xC0,
    kClassHop = 0x40,
    kClassRoute = 0x80,
};

int16_t* s_viaCost = nullptr; // entries 0..count
int32_t s_viaCostCount = 0;
int32_t* s_viaArea = nullptr; // kViaAreaEntries

int32_t ViaTypeCount() {
    int32_t n = DbHdr().viaCount;
    return n < 0 ? 0 : n;
}

} // namespace

int32_t g_hopCost = 0;

int32_t CostScale(int32_t p, int32_t low, int32_t base, int32_t high) {
    if (p < 0 || p > 100) ErrReport(kErrPercent, p);
    if (base < 0) ErrReport(kErrNegativeBase, base);
    int64_t v;
    if (p <= 50)
        v = int64_t(base) * p / 50;
    else if (p < 100)
        v = int64_t(base) * 50 / (100 - p);
    else
        v = high;
    if (v < low) v = low;
    if (v > high) v = high;
    return int32_t(v);
}

int32_t ViaCostTableAlloc() {
    int32_t n = std::min(ViaTypeCount(), int32_t(kViaTypeLimit));
    int32_t bytes = int32_t(sizeof(int16_t)) * (n + 1);
    s_viaCost = static_cast<int16_t*>(PoolAlloc(bytes, MzZonePool(1), kErrViaCostAlloc));
    s_viaCostCount = s_viaCost ? n + 1 : 0;
    return s_viaCost ? 1 : 0;
}

int32_t ViaCost(int32_t type) {
    if (!s_viaCost || type < 0 || type >= s_viaCostCount) return kViaCostMax;
    return s_viaCost[type];
}

int32_t ViaArea(int32_t type) {
    if (!s_viaArea || type < 0 || type >= kViaAreaEntries) return 0;
    return s_viaArea[type];
}

int32_t PrepCost(int32_t pass) {
    const Sweep& s = CurSweep();
    if (g_verbose)
        DebugPrint("PrepCost: Preparing costs for sweep=%d, pass=%d", int(DbHdr().sweep),
                   int(pass));
    if (!s_viaCost || !g_layerRecs) ErrReport(kErrNotSetUp, pass);
    if (!s_viaArea) {
        s_viaArea = static_cast<int32_t*>(
            PoolAlloc(int32_t(sizeof(int32_t)) * kViaAreaEntries, MzZonePool(1), kErrViaAreaAlloc));
        if (!s_viaArea) ErrOutOfMemory(kErrViaAreaAlloc);
    }
    UrAllocRecords();
    MzGoal& goal = *Goal();
    goal.iterateLimit =
        int16_t(std::max(1, CostScale(s.attempts[pass], 1, kAttemptsBase, kIterateMax)));
    goal.pass = int16_t(pass);

    int32_t n = ViaTypeCount();
    if (n > kViaTypeLimit) ErrReport(kErrViaTypes, n);
    if (n >= s_viaCostCount) n = s_viaCostCount - 1; // the table of this set-up
    int32_t cost[kViaAreaEntries];
    for (int32_t v = 1; v <= n; ++v) {
        cost[v] = 1;
        s_viaArea[v] = 0;
    }
    LayerRec& zero = g_layerRecs[0];
    zero.vert[0] = kCostMax;
    zero.horz[0] = kCostMax;
    int32_t g = DbHdr().routeGrid > 0 ? DbHdr().routeGrid : 1;

    for (int32_t l = 1; l < g_layerRecCount; ++l) {
        LayerRec& r = g_layerRecs[l];
        if (r.flags & kLayerNotRoutable) continue;
        int32_t c = CostScale(s.cost[l], kCostLayerLow, kCostLayerBase, kCostMax);
        int32_t vb = CostScale(s.dir[l], kDirLow, c, kCostMax);
        int32_t hb = CostScale(100 - s.dir[l], kDirLow, c, kCostMax);
        r.vert[0] = int16_t(vb);
        r.horz[0] = int16_t(hb);
        if (g_verbose)
            DebugPrint("PrepCost: Costs for lev=%d, h:%d, v:%d", int(l), int(hb), int(vb));
        for (int32_t v = 1; v <= n; ++v) {
            if (!g_viaUsable[v]) {
                cost[v] = kViaCostMax;
                continue;
            }
            const PadShape& pad = ThruPadRef(v, l)->shape[0];
            if (pad.code == kPadUndef) continue;
            int64_t cells = (int64_t(r.spacing[0][2]) / 2 + pad.ext[0] + g - 1) / g;
            int64_t m = 2 * cells * (vb + hb);
            int64_t area = int64_t(s_viaArea[v]) + m;
            s_viaArea[v] = int32_t(std::clamp<int64_t>(area, INT32_MIN, INT32_MAX));
            int64_t share = std::min<int64_t>(m * kViaShareNum / kViaShareDen, kViaCostMax);
            cost[v] = int32_t(std::min<int64_t>(int64_t(cost[v]) + share, INT32_MAX));
        }
        if (r.enabled) {
            zero.vert[0] = int16_t(std::min<int32_t>(zero.vert[0], vb));
            zero.horz[0] = int16_t(std::min<int32_t>(zero.horz[0], hb));
        }
    }

    s_viaCost[0] = kViaCostMax;
    for (int32_t v = 1; v <= n; ++v) {
        if (g_viaUsable[v]) {
            int32_t scaled = CostScale(s.via[pass], 1, std::max(cost[v], 0), kViaCostMax);
            s_viaCost[v] = int16_t(scaled);
            if (g_verbose) DebugPrint("PrepCost: via%d cost = %ld", int(v), long(scaled));
            if (scaled < s_viaCost[0]) s_viaCost[0] = int16_t(scaled);
        } else {
            s_viaCost[v] = kViaCostMax;
        }
    }
    if (!(DbHdr().flags & kHdrMultiVia) && n >= 1) s_viaCost[0] = s_viaCost[1];

    int32_t hopBase = kHopBaseFactor * (zero.horz[0] + zero.vert[0]);
    if (n >= 1) hopBase = std::max(hopBase, 2 * int32_t(s_viaCost[0]));
    g_hopCost = CostScale(s.retry[pass], 0, hopBase, kCostMax);
    if (g_verbose) DebugPrint("PrepCost: hop cost = %ld", long(g_hopCost));

    for (int32_t l = 1; l < g_layerRecCount; ++l) {
        LayerRec& r = g_layerRecs[l];
        if (!r.enabled) continue;
        int32_t vb = r.vert[0], hb = r.horz[0];
        int32_t preferred = s.dir[l] < 50 ? vb : hb;
        int32_t cross = s.dir[l] < 50 ? hb : vb;
        int32_t bottle =
            preferred + CostScale(s.between[l], 0, cross - preferred, kCostMax - preferred);
        if (g_verbose) DebugPrint("PrepCost: L%d bottle cost = %ld", int(l), long(bottle));
        for (int32_t k = 1; k < kCostClasses; ++k) {
            if ((k & kClassMarks) == kClassHop) {
                r.vert[k] = r.horz[k] = int16_t(g_hopCost);
                continue;
            }
            int32_t v = vb, h = hb;
            if ((k & kClassBottleneckV) && hb >= vb) {
                v = bottle;
                if (cross < bottle) h = bottle;
            } else if ((k & kClassBottleneckH) && vb >= hb) {
                h = bottle;
                if (cross < bottle) v = bottle;
            }
            if (k & kClassRoute) {
                v /= 2;
                h /= 2;
            }
            r.vert[k] = int16_t(v);
            r.horz[k] = int16_t(h);
        }
    }
    if (g_verbose) {
        DebugPrint("PrepCost: iterate limit = %d", int(goal.iterateLimit));
        DebugPrint("PrepCost: min horz=%d, min vert=%d, min via=%d", int(zero.horz[0]),
                   int(zero.vert[0]), int(s_viaCost[0]));
    }
    return PrepViaTable(0);
}

void CostTablesForget() {
    s_viaCost = nullptr;
    s_viaCostCount = 0;
    s_viaArea = nullptr;
}

void CostTestReset() {
    CostTablesForget();
    LayerTableForget();
    std::memset(g_viaPair, 0, sizeof g_viaPair);
    std::memset(g_viaUsable, 0, sizeof g_viaUsable);
    g_viaUsableCount = 0;
    g_viaTableNet = 0;
    g_hopCost = 0;
}
