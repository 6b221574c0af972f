// The database as a whole: module registry, start and end, validation, the
// generic record access by type, default records and sizes, renumbering of
// references and the index sort.
#include "db/db.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "db/altjournal.h"
#include "db/err.h"
#include "db/names.h"
#include "db/pool.h"
#include "db/strutil.h"
#include "db/value.h"

namespace {

enum : ErrCode {
    kErrInitValid = 21250,
    kErrValidateInvalid = 21251,
    kErrStepBit = 21252,
    kErrRegisterType = 21253,
    kErrRecSizeType = 21272,
    kErrThruLayers = 21273,
    kErrRecInitType = 21274,
    kErrNewType = 21280,
    kErrDeleteType = 21281,
    kErrGetType = 21282,
    kErrPutType = 21283,
    kErrNewMissing = 21284,
    kErrDeleteMissing = 21285,
    kErrGetMissing = 21286,
    kErrPutMissing = 21287,
    kErrRenumberLayers = 21290,
    kErrRenumberType = 21291,
    kErrLcm = 21295,
};

constexpr int32_t kTypeSlots = 24;

DbModuleOps g_modules[kTypeSlots];
bool g_builtinsDone = false;
bool g_trusted = false;

// The rebuild steps of DbValidate in the order they run; bit 0 is the range
// check at the end.
struct ValidateStep {
    uint16_t bit;
    void (*step)();
};
ValidateStep g_steps[] = {
    {kHdrOutlines, nullptr},
    {kHdrNameTexts, nullptr},
    {kHdrConnFit, nullptr},
    {kHdrNetRebuild, nullptr},
    {kHdrNetValidate, nullptr},
    {kHdrLayerValidate, nullptr},
    {0, nullptr},
};

// Module order of DbInit: names, attributes, sweeps, placement strategy,
// notes, layers, thru codes, packages, symbols, components, nets,
// connections, obstacles, texts, colours, plot reports, Table23, markers.
const int32_t kInitOrder[] = {4, 16, 2, 3, 14, 5, 6, 8, 7, 9, 10, 11, 12, 13, 15, 17, 23, 18};
// Module order of DbFree; the attributes, whose buckets live in pool 2, go
// last.
const int32_t kFreeOrder[] = {4, 14, 5, 6, 8, 7, 9, 10, 11, 12, 13, 15, 17, 23, 18, 2, 3, 16};

void EnsureBuiltins() {
    if (!g_builtinsDone) {
        g_builtinsDone = true;
        DbRegisterBuiltins();
    }
}

bool InList(int32_t type, std::initializer_list<int32_t> list) {
    for (int32_t t : list)
        if (t == type) return true;
    return false;
}

bool GetPutType(int32_t type) {
    return InList(type, {2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 17, 18, 23});
}
bool DeleteType(int32_t type) {
    return InList(type, {5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 17, 18, 23});
}
bool NewType(int32_t type) {
    return InList(type, {5, 6, 7, 9, 10, 11, 12, 13, 15, 17, 18, 23});
}

int32_t ThruSize() {
    int32_t layers = DbHdr().layerCount;
    if (layers < 0 || layers > kMaxLayers) ErrReport(kErrThruLayers, layers);
    return ThruRecSizeFor(layers);
}

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

// A reference 1..count goes through the map; any other value stays.
int32_t Mapped(int32_t r, const int16_t* map, int32_t count) {
    return (r >= 1 && r <= count) ? map[r] : r;
}

void DefaultSweep(Sweep& s, int32_t row) {
    std::strcpy(s.name, "Default");
    s.diagonal = 3;
    const uint16_t pass[5] = {0x1012, 0x0012, 0x0012, 0x0012, 0};
    const uint8_t via[5] = {50, 20, 50, 80, 100};
    const uint8_t retry[5] = {50, 80, 80, 80, 100};
    const uint8_t limit[5] = {50, 100, 100, 100, 100};
    const uint8_t attempts[5] = {50, 100, 100, 100, 50};
    for (int i = 0; i < 5; ++i) {
        s.passFlags[i] = pass[i];
        s.via[i] = via[i];
        s.retry[i] = retry[i];
        s.limit[i] = limit[i];
        s.attempts[i] = attempts[i];
    }
    s.layerCount = 2;
    s.usedLayers = 2;
    const uint8_t dirHigh[14] = {75, 25, 80, 20, 85, 15, 90, 10, 75, 25, 75, 25, 75, 25};
    for (int l = 1; l <= kMaxLayers; ++l) {
        s.enable[l] = l <= 8 ? 1 : 0;
        s.dir[l] = l <= 16 ? (l % 2 ? 51 : 49) : dirHigh[l - 17];
        s.cost[l] = 50;
        s.between[l] = l <= 16 ? 0 : 50;
    }
    s.box[0] = 210;
    s.box[1] = 180;
    s.box[2] = 60;
    s.box[3] = 50;
    s.boxPercent[0] = 28;
    s.boxPercent[1] = 28;
    s.backColor = 0xFFFFFF;
    s.edgeColor = 0x808080;
    s.primary = 8;
    s.secondary = 2;
    s.compOutlineColor = 0x05FF00FF;
    s.compNameColor = 0x0BFFFFFF;
    s.value224 = 0x0BFFFFFF;
    std::snprintf(s.name, sizeof s.name, "Sweep %d", int(row));
}

} // namespace

