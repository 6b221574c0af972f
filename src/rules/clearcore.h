// The small pieces the via, jumper and stitch clearing share: the pushing
// entry and the FAST test, the layers the via searches use, the usable maze
// band, the one cell marker every failure mark goes through, corner appends
// that refuse to pass the corner limit, and the one door to the router's
// push. Nothing here keeps state.
#pragma once
#include <cstdint>

#include "db/records.h"

// Header option bits read by the stitching.
enum : uint16_t {
    kHdrGridOnly = 0x0001,       // no off-grid copper: points off the grid are skipped
    kHdrStitchPushLast = 0x0080, // the last push mode of the stitching
    kHdrStitchPush2 = 0x0800,    // the second push mode of the stitching
};

enum : uint16_t { kPassFastFlag = 0x0400 }; // pass flag of a FAST pass

// Probe kinds of the gathering and the push.
enum : int32_t {
    kClearKindSeg = 0,
    kClearKindVia = 2,
};

// The map-object entry of the path being shoved (MzGoal's), 0 when the
// router holds none.
int32_t ClearEntry();
// A FAST pass, or MzGoal forcing the fast run.
bool ClearFastRun();
// MzGoal forces the fast run.
bool ClearForceFast();
// The routing grid and half of it.
int32_t ClearGrid();
int32_t ClearHalfGrid();
// The via grid (0 none).
int32_t ClearViaGrid();
// A layer the via searches use: in the maze and not kept out of routing.
bool ViaSearchLayer(int32_t layer);
// The layers' clearance of a segment (kind 0) against other copper.
int32_t ClearSpacing(int32_t layer, int32_t kind);
// A maze cell inside the usable band (12 .. W - 13, 12 .. R - 13).
bool InUsableBand(int32_t mx, int32_t my);
// Writes the code into the cell of the layer unless the layer is not in the
// maze, the cell lies outside the usable band, or its code is one that
// stays: 28, 29 and 31 always, 27 already there, 25 under a 27.
void ClearMarkCell(int32_t mx, int32_t my, int32_t layer, int32_t code);
// Appends a corner unless the connection would pass the corner limit; 1
// appended, 0 full.
int32_t ClearAppend(Conn* conn, const Crn& c);
// Inserts k copies of corner a unless the connection would pass the limit.
int32_t ClearInsert(Conn* conn, int32_t a, int32_t k);
// A corner of the values.
Crn ClearCorner(int32_t x, int32_t y, int32_t layer, int32_t width, int32_t flags, int32_t via);
// Division by a positive step rounding down.
int32_t ClearFloorDiv(int32_t v, int32_t step);

// The router's push of the line x = x, y1..y2 (transposed: y = x) of the
// kind with the reach on the layer, by the path's entry, in direction +1 or
// -1: 0 when everything in reach was moved away, else the blocker.
int32_t ClearPush(int32_t x, int32_t y1, int32_t y2, int32_t kind, int32_t layer, int32_t reach,
                  int32_t direction, int32_t transposed);
// Sets the push options of the stitching (stitch mode, hops allowed) for a
// scope and clears them on every way out.
class StitchPushScope {
  public:
    StitchPushScope();
    ~StitchPushScope();
    StitchPushScope(const StitchPushScope&) = delete;
    StitchPushScope& operator=(const StitchPushScope&) = delete;
};
