// When a connection counts as routed, and the counts built on it: a
// connection is complete when every segment is routed (none on the
// connection layer 0) and each end that belongs to a component lies on its
// pin. The routed figures of a run (the route loop's routed count, the
// statistics, the driver's figures) all count complete connections only,
// so what one step adds is the change in complete connections it made.
#pragma once
#include <cstdint>

#include "db/records.h"

// 1 when the connection is complete.
bool ConnComplete(const Conn* record);

// The complete connections of the design, those left out of the
// statistics not counted.
int32_t DesignCompleteCount();

// One connection of the open journal level as it stood before the level
// and as it stands in it.
struct LevelConnChange {
    int32_t conn; // database index
    bool completeBefore;
    bool completeAfter;
    bool counted; // not left out of the statistics
};

// Calls visit for every connection the open level holds; stops early when
// visit answers false. Nothing is visited when no level is open.
void LevelConnChanges(bool (*visit)(const LevelConnChange& change, void* context), void* context);

// The change in complete connections (counted ones) that committing the
// open level would make: gained less lost.
int32_t LevelCompletionChange();
