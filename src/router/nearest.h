// The nearest-approach record keeps, over the attempts on one connection,
// the path that came nearest to completion and a stack of saved attempts
// for rip-fail; all of it lives in the router's second zone, which
// NearestInit resets for every connection.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : ErrCode {
    kOwnerNearest = 2177012,
};

enum : int32_t {
    kNearestNone = 1000000, // best score while nothing is kept
};

void NearestInit();
// Keeps the path when its score is below the best so far.
void Nearest(const Conn* path);
int32_t NearestRestore(Conn* out);
int32_t NearestPop(Conn* out);
// Appends a saved attempt (its cost and connection) to the record's list.
void NearestSave(int32_t cost, const Conn* conn);
// The best score (kNearestNone while nothing is kept), and the saved attempts.
int32_t NearestBest();
int32_t NearestSavedCount();
// Test-only: forgets the record (its memory went with the zone).
void NearestTestReset();
