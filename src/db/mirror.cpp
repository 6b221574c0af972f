// Board-side mirroring: mirror twins of symbols and thru codes, components
// moved to the other side, mirrored obstacles and texts.
#include "db/mirror.h"

#include <cstring>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/geom.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "db/texts.h"
#include "db/thru.h"

namespace {

constexpr uint16_t kHdrMirrored = 0x0004; // a component changed sides

// The layer seen from the other side: its mirror layer when it has one.
uint8_t MirrorLayer(uint8_t layer) {
    if (layer < 1 || layer > LayerCount()) return layer;
    const uint8_t m = LayerRef(layer)->mirror;
    return m != 0 ? m : layer;
}

bool EndsInM(const char* text) {
    const size_t n = std::strlen(text);
    return n >= 2 && text[n - 2] == '-' && text[n - 1] == 'M';
}

// The name of a twin: the name without a trailing "-M", or with "-M"
// appended (the name cut to `keep` characters first).
void TwinName(NameId name, int32_t keep, char* out) {
    NameToText(name, kNameMaxChars, out);
    if (EndsInM(out)) {
        out[std::strlen(out) - 2] = 0;
        return;
    }
    out[keep] = 0;
    std::strcat(out, "-M");
}

// The name of a copy: the name with "-M" appended, advanced while taken.
template <typename Taken> NameId CopyName(NameId name, Taken&& taken) {
    char text[kTextChars];
    NameToText(name, kNameMaxChars - 2, text);
    std::strcat(text, "-M");
    while (taken(text))
        NameNext(text, kNameMaxChars);
    return NameIntern(text);
}

bool SameShapes(const ThruLayer& a, const ThruLayer& b) {
    if (a.shapeCount != b.shapeCount || a.rotation != b.rotation) return false;
    return std::memcmp(a.shape, b.shape, sizeof(PadShape) * a.shapeCount) == 0;
}

} // namespace

void ObsMirror(Obstacle* record, int32_t a) {
    ObsHead& h = record->head;
    h.layer = MirrorLayer(h.layer);
    for (int32_t i = 0; i < h.count; ++i) {
        ObsPoint& p = record->pt[i];
        p.x = 2 * a - p.x;
        const uint16_t arc = p.flags & kObsPtArc;
        p.flags = uint16_t((p.flags & ~kObsPtArc) | ((arc & kObsPtArcCw) << 1) |
                           ((arc & kObsPtArcCcw) >> 1));
    }
    if (h.minX <= h.maxX) {
        const int32_t minX = h.minX;
        h.minX = 2 * a - h.maxX;
        h.maxX = 2 * a - minX;
    }
}

void TextMirror(BoardText* record) {
    record->layer = MirrorLayer(record->layer);
    record->x = -record->x;
    record->flags ^= kTextFlagMirrored;
    if (record->minX <= record->maxX) {
        const int32_t minX = record->minX;
        record->minX = -record->maxX;
        record->maxX = -minX;
    }
}

int32_t ThruMirrorTwin(int32_t t) {
    if (t < 1 || t > ThruCount()) ErrReport(kErrTwinThru, t);
    const ThruCode* src = ThruRef(t);
    char name[kTextChars];
    TwinName(src->name, kNameMaxChars - 2, name);
    if (const int32_t found = PadstackFind(name)) return found;

    ThruCode copy = *src;
    const int32_t layers = LayerCount();
    for (int32_t l = 1; l <= layers; ++l) {
        int32_t m = LayerRef(l)->mirror;
        if (m == 0) m = l;
        if (m > layers) ErrReport(kErrTwinMirror, m);
        const ThruLayer& from = src->layer[m];
        if (from.shapeCount > kThruShapes) ErrReport(kErrTwinShapes, from.shapeCount);
        ThruLayer& to = copy.layer[l];
        const int16_t r = src->layer[l].rotation;
        to.rotation = r != 0 ? int16_t(kAngFullTurn - r) : int16_t(0);
        to.flags = from.flags;
        to.shapeCount = from.shapeCount;
        for (int32_t j = 0; j < kThruShapes; ++j) {
            PadShape s = from.shape[j];
            s.x = -s.x;
            const int32_t left = s.ext[0];
            s.ext[0] = s.ext[2];
            s.ext[2] = left;
            to.shape[j] = s;
        }
    }
    bool same = true;
    for (int32_t l = 1; l <= layers && same; ++l)
        same = SameShapes(copy.layer[l], src->layer[l]);
    if (same) return t;

    // Not found under the twin name, so the copy takes it (the next free
    // name should it be taken after all).
    while (PadstackFind(name) != 0)
        NameNext(name, kNameMaxChars);
    const int32_t n = ThruAdd();
    copy.name = NameIntern(name);
    copy.recordId = 0;
    ThruPut(n, &copy);
    return n;
}

