// Edge geometry and the drawing procedures' table. The focus ring is four
// 2-pixel strips of the rectangle grown by 3, the corners left out.
#include "toolbox/core/edges.h"

namespace {

EdgeDrawProcs g_procs{};

} // namespace

Rect16 GrownRect(const Rect16& r, int32_t by) {
    return Rect16{int16_t(r.top - by), int16_t(r.left - by), int16_t(r.bottom + by),
                  int16_t(r.right + by)};
}

void FocusRingStrips(const Rect16& rect, Rect16 out[kFocusRingStrips]) {
    Rect16 g = GrownRect(rect, kFocusRingGrow);
    const int16_t w = kFocusRingWidth;
    out[0] = {g.top, int16_t(g.left + 1), int16_t(g.top + w), int16_t(g.right - 1)};
    out[1] = {int16_t(g.top + 1), int16_t(g.right - w), int16_t(g.bottom - 1), g.right};
    out[2] = {int16_t(g.bottom - w), int16_t(g.left + 1), g.bottom, int16_t(g.right - 1)};
    out[3] = {int16_t(g.top + 1), g.left, int16_t(g.bottom - 1), int16_t(g.left + w)};
}

void SetEdgeDrawProcs(const EdgeDrawProcs* procs) {
    g_procs = procs ? *procs : EdgeDrawProcs{};
}

void DrawSunkenEdge(const Rect16* rect, int32_t style) {
    if (g_procs.sunkenEdge) g_procs.sunkenEdge(rect, style);
}

void DrawFieldFrame(const Rect16* rect) {
    if (g_procs.fieldFrame) g_procs.fieldFrame(rect);
}

void DrawFocusRing(const Rect16* rect, bool show) {
    if (g_procs.focusRing) g_procs.focusRing(rect, show);
}
