// The device-context life cycle and PreparePortDC. The layer holds at most
// one device context, for one state: taking one for another state gives
// back the held one first (a window's context released, a bitmap's memory
// context deleted; a caller's context is kept by its state). A fresh
// context is anisotropic with window extent 100 by 100, baseline text that
// updates the current position, and every item dirty.
#include <windows.h>

#include "toolbox/core/regionbands.h"
#include "toolbox/core/regionnative_win32.h"
#include "toolbox/ui/clipboard.h"
#include "toolbox/ui/drawclip.h"
#include "toolbox/ui/drawcounters.h"
#include "toolbox/ui/drawgeometry.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/fontcache.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/dialoglayer.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/gdiobjects_win32.h"
#include "toolbox/ui/gditext_win32.h"
#include "toolbox/ui/layerstart.h"
#include "toolbox/ui/textrecord.h"
#include "toolbox/ui/portfocus.h"

namespace {
constexpr int kWindowExtent = 100;
constexpr uint32_t kScalePerExtent = 100; // state scale / viewport extent

DrawingState* g_holder = nullptr;
HGDIOBJ g_bitmapBefore = nullptr;
HPALETTE g_palette = nullptr;
bool g_globalsMade = false;

void FreshContext(DrawingState* state, HDC dc) {
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, kWindowExtent, kWindowExtent, nullptr);
    SetTextAlign(dc, TA_BASELINE | TA_UPDATECP);
    if (g_palette) {
        SelectPalette(dc, g_palette, FALSE);
        RealizePalette(dc);
    }
    state->deviceContext = dc;
    state->dirty |= kStateDirtyFresh | kStateDirtyTextTransform;
    state->applied.hScale = state->applied.vScale = 0;
}

HDC TakeDC(DrawingState* state) {
    if (state->deviceContext) return StateDC(state);
    ReleaseStateDC();
    HDC dc = nullptr;
    switch (state->dcKind) {
    case kStateDcWindow: {
        HWND window = static_cast<HWND>(state->target);
        DWORD flags = DCX_CACHE | DCX_CLIPSIBLINGS;
        HRGN clip = nullptr;
        if (state->windowClip && IsWindowVisible(window)) {
            if (HRGN native = RegionToNative(state->windowClip)) {
                clip = CreateRectRgn(0, 0, 0, 0);
                CombineRgn(clip, native, nullptr, RGN_COPY);
                POINT corner{0, 0};
                ClientToScreen(window, &corner);
                OffsetRgn(clip, corner.x - state->origin.h, corner.y - state->origin.v);
                flags |= DCX_INTERSECTRGN;
            }
        }
        dc = GetDCEx(window, clip, flags);
        break;
    }
    case kStateDcCreated:
        dc = static_cast<HDC>(state->target);
        break;
    case kStateDcBitmap:
        dc = CreateCompatibleDC(nullptr);
        if (dc) g_bitmapBefore = SelectObject(dc, static_cast<HBITMAP>(state->target));
        break;
    default:
        break;
    }
    if (!dc) return nullptr;
    if (state->dcKind != kStateDcCreated) {
        g_holder = state;
        DrawCounters& counters = DrawingCounters();
        ++counters.contextsTaken;
        if (++counters.contextsHeld > counters.mostContextsHeld)
            counters.mostContextsHeld = counters.contextsHeld;
    }
    FreshContext(state, dc);
    return dc;
}

// The halftone palette, on palette displays only.
void MakeSharedPalette() {
    HDC shared = SharedMemoryDC();
    if (shared && (GetDeviceCaps(shared, RASTERCAPS) & RC_PALETTE))
        g_palette = CreateHalftonePalette(shared);
}

void ApplyClip(DrawingState* state, HDC dc) {
    if (!state->clip || IsWideOpenRegion(state->clip)) {
        SelectClipRgn(dc, nullptr);
        return;
    }
    RegionRecord* device = AcquireScratchRegion();
    if (!device) return;
    CombineRegions(device, state->clip, state->clip, kRegionCopy);
    if (state->origin.h || state->origin.v) {
        RegionRecord* bounds = AcquireScratchRegion();
        if (bounds) {
            Rect32 r;
            GetStateBounds(state, &r);
            SetRegionToRect(bounds, &r);
            CombineRegions(device, device, bounds, kRegionAnd);
            ReleaseScratchRegion(bounds);
        }
        OffsetRegion(device, -state->origin.h, -state->origin.v);
    }
    SelectClipRgn(dc, RegionToNative(device));
    ReleaseScratchRegion(device);
}
} // namespace

void ReleaseStateDC() {
    DrawingState* state = g_holder;
    if (!state) return;
    g_holder = nullptr;
    HDC dc = StateDC(state);
    if (dc) {
        if (g_palette)
            SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
        // The state keeps its pen, brush and font for its next context.
        SelectObject(dc, GetStockObject(BLACK_PEN));
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        if (state->dcKind == kStateDcWindow) {
            ReleaseDC(static_cast<HWND>(state->target), dc);
        } else if (state->dcKind == kStateDcBitmap) {
            SelectObject(dc, g_bitmapBefore);
            DeleteDC(dc);
        }
        --DrawingCounters().contextsHeld;
    }
    state->deviceContext = nullptr;
}

