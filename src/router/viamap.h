// The via map (ViaMap): for every via type one byte per grid point of the
// routing window telling whether a via of that type may stand there. Maze
// cell (x, y) belongs to grid point (x >> 1, y >> 1). Rows are blocks of
// (via types) x (nx + 1) bytes from the router's first zone; the row table
// lives outside the pools. Also the one number the router takes for a via
// pad's size.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

// Bits of a via-map byte.
enum : uint8_t {
    kViaBlocked = 0x80, // a via of this type may not stand here
    kViaOnPad = 0x20,   // on a pad, an obstacle fill or a corridor between pads
    kViaTemp = 0x40,    // temporary mark of the via and jumper clearing
    kViaFillBits = kViaBlocked | kViaOnPad,
};

enum : int32_t {
    kViaRowLimit = 65408, // a row block stays below this (one pool piece)
};

// Allocates the map for the current window; 1, or 0 when a row block would
// not fit one pool piece or memory runs out.
int32_t ViaInit();
// Forgets the map (its memory goes with the first zone).
void ViaForget();
// The via-type count the map was built for (0 while absent).
int32_t ViaMapTypes();
void ViaMapClear();
// The byte of via type t (1..N) at maze cell (x, y); 0 off the map.
int32_t ViaMapGet(int32_t x, int32_t y, int32_t t);
// ORs the bits into the grid points of the rectangle, kept 2 cells inside.
void ViaMapMarkRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t t, int32_t bits);
// Clears the temporary bit everywhere.
void ViaReset();
// Marks every pad entry of the object table for every via type (ViaMapPad);
// 1, or 0 when the user aborted (polled every 32 entries).
int32_t ViaMapBlockAreas();
// Marks the via map of type t around the pin of pad entry `entry`: the pad
// itself (0xA0), the reach of a via's pad plus the via-to-pad clearance
// (0x80), and the corridor to a pad in the same column or row (0xA0, with
// the maze's via-block bit 0x20, resp. 0x10).
void ViaMapPad(int32_t entry, int32_t t);

// A via pad's size on a layer as one number: the first extent for ROUND,
// SQUARE, THERMAL and ANNULAR, the largest extent for other shapes, 0
// without a pad.
int32_t ViaPadSize(int32_t viaType, int32_t layer);
// The pad code of via type t's first pad on the layer (0 none) and its four
// extents.
int32_t ViaPadShape(int32_t viaType, int32_t layer, int32_t ext[4]);

// Gives every layer change of corners first..last a via; 1 when every
// change has one, 0 when a pair has none or an end's pin misses its layer.
int32_t ConnAssignVias(Conn* record, int32_t first, int32_t last);
