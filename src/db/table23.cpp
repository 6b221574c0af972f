// The Table23 table: one block of (capacity + 1) records in pool 2, used from
// record 1, grown 20 records at a time up to 500.
#include "db/table23.h"

#include <cstring>

#include "db/altjournal.h"
#include "db/db.h"
#include "db/err.h"
#include "db/pool.h"

namespace {

enum : ErrCode {
    kErrAlloc = 5248010,
    kErrFull = 5248031,
    kErrDeleteIndex = 5248037,
    kErrGetIndex = 5248040,
    kErrPutIndex = 5248042,
    kErrValue = 5248044,
    kErrMapAlloc = 5248463,
};

enum : int32_t { kGrow = 20 };

Table23* g_rec = nullptr;
int32_t g_count = 0;
int32_t g_capacity = 0;

void Reserve(int32_t capacity) {
    int32_t bytes = int32_t(sizeof(Table23)) * (capacity + 1);
    if (g_rec)
        g_rec = static_cast<Table23*>(PoolResizePtr(g_rec, bytes, kPoolDb, kErrAlloc));
    else
        g_rec = static_cast<Table23*>(PoolNewPtr(bytes, kPoolDb, kErrAlloc));
    g_capacity = capacity;
}

} // namespace

void Table23Init() {
    g_rec = nullptr;
    g_count = 0;
    g_capacity = 0;
    int32_t capacity = DbHdr().table23Count;
    if (capacity <= 0) capacity = kGrow;
    if (capacity > kTable23Max) capacity = kTable23Max;
    Reserve(capacity);
}

void Table23Free() {
    g_rec = nullptr;
    g_count = 0;
    g_capacity = 0;
}

int32_t Table23Add() {
    if (g_count >= g_capacity) {
        if (g_capacity >= kTable23Max) ErrOutOfMemory(kErrFull);
        int32_t capacity = g_capacity + kGrow;
        Reserve(capacity > kTable23Max ? kTable23Max : capacity);
    }
    ++g_count;
    DbRecInit(kRecTable23, &g_rec[g_count], g_count);
    DbSetModified();
    return g_count;
}

void Table23Get(int32_t n, Table23* out) {
    if (n < 1 || n > g_count) ErrReport(kErrGetIndex, n);
    std::memcpy(out, &g_rec[n], sizeof(Table23));
}

ErrCode Table23PutCheck(int32_t n, const Table23* record, int32_t* number) {
    int32_t dummy = 0;
    int32_t& out = number ? *number : dummy;
    auto fail = [&out](ErrCode code, int32_t value) {
        out = value;
        return code;
    };
    if (n < 1 || n > g_count) return fail(kErrPutIndex, n);
    if (record->value < 10 || record->value > 500) return fail(kErrValue, record->value);
    return 0;
}

void Table23Put(int32_t n, const Table23* record) {
    int32_t number = 0;
    if (ErrCode code = Table23PutCheck(n, record, &number)) ErrReport(code, number);
    std::memcpy(&g_rec[n], record, sizeof(Table23));
    DbSetModified();
}

void Table23Delete(int32_t n) {
    if (n < 1 || n > g_count) ErrReport(kErrDeleteIndex, n);
    int32_t old = g_count;
    std::memmove(&g_rec[n], &g_rec[n + 1], sizeof(Table23) * size_t(old - n));
    std::memset(&g_rec[old], 0, sizeof(Table23));
    // Old -> new numbers: later records move down one place. Attributes of
    // the deleted record go with it (it maps to 0); the journal's item for it
    // moves one past the new last record, where an undo re-creates it.
    auto* map = static_cast<int16_t*>(
        PoolAlloc(int32_t(sizeof(int16_t)) * (old + 1), kPoolRenumber, kErrMapAlloc));
    for (int32_t i = 0; i <= old; ++i)
        map[i] = int16_t(i < n ? i : i - 1);
    map[n] = 0;
    DbAttrRenumber(kRecTable23, map, old);
    map[n] = int16_t(old);
    AltRenumber(kRecTable23, map, old);
    PoolReset(kPoolRenumber);
    g_count = old - 1;
    DbSetModified();
}

int32_t Table23Count() {
    return g_count;
}
int32_t Table23Capacity() {
    return g_capacity;
}

void Table23Register() {
    DbModuleOps ops;
    ops.init = &Table23Init;
    ops.free = &Table23Free;
    ops.add = &Table23Add;
    ops.del = &Table23Delete;
    ops.get = [](int32_t n, void* out) { Table23Get(n, static_cast<Table23*>(out)); };
    ops.put = [](int32_t n, const void* rec) { Table23Put(n, static_cast<const Table23*>(rec)); };
    DbRegisterModule(kRecTable23, ops);
}
