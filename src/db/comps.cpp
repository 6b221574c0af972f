// The component table in pages of 256 records from pool 2, the box of a
// component from its pads, and the pads of placed pins.
#include "db/comps.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "db/altjournal.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/geom.h"
#include "db/lang.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "db/thru.h"

namespace {

enum : ErrCode {
    kErrInitPages = 21400,
    kErrPage = 21410,
    kErrTooMany = 21412,
    kErrGetIndex = 21420,
    kErrGetPage = 21422,
    kErrRefIndex = 21424,
    kErrRefPage = 21426,
    kErrPutIndex = 21427,
    kErrPutSymbol = 21434,
    kErrPutCompRef = 21435,
    kErrDeleteIndex = 21450,
    kErrNextAfter = 21493,
    kErrNextSymbol = 21494,
    kErrPinAtPosition = 5230040,
    kErrPinAtLayer = 5230042,
    kErrPadGetIndex = 5230054,
    kErrRotateUndef = 5230097,
    kErrRotateCode = 5230098,
};

Component* g_page[kCompPages] = {};
int32_t g_count = 0;
CompRenumberHook g_connHook = nullptr;
CompRenumberHook g_ownerHook = nullptr;
void (*g_rebuildHook)() = nullptr;

Component* Slot(int32_t n) {
    return &g_page[n / kCompPageSize][n % kCompPageSize];
}

void SetCount(int32_t count) {
    g_count = count;
    DbHdr().compCount = int16_t(count);
}

int32_t Trunc(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return int32_t(v);
}

// Round shapes look the same at every angle; UNDEF has no shape to turn.
bool TurnsFreely(uint8_t code) {
    return code == kPadUndef || code == kPadRound || code == kPadThermal || code == kPadAnnular;
}

} // namespace

void PadCosSin(int32_t angle, double* c, double* s) {
    int32_t a = AngNormalize(angle);
    switch (a) {
    case 0:
        *c = 1;
        *s = 0;
        return;
    case 5400:
        *c = 0;
        *s = 1;
        return;
    case 10800:
        *c = -1;
        *s = 0;
        return;
    case 16200:
        *c = 0;
        *s = -1;
        return;
    default:
        break;
    }
    double t = double(a) * 3.1415926535 / 10800;
    *c = GeomCos(t);
    *s = GeomSin(t);
}

void PadShapePlace(int32_t px, int32_t py, const PadShape* shape, int32_t angle, PlacedShape* out,
                   bool* turned) {
    int32_t a = AngNormalize(angle);
    int32_t cx = shape->x, cy = shape->y;
    PtRotateExact(px, py, a, &cx, &cy);
    out->cx = cx;
    out->cy = cy;
    out->code = shape->code;
    *turned = false;
    if (a % kAngRight != 0 && !TurnsFreely(shape->code)) {
        PadRotate(cx, cy, shape, a, &out->minX, &out->minY, &out->maxX, &out->maxY);
        *turned = true;
        return;
    }
    // A quarter turn q exchanges the extents (left, bottom, right, top):
    // the side that faces direction k on the board is extent (k - q) mod 4.
    int32_t q = a / kAngRight;
    int32_t e[4];
    std::memcpy(e, shape->ext, sizeof e);
    out->minX = cx - e[(4 - q) % 4];
    out->minY = cy - e[(5 - q) % 4];
    out->maxX = cx + e[(6 - q) % 4];
    out->maxY = cy + e[(7 - q) % 4];
}

