// The library sections: *LAYER, *VIA, *THRU (with their pad shapes),
// *SYMBOL and *PACKAGE, read and written.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "db/comps.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/packages.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "files/ascint.h"
#include "files/ascout.h"
#include "toolbox/core/timetext.h"

namespace {

// ---- element heads ----------------------------------------------------------

struct Head {
    bool hasNumber = false;
    bool hasName = false;
    int32_t number = 0;
    char name[kNameMaxChars + 1] = {};
};

// Messages of a head: a second number, a second name, neither. A second
// number of 0 ends the head instead of failing.
struct HeadMessages {
    int32_t numberTwice; // 0: a second number ends the head
    int32_t nameTwice;
    int32_t none;
};

// Reads the numbers and strings after the keyword; the first other token
// stays current. False (after the message) when the head is refused.
bool ReadHead(Head& h, const HeadMessages& m) {
    AscContext& c = *g_asc;
    for (;;) {
        AscGetToken(kAscAny);
        if (c.kind == kAscNumber) {
            if (h.hasNumber) {
                if (!m.numberTwice) break;
                AscError(AscMsg(m.numberTwice), int(c.number));
                return false;
            }
            h.hasNumber = true;
            h.number = c.number;
        } else if (c.kind == kAscString) {
            if (h.hasName) {
                AscError(AscMsg(m.nameTwice), c.token);
                return false;
            }
            h.hasName = true;
            std::snprintf(h.name, sizeof h.name, "%.100s", c.token);
        } else {
            break;
        }
    }
    if (!h.hasNumber && !h.hasName) {
        AscError("%s", AscMsg(m.none));
        return false;
    }
    return true;
}

// The NameId of a head's name (false when the name table is full).
bool HeadName(const Head& h, NameId* out) {
    return AscIntern(h.name, out);
}

bool InCoord(const char* what, int64_t v) {
    return AscInRange(what, v, -kCoordLimit, kCoordLimit);
}

// ---- pad shapes ---------------------------------------------------------------

const char* const kShapeNames[8] = {"UNDEF  ", "ROUND  ", "SQUARE ", "OBLONG ",
                                    "RECT   ", "OVAL   ", "THERMAL", "ANNULAR"};

bool Elongated(int32_t code) {
    return code == kPadOblong || code == kPadRect || code == kPadOval;
}

// A sub-shape being read.
struct OpenShape {
    bool open = false;
    int32_t index = 0; // sub-shapes opened before it
    int32_t code = 0;
    bool hasW = false, hasH = false, hasX = false, hasY = false;
    int32_t w = 0, h = 0, x = 0, y = 0;
};

// Closes the sub-shape in hand into the layer block; false (after the
// message) when it is refused.
bool CloseShape(OpenShape& s, ThruLayer& b, int32_t via) {
    if (!s.open) return true;
    s.open = false;
    if (via && s.index > 0) return true; // a via keeps its first sub-shape
    int32_t code = s.code;
    if (via && code == kPadUndef && !s.hasW && !s.hasH) {
        b.shapeCount = 0; // no pad on this layer
        return true;
    }
    if (code == kPadUndef && !s.hasW && !s.hasH && s.index == 0) {
        b.shapeCount = 0; // a lone UNDEF: no pad, as the writer writes it
        return true;
    }
    if (via && code != kPadRound && code != kPadSquare) {
        // Logged where the shape was named; an UNDEF with dimensions here.
        if (code == kPadUndef) AscError(AscMsg(kAscMsgViaRound), int(via));
        code = kPadRound;
    }
    int32_t w = s.w, h = s.h;
    if (!s.hasH) h = w;
    if (!s.hasW) w = h;
    if (code != kPadUndef && !s.hasW && !s.hasH) {
        AscError("%s", AscMsg(kAscMsgNoDims));
        return false;
    }
    if (via) w = h = (w > h ? w : h);
    PadShape& p = b.shape[s.index];
    std::memset(&p, 0, sizeof p);
    p.code = uint8_t(code);
    int32_t e[4] = {w / 2, w / 2, w / 2, w / 2};
    if ((code == kPadRound || code == kPadSquare) && w != h) {
        AscError("%s", AscMsg(kAscMsgNotSquare));
        return false;
    }
    bool offsets = (s.hasX && s.x != 0) || (s.hasY && s.y != 0);
    if (Elongated(code)) {
        e[1] = e[3] = h / 2;
        if (s.index == 0) {
            e[0] = w / 2 - s.x;
            e[2] = w / 2 + s.x;
            e[1] = h / 2 - s.y;
            e[3] = h / 2 + s.y;
            if (e[0] < 0 || e[1] < 0 || e[2] < 0 || e[3] < 0) {
                AscError("%s", AscMsg(kAscMsgCentreOutside));
                return false;
            }
        }
    }
    if (s.index > 0) {
        p.x = s.x;
        p.y = s.y;
    } else if (offsets && !Elongated(code)) {
        AscError(AscMsg(kAscMsgPrimaryOffsets), kShapeNames[code & 7]);
        return false;
    }
    std::memcpy(p.ext, e, sizeof e);
    b.shapeCount = uint8_t(s.index + 1);
    return true;
}

// One layer's pad shapes; the current token is "LAYER=". The token after
// them (the next "LAYER=" or keyword) stays current. False when refused.
bool ReadShapes(ThruCode& rec, int32_t via) {
    AscContext& c = *g_asc;
    AscGetToken(kAscAny);
    int32_t layer = 0;
    int32_t layers = DbHdr().layerCount;
    if (c.kind == kAscNumber) {
        layer = c.number;
        if (layer < 0 || layer > layers) {
            AscError(AscMsg(kAscMsgLayerCode), int(layer));
            return false;
        }
    } else if (c.kind == kAscWord || c.kind == kAscString) {
        layer = LayerFind(c.token);
        if (layer == 0) {
            AscError(AscMsg(kAscMsgUndefinedLayer), c.token);
            return false;
        }
    } else {
        AscError("%s", AscMsg(kAscMsgSyntax));
        return false;
    }
    ThruLayer b;
    std::memset(&b, 0, sizeof b);
    OpenShape s;
    int32_t opened = 0;
    AscGetToken(kAscAny);
    while (!AscAtKeyword() && !AscTokenIs("LAYER=")) {
        if (AscTokenIs("ROT=")) {
            if (!AscGetToken(kAscNumber)) continue;
            int64_t d = c.number, m = 0;
            AscGetToken(kAscAny);
            if (AscTokenIs("[")) {
                if (!AscGetToken(kAscNumber)) continue;
                m = c.number;
                if (AscGetToken(kAscPunct) && std::strcmp(c.token, "]") == 0) AscGetToken(kAscAny);
            }
            int64_t rot = 60 * d + m;
            if (!AscInRange("ROT=", rot, -21600, 21600)) return false;
            b.rotation = int16_t(rot);
        } else if (AscTokenIs("SHAPE=")) {
            if (!CloseShape(s, b, via)) return false;
            if (!AscGetToken(kAscWord)) continue;
            if (opened >= kThruShapes) {
                AscError(AscMsg(kAscMsgTooManyShapes), int(kThruShapes));
                return false;
            }
            if (via && opened > 0) AscError("%s", AscMsg(kAscMsgViaOneShape));
            s = OpenShape{};
            s.open = true;
            s.index = opened++;
            s.code = AscShapeCode(c.token);
            if (via && s.index == 0 && s.code != kPadRound && s.code != kPadSquare &&
                s.code != kPadUndef)
                AscError(AscMsg(kAscMsgViaRound), int(via));
            AscGetToken(kAscAny);
        } else if (AscTokenIs("W:") || AscTokenIs("H:") || AscTokenIs("XOFF:") ||
                   AscTokenIs("YOFF:")) {
            char what = c.token[0];
            char word[8];
            std::snprintf(word, sizeof word, "%.7s", c.token);
            if (!s.open) {
                AscError("%s", AscMsg(kAscMsgDimsBeforeShape));
                return false;
            }
            if (!AscGetToken(kAscNumber)) continue;
            int32_t v = c.number;
            if (what == 'W' && v < 0) {
                AscError(AscMsg(kAscMsgWidthNegative), int(v));
                return false;
            }
            if (what == 'H' && v < 0) {
                AscError(AscMsg(kAscMsgHeightNegative), int(v));
                return false;
            }
            if (!InCoord(word, v)) return false;
            if (what == 'W') s.hasW = true, s.w = v;
            if (what == 'H') s.hasH = true, s.h = v;
            if (what == 'X') s.hasX = true, s.x = v;
            if (what == 'Y') s.hasY = true, s.y = v;
            AscGetToken(kAscAny);
        } else {
            AscGetToken(kAscAny);
        }
    }
    if (!CloseShape(s, b, via)) return false;
    std::memcpy(&rec.layer[layer], &b, sizeof b);
    return true;
}

// Pad shapes up to the next keyword into rec. False when one is refused.
bool ReadAllShapes(ThruCode& rec, int32_t via) {
    while (!AscAtKeyword()) {
        if (AscTokenIs("LAYER=")) {
            if (!ReadShapes(rec, via)) return false;
        } else {
            AscGetToken(kAscAny);
        }
    }
    return true;
}

bool StoreThru(int32_t t, const ThruCode& rec, const char* what) {
    int32_t number = 0;
    if (ErrCode code = ThruPutCheck(t, &rec, &number)) {
        AscRejected(what, code);
        return false;
    }
    ThruPut(t, &rec);
    return true;
}

ThruCode g_thruScratch;
Symbol g_symScratch;
Package g_pkgScratch;

} // namespace

