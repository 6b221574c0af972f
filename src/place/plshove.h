// Shoving components: one component pushed a placement-grid step in a
// compass direction, pushing aside (recursively, to a depth limit) the
// components its outlines then overlap; the step is kept only when the
// component's overlap cost does not rise. Works through nested journal
// levels, each committed or rejected before the shove returns, and keeps
// the placement tree in step.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kErrPlShoveForbidden = 3623110, // the move is in the forbidden set
    kErrPlShoveMove = 3623120,      // a move code other than the four
    kErrPlShoveDepth = 3623130,     // a depth limit outside 0..10
    kErrPlShoveUnplaced = 3623140,  // an unplaced component
    kErrPlShoveComp = 3623150,      // a component outside 1..N
};

// Move codes (compass bits; the diagonals lie between them).
enum : int32_t {
    kPlMoveUp = 1,    // +y
    kPlMoveRight = 4, // +x
    kPlMoveDown = 16, // -y
    kPlMoveLeft = 64, // -x
};

enum : int32_t {
    kPlShoveMaxDepth = 10,
    kPlShoveSetMax = 10,
};

// 1 moved, 0 not moved.
int32_t PlShoveComp(int32_t c, int32_t move, int32_t forbidden, int32_t depth, int32_t spacing);
// The components c's outlines overlap where the record puts it (at most
// 10, a component hit twice listed twice).
int32_t findCompSet(int32_t c, const Component* record, int16_t* out);
// The current depth of nested shoves.
int32_t PlShoveLevel();
