// Loading and saving designs and strategy files: what is written in which
// order, and what is done with each record read.
#include "files/binload.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "db/attrs.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/dblog.h"
#include "db/err.h"
#include "db/geom.h"
#include "db/layers.h"
#include "db/limits.h"
#include "db/markers.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/packages.h"
#include "db/placestrat.h"
#include "db/plotrep.h"
#include "db/pool.h"
#include "db/sweeps.h"
#include "db/symbols.h"
#include "db/table23.h"
#include "db/texts.h"
#include "db/thru.h"
#include "files/binfmt.h"
#include "toolbox/core/byteorder.h"

namespace {

enum : int32_t {
    kMaxPending = 7200,
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
    // Records that took their name from a wrong number of pending names (a
    // file fault the load goes on over, reported once as a warning).
    int32_t nameMismatches = 0;
    bool headerSeen = false;
    uint16_t fileFlagBit4 = 0;
    int32_t fileRecordId = 0;
    int32_t fileViaCount = 0;  // the predefined thru codes of the file
    std::vector<Sweep> sweeps; // a merge's sweeps, stored once the layer map is complete
};

// Counts a failed check of a record's contents; the load then fails.
bool Bad() {
    BinReadError(kBinErrCheck);
    return false;
}

// The rules of the sweep store, as a check.
// The first pending name; a count other than one is counted for the
// load's warning.
NameId OneName(Loader& ld) {
    if (ld.pending.size() != 1) ++ld.nameMismatches;
    return ld.pending.empty() ? 0 : ld.pending[0];
}

bool InCoord(int64_t v) {
    return InCoordLimit(v);
}

// Every pad shape's extents and offsets within the coordinate limit.
bool PadsInRange(const ThruCode& rec) {
    for (int32_t l = 0; l <= DbHdr().layerCount && l < kLayerSlots; ++l)
        for (int32_t k = 0; k < rec.layer[l].shapeCount && k < kThruShapes; ++k) {
            const PadShape& p = rec.layer[l].shape[k];
            int32_t e[4];
            std::memcpy(e, p.ext, sizeof e);
            if (!InCoord(p.x) || !InCoord(p.y)) return false;
            for (int32_t v : e)
                if (!InCoord(v)) return false;
        }
    return true;
}

// Every value the tables start from in range: what a whole load takes and
// a save writes.
bool HeaderFits(const DbHeader& h) {
    if (!std::memchr(h.name, 0, sizeof h.name)) return false;
    if (h.layerCount < 1 || h.layerCount > kMaxLayers) return false;
    if (h.connGrid < 0 || h.routeGrid < 0 || h.fourthGrid < 0) return false;
    if (!UnitsInRange(h.userUnit, h.unitSize)) return false;
    // Grids the range check of validation can combine.
    if (h.routeGrid < 1 || !DbGridsCombine(&h)) return false;
    if (h.viaCount < 1 || h.viaCount > kThruMaxVias) return false;
    if (h.thruCount < h.viaCount || h.thruCount > kThruMax) return false;
    if (h.unitKind > 6 || h.viaNameCount > kMaxViaNames) return false;
    const int16_t counts[][2] = {
        {h.symbolCount, kSymMax},  {h.pkgCount, kPkgMax},         {h.compCount, kCompMax},
        {h.colorCount, kColorMax}, {h.table23Count, kTable23Max}, {h.reportCount, kReportMax},
        {h.obsCount, kObsMax},     {h.textCount, kTextMax},       {h.markerCount, kMarkerMax},
        {h.connCount, kConnMax},   {h.noteCount, kNoteMax},       {h.netCount, kNetMax},
    };
    for (const auto& c : counts)
        if (c[0] < 0 || c[0] > c[1]) return false;
    return true;
}

bool LoadHeader(Loader& ld, const uint8_t* buf) {
    if (ld.headerSeen) return Bad();
    ld.headerSeen = true;
    DbHeader h;
    std::memcpy(&h, buf, sizeof h);
    ld.fileViaCount = h.viaCount;
    if (ld.merge) return true;
    if (!HeaderFits(h)) return Bad();
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
    if (SweepPutCheck(&s)) return Bad();
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
        if (SweepPutCheck(&merged)) return Bad();
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
        if (LayerPutCheck(n, &rec)) return Bad();
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

// A merge: the thru code of the same name, or a new one beyond the file's
// predefined count, takes the record's name, id and word and the pads of
// every matched layer.
bool MergeThru(Loader& ld, const ThruCode& rec, int32_t n) {
    char text[kTextChars];
    NameToText(rec.name, kNameMaxChars, text);
    int32_t t = PadstackFind(text);
    if (!t) {
        if (n <= ld.fileViaCount) return true;
        if (ThruCount() >= kThruMax) return Bad();
        t = ThruAdd();
    }
    auto cur = std::make_unique<ThruCode>();
    ThruGet(t, cur.get());
    cur->name = rec.name;
    cur->recordId = rec.recordId;
    cur->word8 = rec.word8;
    for (int32_t l = 0; l <= LayerCount() && l < kLayerSlots; ++l)
        if (ld.layerMap[l]) cur->layer[ld.layerMap[l] - 1] = rec.layer[l];
    if (ThruPutCheck(t, cur.get())) return Bad();
    ThruPut(t, cur.get());
    return true;
}

bool LoadThru(Loader& ld, uint8_t* buf) {
    ThruCode& rec = *reinterpret_cast<ThruCode*>(buf);
    rec.name = OneName(ld);
    int32_t n = ++ld.thruRead;
    if (!PadsInRange(rec)) return Bad();
    if (ld.merge) return MergeThru(ld, rec, n);
    int32_t target;
    if (n <= DbHdr().viaCount && n <= ThruCount()) {
        target = n;
    } else {
        if (ThruCount() >= kThruMax) return Bad();
        target = ThruAdd();
    }
    if (ThruPutCheck(target, &rec)) return Bad();
    ThruPut(target, &rec);
    return true;
}

// Every pin on a thru code, its offset within the coordinate limit.
bool PinsInRange(const Symbol& rec) {
    for (int32_t p = 1; p <= rec.info.pinCount && p <= kMaxPins; ++p) {
        if (rec.pin[p].thru < 1 || rec.pin[p].thru > ThruCount()) return false;
        if (!InCoord(rec.pin[p].x) || !InCoord(rec.pin[p].y)) return false;
    }
    return true;
}

bool LoadSymbol(Loader& ld, uint8_t* buf) {
    Symbol& rec = *reinterpret_cast<Symbol*>(buf);
    int32_t count = rec.info.pinCount;
    if (count < 0 || count > kMaxPins) return Bad();
    if (int32_t(ld.pending.size()) != count + 1) return Bad();
    if (!PinsInRange(rec)) return Bad();
    if (SymCount() >= kSymMax) return Bad();
    int32_t s = SymAdd();
    rec.info.name = ld.pending[0];
    for (int32_t p = 1; p <= count; ++p)
        rec.pin[p].name = ld.pending[size_t(p)];
    if (SymPutCheck(s, &rec)) return Bad();
    SymPut(s, &rec);
    return true;
}

bool LoadPackage(Loader& ld, uint8_t* buf) {
    Package& rec = *reinterpret_cast<Package*>(buf);
    int32_t count = rec.info.pinCount;
    if (count < 0 || count > kMaxPins) return Bad();
    if (int32_t(ld.pending.size()) != 2 * count + 1) return Bad();
    if (PkgCount() >= kPkgMax) return Bad();
    int32_t n = PkgAdd();
    rec.info.name = ld.pending[0];
    for (int32_t p = 1; p <= count; ++p) {
        rec.pin[p].name = ld.pending[size_t(2 * p - 1)];
        rec.pin[p].name2 = ld.pending[size_t(2 * p)];
    }
    // The table's put checks even while trusted: a record it would refuse
    // fails the load here.
    if (PkgPutCheck(n, &rec)) return Bad();
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
    if (!InCoord(rec.x) || !InCoord(rec.y)) return Bad();
    if (CompCount() >= kCompMax) return Bad();
    int32_t c = CompAdd();
    rec.name = ld.pending[0];
    rec.value32 = names > 1 ? int32_t(ld.pending[1]) : 0;
    rec.flags = uint16_t(rec.flags & ~0x40);
    if (CompPutCheck(c, &rec)) return Bad();
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
        if (ColorCount() >= kColorMax) return Bad();
        n = ColorAdd();
    }
    if (ColorPutCheck(n, &e)) return Bad();
    ColorPut(n, &e);
    return true;
}

// An attribute's name is its value 1: always for the kinds that keep a name
// there (alternate footprints, gate assignments), whose name the writer
// gives every time; for other kinds an empty name keeps the value read.
bool LoadAttribute(Loader& ld, const uint8_t* buf) {
    Attribute a;
    std::memcpy(&a, buf, sizeof a);
    NameId name = OneName(ld);
    if (name || AttrHoldsName(a.kind)) a.value1 = int32_t(name);
    if (AttrPutCheck(&a)) return Bad();
    AttrPut(&a);
    return true;
}

bool LoadTable23(Loader& ld, const uint8_t* buf) {
    if (!ld.pending.empty()) ++ld.nameMismatches; // it takes no name
    Table23 t;
    std::memcpy(&t, buf, sizeof t);
    if (Table23Count() >= kTable23Max) return Bad();
    int32_t n = Table23Add();
    if (Table23PutCheck(n, &t)) return Bad();
    Table23Put(n, &t);
    return true;
}

bool LoadPlaceStrategy(const uint8_t* buf) {
    PlaceStrategy p;
    std::memcpy(&p, buf, sizeof p);
    if (PlaceStratPutCheck(&p)) return Bad();
    PlaceStratPut(&p);
    return true;
}

bool LoadNet(Loader& ld, const uint8_t* buf) {
    Net rec;
    std::memcpy(&rec, buf, sizeof rec);
    if (NetCount() >= kNetMax) return Bad();
    int32_t n = NetAdd();
    rec.name = OneName(ld);
    if (NetPutCheck(n, &rec)) return Bad();
    NetPut(n, &rec);
    return true;
}

bool LoadConn(uint8_t* buf) {
    Conn& rec = *reinterpret_cast<Conn*>(buf);
    ConnHead& h = rec.head;
    if (h.count < 0 || h.count > kConnMaxCorners) return Bad();
    if (h.net < 1 || h.net > NetCount()) return Bad();
    if (h.fromComp < 0 || h.fromComp > CompCount() || h.toComp < 0 || h.toComp > CompCount())
        return Bad();
    for (int32_t i = 0; i < h.count; ++i) {
        if (rec.crn[i].layer > LayerCount() || rec.crn[i].via > DbHdr().viaCount) return Bad();
        rec.crn[i].flags = uint8_t(rec.crn[i].flags & ~kCrnLatched);
    }
    // The latch is a mark of the latched-path tool and goes, except on arcs:
    // the start, centre and end of an arc stay latched.
    for (int32_t i = 1; i + 1 < h.count; ++i)
        if (rec.crn[i].flags & kCrnArc)
            for (int32_t j = i - 1; j <= i + 1; ++j)
                rec.crn[j].flags = uint8_t(rec.crn[j].flags | kCrnLatched);
    // A connection without its corners takes them from its end pins, and
    // every end on a component is put onto its pin: the pins must exist.
    for (int32_t e = 0; e < 2; ++e) {
        int32_t c = e ? h.toComp : h.fromComp;
        int32_t pin = e ? h.toPin : h.fromPin;
        if (c < 1) {
            if (!DbIsTrusted() && h.count < 2) return Bad();
            continue;
        }
        const Component* comp = CompRef(c);
        if (comp->symbol < 1 || pin < 1 || pin > SymPinCount(comp->symbol)) return Bad();
    }
    if (ConnCount() >= kConnMax) return Bad();
    int32_t n = ConnAdd();
    if (ConnPutCheck(n, &rec)) return Bad();
    ConnPut(n, &rec);
    return true;
}

// The owner of an obstacle or a text: minus a component, the board or a
// symbol.
bool OwnerFits(int32_t owner) {
    return owner >= -CompCount() && owner <= SymCount();
}

// An obstacle's width and points within the coordinate limit.
bool ObsValuesFit(const Obstacle& rec) {
    if (!InCoord(rec.head.width)) return false;
    for (int32_t i = 0; i < rec.head.count && i < kMaxPoints; ++i)
        if (!InCoord(rec.pt[i].x) || !InCoord(rec.pt[i].y)) return false;
    return true;
}

bool LoadObstacle(Loader& ld, uint8_t* buf) {
    Obstacle& rec = *reinterpret_cast<Obstacle*>(buf);
    ObsHead& h = rec.head;
    if (h.count < 1 || h.count > kObsMaxPoints) return Bad();
    if (h.layer > LayerCount() || !OwnerFits(h.owner)) return Bad();
    if (h.net < kObsNoNet || h.net > NetCount()) return Bad();
    // The rules the store applies to every obstacle.
    if (h.width < 0 || (h.layer == 0 && h.net == 0)) return Bad();
    if (!ObsValuesFit(rec)) return Bad();
    if (h.flags & kObsPourFlag) h.kind = kObsCopperPour;
    if (ObsCount() >= kObsMax) return Bad();
    int32_t o = ObsAppend();
    h.name = OneName(ld);
    if (ObsPutCheck(o, &rec)) return Bad();
    ObsPut(o, &rec);
    return true;
}

// A text's position and sizes within the coordinate limit, ratio and
// angle within their ranges.
bool TextValuesFit(const BoardText& rec) {
    if (!InCoord(rec.x) || !InCoord(rec.y)) return false;
    for (int32_t v : {rec.width, rec.height, rec.r})
        if (v < 0 || !InCoord(v)) return false;
    if (rec.ratio < 1 || rec.ratio > 1000) return false;
    return rec.value50 >= 0 && rec.value50 <= kAngFullTurn;
}

bool LoadText(Loader& ld, const uint8_t* buf) {
    BoardText rec;
    std::memcpy(&rec, buf, sizeof rec);
    if (!std::memchr(rec.text, 0, sizeof rec.text)) return Bad();
    if (rec.kind > kTextMaxKind || rec.layer > LayerCount() || !OwnerFits(rec.owner)) return Bad();
    if (!TextValuesFit(rec)) return Bad();
    if (TextCount() >= kTextMax) return Bad();
    int32_t t = TextAdd();
    rec.name = OneName(ld);
    if (TextPutCheck(t, &rec)) return Bad();
    TextPut(t, &rec);
    return true;
}

bool LoadNote(const uint8_t* buf, int32_t size) {
    if (size > kTextChars) return Bad();
    return NoteAdd(reinterpret_cast<const char*>(buf)) != 0 || Bad();
}

// A plot report's name fields take the names before it in order; a field
// no name was given for keeps its value, except a name stored in the
// string table of the writing session, which points nowhere and is
// cleared.
bool LoadPlotReport(Loader& ld, const uint8_t* buf) {
    size_t names = ld.pending.size();
    if (names < 1 || names > size_t(kReportNames)) return Bad();
    if (ReportCount() >= kReportMax) return Bad();
    PlotReport rec;
    std::memcpy(&rec, buf, sizeof rec);
    for (int32_t i = 0; i < kReportNames; ++i)
        if (size_t(i) < names)
            ReportNameSet(&rec, i, ld.pending[size_t(i)]);
        else if (IsStoredName(ReportNameGet(&rec, i)))
            ReportNameSet(&rec, i, 0);
    int32_t n = ReportAdd();
    if (ReportPutCheck(n, &rec)) return Bad();
    ReportPut(n, &rec);
    return true;
}

bool LoadMarker(const uint8_t* buf) {
    ErrorMarker rec;
    std::memcpy(&rec, buf, sizeof rec);
    if (!InCoord(rec.x) || !InCoord(rec.y)) return Bad();
    if (MarkerCount() >= kMarkerMax) return Bad();
    int32_t n = MarkerAdd();
    if (MarkerPutCheck(n, &rec)) return Bad();
    MarkerPut(n, &rec);
    return true;
}

// After a whole load: a net stored as given with its required-layer flag
// has the attribute that flag stands for.
bool NetsFit() {
    for (int32_t n = 1; n <= NetCount(); ++n)
        if (!NetReqLayerFits(n)) return Bad();
    return true;
}

// Every thru code keeps its shape rules on every layer of the loaded
// design, so no pad of an unknown shape reaches the pad geometry.
bool ThruCodesFit() {
    auto rec = std::make_unique<ThruCode>();
    // The shape rules apply to a design saved whole too: it is trusted for
    // order, not for values.
    const bool trusted = DbSetTrusted(false);
    bool fits = true;
    for (int32_t t = 1; t <= ThruCount() && fits; ++t) {
        ThruGet(t, rec.get());
        fits = ThruPutCheck(t, rec.get()) == 0;
    }
    DbSetTrusted(trusted);
    return fits || Bad();
}

bool ClearsPending(int32_t type) {
    return type == kRecHeader || (type >= kRecLayer && type <= kRecNet) || type == kRecObstacle ||
           type == kRecBoardText || (type >= kRecColorEntry && type <= kRecErrorMarker) ||
           type == kRecTable23;
}

// One record read: true to go on, false when the load fails.
bool Handle(Loader& ld, int32_t type, uint8_t* buf, int32_t size) {
    if (type == kRecFileHeader) return Bad();
    if (type == kRecNameString) {
        const char* text = reinterpret_cast<const char*>(buf);
        if (size > kTextChars || ld.pending.size() >= size_t(kMaxPending)) return Bad();
        // A full name table fails the load.
        if (!NameFits(text)) return Bad();
        ld.pending.push_back(NameIntern(text));
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
        if (f & kLoadOther) ok = LoadTable23(ld, buf);
        break;
    case kRecPlaceStrategy:
        if (f & kLoadStrategy) ok = LoadPlaceStrategy(buf);
        break;
    case kRecNet:
        if (f & kLoadNets) ok = LoadNet(ld, buf);
        break;
    case kRecConn:
        if (f & kLoadNets) ok = LoadConn(buf);
        break;
    case kRecObstacle:
        if (f & kLoadObstacles) ok = LoadObstacle(ld, buf);
        break;
    case kRecBoardText:
        if (f & kLoadTexts) ok = LoadText(ld, buf);
        break;
    case kRecNote:
        if (f & kLoadOther) ok = LoadNote(buf, size);
        break;
    case kRecPlotReport:
        if (f & kLoadOther) ok = LoadPlotReport(ld, buf);
        break;
    case kRecErrorMarker:
        if (f & kLoadOther) ok = LoadMarker(buf);
        break;
    default:
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

void WritePlaceStrategy() {
    PlaceStrategy p;
    PlaceStratGet(&p);
    BinWriteRec(kRecPlaceStrategy, &p);
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

// Whether a whole load takes back what WriteDesign would write: the
// header, and every record value the loader checks, by the loader's own
// checks (connections by their table's rules for a record stored as given).
bool DesignFits(uint8_t* scratch) {
    DbHeader h;
    DbGetHeader(&h);
    if (!HeaderFits(h)) return false;
    for (int32_t t = 1; t <= ThruCount(); ++t) {
        ThruCode& tc = *reinterpret_cast<ThruCode*>(scratch);
        ThruGet(t, &tc);
        if (!PadsInRange(tc)) return false;
    }
    for (int32_t n = 1; n <= SymCount(); ++n) {
        Symbol& sym = *reinterpret_cast<Symbol*>(scratch);
        SymGet(n, &sym);
        if (!PinsInRange(sym)) return false;
    }
    for (int32_t c = 1; c <= CompCount(); ++c)
        if (!InCoord(CompRef(c)->x) || !InCoord(CompRef(c)->y)) return false;
    {
        DbTrustedScope trusted;
        for (int32_t n = 1; n <= ConnCount(); ++n)
            if (const Conn* conn = ConnRef(n))
                if (ConnPutCheck(n, conn)) return false;
    }
    for (int32_t o = 1; o <= ObsCount(); ++o)
        if (const Obstacle* obs = ObsRef(o))
            if (!ObsValuesFit(*obs)) return false;
    for (int32_t t = 1; t <= TextCount(); ++t)
        if (const BoardText* text = TextRef(t))
            if (!TextValuesFit(*text)) return false;
    for (int32_t n = 1; n <= MarkerCount(); ++n) {
        ErrorMarker m;
        MarkerGet(n, &m);
        if (!InCoord(m.x) || !InCoord(m.y)) return false;
    }
    for (int32_t n = 1; n <= ColorCount(); ++n) {
        ColorEntry e;
        ColorGet(n, &e);
        if (ColorPutCheck(n, &e)) return false;
    }
    for (int32_t n = 1; n <= ReportCount(); ++n) {
        PlotReport rep;
        ReportGet(n, &rep);
        if (ReportPutCheck(n, &rep)) return false;
    }
    Attribute a;
    AttrScanStart(0, 0, 0, 0);
    while (AttrScanNext(&a))
        if (AttrPutCheck(&a)) return false;
    return true;
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
    WritePlaceStrategy();
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
    for (int32_t n = 1; n <= NetCount(); ++n) {
        Net net;
        NetGet(n, &net);
        WriteName(net.name);
        BinWriteRec(kRecNet, &net);
    }
    for (int32_t n = 1; n <= ConnCount(); ++n) {
        Conn& conn = *reinterpret_cast<Conn*>(scratch);
        if (ConnGet(n, &conn)) BinWriteRec(kRecConn, &conn);
    }
    for (int32_t o = 1; o <= ObsCount(); ++o) {
        const Obstacle* obs = ObsRef(o);
        if (!obs) continue;
        WriteName(obs->head.name);
        BinWriteRec(kRecObstacle, obs);
    }
    // Every text after its name, board and owned texts alike.
    for (int32_t t = 1; t <= TextCount(); ++t) {
        const BoardText* text = TextRef(t);
        if (!text) continue;
        WriteName(text->name);
        BinWriteRec(kRecBoardText, text);
    }
    for (int32_t n = 1; n <= NoteCount(); ++n) {
        char note[kTextChars];
        NoteGet(n, note);
        BinWriteRec(kRecNote, note);
    }
    WriteColors();
    for (int32_t n = 1; n <= ReportCount(); ++n) {
        PlotReport rep;
        ReportGet(n, &rep);
        for (int32_t i = 0; i < kReportNames; ++i)
            WriteName(ReportNameGet(&rep, i));
        BinWriteRec(kRecPlotReport, &rep);
    }
    for (int32_t n = 1; n <= Table23Count(); ++n) {
        Table23 t;
        Table23Get(n, &t);
        BinWriteRec(kRecTable23, &t);
    }
    Attribute a;
    AttrScanStart(0, 0, 0, 0);
    while (AttrScanNext(&a)) {
        WriteName(AttrHoldsName(a.kind) ? NameId(a.value1) : 0);
        BinWriteRec(kRecAttribute, &a);
    }
    for (int32_t n = 1; n <= MarkerCount(); ++n) {
        ErrorMarker m;
        MarkerGet(n, &m);
        BinWriteRec(kRecErrorMarker, &m);
    }
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
                    ok = ld.merge ? StoreMergedSweeps(ld) : NetsFit() && ThruCodesFit();
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
    h.valid = 1;
    // A file of sub-version 48 kept the symbols' texts with the symbols
    // only: each component takes its own copies.
    if (!ld.merge && BinSubVersion() == 48)
        for (int32_t c = 1; c <= CompCount(); ++c)
            CompTextsFromSym(c);
    if (ld.nameMismatches > 0) {
        char line[kFileSpecNameSize + 64];
        std::snprintf(line, sizeof line, "%ld records with a wrong number of names in file %s",
                      long(ld.nameMismatches), file->name);
        LogAppend("*** Warning: ", line);
    }
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
    // A design the loader would refuse is not written: the old file stays.
    if (whole && !DesignFits(scratch)) {
        LogAppend("Error writing to file:", file->name);
        char text[sizeof file->name + 32];
        std::snprintf(text, sizeof text, "Error writing to file: %s", file->name);
        AlertMessage(text);
        ScratchPop(scratch);
        return false;
    }
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
        WritePlaceStrategy();
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
