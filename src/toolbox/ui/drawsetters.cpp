// The setters of the current state's pen, modes, pattern, colours and text
// fields. Each compares before it stores so that an unchanged value leaves
// the dirty flags alone.
#include "toolbox/ui/drawsetters.h"

#include <cstring>

#include "toolbox/ui/colour.h"
#include "toolbox/ui/drawstate.h"

namespace {
constexpr uint32_t kForegroundItems = kStateDirtyPen | kStateDirtyBrush | kStateDirtyColours;
constexpr uint32_t kBackgroundItems = kStateDirtyBrush | kStateDirtyColours;
constexpr uint32_t kPenModeItems = kStateDirtyPen | kStateDirtyBrush | kStateDirtyMode;
constexpr int32_t kSystemFontNumber = 1;

const uint8_t kExtraPatterns[4][8] = {
    {0x82, 0x44, 0x28, 0x10, 0x28, 0x44, 0x82, 0x01},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0x00},
    {0x03, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00},
    {0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00},
};

DrawingSettings& Settings() {
    return CurrentState()->settings;
}
void Mark(uint32_t flags) {
    CurrentState()->dirty |= flags;
}
template <typename T> void StoreMarked(T& field, T value, uint32_t flags) {
    if (field == value) return;
    field = value;
    Mark(flags);
}
bool PatternsEqual(const Pattern8& a, const Pattern8& b) {
    return std::memcmp(a.rows, b.rows, sizeof a.rows) == 0;
}
} // namespace

void MovePenTo(int32_t h, int32_t v) {
    Settings().penLocation = Point32{v, h};
}
void MovePenBy(int32_t dh, int32_t dv) {
    Point32& p = Settings().penLocation;
    p = Point32{p.v + dv, p.h + dh};
}

void SetPenSize(int32_t width, int32_t height) {
    StoreMarked(Settings().penSize, width > height ? width : height, kStateDirtyPen);
}

void SetPenPattern(const Pattern8* pattern) {
    DrawingState* state = CurrentState();
    bool solid = true, zero = true;
    for (uint8_t row : pattern->rows) {
        solid = solid && row == 0xFF;
        zero = zero && row == 0;
    }
    state->patternKind = solid ? kPatternSolid : kPatternBits;
    state->applied.allZeroPattern = zero;
    if (PatternsEqual(state->settings.penPattern, *pattern)) return;
    state->settings.penPattern = *pattern;
    Mark(CurrentDrawing.oldSystem ? kStateDirtyBrush : kStateDirtyBrush | kStateDirtyPen);
}

Pattern8 StandardPattern(int32_t index) {
    InitDrawingPatterns();
    switch (index) {
    case 0:
        return CurrentDrawing.white;
    case 1:
        return CurrentDrawing.black;
    case 2:
        return CurrentDrawing.grey;
    case 3:
        return CurrentDrawing.lightGrey;
    case 4:
        return CurrentDrawing.darkGrey;
    default:
        break;
    }
    Pattern8 out{};
    if (index >= 5 && index < kStandardPatternCount)
        std::memcpy(out.rows, kExtraPatterns[index - 5], sizeof out.rows);
    return out;
}

void SetPenStandardPattern(int32_t index) {
    Pattern8 pattern = StandardPattern(index);
    SetPenPattern(&pattern);
}

int16_t ExchangePenMode(int16_t mode) {
    int16_t previous = Settings().penMode;
    StoreMarked(Settings().penMode, mode, kPenModeItems);
    return previous;
}
int16_t GetPenMode() {
    return Settings().penMode;
}
int16_t ExchangeTextMode(int16_t mode) {
    int16_t previous = Settings().textMode;
    StoreMarked(Settings().textMode, mode, kStateDirtyMode | kStateDirtyColours);
    return previous;
}
int16_t GetTextMode() {
    return Settings().textMode;
}

void ResetPen() {
    SetPenSize(kDefaultPenSize, kDefaultPenSize);
    ExchangePenMode(kPenModeCopy);
    SetPenPattern(&CurrentDrawing.black);
}

