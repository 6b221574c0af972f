// The annealing run. Score changes are kept in the units of the totals
// (each divided by the score divisor); the acceptance test is integer
// only, on the precomputed table, with the change, the temperature and
// the table index in 64 bits (a large change never wraps into an
// accepted one). The run's option bit is set from the caller's bits for
// the run and cleared on every exit; the run's pool and the model are
// released on every exit.
#include "place/plrun.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "db/comps.h"
#include "db/lang.h"
#include "db/pool.h"
#include "files/ascshell.h"
#include "place/plcaps.h"
#include "place/plclassify.h"
#include "place/plmodel.h"
#include "place/plmove.h"
#include "place/plrandom.h"
#include "place/plscore.h"
#include "place/plshell.h"

PlRunState g_plRun;

namespace {

int64_t WireOf(const std::vector<int16_t>& nets) {
    int64_t sum = 0;
    for (int16_t net : nets) {
        const PlNetTable& t = g_placeModel.nets[size_t(net)];
        sum += t.weight * t.lengthLast;
    }
    return sum;
}

int64_t Rewire(const std::vector<int16_t>& nets) {
    int64_t sum = 0;
    for (int16_t net : nets)
        sum += PlNetWire(net);
    return sum;
}

void Unwire(const std::vector<int16_t>& nets) {
    for (int16_t net : nets)
        PlNetWireUndo(net);
}

void ShowProgress(int32_t percent) {
    char format[LANG_TEXT_MAX + 1];
    char text[LANG_TEXT_MAX + 16];
    if (!LangGetString(kPlProgressMsg, LANG_TEXT_MAX, format)) return;
    std::snprintf(text, sizeof text, format, int(percent));
    MsgPrompt(text);
}

// The overlap and group terms of the moved components, each sum divided
// by the score divisor.
void Terms(const int32_t* comps, int32_t n, int64_t* x, int64_t* y) {
    int64_t sx = 0, sy = 0;
    for (int32_t k = 0; k < n; ++k) {
        sx += PlCompOverlap(comps[k]);
        sy += PlCompGroup(comps[k]);
    }
    *x = sx / g_placeModel.scoreDivisor;
    *y = sy / g_placeModel.scoreDivisor;
}

// The acceptance test of a move already made: the wire change over the
// moved chains' nets and the change of their terms (overlap x 10 in
// phase 2). Accepted: the totals take the changes; rejected: the net
// lengths are put back and the caller undoes the move.
bool Judge(const int32_t* comps, int32_t n, int64_t oldX, int64_t oldY,
           std::vector<int16_t>& nets) {
    PlRunState& s = g_plRun;
    nets.clear();
    for (int32_t k = 0; k < n; ++k)
        PlChainNets(comps[k], nets);
    const int64_t before = WireOf(nets);
    const int64_t dW = (Rewire(nets) - before) / g_placeModel.scoreDivisor;
    int64_t newX, newY;
    Terms(comps, n, &newX, &newY);
    int64_t dX = newX - oldX;
    const int64_t dY = newY - oldY;
    if (s.phase == 2) dX *= kPlPhase2Factor;
    if (PlAccept(dW + dX + dY, s.T)) {
        s.W += dW;
        s.X += dX;
        s.Y += dY;
        return true;
    }
    Unwire(nets);
    return false;
}

// One attempt on listed component a: a swap with a drawn partner or a
// single move, kept or undone by the acceptance test.
void Attempt(int32_t a, bool trySwap, std::vector<int16_t>& nets) {
    PlRunState& s = g_plRun;
    PlaceModel& m = g_placeModel;
    PlaceNode& na = m.nodes[size_t(a)];
    int64_t oldX, oldY;
    if (trySwap) {
        const int32_t b = m.compList[size_t(PlRandom() % int32_t(m.compList.size()))];
        PlaceNode& nb = m.nodes[size_t(b)];
        if (b == a || nb.region == kPlRegionNone) return;
        const int32_t pair[2] = {a, b};
        Terms(pair, 2, &oldX, &oldY);
        const int32_t ax = na.x, ay = na.y, bx = nb.x, by = nb.y;
        PlNodeShift(a, bx, by, ax, ay);
        PlNodeShift(b, ax, ay, bx, by);
        if (PlNodeInside(a) && PlNodeInside(b) && Judge(pair, 2, oldX, oldY, nets)) return;
        PlNodeShift(a, ax, ay, bx, by);
        PlNodeShift(b, bx, by, ax, ay);
        return;
    }
    Terms(&a, 1, &oldX, &oldY);
    const int32_t ox = na.x, oy = na.y;
    int32_t x, y;
    PlRandomSpot(a, s.phase, &x, &y);
    PlNodeShift(a, x, y, ox, oy);
    if (PlNodeInside(a) && Judge(&a, 1, oldX, oldY, nets)) return;
    PlNodeShift(a, ox, oy, x, y);
}

// Releases what the run holds.
void RunEnd() {
    PlSetRunOptions(0);
    if (g_plRun.pool) PoolClose(g_plRun.pool);
    g_plRun.pool = 0;
    g_plRun.mask = nullptr;
    PlModelFree();
}

} // namespace

void PlAcceptTableBuild() {
    for (int32_t i = 0; i < kPlAcceptSize; ++i) {
        const int64_t e = int64_t(std::exp(double(i + 1) / double(kPlAcceptScale)));
        g_plRun.acceptTable[i] = int32_t(kPlAcceptMax / (e < 1 ? 1 : e));
    }
}

bool PlAccept(int64_t d, int64_t T) {
    if (d < 1) return true;
    if (T <= 1) return false;
    // d >= 8 T puts k at 4,096 or beyond: rejected before d x 512 could
    // overflow.
    if (d / kPlAcceptMaxRatio >= T) return false;
    const int64_t k = d * kPlAcceptScale / T;
    if (k >= kPlAcceptSize || k < 0) return false;
    return PlRandom() < g_plRun.acceptTable[k];
}

