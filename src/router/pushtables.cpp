// The push tables: 25 working records of 16,108 bytes taken from the
// router's first zone when the router opens, used as a stack indexed by
// the nesting depth of MzPush. The depth is 0 outside every push; each
// MzPush enters the next table and leaves it on every path.
#include "db/pool.h"
#include "router/mzinit.h"
#include "router/push.h"
#include "router/pushwork.h"

PushOptions g_pushOptions{};

namespace {

struct PushTablesState {
    PushTable* table[kPushTables + 1] = {}; // table 0 does not exist
    int32_t depth = 0;
};
PushTablesState s;

} // namespace

void PushTablesAlloc() {
    const int32_t pool = MzZonePool(1);
    for (int32_t i = 1; i <= kPushTables; ++i)
        s.table[i] = pool ? static_cast<PushTable*>(PoolAlloc(kPushTableBytes, pool, kErrPushAlloc))
                          : nullptr;
    s.depth = 0;
}

void PushTablesRelease() {
    s = PushTablesState{};
}

int32_t PushDepth() {
    return s.depth;
}

PushTable* PushTableAt(int32_t depth) {
    return depth >= 1 && depth <= kPushTables ? s.table[depth] : nullptr;
}

PushTable* PushEnter() {
    PushTable* t = PushTableAt(s.depth + 1);
    if (t) ++s.depth;
    return t;
}

void PushLeave() {
    if (s.depth > 0) --s.depth;
}

PushTable* PushCurrent() {
    return PushTableAt(s.depth);
}

void PushTablesUnwind() {
    s.depth = 0;
}

void PushTestReset() {
    s = PushTablesState{};
    g_pushOptions = PushOptions{};
    PushConnTestReset();
}
