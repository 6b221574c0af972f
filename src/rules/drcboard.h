// The checks built on the connection rule check: over the records changed
// in the current journal level, over the pads of one component, over the
// whole object table (the drivers), and the removal of violating copper;
// and the checks that are not per corner range: pad-to-pad and pad-to-via
// clearance, the via grid, layer-change vias, net rules and obstacle
// spacing. Every routine that changes DrcMode puts it back to 1; scratch
// records are returned on every way out.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : ErrCode {
    kErrPadViaComp = 2189210,  // a pad check of component 0
    kErrPadViaPad = 2189211,   // a gathered pad without component or pin
    kErrPadViaShape = 2189212, // a pad shape code above 7
    kErrDrcAllType = 2189306,  // DrcAll met an object-table type outside 1..5
    kErrDrcRunType = 2189307,  // the other drivers met one
    kErrObsSelf = 2201010,     // an obstacle compared with itself
    kErrObsCurved = 2201011,   // an obstacle pair still holding arc points
};

enum : uint8_t {
    kObjFlagFailedAlt = 0x02, // MapObj: the connection failed the level's check
    kObjFlagClean = 0x04,     // MapObj: clean, or already cut by violation removal
};

// The level's check, installed as the router's DrcCheckAlt: in DrcMode 2
// every changed component's pads and every changed connection (its changed
// stretch, or whole with whole = 1, then whole unless a FAST pass runs with
// Fast Altcheck); 1 when all pass.
int32_t DrcCheckAltRules(int32_t whole);
// The same walk in DrcMode 1 over changed stretches only; 0 at the first
// failure.
int32_t DrcCheckAltAll(int32_t whole);
// The component's pins from the last; 0 at the first failure.
int32_t DrcCheckCompPads(int32_t comp, const Component* record);
int32_t DrcCheckPadVia(int32_t comp, int32_t pin, int32_t net, const Component* record);
int32_t DrcPadVsConnVias(int32_t comp, int32_t pin, int32_t net, int32_t conn);
void DrcViaOnGrid(int32_t index, const Conn* conn);
void DrcNetLayerVia(int32_t index, const Conn* conn);
void checkNetRules(int32_t index, const Conn* conn);
// The obstacle (placed, with arcs) against every other obstacle entry; 1.
int32_t DrcObsCheck(int32_t entry, int32_t net, int32_t owner, const Obstacle* obs);
// While it lives (one whole-board run), DrcObsCheck reads every other
// obstacle placed and converted once, from a cache the scope frees.
class DrcObsRunCache {
  public:
    DrcObsRunCache();
    ~DrcObsRunCache();
    DrcObsRunCache(const DrcObsRunCache&) = delete;
    DrcObsRunCache& operator=(const DrcObsRunCache&) = delete;
};
// Two obstacles without arc points: 1 pass, 0 violation (recorded).
int32_t DrcObsVsObs(const Obstacle* a, const Obstacle* b);

// The drivers: each runs over the object table in DrcMode 0.
void DrcAllRules();
void DrcAllConnPads();
void DrcAllPads();
void DrcAllNetRules();
void DrcAllViaGrid();
// The route loop's space-check pass: DrcAllRules with CheckOptions 1 for
// the call.
void DrcAllSpaceCheck();

// Cuts violating copper out of the loaded connections, worst first. With
// no journal level open it opens one and commits it (painted, broadcast).
void DrcRemoveViolationsRules();
// Replaces the violating stretch of the connection entry by an unrouted
// gap, inside the routing window only; the result goes through the journal.
void DrcCutViolations(int32_t entry);
