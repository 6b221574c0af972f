// The obstacle table: named outlines, areas, circles and grids on one
// layer, owned by the board (0), a symbol (s > 0, in the symbol's own frame)
// or one component (-c). Each owner keeps its obstacles in a list, newest
// first. Also the shape helpers of an obstacle record: closing, boxes, arcs
// turned into segments and the point-in-obstacle test.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

// Location codes of the obstacle table's errors.
enum : int32_t {
    kErrObsLinkMissing = 5245013, // an obstacle is not in its owner's list
    kErrObsArcPoints = 5245024,   // arcs turned into segments need over 999 points
    kErrObsCircleFlag = 5245030,  // circle checks 5245030..5245033
    kErrObsArcRadii = 5245035,    // an arc's two radii differ by 3 user units or more
    kErrObsFindTable = 5245038,
    kErrObsFindSlots = 5245039,
    kErrObsSymFirst = 5245043,
    kErrObsFull = 5245044, // out of memory: past 16,000 obstacles
    kErrObsCompFirst = 5245045,
    kErrObsNext = 5245046,
    kErrObsDelete = 5245050,
    kErrObsGet = 5245051,
    kErrObsPutIndex = 5245053,
    kErrObsPutCount = 5245063,
    kErrObsPutLayer = 5245064,
    kErrObsPutWidth = 5245065,
    kErrObsPutNet = 5245066,
    kErrObsPutAnyNetConn = 5245067, // layer 0 with net 0
    kErrObsLinkWalk = 5245082,      // an owner list longer than 16,000
    kErrObsBlockKeep = 5245091,
    kErrObsBlockNew = 5245092,
    kErrObsRenumberMap = 5245463,
    kErrObsNodesMissing = 5244000,
    kErrObsPlaceNoComp = 21581,
    kErrObsPlaceOwner = 21583,
    kErrObsPlaceSymbol = 21587,
    kErrObsCopyCount = 21537,
};

enum : int32_t {
    kObsMaxPoints = 1000,  // points of a stored obstacle
    kObsMax = 16000,       // obstacles in a design
    kObsFirstArray = 7999, // slots 1..7,999 in the first array
    kObsGrowBy = 100,
    kObsHeadBytes = 48,
    kObsPointBytes = 12,
};

// Obstacle kinds.
enum : uint8_t {
    kObsOutline = 0,
    kObsCopper = 1,
    kObsAvoid = 2,
    kObsNoVia = 3,
    kObsBoardOutline = 4,
    kObsRouteKeepout = 5,
    kObsNull = 6,
    kObsDetail = 7,
    kObsCompKeepin = 8,
    kObsCompKeepout = 9,
    kObsPlaceOutline = 10,
    kObsInsertionOutline = 11,
    kObsMatrix = 12,
    kObsGroupKeepin = 13,
    kObsGroupKeepout = 14,
    kObsHeightKeepin = 15,
    kObsHeightKeepout = 16,
    kObsCopperVoid = 17,
    kObsCopperPour = 18,
    kObsShavable = 19,
};

// Obstacle flag bits.
enum : uint16_t {
    kObsBySystem = 0x0001, // made by the system (outlines, joined segments)
    kObsHasArcs = 0x0002,  // the points contain arcs (derived)
    kObsCircle = 0x0004,   // the obstacle is a circle (derived)
    kObsPourFlag = 0x0040, // on loading a design file: the obstacle is a copper pour
    kObsNoExtent = 0x0800, // left out of the design extent
};

// Point flag bits: the point is the centre of an arc.
enum : uint16_t {
    kObsPtArcCw = 0x0001,
    kObsPtArcCcw = 0x0002,
    kObsPtArc = 0x0003,
};

// ---- shape helpers -----------------------------------------------------------

// True for the closed kinds, and for any obstacle of at least three points
// whose last point equals its first.
bool ObsIsClosed(const Obstacle* record);

// Recomputes the box: the bounds of the points; with arcs the bounds of the
// points with the arcs turned into segments; a circle the square around its
// centre (point 1) through point 0; then grown by half the width.
void ObsBox(Obstacle* record);

// Replaces every arc (start, centre with an arc flag, end) by straight
// segments within twice the user unit; inserted points have flags 0 and the
// arc start's corner width. Clears the arc and circle flags. More than 999
// points is an internal error.
void ObsArcsToSegs(Obstacle* record);

