// CompPlaceApply: a component record made consistent after a move or a
// turn: its angle in 0..21,599 and its box recomputed from the pads of all
// its pins (the position point when it has none).
#pragma once
#include <cstdint>

#include "db/records.h"

// Normalises the angle and recomputes the box in the record; answers 1
// when a corner of the new box lies outside the board (a Board outline or
// Comp keepin), else 0. A symbol outside the table is fatal.
int32_t CompPlaceApply(Component* record);
