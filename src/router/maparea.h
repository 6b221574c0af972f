// The router's map area: the maze extent and the routing window placed
// around the centre of the visible area of the board view.
#pragma once
#include <cstdint>

// From the visible area: with pitch g and the current sweep's first two BOX
// words C and R, the maze extent runs from x low = (the centre in pitches
// less C / 2, rounded down to an even number) x g to x low + C x g, alike in
// y with R; RouteWindow is the extent inset by 6 pitches. The maze size
// becomes C by R grid points and the grid is initialised for the new area.
void MapAreaCompute(int32_t left, int32_t bottom, int32_t right, int32_t top);
