// The serpentine walk of windows over the board, shared by the sweep
// router and the check sweeps. Every row begins at the run's start point in
// the configured direction, runs to the board edge, comes back to the start
// point and runs to the opposite edge; a leg is taken only while the window
// it is tested on (the window just finished, or the start window once the
// walk is back at the start) does not yet reach the board's edge on that
// side, so no window lies wholly beyond the edge and none is visited twice.
// Steps are computed in 64-bit arithmetic and positions kept within 32 bits.
#pragma once
#include <cstdint>

// One axis of the walk: the position on it, the run's start on it, the
// finished window's and the board's bounds, and the step.
struct WalkAxis {
    int32_t* pos;
    int32_t start;
    int32_t winMin, winMax;
    int32_t boardMin, boardMax;
    int64_t step;
    uint8_t plus, minus; // direction codes toward higher and lower values
};

// One step along the axis: 1 when the position moved, 0 when the row (or
// the walk of rows) is done. `current` holds the walking direction in its
// low five bits; `configured` is the direction every row begins with.
int32_t WalkStep(WalkAxis a, uint8_t* current, uint8_t configured);
