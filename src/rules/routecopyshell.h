// Services of the board window that the routing window's route copy calls
// beyond the common shell services: the front window's picked rectangle and
// query (mouse) point, and the drag picture of a copied connection.
// pelvane.exe takes them from the shell; native programs and tests from the
// headless stand-ins.
#pragma once
#include <cstdint>

#include "db/records.h"

// The toggling pen mode: drawing the same picture twice erases it.
enum : int32_t { kPenToggle = 10 };

// A rectangle of board units with its corners as the user dragged them.
struct PickRect {
    int32_t x1, y1, x2, y2;
};

// The front window's picked rectangle.
PickRect FrontPickedRect();
// The front window's query (mouse) point, in board units.
void FrontQueryPoint(int32_t* x, int32_t* y);
// Draws a connection image's straight runs and arcs in the pen mode.
void DrawPathSegments(const Conn* path, int32_t penMode);
