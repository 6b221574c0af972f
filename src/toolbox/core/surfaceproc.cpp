// Pane and surface-list procedures.
#include "toolbox/core/surfaceproc.h"

#include <algorithm>

#include "toolbox/core/hooktable.h"
#include "toolbox/core/paneframe.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/scrollaction.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowobject.h"

namespace {

constexpr int16_t kContentFrameWidth = 2;
constexpr int32_t kNotHandled = -9874;
constexpr int32_t kPatternOriginMask = 127;

int16_t Clamp16(int64_t v) {
    return int16_t(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX));
}

Rect16 Grown(const Rect16& r, int16_t by) {
    return {Clamp16(r.top - by), Clamp16(r.left - by), Clamp16(r.bottom + by),
            Clamp16(r.right + by)};
}

// The part of the pane its content covers, in pane coordinates.
Rect16 ContentCovered(const SurfaceList* list, const SurfaceRecord* s) {
    int64_t top = int64_t(s->rect.top) - s->positionV;
    int64_t left = int64_t(s->rect.left) - s->positionH;
    int64_t height = SurfaceExtent(list, s, kBarVertical);
    int64_t width = SurfaceExtent(list, s, kBarHorizontal);
    return {Clamp16(top), Clamp16(left), Clamp16(top + height), Clamp16(left + width)};
}

PortRecord* PortOfList(const SurfaceList* list) {
    return list->pane ? list->pane->port : nullptr;
}

void FrameStrips(SurfaceList* list) {
    PortRecord* port = PortOfList(list);
    SurfaceLayout layout = SurfaceListLayout(list);
    struct Axis {
        uint32_t strip, bar, over;
        const Rect16* rect;
        int32_t axis;
    } axes[] = {{kSurfaceStripVertical, kSurfaceBarVertical, kSurfaceBarOverVertical, &layout.barV,
                 kBarVertical},
                {kSurfaceStripHorizontal, kSurfaceBarHorizontal, kSurfaceBarOverHorizontal,
                 &layout.barH, kBarHorizontal}};
    for (const Axis& a : axes) {
        if (list->flags & a.over) continue;
        Rect16 r = *a.rect;
        bool filled = false;
        if (list->flags & a.strip) {
            r.bottom = Clamp16(r.bottom + 1);
            r.right = Clamp16(r.right + 1);
            filled = true;
        } else if ((list->flags & a.bar) && !BarLongEnoughToShow(&r, a.axis)) {
            filled = true;
        }
        if (!filled || RectIsEmpty(&r)) continue;
        RegionRecord* region = NewRectRegion(&r);
        HostPaintRegion(port, region, kPaintBackground);
        DisposeRegion(region);
        HostFrameRect(port, &r, 1, kPaintBlack);
    }
    const PaneRecord* pane = list->pane;
    if (pane && pane->parent && (list->flags & kSurfaceGrowBox)) {
        int16_t t = pane->barThickness;
        Rect16 box = {Clamp16(list->rect.bottom - t), Clamp16(list->rect.right - t),
                      list->rect.bottom, list->rect.right};
        if (!(pane->flags & kPaneGrowBox)) HostFrameRect(port, &box, 1, kPaintBlack);
        RegionRecord* region = NewRectRegion(&box);
        HostPaintRegion(port, region, kPaintBackground);
        DisposeRegion(region);
    }
}

struct BarTrack {
    SurfaceList* list;
    int32_t axis;
    bool live;
};

void BarAction(void* bar, int16_t part, void* data) {
    auto* track = static_cast<BarTrack*>(data);
    uint16_t flags = track->axis == kBarHorizontal ? kScrollEventHorizontal : 0;
    if (part == kPartThumb) {
        if (track->live)
            SendScrollEvent(track->list, kScrollValueChanged, flags, {0, 0}, HostBarValue(bar, 0));
        return;
    }
    int32_t code = ScrollRequestOfPart(part);
    if (code) SendScrollEvent(track->list, code, flags, {0, 0}, 0);
}

