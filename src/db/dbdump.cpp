// The canonical dump and the field descriptions of the record images.
#include "db/dbdump.h"

#include <algorithm>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <tuple>

#include "db/attrs.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/layers.h"
#include "db/markers.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/packages.h"
#include "db/placestrat.h"
#include "db/plotrep.h"
#include "db/records.h"
#include "db/sweeps.h"
#include "db/symbols.h"
#include "db/table23.h"
#include "db/texts.h"
#include "db/thru.h"

namespace {

// clang-format off
#define F(name, off, kind, count) {name, off, kind, count, kRefNone, 0}
#define R(name, off, kind, ref) {name, off, kind, 1, ref, 0}
#define V(name, off, kind) {name, off, kind, 1, kRefNone, kFieldVolatile}
#define ID(name, off) {name, off, kFieldI32, 1, kRefNone, kFieldRecordId}

const DbField kHeader[] = {
    F("name", 0, kFieldText, 64), F("unitSize", 64, kFieldF64, 1),
    F("userUnit", 72, kFieldI32, 1), F("connGrid", 76, kFieldI32, 1),
    F("routeGrid", 80, kFieldI32, 1), F("fourthGrid", 84, kFieldI32, 1),
    F("grid88", 88, kFieldI32, 1), F("grid92", 92, kFieldI32, 1),
    F("grid2X", 96, kFieldI32, 1), F("grid2Y", 100, kFieldI32, 1),
    F("grid3X", 104, kFieldI32, 1), F("grid3Y", 108, kFieldI32, 1),
    F("originX", 112, kFieldI32, 1), F("originY", 116, kFieldI32, 1),
    F("flags", 120, kFieldU16, 1), F("backupMinutes", 122, kFieldI16, 1),
    F("noteCount", 124, kFieldI16, 1), F("count126", 126, kFieldI16, 1),
    F("layerCount", 128, kFieldI16, 1), F("viaCount", 130, kFieldI16, 1),
    F("thruCount", 132, kFieldI16, 1), F("symbolCount", 134, kFieldI16, 1),
    F("compCount", 136, kFieldI16, 1), F("netCount", 138, kFieldI16, 1),
    F("connCount", 140, kFieldI16, 1), F("obsCount", 142, kFieldI16, 1),
    F("textCount", 144, kFieldI16, 1), F("pkgCount", 146, kFieldI16, 1),
    F("colorCount", 148, kFieldI16, 1), F("reportCount", 150, kFieldI16, 1),
    F("markerCount", 152, kFieldI16, 1), F("table23Count", 154, kFieldI16, 1),
    V("extMinX", 156, kFieldI32), V("extMinY", 160, kFieldI32),
    V("extMaxX", 164, kFieldI32), V("extMaxY", 168, kFieldI32),
    F("offsetX", 172, kFieldI32, 1), F("offsetY", 176, kFieldI32, 1),
    F("dispMinX", 180, kFieldI32, 1), F("dispMaxX", 184, kFieldI32, 1),
    F("dispMinY", 188, kFieldI32, 1), F("dispMaxY", 192, kFieldI32, 1),
    F("centreX", 196, kFieldI32, 1), F("centreY", 200, kFieldI32, 1),
    F("height", 204, kFieldI32, 1), F("width", 208, kFieldI32, 1),
    F("value212", 212, kFieldI32, 4), F("timeUsed", 228, kFieldI32, 1),
    V("sweep", 232, kFieldU8), F("byte233", 233, kFieldU8, 1),
    F("backupEachSweep", 234, kFieldI16, 1), V("valid", 236, kFieldI16),
    V("modified", 238, kFieldI16), F("value240", 240, kFieldI32, 1),
    V("savedWhole", 244, kFieldU32), F("scale", 248, kFieldF64, 1),
    F("dispUserUnit", 256, kFieldI32, 1), F("unitKind", 260, kFieldU8, 1),
    F("digits", 261, kFieldU8, 3), ID("recordId", 264),
    F("word268", 268, kFieldI16, 1), F("word270", 270, kFieldI16, 1),
    F("value272", 272, kFieldI32, 1), F("value276", 276, kFieldI32, 1),
    F("byte280", 280, kFieldU8, 1), F("viaNameCount", 281, kFieldU8, 1),
    F("value282", 282, kFieldI32, 1), F("value286", 286, kFieldI32, 1),
    F("bytes290", 290, kFieldHex, 8),
    F("word634", 634, kFieldU16, 1), F("value636", 636, kFieldI32, 1),
    F("rest", 640, kFieldHex, 94),
};
const DbField kViaName[] = {
    F("name1", 0, kFieldName, 1), F("value", 4, kFieldI32, 1), F("name3", 8, kFieldName, 1),
    F("word", 12, kFieldU16, 1), F("spare", 14, kFieldHex, 2),
};
const DbField kSweep[] = {
    F("name", 0, kFieldText, 32), F("diagonal", 32, kFieldI16, 1),
    F("passFlags", 34, kFieldU16, 5), F("via", 44, kFieldU8, 5), F("retry", 49, kFieldU8, 5),
    F("limit", 54, kFieldU8, 5), F("attempts", 59, kFieldU8, 5),
    F("layerCount", 64, kFieldI16, 1), F("usedLayers", 66, kFieldI16, 1),
    F("enable", 68, kFieldU8, 31), F("dir", 99, kFieldU8, 31), F("cost", 130, kFieldU8, 31),
    F("between", 161, kFieldU8, 31), F("box", 192, kFieldI16, 4),
    F("boxPercent", 200, kFieldU8, 2), F("word202", 202, kFieldI16, 1),
    F("backColor", 204, kFieldI32, 1), F("edgeColor", 208, kFieldI32, 1),
    F("primary", 212, kFieldU8, 1), F("secondary", 213, kFieldU8, 1),
    F("curPrimary", 214, kFieldU8, 1), F("curSecondary", 215, kFieldU8, 1),
    F("compOutlineColor", 216, kFieldI32, 1), F("compNameColor", 220, kFieldI32, 1),
    F("value224", 224, kFieldI32, 1),
};
const DbField kPlaceStrategy[] = {
    F("actions", 0, kFieldU16, 12), F("states", 24, kFieldU16, 12),
    F("iterations", 48, kFieldI16, 12), F("attempts", 72, kFieldI16, 12),
    F("clusters", 96, kFieldI16, 12), F("box", 120, kFieldI32, 4),
    F("byte136", 136, kFieldU8, 1), F("byte137", 137, kFieldU8, 1),
    F("word138", 138, kFieldU16, 1), F("value140", 140, kFieldI32, 1),
    F("value144", 144, kFieldI32, 1),
};
const DbField kLayer[] = {
    F("name", 0, kFieldName, 1), F("shortName", 4, kFieldName, 1),
    F("className", 8, kFieldName, 1), ID("recordId", 12), F("spacing", 16, kFieldI32, 7),
    F("reserved", 44, kFieldI32, 2), F("flags", 52, kFieldU16, 1), F("mirror", 54, kFieldU8, 1),
    F("spare", 55, kFieldU8, 1),
};
const DbField kThruHead[] = {
    F("name", 0, kFieldName, 1), ID("recordId", 4), F("word8", 8, kFieldI16, 1),
    F("word10", 10, kFieldI16, 1),
};
const DbField kThruLayer[] = {
    F("rotation", 0, kFieldI16, 1), F("flags", 2, kFieldU8, 1), F("shapeCount", 3, kFieldU8, 1),
};
const DbField kPadShape[] = {
    F("x", 0, kFieldI32, 1), F("y", 4, kFieldI32, 1), F("ext", 8, kFieldI32, 4),
    F("code", 24, kFieldU8, 1), F("spare", 25, kFieldU8, 1),
};
const DbField kSymbolInfo[] = {
    F("name", 0, kFieldName, 1), ID("recordId", 4), F("pinCount", 8, kFieldI16, 1),
    F("byte10", 10, kFieldU8, 1), F("byte11", 11, kFieldU8, 1), F("word12", 12, kFieldI16, 1),
    F("word14", 14, kFieldI16, 1), F("value", 16, kFieldI32, 4),
};
const DbField kSymbolPin[] = {
    F("name", 0, kFieldName, 1), F("x", 4, kFieldI32, 1), F("y", 8, kFieldI32, 1),
    R("thru", 12, kFieldI16, kRefThru), F("word", 14, kFieldI16, 1),
};
const DbField kPackageInfo[] = {
    F("name", 0, kFieldName, 1), ID("recordId", 4), F("pinCount", 8, kFieldI16, 1),
    F("word", 10, kFieldI16, 1), F("pad", 12, kFieldHex, 4),
};
const DbField kPackagePin[] = {
    F("name", 0, kFieldName, 1), F("name2", 4, kFieldName, 1), F("value", 8, kFieldI16, 1),
    F("byte10", 10, kFieldU8, 1), F("code", 11, kFieldU8, 1), F("value12", 12, kFieldI32, 1),
};
const DbField kComponent[] = {
    F("name", 0, kFieldName, 1), ID("recordId", 4), F("minX", 8, kFieldI32, 1),
    F("minY", 12, kFieldI32, 1), F("maxX", 16, kFieldI32, 1), F("maxY", 20, kFieldI32, 1),
    F("x", 24, kFieldI32, 1), F("y", 28, kFieldI32, 1), F("name2", 32, kFieldName, 1),
    F("flags", 36, kFieldU16, 1), R("symbol", 38, kFieldI16, kRefSymbol),
    F("word40", 40, kFieldI16, 1), R("compRef", 42, kFieldI16, kRefComp),
    F("angle", 44, kFieldI16, 1), R("otherSymbol", 46, kFieldI16, kRefSymbol),
    R("package", 48, kFieldI16, kRefPackage), F("byte50", 50, kFieldU8, 1),
    F("byte51", 51, kFieldU8, 1), F("value52", 52, kFieldI32, 1),
};
const DbField kNet[] = {
    F("name", 0, kFieldName, 1), ID("recordId", 4), F("value8", 8, kFieldI32, 1),
    F("netLevel", 12, kFieldI32, 1), F("minWidth", 16, kFieldU16, 1),
    F("width", 18, kFieldU16, 1), F("maxWidth", 20, kFieldU16, 1), F("word22", 22, kFieldU16, 1),
    F("weight", 24, kFieldU8, 1), F("netType", 25, kFieldU8, 1), F("flags", 26, kFieldU16, 1),
};
const DbField kConnHead[] = {
    F("minX", 0, kFieldI32, 1), F("minY", 4, kFieldI32, 1), F("maxX", 8, kFieldI32, 1),
    F("maxY", 12, kFieldI32, 1), F("spare", 16, kFieldI32, 1),
    R("fromComp", 20, kFieldI16, kRefComp), R("toComp", 22, kFieldI16, kRefComp),
    F("fromPin", 24, kFieldI16, 1), F("toPin", 26, kFieldI16, 1),
    R("net", 28, kFieldI16, kRefNet), F("flags", 30, kFieldU16, 1),
    F("spareWord", 32, kFieldU16, 1), F("count", 34, kFieldI16, 1),
};
const DbField kCorner[] = {
    F("x", 0, kFieldI32, 1), F("y", 4, kFieldI32, 1), F("width", 8, kFieldU16, 1),
    F("layer", 10, kFieldU8, 1), F("flags", 11, kFieldU8, 1), R("via", 12, kFieldU8, kRefThru),
    F("spare", 13, kFieldU8, 1),
};
const DbField kObsHead[] = {
    F("name", 0, kFieldName, 1), ID("recordId", 4), F("minX", 8, kFieldI32, 1),
    F("minY", 12, kFieldI32, 1), F("maxX", 16, kFieldI32, 1), F("maxY", 20, kFieldI32, 1),
    F("width", 24, kFieldI32, 1), F("value28", 28, kFieldI32, 1), F("layer", 32, kFieldU8, 1),
    F("kind", 33, kFieldU8, 1), F("byte34", 34, kFieldU8, 1), F("byte35", 35, kFieldU8, 1),
    F("flags", 36, kFieldU16, 1), R("net", 38, kFieldI16, kRefNet),
    R("owner", 40, kFieldI16, kRefOwner), F("word42", 42, kFieldI16, 1),
    F("word44", 44, kFieldI16, 1), F("count", 46, kFieldI16, 1),
};
const DbField kObsPoint[] = {
    F("x", 0, kFieldI32, 1), F("y", 4, kFieldI32, 1), F("flags", 8, kFieldU16, 1),
    F("width", 10, kFieldI16, 1),
};
const DbField kBoardText[] = {
    F("name", 0, kFieldName, 1), ID("recordId", 4), F("minX", 8, kFieldI32, 1),
    F("minY", 12, kFieldI32, 1), F("maxX", 16, kFieldI32, 1), F("maxY", 20, kFieldI32, 1),
    F("width", 24, kFieldI32, 1), F("height", 28, kFieldI32, 1), F("x", 32, kFieldI32, 1),
    F("y", 36, kFieldI32, 1), F("r", 40, kFieldI32, 1), F("angle", 44, kFieldI16, 1),
    R("owner", 46, kFieldI16, kRefOwner), F("ratio", 48, kFieldI16, 1),
    F("value50", 50, kFieldI16, 1), F("layer", 52, kFieldU8, 1), F("kind", 53, kFieldU8, 1),
    F("flags", 54, kFieldU8, 1), F("text", 55, kFieldText, 101),
};
const DbField kColorEntry[] = {
    F("kind", 0, kFieldU8, 1), F("subKind", 1, kFieldU8, 1), F("layer", 2, kFieldU8, 1),
    F("spare", 3, kFieldU8, 1), F("value", 4, kFieldI32, 1), F("color", 8, kFieldI32, 1),
};
const DbField kAttribute[] = {
    F("kind", 0, kFieldU8, 1), F("key1Type", 1, kFieldU8, 1), F("key2Type", 2, kFieldU8, 1),
    F("byte3", 3, kFieldU8, 1), F("key1", 4, kFieldI16, 1), F("key2", 6, kFieldI16, 1),
    F("value1", 8, kFieldI32, 1), F("value2", 12, kFieldI32, 1), F("value3", 16, kFieldI32, 1),
};
// A plot report's four name fields are the 32-bit values at 0, 4, 8 and 16.
const DbField kPlotReport[] = {
    F("name", 0, kFieldName, 1), F("name2", 4, kFieldName, 1), F("name3", 8, kFieldName, 1),
    F("word12", 12, kFieldI16, 1), F("word14", 14, kFieldI16, 1), F("name4", 16, kFieldName, 1),
    F("value20", 20, kFieldI32, 2), F("word28", 28, kFieldI16, 5), F("bytes38", 38, kFieldHex, 28),
    F("word66", 66, kFieldI16, 1),
};
const DbField kErrorMarker[] = {
    F("x", 0, kFieldI32, 1), F("y", 4, kFieldI32, 1),
    {"id1", 8, kFieldI32, 1, kRefNone, kFieldRecordId},
    {"id2", 12, kFieldI32, 1, kRefNone, kFieldRecordId}, F("sub1", 16, kFieldI16, 1),
    F("sub2", 18, kFieldI16, 1), F("kind1", 20, kFieldU8, 1), F("kind2", 21, kFieldU8, 1),
    F("type", 22, kFieldU8, 1), F("layer", 23, kFieldU8, 1), F("flags", 24, kFieldU8, 1),
    F("bytes25", 25, kFieldHex, 3), F("value", 28, kFieldI32, 3),
};
const DbField kTable23[] = {
    F("value", 0, kFieldU16, 1), F("byte2", 2, kFieldU8, 1), F("byte3", 3, kFieldU8, 1),
    F("value4", 4, kFieldI32, 1), F("value8", 8, kFieldI32, 1), F("word12", 12, kFieldI16, 1),
    F("word14", 14, kFieldI16, 1),
};
#undef F
#undef R
#undef V
#undef ID

#define L(rec, arr, size) {rec, arr, int32_t(sizeof arr / sizeof arr[0]), size}
const DbFieldList kLists[kPartCount] = {
    L("Header", kHeader, 734), L("ViaName", kViaName, 16), L("Sweep", kSweep, 228),
    L("PlaceStrategy", kPlaceStrategy, 148), L("Layer", kLayer, 56),
    L("ThruCode", kThruHead, 12), L("ThruLayer", kThruLayer, 4), L("PadShape", kPadShape, 26),
    L("Symbol", kSymbolInfo, 32), L("Pin", kSymbolPin, 16), L("Package", kPackageInfo, 16),
    L("PackagePin", kPackagePin, 16), L("Component", kComponent, 56), L("Net", kNet, 28),
    L("Conn", kConnHead, 36), L("Corner", kCorner, 14), L("Obstacle", kObsHead, 48),
    L("Point", kObsPoint, 12), L("Text", kBoardText, 156), L("Color", kColorEntry, 12),
    L("Attribute", kAttribute, 20), L("PlotReport", kPlotReport, 68),
    L("Marker", kErrorMarker, 40), L("Table23", kTable23, 16),
};
#undef L
// clang-format on

int32_t FieldWidth(char kind) {
    switch (kind) {
    case kFieldI32:
    case kFieldU32:
    case kFieldName:
        return 4;
    case kFieldI16:
    case kFieldU16:
        return 2;
    case kFieldF64:
        return 8;
    default:
        return 1;
    }
}

// ---- printing --------------------------------------------------------------

struct Printer {
    const DbDumpOptions& opt;
    std::string& out;
};

void Append(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& out, const char* format, ...) {
    char buf[512];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    out += buf;
}

void AppendQuoted(std::string& out, const char* text, size_t max) {
    out += '"';
    for (size_t i = 0; i < max && text[i]; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 32 || c > 126) {
            Append(out, "\\x%02X", c);
        } else {
            out += char(c);
        }
    }
    out += '"';
}

