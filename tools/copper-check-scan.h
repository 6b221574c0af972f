// The checks of copper-check over its model: every pair of items on a
// layer that come near (found through a grid of buckets per layer, so the
// cost follows the number of near pairs, not the square of the items),
// the inside and outside tests of obstacle areas, and the joining of each
// net's touching copper into pieces, from which a connection is complete
// when its two ends lie in one piece.
#pragma once
#include <cstdint>
#include <vector>

#include "copper-check-model.h"

enum CcFindingType : uint8_t {
    kCcShort = 0,     // copper of two nets touching
    kCcClearance = 1, // copper of two nets closer than the clearance
    kCcObstacle = 2,  // copper in, outside or closer than the clearance to an obstacle
    kCcOpen = 3,      // a connection whose copper does not join its ends
};

constexpr double kCcSlack = 2.0; // database units a gap may fall short of its clearance unreported
constexpr double kCcTouch = 1.0; // a gap below one database unit is a touch

struct CcFinding {
    CcFindingType type = kCcShort;
    int32_t layer = 0;
    CcPoint at;
    int32_t first = -1, second = -1; // items (second: an edge item for obstacles)
    int32_t obstacle = -1;           // obstacles: index into the model's obstacles
    int32_t connection = -1;         // opens: index into the model's connections
    bool inside = false;             // obstacles: inside an area (outside a board outline)
    double gap = 0, required = 0;
};

struct CcReport {
    std::vector<CcFinding> findings; // sorted by type, layer, place
    int32_t shorts = 0, clearance = 0, opens = 0, complete = 0;
};

void CcScan(const CcModel& m, CcReport* r);
