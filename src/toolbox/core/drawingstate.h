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

// Dirty flags.
constexpr uint32_t kStateDirtyBrush = 0x02;
constexpr uint32_t kStateDirtyClip = 0x20;
constexpr uint32_t kStateDirtyOrigin = 0x40;

struct DrawingState {
    void* deviceContext;
    void* target;
    RegionRecord* clip;
    void* procTable; // null: the standard table
    Point32 origin;
    uint32_t foreground, background; // COLORREF
    int16_t fontNumber;
    int16_t textSize;
    int16_t textMode;
    int16_t textFace;
    Point32 penLocation;
    Point32 penSize;
    int32_t penPattern;
    int16_t penMode;
    int16_t patternKind;
    void* cachedObjects[4];
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
};

// Installs the procedures (copied); null fields, or null, keep the
// defaults.
void SetDrawingLayerProcs(const DrawingLayerProcs* procs);
const DrawingLayerProcs& DrawingLayer();
