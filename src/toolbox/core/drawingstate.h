// The drawing state of one target (a window, a created device context or a
// bitmap) and the table of drawing-layer procedures the window layer calls.
// The drawing layer installs its table before the application shell starts;
// until then the defaults keep only what windows need: the bound target and
// kind, released resources and a current port.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

struct RegionRecord;

// DC kinds.
constexpr int32_t kStateDcWindow = 1;
constexpr int32_t kStateDcCreated = 2;
constexpr int32_t kStateDcBitmap = 3;

// Dirty flags: the items a drawing call brings up to date on the device
// context before it draws.
constexpr uint32_t kStateDirtyPen = 0x01;
constexpr uint32_t kStateDirtyBrush = 0x02;
constexpr uint32_t kStateDirtyFont = 0x04;
constexpr uint32_t kStateDirtyColours = 0x08;
constexpr uint32_t kStateDirtyMode = 0x10;
constexpr uint32_t kStateDirtyClip = 0x20;
constexpr uint32_t kStateDirtyOrigin = 0x40;
constexpr uint32_t kStateDirtyScale = 0x80;
constexpr uint32_t kStateDirtyTextTransform = 0x100;
// Every item of a freshly taken device context.
constexpr uint32_t kStateDirtyFresh = 0xFF;

// Pen modes (transfer modes of the pen).
constexpr int16_t kPenModeCopy = 0;
constexpr int16_t kPenModeOr = 1;
constexpr int16_t kPenModeXor = 2;

// A colour with 16-bit channels.
struct ColourRGB16 {
    uint16_t red, green, blue;
};
// An 8 by 8 one-bit pattern, top row first; a set bit is foreground.
struct Pattern8 {
    uint8_t rows[8];
};

// The settings block: copied as one unit when a state's settings are
// captured or applied.
struct DrawingSettings {
    ColourRGB16 foreground;
    int16_t penVisibility; // drawing only while 0 or more
    ColourRGB16 background;
    int16_t fontNumber;
    int16_t pointSize;
    int16_t textMode;
    int16_t textAngle;
    uint8_t faceStyle;
    uint8_t mirroredText;
    Point32 penLocation;
    int32_t penSize;
    Pattern8 penPattern;
    int16_t penMode;
    int16_t textResolution; // dots per inch; 0 means 96
};

// What was last applied to the device context. GDI handles are opaque
// pointer-sized values here.
struct DrawingApplied {
    int16_t transferMode;
    void* font;
    int16_t fontNumber, pointSize, textAngle, angleDegrees;
    uint8_t face;
    uint8_t allZeroPattern;
    int8_t textOrientation; // -1 none
    int16_t baselineAdjust;
    uint8_t worldTransform;
    uint8_t squareEnds;
    uint32_t hScale, vScale;
    uint32_t textColour, backColour;
    void* pen;
    uint32_t penColour;
    int32_t penWidth;
    void* brush;
    uint32_t brushColour;
    int16_t brushStyle, penBrushStyle;
    // The stock null pen or brush is selected in place of the state's own,
    // which is kept for the next drawing that needs it.
    uint8_t nullPenSelected, nullBrushSelected;
};

struct DrawingState {
    void* deviceContext;
    void* target;
    RegionRecord* clip;
    void* procTable; // primitive table; null: the plain primitives
    Point32 origin;
    DrawingSettings settings;
    uint32_t hScale, vScale; // hundredths of a percent
    int16_t patternKind;
    DrawingApplied applied;
    uint32_t foreground, background; // COLORREF of the settings' colours
    uint32_t dirty;
    int32_t dcKind;
    RegionRecord* windowClip;
};

struct DrawingLayerProcs {
    void (*bindStateTarget)(DrawingState* state, void* target, int32_t kind);
    void (*releaseStateDC)(DrawingState* state);
    void (*disposeStateResources)(DrawingState* state);
    void (*setCurrentPort)(void* port);
    void* (*currentPort)();
    void (*initDrawingGlobals)();
    // A control notification of a native child window; false when not
    // handled.
    bool (*controlNotify)(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                          intptr_t* result);
    // Disposes every control of a native window record before the window
    // goes.
    void (*disposeControls)(void* nativeRecord);
    // Makes a window object the current port (its surface focused); the
    // default makes its drawing state current.
    void (*setCurrentWindow)(void* window);
    // The settings block of a state, or of a fresh default state when none
    // is given; the default copies a given state and zeroes the block
    // otherwise, answering false.
    bool (*captureSettings)(DrawingSettings* out, const DrawingState* state);
};

// Installs the procedures (copied); null fields, or null, keep the
// defaults.
void SetDrawingLayerProcs(const DrawingLayerProcs* procs);
const DrawingLayerProcs& DrawingLayer();
