// The routing window's paint commands: the router's object map, maze or
// via map of the active layer painted into the board view one marker per
// cell, for inspection. Nothing is changed.
#pragma once
#include <cstdint>

#include "db/err.h"

enum : int32_t {
    kCmdPaintMap = 30910,
    kCmdPaintUsedCells = 30914,
    kCmdPaintNoViaCells = 30916,
    kPaintEmpty = 0,
    kPaintEdge = 2,
    kPaintUsed = 7,
};

enum : ErrCode {
    kErrPaintCommand = 61179,
};

// Paints the map the command names (map not valid, a layer not enabled or
// a via type not defined: an alert and nothing painted).
void paintMapLayer(int32_t command);
// 1 (after painting) for the three paint commands, else 0.
int32_t urPaintCommand(int32_t command);
