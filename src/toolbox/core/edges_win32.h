// The edges drawn on a device context (the drawing layer calls these with
// its current port's context). Pen and text colours of the context are
// left as they were.
#pragma once
#include <windows.h>

#include "toolbox/core/rect.h"

void DrawSunkenEdgeOn(HDC dc, const Rect16* rect, int32_t style);
void DrawFieldFrameOn(HDC dc, const Rect16* rect);
// background: the colour that removes the ring when show is false.
void DrawFocusRingOn(HDC dc, const Rect16* rect, bool show, COLORREF background);