int32_t ListClick(SurfaceList* list, const OsEventRecord* record) {
    if (uint32_t ignored = SurfaceClickIgnoredBits(uint32_t(record->message)))
        return int32_t(ignored);
    Point16 point = record->where;
    if (PointInSplitBox(list, point)) {
        TrackSplitBar(list->pane, point);
        return kPartSplitBox;
    }
    for (int32_t axis : {int32_t(kBarVertical), int32_t(kBarHorizontal)}) {
        void* bar = axis == kBarVertical ? list->barV : list->barH;
        int16_t part = HostBarHitPart(bar, point);
        if (!part) continue;
        int32_t before = HostBarValue(bar, axis == kBarVertical ? list->originV : list->originH);
        BarTrack track{list, axis, part == kPartThumb && ThumbTracksLive(list)};
        int16_t released = HostTrackBar(bar, point, &BarAction, &track);
        if (part == kPartThumb && released == kPartThumb) {
            int32_t after = HostBarValue(bar, before);
            if (ThumbReleaseRequest(before, after))
                SendScrollEvent(list, kScrollSetValue,
                                axis == kBarHorizontal ? kScrollEventHorizontal : 0, point, after);
        }
        return 1;
    }
    return 0;
}

void NoTagMove(SurfaceList*, const OsEventRecord*) {}
void NoTagDispose(void*) {}
const HelpTagHooks kNoTags{&NoTagMove, &NoTagDispose};
HelpTagHooks g_tags = kNoTags;

} // namespace

void SetHelpTagHooks(const HelpTagHooks* hooks) {
    HelpTagHooks given = hooks ? *hooks : HelpTagHooks{};
    PickProc(g_tags.mouseMoved, given.mouseMoved, kNoTags.mouseMoved);
    PickProc(g_tags.disposeTags, given.disposeTags, kNoTags.disposeTags);
}

const HelpTagHooks& HelpTags() {
    return g_tags;
}

void DrawSurfaceBackground(SurfaceList* list, uint8_t flag) {
    SurfaceRecord* s = SurfaceAt(list, list->current);
    if (!s) return;
    PortRecord* port = PortOfList(list);
    RegionRecord* area = NewRectRegion(&s->rect);
    RegionRecord* grey = NewRegion();
    RegionRecord* work = NewRegion();
    if (area && grey && work) {
        if (!(flag & kUpdateNoErase)) HostPaintRegion(port, area, kPaintBackground);
        Rect16 covered = ContentCovered(list, s);
        SetRegionToShortRect(work, &covered);
        CombineRegions(grey, area, work, kRegionDiff);
        HostPaintRegion(port, grey, kPaintMidGrey);
        if (list->current == kMainSurfaceIndex && !IsRegionEmpty(grey)) {
            // The ring of 2 pixels around the content of every surface.
            RegionRecord* content = area; // reused
            SetRegionEmpty(content);
            for (int32_t index = kMainSurfaceIndex; index <= 2; ++index) {
                const SurfaceRecord* other = SurfaceAt(list, index);
                if (!other) continue;
                Rect16 c = ContentCovered(list, other);
                SetRegionToShortRect(work, &c);
                CombineRegions(content, content, work, kRegionOr);
            }
            Rect16 bounds;
            RegionBounds(content, &bounds);
            Rect16 outer = Grown(bounds, kContentFrameWidth);
            SetRegionToShortRect(work, &outer);
            CombineRegions(work, work, content, kRegionDiff);
            CombineRegions(work, work, grey, kRegionAnd);
            HostPaintRegion(port, work, kPaintBlack);
        }
    }
    DisposeRegion(area);
    DisposeRegion(grey);
    DisposeRegion(work);
}

void DrawSurfaces(PaneRecord* pane, const RegionRecord* region, void* data) {
    SurfaceList* list = pane->surfaceList;
    if (!list) return;
    int32_t paneId = pane->id;
    if (!list->hasSurfaces) {
        SendListMessage(list, kPaneMessageContent, data);
        return;
    }
    int8_t before = list->current;
    for (int32_t index = 2; index >= kMainSurfaceIndex; --index) {
        const SurfaceRecord* s = SurfaceAt(list, index);
        if (!s || !RectTouchesRegion(&s->rect, region)) continue;
        list->current = int8_t(index);
        SendListMessage(list, kPaneMessageContent, data);
        if (PaneFromId(paneId) != pane || pane->surfaceList != list) return;
    }
    list->current = before;
}

