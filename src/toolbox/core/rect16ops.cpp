// Rect16 and Point16 helpers. Angles are measured clockwise from twelve
// o'clock with v growing downwards; axis points are answered exactly.
#include "toolbox/core/rect16ops.h"

#include <cmath>
#include <cstring>
#include <new>
#include <utility>

static_assert(sizeof(PolygonRecord) == kPolygonHead, "polygon head is 12 bytes");

namespace {
constexpr double kDegreesPerRadian = 57.29577951308232;

int16_t Min16(int16_t a, int16_t b) {
    return a < b ? a : b;
}
int16_t Max16(int16_t a, int16_t b) {
    return a > b ? a : b;
}
} // namespace

Rect16 RectFromEdges(int16_t left, int16_t top, int16_t right, int16_t bottom) {
    return Rect16{top, left, bottom, right};
}
void SetRectFromEdges(Rect16* rect, int16_t left, int16_t top, int16_t right, int16_t bottom) {
    *rect = RectFromEdges(left, top, right, bottom);
}
void SetEmptyBoundsRect(Rect16* rect) {
    *rect = Rect16{kEmptyBoundsStart, kEmptyBoundsStart, -kEmptyBoundsStart, -kEmptyBoundsStart};
}
void InsetRectBy(Rect16* rect, int16_t dh, int16_t dv) {
    *rect = Rect16{int16_t(rect->top + dv), int16_t(rect->left + dh), int16_t(rect->bottom - dv),
                   int16_t(rect->right - dh)};
}
void OffsetRectBy(Rect16* rect, int16_t dh, int16_t dv) {
    *rect = Rect16{int16_t(rect->top + dv), int16_t(rect->left + dh), int16_t(rect->bottom + dv),
                   int16_t(rect->right + dh)};
}
void MoveRectBy(Rect16* rect, int16_t dh, int16_t dv) {
    OffsetRectBy(rect, dh, dv);
}
bool RectsEqual(const Rect16* a, const Rect16* b) {
    return a->top == b->top && a->left == b->left && a->bottom == b->bottom && a->right == b->right;
}
bool RectBitsEqual(const Rect16* a, const Rect16* b) {
    uint32_t wa[2], wb[2];
    std::memcpy(wa, a, sizeof wa);
    std::memcpy(wb, b, sizeof wb);
    return wa[0] == wb[0] && wa[1] == wb[1];
}
bool PointInRect(Point16 point, const Rect16* rect) {
    return rect->top <= point.v && point.v < rect->bottom && rect->left <= point.h &&
           point.h < rect->right;
}
bool RectIntersection(const Rect16* a, const Rect16* b, Rect16* out) {
    Rect16 r{Max16(a->top, b->top), Max16(a->left, b->left), Min16(a->bottom, b->bottom),
             Min16(a->right, b->right)};
    if (RectIsEmpty(a) || RectIsEmpty(b) || RectIsEmpty(&r)) {
        *out = Rect16{};
        return false;
    }
    *out = r;
    return true;
}
void RectUnion(const Rect16* a, const Rect16* b, Rect16* out) {
    *out = Rect16{Min16(a->top, b->top), Min16(a->left, b->left), Max16(a->bottom, b->bottom),
                  Max16(a->right, b->right)};
}
void RectSpanningPoints(Point16 p, Point16 q, Rect16* out) {
    *out = Rect16{Min16(p.v, q.v), Min16(p.h, q.h), Max16(p.v, q.v), Max16(p.h, q.h)};
}
Point16 SetPoint(int16_t h, int16_t v) {
    return Point16{v, h};
}
Point16 SubtractPoint(Point16 a, Point16 b) {
    return Point16{int16_t(a.v - b.v), int16_t(a.h - b.h)};
}
Point16 PointDifference(Point16 a, Point16 b) {
    return SubtractPoint(a, b);
}
Point16 AddPoints(Point16 a, Point16 b) {
    return Point16{int16_t(a.v + b.v), int16_t(a.h + b.h)};
}
NativePoint NativePointFromPoint(Point16 point) {
    return NativePoint{point.h, point.v};
}
NativePoint NativePointFromPoint32(Point32 point) {
    return NativePoint{point.h, point.v};
}
Point32 Point32FromNativePoint(NativePoint point) {
    return Point32{point.y, point.x};
}

