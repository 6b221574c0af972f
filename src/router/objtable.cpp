// The object table: one 262,080-byte pointer block of 8-byte entries and
// four 16-bit globals (valid word, count, first and last connection entry).
// Beside the block, three indexes kept in step with every append and every
// write of an entry's net: per net its entries, per component its pad and
// obstacle entries (both in ascending entry order), and per connection its
// entry. Connection scans run over the connection range only, which a reset
// empties (32,760..0). Every operation but the searches and
// the append treats a missing block or an invalid table as an internal
// error.
#include "router/objtable.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <vector>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/pool.h"
#include "router/urstate.h"
#include "toolbox/core/memblock.h"

namespace {

enum : ErrCode {
    kErrInitMissing = 2186010,
    kErrGetMissing = 2186020,
    kErrGetInvalid = 2186021,
    kErrGetIndex = 2186022,
    kErrAddMissing = 2186030,
    kErrAddType = 2186031,
    kErrFlagMissing = 2186040,
    kErrFlagInvalid = 2186041,
    kErrFlagIndex = 2186042,
    kErrFlagNotConn = 2186043,
    kErrDescribeIndex = 2186050,
    kErrDescribeType = 2186051,
};

MapObj* s_table = nullptr;
int16_t s_valid = 0;
int16_t s_count = 0;
int32_t s_firstConn = kObjEntries;
int32_t s_lastConn = 0;

// The indexes; inner lists keep their capacity across resets.
std::vector<std::vector<int16_t>> s_byNet;  // net -> entries
std::vector<std::vector<int16_t>> s_byComp; // component -> pad and obstacle entries
std::vector<int16_t> s_byConn;              // connection -> entry

void IndexClear() {
    for (auto& v : s_byNet)
        v.clear();
    for (auto& v : s_byComp)
        v.clear();
    std::fill(s_byConn.begin(), s_byConn.end(), int16_t(0));
}

std::vector<int16_t>& Slot(std::vector<std::vector<int16_t>>& index, int32_t key) {
    if (size_t(key) >= index.size()) index.resize(size_t(key) + 1);
    return index[size_t(key)];
}

void IndexInsert(std::vector<int16_t>& list, int32_t n) {
    if (list.empty() || list.back() < n) {
        list.push_back(int16_t(n));
        return;
    }
    auto at = std::lower_bound(list.begin(), list.end(), int16_t(n));
    if (at == list.end() || *at != n) list.insert(at, int16_t(n));
}

void IndexErase(std::vector<int16_t>& list, int32_t n) {
    auto at = std::lower_bound(list.begin(), list.end(), int16_t(n));
    if (at != list.end() && *at == n) list.erase(at);
}

// The component an entry is placed on (pads: index, obstacles: link), 0 none.
int32_t EntryComp(const MapObj& o) {
    if (o.type == kObjPad) return o.index > 0 ? o.index : 0;
    if (o.type == kObjObstacle) return o.link > 0 ? o.link : 0;
    return 0;
}

void NeedReady(ErrCode missing, ErrCode invalid) {
    if (!s_table) ErrReport(missing, 0);
    if (!s_valid) ErrReport(invalid, 0);
}

void CheckIndex(int32_t n, ErrCode code) {
    if (n < 0 || n > s_count) ErrReport(code, n);
}

const char* NetName(int32_t net) {
    if (net < 1 || net > NetCount()) return "";
    return NameText(NetRef(net)->name);
}

const char* CompName(int32_t comp) {
    if (comp < 1 || comp > CompCount()) return "Node";
    return NameText(CompRef(comp)->name);
}

} // namespace

int32_t ObjTableAlloc() {
    if (!s_table) s_table = static_cast<MapObj*>(NewPointerBlock(nullptr, kObjTableBytes));
    if (!s_table) return 0;
    ObjTableReset();
    return 1;
}

void ObjTableFree() {
    if (s_table) FreeHeapBlock(s_table);
    s_table = nullptr;
    s_valid = 0;
    s_count = 0;
    s_firstConn = kObjEntries;
    s_lastConn = 0;
    IndexClear();
}

