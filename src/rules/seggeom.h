// Segment geometry of the rule checker: nearest points between points and
// segments and points of closest approach between two segments, in integer
// database units. Orthogonal and 45-degree segments are answered exactly;
// other directions in extended precision, rounded to the nearest integer
// (ties to even). Candidates are compared by the exact squared distance to
// their nearest points; the distances themselves come from db/geom.h.
#pragma once
#include <cstdint>

struct SegPt {
    int32_t x, y;
};
struct Seg {
    SegPt a, b;
};

// The point of the axis-parallel segment along the free axis: the free
// coordinate clamped between the two ends (the fixed one is the caller's).
int32_t AxisNearestPoint(int32_t free, int32_t end1, int32_t end2);
// The nearest point of the segment to p.
SegPt SegNearestPoint(SegPt p, const Seg& s);
// Points of closest approach: *p1 on s1, *p2 on s2.
void SegClosestPoints(const Seg& s1, const Seg& s2, SegPt* p1, SegPt* p2);
// The best of the four end-point cases; the first of equals wins.
void SegClosestByEnds(const Seg& s1, const Seg& s2, SegPt* p1, SegPt* p2);
// Around the crossing of the two lines at parameter t along s1, with the
// reach (squared distance to s1) of s2's current point *p2.
void SegClosestNearCrossing(const Seg& s1, const Seg& s2, int64_t reach, long double t, SegPt* p1,
                            SegPt* p2);
// The point *pd on the diagonal moves by the step; kept when it comes within
// the reach (a squared distance) of the other segment.
void SegClosestAlong(const Seg& diag, const Seg& other, SegPt* pd, SegPt* po, int64_t reach,
                     int32_t step);
// The exact cases: both segments orthogonal or at 45 degrees.
void SegClosestOrthoDiag(const Seg& s1, const Seg& s2, SegPt* p1, SegPt* p2);
void SegClosestDiag(const Seg& s1, const Seg& s2, SegPt* p1, SegPt* p2);
// 1 for a horizontal, vertical or 45-degree segment (a point included).
bool SegIsOctilinear(const Seg& s);
