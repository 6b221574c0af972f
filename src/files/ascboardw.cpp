// The board sections of the ASCII database, write side (*NOTE, *COMP, *NET
// with its connections, *OBS, *TEXT), and the writer of the whole file.
//
// What the format does not carry, and so does not come back from a written
// file:
// - header fields other than those written (the inch factor is kept to 10
//   decimals), the origin, and the offset point: the file holds the
//   coordinates less the offset, and a file read back has offset 0;
// - sweep fields without a word (the word after the percentages, the bytes
//   after the directions, the third colour value), pass bits without a
//   word, per-layer entries above the layer count, a DONE pass without
//   ENABLE; placement pass 0 and the fields after the box; a new design's
//   box percentages (derived on reading);
// - layer 0, short and class names, layer flags other than 8, reserved
//   values, name case;
// - thru-code head words, flag bytes, layer 0, an odd round or square
//   width (halved), a layer without shape (read back as one UNDEF shape,
//   except vias);
// - symbol summary fields and pin words; package summary word, pin code
//   bytes and values;
// - a component's package, other-side symbol, flags other than 0x01 and
//   0x80, its kept values; lower-case component names (upper-cased) and
//   names that are not plain words;
// - net type (and the NORECON it derives), kept value and word, net flags
//   other than 0x01..0x08;
// - connection flags, spare fields, arc centres (an arc comes back as a
//   polyline through its centre), a via on the first or last corner, the
//   last corner's width and layer, a corner equal to the one before it,
//   the order of a net's connections;
// - obstacle names, flags and kept fields, kinds above 20 (become 20);
// - text names, flags other than the mirror bit, the 16-bit value, the
//   stored text of kinds 1..3 (written as the placeholder TextGet shows);
// - colours, attributes, plot reports, markers, Table23;
// - a double quote inside a text, note or name (written as ', the format
//   has no escape).
// Saving also sorts the net table by name.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "db/comps.h"
#include "db/conns.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/symbols.h"
#include "db/texts.h"
#include "files/ascint.h"
#include "files/ascout.h"
#include "files/ascshell.h"
#include "toolbox/core/byteorder.h"

