// DFM corner clean-ups of one connection: the three corner-minimising
// phases (runs of four and five corners), clearing acute turns within a
// connection, and eliminating or mitering right angles. Only movable
// corners inside the routing window move; no trial makes an acute turn
// where it puts a corner; every kept change passes the rule check, and a
// change near an end is kept only when good pad exits stay good.
#include <algorithm>

#include "db/conns.h"
#include "router/connnorm.h"
#include "router/mzgrid.h"
#include "rules/dfm.h"
#include "rules/ruleadapt.h"

namespace {

const Crn& K(const Conn* c, int32_t i) {
    return c->crn[i];
}

int32_t SegDir(const Conn* c, int32_t i, int32_t j) {
    return lineAngle(K(c, i).x, K(c, i).y, K(c, j).x, K(c, j).y);
}

int32_t SegLen(const Conn* c, int32_t i, int32_t j) {
    return PtDist(K(c, i).x, K(c, i).y, K(c, j).x, K(c, j).y);
}

// A run of corners first..last: it starts inside the window, its segments
// lie inside the window and its inner corners are movable on the layer of
// its first segment.
bool RunOk(const Conn* c, int32_t first, int32_t last) {
    if (first < 0 || last >= c->head.count) return false;
    const int32_t layer = K(c, first).layer;
    if (!layer) return false;
    for (int32_t i = first; i < last; ++i)
        if (!dfmSegInWindow(K(c, i).x, K(c, i).y, K(c, i + 1).x, K(c, i + 1).y)) return false;
    for (int32_t i = first + 1; i < last; ++i)
        if (!dfmIsMovableCrn(c, i, layer)) return false;
    return true;
}

// Replaces corners first + 1 .. last - 1 by the single corner (x, y);
// false when that corner is an end of the run or turns acutely.
bool ReplaceInner(Conn* trial, int32_t first, int32_t last, int32_t x, int32_t y) {
    const Crn &a = K(trial, first), &b = K(trial, last);
    if ((x == a.x && y == a.y) || (x == b.x && y == b.y)) return false;
    if (last - first > 2) CrnDelete(trial, first + 2, last - first - 2);
    trial->crn[first + 1].x = x;
    trial->crn[first + 1].y = y;
    return !dfmAcuteAt(trial, first + 1, first, first + 2);
}

// Moves corners i and i + 1 onto (x, y).
void MovePair(Conn* trial, int32_t i, int32_t x, int32_t y) {
    trial->crn[i].x = trial->crn[i + 1].x = x;
    trial->crn[i].y = trial->crn[i + 1].y = y;
}

// Where the line through (x, y) along the angle meets the segment i..i+1.
bool LineOnSeg(const Conn* c, int32_t x, int32_t y, int32_t angle, int32_t i, int32_t* px,
               int32_t* py) {
    int32_t dx, dy;
    dfmGuide(angle, &dx, &dy);
    const Crn &a = K(c, i), &b = K(c, i + 1);
    if (!dfmLineMeet(x, y, x + dx, y + dy, a.x, a.y, b.x, b.y, px, py)) return false;
    return dfmOnSeg(*px, *py, a.x, a.y, b.x, b.y);
}

// Where the lines of segments i..i+1 and j..j+1 meet.
bool SegLinesMeet(const Conn* c, int32_t i, int32_t j, int32_t* x, int32_t* y) {
    return dfmLineMeet(K(c, i).x, K(c, i).y, K(c, i + 1).x, K(c, i + 1).y, K(c, j).x, K(c, j).y,
                       K(c, j + 1).x, K(c, j + 1).y, x, y);
}

bool OnSegOf(const Conn* c, int32_t i, int32_t x, int32_t y) {
    return dfmOnSeg(x, y, K(c, i).x, K(c, i).y, K(c, i + 1).x, K(c, i + 1).y);
}

// Reduces and offers the trial; on success the image takes it.
int32_t Offer(int32_t conn, int32_t obj, Conn* image, Conn* trial, int32_t corner, int32_t bad,
              int32_t commit) {
    connReduce(trial);
    if (!dfmTryCommit(conn, obj, trial, corner, bad, commit)) return 0;
    ConnCopy(image, trial);
    return 1;
}

int32_t ThreeAt(int32_t conn, int32_t obj, Conn* image, int32_t d, int32_t bad) {
    if (!RunOk(image, d, d + 3)) return 0;
    // The outer segments, each seen from the middle one.
    const int32_t before = SegDir(image, d + 1, d), after = SegDir(image, d + 2, d + 3);
    if (dfmAngleDiff(before, after) != kDfmHalfTurn) return 0;
    const int32_t across = AngNormalize(before + kDfmRight);
    ScratchRecord<Conn> trial;
    // Through either end of the middle segment, across to the other outer
    // segment.
    const int32_t ends[2][2] = {{d + 1, d + 2}, {d + 2, d}};
    for (const auto& e : ends) {
        int32_t x, y;
        if (!LineOnSeg(image, K(image, e[0]).x, K(image, e[0]).y, across, e[1], &x, &y)) continue;
        ConnCopy(trial.get(), image);
        if (!ReplaceInner(trial.get(), d, d + 3, x, y)) continue;
        if (Offer(conn, obj, image, trial.get(), d + 1, bad, 1)) return 1;
    }
    return 0;
}

int32_t FourAt(int32_t conn, int32_t obj, Conn* image, int32_t c, int32_t bad) {
    if (!RunOk(image, c, c + 3)) return 0;
    ScratchRecord<Conn> trial;
    auto attempt = [&](int32_t x, int32_t y) {
        ConnCopy(trial.get(), image);
        if (!ReplaceInner(trial.get(), c, c + 3, x, y)) return 0;
        return Offer(conn, obj, image, trial.get(), c + 1, bad, 1);
    };
    int32_t x, y;
    // The outer segments' lines: the point lies ahead of both outer legs.
    if (SegLinesMeet(image, c, c + 2, &x, &y)) {
        const bool ahead = lineAngle(K(image, c).x, K(image, c).y, x, y) == SegDir(image, c, c + 1);
        const bool behind =
            lineAngle(x, y, K(image, c + 3).x, K(image, c + 3).y) == SegDir(image, c + 2, c + 3);
        if (ahead && behind && attempt(x, y)) return 1;
    }
    // One outer segment slanted, the other orthogonal: lines through the
    // inner corners along the orthogonal direction or across it.
    const int32_t d0 = SegDir(image, c, c + 1), d2 = SegDir(image, c + 2, c + 3);
    if (dfmIsOrthogonal(d0) == dfmIsOrthogonal(d2)) return 0;
    const int32_t orth = dfmIsOrthogonal(d0) ? d0 : d2;
    const int32_t slanted = dfmIsOrthogonal(d0) ? c + 2 : c;
    for (int32_t k : {c + 1, c + 2})
        for (int32_t a : {orth, AngNormalize(orth + kDfmRight)}) {
            if (!LineOnSeg(image, K(image, k).x, K(image, k).y, a, slanted, &x, &y)) continue;
            if (attempt(x, y)) return 1;
        }
    return 0;
}

// The alternatives of a five-corner run whose outer segments do not meet.
int32_t dfmFiveCrnAlt(int32_t conn, int32_t obj, Conn* image, int32_t c, int32_t bad) {
    ScratchRecord<Conn> trial;
    int32_t x, y;
    auto pair = [&](int32_t i) {
        ConnCopy(trial.get(), image);
        MovePair(trial.get(), i, x, y);
        return Offer(conn, obj, image, trial.get(), i, bad, 1);
    };
    if (SegLinesMeet(image, c, c + 2, &x, &y) && OnSegOf(image, c, x, y)) {
        if (pair(c + 1)) return 1;
    } else if (SegLinesMeet(image, c + 1, c + 3, &x, &y) && OnSegOf(image, c + 3, x, y)) {
        if (pair(c + 2)) return 1;
    }
    if (LineOnSeg(image, K(image, c + 1).x, K(image, c + 1).y, SegDir(image, c + 2, c + 3), c + 3,
                  &x, &y)) {
        if (pair(c + 2)) return 1;
    } else if (LineOnSeg(image, K(image, c + 3).x, K(image, c + 3).y, SegDir(image, c + 1, c + 2),
                         c, &x, &y)) {
        if (pair(c + 1)) return 1;
    }
    return 0;
}

int32_t FiveAt(int32_t conn, int32_t obj, Conn* image, int32_t c, int32_t bad) {
    if (!RunOk(image, c, c + 4)) return 0;
    DebugPrint("DFM-FiveCrn: Found an eligible corner");
    int32_t x, y;
    if (SegLinesMeet(image, c, c + 3, &x, &y) && OnSegOf(image, c, x, y) &&
        OnSegOf(image, c + 3, x, y)) {
        ScratchRecord<Conn> trial;
        ConnCopy(trial.get(), image);
        if (ReplaceInner(trial.get(), c, c + 4, x, y) &&
            Offer(conn, obj, image, trial.get(), c + 1, bad, 1))
            return 1;
        return 0;
    }
    return dfmFiveCrnAlt(conn, obj, image, c, bad);
}

typedef int32_t (*RunWorker)(int32_t conn, int32_t obj, Conn* image, int32_t at, int32_t bad);

int32_t WalkRuns(int32_t conn, int32_t obj, Conn* image, int32_t length, RunWorker at,
                 int32_t bad) {
    for (int32_t c = 0; c + length - 1 < image->head.count; ++c)
        if (at(conn, obj, image, c, bad)) return 1;
    return 0;
}

// An inner corner that the right-angle phases may change.
bool RightAngleCorner(const Conn* c, int32_t i) {
    if (!K(c, i).layer || !K(c, i - 1).layer || !dfmIsMovableCrn(c, i, 0)) return false;
    if (!dfmSegInWindow(K(c, i - 1).x, K(c, i - 1).y, K(c, i + 1).x, K(c, i + 1).y)) return false;
    return dfmIsRightAngle(c, i) != 0;
}

// Corner i moved by len towards corner j.
void Toward(const Conn* c, int32_t i, int32_t j, int32_t len, int32_t* x, int32_t* y) {
    dfmStep(K(c, i).x, K(c, i).y, K(c, j).x, K(c, j).y, len, x, y);
}

bool SelfAcuteCandidate(const Conn* c, int32_t i) {
    int32_t box[4];
    segBox(K(c, i - 1).x, K(c, i - 1).y, K(c, i + 1).x, K(c, i + 1).y, box);
    if (!dfmSegInWindow(box[0], box[1], box[2], box[3])) return false;
    if (!dfmIsMovableCrn(c, i, 0)) return false;
    if (!K(c, i - 1).layer || !K(c, i).layer) return false;
    return dfmAcuteAt(c, i, i - 1, i + 1) != 0;
}

} // namespace

