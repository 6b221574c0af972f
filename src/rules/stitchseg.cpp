// Segment stitching: one straight (vertical in its frame) or 45-degree
// segment of the path is cut into grid points, each point is pushed clear
// of other nets' copper, the points are snapped and aligned, and they are
// stitched back into corners of the cleared path; the maze is marked
// around every point that could not be cleared. A segment of the wrong
// direction is an internal error, not a failure. The push options of the
// stitching are set for the whole segment and cleared on every way out.
#include <algorithm>

#include "db/dbheader.h"
#include "db/shellsvc.h"
#include "router/mzgrid.h"
#include "rules/clearcore.h"
#include "rules/ruleadapt.h"
#include "rules/stitch.h"
#include "rules/viaclear.h"

namespace {

// The first grid line at or beyond v in direction d.
int32_t SnapForward(int32_t v, int32_t step, int32_t d) {
    if (v % step == 0) return v;
    return d > 0 ? (ClearFloorDiv(v, step) + 1) * step : ClearFloorDiv(v, step) * step;
}

void AddPoint(int32_t shove, int32_t run, int32_t flags) {
    StitchPoint* pts = StitchPoints();
    stitchCheckCount(g_stitch.count + 1);
    StitchPoint& p = pts[g_stitch.count++];
    p.shove = p.low = p.high = p.start = shove;
    p.run = run;
    p.flags = int16_t(flags);
    p.via = 0;
}

// The extent of the maze along the run axis of the frame.
void RunExtent(int32_t* lo, int32_t* hi) {
    const MzBox& e = g_mzGrid.extent;
    *lo = g_stitch.transposed ? e.minX : e.minY;
    *hi = g_stitch.transposed ? e.maxX : e.maxY;
}

bool EndPointWanted(const Crn& b, bool outside) {
    return outside || b.y % g_stitch.step == 0 || b.via || g_stitch.segment == g_stitch.lastSeg;
}

void LayStraight(const Crn& a, const Crn& b) {
    const int32_t step = g_stitch.step;
    const int32_t d = b.y >= a.y ? 1 : -1;
    int32_t lo, hi;
    RunExtent(&lo, &hi);
    int32_t p = a.via ? a.y : SnapForward(a.y, step, d);
    for (; d > 0 ? p < b.y : p > b.y; p += d * step)
        if (p > lo && p < hi) AddPoint(a.x, p, 0);
    if (EndPointWanted(b, !(b.y > lo && b.y < hi))) AddPoint(b.x, b.y, 0);
}

void LayDiagonal(const Crn& a, const Crn& b) {
    const int32_t step = g_stitch.step;
    const int32_t dx = b.x >= a.x ? 1 : -1, dy = b.y >= a.y ? 1 : -1;
    const int32_t x0 = a.via ? a.x : SnapForward(a.x, step, dx);
    int32_t x = x0, y = a.y + (x0 - a.x) * dx * dy;
    for (; dx > 0 ? x < b.x : x > b.x; x += dx * step, y += dy * step) {
        int32_t wx, wy;
        StitchWorld(x, y, &wx, &wy);
        AddPoint(x, y, InUsableBand(MzX(wx), MzY(wy)) ? 0 : kStOutside);
    }
    int32_t wx, wy;
    StitchWorld(b.x, b.y, &wx, &wy);
    const bool outside = !InUsableBand(MzX(wx), MzY(wy));
    if (EndPointWanted(b, outside)) AddPoint(b.x, b.y, outside ? kStOutside : 0);
}

void Setup(const Conn* path, int32_t i, int32_t transposed, int32_t diagonal) {
    const Crn& a = path->crn[i];
    g_stitch.count = 0;
    g_stitch.transposed = transposed;
    g_stitch.diagonal = diagonal;
    g_stitch.layer = a.layer;
    g_stitch.width = a.width;
    g_stitch.half = HalfWidth(a);
    g_stitch.reach = g_stitch.half + ClearSpacing(a.layer, kClearKindSeg);
    g_stitch.halfGrid = ShellGridDoubling() ? 1 : 0;
    g_stitch.step = g_stitch.halfGrid ? ClearHalfGrid() : ClearGrid();
    g_stitch.segment = i;
    g_stitch.lastSeg = path->head.count - 2;
    g_stitch.startX = a.x;
    g_stitch.startY = a.y;
    g_stitch.endX = path->crn[i + 1].x;
    g_stitch.endY = path->crn[i + 1].y;
}

// The end corners' vias go onto the first and last point when those sit on
// the corners.
void EndVias(const Crn& a, const Crn& b) {
    StitchPoint* pts = StitchPoints();
    const int32_t n = g_stitch.count;
    if (n == 0) return;
    if (pts[0].shove == a.x && pts[0].run == a.y) pts[0].via = a.via;
    if (pts[n - 1].shove == b.x && pts[n - 1].run == b.y) pts[n - 1].via = b.via;
}

int32_t Stitch(Conn* path, int32_t i) {
    StitchPushScope scope;
    int32_t ok = stitchShovePoints(path, i);
    if (i != 0 && i != path->head.count - 2) stitchSnapPoints();
    stitchAlignRuns();
    stitchJoinEnd(path, i);
    if (!stitchSeg(i)) ok = 0;
    // the segment's end corner keeps what belongs to it: the next
    // segment's layer and width, and its flags
    Conn* out = g_shove.cleared;
    Crn& last = out->crn[out->head.count - 1];
    const Crn& b = path->crn[i + 1];
    if (last.x == b.x && last.y == b.y) {
        last.layer = b.layer;
        last.width = b.width;
        last.flags = b.flags;
    }
    stitchMarkFailures();
    if (!ok) g_shove.shoveFailed = 1;
    return ok;
}

void CheckCall(const Conn* path, int32_t i) {
    StitchPoints();
    if (!g_shove.cleared) ErrReport(kErrStitchNoOutput, i);
    if (!ClearEntry()) ErrReport(kErrStitchNoGoal, i);
    if (i < 0 || i + 1 >= path->head.count) ErrReport(kErrStitchSegNotStraight, i);
}

} // namespace

