// Integer distances between points, segments and boxes, the side of a line,
// feet of perpendiculars and the meeting points of lines and segments.
#include <cstdint>

#include "db/dist.h"
#include "db/geom.h"

using namespace geom;

namespace {

int64_t Min64(int64_t a, int64_t b) { return a < b ? a : b; }
int64_t Max64(int64_t a, int64_t b) { return a > b ? a : b; }
int64_t Clamp64(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : v > hi ? hi : v; }
int32_t Sign64(int64_t v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

// n / 2 rounded half away from zero.
int64_t HalfRound(int64_t n) { return (n + Sign64(n)) / 2; }

// num / den rounded half away from zero, exactly (den not 0).
int64_t RoundDiv(int64_t num, int64_t den) {
    int64_t q = num / den;
    int64_t r = num % den;
    if (2 * Abs64(r) >= Abs64(den))
        q += Sign64(num) * Sign64(den);
    return q;
}

// The p-coordinate of the line through (p1, q1) with direction (dp, dq)
// where it meets q (dq not 0), rounded half away from zero; exact for
// lines along an axis and at 45 degrees.
int32_t LineCoordAt(int64_t p1, int64_t q1, int64_t dp, int64_t dq, int64_t q) {
    if (dp == 0)
        return Wrap32(p1);
    if (dp == dq)
        return Wrap32(p1 + (q - q1));
    if (dp == -dq)
        return Wrap32(p1 - (q - q1));
    int64_t off = q - q1;
    if (Small(p1) && Small(off) && Small(dp) && Small(dq))
        return Wrap32(RoundDiv(p1 * dq + off * dp, dq));
    return RoundHalfAway(double(p1) + double(off) * double(dp) / double(dq));
}

// Crossing point of two lines that are not parallel (cross = d1 x d2).
void CrossingPoint(int32_t* outX, int32_t* outY, int64_t ax, int64_t ay, int64_t dx1, int64_t dy1,
                   int64_t bx, int64_t by, int64_t dx2, int64_t dy2, double cross) {
    // Lines along an axis: one coordinate is exact, the other lies on the
    // other line.
    if (dx1 == 0) {
        *outX = Wrap32(ax);
        *outY = LineCoordAt(by, bx, dy2, dx2, ax);
        return;
    }
    if (dy1 == 0) {
        *outY = Wrap32(ay);
        *outX = LineCoordAt(bx, by, dx2, dy2, ay);
        return;
    }
    if (dx2 == 0) {
        *outX = Wrap32(bx);
        *outY = LineCoordAt(ay, ax, dy1, dx1, bx);
        return;
    }
    if (dy2 == 0) {
        *outY = Wrap32(by);
        *outX = LineCoordAt(ax, ay, dx1, dy1, by);
        return;
    }
    int64_t s1 = (dx1 == dy1) ? 1 : (dx1 == -dy1) ? -1 : 0;
    int64_t s2 = (dx2 == dy2) ? 1 : (dx2 == -dy2) ? -1 : 0;
    if (s1 != 0 && s2 != 0) {
        // Two diagonals of opposite slope: y - ay = s1 (x - ax) and
        // y - by = -s1 (x - bx) meet at half units.
        int64_t x2 = ax + bx + s1 * (by - ay);
        int64_t y2 = 2 * ay + s1 * (x2 - 2 * ax);
        *outX = Wrap32(HalfRound(x2));
        *outY = Wrap32(HalfRound(y2));
        return;
    }
    double t = Cross(bx - ax, by - ay, dx2, dy2) / cross;
    *outX = RoundHalfAway(double(ax) + t * double(dx1));
    *outY = RoundHalfAway(double(ay) + t * double(dy1));
}

} // namespace

int32_t PtDist(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    int64_t dx = Abs64(int64_t(x1) - x2);
    int64_t dy = Abs64(int64_t(y1) - y2);
    if (dx == 0)
        return Dist32(dy);
    if (dy == 0)
        return Dist32(dx);
    if (dx == dy && dx < 250000)
        return int32_t(dx * 8119 / 5741);
    int64_t scale = 1;
    while (dx > 32767 || dy > 32767) {
        dx /= 4;
        dy /= 4;
        scale *= 4;
    }
    int64_t h = dx * dx + dy * dy;
    int64_t g = (dx + dy + 2 * Max64(dx, dy)) / 3;
    g = (g + h / g) / 2;
    g = (g + h / g) / 2;
    return Dist32(g * scale);
}

int32_t PtAxisSegDist(int32_t p, int32_t q, int32_t c, int32_t r, int32_t s) {
    int32_t lo = r < s ? r : s;
    int32_t hi = r < s ? s : r;
    if (q > lo && q < hi)
        return Dist32(Abs64(int64_t(p) - c));
    int32_t dr = PtDist(p, q, c, r);
    int32_t ds = PtDist(p, q, c, s);
    return dr < ds ? dr : ds;
}

int32_t PtSegDist(int32_t px, int32_t py, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (x1 == x2)
        return PtAxisSegDist(px, py, x1, y1, y2);
    if (y1 == y2)
        return PtAxisSegDist(py, px, y1, x1, x2);
    if (x1 > x2) {
        int32_t t = x1; x1 = x2; x2 = t;
        t = y1; y1 = y2; y2 = t;
    }
    int64_t dx = int64_t(x2) - x1;
    int64_t dy = int64_t(y2) - y1;
    int64_t ox = int64_t(px) - x1;
    int64_t oy = int64_t(py) - y1;
    int64_t fx, fy;
    if (dy == dx || dy == -dx) {
        // A diagonal: the offset along x of the foot, in integers.
        int64_t u = (dy == dx) ? (ox + oy) / 2 : (ox - oy) / 2;
        if (u < 1) {
            fx = x1;
            fy = y1;
        } else if (u >= dx) {
            fx = x2;
            fy = y2;
        } else {
            fx = x1 + u;
            fy = y1 + (dy > 0 ? u : -u);
        }
    } else {
        double len2 = Dot(dx, dy, dx, dy);
        double t = len2 < 1 ? 0.0 : Dot(ox, oy, dx, dy) / len2;
        if (t <= 0) {
            fx = x1;
            fy = y1;
        } else if (t >= 1) {
            fx = x2;
            fy = y2;
        } else {
            fx = x1 + Trunc64(t * double(dx));
            fy = y1 + Trunc64(t * double(dy));
        }
    }
    return PtDist(px, py, Wrap32(fx), Wrap32(fy));
}

int32_t PtBoxDist(int32_t px, int32_t py, int32_t bx1, int32_t by1, int32_t bx2, int32_t by2) {
    int32_t xlo = bx1 < bx2 ? bx1 : bx2;
    int32_t xhi = bx1 < bx2 ? bx2 : bx1;
    int32_t ylo = by1 < by2 ? by1 : by2;
    int32_t yhi = by1 < by2 ? by2 : by1;
    if (px >= xlo && px <= xhi && py >= ylo && py <= yhi)
        return 0;
    int32_t xs = Abs64(int64_t(px) - xlo) <= Abs64(int64_t(px) - xhi) ? xlo : xhi;
    int32_t ys = Abs64(int64_t(py) - ylo) <= Abs64(int64_t(py) - yhi) ? ylo : yhi;
    int32_t dv = PtAxisSegDist(px, py, xs, ylo, yhi);
    int32_t dh = PtAxisSegDist(py, px, ys, xlo, xhi);
    return dv < dh ? dv : dh;
}

int32_t SegAxisSegDist(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t e, int32_t f,
                       int32_t g) {
    int64_t flo = Min64(f, g);
    int64_t fhi = Max64(f, g);
    if (x1 == x2) {
        int64_t alo = Min64(y1, y2);
        int64_t ahi = Max64(y1, y2);
        if (ahi < flo)
            return PtDist(x1, int32_t(ahi), e, int32_t(flo));
        if (fhi < alo)
            return PtDist(x1, int32_t(alo), e, int32_t(fhi));
        return Dist32(Abs64(int64_t(x1) - e));
    }
    if (y1 == y2) {
        int64_t nx = Clamp64(e, Min64(x1, x2), Max64(x1, x2));
        int64_t ny = Clamp64(y1, flo, fhi);
        return PtDist(int32_t(nx), y1, e, int32_t(ny));
    }
    if (f != g) {
        // Crossing parameters along both segments.
        int64_t dx1 = int64_t(x2) - x1, dy1 = int64_t(y2) - y1;
        int64_t dy2 = int64_t(g) - f;
        int64_t wx = int64_t(e) - x1, wy = int64_t(f) - y1;
        double cross = Cross(dx1, dy1, 0, dy2);
        if (ParamClass(Cross(wx, wy, 0, dy2), cross) > 0 &&
            ParamClass(Cross(wx, wy, dx1, dy1), cross) > 0)
            return 0;
    }
    int32_t d = PtAxisSegDist(x1, y1, e, f, g);
    int32_t d2 = PtAxisSegDist(x2, y2, e, f, g);
    if (d2 < d)
        d = d2;
    d2 = PtSegDist(e, f, x1, y1, x2, y2);
    if (d2 < d)
        d = d2;
    d2 = PtSegDist(e, g, x1, y1, x2, y2);
    return d2 < d ? d2 : d;
}

int32_t SegSegDist(int32_t ax1, int32_t ay1, int32_t ax2, int32_t ay2, int32_t bx1, int32_t by1,
                   int32_t bx2, int32_t by2) {
    if (ax1 == ax2 && ay1 == ay2)
        return PtSegDist(ax1, ay1, bx1, by1, bx2, by2);
    if (bx1 == bx2 && by1 == by2)
        return PtSegDist(bx1, by1, ax1, ay1, ax2, ay2);
    if (bx1 == bx2)
        return SegAxisSegDist(ax1, ay1, ax2, ay2, bx1, by1, by2);
    if (by1 == by2)
        return SegAxisSegDist(ay1, ax1, ay2, ax2, by1, bx1, bx2);
    if (ax1 == ax2)
        return SegAxisSegDist(bx1, by1, bx2, by2, ax1, ay1, ay2);
    if (ay1 == ay2)
        return SegAxisSegDist(by1, bx1, by2, bx2, ay1, ax1, ax2);
    int64_t dx1 = int64_t(ax2) - ax1, dy1 = int64_t(ay2) - ay1;
    int64_t dx2 = int64_t(bx2) - bx1, dy2 = int64_t(by2) - by1;
    double cross = Cross(dx1, dy1, dx2, dy2);
    if (cross <= -1 || cross >= 1) {
        int64_t wx = int64_t(bx1) - ax1, wy = int64_t(by1) - ay1;
        if (ParamClass(Cross(wx, wy, dx2, dy2), cross) > 0 &&
            ParamClass(Cross(wx, wy, dx1, dy1), cross) > 0)
            return 0;
    }
    int32_t d = PtSegDist(ax1, ay1, bx1, by1, bx2, by2);
    int32_t d2 = PtSegDist(ax2, ay2, bx1, by1, bx2, by2);
    if (d2 < d)
        d = d2;
    d2 = PtSegDist(bx1, by1, ax1, ay1, ax2, ay2);
    if (d2 < d)
        d = d2;
    d2 = PtSegDist(bx2, by2, ax1, ay1, ax2, ay2);
    return d2 < d ? d2 : d;
}

int32_t SegBoxDist(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t bx1, int32_t by1,
                   int32_t bx2, int32_t by2) {
    if (bx1 == bx2 || by1 == by2)
        return SegSegDist(x1, y1, x2, y2, bx1, by1, bx2, by2);
    int32_t xlo = bx1 < bx2 ? bx1 : bx2;
    int32_t xhi = bx1 < bx2 ? bx2 : bx1;
    int32_t ylo = by1 < by2 ? by1 : by2;
    int32_t yhi = by1 < by2 ? by2 : by1;
    int32_t sides[4] = {
        SegAxisSegDist(x1, y1, x2, y2, xlo, ylo, yhi),
        SegAxisSegDist(x1, y1, x2, y2, xhi, ylo, yhi),
        SegAxisSegDist(y1, x1, y2, x2, ylo, xlo, xhi),
        SegAxisSegDist(y1, x1, y2, x2, yhi, xlo, xhi),
    };
    int32_t d = sides[0];
    for (int32_t side : sides) {
        if (side == 0)
            return 0;
        if (side < d)
            d = side;
    }
    bool in1 = x1 > xlo && x1 < xhi && y1 > ylo && y1 < yhi;
    bool in2 = x2 > xlo && x2 < xhi && y2 > ylo && y2 < yhi;
    return (in1 || in2) ? 0 : d;
}

int32_t PtLineSide(int32_t ax, int32_t ay, int32_t bx, int32_t by, int32_t px, int32_t py) {
    int64_t dx = int64_t(bx) - ax, dy = int64_t(by) - ay;
    int64_t ox = int64_t(px) - ax, oy = int64_t(py) - ay;
    // (b - a) x (p - a) = dx oy - dy ox; with a zero among the four at most
    // one product remains and its sign decides.
    if (dx == 0 || dy == 0 || ox == 0 || oy == 0)
        return Sign64(dx) * Sign64(oy) - Sign64(dy) * Sign64(ox);
    double c = Cross(dx, dy, ox, oy);
    return c >= 1 ? 1 : c <= -1 ? -1 : 0;
}

int32_t PtOnLine(int32_t px, int32_t py, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    int64_t ox = int64_t(px) - x1, oy = int64_t(py) - y1;
    if (dx == 0 && dy == 0)
        return 0;
    if (dy == 0)
        return oy == 0;
    if (dx == 0)
        return ox == 0;
    if (dx == dy)
        return ox == oy;
    if (dx == -dy)
        return ox == -oy;
    double c = Cross(dx, dy, ox, oy);
    return c > -1 && c < 1;
}

int32_t PtOnSeg(int32_t px, int32_t py, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    bool inX = x1 < x2 ? (px >= x1 && px <= x2) : (px >= x2 && px <= x1);
    bool inY = y1 < y2 ? (py >= y1 && py <= y2) : (py >= y2 && py <= y1);
    return inX && inY;
}

void SegNearestPt(int32_t* outX, int32_t* outY, int32_t px, int32_t py, int32_t x1, int32_t y1,
                  int32_t x2, int32_t y2) {
    int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    int64_t ox = int64_t(px) - x1, oy = int64_t(py) - y1;
    if (dx == 0 && dy == 0) {
        *outX = x1;
        *outY = y1;
    } else if (dy == 0) {
        *outX = px;
        *outY = y1;
    } else if (dx == 0) {
        *outX = x1;
        *outY = py;
    } else if (dx == dy || dx == -dy) {
        // The foot lies on the diagonal at half units.
        int64_t s = dx == dy ? ox + oy : ox - oy;
        int64_t sy = dx == dy ? s : -s;
        *outX = Wrap32(HalfRound(2 * int64_t(x1) + s));
        *outY = Wrap32(HalfRound(2 * int64_t(y1) + sy));
    } else {
        double t = Dot(ox, oy, dx, dy) / Dot(dx, dy, dx, dy);
        *outX = RoundHalfAway(double(x1) + t * double(dx));
        *outY = RoundHalfAway(double(y1) + t * double(dy));
    }
}

int32_t LineAtX(int32_t* outX, int32_t* outY, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                int32_t x, int32_t yValue) {
    if (x1 == x2) {
        if (x != x1)
            return 0;
        *outX = x;
        *outY = yValue;
        return 2;
    }
    *outX = x;
    *outY = LineCoordAt(y1, x1, int64_t(y2) - y1, int64_t(x2) - x1, x);
    return 1;
}

int32_t LineIntersect(int32_t* outX, int32_t* outY, int32_t ax1, int32_t ay1, int32_t ax2,
                      int32_t ay2, int32_t bx1, int32_t by1, int32_t bx2, int32_t by2) {
    if (ax1 == ax2 && ay1 == ay2) {
        SegNearestPt(outX, outY, ax1, ay1, bx1, by1, bx2, by2);
        return 0;
    }
    if (bx1 == bx2 && by1 == by2) {
        SegNearestPt(outX, outY, bx1, by1, ax1, ay1, ax2, ay2);
        return 0;
    }
    int64_t dx1 = int64_t(ax2) - ax1, dy1 = int64_t(ay2) - ay1;
    int64_t dx2 = int64_t(bx2) - bx1, dy2 = int64_t(by2) - by1;
    double cross = Cross(dx1, dy1, dx2, dy2);
    if (cross > -1 && cross < 1) {
        if (!PtOnLine(bx1, by1, ax1, ay1, ax2, ay2))
            return 0;
        *outX = bx1;
        *outY = by1;
        return 2;
    }
    CrossingPoint(outX, outY, ax1, ay1, dx1, dy1, bx1, by1, dx2, dy2, cross);
    return 1;
}

int32_t SegIntersect(int32_t* outX, int32_t* outY, int32_t ax1, int32_t ay1, int32_t ax2,
                     int32_t ay2, int32_t bx1, int32_t by1, int32_t bx2, int32_t by2) {
    bool aPoint = ax1 == ax2 && ay1 == ay2;
    bool bPoint = bx1 == bx2 && by1 == by2;
    if (aPoint || bPoint) {
        int32_t qx = aPoint ? ax1 : bx1, qy = aPoint ? ay1 : by1;
        bool meets;
        if (aPoint && bPoint)
            meets = ax1 == bx1 && ay1 == by1;
        else if (aPoint)
            meets = PtOnLine(qx, qy, bx1, by1, bx2, by2) && PtOnSeg(qx, qy, bx1, by1, bx2, by2);
        else
            meets = PtOnLine(qx, qy, ax1, ay1, ax2, ay2) && PtOnSeg(qx, qy, ax1, ay1, ax2, ay2);
        if (!meets)
            return 0;
        *outX = qx;
        *outY = qy;
        return 1;
    }
    int64_t dx1 = int64_t(ax2) - ax1, dy1 = int64_t(ay2) - ay1;
    int64_t dx2 = int64_t(bx2) - bx1, dy2 = int64_t(by2) - by1;
    double cross = Cross(dx1, dy1, dx2, dy2);
    if (cross > -1 && cross < 1) {
        if (!PtOnLine(bx1, by1, ax1, ay1, ax2, ay2))
            return 0;
        // Collinear: the overlap of the two extents along the segments'
        // main axis.
        bool alongX = dx1 != 0;
        int64_t a1 = alongX ? ax1 : ay1, a2 = alongX ? ax2 : ay2;
        int64_t b1 = alongX ? bx1 : by1, b2 = alongX ? bx2 : by2;
        int64_t lo = Max64(Min64(a1, a2), Min64(b1, b2));
        int64_t hi = Min64(Max64(a1, a2), Max64(b1, b2));
        if (lo > hi)
            return 0;
        const int32_t ends[4][2] = {{ax1, ay1}, {ax2, ay2}, {bx1, by1}, {bx2, by2}};
        for (const auto& p : ends) {
            if ((alongX ? p[0] : p[1]) == lo) {
                *outX = p[0];
                *outY = p[1];
                break;
            }
        }
        return lo == hi ? 1 : 2;
    }
    int64_t wx = int64_t(bx1) - ax1, wy = int64_t(by1) - ay1;
    double numA = Cross(wx, wy, dx2, dy2);
    double numB = Cross(wx, wy, dx1, dy1);
    int32_t classA = ParamClass(numA, cross);
    int32_t classB = ParamClass(numB, cross);
    if (classA < 0 || classB < 0)
        return 0;
    // A meeting at an end point is that end point exactly.
    if (numA == 0) {
        *outX = ax1;
        *outY = ay1;
    } else if (numA == cross) {
        *outX = ax2;
        *outY = ay2;
    } else if (numB == 0) {
        *outX = bx1;
        *outY = by1;
    } else if (numB == cross) {
        *outX = bx2;
        *outY = by2;
    } else {
        CrossingPoint(outX, outY, ax1, ay1, dx1, dy1, bx1, by1, dx2, dy2, cross);
    }
    return 1;
}
