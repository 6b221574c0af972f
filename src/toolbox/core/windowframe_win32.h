// The frames of top-level window objects before the windows exist: the
// outer (structure) rectangle of a content rectangle and back, from the
// styles of the class a window of that kind, variant and options gets.
//
// Guarantees: ContentRectFromStructure undoes StructureRectFromContent; a
// kind whose class cannot be found has no frame (the rectangles are equal).
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

// The frame's width on each side (left, top, right, bottom), all 0 and
// false when the kind has no class.
bool ComputeWindowFrame(uint8_t kind, uint8_t variant, uint32_t options, NativeRect* frame);
// The content rectangle grown by the frame, in place.
void StructureRectFromContent(uint8_t kind, uint8_t variant, uint32_t options, Rect16* rect);
// The outer rectangle less the frame, in place.
void ContentRectFromStructure(uint8_t kind, uint8_t variant, uint32_t options, Rect16* rect);
// The thickness of a window's scroll bars (the layer's, for every kind).
int16_t ScrollBarThickness();
