// The sweep router's run over the design, as the "Auto" menu starts it:
// choosing the next sweep, starting it afresh or resuming it at its saved
// window, opening the router on it and handing it to the route loop, and
// ending the run when no sweep is left. Portable: the shell's menu calls
// it, and so does the headless driver; menus, the view and the beep go
// through the shell's services.
#pragma once
#include <cstdint>

#include "db/err.h"

enum : int32_t {
    kCmdStartSweepRouter = 30278,
    kCmdResumeSweepRouter = 30280,
    kCmdStatisticsView = 30830,
    kMsgInitializingSweep = 53215, // "Initializing sweep %d"
    kSweepLast = 8,
    kSweepRunMaxLayers = 2, // sweeps using more layers are passed over
    kSweepDirWhole = 16,    // direction byte: the whole board at once
    kSweepNotStarted = 2147483647,
};

enum : ErrCode {
    kErrSweepDir = 50137,        // detail 390
    kErrSweepFatMap = 50196,     // detail 418
    kErrSweepNotRoute = 50190,   // detail 419
    kErrSweepNumberZero = 53250, // detail 221
};

// The menu commands 30278 and 30280: 1 when handled, 0 (with the note "No
// database loaded") while no design is valid or for another command.
int32_t SweepRunCommand(int32_t command);
// A new run: no sweep current or started, both origins at the route
// window's origin, the current sweep's direction copies refreshed.
void autoBoard();
// The next sweep of the run, or the end of the run.
void autoResume();
// The hand-over of the opened sweep to the route loop.
void autoResumeStep();
