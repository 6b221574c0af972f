// Shoving a found path into place: the path's vias and jumpers get room,
// every routed segment is rebuilt by the stitching routines (which push
// other routes aside) and, when nothing failed, the path is mapped and put
// into the open journal level. A failed shove leaves the path as a saved
// candidate of the nearest-approach record and the blocked areas marked
// with the design-rule mark in the maze, so the next attempt avoids them.
//
// The shove state is one global record: the failure flag the stitching
// routines set too, the jump permission, and the two scratch records
// (an unchanged copy of the path and a work copy) that the gathering
// treats as the goal's copper while a shove runs. Everything else lives on
// the scratch stack and is returned on every path.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : uint16_t {
    kMzNoJump = 0x0020,      // MzFlags: no jumpers
    kMzLoopPrevent = 0x8000, // MzFlags: the router's own repeat guard
};

// The shove state.
struct ShoveState {
    int32_t shoveFailed = 0;  // 1 once any step failed
    int32_t jumpsAllowed = 0; // 1 unless No Jump is set
    int32_t word1 = 0;        // cleared at the start of every shove
    int32_t word2 = 0;
    Conn* original = nullptr; // unchanged copy of the path being rebuilt (null: none)
    Conn* work = nullptr;     // its copy without corner widths
    Conn* cleared = nullptr;  // the cleared path under construction (null: none)
};
extern ShoveState g_shove;

// Shoves the path into place; 1 when it was shoved, mapped and put into
// the journal level. The path is replaced by the result either way.
int32_t mzShovePath(Conn* path);
// Rebuilds the routed segments of the path; 1 success, 0 failure.
int32_t ClearSeg(Conn* path);
// Re-checks the boxes of the cleared path's segments; 1 clean.
int32_t doubleCheck(Conn* path);
// Moves half-grid corners where a gap meets routed copper onto the grid.
void snipPathEnds(Conn* path);
// Swaps x and y of every corner.
void ConnTranspose(Conn* record);
// Marks the maze cells of the segment's box with the design-rule mark.
void markSegmentBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer);

// The cleared path's editing, shared by ClearSeg and the stitching bodies:
// appends corner i + 1 of the source as the end of segment i, the
// segment taking corner i's layer and width (a gap when unrouted).
void ShoveAppendSeg(Conn* out, const Conn* source, int32_t i, bool unrouted);
