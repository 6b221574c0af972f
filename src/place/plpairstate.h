// The state the pair-table operations share: the pool of the tables
// (owner 3607410), one table per net (null: none), the copy of the
// selection mask and the selection tables of the marked nets.
#pragma once
#include <cstdint>
#include <vector>

#include "place/plpair.h"

struct PlPairState {
    int32_t pool;
    std::vector<PlPairTable*> nets;      // 0..net count
    std::vector<PlPairTable*> selection; // 0..net count
    uint8_t* mask;                       // component count + 1 bytes
    bool selected;                       // PairSelect ran
};

extern PlPairState g_pairs;

// A table of n entries from the pairs' pool.
PlPairTable* PairTableNew(int32_t n);
// Copies a table's count, flags and entries.
void PairTableCopy(PlPairTable* to, const PlPairTable* from);
// Builds the tables when they are missing.
void PairTablesEnsure();
// Whether component c is selected (0 is never).
bool PairCompSelected(int32_t c);