double PlCoolingFactor(int32_t p) {
    if (p < 0 || p > kPlCoolingMaxPercent) ErrReport(kErrPlCooling, p);
    if (p == 0) return 0;
    if (p == kPlCoolingMaxPercent) return 0.99;
    const double r = p <= 50 ? p * 0.9 / 50 : 1 - (100 - p) * 0.1 / 50;
    if (r >= 1) return 0.95;
    return r <= 0 ? 0 : r;
}

int64_t PlNextTemperature(double r, int64_t T) {
    int64_t v = std::llround(r * double(T));
    if (v > T - 1) v = T - 1;
    return v < 0 ? 0 : v;
}

void PlScoreStart() {
    PlRunState& s = g_plRun;
    s.W = PlScoreWire();
    s.X = PlScoreOverlap();
    s.Y = PlScoreGroup();
    s.T = s.W + s.X;
}

int32_t PlAnneal(int32_t attempts) {
    PlRunState& s = g_plRun;
    PlaceModel& m = g_placeModel;
    const int32_t listed = int32_t(m.compList.size());
    const int64_t n = int64_t(listed) * attempts;
    const int32_t G = s.selectedOnly ? kPlStepsSelected : kPlStepsFull;
    PlAcceptTableBuild();
    const double r = PlCoolingFactor(s.coolingPercent);
    const int64_t L = r > 0 && s.T >= 1 ? std::llround(std::log(double(s.T)) / std::log(1 / r)) : 0;
    const int64_t M = kPlProgressStepFactor * G + L;
    int64_t R = M;
    s.phase = 1;
    int32_t zeroSteps = 0, stall = 0;
    std::vector<int16_t> nets;
    for (;;) {
        const int64_t before = s.W + s.X + s.Y;
        for (int64_t k = 0; k < n; ++k) {
            if (UserAbort()) return 0;
            const int32_t a = m.compList[size_t(PlRandom() % listed)];
            if (m.nodes[size_t(a)].region == kPlRegionNone) continue;
            const bool trySwap = !s.selectedOnly && s.phase == 1 && s.T < kPlSwapBelowT &&
                                 PlRandom() < kPlSwapChance;
            Attempt(a, trySwap, nets);
        }
        s.W = PlScoreWire();
        s.X = PlScoreOverlap();
        s.Y = PlScoreGroup();
        if (s.phase == 2) s.X *= kPlPhase2Factor;
        R -= (s.phase == 2 || s.T != 0) ? 1 : kPlProgressZeroSteps;
        if (R < 0) R = 0;
        if (!s.selectedOnly) ShowProgress(int32_t(100 - R * 100 / M));
        if (s.T == 0) {
            ++zeroSteps;
            stall = s.W + s.X + s.Y < before ? 0 : stall + 1;
        }
        if (stall >= kPlStallSteps || zeroSteps > G) {
            if (s.phase == 2) break;
            s.phase = 2;
            s.X *= kPlPhase2Factor;
            s.xRange = kPlPhase2Steps * s.xStep;
            s.yRange = kPlPhase2Steps * s.yStep;
            zeroSteps = 0;
            stall = 0;
        }
        s.T = PlNextTemperature(r, s.T);
    }
    PlaceCaps();
    return 1;
}

int32_t PlRun(const uint8_t* selection, int16_t attempts, int16_t coolingPercent, int32_t options) {
    PlRunState& s = g_plRun;
    s.coolingPercent = coolingPercent;
    s.pool = PoolOpen(kErrPlRunPool);
    s.mask = nullptr;
    s.selectedOnly = selection != nullptr;
    const int32_t comps = CompCount();
    if (selection) {
        auto* copy = static_cast<uint8_t*>(PoolAlloc(comps + 1, s.pool, kErrPlRunPool));
        std::memcpy(copy, selection, size_t(comps) + 1);
        s.mask = copy;
    }
    if (!PlModelOpen(s.mask)) {
        RunEnd();
        return 1;
    }
    PlaceModel& m = g_placeModel;
    bool classes = false;
    for (int32_t c = 1; c <= m.compCount && !classes; ++c)
        classes = (PlCompRef(c)->flags & (kPlCompClass1024 | kPlCompClass2048)) != 0;
    if (!classes) PlClassify();
    // A grid finer than a placement unit steps by one unit.
    s.xStep = m.xStep < 1 ? 1 : m.xStep;
    s.yStep = m.yStep < 1 ? 1 : m.yStep;
    s.xRange = kPlPhase2Steps * s.xStep;
    s.yRange = kPlPhase2Steps * s.yStep;
    if (!s.selectedOnly) {
        PlScatter();
    } else {
        if (!s.mask) ErrReport(kErrPlNoMask, 0);
        for (int16_t c : m.compList)
            m.nodes[size_t(c)].flags &= uint16_t(~kPlCompUnplaced);
    }
    PlWriteBack(0);
    PlSetRunOptions(options & kPlRunRecon ? kPlOptHalfPerimeter : 0);
    PlNetPinPoints();
    PlScoreStart();
    if (s.selectedOnly) s.T = kPlSelectedStartT;
    if (m.compList.empty() || !PlAnneal(attempts)) {
        const bool empty = m.compList.empty();
        RunEnd();
        return empty ? 1 : 0;
    }
    for (int32_t c = 1; c <= m.compCount; ++c) {
        PlaceNode& node = m.nodes[size_t(c)];
        if (node.region != kPlRegionNone && PlNodeSelected(c)) node.region = 0;
    }
    PlWriteBack(0);
    RunEnd();
    return 1;
}
