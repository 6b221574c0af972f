// Marking copper into the maze. Four constant 256-byte tables translate a
// cell byte into its value under copper, by whether the copper is the goal
// net's and by the marking mode; every row or column run is one table
// look-up per cell. While the goal's saved-copy flag is set the saved copy
// is marked alike, its table chosen against the saved goal object's net.
#include <algorithm>
#include <array>
#include <cstdlib>

#include "db/layers.h"
#include "router/layertab.h"
#include "router/maze.h"
#include "router/objtable.h"
#include "router/urstate.h"
#include "db/shellsvc.h"

namespace {

// Per table, per top-bit group (0x00, 0x40, 0x80, 0xC0): the value for codes
// 0..26, then for codes 27, 28, 29, 30, 31.
typedef uint8_t Group[6];
const Group kOtherMode0[4] = {{0x9E, 0x9B, 0x9C, 0x1D, 0x1D, 0x1D},
                              {0x9E, 0x9B, 0x9C, 0x1D, 0x9E, 0x1D},
                              {0x80, 0x9B, 0x9C, 0x1D, 0x9E, 0x1D},
                              {0x80, 0x9B, 0x9C, 0x1D, 0x80, 0x1D}};
const Group kGoalMode0[4] = {{0x80, 0x9B, 0x9C, 0x1D, 0x1D, 0x1D},
                             {0x80, 0x9B, 0x9C, 0x1D, 0x80, 0x1D},
                             {0x80, 0x9B, 0x9C, 0x1D, 0x80, 0x1D},
                             {0x80, 0x9B, 0x9C, 0x1D, 0x80, 0x1D}};
const Group kOtherMode1[4] = {{0x40, 0x5B, 0x5C, 0x1D, 0x1D, 0x1D},
                              {0x40, 0x5B, 0x5C, 0x1D, 0x40, 0x1D},
                              {0x9E, 0x9B, 0x9C, 0x1D, 0x9E, 0x1D},
                              {0xC0, 0xDB, 0xDC, 0x1D, 0xC0, 0x1D}};
const Group kGoalMode1[4] = {{0xC0, 0xDB, 0xDC, 0x1D, 0x1D, 0x1D},
                             {0xC0, 0xDB, 0xDC, 0x1D, 0xC0, 0x1D},
                             {0x80, 0x9B, 0x9C, 0x1D, 0x80, 0x1D},
                             {0xC0, 0xDB, 0xDC, 0x1D, 0xC0, 0x1D}};

constexpr int32_t kFirstNamedCode = 27;

std::array<uint8_t, 256> Expand(const Group groups[4]) {
    std::array<uint8_t, 256> t{};
    for (int32_t i = 0; i < 256; ++i) {
        int32_t code = i & kCellCodeMask;
        const Group& g = groups[(i & kCellMarks) >> 6];
        int32_t col = code < kFirstNamedCode ? 0 : code - kFirstNamedCode + 1;
        // The source-side bit maps as its group without it for the move
        // codes and to blocked for the named codes.
        if ((i & kCellSide) && code >= kFirstNamedCode)
            t[i] = kCellBlocked;
        else
            t[i] = g[col];
    }
    return t;
}

const std::array<uint8_t, 256>& Table(bool goalNet, int32_t mode) {
    static const std::array<uint8_t, 256> tables[4] = {Expand(kOtherMode0), Expand(kGoalMode0),
                                                       Expand(kOtherMode1), Expand(kGoalMode1)};
    return tables[(mode == 1 ? 2 : 0) + (goalNet ? 1 : 0)];
}

constexpr int32_t kNoNet = INT32_MIN; // matches no copper

int32_t NetOfEntry(int32_t entry) {
    if (!ObjTableValid() || entry < 1 || entry > ObjCount()) return kNoNet;
    return ObjEntry(entry)->net;
}

// The tables for the maze and, when it is marked too, the saved copy.
struct Tables {
    const uint8_t* maze;
    const uint8_t* saved; // null when the saved copy is not marked
};

Tables TablesFor(int32_t net, int32_t mode) {
    const MzGoal* goal = Goal();
    Tables t{Table(goal && net == NetOfEntry(goal->objIndex), mode).data(), nullptr};
    if (goal && goal->savedCopy && g_maze.saved && g_maze.saved[0])
        t.saved = Table(net == NetOfEntry(goal->savedGoalObj), mode).data();
    return t;
}

int32_t MarkIndex(int32_t layer) {
    if (!MazeActive() || !g_maze.rows || !g_maze.rows[0]) return 0;
    if (layer < 1 || layer > kMaxLayers) return 0;
    return g_maze.mazeIndex[layer];
}

int32_t Step() {
    return ShellGridDoubling() ? g_mzGrid.h : g_mzGrid.g;
}

int32_t FloorDivUp(int64_t v, int32_t g) { // (v + g - 1) / g, truncating
    return int32_t((v + g - 1) / g);
}

int32_t Sign(int64_t v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// The grid-line cells a database run lo..hi covers along one axis, kept to
// the inner area of a line of `cells` cells; false when none.
bool Span(int32_t a, int32_t b, int32_t origin, int32_t cells, int32_t* first, int32_t* last) {
    const int32_t g = g_mzGrid.g;
    int64_t lo = std::min(a, b), hi = std::max(a, b);
    *first = 2 * FloorDivUp(lo - origin, g);
    *last = 2 * int32_t((hi - origin) / g);
    if (*first <= kMazeBorder - 2) *first = kMazeBorder;
    if (*last >= cells - kMazeBorder) *last = cells - kMazeBorder - 1;
    return *last >= *first;
}

} // namespace

const uint8_t* MazeMarkTable(bool goalNet, int32_t mode) {
    return Table(goalNet, mode).data();
}

void MazeMarkRow(int32_t x0, int32_t x1, int32_t row, int32_t layer, int32_t mode, int32_t net) {
    int32_t m = MarkIndex(layer);
    if (!m) return;
    const MzGridState& s = g_mzGrid;
    int32_t first, last;
    if (row < kMazeBorder || row >= s.r - kMazeBorder) return;
    if (!Span(x0, x1, s.ox, s.w, &first, &last)) return;
    Tables t = TablesFor(net, mode);
    int32_t base = (m - 1) * s.w + first, count = last - first + 1;
    MazeTranslate(g_maze.rows[row] + base, t.maze, count);
    if (t.saved) MazeTranslate(g_maze.saved[row] + base, t.saved, count);
}

void MazeMarkColumn(int32_t y0, int32_t y1, int32_t column, int32_t layer, int32_t mode,
                    int32_t net) {
    int32_t m = MarkIndex(layer);
    if (!m) return;
    const MzGridState& s = g_mzGrid;
    int32_t first, last;
    if (column < kMazeBorder || column >= s.w - kMazeBorder) return;
    if (!Span(y0, y1, s.oy, s.r, &first, &last)) return;
    Tables t = TablesFor(net, mode);
    int32_t offset = (m - 1) * s.w + column;
    for (int32_t y = first; y <= last; ++y) {
        uint8_t& c = g_maze.rows[y][offset];
        c = t.maze[c];
        if (t.saved) {
            uint8_t& d = g_maze.saved[y][offset];
            d = t.saved[d];
        }
    }
}

void MazeMarkDiagonal(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t layer, int32_t mode,
                      int32_t net) {
    int32_t m = MarkIndex(layer);
    if (!m) return;
    if (y1 < y0) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const MzGridState& s = g_mzGrid;
    Tables t = TablesFor(net, mode);
    int32_t dx = x1 > x0 ? 1 : (x1 < x0 ? -1 : 0);
    int32_t base = (m - 1) * s.w;
    for (int32_t x = x0, y = y0; y <= y1; ++y, x += dx) {
        if (x < kMazeBorder || y < kMazeBorder || x >= s.w - kMazeBorder ||
            y > s.r - kMazeBorder - 1)
            continue;
        uint8_t& c = g_maze.rows[y][base + x];
        c = t.maze[c];
        if (t.saved) {
            uint8_t& d = g_maze.saved[y][base + x];
            d = t.saved[d];
        }
    }
}

void MazeMarkLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t layer, int32_t w,
                  int32_t net) {
    const int32_t h = g_mzGrid.h;
    int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
    int64_t nxs = std::llabs(dx) / h, nys = std::llabs(dy) / h;
    int32_t sx = Sign(dx), sy = Sign(dy);
    int64_t sum = 0;
    if (nys < nxs) {
        int32_t column = MzX(x0);
        int64_t y = y0;
        for (int64_t i = 0; i < nxs; ++i) {
            sum += nys;
            bool over = sum > nxs;
            if (over) y += int64_t(h) * sy;
            MazeMarkColumn(int32_t(y - w), int32_t(y + w), column, layer, 0, net);
            if (over) sum -= nxs;
            column += sx;
        }
    } else {
        int32_t row = MzY(y0);
        int64_t x = x0;
        for (int64_t i = 0; i < nys; ++i) {
            bool over = sum + nxs > nys;
            if (over) x += int64_t(h) * sx;
            MazeMarkRow(int32_t(x - w), int32_t(x + w), row, layer, 0, net);
            sum += nxs;
            if (over) sum -= nys;
            row += sy;
        }
    }
}

