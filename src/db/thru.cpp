// Thru codes: an array of record pointers in pool 2 with room for every thru
// code, each thru code a block of its own at the full 31-layer size.
#include "db/thru.h"

#include <cstdint>
#include <cstring>

#include "db/altjournal.h"
#include "db/db.h"
#include "db/err.h"
#include "db/names.h"
#include "db/pool.h"

namespace {

enum : ErrCode {
    kErrArray = 5225010,
    kErrNotEmpty = 5225011,
    kErrViaCount = 5225012,
    kErrThruCount = 5225015,
    kErrRecord = 5225020,
    kErrFull = 5225029,
    kErrEqual01 = 5225040,
    kErrEqual12 = 5225041,
    kErrEqual23 = 5225042,
    kErrNegLeft = 5225044,
    kErrNegBottom = 5225045,
    kErrNegRight = 5225046,
    kErrDeleteIndex = 5225047,
    kErrShapeCount = 5225048,
    kErrShapeCode = 5225049,
    kErrNegTop = 5225051,
    kErrGetIndex = 5225055,
    kErrRefIndex = 5225056,
    kErrPutIndex = 5225057,
    kErrPadLayer = 5225070,
    kErrFlagByte = 5225076,
    kErrPadIndex = 5225080,
    kErrMapOwner = 5225090,
    kErrMap = 5225091,
};

ThruCode** g_thru = nullptr; // slots 1..capacity
int32_t g_count = 0;
ThruRenumberHook g_renumberHook = nullptr;

// Pool pieces are 4-byte aligned; records that hold pointers need 8.
void* AlignedAlloc(int32_t size, ErrCode code) {
    auto* p = static_cast<uint8_t*>(PoolAlloc(size + 4, kPoolDb, code));
    return reinterpret_cast<void*>((reinterpret_cast<uintptr_t>(p) + 7) & ~uintptr_t(7));
}

int32_t Append() {
    if (g_count >= kThruMax) ErrOutOfMemory(kErrFull);
    int32_t n = ++g_count;
    auto* rec = static_cast<ThruCode*>(PoolNewPtr(int32_t(sizeof(ThruCode)), kPoolDb, kErrRecord));
    std::memset(rec, 0, sizeof(ThruCode));
    rec->name = NameOfNumber(n);
    g_thru[n] = rec;
    return n;
}

int32_t Layers() {
    int32_t l = DbHdr().layerCount;
    return l < 0 ? 0 : (l > kMaxLayers ? kMaxLayers : l);
}

void CheckPad(int32_t t, int32_t l, ErrCode tCode) {
    if (t < 1 || t > g_count) ErrReport(tCode, t);
    if (l < 0 || l > Layers()) ErrReport(kErrPadLayer, l);
}

// The checks of a put on one layer block; the block is corrected in place
// (code-0 extents cleared, the shape list ended at the first code 0).
void CheckLayer(ThruLayer& b) {
    if (b.flags >= 128) ErrReport(kErrFlagByte, b.flags);
    for (int32_t j = 0; j < b.shapeCount; ++j) {
        PadShape& s = b.shape[j];
        int32_t e[4]; // the extents may lie at any address in the packed block
        std::memcpy(e, s.ext, sizeof e);
        switch (s.code) {
        case kPadUndef:
            std::memset(s.ext, 0, sizeof s.ext);
            b.shapeCount = uint8_t(j == 0 ? 1 : j);
            return;
        case kPadOblong:
        case kPadRect:
        case kPadOval:
            if (e[0] < 0) ErrReport(kErrNegLeft, e[0]);
            if (e[1] < 0) ErrReport(kErrNegBottom, e[1]);
            if (e[2] < 0) ErrReport(kErrNegRight, e[2]);
            if (e[3] < 0) ErrReport(kErrNegTop, e[3]);
            break;
        case kPadRound:
        case kPadSquare:
        case kPadThermal:
        case kPadAnnular:
            if (e[0] != e[1]) ErrReport(kErrEqual01, e[1]);
            if (e[1] != e[2]) ErrReport(kErrEqual12, e[2]);
            if (e[2] != e[3]) ErrReport(kErrEqual23, e[3]);
            break;
        default:
            ErrReport(kErrShapeCode, s.code);
        }
    }
}

} // namespace

int32_t ThruRecSize() {
    return ThruRecSizeFor(Layers());
}

void ThruInit() {
    if (g_count != 0 || g_thru) ErrReport(kErrNotEmpty, g_count);
    const DbHeader& h = DbHdr();
    if (h.viaCount < 1 || h.viaCount > kThruMaxVias) ErrReport(kErrViaCount, h.viaCount);
    if (h.thruCount < h.viaCount || h.thruCount > kThruMax) ErrReport(kErrThruCount, h.thruCount);
    // The pointer array holds every thru code a design may have.
    g_thru = static_cast<ThruCode**>(
        AlignedAlloc(int32_t(sizeof(ThruCode*)) * (kThruMax + 1), kErrArray));
    for (int32_t n = 0; n <= kThruMax; ++n)
        g_thru[n] = nullptr;
    for (int32_t n = 1; n <= h.viaCount; ++n)
        Append();
}

void ThruReset() {
    g_thru = nullptr;
    g_count = 0;
}

