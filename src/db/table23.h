// The Table23 table (record type 23): a small table of 16-byte records that
// travels with the design file.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kTable23Max = 500, // records in a design
};

void Table23Init(); // from DbInit: capacity from the header's count
void Table23Free(); // from DbFree: the table is absent
int32_t Table23Add();
void Table23Delete(int32_t n);
void Table23Get(int32_t n, Table23* out);
void Table23Put(int32_t n, const Table23* record);
// The checks of Table23Put without storing anything: the index 1..count and
// the first value 10..500. 0 when the put would pass, else the code of the
// first rule it fails, with the number it would report in *number (may be
// null).
ErrCode Table23PutCheck(int32_t n, const Table23* record, int32_t* number = nullptr);
int32_t Table23Count();
int32_t Table23Capacity();
// Registers the module with the database.
void Table23Register();
