// The connection rule check on a crowded window: 4,000 connections of 2,000
// nets (600 wide, spacing 600) in rows over the largest window, each
// checked whole in mode 1 (the router's trial of a path) and in mode 3
// (counting violations). Rows 1,300 apart keep the spacing, so every
// neighbour is measured; rows 1,100 apart violate it.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "benchdesign.h"
#include "db/altjournal.h"
#include "db/conns.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/layers.h"
#include "db/nets.h"
#include "db/sweeps.h"
#include "headless/headless.h"
#include "router/maparea.h"
#include "router/mzgrid.h"
#include "router/mzinit.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/urstate.h"
#include "rules/drcconn.h"
#include "rules/ruleadapt.h"
#include "rules/rulesinstall.h"

namespace {

constexpr int32_t kGrid = 1500;
constexpr int32_t kConns = 4000;
constexpr int32_t kNets = 2000;
constexpr int32_t kSpacing = 600;
constexpr int32_t kLength = 12 * kGrid;

int32_t g_first = 0;

void OpenCrowdedWindow(int32_t rowPitch) {
    BenchNewDesign(kGrid);
    while (LayerCount() < 2)
        LayerAdd();
    for (int32_t l = 1; l <= 2; ++l) {
        Layer rec;
        LayerGet(l, &rec);
        for (int32_t& v : rec.spacing)
            v = kSpacing;
        DbTrustedScope trusted;
        LayerPut(l, &rec);
    }
    while (NetCount() < kNets)
        NetAdd();
    Sweep* s = SweepSlot(DbHdr().sweep);
    s->box[0] = kMazeMaxNx;
    s->box[1] = kMazeMaxNy;
    UrAllocRecords();
    g_router.mazeNeeded = 0;
    MapAreaCompute(0, 0, 0, 0);
    if (!mzInit(1)) std::abort();
    ObjTableInit();
    const MzBox& w = g_mzGrid.window;
    const int32_t perRow = (w.maxX - w.minX) / (kLength + kGrid);
    for (int32_t i = 0; i < kConns; ++i) {
        Conn c{};
        c.head.net = int16_t(1 + i % kNets);
        const int32_t x = w.minX + kGrid + (i % perRow) * (kLength + kGrid);
        const int32_t y = w.minY + kGrid + (i / perRow) * rowPitch;
        c.head.count = 2;
        c.crn[0] = Crn{x, y, 10, 1, 0, 0, 0};
        c.crn[1] = Crn{x + kLength, y, 10, 0, 0, 0, 0};
        const int32_t n = ConnAdd();
        {
            DbTrustedScope trusted;
            ConnPut(n, &c);
        }
        ObjAdd(kObjConn, 0, n, 0, c.head.net);
        if (i == 0) g_first = ObjCount();
    }
    if (!MapAll()) std::abort();
    RulesInstall();
}

void CheckAll(benchmark::State& state, int16_t mode) {
    OpenCrowdedWindow(int32_t(state.range(0)));
    int64_t passed = 0;
    int32_t k = 0;
    for (auto _ : state) {
        const int32_t entry = g_first + k;
        k = (k + 1) % kConns;
        const Conn* c = ConnRef(ObjEntry(entry)->index);
        DrcModeScope scope(mode);
        passed += DrcCheckConn(entry, c, 0, c->head.count - 1);
    }
    state.counters["passed"] = benchmark::Counter(double(passed) / double(state.iterations()));
    RouterTestReset();
}

void BM_DrcCheckConnFail(benchmark::State& state) {
    CheckAll(state, kDrcFail);
}
BENCHMARK(BM_DrcCheckConnFail)->Arg(1300)->Arg(1100)->Unit(benchmark::kMicrosecond);

void BM_DrcCheckConnCount(benchmark::State& state) {
    CheckAll(state, kDrcCount);
}
BENCHMARK(BM_DrcCheckConnCount)->Arg(1300)->Arg(1100)->Unit(benchmark::kMicrosecond);

} // namespace
