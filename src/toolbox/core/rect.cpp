// Rectangle and point arithmetic.
#include "toolbox/core/rect.h"

namespace {

int16_t Clamp16(int32_t v) {
    if (v > 32767) return 32767;
    if (v < -32768) return -32768;
    return int16_t(v);
}

int32_t MapAxis(int32_t c, int32_t srcStart, int32_t srcEnd, int32_t dstStart, int32_t dstEnd) {
    int64_t srcSpan = int64_t(srcEnd) - srcStart;
    int64_t dstSpan = int64_t(dstEnd) - dstStart;
    if (srcSpan == dstSpan) return int32_t(int64_t(c) + dstStart - srcStart);
    if (srcSpan == 0) return dstStart;
    int64_t d = int64_t(c) - srcStart;
    int64_t magnitude = (srcSpan / 2 + dstSpan * (d < 0 ? -d : d)) / srcSpan;
    return int32_t(d < 0 ? dstStart - magnitude : dstStart + magnitude);
}

} // namespace

void PointToShort(const Point32* point, Point16* out) {
    out->v = Clamp16(point->v);
    out->h = Clamp16(point->h);
}

void Rect32FromRect(const Rect16* rect, Rect32* out) {
    *out = Rect32{rect->top, rect->left, rect->bottom, rect->right};
}

void RectFromRect32(const Rect32* rect, Rect16* out) {
    *out = Rect16{Clamp16(rect->top), Clamp16(rect->left), Clamp16(rect->bottom), Clamp16(rect->right)};
}

void OffsetRect32(Rect32* rect, int32_t dh, int32_t dv) {
    rect->left += dh;
    rect->right += dh;
    rect->top += dv;
    rect->bottom += dv;
}

void InsetRect32(Rect32* rect, int32_t dh, int32_t dv) {
    rect->left += dh;
    rect->right -= dh;
    rect->top += dv;
    rect->bottom -= dv;
}

bool SectRect32(const Rect32* a, const Rect32* b, Rect32* out) {
    Rect32 r{a->top > b->top ? a->top : b->top, a->left > b->left ? a->left : b->left,
             a->bottom < b->bottom ? a->bottom : b->bottom, a->right < b->right ? a->right : b->right};
    *out = r;
    return r.top < r.bottom && r.left < r.right;
}

void PinPointInRect32(Point32* point, const Rect32* rect, uint8_t exclusive) {
    if (point->h < rect->left) point->h = rect->left;
    if (point->v < rect->top) point->v = rect->top;
    if (point->h >= rect->right) point->h = exclusive ? rect->right - 1 : rect->right;
    if (point->v >= rect->bottom) point->v = exclusive ? rect->bottom - 1 : rect->bottom;
}

bool EqualRect32(const Rect32* a, const Rect32* b) {
    return a->top == b->top && a->left == b->left && a->bottom == b->bottom && a->right == b->right;
}

bool Rect32IsEmpty(const Rect32* rect) { return rect->top >= rect->bottom || rect->left >= rect->right; }

void MapPoints32(Point32* points, int16_t count, const Rect32* source, const Rect32* dest) {
    for (int16_t i = 0; i < count; ++i) {
        points[i].v = MapAxis(points[i].v, source->top, source->bottom, dest->top, dest->bottom);
        points[i].h = MapAxis(points[i].h, source->left, source->right, dest->left, dest->right);
    }
}

void RectFromNativeRect(const NativeRect* native, Rect16* out) {
    *out = Rect16{Clamp16(native->top), Clamp16(native->left), Clamp16(native->bottom),
                  Clamp16(native->right)};
}

void Rect32FromNativeRect(const NativeRect* native, Rect32* out) {
    *out = Rect32{native->top, native->left, native->bottom, native->right};
}

void NativeRectFromRect(const Rect16* rect, NativeRect* out) {
    *out = NativeRect{rect->left, rect->top, rect->right, rect->bottom};
}

void RectToNativeRect(const Rect16* rect, NativeRect* out) {
    NativeRectFromRect(rect, out);
}

bool IsNativeRectEmpty(const NativeRect* rect) {
    return rect->right <= rect->left || rect->bottom <= rect->top;
}

void PointFromNativePoint(const NativePoint* native, Point16* out) {
    *out = Point16{Clamp16(native->y), Clamp16(native->x)};
}

bool RectIsEmpty(const Rect16* rect) {
    return rect->top >= rect->bottom || rect->left >= rect->right;
}