int32_t SymMirrorTwin(int32_t s) {
    if (s < 1 || s > SymCount()) ErrReport(kErrTwinSymbol, s);
    SymbolInfo info;
    SymInfoGet(s, &info);
    char name[kTextChars];
    TwinName(info.name, kNameMaxChars - 2, name);
    if (const int32_t found = SymFind(name)) return found;
    while (SymFind(name) != 0)
        NameNext(name, kNameMaxChars);

    auto* sym = static_cast<Symbol*>(ScratchPush());
    SymGet(s, sym);
    const int32_t pins = sym->info.pinCount;
    for (int32_t p = 1; p <= pins; ++p) {
        SymbolPin& pin = sym->pin[p];
        if (pin.thru < 1 || pin.thru > ThruCount()) ErrReport(kErrTwinPinThru, pin.thru);
        pin.x = -pin.x;
        pin.thru = int16_t(ThruMirrorTwin(pin.thru));
    }
    const int32_t n = SymAdd();
    sym->info.name = NameIntern(name);
    sym->info.recordId = 0;

    auto* obs = static_cast<Obstacle*>(ScratchPush());
    for (int32_t o = SymObsFirst(s); o != 0; o = ObsNext(o)) {
        ObsCopy(obs, ObsRef(o));
        ObsHead& h = obs->head;
        h.owner = int16_t(n);
        h.recordId = 0;
        ObsMirror(obs, 0);
        h.name = CopyName(h.name, [](const char* text) { return ObsFind(text) != 0; });
        ObsPut(ObsAppend(), obs);
    }
    ScratchPop(obs);

    for (int32_t t = SymTextFirst(s); t != 0; t = TextNext(t)) {
        BoardText text = *TextRef(t);
        text.owner = int16_t(n);
        text.recordId = 0;
        if (text.kind != kTextFootprintDetail) {
            TextMirror(&text);
            text.name = CopyName(text.name, [](const char* tx) { return TextFind(tx) != 0; });
        }
        TextPut(TextAdd(), &text);
    }

    SymPut(n, sym);
    ScratchPop(sym);
    return n;
}

void CompMirror(int32_t c) {
    if (c < 1 || c > CompCount()) ErrReport(kErrMirrorSymbol, c);
    Component comp;
    AltSave(kRecComponent, c, &comp);
    const int16_t symbol = comp.symbol;
    comp.symbol = comp.otherSymbol;
    comp.otherSymbol = symbol;
    if (comp.symbol == 0) {
        if (symbol < 1 || symbol > SymCount()) ErrReport(kErrMirrorSymbol, symbol);
        comp.symbol = int16_t(SymMirrorTwin(symbol));
    }
    DbHdr().flags |= kHdrMirrored;
    if (comp.angle != 0) comp.angle = int16_t(kAngFullTurn - comp.angle);
    comp.flags ^= kCompOtherSide;
    AltPut(kRecComponent, c, 0, &comp);

    auto* obs = static_cast<Obstacle*>(ScratchPush());
    for (int32_t o = CompObsFirst(c); o != 0; o = ObsNext(o)) {
        AltSave(kRecObstacle, o, obs);
        if (obs->head.owner != -c) break;
        ObsMirror(obs, 0);
        AltPut(kRecObstacle, o, 0, obs);
    }
    ScratchPop(obs);

    for (int32_t t = CompTextFirst(c); t != 0; t = TextNext(t)) {
        BoardText text;
        AltSave(kRecBoardText, t, &text);
        if (text.owner != -c) break;
        TextMirror(&text);
        AltPut(kRecBoardText, t, 0, &text);
    }
}
