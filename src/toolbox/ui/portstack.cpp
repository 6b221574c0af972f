// Saved focus and the port-state stack: an array of FocusSaveRecords with
// room for kPortStackStep at start, grown by kPortStackStep when full. A
// state of a native window keeps a copy of its clip (unless wide open) and
// gets it back on restore; other states are simply made current again.
#include "toolbox/ui/portstack.h"

#include <cstring>
#include <new>

#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/ui/drawclip.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/portfocus.h"

namespace {
FocusSaveRecord* g_stack = nullptr;
int32_t g_depth = 0;
int32_t g_capacity = 0;

bool Grow() {
    int32_t capacity = g_capacity + kPortStackStep;
    auto* grown = new (std::nothrow) FocusSaveRecord[size_t(capacity)];
    if (!grown) return false;
    if (g_depth) std::memcpy(grown, g_stack, sizeof(FocusSaveRecord) * size_t(g_depth));
    delete[] g_stack;
    g_stack = grown;
    g_capacity = capacity;
    return true;
}

// Whether the list still belongs to a pane of the tree.
bool ListInTree(const PaneRecord* pane, const SurfaceList* list) {
    for (; pane; pane = pane->nextSibling)
        if (pane->surfaceList == list || ListInTree(pane->firstChild, list)) return true;
    return false;
}
} // namespace

void SaveFocusState(FocusSaveRecord* record) {
    *record = FocusSaveRecord{};
    DrawingState* state = CurrentState();
    record->state = state;
    record->scrollIndex = kNoScrollIndex;
    PortRecord* port = FindPortListEntry(state);
    if (!port && state->dcKind != kStateDcWindow) return;
    record->portRecordState = 1;
    if (port && port->surfaceFocus && port->selectedSurface) {
        SurfaceList* surface = port->selectedSurface;
        record->surface = surface;
        if (surface->hasSurfaces) record->scrollIndex = surface->current;
        record->surfaceFocused = port->focusedSurface == surface;
        return;
    }
    if (!state->clip || IsWideOpenRegion(state->clip)) return;
    record->clipCopy = NewRegion();
    if (record->clipCopy) CombineRegions(record->clipCopy, state->clip, state->clip, kRegionCopy);
}

void ReleaseSavedClip(FocusSaveRecord* record) {
    if (record->clipCopy) DisposeRegion(record->clipCopy);
    record->clipCopy = nullptr;
}

void RestoreFocusState(FocusSaveRecord* record, uint32_t flags) {
    PortRecord* port = record->portRecordState ? FindPortListEntry(record->state) : nullptr;
    auto* surface = static_cast<SurfaceList*>(record->surface);
    if (port && surface && ListInTree(port->rootPane, surface)) {
        FocusSurface(surface);
        if (record->scrollIndex != kNoScrollIndex)
            SelectNativeSurface(surface, record->scrollIndex);
        if ((flags & kRestoreFocusNow) ||
            ((flags & kRestoreFocusIfFocused) && record->surfaceFocused))
            SettleDeferredFocus();
    } else if (port) {
        FocusPort(port, nullptr);
        SetStateClip(record->clipCopy);
    } else {
        MakeStateCurrent(record->state);
        if (record->portRecordState) SetStateClip(record->clipCopy);
    }
    if (flags & kRestoreReleaseClip) ReleaseSavedClip(record);
}

void SavePortState() {
    if (g_depth == g_capacity && !Grow()) return;
    SaveFocusState(&g_stack[g_depth++]);
}

void RestorePortState() {
    if (g_depth <= 0) return;
    RestoreFocusState(&g_stack[--g_depth], kRestoreReleaseClip);
}

int32_t PortStackDepth() {
    return g_depth;
}
int32_t PortStackCapacity() {
    if (!g_capacity) Grow();
    return g_capacity;
}
