// The allocation patterns of the router, the rule checks and placement, run
// on the pools, on the heap's pointer blocks and, side by side, on the
// system's malloc and free:
//   Waves   fixed 40-byte blocks; each wave frees a random half of the live
//           blocks in random order and allocates them again;
//   Mixed   sizes 12..256 bytes, one free of a random live block and one
//           allocation per step;
//   Grow    one block grown in steps (pool: 16 bytes to 64 KB in 64-byte
//           steps; heap and malloc: 16 bytes to 16 MB in 4-KB steps) while
//           the live blocks stay in place; a pool reuses a freed block only
//           when its chunk runs out, so the pool's growing block lives in a
//           pool of its own that is reset after each growth;
//   Reset   a pool filled with pieces of 32 bytes and reset, repeated
//           (malloc: the same pieces allocated and then freed one by one).
// Each pattern runs at 10,000, 100,000 and 1,000,000 live blocks. The
// counter per_op is the time of one allocation, free or resize; peak_MB
// is the most memory the allocator under test held meanwhile.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "db/pool.h"
#include "headless/headless.h"
#include "toolbox/core/heap.h"
#include "toolbox/core/memblock.h"

namespace {

constexpr int32_t kWaveBlockBytes = 40;
constexpr int32_t kMixedMin = 12;
constexpr int32_t kMixedMax = 256;
constexpr int32_t kGrowStart = 16;
constexpr int32_t kPoolGrowEnd = 65396; // the largest tagged block
constexpr int32_t kPoolGrowStep = 64;
constexpr int32_t kHeapGrowEnd = 16 << 20;
constexpr int32_t kHeapGrowStep = 4096;
constexpr int32_t kResetPieceBytes = 32;
constexpr ErrCode kBenchOwner = 9990001;
constexpr ErrCode kBenchCode = 9990002;

// A fixed-seed generator, so every allocator sees the same sequence.
struct Rng {
    uint64_t s = 0x9E3779B97F4A7C15ull;
    uint32_t Next(uint32_t range) {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return uint32_t((s >> 11) % range);
    }
};

// The three allocators behind one face. Pool tagged blocks come from one
// pool opened for the run; heap blocks are the toolbox's pointer blocks.
enum Allocator { kPool, kHeap, kMalloc };

struct Subject {
    Allocator kind;
    int32_t pool = 0;
    int32_t growPool = 0;
    double peak = 0;

    explicit Subject(Allocator k) : kind(k) {
        if (kind == kPool) {
            HeadlessReset();
            pool = PoolOpen(kBenchOwner);
            growPool = PoolOpen(kBenchOwner + 1);
        }
    }
    ~Subject() {
        if (kind == kPool) {
            PoolClose(pool);
            PoolClose(growPool);
        }
    }
    void* Alloc(int32_t n) {
        switch (kind) {
        case kPool:
            return PoolNewPtr(n, pool, kBenchCode);
        case kHeap:
            return NewPointerBlock(nullptr, n);
        default:
            return std::malloc(size_t(n));
        }
    }
    void Free(void* p) {
        switch (kind) {
        case kPool:
            PoolFreePtr(p);
            break;
        case kHeap:
            FreeHeapBlock(p);
            break;
        default:
            std::free(p);
            break;
        }
    }
    void* Resize(void* p, int32_t n) {
        switch (kind) {
        case kPool:
            return PoolResizePtr(p, n, growPool, kBenchCode);
        case kHeap:
            return ResizePointerBlock(&p, n) ? p : nullptr;
        default:
            return std::realloc(p, size_t(n));
        }
    }
    double Held() const {
        switch (kind) {
        case kPool:
            return double(PoolChunksInUse() + PoolChunksCached()) * double(kPoolChunkBytes);
        case kHeap:
            return double(PoolBytesHeld(PointerBlockPool()));
        default:
#if defined(__GLIBC__)
        {
            struct mallinfo2 m = mallinfo2();
            return double(m.arena + m.hblkhd);
        }
#else
            return 0;
#endif
        }
    }
    void Sample() {
        peak = std::max(peak, Held());
    }
};

void Report(benchmark::State& state, const Subject& s, double ops) {
    state.counters["per_op"] =
        benchmark::Counter(ops, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["peak_MB"] = s.peak / (1024.0 * 1024.0);
}

void FreeAll(Subject& s, const std::vector<void*>& blocks) {
    for (void* b : blocks)
        s.Free(b);
}

void Waves(benchmark::State& state, Allocator kind) {
    Subject s(kind);
    const int32_t live = int32_t(state.range(0));
    std::vector<void*> blocks(static_cast<size_t>(live));
    for (void*& b : blocks)
        b = s.Alloc(kWaveBlockBytes);
    Rng rng;
    std::vector<int32_t> order(static_cast<size_t>(live));
    for (int32_t i = 0; i < live; ++i)
        order[size_t(i)] = i;
    double ops = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int32_t i = live - 1; i > 0; --i)
            std::swap(order[size_t(i)], order[rng.Next(uint32_t(i + 1))]);
        state.ResumeTiming();
        const int32_t half = live / 2;
        for (int32_t i = 0; i < half; ++i)
            s.Free(blocks[size_t(order[size_t(i)])]);
        for (int32_t i = 0; i < half; ++i)
            blocks[size_t(order[size_t(i)])] = s.Alloc(kWaveBlockBytes);
        ops += 2.0 * half;
        s.Sample();
    }
    Report(state, s, ops);
    FreeAll(s, blocks);
}