void StitchWorld(int32_t shove, int32_t run, int32_t* x, int32_t* y) {
    *x = g_stitch.transposed ? run : shove;
    *y = g_stitch.transposed ? shove : run;
}

int32_t StitchProbeExtra(int32_t reach) {
    return std::max(0, reach - (g_stitch.reach - g_stitch.half));
}

bool StitchFixedPoint(int32_t k) {
    const StitchPoint& p = StitchPoints()[k];
    if (p.via) return true;
    const bool atStart = p.shove == g_stitch.startX && p.run == g_stitch.startY;
    const bool atEnd = p.shove == g_stitch.endX && p.run == g_stitch.endY;
    return (g_stitch.segment == 0 && atStart) || (g_stitch.segment == g_stitch.lastSeg && atEnd);
}

int32_t stitchStraightSegRules(Conn* path, int32_t transposed, int32_t i) {
    CheckCall(path, i);
    const Crn a = path->crn[i], b = path->crn[i + 1];
    if (a.x != b.x) ErrReport(kErrStitchSegNotStraight, i);
    Setup(path, i, transposed, 0);
    LayStraight(a, b);
    EndVias(a, b);
    return Stitch(path, i);
}

int32_t stitchDiagSegRules(Conn* path, int32_t i) {
    CheckCall(path, i);
    const Crn a = path->crn[i], b = path->crn[i + 1];
    const int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
    if (dx == 0 || (dx != dy && dx != -dy)) ErrReport(kErrStitchSegNotDiagonal, i);
    Setup(path, i, 0, 1);
    LayDiagonal(a, b);
    EndVias(a, b);
    return Stitch(path, i);
}
