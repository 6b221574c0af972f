// Pushing the stitch points sideways. Each point's reach starts small and
// grows to the half width plus clearance of the segment's copper; a point
// blocked on one side moves half a step away, one blocked on both sides is
// centred between two pads when the gap holds the copper, else the next
// mode is tried: gathering first (nothing moves), then the router's push in
// the modes the pass and the design allow. Path ends and vias stay where
// they are. Then off-grid points are snapped back to the grid and runs of
// points are aligned where the copper fits.
#include <algorithm>
#include <cstdlib>

#include "db/dbheader.h"
#include "db/paddist.h"
#include "db/pool.h"
#include "router/gather.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "rules/clearcore.h"
#include "rules/ruleadapt.h"
#include "rules/stitch.h"
#include "rules/viaclear.h"

namespace {

enum : int32_t {
    kShoveTries = 16, // steps of one mode before it gives up
    kModeGather = 0,
    kModePush = 1,
    kModePush2 = 2,
    kModePushLast = 3,
};

struct Probe {
    int32_t r1, r2;
};

Probe ProbeOf(const StitchPoint& p) {
    const int32_t h = g_stitch.step / 2;
    return Probe{p.run - h, p.run + h};
}

// Gathering on one side: true when blocked; *pad the first pad entry met.
bool GatherBlocked(int32_t x, const Probe& pr, int32_t reach, int32_t dir, int32_t* pad) {
    ScratchRecord<ObjList> list;
    const int32_t side = dir > 0 ? kDirBelowX : kDirAboveX;
    const int32_t free = GatherSegBlockers(x, pr.r1, x, pr.r2, kClearKindSeg, g_stitch.layer,
                                           StitchProbeExtra(reach), ClearEntry(), list.get(),
                                           g_stitch.transposed, side);
    *pad = 0;
    if (free && list->count == 0) return false;
    if (list->count > 0 && list->entry[0] > 0 && ObjEntry(list->entry[0])->type == kObjPad)
        *pad = list->entry[0];
    return true;
}

bool PushBlocked(int32_t x, const Probe& pr, int32_t reach, int32_t dir) {
    return ClearPush(x, pr.r1, pr.r2, kClearKindSeg, g_stitch.layer, StitchProbeExtra(reach), dir,
                     g_stitch.transposed) != 0;
}

// One mode's stepping from the point's starting coordinate; 1 cleared.
int32_t StepMode(StitchPoint* p, int32_t mode) {
    const int32_t hwc = g_stitch.reach, half = g_stitch.step / 2;
    int32_t x = p->start;
    int32_t reach = std::min(hwc, half);
    int16_t flags = mode == kModeGather || mode == kModePush ? 0 : kStSecondary;
    const Probe pr = ProbeOf(*p);
    for (int32_t t = 0; t < kShoveTries; ++t) {
        int32_t hiPad = 0, loPad = 0;
        bool hi, lo;
        if (mode == kModeGather) {
            hi = GatherBlocked(x, pr, reach, +1, &hiPad);
            lo = GatherBlocked(x, pr, reach, -1, &loPad);
        } else {
            hi = PushBlocked(x, pr, reach, +1);
            lo = PushBlocked(x, pr, reach, -1);
        }
        if (hi) flags |= kStHighOccupied;
        if (lo) flags |= kStLowOccupied;
        if (!hi && !lo) {
            if (reach >= hwc) {
                p->shove = x;
                p->flags = int16_t(p->flags | flags);
                return 1;
            }
            reach = std::min(reach + g_stitch.step, hwc);
            continue;
        }
        if (hi && lo) {
            p->shove = x;
            if (mode == kModeGather && hiPad && loPad && !(DbHdr().flags & kHdrGridOnly) &&
                stitchCentreBetweenPads(p, loPad, hiPad)) {
                p->flags = int16_t(p->flags | flags | kStCentred);
                return 1;
            }
            p->flags = int16_t(p->flags | flags | kStHighBlocked | kStLowBlocked);
            return 0;
        }
        x += hi ? -half : half;
        reach = std::min(reach + half, hwc);
    }
    p->shove = x;
    p->flags = int16_t(p->flags | flags);
    return 0;
}

void SetEdges(StitchPoint* p, int32_t reach) {
    p->low = p->shove - reach;
    p->high = p->shove + reach;
}

// Clears one point; 1 cleared.
int32_t ShovePoint(StitchPoint* p, int32_t k, bool earlierFailed) {
    if (StepMode(p, kModeGather)) return 1;
    if (ClearForceFast() && (g_shove.shoveFailed || (earlierFailed && k >= 2))) {
        p->flags = kStGivenUp;
        p->shove = p->start;
        SetEdges(p, 0);
        return 0;
    }
    const bool fast = ClearFastRun();
    const uint16_t hdr = DbHdr().flags;
    if (!fast && StepMode(p, kModePush)) return 1;
    if (!fast && (hdr & kHdrStitchPush2) && StepMode(p, kModePush2)) return 1;
    if (!fast && (hdr & kHdrStitchPushLast) && StepMode(p, kModePushLast)) return 1;
    p->flags = int16_t(p->flags | kStNotCleared);
    return 0;
}

bool OffGrid(const StitchPoint& p) {
    return p.shove % ClearGrid() != 0;
}

} // namespace

