// Fonts and text on GDI: the font list from the system's families, the
// standard faces, the state's font on its device context, the text
// primitive, measuring and font metrics.
#pragma once
#include <windows.h>

#include <cstdint>

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/rect.h"
#include "toolbox/ui/fontmetrics.h"
#include "toolbox/ui/textstyle.h"

// Installs the GDI measurer and font maker.
void InstallGdiTextServices();
// Makes the font list and the system and application faces (once).
void FontEnumerate();
// The fixed face and the theme defaults (once, after FontEnumerate).
void FontsInitialise();
// Selects the state's font when its font items changed.
void ApplyStateFont(DrawingState* state);
// The text primitive: draws at the pen and moves it.
void GdiTextPrimitive(int32_t count, const char* chars, Point32 numerator, Point32 denominator);
// Width of a text in the current state's font (count with 0x8000: up to
// the NUL); with scaled set, at the current port's text scale.
int32_t MeasureTextWidth(const char* text, int32_t count, bool scaled);
int32_t MeasureCharWidth(char character, bool scaled);
// The widths of every prefix of the text (1 to count characters).
void MeasureTextFit(const char* text, int32_t count, int32_t* widths, bool scaled);
// Font number, size in points and face bits of a GDI font / the menu font.
struct FontInfo {
    int16_t number;
    int16_t size;
    uint16_t face;
};
bool FontInfoOfGdiFont(HFONT font, FontInfo* out);
// The system's menu font, cached; read again when refresh is set.
FontInfo MenuFontInfo(bool refresh);
