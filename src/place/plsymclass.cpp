// Footprint classification: counts the pins in each distinct column (x)
// and row (y), decides the shape kind by the column and row pattern and
// the side flags by the layers each pin's padstack reaches. Layers with
// flag 4 are passed over. The summary is stored with SymPutRaw, so the
// pins stay as they are.
#include "place/plsymclass.h"

#include <map>

#include "db/geom.h"
#include "db/layers.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "place/plmodel.h"

namespace {

enum : int32_t {
    kSmallMin = 2,
    kSmallMax = 3,
    kRowMax = 16,
    kDualMin = 4,
    kDualMax = 32,
    kManyRows = 5,
    kLongColumn = 6, // "more than 6 pins"
};

// Pads of one pin: the number of routing layers it reaches.
int32_t PinLayers(int32_t thru) {
    int32_t n = 0;
    for (int32_t l = 1; l <= LayerCount(); ++l) {
        if (LayerRef(l)->flags & kLayerNoRoute4) continue;
        if (thru >= 1 && thru <= ThruCount() && PadstackOnLayer(thru, l)) ++n;
    }
    return n;
}

// The shape of one line of pins (C = 1 or R = 1).
uint8_t LineShape(int32_t pins) {
    if (pins >= kSmallMin && pins <= kSmallMax) return kPlShapeSmall;
    if (pins >= kDualMin && pins <= kRowMax) return kPlShapeRow;
    if (pins > kRowMax) return kPlShapeLarge;
    return kPlShapeNone;
}

// Counts of columns (or rows) holding exactly n pins, or more than n.
int32_t CountEq(const std::map<int32_t, int32_t>& lines, int32_t n) {
    int32_t k = 0;
    for (auto& [pos, count] : lines)
        if (count == n) ++k;
    return k;
}
int32_t CountAbove(const std::map<int32_t, int32_t>& lines, int32_t n) {
    int32_t k = 0;
    for (auto& [pos, count] : lines)
        if (count > n) ++k;
    return k;
}

// Two equal lines across many: dual row.
uint8_t DualShape(const std::map<int32_t, int32_t>& lines, int32_t across) {
    if (lines.size() != 2 || across < kManyRows) return kPlShapeNone;
    int32_t a = lines.begin()->second, b = lines.rbegin()->second;
    if (a != b || a < kDualMin) return kPlShapeNone;
    return a > kDualMax ? kPlShapeLarge : kPlShapeDual;
}

// Four lines across many: quad.
uint8_t QuadShape(const std::map<int32_t, int32_t>& lines, int32_t across) {
    if (lines.size() != 4 || across < kManyRows) return kPlShapeNone;
    int32_t lo = INT32_MAX, hi = 0;
    for (auto& [pos, count] : lines) {
        lo = count < lo ? count : lo;
        hi = count > hi ? count : hi;
    }
    if (lo > kDualMax) return kPlShapeLarge;
    if (lo >= kDualMin && hi <= kDualMax) return kPlShapeQuad;
    return kPlShapeNone;
}

} // namespace

int32_t PlSymbolSides(int32_t symbol) {
    int32_t pins = SymPinCount(symbol);
    int32_t last = 0;
    for (int32_t p = 1; p <= pins; ++p) {
        int32_t n = PinLayers(SymPinRef(symbol, p)->thru);
        if (n >= 2) return 0;
        if (n > 0) last = n;
    }
    if (last == 1) return kPlSideSingle;
    if (last == 0) return kPlSideNoPads;
    return 0;
}

void PlSymbolShape(int32_t symbol, uint8_t* shape, uint8_t* axis) {
    std::map<int32_t, int32_t> columns, rows;
    int32_t pins = SymPinCount(symbol);
    for (int32_t p = 1; p <= pins; ++p) {
        const SymbolPin* pin = SymPinRef(symbol, p);
        ++columns[pin->x];
        ++rows[pin->y];
    }
    const int32_t c = int32_t(columns.size()), r = int32_t(rows.size());
    *shape = kPlShapeNone;
    *axis = 0;
    uint8_t s;
    if (c == 1 && (s = LineShape(columns.begin()->second)) != kPlShapeNone) {
        *shape = s;
        *axis = kPlAxisX;
    } else if (r == 1 && (s = LineShape(rows.begin()->second)) != kPlShapeNone) {
        *shape = s;
        *axis = kPlAxisY;
    } else if ((s = DualShape(columns, r)) != kPlShapeNone) {
        *shape = s;
        *axis = kPlAxisX;
    } else if ((s = DualShape(rows, c)) != kPlShapeNone) {
        *shape = s;
        *axis = kPlAxisY;
    } else if ((s = QuadShape(columns, r)) != kPlShapeNone) {
        *shape = s;
        *axis = kPlAxisX;
    } else if ((s = QuadShape(rows, c)) != kPlShapeNone) {
        *shape = s;
        *axis = kPlAxisY;
    } else if (c >= kManyRows && r >= kManyRows) {
        const int32_t longCols = CountAbove(columns, kLongColumn);
        if (PlSymbolSides(symbol) & kPlSideSingle) {
            if (CountEq(columns, 2) > 5 && longCols == 2) *shape = kPlShapeQuadSmd;
        } else if ((CountEq(columns, 2) > 3 && longCols == 2) ||
                   (CountEq(columns, 4) > 1 && longCols == 4) ||
                   (CountEq(columns, 6) > 1 && longCols == 6) || longCols > 6) {
            *shape = kPlShapeGrid;
        }
    }
}

void PlSymbolClassify(int32_t symbol) {
    SymbolInfo info;
    SymInfoGet(symbol, &info);
    uint8_t shape, axis;
    PlSymbolShape(symbol, &shape, &axis);
    info.byte10 = shape;
    info.byte11 = uint8_t(PlSymbolSides(symbol) | axis);
    SymPutRaw(symbol, &info);
}

void PlSymbolsClassifyAll() {
    if (g_placeModel.symbolsClassified) return;
    for (int32_t s = 1; s <= SymCount(); ++s)
        PlSymbolClassify(s);
    g_placeModel.symbolsClassified = true;
}

int32_t PlCompAxis(const Component* comp) {
    if (comp->symbol < 1 || comp->symbol > SymCount()) return 0;
    SymbolInfo info;
    SymInfoGet(comp->symbol, &info);
    const int32_t a = AngNormalize(comp->angle);
    const bool straight = a == 0 || a == kAngHalf;
    const bool turned = a == kAngRight || a == kAngHalf + kAngRight;
    if (info.byte11 & kPlAxisY) return straight ? 2 : turned ? 1 : 0;
    if (info.byte11 & kPlAxisX) return straight ? 1 : turned ? 2 : 0;
    return 0;
}
