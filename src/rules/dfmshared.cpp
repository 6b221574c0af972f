// The geometry the DFM phases share: directions and turns in minutes of
// arc, movable corners, the routing window, pads as the pad exits see
// them, via distances, the common points of two connections of one net,
// and the commit that keeps good pad exits good. Corner insertions never
// take a connection past the corner limit; an index outside a connection
// is an internal error.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "db/comps.h"
#include "db/conns.h"
#include "db/geom.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "router/mzgrid.h"
#include "rules/dfm.h"
#include "rules/ruleadapt.h"

namespace {

void CheckIndex(const Conn* c, int32_t i) {
    if (i < 0 || i >= c->head.count) ErrReport(kErrDfmCorner, i);
}

bool SamePt(const Crn& a, const Crn& b) {
    return a.x == b.x && a.y == b.y;
}

void Fmt(char* out, size_t n, int32_t v) {
    std::snprintf(out, n, "%d", int(v));
}

} // namespace

int32_t lineAngle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (x1 == x2 && y1 == y2) return 0;
    return AngNormalize(AngAtan2(x2 - x1, y2 - y1));
}

int32_t dfmAngleDiff(int32_t a, int32_t b) {
    return AngNormalize(std::abs(a - b));
}

bool dfmIsAcuteTurn(int32_t turn) {
    return turn != 0 && (turn < kDfmRight || turn > kDfmRightBack);
}

bool dfmIsOrthogonal(int32_t angle) {
    return angle % kDfmRight == 0;
}

int32_t dfmTurn(const Conn* c, int32_t a, int32_t b, int32_t d) {
    CheckIndex(c, a);
    CheckIndex(c, b);
    CheckIndex(c, d);
    const Crn &p = c->crn[a], &q = c->crn[b], &r = c->crn[d];
    if (SamePt(p, q) || SamePt(p, r)) return 0;
    return std::abs(lineAngle(p.x, p.y, q.x, q.y) - lineAngle(p.x, p.y, r.x, r.y));
}

int32_t dfmAcuteAt(const Conn* c, int32_t a, int32_t b, int32_t d) {
    return dfmIsAcuteTurn(dfmTurn(c, a, b, d)) ? 1 : 0;
}

int32_t dfmIsRightAngle(const Conn* c, int32_t i) {
    if (i < 1 || i >= c->head.count - 1) ErrReport(kErrDfmCorner, i);
    const int32_t t = dfmTurn(c, i, i - 1, i + 1);
    return (t == kDfmRight || t == kDfmRightBack) ? 1 : 0;
}

int32_t dfmIsMovableCrn(const Conn* c, int32_t i, int32_t layer) {
    CheckIndex(c, i);
    const Crn& k = c->crn[i];
    if ((k.flags & (kCrnLocked | kCrnLatched)) && !(DfmFlags & kDfmMovePinned)) return 0;
    if (k.flags & kCrnArc) return 0;
    if (k.via) return 0;
    if (layer && k.layer != layer) return 0;
    return 1;
}

bool dfmPointInWindow(int32_t x, int32_t y) {
    const MzBox& w = g_mzGrid.window;
    return x >= w.minX && x <= w.maxX && y >= w.minY && y <= w.maxY;
}

int32_t dfmSegInWindow(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return dfmPointInWindow(x1, y1) && dfmPointInWindow(x2, y2) ? 1 : 0;
}

void segBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t box[4]) {
    box[0] = std::min(x1, x2);
    box[1] = std::min(y1, y2);
    box[2] = std::max(x1, x2);
    box[3] = std::max(y1, y2);
}

bool dfmBoxCorner(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t high, int32_t* x,
                  int32_t* y) {
    if (x1 == x2 || y1 == y2) return false;
    // The two corners of the box that are not ends of the line: (x1, y2)
    // and (x2, y1); the lower one has the smaller y.
    const bool firstLow = y2 < y1;
    const bool takeFirst = high ? !firstLow : firstLow;
    *x = takeFirst ? x1 : x2;
    *y = takeFirst ? y2 : y1;
    return true;
}

