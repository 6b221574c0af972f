// Custom resources of the program: user-defined resource types named by
// four-character codes ("LANG", "RFNT", "XDLG"), and the system's standard
// types by number (bitmaps, menus and icons).
#pragma once
#include <cstdint>

#include "toolbox/core/memblock.h"

// Standard numeric resource types; types up to the last are numbers.
constexpr uint32_t kResourceTypeBitmap = 2;
constexpr uint32_t kResourceTypeIcon = 3;
constexpr uint32_t kResourceTypeMenu = 4;
constexpr uint32_t kResourceTypeGroupIcon = 14;
constexpr uint32_t kResourceTypeStandardMax = 0xFFFF;

// A new relocatable block holding a copy of the bytes of the program's
// resource of that type and number, or null when there is none. The type
// 'LANG' looks for the resource type name "LANG" (matched without regard to
// case). In pelvane.exe and the win64 build the bytes come from the
// executable's resource section; natively from the headless registry.
RelocatableBlock LoadCustomResource(uint32_t type, int32_t number);

// Frees a block that LoadCustomResource returned (null is ignored).
void ReleaseCustomResource(RelocatableBlock block);

// String id + index - 1 of the program's string table (just id for an
// index of 0 or less) into out (256 bytes); a missing string gives "".
// pelvane.exe reads the executable's string table; natively the headless
// stand-in reads the generated one.
void StringResourceLoad(int32_t id, int32_t index, char* out);

// Size of StringResourceLoad's buffer, the terminating zero included.
constexpr int32_t kStringResourceSize = 256;
