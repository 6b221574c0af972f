// Memory pools (numbered 1..40, opened per owner, released whole) and the
// scratch stack of 38,448-byte records returned last-in first-out.
#pragma once
#include <cstdint>

#include "db/err.h"

enum : int32_t {
    kPoolCount = 40,
    kPoolChunkBytes = 65412, // a chunk as counted by MemAvailable
    kPoolChunkUsable = 65408,
    kPoolMaxTagged = 65396,
    kPoolTagHeader = 24,    // header of a tagged block (two pointer links)
    kPoolChunkArea = 65420, // bytes a chunk holds: the largest tagged block
    kScratchRecordBytes = 38448,
    kScratchDepth = 40,
};

// Fixed pools opened at start-up.
enum : int32_t {
    kPoolScratch = 1,  // owner 37480
    kPoolDb = 2,       // owner 37481
    kPoolAlt = 4,      // owner 37482
    kPoolRenumber = 6, // owner 37484
};

int32_t PoolInit();
int32_t PoolOpen(ErrCode owner);
int32_t PoolClaim(ErrCode owner);
void PoolClose(int32_t pool);
void PoolReset(int32_t pool);
void* PoolAlloc(int32_t size, int32_t pool, ErrCode code);
void* PoolNewPtr(int32_t size, int32_t pool, ErrCode code);
void PoolFreePtr(void* block);
void* PoolResizePtr(void* block, int32_t size, int32_t pool, ErrCode code);
int64_t MemAvailable();

void* ScratchPush();
void ScratchPop(void* record);
// Hands back every scratch record pushed above `depth` (after a step that
// an internal error cut short).
void ScratchUnwind(int32_t depth);

// ---- inspection and test support ------------------------------------------

// Owner of a pool (0: free); 0 for a number outside 1..40.
ErrCode PoolOwner(int32_t pool);
// Chunks held by pools, released chunks kept for reuse (at most 4), and
// chunks released past those, kept for the rest of the run.
int32_t PoolChunksInUse();
int32_t PoolChunksCached();
int32_t PoolChunksSpare();
// Live and freed tagged blocks of a pool.
int32_t PoolLiveCount(int32_t pool);
int32_t PoolFreedCount(int32_t pool);
// Scratch records handed out now, and allocated so far.
int32_t ScratchDepth();

// Test-only: caps the chunks the pools may hold at once (negative: no cap),
// so that running out of memory can be tested.
void PoolSetChunkLimit(int32_t chunks);
// Test-only: returns every chunk to the toolbox and forgets the pools and
// the scratch stack, as before the first PoolInit.
void PoolTestReset();
