// Connection normal form: small in-place editors of one connection record
// in memory (never the database) that remove redundant corners, loops and
// mismatched vias, split a connection where it leaves the routing window,
// read an arc out of it and repair its segment widths. Pinned corners
// (Locked or Latched) are never merged, moved or deleted.
#pragma once
#include <cstdint>

#include "db/geom.h"
#include "db/records.h"

enum : int32_t {
    kLoopLookAhead = 5, // a short loop closes within this many corners
};

// Repeats the duplicate, collinear and short-loop sweeps until a round
// changes nothing, then repairs the vias once; 1 when anything changed.
int32_t connReduce(Conn* record);
// Cuts out loops formed by crossing segments between the corners given; 1
// when anything changed.
int32_t ConnRemoveLoops(Conn* record, int32_t first, int32_t last);
// Inserts a corner where a segment crosses the routing window's edge;
// answers the tracked corner index adjusted for the insertions.
int32_t ConnSplitAtWindow(Conn* record, int32_t tracked);
// The arc drawn by corners i, i + 1 (its centre) and i + 2.
void ConnArcGet(int32_t i, const Conn* record, ArcSpec* out);
// Repairs the segment widths of a NetAttr connection (callers pass mode 1).
void ConnFixWidth(Conn* record, int32_t mode);
