// Surface lists: making, laying out and freeing them, surfaces by index and
// point, extents, the bars' model and scrolling to a position.
//
// Surface records live in slots by index + 1 (slot 0 the main surface).
// The main surface follows both axes, surface 0 the horizontal one and
// surface 1 the vertical one; surface 2 stays put. The bars' values are
// kept in the list (the model) and mirrored to the host's controls.
#include "toolbox/core/surfacelist.h"

#include <algorithm>

#include "toolbox/core/memblock.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/surfaceproc.h"
#include "toolbox/core/windowscale.h"

namespace {

constexpr int32_t kChangedAreaGrowth = 2;

bool FollowsHorizontal(int32_t index) {
    return index == kMainSurfaceIndex || index == 0;
}
bool FollowsVertical(int32_t index) {
    return index == kMainSurfaceIndex || index == 1;
}

int32_t SlotOf(int32_t index) {
    return index < 0 ? 0 : index + 1;
}

SurfaceRecord* NewSurfaceRecord(SurfaceList* list, int32_t index) {
    HeapPool* pool = list->pane ? list->pane->pool : nullptr;
    SurfaceRecord* s =
        static_cast<SurfaceRecord*>(NewPointerBlockClear(pool, int32_t(sizeof(SurfaceRecord))));
    if (!s) return nullptr;
    s->index = int8_t(index);
    s->barV = list->barV;
    s->barH = list->barH;
    list->surfaces[SlotOf(index)] = s;
    return s;
}

int32_t RectSize(const Rect16& r, int32_t axis) {
    return axis == kBarVertical ? int32_t(r.bottom) - r.top : int32_t(r.right) - r.left;
}

} // namespace

SurfaceRecord* SurfaceAt(const SurfaceList* list, int32_t index) {
    if (!list || index > 2) return nullptr;
    return list->surfaces[SlotOf(index)];
}

SurfaceList* NewSurfaceList(SurfaceContentProc proc, uint32_t flags, PaneRecord* pane, int32_t v,
                            int32_t h) {
    SurfaceList* list =
        static_cast<SurfaceList*>(NewPointerBlockClear(pane->pool, int32_t(sizeof(SurfaceList))));
    if (!list) return nullptr;
    list->contentProc = proc;
    list->pane = pane;
    list->current = kMainSurfaceIndex;
    list->scrollStep = kSurfaceScrollStep;
    list->hasSurfaces = 1;
    const auto* current = static_cast<const DrawingState*>(DrawingLayer().currentPort());
    list->hasSettings = DrawingLayer().captureSettings(
        &list->settings, (flags & kSurfaceCaptureState) ? current : nullptr);
    if (current) {
        list->savedBackground = current->settings.background;
        list->hasSavedBackground = 1;
    }
    flags &= ~kSurfaceCaptureState;
    if ((pane->flags & kPaneGrowBox) || (flags & (kSurfaceBarVertical | kSurfaceBarHorizontal)) ==
                                            (kSurfaceBarVertical | kSurfaceBarHorizontal))
        flags |= kSurfaceGrowBox;
    list->flags = flags;
    list->region = NewRegion();
    list->visible = NewRegion();
    pane->surfaceList = list;
    if (!list->region || !list->visible || !LayoutSurfaceList(list)) {
        DisposeSurfaceList(list);
        return nullptr;
    }
    WindowRegionsUpdate(RootPaneOf(pane), nullptr);
    HostInvalidateRect(pane->port, &list->rect, kAreaInvalidate);
    ScrollSurfacesTo(list, v, h, 0);
    return list;
}

void DisposeSurfaceList(SurfaceList* list) {
    if (!list) return;
    if (PortRecord* port = list->pane ? list->pane->port : nullptr) {
        DropSurfaceFocus(list);
        if (port->selectedSurface == list) {
            port->selectedSurface = nullptr;
            port->surfaceFocus = 0;
        }
    }
    if (list->helpTags) HelpTags().disposeTags(list->helpTags);
    list->helpTags = nullptr;
    HostDisposeScrollBar(list->barV);
    HostDisposeScrollBar(list->barH);
    for (SurfaceRecord*& s : list->surfaces) {
        FreeHeapBlock(s);
        s = nullptr;
    }
    DisposeRegion(list->region);
    DisposeRegion(list->visible);
    DisposeRegion(list->secondRegion);
    if (list->pane && list->pane->surfaceList == list) list->pane->surfaceList = nullptr;
    FreeHeapBlock(list);
}

