// Attributes and display colours.
//
// Each attribute lives in a node linked twice: into one of 2,048 buckets by
// the sum of its keys, and at the head of the list of all attributes that
// the scans walk, newest first. Nodes live until the database is emptied.
// The colour table is an array of entries 1..count grown 10 at a time.
#include "db/attrs.h"

#include <cstdint>
#include <cstring>

#include "db/db.h"
#include "db/err.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/pool.h"

namespace {

enum : ErrCode {
    kErrBuckets = 5223011,
    kErrNode = 5223012,
    kErrPutNoTable = 5223020,
    kErrKeyType = 5223021,    // a key type that is no record type
    kErrValueName = 5223022,  // a name kind's value 1 without a text
    kErrReqLayer = 5223023,   // a net's required layer outside the layers
    kErrViaKeyType = 5223024, // a net's via type attribute keyed by no via type
    kErrMissingNode = 5223789,
    kErrColorAlloc = 5232010,
    kErrColorFull = 5232031,
    kErrColorDelete = 5232037,
    kErrColorGet = 5232040,
    kErrColorPut = 5232042,
    kErrColorLayer = 5232043, // a layer byte beyond the layers
    kErrColorDuplicate = 5232071,
};

struct AttrNode {
    Attribute rec;
    AttrNode* bucketNext;
    AttrNode* listNext;
};

AttrNode** g_buckets = nullptr;
AttrNode* g_list = nullptr;
AttrNode* g_cursor = nullptr;
int32_t g_nodes = 0;
Attribute g_filter;

// Pool pieces are 4-byte aligned; records that hold pointers need 8.
void* AlignedAlloc(int32_t size, ErrCode code) {
    auto* p = static_cast<uint8_t*>(PoolAlloc(size + 4, kPoolDb, code));
    return reinterpret_cast<void*>((reinterpret_cast<uintptr_t>(p) + 7) & ~uintptr_t(7));
}

bool Present(const Attribute& a) {
    return a.value1 != 0 || a.value3 != 0;
}

int32_t BucketOf(int32_t key1, int32_t key2) {
    return (key1 + key2) & (kAttrBuckets - 1);
}

// The node of a key. A renumbering can leave an absent node (its record was
// deleted) under the key of a present one; the present one is the answer.
AttrNode* FindNode(int32_t kind, int32_t key1Type, int32_t key1, int32_t key2) {
    if (!g_buckets) return nullptr;
    AttrNode* first = nullptr;
    for (AttrNode* n = g_buckets[BucketOf(key1, key2)]; n; n = n->bucketNext) {
        const Attribute& a = n->rec;
        if (a.kind == kind && a.key1Type == key1Type && a.key1 == key1 && a.key2 == key2) {
            if (Present(a)) return n;
            if (!first) first = n;
        }
    }
    return first;
}

// A field of the scan filter: 0 takes any value.
bool FilterTakes(int32_t want, int32_t have) {
    return want == 0 || want == have;
}

void Unlink(AttrNode* node, int32_t bucket) {
    AttrNode** link = &g_buckets[bucket];
    while (*link && *link != node)
        link = &(*link)->bucketNext;
    if (!*link) ErrFatal(kErrMissingNode);
    *link = node->bucketNext;
    node->bucketNext = nullptr;
}

// One key of a renumbered type: a key 1..count goes through the map, and an
// attribute whose record was deleted (mapped to 0) or is beyond the count
// loses its values.
void RenumberKey(Attribute& a, int16_t& key, const int16_t* map, int32_t count) {
    if (key < 1 || key > count) return;
    int32_t mapped = map[key];
    if (mapped == 0 || mapped > count) {
        a.value1 = 0;
        a.value3 = 0;
    }
    key = int16_t(mapped);
}

// ---- colours ---------------------------------------------------------------

ColorEntry* g_colors = nullptr; // entries 1..capacity; null: never allocated
int32_t g_colorCount = 0;
int32_t g_colorCapacity = 0;

const int32_t kLayerColors[17] = {
    0x808080, 0xFF,     0xFF0000, 0xFF00,   0xFF00FF, 0xFFFF, 0xFFFF00, 0x9C0000, 0x9C,
    0x9C00,   0x9C009C, 0x9C9C,   0x9C9C00, 0x7F023F, 0x3F7F, 0x3F7F00, 0x7B88DA,
};
constexpr int32_t kHighLayerColor = 0x7000000;

void ColorReserve(int32_t capacity) {
    int32_t bytes = int32_t(sizeof(ColorEntry)) * (capacity + 1);
    if (g_colors)
        g_colors =
            static_cast<ColorEntry*>(PoolResizePtr(g_colors, bytes, kPoolDb, kErrColorAlloc));
    else
        g_colors = static_cast<ColorEntry*>(PoolNewPtr(bytes, kPoolDb, kErrColorAlloc));
    g_colorCapacity = capacity;
}

int32_t ColorAppend() {
    if (g_colorCount >= kColorMax) ErrOutOfMemory(kErrColorFull);
    if (g_colorCount >= g_colorCapacity) {
        int32_t capacity = g_colorCapacity + kColorGrow;
        ColorReserve(capacity > kColorMax ? kColorMax : capacity);
    }
    int32_t n = ++g_colorCount;
    std::memset(&g_colors[n], 0, sizeof(ColorEntry));
    return n;
}

// Sort key of the layer: 255 (every layer) before layer 0.
int32_t LayerKey(uint8_t layer) {
    return layer == kColorAllLayers ? -1 : layer;
}

// Negative, 0 or positive as a sorts before, with or after b.
int32_t ColorCompare(const ColorEntry& a, const ColorEntry& b) {
    if (a.kind != b.kind) return a.kind - b.kind;
    if (a.subKind != b.subKind) return a.subKind - b.subKind;
    return LayerKey(a.layer) - LayerKey(b.layer);
}

} // namespace

