// The route loop's own variables, shared by the loop and the pass, window
// and sweep stepping: they live in the router's global state so that every
// step of a run can be resumed.
#pragma once
#include <cstdint>

#include "db/records.h"

// One pad still to disperse in the current pass.
struct DisperseNode {
    DisperseNode* next;
    int16_t obj; // object-table entry of the pad
};

enum : int32_t {
    kGivenUpMax = 64, // connections given up after an internal error in one pass
};

struct RouteLoopState {
    int32_t newPass = 0;   // a pass was opened and is not ranked yet
    int32_t newWindow = 0; // the window's objects were just loaded (the map is fresh)
    int16_t attemptsLeft = 0;
    int16_t repeatCount = 0;
    Conn* lastPath = nullptr;             // the previous attempt's path (pool 1, kept)
    int32_t dispersePool = 0;             // pool of the dispersion list; 0 none
    DisperseNode* disperseList = nullptr; // pads still to disperse
    uint32_t runStartTicks = 0;           // when the sweep run started
    // Connections (database indexes) that an internal error made the loop
    // give up in the current pass: the pass's ranking leaves them out.
    int16_t givenUp[kGivenUpMax] = {};
    int32_t givenUpCount = 0;
    int32_t skipWindow = 0;  // 1: the next step leaves the window for the next one
    int16_t stepConn = 0;    // the connection the step in progress took up, 0 none
    int32_t trapsInARow = 0; // steps cut short by an internal error without one done between
};

extern RouteLoopState g_loop;

// Closes the dispersion pool when open and forgets the list.
void DisperseClose();

// RouteLoopTestReset (urstate.h) brings the start state back; lastPath's
// memory goes with the pools.