int32_t dfmShiftSeg(int32_t conn, int32_t obj, Conn* image, int32_t k, int32_t dx, int32_t dy) {
    if (k < 1 || k + 2 >= image->head.count) return 0;
    if (!dfmIsMovableCrn(image, k, 0) || !dfmIsMovableCrn(image, k + 1, 0)) return 0;
    const int32_t v = lineAngle(0, 0, dx, dy);
    // Both neighbouring segments must run along the vector (a segment of
    // no length runs along anything).
    for (int32_t n : {k - 1, k + 1}) {
        const bool empty = K(image, n).x == K(image, n + 1).x && K(image, n).y == K(image, n + 1).y;
        if (!empty && dfmAngleDiff(v, SegDir(image, n, n + 1)) % kDfmHalfTurn) return 0;
    }
    ScratchRecord<Conn> trial;
    ConnCopy(trial.get(), image);
    for (int32_t i : {k, k + 1}) {
        trial->crn[i].x += dx;
        trial->crn[i].y += dy;
    }
    const Crn &a = K(trial.get(), k), &b = K(trial.get(), k + 1);
    if (!dfmSegInWindow(a.x, a.y, b.x, b.y)) return 0;
    if (dfmNeighbourViaTooClose(trial.get(), k - 1) || dfmNeighbourViaTooClose(trial.get(), k + 2))
        return 0;
    connReduce(trial.get());
    if (!dfmCommitConn(conn, obj, trial.get(), 1)) return 0;
    ConnCopy(image, trial.get());
    return 1;
}

