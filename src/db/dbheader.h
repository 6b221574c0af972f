// The design header: the one DbHeader record of the open design, its
// validation and the display units derived from it.
#pragma once
#include <cstdint>

#include "db/records.h"

// The stored header itself, for the database modules (counts, layer count,
// flags, record ids). Others read it with DbGetHeader.
DbHeader& DbHdr();

// Copies the 734-byte header out.
void DbGetHeader(DbHeader* out);

// Validates, applies the defaults and stores the header; derives the display
// scale and digit counts unless the display settings are unchanged.
void DbPutHeader(const DbHeader* header);

// Puts the defaults of a new design into the header.
void DbHeaderReset();

// The header template of a new design ("Unnamed"), without derived values.
void DbHeaderTemplate(DbHeader* out);

// The next record id: the header's counter, decremented first.
int32_t DbNextRecordId();

// Marks the design modified (DbModified = 1).
void DbSetModified();
// Widens the design extent in the header by a box; an inverted (empty) box
// never widens it.
void DbExtentAdd(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY);

// DbValid is 1.
bool DbIsValid();
