// Nearest points and closest approach. A segment that crosses another
// touches it at the crossing, so the exact cases answer the crossing point
// twice; two segments that do not cross come closest at an end of one of
// them, which the four end-point cases find exactly for octilinear
// segments. Other directions go through the crossing of the two lines.
#include "rules/seggeom.h"

#include <cmath>
#include <initializer_list>

#include "db/geom.h"

namespace {

int32_t RoundEven(long double v) {
    const long double r = std::nearbyintl(v); // the default mode rounds ties to even
    if (r >= 2147483647.0L) return INT32_MAX;
    if (r <= -2147483648.0L) return INT32_MIN;
    return int32_t(r);
}

// The squared distance from p to its nearest point of s: exact in 64 bits,
// so that candidates are compared without the rounding of the integer
// distance routines.
int64_t Dist(SegPt p, const Seg& s) {
    const SegPt q = SegNearestPoint(p, s);
    const int64_t dx = int64_t(q.x) - p.x, dy = int64_t(q.y) - p.y;
    return dx * dx + dy * dy;
}

bool IsPoint(const Seg& s) {
    return s.a.x == s.b.x && s.a.y == s.b.y;
}

// The point of s at parameter t: its ends outside 0..1.
SegPt PointAt(const Seg& s, long double t, bool truncate) {
    if (t <= 0) return s.a;
    if (t >= 1) return s.b;
    const long double x = s.a.x + (int64_t(s.b.x) - s.a.x) * t;
    const long double y = s.a.y + (int64_t(s.b.y) - s.a.y) * t;
    if (truncate) return SegPt{int32_t(x), int32_t(y)};
    return SegPt{RoundEven(x), RoundEven(y)};
}

} // namespace

int32_t AxisNearestPoint(int32_t free, int32_t end1, int32_t end2) {
    const int32_t lo = end1 < end2 ? end1 : end2, hi = end1 < end2 ? end2 : end1;
    return free < lo ? lo : free > hi ? hi : free;
}

bool SegIsOctilinear(const Seg& s) {
    const int64_t dx = int64_t(s.b.x) - s.a.x, dy = int64_t(s.b.y) - s.a.y;
    return dx == 0 || dy == 0 || dx == dy || dx == -dy;
}

SegPt SegNearestPoint(SegPt p, const Seg& s) {
    if (s.a.x == s.b.x) return SegPt{s.a.x, AxisNearestPoint(p.y, s.a.y, s.b.y)};
    if (s.a.y == s.b.y) return SegPt{AxisNearestPoint(p.x, s.a.x, s.b.x), s.a.y};
    const SegPt S = s.a.x < s.b.x ? s.a : s.b, E = s.a.x < s.b.x ? s.b : s.a;
    const int64_t dx = int64_t(E.x) - S.x, dy = int64_t(E.y) - S.y;
    const int64_t ex = int64_t(S.x) - p.x, ey = int64_t(S.y) - p.y;
    if (dx == dy || dx == -dy) {
        const int64_t k = (dx == dy ? -(ex + ey) : -(ex - ey)) >> 1;
        if (k <= 0) return S;
        if (k >= dx) return E;
        return SegPt{int32_t(S.x + k), int32_t(S.y + (dx == dy ? k : -k))};
    }
    const long double len = (long double)dx * dx + (long double)dy * dy;
    if (len <= 1) return S;
    const long double t = -((long double)dy * ey + (long double)dx * ex) / len;
    if (t <= 0) return S;
    if (t >= 1) return E;
    return SegPt{RoundEven(S.x + dx * t), RoundEven(S.y + dy * t)};
}

void SegClosestByEnds(const Seg& s1, const Seg& s2, SegPt* p1, SegPt* p2) {
    // end 1 and end 2 of s1 against s2, then end 1 and end 2 of s2 against s1
    *p1 = s1.a;
    *p2 = SegNearestPoint(s1.a, s2);
    int64_t best = Dist(s1.a, s2);
    int64_t d = Dist(s1.b, s2);
    if (d < best) {
        best = d;
        *p1 = s1.b;
        *p2 = SegNearestPoint(s1.b, s2);
    }
    for (const SegPt& e : {s2.a, s2.b}) {
        d = Dist(e, s1);
        if (d < best) {
            best = d;
            *p2 = e;
            *p1 = SegNearestPoint(e, s1);
        }
    }
}

