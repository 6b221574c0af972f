// The symbol table: an index of summaries and pin-array pointers kept
// outside the pools, pin arrays in pool 2.
#include "db/symbols.h"

#include <cstring>
#include <vector>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/geom.h"
#include "db/names.h"
#include "db/pool.h"
#include "db/thru.h"

namespace {

enum : ErrCode {
    kErrFull = 5226015,
    kErrGetIndex = 5226020,
    kErrPutIndex = 5226021,
    kErrRawIndexLow = 5226023,
    kErrPinCountIndex = 5226024,
    kErrPinRefSymbol = 5226026,
    kErrInfoIndex = 5226028,
    kErrPinRefPin = 5226038,
    kErrDeleteIndex = 5226046,
    kErrRawIndexHigh = 5226051,
    kErrPutPinCount = 5226052,
    kErrPutPinThru = 5226053,
    kErrPutPinName = 5226054,
    kErrPutPinWord = 5226055,
    kErrRawPinCount = 5226065,
    kErrPlaceSymbol = 5226071,
    kErrPlacePin = 5226074,
    kErrPinArray = 5226083,
    kErrThruSymbol = 5226091,
    kErrThruPin = 5226094,
    kErrThruRange = 5226095,
    kErrPinsSymbol = 5226171,
    kErrThruInUse = 5225111,
};

struct Entry {
    SymbolInfo info;
    SymbolPin* pins; // pins 1..count at pins[0..count-1]; null when none
};

std::vector<Entry> g_sym; // entry 0 unused
int32_t g_count = 0;
int32_t g_capacity = 0;
SymRenumberHook g_ownerHook = nullptr;

void SetCount(int32_t count) {
    g_count = count;
    DbHdr().symbolCount = int16_t(count);
}

void Reserve(int32_t capacity) {
    g_capacity = capacity;
    g_sym.reserve(size_t(capacity) + 1);
}

Entry& At(int32_t s) {
    return g_sym[size_t(s)];
}

void Place(const Component* comp, SymbolPin* pin) {
    int32_t x = pin->x, y = pin->y;
    PtRotateExact(comp->x, comp->y, comp->angle, &x, &y);
    pin->x = x;
    pin->y = y;
}

// The part of ThruDelete that falls to the symbols: every pin's thru code
// through the map; a pin on the deleted thru code cannot be.
void ThruRenumbered(const int16_t* map, int32_t count, int32_t deleted) {
    for (int32_t s = 1; s <= g_count; ++s) {
        Entry& e = At(s);
        if (!e.pins) continue;
        bool changed = false;
        for (int32_t p = 0; p < e.info.pinCount; ++p) {
            int32_t t = e.pins[p].thru;
            if (t == deleted) ErrReport(kErrThruInUse, s);
            if (t >= 1 && t <= count && map[t] != t) {
                e.pins[p].thru = map[t];
                changed = true;
            }
        }
        if (changed) DbSetModified();
    }
}

} // namespace

void SymInit() {
    g_sym.clear();
    g_sym.shrink_to_fit();
    int32_t capacity = DbHdr().symbolCount;
    if (capacity < kSymGrow) capacity = kSymGrow;
    if (capacity > kSymMax) capacity = kSymMax;
    Reserve(capacity);
    g_sym.push_back(Entry{});
    SetCount(0);
}

void SymReset() {
    g_sym.clear();
    g_sym.shrink_to_fit();
    g_count = 0;
    g_capacity = 0;
}

int32_t SymCount() {
    return g_count;
}

int32_t SymAdd() {
    if (g_sym.empty()) g_sym.push_back(Entry{});
    if (g_count >= g_capacity) {
        if (g_capacity >= kSymMax) ErrOutOfMemory(kErrFull);
        int32_t capacity = g_capacity + kSymGrow;
        Reserve(capacity > kSymMax ? kSymMax : capacity);
    }
    g_sym.push_back(Entry{});
    std::memset(&g_sym.back().info, 0, sizeof(SymbolInfo));
    g_sym.back().pins = nullptr;
    SetCount(g_count + 1);
    DbSetModified();
    return g_count;
}

