// The driver's placement job on generated boards of 16 to 1,000 parts
// (seed 1 for the board and the run): one CSV line per board with the
// parts, nets, seconds of the job, the total before, the three terms and
// the total after, the parts moved and the overlaps left.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "../tools/placegen.h"
#include "db/dbextent.h"
#include "files/binload.h"
#include "place/plbatch.h"

namespace {

constexpr uint32_t kSeed = 1;

void PlaceJob(benchmark::State& state) {
    const int32_t n = int32_t(state.range(0));
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "plv_place_bench";
    std::filesystem::create_directories(folder);
    const std::filesystem::path base = folder / ("board" + std::to_string(n));
    int32_t nets = 0;
    if (!PlaceGenWrite(n, kSeed, base, &nets)) {
        state.SkipWithError("the board could not be generated");
        return;
    }
    std::filesystem::path zid = base;
    zid += ".ZID";
    PlBatchReport report{};
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        DbFree();
        FileSpec spec = SpecOf(zid);
        BinLoadFile(&spec, true);
        DbExtent();
        DbValidate();
        state.ResumeTiming();
        PlBatchOptions options;
        options.seed = kSeed;
        const auto t0 = std::chrono::steady_clock::now();
        PlBatchPlace(options, &report);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    static bool header = false;
    if (!header) {
        std::printf("components,nets,seconds,total before,W,X,Y,total after,moved,overlaps\n");
        header = true;
    }
    std::printf("%d,%d,%.3f,%lld,%lld,%lld,%lld,%lld,%d,%d\n", int(n), int(nets), seconds,
                (long long)report.before.T, (long long)report.after.W, (long long)report.after.X,
                (long long)report.after.Y, (long long)report.after.T, int(report.moved),
                int(report.overlaps));
    std::fflush(stdout);
}

} // namespace

BENCHMARK(PlaceJob)
    ->Arg(16)
    ->Arg(32)
    ->Arg(64)
    ->Arg(128)
    ->Arg(256)
    ->Arg(512)
    ->Arg(1000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
