// Sine, cosine and arc tangent in plain IEEE double arithmetic, so that the
// native and the Windows build turn and measure every point to the same
// bits. Classic minimax polynomials on [-pi/4, pi/4] after a three-part
// reduction by pi/2, and the arc tangent by reduction to five intervals.
#include <bit>
#include <cstdint>

#include "db/geom.h"

namespace {

constexpr double Bits(uint64_t u) { return std::bit_cast<double>(u); }

inline uint32_t HighWord(double x) { return uint32_t(std::bit_cast<uint64_t>(x) >> 32); }

// pi/2 in three 33-bit chunks with their tails, and 2/pi.
constexpr double kPio2Hi1 = Bits(0x3FF921FB54400000ull);
constexpr double kPio2Lo1 = Bits(0x3DD0B4611A626331ull);
constexpr double kPio2Hi2 = Bits(0x3DD0B4611A600000ull);
constexpr double kPio2Lo2 = Bits(0x3BA3198A2E037073ull);
constexpr double kPio2Hi3 = Bits(0x3BA3198A2E000000ull);
constexpr double kPio2Lo3 = Bits(0x397B839A252049C1ull);
constexpr double kInvPio2 = Bits(0x3FE45F306DC9C883ull);

// sin(x) ~ x + x^3 (S1 + x^2 S2 + ... + x^10 S6) on [-pi/4, pi/4].
constexpr double kS1 = -1.66666666666666324348e-01;
constexpr double kS2 = 8.33333333332248946124e-03;
constexpr double kS3 = -1.98412698298579493134e-04;
constexpr double kS4 = 2.75573137070700676789e-06;
constexpr double kS5 = -2.50507602534068634195e-08;
constexpr double kS6 = 1.58969099521155010221e-10;

// cos(x) ~ 1 - x^2/2 + x^4 (C1 + x^2 C2 + ... + x^10 C6) on [-pi/4, pi/4].
constexpr double kC1 = 4.16666666666666019037e-02;
constexpr double kC2 = -1.38888888888741095749e-03;
constexpr double kC3 = 2.48015872894767294178e-05;
constexpr double kC4 = -2.75573143513906633035e-07;
constexpr double kC5 = 2.08757232129817482790e-09;
constexpr double kC6 = -1.13596475577881948265e-11;

// Sine of x + y, |x + y| <= pi/4, y the tail of x.
double KernelSin(double x, double y) {
    double z = x * x;
    double v = z * x;
    double r = kS2 + z * (kS3 + z * (kS4 + z * (kS5 + z * kS6)));
    return x - ((z * (0.5 * y - v * r) - y) - v * kS1);
}

// Cosine of x + y, |x + y| <= pi/4, y the tail of x.
double KernelCos(double x, double y) {
    double z = x * x;
    double r = z * (kC1 + z * (kC2 + z * (kC3 + z * (kC4 + z * (kC5 + z * kC6)))));
    double hz = 0.5 * z;
    double w = 1.0 - hz;
    return w + (((1.0 - w) - hz) + (z * r - x * y));
}

// x = n pi/2 + (y0 + y1) with |y0 + y1| <= about pi/4; returns n mod 4.
int32_t ReducePio2(double x, double* y0, double* y1) {
    double t = x * kInvPio2;
    int64_t n = int64_t(t < 0 ? t - 0.5 : t + 0.5);
    double fn = double(n);
    int32_t expX = int32_t((HighWord(x) >> 20) & 0x7ff);
    double r = x - fn * kPio2Hi1;
    double w = fn * kPio2Lo1;
    double y = r - w;
    if (expX - int32_t((HighWord(y) >> 20) & 0x7ff) > 16) {
        // Cancellation: take the next 33 bits of pi/2.
        double u = r;
        w = fn * kPio2Hi2;
        r = u - w;
        w = fn * kPio2Lo2 - ((u - r) - w);
        y = r - w;
        if (expX - int32_t((HighWord(y) >> 20) & 0x7ff) > 49) {
            u = r;
            w = fn * kPio2Hi3;
            r = u - w;
            w = fn * kPio2Lo3 - ((u - r) - w);
            y = r - w;
        }
    }
    *y0 = y;
    *y1 = (r - y) - w;
    return int32_t(n & 3);
}

constexpr double kAtanHi[4] = {
    Bits(0x3FDDAC670561BB4Full), // atan(0.5)
    Bits(0x3FE921FB54442D18ull), // atan(1)
    Bits(0x3FEF730BD281F69Bull), // atan(1.5)
    Bits(0x3FF921FB54442D18ull), // atan(infinity)
};
constexpr double kAtanLo[4] = {
    Bits(0x3C7A2B7F222F65E2ull),
    Bits(0x3C81A62633145C07ull),
    Bits(0x3C7007887AF0CBBDull),
    Bits(0x3C91A62633145C07ull),
};
constexpr double kAtanPoly[11] = {
    3.33333333333329318027e-01,  -1.99999999998764832476e-01, 1.42857142725034663711e-01,
    -1.11111104054623557880e-01, 9.09088713343650656196e-02,  -7.69187620504482999495e-02,
    6.66107313738753120669e-02,  -5.83357013379057348645e-02, 4.97687799461593236017e-02,
    -3.65315727442169155270e-02, 1.62858201153657823623e-02,
};
constexpr double kPi = Bits(0x400921FB54442D18ull);
constexpr double kPiLo = Bits(0x3CA1A62633145C07ull);
constexpr double kPio2 = Bits(0x3FF921FB54442D18ull);

double Atan(double x) {
    uint32_t hx = HighWord(x);
    bool negative = (hx >> 31) != 0;
    uint32_t ix = hx & 0x7fffffff;
    if (x != x)
        return x;
    if (ix >= 0x44100000) // |x| >= 2^66
        return negative ? -(kAtanHi[3] + kAtanLo[3]) : kAtanHi[3] + kAtanLo[3];
    int32_t id;
    if (ix < 0x3fdc0000) { // |x| < 0.4375
        if (ix < 0x3e400000) // |x| < 2^-27
            return x;
        id = -1;
    } else {
        x = negative ? -x : x;
        if (ix < 0x3ff30000) {     // |x| < 1.1875
            if (ix < 0x3fe60000) { // 7/16 <= |x| < 11/16
                id = 0;
                x = (2.0 * x - 1.0) / (2.0 + x);
            } else { // 11/16 <= |x| < 19/16
                id = 1;
                x = (x - 1.0) / (x + 1.0);
            }
        } else if (ix < 0x40038000) { // |x| < 2.4375
            id = 2;
            x = (x - 1.5) / (1.0 + 1.5 * x);
        } else {
            id = 3;
            x = -1.0 / x;
        }
    }
    double z = x * x;
    double w = z * z;
    const double* a = kAtanPoly;
    double s1 = z * (a[0] + w * (a[2] + w * (a[4] + w * (a[6] + w * (a[8] + w * a[10])))));
    double s2 = w * (a[1] + w * (a[3] + w * (a[5] + w * (a[7] + w * a[9]))));
    if (id < 0)
        return x - x * (s1 + s2);
    double r = kAtanHi[id] - ((x * (s1 + s2) - kAtanLo[id]) - x);
    return negative ? -r : r;
}

} // namespace