// ---- attributes ------------------------------------------------------------

void AttrInit() {
    g_buckets = static_cast<AttrNode**>(
        AlignedAlloc(int32_t(sizeof(AttrNode*)) * kAttrBuckets, kErrBuckets));
    for (int32_t b = 0; b < kAttrBuckets; ++b)
        g_buckets[b] = nullptr;
    g_list = nullptr;
    g_cursor = nullptr;
    g_nodes = 0;
    std::memset(&g_filter, 0, sizeof g_filter);
}

void AttrFree() {
    g_buckets = nullptr;
    g_list = nullptr;
    g_cursor = nullptr;
    g_nodes = 0;
    std::memset(&g_filter, 0, sizeof g_filter);
}

bool AttrFind(int32_t kind, int32_t key1Type, int32_t key1, int32_t key2, Attribute* out) {
    AttrNode* n = FindNode(kind, key1Type, key1, key2);
    if (n && Present(n->rec)) {
        std::memcpy(out, &n->rec, sizeof(Attribute));
        return true;
    }
    std::memset(out, 0, sizeof(Attribute));
    out->kind = uint8_t(kind);
    out->key1Type = uint8_t(key1Type);
    out->key1 = int16_t(key1);
    out->key2 = int16_t(key2);
    return false;
}

bool AttrHoldsName(int32_t kind) {
    return kind == kAttrNameKind1 || kind == kAttrNameKind3;
}

ErrCode AttrPutCheck(const Attribute* record, int32_t* number) {
    int32_t dummy = 0;
    int32_t& out = number ? *number : dummy;
    auto fail = [&out](ErrCode code, int32_t value) {
        out = value;
        return code;
    };
    const Attribute& a = *record;
    if (!g_buckets) return fail(kErrPutNoTable, a.kind);
    for (int32_t type : {a.key1Type, a.key2Type})
        if (type > kRecTypeMax) return fail(kErrKeyType, type);
    // An absent attribute (a deletion) is never looked at for its values.
    if (!Present(a)) return 0;
    if (AttrHoldsName(a.kind) && !NameIdValid(NameId(a.value1)))
        return fail(kErrValueName, a.value1);
    if (a.key1Type == kRecNet && a.kind == kAttrNetLayer &&
        (a.key2 < 1 || a.key2 > DbHdr().layerCount))
        return fail(kErrReqLayer, a.key2);
    // A net's allowed via types (kind 7) are keyed by via type.
    if (a.key1Type == kRecNet && a.kind == kAttrNetKind7 && a.key2Type != kRecThruCode)
        return fail(kErrViaKeyType, a.key2Type);
    return 0;
}

