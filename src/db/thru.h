// Thru codes (padstacks): one set of pad shapes for every layer. Thru codes
// 1..V (the header's via count) are the via types; the rest are the
// padstacks that symbol pins refer to.
//
// Every thru code is kept in memory at the full 31-layer size, so a thru
// code made before a layer was added stays readable; ThruRecSize, the size
// of the layer count in force, applies to copies and files.
#pragma once
#include <cstdint>

#include "db/records.h"

// Pad shape codes.
enum : uint8_t {
    kPadUndef = 0,
    kPadRound = 1,
    kPadSquare = 2,
    kPadOblong = 3,
    kPadRect = 4,
    kPadOval = 5,
    kPadThermal = 6,
    kPadAnnular = 7,
};

enum : int32_t {
    kThruMax = 1000,    // thru codes in a design
    kThruMaxVias = 250, // predefined thru codes (via types)
    kThruShapes = 4,    // pad shapes in a layer block
};

// 12 + 108 x (layer count + 1).
int32_t ThruRecSize();
// From DbInit: the table must be empty, V 1..250 and the header's thru-code
// count V..1,000; creates thru codes 1..V with their default records.
void ThruInit();
// From DbFree: forgets the table.
void ThruReset();
// Appends a thru code (all fields 0, the name of its index) and answers its
// index; past 1,000 is out of memory.
int32_t ThruAdd();
// Thru code n (1..count) out in ThruRecSize bytes.
void ThruGet(int32_t n, ThruCode* out);
// The stored thru code n (1..count), read-only, at the full 31-layer size.
const ThruCode* ThruRef(int32_t n);
// Checks (unless trusted) and stores thru code n (1..count) from
// ThruRecSize bytes of record; a record id of 0 takes the next record id.
// A shape count above 4 on any layer is refused even when trusted.
void ThruPut(int32_t n, const ThruCode* record);
// Deletes padstack n (V < n <= count); later thru codes move down.
void ThruDelete(int32_t n);
// The layer block of thru code t (1..count) for layer l (0..layer count).
void ThruPadGet(int32_t t, int32_t l, ThruLayer* out);
// The number of thru codes.
int32_t ThruCount();
// Clears layer l's block (0..30) in every thru code (a layer was added).
void ThruClearLayer(int32_t l);
// Registers the module with the database.
void ThruRegister();

// The symbol table's part of ThruDelete: after the gap is closed, every
// symbol pin's thru code goes through map (entries 0..oldCount, the deleted
// thru code mapped to 0). Null removes it.
typedef void (*ThruRenumberHook)(const int16_t* map, int32_t oldCount, int32_t deleted);
// Installs the hook and answers the one it replaces.
ThruRenumberHook ThruSetRenumberHook(ThruRenumberHook hook);

// ---- padstack helpers ------------------------------------------------------

// The layer block of padstack p on a layer, copied out.
void PadstackGet(int32_t padstack, int32_t layer, ThruLayer* out);
// The layer block itself, read-only.
const ThruLayer* ThruPadRef(int32_t padstack, int32_t layer);
// The pad's size on the layer: the first shape's first extent (its radius
// or half size); 0 when the layer has no pad.
int32_t ThruPadWord(int32_t padstack, int32_t layer);
// True when the padstack has a pad on the layer: a shape with a code and a
// non-zero size.
bool PadstackOnLayer(int32_t padstack, int32_t layer);
// The padstack named text, 0 when none.
int32_t PadstackFind(const char* text);
