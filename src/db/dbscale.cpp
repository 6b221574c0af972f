// Database scaling and the range check of DbValidate.
//
// Every value is scaled in 64-bit arithmetic, product first, the division
// truncating toward zero. The same walk serves twice: once to see whether
// every result fits its field (the range check asks this before changing
// anything), once to write the results.
#include <climits>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "db/comps.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/layers.h"
#include "db/limits.h"
#include "db/pool.h"
#include "db/sweeps.h"
#include "db/symbols.h"
#include "db/thru.h"

namespace {

enum : ErrCode {
    kErrNotReady = 5222050,
    kErrNegative = 5222051,
    kErrRouteGrid = 5222052,
    kErrCountType = 5222053,
    kErrImageType = 5222054,
    kErrFactor = 5222055,
};

constexpr int32_t kTypeSlots = 24;
int32_t (*g_counts[kTypeSlots])() = {};

// Tables walked through the generic record access, in the order they are
// scaled.
const int32_t kGenericTables[] = {kRecNet, kRecConn, kRecObstacle, kRecBoardText, kRecErrorMarker};

// Record fields are packed: values go in and come out by value.
struct Scaler {
    int64_t num, den, dx, dy;
    bool fits = true;

    int64_t Mul(int64_t v) const { return v * num / den; }

