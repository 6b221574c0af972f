// The layer table: 31 slots, 0 the connection layer on which unrouted
// segments lie, 1..30 copper and drawing layers of which the header's layer
// count are in use.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

// Layer flag bits.
enum : uint16_t {
    kLayerEnabled = 0x0001,  // counted by LayerCountEnabled
    kLayerNoRoute2 = 0x0002, // 2, 4 and 0x20 make the layer not routable
    kLayerNoRoute4 = 0x0004,
    kLayerJumper = 0x0008, // jumper layer
    kLayerNoRoute20 = 0x0020,
};
// Header flag set when a layer first becomes a jumper layer.
enum : uint16_t { kHdrJumperLayer = 0x0100 };

// From DbInit: the header's layer count must be 1..30; fills all 31 slots
// with their default records.
void LayerInit();
// From DbFree: nothing to release.
void LayerFree();
// Raises the layer count by one and answers the new layer (its block in
// every thru code cleared); 0 at 30 layers.
int32_t LayerAdd();
// Slot n (0..30) out and in. A stored record id of 0 takes the next record
// id; a layer that becomes a jumper layer sets 0x100 in the header flags.
void LayerGet(int32_t n, Layer* out);
void LayerPut(int32_t n, const Layer* record);
// The checks of LayerPut without storing anything: 0 when the put would
// pass, else the code of the first rule it fails, with the number it would
// report in *number (may be null). Loaders call it on records taken from a
// file, so that bad file content is refused instead of ending the run.
ErrCode LayerPutCheck(int32_t n, const Layer* record, int32_t* number = nullptr);
// The stored slot n (0..30), read-only.
const Layer* LayerRef(int32_t n);
// The layer among 1..count named text, else the one whose short name is
// text; 0 when none.
int32_t LayerFind(const char* text);
// The first layer among 1..count whose short name (2) or class name (3) is
// text; 0 when none.
int32_t LayerFindName2(const char* text);
int32_t LayerFindName3(const char* text);
// Layers among 1..count with the enabled bit.
int32_t LayerCountEnabled();
// The header's layer count.
int32_t LayerCount();
// The validation step asked for by header flag 0x100: nothing to do.
void LayerValidate();
// Registers the module (and its validation step) with the database.
void LayerRegister();