void SymGet(int32_t s, Symbol* out) {
    if (s < 1 || s > g_count) ErrReport(kErrGetIndex, s);
    const Entry& e = At(s);
    if (!e.pins) {
        DbRecInit(kRecSymbol, out, s);
        if (e.info.recordId != 0) // stored without pins: its summary holds
            std::memcpy(&out->info, &e.info, sizeof(SymbolInfo));
        return;
    }
    std::memcpy(&out->info, &e.info, sizeof(SymbolInfo));
    std::memset(&out->pin[0], 0, sizeof(SymbolPin));
    std::memcpy(&out->pin[1], e.pins, sizeof(SymbolPin) * size_t(e.info.pinCount));
}

void SymInfoGet(int32_t s, SymbolInfo* out) {
    if (s < 1 || s > g_count) ErrReport(kErrInfoIndex, s);
    std::memcpy(out, &At(s).info, sizeof(SymbolInfo));
}

ErrCode SymPutCheck(int32_t s, const Symbol* record, int32_t* number) {
    int32_t dummy = 0;
    int32_t& out = number ? *number : dummy;
    auto fail = [&out](ErrCode code, int32_t value) {
        out = value;
        return code;
    };
    if (s < 1 || s > g_count) return fail(kErrPutIndex, s);
    int32_t pins = record->info.pinCount;
    if (pins < 0 || pins > kMaxPins) return fail(kErrPutPinCount, pins);
    if (!DbIsTrusted()) {
        int32_t thruCount = ThruCount();
        for (int32_t p = 1; p <= pins; ++p) {
            const SymbolPin& pin = record->pin[p];
            if (pin.thru < 1 || pin.thru > thruCount) return fail(kErrPutPinThru, pin.thru);
            if (pin.name == 0) return fail(kErrPutPinName, p);
            if (pin.word < 0) return fail(kErrPutPinWord, pin.word);
        }
    }
    return 0;
}

void SymPut(int32_t s, const Symbol* record) {
    int32_t number = 0;
    if (ErrCode code = SymPutCheck(s, record, &number)) ErrReport(code, number);
    int32_t pins = record->info.pinCount;
    Entry& e = At(s);
    bool hadPins = e.pins != nullptr;
    if (pins != e.info.pinCount || !hadPins) {
        if (e.pins) PoolFreePtr(e.pins);
        e.pins = nullptr;
        if (pins > 0)
            e.pins = static_cast<SymbolPin*>(
                PoolNewPtr(int32_t(sizeof(SymbolPin)) * pins, kPoolDb, kErrPinArray));
    }
    if (pins > 0) std::memcpy(e.pins, &record->pin[1], sizeof(SymbolPin) * size_t(pins));
    std::memcpy(&e.info, &record->info, sizeof(SymbolInfo));
    if (e.info.recordId == 0) e.info.recordId = DbNextRecordId();
    DbSetModified();
}

void SymPutRaw(int32_t s, const SymbolInfo* info) {
    if (s < 1) ErrReport(kErrRawIndexLow, s);
    if (s > g_count) ErrReport(kErrRawIndexHigh, s);
    Entry& e = At(s);
    if (info->pinCount != e.info.pinCount) ErrReport(kErrRawPinCount, info->pinCount);
    std::memcpy(&e.info, info, sizeof(SymbolInfo));
    DbSetModified();
}

int32_t SymPinCount(int32_t s) {
    if (s < 1 || s > g_count) ErrReport(kErrPinCountIndex, s);
    return At(s).info.pinCount;
}

const SymbolPin* SymPinRef(int32_t s, int32_t p) {
    if (s < 1 || s > g_count) ErrReport(kErrPinRefSymbol, s);
    const Entry& e = At(s);
    if (p < 1 || p > e.info.pinCount || !e.pins) ErrReport(kErrPinRefPin, p);
    return &e.pins[p - 1];
}

void SymPinGet(int32_t s, int32_t p, SymbolPin* out) {
    std::memcpy(out, SymPinRef(s, p), sizeof(SymbolPin));
}