void AttrPut(const Attribute* record) {
    int32_t number = 0;
    // A trusted store keeps the record as given; only a missing table stops it.
    if (ErrCode code = AttrPutCheck(record, &number))
        if (!DbIsTrusted() || code == kErrPutNoTable) ErrReport(code, number);
    if (record->kind == kAttrNameKind3) DbHdr().flags |= kHdrAttrKind3;
    AttrNode* n = FindNode(record->kind, record->key1Type, record->key1, record->key2);
    if (n) {
        n->rec.value1 = record->value1;
        n->rec.value3 = record->value3;
    } else {
        n = static_cast<AttrNode*>(AlignedAlloc(int32_t(sizeof(AttrNode)), kErrNode));
        std::memcpy(&n->rec, record, sizeof(Attribute));
        int32_t b = BucketOf(record->key1, record->key2);
        n->bucketNext = g_buckets[b];
        g_buckets[b] = n;
        n->listNext = g_list;
        g_list = n;
        ++g_nodes;
    }
    // A net keyed attribute: the net is stored again so that its derived
    // flags follow.
    if (record->key1Type == kRecNet) {
        DbModuleOps nets = DbModuleGet(kRecNet);
        if (nets.get && nets.put && record->key1 >= 1 && record->key1 <= DbHdr().netCount) {
            Net net;
            nets.get(record->key1, &net);
            nets.put(record->key1, &net);
        }
    }
    DbSetModified();
}

void AttrScanStart(int32_t kind, int32_t key1Type, int32_t key1, int32_t key2) {
    std::memset(&g_filter, 0, sizeof g_filter);
    g_filter.kind = uint8_t(kind);
    g_filter.key1Type = uint8_t(key1Type);
    g_filter.key1 = int16_t(key1);
    g_filter.key2 = int16_t(key2);
    g_cursor = g_list;
}

bool AttrScanNext(Attribute* out) {
    while (g_cursor) {
        const Attribute& a = g_cursor->rec;
        g_cursor = g_cursor->listNext;
        if (Present(a) && FilterTakes(g_filter.kind, a.kind) &&
            FilterTakes(g_filter.key1Type, a.key1Type) && FilterTakes(g_filter.key1, a.key1) &&
            FilterTakes(g_filter.key2, a.key2)) {
            std::memcpy(out, &a, sizeof(Attribute));
            return true;
        }
    }
    std::memset(out, 0, sizeof(Attribute));
    return false;
}

// Applies renumber to every attribute and moves the ones whose keys changed
// to their new bucket.
template <class F> void RenumberEach(F renumber) {
    for (AttrNode* n = g_list; n; n = n->listNext) {
        Attribute& a = n->rec;
        int32_t before = BucketOf(a.key1, a.key2);
        renumber(a);
        int32_t after = BucketOf(a.key1, a.key2);
        if (after != before) {
            Unlink(n, before);
            n->bucketNext = g_buckets[after];
            g_buckets[after] = n;
        }
    }
}

void AttrRenumber(int32_t type, const int16_t* map, int32_t count) {
    RenumberEach([&](Attribute& a) {
        if (a.key1Type == type) RenumberKey(a, a.key1, map, count);
        if (a.key2Type == type) RenumberKey(a, a.key2, map, count);
    });
}

void AttrRenumberNetLayers(const int16_t* map, int32_t count) {
    RenumberEach([&](Attribute& a) {
        if (a.key1Type != kRecNet || a.kind != kAttrNetLayer) return;
        bool present = Present(a);
        RenumberKey(a, a.key2, map, count);
        // A net that lost its required layer is stored again for its flags.
        DbModuleOps nets = DbModuleGet(kRecNet);
        if (present && !Present(a) && nets.get && nets.put && a.key1 >= 1 &&
            a.key1 <= DbHdr().netCount) {
            Net net;
            nets.get(a.key1, &net);
            nets.put(a.key1, &net);
        }
    });
}

void AttrRegister() {
    DbModuleOps ops;
    ops.init = &AttrInit;
    ops.free = &AttrFree;
    // The generic get finds by the key the caller put into the record.
    ops.get = [](int32_t, void* out) {
        auto* a = static_cast<Attribute*>(out);
        AttrFind(a->kind, a->key1Type, a->key1, a->key2, a);
    };
    ops.put = [](int32_t, const void* rec) { AttrPut(static_cast<const Attribute*>(rec)); };
    ops.renumber = &AttrRenumber;
    DbRegisterModule(kRecAttribute, ops);
}

