// Stand-in of the board window's zoom: stores the view in the header and
// the visible area it covers (a window the size of the view, one unit per
// pixel), then recomputes the router's map area from it.
#include "db/dbheader.h"
#include "db/shellsvc.h"
#include "headless/headless.h"
#include "router/maparea.h"

void ZoomTo(int32_t cx, int32_t cy, int32_t width, int32_t height) {
    DbHeader& h = DbHdr();
    h.centreX = cx;
    h.centreY = cy;
    h.width = width;
    h.height = height;
    int32_t v[4];
    v[0] = int32_t(int64_t(cx) - width / 2);
    v[1] = int32_t(int64_t(cy) - height / 2);
    v[2] = int32_t(int64_t(v[0]) + width);
    v[3] = int32_t(int64_t(v[1]) + height);
    HeadlessSetVisibleArea(v);
    MapAreaCompute(v[0], v[1], v[2], v[3]);
}
