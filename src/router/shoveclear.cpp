// Clearing a path's routed segments: each segment is rebuilt into the
// cleared path (g_shove.cleared) by the stitching routines, by a walk that
// pushes other routes away from a segment with two fixed ends, or by a
// plain neighbour test for a segment at any other angle. A segment that
// cannot be cleared becomes a gap in the cleared path, so the result always
// ends where the path ends unless the abort key stopped the work. The two
// copies of the input the stitching reads are scratch records returned on
// every path; the previous shove copies are restored on the way out.
#include <cstdlib>

#include "db/conns.h"
#include "db/dbheader.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "router/connnorm.h"
#include "router/gather.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/push.h"
#include "router/rulesvc.h"
#include "router/shove.h"
#include "router/urstate.h"

namespace {

enum : uint8_t { kCrnFixedEnd = 0x03 }; // corner flags of a fixed end (Locked, Latched)
enum : int32_t { kPushPlusSide = 1, kPushMinusSide = -1 }; // push directions

int32_t HalfWidth(const Crn& c) {
    return int32_t(int64_t(c.width) * DbHdr().connGrid / 2);
}

bool InExtent(int32_t x, int32_t y) {
    const MzBox& b = g_mzGrid.extent;
    return x >= b.minX && x <= b.maxX && y >= b.minY && y <= b.maxY;
}

// The net of an object list entry (a negative entry names a whole net).
int32_t EntryNet(int32_t e) {
    return e < 0 ? -e : ObjEntry(e)->net;
}

// Pushes the routes in the way of the piece ending at (x, y) aside: across
// the walk on both sides, and ahead of it along the walk.
void PushAround(int32_t px, int32_t py, int32_t x, int32_t y, bool alongX, int32_t ahead,
                int32_t layer, int32_t reach, int32_t entry) {
    for (int32_t side : {kPushPlusSide, kPushMinusSide}) {
        if (alongX)
            MzPush(y, px, x, kPushSeg, layer, reach, entry, side, 1);
        else
            MzPush(x, py, y, kPushSeg, layer, reach, entry, side, 0);
    }
    if (alongX)
        MzPush(x, y, y, kPushSeg, layer, reach, entry, ahead, 0);
    else
        MzPush(y, x, x, kPushSeg, layer, reach, entry, ahead, 1);
}

// A segment with both ends fixed: walked along its longer axis in steps of
// half a grid on the straight line between its ends; at each step inside
// the maze extent the routes in the way are pushed aside and the piece
// walked must then be free.
bool FixedSegClear(const Crn& a, const Crn& b, int32_t entry) {
    const int64_t dx = int64_t(b.x) - a.x;
    const int64_t dy = int64_t(b.y) - a.y;
    const bool alongX = std::llabs(dx) >= std::llabs(dy);
    const int64_t run = alongX ? std::llabs(dx) : std::llabs(dy);
    const int32_t ahead = (alongX ? dx : dy) < 0 ? kPushMinusSide : kPushPlusSide;
    const int64_t step = g_mzGrid.h > 0 ? g_mzGrid.h : 1;
    const int32_t half = HalfWidth(a);
    int32_t px = a.x, py = a.y;
    for (int64_t t = step; px != b.x || py != b.y; t += step) {
        if (t > run) t = run;
        const int32_t x = int32_t(alongX ? a.x + (dx < 0 ? -t : t) : a.x + dx * t / run);
        const int32_t y = int32_t(alongX ? a.y + dy * t / run : a.y + (dy < 0 ? -t : t));
        if (InExtent(x, y)) {
            PushAround(px, py, x, y, alongX, ahead, a.layer, half, entry);
            if (!GatherIsEmpty(px, py, x, y, kProbeSeg, a.layer, half, entry, 0)) return false;
        }
        px = x;
        py = y;
    }
    return true;
}

// A segment at an angle the stitching does not handle: free of other nets'
// objects except connections sharing an end with the path and the edge.
bool OtherSegClear(const Conn* path, const Crn& a, const Crn& b) {
    auto* list = static_cast<ObjList*>(ScratchPush());
    list->count = 0;
    GatherBox(a.x, a.y, b.x, b.y, kProbeSeg, a.layer, HalfWidth(a), list);
    bool clear = !list->truncated; // a list that ran out of room proves nothing clear
    for (int32_t i = 0; i < list->count && clear; ++i) {
        const int32_t e = list->entry[i];
        if (e == kObjEdgeEntry || EntryNet(e) == path->head.net) continue;
        if (e > 0 && ObjEntry(e)->type == kObjConn && ConnSameEnd(ObjEntry(e)->index, path))
            continue;
        clear = false;
    }
    ScratchPop(list);
    if (!clear && LayerMazeIndex(a.layer)) markSegmentBox(a.x, a.y, b.x, b.y, a.layer);
    return clear;
}

bool EndsAt(const Conn* out, const Crn& c) {
    const Crn& last = out->crn[out->head.count - 1];
    return last.x == c.x && last.y == c.y;
}

// Segment i by its direction; 1 when it was cleared into the output.
int32_t ClearOne(Conn* path, Conn* out, int32_t i, int32_t entry) {
    const Crn& a = path->crn[i];
    const Crn& b = path->crn[i + 1];
    if ((a.flags & kCrnFixedEnd) && (b.flags & kCrnFixedEnd)) {
        if (!FixedSegClear(a, b, entry)) return 0;
        ShoveAppendSeg(out, path, i, false);
        return 1;
    }
    if (a.x == b.x) return stitchStraightSeg(path, 0, i);
    if (a.y == b.y) {
        ConnTranspose(path);
        ConnTranspose(out);
        const int32_t ok = stitchStraightSeg(path, 1, i);
        ConnTranspose(path);
        ConnTranspose(out);
        return ok;
    }
    if (std::llabs(int64_t(b.x) - a.x) == std::llabs(int64_t(b.y) - a.y))
        return stitchDiagSeg(path, i);
    if (!OtherSegClear(path, a, b)) return 0;
    ShoveAppendSeg(out, path, i, false);
    return 1;
}

// A stitch point that could not be linked is appended without width; once
// the segment has failed, such links become gaps, so that copper never
// stands where clearing failed (a later width repair would widen it into
// its neighbours). A goal of width 0 has no such links to tell apart.
void UnrouteFailedLinks(Conn* out, int32_t goalWidth) {
    if (goalWidth == 0) return;
    for (int32_t i = 0; i + 1 < out->head.count; ++i) {
        Crn& c = out->crn[i];
        if (c.layer && c.width == 0) c.layer = 0;
    }
}

} // namespace

