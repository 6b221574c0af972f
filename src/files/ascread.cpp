// The ASCII board database reader: line input, tokenizer, error report,
// keyword table and dispatch, header keywords, *START, *END and the read
// as a whole.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "db/chains.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/dblog.h"
#include "db/limits.h"
#include "db/names.h"
#include "db/sweeps.h"
#include "files/ascint.h"
#include "files/ascshell.h"
#include "files/stratlayers.h"
#include "toolbox/core/memblock.h"

AscContext* g_asc = nullptr;

namespace {

// ---- character classes ------------------------------------------------------

enum : uint8_t {
    kClsControl = 0x01,
    kClsSpace = 0x02,
    kClsBlank = 0x04,
    kClsPunct = 0x08,
    kClsDigit = 0x10,
    kClsHex = 0x20,
    kClsLower = 0x40,
    kClsUpper = 0x80,
};

uint8_t ClassOf(int32_t c) {
    if (c < 0 || c > 127) return 0;
    if (c >= 9 && c <= 13) return kClsSpace;
    if (c < 32 || c == 127) return kClsControl;
    if (c == ' ') return kClsBlank;
    if (c >= '0' && c <= '9') return kClsDigit | kClsHex;
    if (c >= 'a' && c <= 'z') return uint8_t(kClsLower | (c <= 'f' ? kClsHex : 0));
    if (c >= 'A' && c <= 'Z') return uint8_t(kClsUpper | (c <= 'F' ? kClsHex : 0));
    return kClsPunct;
}

bool IsAlnum(int32_t c) {
    return (ClassOf(c) & (kClsDigit | kClsLower | kClsUpper)) != 0;
}

bool IsWordChar(int32_t c) {
    return IsAlnum(c) || c == '-' || c == '/' || c == '_';
}

int32_t Upper(int32_t c) {
    return (ClassOf(c) & kClsLower) ? c - 'a' + 'A' : c;
}

// ---- line input -------------------------------------------------------------

// Reads the next line piece into the line buffer; false at the end of the
// input.
bool Refill() {
    AscContext& c = *g_asc;
    c.pushed = -1;
    c.lineLength = 0;
    c.cursor = 0;
    if (c.atEnd || !c.stream) {
        c.atEnd = true;
        return false;
    }
    int32_t n = AscReadLine(reinterpret_cast<char*>(c.line), kAscLineChars + 1, c.stream);
    if (n < 0) {
        c.atEnd = true;
        return false;
    }
    // Trailing characters whose signed value is 32 or less go: blanks, the
    // line end itself and the bytes 128..255.
    while (n > 0 && int8_t(c.line[n - 1]) <= 32)
        --n;
    c.line[n] = '\r';
    c.line[n + 1] = 0;
    c.lineLength = n + 1;
    ++c.lineNumber;
    return true;
}

// ---- tokens -----------------------------------------------------------------

struct TokenText {
    int32_t length = 0;
    void Put(int32_t ch) {
        if (length < kAscTokenBytes - 1) g_asc->token[length++] = char(ch);
    }
    void End() { g_asc->token[length] = 0; }
};

// ---- error report -----------------------------------------------------------

void VError(const char* format, va_list args) {
    AscContext& c = *g_asc;
    char message[256];
    std::vsnprintf(message, sizeof message, format, args);
    // A long file name is cut so that the line number and the message keep
    // their room; the line holds at most 255 characters.
    char tail[300];
    std::snprintf(tail, sizeof tail, "\"; Line %d ### %s", int(c.lineNumber), message);
    size_t tailLength = std::strlen(tail);
    if (tailLength > 240) tailLength = 240;
    size_t nameRoom = 255 - 6 - tailLength;
    size_t nameLength = std::strlen(c.fileName);
    if (nameLength > nameRoom) nameLength = nameRoom;
    char line[256];
    std::memcpy(line, "File \"", 6);
    std::memcpy(line + 6, c.fileName, nameLength);
    std::memcpy(line + 6 + nameLength, tail, tailLength);
    line[6 + nameLength + tailLength] = 0;
    LogWrite(line);
    if (c.errorCount < INT16_MAX) ++c.errorCount;
}

// ---- header keywords --------------------------------------------------------

// A number of a header keyword within lo..hi into field; then one more
// token when asked. A missing number leaves the token that is there current.
void HeaderNumber(int32_t* field, int64_t lo, int64_t hi, bool more) {
    if (!AscGetToken(kAscNumber)) return;
    if (AscInRange(g_asc->section, g_asc->number, lo, hi)) *field = g_asc->number;
    if (more) AscGetToken(kAscAny);
}

void HeaderShort(int16_t* field, int64_t lo, int64_t hi, bool more) {
    int32_t v = *field;
    HeaderNumber(&v, lo, hi, more);
    *field = int16_t(v);
}

// A word answer; then one more token. Null when no word came.
const char* HeaderWord() {
    if (!AscGetToken(kAscWord)) return nullptr;
    return g_asc->token;
}

// Reads "n . m" as three tokens; false (after the messages) for any other
// shape. The texts of n and m are copied out.
bool ReadDecimal(int32_t msg, char* intText, char* fracText, int32_t* n, int32_t* m) {
    bool ok = AscGetToken(kAscNumber);
    if (ok) {
        std::snprintf(intText, kAscTokenBytes, "%s", g_asc->token);
        *n = g_asc->number;
        ok = AscGetToken(kAscPunct) && std::strcmp(g_asc->token, ".") == 0;
    }
    if (ok) {
        ok = AscGetToken(kAscNumber);
        std::snprintf(fracText, kAscTokenBytes, "%s", g_asc->token);
        *m = g_asc->number;
    }
    if (!ok) AscError("%s", AscMsg(msg));
    return ok;
}

void KwVersion() {
    static char a[kAscTokenBytes], b[kAscTokenBytes];
    int32_t n = 0, m = 0;
    if (ReadDecimal(kAscMsgBadVersion, a, b, &n, &m)) {
        g_asc->versionMajor = int16_t(n);
        g_asc->versionMinor = int16_t(m);
    }
}

void KwInch() {
    static char a[kAscTokenBytes], b[kAscTokenBytes];
    int32_t n = 0, m = 0;
    if (!ReadDecimal(kAscMsgBadInch, a, b, &n, &m)) return;
    // The factor from the digits themselves, so that leading zeros of the
    // fraction count: 0.0000166667 is 1.66667e-5.
    double whole = 0.0, frac = 0.0, scale = 1.0;
    bool ok = true;
    const char* p = a;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    for (; *p; ++p)
        whole = whole * 10.0 + (*p - '0');
    for (p = b; *p; ++p) {
        if (*p < '0' || *p > '9') ok = false;
        frac = frac * 10.0 + (*p - '0');
        scale *= 10.0;
    }
    double value = (whole * scale + frac) / scale;
    if (negative) value = -value;
    // Inch sizes become database units by dividing by the factor.
    if (!ok || !std::isfinite(value) || !(value >= kUnitSizeMin) || value > kUnitSizeMax) {
        AscError("%s", AscMsg(kAscMsgBadInch));
        return;
    }
    g_asc->inch = value;
}

void KwBackupInterval() {
    HeaderNumber(&g_asc->backupInterval, 0, INT16_MAX, true);
}
void KwBackupSweep() {
    if (const char* w = HeaderWord()) {
        g_asc->backupSweep = std::strcmp(w, "YES") == 0 ? 1 : 0;
        AscGetToken(kAscAny);
    }
}
// A header point: two numbers, kept only when both lie in the coordinate
// range.
void HeaderPoint(int32_t* outX, int32_t* outY) {
    if (!AscGetToken(kAscNumber)) return;
    int64_t x = AscNumber64();
    if (!AscGetToken(kAscNumber)) return;
    int64_t y = AscNumber64();
    if (AscInRange(g_asc->section, x, -kCoordLimit, kCoordLimit) &&
        AscInRange(g_asc->section, y, -kCoordLimit, kCoordLimit)) {
        *outX = int32_t(x);
        *outY = int32_t(y);
    }
}
void KwCenter() {
    HeaderPoint(&g_asc->centreX, &g_asc->centreY);
}
void KwDatum() {
    HeaderPoint(&g_asc->originX, &g_asc->originY);
}
void KwOneToken() {
    AscGetToken(kAscAny);
}
void KwConn() {
    HeaderNumber(&g_asc->connGrid, 1, INT32_MAX, true);
}
void KwDebug() {
    // Words up to the next keyword; the keyword stays current.
    do
        AscGetToken(kAscAny);
    while (g_asc->kind == kAscWord && g_asc->token[0] != '*');
}
void KwEnd() {
    g_asc->done = 1;
}
void KwGrid() {
    // A routing grid the range check cannot combine with the other grids
    // (which this format leaves at their defaults) is refused like a value
    // out of range.
    if (!AscGetToken(kAscNumber)) return;
    DbHeader h;
    DbHeaderTemplate(&h);
    h.routeGrid = g_asc->number;
    const bool combines = h.routeGrid < 1 || DbGridsCombine(&h);
    if (AscInRange(g_asc->section, AscNumber64(), 1, combines ? INT32_MAX : 0))
        g_asc->grid = g_asc->number;
    AscGetToken(kAscAny);
}
void KwHeight() {
    HeaderNumber(&g_asc->height, -kCoordLimit, kCoordLimit, false);
}
void KwWidth() {
    HeaderNumber(&g_asc->width, -kCoordLimit, kCoordLimit, false);
}
void KwLayer() {
    if (g_asc->started)
        AscReadLayer();
    else
        HeaderShort(&g_asc->layerCount, 1, kMaxLayers, true);
}
void KwMultiVia() {
    if (const char* w = HeaderWord()) {
        if (std::strcmp(w, "YES") == 0) g_asc->hdrFlags = int16_t(g_asc->hdrFlags | kHdrMultiVia);
        AscGetToken(kAscAny);
    }
}
void KwOffGrid() {
    if (const char* w = HeaderWord()) {
        if (std::strcmp(w, "NO") == 0) g_asc->hdrFlags = int16_t(g_asc->hdrFlags | kHdrNoOffGrid);
        AscGetToken(kAscAny);
    }
}
void KwTimeUsed() {
    int32_t ms = 0;
    if (!AscGetToken(kAscNumber)) return;
    ms = g_asc->number;
    g_asc->timeUsed = ms / 1000;
    AscGetToken(kAscAny);
}
void KwUser() {
    HeaderNumber(&g_asc->userUnits, kUserUnitMin, kUserUnitMax, true);
}
void KwVGrid() {
    HeaderNumber(&g_asc->viaGrid, 0, INT32_MAX, true);
}
void KwVias() {
    HeaderShort(&g_asc->viaCount, 1, 250, true);
}

void KwElement(void (*reader)()) {
    if (g_asc->started && reader)
        reader();
    else
        AscGetToken(kAscAny);
}
void KwComp() {
    KwElement([] { AscReadComp(); });
}
void KwNet() {
    KwElement([] { AscReadNet(); });
}
void KwNote() {
    KwElement([] { AscReadNote(); });
}
void KwObs() {
    KwElement([] { AscReadObs(); });
}
void KwSeg() {
    if (!g_asc->started) {
        AscGetToken(kAscAny);
        return;
    }
    // AscReadSeg marks the read for the rebuild once the net's head is
    // stored; a failed element moves on by one token unless it stopped at
    // the next keyword.
    if (!AscReadSeg() && !AscAtKeyword()) AscGetToken(kAscAny);
}
void KwText() {
    KwElement([] { AscReadText(); });
}
void KwPackage() {
    KwElement(&AscReadPackage);
}
void KwPlace() {
    KwElement(&AscReadPlace);
}
void KwStrategy() {
    KwElement(&AscReadStrategy);
}
void KwSymbol() {
    KwElement(&AscReadSymbol);
}
void KwThru() {
    KwElement(&AscReadThru);
}
void KwVia() {
    KwElement(&AscReadVias);
}

void AscReadStart();

struct Keyword {
    const char* word;
    void (*handler)();
};

// Sorted by byte value for the binary search.
const Keyword kKeywords[] = {
    {"*BACKUPINTERVAL", &KwBackupInterval},
    {"*BACKUPSWEEP", &KwBackupSweep},
    {"*CENTER", &KwCenter},
    {"*COMMENT", &KwOneToken},
    {"*COMP", &KwComp},
    {"*CONN", &KwConn},
    {"*DATUM", &KwDatum},
    {"*DEBUG", &KwDebug},
    {"*DISPLAY", &KwConn},
    {"*END", &KwEnd},
    {"*GRID", &KwGrid},
    {"*HEIGHT", &KwHeight},
    {"*INCH", &KwInch},
    {"*LAYER", &KwLayer},
    {"*MIRASTOLVEN", &KwOneToken},
    {"*MULTIVIA", &KwMultiVia},
    {"*NET", &KwNet},
    {"*NOTE", &KwNote},
    {"*OBS", &KwObs},
    {"*OFFGRID", &KwOffGrid},
    {"*PACKAGE", &KwPackage},
    {"*PELVANE", &KwOneToken},
    {"*PLACE", &KwPlace},
    {"*SEG", &KwSeg},
    {"*START", &AscReadStart},
    {"*STRATEGY", &KwStrategy},
    {"*SYMBOL", &KwSymbol},
    {"*TEXT", &KwText},
    {"*THRU", &KwThru},
    {"*TIMEUSED", &KwTimeUsed},
    {"*USER", &KwUser},
    {"*VELLORIX", &KwOneToken},
    {"*VERSION", &KwVersion},
    {"*VGRID", &KwVGrid},
    {"*VIA", &KwVia},
    {"*VIAS", &KwVias},
    {"*WIDTH", &KwWidth},
};
constexpr int32_t kKeywordCount = int32_t(sizeof kKeywords / sizeof kKeywords[0]);
static_assert(kKeywordCount == 37);

const Keyword* FindKeyword(const char* word) {
    int32_t lo = 0, hi = kKeywordCount - 1;
    while (lo <= hi) {
        int32_t mid = (lo + hi) / 2;
        int cmp = std::strcmp(word, kKeywords[mid].word);
        if (cmp == 0) return &kKeywords[mid];
        if (cmp < 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return nullptr;
}

// ---- *START -----------------------------------------------------------------

void AscReadStart() {
    AscContext& c = *g_asc;
    if (c.started) {
        AscError("%s", AscMsg(kAscMsgStartTwice));
        AscGetToken(kAscAny);
        return;
    }
    // The shell empties the database before a load; emptying it again here
    // keeps a careless caller from starting on top of an open design.
    DbFree();
    DbHeaderReset();
    DbHeader h;
    DbGetHeader(&h);
    h.connGrid = c.connGrid;
    h.userUnit = c.userUnits;
    h.routeGrid = c.grid;
    h.fourthGrid = c.viaGrid;
    h.layerCount = c.layerCount;
    h.viaCount = c.viaCount;
    h.thruCount = int16_t(c.viaCount + 32);
    h.compCount = c.compCount;
    h.symbolCount = c.symbolCount;
    h.netCount = c.netCount;
    h.connCount = c.connCount;
    h.obsCount = c.obsCount;
    h.unitSize = c.inch;
    h.flags = uint16_t(c.hdrFlags);
    h.centreX = c.centreX;
    h.centreY = c.centreY;
    h.height = c.height;
    h.width = c.width;
    h.originX = c.originX;
    h.originY = c.originY;
    h.backupEachSweep = int16_t(c.backupSweep);
    h.backupMinutes = int16_t(c.backupInterval);
    h.timeUsed = c.timeUsed;
    DbPutHeader(&h);
    DbInit();
    // The design is valid only once the whole file was read.
    DbHdr().valid = 0;
    c.initialised = true;
    uint8_t saved = DbHdr().sweep;
    for (int32_t n = 0; n < kSweepCount; ++n) {
        Sweep s;
        StrategyDefaults(&s, n);
        DbHdr().sweep = uint8_t(n);
        SweepPut(&s);
    }
    DbHdr().sweep = saved;
    c.thruMap = static_cast<int16_t*>(
        NewPointerBlockClear(nullptr, int32_t(sizeof(int16_t)) * (c.thruMapSize + 1)));
    c.symMap = static_cast<int16_t*>(
        NewPointerBlockClear(nullptr, int32_t(sizeof(int16_t)) * (c.symbolCount + 1)));
    if (!c.thruMap || !c.symMap) {
        AscError("%s", AscMsg(kAscMsgInitFailed));
        c.done = 1;
        return;
    }
    c.started = 1;
    AscBoardStart();
    AscGetToken(kAscAny);
}

void InitContext(AscContext& c) {
    c.versionMajor = 6;
    c.versionMinor = 6;
    c.layerCount = 8;
    c.viaCount = 1;
    c.thruMapSize = kAscThruMapSize;
    c.symbolCount = kAscSymbolCount;
    c.netCount = 100;
    c.compCount = 512;
    c.connCount = 2000;
    c.obsCount = 2;
    c.inch = 1.0 / 60000.0;
    c.userUnits = 60;
    c.grid = 1500;
    c.viaGrid = 0;
    c.connGrid = 60;
    c.backupInterval = 10;
    c.pushed = -1;
}

AscContext* NewContext(const char* name) {
    auto* c = static_cast<AscContext*>(NewPointerBlockClear(nullptr, int32_t(sizeof(AscContext))));
    if (!c) return nullptr;
    c->pushed = -1;
    std::snprintf(c->fileName, sizeof c->fileName, "%s", name ? name : "");
    return c;
}

void FreeContext() {
    if (!g_asc) return;
    if (g_asc->thruMap) FreeHeapBlock(g_asc->thruMap);
    if (g_asc->symMap) FreeHeapBlock(g_asc->symMap);
    FreeHeapBlock(g_asc);
    g_asc = nullptr;
}

const char* const kMarkers[] = {"*MIRASTOLVEN", "*PELVANE", "*VELLORIX"};

// The file check: a file over 1,024 bytes must hold a marker word in its
// first 1,024 bytes. Then back to the start, with nothing read.
bool CheckFile() {
    AscContext& c = *g_asc;
    if (std::fseek(c.stream, 0, SEEK_END) != 0) return false;
    long size = std::ftell(c.stream);
    if (size > 1024) {
        auto* probe = static_cast<uint8_t*>(NewPointerBlockClear(nullptr, 1024));
        if (!probe) {
            AlertMessage(AscMsg(kAscMsgNoMemory));
            return false;
        }
        std::rewind(c.stream);
        size_t got = std::fread(probe, 1, 1024, c.stream);
        bool found = false;
        for (const char* m : kMarkers)
            if (FindBytes(m, int32_t(std::strlen(m)), probe, int32_t(got)) >= 0) found = true;
        FreeHeapBlock(probe);
        if (!found) {
            AlertMessage(AscMsg(kAscMsgTooOld));
            return false;
        }
    }
    std::rewind(c.stream);
    std::clearerr(c.stream);
    c.lineLength = 0;
    c.cursor = 0;
    c.lineNumber = 0;
    c.pushed = -1;
    c.atEnd = false;
    return true;
}

} // namespace

// ---- public pieces ------------------------------------------------------------

int32_t AscReadLine(char* buffer, int32_t size, std::FILE* stream) {
    int32_t n = 0;
    bool any = false;
    while (n < size - 1) {
        int ch = std::getc(stream);
        if (ch == EOF) break;
        any = true;
        buffer[n++] = char(ch);
        if (ch == '\n') break;
        if (ch == '\r') {
            // A CR LF pair ends one line.
            int next = std::getc(stream);
            if (next == '\n') {
                if (n < size - 1) buffer[n++] = char(next);
            } else if (next != EOF) {
                std::ungetc(next, stream);
            }
            break;
        }
    }
    if (size > 0) buffer[n] = 0;
    return any ? n : -1;
}

int32_t AscGetChar() {
    AscContext& c = *g_asc;
    if (c.pushed >= 0) {
        int32_t ch = c.pushed;
        c.pushed = -1;
        return ch;
    }
    if (c.cursor >= c.lineLength && !Refill()) return -1;
    int32_t ch = c.line[c.cursor++];
    if (ch == '\r' || ch == '\n') return ' ';
    // "&" just before the line end joins the next line.
    if (ch == '&' && c.cursor == c.lineLength - 1) {
        c.cursor = c.lineLength;
        return ' ';
    }
    return ch;
}

void AscUngetChar(int32_t ch) {
    if (ch >= 0) g_asc->pushed = ch;
}

int32_t AscGetToken(int32_t mask) {
    AscContext& c = *g_asc;
    ++c.tokenSerial;
    c.number = 0;
    c.numberSaturated = false;
    TokenText t;
    int32_t ch;
    do
        ch = AscGetChar();
    while (ch >= 0 && (ClassOf(ch) & (kClsSpace | kClsBlank)));
    if (ch < 0) {
        c.kind = kAscEof;
        c.token[0] = 0;
        return 0;
    }
    if (ch == '"') {
        // Cut at 511 characters; the rest up to the closing quote is skipped.
        // A string still open at the end of the input ends there.
        while ((ch = AscGetChar()) >= 0 && ch != '"')
            t.Put(ch);
        c.kind = kAscString;
    } else if ((ClassOf(ch) & kClsDigit) || ch == '+' || ch == '-') {
        bool negative = ch == '-';
        if (ch == '+' || ch == '-') {
            t.Put(ch);
            ch = AscGetChar();
        }
        // Unsigned 32-bit arithmetic; a value beyond it stays at the
        // largest one, so no range check can take it for a small number.
        uint32_t value = 0;
        while (ch >= 0 && (ClassOf(ch) & kClsDigit)) {
            t.Put(ch);
            uint64_t next = uint64_t(value) * 10u + uint64_t(ch - '0');
            if (next > UINT32_MAX) {
                next = UINT32_MAX;
                c.numberSaturated = true;
            }
            value = uint32_t(next);
            ch = AscGetChar();
        }
        if (negative) value = 0u - value;
        c.number = int32_t(value);
        c.kind = kAscNumber;
        if (mask == kAscWord || mask == kAscName) {
            while (ch >= 0 && IsWordChar(ch)) {
                t.Put(ch);
                ch = AscGetChar();
            }
            c.kind = kAscWord;
        }
        AscUngetChar(ch);
    } else if ((ClassOf(ch) & (kClsLower | kClsUpper)) || ch == '*' || ch == '#' || ch == '[') {
        t.Put(Upper(ch));
        if (ch != '[') {
            while ((ch = AscGetChar()) >= 0) {
                if (IsWordChar(ch)) {
                    t.Put(Upper(ch));
                } else if (ch == ':' || ch == '=') {
                    t.Put(ch);
                    break;
                } else {
                    AscUngetChar(ch);
                    break;
                }
            }
        }
        c.kind = kAscWord;
    } else {
        t.Put(ch);
        c.kind = kAscPunct;
    }
    t.End();
    if (c.kind & mask) return 1;
    AscError("%s", AscMsg(kAscMsgSyntax));
    return 0;
}

void AscError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    VError(format, args);
    va_end(args);
}

int32_t AscTokenKind() {
    return g_asc ? g_asc->kind : 0;
}
const char* AscTokenText() {
    return g_asc ? g_asc->token : "";
}
int32_t AscTokenNumber() {
    return g_asc ? g_asc->number : 0;
}
int32_t AscLineNumber() {
    return g_asc ? g_asc->lineNumber : 0;
}
int32_t AscErrorCount() {
    return g_asc ? g_asc->errorCount : 0;
}

bool AscBeginStream(std::FILE* stream, const char* name) {
    FreeContext();
    g_asc = NewContext(name);
    if (!g_asc) return false;
    InitContext(*g_asc);
    g_asc->stream = stream;
    return true;
}

void AscEndStream() {
    FreeContext();
}

bool AscAtKeyword() {
    return g_asc->kind == kAscEof || (g_asc->kind == kAscWord && g_asc->token[0] == '*');
}

bool AscTokenIs(const char* text) {
    return g_asc->kind == kAscWord && std::strcmp(g_asc->token, text) == 0;
}

int64_t AscNumber64() {
    if (!g_asc) return 0;
    if (!g_asc->numberSaturated) return g_asc->number;
    return g_asc->token[0] == '-' ? -int64_t(UINT32_MAX) : int64_t(UINT32_MAX);
}

bool AscInRange(const char* what, int64_t value, int64_t lo, int64_t hi) {
    if (g_asc && g_asc->kind == kAscNumber && g_asc->numberSaturated)
        value = AscNumber64();
    else if (value >= lo && value <= hi)
        return true;
    const char* message = AscMsg(kAscMsgOutOfRange);
    const char* slot = std::strstr(message, "%ld");
    if (value == int64_t(long(value)) || !slot) {
        AscError(message, what, long(value));
        return false;
    }
    // A long of 32 bits cannot hold the value: the number's place takes its
    // text.
    char format[kAscTokenBytes];
    std::snprintf(format, sizeof format, "%.*s%%s%s", int(slot - message), message, slot + 3);
    char number[24];
    std::snprintf(number, sizeof number, "%lld", static_cast<long long>(value));
    AscError(format, what, number);
    return false;
}

bool AscIntern(const char* text, NameId* out) {
    char name[kNameMaxChars + 1];
    std::snprintf(name, sizeof name, "%s", text);
    if (!NameFits(name)) {
        AlertMessage(AscMsg(kAscMsgNoMemory));
        g_asc->done = 1;
        g_asc->started = 0;
        return false;
    }
    *out = NameIntern(name);
    return true;
}

void AscRejected(const char* what, int32_t code) {
    AscError(AscMsg(kAscMsgRejected), what, long(code));
}

void AscTableFull(const char* what) {
    AscError(AscMsg(kAscMsgTableFull), what);
}

int32_t AscReadDatabase(const FileSpec* spec, int32_t* errors) {
    BusyFeedback(0);
    if (errors) *errors = 0;
    FreeContext();
    g_asc = NewContext(spec ? spec->name : "");
    if (!g_asc) {
        AlertMessage(AscMsg(kAscMsgNoMemory));
        return 0;
    }
    AscContext& c = *g_asc;
    bool ok = false;
    c.stream = spec ? FileSpecOpenStream(spec, "rb") : nullptr;
    if (!c.stream) {
        AscError(AscMsg(kAscMsgCantOpen), c.fileName);
    } else if (CheckFile()) {
        InitContext(c);
        AscGetToken(kAscAny);
        ShowProgressMessage(0, AscMsg(kAscMsgReading));
        while (!c.done) {
            BusyFeedback(0);
            while (!AscAtKeyword())
                AscGetToken(kAscAny);
            if (c.kind == kAscEof) break;
            const Keyword* k = FindKeyword(c.token);
            if (!k) {
                AscError("%s", AscMsg(kAscMsgUnknownKeyword));
                AscGetToken(kAscAny);
                continue;
            }
            std::snprintf(c.section, sizeof c.section, "%s", k->word);
            uint32_t serial = c.tokenSerial;
            k->handler();
            // Every handler moves on; one that read nothing is moved on here.
            if (!c.done && c.tokenSerial == serial) AscGetToken(kAscAny);
        }
        ok = c.started != 0;
        if (ok && !c.done) {
            AscError("%s", AscMsg(kAscMsgUnexpectedEnd));
            ok = false;
        }
    }
    if (c.stream) std::fclose(c.stream);
    c.stream = nullptr;
    if (!ok) {
        // A design begun by this file is not valid; one that was open
        // before it (no *START read) is left as it was.
        if (c.initialised) DbHdr().valid = 0;
        FreeContext();
        ShowProgressMessage(0, "");
        return 0;
    }
    DbHdr().valid = 1;
    StrategyApplyLayers(c.sweepsWithLayers);
    DbHeader h;
    DbGetHeader(&h);
    if (c.segmentsRead) {
        ShowProgressMessage(0, AscMsg(ChainKeepAll() ? kAscMsgSorting : kAscMsgOptimizing));
        AscRebuild();
    }
    if (errors) *errors = c.errorCount;
    FreeContext();
    return 1;
}
