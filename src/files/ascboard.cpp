// The board sections of the ASCII database, read side: *COMP, *NET with its
// connections, *SEG with its loose pins and copper, *OBS, *NOTE and *TEXT.
//
// Every value that a table would refuse with an internal error is checked
// here first and logged as a parse error, so that a damaged file costs an
// element and never the run.
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "db/chains.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/geom.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/symbols.h"
#include "db/texts.h"
#include "files/ascint.h"
#include "files/ascshell.h"

namespace {

enum : int32_t {
    kAnglesMax = 21600,
    kWidthMax = 65535,
    kSegNetMax = 10000, // nets the node lists take
    kPinNumberMax = 32766,
    kErrNetWidthZero = 5239095, // a corner of width 0 on a net of width 0
};

AscContext& Ctx() {
    return *g_asc;
}

bool IsPunct(const char* text) {
    return Ctx().kind == kAscPunct && std::strcmp(Ctx().token, text) == 0;
}

bool InCoord(const char* what, int64_t v) {
    return AscInRange(what, v, -kCoordLimit, kCoordLimit);
}

// A number after a keyword word; false (the token's "Syntax Error" logged)
// when none follows.
bool Number(int32_t* out) {
    if (!AscGetToken(kAscNumber)) return false;
    *out = Ctx().number;
    return true;
}

// "ROT=" d, optionally "[" m "]"; the token after it is current. False when
// the shape is broken or the angle is out of range.
bool ReadAngle(int16_t* out) {
    int32_t unused = 0;
    if (!Number(&unused)) return false;
    const int64_t d = AscNumber64();
    int64_t m = 0;
    AscGetToken(kAscAny);
    if (AscTokenIs("[")) {
        if (!Number(&unused)) return false;
        m = AscNumber64();
        if (!AscGetToken(kAscPunct) || !IsPunct("]")) return false;
        AscGetToken(kAscAny);
    }
    int64_t angle = 60 * d + m;
    if (!AscInRange("ROT=", angle, -kAnglesMax, kAnglesMax)) return false;
    *out = int16_t(angle);
    return true;
}

void PinPoint(int32_t comp, int32_t pin, int32_t* x, int32_t* y) {
    PlacedPin placed;
    SymPinGet(CompRef(comp), pin, &placed);
    *x = placed.x;
    *y = placed.y;
}

// The pin after "component ." : a number or a name among the symbol's pins,
// placed within the coordinate limit (a connection ends on it). The current
// token is the one after the "."; it is consumed.
bool ReadPin(int32_t comp, int32_t* pin) {
    AscGetToken(kAscAny);
    const Component* c = CompRef(comp);
    if (!AscInRange("Symbol", c->symbol, 1, SymCount())) return false;
    int32_t pins = SymPinCount(c->symbol);
    int32_t p = 0;
    if (Ctx().kind == kAscNumber) {
        p = Ctx().number;
    } else if (Ctx().kind == kAscString || Ctx().kind == kAscWord) {
        p = 1;
        while (p <= pins && std::strcmp(NameText(SymPinRef(c->symbol, p)->name), Ctx().token) != 0)
            ++p;
    } else {
        AscError("%s", AscMsg(kAscMsgSyntax));
        return false;
    }
    if (p < 1 || p > pins) {
        AscError(AscMsg(kAscMsgPinMissing), int(p));
        return false;
    }
    int32_t x = 0, y = 0;
    PinPoint(comp, p, &x, &y);
    if (!InCoord("[x, y]", x) || !InCoord("[x, y]", y)) return false;
    *pin = p;
    return true;
}

// ---- *NET and *SEG heads ------------------------------------------------------

struct NetHead {
    char name[kNameMaxChars + 1] = {};
    int32_t width = 0;
    bool hasMin = false, hasMax = false, hasLevel = false, hasWeight = false;
    int32_t minWidth = 0, maxWidth = 0, level = 0xFFFF, weight = 0;
    uint16_t flags = 0;
};

struct FlagWord {
    const char* set;
    const char* clear;
    uint16_t bit;
};
const FlagWord kNetFlagWords[] = {
    {"NOROUTE", "ROUTE", kNetNoRoute}, {"NOSHOVE", "SHOVE", kNetNoShove},
    {"NORIPUP", "RIPUP", kNetNoRipup}, {"NOSHARE", "SHARE", kNetNoShare},
    {"NORECON", "RECON", kNetNoRecon},
};

// Reads "name" W: w and the attributes; the first other token stays
// current. The *SEG head reads its attribute words with every kind
// accepted until a clearing word was met.
bool ReadNetHead(NetHead& h, bool seg) {
    AscContext& c = Ctx();
    if (!AscGetToken(kAscString)) return false;
    std::snprintf(h.name, sizeof h.name, "%.100s", c.token);
    AscGetToken(kAscWord);
    if (!AscTokenIs("W:")) {
        AscError("%s", AscMsg(kAscMsgWMissing));
        return false;
    }
    if (!Number(&h.width)) return false;
    if (h.width < 0) {
        AscError(AscMsg(kAscMsgWidthNegative), int(h.width));
        return false;
    }
    if (!AscInRange("W:", h.width, 0, kWidthMax)) return false;
    int32_t mask = seg ? kAscAny : kAscName;
    for (;;) {
        AscGetToken(mask);
        if (c.kind != kAscWord) break;
        if (AscTokenIs("MIN:")) {
            if (!Number(&h.minWidth)) return false;
            if (h.minWidth < 0) {
                AscError(AscMsg(kAscMsgMinNegative), int(h.minWidth));
                return false;
            }
            if (!AscInRange("MIN:", h.minWidth, 0, kWidthMax)) return false;
            h.hasMin = true;
        } else if (AscTokenIs("ZID:")) {
            if (!Number(&h.maxWidth)) return false;
            if (h.maxWidth < 0) {
                AscError(AscMsg(kAscMsgZidNegative), int(h.maxWidth));
                return false;
            }
            if (!AscInRange("ZID:", h.maxWidth, 0, kWidthMax)) return false;
            h.hasMax = true;
        } else if (AscTokenIs("NETLEV:")) {
            if (!Number(&h.level)) return false;
            h.hasLevel = true;
        } else if (AscTokenIs("WT:")) {
            if (!Number(&h.weight)) return false;
            h.weight &= 0xFF;
            h.hasWeight = true;
        } else {
            bool known = false;
            for (const FlagWord& f : kNetFlagWords) {
                if (AscTokenIs(f.set)) {
                    h.flags = uint16_t(h.flags | f.bit);
                    known = true;
                } else if (AscTokenIs(f.clear)) {
                    h.flags = uint16_t(h.flags & ~f.bit);
                    known = true;
                    mask = kAscWord;
                }
            }
            if (!known) break;
        }
    }
    return true;
}

// Finds or adds the net of a head and stores it; 0 when it could not be.
int32_t StoreNetHead(const NetHead& h, bool seg) {
    NameId name = 0;
    if (!AscIntern(h.name, &name)) return 0;
    int32_t n = NetFind(h.name);
    if (seg && n > kSegNetMax) {
        AscTableFull("*SEG");
        return 0;
    }
    Net rec;
    if (n) {
        NetGet(n, &rec);
        if (seg) {
            rec.flags = uint16_t((rec.flags & ~0x1F) | h.flags);
            if (h.hasLevel) rec.netLevel = h.level;
        } else {
            rec.flags = uint16_t(rec.flags | h.flags);
            rec.netLevel = h.level;
        }
    } else {
        if (NetCount() >= (seg ? kSegNetMax : int32_t(kNetMax))) {
            AscTableFull(seg ? "*SEG" : "*NET");
            return 0;
        }
        n = NetAdd();
        NetGet(n, &rec);
        rec.name = name;
        rec.flags = h.flags;
        rec.netLevel = h.level;
    }
    rec.width = uint16_t(h.width);
    if (h.hasMin) rec.minWidth = uint16_t(h.minWidth);
    if (h.hasMax) rec.maxWidth = uint16_t(h.maxWidth);
    if (h.hasWeight) rec.weight = uint8_t(h.weight);
    NetPut(n, &rec);
    DbHeader hdr;
    DbGetHeader(&hdr);
    return n;
}

// ---- *NET connections ---------------------------------------------------------

enum EndKind { kEndPin, kEndQuery, kEndFree };

// One end: "?", "NODE" (a free end when no "." follows) or component "."
// pin. The token after the end is current. False after the message.
bool ReadEnd(bool first, EndKind* kind, int32_t* comp, int32_t* pin) {
    AscContext& c = Ctx();
    if (IsPunct("?")) {
        *kind = kEndQuery;
        AscGetToken(kAscName);
        return true;
    }
    // A component name is a word, or a string where the name is not one.
    const bool quoted = c.kind == kAscString;
    if ((c.kind != kAscWord && !quoted) || (!quoted && c.token[0] == '*')) {
        AscError("%s", AscMsg(first ? kAscMsgSourceMissing : kAscMsgTargetMissing));
        return false;
    }
    char name[kNameMaxChars + 1];
    std::snprintf(name, sizeof name, "%.100s", c.token);
    AscGetToken(kAscAny);
    if (!IsPunct(".")) {
        if (!quoted && std::strcmp(name, "NODE") == 0) {
            *kind = kEndFree;
            *comp = *pin = 0;
            return true;
        }
        int32_t found = CompFind(name);
        if (!found) {
            AscError(AscMsg(kAscMsgNoComponent), name);
            return false;
        }
        AscError("%s", AscMsg(first ? kAscMsgSourcePin : kAscMsgTargetPin));
        return false;
    }
    int32_t found = CompFind(name);
    if (!found) {
        AscError(AscMsg(kAscMsgNoComponent), name);
        return false;
    }
    if (!ReadPin(found, pin)) return false;
    *kind = kEndPin;
    *comp = found;
    AscGetToken(kAscName);
    return true;
}

// The pad at a point on a layer (0: any); false after the message.
bool PadAt(int32_t x, int32_t y, int32_t layer, int32_t* comp, int32_t* pin) {
    int32_t position = 0, p = 0;
    if (!CompPinAt(x, y, layer, &position, &p)) {
        AscError(AscMsg(kAscMsgNoPad), long(x), long(y));
        return false;
    }
    *comp = position;
    *pin = p;
    return true;
}

Conn* ConnScratch() {
    static std::unique_ptr<Conn> scratch(new Conn());
    return scratch.get();
}

} // namespace

