// The sweep table: nine 228-byte records in one block of pool 2, addressed
// through the header's current sweep number.
#include "db/sweeps.h"

#include <cstddef>
#include <cstring>

#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/pool.h"

namespace {

enum : ErrCode {
    kErrAlloc = 5222010,
    kErrAbsent = 5222011,
    kErrGetNumber = 5222020,
    kErrPutNumber = 5222021,
    kErrBoxX = 5222030,
    kErrBoxY = 5222031,
    kErrVia = 5222032,
    kErrRetry = 5222033,
    kErrLimit = 5222034,
    kErrDir = 5222035,
    kErrCost = 5222036,
    kErrName = 5222037,
    kErrDirection = 5222038,
    kErrAttempts = 5222039,
    kErrBetween = 5222040,
};

// Sweep directions by their low five bits: 1 up and 2 down walk the y axis,
// 4 left and 8 right the x axis, 16 takes the next window.
enum : uint8_t {
    kDirUp = 1,
    kDirDown = 2,
    kDirLeft = 4,
    kDirRight = 8,
    kDirNext = 16,
    kDirBits = 0x1F,
    kDirAxisY = kDirUp | kDirDown,
    kDirAxisX = kDirLeft | kDirRight,
};
enum : int32_t { kPercentMax = 100, kSweepBoxMaxX = 500, kSweepBoxMaxY = 1000 };

bool OneDirection(uint8_t d) {
    return d == kDirUp || d == kDirDown || d == kDirLeft || d == kDirRight;
}

// The first direction byte the router cannot walk: its offset, or 0. A
// secondary direction on the primary's own axis would never end a walk.
int32_t BadDirection(const Sweep& s) {
    uint8_t p = s.primary & kDirBits, q = s.secondary & kDirBits;
    uint8_t cp = s.curPrimary & kDirBits, cq = s.curSecondary & kDirBits;
    if (!OneDirection(p) && p != kDirNext) return int32_t(offsetof(Sweep, primary));
    bool secondaryOk = p == kDirNext ? (q == 0 || OneDirection(q))
                                     : OneDirection(q) && ((p & kDirAxisY) ? (q & kDirAxisX) != 0
                                                                           : (q & kDirAxisY) != 0);
    if (!secondaryOk) return int32_t(offsetof(Sweep, secondary));
    if (cp != 0 && cp != kDirNext && !OneDirection(cp)) return int32_t(offsetof(Sweep, curPrimary));
    if (cq != 0 && !OneDirection(cq)) return int32_t(offsetof(Sweep, curSecondary));
    return 0;
}

Sweep* g_sweeps = nullptr;

Sweep& Current(ErrCode code) {
    int32_t n = DbHdr().sweep;
    if (n >= kSweepCount) ErrReport(code, n);
    if (!g_sweeps) ErrReport(kErrAbsent, n);
    return g_sweeps[n];
}

int32_t Layers() {
    int32_t count = DbHdr().layerCount;
    if (count < 0) return 0;
    return count > kMaxLayers ? int32_t(kMaxLayers) : count;
}

} // namespace

void SweepInit() {
    g_sweeps =
        static_cast<Sweep*>(PoolNewPtr(int32_t(sizeof(Sweep)) * kSweepCount, kPoolDb, kErrAlloc));
    for (int32_t i = 0; i < kSweepCount; ++i)
        DbRecInit(kRecSweep, &g_sweeps[i], i);
}

void SweepFree() {
    g_sweeps = nullptr;
}

void SweepGet(Sweep* out) {
    std::memcpy(out, &Current(kErrGetNumber), sizeof(Sweep));
    int32_t count = Layers(), used = 0;
    for (int32_t l = 1; l <= count; ++l)
        if (out->enable[l]) ++used;
    for (int32_t l = count + 1; l <= kMaxLayers; ++l)
        out->enable[l] = 0;
    out->layerCount = int16_t(DbHdr().layerCount);
    out->usedLayers = int16_t(used);
}

ErrCode SweepPutCheck(const Sweep* sweep, int32_t* number) {
    int32_t dummy = 0;
    int32_t& out = number ? *number : dummy;
    auto fail = [&out](ErrCode code, int32_t value) {
        out = value;
        return code;
    };
    int32_t n = DbHdr().sweep;
    if (n >= kSweepCount) return fail(kErrPutNumber, n);
    // A sweep the router cannot walk is refused even from a file written
    // whole.
    const Sweep& s = *sweep;
    if (s.box[0] < 1 || s.box[0] > kSweepBoxMaxX) return fail(kErrBoxX, s.box[0]);
    if (s.box[1] < 1 || s.box[1] > kSweepBoxMaxY) return fail(kErrBoxY, s.box[1]);
    for (int32_t p = 0; p < 5; ++p) {
        if (s.via[p] > kPercentMax) return fail(kErrVia, p);
        if (s.retry[p] > kPercentMax) return fail(kErrRetry, p);
        if (s.limit[p] > kPercentMax) return fail(kErrLimit, p);
        if (s.attempts[p] > kPercentMax) return fail(kErrAttempts, p);
    }
    int32_t count = Layers();
    for (int32_t l = 1; l <= count; ++l) {
        if (s.dir[l] > kPercentMax) return fail(kErrDir, l);
        if (s.cost[l] > kPercentMax) return fail(kErrCost, l);
        if (s.between[l] > kPercentMax) return fail(kErrBetween, l);
    }
    if (int32_t offset = BadDirection(s)) return fail(kErrDirection, offset);
    if (DbIsTrusted()) return 0;
    if (strnlen(s.name, sizeof s.name) > 31) return fail(kErrName, 0);
    return 0;
}

bool SweepPut(const Sweep* sweep) {
    Sweep& slot = Current(kErrPutNumber);
    int32_t number = 0;
    if (ErrCode code = SweepPutCheck(sweep, &number)) ErrReport(code, number);
    Sweep s;
    std::memcpy(&s, sweep, sizeof s);
    bool max = (s.diagonal & 2) != 0;
    if (!DbIsTrusted() && max) s.diagonal = int16_t(s.diagonal | 1);
    std::memcpy(&slot, &s, sizeof s);
    DbSetModified();
    return max;
}

Sweep* SweepSlot(int32_t n) {
    if (n < 0 || n >= kSweepCount) ErrReport(kErrGetNumber, n);
    if (!g_sweeps) ErrReport(kErrAbsent, n);
    return &g_sweeps[n];
}

void SweepRegister() {
    DbModuleOps ops;
    ops.init = &SweepInit;
    ops.free = &SweepFree;
    // The generic access sets the current sweep number around these calls.
    ops.get = [](int32_t, void* out) { SweepGet(static_cast<Sweep*>(out)); };
    ops.put = [](int32_t, const void* rec) { SweepPut(static_cast<const Sweep*>(rec)); };
    DbRegisterModule(kRecSweep, ops);
}