int32_t SymPinThru(int32_t s, int32_t p) {
    if (s < 1 || s > g_count) ErrReport(kErrThruSymbol, s);
    const Entry& e = At(s);
    if (p < 1 || p > e.info.pinCount || !e.pins) ErrReport(kErrThruPin, p);
    int32_t t = e.pins[p - 1].thru;
    if (t < 1 || t > ThruCount()) ErrReport(kErrThruRange, t);
    return t;
}

int32_t SymFind(const char* text) {
    NameId id = NameLookup(text);
    if (id == 0) return 0;
    for (int32_t s = 1; s <= g_count; ++s)
        if (At(s).info.name == id) return s;
    return 0;
}

void SymPinGet(const Component* comp, int32_t p, PlacedPin* out) {
    int32_t s = comp->symbol;
    if (s < 1 || s > g_count) ErrReport(kErrPlaceSymbol, s);
    const Entry& e = At(s);
    if (p < 1 || p > e.info.pinCount || !e.pins) ErrReport(kErrPlacePin, p);
    std::memcpy(out, &e.pins[p - 1], sizeof(SymbolPin));
    Place(comp, out);
}

void CompPinXY(int32_t c, int32_t p, PlacedPin* out) {
    SymPinGet(CompRef(c), p, out);
}

void CompPinsGet(const Component* comp, Symbol* out) {
    int32_t s = comp->symbol;
    if (s < 1 || s > g_count) ErrReport(kErrPinsSymbol, s);
    SymGet(s, out);
    CompSymPlace(comp, out);
}

void CompSymPlace(const Component* comp, Symbol* sym) {
    int32_t pins = sym->info.pinCount;
    if (pins > kMaxPins) pins = kMaxPins;
    for (int32_t p = 1; p <= pins; ++p)
        Place(comp, &sym->pin[p]);
}

void SymDelete(int32_t s) {
    if (s < 1 || s > g_count) ErrReport(kErrDeleteIndex, s);
    int32_t old = g_count;
    // Close the gap; the old symbol's pins are given back.
    if (At(s).pins) PoolFreePtr(At(s).pins);
    g_sym.erase(g_sym.begin() + s);
    g_count = old - 1;
    std::vector<int16_t> map(size_t(old) + 1);
    for (int32_t i = 0; i <= old; ++i)
        map[size_t(i)] = int16_t(i < s ? i : i - 1);
    map[size_t(s)] = 0;
    {
        DbTrustedScope trusted;
        for (int32_t c = CompCount(); c >= 1; --c) {
            const Component* ref = CompRef(c);
            if (ref->symbol == s) {
                CompDelete(c);
                continue;
            }
            Component comp;
            std::memcpy(&comp, ref, sizeof comp);
            int16_t symbol = comp.symbol;
            int16_t other = comp.otherSymbol;
            if (symbol >= 1 && symbol <= old) comp.symbol = map[size_t(symbol)];
            if (other >= 1 && other <= old) comp.otherSymbol = map[size_t(other)];
            if (comp.symbol != symbol || comp.otherSymbol != other) CompPut(c, &comp);
        }
        if (g_ownerHook) g_ownerHook(map.data(), old);
    }
    DbAttrRenumber(kRecSymbol, map.data(), old);
    AltRenumber(kRecSymbol, map.data(), old);
    SetCount(old - 1);
    DbSetModified();
}

void SymSetOwnerRenumberHook(SymRenumberHook hook) {
    g_ownerHook = hook;
}

void SymRegister() {
    DbModuleOps ops;
    ops.init = &SymInit;
    ops.free = &SymReset;
    ops.add = &SymAdd;
    ops.del = &SymDelete;
    ops.get = [](int32_t n, void* out) { SymGet(n, static_cast<Symbol*>(out)); };
    ops.put = [](int32_t n, const void* rec) { SymPut(n, static_cast<const Symbol*>(rec)); };
    DbRegisterModule(kRecSymbol, ops);
    ThruSetRenumberHook(&ThruRenumbered);
}