int32_t AscShapeCode(const char* word) {
    static const char* const kWords[8] = {"UNDEF", "ROUND", "SQUARE",  "OBLONG",
                                          "RECT",  "OVAL",  "THERMAL", "ANNULAR"};
    for (int32_t i = 0; i < 8; ++i)
        if (std::strcmp(word, kWords[i]) == 0) return i;
    return 0;
}

// ---- *LAYER -------------------------------------------------------------------

void AscReadLayer() {
    AscContext& c = *g_asc;
    Head h;
    if (!ReadHead(h, {kAscMsgLayerNumberTwice, kAscMsgLayerNameTwice, kAscMsgLayerHead})) return;
    NameId name = 0;
    if (h.hasName) {
        UpcaseCString(h.name);
        if (!HeadName(h, &name)) return;
    }
    int32_t n = 0;
    if (h.hasNumber) {
        n = h.number;
    } else {
        n = ++c.layerCounter;
    }
    if (n > kMaxLayers) {
        AscError("%s", AscMsg(kAscMsgTooManyLayers));
        return;
    }
    if (n < 1) {
        AscError(AscMsg(kAscMsgLayerCode), int(n));
        return;
    }
    // Another layer of that name: a name given by an earlier element of this
    // file is a duplicate; a default name gives way (that layer takes its
    // number-form name back).
    int32_t other = 0;
    if (name) {
        for (int32_t l = 1; l <= kMaxLayers; ++l)
            if (l != n && c.layerNamed[l] == name) {
                AscError(AscMsg(kAscMsgLayerDuplicate), h.name);
                return;
            }
        for (int32_t l = 1; l <= kMaxLayers && !other; ++l)
            if (l != n && LayerRef(l)->name == name) other = l;
    }
    if (!AscTokenIs("SPACE")) return;
    int64_t v[7] = {};
    for (int32_t i = 0; i < 3; ++i) {
        if (!AscGetToken(kAscNumber)) return;
        v[i] = AscNumber64();
    }
    v[3] = v[4] = v[2];
    v[5] = v[0];
    v[6] = 0;
    int32_t more = 0;
    while (AscGetToken(kAscAny), c.kind == kAscNumber) {
        v[3 + more % 4] = AscNumber64();
        ++more;
    }
    bool jumper = false;
    if (AscTokenIs("JUMPER")) {
        jumper = true;
        AscGetToken(kAscAny);
    }
    for (int32_t i = 0; i < 6; ++i)
        if (!InCoord("SPACE", v[i])) return;
    if (!AscInRange("SPACE", v[6], 0, DbHdr().layerCount)) return;
    Layer rec;
    LayerGet(n, &rec);
    if (name) rec.name = name;
    rec.spacing[0] = int32_t(v[2]);
    rec.spacing[1] = int32_t(v[0]);
    rec.spacing[2] = int32_t(v[1]);
    rec.spacing[3] = int32_t(v[3]);
    rec.spacing[4] = int32_t(v[4]);
    rec.spacing[5] = int32_t(v[5]);
    rec.mirror = uint8_t(v[6]);
    rec.flags = jumper ? kLayerJumper : 0;
    if (ErrCode code = LayerPutCheck(n, &rec)) {
        AscRejected("*LAYER", code);
        return;
    }
    if (other) {
        Layer o;
        LayerGet(other, &o);
        o.name = NameOfNumber(other);
        LayerPut(other, &o);
    }
    LayerPut(n, &rec);
    if (name) c.layerNamed[n] = name;
}

