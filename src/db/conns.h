// The connection table and corner editing.
//
// A connection is one routed or unrouted piece of a net's copper between two
// ends: a polyline of corners, each giving the layer and width of the segment
// that starts there, with vias at corners. A segment on layer 0 is an
// unrouted gap. Every connection lives in its own block from pool 2 (a
// 16-bit net link, then the record) and is on its net's list.
//
// Slots 1..15,999 are in the low table, 16,000..31,999 in the high table.
// The pointer tables themselves live outside the pools.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kConnMaxCorners = 1000,   // a stored connection: 2..1,000 corners
    kConnInsertLimit = 999,   // corner insertion stops here
    kConnLowSlots = 16000,    // slots 1..15,999 are in the low table
    kConnLowPointers = 16001, // the low table's full size
    kConnGrow = 500,
    kConnLimit = 32000,        // the capacity never reaches this
    kConnMax = kConnLimit - 1, // connections in a design
};

// Connection flag bits.
enum : uint16_t {
    kConnNotSelected = 0x0001,
    kConnNoShove = 0x0002,
    kConnNoRipup = 0x0004,
    kConnNoSweep = 0x0008,
    kConnNetAttr = 0x0010,
    kConnHighlight = 0x0020,
    kConnArc = 0x0040,
    kConnVisit = 0x0080, // transient, inside the layer-reach walk only
};

// Corner flag bits.
enum : uint8_t {
    kCrnLocked = 0x01,
    kCrnLatched = 0x02,
    kCrnArc = 0x04, // an arc centre
};

// ---- the table -----------------------------------------------------------------

// From DbInit: the header's connection count is the initial capacity.
void ConnTableInit();
// From DbFree: forgets both tables, the free lists and the net lists.
void ConnTableFree();
// Appends an empty slot and answers its index.
int32_t ConnAdd();
int32_t ConnCount();
// Copies connection n out; answers its size, or 0 for an empty slot (then
// 14,050 bytes of the buffer are cleared).
int32_t ConnGet(int32_t n, Conn* out);
// The stored record itself, read-only; null for an empty slot.
const Conn* ConnRef(int32_t n);
// Checks, derives and stores the record (as given while trusted).
void ConnPut(int32_t n, const Conn* record);
// The checks of ConnPut without storing anything: the index 1..count and
// the net 1..net count; while trusted, a corner count the store can hold,
// corners within the coordinate limit with flag bytes 0..7, and a segment
// (or a ratsnest) without a width only on a net with one. Otherwise: the end components 0..count; a
// record of 2 or more corners has at most 1,000, its segments' layers within the layer count and
// via types within the via-type count; the pins of the ends the store puts on them (both of a
// ratsnest it makes, of a new connection, or the ends that changed) must exist; and a segment
// without a width needs a net with one. 0 when the put would pass, else the code of the first rule
// it fails, with the number it would report in *number (may be null).
ErrCode ConnPutCheck(int32_t n, const Conn* record, int32_t* number = nullptr);
// Stores without end validation or relinking: a block of the right size,
// then (unless trusted) the box and the derived flags.
void ConnStore(int32_t n, const Conn* record);
// Deletes connection n; the last connection moves into its slot. Answers the
// old count.
int32_t ConnDelete(int32_t n);
// Copies 36 + 14 x (corner count) bytes and answers that size.
int32_t ConnCopy(Conn* destination, const Conn* source);

// The design file's byte order of a record of n bytes: the head as five
// 32-bit and eight 16-bit fields, each of the (n - 36) / 14 corners as two
// 32-bit fields and the width.
void ConnSwapLayout(void* record, int32_t bytes);

// ---- net lists -----------------------------------------------------------------

int32_t NetConnFirst(int32_t net);
int32_t NetConnNext(int32_t c);
// Rebuilds every net list from the connections' nets, in index order (so
// each list then runs in descending index).
void NetConnRebuild();
// Every connection of the net takes the net's No-Shove, No-Ripup and
// highlight flags, and loses NetAttr.
void NetConnSetFlags(int32_t net, const Net* record);

// ---- queries -------------------------------------------------------------------

// 1 when connection n and the record share an end (the same non-zero
// component and pin).
int32_t ConnSameEnd(int32_t n, const Conn* record);
// The highest-numbered connection with c as an end component, 0 when none.
int32_t ConnFindComp(int32_t c);
// The same below k (1..count + 1).
int32_t ConnFindCompBefore(int32_t c, int32_t k);
// 1 when connection n's box overlaps the display box and the journal holds
// no item for it.
int32_t ConnInBox(int32_t n);
// Debug lines of a connection through the trace sink.
void ConnDump(const Conn* record, const char* label, int32_t detail);
// The net's required layer when both ends reach it, else 0.
int32_t ConnNetLevOk(const Conn* record);
// 1 when the pin reaches the layer through its pad or through fully routed
// connections and vias.
int32_t PinReachesLayer(int32_t comp, int32_t pin, int32_t layer);

// ---- record editing -------------------------------------------------------------

// Derived parts of a record, as ConnPut applies them.
void ConnBox(Conn* record);
void ConnCheckCorners(Conn* record);
void ConnCheckArcs(Conn* record);
void ConnDeriveFlags(Conn* record);
void ConnFillEnds(Conn* record);
// Puts the end corner (0 from, 1 to) onto its pin.
void validateEnd(Conn* record, int32_t end);

// Inserts k copies of corner a right after it (a 0..count - 1).
void CrnInsert(Conn* record, int32_t a, int32_t k);
// Deletes corners a..a + n - 1.
void CrnDelete(Conn* record, int32_t a, int32_t n);
void ConnReverse(Conn* record);
int32_t ConnSamePath(const Conn* a, const Conn* b);
// Turns corners 0..last about the centre.
void CrnRotate(Conn* record, int32_t cx, int32_t cy, int32_t angle, int32_t last);
// Moves the ends of the connection onto its pins after components moved.
void ConnFitPins(Conn* record);
// Validation: fits every connection to its pins and stores it again.
void ConnFitAll();

// Registers the module, its validation step and its part of component
// deletion and sorting.
void ConnRegister();

// ---- test support ---------------------------------------------------------------

struct ConnLayout {
    int32_t lowPointers;  // size of the low table
    int32_t highPointers; // size of the high table
    int32_t capacity;
    int32_t freeBlocks; // released blocks kept on the free lists
};
void ConnTestLayout(ConnLayout* out);
// Where slot n lives: 0 the low table, 1 the high table; its position there.
int32_t ConnTestSlotPlace(int32_t n, int32_t* position);
