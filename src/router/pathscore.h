// Path scoring: the path score of a whole connection (its extents weighted
// by each layer's sweep direction, diagonal zig-zags, jumpers that do not
// start and end at vias or have no allowed length, vias off the via grid)
// and the exit score of each end (an exit the pad does not allow, an exit
// toward another net's object, inner corners too close to the pad, an
// awkward second segment). Lower is better; straightening keeps a change
// only when neither score rises. The score reads the router's header copy, CurSweep and the
// layer table, and allocates nothing.
#pragma once
#include <cstdint>

#include "db/records.h"

enum : int32_t {
    kScoreZigZag = 100,          // two diagonals of opposite slope on one layer
    kScoreJumperEnd = 20000000,  // a jumper end without a via, or a length not allowed
    kScoreViaOffGrid = 10000000, // an inner via off the via grid
    kScoreDirSplitPercent = 50,  // below: the layer is scored by its x extent
    kAttrJumperLength = 2,       // attributes of kind 2, sub-kind 5 keyed by the layer
    kAttrLayerKey = 5,
    kScoreExitToward = 100,     // an allowed orthogonal exit toward another net's object
    kScoreExitRefused = 100000, // an exit the pad does not allow
    kScoreExitCorner = 10000,   // an inner corner too close to the pad
    kScoreExitSecond = 200,     // an awkward second segment
};

int32_t pathScore(const Conn* record);
// end 0 scores the first end, 1 the last (as on the reversed connection).
int32_t exitScore(const Conn* record, int32_t end);
// Whether corner k of the end's view (k counted from that end) keeps its
// distance from the end's pad on the layer of the segment before it.
bool exitCornerClear(const Conn* record, int32_t end, int32_t k);
