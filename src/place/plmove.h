// Moving nodes of the placement model: a chain moved as one (with or
// without its pin points), the test that a box lies in the placement
// area, the grid snap, the random spot of a move and the scatter that
// starts a full run.
#pragma once
#include <cstdint>
#include <vector>

// Moves every member of the node's chain by (new - old); the boxes move
// with them.
void PlNodeMove(int32_t node, int32_t nx, int32_t ny, int32_t ox, int32_t oy);
// As PlNodeMove, and moves the chain's pin points in the net tables.
void PlNodeShift(int32_t node, int32_t nx, int32_t ny, int32_t ox, int32_t oy);
// Whether every box of the node's chain lies inside the placement area.
bool PlNodeInside(int32_t node);
// v rounded to the nearest multiple of step, halves upward.
int32_t PlSnap(int32_t v, int32_t step);
// A new reference point for the node (phase 1: anywhere in its region or
// the area; phase 2: within the run's ranges).
void PlRandomSpot(int32_t node, int32_t phase, int32_t* x, int32_t* y);
// Every node of region other than -1 moved to a phase-1 spot.
void PlScatter();
// The nets of the node's chain not yet in out, appended to it.
void PlChainNets(int32_t node, std::vector<int16_t>& out);
