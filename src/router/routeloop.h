// The route loop: the idle task that routes connections one bounded step at
// a time (an attempt on the connection in hand, the choice of the next
// connection, one action pass, or the move to the next pass, window or
// sweep), the tool event hook that sees every window command while a run
// is installed, and the two ways a run starts (one gap from the routing
// window's tools, a whole sweep from the sweep run). All state lives in
// MzGoal and the loop variables, so a step can always be resumed.
#pragma once
#include <cstdint>

#include "db/err.h"

// Answers of oneAttempt.
enum : int32_t {
    kAttemptRetry = 0,   // no installable path this time; try again
    kAttemptGiveUp = 1,  // attempts used up or connection given up
    kAttemptNoSeed = 2,  // the ends could not be seeded
    kAttemptRouted = 3,  // path installed
    kAttemptAborted = 4, // the user pressed the abort key
};

enum : int32_t {
    kAttemptBudget = 200000000, // wavefront steps of one attempt
    kGivenUpCost = 999999999,   // totalCost of a connection given up
    kRepeatNearest = 2,         // repeats before the nearest fallback
    kRepeatGiveUp = 3,          // repeats before the connection is given up
    kRipFailAttemptsAbove = 50, // ATTEMPS above this allow rip-fail
    kFastAttemptsMax = 2,
};

// Commands the loop sends and reads.
enum : int32_t {
    kCmdCursorBusy = 30016,
    kCmdLetGo = 30026,
    kCmdRevalidate = 30036,
    kCmdEraseOverlay = 30044,
    kCmdChanged = 30050,
    kCmdNoEffect = 30061,
    kCmdStop = 30210,
    kCmdUndo = 30254,
};

// MzFlags bits a FAST pass sets (and any other pass clears unless the
// verbose flag is on; MzFlags2's Fast Altcheck with them), and the other
// option bits the loop reads.
enum : uint16_t {
    kMzNoStraighten = 0x0001,
    kMzNoExitAdjust = 0x0200,
    kMzNoRipFail = 0x2000,
    kMzFailFirst = 0x4000,
    kMzFastBits = 0x0001 | 0x0020 | 0x0200 | 0x0800 | 0x2000,
};

enum : ErrCode {
    kErrLoopConnLeft = 53566,
    kErrLoopNoPass = 53581,
    kErrLoopNoLastPath = 53584,
    kErrLoopNotConn = 53597,
    kErrLoopNotPad = 53527,
    kErrLoopDepth = 53535,
    kErrLoopNoConn = 53589,
    kErrLoopNoObj = 53592,
    kErrLoopFatMap = 53598,
    kErrLoopNotRouteView = 53590,
    kErrLoopShowNoConn = 53591,
    kOwnerLastPath = 53579,
    kOwnerDispersePool = 53580,
};

// Messages of the catalogue.
enum : int32_t {
    kMsgNoPasses = 53541,     // "No passes enabled!"
    kMsgCantDisperse = 53542, // "Unable to disperse pin"
    kMsgNotSmt = 53545,       // "Not an SMT pad"
    kMsgPadOutside = 53546,   // "End pad is not in routing area"
};

// The idle task: one bounded step per call. An internal error raised inside
// the step gives up the connection in hand (or the window) with a line in
// the activity log, and the run goes on (steprecover.h).
void routeLoop();
int32_t routeChoice(int32_t command);
int32_t oneAttempt();
int32_t prepAttempt();
void RouteFindNext();
int32_t heurAttempt();
int32_t heurInstall(int32_t noShove);
int32_t disperseNextPad();
void disperseConn();
void urStartRouting();
void urStartBatchRouting();
void urShowCurrentConn();