int32_t AscReadPoint(int32_t* x, int32_t* y) {
    if (!AscTokenIs("[")) {
        AscError("%s", AscMsg(kAscMsgSyntax));
        return 0;
    }
    if (!AscGetToken(kAscNumber)) return 0;
    int64_t px = AscNumber64();
    if (!AscGetToken(kAscPunct) || !IsPunct(",")) return 0;
    if (!AscGetToken(kAscNumber)) return 0;
    int64_t py = AscNumber64();
    if (!AscGetToken(kAscPunct) || !IsPunct("]")) return 0;
    if (!InCoord("[x, y]", px) || !InCoord("[x, y]", py)) return 0;
    *x = int32_t(px);
    *y = int32_t(py);
    return 1;
}

int32_t AscReadNetConn(int32_t net, int32_t width) {
    Conn& rec = *ConnScratch();
    std::memset(&rec.head, 0, sizeof rec.head);
    int32_t count = 0, curWidth = width, curLayer = 0;
    int32_t layers = DbHdr().layerCount, vias = DbHdr().viaCount;
    EndKind firstKind;
    int32_t fromComp = 0, fromPin = 0;
    if (!ReadEnd(true, &firstKind, &fromComp, &fromPin)) return 0;
    if (firstKind == kEndPin) {
        Crn& k = rec.crn[0];
        std::memset(&k, 0, sizeof k);
        PinPoint(fromComp, fromPin, &k.x, &k.y);
        k.width = uint16_t(curWidth);
        count = 1;
    }
    for (;;) {
        Crn* cur = count ? &rec.crn[count - 1] : nullptr;
        int32_t v = 0;
        if (AscTokenIs("L:")) {
            if (!Number(&v)) return 0;
            if (v < 0 || v > layers) {
                AscError(AscMsg(kAscMsgLayerRange), int(v));
                return 0;
            }
            curLayer = v;
            if (cur) cur->layer = uint8_t(v);
        } else if (AscTokenIs("W:")) {
            if (!Number(&v) || !AscInRange("W:", v, 0, kWidthMax)) return 0;
            curWidth = v;
            if (cur) cur->width = uint16_t(v);
        } else if (AscTokenIs("V:")) {
            if (!Number(&v) || !AscInRange("V:", v, 0, vias)) return 0;
            if (cur) cur->via = uint8_t(v);
        } else if (AscTokenIs("[")) {
            int32_t x = 0, y = 0;
            if (!AscReadPoint(&x, &y)) return 0;
            if (!cur || cur->x != x || cur->y != y) {
                if (count >= kConnMaxCorners) {
                    AscError("%s", AscMsg(kAscMsgTooManyCorners));
                    return 0;
                }
                Crn& k = rec.crn[count++];
                std::memset(&k, 0, sizeof k);
                k.x = x;
                k.y = y;
                k.width = uint16_t(curWidth);
                k.layer = uint8_t(curLayer);
            }
        } else if (AscTokenIs("LOCKED")) {
            if (cur) cur->flags |= kCrnLocked;
        } else if (AscTokenIs("LATCHED")) {
            if (cur) cur->flags |= kCrnLatched;
        } else {
            break;
        }
        AscGetToken(kAscName);
    }
    if (firstKind == kEndQuery) {
        if (count == 0) {
            AscError("%s", AscMsg(kAscMsgTwoCorners));
            return 0;
        }
        if (!PadAt(rec.crn[0].x, rec.crn[0].y, rec.crn[0].layer, &fromComp, &fromPin)) return 0;
    }
    EndKind lastKind;
    int32_t toComp = 0, toPin = 0;
    if (!ReadEnd(false, &lastKind, &toComp, &toPin)) return 0;
    if (lastKind == kEndQuery) {
        if (count == 0) {
            AscError("%s", AscMsg(kAscMsgTwoCorners));
            return 0;
        }
        const Crn& last = rec.crn[count - 1];
        if (!PadAt(last.x, last.y, last.layer, &toComp, &toPin)) return 0;
    } else if (lastKind == kEndPin) {
        int32_t x = 0, y = 0;
        PinPoint(toComp, toPin, &x, &y);
        bool same = count > 1 && rec.crn[count - 1].x == x && rec.crn[count - 1].y == y;
        if (!same) {
            if (count >= kConnMaxCorners) {
                AscError("%s", AscMsg(kAscMsgTooManyCorners));
                return 0;
            }
            Crn& k = rec.crn[count++];
            std::memset(&k, 0, sizeof k);
            k.x = x;
            k.y = y;
            k.width = uint16_t(curWidth);
            k.layer = uint8_t(curLayer);
        }
    }
    for (const char* word : {"LOCKED", "LATCHED"}) {
        if (!AscTokenIs(word)) continue;
        if (count) rec.crn[count - 1].flags |= word[1] == 'O' ? kCrnLocked : kCrnLatched;
        AscGetToken(kAscName);
    }
    if (count < 2) {
        AscError("%s", AscMsg(kAscMsgTwoCorners));
        return 0;
    }
    if (NetRef(net)->width == 0)
        for (int32_t i = 0; i < count - 1; ++i)
            if (rec.crn[i].width == 0) {
                AscRejected("*NET", kErrNetWidthZero);
                return 0;
            }
    // The table grows by 500 slots while that stays below its limit.
    ConnLayout layout;
    ConnTestLayout(&layout);
    if (ConnCount() >= layout.capacity && layout.capacity + kConnGrow >= kConnLimit) {
        AscTableFull("*NET");
        return 0;
    }
    rec.head.fromComp = int16_t(fromComp);
    rec.head.fromPin = int16_t(fromPin);
    rec.head.toComp = int16_t(toComp);
    rec.head.toPin = int16_t(toPin);
    rec.head.net = int16_t(net);
    rec.head.count = int16_t(count);
    int32_t n = ConnAdd();
    ConnPut(n, &rec);
    return 1;
}

