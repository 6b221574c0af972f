// The via map's storage and primitives. Row blocks above one pool piece are
// refused before anything is allocated, so a window that does not fit is
// answered 0 rather than ending the program.
#include "router/viamap.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "db/dbheader.h"
#include "db/pool.h"
#include "db/thru.h"
#include "router/costs.h"
#include "router/mzgrid.h"
#include "router/mzinit.h"

namespace {

enum : ErrCode {
    kErrViaRowAlloc = 2185010,
    kErrViaGetType = 2185024,
    kErrViaMarkType = 2185052,
};

struct ViaMapState {
    std::vector<uint8_t*> rows; // ny + 1 row blocks
    int32_t types = 0;
    int32_t rowBytes = 0; // nx + 1
};
ViaMapState s;

uint8_t* At(int32_t x, int32_t y, int32_t t) {
    return s.rows[size_t(y >> 1)] + (t - 1) * s.rowBytes + (x >> 1);
}

} // namespace

int32_t ViaInit() {
    int32_t n = std::clamp<int32_t>(DbHdr().viaCount, 0, kViaTypeLimit);
    if (g_verbose) DebugPrint("ViaInit: allocating for %d via", int(n));
    ViaForget();
    const int32_t width = g_mzGrid.nx + 1, rows = g_mzGrid.ny + 1;
    if (int64_t(n) * width >= kViaRowLimit) return 0;
    int32_t pool = MzZonePool(1);
    if (!pool) return 0;
    s.rows.assign(size_t(rows), nullptr);
    for (int32_t y = 0; y < rows && n > 0; ++y) {
        s.rows[size_t(y)] = static_cast<uint8_t*>(PoolAlloc(n * width, pool, kErrViaRowAlloc));
        if (!s.rows[size_t(y)]) {
            ViaForget();
            return 0;
        }
    }
    s.types = n;
    s.rowBytes = width;
    ViaMapClear();
    return 1;
}

void ViaForget() {
    s = ViaMapState{};
}

int32_t ViaMapTypes() {
    return s.types;
}

void ViaMapClear() {
    for (uint8_t* row : s.rows)
        if (row) std::memset(row, 0, size_t(s.types) * size_t(s.rowBytes));
}

int32_t ViaMapGet(int32_t x, int32_t y, int32_t t) {
    if (t < 1 || t > s.types) ErrReport(kErrViaGetType, t);
    if (x < 0 || y < 0 || x > g_mzGrid.w || y > g_mzGrid.r) return 0;
    if ((y >> 1) >= int32_t(s.rows.size()) || (x >> 1) >= s.rowBytes) return 0;
    return *At(x, y, t);
}

void ViaMapMarkRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t t, int32_t bits) {
    if (t < 1 || t > s.types) ErrReport(kErrViaMarkType, t);
    x1 = std::max(x1, 2);
    y1 = std::max(y1, 2);
    x2 = std::min(x2, g_mzGrid.w - 2);
    y2 = std::min(y2, g_mzGrid.r - 2);
    x2 = std::min(x2, 2 * s.rowBytes - 1);
    y2 = std::min(y2, 2 * int32_t(s.rows.size()) - 1);
    for (int32_t y = y1; y <= y2; y += 2)
        for (int32_t x = x1; x <= x2; x += 2)
            *At(x, y, t) |= uint8_t(bits);
}

void ViaReset() {
    if (g_verbose) DebugPrint("ViaReset: reseting");
    const size_t bytes = size_t(s.types) * size_t(s.rowBytes);
    for (uint8_t* row : s.rows)
        if (row)
            for (size_t i = 0; i < bytes; ++i)
                row[i] &= uint8_t(~kViaTemp);
}

int32_t ViaPadShape(int32_t viaType, int32_t layer, int32_t ext[4]) {
    ext[0] = ext[1] = ext[2] = ext[3] = 0;
    if (viaType < 1 || viaType > ThruCount() || viaType > DbHdr().viaCount) return 0;
    const ThruCode* t = ThruRef(viaType);
    if (layer < 0 || layer >= kLayerSlots) return 0;
    const ThruLayer& tl = t->layer[layer];
    if (tl.shapeCount == 0 || tl.shape[0].code == kPadUndef) return 0;
    for (int32_t k = 0; k < 4; ++k)
        ext[k] = tl.shape[0].ext[k];
    return tl.shape[0].code;
}

int32_t ViaPadSize(int32_t viaType, int32_t layer) {
    int32_t ext[4];
    switch (ViaPadShape(viaType, layer, ext)) {
    case kPadUndef:
        return 0;
    case kPadRound:
    case kPadSquare:
    case kPadThermal:
    case kPadAnnular:
        return ext[0];
    default:
        return std::max(std::max(ext[0], ext[1]), std::max(ext[2], ext[3]));
    }
}
