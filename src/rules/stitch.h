// The stitch buffer and the state of the segment being stitched: the
// points laid along one segment, pushed sideways and turned back into
// corners of the cleared path.
#pragma once
#include <cstdint>

#include "db/records.h"

#pragma pack(push, 1)
// One stitch point (24 bytes). In the stitching frame the segment runs
// along y: `shove` is its x, moved by the shove, `run` its y.
struct StitchPoint {
    int32_t shove;
    int32_t run;
    int32_t low;   // shove minus the half width plus clearance
    int32_t high;  // shove plus the half width plus clearance
    int32_t start; // shove before the shove
    int16_t flags;
    int16_t via; // nonzero only at the segment's ends where a via sits
};
#pragma pack(pop)
static_assert(sizeof(StitchPoint) == 24);

// Stitch point flags.
enum : int16_t {
    kStHighBlocked = 0x0001,
    kStLowBlocked = 0x0002,
    kStOutside = 0x0004, // closer than 12 cells to the maze edge
    kStFailed = 0x0008,
    kStLinkFailed = 0x0010,
    kStNotCleared = 0x0018,
    kStOffGrid = 0x0020,
    kStSkip = 0x0040,
    kStGivenUp = 0x004b,
    kStLowOccupied = 0x0100,
    kStHighOccupied = 0x0200,
    kStSecondary = 0x0700,
    kStCentred = 0x0800,
};

// The segment in hand.
struct StitchSeg {
    int32_t count = 0;      // points laid
    int32_t transposed = 0; // the frame is the caller's transposed one
    int32_t diagonal = 0;
    int32_t reach = 0; // half width plus clearance
    int32_t half = 0;  // half width
    int32_t layer = 0;
    int32_t width = 0;
    int32_t step = 0; // G, or G / 2 in half-grid mode
    int32_t halfGrid = 0;
    int32_t segment = 0;            // the segment's first corner in the path
    int32_t lastSeg = 0;            // the path's last segment
    int32_t startX = 0, startY = 0; // the segment's ends in the frame
    int32_t endX = 0, endY = 0;
};
extern StitchSeg g_stitch;

// The buffer (internal error without one) and its point limit.
StitchPoint* StitchPoints();
int32_t StitchPointLimit();
// Internal error when the count passes the limit.
void stitchCheckCount(int32_t count);

// The point's place in the board's frame.
void StitchWorld(int32_t shove, int32_t run, int32_t* x, int32_t* y);
// The probe of a point: the line x = shove over the run half a step either
// side, and the extra reach the gathering adds to the layer's spacing.
int32_t StitchProbeExtra(int32_t reach);
// A point that stays where it is: a path end or a via.
bool StitchFixedPoint(int32_t k);

// The steps of one segment.
int32_t stitchShovePoints(const Conn* path, int32_t segment);
void stitchSnapPoints();
void stitchAlignRuns();
int32_t stitchMovePoint(StitchPoint* p, int32_t shove);
void stitchJoinEnd(const Conn* path, int32_t segment);
int32_t stitchSeg(int32_t segment);
int32_t stitchAddCrn(int32_t x, int32_t y, int32_t layer, int32_t width, int32_t via);
int32_t stitchViaFits(int32_t x, int32_t y, int32_t via);
int32_t stitchCentreBetweenPads(StitchPoint* p, int32_t lowPad, int32_t highPad);
void stitchMarkFailures();
void stitchMarkCell(int32_t shove, int32_t run, int32_t code);