int32_t AscReadNet() {
    NetHead h;
    if (!ReadNetHead(h, false)) return 0;
    int32_t n = StoreNetHead(h, false);
    if (!n) return 0;
    while (!AscAtKeyword())
        if (!AscReadNetConn(n, h.width)) return 0;
    return 1;
}

// ---- *SEG -----------------------------------------------------------------------

namespace {

int32_t g_segWidth = 0;

// The loose pins handed to the node lists by the read in hand: the rebuild
// places them by their components, which must still have those pins.
struct SegPins {
    const AscContext* read = nullptr;
    std::vector<std::pair<int16_t, int16_t>> pins;
    void Add(int32_t comp, int32_t pin) {
        if (read != g_asc) {
            read = g_asc;
            pins.clear();
        }
        pins.emplace_back(int16_t(comp), int16_t(pin));
    }
    bool Uses(int32_t comp) const {
        if (read != g_asc) return false;
        for (const auto& p : pins)
            if (p.first == comp) return true;
        return false;
    }
} g_segPins;

} // namespace

int32_t AscReadSegItem(int32_t net) {
    AscContext& c = Ctx();
    Conn& rec = *ConnScratch();
    std::memset(&rec.head, 0, sizeof rec.head);
    rec.head.net = int16_t(net);
    if (AscTokenIs("P:")) {
        AscGetToken(kAscAny);
        if ((c.kind != kAscWord && c.kind != kAscString) || AscAtKeyword()) {
            AscError("%s", AscMsg(kAscMsgPinMissingSeg));
            return 0;
        }
        char name[kNameMaxChars + 1];
        std::snprintf(name, sizeof name, "%.100s", c.token);
        int32_t comp = CompFind(name);
        if (!comp) {
            AscError(AscMsg(kAscMsgNoComponent), name);
            return 0;
        }
        AscGetToken(kAscAny);
        if (!IsPunct(".")) {
            AscError("%s", AscMsg(kAscMsgSourcePin));
            return 0;
        }
        int32_t pin = 0;
        if (!ReadPin(comp, &pin)) return 0;
        rec.head.fromComp = int16_t(comp);
        rec.head.fromPin = int16_t(pin);
        std::memset(&rec.crn[0], 0, sizeof rec.crn[0]);
        g_segPins.Add(comp, pin);
        NetNodeListBuild(&rec);
        AscGetToken(kAscAny);
        return 1;
    }
    bool via = AscTokenIs("V:");
    if (!via && !AscTokenIs("L:")) {
        AscError("%s", AscMsg(kAscMsgSyntax));
        return 0;
    }
    int32_t v = 0, layer = 0, type = 0;
    if (!Number(&v)) return 0;
    if (via) {
        if (!AscInRange("V:", v, 0, DbHdr().viaCount)) return 0;
        type = v;
    } else {
        if (v < 0 || v > DbHdr().layerCount) {
            AscError(AscMsg(kAscMsgLayerRange), int(v));
            return 0;
        }
        layer = v;
    }
    AscGetToken(kAscAny);
    if (!via && AscTokenIs("W:")) {
        if (!Number(&v) || !AscInRange("W:", v, 0, kWidthMax)) return 0;
        g_segWidth = v;
        AscGetToken(kAscAny);
    }
    int32_t count = 0;
    while (AscTokenIs("[")) {
        int32_t x = 0, y = 0;
        if (!AscReadPoint(&x, &y)) return 0;
        if (count >= kConnMaxCorners) {
            AscError("%s", AscMsg(kAscMsgTooManyCorners));
            return 0;
        }
        if (via && count >= 1) {
            AscError("%s", AscMsg(kAscMsgViaOneCoord));
            return 0;
        }
        Crn& k = rec.crn[count++];
        std::memset(&k, 0, sizeof k);
        k.x = x;
        k.y = y;
        k.width = uint16_t(g_segWidth);
        k.layer = uint8_t(layer);
        AscGetToken(kAscAny);
        if (AscTokenIs("LOCKED") || AscTokenIs("LATCHED")) {
            k.flags = AscTokenIs("LOCKED") ? kCrnLocked : kCrnLatched;
            AscGetToken(kAscAny);
        }
    }
    if (count == 0) {
        AscError("%s", AscMsg(kAscMsgOneCoord));
        return 0;
    }
    if (via) rec.crn[0].via = uint8_t(type);
    if (!via && count > 1 && g_segWidth == 0 && net > 0 && NetRef(net)->width == 0) {
        AscRejected("*SEG", kErrNetWidthZero);
        return 0;
    }
    rec.head.count = int16_t(count);
    NetNodeListBuild(&rec);
    return 1;
}

