// Dragging the outline of a region with the mouse: the outline follows the
// mouse along the allowed axes while the mouse stays inside the limit, is
// hidden while the mouse is outside the slop rectangle, and the offset at
// the release is the answer.
//
// Guarantees: the outline is erased before the drag answers; the region is
// where it was when the drag answers.
#pragma once
#include <cstdint>

#include "toolbox/core/panehost.h"
#include "toolbox/core/rect.h"

struct PortRecord;
struct RegionRecord;

// Called at every mouse position of the drag.
typedef void (*DragRegionActionProc)(void* data);

// Drags the outline of the region (port coordinates) from the start point
// along the axis (1 horizontal only, 2 vertical only, 0 or 3 both) while
// the left button is held. Answers the total offset packed v high, h low,
// or kNoDragOffset when released outside the slop rectangle.
int32_t DragRegionOutline(PortRecord* port, RegionRecord* region, Point16 start,
                          const Rect16* limit, const Rect16* slop, int32_t axis,
                          DragRegionActionProc action, void* data);
