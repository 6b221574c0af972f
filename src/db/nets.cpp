// The net table in pages of 2,336 records from pool 2, the required-layer
// check of a net's pins, and the note list.
#include "db/nets.h"
#include "db/obstacles.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "db/altjournal.h"
#include "db/attrs.h"
#include "db/chains.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/markers.h"
#include "db/names.h"
#include "db/pool.h"
#include "db/symbols.h"

namespace {

enum : ErrCode {
    kErrPage = 5233023,
    kErrTooMany = 5233025,
    kErrDeleteIndex = 5233030,
    kErrDeleteOtherNet = 5233036,
    kErrGetIndex = 5233040,
    kErrPutIndex = 5233050,
    kErrLevIndex = 5238140,
    kErrLevNoAttr = 5238113,
    kErrLevZero = 5238116,
    kErrLevListFull = 5238142,
    kErrNoteLong = 5246010,
    kErrNoteBlock = 5246020,
    kErrNoteIndex = 5246040,
    kErrNoteBroken = 5246073,
};

constexpr int32_t kPinListMax = 64008 / 8; // pins the check's list holds

Net* g_page[kNetPages] = {};
int32_t g_count = 0;

Net* Slot(int32_t n) {
    return &g_page[n / kNetPageSize][n % kNetPageSize];
}

void SetCount(int32_t count) {
    g_count = count;
    DbHdr().netCount = int16_t(count);
}

// True when an attribute of the kind is keyed by net n (any second key).
bool NetHasAttr(int32_t kind, int32_t n) {
    Attribute a;
    AttrScanStart(kind, kRecNet, n, 0);
    return AttrScanNext(&a);
}

// Renumbers the net of every connection through the map and stores the
// changed ones.
void ConnNetsRenumber(const int16_t* map, int32_t count) {
    Conn* local = static_cast<Conn*>(ScratchPush());
    for (int32_t c = 1; c <= ConnCount(); ++c) {
        const Conn* ref = ConnRef(c);
        if (!ref) continue;
        int32_t net = ref->head.net;
        if (net < 1 || net > count || map[net] == net) continue;
        ConnCopy(local, ref);
        local->head.net = map[net];
        ConnStore(c, local);
    }
    ScratchPop(local);
}

// ---- notes ------------------------------------------------------------------

struct NoteBlock {
    NoteBlock* next;
    char text[1]; // the text and its zero
};

NoteBlock* g_noteHead = nullptr;
NoteBlock* g_noteTail = nullptr;
int32_t g_noteCount = 0;
NoteBlock* g_cursor = nullptr;
int32_t g_cursorIndex = 0;
int32_t g_noteSteps = 0;

} // namespace

void NetInit() {
    for (Net*& page : g_page)
        page = nullptr;
    SetCount(0);
}

void NetReset() {
    for (Net*& page : g_page)
        page = nullptr;
    g_count = 0;
    NetNodeListFree();
}

int32_t NetCount() {
    return g_count;
}

int32_t NetAdd() {
    // The count is a signed 16-bit number: one more net would wrap it.
    if (g_count >= kNetMax) ErrOutOfMemory(kErrTooMany);
    int32_t n = g_count + 1;
    Net*& page = g_page[n / kNetPageSize];
    if (!page)
        page = static_cast<Net*>(PoolAlloc(int32_t(sizeof(Net)) * kNetPageSize, kPoolDb, kErrPage));
    DbRecInit(kRecNet, Slot(n), n);
    SetCount(n);
    DbSetModified();
    return n;
}

void NetGet(int32_t n, Net* out) {
    if (n < 1 || n > g_count) ErrReport(kErrGetIndex, n);
    std::memcpy(out, Slot(n), sizeof(Net));
}

const Net* NetRef(int32_t n) {
    if (n < 1 || n > g_count) ErrReport(kErrGetIndex, n);
    return Slot(n);
}

ErrCode NetPutCheck(int32_t n, const Net*, int32_t* number) {
    if (n < 1 || n > g_count) {
        if (number) *number = n;
        return kErrPutIndex;
    }
    return 0;
}

void NetPut(int32_t n, const Net* record) {
    int32_t number = 0;
    if (ErrCode code = NetPutCheck(n, record, &number)) ErrReport(code, number);
    Net net;
    std::memcpy(&net, record, sizeof net);
    if (DbIsTrusted()) {
        std::memcpy(Slot(n), &net, sizeof net);
        DbSetModified();
        return;
    }
    if (net.recordId == 0) net.recordId = DbNextRecordId();
    uint16_t flags = uint16_t(net.flags & ~(kNetNoRecon | kNetAttr7 | kNetReqLayer));
    if (net.netType == 1 || net.netType == 64) flags |= kNetNoRecon;
    if (NetHasAttr(kAttrNetKind7, n)) flags |= kNetAttr7;
    if (NetHasAttr(kAttrNetLayer, n)) flags |= kNetReqLayer;
    bool differ = flags != net.flags;
    net.flags = flags;
    if (differ) NetConnSetFlags(n, &net);
    std::memcpy(Slot(n), &net, sizeof net);
    DbSetModified();
}

