// The board view's zoom arithmetic, portable: from a requested view (centre
// and size in database units) and the window's content size in pixels, the
// stored view, the point-to-pixel mapping (scale and origin), the visible
// area, and the router's map area placed around it. The board window's
// ZoomTo calls it and then does the window's part (scroll bars, repaint,
// the routing-box outline).
#pragma once
#include <cstdint>

#include "db/err.h"

enum : ErrCode {
    kErrViewWidth = 32561,  // a view width below 1
    kErrViewHeight = 32562, // a view height below 1
};

enum : int32_t {
    kViewWholeBoardGridPitches = 5000, // the whole-board width of a board without extent
};

// A view: centre and size in database units.
struct BoardViewRect {
    int32_t cx, cy, width, height;
};

// The mapping of the last computation: h = (x - originX) / scale, alike v.
struct ViewMapping {
    int32_t scale;
    int32_t originX, originY;
    int32_t visible[4]; // minimum x, minimum y, maximum x, maximum y
};

// Sets the view (see the file comment): negative centres become 0; a width
// or height below 1, or a centre of INT32_MAX, gives the whole board 20 %
// larger; the view is stored in the header and the previous one kept; a
// second computation of the same view size keeps the origin on the old
// pixel lattice. Answers the mapping (also kept as the last one).
ViewMapping ViewZoomCompute(int32_t cx, int32_t cy, int32_t width, int32_t height,
                            int32_t contentWidth, int32_t contentHeight);
// The mapping of the last computation and the view before the current one
// (all zero before the first computation).
const ViewMapping& ViewZoomLast();
const BoardViewRect& ViewZoomPrevious();
// Test-only: forgets the last computation and the previous view.
void ViewZoomTestReset();
