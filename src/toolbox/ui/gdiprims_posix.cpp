// The plain primitives without GDI: nothing reaches a device, but the pen
// moves as drawing would move it (lines to their end, text by its width).
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/gdiplain.h"
#include "toolbox/ui/textmeasure.h"

namespace {
void Text(int32_t count, const char* chars, Point32, Point32) {
    MovePenBy(MeasureRawWidth(chars, count), 0);
}
void LineTo(int32_t h, int32_t v) {
    MovePenTo(h, v);
}
void LineToPacked(uint32_t packed) {
    MovePenTo(int16_t(packed >> 16), int16_t(packed & 0xFFFF));
}
void Shape32(int32_t, const Rect32*) {}
void Shape16(int32_t, const Rect16*) {}
void RoundRect32(int32_t, const Rect32*, int32_t, int32_t) {}
void RoundRect16(int32_t, const Rect16*, int16_t, int16_t) {}
void Arc32(int32_t, const Rect32*, int32_t, int32_t) {}
void Arc16(int32_t, const Rect16*, int16_t, int16_t) {}
void Polygon32(int32_t, const Point32*, int32_t) {}
void Polygon(int32_t, const PolygonRecord*) {}
void Region(int32_t, const RegionRecord*) {}
void Bits(void*, const Rect32*, const Rect32*, int32_t) {}
void Prepare() {}
} // namespace

void FillPlainPrimitives(DrawingPrimitiveTable* table) {
    *table = DrawingPrimitiveTable{&Text,    &LineTo,      &LineToPacked, &Shape32,
                                   &Shape16, &RoundRect32, &RoundRect16,  &Shape32,
                                   &Shape16, &Arc32,       &Arc16,        &Polygon32,
                                   &Polygon, &Region,      &Bits,         &Prepare};
}

void PlainRotatedRect(Point32, Point32, int32_t, int32_t, int32_t) {}
void PlainRotatedArc(Point32, Point32, int32_t, int32_t, int32_t, int32_t) {}
