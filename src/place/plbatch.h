// The headless placement job: Proximity Place over every movable
// component, then the improvement passes, in one journal level; the
// connections of the components in it are reconnected to their pins; the level is
// committed, or rejected when the user aborts. Reports the score totals
// before and after, the components moved and the overlaps left.
#pragma once
#include <cstdint>

enum : int32_t {
    kPlBatchDefaultAttempts = 10,
    kPlBatchDefaultCooling = 90,
    kPlBatchMaxValue = 100, // attempts and cooling are clamped into 0..100
    kPlBatchUnset = -1,     // an option not given
};

struct PlBatchOptions {
    int32_t attempts = kPlBatchUnset; // overrides the strategy's value
    int32_t cooling = kPlBatchUnset;
    uint32_t seed = 1;
};

struct PlBatchScore {
    int64_t W, X, Y, T;
};

struct PlBatchReport {
    PlBatchScore before, after;
    int32_t moved;
    int32_t overlaps;
};

// The model's three totals over every component with the wire form the
// option bits choose, and their sum (zeros without components).
PlBatchScore PlBatchScoreOf(int32_t options);
// Placed components without a cluster master that the placement tree
// refuses where they stand.
int32_t PlBatchOverlaps();
// 1 done, 0 aborted (nothing changed).
int32_t PlBatchPlace(const PlBatchOptions& options, PlBatchReport* report);
