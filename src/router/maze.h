// The maze (MazeGrid): one byte per half-grid cell per maze layer over the
// routing window, with a blocked border of 12 cells, a saved second copy
// and one via-block byte per grid square per maze layer.
//
// Row y of the maze holds every maze layer side by side (layer m at bytes
// (m - 1) x W ..); consecutive rows share one pool piece, several rows to a
// piece, so whole-row work runs over contiguous memory. The row-pointer
// tables hold exactly the rows of the window (2 ny + 1 maze rows, ny + 1
// via-block rows) and live outside the pools.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "router/mzgrid.h"

// Cell codes (low five bits) and bits of a maze cell.
enum : uint8_t {
    kCellFree = 0,
    kCellSeedMove = 25,
    kCellRuleMark = 27,
    kCellTempMark = 28,
    kCellBlocked = 29,
    kCellOtherNet = 30,
    kCellBorder = 31,
    kCellCodeMask = 0x1F,
    kCellSide = 0x20,  // reached from the gap's first (source) end
    kCellMark2 = 0x40, // route mark of the second kind
    kCellMark1 = 0x80, // route mark of the first kind
    kCellMarks = 0xC0,
    kCellLow6 = 0x3F,
};

// Move kinds of the cost look-up.
enum : int32_t {
    kMoveViaFirst = 1,
    kMoveViaLast = 16,
    kMoveYPlus = 17,
    kMoveXPlus = 18,
    kMoveYMinus = 19,
    kMoveXMinus = 20,
    kMoveDiagFirst = 21,
    kMoveDiagLast = 24,
    kMoveSeed = 25,
};

enum : int32_t {
    kMazeRowLimit = 65408, // a maze or via-block row stays below this (one pool piece)
    kMazeDbLayerMax = 16,  // MazeLayerDbLayer answers maze indexes 1..16
};

// The maze's state, readable by the router's hot loops.
struct MazeState {
    uint8_t** rows = nullptr;  // R rows, or null
    uint8_t** saved = nullptr; // R rows of the saved copy, or null
    uint8_t** via = nullptr;   // ny + 1 via-block rows, or null
    int32_t rowCount = 0;      // rows in the tables
    int32_t viaRowCount = 0;
    int32_t layers = 0;         // maze layers numbered
    int32_t mazeIndex[32] = {}; // database layer -> maze index (0 none)
    int32_t mazeOwner[32] = {}; // maze index -> database layer
};
extern MazeState g_maze;

// True while the maze is active (the router's maze option).
bool MazeActive();

int32_t MazeAlloc();
// Forgets the rows and the tables (the rows' memory goes with the zone).
void MazeForget();
void MazeBorder();
int32_t MazeGet(int32_t x, int32_t y, int32_t layer);
void MazeSet(int32_t x, int32_t y, int32_t layer, int32_t value);
int32_t MazeCellClass(int32_t x, int32_t y, int32_t layer);
int32_t MazeCellCost(int32_t x, int32_t y, int32_t layer, int32_t kind);
void MazeReset(int32_t dropTemporary, int32_t dropRuleMarks);
void MazeSave(int32_t save);
// A 64-bit fingerprint of every maze cell and via-block byte; equal
// fingerprints stand for an unchanged maze (0 when there is no maze).
uint64_t MazeFingerprint();
void MazeUnmarkRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t layer);
void ViaBlockMarkRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t layer, int32_t bits);
// Replaces each byte by the table's entry for it.
void MazeTranslate(uint8_t* bytes, const uint8_t* table, int32_t count);
// The maze index of a database layer (0 none).
int32_t LayerMazeIndex(int32_t layer);
// The database layer of maze index 1..16.
int32_t MazeLayerDbLayer(int32_t index);

// Marking copper into the maze (modes 0 and 1; net decides the table).
void MazeMarkSeg(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t layer, int32_t halfWidth,
                 int32_t mode, int32_t net);
void MazeMarkRow(int32_t x0, int32_t x1, int32_t row, int32_t layer, int32_t mode, int32_t net);
void MazeMarkColumn(int32_t y0, int32_t y1, int32_t column, int32_t layer, int32_t mode,
                    int32_t net);
void MazeMarkDiagonal(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t layer, int32_t mode,
                      int32_t net);
void MazeMarkLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t layer, int32_t halfWidth,
                  int32_t net);
void MazeMarkRoundBox(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t layer, int32_t radius,
                      int32_t net);
// The 256-byte marking table for a net relation and mode.
const uint8_t* MazeMarkTable(bool goalNet, int32_t mode);

// The address of a cell (no checks).
inline uint8_t* MazeCellPtr(int32_t x, int32_t y, int32_t mazeIndex) {
    return g_maze.rows[y] + (mazeIndex - 1) * g_mzGrid.w + x;
}
