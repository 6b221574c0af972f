// Goal ends and cost bound of a gap: where the gap of the connection in
// hand really begins and ends inside the routing window, on which layer
// each end sits (0 any, -p a free node's pin p), on which part of the
// window's edge an end leaving it lies, and how much the search may spend.
// Everything is written into MzGoal.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : ErrCode {
    kErrGoalFirst = 2164022,
    kErrGoalLast = 2164024,
    kErrGoalTargetClip = 2164073,
};

enum : int32_t {
    kBoundUnlimited = 0x70000000, // the cost bound of a LIMIT of 100 or more
    kLimitFull = 100,
    kLimitLinear = 50, // up to this LIMIT the slack grows linearly
};

// The edge sector 1..9 of a maze point (rows 1-3 top, 7-9 bottom), turned
// by the current window direction.
int32_t mzEdgeSector(int32_t x, int32_t y);
// Partial mode: the gap's first and last corner into MzGoal.
void mzGapWindow(const Conn* record);
// The one enabled layer the pin has a pad on, 0 for none or several; for a
// free node (component 0) minus its pin.
int32_t mzPinLayer(int32_t comp, int32_t pin);
// 1 when the goal ends are set, 0 when the gap lies outside the window.
int32_t mzGoalEnds(const Conn* record);
// Sets MzGoal's cost bound from its two end cells and the pass's LIMIT.
void mzGoalBound();