int32_t dfmThreeCrn(int32_t conn, int32_t obj, Conn* image, int32_t, int32_t) {
    return WalkRuns(conn, obj, image, 4, &ThreeAt, dfmRunCornerPass(conn, image));
}

int32_t fourCrn(int32_t conn, int32_t obj, Conn* image, int32_t, int32_t) {
    const int32_t bad = dfmRunCornerPass(conn, image);
    if (bad) DebugPrint("DFM-fourCrn: Pad exit was already bad");
    return WalkRuns(conn, obj, image, 4, &FourAt, bad);
}

int32_t FiveCrn(int32_t conn, int32_t obj, Conn* image, int32_t, int32_t) {
    return WalkRuns(conn, obj, image, 5, &FiveAt, dfmRunCornerPass(conn, image));
}

int32_t dfmSelfAcuteAt(int32_t conn, int32_t obj, Conn* work, int32_t c, int32_t bad) {
    if (c < 1 || c > work->head.count - 2) ErrReport(kErrDfmCorner, c);
    if (!SelfAcuteCandidate(work, c)) return 0;
    ScratchRecord<Conn> trial;
    int32_t x, y;
    for (int32_t side : {-1, 1}) {
        const int32_t n = c + side, other = side < 0 ? c : c - 1;
        const int32_t toN = SegDir(work, c, n);
        if (!dfmIsOrthogonal(toN)) continue;
        if (LineOnSeg(work, K(work, n).x, K(work, n).y, AngNormalize(toN + kDfmRight), other, &x,
                      &y)) {
            ConnCopy(trial.get(), work);
            trial->crn[c].x = x;
            trial->crn[c].y = y;
            if (Offer(conn, obj, work, trial.get(), c, bad, 0)) return 1;
        }
        break; // only the first orthogonal neighbour is tried
    }
    for (int32_t high : {0, 1}) {
        if (!dfmBoxCorner(K(work, c - 1).x, K(work, c - 1).y, K(work, c + 1).x, K(work, c + 1).y,
                          high, &x, &y))
            return 0;
        ConnCopy(trial.get(), work);
        trial->crn[c].x = x;
        trial->crn[c].y = y;
        if (Offer(conn, obj, work, trial.get(), c, bad, 0)) return 1;
    }
    return 0;
}