// ---- *VIA and *THRU -----------------------------------------------------------

void AscReadVias() {
    AscContext& c = *g_asc;
    Head h;
    if (!ReadHead(h, {kAscMsgViaNumberTwice, kAscMsgViaNameTwice, kAscMsgViaHead})) return;
    ++c.viaCounter;
    NameId name = 0;
    if (h.hasName && !HeadName(h, &name)) return;
    int32_t n = 0;
    if (h.hasNumber) {
        n = h.number;
        int32_t found = h.hasName ? PadstackFind(h.name) : 0;
        c.viaCounter = int16_t(found);
        if (found && found != n) {
            AscError(AscMsg(kAscMsgViaDuplicate), h.name);
            n = found;
        }
    } else {
        n = c.viaCounter;
    }
    if (n < 1 || n > DbHdr().viaCount) {
        AscError(AscMsg(kAscMsgViaCode), int(n));
        return;
    }
    ThruCode& rec = g_thruScratch;
    std::memset(&rec, 0, sizeof rec);
    ThruGet(n, &rec);
    if (name) rec.name = name;
    c.viaInHand = int16_t(n);
    bool ok = ReadAllShapes(rec, n);
    c.viaInHand = 0;
    if (ok) StoreThru(n, rec, "*VIA");
}

void AscReadThru() {
    AscContext& c = *g_asc;
    Head h;
    if (!ReadHead(h, {kAscMsgThruNumberTwice, kAscMsgThruNameTwice, kAscMsgThruHead})) return;
    NameId name = 0;
    if (h.hasName && !HeadName(h, &name)) return;
    int32_t n = 0, t = 0;
    if (h.hasNumber) {
        n = h.number;
        if (n < 1 || n > c.thruMapSize) {
            AscError(AscMsg(kAscMsgThruCode), int(n));
            return;
        }
        int32_t found = h.hasName ? PadstackFind(h.name) : 0;
        if (found && found != c.thruMap[n]) AscError(AscMsg(kAscMsgThruDuplicate), h.name);
        t = found ? found : c.thruMap[n];
    } else {
        n = 1;
        while (n < c.thruMapSize && c.thruMap[n] != 0)
            ++n;
        if (c.thruMap[n] != 0) {
            AscError(AscMsg(kAscMsgThruCode), int(n + 1));
            return;
        }
    }
    ThruCode& rec = g_thruScratch;
    std::memset(&rec, 0, sizeof rec);
    if (t) {
        ThruGet(t, &rec);
    } else {
        if (ThruCount() >= kThruMax) {
            AscTableFull("*THRU");
            return;
        }
        rec.name = NameOfNumber(ThruCount() + 1);
    }
    if (name) rec.name = name;
    if (!ReadAllShapes(rec, 0)) return;
    if (!t) {
        t = ThruAdd();
        ThruCode fresh;
        ThruGet(t, &fresh);
        rec.recordId = fresh.recordId;
    }
    if (StoreThru(t, rec, "*THRU")) c.thruMap[n] = int16_t(t);
}

