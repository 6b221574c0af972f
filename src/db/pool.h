// Memory pools (numbered 1..40, opened per owner, released whole) and the
// scratch stack of 38,448-byte records returned last-in first-out.
#pragma once
#include <cstdint>

#include "db/err.h"

enum : int32_t {
    kPoolCount = 40,
    kPoolChunkBytes = 65412,
    kPoolChunkUsable = 65408,
    kPoolMaxTagged = 65396,
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