void PadRotate(int32_t cx, int32_t cy, const PadShape* shape, int32_t angle, int32_t* minX,
               int32_t* minY, int32_t* maxX, int32_t* maxY) {
    if (shape->code == kPadUndef) ErrReport(kErrRotateUndef, cx);
    if (shape->code > kPadAnnular) ErrReport(kErrRotateCode, shape->code);
    double x1 = double(cx) - shape->ext[0], y1 = double(cy) - shape->ext[1];
    double x2 = double(cx) + shape->ext[2], y2 = double(cy) + shape->ext[3];
    double mx = (x1 + x2) / 2, my = (y1 + y2) / 2;
    double hx = (x2 - x1) / 2, hy = (y2 - y1) / 2;
    double c, s;
    PadCosSin(angle, &c, &s);
    if (shape->code == kPadSquare || shape->code == kPadRect) {
        bool first = true;
        for (int sx = -1; sx <= 1; sx += 2) {
            for (int sy = -1; sy <= 1; sy += 2) {
                double dx = sx * hx, dy = sy * hy;
                int32_t x = Trunc(mx + Trunc(dx * c - dy * s));
                int32_t y = Trunc(my + Trunc(dx * s + dy * c));
                if (first || x < *minX) *minX = x;
                if (first || y < *minY) *minY = y;
                if (first || x > *maxX) *maxX = x;
                if (first || y > *maxY) *maxY = y;
                first = false;
            }
        }
        return;
    }
    // The stadium shapes: a straight part of length 2d along the longer side
    // with round ends of radius r.
    double r = hx < hy ? hx : hy;
    double d = std::fabs(hx - hy);
    double a, b;
    if (hx >= hy) {
        a = Trunc(std::fabs(c) * d);
        b = Trunc(std::fabs(s) * d);
    } else {
        a = Trunc(std::fabs(s) * d);
        b = Trunc(std::fabs(c) * d);
    }
    *minX = Trunc(mx - r - a);
    *minY = Trunc(my - r - b);
    *maxX = Trunc(mx + r + a);
    *maxY = Trunc(my + r + b);
}

// ---- the table ----------------------------------------------------------------

void CompInit() {
    for (Component* page : g_page)
        if (page) ErrReport(kErrInitPages, 0);
    SetCount(0);
}

void CompReset() {
    for (Component*& page : g_page)
        page = nullptr;
    g_count = 0;
}

int32_t CompCount() {
    return g_count;
}

int32_t CompAdd() {
    if (g_count >= kCompMax) {
        char text[LANG_TEXT_MAX + 1];
        if (!LangIsLoaded() || !LangGetString(kErrTooMany, LANG_TEXT_MAX, text))
            std::strcpy(text, "Too many components");
        FatalErrorAlert(kErrTooMany, text);
    }
    int32_t n = g_count + 1;
    Component*& page = g_page[n / kCompPageSize];
    if (!page)
        page = static_cast<Component*>(
            PoolAlloc(int32_t(sizeof(Component)) * kCompPageSize, kPoolDb, kErrPage));
    std::memset(Slot(n), 0, sizeof(Component));
    SetCount(n);
    DbSetModified();
    return n;
}

void CompGet(int32_t c, Component* out) {
    if (c < 1 || c > g_count) ErrReport(kErrGetIndex, c);
    if (!g_page[c / kCompPageSize]) ErrReport(kErrGetPage, c);
    std::memcpy(out, Slot(c), sizeof(Component));
}

const Component* CompRef(int32_t c) {
    if (c < 1 || c > g_count) ErrReport(kErrRefIndex, c);
    if (!g_page[c / kCompPageSize]) ErrReport(kErrRefPage, c);
    return Slot(c);
}

bool CompPadBox(const Component* record, int32_t* minX, int32_t* minY, int32_t* maxX,
                int32_t* maxY) {
    int32_t s = record->symbol;
    if (s < 1) return false;
    int32_t pins = SymPinCount(s);
    int32_t layers = LayerCount();
    bool any = false;
    for (int32_t p = 1; p <= pins; ++p) {
        PlacedPin pin;
        SymPinGet(record, p, &pin);
        for (int32_t l = 1; l <= layers; ++l) {
            const ThruLayer* block = ThruPadRef(pin.thru, l);
            if (block->shapeCount == 0 || block->shape[0].code == kPadUndef) continue;
            int32_t a = AngNormalize(int32_t(block->rotation) + record->angle);
            int32_t shapes =
                block->shapeCount > kThruShapes ? int32_t(kThruShapes) : int32_t(block->shapeCount);
            for (int32_t j = 0; j < shapes; ++j) {
                PlacedShape box;
                bool turned;
                PadShapePlace(pin.x, pin.y, &block->shape[j], a, &box, &turned);
                if (!any || box.minX < *minX) *minX = box.minX;
                if (!any || box.minY < *minY) *minY = box.minY;
                if (!any || box.maxX > *maxX) *maxX = box.maxX;
                if (!any || box.maxY > *maxY) *maxY = box.maxY;
                any = true;
            }
        }
    }
    return any;
}

