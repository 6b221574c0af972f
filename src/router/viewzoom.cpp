// The board view's zoom arithmetic. Every product and sum is computed in
// 64-bit arithmetic and clamped to 32 bits only when stored; a view never
// reaches the mapping with a size below 1 (that is an internal error).
#include "router/viewzoom.h"

#include <algorithm>
#include <climits>

#include "db/db.h"
#include "db/dbheader.h"
#include "router/maparea.h"

namespace {

ViewMapping s_last{};
BoardViewRect s_previous{};
int32_t s_lastWidth = 0, s_lastHeight = 0; // view size of the last computation
bool s_haveLast = false;

int32_t Clamp32(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

void TraceView(const char* caption, int32_t cx, int32_t cy, int32_t w, int32_t h) {
    if (!g_verbose) return;
    DebugPrint("%s [%s,%s] W:%s, H:%s", caption, CoordText(cx), CoordText(cy), CoordText(w),
               CoordText(h));
}

// The origin moved back onto the old pixel lattice.
int32_t OnLattice(int64_t origin, int64_t old, int64_t scale) {
    return Clamp32(origin - (origin - old) % scale);
}

} // namespace

ViewMapping ViewZoomCompute(int32_t cx, int32_t cy, int32_t width, int32_t height,
                            int32_t contentWidth, int32_t contentHeight) {
    DbHeader& hdr = DbHdr();
    TraceView("ZoomTo:", cx, cy, width, height);
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);
    if (width < 1 || height < 1 || cx == INT32_MAX || cy == INT32_MAX) {
        int64_t w = int64_t(hdr.extMaxX) - hdr.extMinX, h = int64_t(hdr.extMaxY) - hdr.extMinY;
        w = w / 5 * 6;
        h = h / 5 * 6;
        if (w <= 0) w = int64_t(kViewWholeBoardGridPitches) * hdr.routeGrid;
        if (h <= 0) h = w;
        width = Clamp32(w);
        height = Clamp32(h);
        cx = Clamp32((int64_t(hdr.extMinX) + hdr.extMaxX) / 2);
        cy = Clamp32((int64_t(hdr.extMinY) + hdr.extMaxY) / 2);
    }
    TraceView("ZoomTo after adjust:", cx, cy, width, height);

    s_previous = BoardViewRect{hdr.centreX, hdr.centreY, hdr.width, hdr.height};
    hdr.centreX = cx;
    hdr.centreY = cy;
    hdr.height = height;
    hdr.width = width;

    if (height < 1) ErrFatal(kErrViewHeight);
    if (width < 1) ErrFatal(kErrViewWidth);
    const int64_t W = std::max(contentWidth, 1), H = std::max(contentHeight, 1);
    int64_t viewW = width, viewH = height;
    int64_t scale = viewH / H >= viewW / W ? viewH / H : viewW / W;
    if (scale < 1) {
        scale = 1;
        viewW = W;
        viewH = H;
    }
    ViewMapping m{};
    m.scale = Clamp32(scale);
    int64_t ox = int64_t(cx) - scale * W / 2, oy = int64_t(cy) - scale * H / 2;
    if (s_haveLast && viewW == s_lastWidth && viewH == s_lastHeight && s_last.scale == scale) {
        ox = OnLattice(ox, s_last.originX, scale);
        oy = OnLattice(oy, s_last.originY, scale);
    }
    m.originX = Clamp32(ox);
    m.originY = Clamp32(oy);
    m.visible[0] = m.originX;
    m.visible[1] = m.originY;
    m.visible[2] = Clamp32(int64_t(m.originX) + scale * W);
    m.visible[3] = Clamp32(int64_t(m.originY) + scale * H);
    if (g_verbose)
        DebugPrint("Visible = [%s,%s] to [%s,%s]", CoordText(m.visible[0]), CoordText(m.visible[1]),
                   CoordText(m.visible[2]), CoordText(m.visible[3]));
    s_last = m;
    s_lastWidth = Clamp32(viewW);
    s_lastHeight = Clamp32(viewH);
    s_haveLast = true;
    MapAreaCompute(m.visible[0], m.visible[1], m.visible[2], m.visible[3]);
    return m;
}

const ViewMapping& ViewZoomLast() {
    return s_last;
}

const BoardViewRect& ViewZoomPrevious() {
    return s_previous;
}

void ViewZoomTestReset() {
    s_last = ViewMapping{};
    s_previous = BoardViewRect{};
    s_lastWidth = s_lastHeight = 0;
    s_haveLast = false;
}
