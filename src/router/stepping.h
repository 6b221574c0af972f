// Stepping a sweep run: the next pass of the current window, the next
// window of the serpentine walk over the board, and the end of a sweep.
// The window position lives in the router's header copy and the walking
// directions in CurSweep; the route loop stores both after every window
// move, so an interrupted run resumes where it stopped.
#pragma once
#include <cstdint>

#include "db/err.h"

enum : int32_t {
    kCmdResumeRouting = 30280, // posted by nextSweep: starts the next sweep
    kWindowBorderGrids = 12,   // the maze border a window step leaves out
};

enum : ErrCode {
    kErrPrimaryDir = 53576,
    kErrSecondaryDir = 53577,
};

// 1 when a pass was opened, 0 when the window has no further pass.
int32_t nextPass();
// 1 when the window position moved, 0 when the sweep is complete.
int32_t nextWindow();
// Ends the sweep: idle task and hook removed, statistics shown, passes
// marked done, backup written when asked for, Resume Routing posted.
int32_t nextSweep();
