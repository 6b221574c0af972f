// The GDI objects a state selects into its device context: pens, brushes,
// the shared pattern bitmap, modes and colours, each compared with what the
// context holds so that only changes reach GDI.
#pragma once
#include <windows.h>

#include "toolbox/core/drawingstate.h"

// Pen brush styles and brush styles.
constexpr int16_t kStyleNull = 0;
constexpr int16_t kStyleSolid = 1;
constexpr int16_t kStylePattern = 2;
constexpr COLORREF kPaletteRelative = 0x02000000;

HDC StateDC(DrawingState* state);
// Writes the pattern (inverted) into the shared 8 by 8 bitmap.
HBITMAP SharedPatternBitmap(const Pattern8* pattern);
// Selects a pen of the style, colour and width (square ends and mitred
// joins when asked), made only when it differs from the one selected.
void EnsurePen(DrawingState* state, int16_t style, COLORREF colour, int32_t width, bool squareEnds);
void EnsureBrush(DrawingState* state, int16_t style, COLORREF colour);
void EnsureMode(DrawingState* state, int32_t mode);
void EnsureColours(DrawingState* state, COLORREF text, COLORREF back);
// Deletes the state's pen and brush (after selecting stock objects).
void ReleaseStateObjects(DrawingState* state);
// One solid brush kept for the layer, remade only for another colour.
HBRUSH CachedSolidBrush(COLORREF colour);
HDC SharedMemoryDC();
// Deletes the shared context; the next SharedMemoryDC makes a new one.
void DropSharedMemoryDC();
// Selects and realises the program's halftone palette in a palette
// device; the previous palette (null when the display has none).
HPALETTE SelectProgramPalette(HDC dc);
