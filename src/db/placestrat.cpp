// The placement strategy record, kept in one block of pool 2.
#include "db/placestrat.h"

#include <cstring>

#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/pool.h"

namespace {

enum : ErrCode {
    kErrAlloc = 5224010,
    kErrAbsent = 5224011,
    kErrIterations = 5224044,
    kErrAttempts = 5224046,
    kErrClusters = 5224048,
};

// The block is larger than the record (room kept for the design file's
// image of it).
enum : int32_t { kBlockBytes = 228, kCheckedPasses = 11 };

PlaceStrategy* g_strategy = nullptr;

PlaceStrategy& Stored() {
    if (!g_strategy) ErrReport(kErrAbsent, 0);
    return *g_strategy;
}

} // namespace

void PlaceStratInit() {
    g_strategy = static_cast<PlaceStrategy*>(PoolNewPtr(kBlockBytes, kPoolDb, kErrAlloc));
    std::memset(g_strategy, 0, kBlockBytes);
    DbRecInit(kRecPlaceStrategy, g_strategy, 0);
}

void PlaceStratFree() {
    g_strategy = nullptr;
}

void PlaceStratGet(PlaceStrategy* out) {
    std::memcpy(out, &Stored(), sizeof(PlaceStrategy));
}

ErrCode PlaceStratPutCheck(const PlaceStrategy* record, int32_t* number) {
    if (DbIsTrusted()) return 0;
    int32_t dummy = 0;
    int32_t& out = number ? *number : dummy;
    auto fail = [&out](ErrCode code, int32_t value) {
        out = value;
        return code;
    };
    // Entry 0 is no placement pass and is not checked.
    for (int32_t p = 1; p <= kCheckedPasses; ++p) {
        int16_t iterations = record->iterations[p];
        int16_t attempts = record->attempts[p];
        int16_t clusters = record->clusters[p];
        if (iterations < 0 || iterations > 100) return fail(kErrIterations, iterations);
        if (attempts < 0 || attempts > 100) return fail(kErrAttempts, attempts);
        if (clusters < 0) return fail(kErrClusters, clusters);
    }
    return 0;
}

void PlaceStratPut(const PlaceStrategy* record) {
    PlaceStrategy& slot = Stored();
    int32_t number = 0;
    if (ErrCode code = PlaceStratPutCheck(record, &number)) ErrReport(code, number);
    std::memcpy(&slot, record, sizeof(PlaceStrategy));
    DbSetModified();
}

void PlaceStratRegister() {
    DbModuleOps ops;
    ops.init = &PlaceStratInit;
    ops.free = &PlaceStratFree;
    ops.get = [](int32_t, void* out) { PlaceStratGet(static_cast<PlaceStrategy*>(out)); };
    ops.put = [](int32_t, const void* rec) {
        PlaceStratPut(static_cast<const PlaceStrategy*>(rec));
    };
    DbRegisterModule(kRecPlaceStrategy, ops);
}
