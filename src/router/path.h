// Path finding: once the wavefronts have met, the move codes of the cells
// they reached are followed back from the meeting cell to each side's seed
// (backTrack), the two halves are joined into the corner list of the
// working connection (PathFind), collinear corners removed, vias, widths
// and flags set, and the two ends fitted onto the exits, pins or routed
// pieces the seeds were made from (PathFitEnds). While it back-tracks the
// path records the other nets' routes it crosses (hops, at most three).
// The halves are built in the module's own records: nothing is allocated
// per step.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kHalfCornersMax = 250,    // corners of a half beyond the first
    kBackTrackSteps = 500000, // step budget of one back-track
    kPathCornersLimit = 1000, // the joined path stays below this
    kNearestExitLimit = 8000, // an exit farther from the meeting cell is not taken
    kHopsMax = 3,
};

enum : ErrCode {
    kErrBackTrackSaved = 2165003,
    kErrBackTrackBudget = 2165011,
    kErrBackTrackCode = 2165015,
    kErrPathCount = 2165070,
    kErrFitCorners = 2165083,
    kErrSpliceIndex = 2165092,
};

// Results of backTrack and PathFind beyond 1 (found) and 0 (no path, too
// many corners): the maze led nowhere (a cell code that is no move, or a
// walk that did not end within its budget). The attempt fails; the fault
// is kept for the caller's report.
enum : int32_t { kBackTrackBroken = -1, kPathBroken = -1 };

// Where the last broken back-track stopped: the code in hand, the cell and
// its byte, and the internal error code the fault stands for.
struct BackTrackFault {
    ErrCode code;
    int32_t move;
    int32_t x, y, layer;
    int32_t cell;
};
const BackTrackFault& PathLastFault();

// One half of a path: the meeting cell first, the seed last.
struct HalfPath {
    int32_t count;
    Crn crn[kHalfCornersMax + 2];
};

// 1 with the half's corners, 0 with more than 250 corners, kBackTrackBroken
// when the maze leads nowhere.
int32_t backTrack(HalfPath* record, int32_t dir);
// 1 built, 0 no path or too many corners, kPathBroken when a half's
// back-track broke (the path is then the straight gap).
int32_t PathFind(Conn* path);
int32_t PathFitEnds(Conn* path);
void PathNetWidths(Conn* path);