// A name id's text; an id that points nowhere in the string table prints as
// its value.
void AppendName(std::string& out, NameId id) {
    if (id > 65535u && !(id >> 24)) {
        int32_t page = int32_t(id >> 16) - 1;
        if (page > NameHighestPage() || int32_t(id & 0xFFFFu) >= NamePageUsed(page)) {
            Append(out, "#%08X", id);
            return;
        }
    }
    char text[kTextChars];
    NameToText(id, kNameMaxChars, text);
    AppendQuoted(out, text, sizeof text);
}

bool Omitted(const DbDumpOptions& opt, const char* record, const char* field) {
    for (const std::string& o : opt.omit) {
        size_t dot = o.find('.');
        if (dot == std::string::npos) {
            if (o == field) return true;
        } else if (o.compare(0, dot, record) == 0 && std::strlen(record) == dot &&
                   o.compare(dot + 1, std::string::npos, field) == 0) {
            return true;
        }
    }
    return false;
}

NameId NetNameOf(int32_t n) {
    if (n < 1 || n > NetCount()) return 0;
    return NetRef(n)->name;
}

// The name of a referenced record, when the reference names one.
bool RefName(uint8_t ref, int32_t v, NameId* name, const char** prefix) {
    *prefix = "";
    switch (ref) {
    case kRefComp:
        if (v < 1 || v > CompCount()) return false;
        *name = CompRef(v)->name;
        return true;
    case kRefSymbol: {
        if (v < 1 || v > SymCount()) return false;
        SymbolInfo info;
        SymInfoGet(v, &info);
        *name = info.name;
        return true;
    }
    case kRefThru:
        if (v < 1 || v > ThruCount()) return false;
        *name = ThruRef(v)->name;
        return true;
    case kRefPackage: {
        if (v < 1 || v > PkgCount()) return false;
        PackageInfo info;
        PkgInfoGet(v, &info);
        *name = info.name;
        return true;
    }
    case kRefNet:
        if (v < 1) return false;
        *name = NetNameOf(v);
        return *name != 0;
    case kRefOwner:
        if (v > 0) {
            *prefix = "symbol:";
            return RefName(kRefSymbol, v, name, prefix) && ((*prefix = "symbol:"), true);
        }
        if (v < 0) {
            *prefix = "comp:";
            return RefName(kRefComp, -v, name, prefix) && ((*prefix = "comp:"), true);
        }
        return false;
    default:
        return false;
    }
}

