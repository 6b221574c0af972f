// The wide-open region, clip and origin setters of the current state and
// the scratch-region pool (a stack of at most kScratchRegionsCached emptied
// regions and a count of those handed out).
#include "toolbox/ui/drawclip.h"

#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/core/windowscale.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/portscale.h"
#include "toolbox/ui/gdicontext.h"

namespace {
RegionRecord* g_wideOpen = nullptr;
RegionRecord* g_cached[kScratchRegionsCached];
int32_t g_cachedCount = 0;
int32_t g_out = 0;

void MarkDirty(DrawingState* state, uint32_t flags) {
    state->dirty |= flags;
}
} // namespace

const RegionRecord* WideOpenRegion() {
    if (!g_wideOpen) {
        g_wideOpen = NewRegion();
        if (g_wideOpen) SetRegionToRect(g_wideOpen, &kWideOpenRect);
    }
    return g_wideOpen;
}

bool IsWideOpenRegion(const RegionRecord* region) {
    return !region || (RegionIsSimple(region) && EqualRect32(&region->bounds, &kWideOpenRect));
}

void SetStateClip(const RegionRecord* region) {
    DrawingState* state = CurrentState();
    if (!region) region = WideOpenRegion();
    if (!state->clip || !region || RegionsEqual(state->clip, region)) return;
    if (CombineRegions(state->clip, region, region, kRegionCopy) == kRegionError) return;
    MarkDirty(state, kStateDirtyClip);
}

void SetDrawingClip(const RegionRecord* region) {
    if (IsWideOpenRegion(region)) region = nullptr;
    WindowObject* port = CurrentPort();
    PortScale scale;
    if (!port || !CurrentPortScale(&scale)) return SetStateClip(region);
    // A scaled port keeps the region in its own units and clips with a
    // device copy.
    if (!region) {
        DisposeRegion(port->region);
        port->region = nullptr;
        return SetStateClip(nullptr);
    }
    if (!port->region && !(port->region = NewRegion())) return;
    CombineRegions(port->region, region, region, kRegionCopy);
    RegionRecord* device = PortRegionToDevice(port, port->region, false);
    if (!device) return;
    SetStateClip(device);
    DisposeRegion(device);
}

void SetDrawingClipRect(const Rect16* rect) {
    if (!rect || (rect->top == kWideOpenRect16.top && rect->left == kWideOpenRect16.left &&
                  rect->bottom == kWideOpenRect16.bottom && rect->right == kWideOpenRect16.right)) {
        SetDrawingClip(nullptr);
        return;
    }
    RegionRecord* region = AcquireScratchRegion();
    if (!region) return;
    SetRegionToShortRect(region, rect);
    SetDrawingClip(region);
    ReleaseScratchRegion(region);
}

void GetDrawingClip(RegionRecord* out) {
    const WindowObject* port = CurrentPort();
    PortScale scale;
    if (out && port && port->region && CurrentPortScale(&scale)) {
        CombineRegions(out, port->region, port->region, kRegionCopy);
        return;
    }
    const DrawingState* state = CurrentState();
    const RegionRecord* clip = state->clip ? state->clip : WideOpenRegion();
    if (out && clip) CombineRegions(out, clip, clip, kRegionCopy);
}

void SetStateOrigin(int32_t h, int32_t v) {
    DrawingState* state = CurrentState();
    if (state->origin.h == h && state->origin.v == v) return;
    int32_t dh = h - state->origin.h, dv = v - state->origin.v;
    state->origin = Point32{v, h};
    if (state->windowClip) {
        DrawingLayer().releaseStateDC(state);
        OffsetRegion(state->windowClip, dh, dv);
    }
    uint32_t flags = kStateDirtyClip | kStateDirtyOrigin;
    if (state->patternKind != kPatternSolid) {
        flags |= kStateDirtyBrush;
        if (!CurrentDrawing.oldSystem) flags |= kStateDirtyPen;
    }
    MarkDirty(state, flags);
}

void GetStateBoundsRect(const DrawingState* state, Rect16* out) {
    Rect32 bounds;
    GetStateBounds(state, &bounds);
    RectFromRect32(&bounds, out);
}

void GetStateVisibleRegion(const DrawingState* state, RegionRecord* region) {
    Rect32 bounds;
    GetStateBounds(state, &bounds);
    SetRegionToRect(region, &bounds);
    if (state->dcKind == kStateDcWindow && state->windowClip)
        CombineRegions(region, region, state->windowClip, kRegionAnd);
}

Point32 GetStateOrigin(const DrawingState* state) {
    return (state ? state : CurrentState())->origin;
}

RegionRecord* AcquireScratchRegion() {
    RegionRecord* region = g_cachedCount > 0 ? g_cached[--g_cachedCount] : NewRegion();
    if (region) ++g_out;
    return region;
}

void ReleaseScratchRegion(RegionRecord* region) {
    if (!region) return;
    --g_out;
    if (g_cachedCount >= kScratchRegionsCached) {
        DisposeRegion(region);
        return;
    }
    SetRegionEmpty(region);
    g_cached[g_cachedCount++] = region;
}

int32_t ScratchRegionsCached() {
    return g_cachedCount;
}
int32_t ScratchRegionsOut() {
    return g_out;
}

void DrainScratchRegions() {
    while (g_cachedCount > 0)
        DisposeRegion(g_cached[--g_cachedCount]);
}