int32_t AscReadSeg() {
    NetHead h;
    if (!ReadNetHead(h, true)) return 0;
    int32_t n = StoreNetHead(h, true);
    if (!n) return 0;
    // The node lists are rebuilt into connections once the file is read,
    // whether or not a later item fails.
    Ctx().segmentsRead = 1;
    g_segWidth = h.width;
    while (!AscAtKeyword())
        if (!AscReadSegItem(n)) return 0;
    return 1;
}

void AscBoardStart() {
    g_segPins = SegPins();
    g_segPins.read = g_asc;
}

// ---- *COMP ------------------------------------------------------------------------

int32_t AscReadComp() {
    AscContext& c = Ctx();
    AscGetToken(kAscAny);
    if ((c.kind != kAscWord && c.kind != kAscString) || AscAtKeyword()) {
        AscError("%s", AscMsg(kAscMsgCompName));
        return 0;
    }
    char name[kNameMaxChars + 1];
    std::snprintf(name, sizeof name, "%.100s", c.token);
    NameId id = 0;
    if (!AscIntern(name, &id)) return 0;
    bool hasPos = false, hasSym = false;
    int32_t x = 0, y = 0, sym = 0;
    int16_t angle = 0;
    uint16_t flags = 0;
    AscGetToken(kAscAny);
    while (!AscAtKeyword()) {
        if (AscTokenIs("[")) {
            if (!AscReadPoint(&x, &y)) return 0;
            hasPos = true;
        } else if (AscTokenIs("ROT=")) {
            if (!ReadAngle(&angle)) return 0;
            continue;
        } else if (AscTokenIs("SYMBOL=")) {
            AscGetToken(kAscAny);
            if (c.kind == kAscNumber) {
                int32_t s = c.number;
                if (s < 0 || s > c.symbolCount || c.symMap[s] == 0) {
                    AscError(AscMsg(kAscMsgSymbolCode), int(s));
                    return 0;
                }
                sym = c.symMap[s];
            } else if (c.kind == kAscString) {
                sym = SymFind(c.token);
                if (!sym) {
                    AscError(AscMsg(kAscMsgUndefinedSymbol), c.token);
                    return 0;
                }
            } else {
                AscError("%s", AscMsg(kAscMsgBadSymbolRef));
                return 0;
            }
            hasSym = true;
        } else if (AscTokenIs("NOROUTE")) {
            flags |= kCompNoRoute;
        } else if (AscTokenIs("ROUTE")) {
            flags = uint16_t(flags & ~kCompNoRoute);
        } else if (AscTokenIs("KEY")) {
            flags |= kCompKey;
        } else {
            AscError("%s", AscMsg(kAscMsgSyntax));
        }
        AscGetToken(kAscAny);
    }
    // A new component is appended only once its element was read whole.
    int32_t n = CompFind(name);
    Component rec;
    if (n) {
        CompGet(n, &rec);
    } else {
        if (CompCount() >= kCompMax) {
            AscTableFull("*COMP");
            return 0;
        }
        DbRecInit(kRecComponent, &rec, CompCount() + 1);
    }
    // A component whose pins are in use keeps at least as many pins.
    if (n && hasSym && sym != rec.symbol && rec.symbol >= 1 &&
        SymPinCount(sym) < SymPinCount(rec.symbol) && (ConnFindComp(n) || g_segPins.Uses(n))) {
        AscError(AscMsg(kAscMsgPinMissing), int(SymPinCount(sym) + 1));
        return 0;
    }
    rec.name = id;
    rec.angle = angle;
    rec.flags = flags;
    if (hasPos) rec.x = x, rec.y = y;
    if (hasSym) rec.symbol = int16_t(sym);
    // Connections and loose pins end on the pins of a component in use: its
    // new place keeps them within the coordinate limit.
    if (n && rec.symbol >= 1 && (ConnFindComp(n) || g_segPins.Uses(n)))
        for (int32_t p = 1; p <= SymPinCount(rec.symbol); ++p) {
            PlacedPin placed;
            SymPinGet(&rec, p, &placed);
            if (!InCoord("[x, y]", placed.x) || !InCoord("[x, y]", placed.y)) return 0;
        }
    bool added = false;
    if (!n) {
        n = CompAdd();
        added = true;
        Component fresh;
        CompGet(n, &fresh);
        rec.recordId = fresh.recordId;
    }
    if (ErrCode code = CompPutCheck(n, &rec)) {
        AscRejected("*COMP", code);
        if (added) CompDelete(n);
        return 0;
    }
    CompPut(n, &rec);
    return 1;
}

