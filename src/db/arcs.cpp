// Distances to arcs and the box around an arc. The sweep of an arc runs
// counter-clockwise from its start to its end, after the two are exchanged
// when bit 0 of its flag is set; a start equal to the end is a full circle,
// measured as a filled disc.
#include <cmath>
#include <cstdint>

#include "db/dist.h"
#include "db/err.h"
#include "db/dbheader.h"
#include "db/geom.h"

using namespace geom;

namespace {

enum class ArcSweep { Under180, Exactly180, Over180, None };

struct Arc {
    int32_t sx, sy, cx, cy, ex, ey;
    int32_t radius;
    bool full;
    ArcSweep sweep;
};

Arc ArcOf(int32_t sx, int32_t sy, int32_t cx, int32_t cy, int32_t ex, int32_t ey) {
    Arc a{sx, sy, cx, cy, ex, ey, PtDist(cx, cy, sx, sy), sx == ex && sy == ey, ArcSweep::None};
    if (a.full)
        return a;
    int32_t side = PtLineSide(cx, cy, sx, sy, ex, ey);
    if (side > 0) {
        a.sweep = ArcSweep::Under180;
    } else if (side < 0) {
        a.sweep = ArcSweep::Over180;
    } else {
        double dot = Dot(int64_t(sx) - cx, int64_t(sy) - cy, int64_t(ex) - cx, int64_t(ey) - cy);
        // An end on the start's own ray leaves no sweep at all.
        a.sweep = dot < 0 ? ArcSweep::Exactly180 : ArcSweep::None;
    }
    return a;
}

Arc ArcOf(const ArcSpec* given) {
    if (given->flags & 1)
        return ArcOf(given->endX, given->endY, given->centreX, given->centreY, given->startX,
                     given->startY);
    return ArcOf(given->startX, given->startY, given->centreX, given->centreY, given->endX,
                 given->endY);
}

// 1 when the point lies on the ray from the centre through (rx, ry).
bool OnRay(const Arc& a, int32_t rx, int32_t ry, int32_t px, int32_t py) {
    if (PtLineSide(a.cx, a.cy, rx, ry, px, py) != 0)
        return false;
    return Dot(int64_t(rx) - a.cx, int64_t(ry) - a.cy, int64_t(px) - a.cx, int64_t(py) - a.cy) >
           0;
}

// Whether the point lies in the arc's sector: strictly between its rays, or
// with the rays (and the centre) included. A sweep up to half a turn is the
// part of the plane left of the start ray and right of the end ray; a larger
// one is the part left of the start ray or right of the end ray.
bool InSector(const Arc& a, int32_t px, int32_t py, bool withRays) {
    if (a.full)
        return true;
    if (px == a.cx && py == a.cy)
        return withRays;
    int32_t ss = PtLineSide(a.cx, a.cy, a.sx, a.sy, px, py);
    int32_t se = PtLineSide(a.cx, a.cy, a.ex, a.ey, px, py);
    switch (a.sweep) {
    case ArcSweep::Under180: return withRays ? (ss >= 0 && se <= 0) : (ss > 0 && se < 0);
    case ArcSweep::Exactly180: return withRays ? ss >= 0 : ss > 0;
    case ArcSweep::Over180: return withRays ? (ss >= 0 || se <= 0) : (ss > 0 || se < 0);
    case ArcSweep::None: break;
    }
    return withRays && OnRay(a, a.sx, a.sy, px, py);
}

int32_t PtArcDistOf(const Arc& a, int32_t px, int32_t py) {
    int32_t d = PtDist(px, py, a.cx, a.cy);
    if (a.full)
        return d > a.radius ? d - a.radius : 0;
    if (InSector(a, px, py, false))
        return d > a.radius ? d - a.radius : a.radius - d;
    if (OnRay(a, a.sx, a.sy, px, py))
        return PtDist(px, py, a.sx, a.sy);
    if (OnRay(a, a.ex, a.ey, px, py))
        return PtDist(px, py, a.ex, a.ey);
    int32_t ds = PtDist(px, py, a.sx, a.sy);
    int32_t de = PtDist(px, py, a.ex, a.ey);
    return ds < de ? ds : de;
}

// Distance from a segment to the ring of radius r about the centre.
int32_t SegRingDist(int32_t r, int32_t cx, int32_t cy, int32_t x1, int32_t y1, int32_t x2,
                    int32_t y2) {
    int32_t d1 = PtDist(cx, cy, x1, y1);
    int32_t d2 = PtDist(cx, cy, x2, y2);
    if ((d1 <= r && d2 >= r) || (d2 <= r && d1 >= r))
        return 0;
    if (d1 < r && d2 < r)
        return r - (d1 > d2 ? d1 : d2);
    int32_t d = PtSegDist(cx, cy, x1, y1, x2, y2) - r;
    return d > 0 ? d : 0;
}

// Where the segment meets the line of the ray from the centre through
// (rx, ry); the caller knows that its ends lie on either side.
void CutAtRay(const Arc& a, int32_t rx, int32_t ry, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
              int32_t* outX, int32_t* outY) {
    int32_t found = LineIntersect(outX, outY, x1, y1, x2, y2, a.cx, a.cy, rx, ry);
    if (found != 1)
        ErrReport(kErrArcCrossing, found);
}

// A segment against an arc of at most half a turn.
int32_t SegArcDistOf(const Arc& a, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    // Seen from the centre, the second end lies counter-clockwise of the
    // first.
    if (PtLineSide(a.cx, a.cy, x1, y1, x2, y2) < 0) {
        int32_t t = x1; x1 = x2; x2 = t;
        t = y1; y1 = y2; y2 = t;
    }
    // A segment wholly past the end ray, or wholly before the start ray, is
    // nearest to that end of the arc. A point on the ray's own line behind
    // the centre counts as lying on neither side of it.
    int32_t firstToEnd = PtLineSide(a.cx, a.cy, a.ex, a.ey, x1, y1);
    if (firstToEnd > 0 || (firstToEnd == 0 && OnRay(a, a.ex, a.ey, x1, y1)))
        return PtSegDist(a.ex, a.ey, x1, y1, x2, y2);
    int32_t secondToStart = PtLineSide(a.cx, a.cy, a.sx, a.sy, x2, y2);
    if (secondToStart < 0 || (secondToStart == 0 && OnRay(a, a.sx, a.sy, x2, y2)))
        return PtSegDist(a.sx, a.sy, x1, y1, x2, y2);
    int32_t best = kDistNone;
    int32_t inX1 = x1, inY1 = y1, inX2 = x2, inY2 = y2;
    if (PtLineSide(a.cx, a.cy, a.sx, a.sy, x1, y1) < 0) {
        CutAtRay(a, a.sx, a.sy, x1, y1, x2, y2, &inX1, &inY1);
        int32_t d = PtSegDist(a.sx, a.sy, x1, y1, inX1, inY1);
        if (d < best)
            best = d;
    }
    if (PtLineSide(a.cx, a.cy, a.ex, a.ey, x2, y2) > 0) {
        CutAtRay(a, a.ex, a.ey, x1, y1, x2, y2, &inX2, &inY2);
        int32_t d = PtSegDist(a.ex, a.ey, inX2, inY2, x2, y2);
        if (d < best)
            best = d;
    }
    int32_t d = SegRingDist(a.radius, a.cx, a.cy, inX1, inY1, inX2, inY2);
    return d < best ? d : best;
}

int32_t Min32(int32_t a, int32_t b) { return a < b ? a : b; }
int64_t MinI64(int64_t a, int64_t b) { return a < b ? a : b; }
int64_t MaxI64(int64_t a, int64_t b) { return a > b ? a : b; }

} // namespace

