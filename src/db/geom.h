// Plane geometry of the board database: angles in minutes of arc (21,600 to
// a turn, counter-clockwise from the positive x axis), rotation of points,
// arcs turned into straight segments, and the integer distances between
// points, segments, boxes and arcs that every clearance test rests on.
//
// Coordinates are signed 32-bit database units. Every conversion from
// floating point to an integer truncates toward zero, except the feet of
// perpendiculars and the crossing points of lines, which are rounded half
// away from zero. Horizontal, vertical and 45-degree cases are decided in
// integers; elsewhere a cross product strictly between -1 and 1 counts as 0.
#pragma once
#include <cstdint>

// Location codes of the geometry's internal errors.
enum : int32_t {
    kErrArcSegCount = 5260010,    // an arc or circle split into fewer than 1 segment
    kErrCircleSegCount = 5260011, // a circle asked for more points than a record holds
    kErrArcCrossing = 5261020,    // a segment that must cross an arc's ray does not
    kErrArcBoxGrid = 5261030,     // the routing grid is below 1 while an arc is sampled
};

// ---------------------------------------------------------------------------
// Floating-point functions that give the same bits in every build: the
// platform libraries differ in the last place, and a coordinate truncated
// from such a value may then differ by one unit. Every turn, direction and
// table in the database goes through these, never through <cmath>'s sin, cos
// or atan2. Arguments in radians; accurate to about one unit in the last
// place for arguments up to a few thousand turns.
double GeomSin(double x);
double GeomCos(double x);
double GeomAtan2(double y, double x);

// ---------------------------------------------------------------------------
// Angles, rotation and arcs.

enum : int32_t {
    kAngFullTurn = 21600,
    kAngRight = 5400,
    kAngHalf = 10800,
};

// Any integer angle brought into 0..21,599.
int32_t AngNormalize(int32_t angle);

// Builds the one-degree sine and cosine tables; AngSin and AngCos call it on
// their first use, later calls do nothing.
void AngTablesInit();

// Sine and cosine of an angle in minutes: exact at multiples of 45 degrees
// (with 0.70710678 for the diagonal), otherwise the one-degree tables with
// linear interpolation.
double AngSin(int32_t angle);
double AngCos(int32_t angle);

// The direction of the vector (dx, dy) in minutes, 0..21,599; the zero
// vector gives 0.
int32_t AngAtan2(int32_t dx, int32_t dy);

// Turns the point (x, y) about the origin: quarter turns exactly, other
// angles with AngCos and AngSin.
void PtRotate(int32_t* x, int32_t* y, int32_t angle);

// Turns the offset (*dx, *dy) by the angle and adds the point (x, y); the
// result replaces the offset. Quarter turns are exact; other angles use the
// cosine and sine of angle x 3.1415926535 / 10800.
void PtRotateExact(int32_t x, int32_t y, int32_t angle, int32_t* dx, int32_t* dy);

// An arc: start, centre, end and a direction flag. Flag 1 forces a
// clockwise sweep from start to end and 2 a counter-clockwise one when the
// arc is turned into segments; the distance routines exchange start and end
// when bit 0 is set and then run the sweep counter-clockwise. A start equal
// to the end is a full circle.
struct ArcSpec {
    int32_t startX, startY;
    int32_t centreX, centreY;
    int32_t endX, endY;
    int32_t flags;
};

enum : int32_t {
    kArcClockwise = 1,
    kArcCounterClockwise = 2,
};

// Segments per quarter turn so that each chord strays at most the tolerance
// from a circle of the radius: 1 to 91.
int32_t ArcSegCount(int32_t radius, int32_t tolerance);

// The point list written by ArcToSegs and CircleToSegs has the layout of an
// obstacle record: a 48-byte head whose 16-bit point count lies at byte 46,
// then points of 12 bytes each (x and y as signed 32-bit values first). Only
// the count and the x and y of the points written are set; the buffer must
// hold the whole record of 12,060 bytes (1,001 points).
enum : int32_t {
    kSegListBytes = 12060,
    kSegListCountOffset = 46,
    kSegListPointsOffset = 48,
    kSegListPointBytes = 12,
    kSegListMaxPoints = 1001,
};

// Reads back the count and a point of such a list.
int32_t SegListCount(const void* list);
void SegListPoint(const void* list, int32_t i, int32_t* x, int32_t* y);

// The arc as a chain of points from its start to its end (exactly), within
// the tolerance; a full circle goes to CircleToSegs.
void ArcToSegs(int32_t tolerance, const ArcSpec* arc, void* out);

