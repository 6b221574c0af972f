// The drawing layer's globals and the life of a drawing state: the current
// state every setter works on, the default state that is current while no
// port is, the standard patterns and the old-system byte.
//
// Guarantees: there is always a current state (the default one when no
// other was made current); a new state has the defaults below and becomes
// current; disposing the current state makes the default state current.
#pragma once
#include <cstdint>

#include "toolbox/core/drawingstate.h"

struct RegionRecord;

// Scales in hundredths of a percent.
constexpr uint32_t kStateScaleFull = 10000;
constexpr int16_t kDefaultPointSize = 12;
constexpr int16_t kDefaultTextMode = 1;
constexpr int32_t kDefaultPenSize = 1;
constexpr int8_t kNoTextOrientation = -1;
// Pattern kinds.
constexpr int16_t kPatternSolid = 0;
constexpr int16_t kPatternBits = 3;
// Target kinds beside those of toolbox/core.
constexpr int32_t kStateDcNone = 0;

struct CurrentDrawingRecord {
    DrawingState* state;
    Pattern8 white, lightGrey, grey, darkGrey, black;
    void* arrowCursor;
    uint8_t oldSystem;
};
extern CurrentDrawingRecord CurrentDrawing;

// The current state (the default state while no other is current).
DrawingState* CurrentState();
void MakeStateCurrent(DrawingState* state);
DrawingState* DefaultDrawingState();

// Fills the standard patterns (once); the old-system byte is left as the
// platform set it.
void InitDrawingPatterns();
// The settings block of a new state.
void DefaultDrawingSettings(DrawingSettings* out);
// The defaults of a state; it becomes the current state. A state's clip
// region must already exist or be null (one is made).
void InitDrawingState(DrawingState* state);
// A free-standing state with the defaults, current; null without memory.
DrawingState* NewDrawingState();
// Releases the device context, the clip, pen, brush and font, and frees
// the state.
void DisposeDrawingState(DrawingState* state);
