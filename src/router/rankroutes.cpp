// The ranking of a pass: which connections of the routing window the pass
// tries, their keys, and the route order threaded through the object
// table. Each connection is read once (as the edit sees it); the keys are
// built once per pass and sorted by heapSort, whose order is the result.
#include "router/rankroutes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "db/conns.h"
#include "db/dbheader.h"
#include "db/dblog.h"
#include "db/layers.h"
#include "db/nets.h"
#include "db/pool.h"
#include "router/goalends.h"
#include "router/layertab.h"
#include "router/loopcommon.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/passflags.h"
#include "router/urstate.h"

namespace {

enum : int32_t {
    kNetRankBase = 100,
    kDirTens = 10,
    kDirDiagonalAdd = 2,
    kCompShift = 16,
    kEndClasses = 4,
};

// End-class keys: [first end's class][second end's class][layers differ].
const int16_t kEndClassTable[kEndClasses][kEndClasses][2] = {
    {{2, 1}, {3, 3}, {4, 4}, {9, 9}},
    {{3, 3}, {7, 7}, {8, 8}, {11, 11}},
    {{4, 4}, {8, 8}, {6, 5}, {10, 10}},
    {{9, 9}, {11, 11}, {10, 10}, {12, 12}},
};

bool InWindow(const Crn& c) {
    const MzBox& w = g_mzGrid.window;
    return c.x >= w.minX && c.x <= w.maxX && c.y >= w.minY && c.y <= w.maxY;
}

// The window test of the pass on MzGoal's gap range.
bool WindowTest(const Conn* rec, uint16_t flags) {
    const MzGoal& g = *Goal();
    bool ok = false;
    if (flags & kPassViaReduce) {
        for (int32_t i = g.crn1Index; i <= g.crn2Index && !ok; ++i)
            ok = rec->crn[i].via != 0 && InWindow(rec->crn[i]);
        if (!ok) return false;
    } else if (!(flags & kPassReroute)) {
        for (int32_t i = g.crn1Index; i < g.crn2Index && !ok; ++i) {
            const Crn &a = rec->crn[i], &b = rec->crn[i + 1];
            ok = a.layer == 0 && MzClipSeg(a.x, a.y, b.x, b.y, 0);
        }
        if (!ok) return false;
    }
    if (flags & kPassPartial) return true;
    return InWindow(rec->crn[g.crn1Index]) && InWindow(rec->crn[g.crn2Index]);
}

// The net rank and size terms of a connection of net on a board with
// `enabled` enabled layers (counted up to 2).
void NetTerms(RankKey* k, int32_t net, int32_t enabled) {
    const MzGoal& g = *Goal();
    const Net* n = net >= 1 && net <= NetCount() ? NetRef(net) : nullptr;
    k->netRank = int16_t(kNetRankBase - (n ? n->weight : 0));
    if (enabled <= 1) {
        int32_t count = 0;
        if (n)
            for (int32_t c = NetConnFirst(net); c; c = NetConnNext(c))
                ++count;
        k->size = int16_t(count);
        return;
    }
    const DbHeader& h = DbHdr();
    const LayerRec* first = LayerRecOf(1);
    const int64_t spacing = first ? first->spacing[0][0] : 0;
    const int64_t grid = h.routeGrid > 0 ? h.routeGrid : 1;
    k->size = int16_t(-((int64_t(g.goalWidth) * h.connGrid * 2 + spacing - 1) / grid));
}

int32_t EndClassOf(int32_t sector, int32_t layer) {
    return (sector != 0 ? 2 : 0) + (layer == 0 ? 1 : 0);
}

// The key of the connection in hand (MzGoal), entry n.
RankKey BuildKey(int32_t n, const Conn* rec, int32_t enabled) {
    const MzGoal& g = *Goal();
    RankKey k{};
    k.obj = int16_t(n);
    NetTerms(&k, rec->head.net, enabled);
    k.endClass = int16_t(RankEndClass(g.srcSector, g.srcLayer, g.dstSector, g.dstLayer));
    const int32_t c1 = rec->head.fromComp, c2 = rec->head.toComp;
    k.compPair = (std::min(c1, c2) << kCompShift) + std::max(c1, c2);
    k.dirKey = RankDirKey(g.srcX, g.srcY, g.dstX, g.dstY, c1, c2, DbHdr().routeGrid);
    const DbHeader& run = g_router.header; // the window position of the run
    const int64_t ox = MzX(run.value212[2]), oy = MzY(run.value212[3]);
    k.approach = int32_t(std::min(std::llabs(g.srcMzX - ox), std::llabs(g.dstMzX - ox)) +
                         std::min(std::llabs(g.srcMzY - oy), std::llabs(g.dstMzY - oy)));
    return k;
}

// Whether entry n's connection (read into rec) may be ranked: its ends, its
// goal ends, the window test and the detour.
bool Candidate(int32_t n, Conn* rec, uint16_t flags) {
    MzGoal& g = *Goal();
    const MapObj& o = *ObjEntry(n);
    g.objIndex = int16_t(n);
    g.conn = o.index;
    ConnReadJournal(o.index, rec);
    if (rec->head.count < 2 || rec->head.fromComp == 0 || rec->head.toComp == 0) return false;
    if (!g.partialMode) {
        g.crn1Index = 0;
        g.crn2Index = int16_t(rec->head.count - 1);
    }
    if (!mzGoalEnds(rec) || !WindowTest(rec, flags)) return false;
    return !rankDetour(rec);
}

} // namespace

