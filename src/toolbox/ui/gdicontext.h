// The GDI side of a drawing state: the one device context the layer holds,
// bringing it up to date with the state (PreparePortDC) and the shared
// objects made at start-up. Handles are opaque here; the Win32 build
// implements it (gdicontext_win32.cpp), natively nothing is held.
#pragma once
#include <cstdint>

#include "toolbox/core/drawingstate.h"

struct RegionRecord;

// PreparePortDC masks.
constexpr uint32_t kPrepareShapes =
    kStateDirtyPen | kStateDirtyBrush | kStateDirtyColours | kStateDirtyMode; // 27
constexpr uint32_t kPrepareText =
    kStateDirtyFont | kStateDirtyColours | kStateDirtyMode | kStateDirtyTextTransform; // 284

// Takes a device context when the state holds none and applies the dirty
// items of the mask (origin and clip too when asked); the context or null.
void* PreparePortDC(DrawingState* state, bool withOriginAndClip, uint32_t mask);
// Gives back the one device context held by the layer.
void ReleaseStateDC();
void BindStateTarget(DrawingState* state, int32_t kind, void* target);
// The toolbox core's forms: the port's state, with origin and clip; a
// target handle given stands for the target.
struct WindowObject;
void* PreparePortDC(WindowObject* port, void* deviceContext, uint32_t mask);
inline void BindStateTarget(DrawingState* state, void* target, int32_t kind, void* handle) {
    BindStateTarget(state, kind, handle ? handle : target);
}
void DisposeStateResources(DrawingState* state);
// Installs the layer's procedures into the toolbox core's table (before
// the application shell starts; its start-up then runs InitDrawingGlobals).
void InstallDrawingLayer();
// The drawing globals (once): the old-system byte, the standard patterns,
// the shared memory context and, on palette displays, the halftone palette,
// the font list and standard faces, and the text scrap.
void InitDrawingGlobals();
// Gives back any held context and makes the shared memory context and the
// palette again (after a display change).
void RemakeSharedDC();
// The target's bounds (a window's client area offset by the origin, a
// printer's page, a bitmap's size).
void GetStateBounds(const DrawingState* state, Rect32* out);
// The same narrowed to 16 bits (clamped).
void GetStateBoundsRect(const DrawingState* state, Rect16* out);
// The bounds as a region, intersected with the window clip region for a
// window state.
void GetStateVisibleRegion(const DrawingState* state, RegionRecord* region);
void FlushDrawing();
