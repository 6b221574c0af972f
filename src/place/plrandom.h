// The placement engine's own random generator: a 32-bit linear
// congruential state giving 15-bit values, so that a seeded run draws the
// same numbers in every build.
#pragma once
#include <cstdint>

enum : uint32_t {
    kPlRandomMul = 1103515245u,
    kPlRandomAdd = 12345u,
    kPlRandomStartSeed = 1u, // the state at program start
};
enum : int32_t { kPlRandomMax = 0x7FFF };

// The next value, 0..32767.
int32_t PlRandom();
// Sets the state.
void PlRandomSeed(uint32_t seed);