int32_t NetFind(const char* text) {
    NameId id = NameLookup(text);
    if (id == 0) return 0;
    for (int32_t n = 1; n <= g_count; ++n)
        if (Slot(n)->name == id) return n;
    return 0;
}

void NetDelete(int32_t n) {
    if (n < 1 || n > g_count) ErrReport(kErrDeleteIndex, n);
    for (int32_t c = NetConnFirst(n); c != 0; c = NetConnFirst(n)) {
        if (ConnRef(c) && ConnRef(c)->head.net != n) ErrReport(kErrDeleteOtherNet, c);
        ConnDelete(c);
    }
    int32_t old = g_count;
    for (int32_t i = n; i < old; ++i)
        std::memcpy(Slot(i), Slot(i + 1), sizeof(Net));
    std::vector<int16_t> map(size_t(old) + 1);
    for (int32_t i = 0; i <= old; ++i)
        map[size_t(i)] = int16_t(i < n ? i : i - 1);
    map[size_t(n)] = int16_t(old);
    // The connections of later nets move down with them; the net records
    // are already in place.
    ConnNetsRenumber(map.data(), old);
    // Attributes of the deleted net lose their values; in the journal it
    // moves one past the new last net, where an undo finds it again.
    map[size_t(n)] = 0;
    ObsNetRenumber(map.data(), old); // its obstacles belong to no net now
    DbAttrRenumber(kRecNet, map.data(), old);
    map[size_t(n)] = int16_t(old);
    AltRenumber(kRecNet, map.data(), old);
    std::memset(Slot(old), 0, sizeof(Net));
    SetCount(old - 1);
    DbSetModified();
    NetConnRebuild();
}

int32_t NetSort(int32_t n) {
    int32_t count = g_count;
    std::vector<int16_t> map = DbSortIndex(
        count, [](int32_t row) { return NameText(Slot(row)->name); },
        [](int32_t a, int32_t b) {
            Net t;
            std::memcpy(&t, Slot(a), sizeof t);
            std::memcpy(Slot(a), Slot(b), sizeof t);
            std::memcpy(Slot(b), &t, sizeof t);
        });
    if (map.empty()) return n;
    ConnNetsRenumber(map.data(), count);
    ObsNetRenumber(map.data(), count);
    NetConnRebuild();
    DbSetModified();
    DbAttrRenumber(kRecNet, map.data(), count);
    AltRenumber(kRecNet, map.data(), count);
    PoolReset(kPoolRenumber);
    return (n >= 1 && n <= count) ? map[size_t(n)] : n;
}

void NetValidate() {
    for (int32_t n = g_count; n >= 1; --n) {
        Net net;
        NetGet(n, &net);
        net.flags &= uint16_t(~kNetLostEnd);
        NetPut(n, &net);
        ChainOrderNetChecked(n);
    }
}

// True for a net whose connections are never rebuilt from its copper.
static bool NetKeepsConns(int32_t n) {
    const Net* net = Slot(n);
    return (net->flags & kNetNoRoute) || (net->netType & 0x01);
}

void NetRebuildAll() {
    // Nets that are not rebuilt keep their connections as they are.
    for (int32_t c = 1; c <= ConnCount(); ++c) {
        const Conn* conn = ConnRef(c);
        if (conn && !NetKeepsConns(conn->head.net)) NetNodeListBuild(conn);
    }
    for (int32_t c = ConnCount(); c >= 1; --c) {
        const Conn* conn = ConnRef(c);
        if (conn && !NetKeepsConns(conn->head.net)) ConnDelete(c);
    }
    if (NetNodeListsExist()) ChainOrderNet(0);
    for (int32_t n = g_count; n >= 1; --n) {
        Net net;
        NetGet(n, &net);
        net.flags &= uint16_t(~kNetLostEnd);
        NetPut(n, &net);
        if (!NetKeepsConns(n)) ChainOrderNet(n);
    }
}

bool NetReqLayerFits(int32_t n) {
    if (n < 1 || n > g_count || !(Slot(n)->flags & kNetReqLayer)) return true;
    Attribute a;
    AttrScanStart(kAttrNetLayer, kRecNet, n, 0);
    return AttrScanNext(&a) && a.key2 != 0;
}

