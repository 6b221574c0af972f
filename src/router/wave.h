// The wavefront queue and its two expansion routines. The queue is a
// bucket queue of 4,096 cost buckets over a fixed set of 12-byte nodes made
// when the router opens (nothing is allocated while routing: an exhausted
// free list steals a queued node instead). Nodes sit in runs of 4,096 from
// the first zone and link by 32-bit index; a bitmap of the non-empty
// buckets finds the next one in a few word tests. FastRun and WaveRun mark
// every cell a wavefront enters with the move that entered it and stop at
// the first cell one side reaches after the other side marked it.
#pragma once
#include <cstdint>

#include "db/err.h"

enum : int32_t {
    kWaveBuckets = 4096, // cost buckets (a power of two)
    kWaveBucketMask = kWaveBuckets - 1,
    kWaveCostMax = 4095, // a single step's cost and the room are limited to this
    kWaveNodesMin = 2000,
    kWaveNodesPerRun = 4096, // nodes of one pool piece
    kWaveStealStride = 37,
    kWaveAbortPoll = 2048, // the abort key is polled when the budget is a multiple of this
    kWaveViasLimited = 2,  // via allowance of a seed with limitVias
    kWaveViasFree = 100,   // ... without
    kWaveSeedCodeMax = 26, // cells whose code is above this are never seeded
};

// Direction codes of the maze cells the wavefront writes.
enum : uint8_t {
    kMoveToYMinus = 0x11, // the move that entered the cell: to y - 1
    kMoveToXMinus = 0x12,
    kMoveToYPlus = 0x13,
    kMoveToXPlus = 0x14,
    kDirSeed = 0x19,  // a seeded exit cell
    kDirSide = 0x20,  // side 1: the gap's first (source) end
    kCellReMark = 26, // a code that is re-marked and never a meeting
};

// Cell classes for a node of one side.
enum : uint8_t {
    kClassMeet = 0,
    kClassFree = 1,
    kClassOwn = 2,
    kClassBlocked = 3,
    kClassBad = 4,
};

#pragma pack(push, 1)
struct WaveNode {
    uint32_t next; // node index, kWaveNil at the end of a chain
    int16_t x, y;
    uint8_t layer; // database layer
    uint8_t dir;   // side bit and move code
    uint8_t vias;  // vias still allowed on this branch
    uint8_t spare;
};
#pragma pack(pop)
static_assert(sizeof(WaveNode) == 12);

inline constexpr uint32_t kWaveNil = 0xFFFFFFFFu;

// The node taken by the last wavePop.
struct WaveCurrent {
    int32_t x = 0, y = 0, layer = 0, dir = 0, vias = 0;
};
extern WaveCurrent g_waveCur;

// The wave-trace option word of the router (0 by default).
extern int32_t g_waveTrace;

int32_t WavePoolAlloc();
void WavePoolRelease();
// True while a queue exists.
bool WaveQueueReady();
// Entries queued now, and the current bucket index (not wrapped).
int32_t WaveEntryCount();
int32_t WaveCurrentBucket();
// Nodes made by WavePoolAlloc.
int32_t WaveNodeCount();
// Nodes popped since the counter was last cleared (read by the statistics).
int64_t WavePopCount();
void WavePopCountClear();

// A node linked into bucket (current + cost) mod 4,096.
WaveNode* wavePush(int32_t cost);
int32_t wavePop();
int32_t waveAddSeed(int32_t x, int32_t y, int32_t layer, int32_t dir, int32_t cost,
                    int32_t limitVias);
void WaveReset();
int32_t WaveRunPass(int32_t budget);
int32_t FastRun(int32_t budget);
int32_t WaveRun(int32_t budget);