// ---- registry ---------------------------------------------------------------

void DbRegisterModule(int32_t type, const DbModuleOps& ops) {
    EnsureBuiltins();
    if (type < 1 || type >= kTypeSlots) ErrReport(kErrRegisterType, int32_t(type));
    g_modules[type] = ops;
}

DbModuleOps DbModuleGet(int32_t type) {
    EnsureBuiltins();
    if (type < 1 || type >= kTypeSlots) return DbModuleOps{};
    return g_modules[type];
}

void DbRegisterValidateStep(uint16_t bit, void (*step)()) {
    EnsureBuiltins();
    for (ValidateStep& s : g_steps) {
        if (s.bit == bit) {
            s.step = step;
            return;
        }
    }
    ErrReport(kErrStepBit, int32_t(bit));
}

void (*DbValidateStepGet(uint16_t bit))() {
    EnsureBuiltins();
    for (const ValidateStep& s : g_steps)
        if (s.bit == bit) return s.step;
    return nullptr;
}

// ---- start, end, validation -----------------------------------------------

void DbInit() {
    EnsureBuiltins();
    if (DbHdr().valid == 1) ErrFatal(kErrInitValid);
    for (int32_t type : kInitOrder)
        if (g_modules[type].init) g_modules[type].init();
    DbHdr().valid = 1;
    DbHdr().modified = 0;
}

void DbFree() {
    EnsureBuiltins();
    DbHdr().valid = 0;
    for (int32_t type : kFreeOrder)
        if (g_modules[type].free) g_modules[type].free();
    PoolReset(kPoolDb);
    // The journal's images belong to the design just freed: an undo after a
    // new design or a load must not bring them back.
    AltForget();
}

int32_t DbValidate() {
    EnsureBuiltins();
    int32_t depth = AltDepth();
    if (depth > 0) return depth;
    if (DbHdr().valid != 1) ErrFatal(kErrValidateInvalid);
    for (const ValidateStep& s : g_steps) {
        if (!s.step) continue;
        if (s.bit == 0) {
            s.step(); // the range check clears the trusted flag itself
            continue;
        }
        if (!(DbHdr().flags & s.bit)) continue;
        DbSetTrusted(false);
        s.step();
        DbHdr().flags &= uint16_t(~s.bit);
        if (s.bit == kHdrConnFit)
            DbHdr().flags |= kHdrNetValidate; // fitted connections need their chains
    }
    return 0;
}

// ---- generic record access --------------------------------------------------

int32_t DbNewRecord(int32_t type) {
    EnsureBuiltins();
    if (!NewType(type)) ErrReport(kErrNewType, type);
    if (!g_modules[type].add) ErrReport(kErrNewMissing, type);
    return g_modules[type].add();
}

void DbDeleteRecord(int32_t type, int32_t index) {
    EnsureBuiltins();
    if (!DeleteType(type)) ErrReport(kErrDeleteType, type);
    if (!g_modules[type].del) ErrReport(kErrDeleteMissing, type);
    g_modules[type].del(index);
}

void DbGetRecord(int32_t type, int32_t index, void* out) {
    EnsureBuiltins();
    if (!GetPutType(type)) ErrReport(kErrGetType, type);
    if (!g_modules[type].get) ErrReport(kErrGetMissing, type);
    if (type == kRecSweep) {
        // Sweeps are addressed through the current-sweep number.
        uint8_t saved = DbHdr().sweep;
        DbHdr().sweep = uint8_t(index);
        g_modules[type].get(index, out);
        DbHdr().sweep = saved;
        return;
    }
    g_modules[type].get(index, out);
}

