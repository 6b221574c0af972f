// The default drawing-layer procedures: a bound target and kind, nothing
// held to release, one current port.
#include "toolbox/core/drawingstate.h"

#include "toolbox/core/hooktable.h"
#include "toolbox/core/windowlist.h"

namespace {
void* g_currentPort = nullptr;

void DefaultBind(DrawingState* state, void* target, int32_t kind) {
    state->target = target;
    state->dcKind = kind;
}
void DefaultRelease(DrawingState* state) {
    state->deviceContext = nullptr;
}
void DefaultDispose(DrawingState* state) {
    state->deviceContext = nullptr;
    state->target = nullptr;
}
void DefaultSetPort(void* port) {
    g_currentPort = port;
}
void* DefaultCurrentPort() {
    return g_currentPort;
}
void DefaultInit() {}
bool DefaultNotify(void*, uint32_t, uintptr_t, intptr_t, intptr_t*) {
    return false;
}
void DefaultDisposeControls(void*) {}
void DefaultSetWindow(void* window) {
    g_currentPort = GraphicsPortOf(static_cast<const WindowObject*>(window));
}
bool DefaultCapture(DrawingSettings* out, const DrawingState* state) {
    *out = state ? state->settings : DrawingSettings{};
    return state != nullptr;
}

const DrawingLayerProcs kDefaults{&DefaultBind,    &DefaultRelease,         &DefaultDispose,
                                  &DefaultSetPort, &DefaultCurrentPort,     &DefaultInit,
                                  &DefaultNotify,  &DefaultDisposeControls, &DefaultSetWindow,
                                  &DefaultCapture};
DrawingLayerProcs g_procs = kDefaults;

} // namespace

void SetDrawingLayerProcs(const DrawingLayerProcs* procs) {
    DrawingLayerProcs given = procs ? *procs : DrawingLayerProcs{};
    PickProc(g_procs.bindStateTarget, given.bindStateTarget, kDefaults.bindStateTarget);
    PickProc(g_procs.releaseStateDC, given.releaseStateDC, kDefaults.releaseStateDC);
    PickProc(g_procs.disposeStateResources, given.disposeStateResources,
             kDefaults.disposeStateResources);
    PickProc(g_procs.setCurrentPort, given.setCurrentPort, kDefaults.setCurrentPort);
    PickProc(g_procs.currentPort, given.currentPort, kDefaults.currentPort);
    PickProc(g_procs.initDrawingGlobals, given.initDrawingGlobals, kDefaults.initDrawingGlobals);
    PickProc(g_procs.controlNotify, given.controlNotify, kDefaults.controlNotify);
    PickProc(g_procs.disposeControls, given.disposeControls, kDefaults.disposeControls);
    PickProc(g_procs.setCurrentWindow, given.setCurrentWindow, kDefaults.setCurrentWindow);
    PickProc(g_procs.captureSettings, given.captureSettings, kDefaults.captureSettings);
}

const DrawingLayerProcs& DrawingLayer() {
    return g_procs;
}
