// Scrolling a surface list's content by moving its bits: the uncovered
// part is drawn at once (the window's pending update put aside meanwhile),
// so the content follows the bars without a round through the loop.
//
// Guarantees: a window disposed while its uncovered part is drawn is not
// touched afterwards (its pane is found again by id).
#pragma once
#include <cstdint>

struct PaneRecord;
struct SurfaceList;
struct RegionRecord;

// Moves the bits for a scroll by (dh, dv): the main surface's rectangle
// (with surface 0 for a horizontal-only and surface 1 for a vertical-only
// scroll), and for a diagonal scroll surfaces 0 and 1 on their own axes;
// the uncovered parts go into the update region, and the list is marked
// scrolled. Both 0: the region is emptied.
void WindowScrollBy(SurfaceList* list, int32_t dh, int32_t dv, RegionRecord* update);
// Scrolls the content by (dv, dh) from the current position (never below
// 0), with the bars, and draws what was uncovered at once when the window
// is shown.
void ScrollSurfaceBy(SurfaceList* list, int32_t dv, int32_t dh);
// Scrolls the content to (v, h), each at least 0: both bars are set and
// read back (they hold the position within their maximum), and the content
// is scrolled by the difference from the scroll origin.
void ScrollSurfaceTo(SurfaceList* list, int32_t v, int32_t h);
// Draws the region of the pane at once (message 22 with the region as the
// pending update) and takes it out of the pending update.
void DrawPaneRegionNow(PaneRecord* pane, const RegionRecord* region);