ErrCode CompPutCheck(int32_t c, const Component* record, int32_t* number) {
    int32_t dummy = 0;
    int32_t& out = number ? *number : dummy;
    auto fail = [&out](ErrCode code, int32_t value) {
        out = value;
        return code;
    };
    if (c < 1 || c > g_count) return fail(kErrPutIndex, c);
    if (record->symbol < 0 || record->symbol > SymCount())
        return fail(kErrPutSymbol, record->symbol);
    if (record->compRef < 0 || record->compRef > kCompMax)
        return fail(kErrPutCompRef, record->compRef);
    return 0;
}

void CompPut(int32_t c, const Component* record) {
    int32_t number = 0;
    if (ErrCode code = CompPutCheck(c, record, &number)) ErrReport(code, number);
    Component comp;
    std::memcpy(&comp, record, sizeof comp);
    comp.angle = int16_t(AngNormalize(comp.angle));
    if (DbIsTrusted()) {
        DbExtentAdd(comp.minX, comp.minY, comp.maxX, comp.maxY);
    } else if (comp.symbol > 0) {
        int32_t x1, y1, x2, y2;
        if (CompPadBox(&comp, &x1, &y1, &x2, &y2)) {
            comp.minX = x1;
            comp.minY = y1;
            comp.maxX = x2;
            comp.maxY = y2;
        } else {
            comp.minX = comp.maxX = comp.x;
            comp.minY = comp.maxY = comp.y;
        }
        DbExtentAdd(comp.minX, comp.minY, comp.maxX, comp.maxY);
    }
    if (comp.recordId == 0) comp.recordId = DbNextRecordId();
    std::memcpy(Slot(c), &comp, sizeof comp);
    DbSetModified();
}

int32_t CompFind(const char* text) {
    NameId id = NameLookup(text);
    if (id == 0) return 0;
    for (int32_t c = 1; c <= g_count; ++c)
        if (Slot(c)->name == id) return c;
    return 0;
}

int32_t CompNextWithSym(int32_t after, int32_t s) {
    if (after < 0) ErrReport(kErrNextAfter, after);
    if (s < 1 || s > SymCount()) ErrReport(kErrNextSymbol, s);
    for (int32_t c = after + 1; c <= g_count; ++c)
        if (Slot(c)->symbol == s) return c;
    return 0;
}

void CompHook(int32_t) {}

// ---- renumbering ------------------------------------------------------------------

namespace {

// Every reference to components through the map (old 0..count -> new);
// `live` records are in the table now.
void CompRenumber(const std::vector<int16_t>& map, int32_t count, int32_t live) {
    if (g_connHook) g_connHook(map.data(), count);
    DbTrustedScope trusted;
    for (int32_t c = 1; c <= live; ++c) {
        const Component* ref = Slot(c);
        int32_t r = ref->compRef;
        if (r < 1 || r > count || map[size_t(r)] == r) continue;
        Component comp;
        std::memcpy(&comp, ref, sizeof comp);
        comp.compRef = map[size_t(r)];
        CompPut(c, &comp);
    }
    if (g_ownerHook) g_ownerHook(map.data(), count);
}

} // namespace

void CompDelete(int32_t c) {
    if (c < 1 || c > g_count) ErrReport(kErrDeleteIndex, c);
    int32_t old = g_count;
    for (int32_t i = c; i < old; ++i)
        std::memcpy(Slot(i), Slot(i + 1), sizeof(Component));
    std::memset(Slot(old), 0, sizeof(Component));
    std::vector<int16_t> map(size_t(old) + 1);
    for (int32_t i = 0; i <= old; ++i)
        map[size_t(i)] = int16_t(i < c ? i : i - 1);
    map[size_t(c)] = 0;
    CompRenumber(map, old, old - 1);
    SetCount(old - 1);
    DbSetModified();
    DbAttrRenumber(kRecComponent, map.data(), old);
    // In the journal the deleted component moves one past the new last
    // index, where an undo finds it again.
    map[size_t(c)] = int16_t(old);
    AltRenumber(kRecComponent, map.data(), old);
    if (g_rebuildHook) g_rebuildHook();
}

