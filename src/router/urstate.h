// The router's working records: the goal record of the connection in hand
// (MzGoal), the working copy of that connection (ConnPath), the router
// flags derived from the current sweep, and the router's own copies of the
// design header and of the current sweep (CurSweep).
//
// MzGoal and ConnPath are allocated once, from pool 1, the first time the
// router opens, and stay allocated for the life of the process; the flags
// and the copies are plain globals. RouterTestReset brings all of it, and
// every router module's memory, back to the start state.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kMzGoalAllocBytes = 140, // the goal record's allocation in the classic layout
    kGoalHops = 4,           // hop table entries 0..3 (0 unused)
};

// Run modes of the goal record (MzGoal::state).
enum : int16_t {
    kGoalIdle = 0,
    kGoalOneConn = 2,
    kGoalSweepWindows = 4,
    kGoalWholeBoard = 5,
};

// The goal record of the connection in hand.
struct MzGoal {
    int32_t costLimit;        // cost bound of the wavefront expansion
    int32_t totalCost;        // cost of the current attempt; 999,999,999 = given up
    int16_t conn;             // database index of the connection in hand; 0 = none
    int16_t crn1Index;        // first corner of the gap being routed
    int16_t crn2Index;        // last corner of the gap being routed
    int16_t objIndex;         // the connection's object-table entry
    int16_t crnCount;         // corner count of the connection in hand
    int16_t iterateLimit;     // attempts allowed per connection
    int16_t viasAllowed;      // 1: seeds carry a via allowance
    int16_t useNearest;       // 1: install the nearest partial path
    int16_t partialMode;      // 1: routed pieces on the half grid join the gap
    int16_t queueBothEnds;    // 1: the second end's seeds are queued too
    int16_t forceFast;        // 1: the fast expansion and at most 2 attempts
    int16_t goalWidth;        // track width of the gap
    int16_t srcMzX, srcMzY;   // maze cell of the first end
    int16_t dstMzX, dstMzY;   // maze cell of the second end
    int32_t srcX, srcY;       // database point of the first end
    int32_t dstX, dstY;       // database point of the second end
    int16_t srcLayer;         // layer of the first end (the crossing layer when clipped)
    int16_t srcSector;        // edge sector of the first end (0 inside, else 1..9)
    int16_t dstSector;        // edge sector of the second end
    int16_t dstLayer;         // layer of the second end
    uint8_t layerAllowed[32]; // per database layer 1..31: 1 when the connection may use it
    uint8_t meetDir[2];       // direction codes at the meeting cell (source, target)
    int16_t meetX, meetY, meetLayer;
    int16_t hopRouting;        // 1 while a ripped-up connection is re-routed
    int16_t ripFail;           // 1 while the saved nearest path is installed in rip-fail mode
    int16_t hopCount;          // blocking objects recorded for the found path (at most 3)
    int16_t hopObj[kGoalHops]; // object-table entry of each hop's connection
    int16_t hopCrn[kGoalHops]; // first corner of each hop's blocking segment
    int16_t routedCount;       // connections routed since the run started
    int16_t attemptCount;      // connections tried since the run started
    int16_t remainingCount;    // connections left in the current pass
    int16_t pass;              // current pass 0..4
    int16_t nextObj;           // entry of the next connection in routing order
    int16_t state;             // run mode (kGoal...)
    int16_t startEnd;          // 1: the route starts at the gap's first corner as picked
    int16_t savedCopy;         // 1: marking and unmarking reach the maze's saved copy too
    int16_t savedGoalObj;      // the goal's map object when the maze was saved
};

// Router flags and copies, all in one record.
struct RouterState {
    MzGoal* goal = nullptr;   // allocated once (pool 1)
    Conn* connPath = nullptr; // allocated once (pool 1)
    int16_t anyPassEnabled = 0;
    int16_t mazeNeeded = 0; // the maze is active; the saved copy and the wave pool exist
    int16_t ripUpAllowed = 0;
    int16_t layerFlag8Present = 0;
    int16_t routeViewMaze = 0;
    int16_t fatMap = 0;           // the enlarged-map state
    int16_t secondRouterFlag = 0; // checked by mzInit without full; nothing sets it
    int16_t mapGeometryValid = 0; // checked by mzInit without full; nothing sets it
    DbHeader header;              // the router's copy of the design header
    Sweep curSweep;               // CurSweep: the current sweep record
};

extern RouterState g_router;

// The goal record and the working connection (null before the first
// allocation).
inline MzGoal* Goal() {
    return g_router.goal;
}
// CurSweep.
inline Sweep& CurSweep() {
    return g_router.curSweep;
}

// Allocates MzGoal (pool 1, owner code 65343) and ConnPath (pool 1, owner
// code 65345) when not yet allocated; a failed allocation is fatal (65344,
// resp. 65346).
void UrAllocRecords();

// Reads the design header into the router's copy and the current sweep
// into CurSweep.
void UrReadHeaderAndSweep();

// Test-only: forgets the records (their memory goes with the pools), clears
// the flags and the copies, and resets every router module.
void RouterTestReset();
// What RouterTestReset calls in the modules, registered by each module.
void ObjTableTestReset();
void MazeTestReset();
void MzInitTestReset();
void CostTestReset();
void RuleServicesTestReset();
void MapAreaTestReset();
void RouteLoopTestReset();
void ObjValidateTestReset();
