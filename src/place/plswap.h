// The swap improvement: pairs of similar movable components trade places
// while the placement score falls (at most nine passes), with gate
// exchange between them on request. It owns the placement model from
// open to free and works in a journal level of its own: committed into
// the caller's level at the end, rejected when the user aborts.
#pragma once
#include <cstdint>

#include "db/err.h"

enum : int32_t {
    kErrPlSwapPool = 3615010, // owner of the swap's pool
    kErrPlSwapMask = 3615760, // the mask copy in it
    kErrPlSwapComp = 3615240, // a component outside 1..N
};

enum : int32_t {
    kPlSwapPasses = 9,
    kPlSwapTolerance = 5, // sizes within 1/5 of the first component's
};

void PlSwapImprove(const uint8_t* mask, int32_t options);
// Tries every later partner for component a.
void PlSwapComp(int32_t a, int32_t options);