int32_t ThruAdd() {
    int32_t n = Append();
    DbSetModified();
    return n;
}

void ThruGet(int32_t n, ThruCode* out) {
    if (n < 1 || n > g_count) ErrReport(kErrGetIndex, n);
    std::memcpy(out, g_thru[n], size_t(ThruRecSize()));
}

const ThruCode* ThruRef(int32_t n) {
    if (n < 1 || n > g_count) ErrReport(kErrRefIndex, n);
    return g_thru[n];
}

void ThruPut(int32_t n, const ThruCode* record) {
    if (n < 1 || n > g_count) ErrReport(kErrPutIndex, n);
    int32_t size = ThruRecSize(), layers = Layers();
    ThruCode copy;
    ThruCode* rec = &copy;
    std::memset(rec, 0, sizeof copy);
    std::memcpy(rec, record, size_t(size));
    // A count above 4 would read past the block's four shapes: refused even
    // for a trusted store.
    for (int32_t l = 0; l <= layers; ++l) {
        if (rec->layer[l].shapeCount > kThruShapes)
            ErrReport(kErrShapeCount, rec->layer[l].shapeCount);
    }
    if (!DbIsTrusted()) {
        for (int32_t l = 1; l <= layers; ++l)
            CheckLayer(rec->layer[l]);
        if (rec->recordId == 0) rec->recordId = DbNextRecordId();
    }
    std::memcpy(g_thru[n], rec, size_t(size));
    DbSetModified();
}

void ThruDelete(int32_t n) {
    if (n <= DbHdr().viaCount || n > g_count) ErrReport(kErrDeleteIndex, n);
    int32_t old = g_count;
    PoolFreePtr(g_thru[n]);
    for (int32_t i = n; i < old; ++i)
        g_thru[i] = g_thru[i + 1];
    g_thru[old] = nullptr;
    // Old -> new numbers: earlier thru codes keep theirs, later ones move
    // down one place, the deleted one maps to 0.
    int32_t pool = PoolOpen(kErrMapOwner);
    auto* map =
        static_cast<int16_t*>(PoolAlloc(int32_t(sizeof(int16_t)) * (old + 1), pool, kErrMap));
    for (int32_t i = 0; i <= old; ++i)
        map[i] = int16_t(i < n ? i : i - 1);
    map[n] = 0;
    if (g_renumberHook) g_renumberHook(map, old, n);
    DbAttrRenumber(kRecThruCode, map, old);
    // The journal's item of the deleted thru code goes one past the new last.
    map[n] = int16_t(old);
    AltRenumber(kRecThruCode, map, old);
    PoolClose(pool);
    g_count = old - 1;
    DbSetModified();
}

void ThruPadGet(int32_t t, int32_t l, ThruLayer* out) {
    CheckPad(t, l, kErrPadIndex);
    std::memcpy(out, &g_thru[t]->layer[l], sizeof(ThruLayer));
}

int32_t ThruCount() {
    return g_count;
}

void ThruClearLayer(int32_t l) {
    if (l < 0 || l >= kLayerSlots) ErrReport(kErrPadLayer, l);
    for (int32_t n = 1; n <= g_count; ++n)
        std::memset(&g_thru[n]->layer[l], 0, sizeof(ThruLayer));
}

ThruRenumberHook ThruSetRenumberHook(ThruRenumberHook hook) {
    ThruRenumberHook previous = g_renumberHook;
    g_renumberHook = hook;
    return previous;
}

void ThruRegister() {
    DbModuleOps ops;
    ops.init = &ThruInit;
    ops.free = &ThruReset;
    ops.add = &ThruAdd;
    ops.del = &ThruDelete;
    ops.get = [](int32_t n, void* out) { ThruGet(n, static_cast<ThruCode*>(out)); };
    ops.put = [](int32_t n, const void* rec) { ThruPut(n, static_cast<const ThruCode*>(rec)); };
    ops.ref = [](int32_t n) -> const void* { return ThruRef(n); };
    DbRegisterModule(kRecThruCode, ops);
}

// ---- padstack helpers ------------------------------------------------------

void PadstackGet(int32_t padstack, int32_t layer, ThruLayer* out) {
    ThruPadGet(padstack, layer, out);
}

const ThruLayer* ThruPadRef(int32_t padstack, int32_t layer) {
    CheckPad(padstack, layer, kErrPadIndex);
    return &g_thru[padstack]->layer[layer];
}

int32_t ThruPadWord(int32_t padstack, int32_t layer) {
    const ThruLayer* b = ThruPadRef(padstack, layer);
    if (b->shapeCount == 0 || b->shape[0].code == kPadUndef) return 0;
    return b->shape[0].ext[0];
}

bool PadstackOnLayer(int32_t padstack, int32_t layer) {
    const ThruLayer* b = ThruPadRef(padstack, layer);
    if (b->shapeCount == 0 || b->shape[0].code == kPadUndef) return false;
    const int32_t* e = b->shape[0].ext;
    return e[0] != 0 || e[1] != 0 || e[2] != 0 || e[3] != 0;
}

int32_t PadstackFind(const char* text) {
    NameId id = NameLookup(text);
    if (id == 0) return 0;
    for (int32_t n = 1; n <= g_count; ++n)
        if (g_thru[n]->name == id) return n;
    return 0;
}
