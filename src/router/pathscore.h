// Path scoring: the path score of a whole connection (its extents weighted
// by each layer's sweep direction, diagonal zig-zags, jumpers that do not
// start and end at vias or have no allowed length, vias off the via grid).
// Lower is better; straightening keeps a change only when the score does
// not rise. The score reads the router's header copy, CurSweep and the
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
};

int32_t pathScore(const Conn* record);
