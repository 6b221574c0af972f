// Loading a routing window's objects (UrObjValidate): the object table
// filled from every table and the object map built over it, on the largest
// window with 1,000 to 16,000 routed connections of 500 nets. The time per
// connection stays flat as the count grows: loading never searches the
// object table per object.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "benchdesign.h"
#include "db/conns.h"
#include "db/lang.h"
#include "db/nets.h"
#include "router/mzgrid.h"
#include "router/mzinit.h"
#include "router/objtable.h"
#include "router/objvalidate.h"
#include "router/urstate.h"

namespace {

constexpr int32_t kGrid = 1500;
constexpr int32_t kNets = 500;

// The largest window with n two-corner connections on layer 1, spread over
// it in rows.
void OpenBoard(int32_t n) {
    BenchNewDesign(kGrid);
    LangInit();
    BenchWindow(kMazeMaxNx, kMazeMaxNy, 0);
    while (NetCount() < kNets)
        NetAdd();
    if (!mzInit(1)) std::abort();
    const MzBox& e = g_mzGrid.extent;
    const int32_t perRow = 100;
    const int32_t dx = (e.maxX - e.minX) / (perRow + 1), dy = (e.maxY - e.minY) / (n / perRow + 2);
    DbTrustedScope trusted;
    for (int32_t i = 0; i < n; ++i) {
        Conn c{};
        c.head.net = int16_t(1 + i % kNets);
        c.head.count = 2;
        const int32_t x = e.minX + dx * (1 + i % perRow), y = e.minY + dy * (1 + i / perRow);
        c.crn[0] = Crn{x, y, 10, 1, 0, 0, 0};
        c.crn[1] = Crn{x + dx / 2, y, 10, 1, 0, 0, 0};
        ConnBox(&c);
        ConnPut(ConnAdd(), &c);
    }
    g_router.anyPassEnabled = 1;
    CurSweep().usedLayers = 2;
}

void BM_UrObjValidate(benchmark::State& state) {
    OpenBoard(int32_t(state.range(0)));
    for (auto _ : state) {
        urObjInvalidate();
        if (!UrObjValidate(1)) std::abort();
    }
    if (ObjCount() != state.range(0) + 1) std::abort(); // every connection loaded
    state.SetItemsProcessed(state.iterations() * state.range(0));
    RouterTestReset();
}
BENCHMARK(BM_UrObjValidate)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

} // namespace
