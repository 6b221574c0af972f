// Drawing focus on native windows. A port record keeps the selected surface
// list and the one whose clip and origin are in its state (with the index
// it was settled at). While a surface is selected the state's primitive
// table is the deferred-focus table: every entry settles the focus first
// (cheap once settled) and then calls the plain primitive. The surface
// lists drop the focused surface whenever a surface scrolls, moves or the
// visible regions change, so the next drawing settles again.
#include "toolbox/ui/portfocus.h"

#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/ui/drawclip.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/gdicontext.h"

namespace {

DrawingState* StateOf(PortRecord* port) {
    return static_cast<DrawingState*>(port->nativeWindow);
}

PortRecord* PortOfList(const SurfaceList* list) {
    return list && list->pane ? list->pane->port : nullptr;
}

// The current settings go back into the surface that had the focus.
void WriteBackSettings(PortRecord* port) {
    if (SurfaceList* selected = port->selectedSurface) {
        CaptureStateSettings(&selected->settings, StateOf(port));
        selected->hasSettings = 1;
    }
}

// Origin of the current state for the surface: device pixel (0, 0) of the
// window shows the local point origin.
Point32 StateOriginOf(const SurfaceList* list, int32_t index) {
    const SurfaceRecord* s = SurfaceAt(list, index);
    if (!s) return Point32{0, 0};
    return Point32{s->positionV - s->rect.top, s->positionH - s->rect.left};
}

void ApplySurfaceFocus(SurfaceList* list) {
    int32_t index = SurfaceAt(list, list->current) ? list->current : kMainSurfaceIndex;
    Point32 origin = StateOriginOf(list, index);
    SetStateOrigin(origin.h, origin.v);
    RegionRecord* clip = AcquireScratchRegion();
    if (!clip) return;
    SurfaceClipRegion(list, index, clip);
    OffsetRegion(clip, origin.h, origin.v);
    SetStateClip(clip);
    ReleaseScratchRegion(clip);
}

// A deferred-focus entry: the focus settled, then the plain primitive of
// the same slot.
template <auto Entry> struct DeferredCall;
template <typename... Args, void (*DrawingPrimitiveTable::*Entry)(Args...)>
struct DeferredCall<Entry> {
    static void Call(Args... args) {
        SettleDeferredFocus();
        (PlainPrimitives().*Entry)(args...);
    }
};

using T = DrawingPrimitiveTable;
const DrawingPrimitiveTable kDeferred{
    &DeferredCall<&T::text>::Call,          &DeferredCall<&T::lineTo>::Call,
    &DeferredCall<&T::lineToPacked>::Call,  &DeferredCall<&T::rect32>::Call,
    &DeferredCall<&T::rect16>::Call,        &DeferredCall<&T::roundRect32>::Call,
    &DeferredCall<&T::roundRect16>::Call,   &DeferredCall<&T::oval32>::Call,
    &DeferredCall<&T::oval16>::Call,        &DeferredCall<&T::arc32>::Call,
    &DeferredCall<&T::arc16>::Call,         &DeferredCall<&T::polygon32>::Call,
    &DeferredCall<&T::polygonRecord>::Call, &DeferredCall<&T::region>::Call,
    &DeferredCall<&T::bits>::Call,          &DeferredCall<&T::prepare>::Call};

// The window layer's hooks.
void LayerSetWindow(void* window) {
    SetCurrentPort(static_cast<WindowObject*>(window));
}
void LayerSetState(void* state) {
    SetCurrentDrawingState(static_cast<DrawingState*>(state));
}
void* LayerCurrentState() {
    DrawingState* state = CurrentState();
    return state == DefaultDrawingState() ? nullptr : state;
}
bool LayerCapture(DrawingSettings* out, const DrawingState* state) {
    CaptureStateSettings(out, state);
    return true;
}

} // namespace

const DrawingPrimitiveTable& DeferredFocusPrimitives() {
    return kDeferred;
}

void SurfaceClipRegion(const SurfaceList* list, int32_t index, RegionRecord* out) {
    const SurfaceRecord* s = SurfaceAt(list, index);
    if (!s) {
        SetRegionEmpty(out);
        return;
    }
    SetRegionToShortRect(out, &s->rect);
    const RegionRecord* visible = list->visible ? list->visible : list->region;
    if (visible) CombineRegions(out, out, visible, kRegionAnd);
}

void SettleDeferredFocus() {
    DrawingState* state = CurrentState();
    PortRecord* port = FindPortListEntry(state);
    if (!port) {
        state->procTable = nullptr;
        return;
    }
    SurfaceList* list = port->selectedSurface;
    if (list && port->focusedSurface == list && port->focusedIndex == list->current) return;
    port->focusedSurface = nullptr;
    if (!list || !port->surfaceFocus) {
        // The selected surface went away: the whole port, unfocused.
        state->procTable = nullptr;
        SetStateOrigin(0, 0);
        SetStateClip(nullptr);
        return;
    }
    ApplySurfaceFocus(list);
    port->focusedSurface = list;
    port->focusedIndex = list->current;
}

bool FocusPort(PortRecord* port, SurfaceList* surface) {
    DrawingState* state = StateOf(port);
    MakeStateCurrent(state);
    bool had = port->surfaceFocus != 0;
    if (had) {
        WriteBackSettings(port);
        port->surfaceFocus = 0;
        SetStateOrigin(0, 0);
        port->focusedSurface = nullptr;
        state->procTable = nullptr;
        DrawingSettings defaults;
        CaptureStateSettings(&defaults, nullptr);
        ApplyStateSettings(&defaults);
    }
    if (!surface) {
        SetStateClip(nullptr);
        return had;
    }
    RegionRecord* clip = AcquireScratchRegion();
    if (clip) {
        SurfaceClipRegion(surface, surface->current, clip);
        SetStateClip(clip);
        ReleaseScratchRegion(clip);
    }
    return had;
}