    // A result must fit its field; a 32-bit one (a position, offset or
    // size) must also stay within the coordinate limit that the readers
    // hold files to.
    template <typename T> T Store(int64_t r) {
        if (r < int64_t(std::numeric_limits<T>::min()) ||
            r > int64_t(std::numeric_limits<T>::max()))
            fits = false;
        if (std::is_same_v<T, int32_t> && !InCoordLimit(r)) fits = false;
        return T(r);
    }
    template <typename T> T Size(T v) {
        if constexpr (std::is_same_v<T, int32_t>)
            if (v == INT32_MAX) return v; // unset
        return Store<T>(Mul(v));
    }
    int32_t X(int32_t v) { return v == INT32_MAX ? v : Store<int32_t>(dx + Mul(v)); }
    int32_t Y(int32_t v) { return v == INT32_MAX ? v : Store<int32_t>(dy + Mul(v)); }
    // A point of an owned object: relative to its owner, scaled only.
    int32_t X(int32_t v, bool owned) { return owned ? Size(v) : X(v); }
    int32_t Y(int32_t v, bool owned) { return owned ? Size(v) : Y(v); }
    bool Unit() const { return num == den; }
};

void ScaleHeader(Scaler& s, bool apply) {
    DbHeader h;
    DbGetHeader(&h);
    h.unitSize = h.unitSize * double(s.den) / double(s.num);
    h.userUnit = s.Size(h.userUnit);
    if (!UnitsInRange(h.userUnit, h.unitSize)) s.fits = false;
    h.routeGrid = s.Size(h.routeGrid);
    h.fourthGrid = s.Size(h.fourthGrid);
    h.grid88 = s.Size(h.grid88);
    h.grid92 = s.Size(h.grid92);
    h.grid2X = s.Size(h.grid2X);
    h.grid2Y = s.Size(h.grid2Y);
    h.grid3X = s.Size(h.grid3X);
    h.grid3Y = s.Size(h.grid3Y);
    // Scaled grids must keep a common multiple the readers accept.
    if (!DbGridsCombine(&h)) s.fits = false;
    h.dispUserUnit = s.Size(h.dispUserUnit);
    h.originX = s.X(h.originX);
    h.originY = s.Y(h.originY);
    h.offsetX = s.X(h.offsetX);
    h.offsetY = s.Y(h.offsetY);
    h.dispMinX = s.X(h.dispMinX);
    h.dispMaxX = s.X(h.dispMaxX);
    h.dispMinY = s.Y(h.dispMinY);
    h.dispMaxY = s.Y(h.dispMaxY);
    if (h.width != 0) {
        h.centreX = s.X(h.centreX);
        h.centreY = s.Y(h.centreY);
        h.height = s.Size(h.height);
        h.width = s.Size(h.width);
    }
    // The extent is rebuilt as the tables are stored again (and by the next
    // DbExtent); the display scale is derived anew by DbPutHeader.
    h.extMinX = INT_MAX;
    h.extMinY = INT_MAX;
    h.extMaxX = -INT_MAX;
    h.extMaxY = -INT_MAX;
    for (int32_t i = 0; i < 4; ++i)
        h.value212[i] = INT_MAX;
    h.scale = 0.0;
    if (apply) DbPutHeader(&h);
}

void ScaleLayers(Scaler& s, bool apply) {
    int32_t count = LayerCount();
    for (int32_t n = 0; n <= count && n < kLayerSlots; ++n) {
        Layer l;
        LayerGet(n, &l);
        for (int32_t i = 0; i < 7; ++i)
            l.spacing[i] = s.Size(l.spacing[i]);
        if (apply) LayerPut(n, &l);
    }
}

void ScaleThruCodes(Scaler& s, bool apply) {
    int32_t count = ThruCount(), layers = LayerCount();
    for (int32_t t = 1; t <= count; ++t) {
        ThruCode rec;
        std::memset(&rec, 0, sizeof rec);
        ThruGet(t, &rec);
        for (int32_t l = 1; l <= layers && l < kLayerSlots; ++l) {
            ThruLayer& b = rec.layer[l];
            int32_t shapes = b.shapeCount > kThruShapes ? int32_t(kThruShapes) : b.shapeCount;
            for (int32_t j = 0; j < shapes; ++j) {
                PadShape& p = b.shape[j];
                p.x = s.Size(p.x);
                p.y = s.Size(p.y);
                for (int32_t i = 0; i < 4; ++i)
                    p.ext[i] = s.Size(p.ext[i]);
            }
        }
        if (apply) ThruPut(t, &rec);
    }
}

void ScaleSymbols(Scaler& s, bool apply) {
    auto* sym = static_cast<Symbol*>(ScratchPush());
    int32_t count = SymCount();
    for (int32_t n = 1; n <= count; ++n) {
        SymGet(n, sym);
        int32_t pins = sym->info.pinCount;
        for (int32_t p = 1; p <= pins && p <= kMaxPins; ++p) {
            sym->pin[p].x = s.Size(sym->pin[p].x);
            sym->pin[p].y = s.Size(sym->pin[p].y);
        }
        if (apply && pins > 0) SymPut(n, sym);
    }
    ScratchPop(sym);
}

void ScaleComponents(Scaler& s, bool apply) {
    int32_t count = CompCount();
    for (int32_t c = 1; c <= count; ++c) {
        Component comp;
        CompGet(c, &comp);
        comp.x = s.X(comp.x);
        comp.y = s.Y(comp.y);
        comp.minX = s.X(comp.minX);
        comp.minY = s.Y(comp.minY);
        comp.maxX = s.X(comp.maxX);
        comp.maxY = s.Y(comp.maxY);
        if (apply) CompPut(c, &comp);
    }
}

// One record image of a table walked through the generic access.
void ScaleImage(Scaler& s, int32_t type, void* record) {
    switch (type) {
    case kRecNet: {
        auto& n = *static_cast<Net*>(record);
        n.minWidth = s.Size(n.minWidth);
        n.width = s.Size(n.width);
        n.maxWidth = s.Size(n.maxWidth);
        return;
    }
    case kRecConn: {
        auto& c = *static_cast<Conn*>(record);
        c.head.minX = s.X(c.head.minX);
        c.head.minY = s.Y(c.head.minY);
        c.head.maxX = s.X(c.head.maxX);
        c.head.maxY = s.Y(c.head.maxY);
        int32_t corners = c.head.count;
        for (int32_t i = 0; i < corners && i < kMaxCorners; ++i) {
            c.crn[i].x = s.X(c.crn[i].x);
            c.crn[i].y = s.Y(c.crn[i].y);
            c.crn[i].width = s.Size(c.crn[i].width);
        }
        return;
    }
    case kRecObstacle: {
        auto& o = *static_cast<Obstacle*>(record);
        bool owned = o.head.owner != 0;
        o.head.minX = s.X(o.head.minX, owned);
        o.head.minY = s.Y(o.head.minY, owned);
        o.head.maxX = s.X(o.head.maxX, owned);
        o.head.maxY = s.Y(o.head.maxY, owned);
        o.head.width = s.Size(o.head.width);
        int32_t points = o.head.count;
        for (int32_t i = 0; i < points && i < kMaxPoints; ++i) {
            o.pt[i].x = s.X(o.pt[i].x, owned);
            o.pt[i].y = s.Y(o.pt[i].y, owned);
            o.pt[i].width = s.Size(o.pt[i].width);
        }
        return;
    }
    case kRecBoardText: {
        auto& t = *static_cast<BoardText*>(record);
        bool owned = t.owner != 0;
        t.x = s.X(t.x, owned);
        t.y = s.Y(t.y, owned);
        t.minX = s.X(t.minX, owned);
        t.minY = s.Y(t.minY, owned);
        t.maxX = s.X(t.maxX, owned);
        t.maxY = s.Y(t.maxY, owned);
        t.width = s.Size(t.width);
        t.height = s.Size(t.height);
        return;
    }
    case kRecErrorMarker: {
        auto& m = *static_cast<ErrorMarker*>(record);
        m.x = s.X(m.x);
        m.y = s.Y(m.y);
        return;
    }
    default:
        ErrReport(kErrImageType, type);
    }
}

void ScaleGeneric(Scaler& s, int32_t type, bool apply) {
    int32_t count = DbTableCount(type);
    if (count < 0) return;
    if (type == kRecNet && s.Unit()) return;
    DbModuleOps ops = DbModuleGet(type);
    void* rec = ScratchPush();
    for (int32_t n = 1; n <= count; ++n) {
        ops.get(n, rec);
        ScaleImage(s, type, rec);
        if (apply) ops.put(n, rec);
    }
    ScratchPop(rec);
}

void Walk(Scaler& s, bool apply) {
    ScaleHeader(s, apply);
    if (!s.Unit()) {
        ScaleLayers(s, apply);
        ScaleThruCodes(s, apply);
        ScaleSymbols(s, apply);
    }
    ScaleGeneric(s, kRecNet, apply); // net widths only when not 1 / 1
    ScaleComponents(s, apply);
    for (int32_t type : kGenericTables)
        if (type != kRecNet) ScaleGeneric(s, type, apply);
}

Scaler Make(int32_t num, int32_t den, int32_t dx, int32_t dy) {
    if (num <= 0 || den <= 0) ErrReport(kErrFactor, num <= 0 ? num : den);
    return Scaler{num, den, dx, dy};
}

// The routing grid stands in for a grid of 0.
int32_t GridOr(int32_t grid, int32_t routeGrid) {
    return grid != 0 ? grid : routeGrid;
}

int32_t Lcm3(int32_t a, int32_t b, int32_t c) {
    int32_t l = LcmChecked(LcmChecked(a, b), c);
    return l > 0 ? l : a;
}

// Whether Lcm3 has an answer.
bool Lcm3Fits(int32_t a, int32_t b, int32_t c) {
    return LcmFits(a, b) && LcmFits(a > 0 && b > 0 ? LcmChecked(a, b) : 0, c);
}

struct Plan {
    int64_t factor, dx, dy;
};

// The offsets for a factor: a minimum outside 0..limit is brought to the
// middle of the range, then the offsets are corrected so that the origin,
// scaled and shifted, falls on a multiple of the scaled grids' least common
// multiple.
Plan PlanFor(int64_t factor, int64_t limit) {
    const DbHeader& h = DbHdr();
    auto offset = [&](int64_t min) {
        return (min < 0 || min > limit) ? (limit / 2 - min) * factor : int64_t(0);
    };
    Plan p{factor, offset(h.extMinX), offset(h.extMinY)};
    int64_t lx =
        int64_t(Lcm3(h.routeGrid, GridOr(h.grid2X, h.routeGrid), GridOr(h.grid3X, h.routeGrid))) *
        factor;
    int64_t ly =
        int64_t(Lcm3(h.routeGrid, GridOr(h.grid2Y, h.routeGrid), GridOr(h.grid3Y, h.routeGrid))) *
        factor;
    int64_t rx = (int64_t(h.originX) * factor + p.dx) % lx;
    int64_t ry = (int64_t(h.originY) * factor + p.dy) % ly;
    // The step down onto the grid is taken only when the shifted minimum
    // stays at 0 or above; otherwise the step up, which always does (the
    // shift alone leaves the minimum at 0 or above, and lx - rx > 0).
    // Grids whose common multiple is wider than the range can leave the
    // minimum above the range; a later check then shifts it by whole
    // multiples, never below 0.
    const bool down = int64_t(h.extMinX) * factor - p.dx - rx >= 0 &&
                      int64_t(h.extMinY) * factor - p.dy - ry >= 0;
    const bool downStaysPositive = int64_t(h.extMinX) * factor + p.dx - rx >= 0 &&
                                   int64_t(h.extMinY) * factor + p.dy - ry >= 0;
    if (down && downStaysPositive) {
        p.dx -= rx;
        p.dy -= ry;
    } else {
        p.dx += lx - rx;
        p.dy += ly - ry;
    }
    return p;
}

bool Fits32(int64_t v) {
    return v > int64_t(INT32_MIN) && v < int64_t(INT32_MAX);
}

bool PlanFits(const Plan& p) {
    return Fits32(p.dx) && Fits32(p.dy) &&
           DbScaleFits(int32_t(p.factor), 1, int32_t(p.dx), int32_t(p.dy));
}

bool OnGrid(int32_t origin, int32_t routeGrid, int32_t grid2, int32_t grid3) {
    for (int32_t g : {routeGrid, GridOr(grid2, routeGrid), GridOr(grid3, routeGrid)})
        if (origin % g != 0) return false;
    return true;
}

} // namespace

