// Footprint classification for placement: the shape kind of a footprint
// (rows, dual rows, four sides, grids), its side flags (single-sided, no
// pads) and axis flags, stored in the footprint summary (byte 10 the shape
// kind, byte 11 the side and axis flags), and the axis of a placed
// component.
#pragma once
#include <cstdint>

#include "db/records.h"

enum : uint8_t {
    kPlShapeNone = 0,
    kPlShapeRow = 1,      // one row of 4..16 pins
    kPlShapeDual = 2,     // two equal rows
    kPlShapeSmall = 4,    // one row of 2..3 pins
    kPlShapeGrid = 8,     // a grid, not single-sided
    kPlShapeQuad = 16,    // four rows
    kPlShapeQuadSmd = 32, // four sides, single-sided
    kPlShapeLarge = 64,   // rows too long for the other kinds
};

enum : uint8_t {
    kPlAxisX = 1, // the pins run along one column (vertical)
    kPlAxisY = 2, // along one row (horizontal)
    kPlSideSingle = 4,
    kPlSideNoPads = 8,
};

// Side flags of a footprint: 4 single-sided, 8 no pads, 0 otherwise.
int32_t PlSymbolSides(int32_t symbol);
// Shape kind and axis flag of a footprint from its pins.
void PlSymbolShape(int32_t symbol, uint8_t* shape, uint8_t* axis);
// Classifies one footprint and stores the result in its summary.
void PlSymbolClassify(int32_t symbol);
// Classifies every footprint once per model.
void PlSymbolsClassifyAll();
// 2 or 1 by the footprint's axis flag and the component's quarter turn;
// 0 otherwise.
int32_t PlCompAxis(const Component* comp);
