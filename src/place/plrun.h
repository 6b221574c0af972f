// The Proximity Place run: a two-phase annealing of the listed components
// of the placement model on the three-term score, ending with the small
// parts put beside their partners and the positions written back through
// the journal (the caller holds a level open).
#pragma once
#include <cstdint>

#include "db/err.h"

enum : int32_t {
    kErrPlRunPool = 3606010,     // owner of the run's pool
    kErrPlCooling = 3606120,     // cooling percent outside 0..100
    kErrPlStepX = 3606220,       // placement grid x below a placement unit
    kErrPlStepY = 3606230,       // ... y
    kErrPlChainMember = 3606380, // a chain member outside 1..N
    kErrPlNoMask = 3606810,      // selected-only run without a mask
};

enum : int32_t {
    kPlAcceptSize = 4096,      // entries of the acceptance table
    kPlAcceptScale = 512,      // table index per unit of d / T
    kPlAcceptMax = 32767,      // entries near 0
    kPlAcceptMaxRatio = 8,     // kPlAcceptSize / kPlAcceptScale: d / T from which all is rejected
    kPlStepsSelected = 5,      // zero-temperature steps of a selected-only run
    kPlStepsFull = 20,         // ... of a full run
    kPlSwapBelowT = 10,        // swaps are tried below this temperature
    kPlSwapChance = 3276,      // a swap when PlRandom is below this
    kPlPhase2Factor = 10,      // overlap weight of phase 2
    kPlPhase2Steps = 3,        // half width of a phase-2 move, in grid steps
    kPlStallSteps = 4,         // zero-temperature steps without gain that end a phase
    kPlSelectedStartT = 10,    // start temperature of a selected-only run
    kPlProgressMsg = 60605,    // "Proximity Place: %d%% completed"
    kPlProgressZeroSteps = 5,  // progress units of a zero-temperature phase-1 step
    kPlProgressStepFactor = 6, // estimated steps: 6 x G + L
    kPlCoolingMaxPercent = 100,
};

// The option bits of a run a caller hands in.
enum : int32_t { kPlRunRecon = 4, kPlRunGateSwap = 8 };

struct PlRunState {
    int16_t coolingPercent;
    int32_t pool;
    const uint8_t* mask;
    bool selectedOnly;
    int32_t xStep, yStep;
    int32_t xRange, yRange;
    int32_t phase;
    int64_t T;
    int64_t W, X, Y;
    int32_t acceptTable[kPlAcceptSize];
};

extern PlRunState g_plRun;

// 1 when the pass ran to its end, 0 when the user aborted it.
int32_t PlRun(const uint8_t* selection, int16_t attempts, int16_t coolingPercent, int32_t options);
int32_t PlAnneal(int32_t attempts);
// Fills the acceptance table: entry i = 32767 / int(e^((i + 1) / 512)).
void PlAcceptTableBuild();
bool PlAccept(int64_t d, int64_t T);
double PlCoolingFactor(int32_t percent);
int64_t PlNextTemperature(double r, int64_t T);
// W, X, Y from scratch and T = W + X.
void PlScoreStart();
