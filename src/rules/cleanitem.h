// The copper clean-up of journal changes: the two items (conn1, the changed
// connection, and conn2, a connection it meets) that the clean-up, the
// joins and the corner edits share while CleanAlt runs, the clean failure
// flag, and the procedures of the clean-up and the joins. Every edit works
// on the items' scratch copies; only updateAlt stores anything, and only
// through the current journal level. No copy ever grows past the corner
// limit of a stored connection: an insertion that would is a refusal.
#pragma once
#include <cstdint>

#include "db/altjournal.h"
#include "db/err.h"
#include "db/records.h"

enum : ErrCode {
    kErrCleanObjType = 2190880,    // a gathered map object of an unknown type
    kErrCleanRange1 = 2190620,     // conn1's hit range inverted
    kErrCleanRange2 = 2190630,     // conn2's hit range inverted
    kErrCleanGathered = 2190890,   // a gathered entry below 1 in the via spacing range
    kErrJoinViaType = 2192010,     // a via type above the via-type count in a join
    kErrElbowNeighbours = 2194230, // an elbow test with other than 0, 1 or 2 neighbours
    kErrViaSiteType = 2194240,     // a via type outside 1..count in the via site test
};

enum : int32_t {
    kCleanNoCorner = -1,
    kCleanRangeFirstUnset = 1000, // conn1's range before a hit: (1000, 0)
    kJoinExtendFactor = 5,        // spacings in a reach with the extend flag
};

struct CleanItem {
    int32_t type = 0;  // record type of the journal item
    int32_t index = 0; // database index
    int32_t entry = 0; // map-object index
    int32_t first = 0; // range first
    int32_t last = 0;  // range last; a join moves it to the corner where it joined
    int32_t common = kCleanNoCorner;
    Conn* conn = nullptr; // scratch copy being edited
    bool changed = false;
    bool reversed = false;
    bool extend = false;
};

// The items of the run and the clean failure flag (set by any refusing
// step; nothing more is installed for the current conn1 once it is set).
extern CleanItem CleanConn1;
extern CleanItem CleanConn2;
extern bool CleanFailure;

// Reverses the copy, maps the range and the common corner onto it and
// toggles reversed.
void CleanItemReverse(CleanItem* item);
// The journal's item for connection index: true and its header when there
// is one.
bool CleanJournalItem(int32_t index, AltItemHeader* out);

// ---- clean-up -----------------------------------------------------------------
void CleanAltRules();
int32_t CleanAltObject(int32_t obj, int32_t mode);
void CleanConnPair(int32_t obj, int32_t mode);
int32_t hitConn1Conn2(int32_t mode);
void updateAlt(CleanItem* item);
int32_t DrcViaSpacingRange(int32_t entry, const Conn* conn, int32_t first, int32_t last);
int32_t DrcViaVsConnVias(const Conn* conn, int32_t corner, const Conn* other);

// ---- joins ----------------------------------------------------------------------
int32_t ConnJoin(CleanItem* a, CleanItem* b);
