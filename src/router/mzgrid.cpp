// The maze grid arithmetic. Every product and sum that can leave 32 bits is
// taken in 64-bit arithmetic; results are answered in 32 bits.
#include "router/mzgrid.h"

#include <cmath>

#include "db/dbheader.h"
#include "db/err.h"

MzGridState g_mzGrid;

namespace {

int32_t Narrow(int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return int32_t(v);
}

int32_t ToMaze(int32_t v, int32_t shift) {
    double m = std::trunc(2.0 * double(v) / double(g_mzGrid.g));
    return Narrow(int64_t(m) - shift);
}

int32_t RoundUp(int32_t v, int32_t step) {
    int64_t rem = int64_t(v) % step;
    return Narrow(rem == 0 ? int64_t(v) : int64_t(v) + step - rem);
}

int32_t RoundDown(int32_t v, int32_t step) {
    return Narrow(int64_t(v) - int64_t(v) % step);
}

enum : int32_t { kOutAbove = 1, kOutBelow = 2, kOutLeft = 4, kOutRight = 8 };

int32_t OutCode(int64_t x, int64_t y, const MzBox& b) {
    int32_t c = 0;
    if (y > b.maxY) c |= kOutAbove;
    if (y < b.minY) c |= kOutBelow;
    if (x < b.minX) c |= kOutLeft;
    if (x > b.maxX) c |= kOutRight;
    return c;
}

// Moves (x, y) along the segment to (x, y) = (?, edge) or (edge, ?).
void MoveToY(int64_t& x, int64_t& y, int64_t ox, int64_t oy, int64_t edge) {
    int64_t dy = oy - y;
    if (dy != 0) x += (ox - x) * (edge - y) / dy;
    y = edge;
}
void MoveToX(int64_t& x, int64_t& y, int64_t ox, int64_t oy, int64_t edge) {
    int64_t dx = ox - x;
    if (dx != 0) y += (oy - y) * (edge - x) / dx;
    x = edge;
}

constexpr int32_t kClipRounds = 16; // a segment settles in at most four

} // namespace

void MzSetSize(int32_t nx, int32_t ny) {
    g_mzGrid.nx = nx;
    g_mzGrid.ny = ny;
    g_mzGrid.w = 2 * nx + 1;
    g_mzGrid.r = 2 * ny + 1;
}

void MzSetArea(const MzBox& extent, const MzBox& window) {
    g_mzGrid.extent = extent;
    g_mzGrid.window = window;
    g_mzGrid.ox = extent.minX;
    g_mzGrid.oy = extent.minY;
}

void mzGridInit() {
    MzGridState& m = g_mzGrid;
    m.g = DbHdr().routeGrid > 0 ? DbHdr().routeGrid : 1;
    m.h = m.g >> 1;
    if (m.h < 1) m.h = 1;
    m.sx = int32_t(2 * int64_t(m.ox) / m.g);
    m.sy = int32_t(2 * int64_t(m.oy) / m.g);
    if (g_verbose) DebugPrint("mzGridInit: Shift [%d,%d]", int(m.sx), int(m.sy));
}

int32_t MzX(int32_t x) {
    return ToMaze(x, g_mzGrid.sx);
}
int32_t MzY(int32_t y) {
    return ToMaze(y, g_mzGrid.sy);
}
int32_t MzWorldX(int32_t m) {
    return Narrow(int64_t(g_mzGrid.h) * m + g_mzGrid.ox);
}
int32_t MzWorldY(int32_t m) {
    return Narrow(int64_t(g_mzGrid.h) * m + g_mzGrid.oy);
}
int32_t MzSnapXDown(int32_t x) {
    return Narrow(2 * ((int64_t(x) + g_mzGrid.h - 1) / g_mzGrid.g) - g_mzGrid.sx);
}
int32_t MzSnapYDown(int32_t y) {
    return Narrow(2 * ((int64_t(y) + g_mzGrid.h - 1) / g_mzGrid.g) - g_mzGrid.sy);
}
int32_t MzSnapXUp(int32_t x) {
    return Narrow(2 * ((int64_t(x) + g_mzGrid.h) / g_mzGrid.g) - g_mzGrid.sx);
}
int32_t MzSnapYUp(int32_t y) {
    return Narrow(2 * ((int64_t(y) + g_mzGrid.h) / g_mzGrid.g) - g_mzGrid.sy);
}
int32_t GridRoundUp(int32_t v) {
    return RoundUp(v, g_mzGrid.g);
}
int32_t GridRoundDown(int32_t v) {
    return RoundDown(v, g_mzGrid.g);
}
int32_t HalfGridRoundUp(int32_t v) {
    return RoundUp(v, g_mzGrid.h);
}
int32_t HalfGridRoundDown(int32_t v) {
    return RoundDown(v, g_mzGrid.h);
}

int32_t MzClipLine(int32_t* px0, int32_t* py0, int32_t* px1, int32_t* py1, const MzBox& b) {
    int64_t x0 = *px0, y0 = *py0, x1 = *px1, y1 = *py1;
    int32_t result = 0;
    for (int32_t round = 0; round < kClipRounds; ++round) {
        int32_t c0 = OutCode(x0, y0, b), c1 = OutCode(x1, y1, b);
        if (c0 == 0 && c1 == 0) {
            result = 1;
            break;
        }
        if (c0 & c1) break;
        for (int32_t code = kOutAbove; code <= kOutRight; code <<= 1) {
            bool first = (c0 & code) != 0;
            if (!first && !(c1 & code)) continue;
            int64_t& x = first ? x0 : x1;
            int64_t& y = first ? y0 : y1;
            int64_t ox = first ? x1 : x0, oy = first ? y1 : y0;
            if (code == kOutAbove) MoveToY(x, y, ox, oy, b.maxY);
            if (code == kOutBelow) MoveToY(x, y, ox, oy, b.minY);
            if (code == kOutLeft) MoveToX(x, y, ox, oy, b.minX);
            if (code == kOutRight) MoveToX(x, y, ox, oy, b.maxX);
        }
    }
    *px0 = Narrow(x0);
    *py0 = Narrow(y0);
    *px1 = Narrow(x1);
    *py1 = Narrow(y1);
    return result;
}

MzBox MzClipBox() {
    return MzBox{kMazeBorder, kMazeBorder, 2 * g_mzGrid.nx - kMazeBorder,
                 2 * g_mzGrid.ny - kMazeBorder};
}

int32_t MzClipSeg(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t flag) {
    const MzBox& w = g_mzGrid.window;
    if ((x0 < w.minX && x1 < w.minX) || (x0 > w.maxX && x1 > w.maxX) ||
        (y0 < w.minY && y1 < w.minY) || (y0 > w.maxY && y1 > w.maxY))
        return 0;
    int32_t mx0 = MzX(x0), my0 = MzY(y0), mx1 = MzX(x1), my1 = MzY(y1);
    MzBox box = MzClipBox();
    if (!MzClipLine(&mx0, &my0, &mx1, &my1, box)) return 0;
    if (flag) return 1;
    if (mx0 == mx1 && (mx0 == box.minX || mx0 == box.maxX)) return 0;
    if (my0 == my1 && (my0 == box.minY || my0 == box.maxY)) return 0;
    return 1;
}
