// Grid arithmetic between database coordinates and maze coordinates, and the
// routing window.
//
// The maze works in half-grid cells: grid point k (database coordinate
// k x G) is maze coordinate 2k - shift, odd coordinates lie half-way
// between grid lines. Maze coordinates are answered as 32-bit values so
// that points far outside the window do not wrap; only what is clipped into
// the maze is narrowed to 16 bits by the callers. Remainders take the sign
// of the value (truncating division).
#pragma once
#include <cstdint>

enum : int32_t {
    kMazeBorder = 12,  // blocked border cells on every side of the maze
    kMazeMaxNx = 500,  // grid points of the routing window along x
    kMazeMaxNy = 1000, // ... along y
    kMazeMinN = 2,
    kWindowInsetPitches = 6, // the routing window sits this many pitches inside the maze extent
};

struct MzBox {
    int32_t minX, minY, maxX, maxY;
};

// The grid and window state the maze arithmetic reads.
struct MzGridState {
    int32_t g = 1;  // routing grid G
    int32_t h = 1;  // half grid
    int32_t ox = 0; // maze origin
    int32_t oy = 0;
    int32_t sx = 0; // maze shift
    int32_t sy = 0;
    int32_t nx = 0; // routing window in grid points
    int32_t ny = 0;
    int32_t w = 0;  // cells per maze row per layer, 2 nx + 1
    int32_t r = 0;  // maze rows, 2 ny + 1
    MzBox extent{}; // the maze extent box
    MzBox window{}; // RouteWindow
};

extern MzGridState g_mzGrid;

// Sets the maze size from the window in grid points (W and R follow).
void MzSetSize(int32_t nx, int32_t ny);
// Sets the maze extent (its low corner is the maze origin) and the routing
// window.
void MzSetArea(const MzBox& extent, const MzBox& window);
// Reads G from the design header and computes h and the shift.
void mzGridInit();

int32_t MzX(int32_t x);
int32_t MzY(int32_t y);
int32_t MzWorldX(int32_t m);
int32_t MzWorldY(int32_t m);
int32_t MzSnapXDown(int32_t x);
int32_t MzSnapYDown(int32_t y);
int32_t MzSnapXUp(int32_t x);
int32_t MzSnapYUp(int32_t y);
int32_t GridRoundUp(int32_t v);
int32_t GridRoundDown(int32_t v);
int32_t HalfGridRoundUp(int32_t v);
int32_t HalfGridRoundDown(int32_t v);

// Outcode clipping of the segment (in place) to the box; 1 when part of it
// lies in the box.
int32_t MzClipLine(int32_t* x0, int32_t* y0, int32_t* x1, int32_t* y1, const MzBox& box);
// The maze's clipping box: 12, 12, 2 nx - 12, 2 ny - 12.
MzBox MzClipBox();
// 1 when the database segment reaches into the routing area; a segment
// running exactly along the clipping box's edge counts only with the flag.
int32_t MzClipSeg(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t flag);
