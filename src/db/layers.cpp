// The layer table: 31 fixed slots, all present from DbInit on.
#include "db/layers.h"

#include <cstring>

#include "db/db.h"
#include "db/err.h"
#include "db/names.h"
#include "db/thru.h"

namespace {

enum : ErrCode {
    kErrLayerCount = 21312,
    kErrGetIndex = 21340,
    kErrPutIndex = 21342,
    kErrShortName = 21391,
};

Layer g_layers[kLayerSlots];

struct LayerDefault {
    const char* name;
    const char* shortName;
    const char* className;
    uint8_t mirror;
};

const LayerDefault kDefaults[] = {
    {"CONN", "0", "0", 0},           {"TOP", "TOP", "TOP", 2},
    {"BOTTOM", "BOT", "BOT", 1},     {"GND", "GND", "PLANE", 0},
    {"POWER", "PWR", "PLANE", 0},    {"INNER1", "IN1", "INNER", 0},
    {"INNER2", "IN2", "INNER", 0},   {"INNER3", "IN3", "INNER", 0},
    {"INNER4", "IN4", "INNER", 0},   {"INNER5", "IN5", "INNER", 0},
    {"INNER6", "IN6", "INNER", 0},   {"INNER7", "IN7", "INNER", 0},
    {"INNER8", "IN8", "INNER", 0},   {"INNER9", "IN9", "INNER", 0},
    {"INNER10", "IN10", "INNER", 0}, {"INNER11", "IN11", "INNER", 0},
    {"INNER12", "IN12", "INNER", 0}, {"SMTOP", "SMT", "SMTOP", 18},
    {"SMBOT", "SMB", "SMBOT", 17},   {"SPTOP", "SPT", "SPTOP", 20},
    {"SPBOT", "SPB", "SPBOT", 19},   {"SSTOP", "SST", "SSTOP", 22},
    {"SSBOT", "SSB", "SSBOT", 21},   {"ASYTOP", "AST", "ASYTOP", 24},
    {"ASYBOT", "ASB", "ASYBOT", 23}, {"DRLDWG", "DRD", "DRLDWG", 0},
    {"DRILL", "DRL", "DRILL", 0},
};
constexpr int32_t kNamedSlots = int32_t(sizeof kDefaults / sizeof kDefaults[0]);
static_assert(kNamedSlots == 27);

// The first layer among 1..count
// whose field (by member pointer) names the text.
int32_t FindBy(NameId Layer::*field, NameId id) {
    if (id == 0) return 0;
    int32_t count = LayerCount();
    for (int32_t n = 1; n <= count && n < kLayerSlots; ++n)
        if (g_layers[n].*field == id) return n;
    return 0;
}

} // namespace

void LayerInit() {
    int32_t count = DbHdr().layerCount;
    if (count < 1 || count > kMaxLayers) ErrReport(kErrLayerCount, count);
    for (int32_t n = 0; n < kLayerSlots; ++n) {
        Layer& l = g_layers[n];
        DbRecInit(kRecLayer, &l, n);
        if (n < kNamedSlots) {
            const LayerDefault& d = kDefaults[n];
            if (std::strlen(d.shortName) > 4) ExpectFail(kErrShortName);
            l.name = NameIntern(d.name);
            l.shortName = NameIntern(d.shortName);
            l.className = NameIntern(d.className);
            l.mirror = d.mirror;
        }
    }
}

void LayerFree() {}

int32_t LayerAdd() {
    int16_t& count = DbHdr().layerCount;
    if (count >= kMaxLayers) return 0;
    ++count;
    ThruClearLayer(count);
    DbSetModified();
    return count;
}

void LayerGet(int32_t n, Layer* out) {
    if (n < 0 || n >= kLayerSlots) ErrReport(kErrGetIndex, n);
    std::memcpy(out, &g_layers[n], sizeof(Layer));
}

ErrCode LayerPutCheck(int32_t n, const Layer*, int32_t* number) {
    if (n < 0 || n >= kLayerSlots) {
        if (number) *number = n;
        return kErrPutIndex;
    }
    return 0;
}

void LayerPut(int32_t n, const Layer* record) {
    int32_t number = 0;
    if (ErrCode code = LayerPutCheck(n, record, &number)) ErrReport(code, number);
    Layer l;
    std::memcpy(&l, record, sizeof l);
    if (l.recordId == 0) l.recordId = DbNextRecordId();
    if ((l.flags & kLayerJumper) && !(g_layers[n].flags & kLayerJumper))
        DbHdr().flags |= kHdrJumperLayer;
    std::memcpy(&g_layers[n], &l, sizeof l);
    DbSetModified();
}

const Layer* LayerRef(int32_t n) {
    if (n < 0 || n >= kLayerSlots) ErrReport(kErrGetIndex, n);
    return &g_layers[n];
}

int32_t LayerFind(const char* text) {
    NameId id = NameLookup(text);
    int32_t n = FindBy(&Layer::name, id);
    return n ? n : FindBy(&Layer::shortName, id);
}

int32_t LayerFindName2(const char* text) {
    return FindBy(&Layer::shortName, NameLookup(text));
}

int32_t LayerFindName3(const char* text) {
    return FindBy(&Layer::className, NameLookup(text));
}

int32_t LayerCountEnabled() {
    int32_t count = LayerCount(), enabled = 0;
    for (int32_t n = 1; n <= count && n < kLayerSlots; ++n)
        if (g_layers[n].flags & kLayerEnabled) ++enabled;
    return enabled;
}

int32_t LayerCount() {
    return DbHdr().layerCount;
}

void LayerValidate() {}

void LayerRegister() {
    DbModuleOps ops;
    ops.init = &LayerInit;
    ops.free = &LayerFree;
    ops.add = &LayerAdd;
    ops.get = [](int32_t n, void* out) { LayerGet(n, static_cast<Layer*>(out)); };
    ops.put = [](int32_t n, const void* rec) { LayerPut(n, static_cast<const Layer*>(rec)); };
    ops.ref = [](int32_t n) -> const void* { return LayerRef(n); };
    DbRegisterModule(kRecLayer, ops);
    DbRegisterValidateStep(kHdrLayerValidate, &LayerValidate);
}