// Whether the point lies in the obstacle: 0 outside, 1 inside, 2 on its
// boundary. Arcs are taken as segments and the outline as closed.
int32_t ObsContainsPt(int32_t x, int32_t y, const Obstacle* record);

// Whether a component placed as the record says would stick out of the
// board: its box (from its pads, as storing it computes it) has a corner
// outside one of the board's obstacles of kind 4 (board outline) or 8 (comp
// keepin); a corner on the boundary counts as inside. 1 outside, else 0. The
// record's symbol must be 1..symbol count.
int32_t CompBoxOutside(const Component* record);
enum : int32_t { kErrBoxOutsideSymbol = 5230028 };

// The catalogue message of a kind's name: 21535..21555 for kinds 0..19
// (21552 unused), 21556 "???" for any other.
int32_t ObsKindMsgId(int32_t kind);

// ---- the table ---------------------------------------------------------------

// From DbInit: sizes the arrays for the header's counts; count 0.
void ObsInit();
// From DbFree: forgets the arrays.
void ObsReset();
int32_t ObsCount();
// Appends an empty slot and answers its index; past 16,000 out of memory.
int32_t ObsAppend();
// Deletes o; the last obstacle takes its number.
void ObsDelete(int32_t o);
// Copies o out; an empty slot gives a zeroed record.
void ObsGet(int32_t o, Obstacle* out);
// The stored record itself (null for an empty slot).
const Obstacle* ObsRef(int32_t o);
// Checks and stores (the derived values unless the trusted flag is set).
void ObsPut(int32_t o, const Obstacle* record);
// The checks of ObsPut without storing anything: the index 1..count, the
// point count 1..1,000, the layer, a negative width, a net beyond the net
// count, layer 0 with net 0; then (unless trusted) the circle and arc rules
// on the points as the store takes them and the points its arcs need as
// segments. 0 when the put would pass, else the code of the first rule it
// fails, with the number it would report in *number (may be null).
ErrCode ObsPutCheck(int32_t o, const Obstacle* record, int32_t* number = nullptr);
// The first obstacle named text, 0 when none.
int32_t ObsFind(const char* text);
// Heads of the owners' lists, and the next obstacle of the same owner; at
// the end of a component's own list ObsNext goes on with its symbol's list.
int32_t SymObsFirst(int32_t s);
int32_t ObsBoardFirst();
int32_t CompObsFirst(int32_t c);
int32_t ObsNext(int32_t o);
// Turns every point about the origin, moves it by (dx, dy) and recomputes
// the box.
void ObsPlace(Obstacle* record, int32_t dx, int32_t dy, int32_t angle);
// Reads o as the current edit sees it and, for c not 0, places it on
// component c.
void ObsPlaceOnComp(int32_t o, int32_t c, Obstacle* out);
// Copies the head fields and the points.
void ObsCopy(Obstacle* destination, const Obstacle* source);

// Renumbering of owners: after components (or symbols) were renumbered by
// the map (entries 0..count, a deleted owner 0), the obstacles owned by a
// deleted owner are deleted and the others' owners rewritten, keeping the
// sign. Called with the trusted flag set.
void ObsCompRenumber(const int16_t* map, int32_t count);
void ObsSymRenumber(const int16_t* map, int32_t count);

// After nets were renumbered by the map (entries 0..count): an obstacle's
// net 1..count becomes its new number; a deleted net (0 in the map) becomes
// no net (0x8001). For the net table's delete and sort.
void ObsNetRenumber(const int16_t* map, int32_t count);

// A loose segment left by the ASCII reader, joined into obstacles by
// ObsFromNodes (widths in user units, kind unused) and ObsFromNodesEnd
// (widths in database units, kinds kept). The storage belongs to the caller.
struct ObsLooseSeg {
    int32_t x1, y1, x2, y2;
    int32_t width;
    uint8_t layer;
    uint8_t kind;
};
struct ObsLooseList {
    ObsLooseSeg* seg;
    int32_t count;
};
void ObsFromNodes(ObsLooseList* list);
void ObsFromNodesEnd(ObsLooseList* list);

// Registers the module with the database.
void ObsRegister();

// ---- inspection, for tests ---------------------------------------------------

// Slots allocated in the first and second arrays.
int32_t ObsFirstArraySlots();
int32_t ObsSecondArraySlots();
