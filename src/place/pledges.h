// The edges of an obstacle's outline as placement compares them: straight
// segments and arcs (a centre point with an arc flag between its start and
// end; a circle is one full arc), each with its bounding box.
#pragma once
#include <cstdint>
#include <vector>

#include "db/geom.h"
#include "db/records.h"

struct PlEdge {
    bool arc;
    int32_t x1, y1, x2, y2; // a segment's ends
    ArcSpec spec;           // an arc
    int32_t bx1, by1, bx2, by2;
};

// The edges of the outline, closed back to the first point for a closed
// shape.
std::vector<PlEdge> PlObsEdges(const Obstacle& r);
// Whether an edge of one outline touches or crosses an edge of the other
// (edges whose boxes overlap, touching included, at distance 0).
bool PlEdgesTouch(const Obstacle& a, const Obstacle& b);
