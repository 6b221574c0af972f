// The geometry of the routing window's route copy: turning and mirroring
// the copied corners about a point, the pick test of a connection against
// the picked rectangle, the trim of a partly routed connection to its
// routed start and the clip of that start to the rectangle. Quarter turns
// are exact; other angles are truncated towards zero.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kMsgNoMatches = 61020, // "No matches found."
    kQuarterTurnMinutes = 5400,
    kFullTurnMinutes = 21600,
};

enum : ErrCode {
    kErrCopyNoCorners = 61180,
};

// Turns the corners by angle minutes of arc (0 stands for a quarter turn)
// about (cx, cy), counter-clockwise.
void routeCopyRotate(Conn* copy, int32_t cx, int32_t cy, int32_t angle);
// Moves every corner by (dx, dy), kept within 32 bits.
void routeCopyShift(Conn* copy, int64_t dx, int64_t dy);
// x becomes 2 cx - x on every corner.
void routeCopyMirror(Conn* copy, int32_t cx);
// 1 when a routed segment of the connection meets the rectangle (in grid
// units).
int32_t pickConnInRectangle(const Conn* conn, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// Reverses a connection whose first segment is unrouted; 0 when it is
// fully routed, 1 when partly routed (then cut after its first unrouted
// segment's start corner).
int32_t routeCopyTrim(Conn* conn);
// Deletes the routed segments whose box misses the rectangle (board units,
// edges touching meet) before the first and after the last one that meets
// it, so that the copy stays one path; the new last corner starts no
// routed segment. A connection none of whose segments meets it is kept.
void routeCopyClip(Conn* conn, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