void DbPutRecord(int32_t type, int32_t index, const void* record) {
    EnsureBuiltins();
    if (!GetPutType(type)) ErrReport(kErrPutType, type);
    if (!g_modules[type].put) ErrReport(kErrPutMissing, type);
    if (type == kRecSweep) {
        uint8_t saved = DbHdr().sweep;
        DbHdr().sweep = uint8_t(index);
        g_modules[type].put(index, record);
        DbHdr().sweep = saved;
        return;
    }
    g_modules[type].put(index, record);
}

// ---- default records and sizes ----------------------------------------------

NameId DbNumberName(int32_t v) {
    return NameOfNumber(v);
}

void DbRecInit(int32_t type, void* record, int32_t row) {
    int32_t size = 0;
    switch (type) {
    case kRecHeader:
        DbHeaderTemplate(static_cast<DbHeader*>(record));
        return;
    case kRecSweep:
        size = sizeof(Sweep);
        break;
    case kRecPlaceStrategy:
        size = sizeof(PlaceStrategy);
        break;
    case kRecLayer:
        size = sizeof(Layer);
        break;
    case kRecThruCode:
        size = ThruSize();
        break;
    case kRecSymbol:
        size = sizeof(Symbol);
        break;
    case kRecPackage:
        size = sizeof(Package);
        break;
    case kRecComponent:
        size = sizeof(Component);
        break;
    case kRecNet:
        size = sizeof(Net);
        break;
    case kRecConn:
        size = sizeof(Conn);
        break;
    case kRecObstacle:
        size = sizeof(Obstacle);
        break;
    case kRecBoardText:
        size = sizeof(BoardText);
        break;
    case kRecNote:
        size = sizeof(Note);
        break;
    case kRecColorEntry:
        size = sizeof(ColorEntry);
        break;
    case kRecAttribute:
        size = sizeof(Attribute);
        break;
    case kRecPlotReport:
        size = sizeof(PlotReport);
        break;
    case kRecErrorMarker:
        size = sizeof(ErrorMarker);
        break;
    case kRecTable23:
        size = sizeof(Table23);
        break;
    default:
        ErrReport(kErrRecInitType, type);
    }
    std::memset(record, 0, size_t(size));
    NameId name = NameOfNumber(row);
    switch (type) {
    case kRecSweep:
        DefaultSweep(*static_cast<Sweep*>(record), row);
        break;
    case kRecPlaceStrategy: {
        auto& p = *static_cast<PlaceStrategy*>(record);
        for (auto& a : p.actions)
            a = 0x04;
        p.word138 = 256;
        break;
    }
    case kRecLayer: {
        auto& l = *static_cast<Layer*>(record);
        l.name = l.shortName = l.className = name;
        for (auto& s : l.spacing)
            s = 600;
        break;
    }
    case kRecThruCode:
        static_cast<ThruCode*>(record)->name = name;
        break;
    case kRecSymbol: {
        auto& s = *static_cast<Symbol*>(record);
        s.info.name = name;
        for (int32_t p = 1; p <= kMaxPins; ++p)
            s.pin[p].name = NameOfNumber(p);
        break;
    }
    case kRecPackage: {
        auto& k = *static_cast<Package*>(record);
        k.info.name = name;
        for (int32_t p = 1; p <= kMaxPins; ++p)
            k.pin[p].name = k.pin[p].name2 = NameOfNumber(p);
        break;
    }
    case kRecComponent:
        static_cast<Component*>(record)->name = name;
        break;
    case kRecNet: {
        auto& n = *static_cast<Net*>(record);
        n.name = name;
        n.netLevel = 0xFFFF;
        n.weight = 50;
        n.netType = 16;
        n.minWidth = n.width = n.maxWidth = 10;
        break;
    }
    case kRecObstacle: {
        auto& o = *static_cast<Obstacle*>(record);
        o.head.name = name;
        o.head.net = kObsNoNet;
        break;
    }
    case kRecBoardText: {
        auto& t = *static_cast<BoardText*>(record);
        t.name = name;
        t.width = 600;
        t.height = 4500;
        t.ratio = 100;
        break;
    }
    case kRecNote:
        std::snprintf(static_cast<Note*>(record)->text, kTextChars, "Note %d", int(row));
        break;
    case kRecPlotReport:
        static_cast<PlotReport*>(record)->name = name;
        break;
    default:
        break;
    }
}

