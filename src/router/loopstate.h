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

struct RouteLoopState {
    int32_t newPass = 0;   // a pass was opened and is not ranked yet
    int32_t newWindow = 0; // the window's objects were just loaded (the map is fresh)
    int16_t attemptsLeft = 0;
    int16_t repeatCount = 0;
    Conn* lastPath = nullptr;             // the previous attempt's path (pool 1, kept)
    int32_t dispersePool = 0;             // pool of the dispersion list; 0 none
    DisperseNode* disperseList = nullptr; // pads still to disperse
    uint32_t runStartTicks = 0;           // when the sweep run started
};

extern RouteLoopState g_loop;

// Closes the dispersion pool when open and forgets the list.
void DisperseClose();

// RouteLoopTestReset (urstate.h) brings the start state back; lastPath's
// memory goes with the pools.
