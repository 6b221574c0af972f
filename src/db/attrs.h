// Attributes (values keyed by a kind and one or two object references) and
// the display colour table (keyed by item kind, sub-kind and layer).
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kAttrBuckets = 2048, // buckets by (first key + second key) mod 2,048
    kColorMax = 100,     // colour entries
    kColorGrow = 10,
    kColorAllLayers = 255,
};

// Header flag set by storing an attribute of kind 3.
enum : uint16_t { kHdrAttrKind3 = 0x0004 };

// Attribute kinds whose value 1 is a name (alternate footprints, gate
// assignments).
enum : int32_t {
    kAttrNameKind1 = 1,
    kAttrNameKind3 = 3,
};

// ---- attributes ------------------------------------------------------------

// From DbInit: empty buckets and list, scan filter cleared.
void AttrInit();
// From DbFree: forgets buckets, list and scan cursor (their memory goes with
// pool 2), so lookups answer absent until the next AttrInit.
void AttrFree();
// The attribute of that kind and keys: copied out and true when present
// (value 1 or value 3 not 0); otherwise out holds the key fields and zero
// values and the answer is false.
bool AttrFind(int32_t kind, int32_t key1Type, int32_t key1, int32_t key2, Attribute* out);
// Stores by key (kind, first key type, first key, second key): an existing
// attribute takes the new value 1 and value 3 and keeps its value 2.
void AttrPut(const Attribute* record);
// The rules of AttrPut, which the readers run before storing: 0 when the
// put would pass, else its code with the offending value in *number (may
// be null). Each key type is 0 (no key) or a record type; an attribute
// that is present (value 1 or value 3 not 0) also keeps the rules of its
// kind: a name kind's value 1 is a name with a text, a net's required
// layer (kind 12) is a layer of the design (1..layer count), and a net's
// allowed via type (kind 7) has a via type (record type 6) as second key.
// AttrPut under the trusted flag stores whatever has a table to go to.
ErrCode AttrPutCheck(const Attribute* record, int32_t* number = nullptr);
// Whether the attribute's kind keeps a name in value 1.
bool AttrHoldsName(int32_t kind);
// Sets the scan filter (0 = any, for each field) and rewinds to the newest.
void AttrScanStart(int32_t kind, int32_t key1Type, int32_t key1, int32_t key2);
// The next present attribute that matches the filter, newest first: true;
// at the end a zeroed record and false.
bool AttrScanNext(Attribute* out);
// After records of a type were renumbered: keys of that type in 1..count go
// through map (entries 0..count); an attribute whose key maps to 0 or above
// count loses its values (it becomes absent).
void AttrRenumber(int32_t type, const int16_t* map, int32_t count);
// Renumbers the nets' required layers (kind 12, second key) by map (old
// layer -> new, 0: gone); a required layer that is gone is dropped.
void AttrRenumberNetLayers(const int16_t* map, int32_t count);
// Registers the module with the database.
void AttrRegister();
// The number of attribute nodes (present or not), for tests.
int32_t AttrNodeCount();

// ---- display colours -------------------------------------------------------

// From DbInit: allocates for the header's colour count (none when 0).
void ColorInit();
// From DbFree: count 0, table forgotten.
void ColorReset();
// Appends a zeroed entry and answers its index; past 100 is out of memory.
int32_t ColorAdd();
// Entry n (1..count) out and in.
void ColorGet(int32_t n, ColorEntry* out);
void ColorPut(int32_t n, const ColorEntry* entry);
// The rules of ColorPut: the index 1..count and a layer byte of 255 (every
// layer) or a layer of the design. 0 when the put would pass, else its
// code, with the offending value in *number (may be null).
ErrCode ColorPutCheck(int32_t n, const ColorEntry* entry, int32_t* number = nullptr);
// The last entry moves into place n; the count falls.
void ColorDelete(int32_t n);
// The last entry with the same item kind, sub-kind and layer; 0 when none.
int32_t ColorFind(const ColorEntry* entry);
// Appends the default layer colours (item kind 1, sub-kind 0) of layers
// 0..layer count.
void ColorDefaults();
// Makes the defaults when the table was never allocated, then sorts by item
// kind, sub-kind, then layer with 255 first.
void ColorSort();
int32_t ColorCount();
// Registers the module with the database.
void ColorRegister();
