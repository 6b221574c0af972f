// The object table (ObjTable): the router's flat list of every board object
// that can occupy space (pads, connections, obstacles, texts and the board
// edge), addressed by 16-bit entry indexes from the object map, the ranking
// order and the picking tools.
//
// One fixed block of 32,760 entries of 8 bytes; entry 0 is never an object
// and entry 1 is always the board edge. Appending past the block resets the
// whole table (invalid and empty) instead of failing.
#pragma once
#include <cstdint>

#include "db/err.h"

enum : int32_t {
    kObjEntries = 32760,              // entries 0..32,759
    kObjTableBytes = kObjEntries * 8, // 262,080
    kObjEdgeEntry = 1,
};

// Entry types.
enum : uint8_t {
    kObjEmpty = 0,
    kObjPad = 1,
    kObjConn = 2,
    kObjObstacle = 3,
    kObjEdge = 4,
    kObjText = 5,
    kObjNull = 6, // known to ObjDescribe only
};

// Entry flags.
enum : uint8_t {
    kObjFlagInside = 0x01,  // a connection with a segment inside the routing window
    kObjFlagMapped = 0x02,  // pads, obstacles, texts, the edge; a connection that failed a check
    kObjFlagLeftOut = 0x04, // a connection left out of the pass's routing order
    kObjFlagLatest = 0x10,  // a pad measured where its component stood before the current level
    kObjFlagNoRoute = 0x20, // a connection not to be routed
    kObjFlagHeld = 0x40,    // a connection held back while one connection is routed
    kObjFlagNetAttr = 0x80, // a connection with the NetAttr flag
};

#pragma pack(push, 1)
struct MapObj {
    uint8_t type;
    uint8_t flags;
    int16_t index; // database index
    int16_t net;   // 0 none; entry 0 holds -1
    int16_t link;  // pin, owner, or next connection in the routing order
};
#pragma pack(pop)
static_assert(sizeof(MapObj) == 8);

// Allocates the block (262,080 bytes) and resets it; 1, or 0 when memory is
// exhausted.
int32_t ObjTableAlloc();
void ObjTableFree();
int32_t ObjTableReady();
// Count 0, invalid, connection range emptied, every journal level closed.
void ObjTableReset();
// Reset, then entry 0 (type 0, net -1) and entry 1 (the board edge); valid.
void ObjTableInit();
// Copies entry n out and answers n.
int32_t ObjGet(int32_t n, MapObj* out);
// Appends an entry (nothing when the table is not valid).
void ObjAdd(int32_t type, int32_t flags, int32_t index, int32_t link, int32_t net);
// Writes entry n's net, keeping the per-net entry lists in step; every
// write of an entry's net goes through here.
void ObjSetNet(int32_t n, int32_t net);
// The entries whose net is net (1..), in ascending order; *count 0 and null
// when none or when the table is not valid.
const int16_t* ObjNetEntries(int32_t net, int32_t* count);
// The pad entries of component comp and the obstacle entries placed on it,
// in ascending order.
const int16_t* ObjCompEntries(int32_t comp, int32_t* count);
// The entry of connection c, 0 when none or when the table is not valid.
int32_t ObjFindConn(int32_t c);
// The first pad entry of component comp's pin, 0 when none or not valid.
int32_t ObjFindPad(int32_t comp, int32_t pin);
void ObjClearConnFlags(int32_t bits);
void ObjSetConnFlags(int32_t bits);
// Sets kObjFlagNoRoute on every connection whose net has its no-route flag.
void ObjMarkConnsByNetFlag();
void ObjClearFlag(int32_t n, int32_t bits);
// Sets the bits on entry n, which must be a connection.
void ObjSetConnFlag(int32_t n, int32_t bits);
// One trace line describing entry n, or net -n for a negative argument.
void ObjDescribe(int32_t n, const char* prefix);

// The count, the valid word and the connection range.
int32_t ObjCount();
int32_t ObjTableValid();
int32_t ObjFirstConn();
int32_t ObjLastConn();
// The entry itself (no checks), for the router's hot loops.
MapObj* ObjEntry(int32_t n);