int32_t CompSort(int32_t c) {
    int32_t count = g_count;
    std::vector<int16_t> map = DbSortIndex(
        count, [](int32_t row) { return NameText(Slot(row)->name); },
        [](int32_t a, int32_t b) {
            Component t;
            std::memcpy(&t, Slot(a), sizeof t);
            std::memcpy(Slot(a), Slot(b), sizeof t);
            std::memcpy(Slot(b), &t, sizeof t);
        });
    if (map.empty()) return c;
    CompRenumber(map, count, count);
    DbSetModified();
    DbAttrRenumber(kRecComponent, map.data(), count);
    AltRenumber(kRecComponent, map.data(), count);
    if (g_rebuildHook) g_rebuildHook();
    PoolReset(kPoolRenumber);
    return (c >= 1 && c <= count) ? map[size_t(c)] : c;
}

void CompSetConnRenumberHook(CompRenumberHook hook) {
    g_connHook = hook;
}
void CompSetOwnerRenumberHook(CompRenumberHook hook) {
    g_ownerHook = hook;
}
void CompSetConnRebuildHook(void (*hook)()) {
    g_rebuildHook = hook;
}

// ---- placed pins -------------------------------------------------------------------

int32_t CompPinAt(int32_t x, int32_t y, int32_t layer, int32_t* position, int32_t* pin) {
    if (*position < 0 || *position > g_count) ErrReport(kErrPinAtPosition, *position);
    if (layer < 0 || layer > LayerCount()) ErrReport(kErrPinAtLayer, layer);
    // After an answer the search goes on with the next pin of the same
    // component, so that every pin at the point is met.
    int32_t c = *position;
    int32_t firstPin = 1;
    if (c >= 1 && *pin >= 1)
        firstPin = *pin + 1;
    else
        ++c;
    for (; c <= g_count; ++c, firstPin = 1) {
        const Component* comp = Slot(c);
        if (comp->symbol < 1 || x < comp->minX || x > comp->maxX || y < comp->minY ||
            y > comp->maxY)
            continue;
        int32_t pins = SymPinCount(comp->symbol);
        for (int32_t p = firstPin; p <= pins; ++p) {
            PlacedPin placed;
            SymPinGet(comp, p, &placed);
            if (placed.x != x || placed.y != y) continue;
            if (layer != 0) {
                const ThruLayer* block = ThruPadRef(placed.thru, layer);
                if (block->shapeCount == 0 || block->shape[0].code == kPadUndef) continue;
            }
            *position = c;
            *pin = p;
            return 1;
        }
    }
    return 0;
}

void CompPinPadGet(int32_t c, int32_t pin, int32_t layer, PlacedPin* placed, PlacedPad* pad) {
    if (c < 1 || c > g_count) ErrReport(kErrPadGetIndex, c);
    const auto* comp = static_cast<const Component*>(AltRef(kRecComponent, c));
    SymPinGet(comp, pin, placed);
    ThruLayer block;
    ThruPadGet(placed->thru, layer, &block);
    std::memset(pad, 0, sizeof *pad);
    pad->flags = block.flags;
    pad->count =
        uint8_t(block.shapeCount > kThruShapes ? int32_t(kThruShapes) : int32_t(block.shapeCount));
    int32_t a = AngNormalize(int32_t(block.rotation) + comp->angle);
    for (int32_t j = 0; j < pad->count; ++j) {
        bool turned;
        PadShapePlace(placed->x, placed->y, &block.shape[j], a, &pad->shape[j], &turned);
        if (turned) pad->angle = int16_t(a);
    }
}

bool CompPinIsSmt(int32_t c, int32_t pin) {
    const Component* comp = CompRef(c);
    int32_t t = SymPinThru(comp->symbol, pin);
    int32_t layers = LayerCount();
    int32_t on = 0;
    for (int32_t l = 1; l <= layers; ++l) {
        if (LayerRef(l)->flags & kLayerNoRoute4) continue;
        if (PadstackOnLayer(t, l)) ++on;
    }
    return on == 1;
}

void CompRegister() {
    DbModuleOps ops;
    ops.init = &CompInit;
    ops.free = &CompReset;
    ops.add = &CompAdd;
    ops.del = &CompDelete;
    ops.get = [](int32_t n, void* out) { CompGet(n, static_cast<Component*>(out)); };
    ops.put = [](int32_t n, const void* rec) { CompPut(n, static_cast<const Component*>(rec)); };
    ops.ref = [](int32_t n) -> const void* { return CompRef(n); };
    DbRegisterModule(kRecComponent, ops);
}