int32_t RankDirKey(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t comp1, int32_t comp2,
                   int32_t g) {
    if (g <= 0) g = 1;
    int64_t dx = (int64_t(x1) - x2) / g, dy = (int64_t(y1) - y2) / g;
    if (dx < 0) {
        dx = -dx;
        dy = -dy;
    } else if (dx == 0 && comp1 > comp2) {
        dy = -dy;
    }
    int32_t s = 0;
    if (dy < 0) {
        s = 1;
        dy = -dy;
    }
    const int64_t key = dx < dy ? dx * kDirTens + dy : dy * kDirTens + dx + kDirDiagonalAdd;
    return int32_t(key + s);
}

int32_t RankEndClass(int32_t sector1, int32_t layer1, int32_t sector2, int32_t layer2) {
    const int32_t a = EndClassOf(sector1, layer1), b = EndClassOf(sector2, layer2);
    return kEndClassTable[a][b][layer1 == layer2 ? 0 : 1];
}

void RankRoutes() {
    if (g_verbose) DebugPrint("RankRoutes: starting");
    MzGoal& g = *Goal();
    const int32_t pool = PoolOpen(kOwnerRankPool);
    auto* keys = static_cast<RankKey*>(PoolAlloc(kRankTableBytes, pool, kSiteRankKeys));
    auto* rec = static_cast<Conn*>(ScratchPush());
    ObjClearConnFlags(kObjFlagLeftOut);
    g.remainingCount = 0;
    const uint16_t flags = CurSweep().passFlags[std::clamp<int32_t>(g.pass, 0, kPassLast)];
    const int32_t enabled = LayerCountEnabled();
    int32_t count = 0, overflow = 0;
    for (int32_t n = ObjFirstConn(); n <= ObjLastConn(); ++n) {
        MapObj& o = *ObjEntry(n);
        if (o.type != kObjConn) continue;
        o.link = -1;
        if ((o.flags & (kObjFlagNoRoute | kObjFlagHeld)) || LoopGivenUp(o.index) ||
            !Candidate(n, rec, flags)) {
            o.flags |= kObjFlagLeftOut;
            continue;
        }
        if (count < kRankKeysMax) {
            ++count;
            keys[count] = BuildKey(n, rec, enabled);
        } else {
            ++overflow;
        }
    }
    if (overflow > 0) {
        // The key table is full: the connections beyond it wait for a later
        // pass or window.
        char line[96];
        std::snprintf(line, sizeof line, "Rank table full: %d connections left out of the pass",
                      int(overflow));
        LogWrite(line);
    }
    heapSort(keys, count);
    const int32_t groups = rankGroup(keys, count);
    if (groups > 0 && enabled >= 2) heapSort(keys, count);
    g.remainingCount = int16_t(count);
    for (int32_t i = count; i >= 1; --i)
        ObjEntry(keys[i].obj)->link = i == count ? 0 : keys[i + 1].obj;
    g.nextObj = count > 0 ? keys[1].obj : 0;
    g.objIndex = 0;
    g.conn = 0;
    PoolClose(pool);
    ScratchPop(rec);
    if (g_verbose) DebugPrint("RankRoutes: complete");
}
