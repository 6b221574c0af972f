// The net table and the notes.
//
// A net names a set of pins to be connected and carries the routing rules of
// its connections. Nets live in pages of 2,336 records (65,408 bytes each,
// from pool 2); index n lies in page n / 2,336 at slot n mod 2,336. Notes are
// free lines of text kept with the design, in insertion order.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kNetPageSize = 2336, // records per page
    kNetPages = 15,
    kNetMax = 32767,  // the count is a signed 16-bit number
    kNoteMax = 32767, // the header's note count is a signed 16-bit number
};

// Net flag bits.
enum : uint16_t {
    kNetNoRoute = 0x0001,
    kNetNoShove = 0x0002,
    kNetNoRipup = 0x0004,
    kNetNoShare = 0x0008,
    kNetNoRecon = 0x0010,   // derived from the net type (1 or 64)
    kNetLostEnd = 0x0020,   // a connection end was freed; cleared by validation
    kNetAttr7 = 0x0040,     // derived: an attribute of kind 7 keyed by the net
    kNetHighlight = 0x0200, // copied to the connections as their highlight
    kNetReqLayer = 0x1000,  // derived: an attribute of kind 12 (required layer)
};

// Attribute kinds keyed by a net (first key type 10).
enum : int32_t {
    kAttrNetKind7 = 7,
    kAttrNetLayer = 12, // its second key is the net's required layer
};

// From DbInit: count 0, pages forgotten.
void NetInit();
// From DbFree: forgets the pages (their memory goes with pool 2).
void NetReset();
// Appends a net with the defaults of a new net and answers its index; past
// 32,767 nets is out of memory.
int32_t NetAdd();
// Deletes net n with its connections; later nets move down and every
// reference follows.
void NetDelete(int32_t n);
void NetGet(int32_t n, Net* out);
// The stored record itself, read-only.
const Net* NetRef(int32_t n);
// Derives the flags NORECON, 0x40 and 0x1000 and stores; when the derived
// flags differ from those given, the net's connections take its flags.
// Looking for the attributes restarts the attribute scan. While trusted the
// record is stored as given.
void NetPut(int32_t n, const Net* record);
// The checks of NetPut without storing anything (the index 1..count): 0 when
// the put would pass, else the code it would raise, with the number it
// would report in *number (may be null).
ErrCode NetPutCheck(int32_t n, const Net* record, int32_t* number = nullptr);
int32_t NetCount();
// The first net named text, 0 when none.
int32_t NetFind(const char* text);
// Sorts the table by name, renumbers, and answers n's new index (n when the
// order does not change).
int32_t NetSort(int32_t n);
// Validation: every net from the last clears flag 0x20, is stored again and
// has its connections ordered into chains (ChainOrderNetChecked).
void NetValidate();
// The net rebuild of validation: the copper of every connection goes into
// the node lists and the connections are deleted (except those of nets with
// NOROUTE or net type bit 0x01, which keep theirs); loose copper is assigned,
// then every net from the last clears flag 0x20, is stored again and is
// rebuilt from its nodes.
void NetRebuildAll();
// Checks the pins of a net with a required layer: 1 when all reach it,
// otherwise 0 after an error marker was stored at every pin that does not.
int32_t NetLevCheck(int32_t n);
// Whether net n's required-layer flag, when set, has what NetLevCheck needs:
// its attribute of kind 12 with a layer (second key not 0).
bool NetReqLayerFits(int32_t n);
// Registers the net and note modules with the database.
void NetRegister();
// 1 when the net record's level (its allowed-layer mask, bit n - 1 for
// layer n) allows layer 1..30; 0 for any other layer.
int32_t NetAllowsLayer(const Net* net, int32_t layer);

// ---- notes ------------------------------------------------------------------

void NoteInit();
void NoteReset();
// Appends a note (at most 100 characters) and answers the new count; 0,
// nothing stored, when 32,767 notes exist.
int32_t NoteAdd(const char* text);
// Copies note n's text (room for 101 bytes).
void NoteGet(int32_t n, char* buffer);
int32_t NoteCount();
// Test-only: the number of list steps the note reads have taken so far.
int32_t NoteTestSteps();
