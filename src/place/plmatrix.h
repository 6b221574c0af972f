// Matrix placement: the components of the current journal level are put
// into the cells of the level's Matrix obstacles, the largest component
// into the best cell. The caller owns the journal level; every moved
// component is stored through it and the placement tree follows. The
// pool is closed on every path.
#pragma once
#include <cstdint>
#include <vector>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kErrPlMatrixPool = 61901, // owner of the matrix placement's pool
};

enum : int32_t {
    kPlMatrixFiller = 2147483647, // a trailing point coordinate that is no line
};

// A component to place: its position lands on corner + offset.
struct PlGoal {
    int16_t comp;
    int16_t item; // journal item id
    int32_t offX, offY;
    float key; // pin count + box width x box height
};

// A cell of a matrix, keyed by its area less its corner's distance to the
// matrix centre.
struct PlCell {
    int32_t x, y;
    float key;
};

struct PlMatrixTables {
    std::vector<PlGoal> goals; // largest first, equal keys in arrival order
    std::vector<PlCell> cells; // largest first, equal keys in arrival order
};

// Builds both lists from the current level's items, last to first:
// components become goals (and leave the placement tree), Matrix
// obstacles give their cells.
void initGoalTable(PlMatrixTables* t);
// The cells of one Matrix obstacle's point list, in column-then-row order.
void PlMatrixCells(const Obstacle* matrix, std::vector<PlCell>* out);
// fill 0: each cell takes the first goal that may stand there; fill
// non-zero: each cell takes the next goal untested. Goals left over go to
// the first cell's corner as one cluster.
void PlMatrix(int32_t fill);
