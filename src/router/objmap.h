// The object map (ObjMap): for every routing layer and every grid point of
// the routing window, a cell of three signed 16-bit slots naming the object
// table entries that cover it (0 empty, n > 0 an entry, -n every entry of
// net n). Entry 1, the board edge, in slot 0 marks an edge cell. A cell
// whose three slots are taken spills into an overflow list of its own
// (mapspill.h), so every object mapped stays in the map until unmapped.
// Read cells through MapCellEach, which walks a spilled cell's list.
//
// Rows of (nx + 1) cells come from the router's first zone, one pool piece
// each, for routable layers only; the row table lives outside the pools.
// While the maze is active every shape mapped here also marks the maze
// (the maze shadow).
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/geom.h"
#include "db/records.h"
#include "db/symbols.h"
#include "router/mapspill.h"

enum : int32_t {
    kMapStep = 2,           // maze cells per map cell
    kMapPtrBytes = 4,       // a row pointer as the size test counts it
    kMapPtrLimit = 65408,   // the row-pointer table stays below this
    kMapMaxColumns = 10902, // a row of 65,412 bytes or more does not fit
    kMapCellSlots = 3,
    kMapCellBytes = 6,
    kObjListMax = 1000, // entries of an object list
    kMapAbortPoll = 16, // objects between two polls of the abort key
};

// Mapping modes.
enum : int32_t {
    kMapFixed = 0,  // an object that never moves
    kMapRipup = 1,  // an object that may be ripped up
    kMapRemove = 2, // unmap
};

// An object list: a count and up to 1,000 entries, without duplicates
// (negative: a merged net reference, as a cell holds it). An object that
// finds the list full turns entry 0 into the edge and sets `truncated`:
// such a list no longer names everything near, and its readers take the
// place as blocked. Whoever starts a list sets count and truncated to 0.
struct ObjList {
    int16_t count;
    int16_t truncated;
    int16_t entry[kObjListMax];
};

inline void ObjListClear(ObjList* list) {
    list->count = 0;
    list->truncated = 0;
}

// ---- storage and refill ----------------------------------------------------

int32_t MapAlloc();
void MapForget();
// 1 while the map is allocated.
int32_t MapReady();
// Clears and refills the map: the edge, components, via block areas,
// connections, obstacles. 0 when a step fails or the user aborts.
int32_t MapAll();
// The three slots of the cell (column, row) on a routable layer; null when
// the layer has no rows. A spilled cell's slots hold its list's tag and
// number: walk them with MapCellEach.
int16_t* MapCell(int32_t column, int32_t row, int32_t layer);
// The map's columns 0..MapNx() and rows 0..MapNy().
int32_t MapNx();
int32_t MapNy();

// ---- cell conversion ---------------------------------------------------------

// The cell size (the routing grid) and the world y of a row's centre.
int32_t MapCellSize();
int32_t MapRowY(int32_t row);
int32_t MapLayerCount();
// 1 when the box runs off the map on any side.
int32_t MapBoxOffMap(int64_t x1, int64_t y1, int64_t x2, int64_t y2);

// Column of a box's lower edge x, and of its upper edge, clamped to the map.
int32_t MapColLo(int32_t x);
int32_t MapColHi(int32_t x);
int32_t MapRowLo(int32_t y);
int32_t MapRowHi(int32_t y);

// ---- cells --------------------------------------------------------------------

void MapCellAdd(int16_t* slots, int32_t entry);
void MapCellRect(int32_t entry, int32_t c1, int32_t c2, int32_t r1, int32_t r2, int32_t layer);
void MapCellRectRemove(int32_t entry, int32_t c1, int32_t c2, int32_t r1, int32_t r2,
                       int32_t layer);
void MapCellObjects(int32_t x, int32_t y, int32_t layer, ObjList* list);
void ObjListAdd(ObjList* list, int32_t entry);
// A full list refuses an entry: warns with the verbose flag, puts the edge
// in entry 0 and marks the list truncated.
void ObjListTruncate(ObjList* list);

// ---- shapes -------------------------------------------------------------------

void MapRectShape(int32_t entry, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer,
                  int32_t clearance, int32_t mode);
void MapRound(int32_t entry, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer,
              int32_t halfWidth, int32_t mode);
void MapArc(int32_t entry, const ArcSpec* arc, int32_t layer, int32_t halfWidth, int32_t mode);
void ViaShapeMap(int32_t viaType, int32_t x, int32_t y, int32_t entry, int32_t mode);

// ---- queries (append to the list) ----------------------------------------------

void MapBoxObjects(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer, int32_t clearance,
                   ObjList* list);
void MapDiagObjects(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer,
                    int32_t clearance, ObjList* list);
void MapSegObjects(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer, int32_t clearance,
                   ObjList* list);
void MapArcObjects(const ArcSpec* arc, int32_t layer, int32_t clearance, ObjList* list);

// ---- objects ------------------------------------------------------------------

// Connection c as the edit sees it, copied head and used corners only (the
// journal's images are packed, so they are read by copy).
void ConnReadJournal(int32_t c, Conn* out);
// Component c as the edit sees it.
void CompReadJournal(int32_t c, Component* out);

void PadMap(const PlacedPin* pin, int32_t angle, int32_t entry, int32_t mode);
void CompMap(int32_t comp, const Component* record, int32_t unmap);
int32_t MapAllComps();
int32_t padPrep(int32_t comp, int32_t pin, const Component* record);
void ConnMap(const Conn* record, int32_t entry, int32_t first, int32_t last, int32_t unmap);
void ConnObjFlags(int32_t entry, const Conn* record);
void PadNetFromConn(int32_t comp, int32_t pin, int32_t connEntry);
int32_t MapAllConns();
void ObsMap(int32_t entry, Obstacle* record, int32_t unmap);
int32_t ObsNet(int32_t entry, const Obstacle* record);
void ObsInheritNet(int32_t entry, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer);
int32_t MapAllObstacles();
void MapAltChanges(int32_t unmap);
void MapAltOriginals(int32_t unmap);
void MapAltRestore();

// Test-only: forgets the map and the via map.
void ObjMapTestReset();
// Ends an obstacle's mapping that an internal error cut short.
void ObsMapUnwind();
// Test-only: closes an obstacle fill a fatal error left open.
void ObsMapTestReset();
