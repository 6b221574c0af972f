// Layout of surface lists: content and scroll-bar rectangles from the
// pane's rectangle.
//
// R is the rectangle moved in by 1 at top and left (the frame) and by the
// pane's frame insets; each bar is a strip of the bar thickness at R's far
// edge; the content loses a strip unless that bar lies over it, and each
// bar stops where the other begins.
#include "toolbox/core/panetree.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/surfacelist.h"

bool HasVerticalStrip(uint32_t flags) {
    return flags & (kSurfaceStripVertical | kSurfaceBarVertical);
}
bool HasHorizontalStrip(uint32_t flags) {
    return flags & (kSurfaceStripHorizontal | kSurfaceBarHorizontal);
}

SurfaceLayout ComputeSurfaceLayout(const Rect16* rect, uint32_t flags, int16_t thickness,
                                   int16_t topOffset, int16_t leftOffset) {
    Rect16 r = *rect;
    r.top = int16_t(r.top + 1 + topOffset);
    r.left = int16_t(r.left + 1 + leftOffset);
    SurfaceLayout out = {r, r, r};
    out.barV.left = int16_t(r.right - thickness);
    out.barH.top = int16_t(r.bottom - thickness);
    if (flags & (kSurfaceStripVertical | kSurfaceBarVertical | kSurfaceGrowBox)) {
        if (HasVerticalStrip(flags) && !(flags & kSurfaceBarOverVertical))
            out.content.right = out.barV.left;
        out.barH.right = out.barV.left;
    }
    if (flags & (kSurfaceStripHorizontal | kSurfaceBarHorizontal | kSurfaceGrowBox)) {
        if (HasHorizontalStrip(flags) && !(flags & kSurfaceBarOverHorizontal))
            out.content.bottom = out.barH.top;
        out.barV.bottom = out.barH.top;
    }
    return out;
}

bool BarLongEnoughToShow(const Rect16* bar, int32_t axis) {
    int32_t length = axis == 0 ? int32_t(bar->bottom) - bar->top : int32_t(bar->right) - bar->left;
    return length >= kBarShownMinLength;
}

SurfaceLayout SurfaceListLayout(const SurfaceList* list) {
    const PaneRecord* pane = list->pane;
    int16_t inset = 0, thickness = kDefaultBarThickness;
    if (pane) {
        if (pane->flags & kPaneFramed && pane->frameWidth > 1)
            inset = int16_t(pane->frameWidth - 1);
        thickness = pane->barThickness;
    }
    return ComputeSurfaceLayout(&list->rect, list->flags, thickness, inset, inset);
}

void SurfaceBarArea(const SurfaceList* list, RegionRecord* out) {
    SetRegionEmpty(out);
    SurfaceLayout layout = SurfaceListLayout(list);
    RegionRecord* strip = NewRegion();
    if (!strip) return;
    auto add = [&](const Rect16& r) {
        SetRegionToShortRect(strip, &r);
        CombineRegions(out, out, strip, kRegionOr);
    };
    bool vertical = HasVerticalStrip(list->flags), horizontal = HasHorizontalStrip(list->flags);
    if (vertical) add(layout.barV);
    if (horizontal) add(layout.barH);
    if ((list->flags & kSurfaceGrowBox) || (vertical && horizontal)) {
        // The corner square where the bars meet.
        Rect16 corner = {layout.barH.top, layout.barV.left, layout.barH.bottom, layout.barV.right};
        add(corner);
    }
    DisposeRegion(strip);
}