void dfmPadInfo(int32_t comp, int32_t pin, int32_t layer, DfmPad* out) {
    *out = DfmPad{};
    if (comp < 1 || comp > CompCount() || layer < 1) return;
    PlacedPin placed;
    PlacedPad pad;
    CompPinPadGet(comp, pin, layer, &placed, &pad);
    out->cx = placed.x;
    out->cy = placed.y;
    out->box[0] = out->box[2] = placed.x;
    out->box[1] = out->box[3] = placed.y;
    if (pad.count == 0) return;
    switch (pad.shape[0].code) {
    case kPadRound:
    case kPadThermal:
    case kPadAnnular:
        out->kind = kDfmPadRound;
        break;
    case kPadSquare:
        out->kind = kDfmPadSquare;
        break;
    case kPadOblong:
    case kPadRect:
    case kPadOval:
        out->kind = kDfmPadRect;
        break;
    default:
        out->kind = kDfmPadNone;
    }
    ThruLayer block;
    ThruPadGet(placed.thru, layer, &block);
    out->rotation = AngNormalize(int32_t(block.rotation) + CompRef(comp)->angle);
    const PlacedShape& s = pad.shape[0];
    out->cx = s.cx;
    out->cy = s.cy;
    out->halfW = (s.maxX - s.minX) / 2;
    out->halfH = (s.maxY - s.minY) / 2;
    out->box[0] = s.minX;
    out->box[1] = s.minY;
    out->box[2] = s.maxX;
    out->box[3] = s.maxY;
    for (int32_t j = 1; j < pad.count; ++j) {
        out->box[0] = std::min(out->box[0], pad.shape[j].minX);
        out->box[1] = std::min(out->box[1], pad.shape[j].minY);
        out->box[2] = std::max(out->box[2], pad.shape[j].maxX);
        out->box[3] = std::max(out->box[3], pad.shape[j].maxY);
    }
}

int32_t dfmPointInPad(int32_t comp, int32_t pin, int32_t layer, int32_t x, int32_t y,
                      int32_t clearance) {
    DfmPad p;
    dfmPadInfo(comp, pin, layer, &p);
    if (p.kind == kDfmPadNone) return 0;
    if (p.kind == kDfmPadRound)
        return PtDist(x, y, p.cx, p.cy) <= std::max(p.halfW, p.halfH) + clearance ? 1 : 0;
    return PtBoxDist(x, y, p.box[0], p.box[1], p.box[2], p.box[3]) <= clearance ? 1 : 0;
}

int32_t dfmViaTooClose(const Conn* c, int32_t via, int32_t other, int32_t clearance) {
    CheckIndex(c, via);
    CheckIndex(c, other);
    const Crn& v = c->crn[via];
    if (!v.via) return 0;
    const int32_t layer = dfmLayerAt(c, via);
    const int32_t pad = ViaPadRadius(v.via, layer);
    const Crn& o = c->crn[other];
    return PtDist(v.x, v.y, o.x, o.y) < pad + clearance ? 1 : 0;
}

int32_t dfmNeighbourViaTooClose(const Conn* c, int32_t i) {
    CheckIndex(c, i);
    for (int32_t n : {i - 1, i + 1}) {
        if (n < 0 || n >= c->head.count) continue;
        const int32_t seg = std::min(i, n);
        const int32_t half = HalfWidth(c->crn[seg]);
        if (dfmViaTooClose(c, i, n, half) || dfmViaTooClose(c, n, i, half)) return 1;
    }
    return 0;
}

int32_t dfmTryCommit(int32_t conn, int32_t obj, Conn* image, int32_t corner, int32_t exitWasBad,
                     int32_t commit) {
    const int32_t last = image->head.count - 1;
    const bool inner = corner > 2 && last - corner > 3;
    if (exitWasBad || inner || !dfmRunCornerPass(conn, image))
        return dfmCommitConn(conn, obj, image, commit);
    return 0;
}

int32_t dfmLayerAt(const Conn* c, int32_t i) {
    CheckIndex(c, i);
    if (c->crn[i].layer || i == 0) return c->crn[i].layer;
    return c->crn[i - 1].layer;
}

