// The plane geometry of copper-check, in double precision and database
// units, of its own (it shares nothing with the router or the rule checker,
// so that their faults cannot hide their own output from it).
//
// Every shape is a convex hull of one to four points grown by a radius: a
// disc is one point, a rounded stroke (a segment of its width, an oblong
// pad, an obstacle edge) two, a rectangle four with radius 0. CcShapeDist
// answers the gap between two shapes (0 when they touch or overlap) and the
// point where they come closest.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

enum : int32_t { kCcShapePoints = 4 }; // points of a shape's hull

struct CcPoint {
    double x = 0, y = 0;
};

struct CcShape {
    int32_t n = 0; // hull points 1..4, in order round the hull
    CcPoint p[kCcShapePoints];
    double r = 0; // grown by this radius
};

struct CcBox {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

inline CcBox CcShapeBox(const CcShape& s) {
    CcBox b{s.p[0].x, s.p[0].y, s.p[0].x, s.p[0].y};
    for (int32_t i = 1; i < s.n; ++i) {
        b.x1 = std::min(b.x1, s.p[i].x);
        b.y1 = std::min(b.y1, s.p[i].y);
        b.x2 = std::max(b.x2, s.p[i].x);
        b.y2 = std::max(b.y2, s.p[i].y);
    }
    b.x1 -= s.r;
    b.y1 -= s.r;
    b.x2 += s.r;
    b.y2 += s.r;
    return b;
}

inline CcShape CcDisc(double x, double y, double r) {
    CcShape s;
    s.n = 1;
    s.p[0] = {x, y};
    s.r = r;
    return s;
}

inline CcShape CcStroke(double x1, double y1, double x2, double y2, double r) {
    CcShape s;
    s.n = 2;
    s.p[0] = {x1, y1};
    s.p[1] = {x2, y2};
    s.r = r;
    return s;
}

// The point of segment a-b nearest to p.
inline CcPoint CcNearestOnSeg(CcPoint p, CcPoint a, CcPoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    if (len2 <= 0) return a;
    const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0);
    return {a.x + t * dx, a.y + t * dy};
}

inline double CcDist(CcPoint a, CcPoint b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

inline double CcCross(CcPoint o, CcPoint a, CcPoint b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Where segments a-b and c-d cross (ends included), in *at; false when they
// do not meet or either is a point.
inline bool CcSegsCross(CcPoint a, CcPoint b, CcPoint c, CcPoint d, CcPoint* at) {
    const double d1 = CcCross(c, d, a), d2 = CcCross(c, d, b);
    const double d3 = CcCross(a, b, c), d4 = CcCross(a, b, d);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) {
        const double t = d1 / (d1 - d2);
        *at = {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
        return true;
    }
    return false;
}

// The distance between segments a-b and c-d (0 when they cross); *pa and
// *pc receive the nearest points on each.
inline double CcSegSegDist(CcPoint a, CcPoint b, CcPoint c, CcPoint d, CcPoint* pa, CcPoint* pc) {
    CcPoint x;
    if (CcSegsCross(a, b, c, d, &x)) {
        *pa = *pc = x;
        return 0;
    }
    double best = 1e300;
    auto take = [&](CcPoint p, CcPoint q, bool pOnFirst) {
        const double dd = CcDist(p, q);
        if (dd < best) {
            best = dd;
            *pa = pOnFirst ? p : q;
            *pc = pOnFirst ? q : p;
        }
    };
    take(a, CcNearestOnSeg(a, c, d), true);
    take(b, CcNearestOnSeg(b, c, d), true);
    take(c, CcNearestOnSeg(c, a, b), false);
    take(d, CcNearestOnSeg(d, a, b), false);
    return best;
}

// Whether p lies inside (or on) the convex hull of at least three points.
inline bool CcInHull(CcPoint p, const CcShape& s) {
    if (s.n < 3) return false;
    bool pos = false, neg = false;
    for (int32_t i = 0; i < s.n; ++i) {
        const double c = CcCross(s.p[i], s.p[(i + 1) % s.n], p);
        if (c > 0) pos = true;
        if (c < 0) neg = true;
    }
    return !(pos && neg);
}

// The gap between two shapes: the distance between their hulls less both
// radii, never below 0. *at receives the middle of their nearest points.
inline double CcShapeDist(const CcShape& a, const CcShape& b, CcPoint* at) {
    if (CcInHull(b.p[0], a)) {
        *at = b.p[0];
        return 0;
    }
    if (CcInHull(a.p[0], b)) {
        *at = a.p[0];
        return 0;
    }
    double best = 1e300;
    CcPoint ba, bb;
    const int32_t ea = a.n < 3 ? 1 : a.n, eb = b.n < 3 ? 1 : b.n;
    for (int32_t i = 0; i < ea; ++i) {
        const CcPoint a1 = a.p[i], a2 = a.p[a.n < 3 ? a.n - 1 : (i + 1) % a.n];
        for (int32_t j = 0; j < eb; ++j) {
            const CcPoint b1 = b.p[j], b2 = b.p[b.n < 3 ? b.n - 1 : (j + 1) % b.n];
            CcPoint pa, pb;
            const double dd = CcSegSegDist(a1, a2, b1, b2, &pa, &pb);
            if (dd < best) {
                best = dd;
                ba = pa;
                bb = pb;
            }
        }
    }
    *at = {(ba.x + bb.x) / 2, (ba.y + bb.y) / 2};
    return std::max(0.0, best - a.r - b.r);
}

// A closed outline (its last point joined to its first) for the even-odd
// point test, with its edges sorted into horizontal bands so that a test
// reads only the edges of its band.
struct CcOutline {
    enum : int32_t { kBandEdges = 16 }; // edges per band, on average
    struct Edge {
        CcPoint a, b;
    };
    std::vector<Edge> edges;
    double y0 = 0, bandH = 1;
    std::vector<std::vector<int32_t>> bands;

    void Build(const std::vector<CcPoint>& pts) {
        edges.clear();
        bands.clear();
        if (pts.size() < 3) return;
        double lo = pts[0].y, hi = pts[0].y;
        for (size_t i = 0; i < pts.size(); ++i) {
            const CcPoint a = pts[i], b = pts[(i + 1) % pts.size()];
            if (a.x == b.x && a.y == b.y) continue;
            edges.push_back({a, b});
            lo = std::min(lo, a.y);
            hi = std::max(hi, a.y);
        }
        const size_t n = std::max<size_t>(1, edges.size() / kBandEdges);
        y0 = lo;
        bandH = std::max(1.0, (hi - lo) / double(n));
        bands.assign(n, {});
        for (int32_t e = 0; e < int32_t(edges.size()); ++e) {
            const double e1 = std::min(edges[size_t(e)].a.y, edges[size_t(e)].b.y);
            const double e2 = std::max(edges[size_t(e)].a.y, edges[size_t(e)].b.y);
            for (size_t k = Band(e1); k <= Band(e2); ++k)
                bands[k].push_back(e);
        }
    }
    size_t Band(double y) const {
        const double k = std::floor((y - y0) / bandH);
        return size_t(std::clamp(k, 0.0, double(bands.size() - 1)));
    }
    bool Contains(CcPoint p) const {
        if (bands.empty()) return false;
        bool in = false;
        for (int32_t e : bands[Band(p.y)]) {
            const CcPoint a = edges[size_t(e)].a, b = edges[size_t(e)].b;
            if ((a.y > p.y) != (b.y > p.y) &&
                p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y))
                in = !in;
        }
        return in;
    }
};
