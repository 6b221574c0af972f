// Gate exchange between two components of one package (or two gates of
// one component): equivalent gates trade places when that shortens the
// weighted length of the nets involved; a kept exchange is recorded in
// gate-assignment attributes and in the connection ends, all through the
// journal (the caller holds a level open).
#pragma once
#include <cstdint>

#include "db/err.h"

enum : int32_t {
    kErrPlGatePool = 3619010,       // owner of the working net list's pool
    kErrPlGateNetList = 3619240,    // a net outside 1..N while collecting
    kErrPlGateNetMeasure = 3619340, // ... while measuring
    kErrPlGateNetConn = 3619440,    // ... while rewriting connections
    kErrPlGateMaps = 3619790,       // the two pin maps disagree
    kErrPlGatePoints = 3619820,     // the per-net pin point tables are missing
    kErrPlGateWorkList = 3619840,   // the working net list is missing
};

enum : int32_t {
    kPlMaxGates = 20,    // gates of a component considered
    kPlAttrGateKind = 3, // attribute kind of a gate assignment
    kPlAttrGateSub = 9,  // its first key: a component
};

// 1 when at least one exchange was made.
int32_t PlGateSwap(int32_t a, int32_t b);