void* PreparePortDC(DrawingState* state, bool withOriginAndClip, uint32_t mask) {
    HDC dc = TakeDC(state);
    if (!dc) return nullptr;
    DrawingApplied& a = state->applied;
    if (a.hScale != state->hScale || a.vScale != state->vScale) {
        int h = int(state->hScale / kScalePerExtent), v = int(state->vScale / kScalePerExtent);
        SetViewportExtEx(dc, h < 1 ? 1 : h, v < 1 ? 1 : v, nullptr);
        a.hScale = state->hScale;
        a.vScale = state->vScale;
        state->dirty &= ~kStateDirtyScale;
    }
    if (withOriginAndClip && (state->dirty & kStateDirtyOrigin)) {
        NativePoint brushOrigin = BrushOriginFor(state->origin);
        SetBrushOrgEx(dc, brushOrigin.x, brushOrigin.y, nullptr);
        SetViewportOrgEx(dc, -state->origin.h, -state->origin.v, nullptr);
        state->dirty &= ~kStateDirtyOrigin;
    }
    if (withOriginAndClip && (state->dirty & kStateDirtyClip)) {
        ApplyClip(state, dc);
        state->dirty &= ~kStateDirtyClip;
    }
    if (mask & kStateDirtyFont) ApplyStateFont(state);
    return dc;
}

void BindStateTarget(DrawingState* state, int32_t kind, void* target) {
    if (state->deviceContext && state->dcKind != kStateDcCreated) {
        if (g_holder == state) ReleaseStateDC();
    }
    state->deviceContext = nullptr;
    state->dcKind = kind;
    state->target = target;
    state->dirty |= kStateDirtyFresh;
}

void DisposeStateResources(DrawingState* state) {
    if (g_holder == state) ReleaseStateDC();
    ReleaseStateObjects(state);
    if (state->applied.font) ReleaseCachedFont(state->applied.font);
    state->applied.font = nullptr;
    state->deviceContext = nullptr;
}

void GetStateBounds(const DrawingState* state, Rect32* out) {
    *out = Rect32{};
    switch (state->dcKind) {
    case kStateDcWindow: {
        RECT client{};
        GetClientRect(static_cast<HWND>(state->target), &client);
        *out = Rect32{client.top + state->origin.v, client.left + state->origin.h,
                      client.bottom + state->origin.v, client.right + state->origin.h};
        break;
    }
    case kStateDcCreated: {
        HDC dc = static_cast<HDC>(state->target);
        *out = Rect32{0, 0, GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, HORZRES)};
        break;
    }
    case kStateDcBitmap: {
        BITMAP bitmap{};
        if (GetObject(static_cast<HBITMAP>(state->target), sizeof bitmap, &bitmap))
            *out = Rect32{0, 0, bitmap.bmHeight, bitmap.bmWidth};
        break;
    }
    default:
        break;
    }
}

void FlushDrawing() {
    GdiFlush();
}

HPALETTE SelectProgramPalette(HDC dc) {
    if (!g_palette) return nullptr;
    HPALETTE previous = SelectPalette(dc, g_palette, FALSE);
    RealizePalette(dc);
    return previous;
}

namespace {
// A window's state gets the defaults when its window is made (its record
// starts zeroed: no scale yet); the current state stays current.
void LayerBind(DrawingState* state, void* target, int32_t kind) {
    if (state->hScale == 0) {
        DrawingState* current = CurrentDrawing.state;
        RegionRecord* windowClip = state->windowClip;
        InitDrawingState(state);
        state->windowClip = windowClip;
        CurrentDrawing.state = current;
    }
    BindStateTarget(state, kind, target);
}
void LayerRelease(DrawingState* state) {
    if (g_holder == state) ReleaseStateDC();
}
void LayerDispose(DrawingState* state) {
    DisposeStateResources(state);
}
} // namespace

void InstallDrawingLayer() {
    DrawingLayerProcs procs{};
    procs.bindStateTarget = &LayerBind;
    procs.releaseStateDC = &LayerRelease;
    procs.disposeStateResources = &LayerDispose;
    procs.initDrawingGlobals = &InitDrawingGlobals;
    SetDrawingLayerProcs(&procs);
    InstallControlCalls();
    InstallPortFocusProcs();
    InstallLayerStartProcs();
    // Dialogs, their items and the list definition come with the layer.
    InstallDialogLayer();
}

void RemakeSharedDC() {
    ReleaseStateDC();
    if (g_palette) DeleteObject(g_palette);
    g_palette = nullptr;
    DropSharedMemoryDC();
    MakeSharedPalette();
}

void InitDrawingGlobals() {
    if (g_globalsMade) return;
    g_globalsMade = true;
    InstallDrawingLayer();
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version))
        CurrentDrawing.oldSystem = version.dwPlatformId < VER_PLATFORM_WIN32_NT;
    CurrentDrawing.arrowCursor = LoadCursor(nullptr, IDC_ARROW);
    InitDrawingPatterns();
    MakeSharedPalette();
    InstallGdiTextServices();
    InstallTextRecordProcs();
    FontsInitialise();
    MakeTextScrap();
}
