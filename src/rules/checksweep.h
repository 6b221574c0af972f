// The check sweeps: the full-board rule check, the full-board violation
// removal (CDE), the test-point sweep and the DFM clean-up, each over the
// board one routing window per idle call, in the router's window order.
// The window geometry lives in the design header (route window origin,
// window size, sweep start origin, current sweep) and the walking
// directions in CurSweep, as for the sweep router. Every step can be let go
// through checkChoice(30026); a let-go resets the header's sweep number so
// that a later run starts afresh.
#pragma once
#include <cstdint>

#include "db/err.h"

enum : int32_t {
    kMsgFullBoardDrc = 61115,    // "Full Board DRC Check"
    kMsgFullBoardCde = 61135,    // "Full Board CDE"
    kMsgFullBoardTestPt = 61116, // "Full Board Test Point Generation."
    kMsgDfm = 61117,             // "Design for manufacturing."
    kCmdDfmRun = 30244,
    kCmdCheckRun = 30246,
    kCmdTestPtRun = 30298,
    kCheckOptionsTestPt = 17, // the option word the test-point dialog sets
    kCheckViaLocation = 0x08,
    kCheckDispersion = 0x04,
    kCheckPadExit = 0x20,
    kCheckNetRuleBits = 0x40,
};

enum : ErrCode {
    kErrCheckPrimaryDir = 61176,
    kErrCheckSecondaryDir = 61177,
    kErrCheckNoSweep = 61178,
};

// The sweep state (cleared at start-up and by CheckSweepTestReset).
struct CheckSweepState {
    int32_t dfm = 0;          // the window step runs DFMClean
    int32_t fullCheck = 0;    // the window step runs DrcAll
    int32_t pending = 0;      // a loaded window waits for the next idle call
    int32_t savedOptions = 0; // CheckOptions saved by CheckSweep(1)
    int32_t optionsSaved = 0;
    int32_t windows = 0; // windows whose checks ran in this sweep
    int32_t skipped = 0; // windows passed over (objects not loaded, map not valid)
};
extern CheckSweepState g_checkSweep;

int32_t CheckSweep(int32_t variant);
int32_t CheckCDESweep();
int32_t TestPtSweep();
int32_t DFMSweep();
int32_t checkChoice(int32_t command);
void checkSweepStep();
void cdeSweepStep();
void checkWindow();
void cdeWindow();
int32_t nextCheckWindow();
void markerClearUnkept();
void markerListRefresh();
int32_t netHasLoadedConns(int32_t net);

// Test-only: the start state.
void CheckSweepTestReset();
