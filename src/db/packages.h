// The package table: the logical pins of a part type, independent of its
// footprint. Each pin carries two names and a few small codes; a component
// names its package, and placement and the ordering of a net's connections
// read the package pins of a component. Packages are never deleted.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kPkgMax = 2000, // packages in a design
    kPkgGrow = 20,  // the index grows this many entries at a time
};

// From DbInit: room for the header's package count, count 0.
void PkgInit();
// From DbFree: forgets the table (its memory goes with pool 2).
void PkgReset();
// Appends a package with a zeroed summary and no pins; answers its index.
int32_t PkgAdd();
// Packages cannot be deleted: after the index check this ends the run.
[[noreturn]] void PkgDelete(int32_t n);
// Copies package n out (summary padded to 16 bytes, empty pin slot 0, pins
// 1..count). A package never stored gives the full default record; a stored
// one without pins keeps its summary and gets the default pins.
void PkgGet(int32_t n, Package* out);
// Checks and stores summary and pins.
void PkgPut(int32_t n, const Package* record);
// The checks of PkgPut without storing anything: 0 when the put would pass,
// else the code of the first rule it fails, with the number it would report
// in *number (may be null). Loaders call it on records taken from a file,
// so that bad file content is refused instead of ending the run.
ErrCode PkgPutCheck(int32_t n, const Package* record, int32_t* number = nullptr);
void PkgInfoGet(int32_t n, PackageInfo* out);
// Pin p; a zeroed pin when p is outside 1..count or the package has no pins.
void PkgPinGet(int32_t n, int32_t p, PackagePin* out);
// The first package named text, 0 when none.
int32_t PkgFind(const char* text);
int32_t PkgPinCount(int32_t n);
int32_t PkgCount();
// The code byte of pin p of component c's package; 0 when c is 0 or has no
// package.
int32_t CompPkgPinCode(int32_t c, int32_t p);

// Registers the module with the database.
void PkgRegister();
