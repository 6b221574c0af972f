// The stitching bodies of the rule checker's provisional calls: they move
// nothing. A segment that is free is appended to the cleared path as it
// stands; one that is not is left out and its box is marked with the
// design-rule mark so the next attempt avoids it. Until the rule checker
// installs its stitching, other routes in a path's way are ripped up as
// hops or avoided, never pushed by a stitch.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : ErrCode {
    kErrStitchNotStraight = 2166101, // a straight stitch of a segment that is not vertical
    kErrStitchNotDiagonal = 2166102, // a diagonal stitch of a segment not at 45 degrees
};

int32_t StandStitchStraightSeg(Conn* path, int32_t transposed, int32_t segment);
int32_t StandStitchDiagSeg(Conn* path, int32_t segment);
