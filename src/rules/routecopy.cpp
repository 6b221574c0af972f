// The route copy geometry (see routecopy.h). Offsets from the centre are
// taken in 64 bits and the results kept within 32 bits.
#include "rules/routecopy.h"

#include <algorithm>
#include <cmath>

#include "db/conns.h"
#include "db/dbheader.h"
#include "router/mzgrid.h"

namespace {

enum : int32_t { kQuarterTurns = 4 };
constexpr double kPi = 3.1415926535;
constexpr double kHalfTurnMinutes = 10800.0;

int32_t Clamp32(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

void routeCopyRotate(Conn* copy, int32_t cx, int32_t cy, int32_t angle) {
    if (angle == 0) angle = kQuarterTurnMinutes;
    while (angle < 0)
        angle += kFullTurnMinutes;
    angle %= kFullTurnMinutes;
    const double radians = angle * kPi / kHalfTurnMinutes;
    const double c = std::cos(radians), s = std::sin(radians);
    for (int32_t i = 0; i < copy->head.count; ++i) {
        Crn& k = copy->crn[i];
        const int64_t dx = int64_t(k.x) - cx, dy = int64_t(k.y) - cy;
        int64_t nx = 0, ny = 0;
        if (angle % kQuarterTurnMinutes == 0) {
            switch (angle / kQuarterTurnMinutes % kQuarterTurns) {
            case 0:
                nx = dx, ny = dy;
                break;
            case 1:
                nx = -dy, ny = dx;
                break;
            case 2:
                nx = -dx, ny = -dy;
                break;
            default:
                nx = dy, ny = -dx;
                break;
            }
        } else {
            nx = int64_t(c * double(dx) - s * double(dy));
            ny = int64_t(c * double(dy) + s * double(dx));
        }
        k.x = Clamp32(cx + nx);
        k.y = Clamp32(cy + ny);
    }
}

void routeCopyShift(Conn* copy, int64_t dx, int64_t dy) {
    for (int32_t i = 0; i < copy->head.count; ++i) {
        copy->crn[i].x = Clamp32(copy->crn[i].x + dx);
        copy->crn[i].y = Clamp32(copy->crn[i].y + dy);
    }
}

void routeCopyMirror(Conn* copy, int32_t cx) {
    for (int32_t i = 0; i < copy->head.count; ++i)
        copy->crn[i].x = Clamp32(2 * int64_t(cx) - copy->crn[i].x);
}

int32_t pickConnInRectangle(const Conn* conn, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int32_t grid = std::max<int32_t>(1, DbHdr().routeGrid);
    const MzBox box{std::min(x1, x2) / grid, std::min(y1, y2) / grid, std::max(x1, x2) / grid,
                    std::max(y1, y2) / grid};
    for (int32_t i = 0; i + 1 < conn->head.count; ++i) {
        const Crn &a = conn->crn[i], &b = conn->crn[i + 1];
        if (a.layer == 0) continue;
        int32_t ax = a.x / grid, ay = a.y / grid, bx = b.x / grid, by = b.y / grid;
        if (MzClipLine(&ax, &ay, &bx, &by, box)) {
            if (g_verbose) DebugPrint("connInRectangle: hit crn=%d", int(i));
            return 1;
        }
    }
    return 0;
}

int32_t routeCopyTrim(Conn* conn) {
    if (conn->head.count < 1) ErrReport(kErrCopyNoCorners, conn->head.count);
    if (conn->head.count > 1 && conn->crn[0].layer == 0) ConnReverse(conn);
    for (int32_t i = 0; i + 1 < conn->head.count; ++i) {
        if (conn->crn[i].layer != 0) continue;
        conn->head.count = int16_t(i + 1);
        return 1;
    }
    return 0;
}

void routeCopyClip(Conn* conn, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int32_t minX = std::min(x1, x2), maxX = std::max(x1, x2);
    const int32_t minY = std::min(y1, y2), maxY = std::max(y1, y2);
    int32_t first = -1, last = -1;
    for (int32_t i = 0; i + 1 < conn->head.count; ++i) {
        const Crn &a = conn->crn[i], &b = conn->crn[i + 1];
        if (a.layer == 0) continue;
        const int32_t ax = a.x, ay = a.y, bx = b.x, by = b.y;
        if (std::max(ax, bx) < minX || std::min(ax, bx) > maxX || std::max(ay, by) < minY ||
            std::min(ay, by) > maxY)
            continue;
        if (first < 0) first = i;
        last = i;
    }
    if (first < 0) return;
    conn->head.count = int16_t(last + 2);
    conn->crn[last + 1].layer = 0;
    if (first > 0) CrnDelete(conn, 0, first);
}