NativePoint* NativePointsFromPoints(const Point16* points, int32_t count) {
    auto* out = new (std::nothrow) NativePoint[size_t(count > 0 ? count : 1)];
    if (!out) return nullptr;
    for (int32_t i = 0; i < count; ++i)
        out[i] = NativePointFromPoint(points[i]);
    return out;
}

void SwapPointAxes(int32_t* out, const int32_t* in, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        int32_t first = in[2 * i], second = in[2 * i + 1];
        out[2 * i] = second;
        out[2 * i + 1] = first;
    }
}

void PinPointInRect(Point16* point, const Rect16* rect, bool strict) {
    int16_t last = strict ? 1 : 0;
    if (point->h < rect->left) point->h = rect->left;
    if (point->v < rect->top) point->v = rect->top;
    if (point->h >= rect->right) point->h = int16_t(rect->right - last);
    if (point->v >= rect->bottom) point->v = int16_t(rect->bottom - last);
}

int32_t RoundToInt(double value) {
    return int32_t(value < 0 ? value - 0.5 : value + 0.5);
}

int32_t AngleOfPointInRect(const Rect16* rect, Point16 point) {
    // Doubled offsets from the centre, each scaled by the other side so the
    // rectangle counts as a square.
    int64_t dh = 2 * int64_t(point.h) - rect->left - rect->right;
    int64_t dv = 2 * int64_t(point.v) - rect->top - rect->bottom;
    int64_t x = dh * (rect->bottom - rect->top);
    int64_t y = dv * (rect->right - rect->left);
    if (x == 0) return y > 0 ? 180 : 0;
    if (y == 0) return x > 0 ? 90 : 270;
    double degrees = std::atan2(double(x), double(-y)) * kDegreesPerRadian;
    int32_t angle = RoundToInt(degrees);
    return ((angle % 360) + 360) % 360;
}

void PointAtAngle(Point16 centre, int32_t hRadius, int32_t vRadius, int32_t angle, Point16* out) {
    double t = double(90 - angle) * 10.0 / kTenthsPerRadian;
    out->v = int16_t(centre.v - RoundToInt(std::sin(t) * vRadius));
    out->h = int16_t(centre.h + RoundToInt(std::cos(t) * hRadius));
}

void OrientPoints(int32_t code, Point16* points, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        Point16 p = points[i];
        switch (code & kOrientTurnMask) {
        case 1:
            p = Point16{p.h, int16_t(-p.v)};
            break;
        case 2:
            p = Point16{int16_t(-p.v), int16_t(-p.h)};
            break;
        case 3:
            p = Point16{int16_t(-p.h), p.v};
            break;
        default:
            break;
        }
        if (code & kOrientMirror) p.h = int16_t(-p.h);
        points[i] = p;
    }
}

void OrientRect(int32_t code, Rect16* rect) {
    static const int16_t kShift[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}}; // dh, dv
    Point16 corners[2] = {{rect->top, rect->left}, {rect->bottom, rect->right}};
    OrientPoints(code, corners, 2);
    RectSpanningPoints(corners[0], corners[1], rect);
    int16_t dh = kShift[code & kOrientTurnMask][0];
    int16_t dv = kShift[code & kOrientTurnMask][1];
    if (code & kOrientMirror) dh = int16_t(1 - dh);
    OffsetRectBy(rect, dh, dv);
}

void RotatePointAbout(Point16* point, Point16 centre, int32_t code) {
    int32_t dh = point->h - centre.h, dv = point->v - centre.v;
    switch (code) {
    case kRotateMirror:
        dh = -dh;
        break;
    case kRotate90:
        std::swap(dh, dv), dh = -dh;
        break;
    case kRotate180:
        dh = -dh, dv = -dv;
        break;
    case kRotate270:
        std::swap(dh, dv), dv = -dv;
        break;
    default:
        return;
    }
    *point = Point16{int16_t(centre.v + dv), int16_t(centre.h + dh)};
}

void OffsetPolygon(PolygonRecord* polygon, int16_t dh, int16_t dv) {
    OffsetRectBy(&polygon->bounds, dh, dv);
    Point16* points = PolygonPoints(polygon);
    for (int32_t i = 0, n = PolygonPointCount(polygon); i < n; ++i)
        points[i] = Point16{int16_t(points[i].v + dv), int16_t(points[i].h + dh)};
}
