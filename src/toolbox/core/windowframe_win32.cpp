// Frames of top-level windows from their class styles.
#include "toolbox/core/windowframe_win32.h"

#include <windows.h>

#include <algorithm>

#include "toolbox/core/panetree.h"
#include "toolbox/core/windowclass.h"
#include "toolbox/core/windowkinds.h"

namespace {

int16_t Clamp16(int32_t v) {
    return int16_t(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX));
}

void Grow(Rect16* rect, const NativeRect& frame, int32_t sign) {
    *rect = {Clamp16(rect->top - sign * frame.top), Clamp16(rect->left - sign * frame.left),
             Clamp16(rect->bottom + sign * frame.bottom),
             Clamp16(rect->right + sign * frame.right)};
}

} // namespace

bool ComputeWindowFrame(uint8_t kind, uint8_t variant, uint32_t options, NativeRect* frame) {
    *frame = {0, 0, 0, 0};
    variant = NormalizeWindowVariant(kind, variant);
    NativeWindowType type = NativeWindowTypeOf(kind, variant, options);
    uint32_t masked = NativeOptionsOfType(type.type, type.options);
    WindowClassSpec spec{};
    if (!WindowClassForKind(DefinitionCodeOfType(type.type, masked), 0,
                            (masked & kOptionCloseBox) != 0, &spec))
        return false;
    RECT outer{0, 0, 0, 0};
    if (!AdjustWindowRectEx(&outer, spec.style, FALSE, spec.exStyle)) return false;
    *frame = {-outer.left, -outer.top, outer.right, outer.bottom};
    return true;
}

void StructureRectFromContent(uint8_t kind, uint8_t variant, uint32_t options, Rect16* rect) {
    NativeRect frame;
    ComputeWindowFrame(kind, variant, options, &frame);
    Grow(rect, frame, 1);
}

void ContentRectFromStructure(uint8_t kind, uint8_t variant, uint32_t options, Rect16* rect) {
    NativeRect frame;
    ComputeWindowFrame(kind, variant, options, &frame);
    Grow(rect, frame, -1);
}

int16_t ScrollBarThickness() {
    return PaneBarThickness();
}