int32_t stitchShovePoints(const Conn*, int32_t) {
    StitchPoint* pts = StitchPoints();
    bool failed = false;
    for (int32_t k = 0; k < g_stitch.count; ++k) {
        StitchPoint* p = &pts[k];
        if ((p->flags & kStOutside) || StitchFixedPoint(k)) {
            SetEdges(p, g_stitch.reach);
            continue;
        }
        if (ShovePoint(p, k, failed)) {
            SetEdges(p, g_stitch.reach);
        } else {
            if (!(p->flags & kStSkip)) SetEdges(p, g_stitch.reach);
            failed = true;
        }
    }
    return failed ? 0 : 1;
}

int32_t stitchCentreBetweenPads(StitchPoint* p, int32_t lowPad, int32_t highPad) {
    const Probe pr = ProbeOf(*p);
    int32_t x1, y1, x2, y2;
    StitchWorld(p->shove, pr.r1, &x1, &y1);
    StitchWorld(p->shove, pr.r2, &x2, &y2);
    const MapObj &lo = *ObjEntry(lowPad), &hi = *ObjEntry(highPad);
    const int32_t dl = PadSegDist(lo.index, lo.link, g_stitch.layer, x1, y1, x2, y2);
    const int32_t dh = PadSegDist(hi.index, hi.link, g_stitch.layer, x1, y1, x2, y2);
    const int32_t need = g_stitch.half + ClearSpacing(g_stitch.layer, kProbePad);
    if (int64_t(dl) + dh < 2 * int64_t(need)) return 0;
    p->shove += (dh - dl) / 2;
    return 1;
}

int32_t stitchMovePoint(StitchPoint* p, int32_t shove) {
    const Probe pr = ProbeOf(*p);
    int32_t x1, y1, x2, y2;
    StitchWorld(shove, pr.r1, &x1, &y1);
    StitchWorld(shove, pr.r2, &x2, &y2);
    if (!GatherIsEmpty(x1, y1, x2, y2, kClearKindSeg, g_stitch.layer, g_stitch.half, ClearEntry(),
                       0))
        return 0;
    p->shove = shove;
    SetEdges(p, g_stitch.reach);
    return 1;
}

void stitchSnapPoints() {
    StitchPoint* pts = StitchPoints();
    const int32_t g = ClearGrid();
    int32_t dir = 1;
    for (int32_t k = 0; k < g_stitch.count; ++k) {
        StitchPoint* p = &pts[k];
        if (!OffGrid(*p) || (p->flags & (kStOutside | kStNotCleared)) || StitchFixedPoint(k))
            continue;
        const int32_t down = ClearFloorDiv(p->shove, g) * g, up = down + g;
        if (stitchMovePoint(p, dir > 0 ? up : down)) continue;
        if (stitchMovePoint(p, dir > 0 ? down : up)) {
            dir = -dir;
            continue;
        }
        p->flags = int16_t(p->flags | kStOffGrid);
    }
}

void stitchAlignRuns() {
    StitchPoint* pts = StitchPoints();
    const int32_t n = g_stitch.count;
    // a point takes its neighbour's offset from the segment's line (the same
    // coordinate on a straight segment)
    auto pull = [&](int32_t k, int32_t from) {
        StitchPoint* p = &pts[k];
        const int32_t target = p->start + (pts[from].shove - pts[from].start);
        if (p->shove == target || OffGrid(*p) || StitchFixedPoint(k)) return;
        if (p->flags & (kStOutside | kStNotCleared | kStSkip)) return;
        stitchMovePoint(p, target);
    };
    for (int32_t k = 1; k < n; ++k)
        pull(k, k - 1);
    for (int32_t k = n - 2; k >= 0; --k)
        pull(k, k + 1);
}