int32_t NetLevCheck(int32_t n) {
    if (n < 1 || n > g_count) ErrReport(kErrLevIndex, n);
    if (!(Slot(n)->flags & kNetReqLayer)) return 1;
    Attribute a;
    AttrScanStart(kAttrNetLayer, kRecNet, n, 0);
    if (!AttrScanNext(&a)) ErrReport(kErrLevNoAttr, n);
    int32_t layer = a.key2;
    if (layer == 0) ErrReport(kErrLevZero, n);
    struct PinEntry {
        int16_t comp, pin;
        bool reaches;
    };
    std::vector<PinEntry> pins;
    for (int32_t c = NetConnFirst(n); c != 0; c = NetConnNext(c)) {
        const Conn* conn = ConnRef(c);
        if (!conn) continue;
        const int16_t ends[2][2] = {{conn->head.fromComp, conn->head.fromPin},
                                    {conn->head.toComp, conn->head.toPin}};
        for (const auto& end : ends) {
            if (end[0] == 0) continue;
            bool seen = false;
            for (const PinEntry& p : pins)
                seen = seen || (p.comp == end[0] && p.pin == end[1]);
            if (seen) continue;
            if (int32_t(pins.size()) >= kPinListMax) ErrReport(kErrLevListFull, n);
            pins.push_back({end[0], end[1], PinReachesLayer(end[0], end[1], layer) != 0});
        }
    }
    int32_t answer = 1;
    for (const PinEntry& p : pins) {
        if (p.reaches) continue;
        answer = 0;
        PlacedPin placed;
        CompPinXY(p.comp, p.pin, &placed);
        ErrorMarker m{};
        m.x = placed.x;
        m.y = placed.y;
        m.id1 = CompRef(p.comp)->recordId;
        m.kind1 = kRecComponent;
        m.sub1 = p.pin;
        m.type = kMarkerBadSmdToPlane;
        int32_t k = MarkerAdd();
        if (k != 0) MarkerPut(k, &m);
    }
    return answer;
}

// ---- notes ------------------------------------------------------------------

void NoteInit() {
    g_noteHead = g_noteTail = nullptr;
    g_noteCount = 0;
    g_cursor = nullptr;
    g_cursorIndex = 0;
    DbHdr().noteCount = 0;
}

void NoteReset() {
    g_noteHead = g_noteTail = nullptr;
    g_noteCount = 0;
    g_cursor = nullptr;
    g_cursorIndex = 0;
}

int32_t NoteCount() {
    return g_noteCount;
}

int32_t NoteAdd(const char* text) {
    size_t length = std::strlen(text);
    if (length > size_t(kTextChars - 1)) ErrReport(kErrNoteLong, int32_t(length));
    if (g_noteCount >= kNoteMax) return 0;
    // Pool pieces are 4-byte aligned; the link needs 8.
    auto* raw = static_cast<uint8_t*>(
        PoolAlloc(int32_t(offsetof(NoteBlock, text) + length + 1 + 4), kPoolDb, kErrNoteBlock));
    auto* block =
        reinterpret_cast<NoteBlock*>((reinterpret_cast<uintptr_t>(raw) + 7) & ~uintptr_t(7));
    block->next = nullptr;
    std::memcpy(block->text, text, length + 1);
    if (g_noteTail)
        g_noteTail->next = block;
    else
        g_noteHead = block;
    g_noteTail = block;
    ++g_noteCount;
    DbHdr().noteCount = int16_t(g_noteCount);
    DbSetModified();
    return g_noteCount;
}

void NoteGet(int32_t n, char* buffer) {
    if (n < 1 || n > g_noteCount) ErrReport(kErrNoteIndex, n);
    if (!g_cursor || n < g_cursorIndex) {
        g_cursor = g_noteHead;
        g_cursorIndex = 1;
        if (!g_cursor) ErrReport(kErrNoteBroken, n);
    }
    while (g_cursorIndex < n) {
        g_cursor = g_cursor->next;
        ++g_noteSteps;
        if (!g_cursor) {
            g_cursorIndex = 0;
            ErrReport(kErrNoteBroken, n);
        }
        ++g_cursorIndex;
    }
    std::memcpy(buffer, g_cursor->text, std::strlen(g_cursor->text) + 1);
}

int32_t NoteTestSteps() {
    return g_noteSteps;
}

void NetRegister() {
    DbModuleOps ops;
    ops.init = &NetInit;
    ops.free = &NetReset;
    ops.add = &NetAdd;
    ops.del = &NetDelete;
    ops.get = [](int32_t n, void* out) { NetGet(n, static_cast<Net*>(out)); };
    ops.put = [](int32_t n, const void* rec) { NetPut(n, static_cast<const Net*>(rec)); };
    ops.ref = [](int32_t n) -> const void* { return NetRef(n); };
    DbRegisterModule(kRecNet, ops);
    DbModuleOps notes;
    notes.init = &NoteInit;
    notes.free = &NoteReset;
    DbRegisterModule(kRecNote, notes);
    DbRegisterValidateStep(kHdrNetValidate, &NetValidate);
    DbRegisterValidateStep(kHdrNetRebuild, &NetRebuildAll);
}

int32_t NetAllowsLayer(const Net* net, int32_t layer) {
    if (layer < 1 || layer > kMaxLayers) return 0;
    return (uint32_t(net->netLevel) >> (layer - 1)) & 1u;
}
