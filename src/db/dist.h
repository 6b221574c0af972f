// Arithmetic shared by the angle, distance and arc routines (not part of
// the geometry's interface).
#pragma once
#include <cstdint>

namespace geom {

inline int64_t Abs64(int64_t v) { return v < 0 ? -v : v; }

// A 64-bit value stored back into 32 bits, wrapping like the machine does.
inline int32_t Wrap32(int64_t v) { return int32_t(uint32_t(uint64_t(v))); }

// A distance held to the 32-bit range.
inline int32_t Dist32(int64_t v) { return v > INT32_MAX ? INT32_MAX : int32_t(v); }

// Truncation toward zero, held to the 64-bit range.
inline int64_t Trunc64(double v) {
    if (v != v)
        return 0;
    if (v >= 9.2e18)
        return INT64_MAX;
    if (v <= -9.2e18)
        return INT64_MIN;
    return int64_t(v);
}

// Truncation toward zero into a coordinate, held to the 32-bit range.
inline int32_t Trunc32(double v) {
    int64_t t = Trunc64(v);
    return t > INT32_MAX ? INT32_MAX : t < INT32_MIN ? INT32_MIN : int32_t(t);
}

// Rounding half away from zero into a coordinate.
inline int32_t RoundHalfAway(double v) { return Trunc32(v >= 0 ? v + 0.5 : v - 0.5); }

inline bool Small(int64_t v) { return v > -0x80000000LL && v < 0x80000000LL; }

// a x d - b x c: exact while every factor is below 2^31 in magnitude, else
// in floating point. The result is only compared and divided.
inline double Cross(int64_t a, int64_t b, int64_t c, int64_t d) {
    if (Small(a) && Small(b) && Small(c) && Small(d))
        return double(a * d - b * c);
    return double(a) * double(d) - double(b) * double(c);
}

// a x c + b x d, exact in the same way.
inline double Dot(int64_t a, int64_t b, int64_t c, int64_t d) {
    if (Small(a) && Small(b) && Small(c) && Small(d))
        return double(a * c + b * d);
    return double(a) * double(c) + double(b) * double(d);
}

// Where the parameter num / den lies on 0..1 (den not 0): -1 outside, 0 at
// either end, 1 strictly inside.
inline int32_t ParamClass(double num, double den) {
    if (num == 0 || num == den)
        return 0;
    if ((num < 0) != (den < 0))
        return -1;
    double an = num < 0 ? -num : num;
    double ad = den < 0 ? -den : den;
    return an < ad ? 1 : -1;
}

} // namespace geom