void MazeMarkRoundBox(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t layer, int32_t r,
                      int32_t net) {
    if (!MarkIndex(layer)) return;
    if (x1 < x0) std::swap(x0, x1);
    if (y1 < y0) std::swap(y0, y1);
    const MzGridState& s = g_mzGrid;
    const MzBox& win = s.window;
    if (x1 < win.minX || x0 > win.maxX || y1 < win.minY || y0 > win.maxY) return;
    bool doubling = ShellGridDoubling();
    int32_t g, e, i;
    if (doubling) {
        g = FloorDivUp(int64_t(y0) - s.oy, s.h);
        e = int32_t((int64_t(y1) - s.oy) / s.h);
        i = r / s.h;
    } else {
        g = 2 * FloorDivUp(int64_t(y0) - s.oy, s.g);
        e = 2 * int32_t((int64_t(y1) - s.oy) / s.g);
        i = 2 * (r / s.g);
    }
    if (e < g) g = e;
    g = std::max(g, int32_t(kMazeBorder));
    e = std::min(e, s.r - kMazeBorder - 1);
    for (int32_t row = g + 1; row <= e - 1; ++row)
        MazeMarkRow(x0 - r, x1 + r, row, layer, 0, net);
    int32_t j = 0, d = 3 - 2 * i, dx = 0;
    while (j < i) {
        MazeMarkRow(x0 - dx, x1 + dx, e + i, layer, 0, net);
        MazeMarkRow(x0 - dx, x1 + dx, g - i, layer, 0, net);
        MazeMarkRow(x0 - r, x1 + r, e + j, layer, 0, net);
        MazeMarkRow(x0 - r, x1 + r, g - j, layer, 0, net);
        if (d < 0) {
            d += 4 * j + 6;
        } else {
            r -= s.h;
            d += 4 * (j - i) + 10;
            i -= 1;
        }
        j += 1;
        dx += s.h;
    }
    if (i == j) {
        MazeMarkRow(x0 - dx, x1 + dx, e + i, layer, 0, net);
        MazeMarkRow(x0 - dx, x1 + dx, g - i, layer, 0, net);
    }
}