void FocusPortRecord(PortRecord* port) {
    DrawingState* state = StateOf(port);
    MakeStateCurrent(state);
    SurfaceList* selected = port->selectedSurface;
    if (!selected) return;
    if (!port->surfaceFocus) {
        if (selected->hasSettings) ApplyStateSettings(&selected->settings);
        port->focusedSurface = nullptr;
        port->surfaceFocus = 1;
    }
    state->procTable = const_cast<DrawingPrimitiveTable*>(&kDeferred);
}

void FocusSurface(SurfaceList* surface) {
    PortRecord* port = PortOfList(surface);
    if (!port) return;
    if (port->selectedSurface != surface && port->surfaceFocus) {
        WriteBackSettings(port);
        port->surfaceFocus = 0;
        port->focusedSurface = nullptr;
    }
    port->selectedSurface = surface;
    FocusPortRecord(port);
}

void FocusObjectSurface(PortRecord* port) {
    auto* window = static_cast<WindowObject*>(port->owner);
    auto* list = window ? static_cast<SurfaceList*>(window->surfaceList) : nullptr;
    if (list)
        FocusSurface(list);
    else
        FocusPortRecord(port);
}

DrawingState* SelectNativeSurface(SurfaceList* list, int32_t index) {
    PortRecord* port = PortOfList(list);
    if (!port) return nullptr;
    if (index < 0 || !SurfaceAt(list, index)) index = kMainSurfaceIndex;
    if (list->current != index) {
        list->current = int8_t(index);
        if (WindowObject* window = list->pane->window) window->currentSurface = int8_t(index);
    }
    FocusSurface(list);
    return StateOf(port);
}

DrawingState* FocusAndSelectSurface(SurfaceList* surface, int32_t index) {
    FocusSurface(surface);
    return SelectNativeSurface(surface, index);
}

void UnfocusPortRecord(PortRecord* port) {
    DrawingState* before = CurrentState();
    DrawingState* state = StateOf(port);
    MakeStateCurrent(state);
    port->focusedSurface = nullptr;
    SetStateOrigin(0, 0);
    SetStateClip(nullptr);
    state->procTable =
        port->surfaceFocus ? const_cast<DrawingPrimitiveTable*>(&kDeferred) : nullptr;
    MakeStateCurrent(before);
}

void UnfocusSurface(SurfaceList* surface) {
    PortRecord* port = PortOfList(surface);
    if (port && port->focusedSurface == surface) UnfocusPortRecord(port);
}

void FocusWindowPort(WindowObject* window) {
    auto* port = static_cast<PortRecord*>(window->port);
    if (!port) {
        MakeStateCurrent(nullptr);
        return;
    }
    if (auto* list = static_cast<SurfaceList*>(window->surfaceList))
        FocusSurface(list);
    else
        FocusPortRecord(port);
}

void SetCurrentDrawingState(DrawingState* state) {
    if (PortRecord* port = FindPortListEntry(state)) {
        SetCurrentPortRecord(static_cast<WindowObject*>(port->owner));
        FocusPortRecord(port);
    } else if (WindowObject* recent = state ? RecentPortOfState(state) : nullptr) {
        SetCurrentPort(recent);
    } else {
        SetCurrentPortRecord(nullptr);
        MakeStateCurrent(state);
    }
}

void SetDrawingOrigin(WindowObject* port, int32_t h, int32_t v) {
    if (!port) return;
    auto* list = static_cast<SurfaceList*>(port->surfaceList);
    if (port->type == kWindowTypeNative && list && list->hasSurfaces) {
        Point32 now = GetPortOriginPoint(port);
        int32_t dh = h - now.h, dv = v - now.v;
        if (!dh && !dv) return;
        WindowObject* previous = CurrentPort();
        int32_t previousId = previous ? previous->sequence : 0;
        MoveSurfaceScroll(list, kMainSurfaceIndex, dh, dv);
        // A surface procedure may have disposed the window.
        if (WindowObjectFromId(port->sequence) == port &&
            (list = static_cast<SurfaceList*>(port->surfaceList)) != nullptr) {
            if (dh) MoveSurfaceScroll(list, 0, dh, 0);
            if (dv) MoveSurfaceScroll(list, 1, 0, dv);
        }
        if (!previousId || WindowObjectFromId(previousId) == previous) SetCurrentPort(previous);
        return;
    }
    WindowObject* previous = SetCurrentPort(port);
    SetStateOrigin(h, v);
    SetCurrentPort(previous);
}

Point32 GetPortOriginPoint(WindowObject* port) {
    if (!port) return GetStateOrigin(nullptr);
    auto* list = static_cast<SurfaceList*>(port->surfaceList);
    if (port->type == kWindowTypeNative && list && SurfaceAt(list, list->current))
        return SurfaceOrigin(list, list->current);
    return GetStateOrigin(static_cast<const DrawingState*>(GraphicsPortOf(port)));
}

void* PreparePortDC(WindowObject* port, void*, uint32_t mask) {
    auto* state = static_cast<DrawingState*>(GraphicsPortOf(port));
    return PreparePortDC(state ? state : CurrentState(), true, mask);
}

void InstallPortFocusProcs() {
    DrawingLayerProcs procs = DrawingLayer();
    procs.setCurrentWindow = &LayerSetWindow;
    procs.setCurrentPort = &LayerSetState;
    procs.currentPort = &LayerCurrentState;
    procs.captureSettings = &LayerCapture;
    SetDrawingLayerProcs(&procs);
}
