// The display-unit fields of the database header that value formatting and
// parsing read. The database keeps this record in step with its header
// whenever the header's units change (load, new design, units dialog).
#pragma once
#include <cstdint>

struct HeaderUnits {
    // Display unit kind: 0 user units, 1 mils, 2 inches, 3 centimetres,
    // 4 millimetres, 5 microns ("U"), 6 database units.
    int32_t unitKind;
    // Decimal digits shown for a value (ValueFormat), 0 for whole numbers.
    int32_t digits;
    // Display units per database unit; a formatted value is v x scale.
    // For kind 5 the header stores unitSize x 2.54 x 1,000 here, while
    // parsing the suffix "U" divides by unitSize x 2.54 x 10,000; the two
    // are kept as they are.
    double scale;
    // Size of one database unit in inches (1/60,000 for a 60,000-per-inch
    // design).
    double unitSize;
    // Database units per display user unit (unit kind 0).
    int32_t userUnit;
};

// The values in force; start state: database units, no digits, scale 1,
// unit size 1/60,000 inch, user unit 1.
extern HeaderUnits g_hdrUnits;

// Puts the start state back.
void HeaderUnitsReset();
