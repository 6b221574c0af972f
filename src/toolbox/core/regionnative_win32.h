// The Win32 bridge of regions: a GDI region for a record (owned by the
// record, valid until the region next changes or is disposed) and a record
// set from a GDI region.
#pragma once
#include <windows.h>

#include "toolbox/core/region.h"

// The record's cached GDI region, made with ExtCreateRegion when there is
// none; null when GDI refuses.
HRGN RegionToNative(RegionRecord* region);
// Sets the record to the area of `native`; false (unchanged) on failure.
bool RegionFromNative(RegionRecord* region, HRGN native);
