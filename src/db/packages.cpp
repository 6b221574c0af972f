// The package table: an index of summaries and pin-array pointers (kept
// outside the pools, whose pieces are not aligned for pointers), pin arrays
// (pins 1..count) in pool 2.
#include "db/packages.h"

#include <cstring>
#include <vector>

#include "db/comps.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/names.h"
#include "db/pool.h"

namespace {

enum : ErrCode {
    kErrFull = 5227015,
    kErrGetIndex = 5227020,
    kErrPutIndex = 5227021,
    kErrInfoIndex = 5227023,
    kErrPinCountLow = 5227024,
    kErrPinGetIndex = 5227028,
    kErrPinCountHigh = 5227036,
    kErrDeleteIndex = 5227047,
    kErrDelete = 5227048,
    kErrPutPinCount = 5227052,
    kErrPutName2 = 5227054,
    kErrPutCode = 5227055,
    kErrPinArray = 5227058,
    kErrCompIndex = 5227088,
};

struct Entry {
    PackageInfo info;
    PackagePin* pins; // pins 1..count at pins[0..count-1]; null when none
};

std::vector<Entry> g_pkg; // entry 0 unused
int32_t g_count = 0;
int32_t g_capacity = 0;

void SetCount(int32_t count) {
    g_count = count;
    DbHdr().pkgCount = int16_t(count);
}

void Reserve(int32_t capacity) {
    g_pkg.resize(size_t(capacity) + 1);
    g_capacity = capacity;
}

} // namespace

void PkgInit() {
    g_pkg.clear();
    int32_t capacity = DbHdr().pkgCount;
    if (capacity < kPkgGrow) capacity = kPkgGrow;
    if (capacity > kPkgMax) capacity = kPkgMax;
    Reserve(capacity);
    SetCount(0);
}

void PkgReset() {
    g_pkg.clear();
    g_pkg.shrink_to_fit();
    g_count = 0;
    g_capacity = 0;
}

int32_t PkgCount() {
    return g_count;
}

int32_t PkgAdd() {
    if (g_count >= g_capacity) {
        if (g_capacity >= kPkgMax) ErrOutOfMemory(kErrFull);
        int32_t capacity = g_capacity + kPkgGrow;
        Reserve(capacity > kPkgMax ? kPkgMax : capacity);
    }
    Entry& e = g_pkg[g_count + 1];
    std::memset(&e.info, 0, sizeof e.info);
    e.pins = nullptr;
    SetCount(g_count + 1);
    DbSetModified();
    return g_count;
}

void PkgDelete(int32_t n) {
    if (n < 1 || n > g_count) ErrReport(kErrDeleteIndex, n);
    ErrReport(kErrDelete, n);
}

void PkgGet(int32_t n, Package* out) {
    if (n < 1 || n > g_count) ErrReport(kErrGetIndex, n);
    const Entry& e = g_pkg[n];
    if (!e.pins) {
        DbRecInit(kRecPackage, out, n);
        if (e.info.recordId != 0) // stored without pins: its summary holds
            std::memcpy(&out->info, &e.info, sizeof(PackageInfo));
        return;
    }
    std::memcpy(&out->info, &e.info, sizeof(PackageInfo));
    std::memset(out->pad, 0, sizeof out->pad);
    std::memset(&out->pin[0], 0, sizeof(PackagePin));
    std::memcpy(&out->pin[1], e.pins, sizeof(PackagePin) * size_t(e.info.pinCount));
}

ErrCode PkgPutCheck(int32_t n, const Package* record, int32_t* number) {
    int32_t dummy = 0;
    int32_t& out = number ? *number : dummy;
    auto fail = [&out](ErrCode code, int32_t value) {
        out = value;
        return code;
    };
    if (n < 1 || n > g_count) return fail(kErrPutIndex, n);
    int32_t pins = record->info.pinCount;
    if (pins < 0 || pins > kMaxPins) return fail(kErrPutPinCount, pins);
    for (int32_t p = 1; p <= pins; ++p) {
        if (record->pin[p].name2 == 0) return fail(kErrPutName2, p);
        if (record->pin[p].code >= 128) return fail(kErrPutCode, record->pin[p].code);
    }
    return 0;
}

void PkgPut(int32_t n, const Package* record) {
    int32_t number = 0;
    if (ErrCode code = PkgPutCheck(n, record, &number)) ErrReport(code, number);
    int32_t pins = record->info.pinCount;
    Entry& e = g_pkg[n];
    if (pins != e.info.pinCount || !e.pins) {
        if (e.pins) PoolFreePtr(e.pins);
        e.pins = nullptr;
        if (pins > 0)
            e.pins = static_cast<PackagePin*>(
                PoolNewPtr(int32_t(sizeof(PackagePin)) * pins, kPoolDb, kErrPinArray));
    }
    if (pins > 0) std::memcpy(e.pins, &record->pin[1], sizeof(PackagePin) * size_t(pins));
    std::memcpy(&e.info, &record->info, sizeof(PackageInfo));
    if (e.info.recordId == 0) e.info.recordId = DbNextRecordId();
    DbSetModified();
}

void PkgInfoGet(int32_t n, PackageInfo* out) {
    if (n < 1 || n > g_count) ErrReport(kErrInfoIndex, n);
    std::memcpy(out, &g_pkg[n].info, sizeof(PackageInfo));
}

void PkgPinGet(int32_t n, int32_t p, PackagePin* out) {
    if (n < 1 || n > g_count) ErrReport(kErrPinGetIndex, n);
    const Entry& e = g_pkg[n];
    if (p < 1 || p > e.info.pinCount || !e.pins) {
        std::memset(out, 0, sizeof *out);
        return;
    }
    std::memcpy(out, &e.pins[p - 1], sizeof *out);
}

int32_t PkgFind(const char* text) {
    NameId id = NameLookup(text);
    if (id == 0) return 0;
    for (int32_t n = 1; n <= g_count; ++n)
        if (g_pkg[n].info.name == id) return n;
    return 0;
}

int32_t PkgPinCount(int32_t n) {
    if (n < 1) ErrReport(kErrPinCountLow, n);
    if (n > g_count) ErrReport(kErrPinCountHigh, n);
    return g_pkg[n].info.pinCount;
}

int32_t CompPkgPinCode(int32_t c, int32_t p) {
    if (c == 0) return 0;
    if (c < 1 || c > CompCount()) ErrReport(kErrCompIndex, c);
    int32_t n = CompRef(c)->package;
    if (n == 0) return 0;
    PackagePin pin;
    PkgPinGet(n, p, &pin);
    return pin.code;
}

void PkgRegister() {
    DbModuleOps ops;
    ops.init = &PkgInit;
    ops.free = &PkgReset;
    ops.del = [](int32_t n) { PkgDelete(n); };
    ops.get = [](int32_t n, void* out) { PkgGet(n, static_cast<Package*>(out)); };
    ops.put = [](int32_t n, const void* rec) { PkgPut(n, static_cast<const Package*>(rec)); };
    DbRegisterModule(kRecPackage, ops);
}
