// The plot report table. Each report is a block of its own in pool 2 and
// the table is an index of them, grown 20 entries at a time, so that all
// 1,000 reports fit (one block of every report together would not fit a
// pool piece past 60 reports).
#include "db/plotrep.h"

#include <cstring>

#include "db/altjournal.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/names.h"
#include "db/pool.h"

namespace {

enum : ErrCode {
    kErrInitAlloc = 5247010,
    kErrFull = 5247031,
    kErrDeleteIndex = 5247037,
    kErrGetIndex = 5247040,
    kErrPutIndex = 5247042,
    kErrPutName = 5247043, // a name field without a text
    kErrFirstAlloc = 5247182,
    kErrGrowAlloc = 5247183,
    kErrRecordAlloc = 5247184,
    kErrMapAlloc = 5247463,
};

// The index: entries 0..capacity, each a pointer to a report's block. Pool
// pieces are only 4-byte aligned, so entries are copied in and out.
uint8_t* g_index = nullptr;
int32_t g_count = 0;
int32_t g_capacity = 0;

const size_t kNameOffsets[kReportNames] = {0, 4, 8, 16};

PlotReport* Entry(int32_t i) {
    PlotReport* p;
    std::memcpy(&p, g_index + sizeof p * size_t(i), sizeof p);
    return p;
}

void SetEntry(int32_t i, PlotReport* p) {
    std::memcpy(g_index + sizeof p * size_t(i), &p, sizeof p);
}

// The header's report count follows the table.
void SetCount(int32_t count) {
    g_count = count;
    DbHdr().reportCount = int16_t(count);
}

void Reserve(int32_t capacity, ErrCode code) {
    if (capacity > kReportMax) capacity = kReportMax;
    int32_t bytes = int32_t(sizeof(PlotReport*)) * (capacity + 1);
    if (g_index) {
        g_index = static_cast<uint8_t*>(PoolResizePtr(g_index, bytes, kPoolDb, code));
    } else {
        g_index = static_cast<uint8_t*>(PoolNewPtr(bytes, kPoolDb, code));
        SetEntry(0, nullptr);
    }
    for (int32_t i = g_capacity + 1; i <= capacity; ++i)
        SetEntry(i, nullptr);
    g_capacity = capacity;
}

} // namespace

void ReportInit() {
    g_index = nullptr;
    g_count = 0;
    g_capacity = 0;
    int32_t capacity = DbHdr().reportCount;
    if (capacity > 0) Reserve(capacity, kErrInitAlloc);
    SetCount(0);
}

void ReportReset() {
    g_index = nullptr;
    g_count = 0;
    g_capacity = 0;
}

int32_t ReportAdd() {
    if (g_count >= kReportMax) ErrOutOfMemory(kErrFull);
    if (g_count >= g_capacity)
        Reserve(g_capacity + kReportGrow, g_index ? kErrGrowAlloc : kErrFirstAlloc);
    int32_t n = g_count + 1;
    auto* rec =
        static_cast<PlotReport*>(PoolNewPtr(int32_t(sizeof(PlotReport)), kPoolDb, kErrRecordAlloc));
    DbRecInit(kRecPlotReport, rec, n);
    SetEntry(n, rec);
    SetCount(n);
    DbSetModified();
    return n;
}

void ReportGet(int32_t n, PlotReport* out) {
    if (n < 1 || n > g_count) ErrReport(kErrGetIndex, n);
    std::memcpy(out, Entry(n), sizeof(PlotReport));
}

NameId ReportNameGet(const PlotReport* record, int32_t i) {
    NameId id;
    std::memcpy(&id, reinterpret_cast<const uint8_t*>(record) + kNameOffsets[i], sizeof id);
    return id;
}

void ReportNameSet(PlotReport* record, int32_t i, NameId id) {
    std::memcpy(reinterpret_cast<uint8_t*>(record) + kNameOffsets[i], &id, sizeof id);
}

ErrCode ReportPutCheck(int32_t n, const PlotReport* record, int32_t* number) {
    int32_t dummy = 0;
    int32_t& out = number ? *number : dummy;
    if (n < 1 || n > g_count) {
        out = n;
        return kErrPutIndex;
    }
    for (int32_t i = 0; i < kReportNames; ++i) {
        NameId id = ReportNameGet(record, i);
        if (!NameIdValid(id)) {
            out = int32_t(id);
            return kErrPutName;
        }
    }
    return 0;
}

void ReportPut(int32_t n, const PlotReport* record) {
    int32_t number = 0;
    if (ErrCode code = ReportPutCheck(n, record, &number)) ErrReport(code, number);
    std::memcpy(Entry(n), record, sizeof(PlotReport));
    DbSetModified();
}

void ReportDelete(int32_t n) {
    if (n < 1 || n > g_count) ErrReport(kErrDeleteIndex, n);
    int32_t old = g_count;
    PoolFreePtr(Entry(n));
    for (int32_t i = n; i < old; ++i)
        SetEntry(i, Entry(i + 1));
    SetEntry(old, nullptr);
    // Old -> new numbers: later reports move down one place; the deleted
    // one goes to the old count, one past the new last report.
    auto* map = static_cast<int16_t*>(
        PoolAlloc(int32_t(sizeof(int16_t)) * (old + 1), kPoolRenumber, kErrMapAlloc));
    for (int32_t i = 0; i <= old; ++i)
        map[i] = int16_t(i < n ? i : i - 1);
    map[n] = int16_t(old);
    DbAttrRenumber(kRecPlotReport, map, old);
    AltRenumber(kRecPlotReport, map, old);
    PoolReset(kPoolRenumber);
    SetCount(old - 1);
    DbSetModified();
}

int32_t ReportCount() {
    return g_count;
}

int32_t ReportCapacity() {
    return g_capacity;
}

void ReportRegister() {
    DbModuleOps ops;
    ops.init = &ReportInit;
    ops.free = &ReportReset;
    ops.add = &ReportAdd;
    ops.del = &ReportDelete;
    ops.get = [](int32_t n, void* out) { ReportGet(n, static_cast<PlotReport*>(out)); };
    ops.put = [](int32_t n, const void* rec) { ReportPut(n, static_cast<const PlotReport*>(rec)); };
    DbRegisterModule(kRecPlotReport, ops);
}