int32_t dfmSameLayerAt(const Conn* a, int32_t i, const Conn* b, int32_t j) {
    CheckIndex(a, i);
    CheckIndex(b, j);
    if (a->crn[i].via || b->crn[j].via) return 0;
    const int32_t la = dfmLayerAt(a, i);
    return la && la == dfmLayerAt(b, j) ? 1 : 0;
}

int32_t dfmIsSharable(const Conn* c, int32_t i) {
    CheckIndex(c, i);
    const Crn& k = c->crn[i];
    if ((k.flags & (kCrnLocked | kCrnLatched)) && !(DfmFlags & kDfmMovePinned)) return 0;
    return (k.flags & kCrnArc) ? 0 : 1;
}

bool dfmRoomFor(const Conn* c, int32_t more) {
    return c->head.count + more <= kDfmCornerLimit;
}

bool addConnCrn(Conn* c, int32_t index, int32_t x, int32_t y) {
    if (index < 1 || index > c->head.count) ErrReport(kErrDfmCorner, index);
    if (!dfmRoomFor(c, 1)) return false;
    char sx[16], sy[16];
    Fmt(sx, sizeof sx, x);
    Fmt(sy, sizeof sy, y);
    DebugPrint("DFM-addConnCrn: adding crn %d at [%s,%s]", int(index), sx, sy);
    CrnInsert(c, index - 1, 1);
    Crn& k = c->crn[index];
    k.x = x;
    k.y = y;
    k.via = 0;
    k.flags = 0;
    return true;
}

int32_t dfmHasPointOnLayer(const Conn* c, int32_t x, int32_t y, int32_t layer) {
    for (int32_t i = 0; i < c->head.count; ++i) {
        const Crn& k = c->crn[i];
        if (k.x != x || k.y != y) continue;
        if (k.via || dfmLayerAt(c, i) == layer) return 1;
    }
    return 0;
}

int32_t dfmFindCommonPoint(const Conn* a, const Conn* b, int32_t* i, int32_t* j) {
    for (int32_t p = a->head.count - 1; p >= 0; --p)
        for (int32_t q = b->head.count - 1; q >= 0; --q) {
            const Crn &u = a->crn[p], &v = b->crn[q];
            if (!SamePt(u, v)) continue;
            if (!(u.via && v.via) && (!dfmLayerAt(a, p) || dfmLayerAt(a, p) != dfmLayerAt(b, q)))
                continue;
            *i = p;
            *j = q;
            return 1;
        }
    return 0;
}

bool dfmLineMeet(int32_t ax1, int32_t ay1, int32_t ax2, int32_t ay2, int32_t bx1, int32_t by1,
                 int32_t bx2, int32_t by2, int32_t* x, int32_t* y) {
    if ((ax1 == ax2 && ay1 == ay2) || (bx1 == bx2 && by1 == by2)) return false;
    const int32_t s1[4] = {ax1, ay1, ax2, ay2};
    const int32_t s2[4] = {bx1, by1, bx2, by2};
    int32_t out[2];
    if (SegClearance(s1, s2, out) != 1) return false;
    *x = out[0];
    *y = out[1];
    return true;
}

bool dfmOnSeg(int32_t x, int32_t y, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (x == x1 && y == y1) return true;
    if (x == x2 && y == y2) return true;
    return PtSegDist(x, y, x1, y1, x2, y2) <= 1 && PtOnSeg(x, y, x1, y1, x2, y2);
}

