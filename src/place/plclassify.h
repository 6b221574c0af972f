// Component classes (the CLASSIFY step): large parts of one package or pin
// count that share their nets become classes of their own group number and
// class word 1024; small parts of one footprint wired alike become class
// 2048. Flags are stored through the journal (the caller holds a level).
#pragma once
#include <cstdint>
#include <vector>

#include "db/err.h"

enum : int32_t {
    kPlMaxCandidates = 248, // class candidates of one step
    kPlMaxMembers = 500,    // members of a candidate
    kPlClassMinMembers = 3, // a large candidate needs more members
    kPlSmallMinMembers = 4, // a small candidate needs more members
    kPlSharedMembers = 3,   // a net counts when more members share it
    kPlLargePins = 3,       // large parts have more pins
    kPlSmallPinsMin = 2,
    kPlSmallPinsMax = 3,
};

void PlClassify();
// The net on each pin 1..n of a component of the model (0 none), index 0
// unused.
std::vector<int32_t> PlCompPinNets(int32_t c);
