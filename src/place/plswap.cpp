// PlSwapImprove and PlSwapComp. A swap is kept when the wire change plus
// the pair's new overlap and group terms is below zero; the running
// totals then take those values added. Components carrying the unplaced
// flag (parked off the board) never swap and are never written back; the
// write-back stores only components whose model position changed.
#include "place/plswap.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/pool.h"
#include "files/ascshell.h"
#include "place/plgateswap.h"
#include "place/plmodel.h"
#include "place/plmove.h"
#include "place/plrun.h"
#include "place/plscore.h"

namespace {

struct SwapState {
    int64_t W, X, Y;
    std::vector<int16_t> nets;
};
SwapState g_swap;

void Totals() {
    g_swap.W = PlScoreWire();
    g_swap.X = PlScoreOverlap();
    g_swap.Y = PlScoreGroup();
}

bool Movable(int32_t c) {
    const PlaceNode& n = g_placeModel.nodes[size_t(c)];
    if (n.flags & (kPlCompNoMove | kPlCompFixed | kPlCompLocked)) return false;
    if (n.region != 0 || !PlNodeSelected(c)) return false;
    return !(PlCompRef(c)->flags & kPlCompUnplaced);
}

int64_t Width(const PlaceNode& n) {
    return int64_t(n.x2) - n.x1;
}
int64_t Height(const PlaceNode& n) {
    return int64_t(n.y2) - n.y1;
}

void Exchange(int32_t a, int32_t b) {
    PlaceNode& na = g_placeModel.nodes[size_t(a)];
    PlaceNode& nb = g_placeModel.nodes[size_t(b)];
    const int32_t ax = na.x, ay = na.y, bx = nb.x, by = nb.y;
    PlNodeShift(a, bx, by, ax, ay);
    PlNodeShift(b, ax, ay, bx, by);
}

} // namespace

void PlSwapComp(int32_t a, int32_t options) {
    PlaceModel& m = g_placeModel;
    if (a < 1 || a > m.compCount) ErrReport(kErrPlSwapComp, a);
    if (!Movable(a)) return;
    const int64_t D = m.scoreDivisor;
    for (int32_t b = a + 1; b <= m.compCount; ++b) {
        const PlaceNode& na = m.nodes[size_t(a)];
        const PlaceNode& nb = m.nodes[size_t(b)];
        if (na.layerClass != 0 && nb.layerClass != 0 && na.layerClass != nb.layerClass) continue;
        if (!Movable(b)) continue;
        const int64_t w = Width(na), h = Height(na);
        if (std::llabs(w - Width(nb)) > w / kPlSwapTolerance ||
            std::llabs(h - Height(nb)) > h / kPlSwapTolerance)
            continue;
        Exchange(a, b);
        std::vector<int16_t>& nets = g_swap.nets;
        nets.clear();
        PlChainNets(a, nets);
        PlChainNets(b, nets);
        int64_t before = 0, after = 0;
        for (int16_t net : nets) {
            const PlNetTable& t = m.nets[size_t(net)];
            before += t.weight * t.lengthLast;
            after += PlNetWire(net);
        }
        const int64_t dW = (after - before) / D;
        const int64_t Xn = (PlCompOverlap(a) + PlCompOverlap(b)) / D;
        const int64_t Yn = (PlCompGroup(a) + PlCompGroup(b)) / D;
        if (dW + Xn + Yn < 0) {
            g_swap.W += dW;
            g_swap.X += Xn;
            g_swap.Y += Yn;
        } else {
            Exchange(a, b);
            for (int16_t net : nets)
                PlNetWireUndo(net);
        }
        if ((options & kPlRunGateSwap) && PlGateSwap(a, b)) Totals();
    }
}

void PlSwapImprove(const uint8_t* mask, int32_t options) {
    const int32_t pool = PoolOpen(kErrPlSwapPool);
    const int32_t comps = CompCount();
    uint8_t* copy = nullptr;
    if (mask && comps > 0) {
        copy = static_cast<uint8_t*>(PoolAlloc(comps + 1, pool, kErrPlSwapMask));
        std::memcpy(copy, mask, size_t(comps) + 1);
    }
    if (!PlModelOpen(copy)) {
        PoolClose(pool);
        return;
    }
    PlaceModel& m = g_placeModel;
    PlSetRunOptions(options & kPlRunRecon ? kPlOptHalfPerimeter : 0);
    PlNetPinPoints();
    Totals();
    std::vector<int32_t> startX(size_t(m.compCount) + 1), startY(size_t(m.compCount) + 1);
    for (int32_t c = 1; c <= m.compCount; ++c) {
        startX[size_t(c)] = m.nodes[size_t(c)].x;
        startY[size_t(c)] = m.nodes[size_t(c)].y;
    }
    AltPush();
    bool aborted = false;
    for (int32_t pass = 0; pass < kPlSwapPasses && !aborted; ++pass) {
        const int64_t before = g_swap.W + g_swap.X + g_swap.Y;
        for (int32_t a = 1; a <= m.compCount && !aborted; ++a) {
            aborted = UserAbort();
            if (!aborted) PlSwapComp(a, options);
        }
        Totals();
        if (g_swap.W + g_swap.X + g_swap.Y >= before) break;
    }
    if (aborted) {
        AltPop(false);
    } else {
        std::vector<uint8_t> moved(size_t(m.compCount) + 1, 0);
        for (int32_t c = 1; c <= m.compCount; ++c) {
            const PlaceNode& n = m.nodes[size_t(c)];
            moved[size_t(c)] = PlNodeSelected(c) && !(PlCompRef(c)->flags & kPlCompUnplaced) &&
                               (n.x != startX[size_t(c)] || n.y != startY[size_t(c)]);
        }
        m.mask = moved.data();
        PlWriteBack(0);
        m.mask = copy;
        AltPop(true);
    }
    PlSetRunOptions(0);
    PlModelFree();
    PoolClose(pool);
}
