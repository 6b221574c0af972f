// The bits of a routing pass's strategy word (PassFlags): the routing
// methods a pass runs and its enable and done state. One declaration for
// every router module that reads a pass.
#pragma once
#include <cstdint>

enum : uint16_t {
    kPassHeur = 0x0001,      // HEUR: straight-line heuristic routes
    kPassMaze = 0x0002,      // MAZE: wavefront search
    kPassNearest = 0x0004,   // NEAREST: install the nearest partial path
    kPassPartial = 0x0010,   // PARTIAL: gaps reaching out of the window
    kPassReroute = 0x0040,   // REROUTE: clean-up and re-route
    kPassCde = 0x0080,       // CDE: remove rule violations
    kPassSpace = 0x0100,     // the space check: the full rule check
    kPassViaReduce = 0x0200, // VIAREDUCE
    kPassFastRun = 0x0400,   // FAST
    kPassDisburse = 0x0800,  // DISBURSE: fan pads out to vias
    kPassEnable = 0x1000,    // ENABLE
    kPassDone = 0x2000,      // DONE
    // The methods that make a pass worth opening.
    kPassWorkMask = kPassHeur | kPassMaze | kPassReroute | kPassCde | kPassSpace | kPassViaReduce |
                    kPassDisburse,
    kPassStateMask = kPassEnable | kPassDone,
};

enum : int32_t {
    kPassFirst = 0, // pass 0: the routing window's one-gap runs
    kPassLast = 4,  // passes 0..4 in every sweep
};
