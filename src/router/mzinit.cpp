// mzInit and MazeRelease: the three memory zones and the set-up steps, run
// in a fixed order and released in the reverse order. A second mzInit only
// rereads the current sweep; MazeRelease may run any number of times.
#include "router/mzinit.h"

#include <cstring>

#include "db/dbheader.h"
#include "db/layers.h"
#include "db/pool.h"
#include "db/sweeps.h"
#include "router/costs.h"
#include "router/layertab.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/push.h"
#include "router/rulesvc.h"
#include "router/urstate.h"
#include "router/viamap.h"
#include "router/nearest.h"
#include "router/seed.h"
#include "router/wave.h"

namespace {

enum : ErrCode {
    kErrGeometryValid = 2163532,
    kErrSecondFlag = 2163533,
};

const ErrCode kZoneOwners[kZoneCount] = {kOwnerZone1, kOwnerZone2, kOwnerZone3};

struct MzInitState {
    bool ready = false;
    int32_t zones[kZoneCount] = {};
    uint8_t status[kStatusBlockBytes] = {};
    MzInitStepOps steps[kStepCount];
};
MzInitState s;

int32_t StitchStep() {
    return StitchAlloc();
}
void StitchStepRelease() {
    StitchRelease();
}
void ObjStepRelease() {
    ObjTableFree();
}

MzInitStepOps BuiltIn(int32_t step) {
    MzInitStepOps ops;
    switch (step) {
    case kStepPushTables:
        ops.alloc = [] {
            PushTablesAlloc();
            return int32_t(1);
        };
        ops.release = &PushTablesRelease;
        break;
    case kStepObjTable:
        ops.alloc = &ObjTableAlloc;
        ops.release = &ObjStepRelease;
        break;
    case kStepStitch:
        ops.alloc = &StitchStep;
        ops.release = &StitchStepRelease;
        break;
    case kStepMapAlloc:
        ops.alloc = &MapAlloc;
        ops.release = &MapForget;
        break;
    case kStepViaInit:
        ops.alloc = &ViaInit;
        ops.release = &ViaForget;
        break;
    case kStepWavePool:
        ops.alloc = &WavePoolAlloc;
        ops.release = &WavePoolRelease;
        break;
    case kStepMazeAlloc:
        ops.alloc = &MazeAlloc;
        ops.release = &MazeForget;
        break;
    default:
        break;
    }
    return ops;
}

bool s_stepsSet = false;

void EnsureSteps() {
    if (s_stepsSet) return;
    MzInitDefaultSteps();
}

int32_t RunStep(int32_t step) {
    return s.steps[step].alloc ? s.steps[step].alloc() : 1;
}

} // namespace

void MzInitSetStep(MzInitStep step, const MzInitStepOps& ops) {
    EnsureSteps();
    if (step >= 0 && step < kStepCount) s.steps[step] = ops;
}

void MzInitDefaultSteps() {
    for (int32_t i = 0; i < kStepCount; ++i)
        s.steps[i] = BuiltIn(i);
    s_stepsSet = true;
}

int32_t MzMemoryReady() {
    return s.ready ? 1 : 0;
}

int32_t MzZonePool(int32_t zone) {
    if (zone < 1 || zone > kZoneCount) return 0;
    return s.zones[zone - 1];
}

int32_t mzInit(int32_t full) {
    EnsureSteps();
    SweepGet(&CurSweep());
    if (s.ready) return 1;
    s.ready = true;
    for (int32_t z = 0; z < kZoneCount; ++z)
        if (!s.zones[z]) s.zones[z] = PoolOpen(kZoneOwners[z]);
    std::memset(s.status, 0, sizeof s.status);
    if (g_verbose) DebugPrint("mzInit: Map is %d by %d", int(g_mzGrid.nx), int(g_mzGrid.ny));
    DbGetHeader(&g_router.header);
    if (!ViaCostTableAlloc()) return 0;
    if (!LayerTableBuild()) return 0;
    if (full) {
        RunStep(kStepPushTables);
        RunStep(kStepObjTable);
        for (int32_t step = kStepStitch; step < kStepCount; ++step)
            if (!RunStep(step)) return 0;
    } else {
        if (g_router.mapGeometryValid) ErrReport(kErrGeometryValid, 0);
        if (g_router.secondRouterFlag) ErrReport(kErrSecondFlag, 0);
    }
    if (!mzLayerPairInit()) return 0;
    if (g_verbose) DebugPrint("mzInit: Initialization Complete");
    return 1;
}

void MazeRelease() {
    EnsureSteps();
    for (int32_t step = kStepCount - 1; step >= 0; --step)
        if (s.steps[step].release) s.steps[step].release();
    CostTablesForget();
    LayerTableForget();
    for (int32_t z = 0; z < kZoneCount; ++z)
        if (s.zones[z]) {
            PoolClose(s.zones[z]);
            s.zones[z] = 0;
        }
    s.ready = false;
}

void MzInitTestReset() {
    // The pools were reset under the zones: forget them without closing.
    MazeForget();
    ObjMapTestReset();
    ObjTableFree();
    PushTestReset();
    StitchRelease();
    WavePoolRelease();
    SeedTestReset();
    NearestTestReset();
    CostTablesForget();
    LayerTableForget();
    s = MzInitState{};
    s_stepsSet = false;
}

uint32_t MapCalcEstimatedMem(const Sweep* sweep) {
    int32_t layers = LayerCount();
    if (layers > kMaxLayers) layers = kMaxLayers;
    uint32_t b = 0, a = 0;
    for (int32_t l = 1; l <= layers; ++l) {
        if (LayerRef(l)->flags & kLayerNotRoutable) continue;
        ++b;
        if (sweep->enable[l]) ++a;
    }
    uint32_t n = uint32_t(DbHdr().viaCount > 0 ? DbHdr().viaCount : 0);
    uint32_t e = 8 * a + 6 * b + n;
    uint32_t cells = uint32_t(sweep->box[0]) * uint32_t(sweep->box[1]);
    uint32_t estimate = cells * e + kEstimateBaseBytes;
    if (g_verbose) {
        DebugPrint("MapCalcEstimatedMem: Map %d, Maze %d, Via %d, Wave %d", int(6 * b), int(8 * a),
                   int(n), 0);
        DebugPrint("MapCalcEstimatedMem: %ld * %ld + %ldK = %ldK", long(e), long(cells),
                   long(kEstimateBaseBytes / 1000), long(estimate / 1000));
    }
    return estimate;
}
