// The outline of a dragged region: the one-pixel frame inside it, drawn
// and erased by inverting it in the grey pattern.
#include "toolbox/core/regiondrag.h"

#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"

namespace {

constexpr uint32_t kDragPollMs = 10;

// The region less itself shrunk by one pixel on every side.
RegionRecord* OutlineOf(const RegionRecord* region) {
    RegionRecord* outline = NewRegion();
    RegionRecord* inner = NewRegion();
    RegionRecord* moved = NewRegion();
    bool made = outline && inner && moved;
    if (made) {
        CombineRegions(inner, region, region, kRegionCopy);
        const int32_t steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& step : steps) {
            CombineRegions(moved, region, region, kRegionCopy);
            OffsetRegion(moved, step[0], step[1]);
            CombineRegions(inner, inner, moved, kRegionAnd);
        }
        CombineRegions(outline, region, inner, kRegionDiff);
    }
    DisposeRegion(inner);
    DisposeRegion(moved);
    if (!made) {
        DisposeRegion(outline);
        return nullptr;
    }
    return outline;
}

bool InRect(const Rect16* r, Point16 p) {
    return p.v >= r->top && p.v < r->bottom && p.h >= r->left && p.h < r->right;
}

} // namespace

int32_t DragRegionOutline(PortRecord* port, RegionRecord* region, Point16 start,
                          const Rect16* limit, const Rect16* slop, int32_t axis,
                          DragRegionActionProc action, void* data) {
    MessagePump(); // what is pending goes first
    RegionRecord* outline = OutlineOf(region);
    if (!outline) return kNoDragOffset;
    bool horizontal = axis != kDragVertical, vertical = axis != kDragHorizontal;
    int32_t dv = 0, dh = 0;
    bool shown = true, inside = true;
    HostInvertRegion(port, outline);
    while (OsButtonDown(kOsButtonLeft)) {
        if (action) action(data);
        Point32 mouse;
        OsMouseClient(&mouse);
        mouse = HostPortLocal(port, mouse);
        Point16 at;
        PointToShort(&mouse, &at);
        inside = InRect(slop, at);
        if (!inside) {
            if (shown) HostInvertRegion(port, outline);
            shown = false;
        } else {
            int32_t ndv = dv, ndh = dh;
            if (InRect(limit, at)) {
                ndv = vertical ? at.v - start.v : 0;
                ndh = horizontal ? at.h - start.h : 0;
            }
            if (!shown || ndv != dv || ndh != dh) {
                if (shown) HostInvertRegion(port, outline);
                OffsetRegion(outline, ndh - dh, ndv - dv);
                OffsetRegion(region, ndh - dh, ndv - dv);
                dv = ndv;
                dh = ndh;
                HostInvertRegion(port, outline);
                shown = true;
            }
        }
        OsWaitMessage(kDragPollMs);
    }
    if (shown) HostInvertRegion(port, outline);
    DisposeRegion(outline);
    OffsetRegion(region, -dh, -dv);
    if (!inside) return kNoDragOffset;
    return int32_t((uint32_t(uint16_t(dv)) << 16) | uint16_t(dh));
}
