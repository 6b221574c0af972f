// The placement strategy: the one record (type 3) that the placement
// commands read and the ASCII "*PLACE" section writes.
#pragma once
#include <cstdint>

#include "db/err.h"
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
// The checks of PlaceStratPut without storing anything: 0 when the put
// would pass, else the code of the first rule it fails, with the number it
// would report in *number (may be null). Loaders call it on records taken
// from a file.
ErrCode PlaceStratPutCheck(const PlaceStrategy* record, int32_t* number = nullptr);
// Registers the module with the database.
void PlaceStratRegister();
