// Pushing connections aside: when new copper needs room, the routed
// connections in its way move sideways one push step at a time instead of
// being ripped up. Every push works in one orientation: the pushing object
// is a line x = a from y1 to y2, and connections move in +x or -x; a push
// in y passes the transposed flag and works on transposed connections.
//
// A push of one connection may push further connections, so pushes nest;
// each nesting level works in its own push table, a stack of 25 tables
// taken once when the router opens (no allocation during a push). The
// depth returns to 0 after every outermost MzPush. A connection that
// cannot be pushed may, when the caller allows hops, have its blocking
// segments turned into gaps and enter the goal's hop table for rip-up and
// re-route. Every change goes into the open journal level.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"
#include "router/objmap.h"

enum : ErrCode {
    kErrPushAlloc = 2154273,     // site of the push tables' allocation
    kErrPushDirection = 2154235, // a direction other than +1 or -1
    kErrPushCrossing = 2154271,  // a 45-degree segment without a crossing at the cut
    kErrPushPadShape = 2155270,  // a blocking pad whose first shape is UNDEF
};

enum : int32_t {
    kPushTables = 25,        // tables 1..25; table 0 does not exist
    kPushTableBytes = 16108, // one table's allocation
    kPushStitchDepth = 5,    // in stitch mode a push is refused with this many nested
    kPushPasses = 20,        // segment passes of one PushConn
    kPushAbortPoll = 20,     // PushConn calls between two polls of the abort key
    kPushTableType = 11,     // the record type a push table carries (a connection)
    kHopMax = 3,             // hops 1..3 of the goal's hop table
};

// Object kinds of the pushing object (columns of a layer's clearance block).
enum : int32_t {
    kPushSeg = 0,
    kPushVia = 2,
};

// The options the callers set around a push.
struct PushOptions {
    int16_t stitchMode;   // the segment stitching pushes: shallower nesting, no pad detours
    int16_t hopsAllowed;  // a connection that cannot be pushed may become a hop
    int16_t jumpsEnabled; // a blocking pad may be jumped around (the shove sets it)
};
extern PushOptions g_pushOptions;

// One nesting level's working record.
struct PushTable {
    int16_t type;       // kPushTableType
    int16_t conn;       // database index of the pushed connection
    int16_t entry;      // the pushed connection's ObjTable entry
    int16_t layer;      // the pushed layer
    int16_t direction;  // +1 or -1
    int16_t transposed; // 1: x and y of every corner are exchanged during the work
    int32_t x;          // the pushing line's x
    int32_t yLow;       // its lower y (widened by the reach in PushConn)
    int32_t yHigh;      // its upper y
    int32_t halfWidth;  // the reach: half width (or pad size) of the pushing object
    int32_t clearance;  // row 0, column kind of the layer's clearance block
    int16_t kind;       // the pushing object's kind
    int16_t spare;
    int32_t oldX; // working coordinates of the moved line: its old x,
    int32_t newX; // its new x,
    int32_t lowY; // its lower y
    int32_t upY;  // and its upper y
    Conn work;    // the pushed connection's working copy
    ObjList list; // GatherSegBlockers's list; its first entry names a blocker
};
static_assert(sizeof(PushTable) <= kPushTableBytes, "a push table fits its allocation");

// Takes the 25 push tables from the router's first zone (the mzInit step).
void PushTablesAlloc();
// Forgets the tables (their memory goes with the zone).
void PushTablesRelease();
// The current nesting depth (0 outside every push) and the table of a depth
// 1..25 (null outside that range or before the tables were taken).
int32_t PushDepth();
// Leaves every table entered (after a step an internal error cut short).
void PushTablesUnwind();
PushTable* PushTableAt(int32_t depth);

// Pushes everything of other nets within the reach of the line (x, y1)-(x,
// y2) on the layer out of the way in the direction (+1 or -1). 0 when
// everything was pushed away; otherwise the ObjTable entry of the first
// object that could not be moved (1, the board edge, when the nesting is too
// deep).
int32_t MzPush(int32_t x, int32_t y1, int32_t y2, int32_t kind, int32_t layer, int32_t reach,
               int32_t entry, int32_t direction, int32_t transposed);
// Pushes one connection (its ObjTable entry) one step away from the line
// x, yLow..yHigh of the current push table; 1 pushed (the new image stored),
// 0 not pushed.
int32_t PushConn(int32_t x, int32_t yLow, int32_t yHigh, int32_t kind, int32_t reach,
                 int32_t entry);
// Enters the current push table's connection with the corner into the
// goal's hop table; 1 entered (or already there), 0 when the table is full
// or a ripped hop is being re-routed.
int32_t addToHopTable(int32_t crn);
// Replaces the stretch of the table's connection that crosses the detoured
// pad by the detour's jump; 1 when the connection now jumps around the pad.
int32_t jumpStitch(PushTable* table, int32_t crn);

// Test-only: forgets the tables and resets the depth, the options and the
// poll counter.
void PushTestReset();
