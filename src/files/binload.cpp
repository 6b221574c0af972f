// Loading and saving designs and strategy files: what is written in which
// order, and what is done with each record read.
#include "files/binload.h"

#include <cstring>
#include <vector>

#include "db/attrs.h"
#include "db/comps.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/dblog.h"
#include "db/err.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/packages.h"
#include "db/pool.h"
#include "db/sweeps.h"
#include "db/symbols.h"
#include "db/table23.h"
#include "db/thru.h"
#include "files/binfmt.h"
#include "toolbox/core/byteorder.h"

namespace {

enum : ErrCode {
    kErrPendingNames = 21106, // soft check: a wrong number of names before a record
};

enum : int32_t {
    kMaxPending = 7200,
    kSymCapacity = 1750,
    kPkgCapacity = 2000,
    kCompCapacity = 4000,
    kThruCapacity = 1000,
    kColorCapacity = 100,
    kTable23Capacity = 500,
    kReportCapacity = 1000,
    kNetCapacity = 32767,
    kConnCapacity = 31999,
    kObsCapacity = 16000,
    kTextCapacity = 8000,
    kMarkerCapacity = 8000,
};

bool IsStoredName(NameId id) {
    return id > 65535u && !(id >> 24);
}

// What a load keeps between records.
struct Loader {
    uint16_t flags = 0;
    bool merge = false;
    std::vector<NameId> pending;
    uint8_t layerMap[kLayerSlots] = {}; // file layer -> design layer + 1, 0 none
    int32_t fileLayers = 0;             // layer records read
    int32_t thruRead = 0;               // thru-code records read
    int32_t sweepSlot = 0;
    bool headerSeen = false;
    uint16_t fileFlagBit4 = 0;
    int32_t fileRecordId = 0;
    std::vector<Sweep> sweeps; // a merge's sweeps, stored once the layer map is complete
};

// Counts a failed check of a record's contents; the load then fails.
bool Bad() {
    BinReadError(kBinErrCheck);
    return false;
}

// The rules of the sweep store, as a check.
bool SweepFits(const Sweep& s) {
    if (DbIsTrusted()) return true;
    if (s.box[0] < 1 || s.box[0] > 500) return false;
    if (s.box[1] < 1 || s.box[1] > 1000) return false;
    for (int32_t p = 1; p < 5; ++p)
        if (s.via[p] > 100 || s.retry[p] > 100 || s.limit[p] > 100) return false;
    for (int32_t l = 1; l <= LayerCount(); ++l)
        if (s.dir[l] > 100 || s.cost[l] > 100) return false;
    return true;
}

// The first pending name; a soft check when the count is not one.
NameId OneName(const Loader& ld) {
    if (ld.pending.size() != 1) ExpectFail(kErrPendingNames);
    return ld.pending.empty() ? 0 : ld.pending[0];
}

bool LoadHeader(Loader& ld, const uint8_t* buf) {
    if (ld.headerSeen) return Bad();
    ld.headerSeen = true;
    DbHeader h;
    std::memcpy(&h, buf, sizeof h);
    if (ld.merge) return true;
    // Every value the tables start from must be in range.
    if (!std::memchr(h.name, 0, sizeof h.name)) return Bad();
    if (h.layerCount < 1 || h.layerCount > kMaxLayers) return Bad();
    if (h.connGrid < 0 || h.routeGrid < 0 || h.fourthGrid < 0) return Bad();
    if (h.viaCount < 1 || h.viaCount > kThruMaxVias) return Bad();
    if (h.thruCount < h.viaCount || h.thruCount > kThruCapacity) return Bad();
    if (h.unitKind > 6 || h.viaNameCount > kMaxViaNames) return Bad();
    const int16_t counts[][2] = {
        {h.symbolCount, kSymCapacity},   {h.pkgCount, kPkgCapacity},
        {h.compCount, kCompCapacity},    {h.colorCount, kColorCapacity},
        {h.table23Count, kTable23Capacity}, {h.reportCount, kReportCapacity},
        {h.obsCount, kObsCapacity},      {h.textCount, kTextCapacity},
        {h.markerCount, kMarkerCapacity}, {h.connCount, kConnCapacity},
        {h.noteCount, 32767},            {h.netCount, kNetCapacity},
    };
    for (const auto& c : counts)
        if (c[0] < 0 || c[0] > c[1]) return Bad();
    ld.fileFlagBit4 = uint16_t(h.flags & 4);
    ld.fileRecordId = h.recordId;

    h.extMinX = h.extMinY = 0x7FFFFFFF;
    h.extMaxX = h.extMaxY = -0x7FFFFFFF;
    // The via entries' names were written before the header; without them
    // a name stored in the string table of the writing session points
    // nowhere and is cleared.
    int32_t n = h.viaNameCount;
    bool named = n > 0 && int32_t(ld.pending.size()) == 2 * n;
    for (int32_t i = 0; i < kViaNameEntries; ++i) {
        DbViaName& v = h.viaNames[i];
        if (named && i >= 1 && i <= n) {
            v.name1 = ld.pending[size_t(2 * (i - 1))];
            v.name3 = ld.pending[size_t(2 * (i - 1) + 1)];
        } else {
            if (IsStoredName(v.name1)) v.name1 = 0;
            if (IsStoredName(v.name3)) v.name3 = 0;
        }
    }
    DbHeaderReset();
    h.valid = 0;
    h.sweep = 0;
    DbPutHeader(&h);
    DbInit();
    // The records keep the ids they were saved with; new ids go on from the
    // saved counter.
    DbHdr().recordId = h.recordId;
    if (h.savedWhole == kSavedWholeMark) DbSetTrusted(true);
    return true;
}

bool LoadSweep(Loader& ld, const uint8_t* buf) {
    Sweep s;
    std::memcpy(&s, buf, sizeof s);
    if (!std::memchr(s.name, 0, sizeof s.name)) return Bad();
    if (ld.merge) {
        if (ld.sweeps.size() < size_t(kSweepCount))
            ld.sweeps.push_back(s);
        else
            ld.sweeps.back() = s;
        return true;
    }
    DbHdr().sweep = uint8_t(ld.sweepSlot);
    if (!SweepFits(s)) return Bad();
    SweepPut(&s);
    if (ld.sweepSlot < kSweepCount - 1) ++ld.sweepSlot;
    return true;
}

// A merge's sweeps: the four per-layer tables of each come from the file's
// tables through the complete layer map; a design layer no file layer
// matches keeps the value of the design's sweep.
bool StoreMergedSweeps(Loader& ld) {
    DbHeader& h = DbHdr();
    for (size_t i = 0; i < ld.sweeps.size(); ++i) {
        const Sweep& file = ld.sweeps[i];
        h.sweep = uint8_t(i);
        Sweep s;
        SweepGet(&s);
        Sweep merged = file;
        std::memcpy(merged.enable, s.enable, sizeof s.enable);
        std::memcpy(merged.dir, s.dir, sizeof s.dir);
        std::memcpy(merged.cost, s.cost, sizeof s.cost);
        std::memcpy(merged.between, s.between, sizeof s.between);
        for (int32_t l = 0; l < kLayerSlots; ++l) {
            if (!ld.layerMap[l]) continue;
            int32_t t = ld.layerMap[l] - 1;
            merged.enable[t] = file.enable[l];
            merged.dir[t] = file.dir[l];
            merged.cost[t] = file.cost[l];
            merged.between[t] = file.between[l];
        }
        if (!SweepFits(merged)) return Bad();
        SweepPut(&merged);
    }
    h.sweep = 0;
    return true;
}

bool LoadLayer(Loader& ld, const uint8_t* buf) {
    size_t names = ld.pending.size();
    if (names < 1 || names > 3) return Bad();
    if (ld.fileLayers >= kLayerSlots) return Bad();
    int32_t n = ld.fileLayers++;
    Layer rec;
    std::memcpy(&rec, buf, sizeof rec);
    rec.name = ld.pending[0];
    rec.shortName = names > 1 ? ld.pending[1] : 0;
    rec.className = names > 2 ? ld.pending[2] : 0;
    if (!ld.merge) {
        if (!DbIsTrusted() && LayerPutCheck(n, &rec)) return Bad();
        LayerPut(n, &rec);
        return true;
    }
    int32_t target = 0;
    if (n > 0) {
        char text[kTextChars];
        NameToText(rec.name, kNameMaxChars, text);
        target = LayerFind(text);
        if (!target && rec.shortName) {
            NameToText(rec.shortName, kNameMaxChars, text);
            target = LayerFindName2(text);
        }
        if (!target) return true;
    }
    // The matched layer stays as it is: storing it again unchanged would
    // only give a record without an id a new one.
    ld.layerMap[n] = uint8_t(target + 1);
    return true;
}

bool LoadThru(Loader& ld, uint8_t* buf) {
    if (ld.merge) return true; // thru codes are not part of a strategy
    ThruCode& rec = *reinterpret_cast<ThruCode*>(buf);
    rec.name = OneName(ld);
    int32_t n = ++ld.thruRead;
    int32_t target;
    if (n <= DbHdr().viaCount && n <= ThruCount()) {
        target = n;
    } else {
        if (ThruCount() >= kThruCapacity) return Bad();
        target = ThruAdd();
    }
    if (!DbIsTrusted() && ThruPutCheck(target, &rec)) return Bad();
    ThruPut(target, &rec);
    return true;
}

bool LoadSymbol(Loader& ld, uint8_t* buf) {
    Symbol& rec = *reinterpret_cast<Symbol*>(buf);
    int32_t count = rec.info.pinCount;
    if (count < 0 || count > kMaxPins) return Bad();
    if (int32_t(ld.pending.size()) != count + 1) return Bad();
    for (int32_t p = 1; p <= count; ++p)
        if (rec.pin[p].thru < 1 || rec.pin[p].thru > ThruCount()) return Bad();
    if (SymCount() >= kSymCapacity) return Bad();
    int32_t s = SymAdd();
    rec.info.name = ld.pending[0];
    for (int32_t p = 1; p <= count; ++p)
        rec.pin[p].name = ld.pending[size_t(p)];
    if (!DbIsTrusted() && SymPutCheck(s, &rec)) return Bad();
    SymPut(s, &rec);
    return true;
}

bool LoadPackage(Loader& ld, uint8_t* buf) {
    Package& rec = *reinterpret_cast<Package*>(buf);
    int32_t count = rec.info.pinCount;
    if (count < 0 || count > kMaxPins) return Bad();
    if (int32_t(ld.pending.size()) != 2 * count + 1) return Bad();
    if (PkgCount() >= kPkgCapacity) return Bad();
    int32_t n = PkgAdd();
    rec.info.name = ld.pending[0];
    for (int32_t p = 1; p <= count; ++p) {
        rec.pin[p].name = ld.pending[size_t(2 * p - 1)];
        rec.pin[p].name2 = ld.pending[size_t(2 * p)];
    }
    if (!DbIsTrusted() && PkgPutCheck(n, &rec)) return Bad();
    PkgPut(n, &rec);
    return true;
}

bool LoadComponent(Loader& ld, const uint8_t* buf) {
    Component rec;
    std::memcpy(&rec, buf, sizeof rec);
    size_t names = ld.pending.size();
    if (names < 1 || names > 2) return Bad();
    if (rec.symbol < 0 || rec.symbol > SymCount()) return Bad();
    if (rec.otherSymbol < 0 || rec.otherSymbol > SymCount()) return Bad();
    if (rec.package < 0 || rec.package > PkgCount()) return Bad();
    if (CompCount() >= kCompCapacity) return Bad();
    int32_t c = CompAdd();
    rec.name = ld.pending[0];
    rec.value32 = names > 1 ? int32_t(ld.pending[1]) : 0;
    rec.flags = uint16_t(rec.flags & ~0x40);
    if (!DbIsTrusted() && CompPutCheck(c, &rec)) return Bad();
    CompPut(c, &rec);
    return true;
}

bool LoadColor(Loader& ld, const uint8_t* buf) {
    ColorEntry e;
    std::memcpy(&e, buf, sizeof e);
    if (e.layer != kColorAllLayers) {
        if (ld.merge) {
            if (e.layer >= kLayerSlots || !ld.layerMap[e.layer]) return true;
            e.layer = uint8_t(ld.layerMap[e.layer] - 1);
        } else if (e.layer > LayerCount()) {
            return true;
        }
    }
    int32_t n = ColorFind(&e);
    if (!n) {
        if (ColorCount() >= kColorCapacity) return Bad();
        n = ColorAdd();
    }
    ColorPut(n, &e);
    return true;
}

// An attribute's name is its value 1 for the kinds that keep a name there
// (alternate footprints, former component names); an empty name keeps the
// value read.
bool LoadAttribute(Loader& ld, const uint8_t* buf) {
    Attribute a;
    std::memcpy(&a, buf, sizeof a);
    NameId name = OneName(ld);
    if (name) a.value1 = int32_t(name);
    AttrPut(&a);
    return true;
}

bool LoadTable23(const uint8_t* buf) {
    Table23 t;
    std::memcpy(&t, buf, sizeof t);
    if (t.value < 10 || t.value > 500) return Bad();
    if (Table23Count() >= kTable23Capacity) return Bad();
    int32_t n = Table23Add();
    Table23Put(n, &t);
    return true;
}

bool ClearsPending(int32_t type) {
    return type == kRecHeader || (type >= kRecLayer && type <= kRecNet) ||
           type == kRecObstacle || type == kRecBoardText ||
           (type >= kRecColorEntry && type <= kRecErrorMarker) || type == kRecTable23;
}

// One record read: true to go on, false when the load fails.
bool Handle(Loader& ld, int32_t type, uint8_t* buf, int32_t size) {
    if (type == kRecFileHeader) return Bad();
    if (type == kRecNameString) {
        if (size > kTextChars || ld.pending.size() >= size_t(kMaxPending)) return Bad();
        ld.pending.push_back(NameIntern(reinterpret_cast<const char*>(buf)));
        return true;
    }
    // A whole load starts the database at the header: nothing but names
    // may come before it.
    if (!ld.merge && !ld.headerSeen && type != kRecHeader) return Bad();
    bool ok = true;
    uint16_t f = ld.flags;
    switch (type) {
    case kRecHeader:
        ok = LoadHeader(ld, buf);
        break;
    case kRecSweep:
        if (f & kLoadStrategy) ok = LoadSweep(ld, buf);
        break;
    case kRecLayer:
        if (f & (kLoadLayers | kLoadMerge)) ok = LoadLayer(ld, buf);
        break;
    case kRecThruCode:
        if (f & kLoadThru) ok = LoadThru(ld, buf);
        break;
    case kRecSymbol:
        if (f & kLoadParts) ok = LoadSymbol(ld, buf);
        break;
    case kRecPackage:
        if (f & kLoadParts) ok = LoadPackage(ld, buf);
        break;
    case kRecComponent:
        if (f & kLoadParts) ok = LoadComponent(ld, buf);
        break;
    case kRecColorEntry:
        if (f & kLoadColors) ok = LoadColor(ld, buf);
        break;
    case kRecAttribute:
        if (f & kLoadOther) ok = LoadAttribute(ld, buf);
        break;
    case kRecTable23:
        if (f & kLoadOther) ok = LoadTable23(buf);
        break;
    default:
        // The placement strategy, nets, connections, obstacles, texts,
        // notes, plot reports and error markers are read by the loaders of
        // their tables once those are built in; until then they are passed.
        break;
    }
    if (ClearsPending(type)) ld.pending.clear();
    return ok;
}

void SetFileType(FileSpec* file, const char* type) {
    std::snprintf(file->type, sizeof file->type, "%s", type);
    std::snprintf(file->creator, sizeof file->creator, "%s", BIN_CREATOR);
}

uint32_t Code4(const char* s) {
    return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
           (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

void WriteFileHeader(int32_t type, const char* code) {
    BinFileHeader h;
    std::memset(&h, 0, sizeof h);
    h.typeCode = Code4(code);
    BinWriteRec(type, &h);
}

void WriteName(NameId id) {
    char text[kTextChars];
    NameToText(id, kNameMaxChars, text);
    BinWriteRec(kRecNameString, text);
}

void WriteSweeps() {
    DbHeader& h = DbHdr();
    uint8_t keep = h.sweep;
    for (int32_t i = 0; i < kSweepCount; ++i) {
        h.sweep = uint8_t(i);
        Sweep s;
        SweepGet(&s);
        BinWriteRec(kRecSweep, &s);
    }
    h.sweep = keep;
}

void WriteLayers() {
    for (int32_t n = 0; n < kLayerSlots; ++n) {
        Layer rec;
        LayerGet(n, &rec);
        WriteName(rec.name);
        WriteName(rec.shortName);
        WriteName(rec.className);
        BinWriteRec(kRecLayer, &rec);
    }
}

void WriteColors() {
    for (int32_t n = 1; n <= ColorCount(); ++n) {
        ColorEntry e;
        ColorGet(n, &e);
        BinWriteRec(kRecColorEntry, &e);
    }
}

void WriteDesign(uint8_t* scratch) {
    DbHeader h;
    DbGetHeader(&h);
    for (int32_t i = 1; i <= h.viaNameCount && i < kViaNameEntries; ++i) {
        WriteName(h.viaNames[i].name1);
        WriteName(h.viaNames[i].name3);
    }
    h.savedWhole = kSavedWholeMark;
    BinWriteRec(kRecHeader, &h);
    WriteSweeps();
    // The placement strategy follows the sweeps once its table is built in.
    WriteLayers();
    for (int32_t t = 1; t <= ThruCount(); ++t) {
        ThruCode& tc = *reinterpret_cast<ThruCode*>(scratch);
        ThruGet(t, &tc);
        WriteName(tc.name);
        BinWriteRec(kRecThruCode, &tc);
    }
    for (int32_t s = 1; s <= SymCount(); ++s) {
        Symbol& sym = *reinterpret_cast<Symbol*>(scratch);
        SymGet(s, &sym);
        WriteName(sym.info.name);
        for (int32_t p = 1; p <= sym.info.pinCount; ++p)
            WriteName(sym.pin[p].name);
        BinWriteRec(kRecSymbol, &sym);
    }
    for (int32_t n = 1; n <= PkgCount(); ++n) {
        Package& pkg = *reinterpret_cast<Package*>(scratch);
        PkgGet(n, &pkg);
        WriteName(pkg.info.name);
        for (int32_t p = 1; p <= pkg.info.pinCount; ++p) {
            WriteName(pkg.pin[p].name);
            WriteName(pkg.pin[p].name2);
            pkg.pin[p].name = 0;
            pkg.pin[p].name2 = 0;
        }
        BinWriteRec(kRecPackage, &pkg);
    }
    for (int32_t c = 1; c <= CompCount(); ++c) {
        Component comp;
        CompGet(c, &comp);
        WriteName(comp.name);
        WriteName(NameId(comp.value32));
        BinWriteRec(kRecComponent, &comp);
    }
    // Nets, connections, obstacles, texts (each after its name, after the
    // obstacles) and notes follow the components once their tables are
    // built in.
    WriteColors();
    // Plot reports follow the colours once their table is built in.
    for (int32_t n = 1; n <= Table23Count(); ++n) {
        Table23 t;
        Table23Get(n, &t);
        BinWriteRec(kRecTable23, &t);
    }
    Attribute a;
    AttrScanStart(0, 0, 0, 0);
    while (AttrScanNext(&a)) {
        WriteName((a.kind == 1 || a.kind == 3) ? NameId(a.value1) : 0);
        BinWriteRec(kRecAttribute, &a);
    }
    // Error markers follow the attributes once their table is built in.
}

} // namespace

int32_t BinLoad(const FileSpec* file, uint16_t flags) {
    Loader ld;
    ld.flags = flags;
    ld.merge = (flags & kLoadMerge) != 0;
    if (!ld.merge) DbFree();
    bool designInHand = DbIsValid();
    uint16_t keepBit4 = uint16_t(DbHdr().flags & 4);
    if (ld.merge && (flags & kLoadColors) && designInHand)
        while (ColorCount() > 1)
            ColorDelete(1);
    uint8_t* buf = static_cast<uint8_t*>(ScratchPush());
    bool ok = false;
    if (ld.merge && !designInHand) {
        // Nothing to merge into.
    } else if (BinOpen(file, 'r')) {
        int32_t type = 0;
        BinReadRec(buf, &type);
        if (type == kRecFileHeader) {
            for (;;) {
                int32_t size = BinReadRec(buf, &type);
                if (type == 0) break;
                if (type == kRecEndOfFile) {
                    ok = !ld.merge || StoreMergedSweeps(ld);
                    break;
                }
                if (!Handle(ld, type, buf, size)) break;
            }
        } else if (type != 0) {
            BinReadError(kBinErrCheck);
        }
        if (!BinClose('r')) ok = false;
    }
    if (!ld.merge && !ld.headerSeen) ok = false;
    DbHeader& h = DbHdr();
    h.modified = 0;
    h.sweep = 0;
    h.flags = uint16_t((h.flags & ~4) | (ld.merge ? keepBit4 : ld.fileFlagBit4));
    ScratchPop(buf);
    DbSetTrusted(false);
    if (!ok) {
        h.valid = 0;
        return 0;
    }
    // A file of sub-version 48 kept the symbols' texts with the symbols
    // only: the components take their own copies once the text table is
    // built in.
    h.valid = 1;
    LogAppend("Loaded file ", file->name);
    return 1;
}

int32_t BinLoadFile(const FileSpec* file, bool whole) {
    return BinLoad(file, whole ? uint16_t(kLoadWholeDesign) : uint16_t(kLoadStrategyFile));
}

bool BinCheckType(const FileSpec* file, bool* isStrategy) {
    *isStrategy = false;
    if (!BinOpen(file, 'r')) return false;
    uint8_t* buf = static_cast<uint8_t*>(ScratchPush());
    int32_t type = 0;
    BinReadRec(buf, &type);
    bool ok = false;
    if (type == kRecFileHeader) {
        uint32_t code = reinterpret_cast<BinFileHeader*>(buf)->typeCode;
        ok = code == Code4(BIN_TYPE_DESIGN) || code == Code4(BIN_TYPE_STRATEGY);
        *isStrategy = code == Code4(BIN_TYPE_STRATEGY);
    }
    ScratchPop(buf);
    BinClose('r');
    return ok;
}

bool BinSave(FileSpec* file, bool whole) {
    uint8_t* scratch = static_cast<uint8_t*>(ScratchPush());
    const char* code = whole ? BIN_TYPE_DESIGN : BIN_TYPE_STRATEGY;
    SetFileType(file, code);
    OpenFileSpec(file, Code4(BIN_CREATOR), Code4(code), 0);
    DbValidate();
    if (!BinOpen(file, 'w')) {
        LogAppend("Error opening file:", file->name);
        ScratchPop(scratch);
        return false;
    }
    WriteFileHeader(kRecFileHeader, code);
    if (whole) {
        WriteDesign(scratch);
    } else {
        WriteSweeps();
        // The placement strategy follows the sweeps once its table is built in.
        WriteLayers();
        WriteColors();
    }
    WriteFileHeader(kRecEndOfFile, code);
    ScratchPop(scratch);
    if (!BinClose('w')) {
        LogAppend("Error writing to file:", file->name);
        return false;
    }
    if (whole) LogAppend("Saved as file ", file->name);
    return true;
}