bool LayoutSurfaceList(SurfaceList* list) {
    DropSurfaceFocus(list);
    if (list->pane) list->rect = list->pane->windowRect;
    SurfaceLayout layout = SurfaceListLayout(list);
    SetRegionToShortRect(list->region, &layout.content);
    struct Axis {
        uint32_t flag;
        ScrollBarAxis axis;
        void** bar;
        const Rect16* rect;
    } axes[] = {{kSurfaceBarVertical, kBarVertical, &list->barV, &layout.barV},
                {kSurfaceBarHorizontal, kBarHorizontal, &list->barH, &layout.barH}};
    for (const Axis& a : axes) {
        if (!(list->flags & a.flag)) continue;
        if (!*a.bar)
            *a.bar = HostNewScrollBar(list->pane, a.axis, a.rect);
        else
            HostMoveScrollBar(*a.bar, a.rect);
        HostShowScrollBar(*a.bar, BarLongEnoughToShow(a.rect, a.axis));
    }
    SurfaceRecord* main = list->surfaces[0];
    if (!main && !(main = NewSurfaceRecord(list, kMainSurfaceIndex))) return false;
    main->rect = layout.content;
    main->barV = list->barV;
    main->barH = list->barH;
    return true;
}

SurfaceRecord* SetSurfaceRect(SurfaceList* list, int32_t index, const Rect16* rect) {
    if (index < 0 || index > 2) return nullptr;
    SurfaceRecord* s = list->surfaces[SlotOf(index)];
    if (!s && !(s = NewSurfaceRecord(list, index))) return nullptr;
    s->rect = *rect;
    DropSurfaceFocus(list);
    return s;
}

int32_t SurfaceAtPoint(const SurfaceList* list, Point16 point) {
    for (int32_t index = kMainSurfaceIndex; index <= 2; ++index) {
        const SurfaceRecord* s = SurfaceAt(list, index);
        if (!s) continue;
        const Rect16& r = s->rect;
        if (point.v >= r.top && point.v < r.bottom && point.h >= r.left && point.h < r.right)
            return index;
    }
    return kNoSurface;
}

Point32 SurfaceOrigin(const SurfaceList* list, int32_t index) {
    const SurfaceRecord* s = SurfaceAt(list, index);
    return s ? Point32{s->positionV, s->positionH} : Point32{0, 0};
}

void DropSurfaceFocus(SurfaceList* list) {
    PortRecord* port = list && list->pane ? list->pane->port : nullptr;
    if (port && port->focusedSurface == list) port->focusedSurface = nullptr;
}

int32_t SurfaceExtent(const SurfaceList* list, const SurfaceRecord* surface, int32_t axis) {
    int64_t extent = axis == kBarVertical ? int64_t(list->contentHeight) + surface->offsetV
                                          : int64_t(list->contentWidth) + surface->offsetH;
    if (extent < 0 || extent > kExtentUnlimited) return kExtentUnlimited;
    return int32_t(extent);
}

ScrollBarState SurfaceBarState(const SurfaceList* list, int32_t axis) {
    ScrollBarState state = {0, axis == kBarVertical ? list->originV : list->originH};
    const SurfaceRecord* main = SurfaceAt(list, kMainSurfaceIndex);
    if (main)
        state.maximum = std::max(0, SurfaceExtent(list, main, axis) - RectSize(main->rect, axis));
    return state;
}

void ScrollSurfacesTo(SurfaceList* list, int32_t v, int32_t h, uint32_t flags) {
    v = std::max(v, 0);
    h = std::max(h, 0);
    RegionRecord* changed = NewRegion();
    RegionRecord* piece = NewRegion();
    for (int32_t index = kMainSurfaceIndex; index <= 2 && changed && piece; ++index) {
        SurfaceRecord* s = SurfaceAt(list, index);
        if (!s) continue;
        bool moved = false;
        if (FollowsVertical(index) && s->positionV != v) {
            s->positionV = v;
            moved = true;
        }
        if (FollowsHorizontal(index) && s->positionH != h) {
            s->positionH = h;
            moved = true;
        }
        if (!moved) continue;
        Rect16 r = s->rect;
        r = {int16_t(r.top - kChangedAreaGrowth), int16_t(r.left - kChangedAreaGrowth),
             int16_t(r.bottom + kChangedAreaGrowth), int16_t(r.right + kChangedAreaGrowth)};
        SetRegionToShortRect(piece, &r);
        CombineRegions(changed, changed, piece, kRegionOr);
    }
    list->originV = list->appliedV = v;
    list->originH = h;
    list->appliedH = h;
    if (changed && list->pane && !(flags & kScrollKeepUpdate)) {
        CombineRegions(changed, changed, list->pane->region, kRegionAnd);
        HostInvalidate(list->pane->port, changed, kAreaInvalidate);
    }
    DisposeRegion(changed);
    DisposeRegion(piece);
    if (!(list->flags & kSurfaceActionsVertical)) {
        ScrollBarState s = SurfaceBarState(list, kBarVertical);
        HostSetScrollBarValues(list->barV, 0, s.maximum, s.value);
    }
    if (!(list->flags & kSurfaceActionsHorizontal)) {
        ScrollBarState s = SurfaceBarState(list, kBarHorizontal);
        HostSetScrollBarValues(list->barH, 0, s.maximum, s.value);
    }
    if (list->pane) WindowRegionsUpdate(RootPaneOf(list->pane), nullptr);
    DropSurfaceFocus(list);
}