int32_t StandardPaneProc(PaneRecord* pane, int32_t message, void* data) {
    SurfaceList* list = pane->surfaceList;
    switch (message) {
    case kPaneMessageFrame: {
        DrawPaneFrame(pane);
        if (!list) return 0;
        if (list->flags & kSurfaceEraseBackground) {
            RegionRecord* area = NewRegion();
            if (area) {
                CombineRegions(area, pane->region, list->region, kRegionAnd);
                HostPaintRegion(pane->port, area, kPaintBackground);
                DisposeRegion(area);
            }
        }
        return SendListMessage(list, message, data);
    }
    case kPaneMessageContent: {
        if (!list) return 0;
        RegionRecord* area = NewRegion();
        if (!area) return 0;
        CombineRegions(area, list->visible, list->region, kRegionAnd);
        if (!IsRegionEmpty(area)) DrawSurfaces(pane, area, data);
        DisposeRegion(area);
        return 0;
    }
    case kPaneMessageClickSurface: {
        if (!list) return 0;
        const auto* record = static_cast<const OsEventRecord*>(data);
        int32_t surface = SurfaceAtPoint(list, record->where);
        if (surface != kNoSurface && surface != list->current) {
            if (!(list->flags & kSurfaceClickSelects)) return 0;
            list->current = int8_t(surface);
            if (pane->window) pane->window->currentSurface = int8_t(surface);
        }
        return SendListMessage(
            list, surface == kNoSurface ? kPaneMessageClickOutside : kPaneMessageClickSurface,
            data);
    }
    default:
        return list ? SendListMessage(list, message, data) : kNotHandled;
    }
}

int32_t SurfaceListProc(SurfaceList* list, int32_t message, void* data) {
    const auto* record = static_cast<const OsEventRecord*>(data);
    switch (message) {
    case kListMessageActivate: {
        RegionRecord* bars = NewRegion();
        if (bars) {
            SurfaceBarArea(list, bars);
            if (list->pane) HostInvalidate(list->pane->port, bars, kAreaInvalidate);
            DisposeRegion(bars);
        }
        return 0;
    }
    case kPaneMessageFrame:
        FrameStrips(list);
        return 0;
    case kPaneMessageContent:
        DrawSurfaceBackground(list, 0);
        return 0;
    case kPaneMessageClickOutside:
        return record ? ListClick(list, record) : 0;
    case kScrollLineBack:
    case kScrollLineForward:
    case kScrollPageBack:
    case kScrollPageForward:
    case kScrollSetValue:
    case kScrollValueChanged:
    case kScrollToPoint: {
        if (!record) return 0;
        ScrollRequest request{};
        request.code = message;
        request.axis = (record->modifiers & kScrollEventHorizontal) ? kBarHorizontal : kBarVertical;
        request.value = int32_t(record->message);
        request.point = {int16_t(uint32_t(record->message) >> 16),
                         int16_t(record->message & 0xFFFF)};
        return HandleScrollAction(list, &request);
    }
    case kListMessageCursor:
        if (record) g_tags.mouseMoved(list, record);
        WindowNative().setCursor(0);
        return 0;
    case kListMessageWheel:
        return record ? SurfaceWheel(list, record->modifiers, int32_t(record->message)) : 0;
    default:
        return kNotHandled;
    }
}

int32_t SendListMessage(SurfaceList* list, int32_t message, void* data) {
    if (list->contentProc) return list->contentProc(list, message, data);
    return SurfaceListProc(list, message, data);
}

int32_t SendScrollEvent(SurfaceList* list, int32_t code, uint16_t flags, Point16 point,
                        int32_t value) {
    OsEventRecord record;
    OsNullRecord(&record);
    record.what = uint16_t(code);
    record.modifiers = flags;
    record.where = point;
    record.message = code == kScrollToPoint
                         ? uintptr_t((uint32_t(uint16_t(point.v)) << 16) | uint16_t(point.h))
                         : uintptr_t(uint32_t(value));
    return SendListMessage(list, code, &record);
}

int32_t ScrollAction(WindowObject* window, int32_t code, int32_t axis, Point16 point,
                     int32_t value) {
    SurfaceList* list = window ? static_cast<SurfaceList*>(window->surfaceList) : nullptr;
    if (!list) return 0;
    ScrollRequest request{code, axis, value, point};
    if (!ScrollActionAllowed(list, &request)) return 0;
    return SendScrollEvent(list, code, axis == kBarHorizontal ? kScrollEventHorizontal : 0, point,
                           value);
}

int32_t ScrollLineBack(WindowObject* window, int32_t axis) {
    return ScrollAction(window, kScrollLineBack, axis, {0, 0}, 0);
}

int32_t ScrollLineForward(WindowObject* window, int32_t axis) {
    return ScrollAction(window, kScrollLineForward, axis, {0, 0}, 0);
}

int32_t ScrollPageBack(WindowObject* window, int32_t axis) {
    return ScrollAction(window, kScrollPageBack, axis, {0, 0}, 0);
}

int32_t ScrollPageForward(WindowObject* window, int32_t axis) {
    return ScrollAction(window, kScrollPageForward, axis, {0, 0}, 0);
}
