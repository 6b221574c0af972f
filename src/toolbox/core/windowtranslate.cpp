// Native records to window events.
//
// A point in pane coordinates maps to surface coordinates by the surface's
// rectangle and scroll position, then to logical units by the window's
// scale factors.
#include "toolbox/core/windowtranslate.h"

#include <algorithm>

#include "toolbox/core/doubleclick.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/scrollaction.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/surfaceproc.h"
#include "toolbox/core/systemtimes.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowfocus.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowrects.h"
#include "toolbox/core/windowscale.h"
#include "toolbox/core/windowsurface.h"

namespace {

bool g_keypadCodes = false;
ClickHistory g_clicks{};

WindowEvent NewEvent(uint32_t type) {
    WindowEvent event{};
    event.type = type;
    return event;
}

// A pane point in the current surface's logical coordinates.
Point32 ToSurface(const WindowObject* window, const SurfaceList* list, int32_t v, int32_t h) {
    return PanePointToSurface(window, list, v, h);
}

int32_t Send(WindowObject* window, WindowEvent* event) {
    return EventDispatchToView(window, event);
}

int32_t Update(WindowObject* window, SurfaceList* list) {
    if (!IsWindowShown(window, 0)) return 0;
    const SurfaceRecord* s = SurfaceAt(list, list->current);
    PaneRecord* pane = list->pane;
    RegionRecord* area = NewRegion();
    RegionRecord* work = NewRegion();
    int32_t result = 0;
    if (area && work && s) {
        HostPendingUpdate(pane->port, area);
        CombineRegions(area, area, pane->region, kRegionAnd);
        CombineRegions(area, area, list->region, kRegionAnd);
        SetRegionToShortRect(work, &s->rect);
        CombineRegions(area, area, work, kRegionAnd);
        Rect16 b;
        RegionBounds(area, &b);
        DisposeRegion(area);
        DisposeRegion(work);
        area = work = nullptr;
        if (RectIsEmpty(&b)) return 0;
        Point32 topLeft = ToSurface(window, list, b.top, b.left);
        Point32 bottomRight = ToSurface(window, list, b.bottom, b.right);
        Rect32 local{topLeft.v, topLeft.h, bottomRight.v, bottomRight.h};
        WindowEvent event = NewEvent(kWindowEventUpdate);
        RectFromRect32(&local, &event.update.rect);
        result = Send(window, &event);
    }
    DisposeRegion(area);
    DisposeRegion(work);
    return result;
}

int32_t Click(WindowObject* window, SurfaceList* list, const OsEventRecord* record) {
    int32_t id = window->sequence;
    if ((record->message & 3) == 0 && DialogLayer().clickItem(window, record)) return 1;
    if ((window->flags & kWindowFlagClickTakesFocus) && !MoveKeyboardFocusToWindow(window, false))
        return 0;
    if (WindowObjectFromId(id) != window) return 0;
    WindowEvent event;
    MakeMouseEvent(record, ToSurface(window, list, record->whereV, record->whereH), &event);
    event.type = uint32_t(
        ClassifyMouseDown(&g_clicks, record->when, record->where, uint32_t(DoubleClickTicks())));
    return Send(window, &event);
}

int32_t ClickOutside(WindowObject* window, SurfaceList* list, OsEventRecord* record) {
    int32_t id = window->sequence;
    WindowEvent event = NewEvent(kWindowEventClickOutside);
    int32_t answer = Send(window, &event);
    if (WindowObjectFromId(id) != window) return answer;
    if (answer)
        window->flags |= kWindowFlagClickOutsideAnswer;
    else
        window->flags &= ~kWindowFlagClickOutsideAnswer;
    return SurfaceListProc(list, kPaneMessageClickOutside, record);
}

int32_t MouseMoved(WindowObject* window, SurfaceList* list, OsEventRecord* record) {
    HelpTags().mouseMoved(list, record);
    if (window->flags & kWindowFlagMouseOver) {
        WindowEvent event = NewEvent(kWindowEventMouseOver);
        event.over.point = record->where;
        event.over.surface = int8_t(SurfaceAtPoint(list, record->where));
        return Send(window, &event);
    }
    WindowNative().setCursor(window->cursorId);
    WindowEvent event = NewEvent(kWindowEventIdle);
    return Send(window, &event);
}

} // namespace

