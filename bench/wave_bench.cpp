// The wavefront search on windows of growing size (50 x 50 up to 500 x
// 1,000 grid points, two layers), empty and with a fixed pseudo-random
// pattern of other-net copper over a fifth of the cells, seeded at
// opposite corners; FastRun and WaveRun. Reports expanded cells per second
// (items), pops per search, the router's memory for the window (the pool
// chunks the router set-up adds plus the row tables outside the pools)
// beside the estimate, and the process's peak resident memory.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "benchdesign.h"
#include "db/altjournal.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/pool.h"
#include "db/sweeps.h"
#include "headless/headless.h"
#include "router/costs.h"
#include "router/layertab.h"
#include "router/maparea.h"
#include "router/maze.h"
#include "router/mzinit.h"
#include "router/objtable.h"
#include "router/urstate.h"
#include "router/wave.h"

#if defined(__unix__)
#include <sys/resource.h>
#endif

namespace {

constexpr int32_t kGrid = 1500;
constexpr uint32_t kPatternSeed = 12345;
constexpr int32_t kCopperShare = 5; // one cell in five
constexpr int32_t kSeedClear = 6;   // cells kept free around the seeds

double PeakResidentBytes() {
#if defined(__unix__)
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) * 1024.0;
#else
    return 0;
#endif
}

// Opens the router over a window of nx x ny grid points; the memory the
// set-up added, in bytes.
double OpenWindow(int32_t nx, int32_t ny) {
    BenchNewDesign(kGrid);
    BenchWindow(nx, ny, 1);
    const int32_t before = PoolChunksInUse();
    if (!mzInit(1)) std::abort();
    const double rowTables = double(2 * g_mzGrid.r + g_mzGrid.ny + 1) * sizeof(uint8_t*);
    MazeBorder();
    ObjTableInit();
    if (!PrepCost(2)) std::abort();
    MzGoal& g = *Goal();
    g.costLimit = 1 << 30;
    for (int32_t l = 1; l <= 2; ++l)
        g.layerAllowed[l] = 1;
    return double(PoolChunksInUse() - before) * double(kPoolChunkBytes) + rowTables;
}

// The seeds' corners stay free of copper.
bool NearSeed(int32_t x, int32_t y) {
    const int32_t lo = kMazeBorder + kSeedClear, hx = g_mzGrid.w - kMazeBorder - kSeedClear;
    const int32_t hy = g_mzGrid.r - kMazeBorder - kSeedClear;
    return (x < lo && y < lo) || (x > hx && y > hy);
}

// Other-net copper over a fifth of the inner cells, the same every run.
void MarkPattern() {
    const uint8_t* table = MazeMarkTable(false, 0);
    uint32_t r = kPatternSeed;
    for (int32_t l = 1; l <= g_maze.layers; ++l)
        for (int32_t y = kMazeBorder; y < g_mzGrid.r - kMazeBorder; ++y)
            for (int32_t x = kMazeBorder; x < g_mzGrid.w - kMazeBorder; ++x) {
                r = r * 1103515245u + 12345u;
                if ((r >> 16) % kCopperShare || NearSeed(x, y)) continue;
                uint8_t* c = MazeCellPtr(x, y, l);
                *c = table[*c];
            }
}

// Seeds at opposite corners: the source queued, the target marked.
void Seed() {
    const int32_t lo = kMazeBorder + 2, hx = g_mzGrid.w - kMazeBorder - 3;
    const int32_t hy = g_mzGrid.r - kMazeBorder - 3;
    for (int32_t l = 1; l <= g_maze.layers; ++l) {
        MazeSet(lo, lo, l, kDirSide | kDirSeed);
        MazeSet(hx, hy, l, kDirSeed);
        waveAddSeed(lo + 1, lo, l, kDirSide | kMoveToXPlus, 0, 0);
        waveAddSeed(lo, lo + 1, l, kDirSide | kMoveToYPlus, 0, 0);
        MazeSet(hx - 1, hy, l, kMoveToXMinus);
        MazeSet(hx, hy - 1, l, kMoveToYMinus);
    }
}

void BM_Wave(benchmark::State& state) {
    const int32_t nx = int32_t(state.range(0)), ny = int32_t(state.range(1));
    const bool copper = state.range(2) != 0, fast = state.range(3) != 0;
    const double routerBytes = OpenWindow(nx, ny);
    if (copper) MarkPattern();
    const double estimate = double(MapCalcEstimatedMem(&CurSweep()));
    int64_t pops = 0, searches = 0, met = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WaveReset();
        MazeReset(1, 1);
        Seed();
        WavePopCountClear();
        state.ResumeTiming();
        benchmark::DoNotOptimize(fast ? FastRun(1 << 30) : WaveRun(1 << 30));
        pops += WavePopCount();
        met += Goal()->meetDir[0] != 0;
        ++searches;
    }
    state.SetItemsProcessed(pops);
    state.counters["pops_per_search"] = double(pops) / double(searches ? searches : 1);
    state.counters["met"] = double(met) / double(searches ? searches : 1);
    state.counters["router_bytes"] = routerBytes;
    state.counters["estimate_bytes"] = estimate;
    state.counters["peak_rss_bytes"] = PeakResidentBytes();
    MazeRelease();
    RouterTestReset();
}

void Sizes(benchmark::internal::Benchmark* b) {
    const int32_t sizes[][2] = {{50, 50}, {100, 100}, {250, 250}, {500, 500}, {500, 1000}};
    for (int32_t fast = 1; fast >= 0; --fast)
        for (int32_t copper = 0; copper < 2; ++copper)
            for (const auto& s : sizes)
                b->Args({s[0], s[1], copper, fast});
    b->ArgNames({"nx", "ny", "copper", "fast"});
}
BENCHMARK(BM_Wave)->Apply(Sizes)->Unit(benchmark::kMillisecond);

} // namespace
