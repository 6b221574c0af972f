// Outline edges for the conflict test: straight edges are compared by
// SegSegDist, an edge with an arc by SegArcDist, two arcs by ArcArcDist;
// only pairs whose boxes overlap (touching counts) are compared, an arc
// boxed by its whole circle.
#include "place/pledges.h"

#include "db/obstacles.h"

namespace {

PlEdge Segment(const ObsPoint& a, const ObsPoint& b) {
    PlEdge e{};
    e.x1 = a.x;
    e.y1 = a.y;
    e.x2 = b.x;
    e.y2 = b.y;
    e.bx1 = a.x < b.x ? a.x : b.x;
    e.bx2 = a.x < b.x ? b.x : a.x;
    e.by1 = a.y < b.y ? a.y : b.y;
    e.by2 = a.y < b.y ? b.y : a.y;
    return e;
}

PlEdge Arc(const ObsPoint& start, const ObsPoint& centre, const ObsPoint& end) {
    PlEdge e{};
    e.arc = true;
    e.spec = {start.x, start.y, centre.x, centre.y, end.x, end.y, centre.flags & kObsPtArc};
    // The box of the whole circle: a filter only, never too small.
    const int32_t r = PtDist(start.x, start.y, centre.x, centre.y);
    e.bx1 = int32_t(int64_t(centre.x) - r);
    e.by1 = int32_t(int64_t(centre.y) - r);
    e.bx2 = int32_t(int64_t(centre.x) + r);
    e.by2 = int32_t(int64_t(centre.y) + r);
    return e;
}

bool BoxesMeet(const PlEdge& a, const PlEdge& b) {
    return a.bx1 <= b.bx2 && b.bx1 <= a.bx2 && a.by1 <= b.by2 && b.by1 <= a.by2;
}

int32_t Distance(const PlEdge& a, const PlEdge& b) {
    if (a.arc && b.arc) return ArcArcDist(&a.spec, &b.spec);
    if (a.arc) return SegArcDist(b.x1, b.y1, b.x2, b.y2, &a.spec);
    if (b.arc) return SegArcDist(a.x1, a.y1, a.x2, a.y2, &b.spec);
    return SegSegDist(a.x1, a.y1, a.x2, a.y2, b.x1, b.y1, b.x2, b.y2);
}

} // namespace

std::vector<PlEdge> PlObsEdges(const Obstacle& r) {
    std::vector<PlEdge> out;
    const int32_t n = r.head.count;
    if ((r.head.flags & kObsCircle) && n >= 2) {
        out.push_back(Arc(r.pt[0], r.pt[1], r.pt[0]));
        return out;
    }
    int32_t i = 0;
    while (i + 1 < n) {
        if (i + 2 < n && (r.pt[i + 1].flags & kObsPtArc)) {
            out.push_back(Arc(r.pt[i], r.pt[i + 1], r.pt[i + 2]));
            i += 2;
        } else {
            out.push_back(Segment(r.pt[i], r.pt[i + 1]));
            i += 1;
        }
    }
    if (n >= 3 && ObsIsClosed(&r) && (r.pt[0].x != r.pt[n - 1].x || r.pt[0].y != r.pt[n - 1].y))
        out.push_back(Segment(r.pt[n - 1], r.pt[0]));
    return out;
}

bool PlEdgesTouch(const Obstacle& a, const Obstacle& b) {
    const std::vector<PlEdge> ea = PlObsEdges(a), eb = PlObsEdges(b);
    for (const PlEdge& s : ea)
        for (const PlEdge& t : eb)
            if (BoxesMeet(s, t) && Distance(s, t) == 0) return true;
    return false;
}
