// The random state and its step: state = state x 1,103,515,245 + 12,345
// modulo 2^32 (unsigned arithmetic wraps the same on every target); the
// value is bits 16..30 of the new state.
#include "place/plrandom.h"

namespace {
uint32_t g_state = kPlRandomStartSeed;
}

int32_t PlRandom() {
    g_state = g_state * kPlRandomMul + kPlRandomAdd;
    return int32_t((g_state >> 16) & kPlRandomMax);
}

void PlRandomSeed(uint32_t seed) {
    g_state = seed;
}
