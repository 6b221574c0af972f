// The joint test of corner edits: whether the turn at a corner between two
// octilinear legs is a right angle or wider. Pure arithmetic on signs and
// magnitudes: nothing is divided, no angle is computed, no overflow.
#pragma once
#include <cstdint>

// Installed as the router's CornerNotAcute (rulesvc.h), through which
// every caller reaches it. 1 when the legs u = (x1, y1) - (x, y) and v = (x2, y2) - (x, y) both run
// in one of the eight directions (a leg of length 0 counts as any of them)
// and are 90, 135 or 180 degrees apart; 0 for 0 and 45 degrees and
// whenever a leg runs in another direction.
bool CornerNotAcuteRules(int32_t x, int32_t y, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
