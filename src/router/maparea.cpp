// The map area from the visible area. Every coordinate is computed in
// 64-bit arithmetic; the even rounding goes toward minus infinity.
#include "router/maparea.h"

#include <algorithm>

#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/sweeps.h"
#include "router/mzgrid.h"
#include "router/objtable.h"
#include "router/objvalidate.h"
#include "router/urstate.h"

namespace {

int32_t Clamp32(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// The low end of the extent along one axis.
int64_t Low(int64_t lo, int64_t hi, int64_t g, int64_t cells) {
    int64_t t = (lo + hi) / (2 * g) - cells / 2;
    return FloorDiv(t, 2) * 2 * g;
}

} // namespace

void MapAreaCompute(int32_t left, int32_t bottom, int32_t right, int32_t top) {
    Sweep s;
    SweepGet(&s);
    int64_t g = DbHdr().routeGrid > 0 ? DbHdr().routeGrid : 1;
    int64_t c = s.box[0], r = s.box[1];
    int64_t xl = Low(left, right, g, c), yl = Low(bottom, top, g, r);
    MzBox extent{Clamp32(xl), Clamp32(yl), Clamp32(xl + c * g), Clamp32(yl + r * g)};
    int64_t inset = kWindowInsetPitches * g;
    MzBox window{Clamp32(xl + inset), Clamp32(yl + inset), Clamp32(xl + c * g - inset),
                 Clamp32(yl + r * g - inset)};
    // Loaded objects and maps are in the old area's maze coordinates: a
    // moved or resized area makes them stale.
    const MzGridState& was = g_mzGrid;
    const bool moved = extent.minX != was.extent.minX || extent.minY != was.extent.minY ||
                       extent.maxX != was.extent.maxX || extent.maxY != was.extent.maxY ||
                       c != was.nx || r != was.ny || g != was.g;
    if (moved && (g_windowLoaded || ObjTableValid())) urObjInvalidate();
    MzSetArea(extent, window);
    MzSetSize(int32_t(c), int32_t(r));
    if (g_verbose) {
        DebugPrint("Map = [%s,%s] to [%s,%s]", CoordText(extent.minX), CoordText(extent.minY),
                   CoordText(extent.maxX), CoordText(extent.maxY));
        DebugPrint("Box = [%s,%s] to [%s,%s]", CoordText(window.minX), CoordText(window.minY),
                   CoordText(window.maxX), CoordText(window.maxY));
    }
    mzGridInit();
}

void MapAreaTestReset() {}
