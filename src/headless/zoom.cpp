// Stand-in of the board window's zoom: the view arithmetic of the board
// window on a virtual content of 1,000 x 1,000 pixels (the view stored in
// the header, the mapping, the visible area, the router's map area); the
// visible area is kept for HeadlessVisibleArea.
#include "db/shellsvc.h"
#include "headless/headless.h"
#include "router/viewzoom.h"

namespace {
enum : int32_t { kHeadlessContentPixels = 1000 };
}

void ZoomTo(int32_t cx, int32_t cy, int32_t width, int32_t height) {
    ViewMapping m =
        ViewZoomCompute(cx, cy, width, height, kHeadlessContentPixels, kHeadlessContentPixels);
    HeadlessSetVisibleArea(m.visible);
}
