// The numeric limits that every writer and reader of a design shares: the
// coordinate limit and the ranges of the design's units. Each is declared
// here once; the ASCII reader, the binary loader, the range check of
// validation and the tables all take them from here, so that what one of
// them writes the others read back.
#pragma once
#include <cstdint>

enum : int32_t {
    // Positions, offsets, sizes and spacings: placing a pad adds a position,
    // a pin offset and a pad size in 32 bits, which stays clear of overflow
    // within this limit.
    kCoordLimit = 268435455,
    // Database units per user unit: sizes are derived from the user unit by
    // multiples up to 1,000.
    kUserUnitMin = 1,
    kUserUnitMax = 1000000,
};

// Inches per database unit (inch sizes become database units by dividing
// by it).
constexpr double kUnitSizeMin = 1e-9;
constexpr double kUnitSizeMax = 1.0;

// Whether v lies within the coordinate limit (either sign).
constexpr bool InCoordLimit(int64_t v) {
    return v >= -int64_t(kCoordLimit) && v <= int64_t(kCoordLimit);
}

// Whether a user unit and an inch factor lie within their ranges.
constexpr bool UnitsInRange(int64_t userUnit, double unitSize) {
    return userUnit >= kUserUnitMin && userUnit <= kUserUnitMax && unitSize >= kUnitSizeMin &&
           unitSize <= kUnitSizeMax;
}