void SegClosestNearCrossing(const Seg& s1, const Seg& s2, int64_t reach, long double t, SegPt* p1,
                            SegPt* p2) {
    const SegPt q = PointAt(s1, t, false);
    if (Dist(q, s2) <= reach) {
        *p1 = q;
        *p2 = SegNearestPoint(q, s2);
    } else {
        *p1 = SegNearestPoint(*p2, s1);
    }
}

void SegClosestAlong(const Seg& diag, const Seg& other, SegPt* pd, SegPt* po, int64_t reach,
                     int32_t step) {
    const int32_t sx = diag.b.x >= diag.a.x ? 1 : -1, sy = diag.b.y >= diag.a.y ? 1 : -1;
    const SegPt moved{pd->x + sx * step, pd->y + sy * step};
    const SegPt onDiag = SegNearestPoint(moved, diag);
    if (Dist(onDiag, other) < reach) {
        *pd = onDiag;
        *po = SegNearestPoint(onDiag, other);
    } else {
        *pd = SegNearestPoint(*po, diag);
    }
}

void SegClosestDiag(const Seg& s1, const Seg& s2, SegPt* p1, SegPt* p2) {
    SegPt x;
    if (SegIntersect(&x.x, &x.y, s1.a.x, s1.a.y, s1.b.x, s1.b.y, s2.a.x, s2.a.y, s2.b.x, s2.b.y)) {
        // two diagonals may cross half-way between integer points: the
        // nearest points of the rounded crossing keep both on their segments
        *p1 = SegNearestPoint(x, s1);
        *p2 = SegNearestPoint(*p1, s2);
        return;
    }
    SegClosestByEnds(s1, s2, p1, p2);
}

void SegClosestOrthoDiag(const Seg& s1, const Seg& s2, SegPt* p1, SegPt* p2) {
    SegClosestDiag(s1, s2, p1, p2);
}

void SegClosestPoints(const Seg& s1, const Seg& s2, SegPt* p1, SegPt* p2) {
    if (IsPoint(s1)) {
        *p1 = s1.a;
        *p2 = SegNearestPoint(s1.a, s2);
        return;
    }
    if (IsPoint(s2)) {
        *p2 = s2.a;
        *p1 = SegNearestPoint(s2.a, s1);
        return;
    }
    if (SegIsOctilinear(s1) && SegIsOctilinear(s2)) {
        const bool diag1 = s1.a.x != s1.b.x && s1.a.y != s1.b.y;
        const bool diag2 = s2.a.x != s2.b.x && s2.a.y != s2.b.y;
        if (diag1 && diag2)
            SegClosestDiag(s1, s2, p1, p2);
        else
            SegClosestOrthoDiag(s1, s2, p1, p2);
        return;
    }
    const long double dx1 = (long double)s1.b.x - s1.a.x, dy1 = (long double)s1.b.y - s1.a.y;
    const long double dx2 = (long double)s2.b.x - s2.a.x, dy2 = (long double)s2.b.y - s2.a.y;
    const long double cross = dx1 * dy2 - dy1 * dx2;
    if (cross > -1 && cross < 1) {
        SegClosestByEnds(s1, s2, p1, p2);
        return;
    }
    const long double ex = (long double)s2.a.x - s1.a.x, ey = (long double)s2.a.y - s1.a.y;
    const long double t = (ex * dy2 - ey * dx2) / cross;
    const long double u = (ex * dy1 - ey * dx1) / cross;
    *p2 = PointAt(s2, u, true);
    const int64_t reach = Dist(*p2, s1);
    SegClosestNearCrossing(s1, s2, reach, t, p1, p2);
}