int64_t ReadValue(const uint8_t* p, char kind) {
    switch (kind) {
    case kFieldI32: {
        int32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    case kFieldU32:
    case kFieldName: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    case kFieldI16: {
        int16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    case kFieldU16: {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    default:
        return *p;
    }
}

void AppendFields(Printer& pr, DbPart part, const void* image, const char* prefix = "") {
    const DbFieldList& list = kLists[part];
    const uint8_t* base = static_cast<const uint8_t*>(image);
    for (int32_t i = 0; i < list.count; ++i) {
        const DbField& f = list.fields[i];
        if (f.flags & kFieldVolatile) continue;
        if ((f.flags & kFieldRecordId) && pr.opt.noRecordIds) continue;
        if (Omitted(pr.opt, list.record, f.name)) continue;
        const uint8_t* p = base + f.offset;
        Append(pr.out, " %s%s=", prefix, f.name);
        if (f.kind == kFieldText) {
            AppendQuoted(pr.out, reinterpret_cast<const char*>(p), f.count);
            continue;
        }
        if (f.kind == kFieldHex) {
            for (int32_t k = 0; k < f.count; ++k)
                Append(pr.out, "%02X", p[k]);
            continue;
        }
        int32_t width = FieldWidth(f.kind);
        for (int32_t k = 0; k < f.count; ++k, p += width) {
            if (k) pr.out += ',';
            if (f.kind == kFieldF64) {
                double d;
                std::memcpy(&d, p, 8);
                Append(pr.out, "%.17g", d);
                continue;
            }
            int64_t v = ReadValue(p, f.kind);
            if (f.kind == kFieldName) {
                AppendName(pr.out, NameId(v));
                continue;
            }
            NameId name;
            const char* refPrefix;
            if (f.ref && pr.opt.refsByName && RefName(f.ref, int32_t(v), &name, &refPrefix)) {
                pr.out += refPrefix;
                AppendName(pr.out, name);
                continue;
            }
            if (f.kind == kFieldU32)
                Append(pr.out, "0x%08" PRIX64, v);
            else
                Append(pr.out, "%" PRId64, v);
        }
    }
}

void DumpHeader(Printer& pr) {
    DbHeader h;
    DbGetHeader(&h);
    pr.out += "Header:";
    AppendFields(pr, kPartHeader, &h);
    pr.out += '\n';
    for (int32_t i = 0; i < kViaNameEntries; ++i) {
        Append(pr.out, "Header via %d:", i);
        AppendFields(pr, kPartViaName, &h.viaNames[i]);
        pr.out += '\n';
    }
}

void DumpSweeps(Printer& pr) {
    DbHeader& h = DbHdr();
    uint8_t keep = h.sweep;
    for (int32_t i = 0; i < kSweepCount; ++i) {
        h.sweep = uint8_t(i);
        Sweep s;
        SweepGet(&s);
        Append(pr.out, "Sweep %d:", i);
        AppendFields(pr, kPartSweep, &s);
        pr.out += '\n';
    }
    h.sweep = keep;
}

void DumpLayers(Printer& pr) {
    for (int32_t n = 0; n < kLayerSlots; ++n) {
        Append(pr.out, "Layer %d:", n);
        AppendFields(pr, kPartLayer, LayerRef(n));
        pr.out += '\n';
    }
}

void DumpThru(Printer& pr) {
    int32_t layers = LayerCount();
    for (int32_t t = 1; t <= ThruCount(); ++t) {
        const ThruCode* tc = ThruRef(t);
        Append(pr.out, "ThruCode %d:", t);
        AppendFields(pr, kPartThruHead, tc);
        pr.out += '\n';
        for (int32_t l = 0; l <= layers && l < kLayerSlots; ++l) {
            Append(pr.out, "ThruCode %d layer %d:", t, l);
            AppendFields(pr, kPartThruLayer, &tc->layer[l]);
            for (int32_t j = 0; j < kThruShapes; ++j) {
                char prefix[16];
                std::snprintf(prefix, sizeof prefix, "shape%d.", j);
                AppendFields(pr, kPartPadShape, &tc->layer[l].shape[j], prefix);
            }
            pr.out += '\n';
        }
    }
}

void DumpSymbols(Printer& pr) {
    for (int32_t s = 1; s <= SymCount(); ++s) {
        SymbolInfo info;
        SymInfoGet(s, &info);
        Append(pr.out, "Symbol %d:", s);
        AppendFields(pr, kPartSymbolInfo, &info);
        pr.out += '\n';
        for (int32_t p = 1; p <= SymPinCount(s); ++p) {
            Append(pr.out, "Symbol %d pin %d:", s, p);
            AppendFields(pr, kPartSymbolPin, SymPinRef(s, p));
            pr.out += '\n';
        }
    }
}

void DumpPackages(Printer& pr) {
    for (int32_t n = 1; n <= PkgCount(); ++n) {
        PackageInfo info;
        PkgInfoGet(n, &info);
        Append(pr.out, "Package %d:", n);
        uint8_t image[16] = {};
        std::memcpy(image, &info, sizeof info);
        AppendFields(pr, kPartPackageInfo, image);
        pr.out += '\n';
        for (int32_t p = 1; p <= PkgPinCount(n); ++p) {
            PackagePin pin;
            PkgPinGet(n, p, &pin);
            Append(pr.out, "Package %d pin %d:", n, p);
            AppendFields(pr, kPartPackagePin, &pin);
            pr.out += '\n';
        }
    }
}

void DumpComponents(Printer& pr) {
    for (int32_t c = 1; c <= CompCount(); ++c) {
        Append(pr.out, "Component %d:", c);
        AppendFields(pr, kPartComponent, CompRef(c));
        pr.out += '\n';
    }
}

void DumpColors(Printer& pr) {
    for (int32_t n = 1; n <= ColorCount(); ++n) {
        ColorEntry e;
        ColorGet(n, &e);
        Append(pr.out, "Color %d:", n);
        AppendFields(pr, kPartColorEntry, &e);
        pr.out += '\n';
    }
}

// Attributes in the order of kind, key types and keys (their list order is
// not kept by a reload). The value 1 of kinds 1 and 3 is a name.
void DumpAttributes(Printer& pr) {
    std::vector<Attribute> all;
    Attribute a;
    AttrScanStart(0, 0, 0, 0);
    while (AttrScanNext(&a))
        all.push_back(a);
    auto key = [](const Attribute& x) {
        return std::make_tuple(x.kind, x.key1Type, x.key2Type, x.key1, x.key2);
    };
    std::stable_sort(all.begin(), all.end(),
                     [&](const Attribute& x, const Attribute& y) { return key(x) < key(y); });
    std::vector<std::string> lines;
    for (const Attribute& x : all) {
        std::string line = "Attribute:";
        Printer lp{pr.opt, line};
        if (AttrHoldsName(x.kind)) {
            Attribute shown = x;
            shown.value1 = 0;
            DbDumpOptions o = pr.opt;
            o.omit.push_back("Attribute.value1");
            Printer np{o, line};
            AppendFields(np, kPartAttribute, &shown);
            if (!Omitted(pr.opt, "Attribute", "value1")) {
                line += " value1=";
                AppendName(line, NameId(x.value1));
            }
        } else {
            AppendFields(lp, kPartAttribute, &x);
        }
        line += '\n';
        lines.push_back(line);
    }
    for (const std::string& line : lines)
        pr.out += line;
}

void DumpPlaceStrategy(Printer& pr) {
    PlaceStrategy p;
    PlaceStratGet(&p);
    pr.out += "PlaceStrategy:";
    AppendFields(pr, kPartPlaceStrategy, &p);
    pr.out += '\n';
}

void DumpNets(Printer& pr) {
    for (int32_t n = 1; n <= NetCount(); ++n) {
        Append(pr.out, "Net %d:", n);
        AppendFields(pr, kPartNet, NetRef(n));
        pr.out += '\n';
    }
}

// One connection: its head, then its corners, on one line.
std::string ConnLine(Printer& pr, const Conn* c) {
    std::string line;
    Printer lp{pr.opt, line};
    AppendFields(lp, kPartConnHead, c);
    for (int32_t i = 0; i < c->head.count && i < kMaxCorners; ++i) {
        char prefix[24];
        std::snprintf(prefix, sizeof prefix, "c%d.", i);
        AppendFields(lp, kPartCorner, &c->crn[i], prefix);
    }
    return line;
}

void DumpConns(Printer& pr) {
    for (int32_t n = 1; n <= ConnCount(); ++n) {
        const Conn* c = ConnRef(n);
        Append(pr.out, "Conn %d:", n);
        if (c) pr.out += ConnLine(pr, c);
        pr.out += '\n';
    }
}

// Nets by name, each with its connections under it in the order of their
// printed form.
void DumpNetsByName(Printer& pr) {
    std::vector<std::pair<std::string, int32_t>> nets;
    for (int32_t n = 1; n <= NetCount(); ++n) {
        std::string name;
        AppendName(name, NetRef(n)->name);
        nets.push_back({name, n});
    }
    std::stable_sort(nets.begin(), nets.end());
    std::vector<std::vector<std::string>> conns(size_t(NetCount()) + 1);
    for (int32_t n = 1; n <= ConnCount(); ++n) {
        const Conn* c = ConnRef(n);
        if (!c) continue;
        int32_t net = c->head.net;
        if (net < 1 || net > NetCount()) net = 0;
        conns[size_t(net)].push_back(ConnLine(pr, c));
    }
    for (auto& entry : nets) {
        pr.out += "Net " + entry.first + ":";
        AppendFields(pr, kPartNet, NetRef(entry.second));
        pr.out += '\n';
        std::vector<std::string>& list = conns[size_t(entry.second)];
        std::sort(list.begin(), list.end());
        for (const std::string& line : list)
            pr.out += "  Conn:" + line + '\n';
    }
    for (const std::string& line : conns[0])
        pr.out += "Conn without net:" + line + '\n';
}

void DumpObstacles(Printer& pr) {
    for (int32_t o = 1; o <= ObsCount(); ++o) {
        const Obstacle* obs = ObsRef(o);
        Append(pr.out, "Obstacle %d:", o);
        if (obs) {
            AppendFields(pr, kPartObsHead, obs);
            for (int32_t i = 0; i < obs->head.count && i < kMaxPoints; ++i) {
                char prefix[24];
                std::snprintf(prefix, sizeof prefix, "p%d.", i);
                AppendFields(pr, kPartObsPoint, &obs->pt[i], prefix);
            }
        }
        pr.out += '\n';
    }
}

void DumpTexts(Printer& pr) {
    for (int32_t t = 1; t <= TextCount(); ++t) {
        const BoardText* text = TextRef(t);
        Append(pr.out, "Text %d:", t);
        if (text) AppendFields(pr, kPartBoardText, text);
        pr.out += '\n';
    }
}

void DumpNotes(Printer& pr) {
    for (int32_t n = 1; n <= NoteCount(); ++n) {
        char text[kTextChars];
        NoteGet(n, text);
        Append(pr.out, "Note %d: text=", n);
        AppendQuoted(pr.out, text, sizeof text);
        pr.out += '\n';
    }
}

void DumpReports(Printer& pr) {
    for (int32_t n = 1; n <= ReportCount(); ++n) {
        PlotReport rep;
        ReportGet(n, &rep);
        Append(pr.out, "PlotReport %d:", n);
        AppendFields(pr, kPartPlotReport, &rep);
        for (int32_t i = 0; i < 65; ++i) {
            char prefix[24];
            std::snprintf(prefix, sizeof prefix, "e%d.", i);
            AppendFields(pr, kPartColorEntry, &rep.entry[i], prefix);
        }
        pr.out += '\n';
    }
}

void DumpMarkers(Printer& pr) {
    for (int32_t n = 1; n <= MarkerCount(); ++n) {
        ErrorMarker m;
        MarkerGet(n, &m);
        Append(pr.out, "Marker %d:", n);
        AppendFields(pr, kPartErrorMarker, &m);
        pr.out += '\n';
    }
}

void DumpTable23(Printer& pr) {
    for (int32_t n = 1; n <= Table23Count(); ++n) {
        Table23 t;
        Table23Get(n, &t);
        Append(pr.out, "Table23 %d:", n);
        AppendFields(pr, kPartTable23, &t);
        pr.out += '\n';
    }
}

} // namespace

const DbFieldList& DbFieldsOf(DbPart part) {
    return kLists[part];
}

int32_t DbImagePieces(int32_t type, int32_t count, std::vector<DbImagePiece>& out) {
    out.clear();
    switch (type) {
    case kRecHeader:
        out.push_back({kPartHeader, 0});
        for (int32_t i = 0; i < kViaNameEntries; ++i)
            out.push_back({kPartViaName, 298 + 16 * i});
        return 734;
    case kRecSweep:
        out.push_back({kPartSweep, 0});
        return 228;
    case kRecPlaceStrategy:
        out.push_back({kPartPlaceStrategy, 0});
        return 148;
    case kRecLayer:
        out.push_back({kPartLayer, 0});
        return 56;
    case kRecThruCode:
        out.push_back({kPartThruHead, 0});
        for (int32_t l = 0; l <= count && l < kLayerSlots; ++l) {
            out.push_back({kPartThruLayer, 12 + 108 * l});
            for (int32_t j = 0; j < kThruShapes; ++j)
                out.push_back({kPartPadShape, 12 + 108 * l + 4 + 26 * j});
        }
        return ThruRecSizeFor(count);
    case kRecSymbol:
        out.push_back({kPartSymbolInfo, 0});
        for (int32_t i = 0; i <= count; ++i)
            out.push_back({kPartSymbolPin, 32 + 16 * i});
        return 48 + 16 * count;
    case kRecPackage:
        out.push_back({kPartPackageInfo, 0});
        for (int32_t i = 0; i <= count; ++i)
            out.push_back({kPartPackagePin, 16 + 16 * i});
        return 32 + 16 * count;
    case kRecComponent:
        out.push_back({kPartComponent, 0});
        return 56;
    case kRecNet:
        out.push_back({kPartNet, 0});
        return 28;
    case kRecConn:
        out.push_back({kPartConnHead, 0});
        for (int32_t i = 0; i < count; ++i)
            out.push_back({kPartCorner, 36 + 14 * i});
        return 36 + 14 * count;
    case kRecObstacle:
        out.push_back({kPartObsHead, 0});
        for (int32_t i = 0; i < count; ++i)
            out.push_back({kPartObsPoint, 48 + 12 * i});
        return 48 + 12 * count;
    case kRecBoardText:
        out.push_back({kPartBoardText, 0});
        return 156;
    case kRecColorEntry:
        out.push_back({kPartColorEntry, 0});
        return 12;
    case kRecAttribute:
        out.push_back({kPartAttribute, 0});
        return 20;
    case kRecPlotReport:
        out.push_back({kPartPlotReport, 0});
        for (int32_t i = 0; i < 65; ++i)
            out.push_back({kPartColorEntry, 68 + 12 * i});
        return 848;
    case kRecErrorMarker:
        out.push_back({kPartErrorMarker, 0});
        return 40;
    case kRecTable23:
        out.push_back({kPartTable23, 0});
        return 16;
    default:
        return 0;
    }
}

void DbDump(std::string& out, const DbDumpOptions& options) {
    Printer pr{options, out};
    DumpHeader(pr);
    DumpSweeps(pr);
    DumpPlaceStrategy(pr);
    DumpLayers(pr);
    DumpThru(pr);
    DumpSymbols(pr);
    DumpPackages(pr);
    DumpComponents(pr);
    if (options.netsByName) {
        DumpNetsByName(pr);
    } else {
        DumpNets(pr);
        DumpConns(pr);
    }
    DumpObstacles(pr);
    DumpTexts(pr);
    DumpNotes(pr);
    DumpColors(pr);
    DumpAttributes(pr);
    DumpReports(pr);
    DumpMarkers(pr);
    DumpTable23(pr);
}