// ---- *OBS -------------------------------------------------------------------------

namespace {

// The kind a word of a kind table names (count when none), and back.
int32_t KindOfWord(const char* const* words, int32_t count, const char* word) {
    for (int32_t k = 0; k < count; ++k)
        if (std::strcmp(word, words[k]) == 0) return k;
    return count;
}

const char* WordOfKind(const char* const* words, int32_t count, int32_t kind) {
    return kind >= 0 && kind < count ? words[kind] : "OTHER";
}

} // namespace

namespace {

const char* const kObsKindWords[20] = {"OUTLINE", "KEEPOUT",  "AVOID",   "NOVIA",   "KEEPIN",
                                       "TEXT",    "NULL",     "CDETAIL", "CKEEPIN", "CKEEPOUT",
                                       "CINNER",  "COUTER",   "MATRIX",  "GKEEPIN", "GKEEPOUT",
                                       "HKEEPIN", "HKEEPOUT", "CVOID",   "CPOUR",   "SHAVABLE"};

// The owner after "SYM=": minus a component, 0 the board, or a symbol by
// its number in the file, which goes through the symbol map like the
// footprint of a component; a symbol the file did not define (or that was
// refused) is out of range.
bool ReadOwner(int16_t* owner) {
    int32_t v = 0;
    if (!Number(&v) || !AscInRange("SYM=", v, -CompCount(), INT16_MAX)) return false;
    if (v <= 0) {
        *owner = int16_t(v);
        return true;
    }
    const AscContext& c = Ctx();
    const int32_t s = v <= c.symbolCount ? c.symMap[v] : 0;
    if (!AscInRange("SYM=", v, 1, s ? INT16_MAX : 0)) return false;
    *owner = int16_t(s);
    return true;
}

Obstacle* ObsScratch() {
    static std::unique_ptr<Obstacle> scratch(new Obstacle());
    return scratch.get();
}

} // namespace