// A full circle of n segments per quarter turn starting at (sx, sy): 4n + 1
// points, the last at the start when 5,400 is a multiple of n.
void CircleToSegs(int32_t n, int32_t radius, int32_t cx, int32_t cy, int32_t sx, int32_t sy,
                  void* out);

// ---------------------------------------------------------------------------
// Distances between points, segments and boxes. Boxes are given by two
// corners in any order.

enum : int32_t {
    kDistNone = 134217727, // no distance found while a minimum is taken
};

// The integer distance between two points: exact along the axes, 8,119/5,741
// times the offset on a diagonal below 250,000, else two Newton steps.
int32_t PtDist(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// Distance from the point (p, q) to the segment at p-coordinate c that runs
// from r to s along q: a vertical segment as given, a horizontal one with x
// and y exchanged.
int32_t PtAxisSegDist(int32_t p, int32_t q, int32_t c, int32_t r, int32_t s);

int32_t PtSegDist(int32_t px, int32_t py, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// 0 inside the box (edges included).
int32_t PtBoxDist(int32_t px, int32_t py, int32_t bx1, int32_t by1, int32_t bx2, int32_t by2);

// Distance from a segment to the vertical segment at x = e from y = f to g.
int32_t SegAxisSegDist(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t e, int32_t f,
                       int32_t g);

// 0 when the segments cross or touch.
int32_t SegSegDist(int32_t ax1, int32_t ay1, int32_t ax2, int32_t ay2, int32_t bx1, int32_t by1,
                   int32_t bx2, int32_t by2);

// 0 when the segment touches, crosses or lies in the box.
int32_t SegBoxDist(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t bx1, int32_t by1,
                   int32_t bx2, int32_t by2);

// 1 when p lies left of the directed line a-b, -1 right of it, 0 on it.
int32_t PtLineSide(int32_t ax, int32_t ay, int32_t bx, int32_t by, int32_t px, int32_t py);

// 1 when the point lies on the segment's line; a zero-length segment gives 0.
int32_t PtOnLine(int32_t px, int32_t py, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// For a point on the segment's line: 1 when it lies within the segment's
// extent, end points included.
int32_t PtOnSeg(int32_t px, int32_t py, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// The foot of the perpendicular from the point to the segment's line (not
// clamped to the segment).
void SegNearestPt(int32_t* outX, int32_t* outY, int32_t px, int32_t py, int32_t x1, int32_t y1,
                  int32_t x2, int32_t y2);

// Where the segment's line meets the vertical line at x: 1 and the point;
// a vertical segment gives 2 and (x, yValue) when it lies on that line,
// else 0.
int32_t LineAtX(int32_t* outX, int32_t* outY, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                int32_t x, int32_t yValue);

// Where the two lines meet: 1 and the point; 2 when they coincide (the point
// is the first end of segment 2); 0 when they are parallel. A zero-length
// segment gives 0 and the foot of the perpendicular from it to the other
// line.
int32_t LineIntersect(int32_t* outX, int32_t* outY, int32_t ax1, int32_t ay1, int32_t ax2,
                      int32_t ay2, int32_t bx1, int32_t by1, int32_t bx2, int32_t by2);

// Where the two segments themselves meet: 0 not at all, 1 in a single point
// (returned), 2 along a collinear overlap (the point is one end of the
// overlap).
int32_t SegIntersect(int32_t* outX, int32_t* outY, int32_t ax1, int32_t ay1, int32_t ax2,
                     int32_t ay2, int32_t bx1, int32_t by1, int32_t bx2, int32_t by2);

// ---------------------------------------------------------------------------
// Distances to arcs. A full circle counts as a filled disc.

// The routing grid of the design header, which sampled arc boxes step by
// (the setter writes the header's grid).
int32_t GeomRoutingGrid();
void GeomSetRoutingGrid(int32_t grid);

// 1 when the point lies in the arc's angular sector, its bounding rays
// included, or the arc is a full circle.
int32_t PtInArcSector(int32_t px, int32_t py, const ArcSpec* arc);

int32_t PtArcDist(int32_t px, int32_t py, const ArcSpec* arc);
int32_t SegArcDist(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const ArcSpec* arc);
int32_t BoxArcDist(int32_t bx1, int32_t by1, int32_t bx2, int32_t by2, const ArcSpec* arc);
int32_t ArcArcDist(const ArcSpec* a, const ArcSpec* b);

// The box around the arc, lower corner first.
void ArcBox(const ArcSpec* arc, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2);
