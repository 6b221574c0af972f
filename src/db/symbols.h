// The symbol table (footprints): each symbol is a named set of pins, each
// pin an offset from the symbol's origin and a thru code. Components place a
// symbol at a point and an angle; the pin-placing operations here give a
// pin in board coordinates.
//
// The table keeps per symbol its 32-byte summary and its pin array (pins
// 1..count, from pool 2). The index itself, up to 1,750 summaries with a
// pointer each, is larger than one pool piece on a 64-bit build, so it lives
// outside the pools and is forgotten by SymReset.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kSymMax = 1750, // symbols in a design
    kSymGrow = 20,  // the index grows this many entries at a time
};

// A pin placed by a component: name, board x and y, thru code and the pin's
// 16-bit word (the layout of a symbol pin).
typedef SymbolPin PlacedPin;

// From DbInit: room for the header's symbol count, count 0.
void SymInit();
// From DbFree: forgets the table (pin arrays go with pool 2).
void SymReset();
// Appends a symbol with a zeroed summary and no pins; answers its index.
int32_t SymAdd();
// Deletes symbol s: components using it are deleted, other components,
// attributes and the journal renumber their symbol references.
void SymDelete(int32_t s);
// Copies symbol s out (summary, empty pin slot 0, pins 1..count). A symbol
// never stored gives the full default record; a stored one without pins
// keeps its summary and gets the default pins.
void SymGet(int32_t s, Symbol* out);
// The 32-byte summary.
void SymInfoGet(int32_t s, SymbolInfo* out);
// Checks (unless trusted) and stores summary and pins.
void SymPut(int32_t s, const Symbol* record);
// The checks of SymPut without storing anything: 0 when the put would pass,
// else the code of the first rule it fails, with the number it would report
// in *number (may be null). Loaders call it on records taken from a file,
// so that bad file content is refused instead of ending the run.
ErrCode SymPutCheck(int32_t s, const Symbol* record, int32_t* number = nullptr);
// Stores the summary only; the pin count must equal the stored one.
void SymPutRaw(int32_t s, const SymbolInfo* info);
// The number of symbols.
int32_t SymCount();
int32_t SymPinCount(int32_t s);
// The stored pin p of symbol s, read-only.
const SymbolPin* SymPinRef(int32_t s, int32_t p);
// A copy of the stored pin p of symbol s.
void SymPinGet(int32_t s, int32_t p, SymbolPin* out);
// Pin p's thru code, checked to be 1..thru-code count.
int32_t SymPinThru(int32_t s, int32_t p);
// The first symbol named text, 0 when none.
int32_t SymFind(const char* text);

// Pin p of the component's symbol, placed by the component: the offset
// turned by the component's angle (quarter turns exact) and added to its
// position.
void SymPinGet(const Component* comp, int32_t p, PlacedPin* out);
// The same for the stored component c.
void CompPinXY(int32_t c, int32_t p, PlacedPin* out);
// The component's symbol with every pin placed by the component.
void CompPinsGet(const Component* comp, Symbol* out);
// Places the record's own pins 1..count in place by the component.
void CompSymPlace(const Component* comp, Symbol* sym);

// The obstacle and text part of SymDelete, filled by the owners' tables:
// called with the trusted flag set, after the components were renumbered,
// with the map old symbol -> new (entries 0..count, the deleted one 0).
typedef void (*SymRenumberHook)(const int16_t* map, int32_t count);
void SymSetOwnerRenumberHook(SymRenumberHook hook);

// Registers the module with the database and its part of ThruDelete.
void SymRegister();
