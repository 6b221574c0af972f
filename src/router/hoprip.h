// Rip-up and re-route of the hops of an installation: the routed segments
// of other connections that a found path crosses (MzGoal's hop table,
// hops 1..hopCount: an object-table entry and the first corner of the
// blocking segment). A hop is ripped (made a gap) in the open journal
// level, re-routed with a small wavefront search of its own, or, when it
// cannot be, its segments are marked in the maze so that the next attempt
// avoids them.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : ErrCode {
    kErrHopPrep = 53378,      // a hop's connection could not be prepared (verbose mode)
    kErrHopNotLoaded = 53380, // re-routing needs the window's objects
    kErrHopNoRipup = 53381,   // re-routing needs rip-up allowed
};

enum : int32_t {
    kHopBudget = 20000000, // wavefront steps of one re-route try
    kHopTriesDivisor = 10, // tries: max(iterateLimit / 10, 2) - 1
    kHopTriesMin = 2,
};

// Rips hop h up: its segment becomes a gap in the journal level; 1 done, 0
// refused (an end outside RouteWindow).
int32_t hopRip(int32_t h);
// Marks the maze cells of hop h's segment and its neighbours with the
// design-rule mark so that they are not ripped again.
void hopFail(int32_t h);
// Re-routes ripped hop h; 1 success, 0 failure.
int32_t hopPrep(int32_t h);
// The first corner of the gap that replaced hop h's segment in the
// connection image (as the journal sees it); -1 when there is none.
int32_t hopGapIndex(const Conn* image, int32_t h);