int32_t dfmSelfAcutes(int32_t conn, int32_t obj, Conn* image, int32_t, int32_t) {
    const int32_t bad =
        (image->head.fromComp < 1 || image->head.toComp < 1) ? 1 : dfmRunCornerPass(conn, image);
    ScratchRecord<Conn> work;
    ConnCopy(work.get(), image);
    int32_t changed = 0;
    for (int32_t c = 1; c < work->head.count - 1; ++c)
        if (dfmSelfAcuteAt(conn, obj, work.get(), c, bad)) changed = 1;
    if (!changed) return 0;
    // Trials accepted one by one can still fail together: the old copper
    // then stays.
    if (!dfmCommitConn(conn, obj, work.get(), 1)) return 0;
    ConnCopy(image, work.get());
    return 1;
}

int32_t dfmEliminate90(int32_t conn, int32_t obj, Conn* image, int32_t, int32_t) {
    const int32_t bad = dfmRunCornerPass(conn, image);
    ScratchRecord<Conn> trial;
    for (int32_t i = 1; i < image->head.count - 1; ++i) {
        if (!RightAngleCorner(image, i)) continue;
        const int32_t before = SegLen(image, i, i - 1), after = SegLen(image, i, i + 1);
        const int32_t along = before > after ? i - 1 : i + 1;
        int32_t x, y;
        Toward(image, i, along, std::min(before, after), &x, &y);
        ConnCopy(trial.get(), image);
        trial->crn[i].x = x;
        trial->crn[i].y = y;
        if (Offer(conn, obj, image, trial.get(), i, bad, 1)) return 1;
        if (i < 2 || !dfmIsOrthogonal(SegDir(image, i - 1, i)) ||
            !dfmIsOrthogonal(SegDir(image, i, i + 1)))
            continue;
        // The segment two corners back shifted by the segment before it.
        const int32_t dx = K(image, i - 2).x - K(image, i - 1).x;
        const int32_t dy = K(image, i - 2).y - K(image, i - 1).y;
        if (dfmShiftSeg(conn, obj, image, i - 1, dx, dy)) return 1;
    }
    return 0;
}

int32_t dfmMiter90(int32_t conn, int32_t obj, Conn* image, int32_t, int32_t) {
    const int32_t bad = dfmRunCornerPass(conn, image);
    const int32_t halfGrid = std::max<int32_t>(1, g_mzGrid.g / 2);
    ScratchRecord<Conn> trial;
    for (int32_t i = 1; i < image->head.count - 1; ++i) {
        if (!RightAngleCorner(image, i) || !dfmRoomFor(image, 1)) continue;
        const int32_t halfCopper = HalfWidth(K(image, i));
        int32_t back = std::min(SegLen(image, i, i - 1), SegLen(image, i, i + 1)) / 2;
        while (back > 0 && back >= halfCopper) {
            int32_t ax, ay, bx, by;
            Toward(image, i, i - 1, back, &ax, &ay);
            Toward(image, i, i + 1, back, &bx, &by);
            ConnCopy(trial.get(), image);
            CrnInsert(trial.get(), i, 1);
            trial->crn[i].x = ax;
            trial->crn[i].y = ay;
            trial->crn[i + 1].x = bx;
            trial->crn[i + 1].y = by;
            if (Offer(conn, obj, image, trial.get(), i, bad, 1)) return 1;
            back = back > halfGrid ? back - halfGrid : back / 2;
        }
    }
    return 0;
}
