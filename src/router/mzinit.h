// The router's working memory: mzInit opens the three memory zones and runs
// the set-up steps in order (push tables, object table, stitch buffer,
// object map, maze, via map, wave pool); MazeRelease runs the matching
// releases and closes the zones. Steps that later parts of the router build
// register themselves here; a step without procedures succeeds without
// allocating. Also the memory estimate of a routing window.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : ErrCode {
    kOwnerZone1 = 2163020,
    kOwnerZone2 = 2163030,
    kOwnerZone3 = 2163040,
};

enum : int32_t {
    kZoneCount = 3,
    kStatusBlockBytes = 16,
    kEstimateBaseBytes = 2000000, // the estimate's fixed part
};

// The set-up steps of mzInit with full set, in their order.
enum MzInitStep : int32_t {
    kStepPushTables = 0, // outcome not tested
    kStepObjTable,       // outcome not tested
    kStepStitch,
    kStepMapAlloc,
    kStepMazeAlloc,
    kStepViaInit,
    kStepWavePool,
    kStepCount,
};

struct MzInitStepOps {
    int32_t (*alloc)() = nullptr; // 1 success, 0 failure
    void (*release)() = nullptr;
};

// Replaces a step's procedures (null fields: the step does nothing).
void MzInitSetStep(MzInitStep step, const MzInitStepOps& ops);
// Back to the built-in steps.
void MzInitDefaultSteps();

int32_t mzInit(int32_t full);
void MazeRelease();
// 1 while the router memory is set up.
int32_t MzMemoryReady();
// The pool number of zone 1..3, 0 while it is closed.
int32_t MzZonePool(int32_t zone);

// Estimated bytes for a routing window of the sweep.
uint32_t MapCalcEstimatedMem(const Sweep* sweep);
