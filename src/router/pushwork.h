// What the push modules share among themselves: entering and leaving the
// push tables, the push step, the transposition of a working copy and the
// moves of single corners and segments inside PushConn.
#pragma once
#include <cstdint>

#include "db/records.h"
#include "router/push.h"

// Enters the next push table (null when none is left) and leaves it.
PushTable* PushEnter();
void PushLeave();
// The table of the current depth (null at depth 0).
PushTable* PushCurrent();

// The push step: the routing grid, or half of it while the grid is doubled.
int32_t PushStep();
// The via step: the design's via grid, or the routing grid when it is 0.
int32_t PushViaStep();
// Exchanges x and y of every corner.
void PushTranspose(Conn* record);
// 1 when k more corners fit the record (the insertion limit).
bool PushRoomFor(const Conn* record, int32_t k);

void PushConnTestReset();