void SetDragOutlinePen() {
    SetPenSize(1, 1);
    ExchangePenMode(kPenModeXor);
    SetPenStandardPattern(2);
}

void HidePen() {
    --Settings().penVisibility;
}
void ShowPen() {
    ++Settings().penVisibility;
}

void SavePenSettings(PenSettings* out) {
    const DrawingSettings& s = Settings();
    *out = PenSettings{s.penLocation.v, s.penLocation.h, s.penSize, s.penPattern, s.penMode};
}

void RestorePenSettings(const PenSettings* settings) {
    MovePenTo(settings->h, settings->v);
    SetPenSize(settings->size, settings->size);
    SetPenPattern(&settings->pattern);
    ExchangePenMode(settings->mode);
}

void CopyPenFromState(StatePen* out) {
    const DrawingSettings& s = Settings();
    *out = StatePen{s.penLocation, s.penSize, s.penPattern, s.penMode};
}

void ApplyPenToState(const StatePen* pen) {
    const PenSettings settings{pen->location.v, pen->location.h, pen->size, pen->pattern,
                               pen->mode};
    RestorePenSettings(&settings);
}

void StoreForegroundColour(ColourRGB16 rgb) {
    DrawingState* state = CurrentState();
    state->foreground = ColorRefOf(rgb);
    if (ColoursEqual(state->settings.foreground, rgb)) return;
    state->settings.foreground = rgb;
    Mark(kForegroundItems);
}

void StoreBackgroundColour(ColourRGB16 rgb) {
    DrawingState* state = CurrentState();
    state->background = ColorRefOf(rgb);
    if (ColoursEqual(state->settings.background, rgb)) return;
    state->settings.background = rgb;
    Mark(kBackgroundItems);
}

void SetForegroundColour(uint32_t value) {
    StoreForegroundColour(ColourFromValue(value));
}
void SetBackgroundColour(uint32_t value) {
    StoreBackgroundColour(ColourFromValue(value));
}
uint32_t GetForegroundColourValue() {
    return ColourValueOf(Settings().foreground);
}
uint32_t GetBackgroundColourValue() {
    return ColourValueOf(Settings().background);
}

void SetTextFontNumber(int16_t number) {
    StoreMarked(Settings().fontNumber, number, kStateDirtyFont);
}
void SetTextPointSize(int16_t size) {
    StoreMarked(Settings().pointSize, size, kStateDirtyFont);
}
void SetTextFaceStyle(uint8_t face) {
    StoreMarked(Settings().faceStyle, face, kStateDirtyFont);
}
void SetTextAngle(int16_t angle) {
    StoreMarked(Settings().textAngle, angle, kStateDirtyFont | kStateDirtyTextTransform);
}
void SetTextMirroring(uint8_t mirrored) {
    StoreMarked(Settings().mirroredText, mirrored, kStateDirtyTextTransform);
}

void CaptureStateSettings(DrawingSettings* out, const DrawingState* state) {
    if (state) {
        *out = state->settings;
        return;
    }
    DefaultDrawingSettings(out);
    out->fontNumber = kSystemFontNumber;
}

void ApplyStateSettings(const DrawingSettings* settings) {
    const DrawingSettings& s = *settings;
    StoreForegroundColour(s.foreground);
    StoreBackgroundColour(s.background);
    Settings().penVisibility = s.penVisibility;
    SetTextFontNumber(s.fontNumber);
    SetTextPointSize(s.pointSize);
    ExchangeTextMode(s.textMode);
    SetTextAngle(s.textAngle);
    SetTextFaceStyle(s.faceStyle);
    SetTextMirroring(s.mirroredText);
    MovePenTo(s.penLocation.h, s.penLocation.v);
    SetPenSize(s.penSize, s.penSize);
    SetPenPattern(&s.penPattern);
    ExchangePenMode(s.penMode);
    StoreMarked(Settings().textResolution, s.textResolution, kStateDirtyFont);
}