int32_t DbRecSize(int32_t type, const void* record) {
    switch (type) {
    case kRecHeader:
        return sizeof(DbHeader);
    case kRecSweep:
        return sizeof(Sweep);
    case kRecPlaceStrategy:
        return sizeof(PlaceStrategy);
    case kRecLayer:
        return sizeof(Layer);
    case kRecThruCode:
        return ThruSize();
    case kRecSymbol:
        return 48 + 16 * static_cast<const SymbolInfo*>(record)->pinCount;
    case kRecPackage:
        return 32 + 16 * static_cast<const PackageInfo*>(record)->pinCount;
    case kRecComponent:
        return sizeof(Component);
    case kRecNet:
        return sizeof(Net);
    case kRecConn:
        return 36 + 14 * static_cast<const ConnHead*>(record)->count;
    case kRecObstacle:
        return 48 + 12 * static_cast<const ObsHead*>(record)->count;
    case kRecBoardText:
        return sizeof(BoardText);
    case kRecNote:
        return int32_t(strnlen(static_cast<const char*>(record), kTextChars - 1)) + 1;
    case kRecColorEntry:
        return sizeof(ColorEntry);
    case kRecAttribute:
        return sizeof(Attribute);
    case kRecPlotReport:
        return sizeof(PlotReport);
    case kRecErrorMarker:
        return sizeof(ErrorMarker);
    case kRecTable23:
        return sizeof(Table23);
    default:
        ErrReport(kErrRecSizeType, type);
    }
    return 0;
}

// ---- renumbering -------------------------------------------------------------

void DbRenumberRefs(int32_t renType, const int16_t* map, int32_t count, int32_t recType,
                    void* record) {
    auto m = [&](int32_t r) { return int16_t(Mapped(r, map, count)); };
    switch (recType) {
    case kRecSweep:
    case kRecPlaceStrategy:
    case kRecPackage:
    case kRecPlotReport:
    case kRecTable23:
        return;
    case kRecLayer:
        if (renType == kRecLayer) {
            auto& l = *static_cast<Layer*>(record);
            l.mirror = uint8_t(m(l.mirror));
        }
        return;
    case kRecThruCode:
    case kRecNet:
        if (renType == kRecLayer) ErrReport(kErrRenumberLayers, recType);
        return;
    case kRecSymbol:
        if (renType == kRecThruCode) {
            auto& s = *static_cast<Symbol*>(record);
            int32_t pins = Clamp(s.info.pinCount, 0, kMaxPins);
            for (int32_t p = 1; p <= pins; ++p)
                s.pin[p].thru = m(s.pin[p].thru);
        }
        return;
    case kRecComponent: {
        auto& c = *static_cast<Component*>(record);
        if (renType == kRecSymbol) {
            c.symbol = m(c.symbol);
            c.otherSymbol = m(c.otherSymbol);
        } else if (renType == kRecPackage) {
            c.package = m(c.package);
        } else if (renType == kRecComponent) {
            c.compRef = m(c.compRef);
        }
        return;
    }
    case kRecConn: {
        auto& c = *static_cast<Conn*>(record);
        int32_t corners = Clamp(c.head.count, 0, kMaxCorners);
        if (renType == kRecLayer) {
            for (int32_t i = 0; i < corners; ++i)
                c.crn[i].layer = uint8_t(m(c.crn[i].layer));
        } else if (renType == kRecThruCode) {
            for (int32_t i = 0; i < corners; ++i)
                c.crn[i].via = uint8_t(m(c.crn[i].via));
        } else if (renType == kRecComponent) {
            c.head.fromComp = m(c.head.fromComp);
            c.head.toComp = m(c.head.toComp);
        } else if (renType == kRecNet) {
            c.head.net = m(c.head.net);
        }
        return;
    }
    case kRecObstacle: {
        auto& o = static_cast<Obstacle*>(record)->head;
        if (renType == kRecLayer)
            o.layer = uint8_t(m(o.layer));
        else if (renType == kRecSymbol && o.owner > 0)
            o.owner = m(o.owner);
        else if (renType == kRecComponent && o.owner < 0)
            o.owner = int16_t(-m(-o.owner));
        else if (renType == kRecNet && o.net > 0)
            o.net = m(o.net);
        return;
    }
    case kRecBoardText: {
        auto& t = *static_cast<BoardText*>(record);
        if (renType == kRecLayer)
            t.layer = uint8_t(m(t.layer));
        else if (renType == kRecSymbol && t.owner > 0)
            t.owner = m(t.owner);
        else if (renType == kRecComponent && t.owner < 0)
            t.owner = int16_t(-m(-t.owner));
        return;
    }
    case kRecColorEntry:
        if (renType == kRecLayer) {
            auto& e = *static_cast<ColorEntry*>(record);
            e.layer = uint8_t(m(e.layer));
        }
        return;
    case kRecAttribute: {
        auto& a = *static_cast<Attribute*>(record);
        if (a.key1Type == renType) a.key1 = m(a.key1);
        if (a.key2Type == renType) a.key2 = m(a.key2);
        return;
    }
    case kRecErrorMarker:
        if (renType == kRecLayer) {
            auto& e = *static_cast<ErrorMarker*>(record);
            e.layer = uint8_t(m(e.layer));
        }
        return;
    default:
        ErrReport(kErrRenumberType, recType);
    }
}