// ---- *SYMBOL --------------------------------------------------------------------

namespace {

// One pin of a symbol: number, name, [x, y], THRU=. False when refused.
bool ReadSymbolPin(Symbol& sym, std::vector<uint8_t>& filled, int32_t& running, int32_t& highest) {
    AscContext& c = *g_asc;
    bool hasNumber = false, hasName = false;
    int32_t p = 0;
    char name[kNameMaxChars + 1] = {};
    for (;;) {
        if (c.kind == kAscNumber) {
            if (hasNumber) {
                AscError(AscMsg(kAscMsgPinNumberTwice), int(c.number));
                return false;
            }
            hasNumber = true;
            p = c.number;
        } else if (c.kind == kAscString) {
            if (hasName) {
                AscError(AscMsg(kAscMsgPinNameTwice), c.token);
                return false;
            }
            hasName = true;
            std::snprintf(name, sizeof name, "%.100s", c.token);
        } else {
            break;
        }
        AscGetToken(kAscAny);
    }
    if (!AscTokenIs("[")) {
        AscError("%s", AscMsg(kAscMsgSyntax));
        return false;
    }
    if (!AscGetToken(kAscNumber)) return false;
    int32_t x = c.number;
    if (!AscGetToken(kAscPunct) || std::strcmp(c.token, ",") != 0) return false;
    if (!AscGetToken(kAscNumber)) return false;
    int32_t y = c.number;
    if (!AscGetToken(kAscPunct) || std::strcmp(c.token, "]") != 0) return false;
    AscGetToken(kAscAny);
    if (!AscTokenIs("THRU=")) {
        AscError("%s", AscMsg(kAscMsgSyntax));
        return false;
    }
    AscGetToken(kAscAny);
    int32_t thru = 0;
    int32_t vias = DbHdr().viaCount;
    if (c.kind == kAscNumber) {
        int32_t t = c.number;
        if (t >= 1) {
            if (t > c.thruMapSize || c.thruMap[t] == 0) {
                AscError(AscMsg(kAscMsgPinThruCode), int(t));
                return false;
            }
            thru = c.thruMap[t];
        } else {
            if (int64_t(vias) + t < 1) {
                AscError(AscMsg(kAscMsgPinThruCode), int(t));
                return false;
            }
            thru = vias + t;
        }
    } else if (c.kind == kAscWord || c.kind == kAscString) {
        thru = PadstackFind(c.token);
        if (thru == 0) {
            AscError(AscMsg(kAscMsgUndefinedThru), c.token);
            return false;
        }
    } else {
        AscError("%s", AscMsg(kAscMsgSyntax));
        return false;
    }
    AscGetToken(kAscAny);
    ++running;
    int32_t slot = hasNumber ? p : running;
    if (!AscInRange("PIN", slot, 1, kMaxPins)) return false;
    if (!InCoord("PIN", x) || !InCoord("PIN", y)) return false;
    SymbolPin& pin = sym.pin[slot];
    // An empty or missing name keeps the number-form name of the pin.
    NameId id = 0;
    if (hasName && name[0] && !AscIntern(name, &id)) return false;
    pin.name = id ? id : NameOfNumber(slot);
    pin.x = x;
    pin.y = y;
    pin.thru = int16_t(thru);
    pin.word = 0;
    filled[size_t(slot)] = 1;
    if (slot > highest) highest = slot;
    return true;
}

} // namespace

