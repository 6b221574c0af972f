// The design-rule mark of a segment's box in the maze: the cells covering
// the segment's ends, one cell wider on every side and kept inside the
// maze's 12-cell border, take code 27 with their two top bits kept. Seed
// moves, existing rule and temporary marks, blocked cells and the border
// keep their codes, so a mark never turns a blocked cell into a passable
// one and never stops the program.
#include <algorithm>

#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/shove.h"

namespace {

bool KeepsCode(int32_t code) {
    return code == kCellSeedMove || code == kCellRuleMark || code == kCellTempMark ||
           code == kCellBlocked || code == kCellBorder;
}

} // namespace

void markSegmentBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer) {
    const int32_t m = LayerMazeIndex(layer);
    if (!m || !MazeActive() || !g_maze.rows) return;
    const int32_t loX = kMazeBorder, hiX = g_mzGrid.w - kMazeBorder - 1;
    const int32_t loY = kMazeBorder, hiY = g_mzGrid.r - kMazeBorder - 1;
    const int32_t ax = MzX(x1), bx = MzX(x2), ay = MzY(y1), by = MzY(y2);
    const int32_t x0 = std::max(std::min(ax, bx) - 1, loX);
    const int32_t x9 = std::min(std::max(ax, bx) + 1, hiX);
    const int32_t y0 = std::max(std::min(ay, by) - 1, loY);
    const int32_t y9 = std::min(std::max(ay, by) + 1, hiY);
    for (int32_t y = y0; y <= y9; ++y)
        for (int32_t x = x0; x <= x9; ++x) {
            uint8_t* cell = MazeCellPtr(x, y, m);
            if (!KeepsCode(*cell & kCellCodeMask))
                *cell = uint8_t((*cell & kCellMarks) | kCellRuleMark);
        }
}
