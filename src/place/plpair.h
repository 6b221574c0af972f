// Pin pairs per net: for every net a table of 28-byte entries, one per
// connection, naming its two ends (component and pin) and their board
// positions; the re-pairing of a net as a spanning tree over its distinct
// pin points under the distance rule its style byte chooses; and the
// pairs of the nets that cross a selection, which the placement tool draws
// and writes back.
//
// The entry layout is read by the flight-line drawing and the shell's
// reports: its field order and widths stay as they are.
#pragma once
#include <cstdint>
#include <vector>

#include "db/err.h"

enum : int32_t {
    kErrPairPool = 3607410,        // owner of the pair tables' pool
    kErrPairTableCount = 3607550,  // a net table of 400 entries or more
    kErrPairSelNoSelect = 3607810, // PairsOfSelection before PairSelect
    kErrPairSelNoOut = 3607820,    // PairsOfSelection without an output table
    kErrPairSelNoTable = 3607830,  // a marked net without its selection table
    kErrPairUpdNoSelect = 3607610, // PairUpdate before PairSelect
    kErrPairUpdNoTables = 3607620, // PairUpdate without tables
    kErrPairNoMask = 3607910,      // the selection mask asked for before PairSelect
    kErrPairNoTables = 3608820,    // pair tables missing
    kErrPairPointCount = 3608040,  // point count outside 1..400
    kErrPairPointIndex = 3608240,  // point index outside 0..400
    kErrPairPointIndex2 = 3608260,
    kErrPairDistKind = 60583, // a distance kind outside 1..5
};

enum : int32_t {
    kPairMaxEntries = 399,    // entries of a table and of a collector
    kPairBufferEntries = 401, // room of a caller's buffer
    kPairMaxPoints = 400,     // points of the candidate-link pairing
    kPairLargeMode = 7,       // free points from which candidate links are used
    kPairRepairMax = 50,      // entries of a net that is re-paired
    kPairFar = 2147483647,    // position of an end not on a placed component
    kPairSpread = 6000,       // spread of cluster ends, database units
};

// Table flags: bit 1 copies NOROUTE; bit 2 marks a net crossing the
// selection.
enum : int16_t {
    kPairNoRoute = 0x0001,
    kPairMarked = 0x0002,
};

#pragma pack(push, 1)
struct PlPairEntry {
    int16_t comp1, comp2;
    int16_t pin1, pin2;
    int32_t x1, x2;
    int32_t y1, y2;
    int16_t net;
    int16_t connFlags;
};
struct PlPairTable {
    int16_t count;
    int16_t flags;
    PlPairEntry entry[kPairBufferEntries];
};
#pragma pack(pop)
static_assert(sizeof(PlPairEntry) == 28);
static_assert(sizeof(PlPairTable) == 11232);

// (Re)builds every net's pair table; frees the old ones first.
void PlNetPinTable();
// Frees the tables, the selection mask copy and the selection tables.
void PlNetPinTableFree();
// Entries with comp1 = comp (and, with both, comp2 = comp).
int32_t PlPairsOfComp(int32_t comp, PlPairTable* out, int32_t both);
// Copies a net's table; answers its count (0 without a table).
int32_t PlNetPairsGet(int32_t net, PlPairTable* out);
// Entries with (comp1, pin1) or (comp2, pin2) equal to (comp, pin).
int32_t PlPairsOfPin(int32_t comp, int32_t pin, PlPairTable* out);

// Marks the nets with an entry having exactly one selected end; answers
// their count.
int32_t PairSelect(const uint8_t* mask);
// The copy of the selection mask.
const uint8_t* PairSelMask();
// The pairs to show for the selection moved by (dx, dy).
void PairsOfSelection(int32_t dx, int32_t dy, int32_t sdx, int32_t sdy, int32_t all,
                      PlPairTable* out);
// Re-pairs the marked nets' tables.
void PairUpdate();

// The distance of the kind between two points.
int64_t PairDistance(int32_t kind, int64_t dx, int64_t dy);
// The distance kind of a net by its style byte.
int32_t PairNetMetric(int32_t net);
// The tree length of one net in placement units (from the model's pin
// points).
int64_t PairNetLength(int32_t net);

// ---- the pairing of one net ----------------------------------------------

struct PairPoint {
    int32_t x, y;
    int16_t comp, pin;
};
struct PairLink {
    PairPoint a, b;
    int64_t cost;
};
struct PairWork {
    int32_t kind;
    std::vector<PairLink> fixed;
    std::vector<PairPoint> free;
    std::vector<PairLink> tree;
};
// Adds a free point unless one lies at its position already (or a fixed
// pair's end does).
void PairAddFree(PairWork& w, const PairPoint& p);
// Builds the tree over the fixed pairs and free points.
void PairBuildTree(PairWork& w);
// Writes the links of cost above 0 into the table (at most 399); each slot
// keeps the net and flag fields of the entry that was there before, new
// slots those of the first.
void PairStoreTree(const PairWork& w, PlPairTable* out);