int32_t AscObsKind(const char* word) {
    return KindOfWord(kObsKindWords, 20, word);
}

const char* AscObsKindWord(int32_t kind) {
    return WordOfKind(kObsKindWords, 20, kind);
}

int32_t AscReadObs() {
    AscContext& c = Ctx();
    AscGetToken(kAscAny);
    if ((c.kind != kAscWord && c.kind != kAscString) || AscAtKeyword()) {
        AscError("%s", AscMsg(kAscMsgObsType));
        return 0;
    }
    Obstacle& rec = *ObsScratch();
    std::memset(&rec.head, 0, sizeof rec.head);
    ObsHead& h = rec.head;
    h.kind = uint8_t(AscObsKind(c.token));
    h.net = kObsNoNet;
    int32_t count = 0, v = 0;
    AscGetToken(kAscAny);
    while (!AscAtKeyword()) {
        if (AscTokenIs("[")) {
            int32_t x = 0, y = 0;
            if (!AscReadPoint(&x, &y)) return 0;
            if (count >= kObsMaxPoints) {
                AscError("%s", AscMsg(kAscMsgTooManyCorners));
                return 0;
            }
            ObsPoint& p = rec.pt[count++];
            std::memset(&p, 0, sizeof p);
            p.x = x;
            p.y = y;
        } else if (AscTokenIs("ARC:")) {
            AscGetToken(kAscWord);
            uint16_t arc = AscTokenIs("CW") ? kObsPtArcCw : AscTokenIs("CCW") ? kObsPtArcCcw : 0;
            if (arc) {
                if (count) rec.pt[count - 1].flags = arc;
                h.flags = kObsHasArcs;
            }
        } else if (AscTokenIs("CRNW:")) {
            if (!Number(&v) || !AscInRange("CRNW:", v, 0, INT16_MAX)) return 0;
            if (count) rec.pt[count - 1].width = int16_t(v);
        } else if (AscTokenIs("L:")) {
            if (!Number(&v) || !AscInRange("L:", v, 0, DbHdr().layerCount)) return 0;
            h.layer = uint8_t(v);
        } else if (AscTokenIs("W:")) {
            if (!Number(&v) || !AscInRange("W:", v, 0, kCoordLimit)) return 0;
            h.width = v;
        } else if (AscTokenIs("SYM=")) {
            if (!ReadOwner(&h.owner)) return 0;
        } else if (AscTokenIs("NONET")) {
            h.net = kObsNoNet;
        } else if (AscTokenIs("NETNUMBER:")) {
            if (!Number(&v) || !AscInRange("NETNUMBER:", v, 1, NetCount())) return 0;
            h.net = int16_t(v);
        } else if (AscTokenIs("PINNUMBER:")) {
            if (!Number(&v) || !AscInRange("PINNUMBER:", v, 1, kPinNumberMax)) return 0;
            h.net = int16_t(-v);
        } else if (AscTokenIs("ANYNET")) {
            h.net = 0;
        }
        AscGetToken(kAscAny);
    }
    if (count < 2) {
        AscError("%s", AscMsg(kAscMsgObsCorners));
        return 0;
    }
    h.count = int16_t(count);
    if (h.layer == 0 && h.net == 0) {
        AscRejected("*OBS", kErrObsPutAnyNetConn);
        return 0;
    }
    if (ObsCount() >= kObsMax) {
        AscTableFull("*OBS");
        return 0;
    }
    int32_t o = ObsAppend();
    ObsHead defaults;
    {
        auto fresh = std::make_unique<Obstacle>();
        DbRecInit(kRecObstacle, fresh.get(), o);
        defaults = fresh->head;
    }
    h.name = defaults.name;
    h.recordId = defaults.recordId;
    if (ErrCode code = ObsPutCheck(o, &rec)) {
        AscRejected("*OBS", code);
        ObsDelete(o);
        return 0;
    }
    ObsPut(o, &rec);
    return 1;
}