int32_t ObjTableReady() {
    return s_table ? 1 : 0;
}

void ObjTableReset() {
    s_count = 0;
    s_valid = 0;
    s_firstConn = kObjEntries;
    s_lastConn = 0;
    IndexClear();
    AltPush();
    while (AltDepth() > 0)
        AltPop(false);
}

void ObjTableInit() {
    if (!s_table) ErrReport(kErrInitMissing, 0);
    ObjTableReset();
    s_table[0] = MapObj{kObjEmpty, 0, 0, -1, 0};
    s_table[1] = MapObj{kObjEdge, kObjFlagMapped, 0, 0, 0};
    s_count = 1;
    s_valid = 1;
}

int32_t ObjGet(int32_t n, MapObj* out) {
    NeedReady(kErrGetMissing, kErrGetInvalid);
    CheckIndex(n, kErrGetIndex);
    *out = s_table[n];
    return n;
}

void ObjAdd(int32_t type, int32_t flags, int32_t index, int32_t link, int32_t net) {
    if (!s_table) ErrReport(kErrAddMissing, type);
    if (!s_valid) return;
    int32_t n = s_count + 1;
    if (n >= kObjEntries) {
        // The table is full: everything appended so far is dropped until the
        // router's objects are validated again.
        ObjTableReset();
        return;
    }
    if (type != kObjPad && type != kObjConn && type != kObjObstacle && type != kObjText)
        ErrReport(kErrAddType, type);
    s_count = int16_t(n);
    s_table[n] = MapObj{uint8_t(type), uint8_t(flags), int16_t(index), int16_t(net), int16_t(link)};
    if (type == kObjConn) {
        if (n < s_firstConn) s_firstConn = n;
        if (n > s_lastConn) s_lastConn = n;
        if (index > 0) {
            if (size_t(index) >= s_byConn.size()) s_byConn.resize(size_t(index) + 1, 0);
            if (!s_byConn[size_t(index)]) s_byConn[size_t(index)] = int16_t(n);
        }
    }
    if (net > 0) Slot(s_byNet, net).push_back(int16_t(n));
    if (int32_t comp = EntryComp(s_table[n])) Slot(s_byComp, comp).push_back(int16_t(n));
}

void ObjSetNet(int32_t n, int32_t net) {
    NeedReady(kErrFlagMissing, kErrFlagInvalid);
    CheckIndex(n, kErrFlagIndex);
    MapObj& o = s_table[n];
    if (o.net == net) return;
    if (o.net > 0 && size_t(o.net) < s_byNet.size()) IndexErase(s_byNet[size_t(o.net)], n);
    o.net = int16_t(net);
    if (net > 0) IndexInsert(Slot(s_byNet, net), n);
}

const int16_t* ObjNetEntries(int32_t net, int32_t* count) {
    *count = 0;
    if (!s_table || !s_valid || net < 1 || size_t(net) >= s_byNet.size()) return nullptr;
    const auto& v = s_byNet[size_t(net)];
    *count = int32_t(v.size());
    return v.data();
}

const int16_t* ObjCompEntries(int32_t comp, int32_t* count) {
    *count = 0;
    if (!s_table || !s_valid || comp < 1 || size_t(comp) >= s_byComp.size()) return nullptr;
    const auto& v = s_byComp[size_t(comp)];
    *count = int32_t(v.size());
    return v.data();
}

int32_t ObjFindConn(int32_t c) {
    if (!s_table || !s_valid || c < 1 || size_t(c) >= s_byConn.size()) return 0;
    return s_byConn[size_t(c)];
}

int32_t ObjFindPad(int32_t comp, int32_t pin) {
    int32_t count;
    const int16_t* list = ObjCompEntries(comp, &count);
    for (int32_t i = 0; i < count; ++i) {
        const MapObj& o = s_table[list[i]];
        if (o.type == kObjPad && o.index == comp && o.link == pin) return list[i];
    }
    return 0;
}