int32_t ClearSeg(Conn* path) {
    const MzGoal& goal = *Goal();
    const int32_t entry = goal.objIndex;
    const int32_t failedBefore = g_shove.shoveFailed;
    if (g_verbose) DebugPrint("clearSeg: GridDoubled == %d", ShellGridDoubling() ? 1 : 0);
    auto* out = static_cast<Conn*>(ScratchPush());
    auto* copy = static_cast<Conn*>(ScratchPush());
    auto* bare = static_cast<Conn*>(ScratchPush());
    ConnCopy(copy, path);
    ConnCopy(bare, path);
    for (int32_t i = 0; i < bare->head.count; ++i)
        bare->crn[i].width = 0;
    out->head = path->head;
    out->head.count = path->head.count > 0 ? 1 : 0;
    if (out->head.count) out->crn[0] = path->crn[0];
    Conn* const outerCleared = g_shove.cleared;
    Conn* const outerOriginal = g_shove.original;
    Conn* const outerWork = g_shove.work;
    g_shove.cleared = out;
    g_shove.original = copy;
    g_shove.work = bare;
    GatherSetShovePaths(copy, bare);

    for (int32_t i = 0; i + 1 < path->head.count; ++i) {
        const Crn& a = path->crn[i];
        const Crn& b = path->crn[i + 1];
        if (!a.layer) {
            ShoveAppendSeg(out, path, i, true);
            continue;
        }
        if (!MzClipSeg(a.x, a.y, b.x, b.y, 0) || (g_shove.shoveFailed && !goal.forceFast)) {
            ShoveAppendSeg(out, path, i, false);
            continue;
        }
        if (UserAbort()) {
            g_shove.shoveFailed = 1;
            break;
        }
        if (!ClearOne(path, out, i, entry)) {
            g_shove.shoveFailed = 1;
            if (!EndsAt(out, path->crn[i + 1])) ShoveAppendSeg(out, path, i, true);
        }
    }
    const int32_t n = path->head.count;
    if (n > 0 && !EndsAt(out, path->crn[n - 1])) {
        ShoveAppendSeg(out, path, n - 2, true);
        if (g_verbose) DebugPrint("ClearSeg: failed last crn");
        g_shove.shoveFailed = 1;
    }
    if (g_shove.shoveFailed) UnrouteFailedLinks(out, goal.goalWidth);
    connReduce(out);
    if (g_verbose && !g_shove.shoveFailed && !doubleCheck(out)) {
        MzFlags |= kMzLoopPrevent;
        DebugPrint("ClearSeg: FAILED doubleCheck");
    }
    ConnCopy(path, out);
    // Installing a nearest path, or forcing the install, takes the cleared
    // path with its gaps as a success; never while a ripped hop is being
    // re-routed, whose connection must come back whole.
    if (g_shove.shoveFailed && !goal.hopRouting && (goal.useNearest || g_forceInstall))
        g_shove.shoveFailed = failedBefore;
    if (g_verbose)
        ConnDump(path, g_shove.shoveFailed ? "ClearSeg: failed" : "ClearSeg: success", 0);

    GatherSetShovePaths(outerOriginal, outerWork);
    g_shove.cleared = outerCleared;
    g_shove.original = outerOriginal;
    g_shove.work = outerWork;
    ScratchPop(bare);
    ScratchPop(copy);
    ScratchPop(out);
    return g_shove.shoveFailed ? 0 : 1;
}

int32_t doubleCheck(Conn* path) {
    const int32_t entry = Goal()->objIndex;
    const int32_t hiX = 2 * g_mzGrid.nx - kMazeBorder;
    const int32_t hiY = 2 * g_mzGrid.ny - kMazeBorder;
    auto inside = [&](const Crn& c) {
        const int32_t mx = MzX(c.x), my = MzY(c.y);
        return mx >= kMazeBorder && mx <= hiX && my >= kMazeBorder && my <= hiY;
    };
    int32_t result = 1;
    for (int32_t i = 0; i + 1 < path->head.count; ++i) {
        Crn& a = path->crn[i];
        const Crn& b = path->crn[i + 1];
        if (!a.layer || !inside(a) || !inside(b)) continue;
        if (GatherIsEmpty(a.x, a.y, b.x, b.y, kProbeSeg, a.layer, HalfWidth(a), entry, 0)) continue;
        if (g_verbose) {
            ConnDump(path, "doubleCheck failed", 0);
            WarnPrint("doubleCheck: failed crn=%d", int(i));
        }
        const int32_t layer = a.layer;
        a.layer = 0;
        if (LayerMazeIndex(layer)) markSegmentBox(a.x, a.y, b.x, b.y, layer);
        result = 0;
    }
    return result;
}
