// Angles in minutes of arc: sine and cosine from one-degree tables, the
// direction of a vector, turning points, and arcs and circles turned into
// chains of straight segments.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "db/dist.h"
#include "db/err.h"
#include "db/geom.h"

using namespace geom;

namespace {

// The sine and cosine of 0 to 90 whole degrees. One degree is taken as
// 3.1415926535 / 180 radians, added up entry by entry.
double g_sinTable[91];
double g_cosTable[91];
bool g_tablesBuilt = false;

constexpr double kDegreeStep = 0.017453292519444445;
constexpr double kDiagonal = 0.70710678; // the 45-degree value, as the tables' users expect it
constexpr double kPiMinutes = 3.1415926535;

double TableValue(const double* table, int32_t m) {
    int32_t d = m / 60;
    int32_t r = m % 60;
    if (r == 0)
        return table[d];
    return (table[d + 1] * r + table[d] * (60 - r)) / 60;
}

void PutPoint(void* out, int32_t i, int64_t x, int64_t y) {
    uint8_t* p = static_cast<uint8_t*>(out) + kSegListPointsOffset + i * kSegListPointBytes;
    int32_t vx = Wrap32(x);
    int32_t vy = Wrap32(y);
    std::memcpy(p, &vx, 4);
    std::memcpy(p + 4, &vy, 4);
}

void PutCount(void* out, int32_t count) {
    int16_t c = int16_t(count);
    std::memcpy(static_cast<uint8_t*>(out) + kSegListCountOffset, &c, 2);
}

} // namespace

int32_t AngNormalize(int32_t angle) {
    int32_t a = angle % kAngFullTurn;
    return a < 0 ? a + kAngFullTurn : a;
}

void AngTablesInit() {
    if (g_tablesBuilt)
        return;
    g_sinTable[0] = 0.0;
    g_cosTable[0] = 1.0;
    double sum = 0.0;
    for (int32_t i = 1; i < 90; i++) {
        sum += kDegreeStep;
        g_sinTable[i] = GeomSin(sum);
        g_cosTable[i] = GeomCos(sum);
    }
    g_sinTable[90] = 1.0;
    g_cosTable[90] = 0.0;
    g_tablesBuilt = true;
}

double AngSin(int32_t angle) {
    AngTablesInit();
    int32_t a = AngNormalize(angle);
    switch (a) {
    case 0:
    case 10800: return 0.0;
    case 2700:
    case 8100: return kDiagonal;
    case 5400: return 1.0;
    case 13500:
    case 18900: return -kDiagonal;
    case 16200: return -1.0;
    default: break;
    }
    int32_t q = a / kAngRight;
    int32_t m = a % kAngRight;
    if (q == 1 || q == 3)
        m = kAngRight - m;
    double v = TableValue(g_sinTable, m);
    return q >= 2 ? -v : v;
}

double AngCos(int32_t angle) {
    AngTablesInit();
    int32_t a = AngNormalize(angle);
    switch (a) {
    case 0: return 1.0;
    case 2700:
    case 18900: return kDiagonal;
    case 5400:
    case 16200: return 0.0;
    case 8100:
    case 13500: return -kDiagonal;
    case 10800: return -1.0;
    default: break;
    }
    int32_t q = a / kAngRight;
    int32_t m = a % kAngRight;
    if (q == 1 || q == 3)
        m = kAngRight - m;
    double v = TableValue(g_cosTable, m);
    return (q == 1 || q == 2) ? -v : v;
}

int32_t AngAtan2(int32_t dx, int32_t dy) {
    if (dy == 0 && dx >= 0)
        return 0;
    if (dx == 0 && dy > 0)
        return 5400;
    if (dy == 0)
        return 10800;
    if (dx == 0)
        return 16200;
    if (dx == dy)
        return dx > 0 ? 2700 : 13500;
    if (int64_t(dy) == -int64_t(dx))
        return dx > 0 ? 18900 : 8100;
    double v = GeomAtan2(double(dy), double(dx)) / 6.283185307 * 360 * 60;
    int32_t a = int32_t(v); // within -10,800..10,800
    if (int16_t(a) < 0)
        a += kAngFullTurn;
    return a;
}

void PtRotate(int32_t* x, int32_t* y, int32_t angle) {
    int32_t a = AngNormalize(angle);
    int64_t px = *x;
    int64_t py = *y;
    if (a % kAngRight == 0) {
        switch (a / kAngRight) {
        case 0: break;
        case 1: *x = Wrap32(-py); *y = Wrap32(px); break;
        case 2: *x = Wrap32(-px); *y = Wrap32(-py); break;
        default: *x = Wrap32(py); *y = Wrap32(-px); break;
        }
        return;
    }
    double c = AngCos(a);
    double s = AngSin(a);
    *x = Wrap32(Trunc64(double(px) * c - double(py) * s));
    *y = Wrap32(Trunc64(double(py) * c + double(px) * s));
}

