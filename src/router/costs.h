// The router's cost tables: CostScale (a strategy percentage made a cost),
// PrepCost (the costs of one pass), the via cost table, the via-area table,
// the usable via types and the layer-pair via table (ViaPairTable) with
// PrepViaTable and mzLayerPairInit.
#pragma once
#include <cstdint>

#include "db/records.h"

enum : int32_t {
    kCostMax = 2028,    // the largest move cost
    kViaCostMax = 4086, // the largest via cost, also the cost of an unusable via type
    kCostUnknownMove = 4095,
    kViaTypeLimit = 250, // via types the cost tables hold
    kViaAreaEntries = 251,
    kViaAreaLimit = 10000000, // the via-area search starts below this
    kIterateMax = 1000,
};

// The layer-pair via table: the via type between two database layers.
extern uint8_t g_viaPair[kLayerSlots][kLayerSlots];
// Usable via types (1..count) and their count.
extern uint8_t g_viaUsable[kViaAreaEntries];
extern int32_t g_viaUsableCount;
// The net PrepViaTable last built the pair table for (0 = all nets).
extern int32_t g_viaTableNet;
// The hop cost of the pass.
extern int32_t g_hopCost;

// p (0..100) as a cost between low and high around base.
int32_t CostScale(int32_t p, int32_t low, int32_t base, int32_t high);

// Allocates the via cost table (one entry per via type 0..count) in the
// first zone; 1, or 0 when memory is exhausted.
int32_t ViaCostTableAlloc();
// The via cost of a type (0: the lowest of the pass).
int32_t ViaCost(int32_t type);
// The via area of a type (0 before the first PrepCost).
int32_t ViaArea(int32_t type);

int32_t PrepCost(int32_t pass);
int32_t PrepViaTable(int32_t net);
// Finds the usable via types; with exactly one, fills the pair table.
int32_t mzLayerPairInit();
// Forgets the via tables (their memory goes with the first zone).
void CostTablesForget();
