// The object map on the largest window (500 by 1,000 grid points): the
// refill of an empty map, box queries over crowded cells where net
// references expand through the per-net entry lists (20,000 entries of
// 2,000 nets, so a query never scans the whole object table), and cells
// crowded by objects of many nets, which spill into overflow lists: filling
// them, querying them and taking every object out again.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "benchdesign.h"
#include "db/altjournal.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/sweeps.h"
#include "headless/headless.h"
#include "router/maparea.h"
#include "router/maze.h"
#include "router/mzinit.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/urstate.h"

namespace {

constexpr int32_t kGrid = 1500;
constexpr int32_t kEntries = 20000;
constexpr int32_t kNets = 2000;

void OpenLargestMap() {
    BenchNewDesign(kGrid);
    BenchWindow(kMazeMaxNx, kMazeMaxNy, 0);
    if (!mzInit(1)) std::abort();
    ObjTableInit();
    if (!MapAll()) std::abort();
}

void BM_MapAllEmpty(benchmark::State& state) {
    OpenLargestMap();
    for (auto _ : state)
        MapAll();
    RouterTestReset();
}
BENCHMARK(BM_MapAllEmpty)->Unit(benchmark::kMillisecond);

void BM_MapBoxQueryCrowded(benchmark::State& state) {
    OpenLargestMap();
    // Entries of 2,000 nets, each over a 3 x 3 block, four to a block, so
    // most cells merge into net references.
    for (int32_t i = 0; i < kEntries; ++i) {
        ObjAdd(kObjPad, kObjFlagMapped, 1, i, 1 + i % kNets);
        const int32_t block = i / 4;
        const int32_t c = 2 + (block * 3) % (kMazeMaxNx - 4), r = 2 + (block * 3 / kMazeMaxNx) * 3;
        MapCellRect(ObjCount(), c, c + 2, r % (kMazeMaxNy - 4), r % (kMazeMaxNy - 4) + 2, 1);
    }
    static ObjList list;
    const MzBox& e = g_mzGrid.extent;
    uint32_t seed = 1;
    int64_t found = 0;
    for (auto _ : state) {
        seed = seed * 1103515245u + 12345u;
        const int32_t x = e.minX + int32_t(seed % uint32_t(e.maxX - e.minX));
        seed = seed * 1103515245u + 12345u;
        const int32_t y = e.minY + int32_t(seed % uint32_t(e.maxY - e.minY));
        list.count = 0;
        MapBoxObjects(x, y, x + 4 * kGrid, y + kGrid, 1, 600, &list);
        found += list.count;
    }
    state.counters["objects/query"] =
        benchmark::Counter(double(found) / double(state.iterations() ? state.iterations() : 1));
    RouterTestReset();
}
BENCHMARK(BM_MapBoxQueryCrowded)->Unit(benchmark::kMicrosecond);

// Objects of eight different nets over each 2 x 2 block of a band of
// cells: every cell of the band holds eight nets and overflows.
constexpr int32_t kSpillNets = 8;
constexpr int32_t kSpillBlocks = 2000;

void MapSpillBand() {
    for (int32_t b = 0; b < kSpillBlocks; ++b)
        for (int32_t k = 0; k < kSpillNets; ++k) {
            const int32_t c = 2 + (b * 2) % (kMazeMaxNx - 4), r = 2 + (b * 2 / (kMazeMaxNx - 4)) * 2;
            MapCellRect(2 + b * kSpillNets + k, c, c + 1, r, r + 1, 1);
        }
}

void OpenSpillMap() {
    OpenLargestMap();
    for (int32_t b = 0; b < kSpillBlocks; ++b)
        for (int32_t k = 0; k < kSpillNets; ++k)
            ObjAdd(kObjPad, kObjFlagMapped, 0, b * kSpillNets + k, 1 + k); // no component: the refill passes them over
}

void BM_MapAddManyNets(benchmark::State& state) {
    OpenSpillMap();
    for (auto _ : state) {
        state.PauseTiming();
        MapAll();
        state.ResumeTiming();
        MapSpillBand();
    }
    RouterTestReset();
}
BENCHMARK(BM_MapAddManyNets)->Unit(benchmark::kMicrosecond);

void BM_MapBoxQueryManyNets(benchmark::State& state) {
    OpenSpillMap();
    MapSpillBand();
    static ObjList list;
    const MzBox& e = g_mzGrid.extent;
    const int32_t rows = 2 * (kSpillBlocks * 2 / (kMazeMaxNx - 4) + 1);
    uint32_t seed = 1;
    int64_t found = 0;
    for (auto _ : state) {
        seed = seed * 1103515245u + 12345u;
        const int32_t x = e.minX + int32_t(seed % uint32_t(kMazeMaxNx * kGrid));
        seed = seed * 1103515245u + 12345u;
        const int32_t y = e.minY + kGrid + int32_t(seed % uint32_t(rows * kGrid));
        list.count = 0;
        MapBoxObjects(x, y, x + 4 * kGrid, y + kGrid, 1, 600, &list);
        found += list.count;
    }
    state.counters["objects/query"] =
        benchmark::Counter(double(found) / double(state.iterations() ? state.iterations() : 1));
    RouterTestReset();
}
BENCHMARK(BM_MapBoxQueryManyNets)->Unit(benchmark::kMicrosecond);

void BM_MapRemoveManyNets(benchmark::State& state) {
    OpenSpillMap();
    for (auto _ : state) {
        state.PauseTiming();
        MapAll();
        MapSpillBand();
        state.ResumeTiming();
        for (int32_t b = 0; b < kSpillBlocks; ++b)
            for (int32_t k = 0; k < kSpillNets; ++k) {
                const int32_t c = 2 + (b * 2) % (kMazeMaxNx - 4),
                              r = 2 + (b * 2 / (kMazeMaxNx - 4)) * 2;
                MapCellRectRemove(2 + b * kSpillNets + k, c, c + 1, r, r + 1, 1);
            }
    }
    RouterTestReset();
}
BENCHMARK(BM_MapRemoveManyNets)->Unit(benchmark::kMicrosecond);

} // namespace