int32_t MixedSize(Rng& rng) {
    return kMixedMin + int32_t(rng.Next(uint32_t(kMixedMax - kMixedMin + 1)));
}

// The live blocks of mixed sizes that the Mixed and Grow patterns run on.
std::vector<void*> MixedBlocks(Subject& s, Rng& rng, int32_t live) {
    std::vector<void*> blocks(static_cast<size_t>(live));
    for (void*& b : blocks)
        b = s.Alloc(MixedSize(rng));
    return blocks;
}

void Mixed(benchmark::State& state, Allocator kind) {
    Subject s(kind);
    const int32_t live = int32_t(state.range(0));
    Rng rng;
    std::vector<void*> blocks = MixedBlocks(s, rng, live);
    constexpr int32_t kStepsPerRound = 1000;
    double ops = 0;
    for (auto _ : state) {
        for (int32_t k = 0; k < kStepsPerRound; ++k) {
            void*& b = blocks[rng.Next(uint32_t(live))];
            s.Free(b);
            b = s.Alloc(MixedSize(rng));
        }
        ops += 2.0 * kStepsPerRound;
        s.Sample();
    }
    Report(state, s, ops);
    FreeAll(s, blocks);
}

void Grow(benchmark::State& state, Allocator kind) {
    Subject s(kind);
    const int32_t live = int32_t(state.range(0));
    Rng rng;
    std::vector<void*> blocks = MixedBlocks(s, rng, live);
    const int32_t end = kind == kPool ? kPoolGrowEnd : kHeapGrowEnd;
    const int32_t step = kind == kPool ? kPoolGrowStep : kHeapGrowStep;
    double ops = 0;
    for (auto _ : state) {
        void* g =
            kind == kPool ? PoolNewPtr(kGrowStart, s.growPool, kBenchCode) : s.Alloc(kGrowStart);
        for (int32_t n = step; n <= end; n += step) {
            g = s.Resize(g, n);
            ops += 1;
        }
        s.Sample();
        if (kind == kPool)
            PoolReset(s.growPool);
        else
            s.Free(g);
    }
    Report(state, s, ops);
    FreeAll(s, blocks);
}

void Reset(benchmark::State& state, Allocator kind) {
    Subject s(kind);
    const int32_t pieces = int32_t(state.range(0));
    std::vector<void*> held;
    if (kind == kMalloc) held.resize(size_t(pieces));
    double ops = 0;
    for (auto _ : state) {
        if (kind == kMalloc) {
            for (void*& p : held)
                p = std::malloc(kResetPieceBytes);
            s.Sample();
            for (void* p : held)
                std::free(p);
        } else {
            for (int32_t i = 0; i < pieces; ++i)
                benchmark::DoNotOptimize(PoolAlloc(kResetPieceBytes, s.pool, kBenchCode));
            s.Sample();
            PoolReset(s.pool);
        }
        ops += pieces;
    }
    Report(state, s, ops);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(Waves, pool, kPool)->Apply(Sizes);
BENCHMARK_CAPTURE(Waves, heap, kHeap)->Apply(Sizes);
BENCHMARK_CAPTURE(Waves, malloc, kMalloc)->Apply(Sizes);
BENCHMARK_CAPTURE(Mixed, pool, kPool)->Apply(Sizes);
BENCHMARK_CAPTURE(Mixed, heap, kHeap)->Apply(Sizes);
BENCHMARK_CAPTURE(Mixed, malloc, kMalloc)->Apply(Sizes);
BENCHMARK_CAPTURE(Grow, pool, kPool)->Apply(Sizes);
BENCHMARK_CAPTURE(Grow, heap, kHeap)->Apply(Sizes);
BENCHMARK_CAPTURE(Grow, malloc, kMalloc)->Apply(Sizes);
BENCHMARK_CAPTURE(Reset, pool, kPool)->Apply(Sizes);
BENCHMARK_CAPTURE(Reset, malloc, kMalloc)->Apply(Sizes);

} // namespace
