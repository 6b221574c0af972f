// Picking routes on the maze: turning a click on the board, or a request
// for the next connection, into a goal in MzGoal (connection, map object,
// the gap's corner pair with last = first + 1, goal width and start-end
// flag). Scores are squared distances in coordinates divided by a power of
// two, so they stay small on any board; nothing is allocated but scratch
// records.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : ErrCode {
    kErrPickFirst = 2162300, // the gap's first corner must be below count - 1
    kErrPickLast = 2162310,  // the gap's last corner must be the first + 1
};

enum : int32_t {
    kPickCoordRange = 32000,        // scaled coordinates of the design extent stay below this
    kPickTolDivisor = 20,           // the tolerance is (display width / (20 x scale))^2
    kPickNearestStart = 1000000000, // the nearest-gap search starts at this score
};

// The pick geometry of the design: scale, tolerance and layer penalty.
struct PickGeometry {
    int32_t scale;
    int64_t tolerance;
    int64_t penalty;
};
PickGeometry PickGeometryGet();

// The Arc flag of corner k (1 when it is an arc centre).
int32_t CrnArcFlag(const Conn* record, int32_t k);

// The pick score of segment i for the point (x, y): the squared scaled
// distance, plus the penalty when layer is neither 0 nor curLayer.
int64_t SegPickDist(const Conn* record, int32_t i, int32_t x, int32_t y, int32_t layer,
                    int32_t scale, int32_t curLayer, int64_t penalty);

// The nearest segment among the object table's connections; MzGoal's
// connection stays 0 when nothing lies within the tolerance.
void mzPickSegment(int32_t x, int32_t y, int32_t curLayer);
// The same over every connection of the database (map object 0).
void mzPickSegmentDb(int32_t x, int32_t y, int32_t curLayer);
// The next connection with an unrouted gap, round-robin after the last one
// picked; connection and map object 0 when none.
void mzPickNext();
// Connections read by the last mzPickNext.
int32_t PickNextReads();
// In MzGoal's connection, the unrouted gap nearest to the point (net 0:
// any); 1 when one was picked (reaching into the routing area while the
// maze geometry is set).
int32_t mzPickNearestGap(int32_t x, int32_t y, int32_t net);
// Orients the picked gap to start at the end nearer the point; 1, or 0 when
// the gap lies outside the routing area.
int32_t pickEnd(int32_t x, int32_t y);
// The goal width of MzGoal's gap in the connection.
int32_t adjustWidth(const Conn* record);

// Test-only: forgets the last connection mzPickNext picked.
void PickTestReset();