// The routing grid is the design header's.
int32_t GeomRoutingGrid() { return DbHdr().routeGrid; }

void GeomSetRoutingGrid(int32_t grid) { DbHdr().routeGrid = grid; }

int32_t PtInArcSector(int32_t px, int32_t py, const ArcSpec* arc) {
    return InSector(ArcOf(arc), px, py, true) ? 1 : 0;
}

int32_t PtArcDist(int32_t px, int32_t py, const ArcSpec* arc) {
    return PtArcDistOf(ArcOf(arc), px, py);
}

int32_t SegArcDist(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const ArcSpec* arc) {
    Arc a = ArcOf(arc);
    if (a.full) {
        int32_t d = PtSegDist(a.cx, a.cy, x1, y1, x2, y2) - a.radius;
        return d > 0 ? d : 0;
    }
    if (a.sweep != ArcSweep::Over180)
        return SegArcDistOf(a, x1, y1, x2, y2);
    // More than half a turn: the half turn from the start to the point
    // opposite it, and the rest.
    int32_t ox = Wrap32(2 * int64_t(a.cx) - a.sx);
    int32_t oy = Wrap32(2 * int64_t(a.cy) - a.sy);
    Arc first = ArcOf(a.sx, a.sy, a.cx, a.cy, ox, oy);
    Arc rest = ArcOf(ox, oy, a.cx, a.cy, a.ex, a.ey);
    first.radius = rest.radius = a.radius;
    return Min32(SegArcDistOf(first, x1, y1, x2, y2), SegArcDistOf(rest, x1, y1, x2, y2));
}