void dfmGuide(int32_t angle, int32_t* dx, int32_t* dy) {
    angle = AngNormalize(angle);
    if (angle % kDfmEighth == 0) {
        // Exact along the axes and the diagonals, so that the lines it
        // draws meet on the grid.
        static const int32_t kUnit[8][2] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                            {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
        *dx = kUnit[angle / kDfmEighth][0] * kDfmGuideLength;
        *dy = kUnit[angle / kDfmEighth][1] * kDfmGuideLength;
        return;
    }
    *dx = kDfmGuideLength;
    *dy = 0;
    PtRotate(dx, dy, angle);
}

void dfmStep(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t len, int32_t* x, int32_t* y) {
    const int32_t dir = lineAngle(x1, y1, x2, y2);
    if (dir % kDfmEighth == 0) {
        int32_t dx, dy;
        dfmGuide(dir, &dx, &dy);
        // A diagonal step of len covers len / sqrt(2) along each axis.
        const int32_t along =
            dir % kDfmRight == 0 ? len : int32_t(std::lround(len * 0.70710678118654752));
        *x = x1 + dx / kDfmGuideLength * along;
        *y = y1 + dy / kDfmGuideLength * along;
        return;
    }
    const int32_t full = std::max<int32_t>(1, PtDist(x1, y1, x2, y2));
    *x = x1 + int32_t(int64_t(x2 - x1) * len / full);
    *y = y1 + int32_t(int64_t(y2 - y1) * len / full);
}

namespace {

// The last pair of segments on one layer that overlap along one line: the
// end of the shorter goes into the other. -1 when there is none.
int32_t CommonOnLine(Conn* a, Conn* b) {
    for (int32_t i = a->head.count - 2; i >= 0; --i)
        for (int32_t j = b->head.count - 2; j >= 0; --j) {
            const Crn &a1 = a->crn[i], &a2 = a->crn[i + 1];
            const Crn &b1 = b->crn[j], &b2 = b->crn[j + 1];
            if (!a1.layer || a1.layer != b1.layer || SamePt(a1, a2) || SamePt(b1, b2)) continue;
            if (!PtOnLine(b1.x, b1.y, a1.x, a1.y, a2.x, a2.y) ||
                !PtOnLine(b2.x, b2.y, a1.x, a1.y, a2.x, a2.y))
                continue;
            if (!PtOnSeg(b1.x, b1.y, a1.x, a1.y, a2.x, a2.y) &&
                !PtOnSeg(a1.x, a1.y, b1.x, b1.y, b2.x, b2.y))
                continue; // the same line but apart
            const bool a2InB =
                PtOnSeg(a2.x, a2.y, b1.x, b1.y, b2.x, b2.y) && !SamePt(a2, b2) && !SamePt(a2, b1);
            const bool b2InA =
                PtOnSeg(b2.x, b2.y, a1.x, a1.y, a2.x, a2.y) && !SamePt(b2, a2) && !SamePt(b2, a1);
            if (a2InB) {
                DebugPrint("DFM: c1 is between c3 and c4");
                DebugPrint("DFM: creating last common point");
                return addConnCrn(b, j + 1, a2.x, a2.y) ? 1 : 0;
            }
            if (b2InA) {
                DebugPrint("DFM: c3 is between c1 and c2");
                DebugPrint("DFM: creating last common point");
                return addConnCrn(a, i + 1, b2.x, b2.y) ? 1 : 0;
            }
            return 0;
        }
    return -1;
}

} // namespace

int32_t dfmMakeCommonPoint(Conn* a, Conn* b) {
    const int32_t onLine = CommonOnLine(a, b);
    if (onLine >= 0) return onLine;
    // Otherwise the last crossing of two segments on one layer.
    for (int32_t i = a->head.count - 2; i >= 0; --i)
        for (int32_t j = b->head.count - 2; j >= 0; --j) {
            const Crn &a1 = a->crn[i], &a2 = a->crn[i + 1];
            const Crn &b1 = b->crn[j], &b2 = b->crn[j + 1];
            if (!a1.layer || a1.layer != b1.layer || SamePt(a1, a2) || SamePt(b1, b2)) continue;
            int32_t x, y;
            if (SegIntersect(&x, &y, a1.x, a1.y, a2.x, a2.y, b1.x, b1.y, b2.x, b2.y) != 1) continue;
            const bool inA = !(x == a1.x && y == a1.y) && !(x == a2.x && y == a2.y);
            const bool inB = !(x == b1.x && y == b1.y) && !(x == b2.x && y == b2.y);
            if (!inA && !inB) return 0;
            DebugPrint("DFM: 2 line intersect");
            if (!dfmRoomFor(a, 1) || !dfmRoomFor(b, 1)) return 0;
            if (inA) addConnCrn(a, i + 1, x, y);
            if (inB) addConnCrn(b, j + 1, x, y);
            return 1;
        }
    return 0;
}
