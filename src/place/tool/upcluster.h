// A cluster made whole again after one of its components was taken out.
#pragma once
#include <cstdint>

#include "db/err.h"

enum : ErrCode {
    kErrUpClusterDepth = 3616230, // recalcCluster without exactly one level
    kErrUpClusterCount = 3616240, // recalcCluster with a negative selected count
    kErrUpClusterEmpty = 3616250, // recalcCluster over a journal without components
};

enum : int32_t {
    kClusterMoveUserUnits = 100, // members move only less than this many user units
};

// The components of the one open journal level form the cluster again:
// the one with the most footprint pins becomes its master (the first of
// equal ones) with a radius of sqrt(A / pi), A the sum of (box area + 1)
// in 64 bits; each member gets the master and radius 0, and moves to the
// reflection of its box centre through the cluster centre, coordinate by
// coordinate, where that is nearer than 100 user units. Answers the master.
int32_t recalcCluster();
