// Straightening of routed connections: each trial is built on a scratch
// copy of the connection and kept only when the design rules hold for the
// corners it changed and neither the path score nor an end's exit score
// rises above the limits set for the current step. A refused trial leaves
// the connection unchanged; trials allocate nothing.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : ErrCode { kErrIntersectRange = 2176052 }; // fewer than two segments apart

enum : int32_t {
    kStraightenRounds = 400,      // rounds of one connection's straightening
    kStraightenWindowCorners = 4, // a window pass looks this many corners ahead
    kSweepMitre = 0x0002,         // bit of the sweep's diagonal word: mitre passes
    kNoStraighten = 0x0001,       // MzFlags: no straightening
    kCornerPassExitLimit = 10000, // exit limits of the corner pass
};

// The limits a trial must not exceed, set at the start of each step.
struct StraightenLimits {
    int32_t path = 0;
    int32_t exit[2] = {0, 0};
};
extern StraightenLimits g_straightenLimits;

// Sets every limit from the connection's present scores.
void StraightenSetLimits(const Conn* record);

// Every routed segment that is not Locked takes the net's width for its
// layer (a layer without a width attribute keeps its width).
void straightenNetWidths(Conn* record);

// Mitres the bend at corner k + 1 with a diagonal cut s before and after
// it; strict mode also checks the new corners' angles and the clearance of
// the three new segments. 1 when accepted and copied back.
int32_t straightenTryShift(int32_t entry, Conn* record, Conn* scratch, int32_t k, int32_t step,
                           int32_t strict);

// Extends segments k and l (l - k at least 2) to the point where their
// lines meet and drops the corners between; without anyAngle exactly one of
// the two must be vertical or horizontal. 1 when accepted.
int32_t straightenIntersect(int32_t entry, Conn* record, int32_t k, int32_t l, int32_t anyAngle);

// Replaces corners k + 1 .. l - 1 by one octilinear segment from corner k
// to a point P on segment l. 1 when accepted.
int32_t straightenShortcut(int32_t entry, Conn* record, Conn* scratch, int32_t k, int32_t l);

// The mirror of the shortcut: one octilinear segment from a point P on
// segment k to corner l replaces corners k + 1 .. l - 1. 1 when accepted.
int32_t straightenShortcutBack(int32_t entry, Conn* record, Conn* scratch, int32_t k, int32_t l);

// One walk of the routed part trying mode 1 (shortcut), 2 (shortcut back),
// 3 (intersection of any two segments) or 4 (an orthogonal and a diagonal
// one); 1 at the first accepted trial.
int32_t straightenWindowPass(int32_t mode, int32_t entry, Conn* record);

// Straightens the connection in rounds (at most 400, or until the abort
// key): shortcuts, shortcuts back, intersections, then with the sweep's
// mitre bit the mitres and the diagonal intersections. 1 when anything
// changed; nothing with the no-straighten option.
int32_t StraightenConn(int32_t entry, Conn* record);

// Removes acute bends between two segments of one routed layer by a
// shortcut or a shortcut back; 1 when anything changed.
int32_t straightenCornerPass(int32_t entry, Conn* record);

// With the sweep's mitre bit: mitres at every bend with the steps 2, 1.5,
// 1, 0.5, 3 and 5 grids (the half steps with grid doubling only), the
// diagonal intersections, then the end cuts of the ends the routed part
// reaches; 1 when anything changed. Nothing with the no-straighten option.
int32_t straightenMitrePass(int32_t entry, Conn* record);

// Replaces the first bend at the first end by a 45-degree segment from
// corner 0 to the line of segment 2; 1 when accepted.
int32_t straightenEndCut(int32_t entry, Conn* record, Conn* scratch);

// Adjusts the ends' exits and straightens the connection on a scratch
// copy, copied back; 1 when anything changed.
int32_t straightenExitsAndConn(int32_t entry, Conn* record);

// Straightens every connection of the open journal level in three passes
// (forward, backward on the reversed connections, forward with the corner
// and mitre passes); a changed connection is mapped again, its widths are
// repaired and it is put into the level. Result 1.
int32_t StraightenAlt();
