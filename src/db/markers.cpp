// The error-marker table: an array of pointers to 40-byte blocks from pool
// 2, grown 200 at a time, with the duplicate rule and the keeping of the
// Error Markers list.
#include "db/markers.h"

#include <cstring>
#include <vector>

#include "db/attrs.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/lang.h"
#include "db/layers.h"
#include "db/pool.h"

namespace {

enum : ErrCode {
    kErrBlock = 22031,
    kErrGetIndex = 22049,
    kErrPutIndex = 22050,
    kErrPutType = 22051,
    kErrPutLayer = 22056,
    kErrDeleteIndex = 22060,
    kErrTypeName = 22091,
    kErrTypeClearance = 22093,
};

std::vector<ErrorMarker*> g_slots(1, nullptr); // slots 1..count
int32_t g_count = 0;
MarkerList* g_list = nullptr;

void SetCount(int32_t count) {
    g_count = count;
    DbHdr().markerCount = int16_t(count);
}

// Removes slot n, moving the later slots down.
void RemoveSlot(int32_t n) {
    for (int32_t i = n; i < g_count; ++i)
        g_slots[size_t(i)] = g_slots[size_t(i + 1)];
    g_slots[size_t(g_count)] = nullptr;
    SetCount(g_count - 1);
    DbSetModified();
}

// Brings the list's row count to the marker count.
void ListSync() {
    if (!g_list) return;
    g_list->SetListDrawingEnabled(false);
    int32_t rows = g_list->ListRowCount();
    if (rows > g_count)
        g_list->DeleteListRows(0, rows - g_count);
    else if (rows < g_count)
        g_list->InsertListRows(-1, g_count - rows);
    g_list->InvalidateListRow(-1);
    g_list->SetListDrawingEnabled(true);
}

} // namespace

void MarkerSetList(MarkerList* list) {
    g_list = list;
}
MarkerList* MarkerGetList() {
    return g_list;
}

void MarkerInit() {
    g_slots.assign(1, nullptr);
    SetCount(0);
}

void MarkerReset() {
    if (g_list) g_list->SendWindowCloseEvent();
    g_slots.assign(1, nullptr);
    g_slots.shrink_to_fit();
    g_count = 0;
}

int32_t MarkerCount() {
    return g_count;
}

int32_t MarkerAdd() {
    if (g_count >= kMarkerMax) return 0;
    if (int32_t(g_slots.size()) <= g_count + 1) {
        int32_t room = int32_t(g_slots.size()) - 1 + kMarkerGrow;
        if (room > kMarkerMax) room = kMarkerMax;
        g_slots.resize(size_t(room) + 1, nullptr);
    }
    int32_t n = g_count + 1;
    g_slots[size_t(n)] = nullptr;
    SetCount(n);
    DbSetModified();
    return n;
}

void MarkerDelete(int32_t n) {
    if (n < 1 || n > g_count) ErrReport(kErrDeleteIndex, n);
    RemoveSlot(n);
    if (g_list) g_list->DeleteListRows(n - 1, 1);
}

void MarkerGet(int32_t n, ErrorMarker* out) {
    if (n < 1 || n > g_count) ErrReport(kErrGetIndex, n);
    if (const ErrorMarker* m = g_slots[size_t(n)])
        std::memcpy(out, m, sizeof(ErrorMarker));
    else
        std::memset(out, 0, sizeof(ErrorMarker));
}

ErrCode MarkerPutCheck(int32_t n, const ErrorMarker* record, int32_t* number) {
    int32_t dummy = 0;
    int32_t& out = number ? *number : dummy;
    auto fail = [&out](ErrCode code, int32_t value) {
        out = value;
        return code;
    };
    if (n < 1 || n > g_count) return fail(kErrPutIndex, n);
    if (record->type < 1 || record->type > kMarkerTypeMax) return fail(kErrPutType, record->type);
    if (record->layer > LayerCount()) return fail(kErrPutLayer, record->layer);
    return 0;
}

void MarkerPut(int32_t n, const ErrorMarker* record) {
    int32_t number = 0;
    if (ErrCode code = MarkerPutCheck(n, record, &number)) ErrReport(code, number);
    bool duplicate = false;
    for (int32_t i = 1; i <= g_count && !duplicate; ++i)
        duplicate = i != n && g_slots[size_t(i)] &&
                    std::memcmp(g_slots[size_t(i)], record, sizeof(ErrorMarker)) == 0;
    if (duplicate) {
        // Nothing is stored: a stored marker n goes, and so does an empty
        // slot n (the one just added), whatever its place.
        if (g_slots[size_t(n)])
            MarkerDelete(n);
        else
            RemoveSlot(n);
    } else {
        ErrorMarker*& slot = g_slots[size_t(n)];
        if (!slot)
            slot = static_cast<ErrorMarker*>(
                PoolAlloc(int32_t(sizeof(ErrorMarker)), kPoolDb, kErrBlock));
        std::memcpy(slot, record, sizeof(ErrorMarker));
        DbSetModified();
    }
    ListSync();
}

int32_t ErrTypeMsgId(int32_t type) {
    if (type >= 1 && type <= 20) return 22070 + type;
    if (type == 21 || type == 22) return 22071 + type;
    if (type >= 23 && type <= kMarkerNamedMax) return 22072 + type;
    // A stored type without a name (28) is listed without one.
    ExpectFail(kErrTypeName);
    return 0;
}

int32_t ErrTypeIsClearance(int32_t type) {
    if (type < 1 || type > kMarkerNamedMax) {
        ExpectFail(kErrTypeClearance);
        return 0;
    }
    switch (type) {
    case 2:
    case 3:
    case 4:
    case 6:
    case 7:
    case 13:
    case 20:
        return 1;
    default:
        return 0;
    }
}

int32_t MarkerShown(const ErrorMarker* record) {
    int32_t count = ColorCount();
    for (int32_t i = 1; i <= count; ++i) {
        ColorEntry e;
        ColorGet(i, &e);
        if ((e.kind == 1 || e.kind == 9) &&
            (e.layer == kColorAllLayers || e.layer == record->layer))
            return 1;
    }
    return 0;
}

void MarkerReport(const ErrorMarker* record, const char* caption) {
    char name[LANG_TEXT_MAX + 1] = "";
    const int32_t id = ErrTypeMsgId(record->type);
    if (!id || !LangGetString(id, LANG_TEXT_MAX, name)) name[0] = 0;
    DebugPrint("%s: Error type = %s", caption, name);
    DebugPrint("%s: x=%ld, y=%ld, lev=%d", name, long(record->x), long(record->y),
               int(record->layer));
}

void MarkerRegister() {
    DbModuleOps ops;
    ops.init = &MarkerInit;
    ops.free = &MarkerReset;
    ops.add = &MarkerAdd;
    ops.del = &MarkerDelete;
    ops.get = [](int32_t n, void* out) { MarkerGet(n, static_cast<ErrorMarker*>(out)); };
    ops.put = [](int32_t n, const void* rec) {
        MarkerPut(n, static_cast<const ErrorMarker*>(rec));
    };
    DbRegisterModule(kRecErrorMarker, ops);
}
