// Renumbering of component names by position: the components whose names
// share a prefix ("R" of "R12") form a group; a group is cut into bands
// (rows or columns) one average part size plus two grid steps apart and
// numbered band by band. With a selection only the selected components
// get new numbers, after the highest number the others keep; a number
// whose name a component outside the renumbered set holds is skipped. The
// first rename keeps the former name in an attribute. One journal level.
#pragma once
#include <cstdint>

#include "db/err.h"

enum : ErrCode {
    kErrRenameGroupPool = 3621010, // owner of the group table's pool
    kErrRenameBandPool = 3621030,  // owner of the band table's pool
    kErrRenameBandNode = 3621120,  // band nodes
    kErrRenameLongName = 3621201,  // a name over 100 characters to split
    kErrRenameEmptyGroup = 3621202,
    kErrRenameUnflagged = 3621203, // a numbered entry without its numbering flag
};

enum : int32_t {
    kRenameBlockEntries = 2001, // group entries per block of the group table
    kRenameBandMax = 2000,      // more bands leave the group unchanged
    kRenameNumberMax = 30000,   // a name's number is capped here
    kRenameAttrKind = 3,        // the former-name attribute: kind 3, sub-kind 9
    kRenameAttrSub = 9,
    kRenameAttrByte2 = 20,
};

// Band directions (bands are rows cut along y or columns cut along x) and
// orders within a band.
enum : int32_t {
    kRenameRowsUp = 1,      // rows, ascending y
    kRenameRowsDown = 2,    // rows, descending y
    kRenameColumnsLeft = 4, // columns, descending x
    kRenameColumnsRight = 8,
    kRenameOrderUp = 1,   // ascending y
    kRenameOrderDown = 2, // descending y
    kRenameOrderLeft = 4, // descending x
    kRenameOrderRight = 8,
};

// Renumbers every group; mask: bytes 1..component count (non-zero =
// selected) or null for every component.
void PlRenameComps(int32_t order, int32_t direction, const uint8_t* mask);
// The trailing number of the name (capped at 30,000), cut off the text;
// 0 and the text whole when it has no trailing digits or is digits only.
int32_t CompNameSplit(char* text);