void ObjClearConnFlags(int32_t bits) {
    NeedReady(kErrFlagMissing, kErrFlagInvalid);
    for (int32_t n = s_firstConn; n <= s_lastConn; ++n)
        if (s_table[n].type == kObjConn) s_table[n].flags = uint8_t(s_table[n].flags & ~bits);
}

void ObjSetConnFlags(int32_t bits) {
    NeedReady(kErrFlagMissing, kErrFlagInvalid);
    for (int32_t n = s_firstConn; n <= s_lastConn; ++n)
        if (s_table[n].type == kObjConn) s_table[n].flags = uint8_t(s_table[n].flags | bits);
}

void ObjMarkConnsByNetFlag() {
    NeedReady(kErrFlagMissing, kErrFlagInvalid);
    for (int32_t n = s_firstConn; n <= s_lastConn; ++n) {
        MapObj& o = s_table[n];
        if (o.type != kObjConn || o.net < 1 || o.net > NetCount()) continue;
        if (NetRef(o.net)->flags & kNetNoRoute) o.flags = uint8_t(o.flags | kObjFlagNoRoute);
    }
}

void ObjClearFlag(int32_t n, int32_t bits) {
    NeedReady(kErrFlagMissing, kErrFlagInvalid);
    CheckIndex(n, kErrFlagIndex);
    s_table[n].flags = uint8_t(s_table[n].flags & ~bits);
}

void ObjSetConnFlag(int32_t n, int32_t bits) {
    NeedReady(kErrFlagMissing, kErrFlagInvalid);
    CheckIndex(n, kErrFlagIndex);
    if (s_table[n].type != kObjConn) ErrReport(kErrFlagNotConn, n);
    s_table[n].flags = uint8_t(s_table[n].flags | bits);
}

void ObjDescribe(int32_t n, const char* prefix) {
    if (!g_verbose) return;
    char pre[kTraceMaxChars + 1];
    std::snprintf(pre, sizeof pre, "%s", prefix ? prefix : "");
    if (n < 0) {
        DebugPrint("%s net #%d \"%s\"", pre, int(-n), NetName(-n));
        return;
    }
    if (!s_table || n > s_count) ErrReport(kErrDescribeIndex, n);
    const MapObj& o = s_table[n];
    switch (o.type) {
    case kObjPad:
        if (o.net >= 1)
            DebugPrint("%s %s.%d Net=\"%s\", Obj=%d", pre, CompName(o.index), int(o.link),
                       NetName(o.net), int(n));
        else
            DebugPrint("%s %s.%d, No net, Obj=%d", pre, CompName(o.index), int(o.link), int(n));
        break;
    case kObjConn: {
        Conn* c = static_cast<Conn*>(ScratchPush());
        AltSave(kRecConn, o.index, c);
        DebugPrint("%s %s.%d to %s.%d (Net %s)", pre, CompName(c->head.fromComp),
                   int(c->head.fromPin), CompName(c->head.toComp), int(c->head.toPin),
                   NetName(c->head.net));
        ScratchPop(c);
        break;
    }
    case kObjObstacle:
        if (o.net >= 1)
            DebugPrint("%s obs#%d obj#%d net=\"%s\"", pre, int(o.index), int(n), NetName(o.net));
        else
            DebugPrint("%s obs#%d obj#%d NO-NET", pre, int(o.index), int(n));
        break;
    case kObjEdge:
        DebugPrint("%s edge", pre);
        break;
    case kObjText:
        DebugPrint("%s text #%d", pre, int(o.index));
        break;
    case kObjNull:
        DebugPrint("%s NULL", pre);
        break;
    default:
        ErrReport(kErrDescribeType, o.type);
    }
}

int32_t ObjCount() {
    return s_count;
}
int32_t ObjTableValid() {
    return s_valid;
}
int32_t ObjFirstConn() {
    return s_firstConn;
}
int32_t ObjLastConn() {
    return s_lastConn;
}
MapObj* ObjEntry(int32_t n) {
    return s_table + n;
}

void ObjTableTestReset() {
    ObjTableFree();
}
