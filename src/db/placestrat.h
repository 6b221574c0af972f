// The placement strategy: the one record (type 3) that the placement
// commands read and the ASCII "*PLACE" section writes.
#pragma once
#include <cstdint>

#include "db/records.h"

// From DbInit: the record in its own block of pool 2, with its defaults.
void PlaceStratInit();
// From DbFree: forgets the record (its memory goes with pool 2).
void PlaceStratFree();
// Copies the 148 bytes out.
void PlaceStratGet(PlaceStrategy* out);
// Checks passes 1..11 (unless trusted): iterations and attempts 0..100,
// clusters not negative; then stores the record.
void PlaceStratPut(const PlaceStrategy* record);
// Registers the module with the database.
void PlaceStratRegister();
