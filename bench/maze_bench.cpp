// The maze's largest memory traffic on the largest window (500 by 1,000
// grid points, two maze layers, 4 MB of cells): the reset before each wave
// run, the save of the whole maze, and marking full-width rows of copper.
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
#include "router/urstate.h"

namespace {

constexpr int32_t kGrid = 1500;

void OpenLargestMaze() {
    BenchNewDesign(kGrid);
    BenchWindow(kMazeMaxNx, kMazeMaxNy, 1);
    if (!mzInit(1)) std::abort();
    MazeBorder();
}

void BM_MazeReset(benchmark::State& state) {
    OpenLargestMaze();
    for (auto _ : state)
        MazeReset(1, 0);
    state.SetBytesProcessed(int64_t(state.iterations()) * g_maze.layers * g_mzGrid.w * g_mzGrid.r);
    RouterTestReset();
}
BENCHMARK(BM_MazeReset)->Unit(benchmark::kMillisecond);

void BM_MazeSave(benchmark::State& state) {
    OpenLargestMaze();
    for (auto _ : state)
        MazeSave(1);
    state.SetBytesProcessed(int64_t(state.iterations()) * g_maze.layers * g_mzGrid.w * g_mzGrid.r);
    RouterTestReset();
}
BENCHMARK(BM_MazeSave)->Unit(benchmark::kMillisecond);

void BM_MazeMarkRows(benchmark::State& state) {
    OpenLargestMaze();
    const MzGridState& g = g_mzGrid;
    for (auto _ : state)
        for (int32_t row = kMazeBorder; row < g.r - kMazeBorder; row += 2)
            MazeMarkRow(g.extent.minX, g.extent.maxX, row, 1, 0, 1);
    RouterTestReset();
}
BENCHMARK(BM_MazeMarkRows)->Unit(benchmark::kMillisecond);

} // namespace