int32_t BoxArcDist(int32_t bx1, int32_t by1, int32_t bx2, int32_t by2, const ArcSpec* arc) {
    if (PtBoxDist(arc->startX, arc->startY, bx1, by1, bx2, by2) == 0 ||
        PtBoxDist(arc->endX, arc->endY, bx1, by1, bx2, by2) == 0)
        return 0;
    const int32_t sides[4][4] = {
        {bx1, by1, bx2, by1},
        {bx2, by1, bx2, by2},
        {bx2, by2, bx1, by2},
        {bx1, by2, bx1, by1},
    };
    int32_t best = kDistNone;
    for (const auto& s : sides) {
        int32_t d = SegArcDist(s[0], s[1], s[2], s[3], arc);
        if (d == 0)
            return 0;
        best = Min32(best, d);
    }
    return best;
}

int32_t ArcArcDist(const ArcSpec* specA, const ArcSpec* specB) {
    Arc a = ArcOf(specA);
    Arc b = ArcOf(specB);
    if (a.full || b.full) {
        const Arc& circle = a.full ? a : b;
        const Arc& other = a.full ? b : a;
        int32_t d = PtArcDistOf(other, circle.cx, circle.cy) - circle.radius;
        return d > 0 ? d : 0;
    }
    int32_t ra = a.radius;
    int32_t rb = b.radius;
    int32_t f = PtDist(a.cx, a.cy, b.cx, b.cy);
    bool bInA = InSector(a, b.cx, b.cy, true);
    bool aInB = InSector(b, a.cx, a.cy, true);
    if (bInA && aInB) {
        int64_t d = int64_t(f) - ra - rb;
        if (d >= 0)
            return Dist32(d);
        if ((f >= ra && f >= rb) || (f < ra && f < rb))
            return 0;
        d = f < ra ? int64_t(ra) - f - rb : int64_t(rb) - f - ra;
        return d > 0 ? Dist32(d) : 0;
    }
    if (bInA) {
        int64_t d = int64_t(PtArcDistOf(b, a.cx, a.cy)) - ra;
        return Dist32(Abs64(d));
    }
    if (aInB) {
        int64_t d = int64_t(PtArcDistOf(a, b.cx, b.cy)) - rb;
        return Dist32(Abs64(d));
    }
    int32_t d = PtDist(a.sx, a.sy, b.sx, b.sy);
    d = Min32(d, PtDist(a.sx, a.sy, b.ex, b.ey));
    d = Min32(d, PtDist(a.ex, a.ey, b.sx, b.sy));
    return Min32(d, PtDist(a.ex, a.ey, b.ex, b.ey));
}

void ArcBox(const ArcSpec* given, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    Arc a = ArcOf(given);
    int64_t sox = int64_t(a.sx) - a.cx, soy = int64_t(a.sy) - a.cy;
    int32_t a1 = AngAtan2(Wrap32(sox), Wrap32(soy));
    int32_t a2 = AngAtan2(Wrap32(int64_t(a.ex) - a.cx), Wrap32(int64_t(a.ey) - a.cy));
    int32_t sweep = a.full ? kAngFullTurn : AngNormalize(a2 - a1);
    int32_t xlo = Min32(a.sx, a.ex), xhi = a.sx > a.ex ? a.sx : a.ex;
    int32_t ylo = Min32(a.sy, a.ey), yhi = a.sy > a.ey ? a.sy : a.ey;
    if (sweep == kAngRight) {
        // A quarter arc whose ends share a y (or an x) bulges from that
        // chord to its apex, (root 2 - 1) times the chord's distance from
        // the centre beyond it.
        const double bulge = std::sqrt(2.0) - 1.0;
        if (a.sy == a.ey) {
            int64_t apex = a.sy + Trunc64(bulge * double(int64_t(a.sy) - a.cy));
            ylo = Wrap32(MinI64(ylo, apex));
            yhi = Wrap32(MaxI64(yhi, apex));
        } else if (a.sx == a.ex) {
            int64_t apex = a.sx + Trunc64(bulge * double(int64_t(a.sx) - a.cx));
            xlo = Wrap32(MinI64(xlo, apex));
            xhi = Wrap32(MaxI64(xhi, apex));
        }
    } else {
        int32_t grid = GeomRoutingGrid();
        if (grid < 1)
            ErrReport(kErrArcBoxGrid, grid);
        int64_t r = a.radius;
        int64_t steps = 2 * r / grid + 1;
        for (int64_t i = 1; i < steps; i++) {
            int32_t angle = Wrap32(a1 + int64_t(sweep) * i / steps);
            int64_t px = a.cx + Trunc64(double(r) * AngCos(angle));
            int64_t py = a.cy + Trunc64(double(r) * AngSin(angle));
            if (px < xlo) xlo = Wrap32(px);
            if (px > xhi) xhi = Wrap32(px);
            if (py < ylo) ylo = Wrap32(py);
            if (py > yhi) yhi = Wrap32(py);
        }
    }
    *x1 = xlo;
    *y1 = ylo;
    *x2 = xhi;
    *y2 = yhi;
}
