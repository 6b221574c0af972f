// The sweep table (the nine routing sweep strategies the route loop runs)
// and database scaling: rewriting every coordinate and size of the design by
// a rational factor and an offset, and the range check that ends DbValidate
// and decides when the design must be moved onto its grids.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : int32_t { kSweepCount = 9 }; // sweeps 0..8

// From DbInit: nine sweeps from pool 2, sweep i filled with the defaults of
// row i ("Sweep 0" .. "Sweep 8").
void SweepInit();
// From DbFree: forgets the table (its memory goes with pool 2).
void SweepFree();
// Copies the current sweep (the header's sweep number, 0..8) out with the
// layer-count word set to the design's layer count, the used-layer count to
// the enabled layers among 1..count, and the enable entries above the count
// cleared.
void SweepGet(Sweep* out);
// Checks and stores the current sweep, trusted or not: routing-box words
// 1..500 and 1..1,000, VIA, RETRY, LIMIT and ATTEMPS of passes 0..4 and
// Dir, Cost and Between of layers 1..count at most 100, and direction bytes
// the router can walk (by their low five bits: primary 1, 2, 4, 8 or 16; a
// secondary on the other axis, or 0..8 after primary 16; current primary
// 0, 1, 2, 4, 8 or 16; current secondary 0, 1, 2, 4 or 8). Unless trusted,
// a name of at most 31 characters. A diagonal mode with the bit of value 2
// gets the bit of value 1 too (unless trusted).
// Answers whether the bit of value 2 was set.
bool SweepPut(const Sweep* sweep);
// The checks of SweepPut without storing anything: a current sweep number
// above 8, then the rules above; 0 when the put would pass,
// else the code of the first rule it fails, with the number it would report
// in *number (may be null). Loaders call it on records taken from a file.
ErrCode SweepPutCheck(const Sweep* sweep, int32_t* number = nullptr);
// Registers the module with the database.
void SweepRegister();
// The stored sweep n (0..8) itself, for edits that touch every sweep.
Sweep* SweepSlot(int32_t n);

// ---- scaling ---------------------------------------------------------------

// Rescales the database: a position v becomes offset + v x num / den (x
// values with dx, y values with dy), a size v x num / den, in 64-bit
// arithmetic truncating toward zero; INT_MAX (unset) stays. Layer spacings,
// pad shapes, symbol pins and net widths change only when num / den is not
// 1. Records are stored with the trusted flag set, their boxes scaled along.
// The database must be valid.
void DbScale(int32_t num, int32_t den, int32_t dx, int32_t dy);
// Whether DbScale with these values would keep every value it writes within
// its field (and a 32-bit value off INT_MAX). Changes nothing.
bool DbScaleFits(int32_t num, int32_t den, int32_t dx, int32_t dy);
// The range check that ends DbValidate: with a non-empty extent, moves a
// design that lies off its grids, outside 0..limit or on odd units onto
// whole grid units with non-negative coordinates.
void DbRangeCheck();
// Registers the range check as the last step of DbValidate.
void DbScaleRegister();

// Tables that the whole-database operations (scaling, layer moves) walk
// through the generic record access: nets, connections, obstacles, texts
// and error markers register how many records they hold (records
// 1..count). A table without a count function is not walked.
void DbTableSetCount(int32_t type, int32_t (*count)());
// The registered count of a table's records; -1 when the table has no
// count function or no get and put in its module.
int32_t DbTableCount(int32_t type);
// The scaling of one record image of those types (also used for checks):
// the image is rewritten in place; answers whether every value fitted.
bool DbScaleImage(int32_t type, void* record, int32_t num, int32_t den, int32_t dx, int32_t dy);
