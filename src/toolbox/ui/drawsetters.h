// Pen, mode, pattern, colour and text setters of the current state. Every
// setter only stores its value and marks what a drawing call must bring up
// to date; a value equal to the stored one marks nothing.
#pragma once
#include <cstdint>

#include "toolbox/core/drawingstate.h"

constexpr int32_t kStandardPatternCount = 9; // 0 to 8; others all zero

// Pen location and size.
void MovePenTo(int32_t h, int32_t v);
void MovePenBy(int32_t dh, int32_t dv);
// Stores the larger of the two.
void SetPenSize(int32_t width, int32_t height);
void SetPenPattern(const Pattern8* pattern);
void SetPenStandardPattern(int32_t index);
// The pattern of a standard index (the all-zero pattern beyond 8).
Pattern8 StandardPattern(int32_t index);
int16_t ExchangePenMode(int16_t mode);
int16_t GetPenMode();
// The toolbox core's name of ExchangePenMode.
inline int16_t ExchangeStatePenMode(int16_t mode) {
    return ExchangePenMode(mode);
}
int16_t ExchangeTextMode(int16_t mode);
int16_t GetTextMode();
// The toolbox core's form: the port and text style are not consulted; the
// current state's mode.
inline int16_t GetTextMode(const void*, const void*) {
    return GetTextMode();
}
void ResetPen();
// The pen of outlines dragged with the mouse: 1 by 1, xor, grey.
void SetDragOutlinePen();
void HidePen();
void ShowPen();

// The pen as one record: location v, h, size, pattern, mode.
struct PenSettings {
    int32_t v, h;
    int32_t size;
    Pattern8 pattern;
    int16_t mode;
};
void SavePenSettings(PenSettings* out);
void RestorePenSettings(const PenSettings* settings);
// The pen in the order the state keeps it (location, size, pattern, mode:
// 24 bytes), copied out of the current state and written back into it.
struct StatePen {
    Point32 location;
    int32_t size;
    Pattern8 pattern;
    int16_t mode;
};
static_assert(sizeof(StatePen) == 24, "the state's pen block is 24 bytes");
void CopyPenFromState(StatePen* out);
void ApplyPenToState(const StatePen* pen);

// Colours.
void SetForegroundColour(uint32_t value);
void SetBackgroundColour(uint32_t value);
void StoreForegroundColour(ColourRGB16 rgb);
void StoreBackgroundColour(ColourRGB16 rgb);
uint32_t GetForegroundColourValue();
uint32_t GetBackgroundColourValue();

// Text fields.
void SetTextFontNumber(int16_t number);
void SetTextPointSize(int16_t size);
void SetTextFaceStyle(uint8_t face);
void SetTextAngle(int16_t angle);
void SetTextMirroring(uint8_t mirrored);

// The settings block of a state, or of a fresh default state with font
// number 1 when none is given.
void CaptureStateSettings(DrawingSettings* out, const DrawingState* state);
// Puts a settings block into the current state, marking everything it
// changes.
void ApplyStateSettings(const DrawingSettings* settings);
