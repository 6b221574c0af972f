// The wavefront queue (bucket queue over index-linked nodes with a bitmap
// of non-empty buckets), seeding one cell, and the expansion routines
// FastRun and WaveRun. The queue keeps its entry count equal to the nodes
// linked into buckets; every node is either in one bucket or on the free
// list. The expansion reads cells through the maze's row pointers (the
// 12-cell border keeps every neighbour of a cell it can reach inside the
// maze) and never allocates.
#include "router/wave.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "db/dbheader.h"
#include "db/pool.h"
#include "db/records.h"
#include "db/shellsvc.h"
#include "router/costs.h"
#include "router/layertab.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/mzinit.h"
#include "router/objtable.h"
#include "router/seedtable.h"
#include "router/urstate.h"
#include "router/viamap.h"

namespace {

enum : ErrCode {
    kAllocQuiet = 0, // a failed allocation answers null without an alert
    kErrNodeX = 2170040,
    kErrNodeY = 2170042,
    kErrNodeLayer = 2170046,
    kErrNodeMaze = 2170048,
    kErrNoQueueSeed = 2170056,
    kErrResetLeft = 2170060,
    kErrNotLoaded = 2170080,
    kErrNoQueueRun = 2170081,
    kErrWaveRunCell = 2170092,
    kErrFastRunCell = 2170093,
};

enum : int32_t {
    kBitmapWords = kWaveBuckets / 64,
    kRunShift = 12,
    kPassFast = 0x0400, // pass flag of a FAST pass
    kPassLast = 4,
    kViaAllowSeen = 0x60, // via-map bits that keep a via off a point
};
static_assert((kWaveBuckets & kWaveBucketMask) == 0);
static_assert(kWaveNodesPerRun == 1 << kRunShift);

struct WaveQueue {
    bool ready = false;
    uint32_t* heads = nullptr; // 4,096 bucket heads
    WaveNode** runs = nullptr; // node runs
    int32_t nodeCount = 0;
    uint32_t freeHead = kWaveNil;
    int32_t entries = 0;
    int32_t current = 0; // bucket index, not wrapped
    int16_t lastSteal = 0;
    uint64_t bitmap[kBitmapWords] = {};
    int64_t pops = 0;
};
WaveQueue q;

inline WaveNode& Node(uint32_t i) {
    return q.runs[i >> kRunShift][i & (kWaveNodesPerRun - 1)];
}

inline void BucketSet(int32_t b) {
    q.bitmap[b >> 6] |= uint64_t(1) << (b & 63);
}
inline void BucketClear(int32_t b) {
    q.bitmap[b >> 6] &= ~(uint64_t(1) << (b & 63));
}

// The first non-empty bucket at or after b (cyclic), as an offset from b;
// -1 when all are empty.
inline int32_t NextBucketOffset(int32_t b) {
    int32_t w = b >> 6;
    uint64_t word = q.bitmap[w] & (~uint64_t(0) << (b & 63));
    for (int32_t i = 0; i <= kBitmapWords; ++i) {
        if (word) {
            int32_t found = ((w << 6) | std::countr_zero(word));
            return (found - b) & kWaveBucketMask;
        }
        w = (w + 1) & (kBitmapWords - 1);
        word = q.bitmap[w];
    }
    return -1;
}

// Unlinks the head node of non-empty bucket b.
inline uint32_t BucketTake(int32_t b) {
    uint32_t i = q.heads[b];
    q.heads[b] = Node(i).next;
    if (q.heads[b] == kWaveNil) BucketClear(b);
    return i;
}

inline void FreeNode(uint32_t i) {
    Node(i).next = q.freeHead;
    q.freeHead = i;
}

constexpr uint8_t ClassOf(int32_t side, int32_t byte) {
    int32_t low = byte & kCellLow6;
    if ((low & kCellCodeMask) == kCellReMark) return kClassFree;
    if (low == 0 || low == kDirSide) return kClassFree;
    if (low >= 0x01 && low <= 0x1A) return side ? kClassMeet : kClassOwn;
    if (low >= 0x21 && low <= 0x3A) return side ? kClassOwn : kClassMeet;
    if (low == 0x1D || low >= 0x3B) return kClassBad;
    return kClassBlocked;
}

struct ClassTables {
    uint8_t t[2][256];
    constexpr ClassTables() : t() {
        for (int32_t s = 0; s < 2; ++s)
            for (int32_t b = 0; b < 256; ++b)
                t[s][b] = ClassOf(s, b);
    }
};
constexpr ClassTables kClassTables;

int32_t LayerCount() {
    return std::clamp<int32_t>(DbHdr().layerCount, 0, kMaxLayers);
}

void CheckNode(int32_t x, int32_t y, int32_t layer) {
    if (x < 2 || x > g_mzGrid.w - 2) ErrReport(kErrNodeX, x);
    if (y < 2 || y > g_mzGrid.r - 2) ErrReport(kErrNodeY, y);
    if (layer < 1 || layer > LayerCount()) ErrReport(kErrNodeLayer, layer);
    if (!g_maze.mazeIndex[layer]) ErrReport(kErrNodeMaze, layer);
}

inline WaveNode& Push(int32_t cost) {
    uint32_t i = q.freeHead;
    if (i != kWaveNil) {
        q.freeHead = Node(i).next;
    } else {
        int32_t from = (q.lastSteal + kWaveStealStride) & kWaveBucketMask;
        int32_t b = (from + NextBucketOffset(from)) & kWaveBucketMask;
        q.lastSteal = int16_t(b);
        SeedTableStop(); // the stolen node may have been a recorded seed
        i = BucketTake(b);
        --q.entries;
    }
    int32_t b = (q.current + cost) & kWaveBucketMask;
    WaveNode& n = Node(i);
    n.next = q.heads[b];
    q.heads[b] = i;
    BucketSet(b);
    ++q.entries;
    return n;
}

inline bool Pop(WaveNode* out) {
    if (--q.entries < 0) {
        q.entries = 0;
        return false;
    }
    int32_t off = NextBucketOffset(q.current & kWaveBucketMask);
    if (off < 0) { // the count and the buckets disagree: nothing to take
        q.entries = 0;
        return false;
    }
    SeedTableStop(); // the expansion has begun
    q.current += off;
    uint32_t i = BucketTake(q.current & kWaveBucketMask);
    *out = Node(i);
    FreeNode(i);
    ++q.pops;
    return true;
}

// ---- expansion ---------------------------------------------------------------

// A via a node may take from its layer.
struct ViaStep {
    int32_t layer, maze, type, cost;
};
struct LayerSteps {
    int32_t count = 0;
    ViaStep step[kLayerSlots];
};

// The layer context of the expansion: per database layer its maze index,
// cost tables and the vias it may change by.
struct RunContext {
    const LayerRec* rec[kLayerSlots] = {};
    int32_t maze[kLayerSlots] = {};
    LayerSteps vias[kLayerSlots];
    int32_t w = 0, nxVia = 0;
};

void BuildContext(RunContext* c) {
    const MzGoal& g = *Goal();
    int32_t layers = LayerCount();
    c->w = g_mzGrid.w;
    c->nxVia = g_mzGrid.nx + 1;
    for (int32_t l = 1; l <= layers; ++l) {
        c->rec[l] = LayerRecOf(l);
        c->maze[l] = g_maze.mazeIndex[l];
        c->vias[l].count = 0;
        if (!c->maze[l]) continue;
        for (int32_t i = 1; i <= layers; ++i) {
            int32_t t = g_viaPair[l][i];
            if (!t || !g_maze.mazeIndex[i] || !g.layerAllowed[i]) continue;
            c->vias[l].step[c->vias[l].count++] = {i, g_maze.mazeIndex[i], t, ViaCost(t)};
        }
    }
}

// The cost class of a cell: its two mark bits with the via-block bytes of
// the grid squares it touches.
inline int32_t CostClass(const RunContext& c, int32_t x, int32_t y, int32_t m, uint8_t cell) {
    int32_t cls = cell & kCellMarks;
    int32_t cx = x >> 1, cy = y >> 1;
    int32_t base = (m - 1) * c.nxVia;
    const uint8_t* r0 = g_maze.via[cy] + base;
    if (x & 1) {
        if (y & 1) return cls | r0[cx];
        const uint8_t* r1 = g_maze.via[cy - 1] + base;
        return cls | r0[cx] | r1[cx];
    }
    if (y & 1) return cls | r0[cx - 1] | r0[cx];
    const uint8_t* r1 = g_maze.via[cy - 1] + base;
    return cls | r0[cx - 1] | r0[cx] | r1[cx - 1] | r1[cx];
}

// One of the four moves: the offset it makes and its code.
struct Move {
    int32_t dx, dy;
    uint8_t code;
    bool alongY;
};
constexpr Move kMoves[4] = {
    {0, -1, kMoveToYMinus, true},
    {-1, 0, kMoveToXMinus, false},
    {0, 1, kMoveToYPlus, true},
    {1, 0, kMoveToXPlus, false},
};

inline uint8_t* Cell(const RunContext& c, int32_t x, int32_t y, int32_t m) {
    return g_maze.rows[y] + (m - 1) * c.w + x;
}

inline int32_t StepCost(const RunContext& c, const LayerRec* r, const Move& mv, int32_t x,
                        int32_t y, int32_t m, uint8_t cell) {
    int32_t cls = CostClass(c, x, y, m, cell);
    return mv.alongY ? r->vert[cls] : r->horz[cls];
}

inline void PushNode(int32_t cost, int32_t x, int32_t y, int32_t layer, int32_t dir, int32_t vias) {
    WaveNode& n = Push(cost);
    n.x = int16_t(x);
    n.y = int16_t(y);
    n.layer = uint8_t(layer);
    n.dir = uint8_t(dir);
    n.vias = uint8_t(vias);
}

enum class Routine { kFast, kWave };

// The full points: grid points, where x and y are both even.
inline bool FullPoint(int32_t x, int32_t y) {
    return ((x | y) & 1) == 0;
}

template <Routine R> int32_t Expand(int32_t budget) {
    MzGoal& g = *Goal();
    g.meetDir[0] = g.meetDir[1] = 0;
    RunContext ctx;
    BuildContext(&ctx);
    const uint8_t(*cls)[256] = kClassTables.t;
    WaveNode n;
    for (;;) {
        if (--budget <= 0) return 0;
        if (budget % kWaveAbortPoll == 0 && UserAbort()) return 0;
        if (!Pop(&n)) {
            g_waveCur = {};
            if (R == Routine::kFast && g_verbose) DebugPrint("Wavefront empty");
            g.meetDir[0] = g.meetDir[1] = 0;
            return 1;
        }
        const int32_t x = n.x, y = n.y, layer = n.layer, dir = n.dir;
        g_waveCur = {x, y, layer, dir, n.vias};
        const int32_t side = dir & kDirSide;
        const uint8_t* table = cls[side ? 1 : 0];
        const int32_t m = ctx.maze[layer];
        uint8_t* p = Cell(ctx, x, y, m);
        switch (table[*p]) {
        case kClassFree:
            *p = uint8_t((*p & kCellMarks) | dir);
            break;
        case kClassOwn:
            continue;
        case kClassMeet:
            if (side) {
                g.meetDir[0] = uint8_t(dir);
                g.meetDir[1] = uint8_t(*p & kCellLow6);
            } else {
                g.meetDir[0] = uint8_t(*p & kCellLow6);
                g.meetDir[1] = uint8_t(dir);
            }
            g.meetX = int16_t(x);
            g.meetY = int16_t(y);
            g.meetLayer = int16_t(layer);
            return 1;
        default:
            DebugPrint(R == Routine::kFast ? "FastRun: [%d,%d] dir=%02x, status=%02x"
                                           : "WaveRun: [%d,%d] dir=%02x, status=%02x",
                       x, y, dir, int(*p));
            ErrReport(R == Routine::kFast ? kErrFastRunCell : kErrWaveRunCell, x);
        }
        const int32_t room = std::min<int32_t>(g.costLimit - q.current, kWaveCostMax);
        const LayerRec* rec = ctx.rec[layer];
        const int32_t vias = n.vias;
        if (!FullPoint(x, y)) {
            if (R == Routine::kFast && (x & y & 1)) continue;
            for (const Move& mv : kMoves) {
                int32_t nx = x + mv.dx, ny = y + mv.dy;
                const uint8_t* c = Cell(ctx, nx, ny, m);
                if (table[*c] > kClassFree) continue;
                int32_t cost = StepCost(ctx, rec, mv, nx, ny, m, *c);
                cost = R == Routine::kFast ? 2 * cost : cost + 1;
                if (cost <= room) PushNode(cost, nx, ny, layer, side | mv.code, vias);
            }
            continue;
        }
        for (const Move& mv : kMoves) {
            int32_t hx = x + mv.dx, hy = y + mv.dy;
            uint8_t* h = Cell(ctx, hx, hy, m);
            int32_t hc = table[*h];
            if (hc > kClassFree) continue;
            int32_t cost = StepCost(ctx, rec, mv, hx, hy, m, *h);
            const int32_t code = side | mv.code;
            if (hc == kClassMeet) {
                if (cost <= room) PushNode(cost, hx, hy, layer, code, vias);
                continue;
            }
            int32_t fx = hx + mv.dx, fy = hy + mv.dy;
            const uint8_t* f = Cell(ctx, fx, fy, m);
            bool far;
            if (R == Routine::kFast) {
                far = table[*f] <= kClassFree;
            } else {
                far = *f == 0;
                if (!far && table[*f] != kClassOwn) {
                    if (cost <= room) PushNode(cost, hx, hy, layer, code, vias);
                    continue;
                }
            }
            *h = uint8_t((*h & kCellMarks) | code);
            if (!far) continue;
            int32_t sum = cost + StepCost(ctx, rec, mv, fx, fy, m, *f);
            if (sum <= room) PushNode(sum, fx, fy, layer, code, vias);
        }
        if (vias <= 0) continue;
        const LayerSteps& steps = ctx.vias[layer];
        for (int32_t k = 0; k < steps.count; ++k) {
            const ViaStep& v = steps.step[k];
            if (ViaMapGet(x, y, v.type) & kViaAllowSeen) continue;
            if (table[*Cell(ctx, x, y, v.maze)] > kClassFree) continue;
            if (v.cost <= room) PushNode(v.cost, x, y, v.layer, side | m, vias - 1);
        }
    }
}

} // namespace

