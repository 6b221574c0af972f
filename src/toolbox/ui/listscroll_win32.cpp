// Row windows on Win32: the content rectangle from the window's surface
// list, moving rows' pixels with ScrollDC and the window's vertical bar:
// a scroll-bar control takes the maximum, page and value; a plain native
// bar gets the same through SetScrollInfo (its native page the page + 1,
// its native maximum the maximum + page, so values run from 0 to the
// maximum inclusive). The surface list is told that the window sets the
// vertical bar itself.
//
// Guarantees: as listscroll.h.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/core/windowrects.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/listscroll.h"
#include "toolbox/ui/textdisplay.h"

namespace {

// A content extent below 0 counts as unlimited.
constexpr int32_t kRowContentUnlimited = -1;

void* BarOf(WindowObject* window) {
    auto* list = window ? static_cast<SurfaceList*>(window->surfaceList) : nullptr;
    return list ? list->barV : nullptr;
}

// The bar as a scroll-bar control (the windows' bars), or as a plain
// native scroll bar (a pane host without controls).
ToolboxControlRecord* BarControlOf(WindowObject* window) {
    void* bar = BarOf(window);
    if (!bar || IsWindow(static_cast<HWND>(bar))) return nullptr;
    auto* control = static_cast<ToolboxControlRecord*>(bar);
    return IsControlRecord(control) ? control : nullptr;
}

HWND BarWindowOf(WindowObject* window) {
    void* bar = BarOf(window);
    return bar && IsWindow(static_cast<HWND>(bar)) ? static_cast<HWND>(bar) : nullptr;
}

} // namespace

void PrepareRowWindow(WindowObject* window) {
    auto* list = window ? static_cast<SurfaceList*>(window->surfaceList) : nullptr;
    if (!list) return;
    list->contentHeight = kRowContentUnlimited;
    list->contentWidth = kRowContentUnlimited;
    list->flags |= kSurfaceActionsVertical;
}

Rect16 RowWindowContent(WindowObject* window) {
    auto* list = window ? static_cast<SurfaceList*>(window->surfaceList) : nullptr;
    if (!list)
        return Rect16{0, 0, int16_t(window ? window->height : 0),
                      int16_t(window ? window->width : 0)};
    // In the window's own coordinates, those its drawing and its events
    // use: a child pane's content starts at its surface's origin.
    Rect16 content = SurfaceListLayout(list).content;
    Point32 origin = PanePointToSurface(window, list, content.top, content.left);
    return Rect16{int16_t(origin.v), int16_t(origin.h),
                  int16_t(origin.v + content.bottom - content.top),
                  int16_t(origin.h + content.right - content.left)};
}

Rect16 ScrollRowPixels(const Rect16& content, int32_t rowHeight, int32_t from, int32_t to) {
    int32_t distance = (from - to) * rowHeight; // rows going down move the pixels up
    int32_t height = content.bottom - content.top;
    if (distance == 0) return Rect16{content.top, content.left, content.top, content.right};
    if (std::abs(distance) >= height) return content;
    for (int32_t left = distance; left != 0;) {
        int32_t step = std::clamp(left, -kRowScrollPixelsMax, kRowScrollPixelsMax);
        ScrollPortPixels(&content, 0, step);
        left -= step;
    }
    if (distance < 0)
        return Rect16{int16_t(content.bottom + distance), content.left, content.bottom,
                      content.right};
    return Rect16{content.top, content.left, int16_t(content.top + distance), content.right};
}

void SetRowScrollBar(WindowObject* window, int32_t maximum, int32_t page, int32_t value) {
    maximum = std::max(maximum, 0);
    page = std::max(page, 0);
    value = std::clamp(value, 0, maximum);
    if (ToolboxControlRecord* control = BarControlOf(window)) {
        ControlSetMinimum(control, 0);
        ControlSetPageSize(control, page);
        ControlSetMaximum(control, maximum);
        ControlSetValue(control, value);
        return;
    }
    HWND bar = BarWindowOf(window);
    if (!bar) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = maximum + page;
    info.nPage = UINT(page + 1);
    info.nPos = value;
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

int32_t RowScrollBarValue(WindowObject* window) {
    if (ToolboxControlRecord* control = BarControlOf(window)) return ControlGetValue(control);
    HWND bar = BarWindowOf(window);
    return bar ? GetScrollPos(bar, SB_CTL) : -1;
}
