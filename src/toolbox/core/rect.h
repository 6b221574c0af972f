// Rectangles and points in 16 and 32 bits, and arithmetic on the 32-bit
// forms. A rectangle is empty when top >= bottom or left >= right.
#pragma once
#include <cstdint>

struct Rect16 {
    int16_t top, left, bottom, right;
};
struct Point16 {
    int16_t v, h;
};
struct Rect32 {
    int32_t top, left, bottom, right;
};
struct Point32 {
    int32_t v, h;
};

void PointToShort(const Point32* point, Point16* out);
void Rect32FromRect(const Rect16* rect, Rect32* out);
void RectFromRect32(const Rect32* rect, Rect16* out);
void OffsetRect32(Rect32* rect, int32_t dh, int32_t dv);
void InsetRect32(Rect32* rect, int32_t dh, int32_t dv);
bool SectRect32(const Rect32* a, const Rect32* b, Rect32* out);
void PinPointInRect32(Point32* point, const Rect32* rect, uint8_t exclusive);
bool EqualRect32(const Rect32* a, const Rect32* b);
bool Rect32IsEmpty(const Rect32* rect);
// Maps points from the source rectangle onto the destination, each axis
// scaled about the source start with halves rounded away from it.
void MapPoints32(Point32* points, int16_t count, const Rect32* source, const Rect32* dest);

// The system's rectangle and point layouts (RECT and POINT: 32-bit left,
// top, right, bottom; x, y), for the helpers between them and the layer's
// forms.
struct NativeRect {
    int32_t left, top, right, bottom;
};
struct NativePoint {
    int32_t x, y;
};

// Narrowed to 16 bits (clamped).
void RectFromNativeRect(const NativeRect* native, Rect16* out);
void Rect32FromNativeRect(const NativeRect* native, Rect32* out);
void NativeRectFromRect(const Rect16* rect, NativeRect* out);
// The same as NativeRectFromRect.
void RectToNativeRect(const Rect16* rect, NativeRect* out);
// Right at or left of left, or bottom at or above top.
bool IsNativeRectEmpty(const NativeRect* rect);
void PointFromNativePoint(const NativePoint* native, Point16* out);
bool RectIsEmpty(const Rect16* rect);