WaveCurrent g_waveCur;
int32_t g_waveTrace = 0;

bool WaveQueueReady() {
    return q.ready;
}
int32_t WaveEntryCount() {
    return q.entries;
}
int32_t WaveCurrentBucket() {
    return q.current;
}
int32_t WaveNodeCount() {
    return q.nodeCount;
}
int64_t WavePopCount() {
    return q.pops;
}
void WavePopCountClear() {
    q.pops = 0;
}

int32_t WavePoolAlloc() {
    if (!g_router.mazeNeeded) return 1;
    if (q.ready) WavePoolRelease();
    const int32_t pool = MzZonePool(1);
    auto* heads = static_cast<uint32_t*>(
        PoolAlloc(int32_t(kWaveBuckets * sizeof(uint32_t)), pool, kAllocQuiet));
    if (!heads) return 0;
    std::fill(heads, heads + kWaveBuckets, kWaveNil);
    int64_t count = std::max<int64_t>(int64_t(g_mzGrid.nx) * g_mzGrid.ny / 3, kWaveNodesMin) *
                    std::max<int32_t>(g_maze.layers, 1);
    int32_t runCount = int32_t((count + kWaveNodesPerRun - 1) / kWaveNodesPerRun);
    auto* runs = static_cast<WaveNode**>(
        PoolAlloc(int32_t(runCount * sizeof(WaveNode*)), pool, kAllocQuiet));
    if (!runs) return 0;
    q.heads = heads;
    q.runs = runs;
    q.freeHead = kWaveNil;
    q.nodeCount = 0;
    for (int32_t r = 0; r < runCount; ++r) {
        int32_t k =
            int32_t(std::min<int64_t>(kWaveNodesPerRun, count - int64_t(r) * kWaveNodesPerRun));
        auto* run =
            static_cast<WaveNode*>(PoolAlloc(int32_t(k * sizeof(WaveNode)), pool, kAllocQuiet));
        if (!run) {
            q = WaveQueue{};
            return 0;
        }
        runs[r] = run;
        q.nodeCount += k;
    }
    // The free list hands out nodes in index order.
    for (int32_t i = q.nodeCount - 1; i >= 0; --i)
        FreeNode(uint32_t(i));
    q.entries = 0;
    q.current = 0;
    q.lastSteal = 0;
    std::memset(q.bitmap, 0, sizeof q.bitmap);
    q.ready = true;
    SeedTableStart();
    return 1;
}

