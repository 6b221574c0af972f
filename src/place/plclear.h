// Clearing a component's overlaps: the components whose outlines overlap
// it are shoved aside, one direction at a time, each try in a journal
// level of its own that is kept only when the pair no longer overlaps and
// every component it moved stands legally.
#pragma once
#include <cstdint>

#include "db/records.h"
#include "place/pltree.h"

enum : int32_t {
    kPlClearMaxShoves = 10000, // shoves of one side try
};

// 1 when the component's outlines no longer overlap others (or it has no
// outline), 0 otherwise.
int32_t clearOneComp(int32_t c, const Component* record, int32_t depth, int32_t spacing);
// Moves other component o (whose outline the hit names) off outline m.
int32_t PlClearAround(int32_t c, const Obstacle* m, const PlTreeHit& q, int32_t depth,
                      int32_t spacing);
// Shoves o in the direction until m and q part; 1 on success.
int32_t PlClearSide(int32_t c, const Obstacle* m, const PlTreeHit& q, int32_t direction,
                    int32_t depth, int32_t spacing);
// The direction bits of the sides of q's box that are not free.
int32_t PlFreeSides(int32_t owner, const Obstacle* q);
// Whether no other component's keepout or Place outline overlaps the box
// and it lies in every board outline and keep-in met.
bool PlRectFree(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t comp, int32_t layer);
// Clears one component in a journal level of its own (opening the level
// below when none is open); returns at once on an abort.
void PlUnoverlap(int32_t c, const Component* record, int32_t depth, int32_t spacing);