double GeomSin(double x) {
    uint32_t ix = HighWord(x) & 0x7fffffff;
    if (ix <= 0x3fe921fb) { // |x| <= pi/4
        if (ix < 0x3e400000) // |x| < 2^-27
            return x;
        return KernelSin(x, 0.0);
    }
    if (ix >= 0x7ff00000)
        return x - x;
    double y0, y1;
    switch (ReducePio2(x, &y0, &y1)) {
    case 0: return KernelSin(y0, y1);
    case 1: return KernelCos(y0, y1);
    case 2: return -KernelSin(y0, y1);
    default: return -KernelCos(y0, y1);
    }
}

double GeomCos(double x) {
    uint32_t ix = HighWord(x) & 0x7fffffff;
    if (ix <= 0x3fe921fb) {
        if (ix < 0x3e46a09e) // |x| < 2^-27 * sqrt(2)
            return 1.0;
        return KernelCos(x, 0.0);
    }
    if (ix >= 0x7ff00000)
        return x - x;
    double y0, y1;
    switch (ReducePio2(x, &y0, &y1)) {
    case 0: return KernelCos(y0, y1);
    case 1: return -KernelSin(y0, y1);
    case 2: return -KernelCos(y0, y1);
    default: return KernelSin(y0, y1);
    }
}

double GeomAtan2(double y, double x) {
    if (x != x || y != y)
        return x + y;
    bool yNeg = (HighWord(y) >> 31) != 0;
    bool xNeg = (HighWord(x) >> 31) != 0;
    if (x == 1.0)
        return Atan(y);
    if (y == 0.0) {
        if (!xNeg)
            return y; // +-0
        return yNeg ? -kPi : kPi;
    }
    if (x == 0.0)
        return yNeg ? -kPio2 : kPio2;
    uint32_t ix = HighWord(x) & 0x7fffffff;
    uint32_t iy = HighWord(y) & 0x7fffffff;
    if (ix == 0x7ff00000 || iy == 0x7ff00000) {
        // Infinite arguments: the limits of the direction.
        double base;
        if (ix == 0x7ff00000 && iy == 0x7ff00000)
            base = xNeg ? 3.0 * kPio2 / 2.0 : kPio2 / 2.0;
        else if (iy == 0x7ff00000)
            base = kPio2;
        else
            base = xNeg ? kPi : 0.0;
        return yNeg ? -base : base;
    }
    int32_t k = (int32_t(iy) - int32_t(ix)) >> 20;
    double z;
    if (k > 60) {
        z = kPio2 + 0.5 * kPiLo;
    } else if (xNeg && k < -60) {
        z = 0.0;
    } else {
        double q = y / x;
        z = Atan(q < 0 ? -q : q);
    }
    if (!xNeg)
        return yNeg ? -z : z;
    return yNeg ? (z - kPiLo) - kPi : kPi - (z - kPiLo);
}
