// Three decorations drawn around rectangles: the sunken edge of fields,
// the field frame and the focus ring. The geometry is here; the drawing
// goes through procedures the drawing layer installs over the current
// port (until then nothing is drawn).
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

constexpr int32_t kSunkenEdgeNative = 1;
constexpr int32_t kEdgeOuterGrow = 2;
constexpr int32_t kEdgeInnerGrow = 1;
constexpr int32_t kFocusRingGrow = 3;
constexpr int32_t kFocusRingWidth = 2;
constexpr int32_t kFocusRingStrips = 4;
constexpr uint32_t kFocusRingColour = 0x880000; // COLORREF

Rect16 GrownRect(const Rect16& rect, int32_t by);
// Top, right, bottom and left strips of the ring around the rectangle.
void FocusRingStrips(const Rect16& rect, Rect16 out[kFocusRingStrips]);

struct EdgeDrawProcs {
    void (*sunkenEdge)(const Rect16* rect, int32_t style);
    void (*fieldFrame)(const Rect16* rect);
    void (*focusRing)(const Rect16* rect, bool show);
};
void SetEdgeDrawProcs(const EdgeDrawProcs* procs);

void DrawSunkenEdge(const Rect16* rect, int32_t style);
void DrawFieldFrame(const Rect16* rect);
void DrawFocusRing(const Rect16* rect, bool show);
