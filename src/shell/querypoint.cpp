// The query point. The view's mapping is the board view's last zoom
// (h = (x - origin x) / scale, alike v); a query grid step of 0 or less
// takes the design's routing grid (at least 1). Arithmetic is 64-bit, so a
// far point never overflows before it is stored.
#include "shell/querypoint.h"

#include <algorithm>
#include <cstdlib>

#include "db/dbheader.h"
#include "db/records.h"
#include "router/viewzoom.h"
#include "shell/shellstate.h"

int32_t GridSnap(int32_t value, int32_t origin, int32_t step) {
    int64_t d = int64_t(value) - origin;
    int64_t q = d / step;
    int64_t r = d % step;
    if (2 * std::llabs(r) >= step) q += d < 0 ? -1 : 1;
    int64_t snapped = origin + q * step;
    return int32_t(std::clamp<int64_t>(snapped, INT32_MIN, INT32_MAX));
}

int32_t setQueryPoint(int32_t v, int32_t h) {
    AppWindow* w = gCurWin;
    if (!w) return 0;
    const ViewMapping& m = ViewZoomLast();
    int64_t scale = m.scale > 0 ? m.scale : 1;
    int32_t x = int32_t(std::clamp<int64_t>(int64_t(h) * scale + m.originX, INT32_MIN, INT32_MAX));
    int32_t y = int32_t(std::clamp<int64_t>(int64_t(v) * scale + m.originY, INT32_MIN, INT32_MAX));
    if (x == w->queryX && y == w->queryY) return 0;
    w->queryX = x;
    w->queryY = y;
    const DbHeader& hdr = DbHdr();
    int32_t grid = std::max<int32_t>(hdr.routeGrid, 1);
    if (w->gridStepX <= 0) w->gridStepX = grid;
    if (w->gridStepY <= 0) w->gridStepY = grid;
    w->snapX = GridSnap(x, hdr.originX, w->gridStepX);
    w->snapY = GridSnap(y, hdr.originY, w->gridStepY);
    w->snapOffX = w->snapX - hdr.originX;
    w->snapOffY = w->snapY - hdr.originY;
    return 1;
}