void AscReadSymbol() {
    AscContext& c = *g_asc;
    Head h;
    if (!ReadHead(h, {0, kAscMsgSymbolNameTwice, kAscMsgSymbolHead})) return;
    NameId name = 0;
    if (h.hasName && !HeadName(h, &name)) return;
    int32_t n = 0, s = 0;
    if (h.hasNumber) {
        n = h.number;
        if (n < 1 || n > c.symbolCount) {
            AscError(AscMsg(kAscMsgSymbolCode), int(n));
            return;
        }
        int32_t found = h.hasName ? SymFind(h.name) : 0;
        if (found && found != c.symMap[n]) AscError(AscMsg(kAscMsgSymbolDuplicate), h.name);
        s = found ? found : c.symMap[n];
    } else {
        n = 1;
        while (n < c.symbolCount && c.symMap[n] != 0)
            ++n;
        if (c.symMap[n] != 0) {
            AscError(AscMsg(kAscMsgSymbolCode), int(n + 1));
            return;
        }
    }
    Symbol& sym = g_symScratch;
    if (s) {
        SymGet(s, &sym);
    } else {
        if (SymCount() >= kSymMax) {
            AscTableFull("*SYMBOL");
            return;
        }
        DbRecInit(kRecSymbol, &sym, SymCount() + 1);
    }
    if (name) sym.info.name = name;
    std::vector<uint8_t> filled(kMaxPins + 1, 0);
    int32_t running = 0, highest = 0;
    while (!AscAtKeyword())
        if (!ReadSymbolPin(sym, filled, running, highest)) return;
    for (int32_t p = 1; p <= highest; ++p)
        if (!filled[size_t(p)]) {
            AscError(AscMsg(kAscMsgPinMissing), int(p));
            return;
        }
    // A symbol placed on components keeps at least the pins it had.
    if (s && highest < SymPinCount(s) && CompNextWithSym(0, s)) {
        AscError(AscMsg(kAscMsgPinMissing), int(highest + 1));
        return;
    }
    sym.info.pinCount = int16_t(highest);
    if (!s) s = SymAdd();
    int32_t number = 0;
    if (ErrCode code = SymPutCheck(s, &sym, &number)) {
        AscRejected("*SYMBOL", code);
        return;
    }
    SymPut(s, &sym);
    c.symMap[n] = int16_t(s);
}

