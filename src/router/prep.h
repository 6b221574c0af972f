// Net and connection preparation: before the wavefront runs on one gap,
// the gap must lie in the window, the net's layers and via table must be
// known, the connection's own copper and its net's copper must stop
// blocking it, and the pads at its ends must be enterable only from the
// directions their shapes allow.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : ErrCode {
    kErrPrepNoMap = 2164298,
    kErrPrepNoLayers = 2164299,
    kErrPrepNotConn = 2164090,
    kErrPrepConnRange = 2164092,
    kErrPrepFirst = 2164093,
    kErrPrepLast = 2164094,
    kErrPrepConnIndex = 2164095,
    kErrPrepNetNoMap = 2164398,
    kErrPrepNetNoLayers = 2164399,
};

// Reads MzGoal's connection into the working record and prepares maze,
// object map, via table and exit list for its gap; 1 prepared, 0 not
// routable in this window.
int32_t PrepConn(Conn* work);
// MzGoal's allowed layers and the via table for the net.
void PrepNet(int32_t net);
// Prepares every other object of the net in the object map.
void PrepNetObjects(int32_t net);
// Closes the sides of the pin's pad centre that its exit directions forbid.
void PrepPad(int32_t comp, int32_t pin);

// The emptying of the gap's exit list, installed by the seeding (null:
// nothing to empty).
void PrepSetExitListReset(void (*reset)());
