// Validation repairs of components: place outlines and name texts.
#include "db/comprepair.h"

#include <cstring>

#include "db/comps.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/geom.h"
#include "db/layers.h"
#include "db/limits.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "db/texts.h"
#include "db/thru.h"

namespace {

constexpr int32_t kOutlineMargin = 15;            // user units around the component's pads
constexpr int16_t kOutlineWord = int16_t(-32767); // 0x8001 after the owner

// The first place outline in component c's list (its own obstacles, then
// its symbol's), 0 when none.
int32_t PlaceOutlineOf(int32_t c) {
    for (int32_t o = CompObsFirst(c); o != 0; o = ObsNext(o))
        if (ObsRef(o)->head.kind == kObsPlaceOutline) return o;
    return 0;
}

// The layer of a new outline: a surface-mount pin 1 puts it on the highest
// layer without flag 4 on which pin 1's padstack has a pad; otherwise, and
// for a symbol without pins, layer 0.
uint8_t OutlineLayer(int32_t c, const Component& comp) {
    if (SymPinCount(comp.symbol) < 1 || !CompPinIsSmt(c, 1)) return 0;
    const int32_t thru = SymPinThru(comp.symbol, 1);
    for (int32_t l = LayerCount(); l >= 1; --l) {
        if (LayerRef(l)->flags & kLayerNoRoute4) continue;
        if (PadstackOnLayer(thru, l)) return uint8_t(l);
    }
    return 0;
}

void MakeOutline(int32_t c, Obstacle* rec) {
    Component comp;
    CompGet(c, &comp);
    CompPut(c, &comp); // recomputes the box
    CompGet(c, &comp);
    const int32_t grow = kOutlineMargin * DbHdr().userUnit;
    const int32_t x1 = comp.minX - grow, y1 = comp.minY - grow;
    const int32_t x2 = comp.maxX + grow, y2 = comp.maxY + grow;

    const int32_t o = ObsAppend();
    DbRecInit(kRecObstacle, rec, o);
    ObsHead& h = rec->head;
    h.name = comp.name;
    h.kind = kObsPlaceOutline;
    h.flags = kObsBySystem;
    h.owner = comp.symbol;
    h.word42 = kOutlineWord;
    h.layer = OutlineLayer(c, comp);
    const int32_t xs[5] = {x1, x2, x2, x1, x1};
    const int32_t ys[5] = {y1, y1, y2, y2, y1};
    h.count = 5;
    // Into the symbol's frame: back by the position, turned back by the
    // angle.
    const int32_t back = (kAngFullTurn - AngNormalize(comp.angle)) % kAngFullTurn;
    for (int32_t i = 0; i < 5; ++i) {
        std::memset(&rec->pt[i], 0, sizeof rec->pt[i]);
        rec->pt[i].x = xs[i] - comp.x;
        rec->pt[i].y = ys[i] - comp.y;
    }
    ObsPlace(rec, 0, 0, back);
    ObsPut(o, rec);
    // The outline shows where the component places it.
    ObsPlaceOnComp(o, c, rec);
    DbExtentAdd(rec->head.minX, rec->head.minY, rec->head.maxX, rec->head.maxY);
}

// A name text for component c laid along its place outline's box; none
// when the box (an outline read from a file may be any size) would put the
// text outside the coordinate range.
void MakeNameText(int32_t c, int32_t outline) {
    const Component* comp = CompRef(c);
    const ObsHead& o = ObsRef(outline)->head;
    const int64_t w = int64_t(o.maxX) - o.minX, h = int64_t(o.maxY) - o.minY;
    const int64_t cx = o.minX + w / 2, cy = o.minY + h / 2;
    const bool alongX = h < w;
    const int64_t height = alongX ? h / 2 : w / 2;
    const int64_t x = alongX ? cx - h / 4 : cx + w / 4;
    const int64_t y = cy - height / 2;
    if (height < 0 || !InCoordLimit(height) || !InCoordLimit(x) || !InCoordLimit(y)) return;
    const int32_t t = TextAdd();
    BoardText text;
    DbRecInit(kRecBoardText, &text, t);
    text.name = comp->name;
    text.kind = kTextCompName;
    std::strcpy(text.text, "&N");
    text.owner = int16_t(-c);
    text.layer = o.layer;
    text.flags = kTextFlagNameText;
    text.width = DbHdr().userUnit;
    text.angle = alongX ? 0 : 5400;
    text.height = int32_t(height);
    text.x = int32_t(x);
    text.y = int32_t(y);
    TextPut(t, &text);
}

} // namespace

void CompMakeOutlines() {
    auto* rec = static_cast<Obstacle*>(ScratchPush());
    const int32_t comps = CompCount();
    for (int32_t c = 1; c <= comps; ++c) {
        const Component* comp = CompRef(c);
        if (comp->symbol < 1 || comp->symbol > SymCount()) continue;
        if (PlaceOutlineOf(c) != 0) continue;
        MakeOutline(c, rec);
    }
    ScratchPop(rec);
}

void CompMakeNameTexts() {
    const int32_t comps = CompCount();
    for (int32_t c = 1; c <= comps; ++c) {
        if (CompTextFirst(c) != 0) continue;
        CompTextsFromSym(c);
        if (CompTextFirst(c) != 0) continue;
        const int32_t outline = PlaceOutlineOf(c);
        if (outline != 0) MakeNameText(c, outline);
    }
}

void CompRepairRegister() {
    DbRegisterValidateStep(kHdrOutlines, &CompMakeOutlines);
    DbRegisterValidateStep(kHdrNameTexts, &CompMakeNameTexts);
}
