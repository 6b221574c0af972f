// Without GDI no device context is ever held; the globals are the
// patterns and the layer's procedure installs.
#include "toolbox/ui/gdicontext.h"

#include "toolbox/ui/clipboard.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/portfocus.h"

void* PreparePortDC(DrawingState*, bool, uint32_t) {
    return nullptr;
}
void ReleaseStateDC() {}
void BindStateTarget(DrawingState* state, int32_t kind, void* target) {
    state->dcKind = kind;
    state->target = target;
}
void DisposeStateResources(DrawingState* state) {
    state->deviceContext = nullptr;
}
void InstallDrawingLayer() {
    DrawingLayerProcs procs{};
    procs.initDrawingGlobals = &InitDrawingGlobals;
    SetDrawingLayerProcs(&procs);
    InstallPortFocusProcs();
}
void RemakeSharedDC() {}
void InitDrawingGlobals() {
    InitDrawingPatterns();
    MakeTextScrap();
}
void GetStateBounds(const DrawingState*, Rect32* out) {
    *out = Rect32{};
}
void FlushDrawing() {}
