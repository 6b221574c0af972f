// The diagonal band of a 45-degree segment on the object map, shared by the
// mapping and the query: for each row of the segment widened by w, the
// columns within (w x 3 / (2 x cell)) + g of the diagonal's column at that
// row, g being 2 when either end's x is off the routing grid, else 1.
#pragma once
#include <algorithm>
#include <cstdint>

#include "router/objmap.h"

template <typename F>
void MapDiagBand(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t w, F f) {
    const int32_t c = MapCellSize();
    const int32_t g = (x1 % c != 0 || x2 % c != 0) ? 2 : 1;
    const int32_t band = int32_t(int64_t(w) * 3 / (2 * int64_t(c))) + g;
    const int32_t r1 = MapRowLo(std::min(y1, y2) - w), r2 = MapRowHi(std::max(y1, y2) + w);
    const int32_t lo = std::min(x1, x2), hi = std::max(x1, x2);
    const int64_t slope = (int64_t(x2) - x1) * (int64_t(y2) - y1) > 0 ? 1 : -1;
    for (int32_t r = r1; r <= r2; ++r) {
        int64_t x = x1 + slope * (int64_t(MapRowY(r)) - y1);
        x = std::clamp<int64_t>(x, lo, hi);
        const int32_t col = MapColLo(int32_t(x));
        f(col - band, col + band, r);
    }
}