// ---- *PACKAGE -------------------------------------------------------------------

void AscReadPackage() {
    AscContext& c = *g_asc;
    Head h;
    if (!ReadHead(h, {0, kAscMsgPackageNameTwice, kAscMsgPackageHead})) return;
    NameId name = 0;
    if (h.hasName && !HeadName(h, &name)) return;
    if (PkgCount() >= kPkgMax) {
        AscTableFull("*PACKAGE");
        return;
    }
    Package& pkg = g_pkgScratch;
    DbRecInit(kRecPackage, &pkg, PkgCount() + 1);
    if (h.hasName) pkg.info.name = name;
    int32_t highest = 0;
    while (!AscAtKeyword()) {
        if (c.kind != kAscNumber) {
            AscError("%s", AscMsg(kAscMsgPkgPinNumber));
            return;
        }
        int32_t p = c.number;
        AscGetToken(kAscAny);
        if (c.kind != kAscString) {
            AscError("%s", AscMsg(kAscMsgPkgGateName));
            return;
        }
        NameId gate = 0, pad = 0;
        if (!AscIntern(c.token, &gate)) return;
        AscGetToken(kAscAny);
        if (c.kind != kAscString) {
            AscError("%s", AscMsg(kAscMsgPkgPadName));
            return;
        }
        if (!AscIntern(c.token, &pad)) return;
        AscGetToken(kAscAny);
        if (c.kind != kAscNumber) {
            AscError("%s", AscMsg(kAscMsgPkgGateGroup));
            return;
        }
        int32_t gateGroup = c.number;
        AscGetToken(kAscAny);
        if (c.kind != kAscNumber) {
            AscError("%s", AscMsg(kAscMsgPkgPadGroup));
            return;
        }
        int32_t padGroup = c.number;
        AscGetToken(kAscAny);
        if (!AscInRange("PIN", p, 1, kMaxPins) || !AscInRange("PIN", gateGroup, 0, 255) ||
            !AscInRange("PIN", padGroup, -32768, 32767))
            return;
        PackagePin& pin = pkg.pin[p];
        pin.name = gate;
        // An empty pad name keeps the number-form name of the pin.
        pin.name2 = pad ? pad : NameOfNumber(p);
        pin.byte10 = uint8_t(gateGroup);
        pin.value = int16_t(padGroup);
        if (p > highest) highest = p;
    }
    pkg.info.pinCount = int16_t(highest);
    int32_t k = PkgAdd();
    if (ErrCode code = PkgPutCheck(k, &pkg)) {
        AscRejected("*PACKAGE", code);
        return;
    }
    PkgPut(k, &pkg);
}

// ---- writers ------------------------------------------------------------------------

int32_t LayerAsc() {
    AscPutLine(" ");
    int32_t count = DbHdr().layerCount;
    for (int32_t n = 1; n <= count && n <= kMaxLayers; ++n) {
        const Layer* l = LayerRef(n);
        const int32_t* s = l->spacing;
        AscOut("*Layer  %d \"%s\"  Space  %ld %ld %ld %ld %ld %ld %d", int(n),
               AscQuoted(NameText(l->name)), long(s[1]), long(s[2]), long(s[0]),
               long(s[3] ? s[3] : s[0]), long(s[4] ? s[4] : s[0]), long(s[5] ? s[5] : s[1]),
               int(l->mirror));
        if (l->flags & kLayerJumper) AscOut(" JUMPER");
        AscOut("\r\n");
    }
    return 1;
}

namespace {

// The text of a sub-shape (after "SHAPE=").
void ShapeText(const PadShape& p, bool first, char* out, size_t size) {
    int32_t e[4];
    std::memcpy(e, p.ext, sizeof e);
    int32_t code = p.code;
    if (code > 7) {
        std::snprintf(out, size, "%s ?%d?", kShapeNames[0], int(code));
        return;
    }
    const char* name = kShapeNames[code];
    if (code == kPadUndef) {
        std::snprintf(out, size, "%s", name);
        return;
    }
    if (Elongated(code)) {
        int32_t xo = first ? (e[2] - e[0]) / 2 : p.x;
        int32_t yo = first ? (e[3] - e[1]) / 2 : p.y;
        int n = std::snprintf(out, size, "%s  W:%ld  H:%ld", name, long(e[0] + e[2]),
                              long(e[1] + e[3]));
        if ((xo || yo) && n > 0 && size_t(n) < size)
            std::snprintf(out + n, size - size_t(n), "  XOFF:%ld  YOFF:%ld", long(xo), long(yo));
        return;
    }
    if (!first && (p.x || p.y))
        std::snprintf(out, size, "%s  W:%ld  XOFF:%ld  YOFF:%ld", name, long(2 * e[0]), long(p.x),
                      long(p.y));
    else
        std::snprintf(out, size, "%s  W:%ld", name, long(2 * e[0]));
}

} // namespace

