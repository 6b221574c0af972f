// The router's working records and flags. MzGoal and ConnPath come from
// pool 1 the first time they are asked for and are never freed; a failed
// allocation is fatal with the record's own code.
#include "router/urstate.h"

#include <cstring>

#include "db/dbheader.h"
#include "db/pool.h"
#include "db/sweeps.h"

namespace {

enum : ErrCode {
    kOwnerGoal = 65343,
    kErrGoalAlloc = 65344,
    kOwnerConnPath = 65345,
    kErrConnPathAlloc = 65346,
};

} // namespace

RouterState g_router;

void UrAllocRecords() {
    if (!g_router.goal) {
        void* p = PoolNewPtr(int32_t(sizeof(MzGoal)), kPoolScratch, kOwnerGoal);
        if (!p) ErrReport(kErrGoalAlloc, 0);
        g_router.goal = static_cast<MzGoal*>(p);
        std::memset(g_router.goal, 0, sizeof(MzGoal));
    }
    if (!g_router.connPath) {
        void* p = PoolNewPtr(int32_t(sizeof(Conn)), kPoolScratch, kOwnerConnPath);
        if (!p) ErrReport(kErrConnPathAlloc, 0);
        g_router.connPath = static_cast<Conn*>(p);
        std::memset(g_router.connPath, 0, sizeof(Conn));
    }
}

void UrReadHeaderAndSweep() {
    DbGetHeader(&g_router.header);
    SweepGet(&g_router.curSweep);
}

void RouterTestReset() {
    RuleServicesTestReset();
    MzInitTestReset();
    MazeTestReset();
    CostTestReset();
    ObjTableTestReset();
    MapAreaTestReset();
    RouteLoopTestReset();
    ObjValidateTestReset();
    g_router = RouterState{};
}