void DbAttrRenumber(int32_t type, const int16_t* map, int32_t count) {
    EnsureBuiltins();
    if (g_modules[kRecAttribute].renumber) g_modules[kRecAttribute].renumber(type, map, count);
}

// ---- index sort --------------------------------------------------------------

std::vector<int16_t> DbSortIndex(int32_t count, const std::function<const char*(int32_t row)>& key,
                                 const std::function<void(int32_t a, int32_t b)>& swap) {
    if (count < 2) return {};
    // at[p] = the old number of the row now at position p.
    std::vector<int32_t> at(size_t(count) + 1);
    for (int32_t i = 0; i <= count; ++i)
        at[size_t(i)] = i;
    struct Range {
        int32_t lo, hi;
    };
    std::vector<Range> stack;
    stack.push_back({1, count});
    char pivot[kTextChars];
    while (!stack.empty()) {
        Range r = stack.back();
        stack.pop_back();
        if (r.lo >= r.hi) continue;
        const char* p = key((r.lo + r.hi) / 2);
        std::snprintf(pivot, sizeof pivot, "%s", p ? p : "");
        int32_t i = r.lo, j = r.hi;
        while (i <= j) {
            while (StrCompare(key(i), pivot) < 0)
                ++i;
            while (StrCompare(key(j), pivot) > 0)
                --j;
            if (i <= j) {
                if (i != j) {
                    swap(i, j);
                    std::swap(at[size_t(i)], at[size_t(j)]);
                }
                ++i;
                --j;
            }
        }
        stack.push_back({r.lo, j});
        stack.push_back({i, r.hi});
    }
    bool changed = false;
    for (int32_t p = 1; p <= count && !changed; ++p)
        changed = at[size_t(p)] != p;
    if (!changed) return {};
    // The map of a full table (32,767 rows) is larger than a pool piece: it
    // lives outside the pools.
    std::vector<int16_t> map(size_t(count) + 1, 0);
    for (int32_t p = 1; p <= count; ++p)
        map[size_t(at[size_t(p)])] = int16_t(p);
    return map;
}

// ---- helpers -----------------------------------------------------------------

const char* CoordText(int32_t value) {
    return ValueFormat(value);
}

namespace {

// a / gcd(a, b) for positive a and b.
int32_t LcmFactor(int32_t a, int32_t b) {
    int32_t x = a, y = b;
    while (y != 0) {
        int32_t t = x % y;
        x = y;
        y = t;
    }
    return a / x;
}

} // namespace

bool LcmFits(int32_t a, int32_t b) {
    if (a <= 0 || b <= 0) return true;
    return b < INT32_MAX / LcmFactor(a, b);
}

int32_t LcmChecked(int32_t a, int32_t b) {
    if (a <= 0 || b <= 0) return 0;
    if (!LcmFits(a, b)) ErrReport(kErrLcm, int32_t(b));
    return LcmFactor(a, b) * b;
}

bool DbIsTrusted() {
    return g_trusted;
}

bool DbSetTrusted(bool on) {
    bool previous = g_trusted;
    g_trusted = on;
    return previous;
}
