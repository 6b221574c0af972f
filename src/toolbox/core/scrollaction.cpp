// Scroll requests over the bars' model of a surface list.
#include "toolbox/core/scrollaction.h"

#include <algorithm>
#include <cstdlib>

#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/surfacescroll.h"

namespace {

enum : int32_t {
    kPartLineBack = 20,
    kPartLineForward = 21,
    kPartPageBack = 22,
    kPartPageForward = 23,
};

int32_t& OriginOf(SurfaceList* list, int32_t axis) {
    return axis == kBarVertical ? list->originV : list->originH;
}

// Scrolling draws at once, and drawing may dispose the window: the list
// is used afterwards only while its pane (found by id) still holds it.
struct ListWatch {
    SurfaceList* list;
    PaneRecord* pane;
    int32_t paneId;
    explicit ListWatch(SurfaceList* l)
        : list(l), pane(l->pane), paneId(l->pane ? l->pane->id : 0) {}
    bool Alive() const {
        return !pane || (PaneFromId(paneId) == pane && pane->surfaceList == list);
    }
};

void* BarOf(const SurfaceList* list, int32_t axis) {
    return axis == kBarVertical ? list->barV : list->barH;
}

} // namespace

int32_t ControlValueCache(SurfaceList* list, int32_t axis) {
    int32_t& cache = list->barValues[axis == kBarVertical ? 0 : 1];
    cache = HostBarValue(BarOf(list, axis), cache);
    return cache;
}

void ScrollSteps(const SurfaceList* list, int32_t axis, int32_t* line, int32_t* page) {
    *line = list->scrollStep ? list->scrollStep : kDefaultLineStep;
    *page = list->pageStep;
    if (!*page) {
        const SurfaceRecord* main = SurfaceAt(list, kMainSurfaceIndex);
        int32_t visible = 0;
        if (main)
            visible = axis == kBarVertical ? int32_t(main->rect.bottom) - main->rect.top
                                           : int32_t(main->rect.right) - main->rect.left;
        *page = std::max(visible - *line, 1);
    }
}

bool ScrollAxisBy(SurfaceList* list, int32_t axis, int32_t amount, bool) {
    int32_t origin = OriginOf(list, axis);
    int64_t wanted = int64_t(origin) + amount;
    int32_t maximum = SurfaceBarState(list, axis).maximum;
    int32_t position = int32_t(std::clamp<int64_t>(wanted, 0, maximum));
    if (position == origin) return false;
    ListWatch watch(list);
    if (axis == kBarVertical)
        ScrollSurfaceBy(list, position - origin, 0);
    else
        ScrollSurfaceBy(list, 0, position - origin);
    if (watch.Alive()) list->flags |= kSurfaceScrolled;
    return true;
}

int32_t HandleScrollAction(SurfaceList* list, const ScrollRequest* request) {
    int32_t axis = request->axis;
    ListWatch watch(list);
    switch (request->code) {
    case kScrollToPoint:
        ScrollSurfaceTo(list, request->point.v, request->point.h);
        break;
    case kScrollLineBack:
    case kScrollLineForward:
    case kScrollPageBack:
    case kScrollPageForward: {
        int32_t line, page;
        ScrollSteps(list, axis, &line, &page);
        bool isLine = request->code == kScrollLineBack || request->code == kScrollLineForward;
        bool back = request->code == kScrollLineBack || request->code == kScrollPageBack;
        int32_t amount = isLine ? line : page;
        ScrollAxisBy(list, axis, back ? -amount : amount, true);
        break;
    }
    case kScrollSetValue:
    case kScrollValueChanged:
        ScrollAxisBy(list, axis, request->value - OriginOf(list, axis), false);
        break;
    default:
        break;
    }
    return watch.Alive() ? SurfaceBarState(list, axis).value : 0;
}

bool ScrollActionAllowed(const SurfaceList* list, const ScrollRequest* request) {
    if (!list) return false;
    if (request->code == kScrollToPoint) return true;
    uint32_t flag =
        request->axis == kBarVertical ? kSurfaceActionsVertical : kSurfaceActionsHorizontal;
    if (!BarOf(list, request->axis) && !(list->flags & flag)) return false;
    if (request->code == kScrollSetValue &&
        SurfaceBarState(list, request->axis).value == request->value)
        return false;
    return true;
}

int32_t SurfaceWheel(SurfaceList* list, uint32_t modifiers, int32_t delta) {
    if (!delta) return 0;
    ScrollRequest request = {};
    request.axis = (modifiers & kModifierShift) ? kBarHorizontal : kBarVertical;
    int32_t amount = std::abs(delta);
    if ((list->flags & kSurfaceWheelPages) && amount >= kWheelPageAmount) {
        request.code = delta > 0 ? kScrollPageBack : kScrollPageForward;
        HandleScrollAction(list, &request);
        return request.code;
    }
    request.code = delta > 0 ? kScrollLineBack : kScrollLineForward;
    int32_t saved = list->scrollStep;
    list->scrollStep = amount;
    ListWatch watch(list);
    HandleScrollAction(list, &request);
    if (watch.Alive()) list->scrollStep = saved;
    return request.code;
}

int32_t ScrollRequestOfPart(int32_t part) {
    switch (part) {
    case kPartLineBack:
        return kScrollLineBack;
    case kPartLineForward:
        return kScrollLineForward;
    case kPartPageBack:
        return kScrollPageBack;
    case kPartPageForward:
        return kScrollPageForward;
    default:
        return 0;
    }
}

namespace {
constexpr uint32_t kNotLeftButtonBits = 3;
} // namespace

uint32_t SurfaceClickIgnoredBits(uint32_t buttonMessage) {
    return buttonMessage & kNotLeftButtonBits;
}

bool PointInSplitBox(const SurfaceList* list, Point16 point) {
    const PaneRecord* pane = list->pane;
    if (!pane || !pane->parent || !(pane->flags & kPaneGrowBox)) return false;
    int32_t t = pane->barThickness;
    const Rect16& r = list->rect;
    return point.v >= r.bottom - t && point.v < r.bottom && point.h >= r.right - t &&
           point.h < r.right;
}

bool ThumbTracksLive(const SurfaceList* list) {
    return !(list->flags & kSurfaceThumbNotLive);
}

int32_t ThumbReleaseRequest(int32_t valueBefore, int32_t valueAfter) {
    return valueBefore != valueAfter ? kScrollSetValue : 0;
}
