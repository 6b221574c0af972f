// The component table: symbols placed on the board at a point and an angle,
// on one side. Records live in pages of 256 from pool 2; index n lies in page
// n / 256 at slot n mod 256. This module also computes a component's box
// from its pads and the geometry of a placed pin's pads.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"
#include "db/symbols.h"

enum : int32_t {
    kCompMax = 4000,     // components in a design
    kCompPageSize = 256, // records per page
    kCompPages = kCompMax / kCompPageSize + 1,
};

// Component flag bits.
enum : uint16_t {
    kCompNoRoute = 0x0001, // its connections are not routed
    kCompKey = 0x0080,
    kCompOtherSide = 0x0200, // placed on the other board side
};

// One pad shape of a placed pin: centre and box on the board, shape code.
struct PlacedShape {
    int32_t cx, cy;
    int32_t minX, minY, maxX, maxY;
    uint8_t code;
};

// The pads of a placed pin on one layer.
struct PlacedPad {
    int16_t angle; // the turn still to apply when a shape was turned by an
                   // angle that is not a quarter turn, else 0
    uint8_t flags; // the thru code's layer block
    uint8_t count;
    PlacedShape shape[4];
};

// From DbInit: empties the table (pages still held are an internal error).
void CompInit();
// From DbFree: forgets the pages (their memory goes with pool 2).
void CompReset();
// Appends a zeroed component; the 4,001st ends the run ("Too many
// components").
int32_t CompAdd();
// Deletes c and renumbers every reference to components.
void CompDelete(int32_t c);
void CompGet(int32_t c, Component* out);
// The stored record itself, read-only.
const Component* CompRef(int32_t c);
// Checks, brings the angle into 0..21,599, computes the box from the pads
// (unless trusted), widens the design extent and stores.
void CompPut(int32_t c, const Component* record);
// The checks of CompPut without storing anything: 0 when the put would
// pass, else the code of the first rule it fails, with the number it would
// report in *number (may be null). Loaders call it on records taken from a
// file, so that bad file content is refused instead of ending the run.
ErrCode CompPutCheck(int32_t c, const Component* record, int32_t* number = nullptr);
int32_t CompCount();
// The first component named text, 0 when none.
int32_t CompFind(const char* text);
// Sorts the table by name, renumbers, and answers c's new index.
int32_t CompSort(int32_t c);
// The next component after index `after` whose symbol is s, 0 when none.
int32_t CompNextWithSym(int32_t after, int32_t s);
// The next pin placed exactly at (x, y), among components whose box holds
// the point, with a pad on the layer when layer is not 0. Start with
// *position 0; each call that answers 1 leaves the component in *position
// and the pin in *pin, and the next call goes on after that pin.
int32_t CompPinAt(int32_t x, int32_t y, int32_t layer, int32_t* position, int32_t* pin);
// Pin `pin` of component c (read through the journal) placed, and its pads
// on the layer.
void CompPinPadGet(int32_t c, int32_t pin, int32_t layer, PlacedPin* placed, PlacedPad* pad);
// Called by the placement commands; does nothing.
void CompHook(int32_t c);
// The board box of a pad shape centred at (cx, cy) turned by the angle.
void PadRotate(int32_t cx, int32_t cy, const PadShape* shape, int32_t angle, int32_t* minX,
               int32_t* minY, int32_t* maxX, int32_t* maxY);
// Cosine and sine of an angle as pads are turned: exact at quarter turns,
// otherwise of angle x 3.1415926535 / 10800.
void PadCosSin(int32_t angle, double* c, double* s);
// One pad shape of a pin at (px, py) placed at the angle (the layer block's
// rotation plus the component's angle): its centre turned about the pin, its
// box from the exchanged extents at quarter turns and for the round shapes,
// otherwise from PadRotate (then *turned is set).
void PadShapePlace(int32_t px, int32_t py, const PadShape* shape, int32_t angle, PlacedShape* out,
                   bool* turned);
// The box of the record's pads as placed by it (the record as given; its
// angle is taken as it stands). False when the symbol has no pad at all.
bool CompPadBox(const Component* record, int32_t* minX, int32_t* minY, int32_t* maxX,
                int32_t* maxY);
// True when the pin's padstack has a pad on exactly one layer, not counting
// layers with flag 4.
bool CompPinIsSmt(int32_t c, int32_t pin);

// Renumbering of references to components (CompDelete, CompSort). The map
// takes old indexes 0..count to new ones (a deleted component 0). Later
// tables take part through these hooks:
// - connection ends: called first;
// - obstacles and texts owned by components: called with the trusted flag
//   set;
// - the rebuild of the per-net connection lists: called last, after the
//   attributes and the journal were renumbered.
typedef void (*CompRenumberHook)(const int16_t* map, int32_t count);
void CompSetConnRenumberHook(CompRenumberHook hook);
void CompSetOwnerRenumberHook(CompRenumberHook hook);
void CompSetConnRebuildHook(void (*hook)());

// Registers the module with the database.
void CompRegister();