int32_t ThruAsc() {
    AscPutLine(" ");
    int32_t count = ThruCount(), vias = DbHdr().viaCount, layers = DbHdr().layerCount;
    char* line = AscLineBuffer();
    char shape[160];
    for (int32_t t = 1; t <= count; ++t) {
        const ThruCode* rec = ThruRef(t);
        for (int32_t l = 1; l <= layers; ++l) {
            const ThruLayer& b = rec->layer[l];
            if (l == 1) {
                std::snprintf(line, kAscLineBytes, "%s  %-2d \"%s\" &",
                              t <= vias ? "*VIA " : "*THRU", int(t <= vias ? t : t - vias),
                              AscQuoted(NameText(rec->name)));
                AscPutLine(line);
            }
            int n;
            if (b.rotation)
                n = std::snprintf(line, kAscLineBytes, "     Layer=%-2d ROT=%d[%02d]  ", int(l),
                                  int(b.rotation / 60), int(b.rotation % 60));
            else
                n = std::snprintf(line, kAscLineBytes, "     Layer=%-2d  ", int(l));
            bool lastLayer = l == layers;
            int32_t shapes =
                b.shapeCount > kThruShapes ? int32_t(kThruShapes) : int32_t(b.shapeCount);
            if (shapes <= 1) {
                if (shapes == 0)
                    std::snprintf(shape, sizeof shape, "%s", kShapeNames[0]);
                else
                    ShapeText(b.shape[0], true, shape, sizeof shape);
                std::snprintf(line + n, size_t(kAscLineBytes - n), "SHAPE=%s%s", shape,
                              lastLayer ? "" : " &");
                AscPutLine(line);
                continue;
            }
            std::snprintf(line + n, size_t(kAscLineBytes - n), "&");
            AscPutLine(line);
            for (int32_t j = 0; j < shapes; ++j) {
                ShapeText(b.shape[j], j == 0, shape, sizeof shape);
                bool last = lastLayer && j == shapes - 1;
                std::snprintf(line, kAscLineBytes, "                 SHAPE=%s%s", shape,
                              last ? "" : " &");
                AscPutLine(line);
            }
        }
    }
    return 1;
}

int32_t symAsc() {
    AscPutLine(" ");
    int32_t count = SymCount(), vias = DbHdr().viaCount;
    for (int32_t s = 1; s <= count; ++s) {
        SymbolInfo info;
        SymInfoGet(s, &info);
        AscOut("*SYMBOL %-2d \"%s\"\r\n", int(s), AscQuoted(NameText(info.name)));
        for (int32_t p = 1; p <= info.pinCount; ++p) {
            const SymbolPin* pin = SymPinRef(s, p);
            AscOut(" %-3d \"%s\"   [%ld, %ld]  Thru=%d%s\r\n", int(p),
                   AscQuoted(NameText(pin->name)), long(pin->x), long(pin->y),
                   int(pin->thru - vias), p < info.pinCount ? "  &" : "");
        }
    }
    return 1;
}

int32_t PackAsc() {
    AscPutLine(" ");
    int32_t count = PkgCount();
    for (int32_t k = 1; k <= count; ++k) {
        PackageInfo info;
        PkgInfoGet(k, &info);
        AscOut("*PACKAGE %-3d \"%s\"\r\n", int(k), AscQuoted(NameText(info.name)));
        for (int32_t p = 1; p <= info.pinCount; ++p) {
            PackagePin pin;
            PkgPinGet(k, p, &pin);
            AscOut(" %-3d \"%s\" ", int(p), AscQuoted(NameText(pin.name)));
            AscOut("\"%s\" ", AscQuoted(NameText(pin.name2)));
            AscOut(" %d %d%s\r\n", int(pin.byte10), int(pin.value), p < info.pinCount ? " &" : "");
        }
    }
    return 1;
}
