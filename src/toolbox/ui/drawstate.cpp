// The drawing globals, the default state and the defaults of a new state.
// Setters never touch GDI: a state only records what a drawing call must
// bring up to date (its dirty flags).
#include "toolbox/ui/drawstate.h"

#include <cstring>
#include <new>

#include "toolbox/core/region.h"
#include "toolbox/ui/colour.h"
#include "toolbox/ui/drawclip.h"

CurrentDrawingRecord CurrentDrawing{};

namespace {
DrawingState g_defaultState{};
bool g_defaultReady = false;

void FillPattern(Pattern8& pattern, uint8_t even, uint8_t odd) {
    for (int row = 0; row < 8; ++row)
        pattern.rows[row] = (row & 1) ? odd : even;
}
} // namespace

void InitDrawingPatterns() {
    FillPattern(CurrentDrawing.white, 0x00, 0x00);
    FillPattern(CurrentDrawing.lightGrey, 0x88, 0x22);
    FillPattern(CurrentDrawing.grey, 0xAA, 0x55);
    FillPattern(CurrentDrawing.darkGrey, 0x77, 0xDD);
    FillPattern(CurrentDrawing.black, 0xFF, 0xFF);
}

DrawingState* DefaultDrawingState() {
    if (!g_defaultReady) {
        g_defaultReady = true;
        DrawingState* current = CurrentDrawing.state;
        InitDrawingState(&g_defaultState);
        CurrentDrawing.state = current;
    }
    return &g_defaultState;
}

DrawingState* CurrentState() {
    if (!CurrentDrawing.state) CurrentDrawing.state = DefaultDrawingState();
    return CurrentDrawing.state;
}

void MakeStateCurrent(DrawingState* state) {
    CurrentDrawing.state = state ? state : DefaultDrawingState();
}

void DefaultDrawingSettings(DrawingSettings* out) {
    InitDrawingPatterns();
    *out = DrawingSettings{};
    out->background = ColourFromValue(kColourWhiteValue);
    out->foreground = ColourFromValue(kColourBlackValue);
    out->penSize = kDefaultPenSize;
    out->penPattern = CurrentDrawing.black;
    out->pointSize = kDefaultPointSize;
    out->textMode = kDefaultTextMode;
}

void InitDrawingState(DrawingState* state) {
    InitDrawingPatterns();
    RegionRecord* clip = state->clip;
    std::memset(static_cast<void*>(state), 0, sizeof *state);
    state->hScale = state->vScale = kStateScaleFull;
    state->clip = clip ? clip : NewRegion();
    if (state->clip) SetRegionToRect(state->clip, &kWideOpenRect);
    DefaultDrawingSettings(&state->settings);
    const DrawingSettings& s = state->settings;
    state->foreground = ColorRefOf(s.foreground);
    state->background = ColorRefOf(s.background);
    state->applied.backColour = state->background;
    state->patternKind = kPatternSolid;
    state->applied.textOrientation = kNoTextOrientation;
    state->dirty = kStateDirtyFresh;
    MakeStateCurrent(state);
}

DrawingState* NewDrawingState() {
    auto* state = new (std::nothrow) DrawingState{};
    if (!state) return nullptr;
    InitDrawingState(state);
    if (!state->clip) {
        delete state;
        MakeStateCurrent(nullptr);
        return nullptr;
    }
    return state;
}

void DisposeDrawingState(DrawingState* state) {
    if (!state) return;
    DrawingLayer().disposeStateResources(state);
    if (state->clip) DisposeRegion(state->clip);
    state->clip = nullptr;
    if (CurrentDrawing.state == state) MakeStateCurrent(nullptr);
    if (state != &g_defaultState) delete state;
}