namespace {

int32_t g_offX = 0, g_offY = 0;

// Appends to the shared line buffer.
void Append(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Append(const char* format, ...) {
    char* line = AscLineBuffer();
    size_t used = std::strlen(line);
    if (used + 1 >= size_t(kAscLineBytes)) return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(line + used, size_t(kAscLineBytes) - used, format, args);
    va_end(args);
}

// One connection end: comp.number, comp."name" or NODE.
void AppendEnd(const char* lead, int32_t comp, int32_t pin) {
    if (comp == 0) {
        Append("%sNODE", lead);
        return;
    }
    const Component* c = CompRef(comp);
    const char* pinName = "";
    if (c->symbol >= 1 && c->symbol <= SymCount() && pin >= 1 && pin <= SymPinCount(c->symbol))
        pinName = NameText(SymPinRef(c->symbol, pin)->name);
    if (AscPinNameIsNumber(pin, pinName)) {
        Append("%s%s.%d", lead, AscCompName(NameText(c->name)), int(pin));
    } else {
        Append("%s%s.\"%s\"", lead, AscCompName(NameText(c->name)), AscQuoted(pinName));
    }
}

void AppendFlags(uint8_t flags) {
    if (flags & kCrnLocked) Append(" LOCKED");
    if (flags & kCrnLatched) Append(" LATCHED");
}

} // namespace

void AscSetWriteOffset(int32_t x, int32_t y) {
    g_offX = x;
    g_offY = y;
}

bool AscPinNameIsNumber(int32_t pin, const char* name) {
    uint16_t value = 0;
    for (const char* p = name; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = uint16_t(value * 10u + uint16_t(*p - '0'));
    }
    return value == uint16_t(pin);
}

int32_t NoteAsc() {
    AscPutLine(" ");
    char note[kTextChars];
    for (int32_t n = 1; n <= NoteCount(); ++n) {
        NoteGet(n, note);
        AscOut("*Note \"%s\"\r\n", AscQuoted(note));
    }
    return 1;
}

int32_t CompAsc() {
    AscPutLine(" ");
    for (int32_t c = 1; c <= CompCount(); ++c) {
        const Component* r = CompRef(c);
        // A component without a symbol names none: the reader refuses
        // symbol 0 and leaves a new component without one.
        char symbol[24] = "";
        if (r->symbol) std::snprintf(symbol, sizeof symbol, "Symbol=%d ", int(r->symbol));
        AscOut("*COMP %s  [%ld, %ld]  Rot=%d[%02d]  %s%s%s\r\n", AscCompName(NameText(r->name)),
               long(r->x - g_offX), long(r->y - g_offY), int(r->angle / 60), int(r->angle % 60),
               symbol, (r->flags & kCompNoRoute) ? "NOROUTE" : "ROUTE",
               (r->flags & kCompKey) ? " KEY" : "");
    }
    return 1;
}

int32_t ConnAsc(int32_t net) {
    const Net* nr = NetRef(net);
    // Each connection's lines are gathered first and the connections
    // written in the order of their text: the order of a net's connections
    // changes with every load and validation, and a design written twice
    // gives the same file whatever that order is.
    std::vector<std::vector<std::string>> conns;
    for (int32_t k = NetConnFirst(net); k != 0; k = NetConnNext(k)) {
        const Conn* rec = ConnRef(k);
        std::vector<std::string> lines;
        if (!rec || rec->head.count < 2) continue;
        const int32_t count = rec->head.count;
        // What the reader would hold: the net's width and layer 0 until a
        // W: or L: says otherwise.
        int32_t width = nr->width, layer = 0;
        char* line = AscLineBuffer();
        line[0] = 0;
        auto corner = [&](const Crn& c, bool point, bool via) {
            if (point) Append(" [%ld,%ld]", long(c.x - g_offX), long(c.y - g_offY));
            if (c.layer != layer) {
                Append(" L:%d", int(c.layer));
                layer = c.layer;
            }
            if (c.width != width) {
                Append(" W:%d", int(c.width));
                width = c.width;
            }
            if (via && c.via) Append(" V:%d", int(c.via));
            AppendFlags(c.flags);
            if (std::strlen(line) > 50) {
                Append(" &");
                lines.emplace_back(line);
                std::snprintf(line, kAscLineBytes, "     ");
            }
        };
        // A free end is written with its point, and with the via that
        // may stand there; a pin's end is the pin.
        AppendEnd("   ", rec->head.fromComp, rec->head.fromPin);
        corner(rec->crn[0], rec->head.fromComp == 0, rec->head.fromComp == 0);
        for (int32_t i = 1; i < count - 1; ++i)
            corner(rec->crn[i], true, true);
        const Crn& last = rec->crn[count - 1];
        if (rec->head.toComp == 0) {
            Append(" [%ld,%ld]", long(last.x - g_offX), long(last.y - g_offY));
            if (last.via) Append(" V:%d", int(last.via));
            Append(" NODE");
        } else {
            AppendEnd(" ", rec->head.toComp, rec->head.toPin);
        }
        AppendFlags(last.flags);
        lines.emplace_back(line);
        conns.push_back(std::move(lines));
    }
    std::sort(conns.begin(), conns.end());
    for (const std::vector<std::string>& lines : conns)
        for (const std::string& l : lines)
            AscPutLine(l.c_str());
    return 1;
}

int32_t NetAsc() {
    int32_t count = NetCount();
    if (count == 0) return 1;
    NetSort(1);
    for (int32_t n = 1; n <= count; ++n) {
        const Net* r = NetRef(n);
        AscOut("\r\n*Net  \"%s\" W:%d MIN:%d ZID:%d", AscQuoted(NameText(r->name)), int(r->width),
               int(r->minWidth), int(r->maxWidth));
        if (r->netLevel != 0xFFFF) AscOut(" NETLEV:%d", int(r->netLevel));
        if (r->weight != 50) AscOut(" WT:%d", int(r->weight));
        char flags[64] = "";
        static const char* const kWords[5] = {" NOROUTE", " NOSHOVE", " NORIPUP", " NOSHARE",
                                              " NORECON"};
        for (int32_t b = 0; b < 5; ++b)
            if (r->flags & (1u << b)) std::strcat(flags, kWords[b]);
        AscOut(" %s\r\n", flags);
        ConnAsc(n);
    }
    return 1;
}

int32_t ObsAsc() {
    AscPutLine(" ");
    char* line = AscLineBuffer();
    for (int32_t o = 1; o <= ObsCount(); ++o) {
        const Obstacle* r = ObsRef(o);
        if (!r) continue;
        const ObsHead& h = r->head;
        char kind[16];
        std::snprintf(kind, sizeof kind, "%-8s", AscObsKindWord(h.kind));
        int32_t dx = h.owner == 0 ? g_offX : 0, dy = h.owner == 0 ? g_offY : 0;
        if (h.owner != 0)
            std::snprintf(line, kAscLineBytes, "*OBS  %s Sym= %d  L:%d  W:%ld", kind, int(h.owner),
                          int(h.layer), long(h.width));
        else
            std::snprintf(line, kAscLineBytes, "*OBS  %s  L:%d  W:%ld", kind, int(h.layer),
                          long(h.width));
        if (h.net == kObsNoNet)
            Append(" NONET");
        else if (h.net > 0)
            Append(" NETNUMBER: %d", int(h.net));
        else if (h.net < 0)
            Append(" PINNUMBER: %d", int(-h.net));
        else
            Append(" ANYNET");
        AscPutLine(line);
        for (int32_t i = 0; i < h.count; ++i) {
            const ObsPoint& p = r->pt[i];
            const char* arc = (p.flags & kObsPtArc) == kObsPtArcCw    ? "ARC: CW"
                              : (p.flags & kObsPtArc) == kObsPtArcCcw ? "ARC: CCW"
                                                                      : "ARC: N";
            std::snprintf(line, kAscLineBytes, "    [%ld, %ld] %s CRNW: %d %s", long(p.x - dx),
                          long(p.y - dy), arc, int(p.width), i < h.count - 1 ? "&" : "");
            AscPutLine(line);
        }
        if (UserAbort()) return 0;
    }
    return 1;
}

int32_t TextAsc() {
    AscPutLine(" ");
    for (int32_t t = 1; t <= TextCount(); ++t) {
        BoardText r;
        TextGet(t, &r);
        int32_t dx = r.owner == 0 ? g_offX : 0, dy = r.owner == 0 ? g_offY : 0;
        AscOut("*TEXT \"%s\" %s L: %d Sym= %d &\r\n", AscQuoted(r.text), AscTextKindWord(r.kind),
               int(r.layer), int(r.owner));
        AscOut("     Rot=%d[%02d] W:%ld H:%ld Ratio:%d [%ld, %ld]", int(r.angle / 60),
               int(r.angle % 60), long(r.width), long(r.height), int(r.ratio), long(r.x - dx),
               long(r.y - dy));
        if (r.flags & kTextFlagMirrored) AscOut(" M:%d", 1);
        if (r.r != 0) AscOut("R:%d", int(r.r));
        AscOut("\r\n");
        if (UserAbort()) return 0;
    }
    return 1;
}

int32_t AscWriteDatabase(const FileSpec* file) {
    DbHeader hdr;
    DbGetHeader(&hdr);
    BusyFeedback(0);
    FileSpec spec = *file;
    if (int32_t err = OpenFileSpec(&spec, FourCC("KVWD"), FourCC("TEXT"), 0)) {
        ShowErrorAlert(err);
        return 0;
    }
    std::FILE* f = FileSpecOpenStream(&spec, "wb");
    if (!f) {
        ShowErrorAlert(32);
        return 0;
    }
    const DbHeader& h = DbHdr();
    AscSetOutput(f);
    AscSetWriteOffset(h.offsetX, h.offsetY);
    AscOut("*PELVANE\r\n");
    AscOut("\r\n");
    AscOut("*GRID            %ld\r\n", long(h.routeGrid));
    AscOut("*VGRID           %ld\r\n", long(h.fourthGrid));
    AscOut("*USER            %ld\r\n", long(h.userUnit));
    AscOut("*CONN            %ld\r\n", long(h.connGrid));
    AscOut("*LAYER           %d\r\n", int(h.layerCount));
    AscOut("*VIAS            %d\r\n", int(h.viaCount));
    AscOut("*INCH            %12.10f\r\n", h.unitSize);
    // The centre moves with the board only while the board box is set (a
    // width of 0 leaves it where it is, as the range check does).
    const int32_t boxOffX = h.width != 0 ? g_offX : 0, boxOffY = h.width != 0 ? g_offY : 0;
    AscOut("*CENTER          %ld %ld\r\n", long(int64_t(h.centreX) - boxOffX),
           long(int64_t(h.centreY) - boxOffY));
    AscOut("*HEIGHT          %ld\r\n", long(h.height));
    AscOut("*WIDTH           %ld\r\n", long(h.width));
    BusyFeedback(0);
    AscOut("*OFFGRID         %s\r\n", (h.flags & kHdrNoOffGrid) ? "NO" : "YES");
    AscOut("*MULTIVIA        %s\r\n", (h.flags & kHdrMultiVia) ? "YES" : "NO");
    AscOut("*BACKUPSWEEP     %s\r\n", h.backupEachSweep == 1 ? "YES" : "NO");
    AscOut("*BACKUPINTERVAL  %d\r\n", int(h.backupMinutes));
    AscOut("*TIMEUSED        %lld\r\n", (long long)h.timeUsed * 1000LL);
    AscOut("\r\n");
    AscOut("*START\r\n\r\n");
    strategyAsc();
    PlaceAsc();
    int32_t (*const sections[])() = {NoteAsc, LayerAsc, ThruAsc, symAsc, PackAsc,
                                     CompAsc, NetAsc,   ObsAsc,  TextAsc};
    bool complete = true;
    for (auto section : sections)
        if (!section()) {
            complete = false;
            break;
        }
    if (complete) AscPutLine("*END");
    AscSetWriteOffset(0, 0);
    AscSetOutput(nullptr);
    bool error = std::ferror(f) != 0;
    if (std::fclose(f) != 0) error = true;
    // A file without *END is one the reader refuses: not a success.
    return (complete && !error) ? 1 : 0;
}