int32_t AttrNodeCount() {
    return g_nodes;
}

// ---- display colours -------------------------------------------------------

void ColorInit() {
    g_colors = nullptr;
    g_colorCount = 0;
    g_colorCapacity = 0;
    int32_t capacity = DbHdr().colorCount;
    if (capacity > 0) ColorReserve(capacity > kColorMax ? kColorMax : capacity);
}

void ColorReset() {
    g_colors = nullptr;
    g_colorCount = 0;
    g_colorCapacity = 0;
}

int32_t ColorAdd() {
    int32_t n = ColorAppend();
    DbSetModified();
    return n;
}

void ColorGet(int32_t n, ColorEntry* out) {
    if (n < 1 || n > g_colorCount) ErrReport(kErrColorGet, n);
    std::memcpy(out, &g_colors[n], sizeof(ColorEntry));
}

ErrCode ColorPutCheck(int32_t n, const ColorEntry* entry, int32_t* number) {
    int32_t dummy = 0;
    int32_t& out = number ? *number : dummy;
    if (n < 1 || n > g_colorCount) {
        out = n;
        return kErrColorPut;
    }
    if (entry->layer != kColorAllLayers && entry->layer > DbHdr().layerCount) {
        out = entry->layer;
        return kErrColorLayer;
    }
    return 0;
}

void ColorPut(int32_t n, const ColorEntry* entry) {
    int32_t number = 0;
    if (ErrCode code = ColorPutCheck(n, entry, &number)) ErrReport(code, number);
    std::memcpy(&g_colors[n], entry, sizeof(ColorEntry));
    DbSetModified();
}

void ColorDelete(int32_t n) {
    if (n < 1 || n > g_colorCount) ErrReport(kErrColorDelete, n);
    if (n != g_colorCount) std::memcpy(&g_colors[n], &g_colors[g_colorCount], sizeof(ColorEntry));
    std::memset(&g_colors[g_colorCount], 0, sizeof(ColorEntry));
    --g_colorCount;
    DbSetModified();
}

int32_t ColorFind(const ColorEntry* entry) {
    for (int32_t n = g_colorCount; n >= 1; --n) {
        const ColorEntry& e = g_colors[n];
        if (e.kind == entry->kind && e.subKind == entry->subKind && e.layer == entry->layer)
            return n;
    }
    return 0;
}

void ColorDefaults() {
    int32_t layers = DbHdr().layerCount;
    for (int32_t l = 0; l <= layers && l < kLayerSlots; ++l) {
        int32_t n = ColorAppend();
        ColorEntry& e = g_colors[n];
        e.kind = 1;
        e.subKind = 0;
        e.layer = uint8_t(l);
        e.color = l < 17 ? kLayerColors[l] : kHighLayerColor;
    }
}

void ColorSort() {
    if (!g_colors) ColorDefaults();
    bool duplicate = false;
    for (int32_t last = g_colorCount; last > 1; --last) {
        bool swapped = false;
        for (int32_t j = 1; j < last; ++j) {
            int32_t c = ColorCompare(g_colors[j], g_colors[j + 1]);
            if (c == 0) duplicate = true;
            if (c > 0) {
                ColorEntry t = g_colors[j];
                g_colors[j] = g_colors[j + 1];
                g_colors[j + 1] = t;
                swapped = true;
            }
        }
        if (!swapped) break;
    }
    if (duplicate) ExpectFail(kErrColorDuplicate);
}

int32_t ColorCount() {
    return g_colorCount;
}

void ColorRegister() {
    DbModuleOps ops;
    ops.init = &ColorInit;
    ops.free = &ColorReset;
    ops.add = &ColorAdd;
    ops.del = &ColorDelete;
    ops.get = [](int32_t n, void* out) { ColorGet(n, static_cast<ColorEntry*>(out)); };
    ops.put = [](int32_t n, const void* rec) { ColorPut(n, static_cast<const ColorEntry*>(rec)); };
    DbRegisterModule(kRecColorEntry, ops);
}
