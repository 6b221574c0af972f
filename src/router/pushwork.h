// What the push modules share among themselves: entering and leaving the
// push tables, the step sizes, the corner
// room and pinning, and the moves PushConn hands to the via, jumper and
// detour modules. Every move works on the current table's working copy in
// the push orientation and answers 1 done, 0 refused.
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
// 1 when k more corners fit the record without passing the insertion limit.
bool PushRoomFor(const Conn* record, int32_t k);
// Locked or Latched.
bool PushPinned(const Crn& c);
// A corner of the working copy in world coordinates.
void PushWorld(const PushTable* t, const Crn& c, int32_t* x, int32_t* y);
// Inserts k copies of corner a and clears via and pin flags of the copies.
void PushInsert(Conn* record, int32_t a, int32_t k);
// Removes corners i + 1 .. last that coincide with the corner before them
// and carry no via and no pin flags.
void PushDropCoinciding(Conn* record, int32_t first, int32_t last);
// 1 when the layer is a jumper layer.
bool PushJumperLayer(int32_t layer);
// Half the width of segment i in database units.
int32_t PushHalfWidth(const Conn* record, int32_t i);

// Via at corner i moved one push step (s, the table's direction). Result 1
// moved, 0 refused, kPushViaHop when the via's legs became a hop instead.
enum : int32_t { kPushViaHop = 2 };
int32_t PushViaMove(PushTable* t, int32_t i, int32_t s);
// The jumper of segment j moved whole by one via step.
int32_t PushJumperMove(PushTable* t, int32_t j);
// The detour around the pad entry blocking the moved part (X', L, U) of
// half width w; on success the table's working coordinates hold Y0, Y1, X2.
int32_t PushPadDetour(PushTable* t, int32_t pad, int32_t xNew, int32_t low, int32_t up, int32_t w);

void PushConnTestReset();