void SetNumericKeypadCodes(bool on) {
    g_keypadCodes = on;
}

void ResetClickHistory() {
    g_clicks = {};
}

int32_t TranslateWindowEvent(SurfaceList* list, int32_t what, void* data) {
    WindowObject* window = list->pane ? list->pane->window : nullptr;
    auto* record = static_cast<OsEventRecord*>(data);
    if (!window) return SurfaceListProc(list, what, data);
    window->currentSurface = list->current;
    WindowEvent event;
    switch (what) {
    case kOsWhatNull:
        if (window->flags & kWindowFlagMouseOver) return 0;
        SelectWindowSurface(window, kMainSurfaceIndex);
        event = NewEvent(kWindowEventIdle);
        return Send(window, &event);
    case kOsWhatMouseUp:
        if (!record) return 0;
        MakeMouseEvent(record, ToSurface(window, list, record->whereV, record->whereH), &event);
        event.type = kWindowEventMouseUp;
        return Send(window, &event);
    case kOsWhatKeyDown:
    case kOsWhatAutoKey:
        if (!record) return 0;
        MakeKeyEvent(record, g_keypadCodes, &event);
        return Send(window, &event);
    case kModifiersChanged:
        if (!record) return 0;
        MakeKeyEvent(record, g_keypadCodes, &event);
        event.type = kWindowEventModifiers;
        event.key.character = 0;
        event.key.special = 0;
        event.key.virtualKey = 0;
        return Send(window, &event);
    case kOsWhatActivate: {
        int32_t id = window->sequence;
        SurfaceListProc(list, kListMessageActivate, data);
        if (window->flags & kWindowFlagClosing || window->owner || !record) return 0;
        if (WindowObjectFromId(id) != window) return 0;
        event = NewEvent(kWindowEventActivate);
        event.activate.active = record->modifiers & kModActiveFlag;
        return Send(window, &event);
    }
    case kPaneMessageResized: {
        PaneRecord* pane = list->pane;
        ResizeSurfaceList(list, pane);
        const Rect16& r = pane->windowRect;
        int32_t top = pane->parent ? r.top : 0, left = pane->parent ? r.left : 0;
        SendResizeEvent(window, int32_t(r.bottom) - top, int32_t(r.right) - left, 0);
        return 0;
    }
    case kPaneMessageContent:
        return Update(window, list);
    case kPaneMessageClickOutside:
        return record ? ClickOutside(window, list, record) : 0;
    case kPaneMessageClickSurface:
        return record ? Click(window, list, record) : 0;
    case kScrollLineBack:
    case kScrollLineForward:
    case kScrollPageBack:
    case kScrollPageForward:
    case kScrollSetValue:
    case kScrollValueChanged: {
        if (!record) return 0;
        int32_t bar = record->modifiers & kScrollEventHorizontal;
        MakeScrollEvent(int32_t(record->message), bar ? list->originH : list->originV,
                        what - kScrollLineBack, bar, &event);
        return Send(window, &event);
    }
    case kScrollToPoint:
        if (!record) return 0;
        event = NewEvent(kWindowEventScrollTo);
        event.scrollTo.v = int16_t(uint32_t(record->message) >> 16);
        event.scrollTo.h = int16_t(record->message & 0xFFFF);
        return Send(window, &event);
    case kListMessageWheel:
        if (!record) return 0;
        event = NewEvent(kWindowEventWheel);
        event.wheel.point = record->where;
        event.wheel.delta = int32_t(record->message);
        event.wheel.modifiers = record->modifiers;
        return Send(window, &event);
    case kListMessageCursor:
        return record ? MouseMoved(window, list, record) : 0;
    default:
        return SurfaceListProc(list, what, data);
    }
}