void PtRotateExact(int32_t x, int32_t y, int32_t angle, int32_t* dx, int32_t* dy) {
    int32_t a = AngNormalize(angle);
    int64_t ox = *dx;
    int64_t oy = *dy;
    int64_t rx, ry;
    if (a % kAngRight == 0) {
        switch (a / kAngRight) {
        case 0: rx = ox; ry = oy; break;
        case 1: rx = -oy; ry = ox; break;
        case 2: rx = -ox; ry = -oy; break;
        default: rx = oy; ry = -ox; break;
        }
    } else {
        double t = double(a) * kPiMinutes / 10800;
        double c = GeomCos(t);
        double s = GeomSin(t);
        rx = Trunc64(double(ox) * c - double(oy) * s);
        ry = Trunc64(double(oy) * c + double(ox) * s);
    }
    *dx = Wrap32(x + rx);
    *dy = Wrap32(y + ry);
}

int32_t ArcSegCount(int32_t radius, int32_t tolerance) {
    if (tolerance >= radius)
        return 1;
    double c = 1.0 - double(tolerance) / double(radius);
    for (int32_t n = 1; n <= 90; n++) {
        if (AngCos(2700 / n) >= c)
            return n;
    }
    return 91;
}

int32_t SegListCount(const void* list) {
    int16_t c;
    std::memcpy(&c, static_cast<const uint8_t*>(list) + kSegListCountOffset, 2);
    return c;
}

void SegListPoint(const void* list, int32_t i, int32_t* x, int32_t* y) {
    const uint8_t* p =
        static_cast<const uint8_t*>(list) + kSegListPointsOffset + i * kSegListPointBytes;
    std::memcpy(x, p, 4);
    std::memcpy(y, p + 4, 4);
}

void ArcToSegs(int32_t tolerance, const ArcSpec* arc, void* out) {
    int64_t ox = int64_t(arc->startX) - arc->centreX;
    int64_t oy = int64_t(arc->startY) - arc->centreY;
    int32_t radius = Trunc32(std::sqrt(double(ox) * double(ox) + double(oy) * double(oy)));
    int32_t n = ArcSegCount(radius, tolerance);
    if (arc->startX == arc->endX && arc->startY == arc->endY) {
        CircleToSegs(n, radius, arc->centreX, arc->centreY, arc->startX, arc->startY, out);
        return;
    }
    int32_t a1 = AngAtan2(Wrap32(ox), Wrap32(oy));
    int32_t a2 = AngAtan2(Wrap32(int64_t(arc->endX) - arc->centreX),
                          Wrap32(int64_t(arc->endY) - arc->centreY));
    int32_t sweep = a2 - a1;
    if (arc->flags == kArcCounterClockwise && sweep < 0)
        sweep += kAngFullTurn;
    else if (arc->flags == kArcClockwise && sweep > 0)
        sweep -= kAngFullTurn;
    int32_t size = sweep < 0 ? -sweep : sweep;
    int32_t count;
    if (size == kAngRight)
        count = n;
    else if (size == kAngHalf)
        count = 2 * n;
    else
        count = n * (size / kAngRight + 1);
    if (count < 1 || count >= kSegListMaxPoints)
        ErrReport(kErrArcSegCount, count);
    int32_t step = sweep / count;
    PutPoint(out, 0, arc->startX, arc->startY);
    int32_t a = a1;
    for (int32_t i = 1; i < count; i++) {
        a += step;
        PutPoint(out, i, int64_t(arc->centreX) + Trunc64(AngCos(a) * radius),
                 int64_t(arc->centreY) + Trunc64(radius * AngSin(a)));
    }
    PutPoint(out, count, arc->endX, arc->endY);
    PutCount(out, count + 1);
}

void CircleToSegs(int32_t n, int32_t radius, int32_t cx, int32_t cy, int32_t sx, int32_t sy,
                  void* out) {
    if (n < 1)
        ErrReport(kErrArcSegCount, n);
    if (4 * int64_t(n) + 1 > kSegListMaxPoints)
        ErrReport(kErrCircleSegCount, n);
    int32_t a0 = AngAtan2(Wrap32(int64_t(sx) - cx), Wrap32(int64_t(sy) - cy));
    int32_t h = kAngRight / n;
    PutPoint(out, 0, sx, sy);
    for (int32_t i = 1; i <= n; i++) {
        int32_t a = a0 + i * h;
        int64_t t = Trunc64(AngCos(a) * radius);
        int64_t v = Trunc64(radius * AngSin(a));
        PutPoint(out, i, cx + t, cy + v);
        PutPoint(out, n + i, cx - v, cy + t);
        PutPoint(out, 2 * n + i, cx - t, cy - v);
        PutPoint(out, 3 * n + i, cx + v, cy - t);
    }
    PutCount(out, 4 * n + 1);
}