void DbTableSetCount(int32_t type, int32_t (*count)()) {
    bool known = false;
    for (int32_t t : kGenericTables)
        known = known || t == type;
    if (!known) ErrReport(kErrCountType, type);
    g_counts[type] = count;
}

int32_t DbTableCount(int32_t type) {
    if (type < 0 || type >= kTypeSlots || !g_counts[type]) return -1;
    DbModuleOps ops = DbModuleGet(type);
    if (!ops.get || !ops.put) return -1;
    return g_counts[type]();
}

bool DbScaleImage(int32_t type, void* record, int32_t num, int32_t den, int32_t dx, int32_t dy) {
    Scaler s = Make(num, den, dx, dy);
    ScaleImage(s, type, record);
    return s.fits;
}

bool DbScaleFits(int32_t num, int32_t den, int32_t dx, int32_t dy) {
    if (!DbIsValid()) ErrReport(kErrNotReady, 0);
    Scaler s = Make(num, den, dx, dy);
    Walk(s, false);
    return s.fits;
}

void DbScale(int32_t num, int32_t den, int32_t dx, int32_t dy) {
    if (!DbIsValid()) ErrReport(kErrNotReady, 0);
    DebugPrint("DbScale * %ld / %ld + [%ld,%ld]", long(num), long(den), long(dx), long(dy));
    Scaler s = Make(num, den, dx, dy);
    // Only values change: every record is stored as it stands, and its box,
    // scaled with it, widens the new extent.
    DbTrustedScope trusted;
    Walk(s, true);
}