// ---- *NOTE and *TEXT ----------------------------------------------------------------

int32_t AscReadNote() {
    if (!AscGetToken(kAscString)) return 0;
    char text[kTextChars];
    std::snprintf(text, sizeof text, "%.100s", Ctx().token);
    AscGetToken(kAscAny);
    if (!NoteAdd(text)) {
        AscTableFull("*NOTE");
        return 0;
    }
    return 1;
}

namespace {

const char* const kTextKindWords[7] = {"STATIC",  "CNAME",   "SNAME",  "PNAME",
                                       "PINNAME", "CDETAIL", "SDETAIL"};

} // namespace

int32_t AscTextKind(const char* word) {
    return KindOfWord(kTextKindWords, 7, word);
}

const char* AscTextKindWord(int32_t kind) {
    return WordOfKind(kTextKindWords, 7, kind);
}

int32_t AscReadText() {
    AscContext& c = Ctx();
    AscGetToken(kAscAny);
    if ((c.kind != kAscWord && c.kind != kAscString) || AscAtKeyword()) {
        AscError("%s", AscMsg(kAscMsgTextString));
        return 0;
    }
    BoardText rec;
    std::memset(&rec, 0, sizeof rec);
    std::snprintf(rec.text, sizeof rec.text, "%.100s", c.token);
    AscGetToken(kAscAny);
    if ((c.kind != kAscWord && c.kind != kAscString) || AscAtKeyword()) {
        AscError("%s", AscMsg(kAscMsgTextType));
        return 0;
    }
    rec.kind = uint8_t(AscTextKind(c.token));
    rec.width = 600;
    rec.height = 4500;
    rec.ratio = 100;
    int32_t v = 0;
    AscGetToken(kAscAny);
    while (!AscAtKeyword()) {
        if (AscTokenIs("[")) {
            if (!AscReadPoint(&rec.x, &rec.y)) return 0;
        } else if (AscTokenIs("L:")) {
            if (!Number(&v) || !AscInRange("L:", v, 0, DbHdr().layerCount)) return 0;
            rec.layer = uint8_t(v);
        } else if (AscTokenIs("SYM=")) {
            if (!ReadOwner(&rec.owner)) return 0;
        } else if (AscTokenIs("ROT=")) {
            if (!ReadAngle(&rec.angle)) return 0;
            continue;
        } else if (AscTokenIs("W:")) {
            if (!Number(&v) || !AscInRange("W:", v, 0, kCoordLimit)) return 0;
            rec.width = v;
        } else if (AscTokenIs("H:")) {
            if (!Number(&v) || !AscInRange("H:", v, 0, kCoordLimit)) return 0;
            rec.height = v;
        } else if (AscTokenIs("RATIO:")) {
            if (!Number(&v) || !AscInRange("RATIO:", v, 1, 1000)) return 0;
            rec.ratio = int16_t(v);
        } else if (AscTokenIs("M:")) {
            if (!Number(&v)) return 0;
            rec.flags = (v & 1) ? kTextFlagMirrored : 0;
        } else if (AscTokenIs("R:")) {
            if (!Number(&v) || !AscInRange("R:", v, 0, kCoordLimit)) return 0;
            rec.r = v;
        }
        AscGetToken(kAscAny);
    }
    if (TextCount() >= kTextMax) {
        AscTableFull("*TEXT");
        return 0;
    }
    int32_t t = TextAdd();
    BoardText defaults;
    TextGet(t, &defaults);
    rec.name = defaults.name;
    rec.recordId = defaults.recordId;
    rec.value50 = 0;
    if (ErrCode code = TextPutCheck(t, &rec)) {
        AscRejected("*TEXT", code);
        TextDelete(t);
        return 0;
    }
    TextPut(t, &rec);
    return 1;
}

// ---- the rebuild after a read with segments ------------------------------------------

void AscRebuild() {
    DbHeader h;
    DbGetHeader(&h);
    // The reader gathers no loose outline segments; both obstacle steps
    // run on empty lists.
    ObsLooseList none = {nullptr, 0};
    ObsFromNodesEnd(&none);
    // Every loose pin must still be there; otherwise the segments are
    // dropped.
    if (g_segPins.read == g_asc && g_asc)
        for (const auto& p : g_segPins.pins) {
            const Component* c = p.first <= CompCount() ? CompRef(p.first) : nullptr;
            if (!c || c->symbol < 1 || p.second > SymPinCount(c->symbol)) {
                AscError(AscMsg(kAscMsgPinMissing), int(p.second));
                NetNodeListFree();
                break;
            }
        }
    g_segPins = SegPins();
    AscOrderNets();
    ObsFromNodes(&none);
}
