// Row windows on Win32: the content rectangle from the window's surface
// list, moving rows' pixels with ScrollDC and the window's vertical bar
// through SetScrollInfo. The bar's native page is the page + 1 and its
// native maximum the maximum + page, so its values run from 0 to the
// maximum inclusive; the surface list is told that the window sets the
// vertical bar itself.
//
// Guarantees: as listscroll.h.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/ui/listscroll.h"
#include "toolbox/ui/textdisplay.h"

namespace {

// A content extent below 0 counts as unlimited.
constexpr int32_t kRowContentUnlimited = -1;

HWND BarOf(WindowObject* window) {
    auto* list = window ? static_cast<SurfaceList*>(window->surfaceList) : nullptr;
    return list ? static_cast<HWND>(list->barV) : nullptr;
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
    return SurfaceListLayout(list).content;
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
    HWND bar = BarOf(window);
    if (!bar) return;
    maximum = std::max(maximum, 0);
    page = std::max(page, 0);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = maximum + page;
    info.nPage = UINT(page + 1);
    info.nPos = std::clamp(value, 0, maximum);
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

int32_t RowScrollBarValue(WindowObject* window) {
    HWND bar = BarOf(window);
    if (!bar) return -1;
    return GetScrollPos(bar, SB_CTL);
}
