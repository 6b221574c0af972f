// Attributes in the journal: an attribute item is found by its key, so
// the placement edits give each attribute the index of an item with the
// same key, else one above the highest attribute index there.
#pragma once
#include <cstdint>

#include "db/records.h"

// The journal index for the attribute's key (kind, first key type, keys).
int32_t PlAltAttrIndex(const Attribute& a);