void WavePoolRelease() {
    q = WaveQueue{};
    SeedTableRelease();
}

WaveNode* wavePush(int32_t cost) {
    SeedTableStop(); // the caller fills the node in: its cell is not known here
    return &Push(cost);
}

int32_t wavePop() {
    WaveNode n;
    if (!Pop(&n)) return 0;
    g_waveCur = {n.x, n.y, n.layer, n.dir, n.vias};
    return 1;
}

int32_t waveAddSeed(int32_t x, int32_t y, int32_t layer, int32_t dir, int32_t cost,
                    int32_t limitVias) {
    if (!q.ready) ErrReport(kErrNoQueueSeed, 0);
    cost = std::min<int32_t>(cost, kWaveCostMax);
    int32_t cell = MazeGet(x, y, layer);
    if ((cell & kCellCodeMask) > kWaveSeedCodeMax) return 0;
    const int32_t side = dir & kDirSide;
    // Duplicates are looked for in buckets 0..cost, as queued while seeding.
    if ((cell & kCellLow6) && SeedTableActive() && q.current == 0) {
        if (SeedTableHas(x, y, layer, side, cost)) return 0;
    } else if (cell & kCellLow6) {
        for (int32_t b = 0; b <= cost; ++b)
            for (uint32_t i = q.heads[b]; i != kWaveNil; i = Node(i).next) {
                const WaveNode& n = Node(i);
                if (n.x == x && n.y == y && n.layer == layer && ((n.dir ^ dir) & kDirSide) == 0)
                    return 0;
            }
    }
    const MzGoal& g = *Goal();
    int32_t vias = !g.viasAllowed ? 0 : limitVias ? kWaveViasLimited : kWaveViasFree;
    if (q.current != 0) SeedTableStop();
    PushNode(cost, x, y, layer, dir, vias);
    SeedTableNote(x, y, layer, side, (q.current + cost) & kWaveBucketMask);
    CheckNode(x, y, layer);
    return 1;
}

void WaveReset() {
    if (!q.ready) return;
    if (q.entries > 0) {
        if (g_waveTrace) {
            DebugPrint("WaveReset: erasing %d entries", int(q.entries));
            while (wavePop()) {
            }
        } else {
            for (int32_t b = 0; b < kWaveBuckets; ++b)
                while (q.heads[b] != kWaveNil) {
                    FreeNode(BucketTake(b));
                    --q.entries;
                }
        }
    }
    if (q.entries != 0) ErrReport(kErrResetLeft, q.entries);
    q.current = 0;
    SeedTableStart();
}

int32_t WaveRunPass(int32_t budget) {
    if (!ObjTableValid()) ErrReport(kErrNotLoaded, 0);
    if (!q.ready) ErrReport(kErrNoQueueRun, 0);
    const MzGoal& g = *Goal();
    int32_t pass = std::clamp<int32_t>(g.pass, 0, kPassLast);
    if ((CurSweep().passFlags[pass] & kPassFast) || g.forceFast) return FastRun(budget);
    return WaveRun(budget);
}

int32_t FastRun(int32_t budget) {
    return Expand<Routine::kFast>(budget);
}

int32_t WaveRun(int32_t budget) {
    return Expand<Routine::kWave>(budget);
}
