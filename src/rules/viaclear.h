// Via and jumper clearing while a found path is shoved into place: room
// for every via of the path (ClearAllVias), the re-stitching of straight
// and 45-degree segments around the copper of other nets (stitchStraightSeg,
// stitchDiagSeg) and the straightening, sizing and direction check of
// jumpers (ClearAllJumpers). Each answers 1 cleared, 0 failed; a failure
// leaves the maze and the via map marked so that the next search avoids the
// spot, and the caller undoes its journal level. The journal depth and the
// scratch stack are the same after every call as before it.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"
#include "router/shove.h"

// Internal errors of the clearing.
enum : ErrCode {
    kErrViaTypeRange = 2152010,   // a via type outside 1..via-type count
    kErrViaDepth = 2152011,       // a via search depth below 1
    kErrStitchNoBuffer = 2153001, // stitching without a stitch buffer
    kErrStitchCount = 2153002,    // more stitch points than the buffer holds
    kErrStitchNoOutput = 2153003, // stitching without a cleared path to append to
    kErrStitchNoGoal = 2153004,   // stitching without the goal's connection entry
    kErrStitchSegNotStraight = 2153010,
    kErrStitchSegNotDiagonal = 2153011,
    kErrJumperVanished = 2156001, // a jumper not found again after straightening
    kErrJumperMakeVertLoop = 2156002,
    kErrJumperAdjustLoop = 2156003,
    kErrJumperAdjustSegments = 2156004, // adjustLength on a jumper of several segments
    kErrJumperViaSite = 2156005,        // a via site without a via type
};

enum : int32_t {
    kClearCornerLimit = 999, // the rebuilt path, the via result and a connection stay within this
    kClearBorderCells = 12,  // the usable maze band starts this many cells inside its edge
    kViaSearchMargin = 2,    // the via search stays this many cells inside the maze
    kViaSearchDepthMax = 40,
    kViaSearchDepthFast = 2,
    kViaSecondTryFactor = 3,
    kVisitedHalf = 40, // the visited grid covers cells -40..+39 around the via's start
    kVisitedSide = 2 * kVisitedHalf,
    kVisitedTried = 1,
    kVisitedPlaced = 120,
    kJumpersMax = 1000,       // jumper numbers 1..1,000
    kJumperStepsMax = 2000,   // makeVert and adjustLength stop after this many steps
    kJumperMarkWiden = 3,     // a failed jumper's box is widened by this many cells
    kStitchGapGrids = 4,      // a given-up via leaves a gap of four routing grids
    kStitchPointsFull = 1001, // points of one segment in full-grid mode
};

// The services under the names the router installs them by (the router
// reaches them as ClearAllVias, ClearAllJumpers, stitchStraightSeg,
// stitchDiagSeg, StitchAlloc and StitchRelease).
int32_t ClearAllViasRules(Conn* path);
int32_t ClearAllJumpersRules(Conn* path);
int32_t stitchStraightSegRules(Conn* path, int32_t transposed, int32_t segment);
int32_t stitchDiagSegRules(Conn* path, int32_t segment);
int32_t StitchAllocRules();
void StitchReleaseRules();

// ---- parts, reachable for their tests ----------------------------------------

// The first search depth for a via of the type.
int32_t viaPadSpan(int32_t viaType);
// The shove's failure flag is set and the given-up via at corner i leaves a
// gap; the answer is the rebuilt path's corner the caller continues from.
int32_t stitchFailure(Conn* path, int32_t i, int32_t viaType, Conn* rebuilt);
// The n-th jumper run (1..); 1 with its first and last corner, 0 none.
int32_t jumperFind(const Conn* conn, int32_t n, int32_t* first, int32_t* last);
int32_t clearOneJumper(Conn* conn, int32_t n, int32_t first, int32_t last);
// Axis 0: the jumper runs along y (its ends share x); 1: along x.
int32_t makeVert(Conn* conn, int32_t* first, int32_t* last, int32_t axis);
int32_t adjustLength(Conn* conn, int32_t* first, int32_t* last, int32_t direction, int32_t axis);
// A move of corner k's coordinate across (0: x, 1: y) to the target.
int32_t shoveVia(Conn* conn, int32_t k, int32_t target, int32_t moveAxis);
int32_t jumperCheckDirections(Conn* conn);
void jumperMarkFailed(const Conn* conn, int32_t first, int32_t last);
// The jumper step: the via grid, or half the routing grid without one.
int32_t JumperStep();
