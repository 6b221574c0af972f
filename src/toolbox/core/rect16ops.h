// The drawing layer's rectangle and point helpers on Rect16 and Point16
// (rect.h holds the types and the 32-bit arithmetic): building, moving,
// comparing, intersecting, pinning, orienting and the angle geometry of
// points around a rectangle's centre.
//
// Guarantees: a rectangle is half-open (top <= v < bottom, left <= h <
// right); an intersection that is empty is answered all zero; products of
// the angle geometry are rounded half away from zero.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

// The start value for growing bounds.
constexpr int16_t kEmptyBoundsStart = 32767;
// Orientation code bits.
constexpr int32_t kOrientTurnMask = 3;
constexpr int32_t kOrientMirror = 4;
// Rotation codes of RotatePointAbout.
constexpr int32_t kRotateMirror = 1;
constexpr int32_t kRotate90 = 90;
constexpr int32_t kRotate180 = 180;
constexpr int32_t kRotate270 = 270;
// Tenths of a degree per radian (1800 / 3.14159).
constexpr double kTenthsPerRadian = 572.95827909;

Rect16 RectFromEdges(int16_t left, int16_t top, int16_t right, int16_t bottom);
void SetRectFromEdges(Rect16* rect, int16_t left, int16_t top, int16_t right, int16_t bottom);
void SetEmptyBoundsRect(Rect16* rect);
void InsetRectBy(Rect16* rect, int16_t dh, int16_t dv);
void OffsetRectBy(Rect16* rect, int16_t dh, int16_t dv);
void MoveRectBy(Rect16* rect, int16_t dh, int16_t dv);
bool RectsEqual(const Rect16* a, const Rect16* b);
// Two rectangles compared as two 32-bit words.
bool RectBitsEqual(const Rect16* a, const Rect16* b);
bool PointInRect(Point16 point, const Rect16* rect);
bool RectIntersection(const Rect16* a, const Rect16* b, Rect16* out);
void RectUnion(const Rect16* a, const Rect16* b, Rect16* out);
void RectSpanningPoints(Point16 p, Point16 q, Rect16* out);
Point16 SetPoint(int16_t h, int16_t v);
// a - b.
Point16 SubtractPoint(Point16 a, Point16 b);
Point16 PointDifference(Point16 a, Point16 b);
Point16 AddPoints(Point16 a, Point16 b);
NativePoint NativePointFromPoint(Point16 point);
NativePoint NativePointFromPoint32(Point32 point);
Point32 Point32FromNativePoint(NativePoint point);
// A new array of the points as native points (delete[] it); null without
// memory.
NativePoint* NativePointsFromPoints(const Point16* points, int32_t count);
// 32-bit (v, h) pairs into (x, y) and back (out and in may be the same).
void SwapPointAxes(int32_t* out, const int32_t* in, int32_t count);
// h raised to at least left and v to at least top; an h at or beyond right
// becomes right (right - 1 when strict), likewise v and bottom.
void PinPointInRect(Point16* point, const Rect16* rect, bool strict);

int32_t RoundToInt(double value);
// Whole degrees 0 to 359, clockwise from twelve o'clock, of the point
// around the rectangle's centre, corrected for its aspect.
int32_t AngleOfPointInRect(const Rect16* rect, Point16 point);
// The point at whole degrees clockwise from twelve o'clock on the ellipse
// of the radii around the centre.
void PointAtAngle(Point16 centre, int32_t hRadius, int32_t vRadius, int32_t angle, Point16* out);

// Turns (low two bits: 1 (v, h) -> (h, -v), 2 -> (-v, -h), 3 -> (-h, v)),
// then negates h when the mirror bit is set.
void OrientPoints(int32_t code, Point16* points, int32_t count);
// Orients both corners, spans them and moves the result so that it covers
// the same pixels.
void OrientRect(int32_t code, Rect16* rect);
void RotatePointAbout(Point16* point, Point16 centre, int32_t code);

// A polygon: its byte size (kPolygonHead plus 4 per point), its bounds,
// then its points.
struct PolygonRecord {
    int32_t byteSize;
    Rect16 bounds;
};
constexpr int32_t kPolygonHead = 12;
inline Point16* PolygonPoints(PolygonRecord* polygon) {
    return reinterpret_cast<Point16*>(polygon + 1);
}
inline int32_t PolygonPointCount(const PolygonRecord* polygon) {
    return (polygon->byteSize - kPolygonHead) / int32_t(sizeof(Point16));
}
void OffsetPolygon(PolygonRecord* polygon, int16_t dh, int16_t dv);