bool DbGridsCombine(const DbHeader* h) {
    return Lcm3Fits(h->routeGrid, GridOr(h->grid2X, h->routeGrid),
                    GridOr(h->grid3X, h->routeGrid)) &&
           Lcm3Fits(h->routeGrid, GridOr(h->grid2Y, h->routeGrid), GridOr(h->grid3Y, h->routeGrid));
}

void DbRangeCheck() {
    const DbHeader& h = DbHdr();
    if (h.extMinX > h.extMaxX || h.extMinY > h.extMaxY) return;
    int64_t limit = h.userUnit == 60 ? 0x50000 : 0x5000000;
    if (h.routeGrid == 0) ErrReport(kErrRouteGrid, 0);
    // Grids without a common multiple in 32 bits: the design stays as it
    // is (the readers refuse such grids).
    if (!DbGridsCombine(&h)) return;
    bool onGrid = OnGrid(h.originX, h.routeGrid, h.grid2X, h.grid3X) &&
                  OnGrid(h.originY, h.routeGrid, h.grid2Y, h.grid3Y);
    auto inRange = [&](int64_t v) { return v >= 0 && v <= limit; };
    if (onGrid && inRange(h.extMinX) && inRange(h.extMinY) && h.userUnit % 2 == 0 &&
        h.routeGrid % 2 == 0)
        return;
    DbSetTrusted(false);
    int64_t factor = 1;
    if (int64_t(h.extMaxX) - h.extMinX <= 0x3FFFFFFE &&
        int64_t(h.extMaxY) - h.extMinY <= 0x3FFFFFFE) {
        factor = h.userUnit % 2 != 0 ? 2 : 1;
        if (h.userUnit % 3 != 0) factor *= 3;
        if ((factor * h.routeGrid) % 2 != 0) factor *= 2;
    }
    // Nothing changes unless every scaled value fits: failing that, the
    // design is only shifted, and when even that does not fit it stays.
    Plan p = PlanFor(factor, limit);
    if (!PlanFits(p)) {
        if (factor == 1) return;
        p = PlanFor(1, limit);
        if (!PlanFits(p)) return;
    }
    DbScale(int32_t(p.factor), 1, int32_t(p.dx), int32_t(p.dy));
    // The plan came from the header's extent; one that held less than the
    // stores give back (a design validated again without DbExtent) can
    // leave a negative minimum. Every value is within the limits all the
    // same (the dry run saw to it), so this is a soft check.
    if ((h.extMinX <= h.extMaxX && h.extMinX < 0) || (h.extMinY <= h.extMaxY && h.extMinY < 0))
        ExpectFail(kErrNegative);
}

void DbScaleRegister() {
    DbRegisterValidateStep(0, &DbRangeCheck);
}
