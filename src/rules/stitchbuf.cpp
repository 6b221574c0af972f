// The stitch buffer: 2,001 points of 24 bytes (48,024 bytes, one piece of
// the router's first memory zone) taken when the maze is set up and
// forgotten when it is released (the zone frees the memory). A segment
// holds at most 1,001 points in full-grid mode and 2,001 in half-grid mode,
// so a window 1,000 grid points tall fits; more is an internal error.
#include <cstdint>

#include "db/pool.h"
#include "router/mzinit.h"
#include "router/rulesvc.h"
#include "rules/stitch.h"
#include "rules/viaclear.h"

namespace {
StitchPoint* s_points = nullptr;
} // namespace

StitchSeg g_stitch;

int32_t StitchAllocRules() {
    const int32_t pool = MzZonePool(1);
    if (!pool) return 0;
    // no error code: running out of memory answers null, and the set-up of
    // the maze reports it
    s_points = static_cast<StitchPoint*>(PoolAlloc(kStitchBytes, pool, 0));
    return s_points ? 1 : 0;
}

void StitchReleaseRules() {
    s_points = nullptr;
}

StitchPoint* StitchPoints() {
    if (!s_points) ErrReport(kErrStitchNoBuffer, 0);
    return s_points;
}

int32_t StitchPointLimit() {
    return g_stitch.halfGrid ? int32_t(kStitchPoints) : int32_t(kStitchPointsFull);
}

void stitchCheckCount(int32_t count) {
    if (count < 0 || count > StitchPointLimit()) ErrReport(kErrStitchCount, count);
}