int32_t MoveSurfaceScroll(SurfaceList* list, int32_t index, int32_t dh, int32_t dv) {
    SurfaceRecord* s = SurfaceAt(list, index);
    if (!s) return -1;
    s->positionV = std::max(0, s->positionV + dv);
    s->positionH = std::max(0, s->positionH + dh);
    DropSurfaceFocus(list);
    if (list->pane) HostInvalidateRect(list->pane->port, &s->rect, kAreaInvalidate);
    return list->surfaceProc ? list->surfaceProc(list, index, dv, dh) : 0;
}

int32_t MoveSurfaceOrigin(SurfaceList* list, int32_t index, int32_t dv, int32_t dh) {
    SurfaceRecord* s = SurfaceAt(list, index);
    if (!s) return -1;
    Rect16& r = s->rect;
    r = {int16_t(r.top + dv), int16_t(r.left + dh), int16_t(r.bottom + dv), int16_t(r.right + dh)};
    DropSurfaceFocus(list);
    return list->surfaceProc ? list->surfaceProc(list, index, dv, dh) : 0;
}

int32_t CurrentSurfaceIndex(const SurfaceList* list) {
    return list ? list->current : kMainSurfaceIndex;
}

void SurfaceRegion(const SurfaceList* list, int32_t index, RegionRecord* out) {
    const SurfaceRecord* s = SurfaceAt(list, index);
    if (s)
        SetRegionToShortRect(out, &s->rect);
    else
        SetRegionEmpty(out);
}

bool SurfaceRectVisible(const SurfaceList* list, const Rect16* rect) {
    const SurfaceRecord* s = SurfaceAt(list, CurrentSurfaceIndex(list));
    if (!s || !rect) return false;
    Rect16 local = *rect;
    const WindowObject* window = list->pane ? list->pane->window : nullptr;
    if (window) ScaleRectForPort(window, &local);
    // Into port coordinates, cut to the surface.
    int32_t dv = int32_t(s->rect.top) - s->positionV, dh = int32_t(s->rect.left) - s->positionH;
    Rect32 moved = {local.top + dv, local.left + dh, local.bottom + dv, local.right + dh};
    Rect32 surface, cut;
    Rect32FromRect(&s->rect, &surface);
    if (!SectRect32(&moved, &surface, &cut)) return false;
    PortRecord* port = list->pane ? list->pane->port : nullptr;
    const auto* state = port ? static_cast<const DrawingState*>(port->nativeWindow) : nullptr;
    if (!state || !state->clip) return true;
    // The state's clip is in its own coordinates: port ones plus its origin.
    OffsetRect32(&cut, state->origin.h, state->origin.v);
    Rect32 overlap;
    for (int32_t i = 0; i < state->clip->count; ++i)
        if (SectRect32(&cut, &state->clip->rects[i], &overlap)) return true;
    return false;
}

bool ResizeSurfaceList(SurfaceList* list, PaneRecord* pane) {
    RegionRecord* changed = NewRegion();
    RegionRecord* work = NewRegion();
    if (!changed || !work) {
        DisposeRegion(changed);
        DisposeRegion(work);
        return false;
    }
    SurfaceBarArea(list, changed);
    // The content that is new or gone: the old and new content differ.
    CombineRegions(work, list->region, list->region, kRegionOr);
    LayoutSurfaceList(list);
    // A child pane's rectangle is already the new one: the content tells.
    if (RegionsEqual(work, list->region)) {
        DisposeRegion(changed);
        DisposeRegion(work);
        return false;
    }
    CombineRegions(work, work, list->region, kRegionXor);
    CombineRegions(changed, changed, work, kRegionOr);
    SurfaceBarArea(list, work);
    CombineRegions(changed, changed, work, kRegionOr);
    HostInvalidate(pane->port, changed, kAreaInvalidate);
    DisposeRegion(changed);
    DisposeRegion(work);
    ScrollBarState v = SurfaceBarState(list, kBarVertical);
    ScrollBarState h = SurfaceBarState(list, kBarHorizontal);
    ScrollSurfacesTo(list, std::min(list->originV, v.maximum), std::min(list->originH, h.maximum),
                     0);
    return true;
}