void MazeMarkSeg(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t layer, int32_t halfWidth,
                 int32_t mode, int32_t net) {
    if (!MarkIndex(layer)) return;
    const MzGridState& s = g_mzGrid;
    bool doubling = ShellGridDoubling();
    int32_t step = Step();
    int32_t lineStep = doubling ? s.h : s.g;
    const LayerRec* rec = LayerRecOf(layer);
    int32_t vb = rec ? rec->vert[0] : 0, hb = rec ? rec->horz[0] : 0;
    if (y0 == y1 && x0 != x1) {
        if (y0 % lineStep == 0 && halfWidth <= step) {
            MazeMarkRow(x0, x1, MzY(y0), layer, (mode == 1 && hb >= vb) ? 1 : 0, net);
            return;
        }
        MazeMarkRoundBox(x0, y0, x1, y1, layer, halfWidth, net);
        return;
    }
    if (x0 == x1) {
        if (x0 % lineStep == 0 && halfWidth <= step) {
            MazeMarkColumn(y0, y1, MzX(x0), layer, (mode == 1 && vb >= hb) ? 1 : 0, net);
            return;
        }
        MazeMarkRoundBox(x0, y0, x1, y1, layer, halfWidth, net);
        return;
    }
    int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
    if (std::llabs(dx) == std::llabs(dy) && halfWidth < step && x0 % s.h == 0 && y0 % s.h == 0) {
        MazeMarkDiagonal(MzX(x0), MzY(y0), MzX(x1), MzY(y1), layer, mode, net);
        return;
    }
    MazeMarkLine(x0, y0, x1, y1, layer, halfWidth, net);
}
